#include "DocxFixtures.h"

#include <pugixml.hpp>

namespace cardmill::test {

void writeDocx(const std::filesystem::path& path, const std::string& body,
               const std::vector<std::pair<std::string, std::string>>& headers, const std::string& settings)
{
    std::string rels = "<?xml version=\"1.0\"?><Relationships "
                       "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    std::string types = "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                        "content-types\"><Default Extension=\"rels\" "
                        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                        "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Override "
                        "PartName=\"/word/document.xml\" ContentType=\"application/"
                        "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>";
    std::string refs;
    int n = 1;
    for (const auto& [name, xml] : headers) {
        const bool footer = name.rfind("footer", 0) == 0;
        rels += "<Relationship Id=\"rIdH" + std::to_string(n) +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" +
                (footer ? "footer" : "header") + "\" Target=\"" + name + "\"/>";
        types += "<Override PartName=\"/word/" + name +
                 "\" ContentType=\"application/"
                 "vnd.openxmlformats-officedocument.wordprocessingml." +
                 (footer ? "footer" : "header") + "+xml\"/>";
        refs += std::string("<w:") + (footer ? "footerReference" : "headerReference") +
                " w:type=\"default\" r:id=\"rIdH" + std::to_string(n) + "\"/>";
        ++n;
    }
    if (!settings.empty()) {
        rels += "<Relationship Id=\"rIdS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                "relationships/settings\" Target=\"settings.xml\"/>";
    }
    rels += "</Relationships>";
    types += "</Types>";
    std::string content = body;
    if (content.find("<w:sectPr") == std::string::npos || content.rfind("</w:p>") > content.rfind("<w:sectPr"))
        content += "<w:sectPr>" + refs + "<w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr>";
    const std::string document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document "
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><w:body>" +
        content + "</w:body></w:document>";
    ZipWriter zip(path);
    zip.add("[Content_Types].xml", types);
    zip.add("_rels/.rels", "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/"
                           "2006/relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                           "officeDocument/2006/relationships/officeDocument\" Target=\"word/document.xml\"/>"
                           "</Relationships>");
    zip.add("word/document.xml", document);
    zip.add("word/_rels/document.xml.rels", rels);
    for (const auto& [name, xml] : headers)
        zip.add("word/" + name, xml);
    if (!settings.empty())
        zip.add("word/settings.xml", settings);
    zip.close();
}

std::string documentText(const std::filesystem::path& docx)
{
    const ZipContents package = readZip(docx);
    pugi::xml_document doc;
    const std::string& xml = package.entries.at("word/document.xml");
    doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    std::string out;
    for (pugi::xpath_node p : doc.select_nodes("//w:p")) {
        const bool sectionEnds = p.node().child("w:pPr").child("w:sectPr");
        if (sectionEnds && !p.node().first_child().next_sibling() && !out.empty() && out.back() == '\n' &&
            p.node().child("w:pPr").child("w:rPr").child("w:sz")) {
            out += "|\n"; // the carrier after a table: only the section break
            continue;
        }
        if (p.node().parent() && std::string(p.node().parent().name()) == "w:txbxContent")
            out += "[box] ";
        for (pugi::xpath_node t : p.node().select_nodes(".//w:t")) {
            pugi::xml_node owner = t.node().parent();
            while (owner && std::string(owner.name()) != "w:p")
                owner = owner.parent();
            if (owner == p.node()) // text of a text box inside belongs to the box's own paragraph
                out += t.node().text().get();
        }
        out += "\n";
        if (sectionEnds)
            out += "|\n";
    }
    return out;
}

std::string para(const std::string& runs)
{
    return "<w:p>" + runs + "</w:p>";
}

std::string text(const std::string& t)
{
    return "<w:r><w:t xml:space=\"preserve\">" + t + "</w:t></w:r>";
}

std::string complexField(const std::vector<std::string>& pieces, const std::string& rPr)
{
    std::string out = "<w:r>" + rPr + "<w:fldChar w:fldCharType=\"begin\"/></w:r>";
    for (const std::string& piece : pieces)
        out += "<w:r>" + rPr + "<w:instrText xml:space=\"preserve\">" + piece + "</w:instrText></w:r>";
    out += "<w:r>" + rPr + "<w:fldChar w:fldCharType=\"separate\"/></w:r><w:r>" + rPr +
           "<w:t>«cached»</w:t></w:r><w:r>" + rPr + "<w:fldChar w:fldCharType=\"end\"/></w:r>";
    return out;
}

std::string simpleField(const std::string& instruction)
{
    return "<w:fldSimple w:instr=\"" + instruction + "\"><w:r><w:t>«x»</w:t></w:r></w:fldSimple>";
}

} // namespace cardmill::test
