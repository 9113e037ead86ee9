#include "OdtFixtures.h"

#include <pugixml.hpp>

#include "merge/Zip.h"
#include "support/TempDir.h"

namespace cardmill::test {

namespace {

const char* kNs = "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                  "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
                  "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                  "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                  "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
                  "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\"";

} // namespace

std::string display(const std::string& column)
{
    return "<text:database-display text:table-name=\"t\" text:table-type=\"table\" text:column-name=\"" + column +
           "\" text:database-name=\"QSLData\">&lt;" + column + "&gt;</text:database-display>";
}

std::string next(const std::string& condition)
{
    return "<text:database-next text:table-name=\"t\" text:condition=\"" + condition + "\" text:database-name=\"D\"/>";
}

void writeOdt(const std::filesystem::path& path, const std::string& body, const std::string& masterPage,
              const std::string& styles)
{
    ZipWriter zip(path);
    zip.add("mimetype", "application/vnd.oasis.opendocument.text");
    zip.add("content.xml", std::string("<?xml version=\"1.0\"?><office:document-content ") + kNs +
                               "><office:automatic-styles>" + styles +
                               "</office:automatic-styles><office:body><office:text><text:sequence-decls/>" + body +
                               "</office:text></office:body></office:document-content>");
    zip.add("styles.xml", std::string("<?xml version=\"1.0\"?><office:document-styles ") + kNs +
                              "><office:master-styles><style:master-page style:name=\"Standard\">" + masterPage +
                              "</style:master-page></office:master-styles></office:document-styles>");
    zip.add("settings.xml", std::string("<?xml version=\"1.0\"?><office:document-settings ") + kNs +
                                " xmlns:ooo=\"http://openoffice.org/2004/office\"><office:settings>"
                                "<config:config-item-set config:name=\"ooo:configuration-settings\">"
                                "<config:config-item config:name=\"CurrentDatabaseDataSource\" config:type=\"string\">"
                                "QSLData</config:config-item><config:config-item config:name=\"EmptyDbFieldHidesPara\" "
                                "config:type=\"boolean\">true</config:config-item></config:config-item-set>"
                                "</office:settings></office:document-settings>");
    zip.close();
}

// One line per paragraph of the body ("|" for a page-break paragraph of our own).
std::string bodyText(const std::filesystem::path& odt)
{
    const ZipContents out = readZip(odt);
    pugi::xml_document doc;
    doc.load_string(out.entries.at("content.xml").c_str());
    std::string text;
    for (pugi::xpath_node p : doc.select_nodes("//text:p")) {
        // A copy after the first starts with a page break: its own paragraph, or its first paragraph's style.
        const std::string style = p.node().attribute("text:style-name").value();
        if (style.rfind("cardmill", 0) == 0) {
            text += "|\n";
            if (!p.node().first_child())
                continue;
        }
        // Its text in order, spans and fields included, "<text:s/>" a blank.
        for (pugi::xml_node n = p.node().first_child(); n;) {
            if (n.type() == pugi::node_pcdata)
                text += n.value();
            else if (std::string(n.name()) == "text:s")
                text += ' ';
            if (n.type() == pugi::node_element && n.first_child()) {
                n = n.first_child();
                continue;
            }
            while (n != p.node() && !n.next_sibling())
                n = n.parent();
            n = n == p.node() ? pugi::xml_node() : n.next_sibling();
        }
        text += "\n";
    }
    return text;
}

} // namespace cardmill::test
