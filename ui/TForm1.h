#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/ConversionRun.h"
#include "engine/RunHost.h"
#include "settings/SettingsStore.h"
#include "ui/Texts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QToolButton;

namespace cardmill {

class FilterPane;
class TFADIF1;

// The main window. Its controls hold the settings of the conversion, and it is the run's host: every value the
// run asks for is read from a control at that moment. Commands are passed on to the run, the file pickers,
// archiving, help and the dialogs. The controls keep the design's names as their object names.
class TForm1 : public QWidget, public RunHost {
    Q_OBJECT

public:
    struct Places {
        std::filesystem::path settingsFile;  // "cardmill.ini"
        std::filesystem::path programFolder; // the files the program ships: the user guide
    };

    explicit TForm1(Places places, QWidget* parent = nullptr);
    ~TForm1() override;
    // The configuration dialog, created after the window (as the program starts them); joins before use.
    void setConfiguration(TFADIF1& configuration);
    // The conversion run that "Start" starts (made by the program with this window as its host).
    void setRun(ConversionRun& run) { m_run = &run; }
    // The first command-line argument: a profile to load at start, overriding the remembered one, or a log.
    void setCommandLineProfile(std::string name) { m_commandLineProfile = std::move(name); }
    void setCommandLineLog(std::filesystem::path log) { m_commandLineLog = std::move(log); }

    // Profiles.
    void startupLoad();     // once, after the window is first shown
    void profileLoad();     // the selected profile into the controls
    void ComboBox2Change(); // a profile chosen in the list
    void Button8Click();    // "Profiles Setup"
    int rememberedProfile() const { return m_lastProfile; }
    bool newProfileRequested() const { return m_newProfileRequest; }
    const Places& places() const { return m_places; }

    // The language operation: captions of the current language.
    void CheckBox1Click();

    // Commands.
    void Button1Click();      // "Start"
    void Button6Click();      // "Stop"
    void Button3Click();      // "Exit"
    void Button2Click();      // "Config"
    void Button4Click();      // "Browse" for the log
    void Button7Click();      // "Browse" for the SWL file
    void Button5Click();      // "Browse" for the main document
    void ButtonNewClick();    // "New..." main documents for a label stock
    void Button9Click();      // "Archive"
    void SpeedButton1Click(); // "Filters"
    void SpeedButton2Click(); // "?"
    void Edit3Exit();         // leaving "QSOs no."
    void clearSwlFile();      // the SWL box's clear button, or Delete in it
    bool filtersShown() const;

    // The paths a box keeps (its tool tip) and shows (shortened to 50 characters).
    static void setPath(QLineEdit* box, const std::filesystem::path& path);
    void setLogPath(const std::filesystem::path& path);
    void setSwlPath(const std::filesystem::path& path);
    void setMainDocumentPath(const std::filesystem::path& path);

    bool running() const { return m_run && m_run->running(); }
    Language language() const;
    // Opens documents with the desktop's applications; one that nothing opens is said, with its folder offered.
    void openDocuments(const std::vector<std::filesystem::path>& documents);
    // LibreOffice converting a main document: its progress in the status bar.
    void showConversionStatus(const std::string& file, int seconds);
    // Asked to end (a signal): stores what it can without asking anything.
    void saveSettingsQuietly();

    // ConversionSettings
    QrgFormat qrgFormat() const override;
    int dateFormatIndex() const override { return m_dateFormatIndex; }
    std::string dateSeparator() const override { return m_separator; }
    void userFieldsInto(std::vector<std::string>& fields) const override;
    bool dateRangeEnabled() const override;
    PickerDate dateFrom() const override;
    PickerDate dateTo() const override;
    bool qslFilterEnabled(QslFilter filter) const override;
    bool qslBoxTicked(QslFilter filter, QslBox box) const override;
    bool callFilterEnabled() const override;
    std::string callFilterText() const override;

    // RunHost
    std::filesystem::path logPath() const override;
    std::filesystem::path swlPath() const override;
    std::filesystem::path mainDocumentPath() const override;
    int labelSize() const override;
    bool keepTemporaryFile() const override;
    SentMarking sentMarking() const override;
    bool polishLanguage() const override { return language() == Language::Polish; }
    int startLabel() const override;
    void setStatus(TextId id, const TextArgs& args) override;
    void showProgress(bool visible) override;
    void setProgressRange(std::size_t maximum) override;
    void setProgressPosition(std::size_t position) override;
    void showMessage(TextId id, const TextArgs& args) override;
    void showSummary(const RunSummary& summary) override;
    void showError(const Failure& failure) override;
    void processEvents() override;
    bool stopRequested() const override;
    void clearStopRequest() override;
    void setStopEnabled(bool enabled) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void build();
    void connectCommands();
    void setRunning(bool running);
    void browse(QLineEdit* box, WindowText filter);
    void markFiltersButton();
    void updateProgressBar();
    void showFormats();
    void setDateFormat(int index, const std::string& separator);
    void selectProfile(const std::string& name);
    bool storeSettings();
    ClosingState closingState() const;
    void fillProfileList();

    Places m_places;
    TFADIF1* m_configuration = nullptr;
    ConversionRun* m_run = nullptr;
    std::string m_commandLineProfile;
    std::filesystem::path m_commandLineLog;
    bool m_startupLoaded = false;
    bool m_newProfileRequest = false;
    int m_qrgFormat = 0;
    int m_dateFormatIndex = 0;
    std::string m_separator = "-";
    std::string m_qrgText;  // the "QRG format" text as the profile stores it
    std::string m_dateText; // the "Date format" text as the profile stores it
    int m_lastProfile = 0;
    bool m_stop = false;
    std::size_t m_progressMaximum = 0;
    std::size_t m_progressPosition = 0;
    QElapsedTimer m_sinceEvents;
    QElapsedTimer m_sinceProgress;
    TextId m_statusId = TextId::Count;
    TextArgs m_statusArgs;

    // Controls (object names of the design in comments).
    QLabel* m_profileLabel;       // Label9
    QComboBox* m_profiles;        // ComboBox2
    QPushButton* m_profilesSetup; // Button8
    QToolButton* m_help;          // SpeedButton2
    QLabel* m_logLabel;           // Label1
    QLineEdit* m_log;             // Edit1
    QPushButton* m_browseLog;     // Button4
    QLabel* m_swlLabel;           // Label11
    QLineEdit* m_swl;             // Edit7
    QPushButton* m_browseSwl;     // Button7
    QPushButton* m_archive;       // Button9
    QLabel* m_mainLabel;          // Label2
    QLineEdit* m_main;            // Edit2
    QPushButton* m_newMain;       // ButtonNew
    QPushButton* m_browseMain;    // Button5
    QLabel* m_qrgLabel;           // Label4
    QLineEdit* m_qrg;             // Edit6
    QLabel* m_qsosLabel;          // Label3
    QLabel* m_onOneLabel;         // Label5
    QLineEdit* m_qsos;            // Edit3
    QLabel* m_dateLabel;          // Label8
    QLineEdit* m_date;            // Edit5
    QLabel* m_firstLabelLabel;    // Label12
    QSpinBox* m_firstLabel;       // SpinEdit1
    QPushButton* m_config;        // Button2
    QToolButton* m_filtersButton; // SpeedButton1
    QPushButton* m_stopButton;    // Button6
    QPushButton* m_start;         // Button1
    QPushButton* m_exit;          // Button3
    FilterPane* m_filters;
    QProgressBar* m_progress; // ProgressBar1
    QStatusBar* m_statusBar;  // StatusBar1
    QLabel* m_status;         // StatusPanel1
};

} // namespace cardmill
