#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "engine/LineWriter.h"

namespace cardmill {

// How a label line writes QSO dates: one of five layouts (see appendDate), by its place in the lists, the rule
// in one place. The sample texts are how the lists show them and the settings file stores them, with "-".
class DateFormat {
public:
    static constexpr int kCount = 5;
    static constexpr std::array<std::string_view, kCount> kSamples{"2006-09-23", "23-09-2006", "09-23-2006",
                                                                   "23 Sep 2006", "Sep 23 2006"};

    constexpr DateFormat() = default; // 2006-09-23
    // The format at `index`; none outside 0 to 4.
    static constexpr std::optional<DateFormat> of(long long index)
    {
        if (index < 0 || index >= kCount)
            return std::nullopt;
        return DateFormat(static_cast<int>(index));
    }
    constexpr int index() const { return m_index; }
    constexpr std::string_view sample() const { return kSamples[static_cast<std::size_t>(m_index)]; }
    // Layouts 0 to 2 put the separator between the numbers; 3 and 4 blanks around a month name.
    constexpr bool takesSeparator() const { return m_index <= 2; }
    friend constexpr bool operator==(DateFormat, DateFormat) = default;

private:
    constexpr explicit DateFormat(int index)
        : m_index(index)
    {
    }
    int m_index = 0;
};

// Writes an ADIF QSO date (YYYYMMDD) into a label line in one of five layouts:
//   0 "2006-09-23"  year, separator, month, separator, day
//   1 "23-09-2006"  day, separator, month, separator, year
//   2 "09-23-2006"  month, separator, day, separator, year
//   3 "23 Sep 2006" day, blank, month name, blank, year
//   4 "Sep 23 2006" month name, blank, day, blank, year
// The date is cut by position (year 1-4, month 5-6, day 7-8); pieces past the end are shortened or empty,
// and layouts 0 to 2 never interpret the digits. Layouts 3 and 4 give an empty date when the month is not
// 1 to 12. The separator is inserted whole in layouts 0 to 2; month names are English in every language.
// The date goes without the label line's comma; a "," in it becomes a blank, as in every column.
void appendDate(LineWriter& out, std::string_view date, DateFormat layout, std::string_view separator);

} // namespace cardmill
