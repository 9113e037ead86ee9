#include "render/SheetRenderer.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QString>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "engine/Files.h"
#include "engine/ProgramFiles.h"
#include "engine/Text.h"
#include "stock/LabelLayout.h"
#include "stock/MainDocuments.h"

using namespace Qt::StringLiterals;

namespace cardmill {

namespace {

// Text is narrowed down to this part of its width, and cut beyond it.
constexpr double kLeastSqueeze = 0.5;

QString qs(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The labels' faces shipped with the program ("fonts" in its data folder: Liberation Sans, regular and bold),
// registered once, so that a system that lacks them, or has only some of their faces (and would draw every
// face bold), draws the labels as every other system does. Where none are shipped the system's own serve.
void useShippedFonts()
{
    static std::once_flag once;
    std::call_once(once, [] {
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(dataFolder() / "fonts", ec))
            if (e.path().extension() == ".ttf")
                QFontDatabase::addApplicationFont(QString::fromStdString(files::utf8Of(e.path())));
    });
}

// The made documents' font, or one with its metrics, or the system's sans-serif.
QFont labelFont(double points, bool bold, const QPaintDevice& device)
{
    QFont f;
    f.setFamilies({u"Liberation Sans"_s, u"Arial"_s, u"Helvetica"_s, u"DejaVu Sans"_s});
    f.setStyleHint(QFont::SansSerif);
    // Sizes are in the sheet's points; the painter's scale already turns points into the device's units.
    f.setPointSizeF(std::max(0.1, points * 72.0 / std::max(1, device.logicalDpiY())));
    f.setBold(bold);
    return f;
}

// Text in its box: as it is when it fits, narrowed down to half its width when not, and cut beyond that.
// Drawn at its baseline, centred in the box's height as the documents centre it: the painter's text layout
// for boxes costs more than the drawing itself. False when the text had to be cut.
bool drawFitted(QPainter& p, const SheetRenderer::LabelFont& font, const PlacedText& t)
{
    if (t.text.empty())
        return true;
    if (t.width <= 0)
        return false;
    p.setFont(font.font);
    const QString text = qs(t.text);
    // Most cells are short: no measuring when even the widest characters would fit.
    const double advance = text.size() * font.widest <= t.width ? 0 : font.metrics.horizontalAdvance(text);
    const double baseline =
        t.y + (t.height - font.metrics.ascent() - font.metrics.descent()) / 2 + font.metrics.ascent();
    if (advance <= t.width) {
        p.drawText(QPointF(t.x, baseline), text);
        return true;
    }
    const double squeeze = std::max(kLeastSqueeze, t.width / advance);
    p.save();
    p.setClipRect(QRectF(t.x, t.y, t.width, t.height), Qt::IntersectClip);
    p.translate(t.x, 0);
    p.scale(squeeze, 1);
    p.drawText(QPointF(0, baseline), text);
    p.restore();
    return advance * kLeastSqueeze <= t.width;
}

} // namespace

SheetRenderer::SheetRenderer(LabelStock stock, std::string ownCall, int startLabel, Calibration calibration,
                             int largest, bool swl)
    : m_stock(std::move(stock))
    , m_calibration(calibration)
{
    useShippedFonts();
    if (!Calibration::of(calibration.offsetX, calibration.offsetY, calibration.scale * 100))
        throw std::invalid_argument("a printer calibration out of its range");
    MainDocumentRequest check;
    check.stock = m_stock;
    check.format = MainDocumentFormat::Odt; // the painter draws stocks of several layouts too
    for (int k = 1; k <= std::clamp(largest, 1, PassSelector::kLargest); ++k)
        check.sizes.push_back(k);
    if (swl)
        check.sizes.push_back(0);
    checkRequest(check);
    m_places = m_stock.placesOnPaper();
    if (startLabel < 1 || static_cast<std::size_t>(startLabel) > m_places.size())
        throw MainDocumentError({StockProblem::Id::StartPastSheet,
                                 {m_stock.name(), std::to_string(startLabel), std::to_string(m_places.size())}});
    m_start = startLabel;
    for (const PassSelector pass : allPasses()) {
        m_designs[pass.index()] = qslDesign(pass.size, ownCall);
        m_fits[pass.index()] = fitDesign(m_designs[pass.index()], m_stock);
    }
}

std::size_t SheetRenderer::pages(std::size_t labels) const
{
    if (labels == 0)
        return 0;
    const std::size_t n = m_places.size();
    const std::size_t first = n - static_cast<std::size_t>(m_start - 1);
    return labels <= first ? 1 : 1 + (labels - first + n - 1) / n;
}

std::pair<std::size_t, std::size_t> SheetRenderer::labelsOn(std::size_t page, std::size_t labels) const
{
    const std::size_t n = m_places.size();
    const std::size_t first = n - static_cast<std::size_t>(m_start - 1);
    const std::size_t begin = page == 0 ? 0 : first + (page - 1) * n;
    const std::size_t end = page == 0 ? first : begin + n;
    return {std::min(begin, labels), std::min(end, labels)};
}

void SheetRenderer::usePoints(QPainter& painter, const QPaintDevice& device) const
{
    painter.scale(device.logicalDpiX() / 72.0, device.logicalDpiY() / 72.0);
    painter.translate(m_calibration.offsetX * kPointsPerMm, m_calibration.offsetY * kPointsPerMm);
    painter.scale(m_calibration.scale, m_calibration.scale);
}

const SheetRenderer::LabelFont& SheetRenderer::fontFor(double points, bool bold, const QPaintDevice& device) const
{
    // A label has a few sizes; the fonts and their metrics are made once for each.
    const int dpi = device.logicalDpiY();
    for (const auto& f : m_fonts)
        if (f->points == points && f->bold == bold && f->dpi == dpi)
            return *f;
    if (m_fonts.size() > 64)
        m_fonts.clear();
    const QFont font = labelFont(points, bold, device);
    QFontMetricsF metrics(font, &device);
    const double widest = metrics.maxWidth();
    m_fonts.push_back(std::make_unique<LabelFont>(LabelFont{points, bold, dpi, font, metrics, widest}));
    return *m_fonts.back();
}

void SheetRenderer::paintLabel(QPainter& p, const QPaintDevice& device, const LabelSource& labels, std::size_t label,
                               std::size_t place, TextCuts* cuts) const
{
    const auto k = PassSelector{std::clamp(labels.qsos(label), 0, PassSelector::kLargest)}.index();
    const LabelRect& r = m_places[place];
    const LabelDrawing drawing =
        layOutLabel(m_designs[k], m_fits[k].fontSize, r, textInsets(m_stock, r, m_fits[k].clearance),
                    [&](const std::string& column, int qso) { return labels.value(label, column, qso); });
    p.save();
    p.setClipRect(QRectF(r.x, r.y, r.width, r.height));
    for (const PlacedRule& rule : drawing.rules)
        p.drawLine(QLineF(rule.x1, rule.y1, rule.x2, rule.y2));
    for (const PlacedText& t : drawing.texts)
        if (!drawFitted(p, fontFor(t.fontSize, t.bold, device), t) && cuts)
            cuts->add(label + 1, labels.value(label, "CALL", 0), t.text);
    p.restore();
}

void SheetRenderer::paintPage(QPainter& p, const QPaintDevice& device, const LabelSource& labels, std::size_t page,
                              TextCuts* cuts) const
{
    const auto [begin, end] = labelsOn(page, labels.count());
    const std::size_t offset = page == 0 ? static_cast<std::size_t>(m_start - 1) : 0;
    p.setPen(QPen(Qt::black, 0.5));
    for (std::size_t i = begin; i < end; ++i)
        paintLabel(p, device, labels, i, offset + (i - begin), cuts);
}

void SheetRenderer::paintCalibrationPage(QPainter& p, const QPaintDevice& device) const
{
    p.setPen(QPen(Qt::black, 0.3));
    constexpr double kArm = 4 * kPointsPerMm;
    for (const LabelRect& r : m_places) {
        p.drawRoundedRect(QRectF(r.x, r.y, r.width, r.height), m_stock.corner, m_stock.corner);
        const QPointF c(r.x + r.width / 2, r.y + r.height / 2);
        p.drawLine(QLineF(c.x() - kArm, c.y(), c.x() + kArm, c.y()));
        p.drawLine(QLineF(c.x(), c.y() - kArm, c.x(), c.y() + kArm));
    }
    const LabelRect& first = m_places.front();
    p.setFont(labelFont(std::min(8.0, first.height / 6), false, device));
    const std::string caption = m_stock.name() + "  " + text::fixed(m_calibration.offsetX, 1) + " / " +
                                text::fixed(m_calibration.offsetY, 1) + " mm  " +
                                text::fixed(m_calibration.scale * 100, 1) + " %";
    p.drawText(QRectF(first.x + 2, first.y + 2, first.width - 4, first.height / 3),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, qs(caption));
}

} // namespace cardmill
