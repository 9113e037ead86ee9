#pragma once

#include <filesystem>
#include <string_view>

namespace cardmill {

// Where the running program and the files it ships are. The only place that asks the system for the program's
// own path.

// The folder of the running program, found once.
const std::filesystem::path& programFolder();

// The folder of the files the program ships (the user guide, the examples): "share/cardmill" beside the
// "bin" folder of an installed program, wherever it was installed or unpacked; the program's own folder in a
// build tree.
std::filesystem::path dataFolder();

// Whether the user may create files in `folder`.
bool folderWritable(const std::filesystem::path& folder);

} // namespace cardmill
