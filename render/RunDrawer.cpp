#include "render/RunDrawer.h"

#include <algorithm>

#include "engine/LineComposer.h"
#include "engine/Routes.h"
#include "merge/TextDecoding.h"
#include "render/DesignFile.h"
#include "render/LabelOutput.h"
#include "render/PrintQueue.h"

namespace cardmill {

std::string RunLabelSource::value(std::size_t label, const std::string& column, int qso) const
{
    return decodeValue(m_labels.value(label, column, qso));
}

SheetDrawer::SheetDrawer(SheetRenderer renderer, const LabelSheet& sheet, std::string jobName)
    : m_renderer(std::move(renderer))
    , m_sheet(sheet)
    , m_jobName(std::move(jobName))
{
    if (m_sheet.print)
        m_sheet.printer = requirePrintQueue(m_sheet.printer);
}

std::vector<std::string> SheetDrawer::fieldsNoLabelHas(const LabelSource& source) const
{
    std::vector<std::string> empty;
    for (const std::string& field : m_renderer.fields()) {
        if (isFixedColumn(field) || addressLineOf(field) > 0)
            continue; // every log may leave those out; an address has as many lines as it has
        bool found = false;
        for (std::size_t label = 0; label < source.count() && !found; ++label)
            for (int qso = 0; qso < std::max(1, source.qsos(label)) && !found; ++qso)
                found = !source.value(label, field, qso).empty();
        if (!found)
            empty.push_back(field);
    }
    return empty;
}

std::vector<std::string> SheetDrawer::fields() const
{
    return m_renderer.fields();
}

DrawnLabels SheetDrawer::draw(const RunLabels& labels, const std::filesystem::path& pdf, const Progress& progress)
{
    const RunLabelSource source(labels);
    DrawnLabels drawn;
    const std::optional<std::size_t> pages = writeLabelsPdf(m_renderer, source, pdf, progress, &drawn.cuts);
    if (!pages)
        return drawn;
    drawn.pdfMade = true;
    drawn.sheets = *pages;
    drawn.emptyFields = fieldsNoLabelHas(source);
    if (m_sheet.print) {
        drawn.printer = m_sheet.printer;
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(QString::fromStdString(m_sheet.printer));
        preparePrinter(printer, m_renderer, m_jobName);
        try {
            const std::optional<std::size_t> printed = printOn(printer, m_renderer, source, {}, progress, pdf);
            if (!printed)
                return drawn;
            drawn.printedSheets = *printed;
        } catch (const FailureError& e) {
            drawn.printFailure = e.failure(); // the PDF is made all the same, and said
            return drawn;
        }
    }
    drawn.complete = true;
    return drawn;
}

SheetRenderer rendererFor(const RunRequest& request, const LabelStock& stock)
{
    return rendererFor(request, stock, loadDesign(request.sheet.design));
}

SheetRenderer rendererFor(const RunRequest& request, const LabelStock& stock, const Design& design)
{
    return SheetRenderer(stock, request.ownCall, request.startLabel, request.sheet.calibration,
                         request.labelSize.value(), !request.swl.empty(), &design);
}

std::unique_ptr<LabelDrawer> drawerFor(const RunRequest& request, const LabelStock& stock, DrawerKind kind,
                                       const std::string& jobName)
{
    SheetRenderer renderer = rendererFor(request, stock);
    // With routes the direct cards start at a place of their own: checked now, not once the bureau's are drawn.
    if (request.routed()) {
        renderer.startAt(request.startLabelOf(Route::Direct));
        renderer.startAt(request.startLabel);
    }
    if (kind == DrawerKind::Counting)
        return std::make_unique<CountingDrawer>(std::move(renderer));
    return std::make_unique<SheetDrawer>(std::move(renderer), request.sheet, jobName);
}

SheetRenderer calibrationRendererFor(const LabelStock& stock, const LabelSheet& sheet)
{
    return SheetRenderer(stock, {}, 1, sheet.calibration, 1, false);
}

void writeSheetCalibrationPdf(const LabelStock& stock, const LabelSheet& sheet, const std::filesystem::path& pdf)
{
    writeCalibrationPdf(calibrationRendererFor(stock, sheet), pdf);
}

} // namespace cardmill
