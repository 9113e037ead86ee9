#include "engine/QsoFilters.h"

namespace cardmill {

namespace {

constexpr FieldName kQslSent = "QSL_SENT";
constexpr FieldName kQslRcvd = "QSL_RCVD";
constexpr FieldName kQslPrint = "QSL_PRINT";

const FieldName& tagName(QslFilter filter)
{
    switch (filter) {
    case QslFilter::Sent: return kQslSent;
    case QslFilter::Rcvd: return kQslRcvd;
    case QslFilter::Print: break;
    }
    return kQslPrint;
}

bool letterBox(QslFilter filter, char flag, QslBox& box)
{
    if (filter == QslFilter::Print) {
        switch (flag) {
        case 'L': box = QslBox::L; return true;
        case 'A': box = QslBox::A; return true;
        case 'N': box = QslBox::N; return true;
        default: return false;
        }
    }
    switch (flag) {
    case 'Y': box = QslBox::Y; return true;
    case 'N': box = QslBox::N; return true;
    case 'R': box = QslBox::R; return true;
    case 'I': box = QslBox::I; return true;
    default: return false;
    }
}

} // namespace

long long dateBound(const PickerDate& date)
{
    return static_cast<long long>(date.year) * 10000 + date.month * 100 + date.day;
}

QsoFilters::QsoFilters(const ConversionSettings& settings)
    : m_settings(settings)
{
}

void QsoFilters::startRun()
{
    m_from = dateBound(m_settings.dateFrom());
    m_to = dateBound(m_settings.dateTo());
}

bool QsoFilters::passesFlag(const AdifRecord& record, QslFilter filter) const
{
    const auto flag = record.firstCharacter(tagName(filter));
    if (!flag)
        return m_settings.qslBoxTicked(filter, QslBox::Blank);
    QslBox box;
    return flag->size() == 1 && letterBox(filter, (*flag)[0], box) && m_settings.qslBoxTicked(filter, box);
}

bool QsoFilters::passesDateAndFlags(const AdifRecord& record, long long recordDate) const
{
    bool pass = true;
    if (m_settings.dateRangeEnabled() && (recordDate == 0 || recordDate < m_from || recordDate > m_to))
        pass = false;
    for (QslFilter filter : {QslFilter::Sent, QslFilter::Rcvd, QslFilter::Print})
        if (m_settings.qslFilterEnabled(filter) && !passesFlag(record, filter))
            pass = false;
    return pass;
}

bool QsoFilters::passesCall(std::string_view callColumnWithComma) const
{
    if (!m_settings.callFilterEnabled())
        return true;
    const std::string wanted = m_settings.callFilterText() + ",";
    return callColumnWithComma == wanted;
}

} // namespace cardmill
