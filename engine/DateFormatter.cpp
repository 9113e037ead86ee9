#include "engine/DateFormatter.h"

namespace cardmill {

namespace {

constexpr std::string_view kMonthNames = "JanFebMarAprMayJunJulAugSepOctNovDec";

std::string_view piece(std::string_view s, std::size_t from, std::size_t count)
{
    return from < s.size() ? s.substr(from, count) : std::string_view();
}

// Reads the month as Pascal's Val would here: blanks skipped, digits up to the first other character.
int monthNumber(std::string_view m)
{
    std::size_t i = 0;
    while (i < m.size() && m[i] == ' ')
        ++i;
    int value = 0;
    for (; i < m.size() && m[i] >= '0' && m[i] <= '9'; ++i)
        value = value * 10 + (m[i] - '0');
    return value;
}

} // namespace

void appendDate(LineWriter& out, std::string_view date, DateFormat layout, std::string_view separator)
{
    const std::string_view y = piece(date, 0, 4);
    const std::string_view m = piece(date, 4, 2);
    const std::string_view d = piece(date, 6, 2);

    auto join = [&out](std::string_view a, std::string_view sep, std::string_view b, std::string_view c) {
        out.value(a);
        out.value(sep);
        out.value(b);
        out.value(sep);
        out.value(c);
    };
    switch (layout.index()) {
    case 1: join(d, separator, m, y); break;
    case 2: join(m, separator, d, y); break;
    case 3:
    case 4: {
        const int month = monthNumber(m);
        if (month < 1 || month > 12)
            return;
        const std::string_view name = kMonthNames.substr(static_cast<std::size_t>(month - 1) * 3, 3);
        if (layout.index() == 3)
            join(d, " ", name, y);
        else
            join(name, " ", d, y);
        break;
    }
    default: join(y, separator, m, d); break;
    }
}

} // namespace cardmill
