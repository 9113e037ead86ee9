// The program's own place and the user's folders: the one place that asks the platform where the running
// program lies and where a user's settings and data go, a POSIX half and a Windows half.
#include "engine/ProgramFiles.h"

#include <cstdlib>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
// after windows.h
#include <shellapi.h>
#else
#include <unistd.h>
#endif

#include "engine/Files.h"

namespace cardmill {

std::filesystem::path dataFolder()
{
    const std::filesystem::path installed = programFolder().parent_path() / "share" / "cardmill";
    std::error_code ec;
    return std::filesystem::is_directory(installed, ec) ? installed : programFolder();
}

std::filesystem::path userBaseFolder(const char* value, const char* home, std::string_view fallback)
{
    if (value && *value == '/')
        return files::pathFromUtf8(value);
    return home && *home ? files::pathFromUtf8(home) / files::pathFromUtf8(fallback) : std::filesystem::path();
}

#ifdef _WIN32

namespace {

// An environment variable's value as a path (the wide environment: any characters).
std::filesystem::path environmentFolder(const wchar_t* name)
{
    const wchar_t* value = ::_wgetenv(name);
    return value && *value ? std::filesystem::path(value) : std::filesystem::path();
}

} // namespace

const std::filesystem::path& programFolder()
{
    static const std::filesystem::path dir = [] {
        std::wstring exe(MAX_PATH, L'\0');
        for (;;) {
            const DWORD n = ::GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
            if (n == 0) {
                std::error_code ec;
                return std::filesystem::current_path(ec);
            }
            if (n < exe.size()) {
                exe.resize(n);
                return std::filesystem::path(exe).parent_path();
            }
            exe.resize(exe.size() * 2);
        }
    }();
    return dir;
}

std::filesystem::path userConfigFolder()
{
    return environmentFolder(L"APPDATA");
}

std::filesystem::path userDataFolder()
{
    return environmentFolder(L"LOCALAPPDATA");
}

std::filesystem::path glibConfigFolder()
{
    return environmentFolder(L"LOCALAPPDATA"); // where GLib keeps a user's configuration on Windows
}

std::vector<std::filesystem::path> systemDataFolders()
{
    // What was installed with the program: "share" beside its "bin".
    return {programFolder().parent_path() / "share"};
}

std::vector<std::string> programArguments(int argc, char** argv)
{
    int n = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i)
        out.push_back(files::utf8Of(std::filesystem::path(wide[i])));
    ::LocalFree(wide);
    return out;
}

void useUtf8Console()
{
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
}

#else // POSIX

const std::filesystem::path& programFolder()
{
    static const std::filesystem::path dir = [] {
        std::error_code ec;
        const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        return ec ? std::filesystem::current_path(ec) : exe.parent_path();
    }();
    return dir;
}

std::filesystem::path userConfigFolder()
{
    return userBaseFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), ".config");
}

std::filesystem::path userDataFolder()
{
    return userBaseFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), ".local/share");
}

std::filesystem::path glibConfigFolder()
{
    return userConfigFolder();
}

std::vector<std::string> programArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

void useUtf8Console() {}

std::vector<std::filesystem::path> systemDataFolders()
{
    std::vector<std::filesystem::path> out;
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    const std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
    for (std::size_t at = 0; at <= list.size();) {
        const std::size_t colon = std::min(list.find(':', at), list.size());
        const std::string dir = list.substr(at, colon - at);
        if (!dir.empty() && dir.front() == '/')
            out.push_back(files::pathFromUtf8(dir));
        at = colon + 1;
    }
    return out;
}

#endif

} // namespace cardmill
