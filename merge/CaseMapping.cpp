#include "merge/CaseMapping.h"

namespace cardmill {

namespace {

// Blocks where upper and lower case alternate, the capital first when `evenUpper` (or on the odd code point).
struct Alternating {
    char32_t first, last;
    bool evenUpper;
};
constexpr Alternating kAlternating[] = {
    {0x0100, 0x012F, true},  {0x0132, 0x0137, true}, {0x0139, 0x0148, false}, {0x014A, 0x0177, true},
    {0x0179, 0x017E, false}, {0x03D8, 0x03EF, true}, {0x0460, 0x0481, true},  {0x048A, 0x04BF, true},
    {0x04C1, 0x04CE, false}, {0x04D0, 0x052F, true}, {0x1E00, 0x1E95, true},  {0x1EA0, 0x1EFF, true},
};

// Blocks of capitals whose small letters lie `offset` further on.
struct Shifted {
    char32_t first, last; // the capitals
    char32_t offset;
};
constexpr Shifted kShifted[] = {
    {0x0041, 0x005A, 0x20}, {0x00C0, 0x00D6, 0x20}, {0x00D8, 0x00DE, 0x20},
    {0x0388, 0x038A, 0x25}, {0x038E, 0x038F, 0x3F}, {0x0391, 0x03A1, 0x20},
    {0x03A3, 0x03AB, 0x20}, {0x0400, 0x040F, 0x50}, {0x0410, 0x042F, 0x20},
};

// Single pairs: capital, small.
constexpr char32_t kPairs[][2] = {
    {0x0130, 0x0069}, {0x0049, 0x0131}, {0x0178, 0x00FF}, {0x0053, 0x017F}, {0x039C, 0x00B5},
    {0x0386, 0x03AC}, {0x038C, 0x03CC}, {0x03A3, 0x03C2}, {0x04C0, 0x04CF},
};

} // namespace

char32_t upperCase(char32_t c)
{
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? c - 0x20 : c;
    for (const Shifted& s : kShifted)
        if (c >= s.first + s.offset && c <= s.last + s.offset)
            return c - s.offset;
    for (const Alternating& a : kAlternating)
        if (c >= a.first && c <= a.last)
            return (c % 2 == 0) == a.evenUpper ? c : c - 1;
    for (const auto& pair : kPairs)
        if (c == pair[1])
            return pair[0];
    return c;
}

char32_t lowerCase(char32_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    if (c == 0x0130)
        return 0x0069; // İ: its small letter is the plain i
    for (const Shifted& s : kShifted)
        if (c >= s.first && c <= s.last)
            return c + s.offset;
    for (const Alternating& a : kAlternating)
        if (c >= a.first && c <= a.last)
            return (c % 2 == 0) == a.evenUpper ? c + 1 : c;
    for (const auto& pair : kPairs)
        if (c == pair[0] && pair[0] >= 0x80)
            return pair[1];
    return c;
}

} // namespace cardmill
