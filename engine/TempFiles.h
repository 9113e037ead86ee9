#pragma once

#include <cstdint>
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
// run is under way (the caller removes it with removeScratchFolder).
std::filesystem::path scratchFolder(std::string_view purpose);
// Removes a scratch folder with all it holds, and lets go of its claim.
void removeScratchFolder(const std::filesystem::path& folder) noexcept;

// A new scratch file "cardmill-<pid>-<purpose>-XXXXXX" in the current work folder (or temporaryRoot() when no
// run is under way), open for writing and private to the user; its name goes to `made`. On failure returns
// nullptr and puts the system's words in `error`.
std::FILE* scratchFile(std::string_view purpose, std::filesystem::path& made, std::string& error);

// The name under which a file is written before it replaces `target`: in the same folder, so that the final
// rename is atomic, hidden, and marked with this process's id and a random part of its own
// (".<name>.cardmill-<pid>-<12 random letters and digits>.part").
std::filesystem::path partPathFor(const std::filesystem::path& target);

// A part file of this process: made new at partPathFor(target), and claimed (a lock on it that the system lets
// go when the process ends, however it ends) until it was put in place, so that another run's clean-up, in a
// container or on another computer sharing the folder, can tell it from what a killed run left. Writers open it
// by its name, or take a stream from writer(). Not placed, it goes when this object does.
class PartFile {
public:
    explicit PartFile(const std::filesystem::path& target); // throws IoError naming `target`
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // A stream writing the part file from its start; nullptr, with the system's words in `error`, on failure.
    std::FILE* writer(std::string& error) const;
    // It was renamed into place: it is no longer removed, and the claim goes with this object.
    void placed() { m_placed = true; }

private:
    std::filesystem::path m_path;
    std::intptr_t m_claim = -1;
    bool m_placed = false;
};

// Removes what runs that were killed left behind, and nothing else: work folders under temporaryRoot() and part
// files in `folder` whose names are exactly those this program makes, that belong to the user running it, that
// no process claims (their maker holds a lock on them while it lives, which the system lets go when it ends),
// whose process id is not one of a living process here either, and (folders) that hold the marker file. A
// user's file that only looks similar ("contest.part-2023-1.adi", "cardmill-2024-notes") is never touched.
void removeLeftovers(const std::filesystem::path& folder);

// Whether `name` is a part file's name as partPathFor makes them; its process id goes to `pid`.
bool isPartName(std::string_view name, long& pid);
// Whether `name` is a private folder's name as the work folder and scratchFolder make them.
bool isPrivateFolderName(std::string_view name, long& pid);

} // namespace cardmill
