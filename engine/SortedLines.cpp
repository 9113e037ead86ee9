#include "engine/SortedLines.h"

#include <algorithm>

#include "engine/Text.h"

namespace cardmill {

namespace {

std::uint64_t foldedPrefix(std::string_view s, std::size_t from)
{
    std::uint64_t key = 0;
    for (std::size_t i = from; i < from + 8; ++i)
        key = (key << 8) | (i < s.size() ? static_cast<unsigned char>(text::upper(s[i])) : 0u);
    return key;
}

constexpr std::size_t kPrefixBytes = 16;

} // namespace

void SortedLines::clear()
{
    m_text.clear();
    m_lines.clear();
}

void SortedLines::add(std::string_view line, LineKind kind)
{
    const auto flags = static_cast<std::uint8_t>((kind.swlReport ? 1 : 0) | (kind.swlMarked ? 2 : 0));
    m_lines.push_back(
        {foldedPrefix(line, 0), foldedPrefix(line, 8), m_text.size(), static_cast<std::uint32_t>(line.size()), flags});
    m_text.append(line);
}

LineKind SortedLines::kind(std::size_t i) const
{
    const std::uint8_t flags = m_lines[i].kind;
    return {(flags & 1) != 0, (flags & 2) != 0};
}

std::string_view SortedLines::operator[](std::size_t i) const
{
    const Line& l = m_lines[i];
    return std::string_view(m_text).substr(l.offset, l.length);
}

int SortedLines::compare(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(text::upper(a[i]));
        const auto cb = static_cast<unsigned char>(text::upper(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

void SortedLines::sort()
{
    const std::string_view text = m_text;
    std::stable_sort(m_lines.begin(), m_lines.end(), [text](const Line& a, const Line& b) {
        // The prefixes decide most comparisons. A zero byte in them only ever ties, never misorders: the
        // padding of a shorter line is zero too, and the full comparison follows whenever they are equal.
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        if (a.prefix2 != b.prefix2)
            return a.prefix2 < b.prefix2;
        const std::size_t skip = std::min<std::size_t>({kPrefixBytes, a.length, b.length});
        return compare(text.substr(a.offset + skip, a.length - skip), text.substr(b.offset + skip, b.length - skip)) <
               0;
    });
}

} // namespace cardmill
