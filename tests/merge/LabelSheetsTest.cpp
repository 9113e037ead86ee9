// Label sheets made the way users make them, merged by our engine and by LibreOffice's own mail merge (through
// its UNO API), compared label place by label place on the printed pages. Runs when CARDMILL_REAL_CLIENTS is set
// and LibreOffice, its Python bridge and poppler-utils are installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "DocxFixtures.h"
#include "merge/BuiltInLabelMaker.h"
#include "support/RealClients.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::readFile;
using test::runQuietly;
using test::shellQuote;
using test::TempDir;

const std::string kScript = test::libreOfficeScript();

int pages(const std::filesystem::path& pdf)
{
    const std::filesystem::path info = std::filesystem::path(pdf).replace_extension(".info");
    std::system(("pdfinfo " + shellQuote(pdf.string()) + " >" + shellQuote(info.string())).c_str());
    const std::string text = readFile(info);
    const std::size_t at = text.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 6);
}

// The words in a rectangle of a page (millimetres from the top left), blanks and line ends made single blanks.
std::string textIn(const std::filesystem::path& pdf, int page, double x, double y, double w, double h)
{
    auto pt = [](double mm) { return std::to_string(static_cast<int>(std::lround(mm * 72 / 25.4))); };
    const std::filesystem::path out = std::filesystem::path(pdf).replace_extension(".label");
    std::system(("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " -x " + pt(x) + " -y " +
                 pt(y) + " -W " + pt(w) + " -H " + pt(h) + " " + shellQuote(pdf.string()) + " " +
                 shellQuote(out.string()))
                    .c_str());
    std::string words;
    for (char c : readFile(out)) {
        const bool blank = c == ' ' || c == '\n' || c == '\f' || c == '\r';
        if (blank && (words.empty() || words.back() == ' '))
            continue;
        words += blank ? ' ' : c;
    }
    while (!words.empty() && words.back() == ' ')
        words.pop_back();
    return words;
}

struct Sheet {
    const char* name;
    int columns, rows;
    double width, height, left, top, hpitch, vpitch;
    int qsos;
    bool savedTwice;
};

// Stations with `qsos` QSOs each but the last, which has one: a ragged last label when qsos > 1. Each station's
// QSOs carry its number in their date, so a QSO on another station's label shows.
test::OwnedRecords stations(int count, int qsos)
{
    std::vector<std::vector<std::string>> rows;
    for (int s = 1; s <= count; ++s)
        for (int q = 0; q < (s == count ? 1 : qsos); ++q) {
            const auto two = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
            rows.push_back({"SP" + std::to_string(s) + "XYZ", "2024-" + two(1 + q) + "-" + two(s),
                            "1" + std::to_string(q) + ":" + two(s), q % 2 ? "40M" : "20M"});
        }
    return test::OwnedRecords({"CALL", "QSO_DATE", "TIME_ON", "BAND"}, rows);
}

TEST(RealClients, LibreOfficeLabelSheetsMergeAsLibreOfficeMergesThem)
{
    if (!test::haveRealClients(true))
        GTEST_SKIP() << "set CARDMILL_REAL_CLIENTS and install LibreOffice, python3-uno and poppler-utils";
    // Avery L7160 (A4, 3 x 7) and L7163 (A4, 2 x 7), as LibreOffice's Labels command lays them out.
    const std::vector<Sheet> sheets{
        {"l7160", 3, 7, 63.5, 38.1, 7.2, 15.15, 66.04, 38.1, 1, false},
        {"l7160-saved-twice", 3, 7, 63.5, 38.1, 7.2, 15.15, 66.04, 38.1, 1, true},
        {"l7163-two-qsos", 2, 7, 99.1, 38.1, 4.65, 15.15, 101.6, 38.1, 2, false},
    };
    for (const Sheet& s : sheets) {
        SCOPED_TRACE(s.name);
        TempDir dir;
        const std::string table = "log_" + std::to_string(s.qsos);
        const std::filesystem::path main = dir / "card.odt";
        char geometry[256];
        std::snprintf(geometry, sizeof geometry, " %d %d %.2f %.2f %.2f %.2f %.2f %.2f %d", s.columns, s.rows, s.width,
                      s.height, s.left, s.top, s.hpitch, s.vpitch, s.qsos);
        runQuietly("/usr/bin/python3 " + kScript + " labels " + shellQuote((dir / "made.odt").string()) + geometry);
        if (s.savedTwice)
            runQuietly("/usr/bin/python3 " + kScript + " resave " + shellQuote((dir / "made.odt").string()) + " " +
                       shellQuote(main.string()));
        else
            std::filesystem::rename(dir / "made.odt", main);

        // A sheet and a half of labels.
        const int labels = s.columns * s.rows * 3 / 2;
        const auto records = stations(labels, s.qsos);
        std::filesystem::create_directories(dir / "data");
        {
            std::ofstream csv(dir / "data" / (table + ".txt"), std::ios::binary);
            csv << "\"CALL\",\"QSO_DATE\",\"TIME_ON\",\"BAND\"\r\n";
            const PassRecords& r = records;
            for (std::size_t i = 0; i < r.size(); ++i) {
                for (std::size_t c = 0; c < 4; ++c)
                    csv << (c ? "," : "") << '"' << r.value(i, c) << '"';
                csv << "\r\n";
            }
        }
        BuiltInLabelMaker maker;
        std::vector<MergeWarning> warnings;
        ASSERT_TRUE(maker.make(records, main, dir / "ours.odt", {}, {}, warnings));
        EXPECT_TRUE(warnings.empty());
        runQuietly("/usr/bin/python3 " + kScript + " merge " + shellQuote(main.string()) + " " +
                   shellQuote((dir / "data").string()) + " " + table + " " + shellQuote((dir / "theirs.odt").string()));
        runQuietly("cd " + shellQuote(dir.path().string()) +
                   " && timeout 300 soffice --headless --norestore "
                   "-env:UserInstallation=file://" +
                   (dir / "profile").string() + " --convert-to pdf ours.odt theirs.odt");

        const int count = pages(dir / "ours.pdf");
        ASSERT_EQ(count, pages(dir / "theirs.pdf"));
        EXPECT_EQ(count, 2);
        int filled = 0;
        for (int page = 1; page <= count; ++page)
            for (int place = 0; place < s.columns * s.rows; ++place) {
                const double x = s.left + (place % s.columns) * s.hpitch, y = s.top + (place / s.columns) * s.vpitch;
                const std::string ours = textIn(dir / "ours.pdf", page, x + 0.5, y + 0.5, s.width - 1, s.height - 1);
                const std::string theirs =
                    textIn(dir / "theirs.pdf", page, x + 0.5, y + 0.5, s.width - 1, s.height - 1);
                EXPECT_EQ(ours, theirs) << "page " << page << ", label " << place + 1;
                if (ours.empty())
                    continue;
                ++filled;
                // Every QSO on a label is the label's own station's (its number is the day of the date).
                const std::string call = ours.substr(9, ours.find(' ', 9) - 9);
                const std::string day = call.substr(2, call.size() - 5);
                for (std::size_t at = ours.find("2024-"); at != std::string::npos; at = ours.find("2024-", at + 1))
                    EXPECT_EQ(std::atoi(ours.c_str() + at + 8), std::atoi(day.c_str())) << ours;
            }
        EXPECT_EQ(filled, labels);
    }
}

TEST(RealClients, ASheetThatFillsItsPageTakesOnePagePerCopy)
{
    if (!test::haveRealClients(true))
        GTEST_SKIP() << "set CARDMILL_REAL_CLIENTS and install LibreOffice, python3-uno and poppler-utils";
    TempDir dir;
    // 2 x 5 labels filling an A4 page under a 6 mm top margin with no bottom margin; the body ends in the table.
    std::string rows;
    for (int r = 0; r < 5; ++r) {
        std::string cells;
        for (int c = 0; c < 2; ++c)
            cells += "<w:tc><w:tcPr><w:tcW w:w=\"5953\" w:type=\"dxa\"/></w:tcPr>" +
                     test::para((r + c ? test::simpleField(" NEXT ") : "") + test::text("To ") +
                                test::simpleField(" MERGEFIELD CALL ")) +
                     "</w:tc>";
        rows += "<w:tr><w:trPr><w:trHeight w:val=\"3299\" w:hRule=\"exact\"/></w:trPr>" + cells + "</w:tr>";
    }
    const std::string body = "<w:tbl><w:tblPr><w:tblW w:w=\"11906\" w:type=\"dxa\"/><w:tblLayout w:type=\"fixed\"/>"
                             "</w:tblPr><w:tblGrid><w:gridCol w:w=\"5953\"/><w:gridCol w:w=\"5953\"/></w:tblGrid>" +
                             rows +
                             "</w:tbl><w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"340\" "
                             "w:right=\"0\" w:bottom=\"0\" w:left=\"0\" w:header=\"0\" w:footer=\"0\" w:gutter=\"0\"/>"
                             "</w:sectPr>";
    test::writeDocx(dir / "card_1.docx", body);
    std::vector<std::vector<std::string>> calls;
    for (int i = 1; i <= 25; ++i)
        calls.push_back({"SP" + std::to_string(i) + "A"});
    const test::OwnedRecords records({"CALL"}, calls);
    BuiltInLabelMaker maker;
    std::vector<MergeWarning> warnings;
    ASSERT_TRUE(maker.make(records, dir / "card_1.docx", dir / "labels.docx", {}, {}, warnings));
    runQuietly("cd " + shellQuote(dir.path().string()) +
               " && timeout 300 soffice --headless --norestore "
               "-env:UserInstallation=file://" +
               (dir / "profile").string() + " --convert-to pdf card_1.docx labels.docx");
    ASSERT_EQ(pages(dir / "card_1.pdf"), 1);
    EXPECT_EQ(pages(dir / "labels.pdf"), 3); // 25 labels, three sheets, no blank page between them
    EXPECT_NE(textIn(dir / "labels.pdf", 3, 0, 6, 210, 291).find("SP25A"),
              std::string::npos); // the last sheet holds the last label
}

TEST(RealClients, OpenDocumentConditionsDecideAsLibreOfficeDecides)
{
    if (!test::haveRealClients(true))
        GTEST_SKIP() << "set CARDMILL_REAL_CLIENTS and install LibreOffice, python3-uno and poppler-utils";
    TempDir dir;
    runQuietly("/usr/bin/python3 " + kScript + " conditions " + shellQuote((dir / "card.odt").string()));
    const std::vector<std::string> columns{"CALL", "QSL_RCVD", "QSL_VIA", "CONTEST_ID", "BAND"};
    const std::vector<std::vector<std::string>> rows{
        {"SP1A", "Y", "", "", "20M"},
        {"SP2B", "N", "SP9ZZ", "CQ-WW-CW", "40M"},
        {"SP3C", "", "DL1ABC", "SPDX", "10M"},
        {"SP4D", "Y", "", "SPDX", "15M"},
    };
    const test::OwnedRecords records(columns, rows);
    std::filesystem::create_directories(dir / "data");
    {
        std::ofstream csv(dir / "data" / "log_1.txt", std::ios::binary);
        for (std::size_t c = 0; c < columns.size(); ++c)
            csv << (c ? "," : "") << '"' << columns[c] << '"';
        csv << "\r\n";
        for (const auto& row : rows) {
            for (std::size_t c = 0; c < row.size(); ++c)
                csv << (c ? "," : "") << '"' << row[c] << '"';
            csv << "\r\n";
        }
    }
    BuiltInLabelMaker maker;
    std::vector<MergeWarning> warnings;
    ASSERT_TRUE(maker.make(records, dir / "card.odt", dir / "ours.odt", {}, {}, warnings));
    runQuietly("/usr/bin/python3 " + kScript + " merge " + shellQuote((dir / "card.odt").string()) + " " +
               shellQuote((dir / "data").string()) + " log_1 " + shellQuote((dir / "theirs.odt").string()));
    runQuietly("cd " + shellQuote(dir.path().string()) +
               " && timeout 300 soffice --headless --norestore "
               "-env:UserInstallation=file://" +
               (dir / "profile").string() + " --convert-to pdf ours.odt theirs.odt");
    ASSERT_EQ(pages(dir / "ours.pdf"), 4);
    ASSERT_EQ(pages(dir / "theirs.pdf"), 4);
    for (int page = 1; page <= 4; ++page) {
        const std::string ours = textIn(dir / "ours.pdf", page, 0, 0, 210, 297);
        EXPECT_EQ(ours, textIn(dir / "theirs.pdf", page, 0, 0, 210, 297)) << "page " << page;
        EXPECT_NE(ours.find(rows[page - 1][0]), std::string::npos) << ours;
    }
}

} // namespace
} // namespace cardmill
