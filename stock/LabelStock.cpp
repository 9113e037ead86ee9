#include "stock/LabelStock.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/Text.h"

namespace cardmill {

namespace {

// Places closer than this (a hundredth of a millimetre or so) are taken as touching, not overlapping.
constexpr double kTolerance = 0.05;

std::string mm(double points)
{
    return text::fixed(points / kPointsPerMm, 1);
}

} // namespace

std::optional<double> parseLength(std::string_view s)
{
    s = text::trim(s);
    std::size_t used = 0;
    const double value = text::leadingNumber(s, used);
    if (used == 0 || !std::isfinite(value))
        return std::nullopt;
    const std::string unit = text::upper(text::trim(s.substr(used)));
    if (unit.empty() || unit == "PT")
        return value;
    if (unit == "IN")
        return value * 72;
    if (unit == "MM")
        return value * kPointsPerMm;
    if (unit == "CM")
        return value * 10 * kPointsPerMm;
    if (unit == "PC")
        return value * 12;
    return std::nullopt;
}

const std::vector<PaperSize>& standardPapers()
{
    static const std::vector<PaperSize> papers{
        {"A4", "A4", 210 * kPointsPerMm, 297 * kPointsPerMm}, {"US-Letter", "US Letter", 8.5 * 72, 11 * 72},
        {"A5", "A5", 148 * kPointsPerMm, 210 * kPointsPerMm}, {"A6", "A6", 105 * kPointsPerMm, 148 * kPointsPerMm},
        {"US-Legal", "US Legal", 8.5 * 72, 14 * 72},
    };
    return papers;
}

const PaperSize* standardPaper(std::string_view idOrName)
{
    for (const PaperSize& p : standardPapers())
        if (text::equalNoCase(p.id, idOrName) || text::equalNoCase(p.name, idOrName))
            return &p;
    return nullptr;
}

std::string LabelStock::name() const
{
    if (brand.empty())
        return part.empty() ? std::string("Custom") : part;
    return brand + " " + part;
}

std::vector<LabelRect> LabelStock::places() const
{
    std::vector<LabelRect> out;
    for (const StockLayout& l : layouts) {
        if (l.nx < 1 || l.ny < 1 ||
            static_cast<std::size_t>(l.nx) * static_cast<std::size_t>(l.ny) > kMaxLabelsPerSheet - out.size())
            return {}; // counted as no labels; problem() says why
        for (int row = 0; row < l.ny; ++row)
            for (int column = 0; column < l.nx; ++column)
                out.push_back({l.x0 + column * l.dx, l.y0 + row * l.dy, width, height});
    }
    // Reading order: a label belongs to the row of the labels whose tops are within half its height.
    std::stable_sort(out.begin(), out.end(), [](const LabelRect& a, const LabelRect& b) {
        if (std::fabs(a.y - b.y) > std::min(a.height, b.height) / 2)
            return a.y < b.y;
        return a.x < b.x;
    });
    return out;
}

LabelRect LabelStock::onPaper(const LabelRect& r) const
{
    const double x = std::clamp(r.x, 0.0, paperWidth), y = std::clamp(r.y, 0.0, paperHeight);
    return {x, y, std::clamp(r.x + r.width, 0.0, paperWidth) - x, std::clamp(r.y + r.height, 0.0, paperHeight) - y};
}

std::vector<LabelRect> LabelStock::placesOnPaper() const
{
    std::vector<LabelRect> out = places();
    for (LabelRect& r : out)
        r = onPaper(r);
    return out;
}

std::size_t LabelStock::labelsPerSheet() const
{
    std::size_t n = 0;
    for (const StockLayout& l : layouts) {
        if (l.nx < 1 || l.ny < 1)
            return 0;
        n += static_cast<std::size_t>(l.nx) * static_cast<std::size_t>(l.ny);
        if (n > kMaxLabelsPerSheet)
            return n;
    }
    return n;
}

std::string LabelStock::arrangement() const
{
    if (layouts.size() == 1)
        return std::to_string(layouts[0].nx) + " x " + std::to_string(layouts[0].ny);
    return std::to_string(labelsPerSheet()) + " labels";
}

std::optional<StockProblem> LabelStock::problem() const
{
    using Id = StockProblem::Id;
    const std::string who = name();
    if (!(paperWidth > 0) || !(paperHeight > 0))
        return StockProblem{Id::NoPaperSize, {who}};
    if (!(width > 0) || !(height > 0))
        return StockProblem{Id::NoLabelSize, {who}};
    for (const double length : {paperWidth, paperHeight})
        if (!(length >= kShortestLength && length <= kLongestLength))
            return StockProblem{Id::PaperOutOfRange, {who, mm(length)}};
    for (const double length : {width, height})
        if (!(length >= kShortestLength && length <= kLongestLength))
            return StockProblem{Id::LabelOutOfRange, {who, mm(length)}};
    const std::size_t count = labelsPerSheet();
    if (count == 0)
        return StockProblem{Id::NoLabels, {who}};
    if (count > kMaxLabelsPerSheet)
        return StockProblem{Id::TooManyLabels, {who, std::to_string(kMaxLabelsPerSheet)}};
    const std::vector<LabelRect> all = places();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const LabelRect& a = all[i];
        const double overhang = kMaxOverhang + kTolerance;
        if (!(a.x >= -overhang && a.y >= -overhang && a.x + a.width <= paperWidth + overhang &&
              a.y + a.height <= paperHeight + overhang))
            return StockProblem{Id::OffThePaper, {who, std::to_string(i + 1), mm(paperWidth), mm(paperHeight)}};
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            const LabelRect& b = all[j];
            const double across = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
            const double down = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
            if (across > kTolerance && down > kTolerance)
                return StockProblem{Id::Overlap, {who, std::to_string(i + 1), std::to_string(j + 1)}};
        }
    }
    return std::nullopt;
}

LabelStock customStock(const CustomGrid& grid)
{
    LabelStock s;
    s.part = "Custom";
    s.description = "Custom grid";
    s.paperName = grid.paperName;
    s.paperWidth = grid.paperWidth;
    s.paperHeight = grid.paperHeight;
    s.width = grid.width;
    s.height = grid.height;
    s.markupMargin = grid.markupMargin;
    s.layouts.push_back({grid.columns, grid.rows, grid.left, grid.top, grid.hpitch, grid.vpitch});
    return s;
}

bool isRoll(std::string_view sheet)
{
    return sheet.size() > kRollPrefix.size() && text::equalNoCase(sheet.substr(0, kRollPrefix.size()), kRollPrefix);
}

LabelStock rollStock(std::string_view size)
{
    const auto refuse = [&] {
        throw GridError({StockProblem::Id::RollShape,
                         {text::fixed(kMinRollWidth, 0), text::fixed(kMaxRollWidth, 0), text::fixed(kMinRollLength, 0),
                          text::fixed(kMaxRollLength, 0), std::string(size)}},
                        "a roll is WIDTH or WIDTHxLENGTH in millimetres, not \"" + std::string(size) + "\"");
    };
    const std::string upper = text::upper(std::string(text::trim(size)));
    const std::size_t x = upper.find('X');
    double width = 0, length = 0;
    if (!text::wholeNumber(std::string_view(upper).substr(0, x), width) ||
        (x != std::string::npos && !text::wholeNumber(std::string_view(upper).substr(x + 1), length)))
        refuse();
    if (!(width >= kMinRollWidth && width <= kMaxRollWidth) ||
        (x != std::string::npos && !(length >= kMinRollLength && length <= kMaxRollLength)))
        refuse();
    LabelStock s;
    s.part = std::string(kRollPrefix) + text::fixed(width, width == std::floor(width) ? 0 : 1) +
             (x == std::string::npos ? "" : "x" + text::fixed(length, length == std::floor(length) ? 0 : 1));
    s.description = "Roll";
    s.grows = x == std::string::npos;
    s.paperWidth = s.width = width * kPointsPerMm;
    s.paperHeight = s.height = (s.grows ? width : length) * kPointsPerMm;
    s.markupMargin = 1.5 * kPointsPerMm;
    s.layouts.push_back({1, 1, 0, 0, s.width, s.height});
    return s;
}

std::string customGridText(const CustomGrid& g)
{
    auto mm = [](double points) { return text::fixed(points / kPointsPerMm, 2); };
    const PaperSize* paper = g.paperName.empty() ? nullptr : standardPaper(g.paperName);
    std::string t = paper ? paper->id : mm(g.paperWidth) + "x" + mm(g.paperHeight);
    t += "," + std::to_string(g.columns) + "," + std::to_string(g.rows);
    for (double length : {g.width, g.height, g.left, g.top, g.hpitch, g.vpitch})
        t += "," + mm(length);
    return t;
}

CustomGrid parseCustomGrid(std::string_view grid)
{
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t comma = grid.find(',', at);
        parts.push_back(text::trim(grid.substr(at, comma == std::string_view::npos ? comma : comma - at)));
        if (comma == std::string_view::npos)
            break;
        at = comma + 1;
    }
    using Id = StockProblem::Id;
    if (parts.size() != 9)
        throw GridError({Id::GridShape, {std::string(grid)}},
                        "a custom grid is PAPER,COLUMNS,ROWS,WIDTH,HEIGHT,LEFT,TOP,HPITCH,VPITCH (lengths in mm), "
                        "not \"" +
                            std::string(grid) + "\"");
    CustomGrid g;
    if (const PaperSize* p = standardPaper(parts[0])) {
        g.paperName = p->name;
        g.paperWidth = p->width;
        g.paperHeight = p->height;
    } else {
        const std::size_t x = text::upper(parts[0]).find('X');
        double w = 0, h = 0;
        if (x == std::string::npos || !text::wholeNumber(parts[0].substr(0, x), w) ||
            !text::wholeNumber(parts[0].substr(x + 1), h))
            throw GridError({Id::GridPaper, {std::string(parts[0])}},
                            "unknown paper \"" + std::string(parts[0]) +
                                "\": A4, A5, A6, US-Letter, US-Legal or WIDTHxHEIGHT in mm");
        for (const double length : {w, h})
            if (!(length >= 0.1 && length <= 2000))
                throw GridError({Id::GridPaperLength, {std::string(parts[0]), text::fixed(length, 1)}},
                                "the paper \"" + std::string(parts[0]) + "\" has a length of " +
                                    text::fixed(length, 1) + " mm; a paper is 0.1 to 2000 mm long and wide");
        g.paperWidth = w * kPointsPerMm;
        g.paperHeight = h * kPointsPerMm;
    }
    long long columns = 0, rows = 0;
    if (!text::parseInteger(parts[1], columns) || !text::parseInteger(parts[2], rows) || columns < 1 || rows < 1 ||
        columns > 100 || rows > 100)
        throw GridError({Id::GridCounts, {}}, "columns and rows are whole numbers from 1 to 100");
    g.columns = static_cast<int>(columns);
    g.rows = static_cast<int>(rows);
    double* lengths[] = {&g.width, &g.height, &g.left, &g.top, &g.hpitch, &g.vpitch};
    static const char* names[] = {"WIDTH", "HEIGHT", "LEFT", "TOP", "HPITCH", "VPITCH"};
    for (int i = 0; i < 6; ++i) {
        double v = 0;
        if (!text::wholeNumber(parts[static_cast<std::size_t>(3 + i)], v) || !std::isfinite(v) || v < 0 || v > 2000 ||
            (i < 2 && v < 0.1))
            throw GridError(
                {Id::GridLength, {names[i], i < 2 ? "0.1" : "0", std::string(parts[static_cast<std::size_t>(3 + i)])}},
                std::string(names[i]) + " is a length from " + (i < 2 ? "0.1" : "0") + " to 2000 mm, not \"" +
                    std::string(parts[static_cast<std::size_t>(3 + i)]) + "\"");
        *lengths[i] = v * kPointsPerMm;
    }
    // One column or row needs no pitch: it is the label's own size then.
    if (g.columns == 1 && g.hpitch == 0)
        g.hpitch = g.width;
    if (g.rows == 1 && g.vpitch == 0)
        g.vpitch = g.height;
    return g;
}

} // namespace cardmill
