#include "ui/SwlArchive.h"

#include "engine/Clock.h"
#include "engine/Files.h"

#include <cerrno>
#include <cstdio>

namespace cardmill {

namespace {

std::string twoDigits(int v)
{
    return (v < 10 ? "0" : "") + std::to_string(v);
}

} // namespace

std::filesystem::path swlArchiveName(const std::filesystem::path& swl, const std::tm& t)
{
    const std::string name = swl.filename().string();
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string stamp = std::to_string(t.tm_year + 1900) + twoDigits(t.tm_mon + 1) + twoDigits(t.tm_mday) + "_" +
                              twoDigits(t.tm_hour) + twoDigits(t.tm_min);
    return swl.parent_path() / (stem + "_" + stamp + ".adi");
}

ArchiveResult archiveSwlFile(const std::filesystem::path& swl, std::filesystem::path& archiveName)
{
    std::error_code ec;
    if (swl.empty() || !std::filesystem::exists(swl, ec))
        return ArchiveResult::NothingToArchive;
    const std::time_t now = std::time(nullptr);
    const std::tm local = localTime(now);
    archiveName = swlArchiveName(swl, local);
    return files::renameNoReplace(swl, archiveName) ? ArchiveResult::Archived : ArchiveResult::Failed;
}

} // namespace cardmill
