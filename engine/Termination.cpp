// Signal handling: the one place that installs handlers and ends the program from one, a POSIX half (signals)
// and a Windows half (console control events).
#include "engine/Termination.h"

#include <atomic>
#include <csignal>

#ifdef _WIN32
#include <cstdlib>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "engine/TempFiles.h"

namespace cardmill::termination {

namespace {

std::atomic<bool> g_received{false};
std::atomic<bool> g_stoppable{false};
std::atomic<void (*)() noexcept> g_cleanup{nullptr};

// The first stop request while a run can stop is only noted; any other ends the program at once, with its
// scratch files removed.
bool noteStop()
{
    return g_stoppable.load() && !g_received.exchange(true);
}

[[noreturn]] void endNow(int code)
{
    WorkFolder::removeCurrentNow();
    if (auto cleanup = g_cleanup.load())
        cleanup();
    std::_Exit(code);
}

#ifdef _WIN32

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if ((event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) && noteStop())
        return TRUE;
    endNow(128 + (event == CTRL_C_EVENT ? SIGINT : SIGTERM));
}

} // namespace

void install()
{
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

#else // POSIX

extern "C" void onSignal(int signal)
{
    if (noteStop())
        return;
    endNow(128 + signal);
}

} // namespace

void install()
{
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(s, &action, nullptr);
}

#endif

void setStoppable(bool stoppable)
{
    g_stoppable = stoppable;
}

bool received()
{
    return g_received.load();
}

void clear()
{
    g_received = false;
}

void setEmergencyCleanup(void (*cleanup)() noexcept)
{
    g_cleanup = cleanup;
}

} // namespace cardmill::termination
