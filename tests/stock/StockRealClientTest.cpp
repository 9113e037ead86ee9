// Main documents made for a stock, merged by our engine and printed by LibreOffice: every word of every label
// lies inside its label on the sheet, each station is on one label with its own QSOs, and LibreOffice's own
// merge of the .odt gives the same labels. Runs when CARDMILL_REAL_CLIENTS is set and LibreOffice, its Python
// bridge and poppler-utils are installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

#include "merge/BuiltInLabelMaker.h"
#include "stock/MainDocuments.h"
#include "support/RealClients.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::runQuietly;
using test::shellQuote;
using test::TempDir;

const std::string kScript = test::libreOfficeScript();

struct Word {
    int page = 0;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0; // points from the page's top left
    std::string text;
};

double number(const std::string& s, const char* name, std::size_t from)
{
    const std::size_t at = s.find(std::string(name) + "=\"", from);
    return at == std::string::npos ? 0 : std::atof(s.c_str() + at + std::strlen(name) + 2);
}

// The words of a PDF with their boxes, as pdftotext -bbox gives them.
std::vector<Word> words(const std::filesystem::path& pdf, int& pages)
{
    const std::filesystem::path html = std::filesystem::path(pdf).replace_extension(".html");
    std::system(("pdftotext -bbox " + shellQuote(pdf.string()) + " " + shellQuote(html.string())).c_str());
    const std::string s = test::readFile(html);
    std::vector<Word> out;
    pages = 0;
    std::size_t nextPage = s.find("<page ");
    for (std::size_t at = s.find("<word "); at != std::string::npos; at = s.find("<word ", at + 1)) {
        while (nextPage != std::string::npos && nextPage < at) {
            ++pages;
            nextPage = s.find("<page ", nextPage + 1);
        }
        const std::size_t open = s.find('>', at), close = s.find("</word>", at);
        out.push_back({pages, number(s, "xMin", at), number(s, "yMin", at), number(s, "xMax", at),
                       number(s, "yMax", at), s.substr(open + 1, close - open - 1)});
    }
    while (nextPage != std::string::npos) {
        ++pages;
        nextPage = s.find("<page ", nextPage + 1);
    }
    return out;
}

// The text of each label place ("page/place" -> its words line by line, left to right); a word outside every
// label fails.
std::map<std::pair<int, std::size_t>, std::string> labelTexts(const std::filesystem::path& pdf, const LabelStock& stock,
                                                              int& pages)
{
    const std::vector<LabelRect> places = stock.places();
    const double tolerance = 0.5 * kPointsPerMm;
    std::map<std::pair<int, std::size_t>, std::vector<Word>> byPlace;
    for (const Word& w : words(pdf, pages)) {
        std::size_t place = places.size();
        for (std::size_t i = 0; i < places.size(); ++i) {
            const LabelRect& p = places[i];
            if (w.x0 >= p.x - tolerance && w.y0 >= p.y - tolerance && w.x1 <= p.x + p.width + tolerance &&
                w.y1 <= p.y + p.height + tolerance)
                place = i;
        }
        EXPECT_LT(place, places.size()) << "\"" << w.text << "\" on page " << w.page << " at " << w.x0 << "," << w.y0
                                        << " lies outside every label";
        byPlace[{w.page, place}].push_back(w);
    }
    std::map<std::pair<int, std::size_t>, std::string> out;
    for (auto& [place, list] : byPlace) {
        // Reading order: words whose middles are within 2 pt share a line.
        std::sort(list.begin(), list.end(), [](const Word& a, const Word& b) {
            const double ya = (a.y0 + a.y1) / 2, yb = (b.y0 + b.y1) / 2;
            return std::fabs(ya - yb) > 2 ? ya < yb : a.x0 < b.x0;
        });
        std::string& text = out[place];
        for (const Word& w : list)
            text += (text.empty() ? "" : " ") + w.text;
    }
    return out;
}

test::OwnedRecords stations(int count, int qsos, const std::filesystem::path& csv)
{
    const std::vector<std::string> columns{"CALL", "QSO_DATE", "TIME_ON",  "BAND",
                                           "MODE", "RST_SENT", "QSL_RCVD", "QSL_VIA"};
    std::vector<std::vector<std::string>> rows;
    for (int s = 1; s <= count; ++s)
        for (int q = 0; q < qsos; ++q)
            rows.push_back({"SP" + std::to_string(s) + "XYZ",
                            "2024-0" + std::to_string(q + 1) + "-" + (s < 10 ? "0" : "") + std::to_string(s),
                            "1" + std::to_string(q) + ":05", q ? "40M" : "20M", "CW", "599", s % 3 ? "" : "Y",
                            s % 4 ? "" : "DL9QSL"});
    std::ofstream out(csv, std::ios::binary);
    for (std::size_t c = 0; c < columns.size(); ++c)
        out << (c ? "," : "") << '"' << columns[c] << '"';
    out << "\r\n";
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c)
            out << (c ? "," : "") << '"' << row[c] << '"';
        out << "\r\n";
    }
    return test::OwnedRecords(columns, rows);
}

TEST(RealClients, MainDocumentsForAStockPrintEveryLabelInsideItsLabel)
{
    if (!test::haveRealClients(true))
        GTEST_SKIP() << "set CARDMILL_REAL_CLIENTS and install LibreOffice, python3-uno and poppler-utils";
    struct Case {
        const char* name;
        const char* grid;
        MainDocumentFormat format;
    };
    // Avery L7163 (A4, 2 x 7) and Avery 5160 (US Letter, 3 x 10), in both formats.
    for (const Case& c :
         {Case{"l7163-docx", "A4,2,7,99.1,38.1,4.65,15.15,101.6,38.1", MainDocumentFormat::Docx},
          Case{"l7163-odt", "A4,2,7,99.1,38.1,4.65,15.15,101.6,38.1", MainDocumentFormat::Odt},
          Case{"5160-docx", "US-Letter,3,10,66.675,25.4,4.7625,12.7,69.85,25.4", MainDocumentFormat::Docx},
          Case{"5160-odt", "US-Letter,3,10,66.675,25.4,4.7625,12.7,69.85,25.4", MainDocumentFormat::Odt}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        MainDocumentRequest r;
        r.stock = customStock(parseCustomGrid(c.grid));
        r.folder = dir.path();
        r.format = c.format;
        r.sizes = {2};
        r.ownCall = "SP3KXQ";
        const std::filesystem::path main = makeMainDocuments(r).front();
        const std::string ext = c.format == MainDocumentFormat::Docx ? ".docx" : ".odt";
        const int perSheet = static_cast<int>(r.stock.labelsPerSheet());
        const int count = perSheet * 3 / 2;
        std::filesystem::create_directories(dir / "data");
        const auto records = stations(count, 2, dir / "data" / "card_2.txt");

        BuiltInLabelMaker maker;
        std::vector<MergeWarning> warnings;
        ASSERT_TRUE(maker.make(records, main, dir / ("ours" + ext), {}, {}, warnings));
        EXPECT_TRUE(warnings.empty());
        runQuietly("cd " + shellQuote(dir.path().string()) +
                   " && timeout 300 soffice --headless --norestore "
                   "-env:UserInstallation=file://" +
                   (dir / "profile").string() + " --convert-to pdf ours" + ext);
        int pages = 0;
        const auto ours = labelTexts(dir / "ours.pdf", r.stock, pages);
        EXPECT_EQ(pages, 2);
        // Each station once, in place order, with its own two QSOs and nothing else.
        int station = 0;
        for (const auto& [place, text] : ours) {
            ++station;
            const std::string call = "SP" + std::to_string(station) + "XYZ";
            EXPECT_EQ(text.rfind("To Radio " + call, 0), 0u) << text;
            const std::string day = (station < 10 ? "-0" : "-") + std::to_string(station);
            EXPECT_NE(text.find("2024-01" + day + " 10:05 20M"), std::string::npos) << text;
            EXPECT_NE(text.find("2024-02" + day + " 11:05 40M"), std::string::npos) << text;
            EXPECT_EQ(text.find("2024-0", text.find("2024-02") + 1), std::string::npos) << text;
            EXPECT_NE(text.find(station % 3 ? "PSE QSL" : "TNX QSL"), std::string::npos) << text;
            EXPECT_EQ(text.find("via DL9QSL") != std::string::npos, station % 4 == 0) << text;
            EXPECT_NE(text.find("73 de SP3KXQ"), std::string::npos) << text;
            EXPECT_EQ(place.first, (station - 1) / perSheet + 1);
            EXPECT_EQ(place.second, static_cast<std::size_t>((station - 1) % perSheet));
        }
        EXPECT_EQ(station, count);

        if (c.format == MainDocumentFormat::Odt) {
            // LibreOffice's own mail merge of the same main document gives the same labels.
            runQuietly("/usr/bin/python3 " + kScript + " merge " + shellQuote(main.string()) + " " +
                       shellQuote((dir / "data").string()) + " card_2 " + shellQuote((dir / "theirs.odt").string()));
            runQuietly("cd " + shellQuote(dir.path().string()) +
                       " && timeout 300 soffice --headless --norestore "
                       "-env:UserInstallation=file://" +
                       (dir / "profile").string() + " --convert-to pdf theirs.odt");
            int theirPages = 0;
            const auto theirs = labelTexts(dir / "theirs.pdf", r.stock, theirPages);
            EXPECT_EQ(theirPages, pages);
            // Label for label the same. After the last record LibreOffice prints the labels' literal text, which
            // our merge leaves out so that the sheet can go through the printer again.
            for (const auto& [place, text] : theirs) {
                const auto mine = ours.find(place);
                if (mine != ours.end())
                    EXPECT_EQ(text, mine->second);
                else
                    EXPECT_EQ(text.find("To Radio"), std::string::npos) << text;
            }
            EXPECT_GE(theirs.size(), ours.size());
        }
    }
}

TEST(RealClients, TextKeepsClearOfLabelAndPaperEdgesOnEdgeToEdgeSheets)
{
    if (!test::haveRealClients(true))
        GTEST_SKIP() << "set CARDMILL_REAL_CLIENTS and install LibreOffice, python3-uno and poppler-utils";
    // Zweckform 3474 (labels to the paper's edges) and 3475 (labels 0.15 mm wider than A4 together).
    for (const char* grid : {"A4,3,8,70,37,0,0,70,37", "A4,3,8,70.05,36.03,0,4.43,70.05,36.03"})
        for (const MainDocumentFormat format : {MainDocumentFormat::Docx, MainDocumentFormat::Odt}) {
            SCOPED_TRACE(std::string(grid) + (format == MainDocumentFormat::Docx ? " docx" : " odt"));
            TempDir dir;
            MainDocumentRequest r;
            r.stock = customStock(parseCustomGrid(grid));
            r.stock.markupMargin = 0; // as gLabels gives these sheets
            r.folder = dir.path();
            r.format = format;
            r.sizes = {1};
            r.ownCall = "SP3KXQ";
            const std::filesystem::path main = makeMainDocuments(r).front();
            const std::string ext = main.extension().string();
            std::filesystem::create_directories(dir / "data");
            const auto records = stations(static_cast<int>(r.stock.labelsPerSheet()), 1, dir / "data" / "card_1.txt");
            BuiltInLabelMaker maker;
            std::vector<MergeWarning> warnings;
            ASSERT_TRUE(maker.make(records, main, dir / ("ours" + ext), {}, {}, warnings));
            runQuietly("cd " + shellQuote(dir.path().string()) +
                       " && timeout 300 soffice --headless --norestore "
                       "-env:UserInstallation=file://" +
                       (dir / "profile").string() + " --convert-to pdf ours" + ext);
            int pages = 0;
            const std::vector<Word> all = words(dir / "ours.pdf", pages);
            EXPECT_EQ(pages, 1);
            ASSERT_FALSE(all.empty());
            const std::vector<LabelRect> places = r.stock.placesOnPaper();
            const double slack = 0.2 * kPointsPerMm; // the glyphs' side bearings and rounding
            for (const Word& w : all) {
                EXPECT_GE(std::min({w.x0, w.y0, r.stock.paperWidth - w.x1, r.stock.paperHeight - w.y1}),
                          kPaperEdgeClearance - slack)
                    << "\"" << w.text << "\" at " << w.x0 << "," << w.y0;
                bool inside = false;
                for (const LabelRect& p : places)
                    inside = inside || (w.x0 >= p.x + kMinTextInset - slack && w.y0 >= p.y + kMinTextInset - slack &&
                                        w.x1 <= p.x + p.width - kMinTextInset + slack &&
                                        w.y1 <= p.y + p.height - kMinTextInset + slack);
                EXPECT_TRUE(inside) << "\"" << w.text << "\" at " << w.x0 << "," << w.y0
                                    << " is not 1.5 mm inside a label";
            }
        }
}

} // namespace
} // namespace cardmill
