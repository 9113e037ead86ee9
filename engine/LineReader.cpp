#include "engine/LineReader.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include <zlib.h>

#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

std::FILE* openForReading(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw IoError(FailureId::ReadFolder, path);
    std::FILE* f = files::open(path, "rb");
    if (!f)
        throw IoError(FailureId::OpenFile, path, std::strerror(errno));
    return f;
}

} // namespace

void ReadSnapshot::add(std::string_view piece)
{
    bytes += piece.size();
    // zlib takes lengths as unsigned int: pieces are fed in parts that fit.
    while (!piece.empty()) {
        const std::size_t n = std::min<std::size_t>(piece.size(), 1u << 30);
        checksum = static_cast<std::uint32_t>(
            ::crc32(checksum, reinterpret_cast<const Bytef*>(piece.data()), static_cast<uInt>(n)));
        piece.remove_prefix(n);
    }
}

bool unchangedSince(const std::filesystem::path& path, const ReadSnapshot& snapshot)
{
    std::FILE* f = files::open(path, "rb");
    if (!f)
        return false;
    ReadSnapshot now;
    now.state = files::fileState(f);
    std::vector<char> buffer(kBufferSize);
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0;)
        now.add(std::string_view(buffer.data(), n));
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    return !failed && snapshot.state && now == snapshot;
}

LineReader::LineReader(const std::filesystem::path& path)
    : m_path(path)
    , m_file(openForReading(path))
    , m_buffer(kBufferSize)
{
    m_snapshot.state = files::fileState(m_file);
}

LineReader::~LineReader()
{
    close();
}

void LineReader::close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_eof = true;
    m_pos = m_end = 0;
}

bool LineReader::fill()
{
    if (m_eof || !m_file)
        return false;
    m_consumed += m_end;
    m_pos = 0;
    m_end = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
    if (m_end == 0) {
        if (std::ferror(m_file))
            throw IoError(FailureId::ReadFile, m_path, std::strerror(errno));
        m_eof = true;
        return false;
    }
    if (m_checksum)
        m_snapshot.add(std::string_view(m_buffer.data(), m_end));
    return true;
}

bool LineReader::atEnd()
{
    if (m_pos == m_end && !fill())
        return true;
    if (m_skipLf && m_buffer[m_pos] == '\n') {
        m_skipLf = false;
        ++m_pos;
        return atEnd();
    }
    m_skipLf = false;
    return false;
}

bool LineReader::appendLine(std::string& out)
{
    if (atEnd())
        return false;
    for (;;) {
        const char* begin = m_buffer.data() + m_pos;
        const char* end = m_buffer.data() + m_end;
        // Look for LF, then for a CR before it: two library scans beat one loop over every byte.
        const char* p = static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(end - begin)));
        const char* stop = p ? p : end;
        if (const void* cr = std::memchr(begin, '\r', static_cast<std::size_t>(stop - begin)))
            p = static_cast<const char*>(cr);
        else if (!p)
            p = end;
        out.append(begin, p);
        if (p != end) {
            m_skipLf = *p == '\r';
            m_pos = static_cast<std::size_t>(p - m_buffer.data()) + 1;
            return true;
        }
        m_pos = m_end;
        if (!fill())
            return true; // last line without a line end
    }
}

std::size_t countLines(const std::filesystem::path& path)
{
    // The line ends, plus an unterminated last line: this reads the whole log once more before the real
    // reading.
    std::FILE* f = openForReading(path);
    std::vector<char> buffer(kBufferSize);
    std::size_t ends = 0;
    bool previousCr = false;
    char last = '\n';
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), f);
        if (n == 0) {
            const bool failed = std::ferror(f) != 0;
            std::fclose(f);
            if (failed)
                throw IoError(FailureId::ReadFile, path, std::strerror(errno));
            break;
        }
        // Lines = LF + CR - (CR directly followed by LF).
        const char* b = buffer.data();
        const char* const end = b + n;
        std::size_t lf = 0, cr = 0, crlf = 0;
        for (const char* p = b; (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
             ++p) {
            ++lf;
            crlf += p == b ? previousCr : p[-1] == '\r';
        }
        for (const char* p = b; (p = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p))));
             ++p)
            ++cr;
        previousCr = b[n - 1] == '\r';
        ends += lf + cr - crlf;
        last = b[n - 1];
    }
    return ends + (last != '\n' && last != '\r' ? 1 : 0);
}

} // namespace cardmill
