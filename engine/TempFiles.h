#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace cardmill {

// Where scratch files go: $TMPDIR, or /tmp when it is not set.
std::filesystem::path temporaryRoot();

// The scratch folder of one run: a folder of its own under temporaryRoot(), mode 0700, named
// "cardmill-<pid>-XXXXXX" (six random letters and digits) and holding the marker file ".cardmill-work", for
// everything the run writes that is not a product (merge scratch files, converted main documents,
// LibreOffice's profile). Removed with all it holds when the run ends. While it exists it is this process's
// current work folder.
class WorkFolder {
public:
    WorkFolder(); // throws IoError
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    // The work folder of the run under way in this process; empty when there is none.
    static std::filesystem::path current();
    // Removes the current work folder with async-signal-safe calls only: for a signal handler that ends the
    // program at once.
    static void removeCurrentNow() noexcept;

private:
    std::filesystem::path m_path;
};

// A folder for scratch files: the current work folder, or a fresh private one under temporaryRoot() when no
// run is under way (the caller removes it).
std::filesystem::path scratchFolder(std::string_view purpose);

// A new scratch file "cardmill-<pid>-<purpose>-XXXXXX" in the current work folder (or temporaryRoot() when no
// run is under way), open for writing and private to the user; its name goes to `made`. On failure returns
// nullptr and puts the system's words in `error`.
std::FILE* scratchFile(std::string_view purpose, std::filesystem::path& made, std::string& error);

// The name under which a file is written before it replaces `target`: in the same folder, so that the final
// rename is atomic, hidden, and marked with this process's id and a random part of its own
// (".<name>.cardmill-<pid>-<12 random letters and digits>.part").
std::filesystem::path partPathFor(const std::filesystem::path& target);

// Removes what runs that were killed left behind, and nothing else: work folders under temporaryRoot() and part
// files in `folder` whose names are exactly those this program makes, that belong to the user running it, whose
// process no longer exists, and (folders) that hold the marker file. A user's file that only looks similar
// ("contest.part-2023-1.adi", "cardmill-2024-notes") is never touched.
void removeLeftovers(const std::filesystem::path& folder);

// Whether `name` is a part file's name as partPathFor makes them; its process id goes to `pid`.
bool isPartName(std::string_view name, long& pid);
// Whether `name` is a private folder's name as the work folder and scratchFolder make them.
bool isPrivateFolderName(std::string_view name, long& pid);

} // namespace cardmill
