#pragma once

#include <string>
#include <string_view>

#include "engine/AdifRecord.h"
#include "engine/ConversionSettings.h"

namespace cardmill {

// The five QSO selection filters: date range, QSL_SENT, QSL_RCVD, QSL_PRINT and call. Each is read from the
// settings for every record (a box ticked during a run filters from the next record on), except the date
// bounds, which are built once at the start of a run from the two pickers, whether or not "Date Range" is
// ticked then. A filter that is switched off lets every record through.
class QsoFilters {
public:
    explicit QsoFilters(const ConversionSettings& settings);

    // Builds the date bounds from the pickers as they are now. Call at the start of every run.
    void startRun();

    // The date range and the three QSL-flag filters. `recordDate` is the integer the QSO_DATE spells, or 0
    // when the record has none (which the date range always rejects).
    bool passesDateAndFlags(const AdifRecord& record, long long recordDate) const;

    // The call filter: the line's CALL column with its comma must equal the call box's text and ",".
    bool passesCall(std::string_view callColumnWithComma) const;

    long long lowerBound() const { return m_from; }
    long long upperBound() const { return m_to; }

private:
    bool passesFlag(const AdifRecord& record, QslFilter filter) const;

    const ConversionSettings& m_settings;
    long long m_from = 0;
    long long m_to = 0;
};

// The date bound a picker gives: year, month and day as the integer YYYYMMDD.
long long dateBound(const PickerDate& date);

} // namespace cardmill
