#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Text.h"

namespace cardmill {

// A field name in capitals, checked once: the composer's fixed names are constants.
class FieldName {
public:
    constexpr FieldName(std::string_view name) // NOLINT: implicit, so that a name can be passed as text
        : m_name(name)
        , m_plain(isPlain(name))
    {
    }
    constexpr FieldName(const char* name)
        : FieldName(std::string_view(name))
    {
    }
    FieldName(const std::string& name)
        : FieldName(std::string_view(name))
    {
    }

    constexpr std::string_view name() const { return m_name; }
    constexpr std::size_t size() const { return m_name.size(); }
    // False when the name holds ":", "<" or ">", which a tag's name cannot: such a name is searched as text.
    constexpr bool plain() const { return m_plain; }

private:
    static constexpr bool isPlain(std::string_view name)
    {
        for (const char c : name)
            if (c == ':' || c == '<' || c == '>')
                return false;
        return true;
    }

    std::string_view m_name;
    bool m_plain;
};

// The value of a field whose declared length is `length`, starting at `start` in `text`: the bytes, or the UTF-8
// characters where the log counts them so (see AdifRecord::declared for the rule). Cut at the end of `text`.
std::string_view declaredValue(std::string_view text, std::size_t start, std::size_t length);

// Where the reader joined two lines of a record: the place in the record's text where the later line begins,
// and how many bytes the line end between them had (1 for LF or CR, 2 for CR LF).
struct LineJoin {
    std::uint32_t at = 0;
    std::uint8_t removed = 0;
    friend bool operator==(const LineJoin&, const LineJoin&) = default;
};

// One record text with its upper-cased copy and the field extraction rules.
//
// A tag is "<", the field name in capitals and ":"; its first occurrence in the upper-cased copy counts, so
// tags are found in any letter case and only at a "<" ("<CALL:" never matches inside "<MY_CALL:"). Positions
// are the same in the record text and in its copy, because upper-casing changes only a to z. Values are
// copied from the record text in the letter case they have in the file unless a rule says otherwise.
class AdifRecord {
public:
    // The outcome of reading a field by its declared length.
    struct Declared {
        enum class Status {
            Absent,    // no such tag
            BadLength, // the length after the tag is not a number, or no ">" follows it
            Ok,
        };
        Status status = Status::Absent;
        std::string_view value;

        bool ok() const { return status == Status::Ok; }
    };

    AdifRecord() = default;
    // A record of its own copy of `text` (for tests and small uses).
    explicit AdifRecord(std::string_view text)
        : m_textBuffer(text)
    {
        assign(m_textBuffer, m_textBuffer);
    }
    AdifRecord(const AdifRecord&) = delete; // the copy's view points into its own buffer
    AdifRecord& operator=(const AdifRecord&) = delete;

    // Takes a record: `text` is the trimmed record text, `raw` the joined lines before trimming. Both must
    // stay valid while the record is used (the reader keeps them until its next record).
    // `joins` are the line joins inside `text`: a value whose declared length reaches over one counts the line
    // end's bytes, as the file had them, and holds a "\n" there.
    void assign(std::string_view text, std::string_view raw, const std::vector<LineJoin>& joins = {});

    std::string_view text() const { return m_text; }
    std::string_view raw() const { return m_raw; }
    std::string_view upper() const { return m_upper; }

    // Position of the first `c` at or after `from`, or npos; `c` is a byte that upper-casing keeps (such as
    // "<" or ">").
    std::size_t findByte(char c, std::size_t from) const { return text::findChar(m_upper, c, from); }

    // 0-based position of the tag's "<" for the field `name` (in capitals), or npos when absent.
    std::size_t find(const FieldName& name) const;
    bool has(const FieldName& name) const { return find(name) != std::string_view::npos; }

    // The value by its declared length: all the digits after the tag's ":", an optional data-type indicator
    // (":S", ":N", ...) passed over, and the value from just after the first ">" that follows. A value that
    // would reach past the end of the record text stops there. A value over a line join counts the line end's
    // bytes and holds a "\n" in its place (kept by the record until its next assign). Used for CALL, TIME_ON, MODE,
    // RST_SENT, QSL_RCVD, QSL_VIA, NAME, QTH, the SWL file's worked call and the user-defined fields.
    //
    // The length counts bytes, or UTF-8 characters where the log counts them so: the n characters are
    // taken instead of the n bytes when they differ, the n bytes are not valid UTF-8 on their own or are
    // followed by something that cannot follow a value, and the n characters are followed by "<", a blank, a
    // tab, a line end or the end of the record.
    Declared declared(const FieldName& name) const;

    // Eight characters from just after the first ">" after the tag, from the upper-cased copy (QSO_DATE).
    std::optional<std::string_view> eightCharacters(const FieldName& name) const;

    // From just after the first ">" after the tag up to the next "<" or the end, trimmed (OPERATOR, CONTEST_ID).
    std::optional<std::string_view> toNextTag(const FieldName& name) const;

    // The first character after the first ">" after the tag, from the upper-cased copy (the QSL flag filters);
    // empty when nothing follows the ">".
    std::optional<std::string_view> firstCharacter(const FieldName& name) const;

private:
    struct Tag {
        std::uint32_t pos;  // of its "<"
        std::uint32_t size; // of the name
    };

    std::size_t valueStart(std::size_t tagPos, const FieldName& name) const;

    std::string m_textBuffer; // the text of a record made from text alone
    std::string_view m_text;
    std::string_view m_raw;
    std::string_view m_upper; // the upper-cased copy, in m_upperBuffer
    std::string m_upperBuffer;
    std::vector<std::uint32_t> m_opens; // where each "<" of the text stands
    std::vector<Tag> m_tags;            // every "<name:" of the copy, in text order
    std::vector<LineJoin> m_joins;
    mutable std::vector<std::unique_ptr<std::string>> m_multiline; // values over line joins, as read
};

} // namespace cardmill
