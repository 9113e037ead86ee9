#include "merge/Pictures.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "engine/Text.h"

namespace cardmill {

namespace {

// clang-format off
constexpr std::array<const char*, 12> kMonthsEnglish{"January", "February", "March",     "April",   "May",      "June",
                                                     "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 12> kMonthsPolish{"styczeń", "luty",     "marzec",  "kwiecień", "maj",      "czerwiec",
                                                    "lipiec",  "sierpień", "wrzesień", "październik", "listopad", "grudzień"};
// After a day number ("5 września 2024") Polish takes the genitive.
constexpr std::array<const char*, 12> kMonthsPolishOf{"stycznia", "lutego",   "marca",    "kwietnia", "maja",       "czerwca",
                                                      "lipca",    "sierpnia", "września", "października", "listopada", "grudnia"};
constexpr std::array<const char*, 12> kMonthsPolishShort{"sty", "lut", "mar", "kwi", "maj", "cze",
                                                         "lip", "sie", "wrz", "paź", "lis", "gru"};
constexpr std::array<const char*, 7> kDaysEnglish{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 7> kDaysPolish{"niedziela", "poniedziałek", "wtorek", "środa", "czwartek", "piątek", "sobota"};
constexpr std::array<const char*, 7> kDaysPolishShort{"niedz.", "pon.", "wt.", "śr.", "czw.", "pt.", "sob."};

// clang-format on
bool digits(std::string_view s, std::size_t count, int& value)
{
    if (s.size() < count)
        return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

// Numbers of `widths` digits with one separator (the same each time) or none between them.
bool numbers(std::string_view s, std::array<std::size_t, 3> widths, std::array<int, 3>& out)
{
    std::size_t at = 0;
    char separator = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        if (k > 0 && at < s.size() && (s[at] < '0' || s[at] > '9')) {
            if (k == 1)
                separator = s[at];
            else if (s[at] != separator)
                return false;
            ++at;
        } else if (k == 2 && separator != 0) {
            return false;
        }
        if (!digits(s.substr(at), widths[k], out[k]))
            return false;
        at += widths[k];
    }
    return at == s.size();
}

bool validDate(const DateTime& d)
{
    static constexpr std::array<int, 12> days{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= days[static_cast<std::size_t>(d.month - 1)] &&
           d.year >= 1;
}

int monthFromName(std::string_view s)
{
    for (std::size_t m = 0; m < 12; ++m)
        if (s.size() == 3 && s == std::string_view(kMonthsEnglish[m]).substr(0, 3))
            return static_cast<int>(m) + 1;
    return 0;
}

// 0 = Sunday (Zeller's congruence for the Gregorian calendar).
int weekday(const DateTime& d)
{
    int y = d.year, m = d.month;
    if (m < 3) {
        m += 12;
        --y;
    }
    const int k = y % 100, j = y / 100;
    const int h = (d.day + 13 * (m + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7; // 0 = Saturday
    return (h + 6) % 7;
}

std::string twoDigits(int n)
{
    return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10);
}

} // namespace

std::optional<DateTime> readDateTime(std::string_view v, int layout)
{
    DateTime t;
    int h = 0, m = 0;
    if (v.size() == 5 && v[2] == ':' && digits(v, 2, h) && digits(v.substr(3), 2, m) && h < 24 && m < 60) {
        t.hour = h;
        t.minute = m;
        return t;
    }
    std::array<int, 3> n{};
    switch (layout) {
    case 1:
        if (!numbers(v, {2, 2, 4}, n))
            return std::nullopt;
        t.day = n[0], t.month = n[1], t.year = n[2];
        break;
    case 2:
        if (!numbers(v, {2, 2, 4}, n))
            return std::nullopt;
        t.month = n[0], t.day = n[1], t.year = n[2];
        break;
    case 3: // "23 Sep 2006"
        if (v.size() != 11 || v[2] != ' ' || v[6] != ' ' || !digits(v, 2, t.day) || !digits(v.substr(7), 4, t.year))
            return std::nullopt;
        t.month = monthFromName(v.substr(3, 3));
        break;
    case 4: // "Sep 23 2006"
        if (v.size() != 11 || v[3] != ' ' || v[6] != ' ' || !digits(v.substr(4), 2, t.day) ||
            !digits(v.substr(7), 4, t.year))
            return std::nullopt;
        t.month = monthFromName(v.substr(0, 3));
        break;
    default:
        if (!numbers(v, {4, 2, 2}, n))
            return std::nullopt;
        t.year = n[0], t.month = n[1], t.day = n[2];
        break;
    }
    if (!validDate(t))
        return std::nullopt;
    return t;
}

std::string formatDateTime(const DateTime& when, std::string_view picture, bool polish)
{
    std::string out;
    bool dayWritten = false;
    for (std::size_t i = 0; i < picture.size();) {
        const char c = picture[i];
        if (c == '\'') { // literal text up to the next quote
            const std::size_t end = picture.find('\'', i + 1);
            out.append(picture.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1));
            i = end == std::string_view::npos ? picture.size() : end + 1;
            continue;
        }
        if (picture.compare(i, 5, "AM/PM") == 0 || picture.compare(i, 5, "am/pm") == 0) {
            const bool upper = c == 'A';
            out += when.hour >= 12 ? (upper ? "PM" : "pm") : (upper ? "AM" : "am");
            i += 5;
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        const bool haveDate = when.month > 0, haveTime = when.hour >= 0;
        const std::size_t m = static_cast<std::size_t>(when.month > 0 ? when.month - 1 : 0);
        switch (c) {
        case 'd':
            if (!haveDate)
                break;
            if (run <= 2) {
                out += run == 1 ? std::to_string(when.day) : twoDigits(when.day);
                dayWritten = true;
            } else {
                const auto day = static_cast<std::size_t>(weekday(when));
                const std::string name =
                    polish ? (run == 3 ? kDaysPolishShort[day] : kDaysPolish[day]) : kDaysEnglish[day];
                out += run == 3 && !polish ? name.substr(0, 3) : name;
            }
            break;
        case 'M':
            if (!haveDate)
                break;
            if (run == 1)
                out += std::to_string(when.month);
            else if (run == 2)
                out += twoDigits(when.month);
            else if (run == 3)
                out += polish ? kMonthsPolishShort[m] : std::string(kMonthsEnglish[m]).substr(0, 3);
            else
                out += polish ? (dayWritten ? kMonthsPolishOf[m] : kMonthsPolish[m]) : kMonthsEnglish[m];
            break;
        case 'y':
            if (haveDate)
                out += run <= 2 ? twoDigits(when.year % 100) : std::to_string(when.year);
            break;
        case 'H':
            if (haveTime)
                out += run == 1 ? std::to_string(when.hour) : twoDigits(when.hour);
            break;
        case 'h':
            if (haveTime) {
                const int h12 = when.hour % 12 == 0 ? 12 : when.hour % 12;
                out += run == 1 ? std::to_string(h12) : twoDigits(h12);
            }
            break;
        case 'm':
            if (haveTime)
                out += run == 1 ? std::to_string(when.minute) : twoDigits(when.minute);
            break;
        default: out.append(run, c); break;
        }
        i += run;
    }
    return out;
}

std::optional<std::string> formatNumber(std::string_view value, std::string_view picture)
{
    double number = 0;
    if (!text::wholeNumber(value, number) || !std::isfinite(number))
        return std::nullopt;
    // "positive;negative": the negative section shows the value without its sign.
    std::string_view section = picture;
    bool sign = number < 0;
    if (const std::size_t semi = picture.find(';'); semi != std::string_view::npos) {
        if (number < 0) {
            section = picture.substr(semi + 1);
            sign = false;
        } else {
            section = picture.substr(0, semi);
        }
    }
    // The placeholders: the first to the last of 0, # and the separators between them.
    const std::size_t first = section.find_first_of("0#");
    if (first == std::string_view::npos)
        return std::string(section);
    const std::size_t last = section.find_last_of("0#");
    const std::string_view digitsPart = section.substr(first, last - first + 1);
    const std::size_t point = digitsPart.find('.');
    const std::string_view integerPart = digitsPart.substr(0, point);
    const std::string_view fractionPart =
        point == std::string_view::npos ? std::string_view() : digitsPart.substr(point + 1);
    const bool thousands = integerPart.find(',') != std::string_view::npos;
    const std::size_t minInteger = static_cast<std::size_t>(std::count(integerPart.begin(), integerPart.end(), '0'));
    const std::size_t decimals = static_cast<std::size_t>(
        std::count_if(fractionPart.begin(), fractionPart.end(), [](char c) { return c == '0' || c == '#'; }));
    const std::size_t minDecimals = static_cast<std::size_t>(std::count(fractionPart.begin(), fractionPart.end(), '0'));

    // Rounded to the decimals shown, then written out digit by digit.
    const double scaled = std::round(std::fabs(number) * std::pow(10.0, static_cast<double>(decimals)));
    std::string all;
    if (scaled < 1e18) {
        all = std::to_string(static_cast<unsigned long long>(scaled));
    } else { // beyond an integer's range, where rounding halves no longer matters
        char digits[512];
        const auto [end, error] = std::to_chars(digits, digits + sizeof digits, scaled, std::chars_format::fixed, 0);
        if (error != std::errc())
            return std::nullopt;
        all.assign(digits, end);
    }
    if (all.size() <= decimals)
        all.insert(0, decimals + 1 - all.size(), '0');
    std::string integer = all.substr(0, all.size() - decimals);
    std::string fraction = all.substr(all.size() - decimals);
    while (fraction.size() > minDecimals && fraction.back() == '0')
        fraction.pop_back();
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
    if (integer.size() < minInteger)
        integer.insert(0, minInteger - integer.size(), '0');
    if (thousands) {
        std::string grouped;
        for (std::size_t i = 0; i < integer.size(); ++i) {
            if (i > 0 && (integer.size() - i) % 3 == 0)
                grouped += ',';
            grouped += integer[i];
        }
        integer = std::move(grouped);
    }
    std::string out(section.substr(0, first));
    if (sign)
        out += '-';
    out += integer;
    if (!fraction.empty())
        out += "." + fraction;
    out.append(section.substr(last + 1));
    return out;
}

std::string applyPictures(const std::string& value, const std::string& datePicture, const std::string& numberPicture,
                          const DateReading& reading)
{
    if (!datePicture.empty())
        if (const auto when = readDateTime(value, reading.layout))
            return formatDateTime(*when, datePicture, reading.polish);
    if (!numberPicture.empty())
        if (const auto number = formatNumber(value, numberPicture))
            return *number;
    return value;
}

} // namespace cardmill
