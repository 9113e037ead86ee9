#pragma once

// What the standard library cannot say about files: creating one that must be new without following a link,
// a file of a unique name, putting data on the disk, replacing a file in one step, and a file's identity.
// This unit and TempFiles, RunLock, Termination, ProgramFiles and merge/ChildProcess hold the program's calls
// to the operating system; a port to another system replaces them and nothing else.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace cardmill::files {

// Opens a new file at `path` for writing ("wb", buffered): fails when anything stands there, a link too (it
// is never followed). On failure returns nullptr and puts the system's words in `error`.
std::FILE* createNew(const std::filesystem::path& path, std::string& error);

// Opens a new file of a unique name, `prefix` followed by six characters, in `folder`, for writing and
// readable by its owner only; its name goes to `made`. On failure returns nullptr and sets `error`.
std::FILE* createUnique(const std::filesystem::path& folder, std::string_view prefix, std::filesystem::path& made,
                        std::string& error);

// Writes what `file` holds in its buffer and has the system put it on the disk.
bool flushToDisk(std::FILE* file);

// Replaces the contents of `target` with `text` so that a reader sees either the old file or the new one: a
// file written beside it, put on the disk and renamed over it, with the old file's permissions (or the
// usual ones for a new file). A folder that takes no new file while the file itself can be written has the
// file rewritten in place. Returns false on any failure; `target` is then as it was, unless it had to be
// rewritten in place.
bool replaceContents(const std::filesystem::path& target, const std::string& text);

// Renames `from` to `to` unless something is at `to` already. False (and `from` untouched) otherwise.
bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// The system's words for the last failed call (errno's, or on Windows GetLastError's), in UTF-8.
std::string systemError();
// std::fopen for a path, whatever characters it holds.
std::FILE* open(const std::filesystem::path& path, const char* mode);
// Whether the file at `path` begins with the bytes `signature`; false when it cannot be read.
bool startsWith(const std::filesystem::path& path, std::string_view signature);

// Whether the program may run `path`.
bool isExecutable(const std::filesystem::path& path);

// Whether `stream` is a terminal, for output that redraws a line.
bool isTerminal(std::FILE* stream);

// A path from our UTF-8 text, and the UTF-8 text of a path: every path the program makes from text (a window's
// box, a command-line argument, a settings value) goes through these.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8Of(const std::filesystem::path& path);
// `path` with `suffix` (UTF-8) added to its last part: "log" and "_bad.txt" give "log_bad.txt".
std::filesystem::path withSuffix(const std::filesystem::path& path, std::string_view suffix);

// Whether two names name the same place in the file system, whether or not a file is there: the same folder
// (after links) and the same file name, as the system compares names (without regard to case on Windows).
bool sameName(const std::filesystem::path& a, const std::filesystem::path& b);

// Which file a name leads to: the same for two names of one file (links, hard links, other spellings).
struct FileId {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool operator==(const FileId&) const = default;
};
// The file `path` names, following a link or, with `followLinks` false, the link itself; none when nothing
// is there.
std::optional<FileId> fileId(const std::filesystem::path& path, bool followLinks = true);

// A file's identity, size and time of its last change: two states that differ tell that the file was changed,
// replaced or truncated in between.
struct FileState {
    FileId id;
    std::uint64_t size = 0;
    std::int64_t modified = 0; // nanoseconds since the epoch
    bool operator==(const FileState&) const = default;
};
// The state of an open file, or of the file at `path` (following links); none when it cannot be told.
std::optional<FileState> fileState(std::FILE* file);
std::optional<FileState> fileState(const std::filesystem::path& path);

} // namespace cardmill::files
