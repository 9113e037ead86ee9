#pragma once

#include <functional>
#include <string>
#include <vector>

#include "stock/LabelDesign.h"

namespace cardmill {

// One run of text laid out on a label: its box (points, from the paper's top left corner), the font size it
// was sized for and its weight. Text wider than its box is drawn narrower (or cut), never past the box.
struct PlacedText {
    double x = 0, y = 0, width = 0, height = 0;
    double fontSize = 0;
    bool bold = false;
    std::string text; // UTF-8
};

// A line of the QSO table, from (x1, y1) to (x2, y2).
struct PlacedRule {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// A label as the design lays it out with its values: what a painter draws, and what the document makers' tables
// and lines stand for.
struct LabelDrawing {
    std::vector<PlacedText> texts;
    std::vector<PlacedRule> rules;
};

// The value of a column for the label's `qso`-th QSO (0 for the label's first, whose values also fill the lines
// above and below the table), in UTF-8; empty when the label has none.
using LabelValues = std::function<std::string(const std::string& column, int qso)>;

// The left edges of the table's columns and its right edge, from 0 to `width`: each column as wide as its share
// of the ems the columns need.
std::vector<double> columnEdges(const QsoTable& table, double width);

// The height of a row of the QSO table at `fontSize`.
double tableRowHeight(double fontSize);

// How far a cell's text keeps from the cell's sides (points): the made documents' cell margin.
inline constexpr double kCellPadding = 1;

// Lays out one label of `design` at `fontSize` in `place` inside `insets`: the lines above the table (a line
// shown only with a value goes when the value is empty, and the rest moves up), the table with a heading row and
// a row per QSO, the lines below. "TNX QSL" when the first QSO's QSL_RCVD is "Y", else "PSE QSL".
LabelDrawing layOutLabel(const LabelDesign& design, double fontSize, const LabelRect& place, const Insets& insets,
                         const LabelValues& values);

} // namespace cardmill
