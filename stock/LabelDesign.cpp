#include "stock/LabelDesign.h"

#include <algorithm>
#include <cmath>

#include "engine/LabelMaker.h"

namespace cardmill {

double LabelDesign::lines() const
{
    double n = table.columns.empty() ? 0 : table.rows + 1; // a design may have no table
    for (const DesignLine& l : above)
        n += l.scale;
    for (const DesignLine& l : below)
        n += l.scale;
    return n;
}

LabelDesign qslDesign(int qsos, const std::string& ownCall)
{
    using K = DesignPiece::Kind;
    LabelDesign d;
    d.qsos = qsos;
    if (qsos == 0) {
        d.above.push_back({{{K::Text, "To SWL "}, {K::Field, "CALL"}}, true, 1.25, {}});
        d.above.push_back({{{K::Text, "TNX for your report of"}}, false, 1, {}});
        d.above.push_back({{{K::Text, "my QSO with "}, {K::Field, "CALL_WORKED"}}, false, 1, {}});
    } else {
        d.above.push_back({{{K::Text, "To Radio "}, {K::Field, "CALL"}}, true, 1.25, {}});
        d.above.push_back({{{K::Text, "via "}, {K::Field, "QSL_VIA"}}, false, 1, "QSL_VIA"});
    }
    d.table.headings = {"Date", "UTC", "Band", "Mode", "RST"};
    d.table.columns = {"QSO_DATE", "TIME_ON", "BAND", "MODE", "RST_SENT"};
    d.table.widths = {6.6, 3.4, 3.2, 3.8, 2.6};
    d.table.rows = std::max(1, qsos);
    d.below.push_back({{{K::Thanks, {}}}, true, 1, {}});
    d.below.push_back({{{K::Text, ownCall.empty() ? std::string("73") : "73 de " + ownCall}}, false, 1, {}});
    return d;
}

Insets textInsets(const LabelStock& stock, const LabelRect& p, double clearance)
{
    const double base = std::max(stock.markupMargin, kMinTextInset);
    return {std::max(base, clearance - p.x), std::max(base, clearance - p.y),
            std::max(base, clearance - (stock.paperWidth - p.x - p.width)),
            std::max(base, clearance - (stock.paperHeight - p.y - p.height))};
}

namespace {

// The font size at which the design fills a room of this size; 0 below kMinFontSize.
double fontFor(const LabelDesign& design, double width, double height)
{
    double ems = 0;
    for (double w : design.table.widths)
        ems += w;
    const double byWidth =
        ems > 0 ? (width - kRowExtra * static_cast<double>(design.table.widths.size())) / ems : kMaxFontSize;
    const double rows = design.table.columns.empty() ? 0 : design.table.rows + 1;
    const double byHeight = (height - kRowExtra * rows - 1) / (kLineHeight * design.lines());
    const double size = std::floor(std::min({byWidth, byHeight, kMaxFontSize}) * 2) / 2;
    return size >= kMinFontSize ? size : 0;
}

} // namespace

DesignFit fitDesign(const LabelDesign& design, const LabelStock& stock)
{
    const std::vector<LabelRect> places = stock.placesOnPaper();
    if (places.empty())
        return {0, kPaperEdgeClearance};
    // The full distance from the paper's edge where the labels leave room for it, else a quarter millimetre
    // less at a time.
    constexpr double kStep = 0.25 * kPointsPerMm;
    for (double clearance = kPaperEdgeClearance; clearance > -kStep / 2; clearance -= kStep) {
        double width = places.front().width, height = places.front().height;
        for (const LabelRect& p : places) {
            const Insets in = textInsets(stock, p, clearance);
            width = std::min(width, p.width - in.left - in.right);
            height = std::min(height, p.height - in.top - in.bottom);
        }
        if (const double size = fontFor(design, width, height); size > 0)
            return {size, std::max(0.0, clearance)};
    }
    return {0, 0};
}

double fittingFontSize(const LabelDesign& design, const LabelStock& stock)
{
    return fitDesign(design, stock).fontSize;
}

int largestFittingSize(const LabelStock& stock)
{
    int best = 0;
    for (int k = 1; k <= PassSelector::kLargest; ++k)
        if (fittingFontSize(qslDesign(k, {}), stock) > 0)
            best = k;
    return best;
}

std::string sampleValue(const std::string& column)
{
    static const std::pair<const char*, const char*> samples[] = {
        {"CALL", "DL1ABC"}, {"QSL_VIA", "DL9XYZ"}, {"QSO_DATE", "2024-03-05"}, {"TIME_ON", "07:05"},
        {"BAND", "20M"},    {"MODE", "SSB"},       {"RST_SENT", "59"},         {"CALL_WORKED", "OK1EEE"},
    };
    for (const auto& [name, value] : samples)
        if (column == name)
            return value;
    return column;
}

} // namespace cardmill
