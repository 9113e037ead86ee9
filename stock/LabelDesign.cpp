#include "stock/LabelDesign.h"

#include <algorithm>
#include <cmath>

namespace cardmill {

double LabelDesign::lines() const
{
    double n = table.rows + 1;
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

double fittingFontSize(const LabelDesign& design, const LabelStock& stock)
{
    const double width = stock.width - 2 * stock.markupMargin;
    const double height = stock.height - 2 * stock.markupMargin;
    double ems = 0;
    for (double w : design.table.widths)
        ems += w;
    const double byWidth = (width - kRowExtra * static_cast<double>(design.table.widths.size())) / ems;
    const double byHeight = (height - kRowExtra * (design.table.rows + 1) - 1) / (kLineHeight * design.lines());
    const double size = std::floor(std::min({byWidth, byHeight, kMaxFontSize}) * 2) / 2;
    return size >= kMinFontSize ? size : 0;
}

int largestFittingSize(const LabelStock& stock)
{
    int best = 0;
    for (int k = 1; k <= 10; ++k)
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
