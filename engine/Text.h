#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Byte-level text helpers. Logs are 8-bit text copied byte for byte, so nothing here decodes:
// upper-casing changes only the letters a to z, and trimming removes every byte with a code of 32 or less.
namespace cardmill::text {

// True for the bytes that trimming removes: codes 0 to 32.
bool isBlank(char c);

// The text without the bytes of code 32 or less at its start and end.
std::string_view trim(std::string_view s);

// The byte upper-cased, a-z only.
inline char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

// A copy with only a-z changed to A-Z; every other byte, 8-bit letters included, stays.
std::string upper(std::string_view s);

// True when the two texts are equal with a-z and A-Z taken as the same letters.
bool equalNoCase(std::string_view a, std::string_view b);

// Writes the upper-cased copy of `s` into `out`, reusing its storage.
void upperInto(std::string_view s, std::string& out);

// Position of the first `c` in `s` from `from` on, or npos. A plain loop: field values are short, and a
// library call costs more than the scan.
inline std::size_t findChar(std::string_view s, char c, std::size_t from = 0)
{
    for (std::size_t i = from; i < s.size(); ++i)
        if (s[i] == c)
            return i;
    return std::string_view::npos;
}

// Position of the first occurrence of `needle` in `haystack` ignoring the case of a-z, or npos.
// `needle` must be given in capitals.
std::size_t findNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// True when no byte of `s` has its high bit set.
inline bool isAscii(std::string_view s)
{
    unsigned char any = 0;
    for (const char c : s)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

// Reads a whole decimal integer as the platform's integer conversion does: an optional sign and then digits
// only, nothing before or after. Returns false when the text is not such a number (blanks make it fail).
bool parseInteger(std::string_view s, long long& value);

// The decimal number at the start of `s` (an optional sign, digits with a decimal point, an exponent), read
// alike in every locale (a window toolkit may have set one with a decimal comma). `used` receives how many
// characters it took; 0 when `s` does not start with a number.
double leadingNumber(std::string_view s, std::size_t& used);
// `s`, blanks before it aside, is a number and nothing else.
bool wholeNumber(std::string_view s, double& value);
// `value` with `decimals` digits after the decimal point, trailing zeros (and a bare point) dropped; the
// point is always ".". Values of 1e15 and more (and infinities) in exponent form: "1e+30".
std::string fixed(double value, int decimals);

} // namespace cardmill::text
