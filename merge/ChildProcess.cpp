// Child processes: the one place that knows how the platform starts, waits for and kills them.
#include "merge/ChildProcess.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace cardmill {

namespace {

std::atomic<pid_t> g_running{0}; // the process group of the child under way

} // namespace

int runChild(const std::vector<std::string>& arguments, const std::filesystem::path& log,
             std::chrono::seconds timeLimit, const std::function<void(int seconds)>& waiting)
{
    std::vector<std::string> args = arguments;
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
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
        throw std::runtime_error(args[0] + " cannot be started (" + std::strerror(spawned) + ")");
    g_running = pid;

    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    auto kill = [&] {
        ::killpg(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        g_running = 0;
    };
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR) {
            g_running = 0;
            throw std::runtime_error(args[0] + " was lost");
        }
        const auto passed = std::chrono::steady_clock::now() - start;
        if (passed > timeLimit) {
            kill();
            throw std::runtime_error("it did not finish within " + std::to_string(timeLimit.count()) +
                                     " seconds and was stopped");
        }
        if (waiting) {
            try {
                waiting(static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(passed).count()));
            } catch (...) {
                kill();
                throw;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    g_running = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void killRunningChildNow() noexcept
{
    if (const pid_t pid = g_running.exchange(0); pid > 0)
        ::killpg(pid, SIGKILL);
}

} // namespace cardmill
