#include "engine/LineComposer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/DataSourceFiles.h"
#include "engine/Text.h"
#include "support/FakeSettings.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::FakeSettings;
using test::readFile;
using test::TempDir;

class LineComposerTest : public ::testing::Test {
protected:
    LineComposerTest()
        : bad(dir / "log_bad.txt")
    {
        bad.create();
    }

    // The QSO line of a record with the settings as they are now, or "<filtered>" / "<call filtered>" /
    // "<dropped>".
    std::string qso(const std::string& text)
    {
        record.assign(text, text);
        return compose(false);
    }
    std::string swl(const std::string& text)
    {
        record.assign(text, text);
        return compose(true);
    }
    // The line of `record`, from the main log or the SWL file.
    std::string compose(bool fromSwlFile)
    {
        request = {};
        settings.applyTo(request);
        const QsoFilters filters(request.filters);
        LineComposer composer(request.format, filters, bad);
        const LineComposer::Outcome o =
            fromSwlFile ? composer.composeSwl(record, line) : composer.composeQso(record, line);
        // What grouping is told of every line agrees with reading the line again.
        if (o == LineComposer::Outcome::Line) {
            EXPECT_EQ(composer.lineKind(),
                      (LineKind{isSwlLine(line), text::findNoCase(line, "_SWL") != std::string::npos}))
                << line;
        }
        return outcome(o);
    }
    std::string outcome(LineComposer::Outcome o) const
    {
        switch (o) {
        case LineComposer::Outcome::Line: return line;
        case LineComposer::Outcome::Filtered: return "<filtered>";
        case LineComposer::Outcome::CallFiltered: return "<call filtered>";
        case LineComposer::Outcome::Dropped: return "<dropped>";
        }
        return {};
    }
    std::string badText() const { return readFile(bad.writing()); }

    TempDir dir;
    FakeSettings settings;
    RunRequest request;
    BadRecordsFile bad;
    AdifRecord record;
    std::string line;
};

const std::string kFull = "<CALL:6>SP1ABC<QSO_DATE:8>20060923<TIME_ON:6>123456<BAND:3>20M<MODE:3>SSB<RST_SENT:2>59"
                          "<QSL_RCVD:1>Y<QSL_VIA:5>W3HNK<NAME:13>Kowalski, Jan<QTH:6>Poznan<OPERATOR:5>SP1ZZ"
                          "<CONTEST_ID:8>SP-DX,CW<EOR>";

TEST_F(LineComposerTest, ComposesAllColumnsInOrder)
{
    EXPECT_EQ(qso(kFull), "SP1ABC,2006-09-23,12:34,20M,SSB,59,Y,W3HNK,Kowalski  Jan,Poznan,SP1ZZ,SP-DX CW,");
    EXPECT_EQ(qso("<CALL:4>DL1A<QSO_DATE:8>20060923<TIME_ON:4>1234<BAND:3>20M<MODE:3>SSB<RST_SENT:2>59<EOR>"),
              "DL1A,2006-09-23,12:34,20M,SSB,59,N,,,,,,");
    EXPECT_TRUE(bad.clean());
    EXPECT_EQ(badText(), "");
}

TEST_F(LineComposerTest, CommasInAnyValueBecomeBlanks)
{
    settings.separator = ",";
    settings.fields = {"COMMENT"};
    const std::string l = qso("<CALL:4>AB,1<QSO_DATE:8>20060923<TIME_ON:4>1234<FREQ:6>14,025<MODE:3>SSB"
                              "<QSL_VIA:13>W3HNK, direct<OPERATOR:5>A,B C<COMMENT:3>a,b<EOR>");
    EXPECT_EQ(l, "AB 1,2006 09 23,12:34,20M,SSB,,N,W3HNK  direct,,,A B C,,,a b");
    EXPECT_EQ(std::count(l.begin(), l.end(), ','), 13);
}

TEST_F(LineComposerTest, ShortAndOddValues)
{
    const std::string head = "<CALL:3>AB1<QSO_DATE:8>20060923<BAND:3>20M<MODE:2>CW";
    EXPECT_EQ(qso(head + "<TIME_ON:2>12<RST_SENT:1>5<QSL_RCVD:0><EOR>"), "AB1,2006-09-23,12:,20M,CW,5,N,,,,,,");
    EXPECT_EQ(qso(head + "<TIME_ON:4>0915<RST_SENT:3>599<QSL_RCVD:1>r<EOR>"),
              "AB1,2006-09-23,09:15,20M,CW,599,r,,,,,,");
    // Mode of ten characters and a call of length 1 or over 20: read by their declared length.
    EXPECT_EQ(qso("<CALL:1>K<QSO_DATE:8>20060923<TIME_ON:4>0915<BAND:3>20M<MODE:10>OLIVIA8/25<EOR>"),
              "K,2006-09-23,09:15,20M,OLIVIA8/25,,N,,,,,,");
    EXPECT_EQ(qso("<CALL:21>ABCDEFGHIJKLMNOPQRSTU<QSO_DATE:8>20060923<TIME_ON:4>0915<BAND:3>20M<MODE:2>CW<EOR>")
                  .substr(0, 22),
              "ABCDEFGHIJKLMNOPQRSTU,");
}

TEST_F(LineComposerTest, MissingFieldsAreReportedInOrder)
{
    const std::string r = "<QSO_DATE:8>20060923<EOR>";
    EXPECT_EQ(qso(r), ",2006-09-23,??:??,,,,N,,,,,,");
    EXPECT_EQ(badText(), "No CALL field: \r\n" + r + "\r\nNo TIME_ON field: \r\n" + r +
                             "\r\nNo freq and band information:\r\n" + r + "\r\nNo MODE field: \r\n" + r + "\r\n");
    EXPECT_FALSE(bad.clean());
}

TEST_F(LineComposerTest, DateProblems)
{
    // No date: reported, and the placeholder "0" is formatted.
    EXPECT_EQ(qso("<CALL:3>AB1<TIME_ON:4>1234<BAND:3>20M<MODE:2>CW<EOR>"), "AB1,0--,12:34,20M,CW,,N,,,,,,");
    EXPECT_EQ(badText().substr(0, 20), "No QSO_DATE field:\r\n");

    // A letter in the date: reported with the record's text, trimmed as every entry is (blanks after the
    // <EOR> are no part of it), and no line even if a filter would drop it.
    settings.dateRange = true;
    const std::string trimmed = "<CALL:3>AB1<QSO_DATE:8>2006O923<EOR>";
    record.assign(trimmed, "  " + trimmed + " \t ");
    EXPECT_EQ(compose(false), "<dropped>");
    EXPECT_NE(badText().find("Error in QSO_DATE field:\r\n" + trimmed + "\r\n"), std::string::npos);
    // Blanks are not digits.
    EXPECT_EQ(qso("<CALL:3>AB1<QSO_DATE:8> 2006092<EOR>"), "<dropped>");
}

TEST_F(LineComposerTest, UnreadableLengthIsReportedAndTheQsoKeepsItsLine)
{
    const std::string r = "<CALL:3>AB1<QSO_DATE:8>20060923<TIME_ON:4>1234<BAND:3>20M<MODE:x>CW<NAME:5:S>Janek<EOR>";
    EXPECT_EQ(qso(r), "AB1,2006-09-23,12:34,20M,,,N,,Janek,,,,");
    EXPECT_EQ(badText(), "Error in MODE field length:\r\n" + r + "\r\n");
}

TEST_F(LineComposerTest, SwlMarkingInTheMainLog)
{
    const std::string tail = "<QSO_DATE:8>20060923<TIME_ON:4>1234<BAND:3>20M<MODE:2>CW";
    EXPECT_EQ(qso("<CALL:10>SP9XYZ_SWL" + tail + "<COMMENT:22>WKD: dl1abc and others<EOR>"),
              "SP9XYZ,2006-09-23,12:34,20M,CW,,N,,,,,,DL1ABC");
    EXPECT_EQ(qso("<CALL:11>SP9XYZ_SWL=" + tail + "<COMMENT:10>WKD:DL1ABC<EOR>"),
              "SP9XYZ,2006-09-23,12:34,20M,CW,,N,,,,,,DL1ABC<EOR>");
    // "WKD:" without "_SWL" is a QSO; lower-case "_swl" marks the report but stays in the call.
    EXPECT_EQ(qso("<CALL:6>SP9XYZ" + tail + "<COMMENT:10>WKD:DL1ABC<EOR>"), "SP9XYZ,2006-09-23,12:34,20M,CW,,N,,,,,,");
    EXPECT_EQ(qso("<CALL:10>SP9XYZ_swl" + tail + "<COMMENT:11>WKD: DL1ABC<EOR>"),
              "SP9XYZ_swl,2006-09-23,12:34,20M,CW,,N,,,,,,DL1ABC<EOR>");
    // "_SWL" in a user field marks nothing, yet starts a label of its own; a worked call of blanks is none.
    settings.fields = {"NOTES"};
    EXPECT_EQ(qso("<CALL:6>SP9XYZ" + tail + "<NOTES:9>via_swl b<EOR>"),
              "SP9XYZ,2006-09-23,12:34,20M,CW,,N,,,,,,,via_swl b");
    EXPECT_EQ(swl("<CALL:6>SP9XYZ" + tail + "<APP_LOGGER32_STATION_IN_QSO_WITH:3>   <EOR>"),
              "SP9XYZ,2006-09-23,12:34,20M,CW,,Y,,,,,,   ,");
}

TEST_F(LineComposerTest, UserDefinedColumns)
{
    settings.fields = {"STATE", "CNTY", "NOTES"};
    const std::string l =
        qso("<CALL:3>AB1<QSO_DATE:8>20060923<TIME_ON:4>1234<BAND:3>20M<MODE:2>CW<cnty:3>abc<NOTES:120>" +
            std::string(120, 'n') + "<EOR>");
    EXPECT_EQ(l, "AB1,2006-09-23,12:34,20M,CW,,N,,,,,,,,abc," + std::string(120, 'n'));
}

TEST_F(LineComposerTest, FiltersAndTheCallFilter)
{
    settings.qslEnabled[QslFilter::Sent] = true;
    EXPECT_EQ(qso(kFull), "<filtered>");
    settings.qslEnabled[QslFilter::Sent] = false;
    settings.callEnabled = true;
    settings.call = "SP1ABC";
    EXPECT_NE(qso(kFull), "<call filtered>");
    EXPECT_EQ(qso("<CALL:10>SP1ABC_SWL<QSO_DATE:8>20060923<EOR>").substr(0, 7), "SP1ABC,");
    EXPECT_EQ(qso("<CALL:8>SP1ABC/P<QSO_DATE:8>20060923<EOR>"), "<call filtered>");
    // An empty call box lets only records without a call through; their missing call is still reported.
    settings.call.clear();
    EXPECT_EQ(qso(kFull), "<call filtered>");
    bad.create();
    const std::string noCall = "<QSO_DATE:8>20060923<TIME_ON:4>1234<BAND:3>20M<MODE:2>CW<EOR>";
    EXPECT_EQ(qso(noCall).substr(0, 1), ",");
    EXPECT_EQ(badText(), "No CALL field: \r\n" + noCall + "\r\n");
}

TEST_F(LineComposerTest, SwlSourceRecords)
{
    settings.dateRange = true; // no filter applies to the SWL file
    settings.from = settings.to = {1999, 1, 1};
    EXPECT_EQ(swl("<CALL:8>SP-12345<QSO_DATE:8>20060923<TIME_ON:4>1234<BAND:3>20M<MODE:2>CW<RST_SENT:2>59"
                  "<QSL_RCVD:1>N<APP_LOGGER32_STATION_IN_QSO_WITH:5>dl1ab<EOR>"),
              "SP-12345,2006-09-23,12:34,20M,CW,,Y,,,,,,dl1ab");
    EXPECT_EQ(swl("<CALL:8>SP-12345<QSO_DATE:8>20060923<TIME_ON:4>1234<BAND:3>20M<MODE:2>CW"
                  "<APP_LOGGER32_STATION_IN_QSO_WITH:12>DL1AB/P mine<EOR>"),
              "SP-12345,2006-09-23,12:34,20M,CW,,Y,,,,,,DL1AB/P mine");
    EXPECT_EQ(swl("<CALL:8>SP-12345<QSO_DATE:8>20060923<TIME_ON:4>1234<BAND:3>20M<MODE:2>CW<EOR>"),
              "SP-12345,2006-09-23,12:34,20M,CW,,Y,,,,,,");
    EXPECT_TRUE(bad.clean());
    EXPECT_EQ(swl("<CALL:3>AB1<QSO_DATE:8>20060923<TIME_ON:4>1234<BAND:3>20M<MODE:2>CW"
                  "<APP_LOGGER32_STATION_IN_QSO_WITH:y>DL1AB<EOR>"),
              "AB1,2006-09-23,12:34,20M,CW,,Y,,,,,,");
    EXPECT_EQ(badText().substr(0, 57), "Error in APP_LOGGER32_STATION_IN_QSO_WITH field length:\r\n");
}

} // namespace
} // namespace cardmill
