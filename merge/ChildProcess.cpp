// Child processes: the one place that knows how the platform starts, waits for and kills them, a POSIX half
// and a Windows half.
#include "merge/ChildProcess.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include "engine/Files.h"
#else
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace cardmill {

namespace {

// Watches a child until `ended()` says it has ended (looking for about a tenth of a second each time). Past
// `timeLimit`, or when `waiting` throws, `kill()` ends it and the call throws.
void watch(std::chrono::seconds timeLimit, const std::function<void(int seconds)>& waiting,
           const std::function<bool()>& ended, const std::function<void()>& kill)
{
    const auto start = std::chrono::steady_clock::now();
    while (!ended()) {
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
    }
}

} // namespace

#ifdef _WIN32

namespace {

std::atomic<HANDLE> g_running{nullptr}; // the job of the child under way

// One argument as the C runtime of the child reads it back: in quotes, with backslashes doubled before a quote.
std::wstring quoted(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
        } else if (c == L'"') {
            out.append(backslashes * 2 + 1, L'\\');
            backslashes = 0;
        } else {
            backslashes = 0;
        }
        out += c;
    }
    out.append(backslashes, L'\\');
    return out + L"\"";
}

} // namespace

int runChild(const std::vector<std::string>& arguments, const std::filesystem::path& log,
             std::chrono::seconds timeLimit, const std::function<void(int seconds)>& waiting)
{
    std::wstring commandLine;
    for (const std::string& a : arguments)
        commandLine += (commandLine.empty() ? L"" : L" ") + quoted(files::pathFromUtf8(a).native());
    const std::wstring program = files::pathFromUtf8(arguments.at(0)).native();

    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE out = ::CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE in =
        ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    // A job object: a stopped child goes with every process it started.
    const HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job)
        ::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION child{};
    const bool started = out != INVALID_HANDLE_VALUE && in != INVALID_HANDLE_VALUE && job &&
                         ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                          CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &child);
    const std::string error = started ? std::string() : files::systemError();
    if (out != INVALID_HANDLE_VALUE)
        ::CloseHandle(out);
    if (in != INVALID_HANDLE_VALUE)
        ::CloseHandle(in);
    if (!started) {
        if (job)
            ::CloseHandle(job);
        throw std::runtime_error(arguments[0] + " cannot be started (" + error + ")");
    }
    ::AssignProcessToJobObject(job, child.hProcess);
    ::ResumeThread(child.hThread);
    ::CloseHandle(child.hThread);
    g_running = job;

    auto finish = [&](bool kill) {
        if (kill) {
            ::TerminateJobObject(job, 1);
            ::WaitForSingleObject(child.hProcess, 5000);
            ::CloseHandle(child.hProcess);
        }
        g_running = nullptr;
        ::CloseHandle(job); // kills whatever of the job is left
    };
    watch(
        timeLimit, waiting, [&] { return ::WaitForSingleObject(child.hProcess, 100) != WAIT_TIMEOUT; },
        [&] { finish(true); });
    DWORD status = 0;
    const bool known = ::GetExitCodeProcess(child.hProcess, &status) != 0;
    ::CloseHandle(child.hProcess);
    finish(false);
    return known ? static_cast<int>(status) : -1;
}

void killRunningChildNow() noexcept
{
    if (const HANDLE job = g_running.exchange(nullptr))
        ::TerminateJobObject(job, 1);
}

#else // POSIX

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

    int status = 0;
    auto ended = [&] {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return true;
        if (done < 0 && errno != EINTR) {
            g_running = 0;
            throw std::runtime_error(args[0] + " was lost");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return false;
    };
    auto kill = [&] {
        ::killpg(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        g_running = 0;
    };
    watch(timeLimit, waiting, ended, kill);
    g_running = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void killRunningChildNow() noexcept
{
    if (const pid_t pid = g_running.exchange(0); pid > 0)
        ::killpg(pid, SIGKILL);
}

#endif

} // namespace cardmill
