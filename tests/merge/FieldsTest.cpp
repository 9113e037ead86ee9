// What label documents made the way users make them need from the merge: IF fields, pictures, text boxes,
// label places after the last record, one page per copy, OpenDocument conditions and frames, and the warnings.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <regex>

#include "DocxFixtures.h"
#include "OdtFixtures.h"
#include "merge/BuiltInLabelMaker.h"
#include "merge/DocxMerger.h"
#include "merge/OdtMerger.h"
#include "merge/Pictures.h"
#include "merge/Template.h"
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

test::OwnedRecords qsos()
{
    return test::OwnedRecords({"CALL", "QSO_DATE", "TIME_ON", "QSL_RCVD", "QSL_VIA", "FREQ"},
                              {{"DL1AA", "2024-03-05", "07:05", "Y", "", "14.074"},
                               {"SP1ABC", "2024-12-31", "23:59", "N", "SP9XX", "7.1"},
                               {"G4X", "2024-01-01", "12:00", "R", "", "-3.14159"}});
}

std::string merged(const TempDir& dir, const std::string& body, const PassRecords& records,
                   const DateReading& reading = {}, std::size_t blankLabels = 0)
{
    test::writeDocx(dir / "main.docx", body);
    mergeDocx(readZip(dir / "main.docx"), records, dir / "out.docx", {}, MergeOptions{reading, blankLabels});
    return documentText(dir / "out.docx");
}

std::string part(const TempDir& dir, const char* name = "word/document.xml")
{
    return readZip(dir / "out.docx").entries.at(name);
}

TEST(LabelPlaces, BothFormatsFindThemByOneRule)
{
    // The outermost cells of a table that read records, rows inside a content control or a header-row group
    // too, and not the cells of a table nested in them.
    const std::string cell = "<w:tc>" + para(simpleField(" MERGEFIELD CALL ")) + "</w:tc>";
    const std::string nested = "<w:tc><w:tbl><w:tr>" + cell + cell + "</w:tr></w:tbl>" + para("") + "</w:tc>";
    const std::string docx = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                             "<w:body><w:tbl><w:sdt><w:sdtContent><w:tr>" +
                             cell + nested + "</w:tr></w:sdtContent></w:sdt></w:tbl>" + para("") +
                             "</w:body></w:document>";
    EXPECT_EQ(compileDocx(docx).body.labelPlaces(), 2u);
    const std::string odtCell = "<table:table-cell><text:p>" + test::display("CALL") + "</text:p></table:table-cell>";
    const std::string odt = "<office:document-content xmlns:office=\"o\" xmlns:table=\"t\" xmlns:text=\"x\">"
                            "<office:body><office:text><table:table><table:table-header-rows><table:table-row>" +
                            odtCell + "<table:table-cell><table:table><table:table-row>" + odtCell + odtCell +
                            "</table:table-row></table:table></table:table-cell></table:table-row>"
                            "</table:table-header-rows></table:table></office:text></office:body>"
                            "</office:document-content>";
    EXPECT_EQ(compileOdt(odt, "s", false).body.labelPlaces(), 2u);
}

TEST(IfFields, DecideByComparisonWithNestedFieldsAndWildcards)
{
    TempDir dir;
    const auto records = qsos();
    // IF {MERGEFIELD QSL_RCVD} = "Y" "TNX QSL" "PSE QSL", the nested field a complex field of its own.
    const std::string body =
        "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> IF </w:instrText></w:r>" +
        complexField({" MERGEFIELD QSL_RCVD "}) +
        "<w:r><w:instrText> = \"Y\" \"TNX QSL\" \"PSE QSL\" </w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>cached</w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>" +
        // The texts hold nested fields too, and the comparison may use wildcards.
        para("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> IF </w:instrText></w:r>" +
             complexField({" MERGEFIELD CALL "}) + "<w:r><w:instrText> = \"SP*\" \"via bureau to </w:instrText></w:r>" +
             complexField({" MERGEFIELD CALL "}) +
             "<w:r><w:instrText>\" \"direct\" </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>") +
        // Numbers compare as numbers.
        para("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> IF </w:instrText></w:r>" +
             complexField({" MERGEFIELD FREQ "}) +
             "<w:r><w:instrText> &gt;= 10 \"HF high\" \"HF low\" </w:instrText></w:r>"
             "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>");
    // Three records, three copies: each decides for its own record.
    const std::string text = merged(dir, body, records);
    EXPECT_EQ(text, "TNX QSL\ndirect\nHF high\n|\nPSE QSL\nvia bureau to SP1ABC\nHF low\n|\n"
                    "PSE QSL\ndirect\nHF low\n");
    // The result takes the formatting of the field's result, and no field is left behind.
    const std::string xml = part(dir);
    EXPECT_NE(xml.find("<w:r><w:rPr><w:b/></w:rPr><w:t>TNX QSL</w:t></w:r>"), std::string::npos);
    for (const char* field : {"MERGEFIELD", " IF ", "NEXT", "fldChar", "fldSimple", "cached"})
        EXPECT_EQ(xml.find(field), std::string::npos) << field;

    EXPECT_TRUE(compareOperands("SP9XYZ", "=", "SP?X*", true));
    EXPECT_FALSE(compareOperands("SP9XYZ", "<>", "*YZ", true));
    EXPECT_FALSE(compareOperands("SP9XYZ", "=", "SP?X*", false)); // unquoted: no wildcards
    EXPECT_TRUE(compareOperands("10", ">", "9", false));
    EXPECT_TRUE(compareOperands("b", ">", "a", false));
}

TEST(Pictures, DatesTimesAndNumbersAsWordFormatsThem)
{
    const auto date = readDateTime("2024-09-05", 0);
    ASSERT_TRUE(date);
    EXPECT_EQ(formatDateTime(*date, "dd.MM.yyyy", false), "05.09.2024");
    EXPECT_EQ(formatDateTime(*date, "d MMMM yyyy", false), "5 September 2024");
    EXPECT_EQ(formatDateTime(*date, "d MMMM yyyy", true), "5 września 2024");
    EXPECT_EQ(formatDateTime(*date, "MMMM yyyy", true), "wrzesień 2024");
    EXPECT_EQ(formatDateTime(*date, "dddd, MMM d 'in' yy", false), "Thursday, Sep 5 in 24");
    EXPECT_EQ(formatDateTime(*date, "ddd", true), "czw.");
    const auto time = readDateTime("07:05", 0);
    ASSERT_TRUE(time);
    EXPECT_EQ(formatDateTime(*time, "HH:mm", false), "07:05");
    EXPECT_EQ(formatDateTime(*time, "h:mm AM/PM", false), "7:05 AM");
    // Every date layout of the program reads back; other text does not.
    EXPECT_EQ(readDateTime("05.09.2024", 1)->month, 9);
    EXPECT_EQ(readDateTime("09/05/2024", 2)->day, 5);
    EXPECT_EQ(readDateTime("05 Sep 2024", 3)->month, 9);
    EXPECT_EQ(readDateTime("Sep 05 2024", 4)->day, 5);
    EXPECT_EQ(readDateTime("20240905", 0)->day, 5);
    EXPECT_FALSE(readDateTime("2024-13-05", 0));
    EXPECT_FALSE(readDateTime("SP1ABC", 0));
    EXPECT_FALSE(readDateTime("??:??", 0));

    EXPECT_EQ(formatNumber("14.074", "0.000"), "14.074");
    EXPECT_EQ(formatNumber("7.1", "0.000"), "7.100");
    EXPECT_EQ(formatNumber("1234567.891", "#,##0.00"), "1,234,567.89");
    EXPECT_EQ(formatNumber("3", "00"), "03");
    EXPECT_EQ(formatNumber("-3.14159", "0.0"), "-3.1");
    EXPECT_EQ(formatNumber("-2", "0;(0)"), "(2)");
    EXPECT_EQ(formatNumber("0.5", "#.## MHz"), ".5 MHz");
    EXPECT_FALSE(formatNumber("20M", "0.0"));
    EXPECT_EQ(formatNumber("1e300", "0").value_or("").size(), 301u); // past an integer's range, no overflow
    EXPECT_EQ(formatNumber("1e20", "#,##0").value_or("").substr(0, 8), "100,000,");

    // In a merge: values that read as dates, times or numbers take the picture, others stay as they are.
    TempDir dir;
    const std::string body = para(complexField({" MERGEFIELD QSO_DATE \\@ \"d MMM yyyy\" "}) + text(" ") +
                                  complexField({" MERGEFIELD TIME_ON \\@ HH.mm "}) + text(" ") +
                                  complexField({" MERGEFIELD FREQ \\# \"0.000\" "}) + text(" ") +
                                  complexField({" MERGEFIELD CALL \\# \"0.0\" "}));
    EXPECT_EQ(merged(dir, body, qsos(), {0, true}).substr(0, 30), "5 mar 2024 07.05 14.074 DL1AA\n");
}

// A text box as Word writes it: the same content twice, for new and old readers.
std::string textBox(const std::string& content)
{
    const std::string box = "<w:txbxContent>" + content + "</w:txbxContent>";
    return "<w:r><mc:AlternateContent xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">"
           "<mc:Choice Requires=\"wps\"><w:drawing><wp:anchor xmlns:wp=\"http://schemas.openxmlformats.org/"
           "drawingml/2006/wordprocessingDrawing\"><wp:docPr id=\"7\" name=\"Box\"/><wps:wsp xmlns:wps=\"http://"
           "schemas.microsoft.com/office/word/2010/wordprocessingShape\"><wps:txbx>" +
           box +
           "</wps:txbx></wps:wsp></wp:anchor></w:drawing></mc:Choice><mc:Fallback><w:pict><v:shape "
           "xmlns:v=\"urn:schemas-microsoft-com:vml\"><v:textbox>" +
           box + "</v:textbox></v:shape></w:pict></mc:Fallback></mc:AlternateContent></w:r>";
}

TEST(TextBoxes, ChoiceAndFallbackMoveTheRecordsOnce)
{
    TempDir dir;
    // Two cards per page, each a text box; the second moves on to the next record.
    const std::string body =
        para(textBox(para(text("To ") + simpleField(" MERGEFIELD CALL ")))) +
        para(textBox(para(simpleField(" NEXT ") + text("To ") + simpleField(" MERGEFIELD CALL "))));
    const auto records = qsos();
    merged(dir, body, records);
    const std::string xml = part(dir);
    // Every record once in the boxes' new form and once in their old form, in order.
    for (const char* call : {"DL1AA", "SP1ABC", "G4X"}) {
        const std::string needle = std::string(">") + call + "<";
        std::size_t count = 0;
        for (std::size_t at = xml.find(needle); at != std::string::npos; at = xml.find(needle, at + 1))
            ++count;
        EXPECT_EQ(count, 2u) << call;
    }
    EXPECT_LT(xml.find(">SP1ABC<"), xml.find(">G4X<"));
    // Two pages: the third record starts the second copy; its second box is a label place without a record.
    const std::string pages = documentText(dir / "out.docx");
    EXPECT_EQ(std::count(pages.begin(), pages.end(), '|'), 1);
    // Drawing ids stay unique in the whole document.
    std::set<std::string> ids;
    std::smatch m;
    std::string rest = xml;
    while (std::regex_search(rest, m, std::regex("<wp:docPr[^>]* id=\"([0-9]+)\""))) {
        EXPECT_TRUE(ids.insert(m[1]).second) << m[1];
        rest = m.suffix();
    }
    EXPECT_EQ(ids.size(), 3u);
}

TEST(LabelPlaces, AfterTheLastRecordTheyStayEmptyLiteralTextToo)
{
    TempDir dir;
    // A 2 x 2 sheet; cells 2 to 4 move on first. Five records: the second sheet has one label.
    auto cell = [](const std::string& content) {
        return "<w:tc><w:tcPr><w:tcW w:w=\"4000\" w:type=\"dxa\"/></w:tcPr>" + para(content) + para(text("73!")) +
               "</w:tc>";
    };
    const std::string card = text("To ") + simpleField(" MERGEFIELD CALL ");
    const std::string body = "<w:tbl><w:tr>" + cell(card) + cell(simpleField(" NEXT ") + card) + "</w:tr><w:tr>" +
                             cell(simpleField(" NEXT ") + card) + cell(simpleField(" NEXT ") + card) +
                             "</w:tr></w:tbl>" + para("");
    const auto five = test::OwnedRecords({"CALL"}, {{"A1"}, {"B2"}, {"C3"}, {"D4"}, {"E5"}});
    EXPECT_EQ(merged(dir, body, five), "To A1\n73!\nTo B2\n73!\nTo C3\n73!\nTo D4\n73!\n\n|\nTo E5\n73!\n\n\n\n\n");
    // The empty cells keep their properties: the sheet keeps its shape.
    const std::string xml = part(dir);
    std::size_t cells = 0;
    for (std::size_t at = xml.find("<w:tcW w:w=\"4000\""); at != std::string::npos;
         at = xml.find("<w:tcW w:w=\"4000\"", at + 1))
        ++cells;
    EXPECT_EQ(cells, 8u);
}

TEST(StartPosition, TheFirstLabelsOfTheFirstSheetStayEmptyWhicheverWayLabelsMoveOn)
{
    TempDir dir;
    auto cell = [](const std::string& content) { return "<w:tc>" + para(content) + "</w:tc>"; };
    auto sheet = [&](const std::string& first, const std::string& other) {
        return "<w:tbl><w:tr>" + cell(first) + cell(other) + "</w:tr><w:tr>" + cell(other) + cell(other) +
               "</w:tr></w:tbl>" + para("");
    };
    const auto five = test::OwnedRecords({"CALL"}, {{"A1"}, {"B2"}, {"C3"}, {"D4"}, {"E5"}});
    const std::string card = text("To ") + simpleField(" MERGEFIELD CALL ");
    // Word's way: every label but the first starts with NEXT. Starting at label 3 of 4.
    EXPECT_EQ(merged(dir, sheet(card, simpleField(" NEXT ") + card), five, {}, 2),
              "\n\nTo A1\nTo B2\n\n|\nTo C3\nTo D4\nTo E5\n\n\n");
    // LibreOffice's way: every label but the last ends with a next-record field.
    const std::string last = "<w:tbl><w:tr>" + cell(card + simpleField(" NEXT ")) + cell(card + simpleField(" NEXT ")) +
                             "</w:tr><w:tr>" + cell(card + simpleField(" NEXT ")) + cell(card) + "</w:tr></w:tbl>" +
                             para("");
    EXPECT_EQ(merged(dir, last, five, {}, 1), "\nTo A1\nTo B2\nTo C3\n\n|\nTo D4\nTo E5\n\n\n\n");
    // Two QSOs per label, the second row moving on too: a label keeps its own station's QSOs.
    const auto pairs = test::OwnedRecords({"CALL", "QSO_DATE"}, {{"A1", "1"}, {"A1", "2"}, {"B2", "3"}, {"B2", "4"}});
    const std::string two = card + text(" ") + simpleField(" MERGEFIELD QSO_DATE ") + simpleField(" NEXT ") +
                            text(" ") + simpleField(" MERGEFIELD QSO_DATE ");
    EXPECT_EQ(merged(dir, sheet(two, simpleField(" NEXT ") + two), pairs, {}, 3),
              "\n\n\nTo A1 1 2\n\n|\nTo B2 3 4\n\n\n\n\n");

    // Frames of a LibreOffice label sheet: the second place first.
    auto frame = [](const char* x, bool moveOn) {
        return std::string("<draw:frame text:anchor-type=\"page\" text:anchor-page-number=\"1\" svg:x=\"") + x +
               "\" svg:y=\"1cm\" svg:width=\"9cm\" svg:height=\"3cm\"><draw:text-box><text:p>" + test::display("CALL") +
               (moveOn ? test::next() : "") + "</text:p></draw:text-box></draw:frame>";
    };
    test::writeOdt(dir / "main.odt", frame("1cm", true) + frame("10cm", false) + "<text:p/>");
    ZipContents main = readZip(dir / "main.odt");
    std::string& content = main.entries["content.xml"];
    content.insert(content.find("<office:document-content") + 24,
                   " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
                   "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\"");
    mergeOdt(main, five, dir / "out.odt", {}, MergeOptions{{}, 1});
    pugi::xml_document out;
    ASSERT_TRUE(out.load_string(readZip(dir / "out.odt").entries.at("content.xml").c_str()));
    std::vector<std::string> places;
    for (pugi::xpath_node f : out.select_nodes("//draw:frame"))
        places.push_back(std::string(f.node().attribute("text:anchor-page-number").value()) + " " +
                         f.node().attribute("svg:x").value() + " " +
                         f.node().child("draw:text-box").child("text:p").text().get());
    EXPECT_EQ(places, (std::vector<std::string>{"1 10cm A1", "2 1cm B2", "2 10cm C3", "3 1cm D4", "3 10cm E5"}));
}

TEST(StartPosition, DocumentsWithoutLabelPlacesStartAtTheFirstLabelAndSaySo)
{
    TempDir dir;
    BuiltInLabelMaker maker;
    std::vector<MergeWarning> warnings;
    const auto records = qsos();
    MergeContext context;
    context.startLabel = 3;
    test::writeDocx(dir / "one.docx", para(simpleField(" MERGEFIELD CALL ")));
    ASSERT_TRUE(maker.make(records, dir / "one.docx", dir / "out.docx", {}, context, warnings));
    EXPECT_EQ(documentText(dir / "out.docx"), "DL1AA\n|\nSP1ABC\n|\nG4X\n");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].kind, MergeWarning::Kind::StartLabelUnusable);

    const std::string cell = "<w:tc>" + para(simpleField(" MERGEFIELD CALL ")) + "</w:tc>";
    const std::string next = "<w:tc>" + para(simpleField(" NEXT ") + simpleField(" MERGEFIELD CALL ")) + "</w:tc>";
    test::writeDocx(dir / "two.docx", "<w:tbl><w:tr>" + cell + next + "</w:tr></w:tbl>" + para(""));
    warnings.clear();
    ASSERT_TRUE(maker.make(records, dir / "two.docx", dir / "out.docx", {}, context, warnings));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].kind, MergeWarning::Kind::StartLabelBeyondSheet);
    EXPECT_EQ(warnings[0].places, 2u);
    EXPECT_EQ(documentText(dir / "out.docx").substr(0, 13), "DL1AA\nSP1ABC\n");
}

TEST(Sections, EachCopyEndsInItsOwnLastParagraph)
{
    TempDir dir;
    const auto records = qsos();
    // A body ending in a paragraph: the section break goes into it, no paragraph is added.
    merged(dir, para(simpleField(" MERGEFIELD CALL ")) + para(text("end")), records);
    std::string xml = part(dir);
    auto count = [](const std::string& s, const std::string& needle) {
        std::size_t n = 0;
        for (std::size_t at = s.find(needle); at != std::string::npos; at = s.find(needle, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count(xml, "<w:p>") + count(xml, "<w:p "), 6u);
    EXPECT_EQ(count(xml, "<w:sectPr>"), 3u); // two in copies' last paragraphs, one for the body
    EXPECT_NE(xml.find(">end</w:t></w:r></w:p>"), std::string::npos);
    EXPECT_NE(xml.find("<w:pPr><w:sectPr><w:type w:val=\"nextPage\"/>"), std::string::npos);
    // A body ending in a table: the smallest carrier after it, its mark hidden.
    merged(dir, "<w:tbl><w:tr><w:tc>" + para(simpleField(" MERGEFIELD CALL ")) + "</w:tc></w:tr></w:tbl>", records);
    xml = part(dir);
    EXPECT_EQ(count(xml, "<w:vanish/>"), 3u);
    EXPECT_EQ(count(xml, "w:lineRule=\"exact\""), 3u);
}

TEST(PackageHygiene, NoContentTypeForADroppedPart)
{
    TempDir dir;
    test::writeDocx(
        dir / "main.docx", para(simpleField(" MERGEFIELD CALL ")), {},
        "<w:settings xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:mailMerge/>"
        "</w:settings>");
    // A data source part that the settings point to, declared in the content types.
    ZipContents main = readZip(dir / "main.docx");
    main.entries["word/_rels/settings.xml.rels"] =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
        "Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/recipientData\" "
        "Target=\"recipientData.xml\"/></Relationships>";
    main.order.push_back("word/_rels/settings.xml.rels");
    main.entries["word/recipientData.xml"] = "<w:recipients/>";
    main.order.push_back("word/recipientData.xml");
    std::string& types = main.entries["[Content_Types].xml"];
    types.insert(types.find("</Types>"), "<Override PartName=\"/word/recipientData.xml\" ContentType=\"application/"
                                         "vnd.openxmlformats-officedocument.wordprocessingml.recipientData+xml\"/>");
    mergeDocx(main, qsos(), dir / "out.docx", {});
    const ZipContents out = readZip(dir / "out.docx");
    EXPECT_FALSE(out.has("word/recipientData.xml"));
    EXPECT_EQ(out.entries.at("[Content_Types].xml").find("recipientData"), std::string::npos);
}

TEST(OpenDocumentFields, ConditionsDecideRecordByRecord)
{
    TempDir dir;
    const std::string body =
        "<text:p>" + test::display("CALL") +
        " <text:conditional-text text:condition=\"ooow:[D.t.QSL_RCVD] == "
        "&quot;Y&quot;\" text:string-value-if-true=\"TNX\" text:string-value-if-false=\"PSE\" "
        "text:current-value=\"true\">TNX</text:conditional-text></text:p>"
        "<text:p>via<text:hidden-text text:condition=\"ooow:[D.t.QSL_VIA] EQ ''\" text:string-value=\" manager\" "
        "text:is-hidden=\"true\"/></text:p>"
        "<text:p><text:hidden-paragraph text:condition=\"ooow:not([D.t.QSL_RCVD] != 'R') or ([D.t.CALL] == 'DL1AA')\"/>"
        "Shown</text:p>"
        "<text:p>" +
        test::display("QSO_DATE") + "<text:s/>" + test::display("TIME_ON") + "</text:p>";
    test::writeOdt(dir / "main.odt", body);
    mergeOdt(readZip(dir / "main.odt"), qsos(), dir / "out.odt", {});
    // A blank between two fields stays; hidden text shows when its condition does not hold.
    EXPECT_EQ(test::bodyText(dir / "out.odt"), "DL1AA TNX\nvia\n2024-03-05 07:05\n|\nSP1ABC PSE\nvia manager\nShown\n"
                                               "2024-12-31 23:59\n|\nG4X PSE\nvia\n2024-01-01 12:00\n");
    const std::string content = readZip(dir / "out.odt").entries.at("content.xml");
    for (const char* field : {"database-display", "conditional-text", "hidden-text", "hidden-paragraph"})
        EXPECT_EQ(content.find(field), std::string::npos) << field;
}

TEST(OpenDocumentFrames, LabelsInPlaceOrderOnTheirCopysPage)
{
    TempDir dir;
    // Four page-anchored frames written bottom-right first, as LibreOffice saves them; each label but the last
    // moves on after itself.
    auto frame = [](const char* x, const char* y, bool moveOn) {
        return std::string("<draw:frame text:anchor-type=\"page\" text:anchor-page-number=\"1\" svg:x=\"") + x +
               "\" svg:y=\"" + y + "\" svg:width=\"9cm\" svg:height=\"3cm\"><draw:text-box><text:p>" +
               test::display("CALL") + (moveOn ? test::next() : "") + "</text:p></draw:text-box></draw:frame>";
    };
    const std::string body = frame("10cm", "5cm", false) + frame("1cm", "5.05cm", true) + frame("10cm", "1cm", true) +
                             frame("1cm", "1cm", true) + "<text:p text:style-name=\"Standard\"/>";
    std::string ns = "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
                     "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\"";
    test::writeOdt(dir / "main.odt", body);
    // The fixtures' writer has no drawing namespaces; declare them on the frames' parent by hand.
    ZipContents main = readZip(dir / "main.odt");
    std::string& content = main.entries["content.xml"];
    content.insert(content.find("<office:document-content") + 24, " " + ns);
    const auto five = test::OwnedRecords({"CALL"}, {{"A1"}, {"B2"}, {"C3"}, {"D4"}, {"E5"}});
    mergeOdt(main, five, dir / "out.odt", {});
    pugi::xml_document out;
    const std::string xml = readZip(dir / "out.odt").entries.at("content.xml");
    ASSERT_TRUE(out.load_string(xml.c_str()));
    std::vector<std::string> places;
    for (pugi::xpath_node f : out.select_nodes("//draw:frame"))
        places.push_back(std::string(f.node().attribute("text:anchor-page-number").value()) + " " +
                         f.node().attribute("svg:x").value() + " " + f.node().attribute("svg:y").value() + " " +
                         f.node().child("draw:text-box").child("text:p").text().get());
    // Reading order: top left, top right, bottom left, bottom right; the second sheet holds E5 alone, its other
    // places empty and gone.
    EXPECT_EQ(places, (std::vector<std::string>{"1 1cm 1cm A1", "1 10cm 1cm B2", "1 1cm 5.05cm C3", "1 10cm 5cm D4",
                                                "2 1cm 1cm E5"}));
}

TEST(Warnings, WhatTheUserShouldKnowOncePerDocument)
{
    TempDir dir;
    BuiltInLabelMaker maker;
    const auto records = qsos();
    auto warn = [&](const std::string& body) {
        test::writeDocx(dir / "card_1.docx", body);
        std::vector<MergeWarning> warnings;
        EXPECT_TRUE(maker.make(records, dir / "card_1.docx", dir / "out.docx", {}, {}, warnings));
        return warnings;
    };
    auto w = warn(para(simpleField(" MERGEFIELD CALL ") + simpleField(" MERGEFIELD GRIDSQUARE ") +
                       simpleField(" MERGEFIELD qth ")));
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].kind, MergeWarning::Kind::UnknownFields);
    EXPECT_EQ(w[0].fields, (std::vector<std::string>{"GRIDSQUARE", "QTH"}));
    EXPECT_EQ(w[0].document, dir / "card_1.docx");
    w = warn(para(text("Thanks for the QSO")));
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].kind, MergeWarning::Kind::NoMergeFields);
    const std::string cell = "<w:tc>" + para(simpleField(" MERGEFIELD CALL ")) + "</w:tc>";
    w = warn("<w:tbl><w:tr>" + cell + cell + "</w:tr></w:tbl>" + para(""));
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].kind, MergeWarning::Kind::NoNextRecord);
    // A sheet with next-record fields, all of whose fields are columns: nothing to say.
    const std::string next = "<w:tc>" + para(simpleField(" NEXT ") + simpleField(" MERGEFIELD CALL ")) + "</w:tc>";
    EXPECT_TRUE(warn("<w:tbl><w:tr>" + cell + next + "</w:tr></w:tbl>" + para("")).empty());
}

} // namespace
} // namespace cardmill
