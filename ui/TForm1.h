#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include <filesystem>
#include <memory>

#include "engine/ConversionRun.h"
#include "engine/RunHost.h"
#include "ui/Texts.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QToolButton;

namespace cardmill {

class BuiltInLabelMaker;
class BuiltInPresenter;
class TFADIF1;
class TFSetup;

// The main window. Its controls hold the settings of the conversion, and it is the run's host: every value the
// run asks for is read from a control at that moment. Commands are passed on to the run, the file pickers,
// archiving, help and the configuration dialog.
class TForm1 : public QWidget, public RunHost {
    Q_OBJECT

public:
    // Client-area sizes: the design's window widths 393 and 755 include a 7-pixel frame.
    static constexpr int kNarrowWidth = 386;
    static constexpr int kWideWidth = 748;
    static constexpr int kHeight = 298;

    struct Places {
        std::filesystem::path settingsFile; // "cardmill.ini"
        std::filesystem::path programFolder; // the files the program ships: the user guide
    };

    // Window creation. The configuration dialog is created after the window (as the program starts them) and
    // joins with setConfiguration before the window is used.
    explicit TForm1(Places places, QWidget* parent = nullptr);
    void setConfiguration(TFADIF1& configuration);
    void setSetupDialog(TFSetup& setup) { m_setup = &setup; }
    // The first command-line argument: a profile to load at start, overriding the remembered one.
    void setCommandLineProfile(std::string name) { m_commandLineProfile = std::move(name); }
    // A first argument that names an existing file: a log to use, in place of the profile's.
    void setCommandLineLog(std::filesystem::path log) { m_commandLineLog = std::move(log); }

    // Profiles.
    void startupLoad();         // once, after the window is first shown
    void profileLoad();         // the selected profile into the controls
    void ComboBox2Change();     // a profile chosen in the list
    void Button8Click();        // "Profiles Setup"
    int rememberedProfile() const { return m_lastProfile; }
    void setRememberedProfile(int position) { m_lastProfile = position; }
    bool newProfileRequested() const { return m_newProfileRequest; }
    void setNewProfileRequest(bool on) { m_newProfileRequest = on; }
    // Puts a name into the profile list at its sorted place (without regard to case); returns its position.
    int insertProfileName(const std::string& name);
    const Places& places() const { return m_places; }
    ~TForm1() override;

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
    void CheckBox3Click();    // master boxes
    void CheckBox6Click();
    void CheckBox13Click();
    void CheckBox7Click();

    // The paths a box keeps (its hint) and shows (shortened to 50 characters).
    void setPath(QLineEdit* box, const std::filesystem::path& path);
    static std::filesystem::path fullPath(const QLineEdit* box);

    bool running() const { return m_run->running(); }
    Language language() const;

    // ConversionSettings
    int qrgFormat() const override { return m_qrgFormat; }
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
    std::filesystem::path logPath() const override { return fullPath(Edit1); }
    std::filesystem::path swlPath() const override { return fullPath(Edit7); }
    std::filesystem::path mainDocumentPath() const override { return fullPath(Edit2); }
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
    void showError(const std::string& text) override;
    void processEvents() override;
    bool stopRequested() const override;
    void clearStopRequest() override;
    void setStopEnabled(bool enabled) override;

    // The run's settings that live beside the controls (the profile code sets them).
    void setQrgFormat(int index) { m_qrgFormat = index; }
    void setDateFormat(int index, const std::string& separator);
    const std::string& qrgText() const { return m_qrgText; }

    // Controls, by the names the design gives them.
    QLabel* Label9;
    QComboBox* ComboBox2;
    QPushButton* Button8;
    QToolButton* SpeedButton2;
    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button4;
    QLabel* Label11;
    QLineEdit* Edit7;
    QPushButton* Button7;
    QPushButton* Button9;
    QLabel* Label2;
    QLineEdit* Edit2;
    QPushButton* Button5;
    QPushButton* ButtonNew;
    QLabel* Label12;     // "First label on the sheet"
    QSpinBox* SpinEdit1; // the start position: the first label place of each pass's first sheet
    QLabel* Label4;
    QLineEdit* Edit6;
    QLabel* Label3;
    QLabel* Label5;
    QLineEdit* Edit3;
    QLabel* Label8;
    QLineEdit* Edit5;
    QPushButton* Button2;
    QToolButton* SpeedButton1;
    QPushButton* Button6;
    QPushButton* Button1;
    QPushButton* Button3;
    QLabel* Label10;
    QCheckBox* CheckBox20;
    QLineEdit* Edit4;
    QCheckBox* CheckBox3;
    QLabel* Label6;
    QLabel* Label7;
    QDateEdit* DateTimePicker1;
    QDateEdit* DateTimePicker2;
    QCheckBox* CheckBox6;
    QCheckBox *CheckBox9, *CheckBox10, *CheckBox11, *CheckBox12, *CheckBox8;
    QCheckBox* CheckBox13;
    QCheckBox *CheckBox14, *CheckBox15, *CheckBox18, *CheckBox19, *CheckBox16;
    QCheckBox* CheckBox7;
    QCheckBox *CheckBox2, *CheckBox4, *CheckBox5, *CheckBox17;
    QStatusBar* StatusBar1;
    QLabel* statusText;
    QProgressBar* ProgressBar1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void setRunning(bool running);
    void browse(QLineEdit* box, TextId filter);
    void openMergedDocuments(const std::vector<std::filesystem::path>& documents);
    bool anyFilterOn() const;
    void updateProgressBar(bool force);
    void showFormats();

    Places m_places;
    TFADIF1* m_configuration = nullptr;
    TFSetup* m_setup = nullptr;
    std::string m_commandLineProfile;
    std::filesystem::path m_commandLineLog;
    bool m_startupLoaded = false;
    bool m_newProfileRequest = false;
    std::unique_ptr<BuiltInLabelMaker> m_maker;
    std::unique_ptr<BuiltInPresenter> m_presenter;
    std::unique_ptr<ConversionRun> m_run;
    int m_qrgFormat = 0;
    int m_dateFormatIndex = 0;
    std::string m_separator;
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
};

} // namespace cardmill
