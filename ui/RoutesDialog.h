#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/Journal.h"
#include "engine/RunRequest.h"
#include "texts/Texts.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace cardmill {

// The choices of each QSO on its route, as a profile keeps them: the route of a QSO no rule decides, where a
// direct card without an address goes, and the address labels' sheet. Opened from the main window, it also
// offers one sheet of an earlier run to print again ("Reprint sheet..."), from the runs the journal holds.
class RoutesDialog : public QDialog {
    Q_OBJECT

public:
    // Opens the stock dialog on a sheet and gives back the sheet chosen there (empty: none).
    using ChooseSheet = std::function<std::string(const std::string& sheet)>;

    // `runs`: the journal's runs for "Reprint sheet..."; none leaves that part out (the profile setup).
    RoutesDialog(const RouteChoice& choice, ChooseSheet chooseSheet, std::optional<std::vector<Journal::Run>> runs,
                 Language language, QWidget* parent = nullptr);

    // The choices as the dialog shows them (the journal and what a run asks for again stay as they came).
    RouteChoice choice() const;
    // The sheet "Reprint sheet..." asked for; none when the dialog was closed otherwise.
    const std::optional<RouteChoice::ReprintSheet>& reprint() const { return m_reprint; }

private:
    void runChosen();

    RouteChoice m_choice;
    ChooseSheet m_chooseSheet;
    std::vector<Journal::Run> m_runs;
    Language m_language;
    std::optional<RouteChoice::ReprintSheet> m_reprint;
    QComboBox* m_default;
    QComboBox* m_noAddress;
    QLineEdit* m_addressSheet;
    QSpinBox* m_directStart = nullptr;
    QComboBox* m_run = nullptr;
    QSpinBox* m_sheet = nullptr;
    QComboBox* m_labels = nullptr;
};

} // namespace cardmill
