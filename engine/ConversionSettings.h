#pragma once

#include <string>
#include <vector>

#include "engine/QrgFormatter.h"

namespace cardmill {

// A calendar date as a date picker holds it.
struct PickerDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The three QSL-flag filters.
enum class QslFilter { Sent, Rcvd, Print };

// The flag boxes of a QSL-flag filter: "Y", "N", "R", "I" for QSL_SENT and QSL_RCVD, "L", "A", "N" for
// QSL_PRINT, and "Blank" for all three.
enum class QslBox { Y, N, R, I, L, A, Blank };

// The user's choices as the composer and the filters read them. The host (the main window, the command-line
// tool, a test) answers each call from its controls at the moment it is made; nothing is copied, so a box
// changed during a run takes effect from the next record on.
class ConversionSettings {
public:
    virtual ~ConversionSettings() = default;

    virtual QrgFormat qrgFormat() const = 0;
    // The date layout, 0 to 4 (see DateFormatter).
    virtual int dateFormatIndex() const = 0;
    // The date separator: normally one character, may be empty.
    virtual std::string dateSeparator() const = 0;
    // The user-defined ADIF field names, in capitals, in list order; each becomes a column. Replaces the
    // content of `fields`, whose storage is reused: the composer asks for them at every record.
    virtual void userFieldsInto(std::vector<std::string>& fields) const = 0;

    std::vector<std::string> userFields() const
    {
        std::vector<std::string> fields;
        userFieldsInto(fields);
        return fields;
    }

    // The "Date Range" box and its two pickers.
    virtual bool dateRangeEnabled() const = 0;
    virtual PickerDate dateFrom() const = 0;
    virtual PickerDate dateTo() const = 0;

    // A QSL-flag filter's switch and flag boxes.
    virtual bool qslFilterEnabled(QslFilter filter) const = 0;
    virtual bool qslBoxTicked(QslFilter filter, QslBox box) const = 0;

    // The "Call" box and the call edit box beside it.
    virtual bool callFilterEnabled() const = 0;
    virtual std::string callFilterText() const = 0;
};

} // namespace cardmill
