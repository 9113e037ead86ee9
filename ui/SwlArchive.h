#pragma once

#include <ctime>
#include <filesystem>

namespace cardmill {

// The archive name of an SWL source file: its extension (from the last "." of the file name) replaced by
// "_" YYYYMMDD "_" HHMM ".adi", from the given local time. "swl.adi" at 09:05 on 31 December 2004 becomes
// "swl_20041231_0905.adi" in the same folder.
std::filesystem::path swlArchiveName(const std::filesystem::path& swl, const std::tm& localTime);

enum class ArchiveResult {
    Archived,
    NothingToArchive, // an empty path or no file there: nothing to say
    Failed,           // the file is there but could not be renamed (the name is taken, no permission, ...)
};

// Renames the SWL source file to its archive name for the current local time. An existing file of the archive
// name is never replaced.
ArchiveResult archiveSwlFile(const std::filesystem::path& swl, std::filesystem::path& archiveName);

} // namespace cardmill
