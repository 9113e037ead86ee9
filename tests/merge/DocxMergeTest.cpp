#include "merge/DocxMerger.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "DocxFixtures.h"
#include "merge/FieldCode.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::complexField;
using test::documentText;
using test::para;
using test::simpleField;
using test::TempDir;
using test::text;

using test::OwnedRecords;

const std::vector<std::string> kColumns{"CALL", "NAME", "QSL_VIA", "NUM"};

std::vector<std::vector<std::string>> rowsOf(std::size_t n)
{
    std::vector<std::vector<std::string>> rows;
    const char* names[] = {"Jan", "", "Łukasz", "hans", "", "Zoë", "", ""};
    for (std::size_t i = 0; i < n; ++i)
        rows.push_back({"CALL" + std::to_string(i + 1), names[i % 8], i % 2 ? "BURO" : "", std::to_string(i + 1)});
    return rows;
}

OwnedRecords records(std::size_t n)
{
    return OwnedRecords(kColumns, rowsOf(n));
}

class DocxMerge : public ::testing::Test {
protected:
    // Merges a main document with this body and returns the text of the result.
    std::string merge(const std::string& body, const PassRecords& data,
                      const std::vector<std::pair<std::string, std::string>>& headers = {})
    {
        test::writeDocx(dir / "main.docx", body, headers);
        told.clear();
        mergeDocx(readZip(dir / "main.docx"), data, dir / "out.docx", [this](std::size_t done) {
            told.push_back(done);
            return true;
        });
        return documentText(dir / "out.docx");
    }
    std::string outputPart(const std::string& name) { return readZip(dir / "out.docx").entries.at(name); }

    TempDir dir;
    std::vector<std::size_t> told; // what the merge told of its progress
};

TEST_F(DocxMerge, EachCopyStartsAtTheNextUnusedRecord)
{
    // Two labels per copy: the second moves on with a Next-record field.
    const std::string body = para(text("To ") + simpleField(" MERGEFIELD CALL ")) +
                             para(simpleField("NEXT") + text("To ") + complexField({" MERGEFIELD CALL "}));
    EXPECT_EQ(merge(body, records(3)), "To CALL1\nTo CALL2\n|\nTo CALL3\nTo \n");
    EXPECT_EQ(told, (std::vector<std::size_t>{1, 2, 3, 3})); // each record moved to, and each copy
    // The section break keeps the page setup and starts a new page.
    const std::string xml = outputPart("word/document.xml");
    EXPECT_NE(xml.find("<w:sectPr><w:type w:val=\"nextPage\"/><w:pgSz w:w=\"11906\""), std::string::npos);
}

TEST_F(DocxMerge, SplitInstructionsQuotedNamesAndSwitches)
{
    const std::string body =
        para(complexField({" MERGE", "FIELD  \"ca", "ll\" \\* Up", "per \\* MERGEFORMAT "})) +
        para(text("via") + complexField({" MERGEFIELD QSL_VIA \\b \" \" \\f \"!\" "})) +
        para(complexField({" MERGEFIELD NAME \\* Caps "})) + para(complexField({" MERGEFIELD NAME \\* Upper "})) +
        para(complexField({" MERGEFIELD NAME \\* FirstCap \\m \\v "}) + complexField({" MERGEFIELD NAME \\* Lower "})) +
        para(text("rec ") + simpleField("MERGEREC") + text(" seq ") + simpleField(" MERGESEQ ")) +
        para(simpleField("PAGE") + text(" end"));
    auto rows = rowsOf(4);
    rows[3][1] = "jan kowalski";
    const OwnedRecords data(kColumns, rows);
    const std::string out = merge(body, data);
    EXPECT_EQ(out.substr(0, out.find('|')), "CALL1\nvia\nJan\nJAN\nJanjan\nrec 1 seq 1\n«x» end\n");
    // Record 2: QSL_VIA not empty, NAME empty: the name paragraphs go, the literal "via" one stays.
    const std::string second = out.substr(out.find('|') + 2);
    EXPECT_EQ(second.substr(0, second.find('|')), "CALL2\nvia BURO!\nrec 2 seq 2\n«x» end\n");
    EXPECT_NE(out.find("Łukasz\nŁUKASZ\n"), std::string::npos);
    EXPECT_NE(out.find("Jan Kowalski\nJAN KOWALSKI\nJan kowalskijan kowalski\n"), std::string::npos);
}

TEST_F(DocxMerge, ValuesTakeTheFormattingOfTheFirstResultRunAndAreEscaped)
{
    const std::string body = "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> MERGEFIELD "
                             "CALL </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:rPr>"
                             "<w:b/></w:rPr><w:t>«CALL»</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
    auto rows = rowsOf(2);
    rows[0][0] = "A&B<C>\x01";
    rows[1][0] = " ends in a blank ";
    const OwnedRecords data(kColumns, rows);
    EXPECT_EQ(merge(body, data), "A&B<C>\n|\n ends in a blank \n");
    // Blanks at the ends are kept, and said to be kept only then.
    const std::string xml = outputPart("word/document.xml");
    EXPECT_NE(xml.find("<w:r><w:rPr><w:b/></w:rPr><w:t>A&amp;B&lt;C&gt;</w:t></w:r>"), std::string::npos);
    EXPECT_NE(xml.find("<w:t xml:space=\"preserve\"> ends in a blank </w:t>"), std::string::npos);
}

TEST_F(DocxMerge, RecordsRunningOutLeaveTheRestEmptyAndStartNoCopy)
{
    std::string body;
    for (int i = 0; i < 4; ++i)
        body += para((i ? simpleField("NEXT") : "") + text("#") + simpleField("MERGEFIELD NUM"));
    EXPECT_EQ(merge(body, records(5)), "#1\n#2\n#3\n#4\n|\n#5\n#\n#\n#\n");
    EXPECT_EQ(merge(body, records(4)), "#1\n#2\n#3\n#4\n");
}

TEST_F(DocxMerge, ConditionsAndNestedFields)
{
    // NEXTIF moves on only when its comparison holds; nested fields give the operands.
    const std::string body =
        para(simpleField("MERGEFIELD NUM")) +
        "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> NEXTIF </w:instrText></w:r>" +
        complexField({" MERGEFIELD NUM "}) +
        "<w:r><w:instrText> &gt;= \"2\" </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>" +
        simpleField("MERGEFIELD NUM") + "</w:p>";
    // Record 1: 1 >= 2 is false, so the second field still shows record 1.
    EXPECT_EQ(merge(body, records(3)), "1\n1\n|\n2\n3\n");
    EXPECT_TRUE(compareOperands("10", ">", "9", false));   // numbers compare as numbers
    EXPECT_FALSE(compareOperands("10", ">", "9a", false)); // text as text
    EXPECT_TRUE(compareOperands("abc", "<>", "abd", false));
}

TEST_F(DocxMerge, SkipIfLeavesARecordOut)
{
    const std::string body = para("<w:fldSimple w:instr=\" SKIPIF &quot;x&quot; = &quot;x&quot; \"/>") +
                             para(simpleField("MERGEFIELD CALL"));
    EXPECT_EQ(merge(body, records(2)), "");
    const std::string keep = para("<w:fldSimple w:instr=\" SKIPIF &quot;x&quot; = &quot;y&quot; \"/>") +
                             para(simpleField("MERGEFIELD CALL"));
    EXPECT_EQ(merge(keep, records(2)), "\nCALL1\n|\n\nCALL2\n"); // the SKIPIF paragraph stays, empty
}

TEST_F(DocxMerge, FieldsInNestedTablesTextBoxesAndAcrossParagraphs)
{
    const std::string cell = "<w:tc><w:p>" + simpleField("MERGEFIELD NAME") + "</w:p></w:tc>";
    const std::string nested = "<w:tbl><w:tr>" + cell + "</w:tr></w:tbl>";
    const std::string outer = "<w:tbl><w:tr><w:tc>" + nested + "<w:p/></w:tc></w:tr></w:tbl>";
    const std::string box = "<w:p><w:r><w:pict><v:shape><v:textbox><w:txbxContent>" +
                            para(text("box ") + simpleField("MERGEFIELD CALL")) +
                            "</w:txbxContent></v:textbox></v:shape></w:pict></w:r></w:p>";
    // An instruction that runs over two paragraphs.
    const std::string across = "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> MERGE"
                               "</w:instrText></w:r></w:p><w:p><w:r><w:instrText>FIELD CALL </w:instrText></w:r><w:r>"
                               "<w:fldChar w:fldCharType=\"end\"/></w:r>" +
                               text(" after") + "</w:p>";
    auto rows = rowsOf(1);
    // The nested cell's paragraph keeps its place though its only field is empty: a cell needs a paragraph.
    rows[0][1] = "";
    const OwnedRecords data(kColumns, rows);
    EXPECT_EQ(merge(outer + box + across, data), "\n\n\n[box] box CALL1\n\nCALL1 after\n");
}

TEST_F(DocxMerge, HeadersTakeTheFirstRecordOfTheirCopy)
{
    const std::string header = "<?xml version=\"1.0\"?><w:hdr xmlns:w=\"http://schemas.openxmlformats.org/"
                               "wordprocessingml/2006/main\">" +
                               para(text("Sheet of ") + simpleField("MERGEFIELD CALL")) + "</w:hdr>";
    const std::string body =
        para(simpleField("MERGEFIELD CALL")) + para(simpleField("NEXT") + simpleField("MERGEFIELD CALL"));
    EXPECT_EQ(merge(body, records(4), {{"header1.xml", header}}), "CALL1\nCALL2\n|\nCALL3\nCALL4\n");
    const ZipContents out = readZip(dir / "out.docx");
    ASSERT_TRUE(out.has("word/cm0_header1.xml"));
    ASSERT_TRUE(out.has("word/cm1_header1.xml"));
    EXPECT_NE(out.entries.at("word/cm1_header1.xml").find("Sheet of </w:t></w:r><w:r><w:t>CALL3"), std::string::npos);
    EXPECT_NE(out.entries.at("word/_rels/document.xml.rels").find("Target=\"cm1_header1.xml\""), std::string::npos);
    EXPECT_NE(out.entries.at("[Content_Types].xml").find("/word/cm1_header1.xml"), std::string::npos);
    EXPECT_NE(out.entries.at("word/document.xml").find("r:id=\"cmR1_rIdH1\""), std::string::npos);
}

TEST_F(DocxMerge, ElementsThatLookLikeOurMarkersAreJustContent)
{
    // A document may hold elements of any name, also those the compiler uses for its own markers.
    const std::string forged =
        "<w:p><cm:f n=\"7\"/><cm:p n=\"3\"/><cm0x:f n=\"1\"/>" + simpleField("MERGEFIELD CALL") + "</w:p>";
    EXPECT_EQ(merge(forged, records(1)), "CALL1\n");
    EXPECT_NE(outputPart("word/document.xml").find("<cm:f n=\"7\"/>"), std::string::npos);
}

TEST_F(DocxMerge, AResultHoldingATextBoxGoesWhole)
{
    // The cached result's run holds a text box with runs of its own: all of it gives way to the value, once.
    const std::string body = "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> MERGEFIELD CALL "
                             "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:pict>"
                             "<v:shape><v:textbox><w:txbxContent><w:p><w:r><w:t>old</w:t></w:r></w:p></w:txbxContent>"
                             "</v:textbox></v:shape></w:pict></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
    EXPECT_EQ(merge(body, records(1)), "CALL1\n");
}

TEST_F(DocxMerge, TheMergedDocumentHasNoDataSource)
{
    test::writeDocx(dir / "main.docx", para(simpleField("MERGEFIELD CALL")), {},
                    "<?xml version=\"1.0\"?><w:settings xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/"
                    "2006/main\"><w:zoom w:percent=\"100\"/><w:mailMerge><w:mainDocumentType w:val=\"formLetters\"/>"
                    "</w:mailMerge></w:settings>");
    mergeDocx(readZip(dir / "main.docx"), records(1), dir / "out.docx", {});
    const std::string settings = outputPart("word/settings.xml");
    EXPECT_EQ(settings.find("mailMerge"), std::string::npos);
    EXPECT_NE(settings.find("w:zoom"), std::string::npos);
}

} // namespace
} // namespace cardmill

namespace cardmill {
namespace {

// The data-source file's records, as grouping hands them to the merge.
test::OwnedRecords readDataSource(const std::filesystem::path& file)
{
    std::istringstream in(test::readFile(file));
    std::string line;
    std::vector<std::string> columns, lines;
    bool header = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (header) {
            std::stringstream cells(line);
            for (std::string cell; std::getline(cells, cell, ',');)
                columns.push_back(cell);
        } else {
            lines.push_back(line);
        }
        header = false;
    }
    return test::OwnedRecords::fromLines(columns, lines);
}

TEST(WordStyleFixtures, SwitchesSplitInstructionsAndSimpleFieldsMergeAsWordDoes)
{
    const std::filesystem::path shared = test::sharedDir();
    if (shared.empty() || !std::filesystem::exists(shared / "fixtures/merge/main/wordstyle"))
        GTEST_SKIP() << "the shared fixtures are not beside the project";
    const test::OwnedRecords data = readDataSource(shared / "fixtures/merge/data/log_1.txt");
    ASSERT_EQ(data.records().size(), 7u);
    for (const char* name : {"card_1_wordcodes.docx", "card_1_wordsplit.docx"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        mergeDocx(readZip(shared / "fixtures/merge/main/wordstyle" / name), data, dir / "out.docx", {});
        const std::string text = test::documentText(dir / "out.docx");
        // Label 1: \* Upper, \b and \f only with a value, the empty CONTEST_ID paragraph gone.
        const std::string first = "To Radio DL1ABC\nDate: 2024-03-05  UTC: 07:05\nBand: 20M  Mode: SSB  RST: 59\n"
                                  "QSL rcvd: N\nName: Hans.\nRec 1 seq 1\n";
        EXPECT_NE(text.find(first), std::string::npos) << text;
        EXPECT_NE(text.find("QSL rcvd: Y via BURO\n"), std::string::npos);
        EXPECT_NE(text.find("Contest: CQ-WW-CW\nRec 5 seq 5\n"), std::string::npos);
        EXPECT_NE(text.find("To Radio OK1EEE"), std::string::npos);
        EXPECT_EQ(text.find("|"), std::string::npos); // seven records fit on one page of eight labels
        EXPECT_EQ(text.find("«"), std::string::npos); // no cached result is left
    }
}

} // namespace
} // namespace cardmill
