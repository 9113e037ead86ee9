#include "merge/Zip.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <zip.h>
#include <zlib.h>

#include "engine/Clock.h"
#include "engine/Files.h"
#include "merge/DeflateStream.h"

namespace cardmill {

namespace {

std::runtime_error packageError(const std::filesystem::path& path, const std::string& what)
{
    return std::runtime_error("\"" + path.string() + "\": " + what);
}

bool climbsOut(const std::string& name)
{
    if (name.empty() || name[0] == '/' || name[0] == '\\' || name.find(':') != std::string::npos)
        return true;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

bool looksLikeZip(const std::filesystem::path& path)
{
    return files::startsWith(path, std::string_view("PK\x03\x04", 4));
}

ZipContents readZip(const std::filesystem::path& path, const ZipLimits& limits)
{
    int error = 0;
    zip_t* archive = zip_open(files::utf8Of(path).c_str(), ZIP_RDONLY, &error); // UTF-8 on every system
    if (!archive) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, error);
        const std::string text = zip_error_strerror(&ze);
        zip_error_fini(&ze);
        throw packageError(path, "not a readable document package (" + text + ")");
    }
    struct Closer {
        zip_t* a;
        ~Closer() { zip_discard(a); }
    } closer{archive};

    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || static_cast<std::size_t>(count) > limits.maxEntries)
        throw packageError(path, "the package holds too many entries");
    ZipContents contents;
    std::size_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME) ||
            !(st.valid & ZIP_STAT_SIZE))
            throw packageError(path, "an entry of the package cannot be read");
        const std::string name = st.name;
        if (climbsOut(name))
            throw packageError(path, "the package holds an entry named \"" + name + "\" outside the package");
        if (!name.empty() && name.back() == '/')
            continue; // a folder entry
        if (st.size > limits.maxEntrySize || total + st.size > limits.maxTotalSize)
            throw packageError(path, "the package unpacks to more than the allowed size");
        std::string bytes(static_cast<std::size_t>(st.size), '\0');
        zip_file_t* f = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (!f)
            throw packageError(path, "the entry \"" + name + "\" cannot be read (" + zip_strerror(archive) + ")");
        const zip_int64_t n = bytes.empty() ? 0 : zip_fread(f, bytes.data(), bytes.size());
        // One byte more than declared must not be there (libzip also checks the CRC at the end).
        char extra = 0;
        const zip_int64_t more = zip_fread(f, &extra, 1);
        zip_fclose(f);
        if (n != static_cast<zip_int64_t>(bytes.size()) || more != 0)
            throw packageError(path, "the entry \"" + name + "\" is damaged");
        total += bytes.size();
        if (contents.entries.emplace(name, std::move(bytes)).second)
            contents.order.push_back(name);
    }
    return contents;
}

// --- Writing ---
//
// The layout of PKWARE's APPNOTE: for every entry a local header, its data and, for a streamed entry, a data
// descriptor; then the central directory and its end record, with the ZIP64 records when anything passes the
// 32-bit fields.

namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kDataDescriptor = 0x08074b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEnd = 0x06054b50;
constexpr std::uint32_t kEnd64 = 0x06064b50;
constexpr std::uint32_t kEnd64Locator = 0x07064b50;
constexpr std::uint16_t kFlagDescriptor = 0x0008;
constexpr std::uint16_t kFlagUtf8 = 0x0800;
constexpr std::uint32_t kMax32 = 0xffffffffu;
// zlib's level for streamed entries (merged documents: large, repetitive XML). On them level 3 is as fast as
// level 1 and makes 15 % smaller files; level 6 makes a third smaller ones again, at twice the time.
constexpr int kStreamLevel = 3;

// Little-endian fields appended to a header.
struct Fields {
    std::string bytes;
    Fields& little(std::uint64_t v, int size)
    {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
        return *this;
    }
    Fields& u16(std::uint64_t v) { return little(v, 2); }
    Fields& u32(std::uint64_t v) { return little(v, 4); }
    Fields& u64(std::uint64_t v) { return little(v, 8); }
    Fields& text(std::string_view s)
    {
        bytes.append(s);
        return *this;
    }
};

} // namespace

struct ZipWriter::Stream {
    Entry entry;
    std::unique_ptr<DeflateStream> deflate;
};

ZipWriter::ZipWriter(std::filesystem::path path, std::uint64_t zip64From)
    : m_path(std::move(path))
    , m_zip64From(zip64From)
{
    std::error_code ec;
    if (std::filesystem::is_directory(m_path, ec))
        throw packageError(m_path, "the document cannot be created: a folder has its name");
    m_file = files::open(m_path, "wb");
    if (!m_file)
        throw packageError(m_path, std::string("the document cannot be created (") + std::strerror(errno) + ")");
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
    // Entries carry the time of writing, in the MS-DOS form.
    const std::time_t now = std::time(nullptr);
    const std::tm local = localTime(now);
    m_time = static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    m_date = static_cast<std::uint16_t>(((std::max(local.tm_year, 80) - 80) << 9) | ((local.tm_mon + 1) << 5) |
                                        local.tm_mday);
}

ZipWriter::~ZipWriter()
{
    m_stream.reset();
    if (m_file)
        std::fclose(m_file);
    if (!m_closed) {
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
    }
}

void ZipWriter::fail(const std::string& what)
{
    throw packageError(m_path, "the document cannot be written (" + what + ")");
}

void ZipWriter::put(const void* data, std::size_t size)
{
    if (size > 0 && std::fwrite(data, 1, size, m_file) != size)
        fail(std::strerror(errno));
    m_offset += size;
}

void ZipWriter::add(const std::string& name, std::string_view bytes)
{
    endStream();
    Entry e;
    e.name = name;
    e.offset = m_offset;
    e.size = bytes.size();
    e.crc = static_cast<std::uint32_t>(crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
    e.stored = name == "mimetype";
    std::string data;
    if (e.stored) {
        data.assign(bytes);
    } else {
        z_stream z{};
        if (deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            fail("no compressor");
        data.resize(deflateBound(&z, bytes.size()));
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        z.avail_in = static_cast<uInt>(bytes.size());
        z.next_out = reinterpret_cast<Bytef*>(data.data());
        z.avail_out = static_cast<uInt>(data.size());
        const int r = deflate(&z, Z_FINISH);
        data.resize(z.total_out);
        deflateEnd(&z);
        if (r != Z_STREAM_END || bytes.size() > kMax32)
            fail("an entry is too large to be held whole");
    }
    e.compressed = data.size();
    const std::string header = Fields()
                                   .u32(kLocalHeader)
                                   .u16(20)
                                   .u16(kFlagUtf8)
                                   .u16(e.stored ? 0 : 8)
                                   .u16(m_time)
                                   .u16(m_date)
                                   .u32(e.crc)
                                   .u32(e.compressed)
                                   .u32(e.size)
                                   .u16(name.size())
                                   .u16(0)
                                   .text(name)
                                   .bytes;
    put(header.data(), header.size());
    put(data.data(), data.size());
    m_entries.push_back(std::move(e));
}

void ZipWriter::begin(const std::string& name)
{
    endStream();
    m_stream = std::make_unique<Stream>();
    Entry& e = m_stream->entry;
    e.name = name;
    e.offset = m_offset;
    e.streamed = true;
    // Sizes and checksum follow the data, in the descriptor; the version says ZIP64 may be met there.
    const std::string header = Fields()
                                   .u32(kLocalHeader)
                                   .u16(45)
                                   .u16(kFlagDescriptor | kFlagUtf8)
                                   .u16(8)
                                   .u16(m_time)
                                   .u16(m_date)
                                   .u32(0)
                                   .u32(0)
                                   .u32(0)
                                   .u16(name.size())
                                   .u16(0)
                                   .text(name)
                                   .bytes;
    put(header.data(), header.size());
    // From here until endStream() only the compressing thread writes to the file.
    m_stream->deflate = std::make_unique<DeflateStream>(
        kStreamLevel, [this](const unsigned char* data, std::size_t size) { put(data, size); });
}

void ZipWriter::write(std::string_view bytes)
{
    if (!m_stream)
        fail("no entry is open");
    m_stream->deflate->write(bytes);
}

void ZipWriter::endStream()
{
    if (!m_stream)
        return;
    const DeflateStream::Totals totals = m_stream->deflate->finish();
    Entry e = m_stream->entry;
    m_stream.reset();
    e.crc = totals.crc;
    e.size = totals.size;
    e.compressed = totals.compressed;
    const bool zip64 = e.size >= m_zip64From || e.compressed >= m_zip64From;
    Fields descriptor;
    descriptor.u32(kDataDescriptor).u32(e.crc);
    if (zip64)
        descriptor.u64(e.compressed).u64(e.size);
    else
        descriptor.u32(e.compressed).u32(e.size);
    put(descriptor.bytes.data(), descriptor.bytes.size());
    m_entries.push_back(std::move(e));
}

std::uint32_t ZipWriter::fit(std::uint64_t value) const
{
    return value >= m_zip64From ? kMax32 : static_cast<std::uint32_t>(value);
}

void ZipWriter::close()
{
    endStream();
    const std::uint64_t directoryStart = m_offset;
    for (const Entry& e : m_entries) {
        // The ZIP64 extra field holds whichever of the three values do not fit, in this order.
        Fields extra;
        if (e.size >= m_zip64From)
            extra.u64(e.size);
        if (e.compressed >= m_zip64From)
            extra.u64(e.compressed);
        if (e.offset >= m_zip64From)
            extra.u64(e.offset);
        const bool zip64 = !extra.bytes.empty();
        const std::string extraField = zip64 ? Fields().u16(1).u16(extra.bytes.size()).text(extra.bytes).bytes : "";
        const std::string header = Fields()
                                       .u32(kCentralHeader)
                                       .u16((3 << 8) | 45) // made on Unix
                                       .u16(zip64 || e.streamed ? 45 : 20)
                                       .u16((e.streamed ? kFlagDescriptor : 0) | kFlagUtf8)
                                       .u16(e.stored ? 0 : 8)
                                       .u16(m_time)
                                       .u16(m_date)
                                       .u32(e.crc)
                                       .u32(fit(e.compressed))
                                       .u32(fit(e.size))
                                       .u16(e.name.size())
                                       .u16(extraField.size())
                                       .u16(0)
                                       .u16(0)
                                       .u16(0)
                                       .u32(0100644u << 16) // a regular file, rw-r--r--
                                       .u32(fit(e.offset))
                                       .text(e.name)
                                       .text(extraField)
                                       .bytes;
        put(header.data(), header.size());
    }
    const std::uint64_t directorySize = m_offset - directoryStart;
    const std::uint64_t count = m_entries.size();
    if (directoryStart >= m_zip64From || directorySize >= m_zip64From || count >= 0xffff) {
        const std::uint64_t end64 = m_offset;
        const std::string records = Fields()
                                        .u32(kEnd64)
                                        .u64(44)
                                        .u16((3 << 8) | 45)
                                        .u16(45)
                                        .u32(0)
                                        .u32(0)
                                        .u64(count)
                                        .u64(count)
                                        .u64(directorySize)
                                        .u64(directoryStart)
                                        .u32(kEnd64Locator)
                                        .u32(0)
                                        .u64(end64)
                                        .u32(1)
                                        .bytes;
        put(records.data(), records.size());
    }
    const std::string end = Fields()
                                .u32(kEnd)
                                .u16(0)
                                .u16(0)
                                .u16(std::min<std::uint64_t>(count, 0xffff))
                                .u16(std::min<std::uint64_t>(count, 0xffff))
                                .u32(fit(directorySize))
                                .u32(fit(directoryStart))
                                .u16(0)
                                .bytes;
    put(end.data(), end.size());
    const bool synced = files::flushToDisk(m_file);
    const int closed = std::fclose(m_file);
    m_file = nullptr;
    if (!synced || closed != 0)
        fail(std::strerror(errno));
    m_closed = true;
}

} // namespace cardmill
