#include "render/LabelOutput.h"

#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include "engine/Failure.h"
#include "engine/OutputFile.h"

namespace cardmill {

namespace {

// What QPdfWriter writes, handed to an OutputFile as it comes: the PDF never lies whole in memory.
class OutputDevice : public QIODevice {
public:
    explicit OutputDevice(OutputFile& file)
        : m_file(file)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        m_file.write(std::string_view(data, static_cast<std::size_t>(size)));
        return size;
    }

private:
    OutputFile& m_file;
};

QPageLayout pageOf(const LabelStock& stock)
{
    const bool landscape = stock.paperWidth > stock.paperHeight;
    const QSizeF portrait =
        landscape ? QSizeF(stock.paperHeight, stock.paperWidth) : QSizeF(stock.paperWidth, stock.paperHeight);
    return QPageLayout(QPageSize(portrait, QPageSize::Point, {}, QPageSize::ExactMatch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

// Paints `pages` pages onto a paged device; false when stopped.
template <typename Paint>
bool paintPages(QPagedPaintDevice& device, const SheetRenderer& renderer, std::size_t pages, const Paint& paint,
                const PageProgress& progress)
{
    QPainter painter(&device);
    for (std::size_t page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        painter.save();
        renderer.usePoints(painter, device);
        paint(painter, page);
        painter.restore();
        if (progress && !progress(page + 1, pages)) {
            painter.end();
            return false;
        }
    }
    return painter.end();
}

} // namespace

std::optional<std::size_t> writeLabelsPdf(const SheetRenderer& renderer, const LabelSource& labels,
                                          const std::filesystem::path& path, const PageProgress& progress)
{
    OutputFile file(path);
    const std::size_t pages = renderer.pages(labels.count());
    {
        OutputDevice out(file);
        QPdfWriter pdf(&out);
        pdf.setResolution(72);
        pdf.setCreator(QStringLiteral("CARDMILL"));
        pdf.setPageLayout(pageOf(renderer.stock()));
        const bool done = paintPages(
            pdf, renderer, std::max<std::size_t>(pages, 1),
            [&](QPainter& p, std::size_t page) { renderer.paintPage(p, pdf, labels, page); }, progress);
        if (!done) {
            file.discard();
            return std::nullopt;
        }
    }
    file.commit();
    return pages;
}

void writeCalibrationPdf(const SheetRenderer& renderer, const std::filesystem::path& path)
{
    OutputFile file(path);
    {
        OutputDevice out(file);
        QPdfWriter pdf(&out);
        pdf.setResolution(72);
        pdf.setPageLayout(pageOf(renderer.stock()));
        paintPages(pdf, renderer, 1, [&](QPainter& p, std::size_t) { renderer.paintCalibrationPage(p, pdf); }, {});
    }
    file.commit();
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

QPrinterInfo requirePrinter(const std::string& printer)
{
    const QString name = printer.empty() ? QPrinterInfo::defaultPrinterName() : QString::fromStdString(printer);
    const QPrinterInfo info = name.isEmpty() ? QPrinterInfo() : QPrinterInfo::printerInfo(name);
    if (info.isNull())
        throw FailureError({FailureId::PrinterMissing, {}, printer});
    return info;
}

void preparePrinter(QPrinter& printer, const SheetRenderer& renderer)
{
    printer.setFullPage(true);
    printer.setPageLayout(pageOf(renderer.stock()));
    printer.setDocName(QStringLiteral("CARDMILL labels"));
}

std::optional<std::size_t> printOn(QPrinter& printer, const SheetRenderer& renderer, const LabelSource& labels,
                                   std::size_t first, std::size_t last, const PageProgress& progress)
{
    const std::size_t pages = renderer.pages(labels.count());
    last = std::min(last, pages);
    if (first >= last)
        return 0;
    const std::size_t count = last - first;
    if (!paintPages(
            printer, renderer, count,
            [&](QPainter& p, std::size_t page) { renderer.paintPage(p, printer, labels, first + page); }, progress)) {
        printer.abort();
        return std::nullopt;
    }
    return count;
}

std::optional<std::size_t> printLabels(const SheetRenderer& renderer, const LabelSource& labels,
                                       const std::string& printer, const PageProgress& progress)
{
    QPrinter device(requirePrinter(printer), QPrinter::HighResolution);
    preparePrinter(device, renderer);
    return printOn(device, renderer, labels, 0, renderer.pages(labels.count()), progress);
}

} // namespace cardmill
