#include "ui/TForm1.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "cardmill/Version.h"
#include "engine/Files.h"
#include "engine/Text.h"
#include "render/RunDrawer.h"
#include "settings/ProfileRequest.h"
#include "stock/MainDocuments.h"
#include "stock/StockCatalogue.h"
#include "ui/Captions.h"
#include "ui/ErrorHandler.h"
#include "ui/FilterPane.h"
#include "ui/Messages.h"
#include "ui/PathBox.h"
#include "ui/QtTranslations.h"
#include "ui/RunController.h"
#include "ui/SwlArchive.h"
#include "ui/TFADIF1.h"
#include "ui/TFSetup.h"
#include "ui/UserInteraction.h"
#include "ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace cardmill {

namespace {

bool isLogFile(const QString& path)
{
    return path.endsWith(u".adi"_s, Qt::CaseInsensitive) || path.endsWith(u".adif"_s, Qt::CaseInsensitive);
}

} // namespace

TForm1::TForm1(Places places, RunController& runs, QWidget* parent)
    : QWidget(parent)
    , m_places(std::move(places))
    , m_settings(m_places.settingsFile)
    , m_runs(runs)
{
    setObjectName("Form1");
    setWindowTitle(u"CARDMILL"_s);
    setAcceptDrops(true);
    build();
    connectCommands();
    connectRuns();
    if (m_settings.state() == SettingsState::Missing)
        m_newProfileRequest = true;
    m_status->setText(u"Version "_s + QString::fromUtf8(kVersionText));
    showFormats();
}

TForm1::~TForm1() = default;

void TForm1::setConfiguration(TFADIF1& configuration)
{
    m_configuration = &configuration;
    CheckBox1Click(); // the language operation runs at start-up and whenever the language changes
}

Language TForm1::language() const
{
    return m_configuration && m_configuration->polish() ? Language::Polish : Language::English;
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_startupLoaded) {
        m_startupLoaded = true;
        // From the event loop, once the window is up (its messages centred on it): also where no window
        // manager activates it.
        QTimer::singleShot(0, this, [this] { guarded([this] { startupLoad(); }); });
    }
}

// --- Profiles ---

void TForm1::fillProfileList()
{
    m_profiles->clear();
    for (const std::string& name : m_settings.profileNames())
        m_profiles->addItem(toQString(name));
}

void TForm1::startupLoad()
{
    fillProfileList();
    m_lastProfile = m_settings.lastProfile(m_lastProfile);
    if (!m_settings.exists() || m_profiles->count() == 0)
        m_newProfileRequest = true; // the window says what a first run needs; Profiles Setup opens for a new one
    showFirstStart();
    m_profiles->setCurrentIndex(-1);
    // A profile named on the command line wins over the remembered one; one that is not there is said, and
    // the window starts on none rather than on another profile.
    const int named = m_commandLineProfile.empty()
                          ? -1
                          : m_profiles->findText(toQString(m_commandLineProfile), Qt::MatchFixedString); // any case
    if (!m_commandLineProfile.empty() && named < 0) {
        std::string known;
        for (int i = 0; i < m_profiles->count(); ++i)
            known += "\n" + m_profiles->itemText(i).toStdString();
        showTextMessage(this, WindowText::UnknownProfile, language(),
                        {m_commandLineProfile, m_settings.file().string(),
                         known.empty() ? textFor(WindowText::NoProfilesYet, language()) : known});
        m_lastProfile = -1;
    } else if (named >= 0) {
        m_profiles->setCurrentIndex(named);
        profileLoad();
    } else if (m_lastProfile != -1) {
        m_profiles->setCurrentIndex(m_lastProfile < m_profiles->count() ? m_lastProfile : -1);
        profileLoad();
    }
    m_start->setFocus();
    // A log opened with the program (from the file manager) takes the place of the profile's log.
    if (!m_commandLineLog.empty())
        setLogPath(m_commandLineLog);
}

void TForm1::profileLoad()
{
    const int selected = m_profiles->currentIndex();
    if (!m_settings.exists() || selected < 0)
        return;
    const StoredProfile p = m_settings.profile(m_profiles->currentText().toStdString());
    m_lastProfile = selected;
    // The profile's values as every program loads them; the window keeps the texts to show them as stored.
    RunRequest loaded = request();
    loaded.sheet = {}; // a profile without a sheet has its labels merged into its main document
    applyProfile(p, loaded);
    setLogPath(loaded.log);
    setMainDocumentPath(loaded.mainDocument);
    setLabelSheet(loaded.sheet.name());
    setSwlPath(loaded.swl);
    m_qsos->setText(QString::number(loaded.labelSize.value()));
    const std::string qrgText = p.qrgFormat.value_or(m_qrgText);
    if (const std::optional<int> index = qrgFormatIndexExact(qrgText))
        m_qrgFormat = *index;
    m_qrgText = qrgText;
    m_dateText = p.dateFormat.value_or(m_dateText);
    m_dateFormatIndex = loaded.format.dateFormat.index();
    m_separator = loaded.format.separator;
    m_order->setCurrentIndex(loaded.order == LabelOrder::Bureau ? 1 : 0);
    showFormats();
}

void TForm1::showFormats()
{
    // The QRG format by its name in the language of the moment; a text that names no format as it is stored;
    // before any profile, the formats the run would use.
    const bool known = m_qrgText.empty() || qrgFormatIndexExact(m_qrgText).has_value();
    m_qrg->setText(toQString(known ? std::string(qrgFormatName(m_qrgFormat, language())) : m_qrgText));
    std::string sample =
        m_dateText.empty()
            ? std::string(kDateFormatTexts[static_cast<std::size_t>(std::clamp(m_dateFormatIndex, 0, 4))])
            : m_dateText;
    if (m_dateFormatIndex <= 2) {
        std::string withSeparator;
        for (char c : sample) {
            if (c == '-')
                withSeparator += m_separator;
            else
                withSeparator.push_back(c);
        }
        sample = withSeparator;
    }
    m_date->setText(toQString(sample));
}

void TForm1::setDateFormat(int index, const std::string& separator)
{
    m_dateFormatIndex = index;
    m_separator = separator;
    showFormats();
}

void TForm1::ComboBox2Change()
{
    profileLoad();
}

void TForm1::selectProfile(const std::string& name)
{
    m_profiles->setCurrentIndex(m_profiles->findText(toQString(name), Qt::MatchFixedString));
    if (m_profiles->currentIndex() >= 0)
        profileLoad();
    else
        m_lastProfile = -1;
}

void TForm1::Button8Click()
{
    ProfileSetupInput input;
    for (int i = 0; i < m_profiles->count(); ++i)
        input.profiles.push_back(m_profiles->itemText(i).toStdString());
    input.selected = m_profiles->currentIndex();
    input.newProfile = m_newProfileRequest;
    input.log = logPath();
    input.swl = swlPath();
    input.mainDocument = mainDocumentPath();
    input.labelSheet = m_sheet;
    input.qrgText = m_qrgText;
    input.dateFormat = m_dateFormatIndex;
    input.separator = m_separator.empty() ? "-" : m_separator;
    input.qsos = labelSize().value();
    input.bureauOrder = m_order->currentIndex() == 1;
    TFSetup setup(m_settings, language(), input, this);
    userInteraction().execDialog(setup);
    const ProfileSetupResult& result = setup.result();
    if (!result.changed)
        return;
    fillProfileList();
    showFirstStart();
    if (result.saved)
        m_newProfileRequest = false;
    if (result.current)
        selectProfile(*result.current);
    else
        m_profiles->setCurrentIndex(-1);
    if (m_separator.empty())
        setDateFormat(m_dateFormatIndex, "-");
}

void TForm1::CheckBox1Click()
{
    const Language l = language();
    useQtTranslations(l);
    auto set = [l](auto* widget, WindowText id) { widget->setText(toQString(textFor(id, l))); };
    set(m_logLabel, WindowText::LabelSourceFile);
    set(m_mainLabel, WindowText::LabelMainDocument);
    set(m_qrgLabel, WindowText::LabelQrgFormat);
    set(m_qsosLabel, WindowText::LabelQsosNo);
    set(m_onOneLabel, WindowText::LabelOnOneLabel);
    set(m_dateLabel, WindowText::LabelDateFormat);
    set(m_config, WindowText::ButtonConfig);
    set(m_newMain, WindowText::ButtonNewMainDocs);
    set(m_sheetLabel, WindowText::LabelSheetCaption);
    set(m_chooseSheet, WindowText::ButtonChooseSheet);
    m_sheetBox->setPlaceholderText(toQString(textFor(WindowText::LabelSheetNone, l)));
    m_sheetBox->actions().front()->setToolTip(toQString(textFor(WindowText::ClearSheet, l)));
    set(m_firstLabelLabel, WindowText::LabelFirstLabel);
    set(m_orderLabel, WindowText::LabelOrderCaption);
    m_order->setItemText(0, toQString(textFor(WindowText::OrderByCall, l)));
    m_order->setItemText(1, toQString(textFor(WindowText::OrderForBureau, l)));
    m_swl->actions().front()->setToolTip(toQString(textFor(WindowText::ClearSwlFile, l)));
    m_filters->applyLanguage(l);
    applyCaptions(this, l);
    showFormats();
}

// --- Commands ---

void TForm1::Button1Click()
{
    Edit3Exit();
    if (running())
        return;
    storeOwnCall();
    RunRequest r = request();
    std::unique_ptr<LabelDrawer> drawer;
    if (r.merge && r.sheet.chosen()) {
        // The sheet is checked before the run: a stock that cannot carry the labels is said at once.
        const std::optional<LabelStock> stock = sheetStock(m_sheet);
        if (!stock)
            return;
        try {
            drawer = std::make_unique<SheetDrawer>(rendererFor(r, *stock), r.sheet);
        } catch (const MainDocumentError& e) {
            showTextMessage(this, WindowText::StockFailed, language(), {stockProblemText(e.problem(), language())});
            return;
        }
        m_runStock = stock;
    }
    if (m_runs.start(r, std::move(drawer))) {
        m_runRequest = r;
        setRunning(true);
    }
}

void TForm1::Button6Click()
{
    m_runs.stop();
    m_stopButton->setEnabled(false);
}

void TForm1::Button3Click()
{
    close();
}

void TForm1::Button2Click()
{
    if (!m_configuration)
        return;
    const Language before = language();
    userInteraction().execDialog(*m_configuration);
    if (language() != before)
        CheckBox1Click();
}

// The dialogs start in the folder of the file chosen before, else in the log's.
void TForm1::Button4Click()
{
    m_log->browse(textFor(WindowText::FilterAdif, language()));
}

void TForm1::Button7Click()
{
    m_swl->browse(textFor(WindowText::FilterAdif, language()), logPath().parent_path());
}

void TForm1::Button5Click()
{
    m_main->browse(textFor(WindowText::FilterMainDocument, language()), logPath().parent_path());
}

void TForm1::Button9Click()
{
    std::filesystem::path archive;
    const std::filesystem::path swl = swlPath();
    switch (archiveSwlFile(swl, archive)) {
    case ArchiveResult::Failed:
        showTextMessage(this, WindowText::ArchiveFailed, language(), {swl.string(), archive.string()});
        break;
    case ArchiveResult::Archived:
        setSwlPath({});
        showTextMessage(this, WindowText::ArchiveDone, language(), {swl.string(), archive.filename().string()});
        break;
    case ArchiveResult::NothingToArchive: break;
    }
}

void TForm1::clearSwlFile()
{
    setSwlPath({});
}

bool TForm1::filtersShown() const
{
    return !m_filters->isHidden();
}

void TForm1::markFiltersButton()
{
    // With the area closed, a filter that is on shows on the button: down, bold and red.
    const bool mark = !filtersShown() && m_filters->anyOn();
    QFont f = m_filtersButton->font();
    f.setBold(mark);
    m_filtersButton->setFont(f);
    m_filtersButton->setCheckable(mark);
    m_filtersButton->setChecked(mark);
    m_filtersButton->setStyleSheet(mark ? u"color: red"_s : QString());
}

void TForm1::SpeedButton1Click()
{
    m_filters->setHidden(filtersShown());
    markFiltersButton();
}

void TForm1::SpeedButton2Click()
{
    const std::filesystem::path folder = m_places.programFolder;
    const bool polish = language() == Language::Polish;
    std::error_code ec;
    const std::filesystem::path chm = folder / (polish ? "cardmill_pl.chm" : "cardmill_en.chm");
    if (std::filesystem::exists(chm, ec)) {
        openDocuments({chm});
        return;
    }
    std::filesystem::path guide = folder / "cardmill_pl.html";
    if (!polish || !std::filesystem::exists(guide, ec))
        guide = folder / "cardmill_en.html";
    if (std::filesystem::exists(guide, ec))
        openDocuments({guide});
}

void TForm1::Edit3Exit()
{
    long long value = 0;
    if (m_qsos->text().isEmpty())
        m_qsos->setText(u"1"_s);
    if (!text::parseInteger(m_qsos->text().toStdString(), value)) {
        m_qsos->setText(u"1"_s);
        return;
    }
    if (value > 10)
        m_qsos->setText(u"10"_s);
    else if (value <= 0)
        m_qsos->setText(u"1"_s);
}

std::filesystem::path TForm1::logPath() const
{
    return m_log->path();
}

std::filesystem::path TForm1::swlPath() const
{
    return m_swl->path();
}

std::filesystem::path TForm1::mainDocumentPath() const
{
    return m_main->path();
}

void TForm1::setLogPath(const std::filesystem::path& path)
{
    m_log->setPath(path);
}

void TForm1::setSwlPath(const std::filesystem::path& path)
{
    m_swl->setPath(path);
}

void TForm1::setMainDocumentPath(const std::filesystem::path& path)
{
    m_main->setPath(path);
}

LabelSize TForm1::labelSize() const
{
    long long n = 0;
    return text::parseInteger(m_qsos->text().toStdString(), n) ? LabelSize::nearest(n) : LabelSize();
}

std::vector<std::string> TForm1::userFields() const
{
    return m_configuration ? m_configuration->userFields() : std::vector<std::string>{};
}

void TForm1::openDocuments(const std::vector<std::filesystem::path>& documents)
{
    for (const std::filesystem::path& d : documents) {
        if (userInteraction().openWithDesktop(d))
            continue;
        if (askText(this, WindowText::CannotOpenFile, language(), false, {d.string()}) != UserInteraction::Answer::Yes)
            continue;
        if (!userInteraction().openWithDesktop(d.parent_path()))
            showTextMessage(this, WindowText::CannotOpenFolder, language(), {d.parent_path().string()});
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_qsos && event->type() == QEvent::KeyPress) {
        // Letters a-z, A-Z and blanks never get into "QSOs no."; every other key does.
        const QString t = static_cast<QKeyEvent*>(event)->text();
        if (t.size() == 1) {
            const char16_t c = t[0].unicode();
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ')
                return true;
        }
    }
    if (watched == m_qsos && event->type() == QEvent::FocusOut)
        Edit3Exit();
    if (watched == m_swl && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            clearSwlFile();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::keyPressEvent(QKeyEvent* event)
{
    // Enter presses the button that has the focus.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        if (auto* b = qobject_cast<QAbstractButton*>(focusWidget()); b && b->isEnabled()) {
            b->click();
            return;
        }
    QWidget::keyPressEvent(event);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!running() && urls.size() == 1 && urls.front().isLocalFile() && isLogFile(urls.front().toLocalFile()))
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        setLogPath(toPath(urls.front().toLocalFile()));
        event->acceptProposedAction();
    }
}

ClosingState TForm1::closingState() const
{
    ClosingState state;
    state.filters = m_filters->settings();
    state.lastProfile = m_lastProfile;
    state.userFields = userFields();
    state.options.keepTemporaryFile = m_configuration && m_configuration->keepTemporaryFile();
    state.options.polish = language() == Language::Polish;
    state.options.pdfLabels = m_configuration && m_configuration->pdfLabels();
    const SentMarking marking = m_configuration ? m_configuration->sentMarking() : SentMarking{};
    state.options.markSent = marking.on;
    state.options.sentVia = marking.via;
    state.options.ownBundleLast = m_configuration && m_configuration->ownBundleLast();
    return state;
}

bool TForm1::storeSettings()
{
    try {
        m_settings.storeClosingState(closingState());
        return true;
    } catch (const SettingsWriteError& e) {
        showTextMessage(this, WindowText::UnableToWrite, language(), {e.path().string()});
        return false;
    }
}

void TForm1::saveSettingsQuietly()
{
    try {
        m_settings.storeClosingState(closingState());
    } catch (const std::exception&) {
        // Ending on a signal asks nothing.
    }
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (running()) {
        // A run under way ends first: the window closes once it has stopped, if the user wants it to.
        event->ignore();
        if (askText(this, WindowText::StopRunAndClose, language(), false, {}, UserInteraction::Answer::No) ==
            UserInteraction::Answer::Yes) {
            m_closeWhenStopped = true;
            Button6Click();
        }
        return;
    }
    // What was set up without a profile is not lost without a word.
    try {
        keepAsProfile();
    } catch (const SettingsWriteError& e) {
        showTextMessage(this, WindowText::UnableToWrite, language(), {e.path().string()});
    }
    storeOwnCall();
    // A settings file that cannot be written never traps the user: after the message, they may close all
    // the same.
    if (!storeSettings() && askText(this, WindowText::CloseWithoutSaving, language(), false, {},
                                    UserInteraction::Answer::No) != UserInteraction::Answer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace cardmill
