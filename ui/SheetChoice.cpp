#include "ui/SheetChoice.h"

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStringList>
#include <QStyle>
#include <QVBoxLayout>

#include "engine/Files.h"
#include "engine/RunRequest.h"
#include "render/DesignFile.h"
#include "texts/DesignTexts.h"
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
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
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

    // The design of the drawn labels: a built-in one, or a design file opened here.
    auto* designRow = new QHBoxLayout;
    m_designLabel = captioned(named<QLabel>(this, "LabelDesign", "Design"), WindowText::DesignCaption);
    m_design = spokenAs(named<QComboBox>(this, "ComboDesign"), WindowText::DesignCaption);
    for (std::string_view name : kBuiltInDesigns)
        m_design->addItem(toQString(builtInDesignTitle(name, Language::English)), toQString(std::string(name)));
    m_designLabel->setBuddy(m_design);
    m_designFile = idleOnly(named<QPushButton>(this, "ButtonDesignFile", "Design &file..."));
    captioned(m_designFile, WindowText::ButtonDesignFile);
    connect(m_designFile, &QPushButton::clicked, this, [this] { guarded([this] { openDesignFile(); }); });
    designRow->addWidget(m_designLabel);
    designRow->addWidget(m_design, 1);
    designRow->addWidget(m_designFile);
    m_editDesign =
        idleOnly(captioned(named<QPushButton>(this, "ButtonEditDesign", "&Edit..."), WindowText::ButtonEditDesign));
    connect(m_editDesign, &QPushButton::clicked, this, [this] { emit editDesignClicked(); });
    designRow->addWidget(m_editDesign);
    column->addLayout(row);
    column->addLayout(designRow);
}

std::string SheetChoice::design() const
{
    const std::string d = m_design->currentData().toString().toStdString();
    return d == kBuiltInDesigns[0] ? std::string() : d;
}

void SheetChoice::setDesign(const std::string& design)
{
    const QString value = toQString(design.empty() ? std::string(kBuiltInDesigns[0]) : design);
    int at = -1;
    for (int i = 0; i < m_design->count() && at < 0; ++i)
        if (m_design->itemData(i).toString().compare(value, isDesignFile(design) ? Qt::CaseSensitive
                                                                                 : Qt::CaseInsensitive) == 0)
            at = i;
    if (at < 0) {
        // A design file is listed by its name, its path in the tooltip.
        m_design->addItem(toQString(files::pathFromUtf8(design).filename().string()), value);
        at = m_design->count() - 1;
        m_design->setItemData(at, value, Qt::ToolTipRole);
    }
    m_design->setCurrentIndex(at);
}

void SheetChoice::openDesignFile()
{
    const std::filesystem::path folder =
        isDesignFile(design()) ? files::pathFromUtf8(design()).parent_path() : std::filesystem::path();
    if (const auto file = userInteraction().openFile(window(), textFor(WindowText::FilterDesign, m_language), folder))
        setDesign(files::utf8Of(*file));
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

std::optional<LabelStock> SheetChoice::stockOf(const std::string& sheet, Language language)
{
    const SheetStock found = stockForSheet(sheet, LabelSheet::isGrid(sheet) ? StockCatalogue() : catalogue());
    if (found.problem) {
        if (found.problem->id == StockProblem::Id::SheetUnknown)
            showTextMessage(window(), WindowText::SheetUnknown, language, {sheet});
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
    m_language = language;
    applyCaptions(this, language);
    for (int i = 0; i < static_cast<int>(kBuiltInDesigns.size()); ++i) {
        const std::string name = m_design->itemData(i).toString().toStdString();
        m_design->setItemText(i, toQString(builtInDesignTitle(name, language)));
        m_design->setItemData(i, toQString(name + ": " + builtInDesignText(name, language)), Qt::ToolTipRole);
    }
}

} // namespace cardmill
