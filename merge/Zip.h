#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cardmill {

// Limits for reading a package that came from outside (a zip bomb, a package of countless entries).
struct ZipLimits {
    std::size_t maxEntries = 10000;
    std::size_t maxEntrySize = std::size_t{256} << 20; // uncompressed bytes of one entry
    std::size_t maxTotalSize = std::size_t{512} << 20; // uncompressed bytes of all entries
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

// Writes a new zip package entry by entry, each as it comes: an entry may be streamed in pieces of any total
// size (ZIP64 is used where sizes or offsets pass 4 GB), so a large merged part never has to be held in memory
// or on disk twice. Entries are deflated, except "mimetype", which an OpenDocument package keeps stored.
// The file is created at once and removed again unless close() succeeds.
class ZipWriter {
public:
    // Throws std::runtime_error naming the file. `zip64From` is where sizes and offsets stop fitting the
    // 32-bit fields (tests lower it to try the ZIP64 records on small packages).
    explicit ZipWriter(std::filesystem::path path, std::uint64_t zip64From = 0xffffffffu);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // A whole entry.
    void add(const std::string& name, std::string_view bytes);
    // An entry written in pieces: begin, write any number of times; it ends with the next entry or close().
    void begin(const std::string& name);
    void write(std::string_view bytes);
    // Writes the central directory. Throws std::runtime_error naming the file.
    void close();

private:
    struct Entry {
        std::string name;
        std::uint64_t offset = 0; // of its local header
        std::uint32_t crc = 0;
        std::uint64_t compressed = 0;
        std::uint64_t size = 0;
        bool stored = false;
        bool streamed = false; // sizes follow the data, in a data descriptor
    };

    void endStream();
    void put(const void* data, std::size_t size);
    [[noreturn]] void fail(const std::string& what);
    std::uint32_t fit(std::uint64_t value) const; // a 32-bit field's value, or the ZIP64 marker

    std::filesystem::path m_path;
    std::FILE* m_file = nullptr;
    std::uint64_t m_offset = 0;
    std::vector<Entry> m_entries;
    struct Stream;
    std::unique_ptr<Stream> m_stream; // the entry being streamed
    std::uint64_t m_zip64From;
    std::uint16_t m_time = 0, m_date = 0;
    bool m_closed = false;
};

} // namespace cardmill
