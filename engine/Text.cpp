#include "engine/Text.h"

#include <cstring>
#include <limits>

namespace cardmill::text {

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view trim(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upper(std::string_view s)
{
    std::string out;
    upperInto(s, out);
    return out;
}

void upperInto(std::string_view s, std::string& out)
{
    out.resize(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = upper(s[i]);
}

std::size_t findNoCase(std::string_view haystack, std::string_view needle, std::size_t from)
{
    if (needle.empty())
        return from <= haystack.size() ? from : std::string_view::npos;
    if (needle.size() > haystack.size())
        return std::string_view::npos;
    const char first = needle[0];
    const char firstLower = (first >= 'A' && first <= 'Z') ? static_cast<char>(first - 'A' + 'a') : first;
    const std::size_t last = haystack.size() - needle.size();
    for (std::size_t i = from; i <= last; ++i) {
        const char c = haystack[i];
        if (c != first && c != firstLower)
            continue;
        std::size_t j = 1;
        while (j < needle.size() && upper(haystack[i + j]) == needle[j])
            ++j;
        if (j == needle.size())
            return i;
    }
    return std::string_view::npos;
}

void appendColumnValue(std::string& out, std::string_view value)
{
    const std::size_t start = out.size();
    out.append(value);
    for (std::size_t i = start; i < out.size(); ++i)
        if (out[i] == ',')
            out[i] = ' ';
}

bool parseInteger(std::string_view s, long long& value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i == s.size())
        return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        if (v > (std::numeric_limits<long long>::max() - 9) / 10)
            return false;
        v = v * 10 + (s[i] - '0');
    }
    value = negative ? -v : v;
    return true;
}

} // namespace cardmill::text
