#include "engine/AdifRecord.h"

#include <bit>
#include <cstring>

#include "engine/Text.h"

namespace cardmill {

namespace {

std::uint64_t nameKey(std::string_view name)
{
    // Built byte by byte: a memcpy of variable length would be a library call for every lookup.
    std::uint64_t key = 0;
    const std::size_t n = name.size() < 8 ? name.size() : 8;
    for (std::size_t i = 0; i < n; ++i)
        key |= static_cast<std::uint64_t>(static_cast<unsigned char>(name[i])) << (8 * i);
    return key;
}

std::size_t slotOf(std::uint64_t key, std::size_t size, std::size_t slots)
{
    std::uint64_t h = (key ^ (size * 0x9e3779b97f4a7c15ull)) * 0xff51afd7ed558ccdull;
    return static_cast<std::size_t>(h >> 56) & (slots - 1);
}

bool sameName(std::uint64_t keyA, std::string_view a, std::uint64_t keyB, std::string_view b)
{
    return keyA == keyB && a.size() == b.size() &&
           (a.size() <= 8 || std::memcmp(a.data() + 8, b.data() + 8, a.size() - 8) == 0);
}

} // namespace

void AdifRecord::assign(std::string_view text, std::string_view raw)
{
    m_text = text;
    m_raw = raw;
    m_tags.clear();
    m_upper.resize(text.size());

    // One pass, eight bytes at a time, makes the upper-cased copy and finds every "<"; each "<" followed by a
    // name and ":" is indexed, so that a field lookup is a table look-up instead of a search of the text.
    // Every "<" counts, also inside values, so the first entry of a name is the first occurrence of its tag.
    const char* in = text.data();
    char* upper = m_upper.data();
    const std::size_t size = text.size();
    auto tagAt = [&](std::size_t pos) {
        // The name runs to the first ":", "<" or ">"; test eight bytes at a time.
        std::size_t q = pos + 1;
        for (;;) {
            if (q + 8 > size) {
                while (q < size && in[q] != ':' && in[q] != '<' && in[q] != '>')
                    ++q;
                break;
            }
            std::uint64_t x;
            std::memcpy(&x, in + q, 8);
            const std::uint64_t stop =
                text::swar::matches(x, ':') | text::swar::matches(x, '<') | text::swar::matches(x, '>');
            if (stop) {
                q += static_cast<std::size_t>(std::countr_zero(stop)) / 8;
                break;
            }
            q += 8;
        }
        if (q < size && in[q] == ':') {
            const std::size_t length = q - pos - 1;
            std::uint64_t key;
            if (pos + 9 <= size) {
                // The name's first eight bytes, upper-cased, in one load; bytes past the name are masked off.
                std::memcpy(&key, in + pos + 1, 8);
                key = text::swar::upper(key);
                if (length < 8)
                    key &= (std::uint64_t{1} << (8 * length)) - 1;
            } else {
                key = 0;
                for (std::size_t j = 0; j < length; ++j)
                    key |= static_cast<std::uint64_t>(static_cast<unsigned char>(text::upper(in[pos + 1 + j])))
                           << (8 * j);
            }
            for (std::size_t j = pos + 1; j < q; ++j) // the name may reach into words not yet copied
                upper[j] = text::upper(in[j]);
            m_tags.push_back({key, std::string_view(upper + pos + 1, length), pos});
        }
    };
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t x;
        std::memcpy(&x, in + i, 8);
        const std::uint64_t up = text::swar::upper(x);
        std::memcpy(upper + i, &up, 8);
        for (std::uint64_t lt = text::swar::matches(x, '<'); lt; lt &= lt - 1)
            tagAt(i + static_cast<std::size_t>(std::countr_zero(lt)) / 8);
    }
    for (; i < size; ++i) {
        upper[i] = text::upper(in[i]);
        if (in[i] == '<')
            tagAt(i);
    }

    // Hash the names when the table stays sparse; a record of thousands of fields is scanned instead.
    m_hashed = m_tags.size() <= kSlots / 2;
    if (!m_hashed)
        return;
    if (++m_stamp == 0) {
        m_slotStamp.fill(0);
        m_stamp = 1;
    }
    for (std::size_t i = 0; i < m_tags.size(); ++i) {
        const Tag& t = m_tags[i];
        for (std::size_t s = slotOf(t.key, t.name.size(), kSlots);; s = (s + 1) & (kSlots - 1)) {
            if (m_slotStamp[s] != m_stamp) {
                m_slotStamp[s] = m_stamp;
                m_slotTag[s] = static_cast<std::uint32_t>(i);
                break;
            }
            const Tag& there = m_tags[m_slotTag[s]];
            if (sameName(there.key, there.name, t.key, t.name))
                break; // the first occurrence is already there
        }
    }
}

std::size_t AdifRecord::find(std::string_view name) const
{
    const std::uint64_t key = nameKey(name);
    if (m_hashed) {
        for (std::size_t s = slotOf(key, name.size(), kSlots); m_slotStamp[s] == m_stamp; s = (s + 1) & (kSlots - 1)) {
            const Tag& t = m_tags[m_slotTag[s]];
            if (sameName(t.key, t.name, key, name))
                return t.pos;
        }
    } else {
        for (const Tag& t : m_tags)
            if (sameName(t.key, t.name, key, name))
                return t.pos;
    }
    // A name with ":", "<" or ">" cannot be in the index; search for its tag as written.
    for (char c : name) {
        if (c == ':' || c == '<' || c == '>') {
            std::string tag = "<";
            tag.append(name);
            tag.push_back(':');
            return std::string_view(m_upper).find(tag);
        }
    }
    return std::string_view::npos;
}

std::size_t AdifRecord::valueStart(std::size_t tagPos) const
{
    const std::size_t gt = text::findChar(m_upper, '>', tagPos);
    return gt == std::string::npos ? m_upper.size() : gt + 1;
}

AdifRecord::Declared AdifRecord::declared(std::string_view name) const
{
    Declared result;
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return result;
    std::size_t i = p + name.size() + 2; // just after the tag's ":"
    const std::size_t digitsStart = i;
    std::size_t length = 0;
    const std::size_t cap = m_text.size(); // a longer length is cut at the end of the text anyway
    while (i < m_text.size() && m_text[i] >= '0' && m_text[i] <= '9') {
        if (length <= cap)
            length = length * 10 + static_cast<std::size_t>(m_text[i] - '0');
        ++i;
    }
    const std::size_t gt = text::findChar(m_text, '>', i);
    if (i == digitsStart || gt == std::string_view::npos) {
        result.status = Declared::Status::BadLength;
        return result;
    }
    result.status = Declared::Status::Ok;
    result.value = m_text.substr(gt + 1, length);
    return result;
}

std::optional<std::string_view> AdifRecord::eightCharacters(std::string_view name) const
{
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return std::nullopt;
    return std::string_view(m_upper).substr(valueStart(p), 8);
}

std::optional<std::string_view> AdifRecord::toNextTag(std::string_view name) const
{
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return std::nullopt;
    const std::size_t start = valueStart(p);
    const std::size_t end = text::findChar(m_text, '<', start);
    return text::trim(m_text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::optional<std::string_view> AdifRecord::firstCharacter(std::string_view name) const
{
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return std::nullopt;
    return std::string_view(m_upper).substr(valueStart(p), 1);
}

} // namespace cardmill
