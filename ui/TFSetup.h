#pragma once

#include <QDialog>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/RunRequest.h"
#include "settings/Settings.h"
#include "texts/Texts.h"

class QBoxLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace cardmill {

class PathBox;

// What the profile setup dialog starts from: the main window's profile list and its choices.
struct ProfileSetupInput {
    std::vector<std::string> profiles; // as the main window lists them
    int selected = -1;                 // the main window's current profile
    bool newProfile = false;           // open for a new profile at once (there is none yet)
    RunRequest choices;                // the main window's request
};

// What it changed, for the main window to follow when it has closed.
struct ProfileSetupResult {
    bool changed = false;               // a profile was saved or deleted
    bool saved = false;                 // a profile was saved
    std::optional<std::string> current; // the profile the main window shows now; none when the list is empty
};

// The profile setup dialog ("Profile setup"): creates, changes and deletes the profiles of the settings file.
// It works on the file and its own controls only; the caller reads result() when it has closed.
class TFSetup : public QDialog {
    Q_OBJECT

public:
    TFSetup(const Settings& settings, Language language, const ProfileSetupInput& input, QWidget* parent = nullptr);

    const ProfileSetupResult& result() const { return m_result; }
    bool newProfileMode() const { return m_newProfileMode; }

    void Button1Click();     // "New profile"
    void Button2Click();     // "Apply"
    void Button3Click();     // "Delete"
    void Button6Click();     // "OK"
    void ComboBox1Change();  // a profile chosen in the list
    void Button4Click();     // "Browse" for the log
    void Button7Click();     // "Browse" for the SWL file
    void Button5Click();     // "Browse" for the main document
    void clearSwlFile();     // the SWL box's clear button, or Delete in it
    void newMainDocuments(); // "New..." main documents, or a label sheet, in the stock dialog
    void editRoutes();       // "Routes..."
    // Leaving (OK, Escape, the window's close button) asks first when a new profile or changes are unsaved.
    void reject() override;

    // The dialog's choices as a request (the main window's for what a profile does not hold), and a request's
    // choices on the dialog: what a profile holds.
    RunRequest choices() const;
    void showChoices(const RunRequest& request);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void buildPathRows(QBoxLayout* outer);
    void buildFormatRow(QBoxLayout* outer);
    void buildButtons(QBoxLayout* outer);
    bool apply();
    void leaveNewProfileMode();
    std::string selectedName() const;
    // What the dialog shows of a profile, to tell whether the user changed it.
    Profile values() const;
    bool mayLeave();

    Settings m_settings;
    Language m_language;
    ProfileSetupInput m_input;
    ProfileSetupResult m_result;
    bool m_newProfileMode = false;
    bool m_shownOnce = false;
    Profile m_saved;                           // values() as last loaded or saved
    QString m_separator = QStringLiteral("-"); // the separator box's last accepted text

    QComboBox* m_names;          // ComboBox1: the profile names
    QLineEdit* m_newName;        // Edit1: a new profile's name
    PathBox* m_log;              // Edit2
    PathBox* m_swl;              // Edit4
    PathBox* m_main;             // Edit5
    QLineEdit* m_sheet;          // the label sheet, chosen on the main window
    QLineEdit* m_design;         // the design of the sheet's labels, chosen on the main window
    std::string m_designValue;   // the design's name or file, as the request holds it
    QComboBox* m_qrg;            // ComboBox2
    QComboBox* m_date;           // ComboBox3
    QLineEdit* m_sep;            // Edit3
    QSpinBox* m_qsos;            // SpinEdit1
    QComboBox* m_order;          // the label order: by call, for the QSL bureau
    QPushButton* m_routesButton; // "Routes...": the route choices, with each QSO on its route
    RouteChoice m_routes;        // the route choices of the profile shown
    QPushButton* m_delete;       // Button3
    QPushButton* m_new;          // Button1
    QPushButton* m_apply;        // Button2
    QPushButton* m_ok;           // Button6
    QPushButton* m_browseLog;    // Button4
    QPushButton* m_browseSwl;    // Button7
    QPushButton* m_browseMain;   // Button5
    QPushButton* m_newMain;      // "New..."
};

} // namespace cardmill
