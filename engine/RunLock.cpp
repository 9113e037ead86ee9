// The run lock: the one place that knows how the platform locks a file between processes.
#include "engine/RunLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/Failure.h"

namespace cardmill {

std::filesystem::path RunLock::lockFileFor(const std::filesystem::path& log)
{
    return log.parent_path() / ("." + log.filename().string() + ".cardmill-lock");
}

std::unique_ptr<RunLock> RunLock::take(const std::filesystem::path& log)
{
    const std::filesystem::path path = lockFileFor(log);
    // The holder removes the file when it is done: a lock taken on a file that was removed (or replaced) in the
    // meantime protects nothing, so the name is checked to still be the locked file, and the lock taken again.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            throw IoError(FailureId::MakeLock, path, std::strerror(errno));
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return nullptr;
            throw IoError(FailureId::Lock, path, std::strerror(error));
        }
        struct stat held = {};
        struct stat named = {};
        if (::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino)
            return std::unique_ptr<RunLock>(new RunLock(path, fd));
        ::close(fd);
    }
    return nullptr;
}

RunLock::~RunLock()
{
    ::unlink(m_path.c_str()); // while still locked: nobody can hold a lock on this file any more
    ::close(m_fd);
}

} // namespace cardmill
