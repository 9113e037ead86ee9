// Labels drawn by the program, read back by poppler: every word inside its label, the labels in stream order
// from the start label on, the pages of the stock's paper, the fonts embedded; a stop keeps the older PDF.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>

#include "engine/Failure.h"
#include "render/LabelOutput.h"
#include "stock/MainDocuments.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

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

struct Word {
    int page;
    double x0, y0, x1, y1;
    std::string text;
};

// The words of a PDF with their boxes (points from the page's top left corner), as pdftotext -bbox gives them.
std::vector<Word> wordsOf(const std::filesystem::path& pdf)
{
    const std::string command = "pdftotext -bbox '" + pdf.string() + "' - 2>/dev/null";
    std::vector<Word> words;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return words;
    std::string html;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        html.append(buffer, n);
    pclose(pipe);
    const std::regex word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    int pageNo = -1;
    for (std::size_t at = 0; at < html.size();) {
        const std::size_t nextPage = html.find("<page ", at), nextWord = html.find("<word ", at);
        if (nextWord == std::string::npos)
            break;
        if (nextPage < nextWord) {
            ++pageNo;
            at = nextPage + 1;
            continue;
        }
        std::smatch m;
        const std::string rest = html.substr(nextWord, 300);
        if (std::regex_search(rest, m, word))
            words.push_back({pageNo, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
        at = nextWord + 1;
    }
    return words;
}

bool havePoppler()
{
    return std::system("pdftotext -v >/dev/null 2>&1") == 0;
}

TEST(Render, EveryWordLiesInsideItsLabelInStreamOrderFromTheStartLabel)
{
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils is not installed";
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
    EXPECT_THROW(printLabels(renderer, labels, "no such printer here"), FailureError);
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
