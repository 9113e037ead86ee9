// Labels in the order QSL bureaus ask for: routing calls, bundles from the real country file, the order of
// bundles and labels, the packing list.
#include "engine/BureauOrder.h"

#include <gtest/gtest.h>

#include "engine/CountryFile.h"
#include "tests/engine/RunFixture.h"

namespace cardmill {
namespace {

using test::readFile;

// The label line of RunFixture::qso with a manager.
std::string line(const std::string& call, const std::string& via, const std::string& date)
{
    return call + "," + date + ",12:00,20M,CW,599,N," + via + ",,,,,\r\n";
}

TEST(BureauOrder, TheRoutingCallIsTheManagersOrTheHomeCall)
{
    EXPECT_EQ(routingCall("", "dl1aa"), "DL1AA");
    EXPECT_EQ(routingCall("via DL9XYZ direct", "EA8/DL1AA"), "DL9XYZ");
    EXPECT_EQ(routingCall("BURO", "EA8/DL1AA/P"), "DL1AA"); // the home call: the longest part that is a call
    EXPECT_EQ(routingCall("LOTW, DIRECT", "K1ABC/VE3"), "K1ABC");
    EXPECT_EQ(routingCall("EA5XX/P", "ZD8Z"), "EA5XX");
    EXPECT_EQ(homeCall("SP3KXQ/QRP"), "SP3KXQ");
    EXPECT_EQ(homeCall("W1AW/4"), "W1AW");
    EXPECT_EQ(homeCall("VP2E/K1ABC/MM"), "K1ABC");
    for (const char* word : {"BURO", "DIRECT", "LOTW", "via", "12345", "A1", "DL1AAAAAAAA", "DL1A-A"})
        EXPECT_FALSE(isCallLike(word)) << word;
    for (const char* word : {"DL1AA", "2E0ABC", "EA8/DL1AA", "K1ABC/P"})
        EXPECT_TRUE(isCallLike(word)) << word;
}

class RealCountryFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::filesystem::path file = findCountryFile({});
        if (file.empty())
            GTEST_SKIP() << "hamradio-files is not installed";
        countries = CountryFile::load(file);
    }
    std::string bundle(std::string_view call) const { return bundleOf(countries, homeCall(call)).name; }

    CountryFile countries;
};

TEST_F(RealCountryFile, BundlesAsTheBureausKeepThem)
{
    // Countries with several prefixes in one bundle; Russia in two; the call areas of the USA, Canada and
    // Australia; Hawaii apart; a call the file does not know.
    for (const char* c : {"G4XYZ", "M0ABC", "2E0ABC"})
        EXPECT_EQ(bundle(c), "G") << c;
    EXPECT_EQ(bundle("UA3ABC"), "UA");
    EXPECT_EQ(bundle("UA9ABC"), "UA9");
    EXPECT_EQ(bundle("W4ABC"), "K4");
    EXPECT_EQ(bundle("N0XYZ"), "K0");
    EXPECT_EQ(bundle("KH6ABC"), "KH6");
    EXPECT_EQ(bundle("VA3XYZ"), "VE3");
    EXPECT_EQ(bundle("VK2ABC"), "VK2");
    EXPECT_EQ(bundle("EA8/DL1AA/P"), "DL");
    EXPECT_EQ(bundle("Q9QQQ"), "?");
    EXPECT_EQ(bundleOf(countries, "G4XYZ").entity, "England");
}

using BureauRun = test::RunFixture;

TEST_F(BureauRun, LabelsGoInBundlesWithAPackingList)
{
    const std::filesystem::path cty = findCountryFile({});
    if (cty.empty())
        GTEST_SKIP() << "hamradio-files is not installed";
    host.size = 3;
    host.order = LabelOrder::Bureau;
    host.countryFile = cty;
    host.ownCall = "SP3KXQ";
    writeLog(qso("W4ABC") + qso("G4XYZ") + qso("M0ABC") + qso("SP9AB") + qso("Q9QQQ") + qso("2E0ABC") +
             qso("DL1AA", "20060923", "1200", " <QSL_VIA:5>EA5XX") + // one station, two managers: two labels
             qso("DL1AA", "20060924", "1200", " <QSL_VIA:5>DL9ZZ") + qso("UA9ABC") + qso("UA3ABC") +
             qso("SP9XYZ_SWL", "20060923", "1200", " <COMMENT:12>WKD: dl1abc "));
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(output(1), test::kHeader + test::line("SP9AB") + line("DL1AA", "DL9ZZ", "2006-09-24") +
                             line("DL1AA", "EA5XX", "2006-09-23") + test::line("2E0ABC") + test::line("G4XYZ") +
                             test::line("M0ABC") + test::line("W4ABC") + test::line("UA3ABC") + test::line("UA9ABC") +
                             test::line("Q9QQQ"));
    EXPECT_EQ(readFile(file("_bureau.txt")), "BUNDLE,ENTITY,LABELS\r\nSP,Poland,2\r\nDL,Fed. Rep. of Germany,1\r\n"
                                             "EA,Spain,1\r\nG,England,3\r\nK4,United States of America,1\r\n"
                                             "UA,European Russia,1\r\nUA9,Asiatic Russia,1\r\n?,,1\r\nTOTAL,,11\r\n");
    ASSERT_FALSE(host.summaries.empty());
    EXPECT_EQ(host.summaries.back().bundles, 8u);

    // The own country last, before "?"; the call order writes no packing list and removes the old one.
    host.ownBundleLast = true;
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_NE(readFile(file("_bureau.txt")).find("UA9,Asiatic Russia,1\r\nSP,Poland,2\r\n?,,1\r\n"), std::string::npos);
    host.order = LabelOrder::Call;
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_FALSE(std::filesystem::exists(file("_bureau.txt")));
}

TEST_F(BureauRun, WithoutTheCountryFileBureauOrderIsRefusedNamingThePackage)
{
    writeLog(qso("DL1AA"));
    host.order = LabelOrder::Bureau;
    host.countryFile = dir / "settings" / "cty.dat";
    EXPECT_EQ(runIt(), RunOutcome::Refused);
    EXPECT_EQ(host.messageIds(), std::vector<TextId>{TextId::BureauNeedsCountryFile});
    EXPECT_EQ(output(1), "<none>");
    // A country file the user put there serves.
    dir.write("settings/cty.dat", "Fed. Rep. of Germany: 14: 28: EU: 51.0: -10.0: -1.0: DL:\n    DA,DL;\n");
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(readFile(file("_bureau.txt")), "BUNDLE,ENTITY,LABELS\r\nDL,Fed. Rep. of Germany,1\r\nTOTAL,,1\r\n");
}

} // namespace
} // namespace cardmill
