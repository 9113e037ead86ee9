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
#include <functional>
#include <mutex>
#include <stdexcept>

#include "engine/Files.h"
#include "engine/ProgramFiles.h"
#include "engine/Text.h"
#include "render/DesignFile.h"
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

// The made documents' font, or one with its metrics, or the system's sans-serif; a design's family before them.
QFont labelFont(double points, bool bold, const QPaintDevice& device, const std::string& family = {},
                bool italic = false)
{
    QFont f;
    QStringList families{u"Liberation Sans"_s, u"Arial"_s, u"Helvetica"_s, u"DejaVu Sans"_s};
    if (!family.empty())
        families.prepend(qs(family));
    f.setFamilies(families);
    f.setStyleHint(QFont::SansSerif);
    // Sizes are in the sheet's points; the painter's scale already turns points into the device's units.
    f.setPointSizeF(std::max(0.1, points * 72.0 / std::max(1, device.logicalDpiY())));
    f.setBold(bold);
    if (italic)
        f.setItalic(true);
    return f;
}

// Text in its box: as it is when it fits (left, centred or right), narrowed down to half its width when not,
// and cut beyond that. Drawn at its baseline, centred in the box's height as the documents centre it: the
// painter's text layout for boxes costs more than the drawing itself. False when the text had to be cut.
bool drawFitted(QPainter& p, const SheetRenderer::LabelFont& font, const PlacedText& t,
                TextAlign align = TextAlign::Left)
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
        const double room = align == TextAlign::Left ? 0 : t.width - font.metrics.horizontalAdvance(text);
        p.drawText(QPointF(t.x + (align == TextAlign::Centre ? room / 2 : room), baseline), text);
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

// Text in a box of a fixed design: turned by its quarter turns about the box's centre.
bool drawPlaced(QPainter& p, const SheetRenderer::LabelFont& font, const FixedDrawing::Text& t)
{
    if (t.rotation == 0)
        return drawFitted(p, font, t.placed, t.align);
    const PlacedText& b = t.placed;
    const bool across = t.rotation % 2 == 1;
    p.save();
    p.translate(b.x + b.width / 2, b.y + b.height / 2);
    p.rotate(90.0 * t.rotation);
    PlacedText turned = b;
    turned.width = across ? b.height : b.width;
    turned.height = across ? b.width : b.height;
    turned.x = -turned.width / 2;
    turned.y = -turned.height / 2;
    const bool whole = drawFitted(p, font, turned, t.align);
    p.restore();
    return whole;
}

// The first of `count` steps at which `fits` holds, it holding at every step after one where it does (a longer
// label never takes a smaller font); `count` when it holds at none.
std::size_t firstFitting(std::size_t count, const std::function<bool(std::size_t)>& fits)
{
    std::size_t low = 0, high = count;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (fits(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

bool isBuiltIn(const Design& design, std::string_view name)
{
    return design.source == name;
}

} // namespace

void SheetRenderer::startAt(int label)
{
    if (label < 1 || static_cast<std::size_t>(label) > m_places.size())
        throw MainDocumentError({StockProblem::Id::StartPastSheet,
                                 {m_stock.name(), std::to_string(label), std::to_string(m_places.size())}});
    m_start = label;
}

SheetRenderer::SheetRenderer(LabelStock stock, std::string ownCall, int startLabel, Calibration calibration,
                             int largest, bool swl, const Design* design)
    : m_stock(std::move(stock))
    , m_calibration(calibration)
    , m_ownCall(std::move(ownCall))
{
    useShippedFonts();
    if (!Calibration::of(calibration.offsetX, calibration.offsetY, calibration.scale * 100))
        throw std::invalid_argument("a printer calibration out of its range");
    m_qsl = std::make_shared<const Design>(design ? *design : loadDesign(std::string(kDefaultDesign)));
    m_swl = m_qsl->swl.empty() ? std::make_shared<const Design>(loadDesign(std::string(kSwlDesign))) : m_qsl;
    m_qslPictures = std::make_shared<const DesignPictures>(*m_qsl);
    m_swlPictures = m_swl == m_qsl ? m_qslPictures : std::make_shared<const DesignPictures>(*m_swl);
    largest = std::clamp(largest, 1, PassSelector::kLargest);
    if (m_stock.grows)
        sizeRoll(largest, swl);
    checkFit(largest, swl);
    m_places = m_stock.placesOnPaper();
    startAt(startLabel);
    for (const PassSelector pass : allPasses()) {
        const Design& d = pass.isSwl() ? *m_swl : *m_qsl;
        PassDrawing& drawing = m_passes[pass.index()];
        drawing.fixed = d.layout == Design::Layout::Fixed;
        if (!drawing.fixed) {
            drawing.flow = flowLabelDesign(pass.isSwl() ? d.swl : d.qsl, pass.size, m_ownCall);
            drawing.fit = fitDesign(drawing.flow, m_stock);
            // On a roll the label is as long as the font that the width allows needs, in half millimetres.
            drawing.rollHeight = m_stock.height;
            if (m_stock.grows && drawing.fit.fontSize > 0) {
                const double first = kMinRollLength * kPointsPerMm, step = 0.5 * kPointsPerMm;
                const auto steps = static_cast<std::size_t>(std::max(0.0, std::ceil((m_stock.height - first) / step)));
                const std::size_t k = firstFitting(steps, [&](std::size_t i) {
                    return fitDesign(drawing.flow, withHeight(first + i * step)).fontSize >= drawing.fit.fontSize;
                });
                if (k < steps)
                    drawing.rollHeight = first + k * step;
            }
        }
    }
}

LabelStock SheetRenderer::withHeight(double height) const
{
    LabelStock s = m_stock;
    s.paperHeight = s.height = height;
    for (StockLayout& l : s.layouts)
        l.dy = height;
    return s;
}

void SheetRenderer::sizeRoll(int largest, bool swl)
{
    double height = 0;
    for (int k = swl ? 0 : 1; k <= largest; ++k) {
        const Design& d = k == 0 ? *m_swl : *m_qsl;
        if (d.layout == Design::Layout::Fixed) {
            // As the design is drawn; its table grows by the rows past its room on each label.
            height = std::max(height, d.height > 0 ? d.height * kPointsPerMm : m_stock.width);
            continue;
        }
        // As long as the font that the width allows needs: the longest roll the font cannot grow on.
        const LabelDesign flow = flowLabelDesign(k == 0 ? d.swl : d.qsl, k, m_ownCall);
        const double widest = fitDesign(flow, withHeight(kMaxRollLength * kPointsPerMm)).fontSize;
        const double first = kMinRollLength * kPointsPerMm, step = 2 * kPointsPerMm;
        const auto steps = static_cast<std::size_t>(std::ceil((kMaxRollLength - kMinRollLength) / 2));
        const std::size_t at = firstFitting(
            steps, [&](std::size_t i) { return fitDesign(flow, withHeight(first + i * step)).fontSize >= widest; });
        height = std::max(height, first + at * step);
    }
    m_stock = withHeight(std::min(height, kMaxRollLength * kPointsPerMm));
}

LabelRect SheetRenderer::rollLabel(const LabelSource& labels, std::size_t label) const
{
    LabelRect r = m_places.front();
    const PassSelector pass{std::clamp(labels.qsos(label), 0, PassSelector::kLargest)};
    const PassDrawing& d = m_passes[pass.index()];
    if (!d.fixed) {
        r.height = d.rollHeight;
        return r;
    }
    const Design& design = pass.isSwl() ? *m_swl : *m_qsl;
    r.height = layOutFixed(
                   pass.isSwl() ? design.swl : design.qsl, r, labels.qsos(label), m_ownCall,
                   [&](const std::string& column, int qso) { return labels.value(label, column, qso); }, true)
                   .height;
    return r;
}

double SheetRenderer::pageHeight(const LabelSource& labels, std::size_t page) const
{
    if (!m_stock.grows || page >= labels.count())
        return m_stock.paperHeight;
    return rollLabel(labels, page).height;
}

std::vector<std::string> SheetRenderer::fields() const
{
    std::vector<std::string> out = m_qsl->fields();
    for (const std::string& f : m_swl->fields())
        if (std::find(out.begin(), out.end(), f) == out.end())
            out.push_back(f);
    return out;
}

void SheetRenderer::checkFit(int largest, bool swl) const
{
    if (m_qsl->qsl.empty())
        throw DesignError(m_qsl->source, std::nullopt, {DesignProblem::Id::NoQslFace, {}});
    // The program's own label: the stock checked as the made main documents check it, in the same words.
    if (isBuiltIn(*m_qsl, kDefaultDesign) && isBuiltIn(*m_swl, kSwlDesign)) {
        MainDocumentRequest check;
        check.stock = m_stock;
        check.format = MainDocumentFormat::Odt; // the painter draws stocks of several layouts too
        for (int k = 1; k <= largest; ++k)
            check.sizes.push_back(k);
        if (swl)
            check.sizes.push_back(0);
        checkRequest(check);
        return;
    }
    if (!m_stock.rectangular())
        throw MainDocumentError({StockProblem::Id::NotRectangular, {m_stock.name()}});
    if (std::optional<StockProblem> problem = m_stock.problem())
        throw MainDocumentError(std::move(*problem));
    std::string unfit;
    for (int k = swl ? 0 : 1; k <= largest; ++k) {
        const bool isSwl = k == 0;
        const Design& d = isSwl ? *m_swl : *m_qsl;
        const std::vector<DesignElement>& face = isSwl ? d.swl : d.qsl;
        if (d.layout == Design::Layout::Flow) {
            if (fitDesign(flowLabelDesign(face, k, m_ownCall), m_stock).fontSize <= 0)
                unfit += (unfit.empty() ? "" : ", ") + (isSwl ? std::string("SWL") : std::to_string(k));
            continue;
        }
        const FaceFit fit = fitFace(face, m_stock.width, m_stock.height, m_stock.grows);
        if (fit.outside)
            throw DesignError(d.source, elementRef(face[fit.outside->first], fit.outside->first, isSwl),
                              fit.outside->second);
        if (fit.capacity < std::max(1, k))
            throw DesignError(d.source, elementRef(face[fit.table], fit.table, isSwl),
                              {DesignProblem::Id::TableRoom, {std::to_string(fit.capacity), std::to_string(k)}});
    }
    if (!unfit.empty())
        throw DesignError(m_qsl->source, std::nullopt,
                          {DesignProblem::Id::FlowTooSmall, {unfit, text::fixed(kMinFontSize, 0)}});
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

const SheetRenderer::LabelFont& SheetRenderer::fontFor(double points, bool bold, const QPaintDevice& device,
                                                       const std::string& family, bool italic) const
{
    // A label has a few sizes; the fonts and their metrics are made once for each.
    const int dpi = device.logicalDpiY();
    for (const auto& f : m_fonts)
        if (f->points == points && f->bold == bold && f->dpi == dpi && f->italic == italic && f->family == family)
            return *f;
    if (m_fonts.size() > 64)
        m_fonts.clear();
    const QFont font = labelFont(points, bold, device, family, italic);
    QFontMetricsF metrics(font, &device);
    const double widest = metrics.maxWidth();
    m_fonts.push_back(std::make_unique<LabelFont>(LabelFont{points, bold, dpi, family, italic, font, metrics, widest}));
    return *m_fonts.back();
}

void SheetRenderer::paintLabel(QPainter& p, const QPaintDevice& device, const LabelSource& labels, std::size_t label,
                               std::size_t place, TextCuts* cuts) const
{
    const PassSelector pass{std::clamp(labels.qsos(label), 0, PassSelector::kLargest)};
    const PassDrawing& d = m_passes[pass.index()];
    const LabelRect r = m_stock.grows ? rollLabel(labels, label) : m_places[place];
    if (d.fixed) {
        paintFixedLabel(p, device, labels, label, r, pass.isSwl(), cuts);
        return;
    }
    const LabelDrawing drawing =
        layOutLabel(d.flow, d.fit.fontSize, r, textInsets(m_stock, r, d.fit.clearance),
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

void SheetRenderer::paintFixedLabel(QPainter& p, const QPaintDevice& device, const LabelSource& labels,
                                    std::size_t label, const LabelRect& r, bool swl, TextCuts* cuts) const
{
    const Design& design = swl ? *m_swl : *m_qsl;
    const DesignPictures& pictures = swl ? *m_swlPictures : *m_qslPictures;
    const FixedDrawing drawing = layOutFixed(
        swl ? design.swl : design.qsl, r, labels.qsos(label), m_ownCall,
        [&](const std::string& column, int qso) { return labels.value(label, column, qso); }, m_stock.grows);
    p.save();
    p.setClipRect(QRectF(r.x, r.y, r.width, r.height));
    for (const FixedDrawing::Item& item : drawing.order) {
        switch (item.kind) {
        case FixedDrawing::Item::Kind::Text: {
            const FixedDrawing::Text& t = drawing.texts[item.index];
            const LabelFont& font = fontFor(t.placed.fontSize, t.placed.bold, device, t.family, t.italic);
            if (!drawPlaced(p, font, t) && cuts)
                cuts->add(label + 1, labels.value(label, "CALL", 0), t.placed.text);
            break;
        }
        case FixedDrawing::Item::Kind::Image: {
            const FixedDrawing::Image& image = drawing.images[item.index];
            if (const QImage* picture = pictures.picture(swl, image.element))
                drawPicture(p, *picture, image);
            break;
        }
        case FixedDrawing::Item::Kind::Shape: drawShape(p, drawing.shapes[item.index]); break;
        case FixedDrawing::Item::Kind::Qr: drawQrCode(p, drawing.qrs[item.index]); break;
        }
    }
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
