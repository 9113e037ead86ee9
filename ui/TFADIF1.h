#pragma once

#include <QDialog>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/SentMarks.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;

namespace cardmill {

// The configuration dialog ("Configuration"): the fixed field list, the user-defined field list with "Add" and
// "Delete", "Do not delete temporary.doc file" and "Polish language". The list and the options are loaded from
// the settings file when the dialog is created and stored by the main window when it closes; the conversion
// reads the controls whenever it needs the values.
class TFADIF1 : public QDialog {
    Q_OBJECT

public:
    explicit TFADIF1(std::filesystem::path settingsFile, QWidget* parent = nullptr);

    // The user-defined field names, in list order.
    std::vector<std::string> userFields() const;
    // The same, into `fields`, reusing its storage (read at every record of a run).
    void userFieldsInto(std::vector<std::string>& fields) const;
    bool keepTemporaryFile() const;
    bool polish() const;
    bool pdfLabels() const;
    SentMarking sentMarking() const;

    void Button1Click(); // "Add"
    void Button2Click(); // "Delete"

    QGroupBox* GroupBox1;
    QListWidget* ListBox2; // the fixed fields
    QGroupBox* GroupBox2;
    QListWidget* ListBox1; // the user-defined fields
    QPushButton* Button1;
    QPushButton* Button2;
    QCheckBox* CheckBox2; // "Do not delete temporary.doc file"
    QCheckBox* CheckBox1; // "Polish language"
    QCheckBox* CheckBox3; // "Also save labels as PDF"
    QCheckBox* CheckBox4; // "Mark QSOs as sent"
    QComboBox* ComboBox1; // its "sent via": not set, Bureau, Direct, Electronic
    QPushButton* Button3; // "Exit"

private:
    void load();

    std::filesystem::path m_settingsFile;
};

} // namespace cardmill
