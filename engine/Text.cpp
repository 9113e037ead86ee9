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

std::string upper(std::string_view s)
{
    std::string out;
    upperInto(s, out);
    return out;
}

void upperInto(std::string_view s, std::string& out)
{
    out.resize(s.size());
    const char* in = s.data();
    char* o = out.data();
    for (std::size_t i = 0, n = s.size(); i < n; ++i)
        o[i] = upper(in[i]);
}

std::size_t find(std::string_view haystack, std::string_view needle, std::size_t from)
{
    if (from > haystack.size())
        return std::string_view::npos;
    const void* hit = memmem(haystack.data() + from, haystack.size() - from, needle.data(), needle.size());
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - haystack.data()) : std::string_view::npos;
}

std::size_t findNoCase(std::string_view haystack, std::string_view needle, std::size_t from)
{
    if (needle.empty())
        return from <= haystack.size() ? from : std::string_view::npos;
    if (needle.size() > haystack.size() || from > haystack.size() - needle.size())
        return std::string_view::npos;
    const char first = needle[0];
    const bool firstIsLetter = first >= 'A' && first <= 'Z';
    const char* base = haystack.data();
    const char* last = base + (haystack.size() - needle.size());
    for (const char* p = base + from; p <= last; ++p) {
        if (!firstIsLetter) {
            // The markers start with "<": let memchr skip to the candidates.
            p = static_cast<const char*>(std::memchr(p, first, static_cast<std::size_t>(last - p) + 1));
            if (!p)
                return std::string_view::npos;
        } else if (upper(*p) != first) {
            continue;
        }
        std::size_t j = 1;
        while (j < needle.size() && upper(p[j]) == needle[j])
            ++j;
        if (j == needle.size())
            return static_cast<std::size_t>(p - base);
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
