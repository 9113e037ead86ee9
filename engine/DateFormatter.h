#pragma once

#include <string>
#include <string_view>

#include "engine/LineWriter.h"

namespace cardmill {

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
void appendDate(LineWriter& out, std::string_view date, int layout, std::string_view separator);

} // namespace cardmill
