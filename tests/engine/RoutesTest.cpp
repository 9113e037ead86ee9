#include "engine/Routes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "RunFixture.h"
#include "engine/AdifRecord.h"
#include "engine/LabelDrawer.h"
#include "engine/RouteList.h"
#include "engine/SentMarks.h"

namespace cardmill {
namespace {

using test::readFile;

TEST(Routes, QslViaIsReadByItsWordsAndItsCall)
{
    struct Case {
        const char* via;
        std::optional<Route> route;
        RouteReason reason;
        const char* manager;
        bool unclear;
    };
    using R = Route;
    using W = RouteReason;
    const Case cases[] = {
        {"", std::nullopt, W::Default, "", false},
        {"direct", R::Direct, W::ViaWords, "", false},
        {"QSL DIRECT ONLY", R::Direct, W::ViaWords, "", false},
        {"Buro", R::Bureau, W::ViaWords, "", false},
        {"via bureau pse", R::Bureau, W::ViaWords, "", false},
        {"direct or buro", R::Bureau, W::ViaWords, "", false}, // either: the default, bureau
        {"no QSL", R::Electronic, W::ViaWords, "", false},
        {"NO CARDS please", R::Electronic, W::ViaWords, "", false},
        {"LoTW only", R::Electronic, W::ViaWords, "", false},
        {"eQSL", R::Electronic, W::ViaWords, "", false},
        {"LOTW or EQSL", R::Electronic, W::ViaWords, "", false},
        {"EA5XX", R::Bureau, W::ViaManager, "EA5XX", false},
        {"via ea5xx", R::Bureau, W::ViaManager, "EA5XX", false},
        {"EA5XX direct", R::Direct, W::ViaManager, "EA5XX", false},
        {"EA5XX/P", R::Bureau, W::ViaManager, "EA5XX", false},
        {"EA5XX or M0OXO", std::nullopt, W::Default, "", true}, // two managers: which one is not ours to guess
        {"ea5xx@gmail.com", std::nullopt, W::Default, "", true},
        {"https://www.qrz.com/db/EA5XX", std::nullopt, W::Default, "", true},
        {"see qrz.com", std::nullopt, W::Default, "", true},
        {"QSL", std::nullopt, W::Default, "", false},
    };
    for (const Case& c : cases) {
        const ViaReading r = readQslVia(c.via, Route::Bureau);
        EXPECT_EQ(r.route, c.route) << c.via;
        EXPECT_EQ(r.reason, c.reason) << c.via;
        EXPECT_EQ(r.manager, c.manager) << c.via;
        EXPECT_EQ(r.unclear, c.unclear) << c.via;
    }
    EXPECT_EQ(readQslVia("direct or buro", Route::Direct).route, Route::Direct); // the default decides
}

TEST(Routes, RulesAreTriedInTheirOrder)
{
    const auto route = [](const std::string& fields, Route fallback = Route::Bureau) {
        const AdifRecord record("<CALL:5>DL1AB " + fields + " <EOR>");
        return decideRoute(record, fallback);
    };
    // What the log asks for comes first, whatever QSL_VIA and the received card say.
    EXPECT_EQ(route("<QSL_SENT:1>R <QSL_SENT_VIA:1>D <QSL_VIA:4>buro <QSL_RCVD:1>Y <QSL_RCVD_VIA:1>E").route,
              Route::Direct);
    EXPECT_EQ(route("<QSL_SENT:1>Q <QSL_SENT_VIA:1>e").reason, RouteReason::LogAsks);
    // "M": to the manager QSL_VIA names, the way it says.
    const RouteDecision manager = route("<QSL_SENT:1>R <QSL_SENT_VIA:1>M <QSL_VIA:12>VK2XX direct");
    EXPECT_EQ(manager.route, Route::Direct);
    EXPECT_EQ(manager.manager, "VK2XX");
    // A card already sent asks for nothing: the next rules decide.
    EXPECT_EQ(route("<QSL_SENT:1>Y <QSL_SENT_VIA:1>D").reason, RouteReason::Default);
    // QSL_VIA before the received card.
    EXPECT_EQ(route("<QSL_VIA:6>direct <QSL_RCVD:1>Y <QSL_RCVD_VIA:1>B").route, Route::Direct);
    // The received card answered in kind; not one that was only requested.
    EXPECT_EQ(route("<QSL_RCVD:1>Y <QSL_RCVD_VIA:1>D").reason, RouteReason::AnswerInKind);
    EXPECT_EQ(route("<QSL_RCVD:1>Y <QSL_RCVD_VIA:1>E").route, Route::Electronic);
    EXPECT_EQ(route("<QSL_RCVD:1>R <QSL_RCVD_VIA:1>D").reason, RouteReason::Default);
    // Prose keeps the default and is said; the received card still counts.
    const RouteDecision prose = route("<QSL_VIA:14>ask me on 40 m", Route::Direct);
    EXPECT_EQ(prose.route, Route::Direct);
    EXPECT_TRUE(prose.unclearVia);
    EXPECT_EQ(route("<QSL_VIA:8>see bio! <QSL_RCVD:1>Y <QSL_RCVD_VIA:1>D").route, Route::Direct);
    EXPECT_EQ(route("", Route::Electronic).route, Route::Electronic);
}

// An address a line at a time, for an envelope: at its line breaks, else at its commas; the fifth line takes the
// rest.
TEST(Routes, AnAddressIsSplitIntoTheLinesOfAnEnvelope)
{
    const std::string_view lines = "Hauptstr. 5\r\n\r\n 10115 Berlin \r\nGermany\r\n";
    EXPECT_EQ(addressLine(lines, 1), "Hauptstr. 5");
    EXPECT_EQ(addressLine(lines, 2), "10115 Berlin");
    EXPECT_EQ(addressLine(lines, 3), "Germany");
    EXPECT_EQ(addressLine(lines, 4), "");
    // No line breaks: the commas part it; with line breaks, commas stay within their line.
    EXPECT_EQ(addressLine("PO Box 1, Sydney NSW 2000,Australia", 2), "Sydney NSW 2000");
    EXPECT_EQ(addressLine("Flat 3, High St\nLondon", 1), "Flat 3, High St");
    EXPECT_EQ(addressLine("a,b,c,d,e,f,g", 5), "e, f, g");
    EXPECT_EQ(addressLine("1\n2\n3\n4\n5\n6", 5), "5 6");
    EXPECT_EQ(addressLine("", 1), "");
    EXPECT_EQ(addressLine(" , ,", 1), "");
    EXPECT_EQ(addressLineOf("address_line3"), 3);
    EXPECT_EQ(addressLineOf("ADDRESS_LINE6"), 0);
    EXPECT_EQ(addressLineOf("ADDRESS_LINE"), 0);
    EXPECT_EQ(addressLineOf("ADDRESS"), 0);
}

class RoutesRun : public test::RunFixture {
protected:
    RoutesRun()
    {
        host.merge = false;
        host.order = LabelOrder::Routes;
        host.marking.on = true;
        // The bureau's labels go in bundles by country.
        host.countryFile = dir.write("cty.dat", "Poland: 15: 28: EU: 52.28: -18.67: -1.0: SP:\n    SP,SQ;\n"
                                                "Fed. Rep. of Germany: 14: 28: EU: 51.0: -10.0: -1.0: DL:\n    DL;\n"
                                                "United States: 05: 08: NA: 37.5: 91.5: 5.0: K:\n    K,W;\n");
    }
};

TEST_F(RoutesRun, EachQsoGoesItsWayAndIsMarkedItsWay)
{
    const std::string address = " <NAME:3>Jan <ADDRESS:12>ul. Dluga 1";
    writeLog(qso("SP1AA", "20240101", "1200", " <QSL_VIA:6>direct" + address) + //
             qso("DL1AB", "20240102") +                                         // the default: bureau
             qso("JA1XYZ", "20240103", "1200", " <QSL_VIA:9>LoTW only") +       // electronic: no card
             qso("VK2AB", "20240104", "1200", " <QSL_VIA:12>VK2XX direct") +    // direct, no address: bureau
             qso("G4ABC", "20240105", "1200", " <QSL_RCVD:1>Y <QSL_RCVD_VIA:1>D" + address) +
             qso("F5ABC", "20240106", "1200", " <QSL_VIA:11>see qrz.com") + // prose: the default, listed
             qso("SP1AA", "20240107", "1300", " <QSL_SENT:1>R <QSL_SENT_VIA:1>D"));
    ASSERT_EQ(runIt(), RunOutcome::Done);

    // The bureau's batch is the run's usual files; the direct cards have files of their own.
    const std::string bureau = output(1);
    for (const char* call : {"DL1AB", "VK2AB", "F5ABC"})
        EXPECT_NE(bureau.find(std::string("\r\n") + call + ","), std::string::npos) << call;
    for (const char* call : {"SP1AA,2024-01-01", "G4ABC,", "JA1XYZ,"})
        EXPECT_EQ(bureau.find(std::string("\r\n") + call), std::string::npos) << call;
    const std::string direct = readFile(file("_direct_1.txt"));
    EXPECT_NE(direct.find("\r\nG4ABC,"), std::string::npos);
    EXPECT_NE(direct.find("\r\nSP1AA,2024-01-01"), std::string::npos);
    // The second SP1AA QSO asks for direct but has no address: by bureau, and listed.
    EXPECT_NE(bureau.find("\r\nSP1AA,2024-01-07"), std::string::npos);

    EXPECT_TRUE(std::filesystem::exists(file("_bureau.txt"))); // the bureau's packing list
    const std::string list = readFile(file("_routes.txt"));
    for (const char* entry : {"JA1XYZ\t2024-01-03", "VK2AB\t", "F5ABC\t", "SP1AA\t2024-01-07"})
        EXPECT_NE(list.find(entry), std::string::npos) << entry;
    const RouteSummary& r = host.summaries.back().routes;
    EXPECT_EQ(r.bureauLabels + r.directLabels + r.electronic + r.held, 7u); // every QSO once
    EXPECT_EQ(r.directLabels, 2u);
    EXPECT_EQ(r.electronic, 1u);
    EXPECT_EQ(r.noAddressByBureau, 2u);
    EXPECT_EQ(r.unclearVia, 1u);

    // Each marked QSO with its own QSL_SENT_VIA; the electronic one not marked at all.
    const std::string updated = readFile(file("_updated.adi"));
    const auto markOf = [&](const std::string& call, const std::string& date) {
        const std::size_t at =
            updated.find("<CALL:" + std::to_string(call.size()) + ">" + call + " <QSO_DATE:8>" + date);
        const std::size_t end = updated.find("<EOR>", at);
        const std::string rec = updated.substr(at, end - at);
        const std::size_t via = rec.find("<QSL_SENT_VIA:1>");
        return via == std::string::npos ? std::string("-") : rec.substr(via + 16, 1);
    };
    EXPECT_EQ(markOf("SP1AA", "20240101"), "D");
    EXPECT_EQ(markOf("G4ABC", "20240105"), "D");
    EXPECT_EQ(markOf("DL1AB", "20240102"), "B");
    EXPECT_EQ(markOf("VK2AB", "20240104"), "B");
    EXPECT_EQ(markOf("SP1AA", "20240107"), "B");
    EXPECT_EQ(markOf("JA1XYZ", "20240103"), "-");
    EXPECT_EQ(updated.find("<CALL:6>JA1XYZ <QSO_DATE:8>20240103 <TIME_ON:4>1200 <BAND:3>20M <MODE:2>CW <RST_SENT:3>599 "
                           "<QSL_VIA:9>LoTW only <EOR>"),
              updated.find("<CALL:6>JA1XYZ")); // byte for byte as it was
}

TEST_F(RoutesRun, HeldCardsAndElectronicOnesAreNeitherLabelledNorMarked)
{
    host.routes.noAddress = Route::Held;
    host.routes.fallback = Route::Electronic;
    writeLog(qso("DL1AB", "20240102") + qso("SP1AA", "20240101", "1200", " <QSL_VIA:6>direct"));
    EXPECT_EQ(runIt(), RunOutcome::NoData); // nothing to print: said as nothing to do
    const std::string list = readFile(file("_routes.txt"));
    EXPECT_NE(list.find("DL1AB\t2024-01-02\t12:00\t20M\tCW\telectronic"), std::string::npos);
    EXPECT_NE(list.find("SP1AA\t2024-01-01\t12:00\t20M\tCW\tdirect, no ADDRESS: held"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file("_updated.adi")));
}

// Random logs: every QSO of the run is on exactly one label line of one batch or on the list of QSOs that got
// no card, and the marks count exactly the QSOs on labels.
TEST_F(RoutesRun, NoQsoIsLostOrPrintedTwice)
{
    const char* vias[] = {"", "direct", "buro", "no qsl", "EA5XX", "EA5XX direct", "x@y.z", "LoTW", "hello"};
    const char* sent[] = {"", "Y", "N", "R", "Q"};
    const char* letters[] = {"", "B", "D", "E", "M", "X"};
    std::mt19937 random(20261210);
    for (int round = 0; round < 8; ++round) {
        std::string log;
        const int count = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            std::string extra;
            const auto add = [&](const char* field, const std::string& value) {
                if (!value.empty())
                    extra += " <" + std::string(field) + ":" + std::to_string(value.size()) + ">" + value;
            };
            add("QSL_VIA", vias[random() % std::size(vias)]);
            add("QSL_SENT", sent[random() % std::size(sent)]);
            add("QSL_SENT_VIA", letters[random() % std::size(letters)]);
            add("QSL_RCVD", sent[random() % std::size(sent)]);
            add("QSL_RCVD_VIA", letters[random() % std::size(letters)]);
            add("ADDRESS", random() % 2 ? "1 Main St" : "");
            log += qso("K" + std::to_string(random() % 5) + "AB", "20240101", std::to_string(1000 + i), extra);
        }
        host.routes.noAddress = random() % 2 ? Route::Held : Route::Bureau;
        host.routes.fallback = std::array{Route::Bureau, Route::Direct, Route::Electronic}[random() % 3];
        writeLog(log);
        const RunOutcome outcome = runIt();
        ASSERT_TRUE(outcome == RunOutcome::Done || outcome == RunOutcome::NoData);
        const auto lines = [&](const std::filesystem::path& p) {
            if (!std::filesystem::exists(p))
                return std::size_t{0};
            const std::string t = readFile(p);
            return static_cast<std::size_t>(std::count(t.begin(), t.end(), '\n')) - 1; // less the header
        };
        const std::size_t labelled = lines(file("_1.txt")) + lines(file("_direct_1.txt"));
        const std::string list = std::filesystem::exists(file("_routes.txt")) ? readFile(file("_routes.txt")) : "";
        const auto listed = [&](const char* why) {
            std::size_t n = 0;
            for (std::size_t at = list.find(why); at != std::string::npos; at = list.find(why, at + 1))
                ++n;
            return n;
        };
        EXPECT_EQ(labelled + listed("electronic: no card") + listed("held"), static_cast<std::size_t>(count))
            << "round " << round;
        if (outcome == RunOutcome::Done) {
            const std::string sentFile = readFile(file("_sent.adi"));
            std::size_t marked = 0;
            for (std::size_t at = sentFile.find("<EOR>"); at != std::string::npos; at = sentFile.find("<EOR>", at + 1))
                ++marked;
            EXPECT_EQ(marked, labelled) << "round " << round;
        }
    }
}

} // namespace
} // namespace cardmill

namespace cardmill {
namespace {

// The journal of printed labels: a second run prints nothing it printed before, unless asked to.
class JournalRun : public RoutesRun {
protected:
    JournalRun()
    {
        host.merge = true; // labels made: the journal takes them
        host.routes.journal = dir / "settings" / "cardmill-journal.txt";
    }
    std::string journal() const { return test::readFile(host.routes.journal); }
};

TEST_F(JournalRun, ASecondRunPrintsNothingTwiceAndAReprintPrintsAgain)
{
    writeLog(qso("DL1AB", "20240102") + qso("DL1AB", "20240103") +
             qso("SP1AA", "20240101", "1200", " <QSL_VIA:6>direct <ADDRESS:4>Here"));
    ASSERT_EQ(runIt(), RunOutcome::Done);
    const std::string first = journal();
    EXPECT_EQ(first.rfind("CARDMILL journal 1\r\n", 0), 0u);
    EXPECT_NE(first.find("1\tB\t"), std::string::npos) << first;
    EXPECT_NE(first.find("\tDL1AB|20240102|1200|20M|CW\r\n"), std::string::npos) << first;
    EXPECT_NE(first.find("1\tD\t"), std::string::npos) << first;
    EXPECT_NE(first.find("\tSP1AA|20240101|1200|20M|CW\r\n"), std::string::npos) << first;

    // The same log with one QSO more: only that one is printed, and the others are said to be left out.
    writeLog(qso("DL1AB", "20240102") + qso("DL1AB", "20240103") + qso("DL1AB", "20240104") +
             qso("SP1AA", "20240101", "1200", " <QSL_VIA:6>direct <ADDRESS:4>Here"));
    ASSERT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(1), test::kHeader + test::line("DL1AB", "2024-01-04"));
    EXPECT_EQ(host.summaries.back().routes.leftOut, 3u);
    EXPECT_EQ(journal().substr(0, first.size()), first); // only ever appended
    EXPECT_NE(journal().find("2\tB\t"), std::string::npos);

    // Nothing new: said so, nothing made, nothing marked.
    ASSERT_EQ(runIt(), RunOutcome::NoData);
    EXPECT_EQ(host.messageIds().back(), TextId::NothingNew);
    // A reprint prints them all again.
    host.routes.reprint = true;
    ASSERT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(host.summaries.back().routes.leftOut, 0u);
    EXPECT_NE(output(1).find("DL1AB,2024-01-02"), std::string::npos);
}

TEST_F(JournalRun, ACutOffLineIsPassedOverAndAForeignFileIsRefusedBeforeAnythingIsMade)
{
    writeLog(qso("DL1AB", "20240102"));
    dir.write("settings/cardmill-journal.txt", "CARDMILL journal 1\r\n4\tB\t20240101\tx.pdf\t1\t1\tDL1AB|2024");
    ASSERT_EQ(runIt(), RunOutcome::Done); // the cut-off line holds no whole key: the QSO is printed
    EXPECT_TRUE(host.summaries.back().routes.journalTorn);
    const std::string j = journal();
    EXPECT_NE(j.find("DL1AB|2024\r\n5\tB\t"), std::string::npos) << j; // ended, and the next run numbered on

    dir.write("settings/cardmill-journal.txt", "my own notes\r\n");
    std::filesystem::remove(file("_1.txt"));
    EXPECT_EQ(runIt(), RunOutcome::Abandoned);
    EXPECT_EQ(host.failures.back().id, FailureId::JournalNotOurs);
    EXPECT_FALSE(std::filesystem::exists(file("_1.txt")));
    EXPECT_EQ(readFile(host.routes.journal), "my own notes\r\n");
}

// Draws nothing but a one-line "PDF" and hands every batch to a printer, which refuses, or is stopped at, the
// batch `failAt` (from 1).
class PrintingDrawer : public LabelDrawer {
public:
    enum class Then { Refused, Stopped };
    PrintingDrawer(int failAt, Then then, bool& stopFlag)
        : m_failAt(failAt)
        , m_then(then)
        , m_stopFlag(stopFlag)
    {
    }
    DrawnLabels draw(const RunLabels&, const std::filesystem::path& pdf, const Progress& progress) override
    {
        DrawnLabels drawn;
        const bool fails = ++m_calls == m_failAt;
        if (fails && m_then == Then::Stopped)
            m_stopFlag = true;
        if (!progress(1, 1))
            return drawn;
        std::ofstream(pdf) << "pdf";
        drawn.pdfMade = true;
        drawn.sheets = 1;
        drawn.printer = "Office";
        if (fails) {
            drawn.printFailure = Failure{FailureId::PrintRefused, {}, "out of paper", "Office"};
            return drawn;
        }
        drawn.printedSheets = 1;
        drawn.complete = true;
        return drawn;
    }
    std::size_t labelsPerSheet() const override { return 21; }

private:
    int m_failAt, m_calls = 0;
    Then m_then;
    bool& m_stopFlag;
};

// A batch a printer took is journalled and its QSOs marked, though a later batch's print was refused or
// stopped: no later run prints them again, and none is left unmarked for good. The batch that was not printed
// is in neither.
TEST_F(JournalRun, BatchesPrintedBeforeARefusalOrAStopAreJournalledAndMarked)
{
    for (const PrintingDrawer::Then then : {PrintingDrawer::Then::Refused, PrintingDrawer::Then::Stopped}) {
        SCOPED_TRACE(then == PrintingDrawer::Then::Refused ? "refused" : "stopped");
        std::filesystem::remove(host.routes.journal);
        host.stopFlag = false;
        writeLog(qso("DL1AB", "20240102") + qso("SP1AA", "20240101", "1200", " <QSL_VIA:6>direct <ADDRESS:4>Here"));
        host.mainDocument.clear();
        host.sheet.stock = "Avery L7163";
        PrintingDrawer drawer(2, then, host.stopFlag); // the bureau's batch printed, the direct one not
        ConversionRun drawing(&maker, &drawer);
        const RunOutcome outcome = host.runWith(drawing);
        EXPECT_EQ(outcome, then == PrintingDrawer::Then::Refused ? RunOutcome::Abandoned : RunOutcome::Stopped);
        const std::string j = journal();
        EXPECT_NE(j.find("\tDL1AB|20240102|1200|20M|CW\r\n"), std::string::npos) << j;
        EXPECT_EQ(j.find("SP1AA"), std::string::npos) << j;
        const std::string updated = readFile(file("_updated.adi"));
        EXPECT_NE(updated.find("<CALL:5>DL1AB <QSO_DATE:8>20240102 <TIME_ON:4>1200 <BAND:3>20M <MODE:2>CW "
                               "<RST_SENT:3>599 <QSL_SENT:1>Y"),
                  std::string::npos)
            << updated;
        EXPECT_NE(updated.find("<ADDRESS:4>Here <EOR>"), std::string::npos) << updated; // not marked
        // The ending says what was marked.
        ASSERT_FALSE(host.summaries.empty());
        ASSERT_EQ(host.summaries.back().marked.size(), 1u);
        EXPECT_EQ(host.summaries.back().marked[0].qsos, 1u);
        std::filesystem::remove(file("_updated.adi"));
    }
}

} // namespace
} // namespace cardmill
