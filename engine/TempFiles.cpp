// Temporary folders and files: the one place that knows how the platform makes them private and tells
// whether the process that left one is still alive, a POSIX half and a Windows half.
#include "engine/TempFiles.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <sys/file.h>
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

// A lock held on a file for as long as its maker needs it (see the platform halves).
using ClaimHandle = std::intptr_t;
constexpr ClaimHandle kNoClaim = -1;

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

// A claim is a handle on the file holding a lock on one byte far past any end the file will have: writers
// through other handles are not hindered, and the system lets the lock go when the process ends, however.
constexpr DWORD kClaimOffsetHigh = 0x7fffffff;

bool lockClaim(HANDLE h)
{
    OVERLAPPED at{};
    at.OffsetHigh = kClaimOffsetHigh;
    return ::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

ClaimHandle claimNew(const std::filesystem::path& path, std::string& error)
{
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = files::systemError();
        return kNoClaim;
    }
    if (!lockClaim(h)) {
        error = files::systemError();
        ::CloseHandle(h);
        ::DeleteFileW(path.c_str());
        return kNoClaim;
    }
    return reinterpret_cast<ClaimHandle>(h);
}

void releaseClaim(ClaimHandle claim)
{
    if (claim != kNoClaim)
        ::CloseHandle(reinterpret_cast<HANDLE>(claim));
}

std::FILE* writerOf(ClaimHandle, const std::filesystem::path& path, std::string& error)
{
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = files::systemError();
        return nullptr;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    std::FILE* file = fd < 0 ? nullptr : ::_fdopen(fd, "wb");
    if (!file) {
        error = "no file descriptor";
        if (fd >= 0)
            ::_close(fd);
        else
            ::CloseHandle(h);
    }
    return file;
}

// Whether a process holds the claim on the file: one that cannot be opened counts as held.
bool claimHeld(const std::filesystem::path& path)
{
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return true;
    const bool held = !lockClaim(h);
    ::CloseHandle(h);
    return held;
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

// A claim is a descriptor of the file holding a lock on the whole of it: an open file description's lock where
// the system has them (they conflict with other processes' record locks, over NFS too), else flock's. The
// system lets it go when the process ends, however it ends.
bool lockClaim(int fd)
{
#ifdef F_OFD_SETLK
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &whole) == 0;
#else
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
#endif
}

ClaimHandle claimNew(const std::filesystem::path& path, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return kNoClaim;
    }
    if (!lockClaim(fd)) {
        error = std::strerror(errno);
        ::close(fd);
        ::unlink(path.c_str());
        return kNoClaim;
    }
    return fd;
}

void releaseClaim(ClaimHandle claim)
{
    if (claim != kNoClaim)
        ::close(static_cast<int>(claim));
}

std::FILE* writerOf(ClaimHandle claim, const std::filesystem::path&, std::string& error)
{
    // The same open file: closing the stream leaves the claim's lock in place.
    const int fd = ::fcntl(static_cast<int>(claim), F_DUPFD_CLOEXEC, 0);
    std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (!file) {
        error = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
    }
    return file;
}

// Whether a process holds the claim on the file: one that cannot be opened counts as held.
bool claimHeld(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool held = !lockClaim(fd);
    ::close(fd);
    return held;
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

// The claims on the markers of this process's private folders, by folder: held while a folder is there.
struct FolderClaims {
    std::mutex mutex;
    std::vector<std::pair<std::filesystem::path, ClaimHandle>> held;

    // Keeps `claim` for `folder`, and lets go of those whose folders were removed meanwhile.
    void keep(const std::filesystem::path& folder, ClaimHandle claim)
    {
        const std::lock_guard guard(mutex);
        std::erase_if(held, [](const auto& entry) {
            std::error_code ec;
            const bool gone = !std::filesystem::exists(entry.first / files::pathFromUtf8(kMarker), ec) && !ec;
            if (gone)
                releaseClaim(entry.second);
            return gone;
        });
        held.emplace_back(folder, claim);
    }
    void release(const std::filesystem::path& folder)
    {
        const std::lock_guard guard(mutex);
        std::erase_if(held, [&](const auto& entry) {
            const bool it = entry.first == folder;
            if (it)
                releaseClaim(entry.second);
            return it;
        });
    }
};

FolderClaims& folderClaims()
{
    static FolderClaims* claims = new FolderClaims; // lives to the end: the system lets the claims go then
    return *claims;
}

// A new folder "cardmill-<pid>-<purpose>XXXXXX" in `parent`, private to the user, with the marker file that
// says it is one of ours, claimed while the folder is there.
std::filesystem::path privateFolder(const std::filesystem::path& parent, std::string_view purpose)
{
    const std::filesystem::path folder = makeFolder(files::utf8Of(parent) + "/" + std::string(kWorkPrefix) +
                                                    std::to_string(currentProcess()) + "-" + std::string(purpose));
    std::string error;
    const ClaimHandle marker = claimNew(folder / files::pathFromUtf8(kMarker), error);
    if (marker == kNoClaim) {
        std::error_code ec;
        std::filesystem::remove(folder, ec);
        throw IoError(FailureId::MakeWorkFolder, parent, error);
    }
    folderClaims().keep(folder, marker);
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
    removeScratchFolder(m_path);
}

void removeScratchFolder(const std::filesystem::path& folder) noexcept
{
    if (folder.empty())
        return;
    // The claim first: a file still open cannot be removed on every system.
    try {
        folderClaims().release(folder);
    } catch (...) {
        // The system lets the claim go when the process ends.
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

PartFile::PartFile(const std::filesystem::path& target)
    : m_path(partPathFor(target))
{
    std::string error;
    m_claim = claimNew(m_path, error);
    if (m_claim == kNoClaim)
        throw IoError(FailureId::CreateFile, target, error);
}

PartFile::~PartFile()
{
    if (!m_placed) {
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
    }
    releaseClaim(m_claim);
}

std::FILE* PartFile::writer(std::string& error) const
{
    return writerOf(m_claim, m_path, error);
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
            !claimHeld(e.path() / files::pathFromUtf8(kMarker)) && processGone(pid))
            std::filesystem::remove_all(e.path(), ignored);
    }
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        std::error_code ignored;
        const std::string name = files::utf8Of(e.path().filename());
        if (isPartName(name, pid) && !e.is_directory(ignored) && ownedByUs(e.path()) && !claimHeld(e.path()) &&
            processGone(pid))
            std::filesystem::remove(e.path(), ignored);
    }
}

} // namespace cardmill
