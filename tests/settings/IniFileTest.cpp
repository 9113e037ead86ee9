#include "settings/IniFile.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::readFile;
using test::TempDir;

TEST(IniFile, ReadsAsThePlatformDoes)
{
    TempDir dir;
    const IniFile ini(dir.write("a.ini", "stray=before any section\n; a comment\n[Main]\n  Key One =  some value  \n"
                                         "key one=second\r\n[main]\nOther=x\n[Empty]\n\n[Num]\nn=-42\nb=7\nbad=12a\n"
                                         "last=no newline"));
    EXPECT_EQ(ini.readString("MAIN", "KEY ONE", "-"), "some value"); // first duplicate, blanks trimmed
    EXPECT_EQ(ini.read("Main", "Other"), std::nullopt);              // a later section of the same name
    EXPECT_EQ(ini.read("Main", "stray"), std::nullopt);
    EXPECT_EQ(ini.readInt("Num", "n", 0), -42);
    EXPECT_TRUE(ini.readBool("Num", "b", false));
    EXPECT_EQ(ini.readInt("Num", "bad", 5), 5);
    EXPECT_EQ(ini.readInt("Num", "missing", 5), 5);
    EXPECT_EQ(ini.readString("Num", "last", ""), "no newline");
    EXPECT_EQ(ini.sections(), (std::vector<std::string>{"Main", "Empty", "Num"}));
    EXPECT_EQ(ini.keys("main"), std::vector<std::string>{"Key One"});
    EXPECT_FALSE(ini.sectionExists("Empty"));
    EXPECT_TRUE(ini.sectionExists("num"));

    const IniFile missing(dir / "none.ini");
    EXPECT_FALSE(missing.exists());
    EXPECT_EQ(missing.readInt("a", "b", 3), 3);
    EXPECT_TRUE(missing.sections().empty());
}

TEST(IniFile, WritesInPlaceAndAppendsAtTheEndOfASection)
{
    TempDir dir;
    const IniFile ini(dir.write("a.ini", "; keep me\n[A]\nx=1\njunk line without equals\n\n[B]\ny=2\n"));
    ini.writeString("a", "X", "10"); // replaced in place, with the caller's spelling
    ini.writeString("A", "z", "3");  // new key: end of A, before the blank line
    ini.writeString("C", "w", "4");  // new section: end of file
    ini.writeBool("B", "flag", true);
    EXPECT_EQ(
        readFile(ini.path()),
        "; keep me\r\n[A]\r\nX=10\r\njunk line without equals\r\nz=3\r\n\r\n[B]\r\ny=2\r\nflag=1\r\n[C]\r\nw=4\r\n");

    const IniFile created(dir / "new.ini");
    created.writeInt("S", "k", -1);
    EXPECT_EQ(readFile(created.path()), "[S]\r\nk=-1\r\n");
    // A value never breaks its line.
    created.writeString("S", "k", "a\nb");
    EXPECT_EQ(created.readString("S", "k", ""), "a b");
}

TEST(IniFile, EraseRemovesEverySectionOfTheName)
{
    TempDir dir;
    const IniFile ini(dir.write("a.ini", "[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n"));
    ini.eraseSection("A");
    EXPECT_EQ(readFile(ini.path()), "[B]\r\ny=2\r\n");
    const IniFile none(dir / "none.ini");
    none.eraseSection("A"); // nothing to erase: no file appears
    EXPECT_FALSE(none.exists());
}

// Reads between edits of one set of lines see every edit before them: inserted lines move the sections
// after them, a new section is found, an erased one is gone.
TEST(IniFile, ReadsBetweenEditsSeeTheEdits)
{
    TempDir dir;
    const IniFile ini(dir.write("a.ini", "[A]\nx=1\n[B]\ny=2\n[a]\nx=9\n[C]\nw=3\n"));
    ini.update([](IniFile::Lines& lines) {
        EXPECT_EQ(lines.read("c", "w"), "3");
        lines.write("A", "new1", "n");
        lines.write("A", "new2", "n");
        EXPECT_EQ(lines.read("B", "y"), "2");
        EXPECT_EQ(lines.read("A", "x"), "1");
        EXPECT_EQ(lines.read("B", "new1"), std::nullopt);
        lines.write("D", "v", "4");
        EXPECT_EQ(lines.read("d", "V"), "4");
        lines.eraseSection("b");
        EXPECT_EQ(lines.read("B", "y"), std::nullopt);
        EXPECT_EQ(lines.read("C", "w"), "3");
        EXPECT_EQ(lines.keys("A"), (std::vector<std::string>{"x", "new1", "new2"}));
    });
    EXPECT_EQ(readFile(ini.path()), "[A]\r\nx=1\r\nnew1=n\r\nnew2=n\r\n[a]\r\nx=9\r\n[C]\r\nw=3\r\n[D]\r\nv=4\r\n");
}

TEST(IniFile, JunkAndLongLinesSurviveARewrite)
{
    TempDir dir;
    const std::string junk("\0\x01\xff binary [ ] = \0", 16);
    const std::string longLine(100000, 'v');
    const IniFile ini(dir.write("a.ini", junk + "\n[A]\nlong=" + longLine + "\n"));
    EXPECT_EQ(ini.readString("A", "long", "").size(), longLine.size());
    ini.writeString("A", "k", "1");
    EXPECT_EQ(readFile(ini.path()), junk + "\r\n[A]\r\nlong=" + longLine + "\r\nk=1\r\n");
}

TEST(IniFile, FailedWriteChangesNothingAndNamesTheFile)
{
    TempDir dir;
    const IniFile ini(dir / "missing-folder" / "a.ini");
    try {
        ini.writeString("A", "k", "v");
        FAIL() << "no error";
    } catch (const SettingsWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + (dir / "missing-folder" / "a.ini").string());
    }
    // A folder where the file should be.
    std::filesystem::create_directories(dir / "folder.ini");
    EXPECT_THROW(IniFile(dir / "folder.ini").writeString("A", "k", "v"), SettingsWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));
}

TEST(IniFile, ReplacesTheFileWholeKeepingLinkAndPermissions)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: symbolic links and permission bits";
#else
    TempDir dir;
    const auto target = dir.write("real.ini", "[A]\nk=1\n");
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink(target, dir / "link.ini");
    IniFile(dir / "link.ini").writeString("A", "k", "2");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(readFile(target), "[A]\r\nk=2\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
#endif
}

TEST(IniFile, ReadOnlyFolderWithWritableFileIsWrittenInPlace)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: permission bits";
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    TempDir dir;
    const auto path = dir.write("ro/a.ini", "[A]\nk=1\n");
    ::chmod((dir / "ro").c_str(), 0555);
    IniFile(path).writeString("A", "k", "2");
    EXPECT_EQ(readFile(path), "[A]\r\nk=2\r\n");
    ::chmod(path.c_str(), 0444);
    EXPECT_THROW(IniFile(path).writeString("A", "k", "3"), SettingsWriteError);
    EXPECT_EQ(readFile(path), "[A]\r\nk=2\r\n");
#endif
}

} // namespace
} // namespace cardmill
