#pragma once

#include <filesystem>
#include <memory>
#include <vector>

namespace cardmill {

// An advisory lock that one run holds for its whole length on the outputs of a <base>, as a hidden lock file
// beside them (".<base name>.cardmill-lock"): two logs that share a <base> ("log.adi" and "log.adif") share
// every output name, so they share the lock. Another run of the same outputs, in this program or another
// process, is refused at once instead of mixing its files with this one's. The lock files go when the lock is
// released.
class RunLock {
public:
    // The lock on every <base> of `bases`, or nullptr when another run holds one of them. Throws IoError when a
    // lock file cannot be made.
    static std::unique_ptr<RunLock> take(const std::vector<std::filesystem::path>& bases);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    static std::filesystem::path lockFileFor(const std::filesystem::path& base);
    const std::vector<std::filesystem::path>& paths() const { return m_paths; }

private:
    RunLock() = default;

    std::vector<std::filesystem::path> m_paths;
    std::vector<int> m_fds;
};

} // namespace cardmill
