#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Files.h"

namespace cardmill {

// What a reading saw of a file, to tell later that the file is still exactly what was read: its state when it
// was opened, and how many bytes were read with their checksum (CRC-32).
struct ReadSnapshot {
    std::optional<files::FileState> state;
    std::uint64_t bytes = 0;
    std::uint32_t checksum = 0;

    void add(std::string_view piece);
    bool operator==(const ReadSnapshot&) const = default;
};

// Reads the whole file at `path` and tells whether it is the file, unchanged, that `snapshot` saw read whole.
bool unchangedSince(const std::filesystem::path& path, const ReadSnapshot& snapshot);

// Reads an 8-bit text file line by line. CR LF, a lone LF and a lone CR each end a line, and no line-end byte
// is ever part of a line. A last line without a line end is still a line; an empty file has no lines.
class LineReader {
public:
    // Opens the file; throws IoError when it cannot be opened (missing, a directory, no permission).
    explicit LineReader(const std::filesystem::path& path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Appends the next line, without its line end, to `out`. Returns false at the end of the file (`out` unchanged).
    // Throws IoError on a read error.
    bool appendLine(std::string& out);

    // True when no line is left.
    bool atEnd();

    void close();
    const std::filesystem::path& path() const { return m_path; }
    // The bytes of the file read so far (a line's end is counted once the next line is asked for).
    std::uint64_t offset() const { return m_consumed + m_pos; }

    // From now on every byte read goes into the snapshot's checksum (call before the first line).
    void keepSnapshot() { m_checksum = true; }
    // The file's state when it was opened and, after keepSnapshot(), what was read of it.
    const ReadSnapshot& snapshot() const { return m_snapshot; }

private:
    bool fill();

    std::filesystem::path m_path;
    std::FILE* m_file = nullptr;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::uint64_t m_consumed = 0; // bytes of the buffers before this one
    bool m_eof = false;
    bool m_skipLf = false; // the previous line ended in CR, so an LF that comes next belongs to it
    bool m_checksum = false;
    ReadSnapshot m_snapshot;
};

// Counts the lines of a file by the same rule as LineReader. Throws IoError when the file cannot be read.
std::size_t countLines(const std::filesystem::path& path);

} // namespace cardmill
