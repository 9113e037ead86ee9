#pragma once

namespace cardmill::termination {

// The signals that end a program (SIGINT, SIGTERM, SIGHUP). The first one is a stop request: the handler only
// sets a flag, and the run under way ends at its next stop point and cleans up after itself. A second one, or
// the first while nothing can stop (see setStoppable), ends the program at once: the handler removes the run's
// work folder, calls the emergency clean-up (which kills a child process) and exits with 128 + the signal.
void install();

// Whether a signal now is a stop request (true) or ends the program at once (false). The desktop program
// leaves it true: its window ends itself when it sees the request.
void setStoppable(bool stoppable);
// A signal came and asks to stop.
bool received();
// The stop request was seen.
void clear();

// Called by the handler before it ends the program: only async-signal-safe calls.
void setEmergencyCleanup(void (*cleanup)() noexcept);

} // namespace cardmill::termination
