#pragma once

#include <QDialog>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "settings/Settings.h"
#include "stock/LabelDesign.h"
#include "stock/LabelStock.h"
#include "stock/StockCatalogue.h"
#include "texts/Texts.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

namespace cardmill {

class SheetRenderer;

// A sheet of labels drawn to scale: the paper, every label's outline, and the first label filled with example
// data in the QSL design.
class StockPreview : public QWidget {
    Q_OBJECT

public:
    explicit StockPreview(QWidget* parent = nullptr);
    ~StockPreview() override;
    // Nothing to draw when `stock` is empty; the first label holds example data of `qsos` QSOs (0: an SWL
    // label) when its labels can carry them, painted as the labels are drawn.
    void show(const std::optional<LabelStock>& stock, int qsos, const std::string& ownCall);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<LabelStock> m_stock;
    int m_qsos = 1;
    std::unique_ptr<SheetRenderer> m_renderer;
};

// "New main documents": a label stock chosen from the catalogue (or a custom grid), the own call sign, the
// label sizes, the format and the folder; "Create" writes the documents (asking before it replaces any) and
// remembers the choices in the settings file.
class TFStock : public QDialog {
    Q_OBJECT

public:
    TFStock(const StockCatalogue& catalogue, const Settings& settings, Language language, QWidget* parent = nullptr);

    // Where the documents go unless the user picks another folder.
    void setFolder(const std::filesystem::path& folder);
    // The stock chosen now (a custom grid built from its fields); empty when none is.
    std::optional<LabelStock> currentStock() const;
    // Selects a stock of the list by its name; false when the list does not show it.
    bool selectStock(const std::string& name);
    // Selects a label sheet as a profile keeps it: a stock's name or a custom grid; false when it is neither.
    bool selectSheet(const std::string& sheet);
    // "Create".
    void create();
    // "Print on this sheet": the stock chosen for labels that the program draws itself.
    void useSheet();
    // The sheet "Print on this sheet" took: a stock's name or a custom grid; empty when it was not pressed.
    const std::string& chosenSheet() const { return m_sheet; }
    // The documents the last "Create" made, in size order.
    const std::vector<std::filesystem::path>& madeDocuments() const { return m_made; }
    // The one-QSO document among them, for the main window's box; empty when it was not made.
    std::filesystem::path firstSizeDocument() const;

private:
    void build();
    QVBoxLayout* buildStockList();
    QGroupBox* buildCustomGrid();
    QVBoxLayout* buildSheetView();
    QVBoxLayout* buildChoices();
    QDialogButtonBox* buildButtons();
    void fillList();
    void stockChanged();
    std::vector<int> chosenSizes() const;
    CustomGrid customGrid() const;
    // "2 x 7", or the labels on a sheet of several layouts.
    std::string arrangementText(const LabelStock& stock) const;
    std::string text(WindowText id) const { return textFor(id, m_language); }

    const StockCatalogue& m_catalogue;
    Settings m_settings;
    Language m_language;
    std::vector<const LabelStock*> m_shown; // the list's stocks after the custom-grid entry
    std::vector<std::filesystem::path> m_made;
    std::string m_sheet;

    QLineEdit* m_search;
    QListWidget* m_list;
    QLabel* m_noDatabase;
    QGroupBox* m_custom;
    QComboBox* m_paper;
    QSpinBox *m_columns, *m_rows;
    QDoubleSpinBox *m_width, *m_height, *m_left, *m_top, *m_hpitch, *m_vpitch;
    StockPreview* m_preview;
    QLabel* m_about;
    QLabel* m_description;
    QLineEdit* m_ownCall;
    std::vector<QCheckBox*> m_sizes; // 1 to 10, then SWL
    QComboBox* m_format;
    QLineEdit* m_folder;
    QPushButton* m_browse;
    QPushButton* m_create;
    QPushButton* m_useSheet;
};

} // namespace cardmill
