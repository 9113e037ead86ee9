#pragma once

#include <filesystem>

namespace cardmill {

// The folder of the running program (where "cardmill.ini" and "temporary.wrk" live), found once.
const std::filesystem::path& executableDir();

} // namespace cardmill
