// An .odt main document for a label stock, made as LibreOffice's own Labels command makes one: one frame per
// label anchored to the first page at the label's place, database fields, and a next-record field after every
// label but the last (and before every QSO row but the first).
#include <algorithm>

#include "engine/Text.h"
#include "merge/Template.h"
#include "merge/Zip.h"
#include "stock/LabelLayout.h"
#include "stock/MainDocuments.h"

namespace cardmill {

namespace {

const char* const kNamespaces = "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                                "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
                                "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                                "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                                "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
                                "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
                                "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" "
                                "xmlns:ooow=\"http://openoffice.org/2004/writer\" office:version=\"1.3\"";

const char* const kDatabase = "QSLData";

std::string mm(double points)
{
    return text::fixed(points / kPointsPerMm, 3) + "mm";
}

std::string pt(double points)
{
    return text::fixed(points, 2) + "pt";
}

std::string fontFaces()
{
    return "<office:font-face-decls><style:font-face style:name=\"Liberation Sans\" svg:font-family=\"&apos;Liberation "
           "Sans&apos;\" style:font-family-generic=\"swiss\" style:font-pitch=\"variable\"/></office:font-face-decls>";
}

class Writer {
public:
    Writer(const LabelStock& stock, const LabelDesign& design, const DesignFit& fit, std::string table)
        : m_stock(stock)
        , m_design(design)
        , m_font(fit.fontSize)
        , m_table(std::move(table))
        , m_places(stock.placesOnPaper())
    {
        // Labels cut at the paper's edge, and labels near it, keep other insets than the rest: a frame style
        // for each kind.
        for (const LabelRect& p : m_places) {
            const Insets in = textInsets(stock, p, fit.clearance);
            auto known = std::find(m_insets.begin(), m_insets.end(), in);
            m_styleOf.push_back(static_cast<std::size_t>(known - m_insets.begin()));
            if (known == m_insets.end())
                m_insets.push_back(in);
        }
    }

    std::string content() const
    {
        std::string xml = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content ") +
                          kNamespaces + ">" + fontFaces() + "<office:automatic-styles>" + styles() +
                          "</office:automatic-styles><office:body><office:text>";
        const std::vector<LabelRect>& places = m_places;
        for (std::size_t i = 0; i < places.size(); ++i) {
            const LabelRect& p = places[i];
            xml += "<draw:frame draw:style-name=\"" + frameStyle(m_styleOf[i]) + "\" draw:name=\"Label " +
                   std::to_string(i + 1) + "\" text:anchor-type=\"page\" text:anchor-page-number=\"1\" svg:x=\"" +
                   mm(p.x) + "\" svg:y=\"" + mm(p.y) + "\" svg:width=\"" + mm(p.width) + "\" svg:height=\"" +
                   mm(p.height) + "\" draw:z-index=\"" + std::to_string(i) + "\"><draw:text-box>" +
                   label(i + 1 < places.size(), tableStyle(m_styleOf[i])) + "</draw:text-box></draw:frame>";
        }
        return xml + "<text:p text:style-name=\"Standard\"/></office:text></office:body></office:document-content>";
    }

    std::string stylesPart() const
    {
        const bool landscape = m_stock.paperWidth > m_stock.paperHeight;
        return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-styles ") + kNamespaces + ">" +
               fontFaces() +
               "<office:styles><style:default-style style:family=\"paragraph\"><style:paragraph-properties "
               "fo:margin-top=\"0mm\" fo:margin-bottom=\"0mm\" fo:line-height=\"100%\"/><style:text-properties "
               "style:font-name=\"Liberation Sans\" fo:font-size=\"" +
               pt(m_font) +
               "\" fo:language=\"en\" "
               "fo:country=\"US\"/></style:default-style><style:style style:name=\"Standard\" "
               "style:family=\"paragraph\" style:class=\"text\"/><style:style style:name=\"Frame\" "
               "style:family=\"graphic\"><style:graphic-properties text:anchor-type=\"page\" fo:margin-left=\"0mm\" "
               "fo:margin-right=\"0mm\" fo:margin-top=\"0mm\" fo:margin-bottom=\"0mm\" style:wrap=\"run-through\" "
               "style:vertical-pos=\"from-top\" style:vertical-rel=\"page\" style:horizontal-pos=\"from-left\" "
               "style:horizontal-rel=\"page\" fo:padding=\"0mm\" "
               "fo:border=\"none\"/></style:style></office:styles><office:automatic-styles>"
               "<style:page-layout style:name=\"Sheet\"><style:page-layout-properties fo:page-width=\"" +
               mm(m_stock.paperWidth) + "\" fo:page-height=\"" + mm(m_stock.paperHeight) +
               "\" style:print-orientation=\"" + (landscape ? "landscape" : "portrait") +
               "\" fo:margin-top=\"0mm\" fo:margin-bottom=\"0mm\" fo:margin-left=\"0mm\" fo:margin-right=\"0mm\"/>"
               "</style:page-layout></office:automatic-styles><office:master-styles><style:master-page "
               "style:name=\"Standard\" style:page-layout-name=\"Sheet\"/></office:master-styles>"
               "</office:document-styles>";
    }

private:
    static std::string frameStyle(std::size_t kind) { return kind == 0 ? "Label" : "Label" + std::to_string(kind + 1); }
    static std::string tableStyle(std::size_t kind) { return kind == 0 ? "Qsos" : "Qsos" + std::to_string(kind + 1); }

    std::string styles() const
    {
        std::string xml;
        for (std::size_t k = 0; k < m_insets.size(); ++k) {
            const Insets& in = m_insets[k];
            xml += "<style:style style:name=\"" + frameStyle(k) +
                   "\" style:family=\"graphic\" style:parent-style-name=\"Frame\">"
                   "<style:graphic-properties fo:margin-left=\"0mm\" "
                   "fo:margin-right=\"0mm\" fo:margin-top=\"0mm\" fo:margin-bottom=\"0mm\" style:wrap=\"run-through\" "
                   "style:run-through=\"foreground\" style:vertical-pos=\"from-top\" style:vertical-rel=\"page\" "
                   "style:horizontal-pos=\"from-left\" style:horizontal-rel=\"page\" fo:padding-left=\"" +
                   mm(in.left) + "\" fo:padding-right=\"" + mm(in.right) + "\" fo:padding-top=\"" + mm(in.top) +
                   "\" fo:padding-bottom=\"" + mm(in.bottom) +
                   "\" fo:border=\"none\" draw:fill=\"none\"/></style:style>";
        }
        // Paragraph styles by weight and scale: "B" bold, then the scale in percent.
        for (const char* weight : {"N", "B"})
            for (int scale : {100, 125})
                xml += std::string("<style:style style:name=\"") + weight + std::to_string(scale) +
                       "\" style:family=\"paragraph\" style:parent-style-name=\"Standard\"><style:text-properties "
                       "fo:font-size=\"" +
                       pt(m_font * scale / 100.0) + "\"" + (*weight == 'B' ? " fo:font-weight=\"bold\"" : "") +
                       "/></style:style>";
        for (std::size_t k = 0; k < m_insets.size(); ++k) {
            // The narrowest label of this kind sets the width of its table.
            double width = m_stock.width;
            for (std::size_t i = 0; i < m_places.size(); ++i)
                if (m_styleOf[i] == k)
                    width = std::min(width, m_places[i].width - m_insets[k].left - m_insets[k].right);
            const std::string name = tableStyle(k);
            xml += "<style:style style:name=\"" + name +
                   "\" style:family=\"table\"><style:table-properties style:width=\"" + mm(width) +
                   "\" table:align=\"left\" fo:margin-left=\"0mm\"/></style:style>";
            const std::vector<double> edges = columnEdges(m_design.table, width);
            for (std::size_t c = 0; c + 1 < edges.size(); ++c)
                xml += "<style:style style:name=\"" + name + "." + std::to_string(c) +
                       "\" style:family=\"table-column\">"
                       "<style:table-column-properties style:column-width=\"" +
                       mm(edges[c + 1] - edges[c]) + "\"/></style:style>";
        }
        xml += "<style:style style:name=\"Qsos.Cell\" style:family=\"table-cell\"><style:table-cell-properties "
               "fo:padding-left=\"1pt\" fo:padding-right=\"1pt\" fo:padding-top=\"0pt\" fo:padding-bottom=\"0pt\" "
               "fo:border=\"0.5pt solid #000000\"/></style:style>";
        return xml;
    }

    // The body text needs no style: the default paragraph style is it.
    static std::string styleOf(const DesignLine& l)
    {
        return !l.bold && l.scale <= 1 ? std::string()
                                       : std::string(l.bold ? "B" : "N") + (l.scale > 1 ? "125" : "100");
    }

    std::string field(const std::string& column) const
    {
        return "<text:database-display text:table-name=\"" + xmlEscape(m_table) +
               "\" text:table-type=\"table\" "
               "text:column-name=\"" +
               column + "\" text:database-name=\"" + kDatabase + "\">&lt;" + column + "&gt;</text:database-display>";
    }

    std::string column(const std::string& name) const
    {
        return "[" + std::string(kDatabase) + "." + xmlEscape(m_table) + "." + name + "]";
    }

    std::string next() const
    {
        return "<text:database-next text:table-name=\"" + xmlEscape(m_table) +
               "\" text:table-type=\"table\" "
               "text:database-name=\"" +
               kDatabase + "\" text:condition=\"ooow:TRUE\"/>";
    }

    // Text with its blanks kept: a blank at either end or after another would otherwise go.
    static std::string words(const std::string& s)
    {
        std::string out;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == ' ' && (i == 0 || i + 1 == s.size() || s[i - 1] == ' '))
                out += "<text:s/>";
            else
                out += xmlEscape(std::string(1, s[i]));
        }
        return out;
    }

    std::string line(const DesignLine& l, const std::string& tail) const
    {
        const std::string style = styleOf(l);
        std::string xml = style.empty() ? "<text:p>" : "<text:p text:style-name=\"" + style + "\">";
        if (!l.onlyWith.empty())
            xml += "<text:hidden-paragraph text:condition=\"ooow:" + column(l.onlyWith) +
                   " == &quot;&quot;\" text:is-hidden=\"false\"/>";
        for (const DesignPiece& p : l.pieces) {
            switch (p.kind) {
            case DesignPiece::Kind::Text: xml += words(p.text); break;
            case DesignPiece::Kind::Field: xml += field(p.text); break;
            case DesignPiece::Kind::Thanks:
                xml += "<text:conditional-text text:condition=\"ooow:" + column("QSL_RCVD") +
                       " == &quot;Y&quot;\" text:string-value-if-true=\"TNX QSL\" text:string-value-if-false=\"PSE "
                       "QSL\" text:current-value=\"false\">PSE QSL</text:conditional-text>";
                break;
            }
        }
        return xml + tail + "</text:p>";
    }

    std::string label(bool moveOn, const std::string& table) const
    {
        std::string xml;
        for (const DesignLine& l : m_design.above)
            xml += line(l, {});
        const QsoTable& t = m_design.table;
        xml += "<table:table table:name=\"Qsos\" table:style-name=\"" + table + "\">";
        for (std::size_t c = 0; c < t.columns.size(); ++c)
            xml += "<table:table-column table:style-name=\"" + table + "." + std::to_string(c) +
                   "\" table:default-cell-style-name=\"Qsos.Cell\"/>";
        xml += "<table:table-row>";
        for (const std::string& h : t.headings)
            xml +=
                "<table:table-cell><text:p text:style-name=\"B100\">" + xmlEscape(h) + "</text:p></table:table-cell>";
        xml += "</table:table-row>";
        for (int r = 0; r < t.rows; ++r) {
            xml += "<table:table-row>";
            for (std::size_t c = 0; c < t.columns.size(); ++c)
                xml += "<table:table-cell><text:p>" + (r > 0 && c == 0 ? next() : std::string()) + field(t.columns[c]) +
                       "</text:p></table:table-cell>";
            xml += "</table:table-row>";
        }
        xml += "</table:table>";
        for (std::size_t i = 0; i < m_design.below.size(); ++i)
            xml += line(m_design.below[i], moveOn && i + 1 == m_design.below.size() ? next() : std::string());
        return xml;
    }

    const LabelStock& m_stock;
    const LabelDesign& m_design;
    double m_font;
    std::string m_table;
    std::vector<LabelRect> m_places; // on the paper
    std::vector<Insets> m_insets;    // the kinds of insets
    std::vector<std::size_t> m_styleOf;
};

} // namespace

void writeOdtMainDocument(const LabelStock& stock, const LabelDesign& design, const DesignFit& fit,
                          const std::string& table, const std::filesystem::path& output)
{
    const Writer w(stock, design, fit, table);
    ZipWriter zip(output);
    zip.add("mimetype", "application/vnd.oasis.opendocument.text");
    zip.add("content.xml", w.content());
    zip.add("styles.xml", w.stylesPart());
    zip.add("META-INF/manifest.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:"
            "opendocument:xmlns:manifest:1.0\" manifest:version=\"1.3\"><manifest:file-entry manifest:full-path=\"/\" "
            "manifest:version=\"1.3\" manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>"
            "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
            "<manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>"
            "</manifest:manifest>");
    zip.close();
}

} // namespace cardmill
