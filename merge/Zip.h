#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace cardmill {

// Limits for reading a package that came from outside (a zip bomb, a package of countless entries).
struct ZipLimits {
    std::size_t maxEntries = 10000;
    std::size_t maxEntrySize = std::size_t{256} << 20;  // uncompressed bytes of one entry
    std::size_t maxTotalSize = std::size_t{512} << 20;  // uncompressed bytes of all entries
};

// A zip package read whole into memory: entry name -> bytes, in the package's order.
struct ZipContents {
    std::vector<std::string> order;
    std::map<std::string, std::string> entries;

    bool has(const std::string& name) const { return entries.count(name) != 0; }
};

// Reads every entry of a zip package. Entry names that climb out of the package ("../", an absolute path) or
// exceed the limits make the package unreadable. Throws std::runtime_error with a message that names the file.
ZipContents readZip(const std::filesystem::path& path, const ZipLimits& limits = {});

// True when the file starts with a zip signature.
bool looksLikeZip(const std::filesystem::path& path);

// Writes a new zip package entry by entry; the file appears under its name only when close() succeeds.
class ZipWriter {
public:
    explicit ZipWriter(std::filesystem::path path);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    void add(const std::string& name, std::string bytes);
    // Adds the content of a file (read when the package is closed).
    void addFile(const std::string& name, const std::filesystem::path& file);
    // Compresses and writes the package. Throws std::runtime_error naming the file.
    void close();

private:
    struct Entry {
        std::string name;
        std::string bytes;
        std::filesystem::path file;
    };
    std::filesystem::path m_path;
    std::vector<Entry> m_entries;
};

} // namespace cardmill
