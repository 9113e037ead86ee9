#include "ui/ShortenPath.h"

#include <gtest/gtest.h>

#include <ctime>

#include "support/TempDir.h"
#include "ui/SwlArchive.h"

namespace cardmill {
namespace {

TEST(ShortenPath, MergesMiddleFoldersPassByPass)
{
    const std::string p = "C:\\Radio\\Logs\\Archive\\2004\\Contests\\Field Day\\station_log.adi";
    EXPECT_EQ(ShortenPath(p, 50, '\\'), "C:\\Radio\\Logs\\...\\Field Day\\station_log.adi");
    EXPECT_EQ(ShortenPath(p, 65, '\\'), p);
    // Three separators: drive, "...\" and the file name, however long it still is.
    EXPECT_EQ(ShortenPath("C:\\a very long folder name\\another long one\\file name.adi", 10, '\\'),
              "C:\\...\\file name.adi");
    EXPECT_EQ(ShortenPath("C:\\x\\y.adi", 3, '\\'), "C:\\x\\y.adi");
    const std::string slash = "/home/ham/radio/logs/archive/2004/contests/field day/station_log.adi";
    const std::string shown = ShortenPath(slash, 50);
    EXPECT_LE(shown.size(), 50u);
    EXPECT_EQ(shown, "/home/ham/.../contests/field day/station_log.adi"); // three passes
}

TEST(SwlArchive, NameCarriesDateAndTime)
{
    std::tm t{};
    t.tm_year = 2004 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 31;
    t.tm_hour = 9;
    t.tm_min = 5;
    EXPECT_EQ(swlArchiveName("/l/swl.adi", t), "/l/swl_20041231_0905.adi");
    EXPECT_EQ(swlArchiveName("/l/Log.2006/swl", t), "/l/Log.2006/swl_20041231_0905.adi");
    EXPECT_EQ(swlArchiveName("/l/swl.report.txt", t), "/l/swl.report_20041231_0905.adi");
}

TEST(SwlArchive, NeverReplacesAFile)
{
    test::TempDir dir;
    const auto swl = dir.write("swl.adi", "new");
    std::filesystem::path archive;
    ASSERT_EQ(archiveSwlFile(swl, archive), ArchiveResult::Archived);
    EXPECT_EQ(test::readFile(archive), "new");
    dir.write("swl.adi", "newer");
    std::filesystem::path again;
    const ArchiveResult second = archiveSwlFile(swl, again);
    if (again == archive) { // the same minute
        EXPECT_EQ(second, ArchiveResult::Failed);
        EXPECT_EQ(test::readFile(archive), "new");
        EXPECT_EQ(test::readFile(swl), "newer");
    }
    EXPECT_EQ(archiveSwlFile(dir / "none.adi", again), ArchiveResult::NothingToArchive);
    EXPECT_EQ(archiveSwlFile("", again), ArchiveResult::NothingToArchive);
}

} // namespace
} // namespace cardmill
