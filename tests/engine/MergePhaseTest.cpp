// The merge phase of a run through the recording label maker: what each pass merged, in which order, and what
// happens to the label documents of earlier runs when a pass fails or the user stops.
#include "engine/LabelMerge.h"

#include <gtest/gtest.h>

#include "tests/engine/RunFixture.h"

namespace cardmill {
namespace {

using test::readFile;
using MergePhaseTest = test::RunFixture;

TEST(MainDocumentForPass, KeepsTheExtensionOfAnUnderscoreOneName)
{
    EXPECT_EQ(mainDocumentForPass("/qsl/card_1.doc", {3}), "/qsl/card_3.doc");
    EXPECT_EQ(mainDocumentForPass("/qsl/card_1.doc", {10}), "/qsl/card_10.doc");
    EXPECT_EQ(mainDocumentForPass("/qsl/card_1.doc", PassSelector::swl()), "/qsl/card_swl.doc");
    EXPECT_EQ(mainDocumentForPass("/qsl/card_1.docx", {3}), "/qsl/card_3.docx");
    EXPECT_EQ(mainDocumentForPass("/qsl/CARD_1.ODT", PassSelector::swl()), "/qsl/CARD_swl.ODT");
    // Any other name loses its last six characters.
    EXPECT_EQ(mainDocumentForPass("/qsl/card.doc", {2}), "/qsl/ca_2.doc");
    EXPECT_EQ(mainDocumentForPass("/q_1.x/card_1.txt", {2}), "/q_1.x/card_2.doc");
}

TEST(PassRecords, ValuesByColumnNameInAnyCase)
{
    const PassRecords r({"CALL", "NAME", "GRIDSQUARE"}, {"DL1AA,Hans,JO62", "SP1ABC,,", "K1ABC"});
    EXPECT_EQ(r.column("gridsquare"), 2);
    EXPECT_EQ(r.column("QTH"), -1);
    EXPECT_EQ(r.value(0, 2), "JO62");
    EXPECT_EQ(r.value(1, 1), "");
    EXPECT_EQ(r.value(2, 0), "K1ABC");
    EXPECT_EQ(r.value(2, 1), ""); // a short line
}

// A log with labels of three sizes and SWL reports, for label size 3.
std::string mixedLog()
{
    using test::record;
    std::string log;
    for (const char* date : {"20060901", "20060902", "20060903", "20060904"}) // 3 + 1
        log += record("DL1AA", date);
    log += record("SP1ABC", "20060901") + record("SP1ABC", "20060902");           // 2
    log += record("SP9XYZ_SWL", "20060923", "1200", " <COMMENT:12>WKD: dl1abc "); // SWL
    return log;
}

TEST_F(MergePhaseTest, EveryPassGetsItsLinesAndItsMainDocumentInOrder)
{
    host.size = 3;
    host.settings.fields = {"GRIDSQUARE"};
    writeLog(mixedLog());
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(maker.summary(), (std::vector<std::string>{"card_1.doc:1 lines", "card_2.doc:2 lines",
                                                         "card_3.doc:3 lines", "card_swl.doc:1 lines"}));
    // The records are the lines of the data-source file, with its header's columns.
    for (const auto& m : maker.merges) {
        EXPECT_EQ(m.columns.size(), 14u);
        EXPECT_EQ(m.columns.back(), "GRIDSQUARE");
        std::string lines;
        for (const std::string& l : m.lines)
            lines += l + "\r\n";
        const std::string k = m.mainDocument.substr(5, m.mainDocument.size() - 9);
        EXPECT_EQ(test::kHeader.substr(0, test::kHeader.size() - 2) + ",GRIDSQUARE\r\n" + lines,
                  readFile(file("_" + k + ".txt")));
        // Written beside its final name, and renamed when done.
        EXPECT_EQ(m.output.parent_path(), dir / "logs");
    }
    ASSERT_EQ(host.summaries.size(), 1u);
    const RunSummary& s = host.summaries[0];
    ASSERT_EQ(s.made.size(), 4u);
    EXPECT_EQ(s.made[2].pass, PassSelector{3});
    EXPECT_EQ(s.made[2].labels, 1u);
    EXPECT_EQ(s.made[3].pass, PassSelector::swl());
    EXPECT_EQ(s.made[3].document, file("_labels_swl.docx"));
    EXPECT_EQ(readFile(file("_labels_3.docx")).size(), 3 * (maker.merges[2].lines[0].size() + 1));
    // The log, four data-source files, four label documents: no part file is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "logs"), {}), 9);
    // "Stop" was on during the merge, and the bar counted the records.
}

TEST_F(MergePhaseTest, AStopInAPassEndsItWithoutALabelDocumentAndKeepsThePassesBefore)
{
    host.size = 3;
    writeLog(mixedLog());
    dir.write("logs/my_labels_3.docx", "earlier labels of three");
    dir.write("logs/my_labels_swl.odt", "earlier SWL labels");
    bool merging = false;
    host.onStopCheck = [&](int) {
        if (!host.statuses.empty() &&
            host.statuses.back().rfind(std::to_string(int(TextId::StatusMergingLabels)) + " 2 card_2.doc", 0) == 0) {
            if (merging)
                host.stopFlag = true; // in the middle of the pass of size 2
            merging = true;
        }
    };
    EXPECT_EQ(runIt(), RunOutcome::Stopped);
    EXPECT_EQ(maker.summary(), (std::vector<std::string>{"card_1.doc:1 lines", "card_2.doc:2 lines"}));
    EXPECT_TRUE(maker.merges[0].made);
    EXPECT_FALSE(maker.merges[1].made);
    EXPECT_EQ(host.messageIds(), std::vector<TextId>{TextId::ProcessStopped});
    // What was made before the stop is said with it; nothing is exported after a stop.
    ASSERT_EQ(host.summaries.size(), 1u);
    ASSERT_EQ(host.summaries[0].made.size(), 1u);
    EXPECT_EQ(host.summaries[0].made[0].document, file("_labels_1.docx"));
    EXPECT_TRUE(maker.exported.empty());
    EXPECT_TRUE(std::filesystem::exists(file("_labels_1.docx")));
    EXPECT_FALSE(std::filesystem::exists(file("_labels_2.docx")));
    EXPECT_EQ(readFile(file("_labels_3.docx")), "earlier labels of three");
    EXPECT_EQ(readFile(file("_labels_swl.odt")), "earlier SWL labels");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "logs"), {}), 8); // no part file
    EXPECT_NE(output(3), "<none>"); // the data-source files are complete and stay
    EXPECT_FALSE(host.stopFlag);
}

TEST_F(MergePhaseTest, AFailedPassKeepsEarlierLabelsAndTheOtherPassesRun)
{
    host.size = 3;
    writeLog(mixedLog());
    for (const char* k : {"1", "2", "3", "swl"})
        dir.write(std::string("logs/my_labels_") + k + ".docx", std::string("earlier ") + k);
    dir.write("logs/my_labels_7.docx", "earlier 7");
    std::filesystem::remove(dir / "card_3.doc"); // moved away by the user
    maker.failFor = {"card_2.doc"};
    EXPECT_EQ(runIt(), RunOutcome::Abandoned);
    EXPECT_EQ(maker.summary(),
              (std::vector<std::string>{"card_1.doc:1 lines", "card_2.doc:2 lines", "card_swl.doc:1 lines"}));
    // The passes that worked replaced their documents; the failed ones left theirs, and so did size 7.
    EXPECT_NE(readFile(file("_labels_1.docx")), "earlier 1");
    EXPECT_EQ(readFile(file("_labels_2.docx")), "earlier 2");
    EXPECT_EQ(readFile(file("_labels_3.docx")), "earlier 3");
    EXPECT_NE(readFile(file("_labels_swl.docx")), "earlier swl");
    EXPECT_EQ(readFile(file("_labels_7.docx")), "earlier 7");
    EXPECT_TRUE(maker.exported.empty());

    ASSERT_EQ(host.summaries.size(), 1u);
    const RunSummary& s = host.summaries[0];
    EXPECT_EQ(s.kind, RunSummary::Kind::MergeFailed);
    ASSERT_EQ(s.failed.size(), 2u);
    EXPECT_EQ(s.failed[0].pass, PassSelector{2});
    EXPECT_EQ(s.failed[0].failure.path.filename(), "card_2.doc");
    EXPECT_EQ(s.failed[0].failure.id, FailureId::MergeFailed);
    EXPECT_EQ(s.failed[1].pass, PassSelector{3});
    EXPECT_EQ(s.failed[1].failure.path, dir / "card_3.doc");
    EXPECT_EQ(s.failed[1].failure.id, FailureId::MainDocumentMissing);
    ASSERT_EQ(s.made.size(), 2u);
    EXPECT_EQ(s.made[0].document, file("_labels_1.docx"));
    EXPECT_EQ(s.made[1].document, file("_labels_swl.docx"));
}

TEST_F(MergePhaseTest, AFullDiskLeavesTheOldDocumentAndNamesIt)
{
    writeLog(mixedLog());
    dir.write("logs/my_labels_1.docx", "earlier");
    maker.diskFullFor = {"card_1.doc"};
    EXPECT_EQ(runIt(), RunOutcome::Abandoned);
    EXPECT_EQ(readFile(file("_labels_1.docx")), "earlier");
    ASSERT_EQ(host.summaries.back().failed.size(), 1u);
    // The failure names the label document, not the temporary name it was written under.
    const Failure& f = host.summaries.back().failed[0].failure;
    EXPECT_EQ(f.id, FailureId::WriteFile);
    EXPECT_EQ(f.path, file("_labels_1.docx"));
    EXPECT_EQ(f.detail, "No space left on device");
    // The half-written file is gone: the log, two data-source files, the old and the SWL document.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "logs"), {}), 5);
}

TEST_F(MergePhaseTest, LabelsOfSizesNotMadeAreRemovedOnlyAfterEveryPassSucceeded)
{
    writeLog(mixedLog()); // label size 1: only the sizes 1 and SWL
    for (const char* old : {"_labels_1.odt", "_labels_3.docx", "_labels_10.odt", "_labels_3.pdf", "_labels_1.pdf",
                            "_labels.docx", "_labels_3.docx.keep"})
        dir.write("logs/my" + std::string(old), "old");
    maker.failFor = {"card_swl.doc"};
    EXPECT_EQ(runIt(), RunOutcome::Abandoned);
    for (const char* old : {"_labels_1.odt", "_labels_3.docx", "_labels_10.odt", "_labels_3.pdf", "_labels_1.pdf"})
        EXPECT_TRUE(std::filesystem::exists(file(old))) << old;

    maker.failFor.clear();
    EXPECT_EQ(runIt(), RunOutcome::Done);
    for (const char* old : {"_labels_1.odt", "_labels_3.docx", "_labels_10.odt", "_labels_3.pdf", "_labels_1.pdf"})
        EXPECT_FALSE(std::filesystem::exists(file(old))) << old;
    // Files that only look alike stay.
    EXPECT_TRUE(std::filesystem::exists(file("_labels.docx")));
    EXPECT_TRUE(std::filesystem::exists(file("_labels_3.docx.keep")));
    EXPECT_TRUE(std::filesystem::exists(file("_labels_1.docx")));
    EXPECT_TRUE(std::filesystem::exists(file("_labels_swl.docx")));
}

TEST_F(MergePhaseTest, TheTableDocumentIsWrittenOnlyWithTheOption)
{
    host.size = 3;
    writeLog(mixedLog());
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_TRUE(maker.tables.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "logs" / "temporary.doc"));

    host.keepTemporary = true;
    EXPECT_EQ(runIt(), RunOutcome::Done);
    ASSERT_EQ(maker.tables.size(), 4u);                         // each pass writes it; the last pass's stays
    EXPECT_EQ(maker.tables.back().parent_path(), dir / "logs"); // written under a temporary name beside the log
    EXPECT_EQ(readFile(dir / "logs" / "temporary.doc"), "table of 1");
}

} // namespace
} // namespace cardmill
