// What a run refuses and what it never does to the user's files: inputs that are not files or are outputs,
// writes through links, a second run of the same log, records lost without a word, scratch files left behind.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "engine/RunLock.h"
#include "engine/TempFiles.h"
#include "tests/engine/RunFixture.h"

namespace cardmill {
namespace {

using test::kHeader;
using test::line;
using test::readFile;
using RunSafetyTest = test::RunFixture;

#ifndef _WIN32
// Points $TMPDIR at a folder of the test's own while it lives, so that what runs leave there can be seen.
class PrivateTmp {
public:
    explicit PrivateTmp(const std::filesystem::path& folder)
        : m_old(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "")
    {
        std::filesystem::create_directories(folder);
        setenv("TMPDIR", folder.c_str(), 1);
    }
    ~PrivateTmp()
    {
        if (m_old.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", m_old.c_str(), 1);
    }

private:
    std::string m_old;
};
#endif

#ifndef _WIN32
std::size_t entries(const std::filesystem::path& folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}
#endif

TEST_F(RunSafetyTest, OnlyRegularFilesAreInputsAndNothingIsWrittenForOthers)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: FIFOs";
#else
    std::filesystem::create_directories(dir / "logs");
    std::filesystem::create_directories(host.log); // a folder named like the log
    EXPECT_EQ(runIt(), RunOutcome::Refused);
    ASSERT_EQ(::mkfifo((dir / "logs" / "fifo.adi").c_str(), 0600), 0);
    host.log = dir / "logs" / "fifo.adi";
    EXPECT_EQ(runIt(), RunOutcome::Refused); // and it does not block
    std::filesystem::remove(dir / "logs" / "my.log.adi");
    writeLog(qso("DL1AA"));
    host.log = dir / "logs" / "my.log.adi";
    std::filesystem::remove(dir / "card_1.doc");
    std::filesystem::create_directories(dir / "card_1.doc");
    EXPECT_EQ(runIt(), RunOutcome::Refused);
    std::filesystem::remove(dir / "card_1.doc");
    dir.write("card_1.doc", "main");
    std::filesystem::create_directories(dir / "swl.adi");
    host.swl = dir / "swl.adi";
    EXPECT_EQ(runIt(), RunOutcome::Refused);
    EXPECT_EQ(host.messageIds(), (std::vector<TextId>{TextId::InputIsFolder, TextId::InputNotRegular,
                                                      TextId::InputIsFolder, TextId::InputIsFolder}));
    EXPECT_EQ(host.messages[1].args, TextArgs{(dir / "logs" / "fifo.adi").string()});
    EXPECT_EQ(entries(dir / "logs"), 2u); // nothing beside the logs: no bad-records file, no lock file
#endif
}

TEST_F(RunSafetyTest, InputsThatAreOutputsAreRefusedBeforeAnythingIsWritten)
{
    writeLog(qso("DL1AA"));
    // A main document named like a label document of this log.
    host.mainDocument = dir.write("logs/my_labels_1.docx", "the user's main document");
    EXPECT_EQ(runIt(), RunOutcome::Refused);
    EXPECT_EQ(readFile(host.mainDocument), "the user's main document");
    // An SWL file named like the SWL data-source file.
    host.mainDocument = dir / "card_1.doc";
    host.swl = dir.write("logs/my_swl.txt", "<EOH>");
    EXPECT_EQ(runIt(), RunOutcome::Refused);
    // The same file under another name: a hard link from the bad-records file's name to a main document.
    host.swl.clear();
    std::filesystem::create_hard_link(dir / "card_3.doc", file("_bad.txt"));
    EXPECT_EQ(runIt(), RunOutcome::Refused);
    EXPECT_EQ(readFile(dir / "card_3.doc"), "main document");
    ASSERT_EQ(host.messages.size(), 3u);
    for (const auto& m : host.messages)
        EXPECT_EQ(m.id, TextId::InputIsOutput);
    EXPECT_EQ(host.messages[2].args, (TextArgs{(dir / "card_3.doc").string(), file("_bad.txt").string()}));
    EXPECT_EQ(output(1), "<none>");
}

TEST_F(RunSafetyTest, OutputsReplaceLinksAndNeverWriteThroughThem)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: symbolic links";
#else
    writeLog(qso("DL1AA") + "<CALL:5>DL2BB <QSO_DATE:8>20060923 <EOR>\r\n");
    dir.write("elsewhere/one", "one");
    dir.write("elsewhere/five", "five");
    dir.write("elsewhere/bad", "bad");
    dir.write("elsewhere/labels", "labels");
    std::filesystem::create_symlink(dir / "elsewhere/one", file("_1.txt"));
    std::filesystem::create_symlink(dir / "elsewhere/five", file("_5.txt"));
    std::filesystem::create_symlink(dir / "elsewhere/bad", file("_bad.txt"));
    std::filesystem::create_symlink(dir / "elsewhere/labels", file("_labels_1.docx"));
    EXPECT_EQ(runIt(), RunOutcome::Done);
    for (const char* f : {"one", "five", "bad", "labels"})
        EXPECT_EQ(readFile(dir / "elsewhere" / f), f);
    EXPECT_FALSE(std::filesystem::is_symlink(file("_1.txt")));
    EXPECT_EQ(output(1).substr(0, kHeader.size()), kHeader);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(file("_5.txt")))); // the link went
    EXPECT_FALSE(std::filesystem::is_symlink(file("_bad.txt")));
    EXPECT_NE(readFile(file("_bad.txt")).find("No TIME_ON field"), std::string::npos);
    EXPECT_FALSE(std::filesystem::is_symlink(file("_labels_1.docx")));
#endif
}

TEST_F(RunSafetyTest, OneRunOfAnOutputSetAtATime)
{
    writeLog(qso("DL1AA"));
    // "my.log.adi" and "my.adif" share every output name ("my_1.txt" ...), so they share the lock.
    const auto twin = dir.write("logs/my.adif", "<EOH>" + qso("SP9ZZZ"));
    for (const std::filesystem::path& other : {host.log, twin}) {
        const auto held = RunLock::take({baseOf(other)}); // another run, in this process or any other
        ASSERT_TRUE(held);
        EXPECT_EQ(RunLock::take({baseOf(host.log)}), nullptr);
        host.messages.clear();
        EXPECT_EQ(runIt(), RunOutcome::Locked);
        EXPECT_EQ(host.messageIds(), std::vector<TextId>{TextId::RunUnderWay});
        EXPECT_EQ(output(1), "<none>");
    }
    // The SWL file's outputs are locked too when the run marks it.
    host.swl = dir.write("swl/reports.adi",
                         "<EOH>" + qso("SP-001", "20060923", "1200", " <APP_LOGGER32_STATION_IN_QSO_WITH:5>DL1AA"));
    host.marking = {true, 0};
    {
        const auto held = RunLock::take({baseOf(host.swl)});
        EXPECT_EQ(runIt(), RunOutcome::Locked);
    }
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_FALSE(std::filesystem::exists(RunLock::lockFileFor(baseOf(host.log))));
    EXPECT_FALSE(std::filesystem::exists(RunLock::lockFileFor(baseOf(host.swl))));
}

TEST_F(RunSafetyTest, ARecordCutOffAtTheEndIsReportedNotLost)
{
    writeLog(qso("DL1AA") + "<CALL:5>DL2BB\r\n <QSO_DATE:8>20060924 <TIME_ON:4>12");
    host.swl = dir.write("swl.adi",
                         "<EOH>\n" + qso("SP-001", "20060923", "1200", " <APP_LOGGER32_STATION_IN_QSO_WITH:5>DL1AA") +
                             "<call:6>SP-002\n");
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(readFile(file("_bad.txt")),
              "No <EOR> at the end of the file:\r\n<CALL:5>DL2BB <QSO_DATE:8>20060924 <TIME_ON:4>12\r\n"
              "No <EOR> at the end of the file:\r\n<call:6>SP-002\r\n");
    EXPECT_EQ(output(1), kHeader + line("DL1AA"));
    // Blanks and line ends after the last record are nothing; neither is a tail without a QSO's tags.
    writeLog(qso("DL1AA") + "\r\n  \r\n<COMMENT:3>abc");
    host.swl.clear();
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_FALSE(std::filesystem::exists(file("_bad.txt")));
}

TEST_F(RunSafetyTest, Utf16LogsAreReadAsUtf8)
{
    for (const bool bigEndian : {false, true}) {
        dir.write("logs/my.log.adi", test::utf16Bytes(u"<EOH>\r\n<CALL:5>DL1AA <QSO_DATE:8>20060923 <TIME_ON:4>1200 "
                                                      u"<BAND:3>20M <MODE:2>CW <NAME:6>\u0141ukasz <QTH:7>Krak\u00f3w "
                                                      u"<COMMENT:1>\U0001F4FB <EOR>\r\n",
                                                      bigEndian));
        host.settings.fields = {"COMMENT"};
        EXPECT_EQ(runIt(), RunOutcome::Done);
        EXPECT_EQ(output(1),
                  test::kHeader.substr(0, kHeader.size() - 2) + ",COMMENT\r\n" +
                      "DL1AA,2006-09-23,12:00,20M,CW,,N,,\xC5\x81ukasz,Krak\xC3\xB3w,,,,\xF0\x9F\x93\xBB\r\n");
    }
}

TEST_F(RunSafetyTest, ScratchFilesGoWithEveryEndingAndLeftoversOfKilledRunsWithTheNextRun)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: $TMPDIR and process ids of POSIX";
#else
    const PrivateTmp tmp(dir / "tmp");
    writeLog(qso("DL1AA") + qso("DL2BB"));
    // What runs of a process that is gone left: a work folder and a part file beside the log.
    long gone = 4194000;
    while (::kill(static_cast<pid_t>(gone), 0) == 0 || errno != ESRCH)
        ++gone;
    const std::string dead = std::to_string(gone);
    dir.write("tmp/cardmill-" + dead + "-Ab12Cd/merge", "scratch");
    dir.write("tmp/cardmill-" + dead + "-Ab12Cd/.cardmill-work", "");
    const std::string deadPart = ".my_labels_1.docx.cardmill-" + dead + "-0a1b2c3d4e5f.part";
    dir.write("logs/" + deadPart, "half a document");
    // ... what a live process holds, which stays ...
    const std::string live = std::to_string(::getppid());
    dir.write("tmp/cardmill-" + live + "-Xy34Zw/merge", "scratch");
    dir.write("tmp/cardmill-" + live + "-Xy34Zw/.cardmill-work", "");
    const std::string livePart = ".other.txt.cardmill-" + live + "-a1b2c3d4e5f6.part";
    dir.write("logs/" + livePart, "being written");
    // ... and what a run of another PID namespace or computer writes: its process id is none here, but it
    // holds its claim on the file.
    const std::string claimedPart = ".big_labels.pdf.cardmill-" + dead + "-b1b2c3d4e5f6.part";
    const int claim = ::open(dir.write("logs/" + claimedPart, "being drawn").c_str(), O_RDWR | O_CLOEXEC);
    struct flock whole {};
    whole.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(claim, F_OFD_SETLK, &whole), 0);
    const std::string claimedFolder = "cardmill-" + dead + "-Cl12Mm";
    dir.write("tmp/" + claimedFolder + "/merge", "scratch");
    const int folderClaim =
        ::open(dir.write("tmp/" + claimedFolder + "/.cardmill-work", "").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::fcntl(folderClaim, F_OFD_SETLK, &whole), 0);
    // ... and the user's own files that only look like ours: a folder without the marker, names of another
    // shape. All stay.
    dir.write("tmp/cardmill-test-keep/file", "not a run's");
    dir.write("tmp/cardmill-" + dead + "-notes/file", "the user's notes");
    dir.write("tmp/cardmill-" + dead + "-Qw12Er/file", "no marker: not ours");
    for (const std::string& user :
         {"contest.part-" + dead + "-1.adi", "photo.part-" + dead + "-a.jpg",
          ".x.cardmill-" + dead + "-0a1b2c3d4e5.part", "x.cardmill-" + dead + "-0a1b2c3d4e5f"})
        dir.write("logs/" + user, "the user's");

    int seen = 0;
    host.onStopCheck = [&](int) {
        if (!WorkFolder::current().empty()) {
            ++seen;
            EXPECT_EQ(std::filesystem::status(WorkFolder::current()).permissions() & std::filesystem::perms::all,
                      std::filesystem::perms::owner_all);
        }
    };
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_GT(seen, 0);
    EXPECT_EQ(entries(dir / "tmp"), 5u);
    EXPECT_TRUE(std::filesystem::exists(dir / "tmp" / ("cardmill-" + live + "-Xy34Zw")));
    EXPECT_TRUE(std::filesystem::exists(dir / "tmp" / claimedFolder));
    EXPECT_FALSE(std::filesystem::exists(dir / "tmp" / ("cardmill-" + dead + "-Ab12Cd")));
    EXPECT_FALSE(std::filesystem::exists(dir / "logs" / deadPart));
    EXPECT_TRUE(std::filesystem::exists(dir / "logs" / livePart));
    EXPECT_TRUE(std::filesystem::exists(dir / "logs" / claimedPart));
    EXPECT_EQ(entries(dir / "logs"), 9u); // the log, its data-source file, two live parts, the user's five
    // Its claim let go (its process ended), the next run removes it.
    ::close(claim);
    ::close(folderClaim);
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_FALSE(std::filesystem::exists(dir / "logs" / claimedPart));
    EXPECT_FALSE(std::filesystem::exists(dir / "tmp" / claimedFolder));
    EXPECT_TRUE(WorkFolder::current().empty());

    // Stopped, failed and abandoned runs leave nothing either.
    int events = 0;
    host.onStopCheck = [&](int) {
        if (++events == 3)
            host.stopFlag = true;
    };
    EXPECT_EQ(runIt(), RunOutcome::Stopped);
    host.onStopCheck = nullptr;
    maker.failFor = {"card_1.doc"};
    EXPECT_EQ(runIt(), RunOutcome::Abandoned);
    std::filesystem::create_directories(file("_2.txt"));
    EXPECT_EQ(runIt(), RunOutcome::Abandoned);
    EXPECT_EQ(entries(dir / "tmp"), 4u);
    for (const auto& e : std::filesystem::directory_iterator(dir / "logs"))
        EXPECT_EQ(e.path().filename().string().find(".cardmill-" + std::to_string(::getpid())), std::string::npos)
            << e.path();
#endif
}

TEST(WorkFolder, RemovedAtOnceFromASignalHandler)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: signals";
#else
    test::TempDir dir;
    const PrivateTmp tmp(dir / "tmp");
    std::filesystem::path path;
    {
        WorkFolder work;
        path = work.path();
        dir.write("tmp/" + path.filename().string() + "/a/b/c/file", "x");
        std::filesystem::create_symlink(dir.path(), path / "link"); // removed, never followed
        WorkFolder::removeCurrentNow();
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_TRUE(WorkFolder::current().empty());
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "tmp"));
#endif
}

} // namespace
} // namespace cardmill
