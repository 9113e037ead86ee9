// Temporary folders and files: the one place that knows how the platform makes them private and tells
// whether the process that left one is still alive.
#include "engine/TempFiles.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "engine/Failure.h"
#include "engine/Files.h"

namespace cardmill {

namespace {

constexpr std::string_view kWorkPrefix = "cardmill-";
constexpr std::string_view kPartMark = ".part-";

// The current work folder as plain bytes, for the signal handler.
char g_current[4096] = {};
std::atomic<bool> g_haveCurrent{false};

// True when no process of this id exists any more.
bool processGone(long pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// The process id in "<prefix><pid>-..." , or -1.
long pidAfter(std::string_view name, std::string_view prefix)
{
    if (name.substr(0, prefix.size()) != prefix)
        return -1;
    name.remove_prefix(prefix.size());
    long pid = 0;
    std::size_t i = 0;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && i < 10; ++i)
        pid = pid * 10 + (name[i] - '0');
    return i > 0 && i < name.size() && name[i] == '-' ? pid : -1;
}

// Removes a folder and everything below it with system calls only (no allocation, no locks), so that a signal
// handler may call it whatever the program was doing.
void removeTree(int parent, const char* name, int depth) noexcept
{
    struct LinuxDirent64 {
        ino64_t d_ino;
        off64_t d_off;
        unsigned short d_reclen;
        unsigned char d_type;
        char d_name[1];
    };
    if (depth > 64)
        return;
    // A folder changes while it is read: read it again while its removal finds it not empty, a few times.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            break;
        alignas(8) char buffer[4096];
        long n = 0;
        while ((n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer)) > 0) {
            for (long at = 0; at < n;) {
                const auto* e = reinterpret_cast<const LinuxDirent64*>(buffer + at);
                at += e->d_reclen;
                if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
                    continue;
                if (::unlinkat(fd, e->d_name, 0) != 0 && (errno == EISDIR || errno == EPERM))
                    removeTree(fd, e->d_name, depth + 1);
            }
        }
        ::close(fd);
        if (::unlinkat(parent, name, AT_REMOVEDIR) == 0 || errno != ENOTEMPTY)
            break;
    }
}

} // namespace

std::filesystem::path temporaryRoot()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? std::filesystem::path(tmp) : std::filesystem::path("/tmp");
}

namespace {

// A new folder "cardmill-<pid>-<purpose>XXXXXX" in `parent`, mode 0700.
std::string privateFolder(const std::filesystem::path& parent, std::string_view purpose)
{
    std::string pattern =
        (parent / (std::string(kWorkPrefix) + std::to_string(::getpid()) + "-" + std::string(purpose) + "XXXXXX"))
            .string();
    if (!::mkdtemp(pattern.data()))
        throw IoError(FailureId::MakeWorkFolder, parent, std::strerror(errno));
    return pattern;
}

} // namespace

WorkFolder::WorkFolder()
{
    const std::string made = privateFolder(temporaryRoot(), "");
    m_path = made;
    if (made.size() < sizeof g_current) {
        std::memcpy(g_current, made.c_str(), made.size() + 1);
        g_haveCurrent = true;
    }
}

WorkFolder::~WorkFolder()
{
    g_haveCurrent = false;
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path WorkFolder::current()
{
    return g_haveCurrent ? std::filesystem::path(g_current) : std::filesystem::path();
}

void WorkFolder::removeCurrentNow() noexcept
{
    if (g_haveCurrent.exchange(false))
        removeTree(AT_FDCWD, g_current, 0);
}

std::filesystem::path scratchFolder(std::string_view purpose)
{
    const std::filesystem::path current = WorkFolder::current();
    return privateFolder(current.empty() ? temporaryRoot() : current, std::string(purpose) + "-");
}

std::FILE* scratchFile(std::string_view purpose, std::filesystem::path& made, std::string& error)
{
    const std::filesystem::path current = WorkFolder::current();
    return files::createUnique(current.empty() ? temporaryRoot() : current,
                               std::string(kWorkPrefix) + std::to_string(::getpid()) + "-" + std::string(purpose) + "-",
                               made, error);
}

std::filesystem::path partPathFor(const std::filesystem::path& target)
{
    static std::atomic<unsigned> counter{0};
    std::filesystem::path p = target;
    p += std::string(kPartMark) + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    return p;
}

void removeLeftovers(const std::filesystem::path& folder)
{
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(temporaryRoot(), ec)) {
        const std::string name = e.path().filename().string();
        std::error_code ignored;
        if (processGone(pidAfter(name, kWorkPrefix)) && e.is_directory(ignored) && !e.is_symlink(ignored))
            std::filesystem::remove_all(e.path(), ignored);
    }
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        const std::size_t mark = name.rfind(kPartMark);
        std::error_code ignored;
        if (mark != std::string::npos && processGone(pidAfter(std::string_view(name).substr(mark), kPartMark)) &&
            !e.is_directory(ignored))
            std::filesystem::remove(e.path(), ignored);
    }
}

} // namespace cardmill
