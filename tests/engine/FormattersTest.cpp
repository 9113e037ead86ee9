#include <gtest/gtest.h>

#include <array>
#include <string>

#include "engine/AdifRecord.h"
#include "engine/DateFormatter.h"
#include "engine/QrgFormatter.h"

namespace cardmill {
namespace {

// The formatters as a label line gets their text.
std::string formatDate(std::string_view date, int layout, std::string_view separator)
{
    std::string text;
    {
        LineWriter out(text);
        appendDate(out, date, *DateFormat::of(layout), separator);
    }
    return text;
}

struct QrgResult {
    std::string text;
    bool noInformation = false;
};

QrgResult formatQrg(const AdifRecord& record, QrgFormat format)
{
    QrgResult result;
    {
        LineWriter out(result.text);
        result.noInformation = !appendQrg(out, record, format);
    }
    return result;
}

TEST(DateFormatter, FiveLayouts)
{
    const std::array<std::string, 5> expected{"2006-09-23", "23-09-2006", "09-23-2006", "23 Sep 2006", "Sep 23 2006"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(formatDate("20060923", i, "-"), expected[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(formatDate("20060923", 1, "."), "23.09.2006");
    EXPECT_EQ(formatDate("20060923", 3, "."), "23 Sep 2006"); // named months always use blanks
    EXPECT_EQ(formatDate("20060105", 3, "-"), "05 Jan 2006");
    EXPECT_EQ(formatDate("20061231", 4, "-"), "Dec 31 2006");
    EXPECT_EQ(formatDate("20060923", 0, ""), "20060923");
    EXPECT_EQ(formatDate("20060923", 0, "--"), "2006--09--23");
}

TEST(DateFormatter, DigitsAreNotInterpretedExceptForMonthNames)
{
    EXPECT_EQ(formatDate("20061301", 0, "-"), "2006-13-01");
    EXPECT_EQ(formatDate("20061301", 3, "-"), "");
    EXPECT_EQ(formatDate("20060023", 4, "-"), "");
    // The placeholder of a record without QSO_DATE.
    EXPECT_EQ(formatDate("0", 0, "-"), "0--");
    EXPECT_EQ(formatDate("0", 1, "-"), "--0");
    EXPECT_EQ(formatDate("0", 2, "-"), "--0");
    EXPECT_EQ(formatDate("0", 3, "-"), "");
}

// The eight formats of one record, in index order.
std::array<std::string, 8> allFormats(const std::string& record)
{
    const AdifRecord r(record);
    std::array<std::string, 8> out;
    for (int i = 0; i < 8; ++i)
        out[static_cast<std::size_t>(i)] = formatQrg(r, qrgFormatAt(i)).text;
    return out;
}

TEST(QrgFormatter, FrequencyOnly)
{
    EXPECT_EQ(allFormats("<FREQ:6>14.025"),
              (std::array<std::string, 8>{"20", "20M", "14", "14 MHz", "14.025", "14.025 MHz", "14025", "14025 kHz"}));
    const auto vhf = allFormats("<FREQ:5>144.3");
    EXPECT_EQ(vhf[0], "2");
    EXPECT_EQ(vhf[4], "144.300");
    EXPECT_EQ(vhf[7], "144300 kHz");
    EXPECT_EQ(allFormats("<FREQ:5>432.1")[1], "70CM");
    EXPECT_EQ(allFormats("<FREQ:5>432.1")[0], "70");
    EXPECT_EQ(allFormats("<FREQ:4>44.1")[1], "");
    const auto whole = allFormats("<FREQ:2>14");
    EXPECT_EQ(whole[1], "20M");
    EXPECT_EQ(whole[4], "14");
    EXPECT_EQ(whole[6], "14000");
    EXPECT_EQ(whole[7], "14 MHz");
}

TEST(QrgFormatter, BandOnlyUsesTheBandPlan)
{
    EXPECT_EQ(allFormats("<BAND:3>20M"),
              (std::array<std::string, 8>{"20", "20M", "14", "14 MHz", "14", "14 MHz", "14000", "14 MHz"}));
    EXPECT_EQ(allFormats("<band:3>20m")[1], "20M");
    const auto top = allFormats("<BAND:4>160M");
    EXPECT_EQ(top[2], "1.8");
    EXPECT_EQ(top[6], "1800"); // kilohertz, not "18"
    EXPECT_EQ(top[7], "1.8 MHz");
    const auto uhf = allFormats("<BAND:4>70CM");
    EXPECT_EQ(uhf[2], "430");
    EXPECT_EQ(uhf[6], "430000");
    EXPECT_EQ(uhf[7], "430 MHz");
    const auto unknown = allFormats("<BAND:3>60M");
    EXPECT_EQ(unknown[0], "60");
    EXPECT_EQ(unknown[1], "60M");
    EXPECT_EQ(unknown[2], "");
    EXPECT_EQ(unknown[3], " MHz");
    EXPECT_FALSE(formatQrg(AdifRecord("<BAND:3>60M"), qrgFormatAt(2)).noInformation);
}

TEST(QrgFormatter, BothFieldsArePrintedEachFromItsOwn)
{
    const auto top = allFormats("<BAND:4>160M<FREQ:6>1.8385");
    EXPECT_EQ(top[2], "1.8");
    EXPECT_EQ(top[4], "1.838");
    EXPECT_EQ(top[6], "1838");
    EXPECT_EQ(top[7], "1838 kHz");
    EXPECT_EQ(allFormats("<BAND:3>80M<FREQ:6>3,7991")[2], "3.7");
    const auto mixed = allFormats("<BAND:3>20M<FREQ:5>3.525");
    EXPECT_EQ(mixed[0], "20");
    EXPECT_EQ(mixed[2], "3");
}

TEST(QrgFormatter, NeitherFieldIsReported)
{
    const AdifRecord r("<CALL:3>AB1<EOR>");
    const QrgResult one = formatQrg(r, qrgFormatAt(1));
    EXPECT_TRUE(one.noInformation);
    EXPECT_EQ(one.text, "");
    EXPECT_EQ(formatQrg(r, qrgFormatAt(5)).text, " MHz");
    EXPECT_TRUE(formatQrg(AdifRecord("<BAND:0> <FREQ:0>"), qrgFormatAt(0)).noInformation);
}

TEST(QrgFormatter, FrequencyNormalisationTruncates)
{
    EXPECT_EQ(normaliseFrequency("14.1"), "14.100");
    EXPECT_EQ(normaliseFrequency("7.0255"), "7.025");
    EXPECT_EQ(normaliseFrequency("14."), "14.000");
    EXPECT_EQ(normaliseFrequency("14"), "14");
    EXPECT_EQ(frequencyToBand("3.5"), "80M");
    EXPECT_EQ(frequencyToBand("439.9"), "70CM");
    EXPECT_EQ(frequencyToBand("146"), "");
    EXPECT_EQ(frequencyToBand("07"), "");
}

} // namespace
} // namespace cardmill
