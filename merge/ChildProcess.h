#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace cardmill {

// Runs a program as a child process in a process group of its own, its input from /dev/null and its output
// and errors into `log`, and waits for it: `waiting` runs about ten times a second with the seconds passed. A
// child that outlives `timeLimit` is killed with its whole group. Returns the exit status (-1 when it did not
// exit normally). Throws std::runtime_error when it cannot be started or ran too long.
int runChild(const std::vector<std::string>& arguments, const std::filesystem::path& log,
             std::chrono::seconds timeLimit, const std::function<void(int seconds)>& waiting);

// Kills the child under way (and its group) at once, with async-signal-safe calls only: for a signal handler
// that ends the program.
void killRunningChildNow() noexcept;

} // namespace cardmill
