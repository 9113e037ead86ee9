#include "ui/LabelPreview.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>

#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <memory>
#include <optional>

#include <algorithm>

#include "engine/Failure.h"
#include "render/DesignFile.h"
#include "render/LabelOutput.h"
#include "stock/MainDocuments.h"
#include "ui/BackgroundJob.h"
#include "ui/ErrorHandler.h"
#include "ui/Messages.h"
#include "ui/UserInteraction.h"
#include "ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace cardmill {

// One sheet as it will come out of the printer: the paper, the labels' outlines, and the labels on them.
class PageView : public QWidget {
public:
    PageView(const SheetRenderer& renderer, const LabelSource& labels, QWidget* parent)
        : QWidget(parent)
        , m_renderer(&renderer)
        , m_labels(&labels)
    {
        setObjectName("PreviewPage");
        zoomTo(1);
    }
    void showLabels(const SheetRenderer& renderer, const LabelSource& labels)
    {
        m_renderer = &renderer;
        m_labels = &labels;
        zoomTo(m_zoom); // another stock may have another paper
    }
    void showPage(std::size_t page)
    {
        m_page = page;
        update();
    }
    void zoomTo(double zoom)
    {
        m_zoom = zoom;
        const LabelStock& s = m_renderer->stock();
        setFixedSize(QSize(static_cast<int>(s.paperWidth * pixelsPerPoint()) + 1,
                           static_cast<int>(s.paperHeight * pixelsPerPoint()) + 1));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), Qt::white);
        p.setPen(QPen(Qt::darkGray, 0));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.scale(m_zoom, m_zoom);
        m_renderer->usePoints(p, *this);
        p.save();
        p.setPen(QPen(QColor(200, 200, 200), 0));
        for (const LabelRect& r : m_renderer->stock().places())
            p.drawRect(QRectF(r.x, r.y, r.width, r.height));
        p.restore();
        m_renderer->paintPage(p, *this, *m_labels, m_page);
    }

private:
    double pixelsPerPoint() const { return m_zoom * logicalDpiX() / 72.0; }

    const SheetRenderer* m_renderer;
    const LabelSource* m_labels;
    std::size_t m_page = 0;
    double m_zoom = 1;
};

namespace {

SheetRenderer rendererWithout(const RunRequest& request, const LabelStock& stock, const Design& design)
{
    RunRequest onScreen = request;
    onScreen.sheet.calibration = {};
    return rendererFor(onScreen, stock, design);
}

} // namespace

LabelPreview::Shown::Shown(PreviewBatch b)
    : batch(std::move(b))
    , source(*batch.labels)
    , design(loadDesign(batch.request.sheet.design))
    , screen(rendererWithout(batch.request, batch.stock, design))
{
}

LabelPreview::LabelPreview(std::shared_ptr<const RunLabels> labels, const LabelStock& stock, const RunRequest& request,
                           std::filesystem::path pdf, const Settings& settings, Language language, QWidget* parent)
    : LabelPreview({PreviewBatch{WindowText::Count, std::move(labels), stock, request, std::move(pdf)}}, settings,
                   language, parent)
{
}

LabelPreview::LabelPreview(std::vector<PreviewBatch> batches, const Settings& settings, Language language,
                           QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_language(language)
{
    for (PreviewBatch& b : batches)
        m_batches.push_back(std::make_unique<Shown>(std::move(b)));
    if (m_batches.empty())
        throw std::invalid_argument("a preview of no labels");
    build();
    showPage(0);
    setSummary({});
}

LabelPreview::~LabelPreview() = default;

void LabelPreview::build()
{
    setObjectName("LabelPreview");
    showTitle();
    auto* layout = new QVBoxLayout(this);
    m_summary = named<QLabel>(this, "PreviewSummary");
    m_summary->setWordWrap(true);
    m_summary->hide();
    layout->addWidget(m_summary);

    // With routes, the batches: which route the labels shown went, on a row of their own above the sheet's bar.
    auto* batches = new QHBoxLayout;
    m_batch = named<QComboBox>(this, "PreviewBatch");
    m_batch->setAccessibleName(toQString(text(WindowText::PreviewBatch)));
    for (const std::unique_ptr<Shown>& b : m_batches)
        m_batch->addItem(
            b->batch.caption == WindowText::Count
                ? QString()
                : toQString(textFor(b->batch.caption, m_language, std::to_string(b->batch.labels->count()))));
    auto* batchLabel = new QLabel(toQString(text(WindowText::PreviewBatch)), this);
    batchLabel->setBuddy(m_batch);
    batchLabel->setVisible(m_batches.size() > 1);
    m_batch->setVisible(m_batches.size() > 1);
    m_batch->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    batches->addWidget(batchLabel);
    batches->addWidget(m_batch);
    batches->addStretch(1);
    layout->addLayout(batches);

    auto* bar = new QHBoxLayout;
    m_page = named<QSpinBox>(this, "PreviewSheet");
    m_page->setRange(1, static_cast<int>(std::max<std::size_t>(pages(), 1)));
    m_page->setAccessibleName(toQString(text(WindowText::PreviewSheetShown)));
    m_pageCount = named<QLabel>(this, "PreviewSheets");
    m_zoom = named<QComboBox>(this, "PreviewZoom");
    for (int percent : {50, 75, 100, 150, 200})
        m_zoom->addItem(QString::number(percent) + u" %"_s, percent / 100.0);
    m_zoom->setCurrentIndex(1);
    m_zoom->setAccessibleName(toQString(text(WindowText::PreviewZoom)));
    auto* zoomLabel = new QLabel(toQString(text(WindowText::PreviewZoom)), this);
    zoomLabel->setBuddy(m_zoom);
    bar->addWidget(m_page);
    bar->addWidget(m_pageCount);
    bar->addSpacing(fontMetrics().averageCharWidth() * 3);
    bar->addWidget(zoomLabel);
    bar->addWidget(m_zoom);
    bar->addStretch(1);
    auto* offset = new QLabel(toQString(text(WindowText::PreviewOffset)) + u":"_s, this);
    bar->addWidget(offset);
    auto spin = [this](const char* name, WindowText caption, double value) {
        auto* s = named<QDoubleSpinBox>(this, name);
        s->setRange(-Calibration::kMaxOffset, Calibration::kMaxOffset);
        s->setDecimals(1);
        s->setSingleStep(0.5);
        s->setValue(value);
        s->setSuffix(u" "_s + toQString(text(caption)));
        s->setAccessibleName(toQString(text(WindowText::PreviewOffset) + " " + text(caption)));
        return s;
    };
    const Calibration& calibration = shown().batch.request.sheet.calibration;
    m_right = spin("OffsetRight", WindowText::PreviewRight, calibration.offsetX);
    m_down = spin("OffsetDown", WindowText::PreviewDown, calibration.offsetY);
    bar->addWidget(m_right);
    bar->addWidget(m_down);
    // A printer that also scales: 90 to 110 per cent.
    m_scale = spin("PrintScale", WindowText::PreviewScale, 0);
    m_scale->setRange(Calibration::kMinPercent, Calibration::kMaxPercent);
    m_scale->setValue(calibration.scale * 100);
    bar->addWidget(m_scale);
    // The calibration page goes to the printer, as the labels will; or into a PDF to print from elsewhere.
    m_calibration = named<QPushButton>(this, "CalibrationPage");
    m_calibration->setText(toQString(text(WindowText::PreviewCalibration)));
    bar->addWidget(m_calibration);
    m_calibrationPdf = named<QPushButton>(this, "CalibrationPdf");
    m_calibrationPdf->setText(toQString(text(WindowText::PreviewCalibrationPdf)));
    bar->addWidget(m_calibrationPdf);
    layout->addLayout(bar);

    m_view = new PageView(shown().screen, shown().source, this);
    m_view->setAccessibleName(toQString(text(WindowText::PreviewSheetShown)));
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName("PreviewScroll");
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    layout->addWidget(m_scroll, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_print = buttons->addButton(toQString(text(WindowText::PreviewPrint)), QDialogButtonBox::ActionRole);
    m_print->setObjectName("PreviewPrint");
    m_print->setDefault(true);
    m_save = buttons->addButton(toQString(text(WindowText::PreviewSavePdf)), QDialogButtonBox::ActionRole);
    m_save->setObjectName("PreviewSavePdf");
    m_close = buttons->addButton(toQString(text(WindowText::PreviewClose)), QDialogButtonBox::RejectRole);
    m_close->setObjectName("PreviewClose");
    layout->addWidget(buttons);

    connect(m_batch, &QComboBox::currentIndexChanged, this,
            [this](int index) { showBatch(static_cast<std::size_t>(std::max(index, 0))); });
    connect(m_page, &QSpinBox::valueChanged, this,
            [this](int value) { showPage(static_cast<std::size_t>(std::max(value, 1) - 1)); });
    connect(m_zoom, &QComboBox::currentIndexChanged, this,
            [this] { m_view->zoomTo(m_zoom->currentData().toDouble()); });
    m_view->zoomTo(m_zoom->currentData().toDouble());
    for (QDoubleSpinBox* s : {m_right, m_down, m_scale})
        connect(s, &QDoubleSpinBox::valueChanged, this, [this] { offsetChanged(); });
    connect(m_print, &QPushButton::clicked, this, [this] { guarded([this] { print(); }); });
    connect(m_save, &QPushButton::clicked, this, [this] { guarded([this] { savePdf(); }); });
    connect(m_calibration, &QPushButton::clicked, this, [this] { guarded([this] { printCalibrationPage(); }); });
    connect(m_calibrationPdf, &QPushButton::clicked, this, [this] { guarded([this] { saveCalibrationPage(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // The whole sheet's width at the zoom shown, and as much of its height as a small screen (1280 x 800) takes.
    resize(std::max(m_view->width() + 60, sizeHint().width()), std::min(m_view->height() + 140, 720));
}

void LabelPreview::showTitle()
{
    // A preview before the run has no PDF yet: its title names none.
    const std::filesystem::path& pdf = shown().batch.pdf;
    std::error_code ec;
    setWindowTitle(toQString(std::filesystem::is_regular_file(pdf, ec)
                                 ? textFor(WindowText::PreviewTitle, m_language, files::utf8Of(pdf.filename()))
                                 : textFor(WindowText::PreviewTitleBeforeRun, m_language)));
}

void LabelPreview::showBatch(std::size_t batch)
{
    if (batch >= m_batches.size() || batch == m_shown)
        return;
    m_shown = batch;
    if (m_batch->currentIndex() != static_cast<int>(batch))
        m_batch->setCurrentIndex(static_cast<int>(batch));
    // Another batch may lie on another stock, with its own offset.
    const Calibration& calibration = shown().batch.request.sheet.calibration;
    for (QDoubleSpinBox* s : {m_right, m_down, m_scale})
        s->blockSignals(true);
    m_right->setValue(calibration.offsetX);
    m_down->setValue(calibration.offsetY);
    m_scale->setValue(calibration.scale * 100);
    for (QDoubleSpinBox* s : {m_right, m_down, m_scale})
        s->blockSignals(false);
    showTitle();
    m_view->showLabels(shown().screen, shown().source);
    m_page->setRange(1, static_cast<int>(std::max<std::size_t>(pages(), 1)));
    showPage(0);
}

std::size_t LabelPreview::pages() const
{
    return shown().screen.pages(shown().batch.labels->count());
}

std::size_t LabelPreview::page() const
{
    return static_cast<std::size_t>(m_page->value() - 1);
}

void LabelPreview::showPage(std::size_t page)
{
    page = std::min(page, std::max<std::size_t>(pages(), 1) - 1);
    if (static_cast<std::size_t>(m_page->value() - 1) != page)
        m_page->setValue(static_cast<int>(page) + 1);
    m_pageCount->setText(
        toQString(textFor(WindowText::PreviewPage, m_language, {std::to_string(page + 1), std::to_string(pages())})));
    m_view->showPage(page);
}

void LabelPreview::setSummary(const std::string& text)
{
    // A calibration remembered for the sheet that is not one is said here, where the offset is set.
    std::string shown = text;
    try {
        const std::string& sheet = m_batches.front()->batch.request.sheet.name();
        if (const std::string bad = m_settings.unreadableCalibration(sheet); !bad.empty())
            shown += (shown.empty() ? "" : "\n") +
                     textFor(TextId::CalibrationUnreadable, m_language, {sheet, m_settings.file().string(), bad});
    } catch (const std::exception&) {
        // An unreadable settings file is said where it is read for the window.
    }
    m_summary->setText(toQString(shown));
    m_summary->setVisible(!shown.empty());
}

SheetRenderer LabelPreview::printRenderer() const
{
    return rendererFor(shown().batch.request, shown().batch.stock, shown().design);
}

void LabelPreview::offsetChanged()
{
    LabelSheet& sheet = shown().batch.request.sheet;
    sheet.calibration =
        Calibration::of(m_right->value(), m_down->value(), m_scale->value()).value_or(sheet.calibration);
    // Batches on the same sheet share its offset.
    for (const std::unique_ptr<Shown>& b : m_batches)
        if (b->batch.request.sheet.name() == sheet.name())
            b->batch.request.sheet.calibration = sheet.calibration;
    try {
        m_settings.storeCalibration(sheet.name(), sheet.calibration);
    } catch (const std::exception&) {
        // Remembering is a convenience; the offset applies to this window's printing all the same.
    }
}

void LabelPreview::print()
{
    if (BackgroundJob::busy(this))
        return;
    auto renderer = std::make_shared<const SheetRenderer>(printRenderer());
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    preparePrinter(*printer, *renderer, text(WindowText::PrintJobName));
    QPrintDialog dialog(printer.get(), this);
    dialog.setObjectName("PrintDialog");
    dialog.setMinMax(1, static_cast<int>(pages()));
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage);
    if (userInteraction().execDialog(dialog) != QDialog::Accepted)
        return;
    // The dialog may have picked another paper: the stock's stays.
    preparePrinter(*printer, *renderer, text(WindowText::PrintJobName));
    PageRange range{0, pages()};
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        range.first = static_cast<std::size_t>(printer->fromPage() - 1);
        range.last = static_cast<std::size_t>(std::max(printer->toPage(), printer->fromPage()));
    } else if (printer->printRange() == QPrinter::CurrentPage) {
        range = {page(), page() + 1};
    }
    const bool toFile = printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty();
    const std::string where = toFile ? printer->outputFileName().toStdString() : printer->printerName().toStdString();
    // The sheets are drawn off the window's thread, and handed over only when all are drawn: Cancel leaves
    // nothing in the printer's queue and no file.
    auto printed = std::make_shared<std::optional<std::size_t>>();
    BackgroundJob::start(
        this, toQString(text(toFile ? WindowText::PreviewSaving : WindowText::PreviewPrinting)),
        range.last - range.first,
        [labels = shown().batch.labels, renderer, printer, range, printed](const BackgroundJob::Progress& progress,
                                                                           const StopToken& stop) {
            const RunLabelSource source(*labels);
            *printed = printOn(*printer, *renderer, source, range, [&](std::size_t done, std::size_t all) {
                progress(done, all);
                return !stop.stopRequested();
            });
        },
        [this, toFile, where, printed](std::exception_ptr failure, bool) {
            if (failure)
                return sayFailure(failure);
            if (!*printed) // cancelled: nothing reached the printer, no file was made
                showTextMessage(this, toFile ? WindowText::PreviewSaveCancelled : WindowText::PreviewPrintCancelled,
                                m_language, {where});
            else if (toFile)
                showTextMessage(this, WindowText::PreviewSaved, m_language, {where});
            else
                showTextMessage(this, WindowText::PreviewPrinted, m_language, {where, std::to_string(**printed)});
        });
}

void LabelPreview::savePdf()
{
    if (BackgroundJob::busy(this))
        return;
    const auto path = userInteraction().saveFile(this, text(WindowText::FilterPdf), shown().batch.pdf);
    if (!path)
        return;
    auto renderer = std::make_shared<const SheetRenderer>(printRenderer());
    auto saved = std::make_shared<bool>(false);
    BackgroundJob::start(
        this, toQString(text(WindowText::PreviewSaving)), pages(),
        [labels = shown().batch.labels, renderer, file = *path, saved](const BackgroundJob::Progress& progress,
                                                                       const StopToken& stop) {
            const RunLabelSource source(*labels);
            *saved = writeLabelsPdf(*renderer, source, file, [&](std::size_t done, std::size_t all) {
                         progress(done, all);
                         return !stop.stopRequested();
                     }).has_value();
        },
        [this, file = *path, saved](std::exception_ptr failure, bool) {
            if (failure)
                return sayFailure(failure);
            // Cancelled, an older file there stays as it was.
            showTextMessage(this, *saved ? WindowText::PreviewSaved : WindowText::PreviewSaveCancelled, m_language,
                            {file.string()});
        });
}

void LabelPreview::sayFailure(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const FailureError& e) {
        showTextMessage(this, WindowText::StockFailed, m_language, {failureText(e.failure(), m_language)});
    } catch (const std::exception& e) {
        showTextMessage(this, WindowText::StockFailed, m_language, {e.what()});
    }
}

void LabelPreview::printCalibrationPage()
{
    if (BackgroundJob::busy(this))
        return;
    auto renderer =
        std::make_shared<const SheetRenderer>(calibrationRendererFor(shown().batch.stock, shown().batch.request.sheet));
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    preparePrinter(*printer, *renderer, text(WindowText::CalibrationJobName));
    QPrintDialog dialog(printer.get(), this);
    dialog.setObjectName("PrintDialog");
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (userInteraction().execDialog(dialog) != QDialog::Accepted)
        return;
    preparePrinter(*printer, *renderer, text(WindowText::CalibrationJobName));
    const bool toFile = printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty();
    const std::string where = toFile ? printer->outputFileName().toStdString() : printer->printerName().toStdString();
    BackgroundJob::start(
        this, toQString(text(WindowText::CalibrationPrinting)), 1,
        [renderer, printer](const BackgroundJob::Progress&, const StopToken&) {
            cardmill::printCalibrationPage(*printer, *renderer);
        },
        [this, where](std::exception_ptr failure, bool) {
            if (failure)
                return sayFailure(failure);
            showTextMessage(this, WindowText::CalibrationPrinted, m_language, {where});
        });
}

void LabelPreview::saveCalibrationPage()
{
    std::filesystem::path proposal = shown().batch.pdf.parent_path() / "calibration.pdf";
    const auto path = userInteraction().saveFile(this, text(WindowText::FilterPdf), proposal);
    if (!path)
        return;
    try {
        writeSheetCalibrationPdf(shown().batch.stock, shown().batch.request.sheet, *path);
    } catch (const FailureError& e) {
        showTextMessage(this, WindowText::StockFailed, m_language, {failureText(e.failure(), m_language)});
        return;
    }
    showTextMessage(this, WindowText::CalibrationPrinted, m_language, {path->string()});
}

} // namespace cardmill
