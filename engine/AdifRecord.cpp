#include "engine/AdifRecord.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include <utf8.h>

#include "engine/ByteBlock.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

constexpr std::size_t kBlock = text::ByteBlock::kSize;

// True when the byte at `pos` may follow a value: "<", a blank, a tab, a line end, or the end of the text.
bool endsValue(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return true;
    const char c = text[pos];
    return c == '<' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::string_view declaredValue(std::string_view text, std::size_t start, std::size_t length)
{
    // The byte reading: `length` bytes, cut at the end of the text.
    const std::size_t room = start < text.size() ? text.size() - start : 0;
    const std::string_view bytes(text.data() + std::min(start, text.size()), std::min(length, room));
    if (text::isAscii(bytes))
        return bytes; // the character reading is the same

    // Many loggers count a UTF-8 value's length in characters. The character reading wins only where the
    // byte reading plainly went wrong (it ends inside a letter, or the next byte cannot follow a value) and
    // the character reading ends where a value ends; byte-counted and 8-bit logs read as they always did.
    if (endsValue(text, start + bytes.size()) && utf8::is_valid(bytes.begin(), bytes.end()))
        return bytes;
    const char* const first = text.data() + start;
    // `length` UTF-8 characters take at most four bytes each.
    const char* const valid = utf8::find_invalid(first, first + std::min(room, std::min(length, room) * 4));
    const char* end = first;
    std::size_t characters = 0;
    for (; characters < length && end < valid; ++characters)
        utf8::unchecked::next(end);
    if (characters < length && end != first + room)
        return bytes; // not valid UTF-8 within the value: an 8-bit log
    const std::string_view chars(first, static_cast<std::size_t>(end - first));
    return chars != bytes && endsValue(text, start + chars.size()) ? chars : bytes;
}

void AdifRecord::assign(std::string_view text, std::string_view raw)
{
    m_raw = raw;

    // Two copies, each followed by zero bytes: the text as it stands and its upper-cased twin. The scans read
    // whole blocks and eight-byte keys past the end, zeros are neither tag marks nor name bytes, and every
    // view the record hands out has kPadding readable bytes after it.
    const std::size_t size = text.size();
    const std::size_t stride = size + kPadding;
    m_buffer.resize(2 * stride);
    char* copy = m_buffer.data();
    char* upper = copy + stride;
    std::size_t i = 0;
    for (; i + kBlock <= size; i += kBlock) {
        const text::ByteBlock block(text.data() + i);
        block.store(copy + i);
        block.storeUpper(upper + i);
    }
    char last[kBlock] = {};
    std::memcpy(last, text.data() + i, size - i);
    const text::ByteBlock block(last);
    block.store(copy + i);
    block.storeUpper(upper + i);
    std::memset(copy + i + kBlock, 0, stride - (i + kBlock));
    std::memset(upper + i + kBlock, 0, stride - (i + kBlock));
    m_text = std::string_view(copy, size);
    m_upper = std::string_view(upper, size);

    indexTags();
}

template <typename Visit>
void AdifRecord::forEachTag(Visit visit) const
{
    // Every "<" counts, also inside values, so the first entry of a name is the first occurrence of its tag.
    // A name runs from its "<" to the next ":", "<" or ">"; only a ":" there makes it a tag. One block read
    // just after the "<" finds the end of any name shorter than sixteen bytes. `visit` gets the tag and
    // returns false to stop the scan.
    const char* upper = m_upper.data();
    const std::size_t size = m_upper.size();
    for (std::size_t i = 0; i < size; i += kBlock) {
        for (std::uint32_t lt = text::ByteBlock(upper + i).equal('<'); lt; lt &= lt - 1) {
            const std::size_t start = i + static_cast<std::size_t>(std::countr_zero(lt));
            std::size_t end = start + 1;
            std::uint32_t stops = text::ByteBlock(upper + end).anyOf(':', '<', '>');
            while (!stops && (end += kBlock) < size)
                stops = text::ByteBlock(upper + end).anyOf(':', '<', '>');
            end += static_cast<std::size_t>(std::countr_zero(stops));
            if (!stops || end >= size || upper[end] != ':')
                continue;
            const std::size_t length = end - start - 1;
            std::uint64_t key;
            std::memcpy(&key, upper + start + 1, 8); // the buffer's zeros make this safe at the end
            if (length < 8)
                key &= (std::uint64_t{1} << (8 * length)) - 1;
            if (!visit(Tag{key, static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)}))
                return;
        }
    }
}

void AdifRecord::indexTags()
{
    m_tags.clear();
    if (++m_stamp == 0) {
        for (Slot& slot : m_slots)
            slot.stamp = 0;
        m_stamp = 1;
    }

    // The first tag of each name goes into the hash. A record of more fields than half the slots is listed
    // instead, and searched in text order.
    std::size_t count = 0;
    m_hashed = true;
    forEachTag([&](const Tag& tag) {
        if (++count > kSlots / 2) {
            m_hashed = false;
            return false;
        }
        for (std::size_t s = FieldName::slotOf(tag.key, tag.size);; s = (s + 1) & (kSlots - 1)) {
            Slot& slot = m_slots[s];
            if (slot.stamp != m_stamp) {
                slot = {tag, m_stamp};
                return true;
            }
            const Tag& there = slot.tag;
            if (there.key == tag.key && there.size == tag.size &&
                (tag.size <= 8 ||
                 std::memcmp(m_upper.data() + there.pos + 9, m_upper.data() + tag.pos + 9, tag.size - 8) == 0))
                return true; // the first occurrence is already there
        }
    });
    if (!m_hashed)
        forEachTag([&](const Tag& tag) {
            m_tags.push_back(tag);
            return true;
        });
}

bool AdifRecord::longNameMatches(const Tag& tag, const FieldName& name) const
{
    return m_upper.substr(tag.pos + 9, tag.size - 8) == name.name().substr(8);
}

std::size_t AdifRecord::findUnhashed(const FieldName& name) const
{
    if (!name.plain()) {
        // Not a name the index holds: search for its tag as written.
        std::string tag = "<";
        tag.append(name.name());
        tag.push_back(':');
        return m_upper.find(tag);
    }
    for (const Tag& t : m_tags)
        if (sameName(t, name))
            return t.pos;
    return std::string_view::npos;
}

std::size_t AdifRecord::valueStart(std::size_t tagPos, const FieldName& name) const
{
    // The name holds no ">": the search starts at the tag's ":".
    const std::size_t gt = findByte('>', tagPos + name.size() + 1);
    return gt == std::string::npos ? m_upper.size() : gt + 1;
}

AdifRecord::Declared AdifRecord::declared(const FieldName& name) const
{
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return {};
    // Read in the upper-cased copy (digits and ">" are the same there): the zero bytes after it end both
    // scans without a bounds test.
    const char* upper = m_upper.data();
    const std::size_t size = m_upper.size();
    std::size_t i = p + name.size() + 2; // just after the tag's ":"
    const std::size_t digitsStart = i;
    std::size_t length = 0;
    for (unsigned digit; (digit = static_cast<unsigned char>(upper[i]) - unsigned{'0'}) <= 9 && i < size; ++i)
        if (length <= size) // a longer length is cut at the end of the text anyway
            length = length * 10 + digit;
    // The first ">" from there, a block at a time: it mostly follows at once.
    const std::size_t gt = findByte('>', i);
    if (i == digitsStart || gt == std::string_view::npos)
        return {Declared::Status::BadLength, {}};
    const std::size_t start = gt + 1;
    return {Declared::Status::Ok, declaredValue(m_text, start, length)};
}

std::optional<std::string_view> AdifRecord::eightCharacters(const FieldName& name) const
{
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return std::nullopt;
    return m_upper.substr(valueStart(p, name), 8);
}

std::optional<std::string_view> AdifRecord::toNextTag(const FieldName& name) const
{
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return std::nullopt;
    const std::size_t start = valueStart(p, name);
    const std::size_t end = findByte('<', start);
    return text::trim(m_text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::optional<std::string_view> AdifRecord::firstCharacter(const FieldName& name) const
{
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return std::nullopt;
    return m_upper.substr(valueStart(p, name), 1);
}

} // namespace cardmill
