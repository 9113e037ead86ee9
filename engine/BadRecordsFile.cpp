#include "engine/BadRecordsFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/IoError.h"

namespace cardmill {

namespace {

void writeOrThrow(const std::filesystem::path& path, const char* mode, std::string_view data)
{
    std::FILE* f = std::fopen(path.c_str(), mode);
    if (!f)
        throw IoError(path, std::string("Cannot write file (") + std::strerror(errno) + ")");
    const bool written = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    const int saved = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed)
        throw IoError(path, std::string("Cannot write file (") + std::strerror(written ? errno : saved) + ")");
}

} // namespace

void BadRecordsFile::create()
{
    writeOrThrow(m_path, "wb", {});
    m_clean = true;
}

void BadRecordsFile::add(std::string_view message, std::string_view recordText)
{
    std::string entry;
    entry.reserve(message.size() + recordText.size() + 4);
    entry.append(message).append("\r\n").append(recordText).append("\r\n");
    writeOrThrow(m_path, "ab", entry);
    m_clean = false;
}

} // namespace cardmill
