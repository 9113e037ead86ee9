#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

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

// The user's folders as the system names them: for settings ($XDG_CONFIG_HOME or ~/.config; %APPDATA% on
// Windows), for data ($XDG_DATA_HOME or ~/.local/share; %LOCALAPPDATA%), and where GLib programs such as
// gLabels keep a user's configuration (the first on POSIX systems, %LOCALAPPDATA% on Windows). Empty when
// the environment names none.
std::filesystem::path userConfigFolder();
std::filesystem::path userDataFolder();
std::filesystem::path glibConfigFolder();
// The folders that hold data installed for every user ($XDG_DATA_DIRS, or /usr/local/share and /usr/share;
// on Windows "share" beside the program's folder), such as "libglabels-3.0/templates" and
// "hamradio-files/cty.dat".
std::vector<std::filesystem::path> systemDataFolders();

// The program's arguments in UTF-8 (on Windows read again from the wide command line, for argv holds them in
// the ANSI code page), and a console that shows UTF-8 (Windows; elsewhere terminals do).
std::vector<std::string> programArguments(int argc, char** argv);
void useUtf8Console();

} // namespace cardmill
