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

QsoFilters::QsoFilters(const QsoFilterChoice& choice)
    : m_choice(choice)
    , m_call(choice.call + ",")
    , m_from(dateBound(choice.from))
    , m_to(dateBound(choice.to))
{
}

bool QsoFilters::passesFlag(const AdifRecord& record, QslFilter filter) const
{
    const auto flag = record.firstCharacter(tagName(filter));
    const QslFlagChoice& boxes = m_choice.flags(filter);
    if (!flag)
        return boxes.isTicked(QslBox::Blank);
    QslBox box;
    return flag->size() == 1 && letterBox(filter, (*flag)[0], box) && boxes.isTicked(box);
}

bool QsoFilters::passesDateAndFlags(const AdifRecord& record, long long recordDate) const
{
    bool pass = true;
    if (m_choice.dateRange && (recordDate == 0 || recordDate < m_from || recordDate > m_to))
        pass = false;
    for (QslFilter filter : {QslFilter::Sent, QslFilter::Rcvd, QslFilter::Print})
        if (m_choice.flags(filter).on && !passesFlag(record, filter))
            pass = false;
    return pass;
}

bool QsoFilters::passesCall(std::string_view callColumnWithComma) const
{
    return !m_choice.callOn || callColumnWithComma == m_call;
}

} // namespace cardmill
