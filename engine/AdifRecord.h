#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ByteBlock.h"

namespace cardmill {

// A field name in capitals with its lookup key and hash slot, worked out once: the composer's fixed names
// are constants.
class FieldName {
public:
    static constexpr std::size_t kSlotBits = 8;

    constexpr FieldName(std::string_view name) // NOLINT: implicit, so that a name can be passed as text
        : m_name(name)
        , m_key(keyOf(name))
        , m_slot(slotOf(m_key, name.size()))
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
    constexpr std::uint64_t key() const { return m_key; }
    constexpr std::size_t slot() const { return m_slot; }
    // False when the name holds ":", "<" or ">", which a tag's name cannot: such a name is searched as text.
    constexpr bool plain() const { return m_plain; }

    // The first eight bytes of a name as one number (zeros after a shorter name).
    static constexpr std::uint64_t keyOf(std::string_view name)
    {
        std::uint64_t key = 0;
        for (std::size_t i = 0; i < name.size() && i < 8; ++i)
            key |= static_cast<std::uint64_t>(static_cast<unsigned char>(name[i])) << (8 * i);
        return key;
    }

    // The hash slot of a name by its key and length.
    static constexpr std::size_t slotOf(std::uint64_t key, std::size_t size)
    {
        const std::uint64_t h = (key ^ (size * 0x9e3779b97f4a7c15ull)) * 0xff51afd7ed558ccdull;
        return static_cast<std::size_t>(h >> (64 - kSlotBits));
    }

private:
    static constexpr bool isPlain(std::string_view name)
    {
        for (const char c : name)
            if (c == ':' || c == '<' || c == '>')
                return false;
        return true;
    }

    std::string_view m_name;
    std::uint64_t m_key;
    std::size_t m_slot;
    bool m_plain;
};

// The value of a field whose declared length is `length`, starting at `start` in `text`: the bytes, or the UTF-8
// characters where the log counts them so (see AdifRecord::declared for the rule). Cut at the end of `text`.
std::string_view declaredValue(std::string_view text, std::size_t start, std::size_t length);

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

    // Bytes that may be read after the end of any view the record hands out (they belong to the record).
    static constexpr std::size_t kPadding = 32;

    AdifRecord() = default;
    explicit AdifRecord(std::string_view text) { assign(text, text); }
    AdifRecord(const AdifRecord&) = delete; // the copy's view points into its own buffer
    AdifRecord& operator=(const AdifRecord&) = delete;

    // Takes a record: `text` is the trimmed record text, `raw` the joined lines before trimming. The record
    // keeps its own copy of `text`; `raw` must stay valid while the record is used.
    void assign(std::string_view text, std::string_view raw);

    std::string_view text() const { return m_text; }
    std::string_view raw() const { return m_raw; }
    std::string_view upper() const { return m_upper; }

    // Position of the first `c` at or after `from`, or npos; `c` is a byte that upper-casing keeps (such as
    // "<" or ">"). Searched a block at a time in the copy, whose zero bytes let a block run past its end.
    std::size_t findByte(char c, std::size_t from) const
    {
        for (; from < m_upper.size(); from += text::ByteBlock::kSize)
            if (const std::uint32_t m = text::ByteBlock(m_upper.data() + from).equal(c)) {
                from += static_cast<std::size_t>(std::countr_zero(m));
                return from < m_upper.size() ? from : std::string_view::npos;
            }
        return std::string_view::npos;
    }

    // 0-based position of the tag's "<" for the field `name` (in capitals), or npos when absent.
    std::size_t find(const FieldName& name) const;
    bool has(const FieldName& name) const { return find(name) != std::string_view::npos; }

    // The value by its declared length: all the digits after the tag's ":", an optional data-type indicator
    // (":S", ":N", ...) passed over, and the value from just after the first ">" that follows. A value that
    // would reach past the end of the record text stops there. Used for CALL, TIME_ON, MODE, RST_SENT,
    // QSL_RCVD, QSL_VIA, NAME, QTH, the SWL file's worked call and the user-defined fields.
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
        std::uint64_t key;  // the name's first eight bytes, for a quick comparison
        std::uint32_t pos;  // of its "<"
        std::uint32_t size; // of the name
    };
    // A slot of the name hash: the first tag of a name. `stamp` tells whether the slot belongs to the current
    // record, so that the table never needs clearing.
    struct Slot {
        Tag tag;
        std::uint32_t stamp;
    };

    bool sameName(const Tag& tag, const FieldName& name) const
    {
        return tag.key == name.key() && tag.size == name.size() &&
               (tag.size <= 8 || longNameMatches(tag, name));
    }
    bool longNameMatches(const Tag& tag, const FieldName& name) const; // the bytes after the first eight
    std::size_t findUnhashed(const FieldName& name) const;
    void indexTags();
    template <typename Visit>
    void forEachTag(Visit visit) const;
    std::size_t valueStart(std::size_t tagPos, const FieldName& name) const;

    std::string_view m_text;
    std::string_view m_raw;
    std::string_view m_upper;   // the upper-cased copy, in m_buffer
    std::string m_buffer;       // both copies, each followed by kPadding zero bytes
    std::vector<Tag> m_tags;    // every "<name:" of the copy, in text order, when there are too many to hash

    // A small hash of the first entry of each name, for records of ordinary size; a record of more fields
    // than half the slots is searched in m_tags instead.
    static constexpr std::size_t kSlots = std::size_t{1} << FieldName::kSlotBits;
    std::uint32_t m_stamp = 0;
    std::array<Slot, kSlots> m_slots{};
    bool m_hashed = false;
};

inline std::size_t AdifRecord::find(const FieldName& name) const
{
    if (!m_hashed || !name.plain())
        return findUnhashed(name);
    for (std::size_t s = name.slot(); m_slots[s].stamp == m_stamp; s = (s + 1) & (kSlots - 1))
        if (sameName(m_slots[s].tag, name))
            return m_slots[s].tag.pos;
    return std::string_view::npos;
}

} // namespace cardmill
