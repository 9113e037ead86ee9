#include "engine/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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
    std::transform(s.begin(), s.end(), out.begin(), [](char c) { return upper(c); });
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i]))
            return false;
    return true;
}

std::size_t findNoCase(std::string_view haystack, std::string_view needle, std::size_t from)
{
    if (needle.empty())
        return from <= haystack.size() ? from : std::string_view::npos;
    for (std::size_t i = from; i < haystack.size() && haystack.size() - i >= needle.size(); ++i) {
        std::size_t j = 0;
        while (j < needle.size() && upper(haystack[i + j]) == needle[j])
            ++j;
        if (j == needle.size())
            return i;
    }
    return std::string_view::npos;
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
        const unsigned digit = static_cast<unsigned char>(s[i]) - unsigned{'0'};
        if (digit > 9)
            return false;
        if (i >= 18 && v > (std::numeric_limits<long long>::max() - 9) / 10) // 18 digits never overflow
            return false;
        v = v * 10 + digit;
    }
    value = negative ? -v : v;
    return true;
}

double leadingNumber(std::string_view s, std::size_t& used)
{
    used = 0;
    std::size_t at = 0;
    if (!s.empty() && s[0] == '+')
        at = 1; // from_chars takes a minus sign only
    double value = 0;
    const auto [end, error] = std::from_chars(s.data() + at, s.data() + s.size(), value, std::chars_format::general);
    if (error != std::errc() || end == s.data() + at)
        return 0;
    used = static_cast<std::size_t>(end - s.data());
    return value;
}

bool wholeNumber(std::string_view s, double& value)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    std::size_t used = 0;
    value = leadingNumber(s, used);
    return used > 0 && used == s.size();
}

std::string fixed(double value, int decimals)
{
    char buffer[64];
    if (!(std::fabs(value) < 1e15)) { // too long to read written out: in exponent form
        const auto general = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
        return std::string(buffer, general.ptr);
    }
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc())
        return "0";
    std::string out(buffer, end);
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0')
            out.pop_back();
        if (out.back() == '.')
            out.pop_back();
    }
    return out == "-0" ? "0" : out;
}

} // namespace cardmill::text
