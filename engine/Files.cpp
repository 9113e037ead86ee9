// Files: the one place that asks the platform for what std::filesystem and <cstdio> cannot do, a POSIX half
// and a Windows half.
#include "engine/Files.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <random>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

namespace cardmill::files {

std::filesystem::path pathFromUtf8(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const std::filesystem::path& path)
{
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::FILE* open(const std::filesystem::path& path, const char* mode)
{
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return ::_wfopen(path.c_str(), wideMode.c_str());
}

namespace {

std::FILE* buffered(int fd)
{
    std::FILE* file = ::_fdopen(fd, "wb");
    if (!file) {
        ::_close(fd);
        return nullptr;
    }
    std::setvbuf(file, nullptr, _IOFBF, 1 << 16);
    return file;
}

} // namespace

std::string systemError()
{
    const DWORD code = ::GetLastError();
    wchar_t* text = nullptr;
    const DWORD n =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide = n > 0 && text ? std::wstring(text, n) : L"error " + std::to_wstring(code);
    if (text)
        ::LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.'))
        wide.pop_back();
    return utf8Of(std::filesystem::path(wide));
}

namespace {

bool writeAll(std::FILE* file, const std::string& data)
{
    return std::fwrite(data.data(), 1, data.size(), file) == data.size();
}

std::string randomName(std::string_view prefix)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::string name(prefix);
    for (int i = 0; i < 6; ++i)
        name += letters[random() % (sizeof letters - 1)];
    return name;
}

FileState stateOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    const auto id = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    const auto size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const auto ticks = (static_cast<std::int64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                       info.ftLastWriteTime.dwLowDateTime; // 100 ns since 1601
    return {{info.dwVolumeSerialNumber, id}, size, (ticks - 116444736000000000LL) * 100};
}

std::optional<BY_HANDLE_FILE_INFORMATION> information(const std::filesystem::path& path, bool followLinks)
{
    const HANDLE h = ::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    return ok ? std::optional(info) : std::nullopt;
}

} // namespace

std::FILE* createNew(const std::filesystem::path& path, std::string& error)
{
    // CREATE_NEW fails on anything at the name, a link too.
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = systemError();
        return nullptr;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(h);
        ::DeleteFileW(path.c_str());
        error = "no file descriptor";
        return nullptr;
    }
    std::FILE* file = buffered(fd);
    if (!file) {
        ::DeleteFileW(path.c_str());
        error = std::strerror(errno);
    }
    return file;
}

std::FILE* createUnique(const std::filesystem::path& folder, std::string_view prefix, std::filesystem::path& made,
                        std::string& error)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = folder / pathFromUtf8(randomName(prefix));
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(candidate, ec)))
            continue;
        std::FILE* file = createNew(candidate, error);
        if (file)
            made = candidate;
        return file;
    }
    error = "no free name";
    return nullptr;
}

bool flushToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && ::_commit(::_fileno(file)) == 0;
}

bool replaceContents(const std::filesystem::path& target, const std::string& text)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = pathFromUtf8(".");
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(target, ec);
    const bool existed = !ec && std::filesystem::exists(status);
    if (existed && !std::filesystem::is_regular_file(status))
        return false;

    std::string error;
    std::filesystem::path temp;
    std::FILE* file = createUnique(folder, "." + utf8Of(target.filename()) + ".", temp, error);
    if (!file) {
        // The folder takes no new file; a file that can be written is rewritten in place.
        std::FILE* in = existed ? open(target, "wb") : nullptr;
        if (!in)
            return false;
        const bool ok = writeAll(in, text) && flushToDisk(in);
        return std::fclose(in) == 0 && ok;
    }
    const bool ok = writeAll(file, text) && flushToDisk(file);
    if (std::fclose(file) != 0 || !ok ||
        !::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to)
{
    // Without MOVEFILE_REPLACE_EXISTING the move fails when anything is at `to`.
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

bool isExecutable(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    std::string extension = utf8Of(path.extension());
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == ".exe" || extension == ".com" || extension == ".bat" || extension == ".cmd";
}

bool isTerminal(std::FILE* stream)
{
    return ::_isatty(::_fileno(stream)) != 0;
}

std::optional<FileState> fileState(std::FILE* file)
{
    if (!file)
        return std::nullopt;
    const auto h = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    BY_HANDLE_FILE_INFORMATION info{};
    if (h == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(h, &info))
        return std::nullopt;
    return stateOf(info);
}

std::optional<FileState> fileState(const std::filesystem::path& path)
{
    const auto info = information(path, true);
    return info ? std::optional(stateOf(*info)) : std::nullopt;
}

std::optional<FileId> fileId(const std::filesystem::path& path, bool followLinks)
{
    const auto info = information(path, followLinks);
    return info ? std::optional(stateOf(*info).id) : std::nullopt;
}

bool equalNames(const std::filesystem::path& a, const std::filesystem::path& b)
{
    const std::wstring& x = a.native();
    const std::wstring& y = b.native();
    return ::CompareStringOrdinal(x.c_str(), static_cast<int>(x.size()), y.c_str(), static_cast<int>(y.size()), TRUE) ==
           CSTR_EQUAL;
}

} // namespace cardmill::files

#else // POSIX

namespace cardmill::files {

namespace {

std::FILE* buffered(int fd)
{
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        return nullptr;
    }
    std::setvbuf(file, nullptr, _IOFBF, 1 << 16);
    return file;
}

bool writeAll(int fd, const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void syncFolder(const std::filesystem::path& folder)
{
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

std::FILE* createNew(const std::filesystem::path& path, std::string& error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    std::FILE* file = fd < 0 ? nullptr : buffered(fd);
    if (!file) {
        error = std::strerror(errno);
        if (fd >= 0)
            ::unlink(path.c_str());
    }
    return file;
}

std::FILE* createUnique(const std::filesystem::path& folder, std::string_view prefix, std::filesystem::path& made,
                        std::string& error)
{
    std::string pattern = (folder / (std::string(prefix) + "XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    std::FILE* file = fd < 0 ? nullptr : buffered(fd);
    if (!file) {
        error = std::strerror(errno);
        if (fd >= 0)
            ::unlink(pattern.c_str());
        return nullptr;
    }
    made = pathFromUtf8(pattern);
    return file;
}

bool flushToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

bool replaceContents(const std::filesystem::path& target, const std::string& text)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = pathFromUtf8(".");
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode))
        return false;

    std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        // The folder takes no new file; a file that can be written is rewritten in place.
        const int in = existed ? ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC) : -1;
        if (in < 0)
            return false;
        const bool ok = writeAll(in, text) && ::fsync(in) == 0;
        return ::close(in) == 0 && ok;
    }

    mode_t mode = 0;
    if (existed) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const bool ok = writeAll(fd, text) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without that flag: a hard link fails when the name exists.
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

std::FILE* open(const std::filesystem::path& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}

std::filesystem::path pathFromUtf8(std::string_view utf8)
{
    return std::filesystem::path(std::string(utf8)); // POSIX paths are bytes; ours are UTF-8
}

std::string systemError()
{
    return std::strerror(errno);
}

std::string utf8Of(const std::filesystem::path& path)
{
    return path.string();
}

bool isExecutable(const std::filesystem::path& path)
{
    return ::access(path.c_str(), X_OK) == 0;
}

bool isTerminal(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) != 0;
}

namespace {

FileState stateOf(const struct stat& st)
{
    return {{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)},
            static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

} // namespace

std::optional<FileState> fileState(std::FILE* file)
{
    struct stat st {};
    if (!file || ::fstat(::fileno(file), &st) != 0)
        return std::nullopt;
    return stateOf(st);
}

std::optional<FileState> fileState(const std::filesystem::path& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return stateOf(st);
}

std::optional<FileId> fileId(const std::filesystem::path& path, bool followLinks)
{
    struct stat st {};
    if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0)
        return std::nullopt;
    return FileId{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
}

bool equalNames(const std::filesystem::path& a, const std::filesystem::path& b)
{
    return a == b;
}

} // namespace cardmill::files

#endif

// The same on every system.
namespace cardmill::files {

bool sameName(const std::filesystem::path& a, const std::filesystem::path& b)
{
    const auto place = [](const std::filesystem::path& p) {
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(p, ec);
        const std::filesystem::path& whole = ec ? p : absolute;
        const std::filesystem::path folder = std::filesystem::weakly_canonical(whole.parent_path(), ec);
        return ((ec ? whole.parent_path() : folder) / whole.filename()).lexically_normal();
    };
    return equalNames(place(a), place(b));
}

std::filesystem::path withSuffix(const std::filesystem::path& path, std::string_view suffix)
{
    std::filesystem::path out = path;
    out += pathFromUtf8(suffix);
    return out;
}

bool startsWith(const std::filesystem::path& path, std::string_view signature)
{
    std::FILE* f = open(path, "rb");
    if (!f)
        return false;
    std::string head(signature.size(), '\0');
    const bool read = std::fread(head.data(), 1, head.size(), f) == head.size();
    std::fclose(f);
    return read && head == signature;
}

} // namespace cardmill::files
