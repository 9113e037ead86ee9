#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/Failure.h"

namespace cardmill {

// A write to the settings file that failed; nothing of the file was changed. what() is
// "Unable to write to <full path>".
class SettingsWriteError : public FailureError {
public:
    explicit SettingsWriteError(const std::filesystem::path& path);
    const std::filesystem::path& path() const { return failure().path; }
};

// A settings file that cannot be read: it is a folder, a device or FIFO, too large, or unreadable. what() says
// which, with the full path.
class SettingsReadError : public FailureError {
public:
    SettingsReadError(const std::filesystem::path& path, const std::string& why);
    const std::filesystem::path& path() const { return failure().path; }
};

// The largest file taken as a settings file.
inline constexpr std::uintmax_t kMaxSettingsFileSize = 16u << 20;

// An INI file, read and written with the rules of the platform's profile functions:
//  - "[name]" begins a section and "key=value" is an entry; section and key names compare without regard to
//    case, and the first of duplicate sections or keys counts;
//  - blanks around names and values are not part of them;
//  - writing a key that exists replaces its value in place, a new key goes at the end of its section and a new
//    section at the end of the file, and a write to a missing file creates it;
//  - erasing a section removes its header and its entries.
// Every operation reads or writes the file afresh: nothing is cached. Other lines (comments, text that is
// neither a section nor an entry) are kept as they are. Lines end in CR LF when written; LF alone is read too.
// Values are stored byte for byte (paths in the system's encoding). A missing file reads as empty; a file that
// is not a regular file or is larger than kMaxSettingsFileSize is refused with SettingsReadError, before it is
// opened (a FIFO would block, a device never end).
//
// Writes never leave the file half-written: the new text goes to a temporary file in the same folder, which
// then replaces the file in one rename (at a symbolic link's target, keeping the file's permissions). Where the
// folder is not writable but the file is, the file is rewritten in place. A failed write throws
// SettingsWriteError and changes nothing.
class IniFile {
public:
    explicit IniFile(std::filesystem::path path)
        : m_path(std::move(path))
    {
    }

    const std::filesystem::path& path() const { return m_path; }
    bool exists() const;

    // The value, or nullopt when the key (or the file) is missing.
    std::optional<std::string> read(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // A decimal integer, optionally negative; `fallback` when missing or not an integer.
    int readInt(std::string_view section, std::string_view key, int fallback) const;
    // Read as an integer, any non-zero value being true; `fallback` when missing or not an integer.
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;

    void writeString(std::string_view section, std::string_view key, std::string_view value) const;
    void writeInt(std::string_view section, std::string_view key, int value) const;
    // Written "1" or "0".
    void writeBool(std::string_view section, std::string_view key, bool value) const;

    // Section names in file order, each once (as first written).
    std::vector<std::string> sections() const;
    // The keys of a section, in file order, each once.
    std::vector<std::string> keys(std::string_view section) const;
    // A section exists when it holds at least one key.
    bool sectionExists(std::string_view section) const;

    void eraseSection(std::string_view section) const;
    // Deletes the file; a missing file is no error.
    void remove() const;

    // Several writes at once, as one replacement of the file: `edit` receives the file's lines. An edit that
    // changes something creates a missing file.
    class Lines;
    template <typename Edit>
    void update(Edit&& edit) const;
    // The file's lines as they are now, for several reads from one reading of the file.
    Lines snapshot() const;

private:
    std::vector<std::string> load() const;
    void save(const std::vector<std::string>& lines) const;

    std::filesystem::path m_path;
};

// The lines of an INI file with the edits of the write rules above.
class IniFile::Lines {
public:
    explicit Lines(std::vector<std::string> lines)
        : m_lines(std::move(lines))
    {
    }

    std::optional<std::string> read(std::string_view section, std::string_view key) const;
    void write(std::string_view section, std::string_view key, std::string_view value);
    void eraseSection(std::string_view section);
    std::vector<std::string> sections() const;
    std::vector<std::string> keys(std::string_view section) const;

    const std::vector<std::string>& lines() const { return m_lines; }

private:
    // The lines of the first section of a name: [header, end), end being the next section's header.
    struct Range {
        std::size_t header = 0;
        std::size_t end = 0;
    };
    std::optional<Range> find(std::string_view section) const;

    std::vector<std::string> m_lines;
    // Where each section begins, by its name in capitals; made at the first look-up after a change, so that
    // reading many keys of a large file costs one pass over it, not one per key.
    mutable std::unordered_map<std::string, Range> m_index;
    mutable bool m_indexed = false;
};

template <typename Edit>
void IniFile::update(Edit&& edit) const
{
    std::vector<std::string> before;
    try {
        before = load();
    } catch (const SettingsReadError&) {
        throw SettingsWriteError(m_path); // what cannot be read cannot be written either
    }
    Lines lines(before);
    edit(lines);
    if (lines.lines() != before) // an edit that changes nothing leaves the file alone (or absent)
        save(lines.lines());
}

} // namespace cardmill
