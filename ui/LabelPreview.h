#pragma once

#include <QDialog>

#include <exception>
#include <filesystem>
#include <memory>
#include <optional>

#include "engine/LabelDrawer.h"
#include "render/LabelOutput.h"
#include "render/RunDrawer.h"
#include "render/SheetRenderer.h"
#include "settings/Settings.h"
#include "stock/Design.h"
#include "texts/Texts.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace cardmill {

class PageView;

// The labels of a run on their sheets, a sheet at a time: the sheet and the zoom chosen, the printer's offset
// (remembered for the sheet), "Print..." through the system's print dialog and "Save PDF...". What is shown
// is drawn as printed, without the offset, which only moves what goes to a printer or a saved PDF.
class LabelPreview : public QDialog {
    Q_OBJECT

public:
    // `request` gives the sheet, the own call, the start label and the label sizes; `pdf` is where the run
    // saved the labels (the "Save PDF..." proposal). Throws MainDocumentError when `stock` cannot carry them.
    LabelPreview(std::shared_ptr<const RunLabels> labels, const LabelStock& stock, const RunRequest& request,
                 std::filesystem::path pdf, const Settings& settings, Language language, QWidget* parent = nullptr);
    ~LabelPreview() override;

    std::size_t pages() const;
    std::size_t page() const; // from 0
    void showPage(std::size_t page);
    // The renderer of what goes to a printer or a file: with the offset in force.
    SheetRenderer printRenderer() const;

    // What the run made, said at the top of the window.
    void setSummary(const std::string& text);

    void print();                // "Print..."
    void savePdf();              // "Save PDF..."
    void printCalibrationPage(); // "Calibration page..."
    void saveCalibrationPage();  // "Calibration page as PDF..."

private:
    void build();
    void offsetChanged();
    void sayFailure(std::exception_ptr failure);
    std::string text(WindowText id) const { return textFor(id, m_language); }

    std::shared_ptr<const RunLabels> m_labels;
    RunLabelSource m_source;
    RunRequest m_request;
    LabelStock m_stock;
    Design m_design; // read once: printing and saving draw what the preview shows
    SheetRenderer m_screen;
    std::filesystem::path m_pdf;
    Settings m_settings;
    Language m_language;

    PageView* m_view;
    QScrollArea* m_scroll;
    QSpinBox* m_page;
    QLabel* m_pageCount;
    QLabel* m_summary;
    QComboBox* m_zoom;
    QDoubleSpinBox *m_right, *m_down, *m_scale;
    QPushButton *m_print, *m_save, *m_calibration, *m_calibrationPdf, *m_close;
};

} // namespace cardmill
