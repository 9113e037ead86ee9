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

BadRecordsFile::BadRecordsFile() = default;

BadRecordsFile::BadRecordsFile(std::filesystem::path path)
    : m_path(std::move(path))
{
}

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
    m_part = std::make_unique<PartFile>(m_path);
    m_clean = true;
}

void BadRecordsFile::finish()
{
    if (!m_part)
        return;
    const std::unique_ptr<PartFile> part = std::move(m_part);
    if (m_clean) {
        removeOlderOutput(m_path);
        return; // the part file goes with `part`
    }
    std::error_code ec;
    std::filesystem::rename(part->path(), m_path, ec);
    if (ec)
        throw IoError(FailureId::WriteFile, m_path, ec.message());
    part->placed();
}

const std::filesystem::path& BadRecordsFile::writing() const
{
    return m_part ? m_part->path() : m_path;
}

void BadRecordsFile::add(std::string_view message, std::string_view recordText)
{
    std::string entry;
    entry.reserve(message.size() + recordText.size() + 4);
    entry.append(message).append("\r\n").append(recordText).append("\r\n");
    if (!m_part)
        throw IoError(FailureId::WriteFile, m_path, "it was not created");
    appendOrThrow(m_part->path(), m_path, entry);
    m_clean = false;
}

} // namespace cardmill
