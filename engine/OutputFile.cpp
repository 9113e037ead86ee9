#include "engine/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "engine/Failure.h"
#include "engine/TempFiles.h"

namespace cardmill {

void requireNoFolderAt(const std::filesystem::path& target)
{
    std::error_code ec;
    if (std::filesystem::is_directory(std::filesystem::symlink_status(target, ec)))
        throw IoError(FailureId::FolderInTheWay, target);
}

OutputFile::OutputFile(std::filesystem::path target)
    : m_target(std::move(target))
    , m_part(partPathFor(m_target))
{
    requireNoFolderAt(m_target);
    const int fd = ::open(m_part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        throw IoError(FailureId::CreateFile, m_target, std::strerror(errno));
    m_file = ::fdopen(fd, "wb");
    if (!m_file) {
        ::close(fd);
        ::unlink(m_part.c_str());
        throw IoError(FailureId::CreateFile, m_target);
    }
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
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
        ::unlink(m_part.c_str());
        throw IoError(FailureId::WriteFile, m_target, std::strerror(error));
    }
    requireNoFolderAt(m_target);
    if (::rename(m_part.c_str(), m_target.c_str()) != 0) {
        const int error = errno;
        ::unlink(m_part.c_str());
        throw IoError(FailureId::WriteFile, m_target, std::strerror(error));
    }
    m_part.clear();
}

void OutputFile::discard() noexcept
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_part.empty()) {
        ::unlink(m_part.c_str());
        m_part.clear();
    }
}

} // namespace cardmill
