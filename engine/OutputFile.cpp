#include "engine/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/TempFiles.h"

namespace cardmill {

void requireNoFolderAt(const std::filesystem::path& target)
{
    std::error_code ec;
    if (std::filesystem::is_directory(std::filesystem::symlink_status(target, ec)))
        throw IoError(FailureId::FolderInTheWay, target);
}

void removeOlderOutput(const std::filesystem::path& target) noexcept
{
    std::error_code ec;
    const auto type = std::filesystem::symlink_status(target, ec).type();
    if (type == std::filesystem::file_type::regular || type == std::filesystem::file_type::symlink)
        std::filesystem::remove(target, ec);
}

OutputFile::OutputFile(std::filesystem::path target)
    : m_target(std::move(target))
{
    requireNoFolderAt(m_target);
    m_part = std::make_unique<PartFile>(m_target);
    std::string error;
    m_file = m_part->writer(error);
    if (!m_file) {
        m_part.reset();
        throw IoError(FailureId::CreateFile, m_target, error);
    }
}

OutputFile::~OutputFile()
{
    discard();
}

void OutputFile::write(std::string_view bytes)
{
    if (!m_file)
        throw IoError(FailureId::WriteFile, m_target, "it is closed");
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        throw IoError(FailureId::WriteFile, m_target, std::strerror(errno));
}

void OutputFile::commit()
{
    if (!m_file)
        throw IoError(FailureId::WriteFile, m_target, "it is closed");
    const int closed = std::fclose(m_file);
    m_file = nullptr;
    if (closed != 0) {
        const int error = errno;
        m_part.reset();
        throw IoError(FailureId::WriteFile, m_target, std::strerror(error));
    }
    requireNoFolderAt(m_target);
    std::error_code ec;
    std::filesystem::rename(m_part->path(), m_target, ec);
    if (ec) {
        m_part.reset();
        throw IoError(FailureId::WriteFile, m_target, ec.message());
    }
    m_part->placed();
    m_part.reset();
}

void OutputFile::discard() noexcept
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_part.reset();
}

} // namespace cardmill
