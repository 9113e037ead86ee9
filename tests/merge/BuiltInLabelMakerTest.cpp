// The built-in engine behind the label-maker seam: what it refuses, how it stops, and the table document.
#include "merge/BuiltInLabelMaker.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <pugixml.hpp>

#include "DocxFixtures.h"
#include "merge/DocxMerger.h"
#include "merge/Zip.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::para;
using test::simpleField;
using test::TempDir;
using test::text;

// A merge with the usual context; what the maker warns of goes to `warnings` when given.
bool make(LabelMaker& maker, const PassRecords& records, const std::filesystem::path& main,
          const std::filesystem::path& out, const LabelMaker::Progress& progress,
          std::vector<MergeWarning>* warnings = nullptr)
{
    std::vector<MergeWarning> ignored;
    return maker.make(records, main, out, progress, {}, warnings ? *warnings : ignored);
}

test::OwnedRecords calls(std::size_t n)
{
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 1; i <= n; ++i)
        rows.push_back({"CALL" + std::to_string(i), i % 2 ? "Zdzis\xb3\x61w" : "Zdzis\xc5\x82\x61w"});
    return test::OwnedRecords({"CALL", "NAME"}, rows);
}

TEST(BuiltInLabelMaker, UntrustedDocumentsGiveErrorsNamingTheFile)
{
    TempDir dir;
    BuiltInLabelMaker maker;
    // Each refusal names the document and says why by its id; what a lower layer found stays in the detail.
    auto expectError = [&](const std::filesystem::path& file, FailureId id, const std::string& detail = {}) {
        try {
            maker.labelExtension(file);
            ADD_FAILURE() << "opened " << file;
        } catch (const MergeError& e) {
            EXPECT_EQ(e.failure().id, id) << file;
            EXPECT_EQ(e.failure().path, file);
            EXPECT_NE(e.failure().detail.find(detail), std::string::npos) << e.failure().detail;
        }
    };
    expectError(dir / "missing.docx", FailureId::MainDocumentMissing);
    expectError(dir.write("text.docx", "just text"), FailureId::MainDocumentNotADocument);
#ifndef _WIN32 // Windows has LibreOffice's install place to look in besides the PATH
    {
        // Without LibreOffice a Word 97 document is refused with advice (LibreOffice hidden from the search).
        const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
        setenv("PATH", "/nonexistent", 1);
        expectError(dir.write("old.doc", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "rest"),
                    FailureId::MainDocumentNeedsLibreOffice);
        setenv("PATH", path.c_str(), 1);
    }
#endif
    {
        ZipWriter z(dir / "nodoc.docx");
        z.add("word/other.xml", "<x/>");
        z.close();
    }
    expectError(dir / "nodoc.docx", FailureId::MainDocumentWrongKind);
    {
        ZipWriter z(dir / "bad.docx");
        z.add("word/document.xml", "<w:document><w:body><w:p></w:body>");
        z.close();
    }
    expectError(dir / "bad.docx", FailureId::MainDocumentUnreadable, "not well-formed");
    {
        ZipWriter z(dir / "climb.docx");
        z.add("../evil.xml", "<x/>");
        z.add("word/document.xml", "<w:document><w:body/></w:document>");
        z.close();
    }
    expectError(dir / "climb.docx", FailureId::MainDocumentUnreadable, "outside the package");
    {
        ZipWriter z(dir / "nomime.odt"); // an OpenDocument package without its "mimetype"
        z.add("content.xml", "<office:document-content/>");
        z.close();
    }
    expectError(dir / "nomime.odt", FailureId::MainDocumentWrongKind);
    // Nested deeper than any word processor nests.
    std::string deepXml;
    for (int i = 0; i < 3000; ++i)
        deepXml += "<w:sdt>";
    test::writeDocx(
        dir / "nested.docx", deepXml + para(simpleField("MERGEFIELD CALL")) + [] {
            std::string close;
            for (int i = 0; i < 3000; ++i)
                close += "</w:sdt>";
            return close;
        }());
    expectError(dir / "nested.docx", FailureId::MainDocumentUnreadable, "nests its elements more than 2000 deep");
    // A zip bomb: more than the limits allow.
    {
        ZipWriter z(dir / "bomb.docx");
        z.add("word/document.xml", std::string(3 << 20, ' '));
        z.close();
    }
    ZipLimits small;
    small.maxTotalSize = 1 << 20;
    EXPECT_THROW(readZip(dir / "bomb.docx", small), std::runtime_error);

    // Entities are not expanded, and fields nested ten thousand deep neither crash nor hang.
    test::writeDocx(dir / "entities.docx", para(text("&amp;lol9;")) + para(simpleField("MERGEFIELD CALL")));
    EXPECT_EQ(maker.labelExtension(dir / "entities.docx"), ".docx");
    std::string deep;
    for (int i = 0; i < 10000; ++i)
        deep += "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> NEXTIF </w:instrText></w:r>";
    deep += "<w:r><w:instrText> MERGEFIELD CALL </w:instrText></w:r>";
    for (int i = 0; i < 10000; ++i)
        deep += "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    test::writeDocx(dir / "deep.docx", para(deep));
    try {
        make(maker, calls(2), dir / "deep.docx", dir / "deep-out.docx", [](std::size_t) { return true; });
        ADD_FAILURE() << "a document whose only field lies too deep to be read put its records on labels";
    } catch (const MergeError& e) {
        EXPECT_EQ(e.failure().id, FailureId::RecordsLeftOut);
        EXPECT_EQ(e.failure().detail, "0/2");
    }
}

TEST(BuiltInLabelMaker, MakesTheDocumentAndStopsWhenAsked)
{
    TempDir dir;
    BuiltInLabelMaker maker;
    // Two labels per sheet.
    test::writeDocx(dir / "card_1.docx",
                    para(simpleField("MERGEFIELD CALL") + text(" ") + simpleField("MERGEFIELD NAME")) +
                        para(simpleField("NEXT") + simpleField("MERGEFIELD CALL")));
    std::vector<std::size_t> told;
    const auto records = calls(5);
    EXPECT_TRUE(make(maker, records, dir / "card_1.docx", dir / "out.docx", [&](std::size_t done) {
        told.push_back(done);
        return true;
    }));
    // Told of every record it moved to, and of every sheet.
    EXPECT_EQ(told, (std::vector<std::size_t>{1, 2, 3, 4, 5, 5}));
    // Windows-1250 and UTF-8 values both reach the labels as the same letters.
    EXPECT_EQ(test::documentText(dir / "out.docx"),
              // The last paragraph carries each copy's section break: it stays, though empty in the last copy.
              "CALL1 Zdzisław\nCALL2\n|\nCALL3 Zdzisław\nCALL4\n|\nCALL5 Zdzisław\n\n");

    std::size_t calls = 0;
    EXPECT_FALSE(
        make(maker, records, dir / "card_1.docx", dir / "stopped.docx", [&](std::size_t) { return ++calls < 3; }));
    EXPECT_FALSE(std::filesystem::exists(dir / "stopped.docx"));
}

TEST(BuiltInLabelMaker, TheTableDocumentHoldsEveryValue)
{
    TempDir dir;
    BuiltInLabelMaker maker;
    const auto records = test::OwnedRecords::fromLines({"CALL", "NAME"}, {"SP1ABC,Zdzis\xb3\x61w & <Co>", "DL1AA,"});
    maker.writeTableDocument(records, dir / "temporary.doc");
    const std::string xml = readZip(dir / "temporary.doc").entries.at("word/document.xml");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(xml.c_str()));
    std::vector<std::string> cells;
    for (pugi::xpath_node tc : doc.select_nodes("//w:tc"))
        cells.push_back(tc.node().child("w:p").child("w:r").child("w:t").text().get());
    EXPECT_EQ(cells, (std::vector<std::string>{"CALL", "NAME", "SP1ABC", "Zdzisław & <Co>", "DL1AA", ""}));
    EXPECT_THROW(maker.writeTableDocument(records, dir / "no" / "such" / "folder.doc"), MergeError);
}

} // namespace
} // namespace cardmill

namespace cardmill {
namespace {

TEST(ZipWriter, StreamedAndWholeEntriesReadBackInOrder)
{
    test::TempDir dir;
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += "<w:p>label " + std::to_string(i) + "</w:p>";
    // Once as usual, once with every size and offset written in the ZIP64 form.
    for (std::uint64_t zip64From : {std::uint64_t{0xffffffffu}, std::uint64_t{100}}) {
        SCOPED_TRACE(zip64From);
        const std::filesystem::path path = dir / ("out" + std::to_string(zip64From) + ".odt");
        {
            ZipWriter zip(path, zip64From);
            zip.add("mimetype", "application/vnd.oasis.opendocument.text");
            zip.begin("content.xml");
            for (std::size_t at = 0; at < big.size(); at += 7777)
                zip.write(std::string_view(big).substr(at, 7777));
            zip.add("styles.xml", "<styles/>");
            zip.begin("empty.xml");
            zip.close();
        }
        const ZipContents back = readZip(path);
        EXPECT_EQ(back.order, (std::vector<std::string>{"mimetype", "content.xml", "styles.xml", "empty.xml"}));
        EXPECT_EQ(back.entries.at("content.xml"), big);
        EXPECT_EQ(back.entries.at("styles.xml"), "<styles/>");
        EXPECT_EQ(back.entries.at("empty.xml"), "");
        // ODF readers find the type stored, uncompressed, at byte 38.
        EXPECT_EQ(test::readFile(path).substr(30, 8), "mimetype");
        EXPECT_EQ(test::readFile(path).substr(38, 39), "application/vnd.oasis.opendocument.text");
    }
    // A package that is not closed does not stay.
    {
        ZipWriter zip(dir / "half.docx");
        zip.begin("word/document.xml");
        zip.write("<w:document>");
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "half.docx"));
    EXPECT_THROW(ZipWriter(dir / "no" / "folder.docx"), std::runtime_error);
}

} // namespace
} // namespace cardmill
