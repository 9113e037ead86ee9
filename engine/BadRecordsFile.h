#pragma once

#include <filesystem>
#include <string_view>

namespace cardmill {

// The bad-records file "<base>_bad.txt": two lines per entry, the message and the record text, each ended
// by CR LF. Every entry opens the file for appending, writes and closes it, so the file is complete at every
// moment of a run.
class BadRecordsFile {
public:
    BadRecordsFile() = default;
    explicit BadRecordsFile(std::filesystem::path path) : m_path(std::move(path)) {}

    // Creates the file empty (truncating an old one) and marks the run as clean. Throws IoError.
    void create();

    // Appends one entry and marks the run as having bad records. Throws IoError when it cannot be written.
    void add(std::string_view message, std::string_view recordText);

    // True while nothing has been written in this run.
    bool clean() const { return m_clean; }

    const std::filesystem::path& path() const { return m_path; }
    void setPath(std::filesystem::path path) { m_path = std::move(path); }

private:
    std::filesystem::path m_path;
    bool m_clean = true;
};

} // namespace cardmill
