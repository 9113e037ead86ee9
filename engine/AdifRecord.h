#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cardmill {

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
    explicit AdifRecord(std::string_view text) { assign(text, text); }

    // Takes a record: `text` is the trimmed record text, `raw` the joined lines before trimming. Both must
    // stay valid while the record is used.
    void assign(std::string_view text, std::string_view raw);

    std::string_view text() const { return m_text; }
    std::string_view raw() const { return m_raw; }
    std::string_view upper() const { return m_upper; }

    // 0-based position of the tag's "<" for the field `name` (in capitals), or npos when absent.
    std::size_t find(std::string_view name) const;
    bool has(std::string_view name) const { return find(name) != std::string_view::npos; }

    // The value by its declared length: all the digits after the tag's ":", an optional data-type indicator
    // (":S", ":N", ...) passed over, and the value from just after the first ">" that follows. A value that
    // would reach past the end of the record text stops there. Used for CALL, TIME_ON, MODE, RST_SENT,
    // QSL_RCVD, QSL_VIA, NAME, QTH and the user-defined fields.
    Declared declared(std::string_view name) const;

    // Eight characters from just after the first ">" after the tag, from the upper-cased copy (QSO_DATE).
    std::optional<std::string_view> eightCharacters(std::string_view name) const;

    // From just after the first ">" after the tag up to the next "<" or the end, trimmed (OPERATOR, CONTEST_ID).
    std::optional<std::string_view> toNextTag(std::string_view name) const;

    // The first character after the first ">" after the tag, from the upper-cased copy (the QSL flag filters);
    // empty when nothing follows the ">".
    std::optional<std::string_view> firstCharacter(std::string_view name) const;

private:
    struct Tag {
        std::uint64_t key;     // the name's first eight bytes, for a quick comparison
        std::string_view name; // in the upper-cased copy, without "<" and ":"
        std::size_t pos;       // of its "<"
    };

    std::size_t valueStart(std::size_t tagPos) const;

    std::string_view m_text;
    std::string_view m_raw;
    std::string m_upper;
    std::vector<Tag> m_tags; // every "<name:" of the copy, in text order

    // A small hash of the first entry of each name, for records of ordinary size; stamped per record so
    // that it never needs clearing.
    static constexpr std::size_t kSlots = 256;
    std::uint32_t m_stamp = 0;
    std::array<std::uint32_t, kSlots> m_slotStamp{};
    std::array<std::uint32_t, kSlots> m_slotTag{};
    bool m_hashed = false;
};

} // namespace cardmill
