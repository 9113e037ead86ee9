// Signal handling: the one place that installs handlers and ends the program from one.
#include "engine/Termination.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

#include "engine/TempFiles.h"

namespace cardmill::termination {

namespace {

std::atomic<bool> g_received{false};
std::atomic<bool> g_stoppable{false};
std::atomic<void (*)() noexcept> g_cleanup{nullptr};

extern "C" void onSignal(int signal)
{
    if (g_stoppable.load() && !g_received.exchange(true))
        return;
    WorkFolder::removeCurrentNow();
    if (auto cleanup = g_cleanup.load())
        cleanup();
    ::_exit(128 + signal);
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
