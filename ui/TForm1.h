#pragma once

#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/RunObserver.h"
#include "engine/RunRequest.h"
#include "engine/RunSummary.h"
#include "settings/Settings.h"
#include "stock/LabelStock.h"
#include "stock/StockCatalogue.h"
#include "texts/Texts.h"

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
class PathBox;
class RunController;
class TFADIF1;

// The main window: it shows the user's choices and turns them into a run's request when "Start" is pressed,
// shows the run's progress, and says how it ended; commands go to the file pickers, archiving, help and the
// dialogs. The run works off the window's thread, so the window stays live meanwhile: what would change the
// files the run works on is disabled, every other choice applies to the next run. The controls keep the
// design's names as their object names.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    struct Places {
        std::filesystem::path settingsFile;  // "cardmill.ini"
        std::filesystem::path programFolder; // the files the program ships: the user guide
    };

    TForm1(Places places, RunController& runs, QWidget* parent = nullptr);
    ~TForm1() override;
    // The configuration dialog, created after the window (as the program starts them); joins before use.
    void setConfiguration(TFADIF1& configuration);
    // The first command-line argument: a profile to load at start, overriding the remembered one, or a log.
    void setCommandLineProfile(std::string name) { m_commandLineProfile = std::move(name); }
    void setCommandLineLog(std::filesystem::path log) { m_commandLineLog = std::move(log); }

    // Profiles.
    void startupLoad();     // once, after the window is first shown
    void profileLoad();     // the selected profile into the window
    void ComboBox2Change(); // a profile chosen in the list
    void Button8Click();    // "Profiles Setup"
    int rememberedProfile() const { return m_lastProfile; }
    bool newProfileRequested() const { return m_newProfileRequest; }
    const Places& places() const { return m_places; }

    // The language operation: captions of the current language.
    void CheckBox1Click();

    // Commands.
    void Button1Click(); // "Start"
    // "Preview": the labels the run would draw, on their sheets, before anything is written beside the log.
    void previewFirst();
    void Button6Click();      // "Stop"
    void Button3Click();      // "Exit"
    void Button2Click();      // "Config"
    void Button4Click();      // "Browse" for the log
    void Button7Click();      // "Browse" for the SWL file
    void Button5Click();      // "Browse" for the main document
    void ButtonNewClick();    // "New..." main documents for a label stock
    void ButtonSheetClick();  // "Choose..." a label sheet for labels the program draws
    void Button9Click();      // "Archive"
    void SpeedButton1Click(); // "Filters"
    void SpeedButton2Click(); // "?"
    void Edit3Exit();         // leaving "QSOs no."
    void clearSwlFile();      // the SWL box's clear button, or Delete in it
    bool filtersShown() const;

    // The files the window holds.
    std::filesystem::path logPath() const;
    std::filesystem::path swlPath() const;
    std::filesystem::path mainDocumentPath() const;
    void setLogPath(const std::filesystem::path& path);
    void setSwlPath(const std::filesystem::path& path);
    void setMainDocumentPath(const std::filesystem::path& path);
    // The label sheet the labels are drawn on instead of merged: a stock's name or a custom grid; empty: none.
    const std::string& labelSheet() const { return m_sheet; }
    void setLabelSheet(const std::string& sheet);
    // The preview of the last run's drawn labels; null when none is open.
    QWidget* preview() const;
    // QSOs per label as the box says it (its text out of range counts as the nearest size).
    LabelSize labelSize() const;
    std::vector<std::string> userFields() const;

    // The request a run of the window's choices as they are now would get: the one source of a run's choices
    // in the desktop program.
    RunRequest request() const;
    bool running() const;
    Language language() const;
    // Opens documents with the desktop's applications; one that nothing opens is said, with its folder offered.
    void openDocuments(const std::vector<std::filesystem::path>& documents);
    // Asked to end (a signal): stores what it can without asking anything.
    void saveSettingsQuietly();

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
    void connectRuns();
    void setRunning(bool running);
    void showStatus(TextId id, const TextArgs& args);
    void showProgress(qint64 position, qint64 maximum);
    void runEnded(const RunResult& result);
    void showPreview(const RunResult& result, const std::filesystem::path& pdf);
    void sheetTyped();
    void showFirstStart();
    // The own call as the window shows it; kept in the settings file when it changed.
    void storeOwnCall();
    // At "Exit" without a profile: offers to keep what was set up as one; false when the user cancels.
    bool keepAsProfile();
    // The stock of a label sheet; none, said to the user, when the catalogue has no such stock.
    std::optional<LabelStock> sheetStock(const std::string& sheet);
    const StockCatalogue& catalogue();
    void markFiltersButton();
    void showFormats();
    void setDateFormat(int index, const std::string& separator);
    void selectProfile(const std::string& name);
    bool storeSettings();
    ClosingState closingState() const;
    void fillProfileList();

    Places m_places;
    Settings m_settings;
    RunController& m_runs;
    TFADIF1* m_configuration = nullptr;
    std::string m_commandLineProfile;
    std::filesystem::path m_commandLineLog;
    bool m_startupLoaded = false;
    bool m_newProfileRequest = false;
    bool m_closeWhenStopped = false;
    int m_qrgFormat = 0;
    int m_dateFormatIndex = 0;
    std::string m_separator = "-";
    std::string m_qrgText;  // the "QRG format" text as the profile stores it
    std::string m_dateText; // the "Date format" text as the profile stores it
    int m_lastProfile = 0;
    std::string m_sheet;
    std::unique_ptr<StockCatalogue> m_catalogue; // loaded when first needed
    std::optional<LabelStock> m_runStock;        // the stock the run under way draws on
    RunRequest m_runRequest;                     // the request of the run under way
    QPointer<QWidget> m_preview;
    std::filesystem::path m_previewScratch; // the copy of the log a preview run works on; empty for real runs
    std::filesystem::path m_previewPdf;     // where a preview's "Save PDF..." proposes to save

    // Controls (object names of the design in comments).
    QLabel* m_profileLabel;       // Label9
    QComboBox* m_profiles;        // ComboBox2
    QPushButton* m_profilesSetup; // Button8
    QToolButton* m_help;          // SpeedButton2
    QLabel* m_logLabel;           // Label1
    PathBox* m_log;               // Edit1
    QPushButton* m_browseLog;     // Button4
    QLabel* m_swlLabel;           // Label11
    PathBox* m_swl;               // Edit7
    QPushButton* m_browseSwl;     // Button7
    QPushButton* m_archive;       // Button9
    QLabel* m_mainLabel;          // Label2
    PathBox* m_main;              // Edit2
    QPushButton* m_newMain;       // ButtonNew
    QPushButton* m_browseMain;    // Button5
    QLabel* m_firstStart;
    QLabel* m_sheetLabel;
    QLineEdit* m_sheetBox;
    QLabel* m_ownCallLabel;
    QLineEdit* m_ownCall;
    QPushButton* m_chooseSheet;
    QLabel* m_qrgLabel;           // Label4
    QLineEdit* m_qrg;             // Edit6
    QLabel* m_qsosLabel;          // Label3
    QLabel* m_onOneLabel;         // Label5
    QLineEdit* m_qsos;            // Edit3
    QLabel* m_dateLabel;          // Label8
    QLineEdit* m_date;            // Edit5
    QLabel* m_firstLabelLabel;    // Label12
    QSpinBox* m_firstLabel;       // SpinEdit1
    QLabel* m_orderLabel;         // "Label order"
    QComboBox* m_order;           // by call, for the QSL bureau
    QPushButton* m_config;        // Button2
    QToolButton* m_filtersButton; // SpeedButton1
    QPushButton* m_stopButton;    // Button6
    QPushButton* m_previewRun;
    QPushButton* m_start; // Button1
    QPushButton* m_exit;  // Button3
    FilterPane* m_filters;
    QProgressBar* m_progress; // ProgressBar1
    QStatusBar* m_statusBar;  // StatusBar1
    QLabel* m_status;         // StatusPanel1
};

} // namespace cardmill
