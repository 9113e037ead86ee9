#pragma once

#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "settings/Settings.h"
#include "stock/LabelStock.h"
#include "stock/StockCatalogue.h"
#include "texts/Texts.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cardmill {

// What the stock dialog was left with: a sheet to draw the labels on ("Print on this sheet"), or the one-QSO
// main document of those it made; both empty when it was cancelled.
struct StockDialogChoice {
    std::string sheet;
    std::filesystem::path mainDocument;
};

// The stock dialog, opened on `sheet` (a stock's name or a custom grid), making main documents in `folder`.
StockDialogChoice chooseInStockDialog(const StockCatalogue& catalogue, const Settings& settings, Language language,
                                      QWidget* parent, const std::filesystem::path& folder, const std::string& sheet);

// The label sheet of the main window: the sheet box (typed and completed from the catalogue's stocks), the own
// call beside it, and "Choose...", which opens the stock dialog. It owns the catalogue, loaded when first needed,
// and finds the stock of the sheet for a run.
class SheetChoice : public QWidget {
    Q_OBJECT

public:
    SheetChoice(const Settings& settings, QWidget* parent);
    ~SheetChoice() override;

    // A stock's name or a custom grid; empty: none (the labels are merged into the main document).
    const std::string& sheet() const { return m_sheet; }
    void setSheet(const std::string& sheet);
    // What the labels drawn on the sheet look like: a built-in design's name or a design file; empty: "label".
    std::string design() const;
    void setDesign(const std::string& design);
    // A design file chosen in a file dialog becomes the design.
    void openDesignFile();
    // The own call as the box shows it, in capitals.
    std::string ownCall() const;
    // The own call the settings file remembers, into an empty box.
    void showRememberedCall();
    // The own call kept in the settings file, when it changed.
    void storeOwnCall();

    const StockCatalogue& catalogue();
    // The stock of the sheet; none, said to the user in `language`, when there is none.
    std::optional<LabelStock> stock(Language language) { return stockOf(m_sheet, language); }
    // The same for another sheet (a stock's name or a custom grid).
    std::optional<LabelStock> stockOf(const std::string& sheet, Language language);
    // The stock dialog on the sheet, its documents going to `folder`: a sheet chosen there becomes the sheet;
    // the one-QSO main document made there is returned (empty when none was made).
    std::filesystem::path openStockDialog(const std::filesystem::path& folder, Language language);
    // The catalogue's names as completions of the box (typing "L7163" finds "Avery L7163").
    void completeFromCatalogue();
    void focusOwnCall();
    // The box the sheet is typed in and the own call's: the window's focus chain runs through them.
    QLineEdit* box() const { return m_box; }
    QLineEdit* ownCallBox() const { return m_ownCall; }
    void applyLanguage(Language language);

    QPushButton* chooseButton() const { return m_choose; }
    QComboBox* designBox() const { return m_design; }

signals:
    void sheetChanged();
    void chooseClicked();
    void editDesignClicked();

private:
    void typed();

    Settings m_settings;
    std::string m_sheet;
    std::unique_ptr<StockCatalogue> m_catalogue;
    QLineEdit* m_box;
    QAction* m_clear;
    QLabel* m_ownCallLabel;
    QLineEdit* m_ownCall;
    QPushButton* m_choose;
    QLabel* m_designLabel;
    QComboBox* m_design;
    QPushButton* m_designFile;
    QPushButton* m_editDesign;
    Language m_language = Language::English;
};

} // namespace cardmill
