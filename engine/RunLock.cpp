// The run lock: the one place that knows how the platform locks a file between processes, a POSIX half and a
// Windows half.
#include "engine/RunLock.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "engine/Failure.h"
#include "engine/Files.h"

namespace cardmill {

namespace {

#ifdef _WIN32

// The lock on one file, -1 when another holds it. The file goes when the last handle on it closes, even when
// its holder ends without cleaning up.
int lockOne(const std::filesystem::path& path)
{
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        std::error_code ec;
        if (::GetLastError() == ERROR_ACCESS_DENIED && std::filesystem::exists(path, ec))
            return -1; // its holder is letting it go
        throw IoError(FailureId::MakeLock, path, files::systemError());
    }
    OVERLAPPED at{};
    if (!::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const bool held = ::GetLastError() == ERROR_LOCK_VIOLATION;
        const std::string error = files::systemError();
        ::CloseHandle(h);
        if (held)
            return -1;
        throw IoError(FailureId::Lock, path, error);
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR);
    if (fd < 0)
        ::CloseHandle(h);
    return fd;
}

void release(const std::filesystem::path&, int fd)
{
    ::_close(fd); // the lock, and the file, go with the handle
}

#else // POSIX

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

void release(const std::filesystem::path& path, int fd)
{
    ::unlink(path.c_str()); // while still locked: nobody can hold a lock on this file any more
    ::close(fd);
}

#endif

} // namespace

std::filesystem::path RunLock::lockFileFor(const std::filesystem::path& base)
{
    return base.parent_path() / files::pathFromUtf8("." + files::utf8Of(base.filename()) + ".cardmill-lock");
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
    for (std::size_t i = 0; i < m_fds.size(); ++i)
        release(m_paths[i], m_fds[i]);
}

} // namespace cardmill
