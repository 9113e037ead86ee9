#pragma once

#include "engine/RunRequest.h"
#include "settings/IniFile.h"
#include "settings/Profiles.h"
#include "settings/SettingsStore.h"

namespace cardmill {

// A profile's values in a request: the log, the SWL file, the main document, the QRG and date formats, the date
// separator and the label size. A key the profile lacks leaves the request's value (a profile without an SWL
// file has none), and so does a QRG format text that names no format; a label size out of range becomes the
// nearest (0 -> 1, 12 -> 10).
// Both programs load profiles through this one function.
void applyProfile(const StoredProfile& profile, RunRequest& request);

// The profile of a request's choices, as the settings file stores it: the inverse of applyProfile.
Profile profileOf(const RunRequest& request);

// The program options in a request: the table document and PDF options, the marking as sent, where the own
// country's bundle goes, and month names in Polish with the Polish language. Both programs take them so.
void applyProgramOptions(const ProgramOptions& options, RunRequest& request);

// The settings file's program-wide choices in a request: the user-defined fields, the marking as sent, the
// table document and PDF options, the own call and where the own country's bundle goes, the country file, and
// the calibration of a label sheet the request has chosen.
// Throws SettingsReadError.
void applyProgramSettings(const IniFile& ini, RunRequest& request);

// The printer calibration remembered for the sheet's stock (none: no offset, full scale). Returns the stored
// value when it is there but is not a calibration (the sheet then has none), for the program to say; empty
// otherwise. Throws SettingsReadError.
std::string applyCalibration(const IniFile& ini, LabelSheet& sheet);

// The country file for a program with this settings file: one the user put beside the settings file, else the
// hamradio-files package's; when there is none, where the user may put one (a file that is not there).
std::filesystem::path countryFileFor(const std::filesystem::path& settingsFile);
// The journal of printed labels that goes with a settings file: "cardmill-journal.txt" beside it.
std::filesystem::path journalFor(const std::filesystem::path& settingsFile);

} // namespace cardmill
