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
#include "texts/Texts.h"
#include "ui/RunStart.h"

class QComboBox;
class QLabel;
class QBoxLayout;
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
class SheetChoice;
class TFADIF1;

// The main window, a view of the user's choices: request() makes a run's request of them, showChoices() shows a
// request's (a profile's, loaded); "Start" and "Preview" hand a run to the RunController, which gives it back
// with its result, so the window keeps no state of a run. Commands go to the file pickers, archiving, help and
// the dialogs. The run works off the window's thread, so the window stays live meanwhile: what would change the
// files the run works on is disabled, every other choice applies to the next run. The controls keep the
// design's names as their object names.
//
// Its files by job: TForm1.cpp (start, language, file commands, closing), TForm1Layout.cpp (the controls),
// TForm1Profiles.cpp (profiles and the first start), TForm1Run.cpp (the request, runs and how they ended).
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
    void editDesign();        // "Edit..." the design in the designer
    void Button9Click();      // "Archive"
    void SpeedButton1Click(); // "Filters"
    void SpeedButton2Click(); // "?"
    // "Routes...": the choices of each QSO on its route, and "Reprint sheet..." of an earlier run.
    void editRoutes();
    // One sheet of an earlier run drawn again as the journal has it (a jammed printer).
    void reprintSheet(const RouteChoice::ReprintSheet& sheet);
    // Leaving "QSOs no.": a number from 1 to 10 is kept; anything else is said, and the box keeps it selected for
    // the user to mend (false). An empty box is the one QSO of a label.
    bool Edit3Exit();
    void clearSwlFile(); // the SWL box's clear button, or Delete in it
    bool filtersShown() const;

    // The files the window holds.
    std::filesystem::path logPath() const;
    std::filesystem::path swlPath() const;
    std::filesystem::path mainDocumentPath() const;
    void setLogPath(const std::filesystem::path& path);
    void setSwlPath(const std::filesystem::path& path);
    void setMainDocumentPath(const std::filesystem::path& path);
    // The label sheet the labels are drawn on instead of merged: a stock's name or a custom grid; empty: none.
    const std::string& labelSheet() const;
    void setLabelSheet(const std::string& sheet);
    // The preview of the last run's drawn labels; null when none is open.
    QWidget* preview() const;
    // QSOs per label as the box says it (its text out of range counts as the nearest size).
    LabelSize labelSize() const;
    std::vector<std::string> userFields() const;

    // The request a run of the window's choices as they are now would get: the one source of a run's choices
    // in the desktop program.
    RunRequest request() const;
    // The choices of a request on the window: the files, the label sheet, the label size, the formats and the
    // label order (what a profile holds).
    void showChoices(const RunRequest& request);
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
    void buildProfileRows(QBoxLayout* main);
    void buildFileRows(QBoxLayout* main);
    void buildFormatRows(QBoxLayout* main);
    void buildStatusBar(QBoxLayout* outer);
    void connectCommands();
    void connectRuns();
    void setRunning(bool running);
    void showStatus(TextId id, const TextArgs& args);
    void showProgress(qint64 position, qint64 maximum);
    // What Start and Preview share: the request of the window's choices and, for labels drawn on a sheet, its
    // stock and drawer; none, said to the user, when the run cannot start.
    std::unique_ptr<RunStart> prepareRun(bool preview,
                                         const std::optional<RouteChoice::ReprintSheet>& reprint = std::nullopt);
    void startRun(std::unique_ptr<RunStart> start);
    void runEnded(const RunResult& result, const RunStart& start);
    void showPreview(const RunResult& result, const RunStart& start, const std::filesystem::path& pdf);
    void showFirstStart();
    // The focus where a first start goes on once a log is there.
    void goOnFromTheLog();
    // At "Exit" without a profile: offers to keep what was set up as one; false when the user cancels.
    bool keepAsProfile();
    // Where new main documents go: beside the main document in use, else beside the log, else the home folder.
    std::filesystem::path documentsFolder() const;
    void markFiltersButton();
    void showFormats();
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
    RouteChoice m_routes;   // the route choices the "Routes..." dialog shows (the journal is the settings')
    LineFormat m_format;    // the QRG and date formats and the date separator (the fields are the dialog's)
    std::string m_qrgText;  // a "QRG format" text of a profile that names no format, shown as it is stored
    std::string m_dateText; // the "Date format" text as the profile stores it
    int m_lastProfile = 0;
    QPointer<QWidget> m_preview;
    bool m_versionShown = true; // the status bar says the version, in the window's language
    bool m_checkingQsos = false;

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
    SheetChoice* m_sheetChoice;   // the sheet box, the own call, "Choose..."
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
    QPushButton* m_routesButton;  // "Routes...", with each QSO on its route
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
