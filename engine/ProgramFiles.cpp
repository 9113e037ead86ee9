// The program's own place: the one place that asks the platform where the running program lies.
#include "engine/ProgramFiles.h"

#include <cstdlib>
#include <system_error>

#include <unistd.h>

namespace cardmill {

const std::filesystem::path& programFolder()
{
    static const std::filesystem::path dir = [] {
        std::error_code ec;
        const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        return ec ? std::filesystem::current_path(ec) : exe.parent_path();
    }();
    return dir;
}

std::filesystem::path dataFolder()
{
    const std::filesystem::path installed = programFolder().parent_path() / "share" / "cardmill";
    std::error_code ec;
    return std::filesystem::is_directory(installed, ec) ? installed : programFolder();
}

bool folderWritable(const std::filesystem::path& folder)
{
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::filesystem::path userBaseFolder(const char* value, const char* home, std::string_view fallback)
{
    if (value && *value == '/')
        return value;
    return home && *home ? std::filesystem::path(home) / fallback : std::filesystem::path();
}

std::filesystem::path userBaseFolder(const char* variable, std::string_view fallback)
{
    return userBaseFolder(std::getenv(variable), std::getenv("HOME"), fallback);
}

} // namespace cardmill
