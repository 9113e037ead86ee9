#include "ui/SheetChoice.h"

#include <QAction>
#include <QCompleter>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStringList>
#include <QStyle>

#include "engine/RunRequest.h"
#include "ui/Captions.h"
#include "ui/ErrorHandler.h"
#include "ui/Messages.h"
#include "ui/TFStock.h"
#include "ui/UserInteraction.h"
#include "ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace cardmill {

StockDialogChoice chooseInStockDialog(const StockCatalogue& catalogue, const Settings& settings, Language language,
                                      QWidget* parent, const std::filesystem::path& folder, const std::string& sheet)
{
    TFStock dialog(catalogue, settings, language, parent);
    dialog.setFolder(folder);
    if (!sheet.empty())
        dialog.selectSheet(sheet);
    if (userInteraction().execDialog(dialog) != QDialog::Accepted)
        return {};
    return {dialog.chosenSheet(), dialog.chosenSheet().empty() ? dialog.firstSizeDocument() : std::filesystem::path()};
}

SheetChoice::SheetChoice(const Settings& settings, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
{
    setObjectName("SheetChoice");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_box = spokenAs(named<QLineEdit>(this, "EditSheet"), WindowText::LabelSheetCaption);
    // The sheet is typed (completed from the catalogue's stocks) or chosen in the stock dialog.
    connect(m_box, &QLineEdit::editingFinished, this, [this] { guarded([this] { typed(); }); });
    m_clear = m_box->addAction(style()->standardIcon(QStyle::SP_LineEditClearButton), QLineEdit::TrailingPosition);
    m_clear->setObjectName("ClearSheet");
    m_clear->setVisible(false);
    connect(m_clear, &QAction::triggered, this, [this] { setSheet({}); });

    m_ownCall = spokenAs(named<QLineEdit>(this, "EditOwnCall"), WindowText::StockOwnCall);
    m_ownCall->setValidator(new QRegularExpressionValidator(QRegularExpression(u"[A-Za-z0-9/]{0,20}"_s), m_ownCall));
    m_ownCall->setFixedWidth(fontMetrics().averageCharWidth() * 12);
    connect(m_ownCall, &QLineEdit::textEdited, this, [this](const QString& t) {
        const int at = m_ownCall->cursorPosition();
        m_ownCall->setText(t.toUpper());
        m_ownCall->setCursorPosition(at);
    });
    m_ownCallLabel = captioned(named<QLabel>(this, "LabelOwnCall", "Your call sign"), WindowText::StockOwnCall);
    m_ownCallLabel->setBuddy(m_ownCall);
    m_choose = idleOnly(named<QPushButton>(this, "ButtonSheet", "C&hoose..."));
    connect(m_choose, &QPushButton::clicked, this, [this] { emit chooseClicked(); });
    row->addWidget(m_box, 1);
    row->addWidget(m_ownCallLabel);
    row->addWidget(m_ownCall);
    row->addWidget(m_choose);
}

SheetChoice::~SheetChoice() = default;

void SheetChoice::setSheet(const std::string& sheet)
{
    m_sheet = sheet;
    m_box->setText(toQString(sheet));
    m_box->setToolTip(toQString(sheet));
    m_clear->setVisible(!sheet.empty());
    emit sheetChanged();
}

void SheetChoice::typed()
{
    const std::string typed = m_box->text().trimmed().toStdString();
    if (typed == m_sheet)
        return;
    // A stock of the catalogue by its name or part number, as the catalogue spells it; a grid or an unknown
    // name as typed (Start says what is wrong with it).
    const LabelStock* stock = typed.empty() || LabelSheet::isGrid(typed) ? nullptr : catalogue().find(typed);
    setSheet(stock ? stock->name() : typed);
}

std::string SheetChoice::ownCall() const
{
    return m_ownCall->text().trimmed().toUpper().toStdString();
}

void SheetChoice::showRememberedCall()
{
    try {
        if (m_ownCall->text().isEmpty())
            m_ownCall->setText(toQString(m_settings.stockChoice().ownCall));
    } catch (const std::exception&) {
        // An unreadable settings file: the call is typed again.
    }
}

void SheetChoice::storeOwnCall()
{
    const std::string call = ownCall();
    try {
        StockChoice choice = m_settings.stockChoice();
        if (choice.ownCall == call)
            return;
        choice.ownCall = call;
        m_settings.storeStockChoice(choice);
    } catch (const std::exception&) {
        // Said when the window stores its settings at Exit; the run takes the call from the window meanwhile.
    }
}

const StockCatalogue& SheetChoice::catalogue()
{
    if (!m_catalogue) {
        m_catalogue = std::make_unique<StockCatalogue>();
        m_catalogue->loadInstalled();
    }
    return *m_catalogue;
}

std::optional<LabelStock> SheetChoice::stock(Language language)
{
    const SheetStock found = stockForSheet(m_sheet, LabelSheet::isGrid(m_sheet) ? StockCatalogue() : catalogue());
    if (found.problem) {
        if (found.problem->id == StockProblem::Id::SheetUnknown)
            showTextMessage(window(), WindowText::SheetUnknown, language, {m_sheet});
        else
            showTextMessage(window(), WindowText::StockFailed, language, {stockProblemText(*found.problem, language)});
    }
    return found.stock;
}

std::filesystem::path SheetChoice::openStockDialog(const std::filesystem::path& folder, Language language)
{
    storeOwnCall(); // the dialog starts with the call typed on the window
    const StockDialogChoice chosen = chooseInStockDialog(catalogue(), m_settings, language, window(), folder, m_sheet);
    try {
        m_ownCall->setText(toQString(m_settings.stockChoice().ownCall)); // as the dialog may have changed it
    } catch (const std::exception&) {
    }
    if (!chosen.sheet.empty())
        setSheet(chosen.sheet);
    else if (!chosen.mainDocument.empty())
        setSheet({}); // the documents just made are what the user wants used
    return chosen.mainDocument;
}

void SheetChoice::completeFromCatalogue()
{
    if (m_box->completer())
        return;
    QStringList names;
    for (const LabelStock* s : catalogue().search(""))
        names << toQString(s->name());
    auto* completer = new QCompleter(names, m_box);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains); // "L7163" finds "Avery L7163"
    m_box->setCompleter(completer);
    connect(completer, qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& chosen) { setSheet(chosen.toStdString()); });
}

void SheetChoice::focusOwnCall()
{
    m_ownCall->setFocus();
    m_ownCall->selectAll();
}

void SheetChoice::applyLanguage(Language language)
{
    m_choose->setText(toQString(textFor(WindowText::ButtonChooseSheet, language)));
    m_box->setPlaceholderText(toQString(textFor(WindowText::LabelSheetNone, language)));
    nameActionButton(m_clear, toQString(textFor(WindowText::ClearSheet, language)));
    applyCaptions(this, language);
}

} // namespace cardmill
