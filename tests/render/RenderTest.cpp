// Labels drawn by the program, read back by poppler: every word inside its label, the labels in stream order
// from the start label on, the pages of the stock's paper, the fonts embedded; a stop keeps the older PDF.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <regex>
#include <tuple>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "engine/Failure.h"
#include "render/LabelOutput.h"
#include "render/PrintQueue.h"
#include "stock/LabelStock.h"
#include "stock/MainDocuments.h"
#include "support/PdfReadBack.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::withoutPoppler;
using test::Word;
using test::wordsOf;

// Labels of `qsos` QSOs each, label i to the station "T<i>EST" (a call of its own, to find it on the page).
class Labels : public LabelSource {
public:
    explicit Labels(std::vector<int> qsos)
        : m_qsos(std::move(qsos))
    {
    }
    std::size_t count() const override { return m_qsos.size(); }
    int qsos(std::size_t label) const override { return m_qsos[label]; }
    std::string value(std::size_t label, const std::string& column, int qso) const override
    {
        if (column == "CALL")
            return "T" + std::to_string(label) + "EST";
        if (column == "CALL_WORKED")
            return "OK1EEE";
        if (column == "QSO_DATE")
            return "2024-03-0" + std::to_string(qso + 1);
        if (column == "QSL_RCVD" || column == "QSL_VIA")
            return {};
        return column == "BAND" ? "20M" : column == "MODE" ? "SSB" : column == "TIME_ON" ? "07:05" : "59";
    }

private:
    std::vector<int> m_qsos;
};

TEST(Render, EveryWordLiesInsideItsLabelInStreamOrderFromTheStartLabel)
{
    if (const char* why = withoutPoppler())
        GTEST_SKIP() << why;
    // Avery L7160's grid: 3 x 7 on A4.
    const LabelStock stock = customStock(parseCustomGrid("A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1"));
    const Calibration calibration{1.5, -0.5, 1};
    const SheetRenderer renderer(stock, "SP3KXQ", 20, calibration, 3);
    const Labels labels({1, 3, 0, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3});
    ASSERT_EQ(renderer.pages(labels.count()), 3u); // 2 on the first sheet, 21, then 1
    const test::TempDir dir;
    const auto pdf = dir / "log_labels.pdf";
    ASSERT_EQ(writeLabelsPdf(renderer, labels, pdf), std::optional<std::size_t>(3));

    const std::vector<Word> words = wordsOf(pdf);
    ASSERT_FALSE(words.empty());
    const std::vector<LabelRect> places = stock.places();
    const double dx = calibration.offsetX * kPointsPerMm, dy = calibration.offsetY * kPointsPerMm;
    constexpr double kTolerance = 0.5 * kPointsPerMm;
    std::vector<int> callsSeen;
    for (const Word& w : words) {
        // The word's label: the place that holds its centre.
        const double cx = (w.x0 + w.x1) / 2 - dx, cy = (w.y0 + w.y1) / 2 - dy;
        const LabelRect* in = nullptr;
        std::size_t placeNo = 0;
        for (std::size_t i = 0; i < places.size(); ++i)
            if (cx >= places[i].x && cx <= places[i].x + places[i].width && cy >= places[i].y &&
                cy <= places[i].y + places[i].height) {
                in = &places[i];
                placeNo = i;
            }
        ASSERT_NE(in, nullptr) << w.text << " on page " << w.page;
        EXPECT_GE(w.x0 - dx, in->x - kTolerance) << w.text;
        EXPECT_LE(w.x1 - dx, in->x + in->width + kTolerance) << w.text;
        EXPECT_GE(w.y0 - dy, in->y - kTolerance) << w.text;
        EXPECT_LE(w.y1 - dy, in->y + in->height + kTolerance) << w.text;
        const std::smatch m = [&] {
            std::smatch found;
            std::regex_match(w.text, found, std::regex(R"(T(\d+)EST)"));
            return found;
        }();
        if (!m.empty()) {
            const int label = std::stoi(m[1]);
            callsSeen.push_back(label);
            // Label i stands at place 19 + i of the first sheet, then from the first place of each next sheet.
            const std::size_t expected = label < 2 ? 19 + label : (label - 2) % 21;
            EXPECT_EQ(placeNo, expected) << w.text;
            EXPECT_EQ(w.page, label < 2 ? 0 : 1 + (label - 2) / 21) << w.text;
        }
    }
    // Each label's call once (where each stands is checked above).
    std::sort(callsSeen.begin(), callsSeen.end());
    ASSERT_EQ(callsSeen.size(), labels.count());
    for (std::size_t i = 0; i < callsSeen.size(); ++i)
        EXPECT_EQ(callsSeen[i], static_cast<int>(i));

    // The fonts are embedded.
    FILE* fonts = popen(("pdffonts '" + pdf.string() + "' 2>/dev/null").c_str(), "r");
    ASSERT_NE(fonts, nullptr);
    std::string table;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, fonts)) > 0;)
        table.append(buffer, n);
    pclose(fonts);
    // Columns: name, type, encoding, emb, sub, uni, object, generation.
    const std::regex font(R"re(\s(yes|no)\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+)re");
    int fontsSeen = 0;
    for (std::sregex_iterator it(table.begin(), table.end(), font), end; it != end; ++it, ++fontsSeen)
        EXPECT_EQ((*it)[1], "yes") << table;
    EXPECT_GT(fontsSeen, 0) << table;
}

TEST(Render, AStopKeepsTheOlderPdfAndUnfitStocksAreRefused)
{
    const LabelStock stock = customStock(parseCustomGrid("A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1"));
    const SheetRenderer renderer(stock, {}, 1, {}, 1);
    const test::TempDir dir;
    const auto pdf = dir.write("log_labels.pdf", "older");
    const Labels labels(std::vector<int>(100, 1));
    EXPECT_EQ(writeLabelsPdf(renderer, labels, pdf, [](std::size_t done, std::size_t) { return done < 2; }),
              std::nullopt);
    EXPECT_EQ(test::readFile(pdf), "older");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1); // no part file left

    // Ten QSOs do not fit a label of 38 mm; a round label is no place for the design.
    EXPECT_THROW(SheetRenderer(stock, {}, 1, {}, 10), MainDocumentError);
    LabelStock round = stock;
    round.shape = LabelStock::Shape::Round;
    EXPECT_THROW(SheetRenderer(round, {}, 1, {}, 1), MainDocumentError);
    EXPECT_THROW(requirePrintQueue("no such printer here"), FailureError);
    // A first label past the sheet's 21 is refused, not moved to the last place.
    EXPECT_THROW(SheetRenderer(stock, {}, 22, {}, 1), MainDocumentError);
    EXPECT_NO_THROW(SheetRenderer(stock, {}, 21, {}, 1));
}

// A label source whose second label has a QSL_VIA far too long for its line.
class LongVia : public Labels {
public:
    LongVia()
        : Labels({1, 1, 1})
    {
    }
    std::string value(std::size_t label, const std::string& column, int qso) const override
    {
        if (column == "QSL_VIA" && label == 1)
            return std::string(119, 'W');
        if (column == "BAND" && label == 1)
            return "10368.100 MHz 10368.100 MHz 10368.100 MHz";
        return Labels::value(label, column, qso);
    }
};

TEST(Render, TextCutToFitIsCountedOnceForEachLabelAndTheFirstIsNamed)
{
    const LabelStock stock = customStock(parseCustomGrid("A4,4,10,48,29,9,3.5,48,29"));
    const SheetRenderer renderer(stock, "SP3KXQ", 1, {}, 1);
    const test::TempDir dir;
    TextCuts cuts;
    ASSERT_EQ(writeLabelsPdf(renderer, LongVia(), dir / "cut.pdf", {}, &cuts), std::optional<std::size_t>(1));
    EXPECT_EQ(cuts.labels, 1u); // two texts cut on it, one label
    EXPECT_EQ(cuts.firstLabel, 2u);
    EXPECT_EQ(cuts.firstCall, "T1EST");
    EXPECT_EQ(cuts.firstText.find("via WWW"), 0u);
    TextCuts none;
    ASSERT_TRUE(writeLabelsPdf(renderer, Labels({1, 1}), dir / "fits.pdf", {}, &none));
    EXPECT_EQ(none.labels, 0u);
}

// The converter's run that draws its labels: one stream of sheets in the order of the sorted lines, the start
// label once, the offset applied, the data-source files as in every run; a PDF that cannot be put in place is
// said, and what stood there stays.
TEST(DrawnRun, TheConverterDrawsEveryLabelOfTheRunOnOneStreamOfSheets)
{
    if (const char* why = withoutPoppler())
        GTEST_SKIP() << why;
    const test::TempDir dir;
    // Ten stations, K0AA with 1 QSO up to K4AA with 5, twice over (KA.., KB..), in a shuffled order.
    std::string log = "exported\n<EOH>\n";
    std::map<std::string, int> qsos;
    for (int round = 0; round < 5; ++round)
        for (const char* letter : {"B", "A"})
            for (int n = 4; n >= 0; --n) {
                const std::string call = std::string("K") + letter + std::to_string(n) + "AA";
                if (round > n)
                    continue;
                ++qsos[call];
                const std::string date = "2024010" + std::to_string(round + 1);
                log += "<CALL:" + std::to_string(call.size()) + ">" + call + "<QSO_DATE:8>" + date +
                       "<TIME_ON:4>1200<BAND:3>20m<MODE:3>SSB<RST_SENT:2>59<EOR>\n";
            }
    const auto adi = dir.write("log.adi", log);
    const std::string grid = "A4,2,4,90,60,10,20,100,65";
    const auto run = [&](const std::string& extra, const std::string& onGrid) {
        const std::string command = std::string(CARDMILL_CONVERT) + " --log '" + adi.string() + "' --custom-grid " +
                                    onGrid + " --my-call SP3KXQ " + extra + " >'" + (dir / "out.txt").string() +
                                    "' 2>&1";
        return test::exitCodeOf(command);
    };
    ASSERT_EQ(run("--qsos 3 --start-label 7 --offset 2,-1", grid), 0) << test::readFile(dir / "out.txt");
    EXPECT_TRUE(std::filesystem::exists(dir / "log_1.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir / "log_3.txt"));
    const auto pdf = dir / "log_labels.pdf";
    EXPECT_NE(test::readFile(dir / "out.txt").find("log_labels.pdf"), std::string::npos);

    // Labels per station: 3 QSOs a label at most.
    std::size_t labels = 0;
    for (const auto& [call, n] : qsos)
        labels += static_cast<std::size_t>((n + 2) / 3);
    const std::vector<Word> words = wordsOf(pdf);
    const LabelStock stock = customStock(parseCustomGrid(grid));
    const std::vector<LabelRect> places = stock.places();
    const double dx = 2 * kPointsPerMm, dy = -1 * kPointsPerMm;
    // The calls after "Radio", in reading order: page, then place.
    std::vector<std::tuple<int, std::size_t, std::string>> seen;
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        if (words[i].text != "Radio")
            continue;
        const Word& w = words[i + 1];
        const double cx = (w.x0 + w.x1) / 2 - dx, cy = (w.y0 + w.y1) / 2 - dy;
        std::size_t place = places.size();
        for (std::size_t k = 0; k < places.size(); ++k)
            if (cx >= places[k].x && cx <= places[k].x + places[k].width && cy >= places[k].y &&
                cy <= places[k].y + places[k].height)
                place = k;
        ASSERT_LT(place, places.size()) << w.text;
        seen.emplace_back(w.page, place, w.text);
    }
    std::sort(seen.begin(), seen.end());
    ASSERT_EQ(seen.size(), labels);
    // Start label 7: two labels on the first sheet, then eight a sheet.
    EXPECT_EQ(std::get<0>(seen.front()), 0);
    EXPECT_EQ(std::get<1>(seen.front()), 6u);
    EXPECT_EQ(std::get<0>(seen.back()), static_cast<int>(1 + (labels - 2 + 7) / 8 - 1));
    std::map<std::string, int> perCall;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        ++perCall[std::get<2>(seen[i])];
        if (i > 0) {
            EXPECT_LE(std::get<2>(seen[i - 1]), std::get<2>(seen[i])) << "labels out of the lines' order";
        }
    }
    for (const auto& [call, n] : qsos)
        EXPECT_EQ(perCall[call], (n + 2) / 3) << call;

    // Where the PDF cannot be put (a folder of that name stands there), the run says so and the folder stays.
    std::filesystem::remove(pdf);
    std::filesystem::create_directory(pdf);
    EXPECT_EQ(run("--qsos 3", grid), 4);
    EXPECT_NE(test::readFile(dir / "out.txt").find("log_labels.pdf"), std::string::npos)
        << test::readFile(dir / "out.txt");
    EXPECT_TRUE(std::filesystem::is_directory(pdf));
    // Stocks that cannot carry the labels are refused before the log is read, and so is a first label past
    // the sheet's eight.
    EXPECT_EQ(run("--qsos 10", "A4,1,1,40,20,10,10,40,20"), 3);
    EXPECT_EQ(run("--start-label 9", grid), 3);
    EXPECT_NE(test::readFile(dir / "out.txt").find("labels are numbered 1 to 8"), std::string::npos)
        << test::readFile(dir / "out.txt");
}

} // namespace
} // namespace cardmill

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
