#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "engine/RunRequest.h"
#include "settings/IniFile.h"

namespace cardmill {

// The filter pane as the "Filters" section stores it (22 keys).
struct FilterSettings {
    bool call = false;
    std::string callsign;
    bool date = false;
    std::string fromDate; // in the user's short date format
    std::string toDate;
    bool qslSent = false;
    bool sentY = false, sentN = false, sentR = false, sentI = false, sentBlank = false;
    bool qslRcvd = false;
    bool rcvdY = false, rcvdN = false, rcvdR = false, rcvdI = false, rcvdBlank = false;
    bool qslPrint = false;
    bool printL = false, printA = false, printN = false, printBlank = false;
};

// The configuration dialog's options ("Program" section).
struct ProgramOptions {
    bool keepTemporaryFile = false; // "Temporary file"
    bool polish = false;            // "Polish language"
    bool pdfLabels = false;         // "PDF labels"
    bool markSent = false;          // "Mark QSOs as sent"
    char sentVia = 0;               // "QSL sent via": 'B', 'D', 'E', or 0 (stored empty) for not set
    bool ownBundleLast = false;     // "Own country last": bureau order puts the own country's bundle last
};

// What the main window stores when it closes.
struct ClosingState {
    FilterSettings filters;
    int lastProfile = -1; // the position in the sorted profile list; -1 for none
    std::vector<std::string> userFields;
    ProgramOptions options;
};

// How the settings file was found at start.
enum class SettingsState {
    Missing, // no file: the profile setup dialog opens for a new profile
    Valid,
    Removed, // neither "Filters" keys nor any profile: the file was deleted
};

// The check at start. A file that holds a profile is always kept, even without "Filters" keys (which happens
// when the program ended before its first close): profiles are never lost.
SettingsState checkSettingsFile(const IniFile& ini);

// The 22 "Filters" keys, in order.
void writeFilters(IniFile::Lines& lines, const FilterSettings& filters);

// "Profile" / "Last profile"; -1 when missing or not a number.
int readLastProfile(const IniFile& ini);

// The user-defined field list: ADIF0, ADIF1, ... up to the first missing or empty number; names equal to a
// fixed column name are dropped.
std::vector<std::string> readUserFields(const IniFile& ini);
// Erases "ADIF_fields" and writes the list anew (no section for an empty list).
void writeUserFields(IniFile::Lines& lines, const std::vector<std::string>& fields);

// What the dialog for new main documents remembers ("Program" section).
struct StockChoice {
    std::string ownCall; // "Own call"
    std::string stock;   // "Label stock": the stock's name, or "Custom"
    std::string format;  // "Main document format": "docx" or "odt"
};
StockChoice readStockChoice(const IniFile& ini);
void writeStockChoice(IniFile::Lines& lines, const StockChoice& choice);

// How a printer is off on a label sheet, remembered per sheet ("Calibration <stock>" in "Program": "X,Y,SCALE",
// millimetres and per cent). A value that is missing, or is not three numbers in Calibration's ranges, reads as
// none; `unreadable` then gives the value that was not one, for the programs to say.
Calibration readCalibration(const IniFile& ini, std::string_view sheet, std::string* unreadable = nullptr);
// Does nothing for a sheet name that cannot be a key (empty, or holding "=" or a line break).
void writeCalibration(IniFile::Lines& lines, std::string_view sheet, const Calibration& calibration);

ProgramOptions readProgramOptions(const IniFile& ini);
void writeProgramOptions(IniFile::Lines& lines, const ProgramOptions& options);

// Everything the main window stores when it closes, in the file's order ("Filters", "Profile",
// "ADIF_fields", "Program"), as one change of the file. Throws SettingsWriteError.
void writeClosingState(const IniFile& ini, const ClosingState& state);

// Where the settings file is. Portable (beside the program) only where the user asked for it: a settings file
// is there already, or the marker file "cardmill.portable" (a copy on a USB stick); never because the program's
// folder happens to take new files. Otherwise $XDG_CONFIG_HOME/cardmill/cardmill.ini (~/.config/cardmill/),
// on Windows %APPDATA%\cardmill\cardmill.ini, whose folder the desktop program makes.
struct SettingsLocation {
    std::filesystem::path file;
    bool portable = false;
};
SettingsLocation settingsLocation();
// The same rule for a program in `programFolder` with these XDG_CONFIG_HOME (on Windows: APPDATA) and HOME
// values (null: unset).
SettingsLocation settingsLocation(const std::filesystem::path& programFolder, const char* xdgConfigHome,
                                  const char* home);
// The marker file that makes a copy of the program portable.
inline constexpr std::string_view kPortableMarker = "cardmill.portable";
// settingsLocation().file
std::filesystem::path defaultSettingsPath();

} // namespace cardmill
