#include "stock/Design.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "engine/LabelMaker.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

constexpr double kSlack = 0.01; // mm: what measuring in points and back may add

bool isFieldName(std::string_view name)
{
    if (name.empty() || name.size() > 64)
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; });
}

std::string withSlashedZeros(std::string value)
{
    std::string out;
    for (char c : value)
        out += c == '0' ? std::string("\xC3\x98") : std::string(1, c);
    return out;
}

// A text element's text with its values.
std::string filled(const DesignElement& e, const std::string& ownCall, const LabelValues& values)
{
    std::string text;
    const bool hasValue = e.onlyWith.empty() || !(e.onlyWith == "OWN_CALL" ? ownCall : values(e.onlyWith, 0)).empty();
    for (const DesignPiece& piece : textPieces(hasValue ? e.text : e.otherwise)) {
        switch (piece.kind) {
        case DesignPiece::Kind::Text: text += piece.text; break;
        case DesignPiece::Kind::Field: {
            std::string value = piece.text == "OWN_CALL" ? ownCall : values(piece.text, 0);
            text += e.slashedZero ? withSlashedZeros(std::move(value)) : value;
            break;
        }
        case DesignPiece::Kind::Thanks: text += values("QSL_RCVD", 0) == "Y" ? "TNX QSL" : "PSE QSL"; break;
        }
    }
    return text;
}

bool shown(const DesignElement& e, const std::string& ownCall, const LabelValues& values)
{
    if (e.kind != DesignElement::Kind::Text || e.onlyWith.empty() || !e.otherwise.empty())
        return true;
    return !(e.onlyWith == "OWN_CALL" ? ownCall : values(e.onlyWith, 0)).empty();
}

double top(const DesignElement& e)
{
    return e.kind == DesignElement::Kind::Line ? std::min(e.y, e.y2) : e.y;
}

double bottom(const DesignElement& e)
{
    return e.kind == DesignElement::Kind::Line ? std::max(e.y, e.y2) : e.y + e.height;
}

double right(const DesignElement& e)
{
    return e.kind == DesignElement::Kind::Line ? std::max(e.x, e.x2) : e.x + e.width;
}

double left(const DesignElement& e)
{
    return e.kind == DesignElement::Kind::Line ? std::min(e.x, e.x2) : e.x;
}

// At most 40 bytes of a text, never a character cut in two, "..." when it was longer.
std::string shortened(const std::string& text)
{
    if (text.size() <= 40)
        return text;
    std::size_t end = 40;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end) + "...";
}

int tableRows(const DesignElement& table, int qsos)
{
    return std::max(1, qsos) + (table.heading ? 1 : 0);
}

} // namespace

DesignElementRef elementRef(const DesignElement& e, std::size_t index, bool swl)
{
    return {index, e.kind, e.kind == DesignElement::Kind::Text ? shortened(e.text) : e.file, swl};
}

std::vector<std::string> Design::fields() const
{
    std::vector<std::string> out;
    const auto add = [&](const std::string& field) {
        if (!field.empty() && field != "OWN_CALL" && std::find(out.begin(), out.end(), field) == out.end())
            out.push_back(field);
    };
    for (const auto* face : {&qsl, &swl})
        for (const DesignElement& e : *face) {
            for (const std::string* t : {&e.text, &e.otherwise})
                for (const DesignPiece& p : textPieces(*t))
                    if (p.kind == DesignPiece::Kind::Field)
                        add(p.text);
                    else if (p.kind == DesignPiece::Kind::Thanks)
                        add("QSL_RCVD");
            add(e.onlyWith);
            for (const DesignColumn& c : e.columns)
                add(c.field);
            if (e.kind == DesignElement::Kind::Qr)
                for (const char* f : {"CALL", "QSO_DATE", "TIME_ON", "BAND", "MODE", "RST_SENT"})
                    add(f);
        }
    return out;
}

DesignError::DesignError(std::string file, std::optional<DesignElementRef> element, DesignProblem problem)
    : std::runtime_error("the design " + file + " cannot be used (problem " +
                         std::to_string(static_cast<int>(problem.id)) + ")")
    , m_file(std::move(file))
    , m_element(std::move(element))
    , m_problem(std::move(problem))
{
}

namespace {

using Problem = DesignProblem::Id;

void checkElement(const DesignElement& e, std::size_t index, bool swl, Design::Layout layout, const std::string& file)
{
    const auto fail = [&](Problem id, std::vector<std::string> args = {}) {
        throw DesignError(file, elementRef(e, index, swl), {id, std::move(args)});
    };
    const auto length = [&](double v, const char* name, double least, double most) {
        if (!std::isfinite(v) || v < least || v > most)
            fail(Problem::OutOfRange, {name, std::isfinite(v) ? text::fixed(v, 2) : std::string("?"),
                                       text::fixed(least, 1), text::fixed(most, 0)});
    };
    for (const auto& [v, name] : {std::pair{e.x, "x"}, {e.y, "y"}, {e.x2, "x2"}, {e.y2, "y2"}})
        length(v, name, -kMaxDesignLength, kMaxDesignLength);
    length(e.width, "width", 0, kMaxDesignLength);
    length(e.height, "height", 0, kMaxDesignLength);
    length(e.font.size, "size", kMinFontPoints, kMaxFontPoints);
    length(e.lineWidth, "lineWidth", 0, 20);
    length(e.scale, "scale", 0.5, 3);
    if (e.rotation < 0 || e.rotation > 3)
        fail(Problem::BadRotation);
    if (e.text.size() > 2000 || e.otherwise.size() > 2000)
        fail(Problem::TextTooLong, {"2000"});
    if (!e.onlyWith.empty() && !isFieldName(e.onlyWith))
        fail(Problem::NoFieldName, {e.onlyWith});
    for (const std::string* t : {&e.text, &e.otherwise})
        for (const DesignPiece& p : textPieces(*t))
            if (p.kind == DesignPiece::Kind::Field && !isFieldName(p.text))
                fail(Problem::NoFieldName, {p.text});
    if (!e.fill.empty() && (e.fill.size() != 7 || e.fill[0] != '#' ||
                            !std::all_of(e.fill.begin() + 1, e.fill.end(), [](char c) { return std::isxdigit(c); })))
        fail(Problem::BadColour, {e.fill});
    if (layout == Design::Layout::Flow && e.kind != DesignElement::Kind::Text && e.kind != DesignElement::Kind::Table)
        fail(Problem::FlowKinds);
    const bool boxed = layout == Design::Layout::Fixed && e.kind != DesignElement::Kind::Line;
    if (boxed && (e.width <= 0 || e.height <= 0))
        fail(Problem::NoSize);
    if (e.kind == DesignElement::Kind::Table) {
        if (e.columns.empty() || e.columns.size() > 30)
            fail(Problem::TableColumns, {"30"});
        for (const DesignColumn& c : e.columns) {
            if (!isFieldName(c.field))
                fail(Problem::NoFieldName, {c.field});
            length(c.width, "width", 0.1, kMaxDesignLength);
            if (c.heading.size() > 200)
                fail(Problem::TextTooLong, {"200"});
        }
    }
    if (e.kind == DesignElement::Kind::Image && e.file.empty())
        fail(Problem::NoPicture);
}

} // namespace

void checkDesign(const Design& design, const std::string& file)
{
    if (design.layout == Design::Layout::Fixed)
        for (const double v : {design.width, design.height})
            if (!std::isfinite(v) || v <= 0 || v > kMaxDesignLength)
                throw DesignError(file, std::nullopt, {Problem::DesignSize, {text::fixed(kMaxDesignLength, 0)}});
    if (design.qsl.empty() && design.swl.empty())
        throw DesignError(file, std::nullopt, {Problem::NoElements, {}});
    for (const auto* face : {&design.qsl, &design.swl}) {
        const bool swl = face == &design.swl;
        if (face->size() > kMaxDesignElements)
            throw DesignError(file, std::nullopt, {Problem::TooManyElements, {std::to_string(kMaxDesignElements)}});
        int tables = 0;
        for (std::size_t i = 0; i < face->size(); ++i) {
            checkElement((*face)[i], i, swl, design.layout, file);
            tables += (*face)[i].kind == DesignElement::Kind::Table;
        }
        if (design.layout == Design::Layout::Flow && tables > 1)
            throw DesignError(file, std::nullopt, {Problem::FlowOneTable, {}});
    }
}

std::vector<DesignPiece> textPieces(std::string_view text)
{
    std::vector<DesignPiece> pieces;
    const auto literal = [&](std::string_view t) {
        if (t.empty())
            return;
        if (!pieces.empty() && pieces.back().kind == DesignPiece::Kind::Text)
            pieces.back().text += t;
        else
            pieces.push_back({DesignPiece::Kind::Text, std::string(t)});
    };
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('{', at);
        const std::size_t close = open == std::string_view::npos ? open : text.find('}', open);
        if (close == std::string_view::npos) {
            literal(text.substr(at));
            break;
        }
        const std::string_view name = text.substr(open + 1, close - open - 1);
        literal(text.substr(at, open - at));
        if (name == "PSE_TNX")
            pieces.push_back({DesignPiece::Kind::Thanks, {}});
        else if (!name.empty() && name.find('{') == std::string_view::npos)
            pieces.push_back({DesignPiece::Kind::Field, std::string(name)});
        else
            literal(text.substr(open, close - open + 1));
        at = close + 1;
    }
    return pieces;
}

LabelDesign flowLabelDesign(const std::vector<DesignElement>& face, int qsos, const std::string& ownCall)
{
    LabelDesign d;
    d.qsos = qsos;
    d.table.rows = std::max(1, qsos);
    bool afterTable = false;
    for (const DesignElement& e : face) {
        if (e.kind == DesignElement::Kind::Table) {
            for (const DesignColumn& c : e.columns) {
                d.table.headings.push_back(c.heading);
                d.table.columns.push_back(c.field);
                d.table.widths.push_back(c.width);
            }
            afterTable = true;
            continue;
        }
        DesignLine line;
        line.bold = e.font.bold;
        line.scale = e.scale;
        std::string_view text = e.text;
        if (!e.onlyWith.empty() && e.onlyWith == "OWN_CALL") {
            text = ownCall.empty() ? std::string_view(e.otherwise) : text; // known now: no condition left
            if (text.empty())
                continue;
        } else {
            line.onlyWith = e.onlyWith;
        }
        for (DesignPiece& p : textPieces(text)) {
            if (p.kind == DesignPiece::Kind::Field && p.text == "OWN_CALL")
                p = {DesignPiece::Kind::Text, ownCall};
            if (p.kind == DesignPiece::Kind::Text && !line.pieces.empty() &&
                line.pieces.back().kind == DesignPiece::Kind::Text)
                line.pieces.back().text += p.text;
            else
                line.pieces.push_back(std::move(p));
        }
        (afterTable ? d.below : d.above).push_back(std::move(line));
    }
    return d;
}

std::string qrText(const LabelValues& values, int qsos, const std::string& ownCall)
{
    const auto or_dash = [](std::string v) { return v.empty() ? std::string("-") : v; };
    std::string out = "CARDMILL QSL " + or_dash(ownCall) + " " + or_dash(values("CALL", 0));
    for (int q = 0; q < std::max(1, qsos); ++q) {
        out += '\n';
        const char* sep = "";
        for (const char* f : {"QSO_DATE", "TIME_ON", "BAND", "MODE", "RST_SENT"}) {
            out += sep + or_dash(values(f, q));
            sep = " ";
        }
    }
    return out;
}

double fixedRowHeight(const DesignElement& table)
{
    return table.font.size * kLineHeight + kRowExtra;
}

FaceFit fitFace(const std::vector<DesignElement>& face, double width, double height, bool grows)
{
    FaceFit fit;
    fit.capacity = PassSelector::kLargest;
    const double w = width / kPointsPerMm, h = height / kPointsPerMm;
    const std::string size = text::fixed(w, 1) + " x " + text::fixed(h, 1);
    for (std::size_t i = 0; i < face.size(); ++i) {
        const DesignElement& e = face[i];
        const auto past = [&](double by, const char* edge) {
            if (!fit.outside)
                fit.outside = {i, {Problem::PastEdge, {text::fixed(by, 1), edge, size}}};
        };
        if (left(e) < -kSlack)
            past(-left(e), "left");
        else if (top(e) < -kSlack)
            past(-top(e), "top");
        else if (right(e) > w + kSlack)
            past(right(e) - w, "right");
        else if (!grows && bottom(e) > h + kSlack)
            past(bottom(e) - h, "bottom");
        if (e.kind == DesignElement::Kind::Table && !grows) {
            const double row = fixedRowHeight(e);
            const int rows = static_cast<int>(std::floor(e.height * kPointsPerMm / row + 1e-6));
            if (rows - (e.heading ? 1 : 0) < fit.capacity) {
                fit.capacity = rows - (e.heading ? 1 : 0);
                fit.table = i;
            }
        }
    }
    fit.capacity = std::max(0, fit.capacity);
    return fit;
}

namespace {

struct Placer {
    const std::vector<DesignElement>& face;
    const LabelRect& place;
    FixedDrawing& out;

    void text(const PlacedText& placed, const DesignElement& e, TextAlign align, bool bold)
    {
        FixedDrawing::Text t{placed, e.font.family, e.font.italic, align, e.rotation};
        t.placed.bold = bold;
        out.order.push_back({FixedDrawing::Item::Kind::Text, out.texts.size()});
        out.texts.push_back(std::move(t));
    }
    void shape(FixedDrawing::Shape s)
    {
        out.order.push_back({FixedDrawing::Item::Kind::Shape, out.shapes.size()});
        out.shapes.push_back(std::move(s));
    }
    void table(const DesignElement& e, double x, double y, int qsos, const LabelValues& values)
    {
        const double row = fixedRowHeight(e);
        const int rows = tableRows(e, qsos);
        double cx = x;
        std::vector<double> edges{x};
        for (const DesignColumn& c : e.columns)
            edges.push_back(cx += c.width * kPointsPerMm);
        for (int r = 0; r < rows; ++r) {
            const bool head = e.heading && r == 0;
            const int qso = r - (e.heading ? 1 : 0);
            for (std::size_t c = 0; c < e.columns.size(); ++c) {
                const DesignColumn& col = e.columns[c];
                std::string value = head ? col.heading : values(col.field, qso);
                if (!head && e.slashedZero)
                    value = withSlashedZeros(std::move(value));
                const double w = edges[c + 1] - edges[c];
                text({edges[c] + kCellPadding, y + r * row, w - 2 * kCellPadding, row, e.font.size, head,
                      std::move(value)},
                     e, col.align, head || e.font.bold);
            }
        }
        if (!e.rules)
            return;
        const double width = e.lineWidth * kPointsPerMm;
        for (int r = 0; r <= rows; ++r)
            shape({false, x, y + r * row, edges.back(), y + r * row, width, {}});
        for (const double edge : edges)
            shape({false, edge, y, edge, y + rows * row, width, {}});
    }
};

} // namespace

FixedDrawing layOutFixed(const std::vector<DesignElement>& face, const LabelRect& place, int qsos,
                         const std::string& ownCall, const LabelValues& values, bool grows)
{
    FixedDrawing out;
    out.height = place.height;
    // Texts left out for want of a value, and tables grown past their room: what lies below moves by as much.
    struct Move {
        double from; // mm: elements whose top is at or below this move
        double by;   // mm, down
    };
    std::vector<Move> moves;
    for (const DesignElement& e : face) {
        if (!shown(e, ownCall, values))
            moves.push_back({bottom(e), -e.height});
        if (e.kind == DesignElement::Kind::Table && grows) {
            const double needed = tableRows(e, qsos) * fixedRowHeight(e) / kPointsPerMm;
            if (needed > e.height) {
                moves.push_back({bottom(e), needed - e.height});
                out.height += (needed - e.height) * kPointsPerMm;
            }
        }
    }
    const auto moved = [&](const DesignElement& e) {
        double by = 0;
        for (const Move& m : moves)
            by += top(e) >= m.from - kSlack ? m.by : 0;
        return by * kPointsPerMm;
    };
    Placer placer{face, place, out};
    for (std::size_t i = 0; i < face.size(); ++i) {
        const DesignElement& e = face[i];
        if (!shown(e, ownCall, values))
            continue;
        const double dy = moved(e);
        const double x = place.x + e.x * kPointsPerMm, y = place.y + e.y * kPointsPerMm + dy;
        const double w = e.width * kPointsPerMm, h = e.height * kPointsPerMm;
        switch (e.kind) {
        case DesignElement::Kind::Text:
            placer.text({x, y, w, h, e.font.size, e.font.bold, filled(e, ownCall, values)}, e, e.align, e.font.bold);
            break;
        case DesignElement::Kind::Table: placer.table(e, x, y, qsos, values); break;
        case DesignElement::Kind::Image:
            out.order.push_back({FixedDrawing::Item::Kind::Image, out.images.size()});
            out.images.push_back({i, x, y, w, h, e.fit});
            break;
        case DesignElement::Kind::Line:
            placer.shape({false,
                          x,
                          y,
                          place.x + e.x2 * kPointsPerMm,
                          place.y + e.y2 * kPointsPerMm + dy,
                          e.lineWidth * kPointsPerMm,
                          {}});
            break;
        case DesignElement::Kind::Box:
            placer.shape({true, x, y, x + w, y + h, e.lineWidth * kPointsPerMm, e.fill});
            break;
        case DesignElement::Kind::Qr:
            out.order.push_back({FixedDrawing::Item::Kind::Qr, out.qrs.size()});
            out.qrs.push_back({x, y, std::min(w, h), qrText(values, qsos, ownCall)});
            break;
        }
    }
    return out;
}

namespace {

// One flow face laid out as fixed elements from the top, its body font `size` points.
std::vector<DesignElement> fixedFace(const std::vector<DesignElement>& face, double size, double width, int qsos,
                                     double inset)
{
    std::vector<DesignElement> out;
    double y = inset;
    const double inner = width - 2 * inset;
    for (DesignElement e : face) {
        e.x = inset;
        e.y = y;
        e.width = inner;
        if (e.kind == DesignElement::Kind::Table) {
            e.font.size = size;
            double ems = 0;
            for (const DesignColumn& c : e.columns)
                ems += c.width;
            for (DesignColumn& c : e.columns)
                c.width = ems > 0 ? std::floor(inner * c.width / ems * 10) / 10 : inner;
            const int rows = std::max(1, qsos) + (e.heading ? 1 : 0);
            e.height = rows * fixedRowHeight(e) / kPointsPerMm;
        } else {
            e.font.size = size * e.scale;
            e.scale = 1;
            e.height = e.font.size * kLineHeight / kPointsPerMm;
        }
        e.x = std::round(e.x * 10) / 10;
        e.y = std::round(e.y * 10) / 10;
        e.height = std::ceil(e.height * 10) / 10;
        y = e.y + e.height;
        out.push_back(std::move(e));
    }
    return out;
}

} // namespace

Design fixedFromFlow(const Design& design, double width, double height, int qsos, double inset)
{
    if (design.layout == Design::Layout::Fixed)
        return design;
    Design out = design;
    out.layout = Design::Layout::Fixed;
    out.width = width;
    out.height = height;
    LabelStock one;
    one.paperWidth = one.width = width * kPointsPerMm;
    one.paperHeight = one.height = height * kPointsPerMm;
    one.markupMargin = inset * kPointsPerMm;
    one.layouts.push_back({1, 1, 0, 0, one.width, one.height});
    for (auto* face : {&out.qsl, &out.swl}) {
        if (face->empty())
            continue;
        const bool swl = face == &out.swl;
        const int k = swl ? 0 : std::max(1, qsos);
        const double size = fitDesign(flowLabelDesign(*face, k, "SP3KXQ"), one).fontSize;
        *face = fixedFace(*face, size > 0 ? size : kMinFontSize, width, k, inset);
    }
    return out;
}

} // namespace cardmill
