// Files: the one place that asks the platform for what std::filesystem and <cstdio> cannot do.
#include "engine/Files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    made = pattern;
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
        folder = ".";
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

std::filesystem::path pathFromUtf8(std::string_view utf8)
{
    return std::filesystem::path(std::string(utf8)); // POSIX paths are bytes; ours are UTF-8
}

std::string utf8Of(const std::filesystem::path& path)
{
    return path.string();
}

bool startsWith(const std::filesystem::path& path, std::string_view signature)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::string head(signature.size(), '\0');
    const bool read = std::fread(head.data(), 1, head.size(), f) == head.size();
    std::fclose(f);
    return read && head == signature;
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

} // namespace cardmill::files
