#include "render/LabelOutput.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

#include "engine/Files.h"
#include "render/PdfOutput.h"
#include "render/PrintQueue.h"

namespace cardmill {

namespace {

QPageLayout pageOf(double width, double height)
{
    const bool landscape = width > height;
    const QSizeF portrait = landscape ? QSizeF(height, width) : QSizeF(width, height);
    return QPageLayout(QPageSize(portrait, QPageSize::Point, {}, QPageSize::ExactMatch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

QPageLayout pageOf(const LabelStock& stock)
{
    return pageOf(stock.paperWidth, stock.paperHeight);
}

// The height of each page in points, for pages of their own lengths (a roll); none: the stock's paper.
using PageHeight = std::function<double(std::size_t page)>;

PageHeight pageHeights(const SheetRenderer& renderer, const LabelSource& labels, std::size_t first)
{
    if (!renderer.stock().grows)
        return {};
    return [&renderer, &labels, first](std::size_t page) { return renderer.pageHeight(labels, first + page); };
}

using PaintPage = std::function<void(QPainter&, std::size_t page)>;

// Paints `pages` pages onto a paged device; false when stopped. The painter has ended either way, and `begun`
// runs once it has begun.
bool paintPages(QPagedPaintDevice& device, const SheetRenderer& renderer, std::size_t pages, const PaintPage& paint,
                const PageProgress& progress, const std::function<void()>& begun = {}, const PageHeight& heightOf = {})
{
    const auto usePage = [&](std::size_t page) {
        if (heightOf)
            device.setPageLayout(pageOf(renderer.stock().paperWidth, heightOf(page)));
    };
    usePage(0);
    QPainter painter(&device);
    if (!painter.isActive())
        return false;
    if (begun)
        begun();
    for (std::size_t page = 0; page < pages; ++page) {
        if (page > 0) {
            usePage(page);
            device.newPage();
        }
        painter.save();
        renderer.usePoints(painter, device);
        paint(painter, page);
        painter.restore();
        if (progress && !progress(page + 1, pages)) {
            painter.end();
            return false;
        }
    }
    painter.end();
    return true;
}

// The pages of `range` that the labels have.
PageRange clamped(PageRange range, const SheetRenderer& renderer, const LabelSource& labels)
{
    const std::size_t pages = renderer.pages(labels.count());
    range.last = std::min(range.last, pages);
    range.first = std::min(range.first, range.last);
    return range;
}

} // namespace

std::optional<std::size_t> writeLabelsPdf(const SheetRenderer& renderer, const LabelSource& labels,
                                          const std::filesystem::path& path, const PageProgress& progress,
                                          TextCuts* cuts, PageRange range)
{
    range = clamped(range, renderer, labels);
    const std::size_t pages = range.last - range.first;
    PdfOutput pdf(path, pageOf(renderer.stock()));
    QPdfWriter& writer = pdf.writer();
    const bool done = paintPages(
        writer, renderer, std::max<std::size_t>(pages, 1),
        [&](QPainter& p, std::size_t page) { renderer.paintPage(p, writer, labels, range.first + page, cuts); },
        progress, {}, pageHeights(renderer, labels, range.first));
    if (!done)
        return std::nullopt; // the part file goes with `pdf`
    pdf.finish();
    return pages;
}

void writeCalibrationPdf(const SheetRenderer& renderer, const std::filesystem::path& path)
{
    PdfOutput pdf(path, pageOf(renderer.stock()));
    QPdfWriter& writer = pdf.writer();
    paintPages(writer, renderer, 1, [&](QPainter& p, std::size_t) { renderer.paintCalibrationPage(p, writer); }, {});
    pdf.finish();
}

std::vector<std::string> printerNames()
{
    std::vector<std::string> names;
    const QString fallback = QPrinterInfo::defaultPrinterName();
    if (!fallback.isEmpty())
        names.push_back(fallback.toStdString());
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        if (name != fallback)
            names.push_back(name.toStdString());
    return names;
}

void preparePrinter(QPrinter& printer, const SheetRenderer& renderer, const std::string& jobName)
{
    printer.setFullPage(true);
    printer.setPageLayout(pageOf(renderer.stock()));
    printer.setDocName(QString::fromStdString(jobName));
}

namespace {

// Pages painted by `paint` as one job on the printer's queue; false when stopped (nothing handed over).
bool printJob(QPrinter& printer, const SheetRenderer& renderer, std::size_t pages, const PaintPage& paint,
              const PageProgress& progress, const std::filesystem::path& drawn, const PageHeight& heightOf = {})
{
    PrintJob job(printer, pageOf(renderer.stock()));
    if (!drawn.empty() && PrintJob::takesPdf()) {
        if (progress && !progress(pages, pages))
            return false;
        job.commitPdf(drawn);
        return true;
    }
    QPagedPaintDevice& device = job.device();
    if (!paintPages(
            device, renderer, pages, [&](QPainter& p, std::size_t page) { paint(p, page); }, progress,
            [&] { job.begun(); }, heightOf))
        return false; // withdrawn with `job`
    if (progress && !progress(pages, pages))
        return false;
    job.commit();
    return true;
}

} // namespace

std::optional<std::size_t> printOn(QPrinter& printer, const SheetRenderer& renderer, const LabelSource& labels,
                                   PageRange range, const PageProgress& progress, const std::filesystem::path& drawn)
{
    range = clamped(range, renderer, labels);
    const std::size_t count = range.last - range.first;
    if (count == 0)
        return 0;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        // Printing to a file: the PDF is made whole under a part name, or not at all.
        return writeLabelsPdf(renderer, labels, files::pathFromUtf8(printer.outputFileName().toStdString()), progress,
                              nullptr, range);
    }
    const auto paint = [&](QPainter& p, std::size_t page) {
        renderer.paintPage(p, p.device() ? *p.device() : static_cast<const QPaintDevice&>(printer), labels,
                           range.first + page);
    };
    if (!printJob(printer, renderer, count, paint, progress, drawn, pageHeights(renderer, labels, range.first)))
        return std::nullopt;
    return count;
}

void printCalibrationPage(QPrinter& printer, const SheetRenderer& renderer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        writeCalibrationPdf(renderer, files::pathFromUtf8(printer.outputFileName().toStdString()));
        return;
    }
    printJob(printer, renderer, 1,
             [&](QPainter& p, std::size_t) {
                 renderer.paintCalibrationPage(p, p.device() ? *p.device() : static_cast<const QPaintDevice&>(printer));
             },
             {}, {});
}

} // namespace cardmill
