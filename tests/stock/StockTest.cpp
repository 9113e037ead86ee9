// Label stocks: reading the stock database and the user's own stocks, the geometry of a sheet, the fit of the
// QSL design, and main documents made for a stock and merged.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "../merge/DocxFixtures.h"
#include "../merge/OdtFixtures.h"
#include "engine/Text.h"
#include "merge/DocxMerger.h"
#include "merge/OdtMerger.h"
#include "merge/Zip.h"
#include "stock/LabelLayout.h"
#include "stock/MainDocuments.h"
#include "stock/StockCatalogue.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::TempDir;

double mm(double points)
{
    return points / kPointsPerMm;
}

const char* kPapers = R"(<?xml version="1.0"?><Glabels-paper-sizes>
  <Paper-size id="A4" _name="A4" width="210mm" height="297mm"/>
  <Paper-size id="US-Letter" _name="US Letter" width="8.5in" height="11in"/>
  <Paper-size id="B5" _name="B5" width="176mm" height="250mm"/>
</Glabels-paper-sizes>)";

// Stocks in every unit the files use, one with two blocks of labels, a chain of equals, a round one.
const char* kTemplates = R"(<?xml version="1.0"?><Glabels-templates>
  <Template brand="Acme" part="A-37" size="A4" _description="QSL labels">
    <Label-rectangle id="0" width="63.5mm" height="38.1mm" round="1.5mm">
      <Markup-margin size="5"/>
      <Layout nx="3" ny="7" x0="7.2mm" y0="15.15mm" dx="66.04mm" dy="38.1mm"/>
    </Label-rectangle>
  </Template>
  <Template brand="Acme" part="US-30" size="US-Letter" _description="Address labels">
    <Label-rectangle id="0" width="2.625in" height="1in" round="0.0625in">
      <Markup-margin size="0.0625in"/>
      <Layout nx="3" ny="10" x0="0.1875in" y0="0.5in" dx="2.75in" dy="1in"/>
    </Label-rectangle>
  </Template>
  <Template brand="Acme" part="Two-Blocks" size="Other" width="20cm" height="12pc" _description="Two blocks">
    <Label-rectangle id="0" width="90mm" height="20mm">
      <Layout nx="2" ny="1" x0="5mm" y0="5mm" dx="95mm"/>
      <Layout nx="1" ny="1" x0="5mm" y0="30mm"/>
    </Label-rectangle>
  </Template>
  <Template brand="Acme" part="B-1" equiv="A-37"/>
  <Template brand="Acme" part="C-1" equiv="B-1" _description="Same again"/>
  <Template brand="Acme" part="Dot" size="A4" _description="Round stickers">
    <Label-round id="0" radius="20mm"><Layout nx="4" ny="5" x0="10mm" y0="10mm" dx="45mm" dy="45mm"/></Label-round>
  </Template>
  <Template brand="Acme" part="Odd" size="Tabloid" _description="Unknown paper"/>
  <Template brand="Acme" part="Lost" equiv="Nowhere"/>
</Glabels-templates>)";

struct Catalogue {
    TempDir dir;
    StockCatalogue catalogue;
    Catalogue()
    {
        std::filesystem::create_directories(dir / "system");
        std::filesystem::create_directories(dir / "user");
        dir.write("system/paper-sizes.xml", kPapers);
        dir.write("system/acme-templates.xml", kTemplates);
        dir.write("system/broken-templates.xml", "<Glabels-templates><Template brand=\"X\"");
        dir.write("user/mine.template",
                  R"(<?xml version="1.0"?><Glabels-templates><Template brand="User" part="Postcard" size="A6"
                     _description="My cards"><Label-rectangle id="0" width="148mm" height="105mm">
                     <Layout nx="1" ny="1" x0="0" y0="0"/></Label-rectangle></Template></Glabels-templates>)");
        catalogue.load({dir / "system", dir / "missing"}, dir / "user");
    }
};

TEST(StockCatalogue, ReadsUnitsPapersEqualsAndTheUsersOwnStocks)
{
    Catalogue c;
    const StockCatalogue& cat = c.catalogue;
    EXPECT_TRUE(cat.databaseFound());

    const LabelStock* a = cat.find("acme a-37");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->paperName, "A4");
    EXPECT_NEAR(mm(a->paperWidth), 210, 1e-9);
    EXPECT_NEAR(mm(a->width), 63.5, 1e-9);
    EXPECT_NEAR(a->markupMargin, 5, 1e-9); // points without a unit
    EXPECT_EQ(a->labelsPerSheet(), 21u);
    EXPECT_EQ(a->arrangement(), "3 x 7");
    EXPECT_EQ(a->problem(), std::nullopt);

    const LabelStock* us = cat.find("US-30");
    ASSERT_TRUE(us);
    EXPECT_EQ(us->paperName, "US Letter");
    EXPECT_NEAR(us->paperWidth, 612, 1e-9);
    EXPECT_NEAR(us->layouts[0].dx, 198, 1e-9);
    EXPECT_EQ(us->labelsPerSheet(), 30u);

    // Other paper in cm and pc; two blocks, read in reading order.
    const LabelStock* two = cat.find("Acme Two-Blocks");
    ASSERT_TRUE(two);
    EXPECT_NEAR(two->paperWidth, 200 * kPointsPerMm, 1e-9);
    EXPECT_NEAR(two->paperHeight, 144, 1e-9);
    const auto places = two->places();
    ASSERT_EQ(places.size(), 3u);
    EXPECT_NEAR(mm(places[1].x), 100, 1e-9);
    EXPECT_NEAR(mm(places[2].y), 30, 1e-9);
    EXPECT_EQ(two->arrangement(), "3 labels");

    // Equals take their original's sheet, through a chain, with a description of their own when they have one.
    const LabelStock* equal = cat.find("Acme C-1");
    ASSERT_TRUE(equal);
    EXPECT_EQ(equal->equivalentTo, "Acme A-37");
    EXPECT_EQ(equal->description, "Same again");
    EXPECT_EQ(equal->labelsPerSheet(), 21u);
    EXPECT_EQ(cat.find("Acme B-1")->description, "QSL labels");

    // The user's own stock, on a paper the standard list knows.
    const LabelStock* mine = cat.find("User Postcard");
    ASSERT_TRUE(mine);
    EXPECT_NEAR(mm(mine->paperHeight), 148, 1e-9);

    // Round labels are listed only when asked for; search takes every word, in any case.
    EXPECT_EQ(cat.search("acme dot").size(), 0u);
    EXPECT_EQ(cat.search("acme dot", true).size(), 1u);
    EXPECT_EQ(cat.search("QSL acme").size(), 2u); // A-37 and the equal that keeps its description
    EXPECT_EQ(cat.search("").size(), cat.stocks().size() - 1);
    EXPECT_FALSE(cat.find("Acme Odd"));

    // The broken file, the unknown paper and the lost equal are named.
    std::string warnings;
    for (const std::string& w : cat.warnings())
        warnings += w + "\n";
    EXPECT_NE(warnings.find("broken-templates.xml"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find("Tabloid"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find("Acme Lost"), std::string::npos) << warnings;

    // No database: nothing found, and the custom grid still works.
    StockCatalogue none;
    none.load({c.dir / "missing"}, c.dir / "missing");
    EXPECT_FALSE(none.databaseFound());
    EXPECT_TRUE(none.stocks().empty());
}

TEST(StockCatalogue, FindsTheInstalledDatabaseWhereXdgSaysItIs)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: the XDG folders";
#else
    Catalogue c;
    std::filesystem::create_directories(c.dir / "share/libglabels-3.0");
    std::filesystem::rename(c.dir / "system", c.dir / "share/libglabels-3.0/templates");
    ::setenv("XDG_DATA_DIRS", (c.dir / "nothing").string().append(":").append((c.dir / "share").string()).c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (c.dir / "config").string().c_str(), 1);
    std::filesystem::create_directories(c.dir / "config/libglabels");
    std::filesystem::rename(c.dir / "user", c.dir / "config/libglabels/templates");
    StockCatalogue cat;
    cat.loadInstalled();
    ::unsetenv("XDG_DATA_DIRS");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(cat.databaseFound());
    EXPECT_TRUE(cat.find("Acme A-37"));
    EXPECT_TRUE(cat.find("User Postcard"));
#endif
}

TEST(StockCatalogue, TheRealDatabaseHasTheStocksRadioAmateursBuy)
{
    StockCatalogue cat;
    cat.load(StockCatalogue::systemFolders(), {});
    if (!cat.databaseFound())
        GTEST_SKIP() << "glabels-data is not installed";
    struct Known {
        const char* name;
        const char* paper;
        std::size_t labels;
        double width, height; // mm
    };
    for (const Known& k : {Known{"Avery L7160", "A4", 21, 64.0, 38.1}, Known{"Avery L7163", "A4", 14, 99.1, 38.1},
                           Known{"Avery 5160", "US Letter", 30, 66.675, 25.4}}) {
        SCOPED_TRACE(k.name);
        const LabelStock* s = cat.find(k.name);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->paperName, k.paper);
        EXPECT_EQ(s->labelsPerSheet(), k.labels);
        EXPECT_NEAR(mm(s->width), k.width, 0.1);
        EXPECT_NEAR(mm(s->height), k.height, 0.1);
        EXPECT_EQ(s->problem(), std::nullopt);
    }
    EXPECT_EQ(cat.find("Avery L7160")->equivalentTo, "Avery 7160");
    EXPECT_GT(cat.search("").size(), 900u);

    // Found as the list shows them: the grid, the labels' size (either way round, to half a millimetre), the paper.
    auto names = [&](std::string_view words) {
        std::vector<std::string> out;
        for (const LabelStock* s : cat.search(words))
            out.push_back(s->name());
        return out;
    };
    for (const char* words : {"avery 2x7", "Avery 2 x 7 A4", "avery 99.1x38.1", "avery 99 x 38", "avery 38X99 a4",
                              "avery 2 x7", "avery 2x 7"}) {
        const std::vector<std::string> found = names(words);
        EXPECT_NE(std::find(found.begin(), found.end(), "Avery L7163"), found.end()) << words;
    }
    for (const char* words : {"3x8", "3 x 8"}) {
        const std::vector<const LabelStock*> found = cat.search(words);
        EXPECT_GT(found.size(), 5u) << words;
        for (const LabelStock* s : found)
            EXPECT_TRUE(s->arrangement() == "3 x 8" ||
                        text::findNoCase(s->part + " " + s->description, "3x8") != std::string::npos)
                << s->name() << " for " << words;
    }
    const std::vector<std::string> onLetter = names("avery 2x7 us letter");
    EXPECT_EQ(std::find(onLetter.begin(), onLetter.end(), "Avery L7163"), onLetter.end());
}

TEST(LabelStock, OverlapsAndLabelsOffThePaperAreRefused)
{
    CustomGrid g = parseCustomGrid("A4, 3, 7, 63.5, 38.1, 7.2, 15.15, 66.04, 38.1");
    EXPECT_EQ(customStock(g).problem(), std::nullopt);
    EXPECT_NEAR(mm(g.hpitch), 66.04, 1e-9);
    // The text a profile keeps of a grid reads back as the grid.
    for (const char* text : {"A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1", "100.5x99,1,2,90,40,5,5,0,45"}) {
        const CustomGrid back = parseCustomGrid(customGridText(parseCustomGrid(text)));
        EXPECT_EQ(customGridText(back), customGridText(parseCustomGrid(text)));
        EXPECT_EQ(customStock(back).places().size(), customStock(parseCustomGrid(text)).places().size());
    }
    EXPECT_EQ(customGridText(parseCustomGrid("A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1")),
              "A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1");
    g.hpitch = 60 * kPointsPerMm; // narrower than the labels
    EXPECT_EQ(customStock(g).problem(), (StockProblem{StockProblem::Id::Overlap, {"Custom", "1", "2"}}));
    g = parseCustomGrid("100x100,1,2,90,60,5,5,0,60");
    EXPECT_EQ(customStock(g).problem(), (StockProblem{StockProblem::Id::OffThePaper, {"Custom", "2", "100", "100"}}));
    EXPECT_NEAR(mm(parseCustomGrid("US-Letter,1,1,50,20,5,5,0,0").paperWidth), 215.9, 1e-9);
    for (const char* bad : {"A4,3,7", "A3,3,7,63.5,38.1,7.2,15.15,66.04,38.1", "A4,0,7,63.5,38.1,7.2,15.15,66.04,38.1",
                            "A4,3,7,wide,38.1,7.2,15.15,66.04,38.1", "A4,3,7,-1,38.1,7.2,15.15,66.04,38.1"})
        EXPECT_THROW(parseCustomGrid(bad), std::invalid_argument) << bad;
    // Absurd sheets cost nothing to refuse.
    LabelStock huge = customStock(parseCustomGrid("A4,100,100,1,1,0,0,1,1"));
    EXPECT_EQ(huge.problem()->id, StockProblem::Id::TooManyLabels);
    EXPECT_TRUE(huge.places().empty());
}

TEST(LabelStock, LengthsBeyondWhatWordProcessorsTakeAreRefusedNamingTheValue)
{
    try {
        parseCustomGrid("1e30x300,1,1,50,20,5,5,0,0");
        ADD_FAILURE() << "a paper of 1e30 mm was accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("1e+30 mm"), std::string::npos) << e.what();
    }
    EXPECT_THROW(parseCustomGrid("A4,1,1,0.01,20,5,5,0,0"), std::invalid_argument);
    // A user's own template: sizes out of range are refused by the stock itself.
    LabelStock s = customStock(parseCustomGrid("A4,1,1,50,20,5,5,0,0"));
    s.paperWidth = 1e30 * kPointsPerMm;
    EXPECT_EQ(s.problem(), (StockProblem{StockProblem::Id::PaperOutOfRange, {"Custom", "1e+30"}}));
    s = customStock(parseCustomGrid("A4,1,1,50,20,5,5,0,0"));
    s.height = 3000 * kPointsPerMm;
    EXPECT_EQ(s.problem(), (StockProblem{StockProblem::Id::LabelOutOfRange, {"Custom", "3000"}}));
    MainDocumentRequest r;
    r.stock = s;
    r.sizes = {1};
    EXPECT_THROW(checkRequest(r), MainDocumentError);
}

TEST(LabelStock, LabelsUpToAMillimetrePastThePaperAreCutAtItsEdge)
{
    // Zweckform 3475 as gLabels gives it: 3 x 70.05 mm on a 210 mm sheet.
    LabelStock s = customStock(parseCustomGrid("A4,3,8,70.05,36.03,0,4.43,70.05,36.03"));
    EXPECT_EQ(s.problem(), std::nullopt);
    const std::vector<LabelRect> onPaper = s.placesOnPaper();
    EXPECT_NEAR(onPaper[2].x + onPaper[2].width, s.paperWidth, 1e-9);
    EXPECT_NEAR(onPaper[0].width, s.width, 1e-9);
    s = customStock(parseCustomGrid("A4,3,8,70.5,36.03,0,4.43,70.5,36.03")); // 1.5 mm past
    EXPECT_EQ(s.problem()->id, StockProblem::Id::OffThePaper);
}

TEST(LabelDesign, TextKeepsFromTheLabelsAndThePapersEdges)
{
    // Edge to edge (Zweckform 3474): 4 mm from the paper's edge, 1.5 mm from the label's edges elsewhere.
    const LabelStock s = customStock(parseCustomGrid("A4,3,8,70,37,0,0,70,37"));
    LabelStock noMargin = s;
    noMargin.markupMargin = 0;
    const std::vector<LabelRect> places = noMargin.placesOnPaper();
    const Insets corner = textInsets(noMargin, places[0], kPaperEdgeClearance);
    EXPECT_NEAR(corner.left, kPaperEdgeClearance, 1e-9);
    EXPECT_NEAR(corner.top, kPaperEdgeClearance, 1e-9);
    EXPECT_NEAR(corner.right, kMinTextInset, 1e-9);
    const Insets middle = textInsets(noMargin, places[4], kPaperEdgeClearance);
    EXPECT_EQ(middle, (Insets{kMinTextInset, kMinTextInset, kMinTextInset, kMinTextInset}));
    // A sheet margin of 2.5 mm: the text keeps 1.5 mm more inside.
    const LabelStock margin = customStock(parseCustomGrid("A4,2,7,99.1,38.1,2.5,15.15,101.6,38.1"));
    EXPECT_NEAR(textInsets(margin, margin.placesOnPaper()[0], kPaperEdgeClearance).left,
                std::max(margin.markupMargin, 1.5 * kPointsPerMm), 1e-9);

    // Labels too small for 4 mm keep what lets the design fit, and say so.
    const DesignFit roomy = fitDesign(qslDesign(1, {}), noMargin);
    EXPECT_GT(roomy.fontSize, 0);
    EXPECT_EQ(roomy.clearance, kPaperEdgeClearance);
    const LabelStock tight = customStock(parseCustomGrid("A4,4,12,52.5,24.75,0,0,52.5,24.75"));
    MainDocumentRequest r;
    r.stock = tight;
    r.sizes = {1, 2, 3};
    const int largest = largestFittingSize(tight);
    ASSERT_GE(largest, 1);
    r.sizes = {largest};
    const DesignFit squeezed = fitDesign(qslDesign(largest, {}), tight);
    EXPECT_LT(squeezed.clearance, kPaperEdgeClearance);
    const auto notes = mainDocumentNotes(r);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].id, StockProblem::Id::TextNearPaperEdge);
}

// The laid-out label: every box inside the label's insets, a line shown only with its value goes and the rest
// moves up, the table has a heading row and a row per QSO, "TNX QSL" for a received card.
TEST(LabelLayout, EveryBoxLiesInsideTheLabelAndEmptyOptionalLinesGo)
{
    const LabelStock stock = customStock(parseCustomGrid("A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1"));
    for (int qsos : {0, 1, 3}) {
        const LabelDesign design = qslDesign(qsos, "SP3KXQ");
        const DesignFit fit = fitDesign(design, stock);
        ASSERT_GT(fit.fontSize, 0) << qsos;
        for (const LabelRect& place : stock.placesOnPaper()) {
            const Insets in = textInsets(stock, place, fit.clearance);
            for (const bool withVia : {true, false}) {
                const auto values = [&](const std::string& column, int qso) -> std::string {
                    if (column == "QSL_VIA")
                        return withVia ? "DL9XYZ" : "";
                    if (column == "QSL_RCVD")
                        return "Y";
                    return column + std::to_string(qso);
                };
                const LabelDrawing d = layOutLabel(design, fit.fontSize, place, in, values);
                for (const PlacedText& t : d.texts) {
                    EXPECT_GE(t.x, place.x + in.left - 1e-9);
                    EXPECT_LE(t.x + t.width, place.x + place.width - in.right + 1e-9);
                    EXPECT_GE(t.y, place.y + in.top - 1e-9);
                    EXPECT_LE(t.y + t.height, place.y + place.height - in.bottom + 1e-9) << qsos << " " << t.text;
                }
                const std::size_t cells = 5 * (static_cast<std::size_t>(std::max(qsos, 1)) + 1);
                const std::size_t lines = (qsos == 0 ? 3 : withVia ? 2 : 1) + 2;
                ASSERT_EQ(d.texts.size(), cells + lines);
                EXPECT_EQ(d.texts.back().text, "73 de SP3KXQ");
                EXPECT_EQ(d.texts[d.texts.size() - 2].text, "TNX QSL");
                if (qsos == 3) {
                    EXPECT_EQ(d.texts[d.texts.size() - 3].text, "RST_SENT2"); // the third QSO's last cell
                }
                if (qsos > 0) {
                    EXPECT_EQ(d.texts[1].text, withVia ? "via DL9XYZ" : "Date");
                }
            }
        }
    }
    const std::vector<double> edges = columnEdges(qslDesign(1, {}).table, 100);
    EXPECT_EQ(edges.size(), 6u);
    EXPECT_DOUBLE_EQ(edges.back(), 100);
}

TEST(LabelDesign, FontSizesFitTheLabelAndTooSmallLabelsSaySo)
{
    const LabelStock l7160 = customStock(parseCustomGrid("A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1"));
    double last = kMaxFontSize;
    for (int k = 1; k <= 10; ++k) {
        const double size = fittingFontSize(qslDesign(k, "SP3KXQ"), l7160);
        EXPECT_LE(size, last) << k; // more QSOs, smaller type
        if (size > 0) {
            EXPECT_GE(size, kMinFontSize);
            EXPECT_EQ(size * 2, std::floor(size * 2)); // half points
            // The design's lines fit the label inside its margin.
            const QsoTable& t = qslDesign(k, {}).table;
            EXPECT_LE(size * kLineHeight * qslDesign(k, {}).lines() + kRowExtra * (t.rows + 1),
                      l7160.height - 2 * std::max(l7160.markupMargin, kMinTextInset));
        }
        last = size > 0 ? size : last;
    }
    const int largest = largestFittingSize(l7160);
    EXPECT_GE(largest, 5);
    EXPECT_LT(largest, 10);
    MainDocumentRequest r;
    r.stock = l7160;
    r.sizes = {1, largest + 1};
    try {
        checkRequest(r);
        ADD_FAILURE() << "a size that does not fit was accepted";
    } catch (const MainDocumentError& e) {
        EXPECT_EQ(e.problem().id, StockProblem::Id::TooSmall);
        EXPECT_EQ(e.problem().args.at(2), std::to_string(largest + 1));
        EXPECT_EQ(e.problem().args.at(3), std::to_string(largest)); // the most that fits
    }
    r.sizes = {0};
    EXPECT_NO_THROW(checkRequest(r)) << "SWL labels fit";
    EXPECT_EQ(parseSizes("1, 3,swl,3"), (std::vector<int>{1, 3, 0}));
    EXPECT_THROW(parseSizes("0"), std::invalid_argument);
    EXPECT_THROW(parseSizes("11"), std::invalid_argument);
}

// Stations SP1XYZ, SP2XYZ, ... with `qsos` QSOs each, the station's number as the day of every date.
test::OwnedRecords stations(int count, int qsos)
{
    std::vector<std::vector<std::string>> rows;
    for (int s = 1; s <= count; ++s)
        for (int q = 0; q < qsos; ++q)
            rows.push_back({"SP" + std::to_string(s) + "XYZ",
                            "2024-0" + std::to_string(q + 1) + "-" + (s < 10 ? "0" : "") + std::to_string(s), "12:00",
                            "20M", "CW", "599", s % 2 ? "Y" : "", s == 1 ? "DL9QSL" : ""});
    return test::OwnedRecords({"CALL", "QSO_DATE", "TIME_ON", "BAND", "MODE", "RST_SENT", "QSL_RCVD", "QSL_VIA"}, rows);
}

TEST(MainDocuments, ASheetLaidOutExactlyThatTheMergeFillsLabelByLabel)
{
    TempDir dir;
    MainDocumentRequest r;
    r.stock = customStock(parseCustomGrid("A4,2,7,99.1,38.1,4.65,15.15,101.6,38.1"));
    r.folder = dir.path();
    r.sizes = {2, 0};
    r.ownCall = "SP3KXQ";
    const auto made = makeMainDocuments(r);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(made[0].filename(), "card_2.docx");
    EXPECT_EQ(made[1].filename(), "card_swl.docx");

    // The page and the table put every label where the stock has it (in twips).
    const std::string xml = readZip(made[0]).entries.at("word/document.xml");
    EXPECT_NE(xml.find("<w:pgSz w:w=\"11906\" w:h=\"16838\"/>"), std::string::npos);
    EXPECT_NE(xml.find("w:top=\"859\""), std::string::npos);  // 15.15 mm
    EXPECT_NE(xml.find("w:left=\"264\""), std::string::npos); // 4.65 mm
    EXPECT_NE(xml.find("<w:gridCol w:w=\"5618\"/><w:gridCol w:w=\"142\"/><w:gridCol w:w=\"5618\"/>"),
              std::string::npos); // 99.1 mm, a 2.5 mm gap, 99.1 mm
    EXPECT_NE(xml.find("<w:trHeight w:val=\"2160\" w:hRule=\"exact\"/>"), std::string::npos); // 38.1 mm

    // Merged: each label holds its own station's two QSOs, every station once, in order, the sheet full.
    const auto records = stations(15, 2);
    mergeDocx(readZip(made[0]), records, dir / "labels.docx", {});
    const std::string text = test::documentText(dir / "labels.docx");
    std::size_t at = 0;
    for (int s = 1; s <= 15; ++s) {
        const std::string call = "To Radio SP" + std::to_string(s) + "XYZ";
        const std::size_t found = text.find(call, at);
        ASSERT_NE(found, std::string::npos) << call << "\n" << text;
        const std::size_t end = text.find("73 de SP3KXQ", found);
        const std::string label = text.substr(found, end - found);
        const std::string day = (s < 10 ? "-0" : "-") + std::to_string(s);
        EXPECT_NE(label.find("2024-01" + day), std::string::npos) << label;
        EXPECT_NE(label.find("2024-02" + day), std::string::npos) << label;
        EXPECT_EQ(label.find("via DL9QSL") != std::string::npos, s == 1) << label;
        EXPECT_NE(label.find(s % 2 ? "TNX QSL" : "PSE QSL"), std::string::npos) << label;
        at = end;
    }
    EXPECT_EQ(text.find("SP16XYZ"), std::string::npos);
    EXPECT_EQ(text.find("MERGEFIELD"), std::string::npos);
}

// A merged label repeats its text, not its formatting: that lives once, in named styles (and the grid).
TEST(MainDocuments, MergedLabelsRepeatOnlyTheirText)
{
    for (const MainDocumentFormat format : {MainDocumentFormat::Docx, MainDocumentFormat::Odt}) {
        const bool docx = format == MainDocumentFormat::Docx;
        SCOPED_TRACE(docx ? "docx" : "odt");
        TempDir dir;
        MainDocumentRequest r;
        r.stock = customStock(parseCustomGrid("A4,2,7,99.1,38.1,4.65,15.15,101.6,38.1"));
        r.folder = dir.path();
        r.sizes = {3};
        r.format = format;
        const ZipContents main = readZip(makeMainDocuments(r).at(0));
        // Bytes per label: one sheet against three.
        std::size_t bytes[2] = {};
        for (int sheets : {1, 3}) {
            const auto records = stations(14 * sheets, 3);
            const auto out = dir / (std::to_string(sheets) + (docx ? ".docx" : ".odt"));
            if (docx)
                mergeDocx(main, records, out, {});
            else
                mergeOdt(main, records, out, {});
            bytes[sheets / 3] = readZip(out).entries.at(docx ? "word/document.xml" : "content.xml").size();
        }
        const std::size_t perLabel = (bytes[1] - bytes[0]) / 28;
        EXPECT_LT(perLabel, 2500u); // with the formatting in every label, about 5,400 (.docx) and 3,600 (.odt)
        const std::string body =
            readZip(dir / (docx ? "3.docx" : "3.odt")).entries.at(docx ? "word/document.xml" : "content.xml");
        for (const std::string repeated : {"<w:rPr>", "<w:tblBorders>", "office:value-type",
                                           "table:style-name=\"Qsos.Cell\"", "text:style-name=\"N100\""}) {
            std::size_t n = 0;
            for (std::size_t at = body.find(repeated); at != std::string::npos; at = body.find(repeated, at + 1))
                ++n;
            EXPECT_LE(n, 3u) << repeated; // in a .docx, the last paragraph of each sheet has its own
        }
    }
}

TEST(MainDocuments, StartPositionOnTableSheetsAndFrameSheets)
{
    for (const MainDocumentFormat format : {MainDocumentFormat::Docx, MainDocumentFormat::Odt}) {
        SCOPED_TRACE(format == MainDocumentFormat::Docx ? "docx" : "odt");
        TempDir dir;
        MainDocumentRequest r;
        r.stock = customStock(parseCustomGrid("A4,2,3,99,90,6,10,99,90"));
        r.folder = dir.path();
        r.sizes = {1};
        r.format = format;
        const auto made = makeMainDocuments(r);
        const auto records = stations(5, 1);
        MergeOptions options;
        options.blankLabels = 3; // start at label 4 of 6
        std::vector<std::string> labels;
        if (format == MainDocumentFormat::Docx) {
            mergeDocx(readZip(made[0]), records, dir / "out.docx", {}, options);
            const std::string text = test::documentText(dir / "out.docx");
            for (std::size_t at = text.find("To Radio"); at != std::string::npos; at = text.find("To Radio", at + 1))
                labels.push_back(text.substr(at + 9, text.find('\n', at) - at - 9));
            // Sheet 1: three places empty, then SP1 to SP3; sheet 2: SP4, SP5.
            EXPECT_EQ(text.find("To Radio"), text.find_first_not_of('\n')) << "nothing before: blank places are empty";
        } else {
            mergeOdt(readZip(made[0]), records, dir / "out.odt", {}, options);
            const std::string content = readZip(dir / "out.odt").entries.at("content.xml");
            const std::string title = "To Radio<text:s/>";
            for (std::size_t at = content.find(title); at != std::string::npos; at = content.find(title, at + 1)) {
                const std::size_t page = content.rfind("text:anchor-page-number=\"", at);
                const std::size_t call = at + title.size();
                labels.push_back(content.substr(page + 25, 1) + " " +
                                 content.substr(call, content.find('<', call) - call));
            }
        }
        const std::vector<std::string> expected =
            format == MainDocumentFormat::Docx
                ? std::vector<std::string>{"SP1XYZ", "SP2XYZ", "SP3XYZ", "SP4XYZ", "SP5XYZ"}
                : std::vector<std::string>{"1 SP1XYZ", "1 SP2XYZ", "1 SP3XYZ", "2 SP4XYZ", "2 SP5XYZ"};
        EXPECT_EQ(labels, expected);
    }
}

TEST(MainDocuments, ExistingDocumentsStayWhenTheWholeSetCannotBeMade)
{
    TempDir dir;
    MainDocumentRequest r;
    r.stock = customStock(parseCustomGrid("A4,2,7,99.1,38.1,4.65,15.15,101.6,38.1"));
    r.folder = dir.path();
    r.sizes = {1, 2, 3};
    dir.write("card_1.docx", "the user's own document");
    std::filesystem::create_directories(dir / "card_3.docx"); // in the way
    EXPECT_THROW(makeMainDocuments(r), MainDocumentError);
    EXPECT_EQ(test::readFile(dir / "card_1.docx"), "the user's own document");
    EXPECT_FALSE(std::filesystem::exists(dir / "card_2.docx"));
    // Nothing half-made is left behind.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 2u);

    // A folder that is not there yet is made; a file in its place is no folder.
    r.folder = dir / "new" / "folder";
    r.sizes = {1};
    EXPECT_EQ(makeMainDocuments(r), std::vector<std::filesystem::path>{dir / "new" / "folder" / "card_1.docx"});
    r.folder = dir.write("a-file", "");
    EXPECT_THROW(makeMainDocuments(r), MainDocumentError);
    // Several blocks of labels cannot be one Word table; .odt frames hold them.
    r.folder = dir.path();
    r.sizes = {1};
    r.stock.layouts.push_back({1, 1, 0, 0, 0, 0});
    r.stock.layouts[0].ny = 6; // room for the extra label at the top left? no: it overlaps the first
    EXPECT_THROW(checkRequest(r), MainDocumentError);
}

} // namespace
} // namespace cardmill
