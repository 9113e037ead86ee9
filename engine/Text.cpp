#include "engine/Text.h"

#include <charconv>
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
    const std::size_t n = s.size();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x;
        std::memcpy(&x, in + i, 8);
        x = swar::upper(x);
        std::memcpy(o + i, &x, 8);
    }
    for (; i < n; ++i)
        o[i] = upper(in[i]);
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
    const char* base = haystack.data();
    const std::size_t last = haystack.size() - needle.size(); // the last possible start
    auto matchAt = [&](std::size_t i) {
        std::size_t j = 0;
        while (j < needle.size() && upper(base[i + j]) == needle[j])
            ++j;
        return j == needle.size();
    };
    const char first = needle[0];
    std::size_t i = from;
    if (first < 'A' || first > 'Z') {
        // Markers start with "<": test eight bytes at a time for it.
        for (; i + 8 <= last + 1; i += 8) {
            std::uint64_t x;
            std::memcpy(&x, base + i, 8);
            for (std::uint64_t m = swar::matches(x, first); m; m &= m - 1) {
                const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(m)) / 8;
                if (matchAt(at))
                    return at;
            }
        }
    }
    for (; i <= last; ++i)
        if (upper(base[i]) == first && matchAt(i))
            return i;
    return std::string_view::npos;
}

bool parseInteger(std::string_view s, long long& value)
{
    if (s.size() == 8) {
        // Eight digits, as every QSO date has, checked and read as one word: a byte is a digit when its high
        // nibble is 3 and adding 6 leaves it 3. Pairs, then fours, then the eight are then combined.
        std::uint64_t x;
        std::memcpy(&x, s.data(), 8);
        constexpr std::uint64_t kHighNibbles = 0xf0f0f0f0f0f0f0f0ull;
        if (((x & kHighNibbles) | (((x + swar::kOnes * 6) & kHighNibbles) >> 4)) == swar::kOnes * 0x33) {
            std::uint64_t d = x - swar::kOnes * '0';
            d = (d * 10 + (d >> 8)) & 0x00ff00ff00ff00ffull;
            d = (d * 100 + (d >> 16)) & 0x0000ffff0000ffffull;
            d = (d * 10000 + (d >> 32)) & 0xffffffffull;
            value = static_cast<long long>(d);
            return true;
        }
    }
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
