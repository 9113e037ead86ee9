#pragma once

#include <QDialog>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/SentMarks.h"
#include "settings/SettingsStore.h"
#include "texts/Texts.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

namespace cardmill {

// The configuration dialog ("Configuration"): the fixed field list, the user-defined field list with "Add" and
// "Delete", "Do not delete temporary.doc file", "Also save labels as PDF", "Mark QSOs as sent" and "Polish
// language". The list and the options are loaded from the settings file when the dialog is created and stored
// by the main window when it closes; a run takes them as they are when it starts.
class TFADIF1 : public QDialog {
    Q_OBJECT

public:
    explicit TFADIF1(std::filesystem::path settingsFile, QWidget* parent = nullptr);

    // The user-defined field names, in list order.
    std::vector<std::string> userFields() const;
    bool keepTemporaryFile() const;
    bool polish() const;
    bool pdfLabels() const;
    SentMarking sentMarking() const;
    bool ownBundleLast() const;
    // Every option as the settings file stores it, and as a run takes it (applyProgramOptions).
    ProgramOptions options() const;

    void Button1Click(); // "Add"
    void Button2Click(); // "Delete"

private:
    void load();
    void applyLanguage();
    Language language() const { return polish() ? Language::Polish : Language::English; }

    std::filesystem::path m_settingsFile;
    QListWidget* m_fixed;       // ListBox2
    QListWidget* m_fields;      // ListBox1
    QPushButton* m_add;         // Button1
    QPushButton* m_delete;      // Button2
    QCheckBox* m_keepTemporary; // CheckBox2
    QCheckBox* m_polish;        // CheckBox1
    QCheckBox* m_pdf;           // CheckBox3
    QCheckBox* m_markSent;      // CheckBox4
    QComboBox* m_sentVia;       // ComboBox1: not set, Bureau, Direct, Electronic
    QCheckBox* m_ownLast;       // bureau order: the own country's bundle last
    QPushButton* m_exit;        // Button3
};

} // namespace cardmill
