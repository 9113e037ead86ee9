// Designs: the built-in ones read, written and read back equal, the label design drawing the program's label;
// bad design files refused naming the file and the element; a card drawn where its design puts each element,
// its background picture held once by the PDF and its QR codes read back by a real reader.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "render/DesignFile.h"
#include "render/DesignPainter.h"
#include "render/LabelOutput.h"
#include "render/SheetRenderer.h"
#include "stock/LabelDesign.h"
#include "stock/LabelStock.h"
#include "support/PdfReadBack.h"
#include "support/TempDir.h"
#include "texts/DesignTexts.h"

namespace cardmill {
namespace {

using Id = DesignProblem::Id;

// Labels of two QSOs each, label i to "T<i>EST", with a frequency the built-in label does not show.
class CardLabels : public LabelSource {
public:
    explicit CardLabels(std::size_t n)
        : m_n(n)
    {
    }
    std::size_t count() const override { return m_n; }
    int qsos(std::size_t) const override { return 2; }
    std::string value(std::size_t label, const std::string& column, int qso) const override
    {
        if (column == "CALL")
            return "T" + std::to_string(label) + "EST";
        if (column == "QSO_DATE")
            return "2024-03-0" + std::to_string(qso + 1);
        if (column == "FREQ")
            return qso == 0 ? "14.205" : "7.074";
        if (column == "QSL_VIA" || column == "QSL_RCVD")
            return {};
        return column == "BAND" ? "20M" : column == "MODE" ? "SSB" : column == "TIME_ON" ? "07:05" : "59";
    }

private:
    std::size_t m_n;
};

DesignProblem::Id problemOf(const std::string& json, std::optional<std::size_t>* element = nullptr)
{
    try {
        parseDesign(json, "club.json", {});
    } catch (const DesignError& e) {
        EXPECT_EQ(designErrorText(e, Language::English).rfind("club.json", 0), 0u) << json;
        EXPECT_NE(designErrorText(e, Language::Polish), designErrorText(e, Language::English));
        if (element)
            *element = e.element() ? std::optional<std::size_t>(e.element()->index) : std::nullopt;
        return e.problem().id;
    }
    ADD_FAILURE() << "read without complaint: " << json;
    return Id::Count;
}

// A design file of one face holding `elements` (JSON objects).
std::string fixedDesign(const std::string& elements, const std::string& width = "140")
{
    return R"({"cardmill-design": 1, "name": "t", "layout": "fixed", "width": )" + width +
           R"(, "height": 90, "qsl": [)" + elements + "]}";
}

TEST(Design, TheLabelDesignIsTheProgramsLabelAndEveryBuiltInDesignReadsBackEqual)
{
    const Design label = loadDesign("label");
    EXPECT_EQ(loadDesign(""), label);
    EXPECT_EQ(loadDesign("LABEL"), label); // names as the user types them
    for (int k = 1; k <= 10; ++k)
        for (const std::string call : {"SP3KXQ", ""})
            EXPECT_EQ(flowLabelDesign(label.qsl, k, call), qslDesign(k, call)) << k << " QSOs, own call " << call;

    for (std::string_view name : kBuiltInDesigns) {
        const Design d = loadDesign(std::string(name));
        EXPECT_EQ(parseDesign(designJson(d), d.source, d.folder), d) << name;
        EXPECT_FALSE(builtInDesignText(name, Language::English).empty()) << name;
        EXPECT_FALSE(builtInDesignText(name, Language::Polish).empty()) << name;
    }
    // The address label never carries the call.
    for (const std::string& field : loadDesign("address").fields())
        EXPECT_NE(field, "CALL");
    try {
        loadDesign("postcard");
        ADD_FAILURE() << "an unknown name was taken";
    } catch (const DesignError& e) {
        EXPECT_EQ(e.problem().id, Id::UnknownDesign);
        EXPECT_NE(designErrorText(e, Language::English).find("card-overprint"), std::string::npos);
    }
}

TEST(Design, BadDesignFilesAreRefusedNamingTheFileAndTheElement)
{
    const std::string text = R"({"type": "text", "text": "To Radio {CALL}", "x": 5, "y": 5, "width": 60, "height": 8})";
    EXPECT_EQ(problemOf("{ not JSON"), Id::NotJson);
    EXPECT_EQ(problemOf(R"({"layout": "fixed"})"), Id::NotADesign);
    EXPECT_EQ(problemOf(R"({"cardmill-design": 2, "qsl": []})"), Id::NewerVersion);
    EXPECT_EQ(problemOf(R"({"cardmill-design": 1, "layout": "spiral", "qsl": []})"), Id::UnknownLayout);
    EXPECT_EQ(problemOf(fixedDesign("")), Id::NoElements);
    EXPECT_EQ(problemOf(fixedDesign(text, "-140")), Id::DesignSize);
    EXPECT_EQ(problemOf(fixedDesign(text, "1e300")), Id::DesignSize);
    EXPECT_EQ(problemOf(fixedDesign(text, "1e400")), Id::NotJson); // no number JSON can hold

    // Element by element: the one at fault is named.
    struct Case {
        std::string second;
        Id id;
    };
    const std::vector<Case> cases{
        {R"({"type": "circle", "x": 1, "y": 1})", Id::UnknownKind},
        {R"({"type": "text", "text": "x", "x": "left", "y": 1, "width": 5, "height": 5})", Id::NotANumber},
        {R"({"type": "text", "text": "x", "x": 1e300, "y": 1, "width": 5, "height": 5})", Id::OutOfRange},
        {R"({"type": "text", "text": "x", "x": 1, "y": 1, "width": -5, "height": 5})", Id::OutOfRange},
        {R"({"type": "text", "text": "x", "x": 1, "y": 1, "width": 0, "height": 5})", Id::NoSize},
        {R"({"type": "text", "text": "x", "x": 1, "y": 1, "width": 5, "height": 5, "rotation": 5})", Id::BadRotation},
        {R"({"type": "text", "text": "x", "x": 1, "y": 1, "width": 5, "height": 5, "font": {"size": 0}})",
         Id::OutOfRange},
        {R"({"type": "text", "text": "x", "x": 1, "y": 1, "width": 5, "height": 5, "font": {"bold": "yes"}})",
         Id::NotTrueFalse},
        {R"({"type": "text", "text": "{MY FIELD}", "x": 1, "y": 1, "width": 5, "height": 5})", Id::NoFieldName},
        {R"({"type": "text", "text": "x", "onlyWith": "a,b", "x": 1, "y": 1, "width": 5, "height": 5})",
         Id::NoFieldName},
        {R"({"type": "box", "x": 1, "y": 1, "width": 5, "height": 5, "fill": "pink"})", Id::BadColour},
        {R"({"type": "image", "x": 0, "y": 0, "width": 5, "height": 5})", Id::NoPicture},
        {R"({"type": "table", "x": 0, "y": 0, "width": 50, "height": 30, "columns": []})", Id::TableColumns},
    };
    for (const Case& c : cases) {
        std::optional<std::size_t> element;
        EXPECT_EQ(problemOf(fixedDesign(text + ", " + c.second), &element), c.id) << c.second;
        EXPECT_EQ(element, std::optional<std::size_t>(1)) << c.second;
    }
    std::string many = text;
    for (std::size_t i = 0; i < kMaxDesignElements; ++i)
        many += ", " + text;
    EXPECT_EQ(problemOf(fixedDesign(many)), Id::TooManyElements);

    // Every problem has its words in both languages.
    for (int i = 0; i < static_cast<int>(Id::Count); ++i) {
        const DesignProblem p{static_cast<Id>(i), {"a", "top", "c", "d"}};
        EXPECT_FALSE(designProblemText(p, Language::English).empty()) << i;
        EXPECT_NE(designProblemText(p, Language::English), designProblemText(p, Language::Polish)) << i;
    }
}

// A PNG's signature and header chunk claiming a picture of `width` x `height` pixels, and no pixels.
std::string pngHeader(std::uint32_t width, std::uint32_t height)
{
    auto crc32 = [](const std::string& bytes) {
        std::uint32_t crc = 0xffffffffu;
        for (unsigned char b : bytes) {
            crc ^= b;
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    };
    auto be = [](std::uint32_t v) {
        return std::string{char(v >> 24), char(v >> 16 & 0xff), char(v >> 8 & 0xff), char(v & 0xff)};
    };
    const std::string header = "IHDR" + be(width) + be(height) + std::string{8, 6, 0, 0, 0};
    const std::string data = "IDAT";
    return std::string("\x89PNG\r\n\x1a\n", 8) + be(13) + header + be(crc32(header)) + be(0) + data + be(crc32(data));
}

TEST(Design, PicturesMissingBrokenOrTooLargeAreRefusedBeforeAnythingIsDrawn)
{
    const test::TempDir dir;
    std::ofstream(dir / "broken.png", std::ios::binary) << "\x89PNG\r\n\x1a\nthis is no picture";
    std::ofstream(dir / "huge.png", std::ios::binary) << pngHeader(20000, 20000);
    for (const auto& [file, id] : std::vector<std::pair<std::string, Id>>{{"missing.png", Id::PictureUnreadable},
                                                                          {"broken.png", Id::PictureUnreadable},
                                                                          {"huge.png", Id::PictureTooLarge}}) {
        const std::string json =
            fixedDesign(R"({"type": "text", "text": "{CALL}", "x": 5, "y": 5, "width": 60, "height": 8},
            {"type": "image", "file": ")" +
                        file + R"(", "x": 0, "y": 0, "width": 140, "height": 90})");
        const Design design = parseDesign(json, (dir / "card.json").string(), dir.path());
        try {
            DesignPictures pictures(design);
            ADD_FAILURE() << file << " was taken";
        } catch (const DesignError& e) {
            EXPECT_EQ(e.problem().id, id) << file;
            ASSERT_TRUE(e.element()) << file;
            EXPECT_EQ(e.element()->index, 1u);
            EXPECT_NE(designErrorText(e, Language::English).find(file), std::string::npos)
                << designErrorText(e, Language::English);
        }
    }
}

// The words of one page whose text is `text`.
std::vector<test::Word> wordsNamed(const std::vector<test::Word>& words, int page, const std::string& text)
{
    std::vector<test::Word> found;
    for (const test::Word& w : words)
        if (w.page == page && w.text == text)
            found.push_back(w);
    return found;
}

TEST(Design, ACardIsDrawnWhereItsDesignPutsItsElementsWithOnePictureAndReadableQrCodes)
{
    if (const char* why = test::withoutPoppler())
        GTEST_SKIP() << why;
    const test::TempDir dir;
    QImage background(280, 180, QImage::Format_RGB32);
    for (int y = 0; y < background.height(); ++y)
        for (int x = 0; x < background.width(); ++x)
            background.setPixelColor(x, y, QColor(235, 240, 200 + x * 50 / 280));
    ASSERT_TRUE(background.save(QString::fromStdString((dir / "sky.png").string())));
    const std::string json = fixedDesign(R"(
        {"type": "image", "file": "sky.png", "x": 0, "y": 0, "width": 140, "height": 90, "fit": "cover"},
        {"type": "text", "text": "To Radio {CALL}", "x": 10, "y": 20, "width": 80, "height": 8, "font": {"size": 14}},
        {"type": "text", "text": "via {QSL_VIA}", "onlyWith": "QSL_VIA", "x": 10, "y": 29, "width": 80, "height": 6},
        {"type": "text", "text": "Thanks", "x": 10, "y": 36, "width": 80, "height": 6, "align": "right"},
        {"type": "table", "x": 10, "y": 45, "width": 80, "height": 30, "font": {"size": 9},
         "columns": [{"field": "QSO_DATE", "heading": "Date", "width": 30}, {"field": "FREQ", "heading": "MHz",
                      "width": 25}]},
        {"type": "qr", "x": 100, "y": 50, "width": 30, "height": 30})");
    std::ofstream(dir / "card.json", std::ios::binary) << json;
    const Design design = loadDesign((dir / "card.json").string());
    // The run carries what the texts, the table and the QR code show.
    EXPECT_EQ(design.fields(),
              (std::vector<std::string>{"CALL", "QSL_VIA", "QSO_DATE", "FREQ", "TIME_ON", "BAND", "MODE", "RST_SENT"}));

    const LabelStock card = customStock(parseCustomGrid("140x90,1,1,140,90,0,0,140,90"));
    const SheetRenderer renderer(card, "SP3KXQ", 1, Calibration{}, 2, false, &design);
    const CardLabels labels(3);
    const auto pdf = dir / "log_labels.pdf";
    ASSERT_EQ(writeLabelsPdf(renderer, labels, pdf), std::optional<std::size_t>(3));

    // Each text where the design puts it (0.5 mm); "via" is left out and the texts below it move up by its
    // height, 7 mm.
    const std::vector<test::Word> words = test::wordsOf(pdf);
    constexpr double mm = kPointsPerMm, tolerance = 0.5 * kPointsPerMm;
    for (int page = 0; page < 3; ++page) {
        const auto to = wordsNamed(words, page, "To"),
                   call = wordsNamed(words, page, "T" + std::to_string(page) + "EST");
        ASSERT_EQ(to.size(), 1u) << page;
        ASSERT_EQ(call.size(), 1u) << page;
        EXPECT_NEAR(to[0].x0, 10 * mm, tolerance);
        EXPECT_GE(to[0].y0, 20 * mm - tolerance);
        EXPECT_LE(to[0].y1, 28 * mm + tolerance);
        EXPECT_TRUE(wordsNamed(words, page, "via").empty());
        const auto thanks = wordsNamed(words, page, "Thanks");
        ASSERT_EQ(thanks.size(), 1u);
        EXPECT_NEAR(thanks[0].x1, 90 * mm, tolerance); // right-aligned in its box
        EXPECT_GE(thanks[0].y0, 29 * mm - tolerance);
        EXPECT_LE(thanks[0].y1, 35 * mm + tolerance);
        const auto heading = wordsNamed(words, page, "MHz");
        ASSERT_EQ(heading.size(), 1u);
        EXPECT_NEAR(heading[0].x0, 40 * mm, 1.5 * mm); // the second column starts 30 mm into the table
        EXPECT_GE(heading[0].y0, 38 * mm - tolerance);
        EXPECT_EQ(wordsNamed(words, page, "14.205").size(), 1u);
        EXPECT_EQ(wordsNamed(words, page, "7.074").size(), 1u);
    }

    // The background picture is one object of the PDF, used on every page.
    if (test::commandRuns("pdfimages -v")) {
        std::istringstream list(test::commandOutput("pdfimages -list '" + pdf.string() + "'"));
        std::set<std::string> objects;
        int uses = 0;
        for (std::string line; std::getline(list, line);) {
            std::istringstream fields(line);
            std::vector<std::string> f;
            for (std::string s; fields >> s;)
                f.push_back(s);
            if (f.size() > 11 && f[2] == "image") {
                ++uses;
                objects.insert(f[10]);
            }
        }
        EXPECT_EQ(uses, 3);
        EXPECT_EQ(objects.size(), 1u);
    }

    // Each card's QR code reads back as the label's QSOs.
    if (!test::commandRuns("zbarimg --version") || !test::commandRuns("pdftoppm -v"))
        GTEST_SKIP() << "zbar-tools or poppler-utils is not installed: the QR codes are not read back";
    for (std::size_t page = 0; page < 3; ++page) {
        const auto png = dir / ("card-" + std::to_string(page));
        test::commandOutput("pdftoppm -r 150 -png -singlefile -f " + std::to_string(page + 1) + " -l " +
                            std::to_string(page + 1) + " '" + pdf.string() + "' '" + png.string() + "'");
        std::string read = test::commandOutput("zbarimg --raw -q '" + png.string() + ".png'");
        while (!read.empty() && read.back() == '\n')
            read.pop_back();
        const std::string expected =
            qrText([&](const std::string& column, int qso) { return labels.value(page, column, qso); }, 2, "SP3KXQ");
        EXPECT_EQ(read, expected) << "card " << page;
        EXPECT_NE(expected.find("T" + std::to_string(page) + "EST"), std::string::npos);
    }
}

// Labels of 1, 2, ... QSOs, label i to "T<i>EST".
class GrowingLabels : public CardLabels {
public:
    using CardLabels::CardLabels;
    int qsos(std::size_t label) const override { return static_cast<int>(label) + 1; }
};

// The pages' heights in millimetres, as pdfinfo gives them.
std::vector<double> pageHeights(const std::filesystem::path& pdf)
{
    std::istringstream info(test::commandOutput("pdfinfo -f 1 -l 100 '" + pdf.string() + "'"));
    std::vector<double> heights;
    for (std::string line; std::getline(info, line);) {
        double w = 0, h = 0;
        if (std::sscanf(line.c_str(), "Page %*d size: %lf x %lf", &w, &h) == 2)
            heights.push_back(h / kPointsPerMm);
    }
    return heights;
}

TEST(Design, RollLabelsAreAsLongAsTheirQsosNeedOrAsTheRollSays)
{
    if (const char* why = test::withoutPoppler())
        GTEST_SKIP() << why;
    const test::TempDir dir;
    const GrowingLabels labels(4);
    // The program's label on a 62 mm roll: a page a label, longer with every QSO, the text inside it.
    const SheetRenderer label(rollStock("62"), "SP3KXQ", 1, Calibration{}, 4, false);
    ASSERT_EQ(writeLabelsPdf(label, labels, dir / "label.pdf"), std::optional<std::size_t>(4));
    const std::vector<double> heights = pageHeights(dir / "label.pdf");
    ASSERT_EQ(heights.size(), 4u);
    for (std::size_t i = 1; i < heights.size(); ++i)
        EXPECT_GT(heights[i], heights[i - 1] + 2) << i;
    for (const test::Word& w : test::wordsOf(dir / "label.pdf")) {
        EXPECT_LE(w.x1, 62 * kPointsPerMm) << w.text;
        EXPECT_LE(w.y1, heights[static_cast<std::size_t>(w.page)] * kPointsPerMm) << w.text;
    }
    // A card whose table has room for two QSOs grows by the rows past them, what is below moving down.
    const Design card = parseDesign(fixedDesign(R"(
        {"type": "table", "x": 5, "y": 5, "width": 100, "height": 15, "font": {"size": 9},
         "columns": [{"field": "QSO_DATE", "heading": "Date", "width": 50}]},
        {"type": "text", "text": "Below", "x": 5, "y": 22, "width": 50, "height": 6})",
                                                "110"),
                                    "card.json", {});
    const SheetRenderer roll(rollStock("110"), "SP3KXQ", 1, Calibration{}, 4, false, &card);
    ASSERT_EQ(writeLabelsPdf(roll, labels, dir / "card.pdf"), std::optional<std::size_t>(4));
    const std::vector<double> cards = pageHeights(dir / "card.pdf");
    ASSERT_EQ(cards.size(), 4u);
    EXPECT_NEAR(cards[0], 90, 0.1);
    EXPECT_NEAR(cards[1], 90, 0.1);
    EXPECT_GT(cards[2], 90.5);
    EXPECT_GT(cards[3], cards[2] + 0.5);
    for (const test::Word& w : test::wordsOf(dir / "card.pdf")) {
        if (w.text == "Below") {
            EXPECT_LE(w.y1, cards[static_cast<std::size_t>(w.page)] * kPointsPerMm);
        }
    }
    // A roll of a set length: every label that long.
    const SheetRenderer fixed(rollStock("62x29"), "SP3KXQ", 1, Calibration{}, 2, false);
    const CardLabels ones(3);
    ASSERT_EQ(writeLabelsPdf(fixed, ones, dir / "fixed.pdf"), std::optional<std::size_t>(3));
    for (const double h : pageHeights(dir / "fixed.pdf"))
        EXPECT_NEAR(h, 29, 0.1);
    EXPECT_THROW(rollStock("5"), GridError);
    EXPECT_THROW(rollStock("62x"), GridError);
    EXPECT_THROW(rollStock("nanx10"), GridError);
}

TEST(DesignRun, TheConverterDrawsWithADesignCarriesItsFieldsAndRefusesOneThatCannotBeUsed)
{
    if (const char* why = test::withoutPoppler())
        GTEST_SKIP() << why;
    const test::TempDir dir;
    const auto adi = dir.write("log.adi", "exported\n<EOH>\n<CALL:5>K1ABC<QSO_DATE:8>20240102<TIME_ON:4>1200"
                                          "<BAND:3>20m<FREQ:6>14.205<MODE:3>SSB<SUBMODE:3>USB<RST_SENT:2>59<EOR>\n");
    const auto run = [&](const std::string& extra) {
        const std::string command = std::string(CARDMILL_CONVERT) + " --log '" + adi.string() + "' " + extra + " >'" +
                                    (dir / "out.txt").string() + "' 2>&1";
        return test::exitCodeOf(command);
    };
    const std::string card = "--custom-grid 140x90,1,1,140,90,0,0,140,90 --my-call SP3KXQ ";
    dir.write("freq.json", fixedDesign(R"({"type": "text", "text": "{CALL} {FREQ} MHz {SUBMODE}", "x": 10,
        "y": 10, "width": 100, "height": 10})"));
    ASSERT_EQ(run(card + "--design '" + (dir / "freq.json").string() + "'"), 0) << test::readFile(dir / "out.txt");
    // The fields the design shows are columns of the data-source file and values on the card.
    const std::string source = test::readFile(dir / "log_1.txt");
    EXPECT_NE(source.find(",FREQ"), std::string::npos) << source;
    EXPECT_NE(source.find("14.205"), std::string::npos) << source;
    std::string onCard;
    for (const test::Word& w : test::wordsOf(dir / "log_labels.pdf"))
        onCard += w.text + " ";
    EXPECT_EQ(onCard, "K1ABC 14.205 MHz USB ");
    // A field no QSO of the log has is drawn empty, and said once.
    dir.write("sat.json", fixedDesign(R"({"type": "text", "text": "{CALL} {SAT_NAME}", "x": 10, "y": 10,
        "width": 100, "height": 10})"));
    ASSERT_EQ(run(card + "--design '" + (dir / "sat.json").string() + "'"), 0) << test::readFile(dir / "out.txt");
    const std::string said = test::readFile(dir / "out.txt");
    EXPECT_NE(said.find("shows SAT_NAME, which no QSO"), std::string::npos) << said;
    EXPECT_EQ(said.find("SAT_NAME"), said.rfind("SAT_NAME")) << said;

    // A design that cannot be used is refused before the log is read, naming it; the PDF made before stays.
    const std::string before = test::readFile(dir / "log_labels.pdf");
    dir.write("broken.json", "{ \"cardmill-design\": 1, ");
    EXPECT_EQ(run(card + "--design '" + (dir / "broken.json").string() + "'"), 3);
    EXPECT_NE(test::readFile(dir / "out.txt").find("broken.json"), std::string::npos)
        << test::readFile(dir / "out.txt");
    EXPECT_EQ(run(card + "--design postcard"), 3);
    EXPECT_NE(test::readFile(dir / "out.txt").find("postcard"), std::string::npos);
    dir.write("narrow.json", fixedDesign(R"({"type": "text", "text": "{CALL}", "x": 130, "y": 10, "width": 30,
        "height": 10})"));
    EXPECT_EQ(run(card + "--design '" + (dir / "narrow.json").string() + "'"), 3);
    EXPECT_NE(test::readFile(dir / "out.txt").find("20"), std::string::npos) << test::readFile(dir / "out.txt");
    EXPECT_EQ(test::readFile(dir / "log_labels.pdf"), before);
    EXPECT_EQ(run("--design card"), 2); // without a sheet to draw on
    EXPECT_EQ(run("--list-designs"), 0);
    EXPECT_NE(test::readFile(dir / "out.txt").find("card-overprint"), std::string::npos);
}

} // namespace
} // namespace cardmill
