#include "engine/LineComposer.h"

#include "engine/DateFormatter.h"
#include "engine/QrgFormatter.h"
#include "engine/Routes.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

// Record values go into the line a block at a time, reading past their ends into the record's padding.

constexpr FieldName kCall = "CALL";
constexpr FieldName kQsoDate = "QSO_DATE";
constexpr FieldName kTimeOn = "TIME_ON";
constexpr FieldName kMode = "MODE";
constexpr FieldName kRstSent = "RST_SENT";
constexpr FieldName kQslRcvd = "QSL_RCVD";
constexpr FieldName kQslVia = "QSL_VIA";
constexpr FieldName kName = "NAME";
constexpr FieldName kQth = "QTH";
constexpr FieldName kOperator = "OPERATOR";
constexpr FieldName kContestId = "CONTEST_ID";
constexpr FieldName kWorkedInSwlFile = "APP_LOGGER32_STATION_IN_QSO_WITH";

} // namespace

std::string_view lineColumn(std::string_view line, LineColumn column)
{
    // Columns are short: a loop beats a library call.
    for (int n = static_cast<int>(column); n > 0; --n) {
        const std::size_t comma = text::findChar(line, ',');
        if (comma == std::string_view::npos)
            return {};
        line.remove_prefix(comma + 1);
    }
    return line.substr(0, text::findChar(line, ','));
}

bool isFixedColumn(std::string_view name)
{
    std::string_view rest = kFixedColumns;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        if (rest.substr(0, comma) == name)
            return true;
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return false;
}

std::string workedCallFromMarking(const AdifRecord& record)
{
    const std::string_view upper = record.upper();
    const std::size_t wkd = upper.find("WKD:");
    if (wkd == std::string_view::npos || upper.find("_SWL") == std::string_view::npos)
        return {};
    std::string_view rest = record.text().substr(wkd + 4);
    // The separator after "WKD:" goes; a call written directly after the colon keeps its first letter.
    if (!rest.empty() && (rest[0] == ' ' || rest[0] == '\t'))
        rest.remove_prefix(1);
    rest = text::trim(rest);
    const std::size_t blank = rest.find(' ');
    if (blank != std::string_view::npos)
        rest = rest.substr(0, blank + 1);
    return std::string(text::trim(text::upper(rest)));
}

LineComposer::LineComposer(const LineFormat& format, const QsoFilters& filters, BadRecordsFile& badRecords)
    : m_format(format)
    , m_filters(filters)
    , m_bad(badRecords)
{
    m_userFieldNames.assign(m_format.userFields.begin(), m_format.userFields.end());
    for (const std::string& name : m_format.userFields)
        m_addressLines.push_back(addressLineOf(name));
}

void LineComposer::reportBadLength(const AdifRecord& record, const FieldName& name)
{
    std::string message = "Error in ";
    message.append(name.name()).append(" field length:");
    m_bad.add(message, record.text());
}

inline AdifRecord::Declared LineComposer::declared(const AdifRecord& record, const FieldName& name)
{
    const AdifRecord::Declared d = record.declared(name);
    if (d.status == AdifRecord::Declared::Status::BadLength)
        reportBadLength(record, name);
    return d;
}

bool LineComposer::readDate(const AdifRecord& record, std::string_view& date, long long& value)
{
    const auto chars = record.eightCharacters(kQsoDate);
    if (!chars) {
        m_bad.add("No QSO_DATE field:", record.text());
        date = "0";
        value = 0;
        return true;
    }
    if (!text::parseInteger(*chars, value)) {
        m_bad.add("Error in QSO_DATE field:", record.text());
        return false;
    }
    date = *chars;
    return true;
}

void LineComposer::appendCall(const AdifRecord& record, LineWriter& line)
{
    const AdifRecord::Declared call = declared(record, kCall);
    if (call.status == AdifRecord::Declared::Status::Absent)
        m_bad.add("No CALL field: ", record.text());
    line.column(call.value);
    // The SWL marker is not part of the call: "_SWL=" first, then "_SWL", upper case only.
    if (text::findChar(call.value, '_') != std::string_view::npos) {
        line.eraseFirst(0, "_SWL=");
        line.eraseFirst(0, "_SWL");
    }
}

void LineComposer::appendDateToMode(const AdifRecord& record, std::string_view date, LineWriter& line)
{
    appendDate(line, date, m_format.dateFormat, m_format.separator);
    line.put(',');

    const AdifRecord::Declared time = declared(record, kTimeOn);
    if (time.ok()) {
        const std::string_view hhmm = time.value.substr(0, 4);
        line.value(hhmm.substr(0, 2));
        line.put(':');
        line.column(hhmm.size() > 2 ? hhmm.substr(2) : std::string_view());
    } else {
        if (time.status == AdifRecord::Declared::Status::Absent)
            m_bad.add("No TIME_ON field: ", record.text());
        line.text("??:??,");
    }

    if (!appendQrg(line, record, m_format.qrg))
        m_bad.add("No freq and band information:", record.text());
    line.put(',');

    const AdifRecord::Declared mode = declared(record, kMode);
    if (mode.status == AdifRecord::Declared::Status::Absent)
        m_bad.add("No MODE field: ", record.text());
    line.column(mode.value);
}

void LineComposer::appendViaToContest(const AdifRecord& record, LineWriter& line)
{
    line.column(declared(record, kQslVia).value);
    line.column(declared(record, kName).value);
    line.column(declared(record, kQth).value);
    line.column(record.toNextTag(kOperator).value_or(std::string_view()));
    line.column(record.toNextTag(kContestId).value_or(std::string_view()));
}

void LineComposer::appendUserFields(const AdifRecord& record, LineWriter& line)
{
    for (std::size_t i = 0; i < m_userFieldNames.size(); ++i) {
        line.put(',');
        const AdifRecord::Declared d = declared(record, m_userFieldNames[i]);
        // A line of the address, for an envelope, unless the log has a field of that name itself.
        if (m_addressLines[i] > 0 && d.status == AdifRecord::Declared::Status::Absent)
            line.value(addressLine(record.declared("ADDRESS").value, m_addressLines[i]));
        else
            line.value(d.value);
    }
}

void LineComposer::appendWorkedCall(std::string_view call, LineWriter& line)
{
    const std::size_t at = line.size();
    line.value(call);
    m_kind.swlReport = !text::trim(line.view().substr(at)).empty();
}

LineComposer::Outcome LineComposer::composeQso(const AdifRecord& record, std::string& text)
{
    LineWriter line(text);
    std::string_view date;
    long long dateValue = 0;
    if (!readDate(record, date, dateValue))
        return Outcome::Dropped;
    if (!m_filters.passesDateAndFlags(record, dateValue))
        return Outcome::Filtered;

    appendCall(record, line);
    if (!m_filters.passesCall(line.view()))
        return Outcome::CallFiltered;
    appendDateToMode(record, date, line);

    line.column(declared(record, kRstSent).value);
    const AdifRecord::Declared rcvd = declared(record, kQslRcvd);
    line.column(rcvd.value.empty() ? std::string_view("N") : rcvd.value.substr(0, 1));

    appendViaToContest(record, line);
    appendWorkedCall(workedCallFromMarking(record), line);
    appendUserFields(record, line);
    m_kind.swlMarked = text::findNoCase(line.view(), "_SWL") != std::string_view::npos;
    return Outcome::Line;
}

LineComposer::Outcome LineComposer::composeSwl(const AdifRecord& record, std::string& text)
{
    LineWriter line(text);
    std::string_view date;
    long long dateValue = 0;
    if (!readDate(record, date, dateValue))
        return Outcome::Dropped;

    appendCall(record, line);
    appendDateToMode(record, date, line);
    line.text(",Y,"); // a listener's report: no report sent, and the QSL counts as received

    appendViaToContest(record, line);
    appendWorkedCall(declared(record, kWorkedInSwlFile).value, line);
    appendUserFields(record, line);
    m_kind.swlMarked = text::findNoCase(line.view(), "_SWL") != std::string_view::npos;
    return Outcome::Line;
}

} // namespace cardmill
