#include "ui/TForm1.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
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
#include "ui/Choices.h"
#include "ui/ErrorHandler.h"
#include "ui/FilterPane.h"
#include "ui/Messages.h"
#include "ui/PathBox.h"
#include "ui/QtTranslations.h"
#include "ui/RunController.h"
#include "ui/SheetChoice.h"
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
    m_sheetChoice->applyLanguage(l);
    set(m_firstLabelLabel, WindowText::LabelFirstLabel);
    set(m_orderLabel, WindowText::LabelOrderCaption);
    fillLabelOrders(m_order, l);
    nameActionButton(m_swl->actions().front(), toQString(textFor(WindowText::ClearSwlFile, l)));
    m_filters->applyLanguage(l);
    applyCaptions(this, l);
    showFormats();
    if (m_versionShown)
        m_status->setText(toQString(textFor(WindowText::StatusVersion, l, kVersionText)));
}

// --- Commands ---

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
    // Before there is a log, the dialog opens in the home folder, where logs are, not in the program's.
    if (m_log->browse(textFor(WindowText::FilterAdif, language()), toPath(QDir::homePath())))
        goOnFromTheLog();
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

bool TForm1::Edit3Exit()
{
    if (m_qsos->text().trimmed().isEmpty())
        m_qsos->setText(u"1"_s);
    long long value = 0;
    if (text::parseInteger(m_qsos->text().toStdString(), value) && LabelSize::of(value))
        return true;
    // Never changed behind the user's back: said, and left selected to be typed again.
    if (!m_checkingQsos) {
        m_checkingQsos = true;
        showTextMessage(this, WindowText::QsosOutOfRange, language(), {m_qsos->text().left(40).toStdString()});
        m_qsos->setFocus();
        m_qsos->selectAll();
        m_checkingQsos = false;
    }
    return false;
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
    // The QSOs box is the last choice before "Start": Enter there starts, as a dialog's default button would.
    if (watched == m_qsos && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (!running() && m_start->isEnabled() && Edit3Exit())
                Button1Click();
            return true;
        }
    }
    if (watched == m_qsos && event->type() == QEvent::FocusOut && !m_checkingQsos)
        Edit3Exit();
    // However the box is entered (a click too), what it holds is selected, so that typing replaces it.
    if (watched == m_qsos && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_qsos, [box = m_qsos] { box->selectAll(); });
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
        goOnFromTheLog();
    }
}

ClosingState TForm1::closingState() const
{
    ClosingState state;
    state.filters = m_filters->settings();
    state.lastProfile = m_lastProfile;
    state.userFields = userFields();
    if (m_configuration)
        state.options = m_configuration->options();
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
    m_sheetChoice->storeOwnCall();
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
