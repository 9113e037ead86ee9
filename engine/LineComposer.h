#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "engine/AdifRecord.h"
#include "engine/BadRecordsFile.h"
#include "engine/LineWriter.h"
#include "engine/QsoFilters.h"
#include "engine/RunRequest.h"

namespace cardmill {

// The fixed columns of every label line and data-source file, in order; user-defined fields follow.
inline constexpr std::string_view kFixedColumns =
    "CALL,QSO_DATE,TIME_ON,BAND,MODE,RST_SENT,QSL_RCVD,QSL_VIA,NAME,QTH,OPERATOR,CONTEST_ID,CALL_WORKED";

// The fixed columns by their place in a label line: the line's layout is known here and nowhere else.
enum class LineColumn {
    Call,
    QsoDate,
    TimeOn,
    Band,
    Mode,
    RstSent,
    QslRcvd,
    QslVia,
    Name,
    Qth,
    Operator,
    ContestId,
    CallWorked
};
inline constexpr int kFixedColumnCount = static_cast<int>(LineColumn::CallWorked) + 1;
static_assert(std::count(kFixedColumns.begin(), kFixedColumns.end(), ',') + 1 == kFixedColumnCount);

// The value of a fixed column of a label line (lines hold no quoting: columns are separated by commas); empty
// when the line is shorter.
std::string_view lineColumn(std::string_view line, LineColumn column);

// True when `name` is one of the fixed column names above.
bool isFixedColumn(std::string_view name);

// Composes one comma-separated label line per record: CALL, QSO_DATE, TIME_ON, BAND, MODE, RST_SENT,
// QSL_RCVD, QSL_VIA, NAME, QTH, OPERATOR, CONTEST_ID each followed by ",", then CALL_WORKED, then "," and a
// value for each user-defined field. There is no quoting, so every "," inside a value becomes a blank.
// Missing or unreadable fields are reported to the bad-records file as the line is built; the QSO keeps its
// line unless its date cannot be read.
class LineComposer {
public:
    enum class Outcome {
        Line,         // `line` holds the label line
        Filtered,     // a date or QSL-flag filter rejected the record
        CallFiltered, // the call filter rejected the record
        Dropped,      // the date cannot be read
    };

    // `format` and `filters` must live as long as the composer.
    LineComposer(const LineFormat& format, const QsoFilters& filters, BadRecordsFile& badRecords);

    // A record of the main log. Applies the filters, and takes CALL_WORKED from the "_SWL" / "WKD:" marking.
    Outcome composeQso(const AdifRecord& record, std::string& line);

    // A record of the SWL source file: no filters, RST_SENT empty and QSL_RCVD "Y", CALL_WORKED from
    // APP_LOGGER32_STATION_IN_QSO_WITH.
    Outcome composeSwl(const AdifRecord& record, std::string& line);

    // What the last line made is, for grouping (as isSwlLine and a search for "_SWL" would find).
    LineKind lineKind() const { return m_kind; }

private:
    bool readDate(const AdifRecord& record, std::string_view& date, long long& value);
    void appendCall(const AdifRecord& record, LineWriter& line);
    void appendDateToMode(const AdifRecord& record, std::string_view date, LineWriter& line);
    void appendViaToContest(const AdifRecord& record, LineWriter& line);
    void appendUserFields(const AdifRecord& record, LineWriter& line);
    void appendWorkedCall(std::string_view call, LineWriter& line);
    AdifRecord::Declared declared(const AdifRecord& record, const FieldName& name);
    void reportBadLength(const AdifRecord& record, const FieldName& name);

    const LineFormat& m_format;
    const QsoFilters& m_filters;
    BadRecordsFile& m_bad;
    std::vector<FieldName> m_userFieldNames; // views of m_format's user fields
    std::vector<int> m_addressLines;         // by user field: the address line it is (1 to 5), or 0
    LineKind m_kind;
};

// The CALL_WORKED value of a main-log record marked as an SWL report: the first word after "WKD:" in capitals,
// when the record's text holds both "_SWL" and "WKD:" (in any letter case); empty otherwise.
std::string workedCallFromMarking(const AdifRecord& record);

} // namespace cardmill
