#include "ui/TFSetup.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "engine/Files.h"
#include "engine/RunRequest.h"
#include "engine/Text.h"
#include "render/DesignFile.h"
#include "settings/DialogRules.h"
#include "settings/ProfileRequest.h"
#include "settings/Profiles.h"
#include "stock/Design.h"
#include "stock/StockCatalogue.h"
#include "texts/DesignTexts.h"
#include "ui/Captions.h"
#include "ui/Choices.h"
#include "ui/Messages.h"
#include "ui/PathBox.h"
#include "ui/RoutesDialog.h"
#include "ui/SheetChoice.h"
#include "ui/ShortenPath.h"
#include "ui/UserInteraction.h"
#include "ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace cardmill {

namespace {

constexpr std::size_t kPathBound = 65;

QPushButton* button(QWidget* parent, const char* name, const char* text)
{
    return named<QPushButton>(parent, name, text);
}

} // namespace

TFSetup::TFSetup(const Settings& settings, Language language, const ProfileSetupInput& input, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_language(language)
    , m_input(input)
{
    build();
    // The window's profile list and selection; the list shown, not the name box.
    for (const std::string& name : input.profiles)
        m_names->addItem(QString::fromStdString(name));
    m_names->setCurrentIndex(input.selected < m_names->count() ? input.selected : -1);
    leaveNewProfileMode();
    showChoices(input.choices);
    m_saved = values();
}

RunRequest TFSetup::choices() const
{
    RunRequest r = m_input.choices;
    r.log = m_log->path();
    r.swl = m_swl->path();
    r.mainDocument = m_main->path();
    r.sheet.setName(m_sheet->text().toStdString());
    r.sheet.design = m_designValue;
    r.format.qrg = qrgFormatIn(m_qrg);
    r.labelSize = LabelSize::nearest(m_qsos->value());
    r.format.dateFormat = dateFormatIn(m_date);
    r.format.separator = m_sep->text().toStdString();
    r.order = labelOrderIn(m_order);
    r.routes.fallback = m_routes.fallback;
    r.routes.noAddress = m_routes.noAddress;
    r.routes.addressStock = m_routes.addressStock;
    return r;
}

void TFSetup::showChoices(const RunRequest& r)
{
    m_log->setPath(r.log);
    m_main->setPath(r.mainDocument);
    m_sheet->setText(toQString(r.sheet.name()));
    m_designValue = r.sheet.design;
    m_design->setText(
        toQString(isDesignFile(r.sheet.design)
                      ? r.sheet.design
                      : builtInDesignTitle(r.sheet.design.empty() ? kBuiltInDesigns[0] : r.sheet.design, m_language)));
    m_swl->setPath(r.swl);
    m_separator = QString::fromStdString(r.format.separator);
    m_sep->setText(m_separator);
    showQrgFormat(m_qrg, r.format.qrg);
    showDateFormat(m_date, r.format.dateFormat);
    m_qsos->setValue(r.labelSize.value());
    showLabelOrder(m_order, r.order);
    m_routes = r.routes;
}

void TFSetup::build()
{
    setObjectName("FSetup");
    captioned(this, WindowText::SetupTitle);
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    outer->addWidget(captioned(new QLabel(this), WindowText::SetupProfileName));
    m_names = spokenAs(named<QComboBox>(this, "ComboBox1"), WindowText::SetupProfileName);
    m_newName = spokenAs(named<QLineEdit>(this, "Edit1"), WindowText::SetupNewName);
    QFont big = m_names->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.25);
    m_names->setFont(big);
    m_names->setStyleSheet(u"color: navy"_s);
    m_names->setMinimumContentsLength(20);
    m_newName->setFont(big);
    m_newName->setStyleSheet(u"color: blue"_s);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_names, 1);
    nameRow->addWidget(m_newName, 1);
    nameRow->addStretch(1);
    outer->addLayout(nameRow);
    buildPathRows(outer);
    buildFormatRow(outer);
    buildButtons(outer);

    // Which settings file the profiles are kept in.
    auto* file = named<QLabel>(this, "SettingsFile");
    file->setText(QString::fromStdString(ShortenPath(m_settings.file().string(), kPathBound)));
    file->setToolTip(pathText(m_settings.file()));
    file->setEnabled(false);
    outer->addWidget(file);
    applyCaptions(this, m_language);
    // A comma as separator would split the date into three columns of every data-source file.
    connect(m_sep, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text == u","_s) {
            m_sep->setText(m_separator);
            showTextMessage(this, WindowText::SeparatorComma, m_language);
        } else {
            m_separator = text;
        }
    });
}

void TFSetup::buildPathRows(QBoxLayout* outer)
{
    const int pathWidth = fontMetrics().averageCharWidth() * 48;
    auto pathRow = [&](WindowText caption, PathBox*& box, const char* boxName, QPushButton*& browse,
                       const char* browseName) {
        outer->addWidget(captioned(new QLabel(this), caption));
        box = spokenAs(new PathBox(kPathBound, this), caption);
        box->setObjectName(QString::fromLatin1(boxName));
        box->setMinimumWidth(pathWidth);
        browse = captioned(button(this, browseName, "Browse"), WindowText::SetupBrowse);
        auto* r = new QHBoxLayout;
        r->addWidget(box, 1);
        r->addWidget(browse);
        outer->addLayout(r);
        return r;
    };
    pathRow(WindowText::LabelSourceFile, m_log, "Edit2", m_browseLog, "Button4");
    pathRow(WindowText::LabelSwlFile, m_swl, "Edit4", m_browseSwl, "Button7");
    // Main documents are made here as on the main window ("New..."), or a label sheet taken instead.
    m_newMain = captioned(button(this, "ButtonNew", "New..."), WindowText::ButtonNewMainDocs);
    pathRow(WindowText::SetupMainDocument, m_main, "Edit5", m_browseMain, "Button5")->insertWidget(1, m_newMain);
    // The label sheet comes from the main window's "Choose..."; it can be cleared here for the main document.
    outer->addWidget(new QLabel(toQString(textFor(WindowText::LabelSheetCaption, m_language)), this));
    m_sheet = named<QLineEdit>(this, "EditSheet");
    m_sheet->setReadOnly(true);
    m_sheet->setPlaceholderText(toQString(textFor(WindowText::LabelSheetNone, m_language)));
    m_sheet->setAccessibleName(toQString(textFor(WindowText::LabelSheetCaption, m_language)));
    QAction* clearSheet =
        m_sheet->addAction(style()->standardIcon(QStyle::SP_LineEditClearButton), QLineEdit::TrailingPosition);
    clearSheet->setObjectName("ClearSheet");
    nameActionButton(clearSheet, toQString(textFor(WindowText::ClearSheet, m_language)));
    connect(clearSheet, &QAction::triggered, this, [this] { m_sheet->clear(); });
    connect(m_sheet, &QLineEdit::textChanged, this,
            [this, clearSheet](const QString& t) { clearSheet->setVisible(!t.isEmpty()); });
    outer->addWidget(m_sheet);
    auto* designRow = new QHBoxLayout;
    designRow->addWidget(new QLabel(toQString(textFor(WindowText::DesignCaption, m_language)).remove(u'&'), this));
    m_design = named<QLineEdit>(this, "EditDesign");
    m_design->setReadOnly(true);
    m_design->setAccessibleName(toQString(textFor(WindowText::DesignCaption, m_language)).remove(u'&'));
    designRow->addWidget(m_design, 1);
    outer->addLayout(designRow);
    QAction* clear =
        m_swl->addAction(style()->standardIcon(QStyle::SP_LineEditClearButton), QLineEdit::TrailingPosition);
    clear->setObjectName("ClearSwl");
    nameActionButton(clear, QString::fromStdString(textFor(WindowText::ClearSwlFile, m_language)));
    connect(clear, &QAction::triggered, this, [this] { clearSwlFile(); });
    connect(m_swl, &PathBox::pathChanged, this, [this, clear] { clear->setVisible(!m_swl->path().empty()); });
    m_swl->installEventFilter(this);
}

void TFSetup::buildFormatRow(QBoxLayout* outer)
{
    auto* formats = new QGridLayout;
    m_qrg = named<QComboBox>(this, "ComboBox2");
    fillQrgFormats(m_qrg, m_language);
    m_date = named<QComboBox>(this, "ComboBox3");
    fillDateFormats(m_date);
    m_sep = named<QLineEdit>(this, "Edit3");
    m_sep->setMaxLength(1);
    QFont mono(u"Monospace"_s);
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSizeF(m_names->font().pointSizeF());
    m_sep->setFont(mono);
    m_sep->setFixedWidth(QFontMetrics(mono).horizontalAdvance(u"MM"_s) + 12);
    m_qsos = named<QSpinBox>(this, "SpinEdit1");
    m_qsos->setRange(LabelSize::kMin, LabelSize::kMax);
    spokenAs(m_qrg, WindowText::LabelQrgFormat);
    spokenAs(m_date, WindowText::LabelDateFormat);
    spokenAs(m_sep, WindowText::SetupSeparatorName);
    spokenAs(m_qsos, WindowText::SetupQsos);
    formats->addWidget(captioned(new QLabel(this), WindowText::LabelQrgFormat), 0, 0);
    formats->addWidget(m_qrg, 1, 0);
    formats->addWidget(captioned(new QLabel(this), WindowText::LabelDateFormat), 0, 1);
    formats->addWidget(m_date, 1, 1);
    formats->addWidget(captioned(new QLabel(this), WindowText::SetupSeparator), 0, 2);
    formats->addWidget(m_sep, 1, 2);
    formats->addWidget(captioned(new QLabel(this), WindowText::SetupQsosCaption), 0, 3);
    formats->addWidget(m_qsos, 1, 3, Qt::AlignLeft);
    m_order = spokenAs(named<QComboBox>(this, "ComboOrder"), WindowText::LabelOrderCaption);
    fillLabelOrders(m_order, m_language);
    formats->addWidget(new QLabel(QString::fromStdString(textFor(WindowText::LabelOrderCaption, m_language)), this), 0,
                       4);
    formats->addWidget(m_order, 1, 4);
    m_routesButton = captioned(button(this, "ButtonRoutes", "R&outes..."), WindowText::ButtonRoutes);
    m_routesButton->setAutoDefault(false);
    m_routesButton->setEnabled(false);
    formats->addWidget(m_routesButton, 1, 5);
    connect(m_order, &QComboBox::currentIndexChanged, this,
            [this] { m_routesButton->setEnabled(labelOrderIn(m_order) == LabelOrder::Routes); });
    connect(m_routesButton, &QPushButton::clicked, this, [this] { editRoutes(); });
    outer->addLayout(formats);
}

void TFSetup::buildButtons(QBoxLayout* outer)
{
    m_delete = captioned(button(this, "Button3", "Delete"), WindowText::SetupDelete);
    m_new = captioned(button(this, "Button1", "New profile"), WindowText::SetupNewProfile);
    m_apply = captioned(button(this, "Button2", "Apply"), WindowText::SetupApply);
    m_ok = captioned(button(this, "Button6", "OK"), WindowText::SetupOk);
    m_ok->setDefault(true); // Enter takes what was set up, never a Browse or "New..."
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_delete);
    buttons->addWidget(m_new);
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_ok);
    outer->addLayout(buttons);
    connect(m_new, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(m_apply, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(m_browseLog, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(m_browseSwl, &QPushButton::clicked, this, [this] { Button7Click(); });
    connect(m_browseMain, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(m_newMain, &QPushButton::clicked, this, [this] { newMainDocuments(); });
    connect(m_names, &QComboBox::activated, this, [this] { ComboBox1Change(); });
}

void TFSetup::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_input.newProfile && !m_shownOnce)
        Button1Click();
    m_shownOnce = true;
}

bool TFSetup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_swl && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            clearSwlFile();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFSetup::clearSwlFile()
{
    m_swl->setPath({});
}

void TFSetup::leaveNewProfileMode()
{
    m_newProfileMode = false;
    m_newName->hide();
    m_names->show();
}

std::string TFSetup::selectedName() const
{
    return m_names->currentIndex() < 0 ? std::string() : m_names->currentText().toStdString();
}

void TFSetup::Button1Click()
{
    m_names->hide();
    m_newName->show();
    m_newName->clear();
    m_newName->setFocus();
    m_newProfileMode = true;
    // A new profile starts with a separator, never with none.
    if (m_sep->text().isEmpty()) {
        m_separator = u"-"_s;
        m_sep->setText(m_separator);
    }
}

void TFSetup::ComboBox1Change()
{
    if (!m_settings.exists() || m_names->currentIndex() < 0)
        return;
    // The profile as every program loads it; a label size that is no number is said.
    if (const auto raw = m_settings.profileValue(selectedName(), profileKey::qsosOnLabel)) {
        long long n = 0;
        if (!text::parseInteger(*raw, n))
            showTextMessage(this, WindowText::NotAnInteger, m_language, {*raw});
    }
    RunRequest loaded = choices();
    loaded.sheet = {}; // a profile without a sheet has its labels merged into its main document
    applyProfile(m_settings.profile(selectedName()), loaded);
    showChoices(loaded);
    m_saved = values();
}

// The dialogs start in the folder of the file chosen before, else in the log's.
void TFSetup::Button4Click()
{
    m_log->browse(textFor(WindowText::FilterAdif, m_language));
}

void TFSetup::Button7Click()
{
    m_swl->browse(textFor(WindowText::FilterAdif, m_language), m_log->path().parent_path());
}

void TFSetup::Button5Click()
{
    m_main->browse(textFor(WindowText::FilterMainDocument, m_language), m_log->path().parent_path());
}

bool TFSetup::apply()
{
    const Language l = m_language;
    const std::string newName = m_newName->text().toStdString();
    if (m_newProfileMode) {
        // A name the settings file cannot hold as a section of its own is refused with the reason.
        if (const ProfileNameProblem problem = checkProfileName(newName); problem != ProfileNameProblem::None) {
            showTextMessage(this, profileNameProblemText(problem), l, {newName});
            m_newName->setFocus();
            return false;
        }
        if (m_settings.sectionExists(newName)) {
            showTextMessage(this, WindowText::ProfileExists, l);
            m_newName->setFocus();
            return false;
        }
    } else if (m_names->currentIndex() < 0) {
        showTextMessage(this, WindowText::NoProfileSelected, l);
        return false;
    }
    if (m_log->path().empty()) {
        showTextMessage(this, TextId::NoSourceFile, l);
        return false;
    }
    if (m_main->path().empty() && m_sheet->text().isEmpty()) {
        showTextMessage(this, TextId::NoMainDocument, l);
        return false;
    }

    const std::string name = m_newProfileMode ? newName : selectedName();
    const Profile p = values();
    try {
        m_settings.writeProfile(name, p);
    } catch (const SettingsWriteError& e) {
        showTextMessage(this, WindowText::UnableToWrite, l, {e.path().string()});
        return false;
    }
    if (m_newProfileMode) {
        const QString q = QString::fromStdString(name);
        int at = 0;
        while (at < m_names->count() && QString::compare(m_names->itemText(at), q, Qt::CaseInsensitive) <= 0)
            ++at;
        m_names->insertItem(at, q);
        m_names->setCurrentIndex(at);
        leaveNewProfileMode();
    }
    m_result.changed = true;
    m_result.saved = true;
    m_saved = values();
    m_result.current = name;
    return true;
}

void TFSetup::Button2Click()
{
    if (apply())
        accept();
}

void TFSetup::Button3Click()
{
    const Language l = m_language;
    if (m_newProfileMode) {
        showTextMessage(this, WindowText::CannotDeleteNew, l);
        return;
    }
    const int selected = m_names->currentIndex();
    if (selected < 0) {
        showTextMessage(this, WindowText::NoProfileSelected, l);
        return;
    }
    const std::string name = selectedName();
    if (askText(this, WindowText::DeleteProfile, l, false, {name}, UserInteraction::Answer::No) !=
        UserInteraction::Answer::Yes)
        return;
    try {
        m_settings.eraseProfile(name);
    } catch (const SettingsWriteError& e) {
        showTextMessage(this, WindowText::UnableToWrite, l, {e.path().string()}); // the lists follow all the same
    }
    // The main window keeps its current profile; when that one went, the one now at its place (or the one
    // before it, at the end of the list) becomes current.
    std::vector<std::string> remaining = m_input.profiles;
    const std::string current = m_input.selected >= 0 && m_input.selected < static_cast<int>(remaining.size())
                                    ? remaining[static_cast<std::size_t>(m_input.selected)]
                                    : std::string();
    remaining.erase(std::remove(remaining.begin(), remaining.end(), name), remaining.end());
    m_result.changed = true;
    m_result.current.reset();
    if (!current.empty() && current != name) {
        m_result.current = current;
    } else if (!current.empty() && !remaining.empty()) {
        const std::size_t at = std::min(static_cast<std::size_t>(m_input.selected), remaining.size() - 1);
        m_result.current = remaining[at];
    }
    m_names->removeItem(selected);
    accept();
}

void TFSetup::Button6Click()
{
    if (mayLeave())
        accept();
}

void TFSetup::reject()
{
    if (mayLeave())
        QDialog::reject();
}

Profile TFSetup::values() const
{
    return profileOf(choices());
}

bool TFSetup::mayLeave()
{
    // Nothing typed is lost without a word: a new profile, or changes to the one shown, are offered for saving.
    if (m_newProfileMode) {
        const UserInteraction::Answer a = askText(this, WindowText::NewProfileNotSaved, m_language, true);
        if (a == UserInteraction::Answer::Cancel)
            return false;
        if (a == UserInteraction::Answer::Yes && !apply())
            return false;
        leaveNewProfileMode();
    } else if (m_names->currentIndex() >= 0 && values() != m_saved) {
        const UserInteraction::Answer a =
            askText(this, WindowText::ProfileChangesNotSaved, m_language, true, {selectedName()});
        if (a == UserInteraction::Answer::Cancel)
            return false;
        if (a == UserInteraction::Answer::Yes && !apply())
            return false;
    }
    return true;
}

void TFSetup::newMainDocuments()
{
    StockCatalogue catalogue;
    catalogue.loadInstalled();
    const std::filesystem::path near = m_main->path().empty() ? m_log->path() : m_main->path();
    const StockDialogChoice chosen =
        chooseInStockDialog(catalogue, m_settings, m_language, this, near.parent_path(), m_sheet->text().toStdString());
    if (!chosen.sheet.empty()) {
        m_sheet->setText(toQString(chosen.sheet));
    } else if (!chosen.mainDocument.empty()) {
        m_main->setPath(chosen.mainDocument);
        m_sheet->clear();
    }
}

void TFSetup::editRoutes()
{
    const auto chooseSheet = [this](const std::string& sheet) {
        StockCatalogue catalogue;
        catalogue.loadInstalled();
        const std::filesystem::path near = m_main->path().empty() ? m_log->path() : m_main->path();
        return chooseInStockDialog(catalogue, m_settings, m_language, this, near.parent_path(), sheet).sheet;
    };
    RoutesDialog dialog(m_routes, chooseSheet, std::nullopt, m_language, this);
    if (userInteraction().execDialog(dialog) == QDialog::Accepted)
        m_routes = dialog.choice();
}

} // namespace cardmill
