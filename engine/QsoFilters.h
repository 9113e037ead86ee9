#pragma once

#include <string>
#include <string_view>

#include "engine/AdifRecord.h"
#include "engine/RunRequest.h"

namespace cardmill {

// The five QSO selection filters of a run: date range, QSL_SENT, QSL_RCVD, QSL_PRINT and call. A filter that
// is switched off lets every record through.
class QsoFilters {
public:
    explicit QsoFilters(const QsoFilterChoice& choice);

    // The date range and the three QSL-flag filters. `recordDate` is the integer the QSO_DATE spells, or 0
    // when the record has none (which the date range always rejects).
    bool passesDateAndFlags(const AdifRecord& record, long long recordDate) const;

    // The call filter: the line's CALL column with its comma must equal the call box's text and ",".
    bool passesCall(std::string_view callColumnWithComma) const;

    long long lowerBound() const { return m_from; }
    long long upperBound() const { return m_to; }

private:
    bool passesFlag(const AdifRecord& record, QslFilter filter) const;

    QsoFilterChoice m_choice; // a copy: the filters never outlive what they were made from
    std::string m_call;       // the call box's text and ","
    long long m_from = 0;
    long long m_to = 0;
};

// The date bound a picker gives: year, month and day as the integer YYYYMMDD.
long long dateBound(const PickerDate& date);

} // namespace cardmill
