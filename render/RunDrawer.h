#pragma once

#include <memory>

#include "engine/LabelDrawer.h"
#include "engine/RunRequest.h"
#include "render/SheetRenderer.h"

namespace cardmill {

// A run's labels as the renderer reads them: each value as Unicode.
class RunLabelSource : public LabelSource {
public:
    explicit RunLabelSource(const RunLabels& labels)
        : m_labels(labels)
    {
    }
    std::size_t count() const override { return m_labels.count(); }
    int qsos(std::size_t label) const override { return m_labels.qsos(label); }
    std::string value(std::size_t label, const std::string& column, int qso) const override;

private:
    const RunLabels& m_labels;
};

// Draws a run's labels on the sheets of a stock: the PDF, and the printer when the request asks for it.
class SheetDrawer : public LabelDrawer {
    // The fields the design shows beyond the fixed columns that no label has a value of: said once.
    std::vector<std::string> fieldsNoLabelHas(const LabelSource& source) const;

public:
    // Throws FailureError (PrinterMissing, PrinterRefusing) when the sheet is to be printed on a printer that is
    // not there or takes no jobs: said before the run, not after the labels are drawn.
    SheetDrawer(SheetRenderer renderer, const LabelSheet& sheet, std::string jobName = "CARDMILL labels");
    DrawnLabels draw(const RunLabels& labels, const std::filesystem::path& pdf, const Progress& progress) override;
    std::vector<std::string> fields() const override;
    std::size_t labelsPerSheet() const override { return m_renderer.labelsPerSheet(); }
    void startAt(int label) override { m_renderer.startAt(label); }

private:
    SheetRenderer m_renderer;
    LabelSheet m_sheet;
    std::string m_jobName;
};

// Draws nothing: the labels of a run that only looks at them (a preview before the real run), and the sheets
// they would take.
class CountingDrawer : public LabelDrawer {
public:
    explicit CountingDrawer(SheetRenderer renderer)
        : m_renderer(std::move(renderer))
    {
    }
    DrawnLabels draw(const RunLabels& labels, const std::filesystem::path&, const Progress&) override
    {
        DrawnLabels drawn;
        drawn.pdfMade = drawn.complete = true; // there is nothing to make
        drawn.sheets = m_renderer.pages(labels.count());
        return drawn;
    }
    std::vector<std::string> fields() const override { return m_renderer.fields(); }
    bool makesLabels() const override { return false; }
    std::size_t labelsPerSheet() const override { return m_renderer.labelsPerSheet(); }
    void startAt(int label) override { m_renderer.startAt(label); }

private:
    SheetRenderer m_renderer;
};

// The drawer of a request that draws its labels on `stock`: the PDF and, when the request asks for it, the
// printer; or, for a preview before the run, one that only counts the sheets. Every program makes its drawer
// here. Throws MainDocumentError when the stock cannot carry the labels, FailureError when the printer asked
// for is not there or takes no jobs.
enum class DrawerKind { Sheets, Counting };
std::unique_ptr<LabelDrawer> drawerFor(const RunRequest& request, const LabelStock& stock,
                                       DrawerKind kind = DrawerKind::Sheets,
                                       const std::string& jobName = "CARDMILL labels");

// The renderer for a request that draws its labels on `stock`: its design, own call, start label, calibration,
// and the largest label size it can hold. Throws MainDocumentError when the stock cannot carry them, DesignError
// when the design cannot be read or does not fit.
SheetRenderer rendererFor(const RunRequest& request, const LabelStock& stock);
// The same with the design read before (a window that draws again later is not at the mercy of the file).
SheetRenderer rendererFor(const RunRequest& request, const LabelStock& stock, const Design& design);

// The renderer of the calibration page of `stock` with the sheet's calibration. Throws MainDocumentError when
// the stock cannot carry labels.
SheetRenderer calibrationRendererFor(const LabelStock& stock, const LabelSheet& sheet);

// The calibration page of `stock` with the sheet's calibration as a PDF at `pdf`. Throws IoError, or
// MainDocumentError when the stock cannot carry labels.
void writeSheetCalibrationPdf(const LabelStock& stock, const LabelSheet& sheet, const std::filesystem::path& pdf);

} // namespace cardmill
