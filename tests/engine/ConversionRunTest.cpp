#include "engine/ConversionRun.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/DataSourceFiles.h"
#include "engine/LabelDrawer.h"
#include "tests/engine/RunFixture.h"

namespace cardmill {
namespace {

using test::kHeader;
using test::line;
using test::readFile;
using ConversionRunTest = test::RunFixture;

TEST(BaseOf, CutsAtTheFirstDotOfTheFileNameOnly)
{
    EXPECT_EQ(baseOf("/logs/my.log.adi"), "/logs/my");
    EXPECT_EQ(baseOf("/home/u/Log.2006/log.adi"), "/home/u/Log.2006/log");
    EXPECT_EQ(baseOf("/home/u/.hidden/log"), "/home/u/.hidden/log");
    EXPECT_EQ(baseOf("log.adi"), "log");
}

TEST_F(ConversionRunTest, PreconditionsInOrder)
{
    host.log.clear();
    EXPECT_EQ(runIt(), RunOutcome::Refused);
    host.log = dir / "logs" / "my.log.adi";
    host.mainDocument.clear();
    EXPECT_EQ(runIt(), RunOutcome::Refused);
    host.mainDocument = dir / "nowhere_1.doc";
    EXPECT_EQ(runIt(), RunOutcome::Refused);
    EXPECT_EQ(host.messageIds(),
              (std::vector<TextId>{TextId::NoSourceFile, TextId::NoMainDocument, TextId::MainDocumentMissing}));
    EXPECT_FALSE(std::filesystem::exists(dir / "logs"));
}

TEST_F(ConversionRunTest, MissingLogIsNamedAndLeavesNoEmptyBadRecordsFile)
{
    std::filesystem::create_directories(dir / "logs");
    EXPECT_EQ(runIt(), RunOutcome::Refused);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].id, TextId::LogNotFound);
    EXPECT_EQ(host.messages[0].args, TextArgs{host.log.string()});
    EXPECT_FALSE(std::filesystem::exists(file("_bad.txt")));
    EXPECT_TRUE(maker.merges.empty());

    // A folder is not a log either.
    std::filesystem::create_directories(host.log);
    EXPECT_EQ(runIt(), RunOutcome::Refused);
}

TEST_F(ConversionRunTest, NormalRunWritesFilesMergesAndCleansUp)
{
    host.size = 3;
    writeLog(qso("DL1AA", "20060923", "1200") + qso("SP1ABC", "20060924", "0800") + qso("DL1AA", "20060922") +
             qso("sp1abc", "20060101"));
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(2), kHeader + line("DL1AA", "2006-09-22") + line("DL1AA"));
    EXPECT_EQ(output(1), kHeader + line("sp1abc", "2006-01-01") + line("SP1ABC", "2006-09-24", "08:00"));
    EXPECT_EQ(output(3), "<none>");
    EXPECT_EQ(output(0), "<none>");
    EXPECT_FALSE(std::filesystem::exists(file("_bad.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "exe")); // nothing goes beside the program

    // The merge got each data-source file's lines, not a file to read back.
    EXPECT_EQ(maker.summary(), (std::vector<std::string>{"card_1.doc:2 lines", "card_2.doc:2 lines"}));
    ASSERT_EQ(host.summaries.size(), 1u);
    ASSERT_EQ(host.summaries[0].made.size(), 2u);
    EXPECT_EQ(host.summaries[0].made[0].document, file("_labels_1.docx"));
    EXPECT_EQ(host.summaries[0].made[1].document, file("_labels_2.docx"));
    EXPECT_TRUE(maker.exported.empty()); // no PDF unless asked for
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(host.summaries.size(), 1u);
    EXPECT_EQ(host.summaries[0].kind, RunSummary::Kind::Labels);
    EXPECT_FALSE(host.summaries[0].badRecords);
    EXPECT_FALSE(host.progressVisible);
    EXPECT_EQ(host.statuses.back(), "");
    // The bar counted the records of the last pass.
    EXPECT_EQ(host.progressMaximum, 2u);
    EXPECT_EQ(host.progressPosition, 2u);
}

TEST_F(ConversionRunTest, SeveralRecordsOnOneLineEachGetTheirOwnLabel)
{
    // A web export without line breaks: every QSO gets its label, and a QSO without a manager does not get its
    // neighbour's. Text after an "<EOR>" that holds no QSO is said once and gets none.
    std::string oneLine;
    for (const std::string& r : {qso("DL1AA"), qso("DL2BB", "20060923", "1200", " <QSL_VIA:5>DL9XX"), qso("DL3CC")})
        oneLine += r.substr(0, r.size() - 2);
    writeLog(oneLine + "<IOTA:6>EU-001<EOR>\r\n");
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(1),
              kHeader + line("DL1AA") + "DL2BB,2006-09-23,12:00,20M,CW,599,N,DL9XX,,,,,\r\n" + line("DL3CC"));
    EXPECT_EQ(readFile(file("_bad.txt")),
              "Not a QSO (no CALL, no QSO_DATE) after the <EOR> of the record before it on its line:\r\n"
              "<IOTA:6>EU-001<EOR>\r\n");
}

TEST_F(ConversionRunTest, BadRecordsAreKeptAndNamed)
{
    writeLog(qso("DL1AA") + "<CALL:5>DL2BB <QSO_DATE:8>20060923 <TIME_ON:4>1200 <BAND:3>20M <EOR>\r\n");
    EXPECT_EQ(runIt(), RunOutcome::Done);
    ASSERT_EQ(host.summaries.size(), 1u);
    EXPECT_TRUE(host.summaries[0].badRecords);
    EXPECT_EQ(host.summaries[0].base, dir / "logs" / "my");
    EXPECT_EQ(readFile(file("_bad.txt")),
              "No MODE field: \r\n<CALL:5>DL2BB <QSO_DATE:8>20060923 <TIME_ON:4>1200 <BAND:3>20M <EOR>\r\n");
}

TEST_F(ConversionRunTest, NoDataSaysWhyAndLeavesEarlierFilesAlone)
{
    writeLog(qso("DL1AA"));
    dir.write("logs/my_1.txt", "earlier run");
    host.settings.callEnabled = true;
    host.settings.call = "K1ABC";
    EXPECT_EQ(runIt(), RunOutcome::NoData);
    EXPECT_EQ(output(1), "earlier run");
    EXPECT_FALSE(host.progressVisible);
    EXPECT_TRUE(maker.merges.empty());

    host.settings.callEnabled = false;
    host.settings.dateRange = true;
    host.settings.from = host.settings.to = {2020, 1, 1};
    EXPECT_EQ(runIt(), RunOutcome::NoData);

    writeLog("");
    EXPECT_EQ(runIt(), RunOutcome::NoData);

    writeLog(qso("DL1AA", "2006O923"));
    host.settings.dateRange = false;
    EXPECT_EQ(runIt(), RunOutcome::NoData);
    EXPECT_EQ(host.messageIds(), (std::vector<TextId>{TextId::NoDataFiltered, TextId::NoDataFiltered,
                                                      TextId::NoDataEmptyLog, TextId::NoDataUnreadable}));
    EXPECT_EQ(host.messages.back().args, TextArgs{(dir / "logs" / "my").string()});
}

TEST_F(ConversionRunTest, StopDuringTheLogPassEndsAfterTheCurrentRecord)
{
    std::string records;
    for (int i = 0; i < 20; ++i)
        records += qso("DL" + std::to_string(i) + "AA");
    writeLog(records);
    host.onStopCheck = [this](int call) { // after each record
        if (call == 5)
            host.stopFlag = true;
    };
    EXPECT_EQ(runIt(), RunOutcome::Stopped);
    EXPECT_EQ(run.lines().size(), 5u);
    EXPECT_EQ(host.messageIds(), std::vector<TextId>{TextId::ProcessStoppedNoData});
    EXPECT_FALSE(host.stopFlag);
    EXPECT_FALSE(host.progressVisible);
    EXPECT_TRUE(maker.merges.empty());
    EXPECT_EQ(output(1), "<none>");

    // The next run starts afresh and runs to its end.
    host.onStopCheck = nullptr;
    host.messages.clear();
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(run.lines().size(), 20u);
}

TEST_F(ConversionRunTest, StopDuringGroupingLeavesTheFilesOfTheLastRunAsTheyWere)
{
    writeLog(qso("DL1AA") + qso("DL2BB") + qso("DL3CC"));
    dir.write("logs/my_1.txt", "the last run's labels");
    dir.write("logs/my_4.txt", "the last run's labels of four");
    int groupingChecks = 0;
    host.onStopCheck = [&](int) {
        if (!host.statuses.empty() && host.statuses.back() == std::to_string(int(TextId::StatusRewriting)) &&
            ++groupingChecks == 3) // just after the second line was grouped
            host.stopFlag = true;
    };
    EXPECT_EQ(runIt(), RunOutcome::Stopped);
    // Half-written files never take the place of complete ones, and no temporary file is left.
    EXPECT_EQ(output(1), "the last run's labels");
    EXPECT_EQ(output(4), "the last run's labels of four");
    EXPECT_EQ(output(2), "<none>");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "logs"), {}), 3);
    EXPECT_TRUE(maker.merges.empty());
}

TEST_F(ConversionRunTest, StopWhileTheLastLineIsReadStopsBeforeTheMerge)
{
    writeLog(qso("DL1AA"));
    // An earlier run's data-source file stays as it was; no file of this run is put in place.
    dir.write("logs/my_1.txt", "earlier");
    int groupingChecks = 0;
    host.onStopCheck = [&](int) {
        // Grouping looks before every line and once after the last.
        if (!host.statuses.empty() && host.statuses.back() == std::to_string(int(TextId::StatusRewriting)) &&
            ++groupingChecks == 2)
            host.stopFlag = true;
    };
    EXPECT_EQ(runIt(), RunOutcome::Stopped);
    EXPECT_EQ(groupingChecks, 2);
    EXPECT_TRUE(maker.merges.empty());
    EXPECT_EQ(host.messageIds(), std::vector<TextId>{TextId::ProcessStoppedNoData});
    EXPECT_EQ(test::readFile(dir / "logs" / "my_1.txt"), "earlier");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir / "logs"))
        ++files;
    EXPECT_EQ(files, 2u) << "the log and the earlier file only";
}

TEST_F(ConversionRunTest, StopInTheSwlPassWaitsForGrouping)
{
    writeLog(qso("DL1AA"));
    host.swl = dir.write("swl.adi",
                         "<EOH>\n" + qso("SP-001", "20060923", "1200", " <APP_LOGGER32_STATION_IN_QSO_WITH:5>DL1AA"));
    host.onStopCheck = [&](int) {
        if (!host.statuses.empty() && host.statuses.back() == std::to_string(int(TextId::StatusProcessingSwl)))
            FAIL() << "the SWL pass does not stop";
    };
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(0), kHeader + "SP-001,2006-09-23,12:00,20M,CW,,Y,,,,,,DL1AA\r\n");
}

TEST_F(ConversionRunTest, SwlFromTheLogAndFromTheSwlFile)
{
    writeLog(qso("SP9XYZ_SWL", "20060923", "1200", " <COMMENT:12>WKD: dl1abc ") + qso("DL1ABC"));
    // The SWL file is not filtered, and its trailing blank lines are no bad record.
    host.settings.dateRange = true;
    host.settings.from = host.settings.to = {2006, 9, 23};
    host.swl = dir.write(
        "swl.adi",
        "<EOH>\r\n" + qso("SP-001", "19990101", "0700", " <APP_LOGGER32_STATION_IN_QSO_WITH:6>DL1ABC") + "\r\n\r\n");
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(0), kHeader + "SP-001,1999-01-01,07:00,20M,CW,,Y,,,,,,DL1ABC\r\n" +
                             line("SP9XYZ", "2006-09-23", "12:00", "DL1ABC"));
    EXPECT_EQ(output(1), kHeader + line("DL1ABC"));
    EXPECT_EQ(maker.summary(), (std::vector<std::string>{"card_1.doc:1 lines", "card_swl.doc:2 lines"}));

    // A vanished SWL file is skipped silently.
    host.swl = dir / "gone.adi";
    host.messages.clear();
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(0), kHeader + line("SP9XYZ", "2006-09-23", "12:00", "DL1ABC"));
}

TEST_F(ConversionRunTest, AnOutputNameThatIsAFolderAbandonsTheRun)
{
    writeLog(qso("DL1AA"));
    std::filesystem::create_directories(file("_4.txt"));
    EXPECT_EQ(runIt(), RunOutcome::Abandoned);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find(file("_4.txt").string()), std::string::npos);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(host.progressVisible);
    EXPECT_EQ(host.statuses.back(), "");
    EXPECT_TRUE(maker.merges.empty());
}

TEST_F(ConversionRunTest, WithoutADriverOnlyDataSourceFilesAreWritten)
{
    ConversionRun dataOnly(nullptr);
    host.mainDocument.clear();
    writeLog(qso("DL1AA"));
    EXPECT_EQ(host.runWith(dataOnly), RunOutcome::Done);
    EXPECT_EQ(output(1), kHeader + line("DL1AA"));
    ASSERT_EQ(host.summaries.size(), 1u);
    EXPECT_EQ(host.summaries[0].kind, RunSummary::Kind::DataSourceFiles);
}

// Notes each label it is given as "CALL:qsos times" and writes a one-page "PDF".
class RecordingDrawer : public LabelDrawer {
public:
    std::vector<std::string> labels;
    std::optional<Failure> printFailure; // the PDF made, the print refused
    DrawnLabels draw(const RunLabels& run, const std::filesystem::path& pdf, const Progress& progress) override
    {
        for (std::size_t i = 0; i < run.count(); ++i) {
            std::string label = std::string(run.value(i, "CALL", 0)) + ":" + std::to_string(run.qsos(i));
            for (int q = 0; q < std::max(run.qsos(i), 1); ++q)
                label += " " + std::string(run.value(i, "TIME_ON", q));
            labels.push_back(label + std::string(run.value(i, "CALL_WORKED", 0)));
        }
        DrawnLabels drawn;
        if (!progress(1, 1))
            return drawn;
        std::ofstream(pdf) << "pdf";
        drawn.pdfMade = drawn.complete = true;
        drawn.sheets = 1;
        if (printFailure) {
            drawn.complete = false;
            drawn.printer = "Office";
            drawn.printFailure = printFailure;
        }
        return drawn;
    }
};

TEST_F(ConversionRunTest, ALabelSheetHasTheLabelsDrawnInsteadOfMerged)
{
    writeLog(qso("DL1ABC", "20060923", "1300") + qso("SP9XYZ_SWL", "20060923", "1200", " <COMMENT:12>WKD: dl1abc ") +
             qso("DL1ABC") + qso("AA1A") + qso("DL1ABC", "20060924", "0900"));
    host.size = 2;
    host.mainDocument.clear(); // not needed
    host.sheet.stock = "Avery L7163";
    RecordingDrawer drawer;
    ConversionRun drawing(&maker, &drawer);
    ASSERT_EQ(host.runWith(drawing), RunOutcome::Done);
    EXPECT_TRUE(maker.merges.empty());
    // Every size and the SWL label in one stream, in the order of the sorted lines; each label with its QSOs.
    EXPECT_EQ(drawer.labels, (std::vector<std::string>{"AA1A:1 12:00", "DL1ABC:2 12:00 13:00", "DL1ABC:1 09:00",
                                                       "SP9XYZ:0 12:00DL1ABC"}));
    EXPECT_EQ(output(1), kHeader + line("AA1A") + line("DL1ABC", "2006-09-24", "09:00"));
    ASSERT_EQ(host.summaries.size(), 1u);
    EXPECT_EQ(host.summaries[0].kind, RunSummary::Kind::Drawn);
    EXPECT_EQ(host.summaries[0].pdfs, std::vector<std::filesystem::path>{file("_labels.pdf")});
    ASSERT_NE(host.summaries[0].labels, nullptr);
    EXPECT_EQ(host.summaries[0].labels->count(), 4u); // kept for a preview

    // A stop while drawing: stopped, saying that the data-source files are new and the labels' PDF is the
    // earlier run's, or that there is none.
    host.onStopCheck = [&](int) { host.stopFlag = !drawer.labels.empty(); };
    drawer.labels.clear();
    EXPECT_EQ(host.runWith(drawing), RunOutcome::Stopped);
    EXPECT_EQ(host.messageIds().back(), TextId::ProcessStoppedNotDrawn);
    std::filesystem::remove(file("_labels.pdf"));
    drawer.labels.clear();
    EXPECT_EQ(host.runWith(drawing), RunOutcome::Stopped);
    EXPECT_EQ(host.messageIds().back(), TextId::ProcessStoppedNotDrawnNoPdf);

    // A print the system did not take: the PDF is said, the run is no success, and nothing is marked.
    host.onStopCheck = nullptr;
    host.stopFlag = false;
    host.marking = {true, 'B'};
    drawer.printFailure = Failure{FailureId::PrintRefused, {}, "Bad copies value", "Office"};
    EXPECT_EQ(host.runWith(drawing), RunOutcome::Abandoned);
    EXPECT_FALSE(std::filesystem::exists(file("_sent.adi")));
    ASSERT_FALSE(host.summaries.empty());
    EXPECT_EQ(host.summaries.back().pdfs, std::vector<std::filesystem::path>{file("_labels.pdf")});
    EXPECT_EQ(host.summaries.back().notMarked->id, FailureId::PrintRefused);
    drawer.printFailure.reset();
    host.marking = {};

    // A program that cannot draw refuses the sheet rather than end with data-source files only.
    ConversionRun cannotDraw(&maker);
    EXPECT_EQ(host.runWith(cannotDraw), RunOutcome::Refused);
    EXPECT_EQ(host.messageIds().back(), TextId::NoLabelDrawing);
}

} // namespace
} // namespace cardmill
