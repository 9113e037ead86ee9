// A .docx main document for a label stock: the page is the stock's paper, its margins put the first label in
// place, and one table holds the labels, with narrow columns and rows for the gaps between them. Only what
// Word, LibreOffice and the built-in merge all read: simple MERGEFIELD and NEXT fields, one IF field.
#include <algorithm>
#include <cmath>

#include "engine/Text.h"
#include "merge/Template.h"
#include "merge/Zip.h"
#include "stock/LabelLayout.h"
#include "stock/MainDocuments.h"

namespace cardmill {

namespace {

const char* const kWordNamespaces = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                                    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

long twips(double points)
{
    return std::lround(points * 20);
}

std::string tw(double points)
{
    return std::to_string(twips(points));
}

// The widths of a run of cells: labels of `size` every `pitch` from `origin`, with a gap cell between two
// labels where they do not touch, all cut at the paper's edges (0 and `paper`). Edges are rounded, not widths,
// so that no error adds up across the sheet.
struct Track {
    long start = 0; // where the first label begins on the paper
    std::vector<long> widths;
    std::vector<bool> label;
};
Track track(int count, double origin, double size, double pitch, double paper)
{
    auto edge = [paper](double at) { return twips(std::clamp(at, 0.0, paper)); };
    Track t;
    t.start = edge(origin);
    long at = t.start;
    for (int i = 0; i < count; ++i) {
        const long end = edge(origin + i * pitch + size);
        t.widths.push_back(end - at);
        t.label.push_back(true);
        at = end;
        if (i + 1 < count) {
            const long next = edge(origin + (i + 1) * pitch);
            if (next - at >= 1) {
                t.widths.push_back(next - at);
                t.label.push_back(false);
            }
            at = next;
        }
    }
    return t;
}

// The paragraph style of text in `bold` at `size` points: none for the body text (the document's default),
// else one of the styles that styles() declares, so that a label repeats no formatting of its own.
std::string styleId(bool bold, double size, double bodySize)
{
    const long halfPoints = std::lround(size * 2);
    if (!bold && halfPoints == std::lround(bodySize * 2))
        return {};
    return std::string(bold ? "Bold" : "Text") + std::to_string(halfPoints);
}

std::string paragraphStart(const std::string& style)
{
    return style.empty() ? "<w:p>" : "<w:p><w:pPr><w:pStyle w:val=\"" + style + "\"/></w:pPr>";
}

std::string run(const std::string& text)
{
    const bool blankEnds = !text.empty() && (text.front() == ' ' || text.back() == ' ');
    return std::string(blankEnds ? "<w:r><w:t xml:space=\"preserve\">" : "<w:r><w:t>") + xmlEscape(text) +
           "</w:t></w:r>";
}

// Text made safe for an attribute value in double quotes.
std::string attributeValue(const std::string& s)
{
    std::string out;
    for (char c : xmlEscape(s))
        out += c == '"' ? std::string("&quot;") : std::string(1, c);
    return out;
}

std::string simpleField(const std::string& code, const std::string& result)
{
    return "<w:fldSimple w:instr=\" " + attributeValue(code) + " \">" + (result.empty() ? "" : run(result)) +
           "</w:fldSimple>";
}

std::string mergeField(const std::string& column, const std::string& switches = {})
{
    return simpleField("MERGEFIELD " + column + switches, "\u00ab" + column + "\u00bb");
}

std::string complexPart(const char* type)
{
    return std::string("<w:r><w:fldChar w:fldCharType=\"") + type + "\"/></w:r>";
}

std::string instruction(const std::string& text)
{
    return "<w:r><w:instrText xml:space=\"preserve\">" + xmlEscape(text) + "</w:instrText></w:r>";
}

// IF «QSL_RCVD» = "Y" "TNX QSL" "PSE QSL"
std::string thanksField()
{
    return complexPart("begin") + instruction(" IF ") + complexPart("begin") + instruction(" MERGEFIELD QSL_RCVD ") +
           complexPart("separate") + run("\u00abQSL_RCVD\u00bb") + complexPart("end") +
           instruction(" = \"Y\" \"TNX QSL\" \"PSE QSL\" ") + complexPart("separate") + run("PSE QSL") +
           complexPart("end");
}

std::string line(const DesignLine& l, double fontSize, const std::string& lead)
{
    std::string content = paragraphStart(styleId(l.bold, fontSize * l.scale, fontSize)) + lead;
    for (std::size_t i = 0; i < l.pieces.size(); ++i) {
        const DesignPiece& p = l.pieces[i];
        switch (p.kind) {
        case DesignPiece::Kind::Text:
            // A line shown only with its field: the text goes into the field's \b switch, so that the paragraph
            // holds nothing but the field and goes when the field is empty.
            if (!l.onlyWith.empty() && i + 1 < l.pieces.size() && l.pieces[i + 1].kind == DesignPiece::Kind::Field) {
                content += mergeField(l.pieces[i + 1].text, " \\b \"" + p.text + "\"");
                ++i;
            } else {
                content += run(p.text);
            }
            break;
        case DesignPiece::Kind::Field: content += mergeField(p.text); break;
        case DesignPiece::Kind::Thanks: content += thanksField(); break;
        }
    }
    return content + "</w:p>";
}

// The table of QSOs: its rules and cell margins come from the "LabelQsos" table style, its headings' bold from
// a paragraph style.
std::string qsoTable(const QsoTable& t, double fontSize, double width)
{
    std::string grid;
    long at = 0;
    const std::vector<double> edges = columnEdges(t, width);
    for (std::size_t c = 1; c < edges.size(); ++c) {
        const long end = twips(edges[c]);
        grid += "<w:gridCol w:w=\"" + std::to_string(end - at) + "\"/>";
        at = end;
    }
    std::string xml = "<w:tbl><w:tblPr><w:tblStyle w:val=\"LabelQsos\"/><w:tblW w:w=\"" + std::to_string(at) +
                      "\" w:type=\"dxa\"/><w:tblLayout w:type=\"fixed\"/><w:tblLook w:val=\"0000\"/></w:tblPr>"
                      "<w:tblGrid>" +
                      grid + "</w:tblGrid>";
    // The cells take their widths from the grid: the layout is fixed.
    auto cell = [](const std::string& paragraph) { return "<w:tc>" + paragraph + "</w:p></w:tc>"; };
    const std::string heading = paragraphStart(styleId(true, fontSize, fontSize));
    xml += "<w:tr>";
    for (std::size_t c = 0; c < t.headings.size(); ++c)
        xml += cell(heading + run(t.headings[c]));
    xml += "</w:tr>";
    for (int r = 0; r < t.rows; ++r) {
        xml += "<w:tr>";
        for (std::size_t c = 0; c < t.columns.size(); ++c)
            xml +=
                cell("<w:p>" + (r > 0 && c == 0 ? simpleField("NEXT", {}) : std::string()) + mergeField(t.columns[c]));
        xml += "</w:tr>";
    }
    return xml + "</w:tbl>";
}

std::string label(const LabelDesign& design, double fontSize, long width, const Insets& in, bool first)
{
    std::string xml = "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(width) +
                      "\" w:type=\"dxa\"/><w:tcMar>"
                      "<w:top w:w=\"" +
                      tw(in.top) + "\" w:type=\"dxa\"/><w:left w:w=\"" + tw(in.left) +
                      "\" w:type=\"dxa\"/>"
                      "<w:bottom w:w=\"" +
                      tw(in.bottom) + "\" w:type=\"dxa\"/><w:right w:w=\"" + tw(in.right) +
                      "\" w:type=\"dxa\"/></w:tcMar></w:tcPr>";
    for (std::size_t i = 0; i < design.above.size(); ++i)
        xml += line(design.above[i], fontSize, i == 0 && !first ? simpleField("NEXT", {}) : std::string());
    xml += qsoTable(design.table, fontSize, width / 20.0 - in.left - in.right);
    for (const DesignLine& l : design.below)
        xml += line(l, fontSize, {});
    return xml + "</w:tc>";
}

// The styles part: Arial at the body size as the default, a paragraph style for each other weight and size of
// the design, the gap cells' paragraph, and the QSO table's rules and margins.
std::string styles(const LabelDesign& design, double fontSize)
{
    const std::string halfPoints = std::to_string(std::lround(fontSize * 2));
    std::string xml =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:styles ") + kWordNamespaces +
        "><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:cs=\"Arial\" "
        "w:eastAsia=\"Arial\"/><w:sz w:val=\"" +
        halfPoints + "\"/><w:szCs w:val=\"" + halfPoints +
        "\"/><w:lang w:val=\"en-US\"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr>"
        "<w:spacing w:before=\"0\" w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/></w:pPr></w:pPrDefault>"
        "</w:docDefaults><w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
        "w:val=\"Normal\"/><w:qFormat/></w:style>";
    std::vector<std::pair<bool, double>> kinds{{true, fontSize}};
    for (const auto* lines : {&design.above, &design.below})
        for (const DesignLine& l : *lines)
            kinds.emplace_back(l.bold, fontSize * l.scale);
    std::vector<std::string> declared;
    for (const auto& [bold, size] : kinds) {
        const std::string id = styleId(bold, size, fontSize);
        if (id.empty() || std::find(declared.begin(), declared.end(), id) != declared.end())
            continue;
        declared.push_back(id);
        const std::string sz = std::to_string(std::lround(size * 2));
        xml += "<w:style w:type=\"paragraph\" w:customStyle=\"1\" w:styleId=\"" + id + "\"><w:name w:val=\"Label " +
               text::fixed(size, 1) + " pt" + (bold ? " bold" : "") +
               "\"/><w:basedOn w:val=\"Normal\"/><w:qFormat/><w:rPr>" + (bold ? "<w:b/>" : "") + "<w:sz w:val=\"" + sz +
               "\"/><w:szCs w:val=\"" + sz + "\"/></w:rPr></w:style>";
    }
    const std::string border = " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>";
    return xml +
           "<w:style w:type=\"paragraph\" w:customStyle=\"1\" w:styleId=\"LabelGap\"><w:name w:val=\"Label "
           "gap\"/><w:basedOn w:val=\"Normal\"/><w:pPr><w:spacing w:line=\"20\" w:lineRule=\"exact\"/></w:pPr>"
           "</w:style><w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\"><w:name w:val=\"Normal "
           "Table\"/><w:tblPr><w:tblInd w:w=\"0\" w:type=\"dxa\"/><w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/>"
           "<w:left w:w=\"0\" w:type=\"dxa\"/><w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"0\" w:type=\"dxa\"/>"
           "</w:tblCellMar></w:tblPr></w:style><w:style w:type=\"table\" w:customStyle=\"1\" "
           "w:styleId=\"LabelQsos\"><w:name w:val=\"Label QSOs\"/><w:basedOn w:val=\"TableNormal\"/><w:tblPr>"
           "<w:tblInd w:w=\"0\" w:type=\"dxa\"/><w:tblBorders><w:top" +
           border + "<w:left" + border + "<w:bottom" + border + "<w:right" + border + "<w:insideH" + border +
           "<w:insideV" + border +
           "</w:tblBorders><w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/><w:left w:w=\"20\" w:type=\"dxa\"/>"
           "<w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"20\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr>"
           "</w:style></w:styles>";
}

} // namespace

void writeDocxMainDocument(const LabelStock& stock, const LabelDesign& design, const DesignFit& fit,
                           const std::filesystem::path& output)
{
    const double fontSize = fit.fontSize;
    const StockLayout& layout = stock.layouts.front();
    const Track columns = track(layout.nx, layout.x0, stock.width, layout.dx, stock.paperWidth);
    const Track rows = track(layout.ny, layout.y0, stock.height, layout.dy, stock.paperHeight);
    long tableWidth = 0;
    std::string grid;
    for (long w : columns.widths) {
        tableWidth += w;
        grid += "<w:gridCol w:w=\"" + std::to_string(w) + "\"/>";
    }
    std::string body = "<w:tbl><w:tblPr><w:tblW w:w=\"" + std::to_string(tableWidth) +
                       "\" w:type=\"dxa\"/><w:tblInd w:w=\"0\" w:type=\"dxa\"/><w:tblLayout w:type=\"fixed\"/>"
                       "<w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/><w:left w:w=\"0\" w:type=\"dxa\"/><w:bottom "
                       "w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"0\" w:type=\"dxa\"/></w:tblCellMar>"
                       "<w:tblLook w:val=\"0000\"/></w:tblPr><w:tblGrid>" +
                       grid + "</w:tblGrid>";
    bool first = true;
    for (std::size_t r = 0, row = 0; r < rows.widths.size(); row += rows.label[r], ++r) {
        body += "<w:tr><w:trPr><w:cantSplit/><w:trHeight w:val=\"" + std::to_string(rows.widths[r]) +
                "\" w:hRule=\"exact\"/></w:trPr>";
        for (std::size_t c = 0, column = 0; c < columns.widths.size(); column += columns.label[c], ++c) {
            if (rows.label[r] && columns.label[c]) {
                const LabelRect place =
                    stock.onPaper({layout.x0 + static_cast<double>(column) * layout.dx,
                                   layout.y0 + static_cast<double>(row) * layout.dy, stock.width, stock.height});
                body += label(design, fontSize, columns.widths[c], textInsets(stock, place, fit.clearance), first);
                first = false;
            } else { // a gap
                body += "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(columns.widths[c]) +
                        "\" w:type=\"dxa\"/></w:tcPr><w:p><w:pPr><w:pStyle w:val=\"LabelGap\"/></w:pPr></w:p></w:tc>";
            }
        }
        body += "</w:tr>";
    }
    body += "</w:tbl>";
    // The paragraph that must follow a table, as small as Word allows, so that a full sheet stays one page.
    body += "<w:p><w:pPr><w:spacing w:line=\"20\" w:lineRule=\"exact\"/><w:rPr><w:sz w:val=\"2\"/></w:rPr>"
            "</w:pPr></w:p>";
    const long right = std::max(0L, twips(stock.paperWidth) - columns.start - tableWidth);
    const bool landscape = stock.paperWidth > stock.paperHeight;
    body += "<w:sectPr><w:pgSz w:w=\"" + tw(stock.paperWidth) + "\" w:h=\"" + tw(stock.paperHeight) + "\"" +
            (landscape ? " w:orient=\"landscape\"" : "") + "/><w:pgMar w:top=\"" + std::to_string(rows.start) +
            "\" w:right=\"" + std::to_string(right) + "\" w:bottom=\"0\" w:left=\"" + std::to_string(columns.start) +
            "\" w:header=\"0\" w:footer=\"0\" w:gutter=\"0\"/></w:sectPr>";

    const std::string settings =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:settings ") + kWordNamespaces +
        "><w:compat><w:compatSetting w:name=\"compatibilityMode\" w:uri=\"http://schemas.microsoft.com/office/word\" "
        "w:val=\"15\"/></w:compat></w:settings>";
    const std::string relsType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    const std::string types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Types xmlns=\"http://schemas.openxmlformats.org/"
        "package/2006/content-types\"><Default Extension=\"rels\" ContentType=\"application/"
        "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
        "wordprocessingml.document.main+xml\"/><Override PartName=\"/word/styles.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/><Override PartName=\"/word/settings.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/></Types>";

    ZipWriter zip(output);
    zip.add("[Content_Types].xml", types);
    zip.add("_rels/.rels", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Relationships xmlns=\""
                           "http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
                           "Type=\"" +
                               relsType + "officeDocument\" Target=\"word/document.xml\"/></Relationships>");
    zip.add("word/document.xml", std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                                             "<w:document ") +
                                     kWordNamespaces + "><w:body>" + body + "</w:body></w:document>");
    zip.add("word/_rels/document.xml.rels",
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Relationships xmlns=\"http://"
            "schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" +
                relsType + "styles\" Target=\"styles.xml\"/><Relationship Id=\"rId2\" Type=\"" + relsType +
                "settings\" Target=\"settings.xml\"/></Relationships>");
    zip.add("word/styles.xml", styles(design, fontSize));
    zip.add("word/settings.xml", settings);
    zip.close();
}

} // namespace cardmill
