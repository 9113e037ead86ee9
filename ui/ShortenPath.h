#pragma once

#include <string>

namespace cardmill {

// The path to show in a box too narrow for it: while it is longer than `bound` characters and holds more than
// two separators, two folder levels in the middle give way to "..." and a separator; a "..." put in by an
// earlier pass counts as a folder. A path with at most two separators is returned unchanged. `separator` is
// the platform's ("/" on Linux; "\" on Windows).
std::string ShortenPath(const std::string& path, std::size_t bound, char separator = '/');

} // namespace cardmill
