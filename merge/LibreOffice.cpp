#include "merge/LibreOffice.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

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
            if (::access(p.c_str(), X_OK) == 0)
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
    if (m_profile.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "cardmill-libreoffice-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error(std::string("no folder for LibreOffice's profile (") + std::strerror(errno) + ")");
        m_profile = pattern;
    }
    const std::filesystem::path log = m_profile / "convert.log";

    std::vector<std::string> args{soffice->string(), "--headless", "--norestore", "--nologo", "--nolockcheck",
                                  "-env:UserInstallation=file://" + (m_profile / "user").string(),
                                  "--convert-to", format, "--outdir", folder.string()};
    for (const auto& f : files)
        args.push_back(f.string());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0); // its own process group, so that a kill reaches its helpers
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0)
        throw std::runtime_error(std::string("LibreOffice cannot be started (") + std::strerror(spawned) + ")");

    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR)
            throw std::runtime_error("LibreOffice was lost");
        const auto passed = std::chrono::steady_clock::now() - start;
        if (passed > timeLimit) {
            ::killpg(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            throw std::runtime_error("LibreOffice did not finish within " + std::to_string(timeLimit.count()) +
                                     " seconds and was stopped");
        }
        if (waiting)
            waiting(static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(passed).count()));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("LibreOffice failed: " + tail(log));
    for (const auto& f : files) {
        const std::filesystem::path out = folder / f.filename().replace_extension("." + format);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(out, ec))
            throw std::runtime_error("LibreOffice did not convert \"" + f.string() + "\": " + tail(log));
    }
}

} // namespace cardmill
