#include "merge/LibreOffice.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "engine/Files.h"
#include "engine/TempFiles.h"
#include "merge/ChildProcess.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace cardmill {

namespace {

std::string tail(const std::filesystem::path& log)
{
    std::ifstream in(log);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    if (text.size() > 400)
        text = "..." + text.substr(text.size() - 400);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

} // namespace

std::optional<std::filesystem::path> LibreOffice::findIn(std::string_view searchPath, char separator,
                                                         const std::vector<std::string>& names,
                                                         const std::vector<std::filesystem::path>& installed)
{
    std::vector<std::filesystem::path> folders;
    for (std::size_t at = 0; at <= searchPath.size();) {
        const std::size_t end = std::min(searchPath.find(separator, at), searchPath.size());
        std::string_view dir = searchPath.substr(at, end - at);
        if (dir.size() >= 2 && dir.front() == '"' && dir.back() == '"') // Windows allows quoted folders
            dir = dir.substr(1, dir.size() - 2);
        if (!dir.empty())
            folders.push_back(files::pathFromUtf8(dir));
        at = end + 1;
    }
    folders.insert(folders.end(), installed.begin(), installed.end());
    for (const std::filesystem::path& dir : folders)
        for (const std::string& name : names)
            if (const std::filesystem::path p = dir / files::pathFromUtf8(name); files::isExecutable(p))
                return p;
    return std::nullopt;
}

#ifdef _WIN32

std::optional<std::filesystem::path> LibreOffice::find()
{
    std::vector<std::filesystem::path> installed;
    for (const wchar_t* variable : {L"ProgramFiles", L"ProgramW6432", L"ProgramFiles(x86)"})
        if (const wchar_t* folder = ::_wgetenv(variable); folder && *folder)
            installed.push_back(std::filesystem::path(folder) / L"LibreOffice" / L"program");
    const wchar_t* path = ::_wgetenv(L"PATH");
    return findIn(path ? files::utf8Of(std::filesystem::path(path)) : std::string(), ';', {"soffice.exe"}, installed);
}

#else

std::optional<std::filesystem::path> LibreOffice::find()
{
    const char* path = std::getenv("PATH");
    return findIn(path ? path : "/usr/bin:/usr/local/bin", ':', {"soffice", "libreoffice"}, {});
}

#endif

LibreOffice::LibreOffice() = default;

LibreOffice::~LibreOffice()
{
    if (!m_profile.empty()) {
        removeScratchFolder(m_profile);
    }
}

void LibreOffice::convert(const std::vector<std::filesystem::path>& files, const std::string& format,
                          const std::filesystem::path& folder, std::chrono::seconds timeLimit,
                          const std::function<void(int seconds)>& waiting)
{
    if (files.empty())
        return;
    const std::optional<std::filesystem::path> soffice = find();
    if (!soffice)
        throw std::runtime_error("LibreOffice is not installed");
    if (m_profile.empty())
        m_profile = scratchFolder("libreoffice"); // in the run's work folder: it goes with the run
    const std::filesystem::path log = m_profile / "convert.log";

    std::vector<std::string> args{soffice->string(), "--headless", "--norestore", "--nologo", "--nolockcheck"};
    args.push_back("-env:UserInstallation=file://" + (m_profile / "user").string());
    args.insert(args.end(), {"--convert-to", format, "--outdir", folder.string()});
    for (const auto& f : files)
        args.push_back(f.string());
    int status = -1;
    try {
        status = runChild(args, log, timeLimit, waiting);
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string("LibreOffice: ") + e.what());
    }
    if (status != 0)
        throw std::runtime_error("LibreOffice failed: " + tail(log));
    for (const auto& f : files) {
        const std::filesystem::path out = folder / f.filename().replace_extension(files::pathFromUtf8("." + format));
        std::error_code ec;
        if (!std::filesystem::is_regular_file(out, ec))
            throw std::runtime_error("LibreOffice did not convert \"" + f.string() + "\": " + tail(log));
    }
}

} // namespace cardmill
