#include "merge/LibreOffice.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "engine/Files.h"
#include "engine/TempFiles.h"
#include "merge/ChildProcess.h"

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

std::optional<std::filesystem::path> LibreOffice::find()
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/usr/local/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        for (const char* name : {"soffice", "libreoffice"}) {
            const std::filesystem::path p = std::filesystem::path(dir) / name;
            if (files::isExecutable(p))
                return p;
        }
    }
    return std::nullopt;
}

LibreOffice::LibreOffice() = default;

LibreOffice::~LibreOffice()
{
    if (!m_profile.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_profile, ec);
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
        const std::filesystem::path out = folder / f.filename().replace_extension("." + format);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(out, ec))
            throw std::runtime_error("LibreOffice did not convert \"" + f.string() + "\": " + tail(log));
    }
}

} // namespace cardmill
