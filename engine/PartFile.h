#pragma once

#include <filesystem>

namespace cardmill {

// The name under which a file is written before it replaces `target`: in the same folder, so that the final
// rename is atomic, and marked with this process's id ("<name>.part-<pid>-<n>").
std::filesystem::path partPathFor(const std::filesystem::path& target);

} // namespace cardmill
