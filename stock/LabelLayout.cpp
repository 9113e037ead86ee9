#include "stock/LabelLayout.h"

namespace cardmill {

std::vector<double> columnEdges(const QsoTable& table, double width)
{
    double ems = 0;
    for (double w : table.widths)
        ems += w;
    std::vector<double> edges{0};
    double sum = 0;
    for (double w : table.widths) {
        sum += w;
        edges.push_back(ems > 0 ? width * sum / ems : 0);
    }
    return edges;
}

double tableRowHeight(double fontSize)
{
    return fontSize * kLineHeight + kRowExtra;
}

LabelDrawing layOutLabel(const LabelDesign& design, double fontSize, const LabelRect& place, const Insets& insets,
                         const LabelValues& values)
{
    LabelDrawing out;
    const double left = place.x + insets.left;
    const double width = place.width - insets.left - insets.right;
    double y = place.y + insets.top;

    auto line = [&](const DesignLine& l) {
        if (!l.onlyWith.empty() && values(l.onlyWith, 0).empty())
            return;
        std::string text;
        for (const DesignPiece& piece : l.pieces) {
            switch (piece.kind) {
            case DesignPiece::Kind::Text: text += piece.text; break;
            case DesignPiece::Kind::Field: text += values(piece.text, 0); break;
            case DesignPiece::Kind::Thanks: text += values("QSL_RCVD", 0) == "Y" ? "TNX QSL" : "PSE QSL"; break;
            }
        }
        const double size = fontSize * l.scale;
        out.texts.push_back({left, y, width, size * kLineHeight, size, l.bold, std::move(text)});
        y += size * kLineHeight;
    };
    for (const DesignLine& l : design.above)
        line(l);

    const QsoTable& t = design.table;
    if (t.columns.empty()) { // a design without a table: its lines only
        for (const DesignLine& l : design.below)
            line(l);
        return out;
    }
    const std::vector<double> edges = columnEdges(t, width);
    const double rowHeight = tableRowHeight(fontSize);
    const double top = y;
    for (int row = 0; row <= t.rows; ++row) {
        for (std::size_t c = 0; c + 1 < edges.size(); ++c) {
            const double x = left + edges[c], w = edges[c + 1] - edges[c];
            std::string text = row == 0 ? t.headings[c] : values(t.columns[c], row - 1);
            out.texts.push_back(
                {x + kCellPadding, y, w - 2 * kCellPadding, rowHeight, fontSize, row == 0, std::move(text)});
        }
        y += rowHeight;
    }
    // The table's rules: every row's top and the bottom, every column's left side and the right.
    for (int row = 0; row <= t.rows + 1; ++row)
        out.rules.push_back({left, top + row * rowHeight, left + edges.back(), top + row * rowHeight});
    for (const double edge : edges)
        out.rules.push_back({left + edge, top, left + edge, y});

    for (const DesignLine& l : design.below)
        line(l);
    return out;
}

} // namespace cardmill
