#include "merge/OdtMerger.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "OdtFixtures.h"
#include "merge/BuiltInLabelMaker.h"
#include "merge/Conditions.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::TempDir;

using test::bodyText;
using test::display;
using test::next;
using test::writeOdt;

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
    const std::string body = "<text:p>To <text:span>" + display("call") + "</text:span></text:p>" + "<text:p>" +
                             display("NAME") + "</text:p>" + // goes when empty
                             "<text:p>" + next() + "No " +
                             "<text:database-row-number text:database-name=\"D\"/></text:p>" + "<text:p>" +
                             display("CALL") + "</text:p>";
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

    // LibreOffice's reading, as its own merge shows it: binary operators left to right at one level, NOT on the
    // next operand, true as -1 against numbers, a missing operand 0, and what it cannot read holding.
    const auto band = [](const char* b) {
        return [b](const std::string& name) { return name == "BAND" ? std::string(b) : std::string(); };
    };
    const auto holds = [](const char* c, const Condition::Column& col) { return Condition::parse(c)->holds(col); };
    for (const char* b : {"10M", "20M"}) {
        SCOPED_TRACE(b);
        EXPECT_FALSE(holds("[D.t.BAND] == \"10M\" or [D.t.BAND] == \"20M\"", band(b)));
        EXPECT_TRUE(holds("([D.t.BAND] == \"10M\") or ([D.t.BAND] == \"20M\")", band(b)));
        EXPECT_TRUE(holds("[D.t.BAND] == \"10M\" OR 1", band(b)));
        EXPECT_FALSE(holds("not [D.t.BAND] == \"10M\"", band(b)));
        EXPECT_FALSE(holds("D.t.BAND == \"10m\"", band(b)));
        EXPECT_TRUE(holds("(1 < 2) == -1", band(b)));
        EXPECT_FALSE(holds("1 < 2 == 1", band(b)));
        for (const char* unreadable : {"[D.t.BAND] <> \"10M\"", "[D.t.BAND] = \"10M\"", "[D.t.BAND] LT \"15M\"",
                                       "[D.t.BAND] == \"XX\" || 0", "[D.t.BAND] == \"XX\" && 1", "(1", "1)"})
            EXPECT_TRUE(holds(unreadable, band(b))) << unreadable;
        EXPECT_FALSE(holds("[D.t.BAND] ==", band(b)));
    }
    EXPECT_TRUE(holds("[D.t.BAND] == \"10M\" xor 0", band("10M")));
    EXPECT_TRUE(holds("[D.t.BAND] L \"15M\"", band("10M")));
    EXPECT_FALSE(holds("[D.t.BAND] GEQ \"15M\"", band("10M")));
    // Deep nesting is refused without exhausting the stack; long chains are read without recursion.
    EXPECT_TRUE(holds((std::string(100000, '(') + "0" + std::string(100000, ')')).c_str(), band("")));
    std::string chain = "0";
    for (int i = 0; i < 100000; ++i)
        chain += " or 0";
    EXPECT_FALSE(holds(chain.c_str(), band("")));

    // Moves on only where the condition holds: after a record with a name.
    TempDir dir;
    const std::string body = "<text:p>" + display("CALL") + "</text:p><text:p>" + next("ooow:QSLData.t.NAME EQ 'Jan'") +
                             display("CALL") + "</text:p>";
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

TEST(OdtMerge, FieldsInHiddenParagraphsStillMoveOnAndLabelsThatLeaveRecordsOutFail)
{
    TempDir dir;
    // LibreOffice's Labels dialog puts the next-record field at the end of a label's text; here that is the
    // "via" line, hidden when there is no manager. Hidden or not, it moves on.
    auto frame = [](const char* x, bool moveOn) {
        return std::string("<draw:frame text:anchor-type=\"page\" text:anchor-page-number=\"1\" svg:x=\"") + x +
               "\" svg:y=\"1cm\" svg:width=\"9cm\" svg:height=\"3cm\"><draw:text-box><text:p>To " + display("CALL") +
               "</text:p><text:p><text:hidden-paragraph text:condition=\"ooow:[D.t.QSL_VIA] == &quot;&quot;\"/>via " +
               display("QSL_VIA") + (moveOn ? next() : "") + "</text:p></draw:text-box></draw:frame>";
    };
    writeOdt(dir / "card_1.odt", frame("1cm", true) + frame("10cm", true) + frame("19cm", false) + "<text:p/>");
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= 30; ++i)
        rows.push_back({"DL" + std::to_string(i) + "AA", i == 7 ? "DL9QSL" : ""});
    const test::OwnedRecords thirty({"CALL", "QSL_VIA"}, rows);
    BuiltInLabelMaker maker;
    std::vector<MergeWarning> warnings;
    ASSERT_TRUE(maker.make(thirty, dir / "card_1.odt", dir / "out.odt", {}, {}, warnings));
    const std::string content = readZip(dir / "out.odt").entries.at("content.xml");
    for (int i = 1; i <= 30; ++i)
        EXPECT_NE(content.find(">To DL" + std::to_string(i) + "AA<"), std::string::npos) << i;
    EXPECT_NE(content.find("DL9QSL"), std::string::npos);
    EXPECT_NE(content.find("text:anchor-page-number=\"10\""), std::string::npos);
    EXPECT_EQ(content.find("text:anchor-page-number=\"11\""), std::string::npos); // ten sheets, not thirty

    // A label that moves on twice leaves every other record out: not a success.
    writeOdt(dir / "skips_1.odt", "<text:p>" + display("CALL") + next() + next() + "</text:p>");
    try {
        maker.make(thirty, dir / "skips_1.odt", dir / "skips.odt", {}, {}, warnings);
        ADD_FAILURE() << "labels that leave records out were made";
    } catch (const MergeError& e) {
        EXPECT_EQ(e.failure().id, FailureId::RecordsLeftOut);
        EXPECT_EQ(e.failure().detail, "10/30");
        EXPECT_EQ(e.failure().path, dir / "skips_1.odt");
    }
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
