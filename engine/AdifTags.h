#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cardmill {

// A record's fields as a logger finds them: from tag to tag by the declared lengths, so that a value's
// content is never taken for a field, up to the "<EOR>" that is no part of a value. The grammar of a tag,
// "<" name [":" length [":" type]] ">", is here and nowhere else in the writing of ADIF.
//
// A value is taken by its declared length counted in bytes, or in UTF-8 characters where the log counts them
// so, when something that may follow a value follows it ("<", a blank, a tab, a line end). Where neither
// reading ends so, the length is counted as the reader counts it, without line-end bytes; where that does not
// end so either, the length is wrong and the value runs to the next tag. Line ends inside a tag are passed over.
class RecordWalk {
public:
    struct Field {
        std::size_t tag = 0;        // its "<"
        std::string name;           // as spelt, without line ends
        std::string type;           // the data-type indicator, or empty
        std::size_t valueBegin = 0; // after its ">"
        std::size_t valueEnd = 0;
    };

    // Walks `bytes`, which start at the record's first byte. `more`: the file goes on after `bytes`, so that a
    // walk that reaches their end cannot tell yet. Returns false when it needs more bytes (then
    // `neededUntil()` says how far the bytes should reach at least).
    bool walk(std::string_view bytes, bool more);

    const std::vector<Field>& fields() const { return m_fields; }
    // The record's "<EOR>" (where it begins, and after it); npos when the bytes hold none.
    std::size_t eorBegin() const { return m_eorBegin; }
    std::size_t end() const { return m_end; }
    std::size_t neededUntil() const { return m_needed; }
    // The first field of this name (letter case aside); null when there is none.
    const Field* find(std::string_view name) const;

private:
    std::vector<Field> m_fields;
    std::size_t m_eorBegin = std::string_view::npos;
    std::size_t m_end = std::string_view::npos;
    std::size_t m_needed = 0;
};

// Appends a field: its tag with the value's length in bytes (and the type, when given), then the value.
void appendField(std::string& out, std::string_view name, std::string_view type, std::string_view value);

} // namespace cardmill
