#include "ui/FilterPane.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

#include "engine/Text.h"
#include "ui/Captions.h"

using namespace Qt::StringLiterals;

namespace cardmill {

namespace {

PickerDate pickerDate(const QDateEdit* picker)
{
    const QDate d = picker->date();
    return {d.year(), d.month(), d.day()};
}

// The boxes of the three QSL-flag filters, with the objects' names the design gives them.
struct BoxDesign {
    QslBox box;
    const char* name;
    const char* caption;
};
struct RowDesign {
    QslFilter filter;
    const char* name;
    const char* caption;
    std::vector<BoxDesign> boxes;
};
const std::array<RowDesign, 3>& rowDesigns()
{
    // clang-format off
    static const std::array<RowDesign, 3> rows{{
        {QslFilter::Sent, "CheckBox6", "QSL_SENT",
         {{QslBox::Y, "CheckBox9", "Y"}, {QslBox::N, "CheckBox10", "N"}, {QslBox::R, "CheckBox11", "R"},
          {QslBox::I, "CheckBox12", "I"}, {QslBox::Blank, "CheckBox8", "Blank"}}},
        {QslFilter::Rcvd, "CheckBox13", "QSL_RCVD",
         {{QslBox::Y, "CheckBox14", "Y"}, {QslBox::N, "CheckBox15", "N"}, {QslBox::R, "CheckBox18", "R"},
          {QslBox::I, "CheckBox19", "I"}, {QslBox::Blank, "CheckBox16", "Blank"}}},
        {QslFilter::Print, "CheckBox7", "QSL_PRINT",
         {{QslBox::L, "CheckBox2", "L"}, {QslBox::A, "CheckBox4", "A"}, {QslBox::N, "CheckBox5", "N"},
          {QslBox::Blank, "CheckBox17", "Blank"}}},
    }};
    return rows;
    // clang-format on
}

// Where each box's tick is kept in the settings file's state.
struct StoredBox {
    QslFilter filter;
    QslBox box;
    bool FilterSettings::*member;
};
// clang-format off
constexpr StoredBox kStoredBoxes[] = {
    {QslFilter::Sent, QslBox::Y, &FilterSettings::sentY},        {QslFilter::Sent, QslBox::N, &FilterSettings::sentN},
    {QslFilter::Sent, QslBox::R, &FilterSettings::sentR},        {QslFilter::Sent, QslBox::I, &FilterSettings::sentI},
    {QslFilter::Sent, QslBox::Blank, &FilterSettings::sentBlank}, {QslFilter::Rcvd, QslBox::Y, &FilterSettings::rcvdY},
    {QslFilter::Rcvd, QslBox::N, &FilterSettings::rcvdN},        {QslFilter::Rcvd, QslBox::R, &FilterSettings::rcvdR},
    {QslFilter::Rcvd, QslBox::I, &FilterSettings::rcvdI},        {QslFilter::Rcvd, QslBox::Blank, &FilterSettings::rcvdBlank},
    {QslFilter::Print, QslBox::L, &FilterSettings::printL},      {QslFilter::Print, QslBox::A, &FilterSettings::printA},
    {QslFilter::Print, QslBox::N, &FilterSettings::printN},      {QslFilter::Print, QslBox::Blank, &FilterSettings::printBlank},
};
// clang-format on

QCheckBox* checkBox(QWidget* parent, const char* name, const char* caption)
{
    auto* c = new QCheckBox(QString::fromUtf8(caption), parent);
    c->setObjectName(name);
    return c;
}

QFrame* rowFrame(QWidget* parent)
{
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::StyledPanel);
    return f;
}

} // namespace

FilterPane::FilterPane(QWidget* parent)
    : QFrame(parent)
{
    setObjectName("FilterPane");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_title = captioned(new QLabel(u"Filters"_s, this), WindowText::FiltersTitle);
    m_title->setObjectName("Label10");
    layout->addWidget(m_title);

    QFrame* callRow = rowFrame(this);
    auto* callLayout = new QHBoxLayout(callRow);
    m_callOn = checkBox(callRow, "CheckBox20", "Call");
    m_call = new QLineEdit(callRow);
    m_call->setObjectName("Edit4");
    spokenAs(m_call, WindowText::FilterCallSign);
    callLayout->addWidget(m_callOn);
    callLayout->addWidget(m_call, 1);
    layout->addWidget(callRow);
    // The call box turns whatever is typed into capitals.
    connect(m_call, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = QString::fromStdString(text::upper(text.toStdString()));
        if (upper != text) {
            const int cursor = m_call->cursorPosition();
            m_call->setText(upper);
            m_call->setCursorPosition(cursor);
        }
    });

    QFrame* dateRow = rowFrame(this);
    auto* dateLayout = new QHBoxLayout(dateRow);
    m_dateOn = checkBox(dateRow, "CheckBox3", "Date Range");
    m_fromLabel = new QLabel(u"From:"_s, dateRow);
    m_fromLabel->setObjectName("Label6");
    m_toLabel = new QLabel(u"To:"_s, dateRow);
    m_toLabel->setObjectName("Label7");
    m_from = new QDateEdit(QDate::currentDate(), dateRow);
    m_from->setObjectName("DateTimePicker1");
    spokenAs(m_from, WindowText::FilterFromDate);
    m_to = new QDateEdit(QDate::currentDate(), dateRow);
    m_to->setObjectName("DateTimePicker2");
    spokenAs(m_to, WindowText::FilterToDate);
    for (QDateEdit* p : {m_from, m_to}) {
        p->setCalendarPopup(true);
        p->setDisplayFormat(u"yyyy-MM-dd"_s);
    }
    dateLayout->addWidget(m_dateOn);
    dateLayout->addWidget(m_fromLabel);
    dateLayout->addWidget(m_from);
    dateLayout->addWidget(m_toLabel);
    dateLayout->addWidget(m_to);
    layout->addWidget(dateRow);

    for (std::size_t r = 0; r < rowDesigns().size(); ++r) {
        const RowDesign& design = rowDesigns()[r];
        QFrame* frame = rowFrame(this);
        auto* grid = new QHBoxLayout(frame);
        QslRow& row = m_qsl[r];
        row.filter = design.filter;
        row.master = checkBox(frame, design.name, design.caption);
        grid->addWidget(row.master);
        for (const BoxDesign& b : design.boxes) {
            row.boxes.push_back({b.box, checkBox(frame, b.name, b.caption)});
            if (b.box == QslBox::Blank)
                captioned(row.boxes.back().check, WindowText::CheckBlank);
            grid->addWidget(row.boxes.back().check);
        }
        grid->addStretch(1);
        layout->addWidget(frame);
        connect(row.master, &QCheckBox::toggled, this, [this] {
            enableDependents();
            emit switched();
        });
    }
    layout->addStretch(1);
    for (QCheckBox* master : {m_callOn, m_dateOn})
        connect(master, &QCheckBox::toggled, this, [this] {
            enableDependents();
            emit switched();
        });
    enableDependents();
}

void FilterPane::enableDependents()
{
    for (QWidget* w : std::initializer_list<QWidget*>{m_fromLabel, m_toLabel, m_from, m_to})
        w->setEnabled(m_dateOn->isChecked());
    for (const QslRow& row : m_qsl)
        for (const Box& b : row.boxes)
            b.check->setEnabled(row.master->isChecked());
}

const FilterPane::QslRow& FilterPane::row(QslFilter filter) const
{
    for (const QslRow& r : m_qsl)
        if (r.filter == filter)
            return r;
    return m_qsl.front();
}

bool FilterPane::anyOn() const
{
    bool on = m_callOn->isChecked() || m_dateOn->isChecked();
    for (const QslRow& r : m_qsl)
        on = on || r.master->isChecked();
    return on;
}

bool FilterPane::callOn() const
{
    return m_callOn->isChecked();
}

std::string FilterPane::call() const
{
    return m_call->text().toStdString();
}

bool FilterPane::dateRangeOn() const
{
    return m_dateOn->isChecked();
}

PickerDate FilterPane::from() const
{
    return pickerDate(m_from);
}

PickerDate FilterPane::to() const
{
    return pickerDate(m_to);
}

bool FilterPane::qslFilterOn(QslFilter filter) const
{
    return row(filter).master->isChecked();
}

bool FilterPane::qslBoxTicked(QslFilter filter, QslBox box) const
{
    for (const Box& b : row(filter).boxes)
        if (b.box == box)
            return b.check->isChecked();
    return false;
}

QsoFilterChoice FilterPane::choice() const
{
    QsoFilterChoice c;
    c.callOn = callOn();
    c.call = call();
    c.dateRange = dateRangeOn();
    c.from = from();
    c.to = to();
    for (const QslFilter f : {QslFilter::Sent, QslFilter::Rcvd, QslFilter::Print}) {
        QslFlagChoice& flags = c.flags(f);
        flags.on = qslFilterOn(f);
        for (const QslBox b : {QslBox::Y, QslBox::N, QslBox::R, QslBox::I, QslBox::L, QslBox::A, QslBox::Blank})
            flags.tick(b, qslBoxTicked(f, b));
    }
    return c;
}

FilterSettings FilterPane::settings() const
{
    FilterSettings f;
    f.call = m_callOn->isChecked();
    f.callsign = call();
    f.date = m_dateOn->isChecked();
    f.fromDate = QLocale().toString(m_from->date(), QLocale::ShortFormat).toStdString();
    f.toDate = QLocale().toString(m_to->date(), QLocale::ShortFormat).toStdString();
    f.qslSent = qslFilterOn(QslFilter::Sent);
    f.qslRcvd = qslFilterOn(QslFilter::Rcvd);
    f.qslPrint = qslFilterOn(QslFilter::Print);
    for (const StoredBox& s : kStoredBoxes)
        f.*s.member = qslBoxTicked(s.filter, s.box);
    return f;
}

void FilterPane::applyLanguage(Language l)
{
    m_fromLabel->setText(QString::fromStdString(textFor(WindowText::LabelFrom, l)));
    m_toLabel->setText(QString::fromStdString(textFor(WindowText::LabelTo, l)));
    m_dateOn->setText(QString::fromStdString(textFor(WindowText::CheckDateRange, l)));
    m_callOn->setText(QString::fromStdString(textFor(WindowText::CheckCall, l)));
}

} // namespace cardmill
