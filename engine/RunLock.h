#pragma once

#include <filesystem>
#include <memory>

namespace cardmill {

// An advisory lock that one run of a log holds for its whole length, on a hidden lock file beside the log
// (".<log file name>.cardmill-lock"). Another run of the same log, in this program or another process, is
// refused at once instead of mixing its files with this one's. The lock file goes when the lock is released.
class RunLock {
public:
    // The lock, or nullptr when another run holds it. Throws IoError when the lock file cannot be made.
    static std::unique_ptr<RunLock> take(const std::filesystem::path& log);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    static std::filesystem::path lockFileFor(const std::filesystem::path& log);
    const std::filesystem::path& path() const { return m_path; }

private:
    RunLock(std::filesystem::path path, int fd)
        : m_path(std::move(path))
        , m_fd(fd)
    {
    }

    std::filesystem::path m_path;
    int m_fd;
};

} // namespace cardmill
