#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace cardmill {

// Where scratch files go: $TMPDIR, or /tmp when it is not set.
std::filesystem::path temporaryRoot();

// The scratch folder of one run: a folder of its own under temporaryRoot(), mode 0700, named
// "cardmill-<pid>-XXXXXX", for everything the run writes that is not a product (merge scratch files, converted
// main documents, LibreOffice's profile). Removed with all it holds when the run ends. While it exists it is
// this process's current work folder.
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
// rename is atomic, and marked with this process's id ("<name>.part-<pid>-<n>").
std::filesystem::path partPathFor(const std::filesystem::path& target);

// Removes what runs that were killed left behind: work folders under temporaryRoot() and part files in `folder`
// whose process no longer exists.
void removeLeftovers(const std::filesystem::path& folder);

} // namespace cardmill
