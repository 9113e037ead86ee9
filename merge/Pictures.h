#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cardmill {

// How the program wrote dates into the label lines, so that a picture switch can read them back.
struct DateReading {
    int layout = 0;      // the date format 0 to 4 (see DateFormatter)
    bool polish = false; // month and day names of pictures in Polish
};

// A date and time read from a label line's value.
struct DateTime {
    int year = 0, month = 0, day = 0; // 0 when the value holds no date
    int hour = -1, minute = -1;       // -1 when it holds no time
};

// Reads a value as a date in the program's date layout (any one separator, or none, between its numbers;
// the month name of layouts 3 and 4 in English) or as a time "HH:MM"; nullopt when it is neither.
std::optional<DateTime> readDateTime(std::string_view value, int layout);

// Word's date-time picture (\@): d dd ddd dddd, M MM MMM MMMM, yy yyyy, H HH h hh, m mm, AM/PM am/pm, and
// 'quoted' literal text; every other character is copied.
std::string formatDateTime(const DateTime& when, std::string_view picture, bool polish);

// Word's numeric picture (\#): 0 (a digit always), # (a digit when there is one), "." the decimal point,
// "," thousands, other characters copied, and "positive;negative" sections. nullopt when the value is not a
// number.
std::optional<std::string> formatNumber(std::string_view value, std::string_view picture);

// A MERGEFIELD value with its pictures applied where it reads as a date, time or number; the value as it is
// otherwise.
std::string applyPictures(const std::string& value, const std::string& datePicture, const std::string& numberPicture,
                          const DateReading& reading);

} // namespace cardmill
