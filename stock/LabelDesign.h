#pragma once

#include <string>
#include <vector>

#include "stock/LabelStock.h"

namespace cardmill {

// The QSL label that new main documents carry, described once for both document formats and the preview.
struct DesignPiece {
    enum class Kind {
        Text,   // literal text
        Field,  // a column's value
        Thanks, // "TNX QSL" when QSL_RCVD is "Y", else "PSE QSL"
    };
    Kind kind = Kind::Text;
    std::string text; // the text, or the column
    friend bool operator==(const DesignPiece&, const DesignPiece&) = default;
};

struct DesignLine {
    std::vector<DesignPiece> pieces;
    bool bold = false;
    double scale = 1;     // of the body font size
    std::string onlyWith; // a column: the line shows only when it has a value (its pieces then hold it)
    friend bool operator==(const DesignLine&, const DesignLine&) = default;
};

// The table of QSOs: a heading row, then one row per QSO of the label.
struct QsoTable {
    std::vector<std::string> headings;
    std::vector<std::string> columns;
    std::vector<double> widths; // in ems of the body font, what each column needs
    int rows = 1;
    friend bool operator==(const QsoTable&, const QsoTable&) = default;
};

struct LabelDesign {
    int qsos = 1; // 0: an SWL label
    std::vector<DesignLine> above;
    QsoTable table;
    std::vector<DesignLine> below;

    // The height in body lines, the table's rows included.
    double lines() const;
    friend bool operator==(const LabelDesign&, const LabelDesign&) = default;
};

// The label for `qsos` QSOs (1 to 10; 0 for an SWL report), signed by `ownCall` ("73 de SP3KXQ"; "73" when
// empty).
LabelDesign qslDesign(int qsos, const std::string& ownCall);

inline constexpr double kMinFontSize = 6;
inline constexpr double kMaxFontSize = 11;
// The height of a line of text as a multiple of its font size (Liberation Sans and Arial, with some room).
inline constexpr double kLineHeight = 1.17;
// What a table row adds to its line: padding and rule (points).
inline constexpr double kRowExtra = 1;

// How far text keeps from a label's edges at least (and the stock's markup margin, when larger), and from the
// paper's edge, which many printers cannot print to, where a label lies at it.
inline constexpr double kMinTextInset = 1.5 * kPointsPerMm;
inline constexpr double kPaperEdgeClearance = 4 * kPointsPerMm;

// The room text keeps inside a label, side by side.
struct Insets {
    double left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Insets&) const = default;
};
// The insets of the label at `place` (as on the paper: see LabelStock::onPaper): kMinTextInset or the markup
// margin, and on a side near the paper's edge enough to keep `clearance` from that edge.
Insets textInsets(const LabelStock& stock, const LabelRect& place, double clearance);

// How a design sits on every label of a stock.
struct DesignFit {
    double fontSize = 0;                    // the body font size, in half points; 0 when it does not fit
    double clearance = kPaperEdgeClearance; // from the paper's edge: less only where the labels leave no more room
};
// The largest body font size (at most kMaxFontSize) at which the design fits every label of the stock inside
// its insets, with kPaperEdgeClearance from the paper's edge, or with as much as lets it fit at kMinFontSize.
DesignFit fitDesign(const LabelDesign& design, const LabelStock& stock);
// fitDesign's font size.
double fittingFontSize(const LabelDesign& design, const LabelStock& stock);
// The most QSOs per label that fit at kMinFontSize or more; 0 when not even one does.
int largestFittingSize(const LabelStock& stock);

// A value to show for a column in a preview.
std::string sampleValue(const std::string& column);

} // namespace cardmill
