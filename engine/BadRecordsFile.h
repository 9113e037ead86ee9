#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

namespace cardmill {

class PartFile;

// The bad-records file "<base>_bad.txt": two lines per entry, the message and the record text, each ended
// by CR LF. Every entry opens the file for appending, writes and closes it, so the file is complete at every
// moment of a run. The run writes it under a temporary name beside the final one; finish() puts it in place
// when it holds entries, or removes an older file of that name when it holds none (an empty bad-records file
// says nothing). Whatever is at the final name (a symbolic link included) is replaced, never written through.
class BadRecordsFile {
public:
    BadRecordsFile();
    explicit BadRecordsFile(std::filesystem::path path);
    ~BadRecordsFile();
    BadRecordsFile(const BadRecordsFile&) = delete;
    BadRecordsFile& operator=(const BadRecordsFile&) = delete;

    // Creates the file empty under its temporary name and marks the run as clean. Throws IoError.
    void create();
    // Ends the run's file: in place when it holds entries, gone when it holds none. Throws IoError.
    void finish();

    // Appends one entry and marks the run as having bad records. Throws IoError when it cannot be written.
    void add(std::string_view message, std::string_view recordText);

    // True while nothing has been written in this run.
    bool clean() const { return m_clean; }

    const std::filesystem::path& path() const { return m_path; }
    // Where the entries go now: the temporary file while the run writes, else the final one.
    const std::filesystem::path& writing() const;
    void setPath(std::filesystem::path path) { m_path = std::move(path); }

private:
    std::filesystem::path m_path;
    std::unique_ptr<PartFile> m_part; // the file being written; null when none
    bool m_clean = true;
};

} // namespace cardmill
