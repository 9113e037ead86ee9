#include "render/RunDrawer.h"

#include "merge/TextDecoding.h"
#include "render/LabelOutput.h"

namespace cardmill {

std::string RunLabelSource::value(std::size_t label, const std::string& column, int qso) const
{
    return decodeValue(m_labels.value(label, column, qso));
}

SheetDrawer::SheetDrawer(SheetRenderer renderer, const LabelSheet& sheet)
    : m_renderer(std::move(renderer))
    , m_sheet(sheet)
{
    if (m_sheet.print)
        requirePrinter(m_sheet.printer); // said before the run, not after the labels are drawn
}

std::optional<std::size_t> SheetDrawer::draw(const RunLabels& labels, const std::filesystem::path& pdf,
                                             const Progress& progress)
{
    const RunLabelSource source(labels);
    const std::optional<std::size_t> pages = writeLabelsPdf(m_renderer, source, pdf, progress);
    if (!pages || !m_sheet.print)
        return pages;
    return printLabels(m_renderer, source, m_sheet.printer, progress);
}

namespace {

Calibration calibrationOf(const LabelSheet& sheet)
{
    return {sheet.offsetX, sheet.offsetY, sheet.scale};
}

} // namespace

SheetRenderer rendererFor(const RunRequest& request, const LabelStock& stock)
{
    return SheetRenderer(stock, request.ownCall, request.startLabel, calibrationOf(request.sheet),
                         request.labelSize.value(), !request.swl.empty());
}

void writeSheetCalibrationPdf(const LabelStock& stock, const LabelSheet& sheet, const std::filesystem::path& pdf)
{
    writeCalibrationPdf(SheetRenderer(stock, {}, 1, calibrationOf(sheet), 1, false), pdf);
}

} // namespace cardmill
