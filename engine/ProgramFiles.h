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

// A base folder of the user's, as the XDG rules name it: `value` (the variable's, such as $XDG_CONFIG_HOME) when
// it is an absolute path, else `fallback` (such as ".config") in `home`; empty when neither is set.
std::filesystem::path userBaseFolder(const char* value, const char* home, std::string_view fallback);
// The same, from the environment: `variable` and $HOME.
std::filesystem::path userBaseFolder(const char* variable, std::string_view fallback);

// Whether the user may create files in `folder`.
bool folderWritable(const std::filesystem::path& folder);

} // namespace cardmill
