#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cardmill {

// Lengths are in points (1/72 inch) throughout.
constexpr double kPointsPerMm = 72.0 / 25.4;

// The lengths a paper or a label may have: what word processors accept.
constexpr double kShortestLength = 0.1 * kPointsPerMm;
constexpr double kLongestLength = 2000 * kPointsPerMm;
// How far labels may run past the paper's edge: gLabels' numbers of some sheets add up to a little more than
// the paper (Zweckform 3475: 0.15 mm wider than A4). Such labels are cut at the paper's edge.
constexpr double kMaxOverhang = 1 * kPointsPerMm;

// A length as label-stock files write it: a number with an optional unit pt, in, mm, cm or pc (points without
// one). nullopt when the text is no length.
std::optional<double> parseLength(std::string_view text);

struct PaperSize {
    std::string id;   // "A4", "US-Letter"
    std::string name; // "A4", "US Letter"
    double width = 0, height = 0;
};

// The paper sizes known without the stock database (for a custom grid): A4, A5, A6, US Letter, US Legal.
const std::vector<PaperSize>& standardPapers();
// A standard paper by its id or name, letter case aside.
const PaperSize* standardPaper(std::string_view idOrName);

// Why main documents cannot be made for a stock as asked (or, for a note, what the user should know of them):
// what is wrong and the values its text names, in order. The texts, in both languages, are the windows' (see
// stockProblemText in ui/Texts.h).
struct StockProblem {
    enum class Id {
        NoPaperSize,            // the stock
        NoLabelSize,            // the stock
        NoLabels,               // the stock
        TooManyLabels,          // the stock, the most a sheet may have
        OffThePaper,            // the stock, the label's number, the paper's width and height in mm
        Overlap,                // the stock, the two labels' numbers
        NotRectangular,         // the stock
        NoSizeChosen,           //
        OneTableOnly,           // the stock, its number of blocks of labels
        TooSmallNoneFits,       // the stock, the smallest font size, the sizes that do not fit
        TooSmallOneFits,        // the same
        TooSmall,               // the same, and the largest size that fits
        NoFolder,               // the folder
        FolderInTheWay,         // the main document
        CannotWrite,            // the folder, the system's detail
        CannotPlace,            // the main document, the system's detail
        CannotPlaceAfterOthers, // the same, when the documents before it were made
        PaperOutOfRange,        // the stock, a length of its paper in mm
        LabelOutOfRange,        // the stock, a length of its labels in mm
        StartPastSheet,         // the stock, the first label asked for, the labels of a sheet
        GridShape,              // the grid as written
        GridPaper,              // the paper as written
        GridPaperLength,        // the paper as written, the length in mm
        GridCounts,             //
        GridLength,             // the length's name (WIDTH ...), its least value in mm, the value as written
        RollShape,              // the least and most width, the least and most length in mm, the roll as written
        SheetUnknown,           // the sheet's name
        StockDatabaseMissing,   //
        // A note rather than a problem: the documents are made.
        TextNearPaperEdge, // the distance kept in mm, the distance wanted in mm, the label sizes concerned
        Count
    };
    Id id;
    std::vector<std::string> args;
    bool operator==(const StockProblem&) const = default;
};

// One label's place on the sheet, from the paper's top left corner.
struct LabelRect {
    double x = 0, y = 0, width = 0, height = 0;
};

// Labels in a grid: nx across, ny down, the first at (x0, y0), the next ones dx and dy further.
struct StockLayout {
    int nx = 1, ny = 1;
    double x0 = 0, y0 = 0, dx = 0, dy = 0;
};

// A sheet of labels: its paper, the shape and size of one label and where the labels stand.
struct LabelStock {
    enum class Shape { Rectangle, Round, Ellipse, Cd };

    std::string brand, part, description;
    std::string paperName; // "A4", "US Letter"; empty for a paper of its own size
    double paperWidth = 0, paperHeight = 0;
    Shape shape = Shape::Rectangle;
    double width = 0, height = 0; // of one label (a round one: its diameter, both)
    double corner = 0;            // the radius of a rectangle's corners
    double markupMargin = 0;      // the margin that the content keeps inside a label
    std::vector<StockLayout> layouts;
    std::string equivalentTo;   // "Avery 7160" for a part that is the same as another
    std::filesystem::path file; // the file it was read from; empty for a custom grid
    // A roll without a set length: one label a page, each as long as what is drawn on it needs (the renderer
    // works the length out; `height` is a first guess).
    bool grows = false;

    // "Avery L7163"; "Custom" for a custom grid.
    std::string name() const;
    bool rectangular() const { return shape == Shape::Rectangle; }
    // Every label of a sheet in reading order: rows top to bottom, left to right within a row.
    std::vector<LabelRect> places() const;
    // The same, each cut at the paper's edge where it runs past it.
    std::vector<LabelRect> placesOnPaper() const;
    LabelRect onPaper(const LabelRect& place) const;
    std::size_t labelsPerSheet() const;
    // "2 x 7" for one layout; "12 labels" for several.
    std::string arrangement() const;
    // Why the stock cannot carry labels as it is laid out (a paper or labels of no size or too large, labels
    // that overlap or run off the paper by more than kMaxOverhang, no label, too many); none when it can.
    std::optional<StockProblem> problem() const;
};

// The most labels a sheet may have; stocks with more are refused (no QSL label is that small).
constexpr std::size_t kMaxLabelsPerSheet = 1000;

// A grid the user measured: lengths in points.
struct CustomGrid {
    std::string paperName; // a standard paper, or empty for width x height
    double paperWidth = 0, paperHeight = 0;
    int columns = 1, rows = 1;
    double width = 0, height = 0;  // of one label
    double left = 0, top = 0;      // of the first label
    double hpitch = 0, vpitch = 0; // from one label to the next across and down
    double markupMargin = 5;       // the margin inside a label
};
LabelStock customStock(const CustomGrid& grid);

// Reads "PAPER,COLUMNS,ROWS,WIDTH,HEIGHT,LEFT,TOP,HPITCH,VPITCH" with lengths in millimetres and PAPER a
// standard paper or "WIDTHxHEIGHT" in millimetres. Throws GridError saying what is wrong.
CustomGrid parseCustomGrid(std::string_view text);

// A custom grid that cannot be read: problem() says why, in a language; what() in English words.
class GridError : public std::invalid_argument {
public:
    GridError(StockProblem problem, const std::string& english)
        : std::invalid_argument(english)
        , m_problem(std::move(problem))
    {
    }
    const StockProblem& problem() const { return m_problem; }

private:
    StockProblem m_problem;
};
// The grid in that notation, lengths to the hundredth of a millimetre; parseCustomGrid reads it back.
std::string customGridText(const CustomGrid& grid);

// A roll of labels, as the sheet names it: "roll:WIDTH" (each label as long as its QSOs need) or
// "roll:WIDTHxLENGTH", in millimetres. Each label is a page of its own.
inline constexpr std::string_view kRollPrefix = "roll:";
inline constexpr double kMinRollWidth = 12, kMaxRollWidth = 320, kMinRollLength = 10, kMaxRollLength = 2000; // mm
bool isRoll(std::string_view sheet);
// The roll of "WIDTH" or "WIDTHxLENGTH" (without the prefix). Throws GridError (RollShape) when it is none.
LabelStock rollStock(std::string_view size);

} // namespace cardmill
