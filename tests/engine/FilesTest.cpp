// The platform's file calls: what each promises about links, names that are taken and permissions.
#include "engine/Files.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::TempDir;

TEST(Files, NewFilesNeverReplaceOrFollowWhatIsThere)
{
    TempDir dir;
    const auto elsewhere = dir.write("elsewhere.txt", "keep");
    std::string error;
#ifndef _WIN32 // links need an administrator on Windows
    std::filesystem::create_symlink(elsewhere, dir / "link.txt");
    EXPECT_EQ(files::createNew(dir / "link.txt", error), nullptr);
    EXPECT_FALSE(error.empty());
#endif
    EXPECT_EQ(files::createNew(elsewhere, error), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::readFile(elsewhere), "keep");

    std::FILE* made = files::createNew(dir / "new.txt", error);
    ASSERT_NE(made, nullptr);
    std::fputs("new", made);
    EXPECT_TRUE(files::flushToDisk(made));
    std::fclose(made);
    EXPECT_EQ(test::readFile(dir / "new.txt"), "new");

    std::filesystem::path unique;
    made = files::createUnique(dir.path(), "scratch-", unique, error);
    ASSERT_NE(made, nullptr);
    std::fclose(made);
    EXPECT_EQ(unique.parent_path(), dir.path());
    EXPECT_EQ(unique.filename().string().rfind("scratch-", 0), 0u);
#ifndef _WIN32 // permission bits
    EXPECT_EQ(std::filesystem::status(unique).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif
}

// Every path the program makes from text goes through one helper: names in any script reach the same file.
TEST(Files, PathsFromUtf8TextReachTheFilesOfThoseNames)
{
    TempDir dir;
    const std::string name = "Łódź ćwiczenia — Ñoño ÆØÅ 日本";
    const std::filesystem::path folder = dir.path() / files::pathFromUtf8(name);
    EXPECT_EQ(files::utf8Of(folder.filename()), name);
    std::filesystem::create_directory(folder);
    const std::filesystem::path log = files::withSuffix(folder / files::pathFromUtf8("dziennik"), "_bad.txt");
    EXPECT_EQ(files::utf8Of(log.filename()), "dziennik_bad.txt");
    std::FILE* f = files::open(log, "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("ok", f);
    std::fclose(f);
    EXPECT_EQ(test::readFile(log), "ok");
    EXPECT_TRUE(files::startsWith(log, "ok"));
    EXPECT_TRUE(files::fileId(log).has_value());
    EXPECT_TRUE(files::replaceContents(log, "new"));
    EXPECT_EQ(test::readFile(log), "new");
    // Found again by listing the folder, name for name.
    EXPECT_EQ(files::utf8Of(std::filesystem::directory_iterator(dir.path())->path().filename()), name);
}

TEST(Files, ReplacedContentsKeepPermissionsAndRenamesKeepWhatIsThere)
{
    TempDir dir;
    const auto file = dir.write("settings.ini", "old");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_TRUE(files::replaceContents(file, "new"));
    EXPECT_EQ(test::readFile(file), "new");
#ifndef _WIN32 // permission bits
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1); // no scratch file left
    std::filesystem::create_directory(dir / "folder");
    EXPECT_FALSE(files::replaceContents(dir / "folder", "text"));

    const auto other = dir.write("other.ini", "other");
    EXPECT_FALSE(files::renameNoReplace(other, file));
    EXPECT_EQ(test::readFile(file), "new");
    EXPECT_TRUE(files::renameNoReplace(other, dir / "moved.ini"));
    EXPECT_EQ(test::readFile(dir / "moved.ini"), "other");
    EXPECT_FALSE(std::filesystem::exists(other));
}

TEST(Files, OneFileHasOneIdentityByEveryName)
{
    TempDir dir;
    const auto file = dir.write("log.adi", "x");
    std::filesystem::create_hard_link(file, dir / "hard.adi");
    EXPECT_EQ(files::fileId(file), files::fileId(dir / "hard.adi"));
    EXPECT_EQ(files::fileId(file), files::fileId(dir / "." / "log.adi"));
#ifndef _WIN32 // links need an administrator on Windows
    std::filesystem::create_symlink(file, dir / "soft.adi");
    EXPECT_EQ(files::fileId(file), files::fileId(dir / "soft.adi"));
    EXPECT_NE(files::fileId(file), files::fileId(dir / "soft.adi", false)); // the link itself
#endif
    EXPECT_EQ(files::fileId(dir / "missing.adi"), std::nullopt);
}

} // namespace
} // namespace cardmill
