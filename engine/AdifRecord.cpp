#include "engine/AdifRecord.h"

#include <algorithm>
#include <cstring>

#include <utf8.h>

#include "engine/Scan.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

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

void AdifRecord::assign(std::string_view text, std::string_view raw, const std::vector<LineJoin>& joins)
{
    m_raw = raw;
    m_joins = joins;
    m_multiline.clear();
    if (text.data() != m_textBuffer.data())
        m_textBuffer.assign(text);
    m_text = m_textBuffer;
    scan::upperNotingOpens(text, m_upperBuffer, m_opens);
    m_upper = m_upperBuffer;

    // The tags: every "<" counts, also inside values, so the first entry of a name is the first occurrence of
    // its tag. A name runs from its "<" to the next ":", "<" or ">"; only a ":" there makes it a tag.
    m_tags.clear();
    for (const std::uint32_t start : m_opens) {
        std::size_t end = start + 1;
        while (end < m_upper.size() && m_upper[end] != ':' && m_upper[end] != '<' && m_upper[end] != '>')
            ++end;
        if (end < m_upper.size() && m_upper[end] == ':')
            m_tags.push_back({start, static_cast<std::uint32_t>(end - start - 1)});
    }
}

std::size_t AdifRecord::find(const FieldName& name) const
{
    if (!name.plain()) {
        // Not a name a tag can have: search for it as written.
        std::string tag = "<";
        tag.append(name.name());
        tag.push_back(':');
        return m_upper.find(tag);
    }
    const std::string_view wanted = name.name();
    for (const Tag& t : m_tags)
        if (t.size == wanted.size() && m_upper.substr(t.pos + 1, t.size) == wanted)
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
    const std::size_t size = m_upper.size();
    std::size_t i = p + name.size() + 2; // just after the tag's ":"
    const std::size_t digitsStart = i;
    std::size_t length = 0;
    for (; i < size && m_upper[i] >= '0' && m_upper[i] <= '9'; ++i)
        if (length <= size) // a longer length is cut at the end of the text anyway
            length = length * 10 + static_cast<std::size_t>(m_upper[i] - '0');
    const std::size_t gt = findByte('>', i);
    if (i == digitsStart || gt == std::string_view::npos)
        return {Declared::Status::BadLength, {}};
    const std::size_t start = gt + 1;
    // A value that goes on over a line end: the line end's bytes count, and a "\n" stands for them.
    const auto inside = std::find_if(m_joins.begin(), m_joins.end(),
                                     [&](const LineJoin& j) { return j.at > start && j.at < start + length; });
    if (inside == m_joins.end())
        return {Declared::Status::Ok, declaredValue(m_text, start, length)};
    auto value = std::make_unique<std::string>();
    std::size_t left = length, at = start;
    for (auto j = inside; j != m_joins.end() && left > 0 && j->at < m_text.size(); ++j) {
        const std::size_t taken = std::min(left, j->at - at);
        value->append(m_text.substr(at, taken));
        left -= taken;
        at = j->at;
        if (left == 0)
            break;
        value->push_back('\n');
        left -= std::min<std::size_t>(left, j->removed);
    }
    if (left > 0 && at < m_text.size())
        value->append(m_text.substr(at, std::min(left, m_text.size() - at)));
    while (!value->empty() && value->back() == '\n') // a line end closing the value ends its line, nothing more
        value->pop_back();
    m_multiline.push_back(std::move(value));
    return {Declared::Status::Ok, *m_multiline.back()};
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
