// Temporary folders and files: the one place that knows how the platform makes them private and tells
// whether the process that left one is still alive, a POSIX half and a Windows half.
#include "engine/TempFiles.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "engine/Failure.h"
#include "engine/Files.h"

namespace cardmill {

namespace {

constexpr std::string_view kWorkPrefix = "cardmill-";
constexpr std::string_view kPartInfix = ".cardmill-";
constexpr std::string_view kPartSuffix = ".part";
constexpr std::string_view kMarker = ".cardmill-work";
constexpr std::size_t kPartRandom = 12;
constexpr std::size_t kFolderRandom = 6; // as mkdtemp makes them

bool isAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Reads "<digits>-" at the start of `s` into `pid` and drops it; false when `s` does not start so.
bool takePid(std::string_view& s, long& pid)
{
    std::size_t i = 0;
    pid = 0;
    for (; i < s.size() && i < 10 && s[i] >= '0' && s[i] <= '9'; ++i)
        pid = pid * 10 + (s[i] - '0');
    if (i == 0 || i >= s.size() || s[i] != '-')
        return false;
    s.remove_prefix(i + 1);
    return true;
}

// Letters and digits at random, for names nobody else gives.
std::string randomPart(std::size_t n)
{
    static constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 generator{std::random_device{}()};
    std::string out;
    for (std::size_t i = 0; i < n; ++i)
        out += kAlphabet[std::uniform_int_distribution<std::size_t>(0, kAlphabet.size() - 1)(generator)];
    return out;
}

} // namespace

#ifdef _WIN32

namespace {

// The current work folder, for the console handler.
wchar_t g_current[4096] = {};
std::atomic<bool> g_haveCurrent{false};

long currentProcess()
{
    return static_cast<long>(::GetCurrentProcessId());
}

// True when no process of this id exists any more.
bool processGone(long pid)
{
    if (pid <= 0)
        return false;
    const HANDLE h = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!h)
        return ::GetLastError() == ERROR_INVALID_PARAMETER; // no such process
    const bool ended = ::WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    ::CloseHandle(h);
    return ended;
}

// The temporary folder is the user's own on Windows; a link there is never ours.
bool ownedByUs(const std::filesystem::path& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void rememberCurrent(const std::filesystem::path& folder)
{
    const std::wstring& wide = folder.native();
    if (wide.size() < std::size(g_current)) {
        std::copy(wide.begin(), wide.end(), g_current);
        g_current[wide.size()] = L'\0';
        g_haveCurrent = true;
    }
}

// A new folder named `pattern` with six random characters added; the user's temporary folder keeps it private.
std::filesystem::path makeFolder(const std::string& pattern)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = files::pathFromUtf8(pattern + randomPart(kFolderRandom));
        if (::CreateDirectoryW(candidate.c_str(), nullptr))
            return candidate;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    throw IoError(FailureId::MakeWorkFolder, files::pathFromUtf8(pattern).parent_path(), files::systemError());
}

} // namespace

std::filesystem::path temporaryRoot()
{
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH + 2, buffer);
    return n > 0 && n <= MAX_PATH + 1 ? std::filesystem::path(std::wstring(buffer, n)).parent_path()
                                      : std::filesystem::path(L"C:\\Windows\\Temp");
}

std::filesystem::path WorkFolder::current()
{
    return g_haveCurrent ? std::filesystem::path(g_current) : std::filesystem::path();
}

void WorkFolder::removeCurrentNow() noexcept
{
    // The console handler runs on a thread of its own, not in a signal: the library may be used.
    if (g_haveCurrent.exchange(false)) {
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(g_current), ec);
    }
}

#else // POSIX

namespace {

// The current work folder as plain bytes, for the signal handler.
char g_current[4096] = {};
std::atomic<bool> g_haveCurrent{false};

long currentProcess()
{
    return static_cast<long>(::getpid());
}

// True when no process of this id exists any more.
bool processGone(long pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// True when the file at `path` (not followed when a link) belongs to the user running this program.
bool ownedByUs(const std::filesystem::path& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && st.st_uid == ::geteuid();
}

void rememberCurrent(const std::filesystem::path& folder)
{
    const std::string& made = folder.native();
    if (made.size() < sizeof g_current) {
        std::memcpy(g_current, made.c_str(), made.size() + 1);
        g_haveCurrent = true;
    }
}

// A new folder named `pattern` with six random characters added, mode 0700.
std::filesystem::path makeFolder(std::string pattern)
{
    pattern += "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw IoError(FailureId::MakeWorkFolder, files::pathFromUtf8(pattern).parent_path(), std::strerror(errno));
    return files::pathFromUtf8(pattern);
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

std::filesystem::path WorkFolder::current()
{
    return g_haveCurrent ? std::filesystem::path(g_current) : std::filesystem::path();
}

void WorkFolder::removeCurrentNow() noexcept
{
    if (g_haveCurrent.exchange(false))
        removeTree(AT_FDCWD, g_current, 0);
}

#endif

namespace {

// A new folder "cardmill-<pid>-<purpose>XXXXXX" in `parent`, private to the user, with the marker file that
// says it is one of ours.
std::filesystem::path privateFolder(const std::filesystem::path& parent, std::string_view purpose)
{
    const std::filesystem::path folder = makeFolder(files::utf8Of(parent) + "/" + std::string(kWorkPrefix) +
                                                    std::to_string(currentProcess()) + "-" + std::string(purpose));
    std::string error;
    std::FILE* marker = files::createNew(folder / files::pathFromUtf8(kMarker), error);
    if (!marker) {
        std::error_code ec;
        std::filesystem::remove(folder, ec);
        throw IoError(FailureId::MakeWorkFolder, parent, error);
    }
    std::fclose(marker);
    return folder;
}

} // namespace

WorkFolder::WorkFolder()
{
    m_path = privateFolder(temporaryRoot(), "");
    rememberCurrent(m_path);
}

WorkFolder::~WorkFolder()
{
    g_haveCurrent = false;
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path scratchFolder(std::string_view purpose)
{
    const std::filesystem::path current = WorkFolder::current();
    return privateFolder(current.empty() ? temporaryRoot() : current, std::string(purpose) + "-");
}

std::FILE* scratchFile(std::string_view purpose, std::filesystem::path& made, std::string& error)
{
    const std::filesystem::path current = WorkFolder::current();
    return files::createUnique(
        current.empty() ? temporaryRoot() : current,
        std::string(kWorkPrefix) + std::to_string(currentProcess()) + "-" + std::string(purpose) + "-", made, error);
}

std::filesystem::path partPathFor(const std::filesystem::path& target)
{
    return target.parent_path() / files::pathFromUtf8("." + files::utf8Of(target.filename()) + std::string(kPartInfix) +
                                                      std::to_string(currentProcess()) + "-" + randomPart(kPartRandom) +
                                                      std::string(kPartSuffix));
}

bool isPartName(std::string_view name, long& pid)
{
    // ".<name>.cardmill-<pid>-<random>.part"
    if (name.size() < 2 || name[0] != '.' || !name.ends_with(kPartSuffix))
        return false;
    name.remove_suffix(kPartSuffix.size());
    if (name.size() < kPartRandom + 1)
        return false;
    const std::string_view random = name.substr(name.size() - kPartRandom);
    if (!std::all_of(random.begin(), random.end(), [](char c) { return isAlnum(c) && !(c >= 'A' && c <= 'Z'); }))
        return false;
    name.remove_suffix(kPartRandom);
    const std::size_t infix = name.rfind(kPartInfix);
    if (infix == std::string_view::npos || infix < 2)
        return false;
    std::string_view rest = name.substr(infix + kPartInfix.size());
    return takePid(rest, pid) && rest.empty();
}

bool isPrivateFolderName(std::string_view name, long& pid)
{
    // "cardmill-<pid>-<purpose>XXXXXX", the purpose letters ending in "-" or nothing
    if (!name.starts_with(kWorkPrefix))
        return false;
    name.remove_prefix(kWorkPrefix.size());
    if (!takePid(name, pid) || name.size() < kFolderRandom)
        return false;
    const std::string_view random = name.substr(name.size() - kFolderRandom);
    std::string_view purpose = name.substr(0, name.size() - kFolderRandom);
    if (!std::all_of(random.begin(), random.end(), isAlnum))
        return false;
    if (purpose.empty())
        return true;
    if (purpose.back() != '-')
        return false;
    purpose.remove_suffix(1);
    return !purpose.empty() &&
           std::all_of(purpose.begin(), purpose.end(), [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; });
}

void removeLeftovers(const std::filesystem::path& folder)
{
    std::error_code ec;
    long pid = 0;
    for (const auto& e : std::filesystem::directory_iterator(temporaryRoot(), ec)) {
        std::error_code ignored;
        const std::string name = files::utf8Of(e.path().filename());
        if (isPrivateFolderName(name, pid) && e.is_directory(ignored) && !e.is_symlink(ignored) &&
            ownedByUs(e.path()) && std::filesystem::is_regular_file(e.path() / files::pathFromUtf8(kMarker), ignored) &&
            processGone(pid))
            std::filesystem::remove_all(e.path(), ignored);
    }
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        std::error_code ignored;
        const std::string name = files::utf8Of(e.path().filename());
        if (isPartName(name, pid) && !e.is_directory(ignored) && ownedByUs(e.path()) && processGone(pid))
            std::filesystem::remove(e.path(), ignored);
    }
}

} // namespace cardmill
