#pragma once

#include <QDialog>

#include <filesystem>

#include "ui/Texts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace cardmill {

class TForm1;

// The profile setup dialog ("Profile setup"): creates, changes and deletes the profiles of the settings file.
// The main window fills it before showing it; "Apply" and "Delete" update the main window's list and current
// profile themselves.
class TFSetup : public QDialog {
    Q_OBJECT

public:
    explicit TFSetup(TForm1& main);

    // What the main window's "Profiles Setup" does: fill the dialog from the window, then show it modally.
    void prepareAndShow();
    // The QRG list's names in a language (the file always stores the English text).
    void applyLanguage(Language language);

    void Button1Click();   // "New profile"
    void Button2Click();   // "Apply"; true when the profile was saved
    void Button3Click();   // "Delete"
    void Button6Click();   // "OK"
    void ComboBox1Change(); // a profile chosen in the list
    void Button4Click();   // "Browse" for the log
    void Button7Click();   // "Browse" for the SWL file
    void Button5Click();   // "Browse" for the main document

    bool newProfileMode() const { return m_newProfileMode; }
    static std::filesystem::path fullPath(const QLineEdit* box);

    QLabel* Label1;
    QComboBox* ComboBox1; // profile names
    QLineEdit* Edit1;     // a new profile's name
    QLineEdit* Edit2;     // log
    QPushButton* Button4;
    QLineEdit* Edit4;     // SWL file
    QPushButton* Button7;
    QLineEdit* Edit5;     // main document
    QPushButton* Button5;
    QComboBox* ComboBox2; // QRG format
    QComboBox* ComboBox3; // date format
    QLineEdit* Edit3;     // separator
    QSpinBox* SpinEdit1;  // QSOs per label
    QPushButton* Button3; // Delete
    QPushButton* Button1; // New profile
    QPushButton* Button2; // Apply
    QPushButton* Button6; // OK

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool apply();
    void setPath(QLineEdit* box, const std::filesystem::path& path);
    void leaveNewProfileMode();
    Language language() const;

    TForm1& m_main;
    bool m_newProfileMode = false;
    QString m_separator = "-"; // the separator box's last accepted text
};

} // namespace cardmill
