#include <gtest/gtest.h>

#include "engine/DataSourceFiles.h"
#include "engine/RunObserver.h"
#include "tests/engine/RunFixture.h"

namespace cardmill {
namespace {

using test::kHeader;
using test::line;
using Grouping = test::RunFixture;

// n QSOs with one station, a minute apart.
std::string station(const std::string& call, int n)
{
    std::string records;
    for (int i = 0; i < n; ++i)
        records += test::record(call, "20060923", "12" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    return records;
}

// The label lines of station(call, n) from `first` to `last` - 1.
std::string lines(const std::string& call, int first, int last)
{
    std::string out;
    for (int i = first; i < last; ++i)
        out += line(call, "2006-09-23", "12:" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    return out;
}

TEST_F(Grouping, LabelSizeOneGivesOneLabelPerQso)
{
    writeLog(station("DL1AA", 3));
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(1), kHeader + lines("DL1AA", 0, 3));
    for (int k = 2; k <= 10; ++k)
        EXPECT_EQ(output(k), "<none>");
}

TEST_F(Grouping, LongRunsAreCutIntoFullLabelsAndARemainder)
{
    host.size = 10;
    writeLog(station("DL1AA", 25));
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(10), kHeader + lines("DL1AA", 0, 20));
    EXPECT_EQ(output(5), kHeader + lines("DL1AA", 20, 25));

    host.size = 3;
    writeLog(station("DL1AA", 7) + station("SP1ABC", 2) + station("SP2XYZ", 2));
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(3), kHeader + lines("DL1AA", 0, 6));
    EXPECT_EQ(output(1), kHeader + lines("DL1AA", 6, 7));
    EXPECT_EQ(output(2), kHeader + lines("SP1ABC", 0, 2) + lines("SP2XYZ", 0, 2));
    EXPECT_EQ(output(10), "<none>");
}

TEST_F(Grouping, CallsInOtherLetterCaseAreOtherStations)
{
    host.size = 4;
    writeLog(qso("dl1aa", "20060101") + qso("DL1AA", "20060923") + qso("DL1AA", "20060924"));
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(1), kHeader + line("dl1aa", "2006-01-01"));
    EXPECT_EQ(output(2), kHeader + line("DL1AA") + line("DL1AA", "2006-09-24"));
}

TEST_F(Grouping, SwlReportsAreLabelsOfTheirOwnAndNeverLost)
{
    host.size = 3;
    // A listener's three reports, and a report filed under a call that also has QSOs, sorted between them.
    const std::string swl = " <COMMENT:12>WKD: SP9ZZZ ";
    writeLog(qso("SP5SWL_SWL", "20060101", "1000", swl) + qso("SP5SWL_SWL", "20060102", "1000", swl) +
             qso("SP5SWL_SWL", "20060103", "1000", swl) + qso("DL1AA", "20060923", "1200") +
             qso("DL1AA_SWL", "20060923", "1300", swl) + qso("DL1AA", "20060923", "1400"));
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(2), kHeader + line("DL1AA") + line("DL1AA", "2006-09-23", "14:00"));
    EXPECT_EQ(output(0), kHeader + line("DL1AA", "2006-09-23", "13:00", "SP9ZZZ") +
                             line("SP5SWL", "2006-01-01", "10:00", "SP9ZZZ") +
                             line("SP5SWL", "2006-01-02", "10:00", "SP9ZZZ") +
                             line("SP5SWL", "2006-01-03", "10:00", "SP9ZZZ"));
    EXPECT_EQ(output(1), "<none>");
}

TEST_F(Grouping, SwlOnlyRunLeavesOnlyTheSwlFile)
{
    writeLog(qso("SP5SWL_SWL", "20060101", "1000", " <COMMENT:12>WKD: SP9ZZZ "));
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_NE(output(0), "<none>");
    for (int k = 1; k <= 10; ++k)
        EXPECT_EQ(output(k), "<none>");
    EXPECT_EQ(maker.summary(), std::vector<std::string>{"card_swl.doc:1 lines"});
}

TEST_F(Grouping, AQsoLineWithTheMarkerStartsANewLabel)
{
    host.size = 3;
    // A lower-case marker stays in the call; without "WKD:" these are QSOs, each starting a label.
    writeLog(qso("SP9X_swl", "20060101") + qso("SP9X_swl", "20060102"));
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(1), kHeader + line("SP9X_swl", "2006-01-01") + line("SP9X_swl", "2006-01-02"));
}

TEST_F(Grouping, UserFieldsExtendHeaderAndLines)
{
    host.settings.fields = {"STATE", "CNTY"};
    writeLog(qso("W1AW", "20060923", "1200", " <STATE:2>CT"));
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(1), "CALL,QSO_DATE,TIME_ON,BAND,MODE,RST_SENT,QSL_RCVD,QSL_VIA,NAME,QTH,OPERATOR,CONTEST_ID,"
                         "CALL_WORKED,STATE,CNTY\r\nW1AW,2006-09-23,12:00,20M,CW,599,N,,,,,,,CT,\r\n");
}

TEST(DataSourceFiles, SwlLineTest)
{
    EXPECT_FALSE(isSwlLine("DL1AA,2006-09-23,12:00,20M,CW,599,N,,,,,,"));
    EXPECT_FALSE(isSwlLine("DL1AA,2006-09-23,12:00,20M,CW,599,N,,,,,,,STATE"));
    EXPECT_TRUE(isSwlLine("DL1AA,2006-09-23,12:00,20M,CW,599,N,,,,,,SP9ZZZ"));
    EXPECT_TRUE(isSwlLine("DL1AA,2006-09-23,12:00,20M,CW,599,N,,,,,,SP9ZZZ,STATE"));
    EXPECT_FALSE(isSwlLine("DL1AA,short"));
    EXPECT_EQ(callColumn("DL1AA,x"), "DL1AA,");
    EXPECT_EQ(dataSourcePath("/l/my", 10), "/l/my_10.txt");
    EXPECT_EQ(dataSourcePath("/l/my", 0), "/l/my_swl.txt");
}

// Every label of every size in one stream: by its first line, or by bundle with SWL labels after the QSO labels
// of their bundle.
TEST(DataSourceFiles, TheLabelsFormOneStreamInTheOrderOfTheirFirstLines)
{
    SortedLines lines;
    for (const char* l : {"DL1AA,2006-09-23,12:00,20M,CW,599,N,,,,,,", "DL1AA,2006-09-23,12:01,20M,CW,599,N,,,,,,OK1EE",
                          "DL1AA,2006-09-23,12:02,20M,CW,599,N,,,,,,", "G4XYZ,2006-09-23,12:00,20M,CW,599,N,,,,,,",
                          "SP9AB,2006-09-23,12:00,20M,CW,599,N,,,,,,OK1EE"})
        lines.add(l, {isSwlLine(l), false});
    lines.sort();
    const test::TempDir dir;
    SilentObserver observer;
    const StopToken stop;
    const LineFormat format;
    GroupedLines grouped;
    DataSourceWriter writer(dir / "log", format, LabelSize::nearest(3), observer, stop);
    ASSERT_EQ(writer.write(lines, grouped), DataSourceWriter::Result::Written);
    using L = StreamLabel;
    EXPECT_EQ(writer.stream(), (std::vector<L>{{2, 0}, {0, 0}, {1, 0}, {0, 1}}));

    // Bureau order: G4XYZ and SP9AB in the first bundle, DL1AA in the second.
    BureauSorting bureau;
    bureau.order = {0, 1, 2, 3, 4};
    bureau.routing = {"DL1AA", "DL1AA", "DL1AA", "G4XYZ", "SP9AB"};
    bureau.bundleOf = {1, 1, 1, 0, 0};
    bureau.bundles = {{"G", "England"}, {"DL", "Fed. Rep. of Germany"}};
    ASSERT_EQ(writer.write(lines, grouped, &bureau), DataSourceWriter::Result::Written);
    EXPECT_EQ(writer.stream(), (std::vector<L>{{1, 0}, {0, 1}, {2, 0}, {0, 0}}));
}

} // namespace
} // namespace cardmill
