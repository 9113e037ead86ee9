#include "ui/RoutesDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/Captions.h"
#include "ui/Choices.h"
#include "ui/Widgets.h"

namespace cardmill {

namespace {

QLabel* caption(QWidget* parent, WindowText id, QWidget* buddy)
{
    auto* l = captioned(new QLabel(parent), id);
    l->setBuddy(buddy);
    return l;
}

} // namespace

RoutesDialog::RoutesDialog(const RouteChoice& choice, ChooseSheet chooseSheet,
                           std::optional<std::vector<Journal::Run>> runs, Language language, QWidget* parent)
    : QDialog(parent)
    , m_choice(choice)
    , m_chooseSheet(std::move(chooseSheet))
    , m_runs(runs.value_or(std::vector<Journal::Run>{}))
    , m_language(language)
{
    setObjectName("RoutesDialog");
    captioned(this, WindowText::RoutesTitle);
    auto* outer = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    outer->addLayout(form);

    m_default = spokenAs(named<QComboBox>(this, "DefaultRoute"), WindowText::RoutesDefault);
    fillDefaultRoutes(m_default, language);
    showRoute(m_default, choice.fallback);
    form->addRow(caption(this, WindowText::RoutesDefault, m_default), m_default);

    m_noAddress = spokenAs(named<QComboBox>(this, "NoAddress"), WindowText::RoutesNoAddress);
    fillNoAddressRoutes(m_noAddress, language);
    showRoute(m_noAddress, choice.noAddress);
    form->addRow(caption(this, WindowText::RoutesNoAddress, m_noAddress), m_noAddress);

    m_addressSheet = spokenAs(named<QLineEdit>(this, "AddressSheet"), WindowText::RoutesAddressSheet);
    m_addressSheet->setText(toQString(choice.addressStock));
    m_addressSheet->setPlaceholderText(toQString(textFor(WindowText::RoutesAddressSheetSame, language)));
    m_addressSheet->setClearButtonEnabled(true);
    m_addressSheet->setMinimumWidth(fontMetrics().averageCharWidth() * 32);
    auto* sheetRow = new QHBoxLayout;
    sheetRow->addWidget(m_addressSheet, 1);
    if (m_chooseSheet) {
        auto* choose = captioned(named<QPushButton>(this, "ChooseAddressSheet"), WindowText::ButtonChooseSheet);
        choose->setAutoDefault(false);
        sheetRow->addWidget(choose);
        connect(choose, &QPushButton::clicked, this, [this] {
            const std::string chosen = m_chooseSheet(m_addressSheet->text().toStdString());
            if (!chosen.empty())
                m_addressSheet->setText(toQString(chosen));
        });
    }
    form->addRow(caption(this, WindowText::RoutesAddressSheet, m_addressSheet), sheetRow);

    if (runs) { // a choice of the run, as the first label of the bureau's: not kept in a profile
        m_directStart = spokenAs(named<QSpinBox>(this, "DirectStart"), WindowText::RoutesDirectStart);
        m_directStart->setRange(1, kMaxStartLabel);
        m_directStart->setValue(choice.directStart);
        form->addRow(caption(this, WindowText::RoutesDirectStart, m_directStart), m_directStart);
    }

    if (runs) {
        auto* group = captioned(named<QGroupBox>(this, "ReprintGroup"), WindowText::RoutesReprintGroup);
        auto* reprintForm = new QFormLayout(group);
        if (m_runs.empty()) {
            auto* none = captioned(new QLabel(group), WindowText::RoutesNoRunsYet);
            none->setWordWrap(true);
            reprintForm->addRow(none);
        } else {
            m_run = spokenAs(named<QComboBox>(group, "ReprintRun"), WindowText::RoutesReprintRun);
            for (const Journal::Run& r : m_runs) {
                const std::string date = r.date.size() == 8
                                             ? r.date.substr(0, 4) + "-" + r.date.substr(4, 2) + "-" + r.date.substr(6)
                                             : r.date;
                m_run->addItem(toQString(textFor(
                    WindowText::RoutesReprintRunEntry, language,
                    {std::to_string(r.run), date, std::to_string(r.bureauSheets), std::to_string(r.directSheets)})));
            }
            m_run->setCurrentIndex(m_run->count() - 1); // the last run: the one a printer just jammed
            m_labels = spokenAs(named<QComboBox>(group, "ReprintLabels"), WindowText::RoutesReprintLabels);
            m_labels->addItem(toQString(textFor(WindowText::RoutesReprintBureau, language)),
                              static_cast<int>(Route::Bureau));
            m_labels->addItem(toQString(textFor(WindowText::RoutesReprintDirect, language)),
                              static_cast<int>(Route::Direct));
            m_sheet = spokenAs(named<QSpinBox>(group, "ReprintSheet"), WindowText::RoutesReprintSheet);
            reprintForm->addRow(caption(group, WindowText::RoutesReprintRun, m_run), m_run);
            reprintForm->addRow(caption(group, WindowText::RoutesReprintLabels, m_labels), m_labels);
            reprintForm->addRow(caption(group, WindowText::RoutesReprintSheet, m_sheet), m_sheet);
            auto* reprint = captioned(named<QPushButton>(group, "ReprintButton"), WindowText::ButtonReprintSheet);
            reprint->setAutoDefault(false);
            reprintForm->addRow(reprint);
            connect(m_run, &QComboBox::currentIndexChanged, this, [this] { runChosen(); });
            connect(m_labels, &QComboBox::currentIndexChanged, this, [this] { runChosen(); });
            connect(reprint, &QPushButton::clicked, this, [this] {
                const Journal::Run& r = m_runs[static_cast<std::size_t>(m_run->currentIndex())];
                m_reprint =
                    RouteChoice::ReprintSheet{r.run, static_cast<std::size_t>(m_sheet->value()), routeIn(m_labels)};
                accept();
            });
            runChosen();
        }
        outer->addWidget(group);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true); // Enter keeps the choices, never reprints
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);
    applyCaptions(this, language);
    m_default->setFocus();
}

void RoutesDialog::runChosen()
{
    // The sheets of the run's labels of the route chosen; a route without sheets offers the other.
    const Journal::Run& r = m_runs[static_cast<std::size_t>(std::max(m_run->currentIndex(), 0))];
    const bool direct = routeIn(m_labels) == Route::Direct;
    const std::size_t sheets = direct ? r.directSheets : r.bureauSheets;
    if (sheets == 0 && (direct ? r.bureauSheets : r.directSheets) > 0) {
        m_labels->setCurrentIndex(m_labels->findData(static_cast<int>(direct ? Route::Bureau : Route::Direct)));
        return; // shown again for the other route
    }
    m_sheet->setRange(1, static_cast<int>(std::clamp<std::size_t>(sheets, 1, 1000000000)));
    m_sheet->setSuffix(toQString(" / " + std::to_string(sheets)));
}

RouteChoice RoutesDialog::choice() const
{
    RouteChoice c = m_choice;
    c.fallback = routeIn(m_default);
    c.noAddress = routeIn(m_noAddress);
    c.addressStock = m_addressSheet->text().trimmed().toStdString();
    if (m_directStart)
        c.directStart = m_directStart->value();
    return c;
}

} // namespace cardmill
