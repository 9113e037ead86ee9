#pragma once

#include <ctime>

namespace cardmill {

// A moment as calendar time, local or UTC: the one place that asks the platform for it (each has its own
// thread-safe call).
std::tm localTime(std::time_t t);
std::tm utcTime(std::time_t t);

} // namespace cardmill
