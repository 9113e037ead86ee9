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

// One batch of a run's labels as the preview shows it: what the list of batches calls it (WindowText::Count for
// a run's only batch), the labels, their stock, the request they were drawn by (sheet, design, start label) and
// where "Save PDF..." proposes to save them.
struct PreviewBatch {
    WindowText caption = WindowText::Count;
    std::shared_ptr<const RunLabels> labels;
    LabelStock stock;
    RunRequest request;
    std::filesystem::path pdf;
};

// The labels of a run on their sheets, a sheet at a time, batch by batch when each QSO went its route (bureau
// cards, direct cards, their address labels): the batch, the sheet and the zoom chosen, the printer's offset
// (remembered for the sheet), "Print..." through the system's print dialog and "Save PDF...". What is shown
// is drawn as printed, without the offset, which only moves what goes to a printer or a saved PDF.
class LabelPreview : public QDialog {
    Q_OBJECT

public:
    // `request` gives the sheet, the own call, the start label and the label sizes; `pdf` is where the run
    // saved the labels (the "Save PDF..." proposal). Throws MainDocumentError when `stock` cannot carry them.
    LabelPreview(std::shared_ptr<const RunLabels> labels, const LabelStock& stock, const RunRequest& request,
                 std::filesystem::path pdf, const Settings& settings, Language language, QWidget* parent = nullptr);
    // The batches of a run with routes, the first shown. Throws MainDocumentError or DesignError as above.
    LabelPreview(std::vector<PreviewBatch> batches, const Settings& settings, Language language,
                 QWidget* parent = nullptr);
    ~LabelPreview() override;

    std::size_t batches() const { return m_batches.size(); }
    void showBatch(std::size_t batch);
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

    // A batch with what drawing it needs: its design read once (printing and saving draw what the preview
    // shows), and its renderer on the screen.
    struct Shown {
        explicit Shown(PreviewBatch batch);
        PreviewBatch batch;
        RunLabelSource source;
        Design design;
        SheetRenderer screen;
    };
    Shown& shown() { return *m_batches[m_shown]; }
    const Shown& shown() const { return *m_batches[m_shown]; }
    void showTitle();

    std::vector<std::unique_ptr<Shown>> m_batches;
    std::size_t m_shown = 0;
    Settings m_settings;
    Language m_language;

    QComboBox* m_batch;
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
