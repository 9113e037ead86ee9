// --list-stocks and --make-main-docs as a user meets them: what they print, what they make, what they refuse.
#include "cli/StockCommands.h"

#include <gtest/gtest.h>

#include <sstream>

#include "merge/Zip.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::TempDir;

struct Outcome {
    int code = -1;
    std::string out, err;
};

struct Stocks {
    TempDir dir;
    StockCatalogue catalogue;
    explicit Stocks(bool installed = true)
    {
        std::filesystem::create_directories(dir / "db");
        if (installed)
            dir.write("db/acme-templates.xml", R"(<Glabels-templates>
              <Template brand="Acme" part="L7163" size="A4" _description="Mailing labels">
                <Label-rectangle id="0" width="99.1mm" height="38.1mm"><Markup-margin size="5"/>
                <Layout nx="2" ny="7" x0="4.65mm" y0="15.15mm" dx="101.6mm" dy="38.1mm"/></Label-rectangle>
              </Template>
              <Template brand="Acme" part="Tiny" size="A4" _description="Price tags">
                <Label-rectangle id="0" width="20mm" height="10mm">
                <Layout nx="9" ny="27" x0="5mm" y0="5mm" dx="22mm" dy="10.5mm"/></Label-rectangle>
              </Template></Glabels-templates>)");
        catalogue.load({dir / "db"}, {});
    }
    Outcome run(StockTask task) const
    {
        if (task.settings.empty())
            task.settings = dir / "cardmill.ini";
        std::ostringstream out, err;
        Outcome r;
        r.code = runStockTask(task, catalogue, out, err);
        r.out = out.str();
        r.err = err.str();
        return r;
    }
};

StockTask make(const std::filesystem::path& folder, const std::string& stock)
{
    StockTask t;
    t.kind = StockTask::Kind::Make;
    t.folder = folder;
    t.stock = stock;
    return t;
}

TEST(StockCommands, ListsMatchingStocksOneLineEach)
{
    const Stocks s;
    StockTask t;
    t.kind = StockTask::Kind::List;
    t.search = "acme mailing";
    const Outcome r = s.run(t);
    EXPECT_EQ(r.code, ExitDone);
    EXPECT_EQ(r.out, "Acme L7163  A4  2 x 7      99.1 x 38.1 mm     Mailing labels\n");
    t.search = "avery";
    EXPECT_NE(s.run(t).err.find("No rectangular label stock matches \"avery\""), std::string::npos);

    const Stocks none(false);
    t.search.clear();
    const Outcome missing = none.run(t);
    EXPECT_EQ(missing.code, ExitDone);
    EXPECT_NE(missing.err.find("glabels-data"), std::string::npos);
}

TEST(StockCommands, MakesEverySizeThatFitsAndRefusesWhatDoesNot)
{
    const Stocks s;
    TempDir out;
    StockTask t = make(out.path(), "acme l7163");
    t.ownCall = "SP3KXQ";
    Outcome r = s.run(t);
    ASSERT_EQ(r.code, ExitDone) << r.err;
    EXPECT_NE(r.out.find("card_1.docx"), std::string::npos);
    EXPECT_NE(r.out.find("card_swl.docx"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(out / "card_7.docx"));
    EXPECT_FALSE(std::filesystem::exists(out / "card_10.docx")); // too many rows for 38 mm
    EXPECT_NE(r.err.find("hold at most 7 QSOs"), std::string::npos) << r.err;

    // Documents that are there stay unless --replace.
    test::readFile(out / "card_1.docx");
    r = s.run(t);
    EXPECT_EQ(r.code, ExitPrecondition);
    EXPECT_NE(r.err.find("--replace"), std::string::npos);
    t.replace = true;
    EXPECT_EQ(s.run(t).code, ExitDone);

    // A size asked for that does not fit: nothing is made, and the largest that fits is named.
    TempDir other;
    StockTask tiny = make(other.path(), "Acme Tiny");
    tiny.sizes = "1";
    r = s.run(tiny);
    EXPECT_EQ(r.code, ExitPrecondition);
    EXPECT_NE(r.err.find("Not even one QSO fits"), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::is_empty(other.path()));

    // Unknown stocks are usage errors; without the database the message names the package.
    EXPECT_EQ(s.run(make(other.path(), "Acme L9999")).code, ExitUsage);
    const Stocks none(false);
    r = none.run(make(other.path(), "Acme L7163"));
    EXPECT_EQ(r.code, ExitPrecondition);
    EXPECT_NE(r.err.find("glabels-data"), std::string::npos);

    // A custom grid needs no database; the own call comes from the settings file when not given.
    none.dir.write("cardmill.ini", "[Program]\nOwn call=dl1abc\n");
    StockTask grid = make(other.path(), "");
    grid.grid = "A4,2,4,99,67.7,6,12.9,99,67.7";
    grid.format = "odt";
    grid.sizes = "3";
    r = none.run(grid);
    ASSERT_EQ(r.code, ExitDone) << r.err;
    EXPECT_TRUE(std::filesystem::exists(other / "card_3.odt"));
    EXPECT_NE(readZip(other / "card_3.odt").entries.at("content.xml").find("73 de DL1ABC"), std::string::npos);
    grid.grid = "A4,2";
    EXPECT_EQ(none.run(grid).code, ExitUsage);
    // A paper of no sane size is refused naming it, nothing made.
    TempDir third;
    grid = make(third.path(), "");
    grid.grid = "1e30x300,1,1,50,20,5,5,0,0";
    r = none.run(grid);
    EXPECT_EQ(r.code, ExitUsage);
    EXPECT_NE(r.err.find("1e+30 mm"), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::is_empty(third.path()));
    // Labels too small to keep 4 mm from the paper's edge: made, with a note.
    grid.grid = "A4,4,12,52.5,24.75,0,0,52.5,24.75";
    grid.sizes.clear(); // every size that fits: the largest fits only nearer the edge
    r = none.run(grid);
    EXPECT_EQ(r.code, ExitDone) << r.err;
    EXPECT_NE(r.err.find("from the paper's edge"), std::string::npos) << r.err;
}

} // namespace
} // namespace cardmill
