#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "stock/LabelDesign.h"
#include "stock/LabelLayout.h"

namespace cardmill {

// A user's design of what goes on one label, card or roll label: read from and written to a design file (see
// docs/designs.md and render/DesignFile), drawn by the renderer. Lengths are millimetres from the label's top
// left corner; font sizes are points.

enum class TextAlign { Left, Centre, Right };

struct DesignFont {
    std::string family = "Liberation Sans";
    double size = 9; // points; in a flow design, a multiple of the body size (see DesignElement::scale)
    bool bold = false;
    bool italic = false;
    friend bool operator==(const DesignFont&, const DesignFont&) = default;
};

struct DesignColumn {
    std::string field;   // an ADIF field of the log (or a column of the run)
    std::string heading; // the heading row's text
    double width = 10;   // mm; in a flow design, ems of the body font
    TextAlign align = TextAlign::Left;
    friend bool operator==(const DesignColumn&, const DesignColumn&) = default;
};

struct DesignElement {
    enum class Kind { Text, Table, Image, Line, Box, Qr };
    Kind kind = Kind::Text;
    double x = 0, y = 0, width = 0, height = 0; // the element's box; a line runs from (x, y) to (x2, y2)
    double x2 = 0, y2 = 0;

    // Text: literal text with {FIELD} for a value of the label's first QSO, {OWN_CALL} for the user's call and
    // {PSE_TNX} for "TNX QSL" when its QSL_RCVD is "Y", else "PSE QSL".
    std::string text;
    // A field whose value the text needs: without one the text is `otherwise`, or, when that is empty, left out,
    // and the elements below it move up by its height.
    std::string onlyWith;
    std::string otherwise;
    DesignFont font;
    TextAlign align = TextAlign::Left;
    int rotation = 0;         // quarter turns clockwise, 0 to 3
    bool slashedZero = false; // zeros of the values drawn as "Ø"
    double scale = 1;         // flow designs: the line's size as a multiple of the body size

    // Table: a heading row (when `heading`) and a row per QSO of the label; its box's height is the room its
    // rows have (see DesignLayout::capacity).
    std::vector<DesignColumn> columns;
    bool heading = true;
    bool rules = true;

    // Image: a picture file (PNG or JPEG), relative to the design file's folder; `fit` how it fills its box.
    enum class Fit { Stretch, Contain, Cover };
    std::string file;
    Fit fit = Fit::Contain;

    // Line and box.
    double lineWidth = 0.25; // mm
    std::string fill;        // a box's colour "#rrggbb"; empty: none

    friend bool operator==(const DesignElement&, const DesignElement&) = default;
};

// The designs shipped with the program, by the names the command line, the windows and profiles know them by;
// the first is drawn when none is chosen.
inline constexpr std::array<std::string_view, 5> kBuiltInDesigns{"label", "swl", "card", "card-overprint", "address"};

struct Design {
    static constexpr int kVersion = 1;
    enum class Layout {
        Flow,  // lines and a table one below the other, the font sized to fill each label (the built-in label)
        Fixed, // every element where the design puts it
    };
    std::string name;
    Layout layout = Layout::Fixed;
    double width = 0, height = 0;   // mm: what a fixed design is laid out for (a roll's length by default)
    std::vector<DesignElement> qsl; // a label of QSOs; empty: the design has none
    std::vector<DesignElement> swl; // an SWL report's label; empty: the built-in "swl" design's
    std::filesystem::path folder;   // where its pictures are found
    std::string source;             // the file or built-in design it was read from, as messages name it
    friend bool operator==(const Design&, const Design&) = default;

    // The fields the design draws, each once, in the order they first appear: the run carries them.
    std::vector<std::string> fields() const;
};

// Why a design cannot be used: what is wrong and the values its text names, in order (the texts, in both
// languages, are designProblemText's in texts/).
struct DesignProblem {
    enum class Id {
        CannotRead,        // the system's detail
        TooLarge,          // the most a design file may have, in MB
        NotJson,           // the parser's detail, the character where it stopped
        NotADesign,        //
        NewerVersion,      // the file's version, the version this program reads
        UnknownLayout,     // the layout as written
        UnknownKind,       // the kind as written
        NotANumber,        // the key
        NotText,           // the key
        NotTrueFalse,      // the key
        OutOfRange,        // what, the value, the least, the most
        NoSize,            //
        DesignSize,        // the most, in mm
        NoElements,        //
        TooManyElements,   // the most
        TextTooLong,       // the most
        NoFieldName,       // the name as written
        BadColour,         // the colour as written
        BadRotation,       //
        FlowKinds,         //
        FlowOneTable,      //
        TableColumns,      // the most
        NoPicture,         //
        PictureUnreadable, // the picture's file, the system's detail
        PictureTooLarge,   // the picture's file, its width and height in pixels, the most megapixels
        PastEdge,          // the distance in mm, the edge (left, top, right, bottom), the label's width and height
        TableRoom,         // the QSOs its room holds, the QSOs per label asked for
        FlowTooSmall,      // the label sizes that do not fit, the smallest font size
        NoQslFace,         //
        UnknownDesign,     // the name, the built-in designs
        Count
    };
    Id id = Id::Count;
    std::vector<std::string> args;
    bool operator==(const DesignProblem&) const = default;
};

// The element of a design a problem is in: its place in its face (from 0), its kind, and its text or picture.
struct DesignElementRef {
    std::size_t index = 0;
    DesignElement::Kind kind = DesignElement::Kind::Text;
    std::string detail; // a text's first 40 bytes, an image's file
    bool swl = false;   // in the SWL face
    bool operator==(const DesignElementRef&) const = default;
};

// A design that cannot be used: the file (or built-in design), the element, and the problem; what() says them
// in English, designErrorText in either language.
class DesignError : public std::runtime_error {
public:
    DesignError(std::string file, std::optional<DesignElementRef> element, DesignProblem problem);
    const std::string& file() const { return m_file; }
    const std::optional<DesignElementRef>& element() const { return m_element; }
    const DesignProblem& problem() const { return m_problem; }

private:
    std::string m_file;
    std::optional<DesignElementRef> m_element;
    DesignProblem m_problem;
};

// The reference of element `index` of a face.
DesignElementRef elementRef(const DesignElement& e, std::size_t index, bool swl);

// The limits of a design's numbers.
inline constexpr double kMaxDesignLength = 2000; // mm
inline constexpr double kMinFontPoints = 2, kMaxFontPoints = 200;
inline constexpr std::size_t kMaxDesignElements = 500;

// Checks every number and name of `design` (finite, in range, kinds that its layout has). Throws DesignError
// naming `file`.
void checkDesign(const Design& design, const std::string& file);

// A flow design's face as the label of `qsos` QSOs (0: an SWL label), signed by `ownCall`: what the renderer and
// the made documents lay out.
LabelDesign flowLabelDesign(const std::vector<DesignElement>& face, int qsos, const std::string& ownCall);

// A flow design as a fixed one, laid out on a label of `width` x `height` mm with `qsos` QSOs as the flow
// layout lays it out there (`inset` mm from the edges): what a designer edits element by element. Fixed designs
// come back as they are.
Design fixedFromFlow(const Design& design, double width, double height, int qsos, double inset);

// The pieces of a text element's text: literal text, fields, and "PSE/TNX".
std::vector<DesignPiece> textPieces(std::string_view text);

// The text of a label's QR code: "CARDMILL QSL <own call> <call>", then a line per QSO with its date, time,
// band, mode and report as the label shows them ("-" for none).
std::string qrText(const LabelValues& values, int qsos, const std::string& ownCall);

// A fixed design's face laid out on one label.
struct FixedDrawing {
    struct Text {
        PlacedText placed; // in points, from the paper's corner
        std::string family;
        bool italic = false;
        TextAlign align = TextAlign::Left;
        int rotation = 0;
    };
    struct Image {
        std::size_t element = 0; // the face's element, whose picture it is
        double x = 0, y = 0, width = 0, height = 0;
        DesignElement::Fit fit = DesignElement::Fit::Contain;
    };
    struct Shape {
        bool box = false; // a box, else a line from (x, y) to (x2, y2)
        double x = 0, y = 0, x2 = 0, y2 = 0, lineWidth = 0;
        std::string fill;
    };
    struct Qr {
        double x = 0, y = 0, size = 0;
        std::string text;
    };
    // In the design's order, each kind with its place in it: what is drawn later lies on top.
    struct Item {
        enum class Kind { Text, Image, Shape, Qr } kind;
        std::size_t index; // in the list of its kind
    };
    std::vector<Text> texts;
    std::vector<Image> images;
    std::vector<Shape> shapes;
    std::vector<Qr> qrs;
    std::vector<Item> order;
    double height = 0; // the label's height in points, grown by the table's rows beyond its room
};

// How a fixed design's face fits a label of `width` x `height` points: the most QSOs its table rows take (all
// QSOs, 10, when it has no table), and the first element that runs past the label, with the problem.
struct FaceFit {
    int capacity = 0;
    std::size_t table = 0; // the element whose room holds fewest
    std::optional<std::pair<std::size_t, DesignProblem>> outside;
};
FaceFit fitFace(const std::vector<DesignElement>& face, double width, double height, bool grows);

// Lays out a fixed design's face on the label at `place` (points), its table with a row per QSO; with `grows`
// (a roll without a set length) the label grows by the rows beyond the table's room and what is below the table
// moves down.
FixedDrawing layOutFixed(const std::vector<DesignElement>& face, const LabelRect& place, int qsos,
                         const std::string& ownCall, const LabelValues& values, bool grows);

// The height in points of a table row for a font of `points`.
double fixedRowHeight(const DesignElement& table);

} // namespace cardmill
