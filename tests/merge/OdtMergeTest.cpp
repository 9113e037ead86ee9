#include "merge/OdtMerger.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "merge/BuiltInLabelMaker.h"
#include "merge/Conditions.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::TempDir;

const char* kNs = "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                  "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
                  "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                  "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                  "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
                  "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\"";

std::string display(const std::string& column)
{
    return "<text:database-display text:table-name=\"t\" text:table-type=\"table\" text:column-name=\"" + column +
           "\" text:database-name=\"QSLData\">&lt;" + column + "&gt;</text:database-display>";
}

std::string next(const std::string& condition = "ooow:TRUE")
{
    return "<text:database-next text:table-name=\"t\" text:condition=\"" + condition + "\" text:database-name=\"D\"/>";
}

void writeOdt(const std::filesystem::path& path, const std::string& body, const std::string& masterPage = "")
{
    ZipWriter zip(path);
    zip.add("mimetype", "application/vnd.oasis.opendocument.text");
    zip.add("content.xml", std::string("<?xml version=\"1.0\"?><office:document-content ") + kNs +
                               "><office:automatic-styles/><office:body><office:text><text:sequence-decls/>" + body +
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
        text += p.node().text().get() + std::string();
        for (pugi::xml_node c : p.node().children())
            if (c.type() == pugi::node_element)
                text += c.text().get();
        text += "\n";
    }
    return text;
}

test::OwnedRecords records(int n)
{
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({"CALL" + std::to_string(i), i % 2 ? "" : "Jan", std::to_string(i)});
    return test::OwnedRecords({"CALL", "NAME", "NUM"}, rows);
}

TEST(OdtMerge, CopiesFieldsNextRecordsAndPageBreaks)
{
    TempDir dir;
    const std::string body = "<text:p>To <text:span>" + display("call") + "</text:span></text:p>" +
                             "<text:p>" + display("NAME") + "</text:p>" + // goes when empty
                             "<text:p>" + next() + "No " + "<text:database-row-number text:database-name=\"D\"/></text:p>" +
                             "<text:p>" + display("CALL") + "</text:p>";
    writeOdt(dir / "main.odt", body);
    mergeOdt(readZip(dir / "main.odt"), records(3), dir / "out.odt", {});
    // Record 3 has no name and no record follows it: its fields-only paragraphs go.
    EXPECT_EQ(bodyText(dir / "out.odt"), "To CALL1\nNo 2\nCALL2\n|\nTo CALL3\nNo \n");
    const ZipContents out = readZip(dir / "out.odt");
    EXPECT_EQ(out.order.front(), "mimetype");
    EXPECT_EQ(out.entries.at("settings.xml").find("CurrentDatabase"), std::string::npos);
    EXPECT_NE(out.entries.at("settings.xml").find("EmptyDbFieldHidesPara"), std::string::npos);
    EXPECT_NE(out.entries.at("content.xml").find("fo:break-before=\"page\""), std::string::npos);
    // The declarations stay once, before the copies.
    const std::string& content = out.entries.at("content.xml");
    EXPECT_EQ(content.find("<text:sequence-decls"), content.rfind("<text:sequence-decls"));
}

TEST(OdtMerge, ConditionsOfNextRecordFields)
{
    const auto column = [](const std::string& name) { return name == "NAME" ? std::string("Jan") : std::string(); };
    EXPECT_TRUE(Condition::parse("ooow:TRUE")->holds(column));
    EXPECT_TRUE(Condition::parse("")->holds(column));
    EXPECT_FALSE(Condition::parse("ooow:FALSE")->holds(column));
    EXPECT_TRUE(Condition::parse("ooow:[QSLData.log_1.NAME] != \"\"")->holds(column));
    EXPECT_FALSE(Condition::parse("ooow:[QSLData.log_1.CALL] != \"\"")->holds(column));

    // Moves on only where the condition holds: after a record with a name.
    TempDir dir;
    const std::string body = "<text:p>" + display("CALL") + "</text:p><text:p>" +
                             next("ooow:QSLData.t.NAME EQ 'Jan'") + display("CALL") + "</text:p>";
    writeOdt(dir / "main.odt", body);
    mergeOdt(readZip(dir / "main.odt"), records(4), dir / "out.odt", {});
    EXPECT_EQ(bodyText(dir / "out.odt"), "CALL1\nCALL1\n|\nCALL2\nCALL3\n|\nCALL4\n");
}

TEST(OdtMerge, TableCellsKeepAParagraphAndHeadersFollowTheirCopy)
{
    TempDir dir;
    const std::string cell = "<table:table><table:table-row><table:table-cell><text:p>" + display("NAME") +
                             "</text:p></table:table-cell></table:table-row></table:table>";
    writeOdt(dir / "main.odt", cell + "<text:p>" + display("CALL") + "</text:p>",
             "<style:header><text:p>Sheet " + display("CALL") + "</text:p></style:header>");
    mergeOdt(readZip(dir / "main.odt"), records(2), dir / "out.odt", {});
    const ZipContents out = readZip(dir / "out.odt");
    EXPECT_NE(out.entries.at("content.xml").find("<table:table-cell><text:p/></table:table-cell>"), std::string::npos);
    const std::string& styles = out.entries.at("styles.xml");
    EXPECT_NE(styles.find("style:name=\"cardmill0Page0\""), std::string::npos);
    EXPECT_NE(styles.find("Sheet CALL2"), std::string::npos);
    EXPECT_NE(out.entries.at("content.xml").find("style:master-page-name=\"cardmill0Page1\""), std::string::npos);
}

TEST(OdtMerge, OpenRecognisesByContentAndRefusesBrokenXml)
{
    TempDir dir;
    writeOdt(dir / "looks-like.docx", "<text:p>" + display("CALL") + "</text:p>");
    BuiltInLabelMaker maker;
    EXPECT_EQ(maker.labelExtension(dir / "looks-like.docx"), ".odt");
    writeOdt(dir / "broken.odt", "<text:p>");
    EXPECT_THROW(maker.labelExtension(dir / "broken.odt"), MergeError);
}

} // namespace
} // namespace cardmill
