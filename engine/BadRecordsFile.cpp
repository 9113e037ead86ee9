#include "engine/BadRecordsFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/OutputFile.h"
#include "engine/TempFiles.h"

namespace cardmill {

namespace {

// Appends to `path`; errors name `shown`, the file the user knows.
void appendOrThrow(const std::filesystem::path& path, const std::filesystem::path& shown, std::string_view data)
{
    std::FILE* f = files::open(path, "ab");
    if (!f)
        throw IoError(FailureId::WriteFile, shown, std::strerror(errno));
    const bool written = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    const int saved = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed)
        throw IoError(FailureId::WriteFile, shown, std::strerror(written ? errno : saved));
}

} // namespace

BadRecordsFile::~BadRecordsFile()
{
    try {
        finish();
    } catch (...) {
        // Ended by an error already being reported; the temporary file goes with the next run's clean-up.
    }
}

void BadRecordsFile::create()
{
    finish();
    requireNoFolderAt(m_path);
    m_part = partPathFor(m_path);
    std::string error;
    std::FILE* file = files::createNew(m_part, error);
    if (!file) {
        m_part.clear();
        throw IoError(FailureId::CreateFile, m_path, error);
    }
    std::fclose(file);
    m_clean = true;
}

void BadRecordsFile::finish()
{
    if (m_part.empty())
        return;
    const std::filesystem::path part = std::move(m_part);
    m_part.clear();
    std::error_code ec;
    if (m_clean) {
        std::filesystem::remove(part, ec);
        removeOlderOutput(m_path);
        return;
    }
    std::filesystem::rename(part, m_path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
        throw IoError(FailureId::WriteFile, m_path, ec.message());
    }
}

void BadRecordsFile::add(std::string_view message, std::string_view recordText)
{
    std::string entry;
    entry.reserve(message.size() + recordText.size() + 4);
    entry.append(message).append("\r\n").append(recordText).append("\r\n");
    if (m_part.empty())
        throw IoError(FailureId::WriteFile, m_path, "it was not created");
    appendOrThrow(m_part, m_path, entry);
    m_clean = false;
}

} // namespace cardmill
