#include "merge/Zip.h"

#include <fstream>
#include <stdexcept>
#include <zip.h>

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
    std::ifstream in(path, std::ios::binary);
    char sig[4] = {};
    return in.read(sig, 4) && sig[0] == 'P' && sig[1] == 'K' && sig[2] == 3 && sig[3] == 4;
}

ZipContents readZip(const std::filesystem::path& path, const ZipLimits& limits)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
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

ZipWriter::ZipWriter(std::filesystem::path path) : m_path(std::move(path)) {}

ZipWriter::~ZipWriter() = default;

void ZipWriter::add(const std::string& name, std::string bytes)
{
    m_entries.push_back({name, std::move(bytes), {}});
}

void ZipWriter::addFile(const std::string& name, const std::filesystem::path& file)
{
    m_entries.push_back({name, {}, file});
}

void ZipWriter::close()
{
    // Written under a temporary name and renamed, so that a failure never leaves half a document behind.
    std::filesystem::path temp = m_path;
    temp += ".part";
    int error = 0;
    zip_t* archive = zip_open(temp.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        throw packageError(m_path, "the document cannot be created");
    for (const Entry& e : m_entries) {
        zip_source_t* src = e.file.empty() ? zip_source_buffer(archive, e.bytes.data(), e.bytes.size(), 0)
                                           : zip_source_file(archive, e.file.c_str(), 0, -1);
        if (!src) {
            zip_discard(archive);
            throw packageError(m_path, "the document cannot be written");
        }
        const zip_int64_t index = zip_file_add(archive, e.name.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            zip_discard(archive);
            throw packageError(m_path, "the document cannot be written");
        }
        // Fast compression: merged documents are large and mostly repeated text. An OpenDocument package's
        // "mimetype" must stay uncompressed (and first) so that readers recognise it.
        if (e.name == "mimetype")
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        else
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
    }
    if (zip_close(archive) != 0) {
        const std::string text = zip_strerror(archive);
        zip_discard(archive);
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        throw packageError(m_path, "the document cannot be written (" + text + ")");
    }
    std::error_code ec;
    std::filesystem::rename(temp, m_path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        throw packageError(m_path, "the document cannot be written");
    }
}

} // namespace cardmill
