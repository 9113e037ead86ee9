// The run lock: the one place that knows how the platform locks a file between processes.
#include "engine/RunLock.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/Failure.h"

namespace cardmill {

namespace {

// The lock on one file, -1 when another holds it.
int lockOne(const std::filesystem::path& path)
{
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
                return -1;
            throw IoError(FailureId::Lock, path, std::strerror(error));
        }
        struct stat held = {};
        struct stat named = {};
        if (::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino)
            return fd;
        ::close(fd);
    }
    return -1;
}

} // namespace

std::filesystem::path RunLock::lockFileFor(const std::filesystem::path& base)
{
    return base.parent_path() / ("." + base.filename().string() + ".cardmill-lock");
}

std::unique_ptr<RunLock> RunLock::take(const std::vector<std::filesystem::path>& bases)
{
    std::vector<std::filesystem::path> paths;
    for (const std::filesystem::path& base : bases)
        paths.push_back(lockFileFor(base));
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    std::unique_ptr<RunLock> lock(new RunLock);
    for (const std::filesystem::path& path : paths) {
        const int fd = lockOne(path);
        if (fd < 0)
            return nullptr; // the locks taken so far go with `lock`
        lock->m_paths.push_back(path);
        lock->m_fds.push_back(fd);
    }
    return lock;
}

RunLock::~RunLock()
{
    for (std::size_t i = 0; i < m_fds.size(); ++i) {
        ::unlink(m_paths[i].c_str()); // while still locked: nobody can hold a lock on this file any more
        ::close(m_fds[i]);
    }
}

} // namespace cardmill
