#pragma once

#include "engine/RunRequest.h"
#include "settings/IniFile.h"
#include "settings/Profiles.h"

namespace cardmill {

// A profile's values in a request: the log, the SWL file, the main document, the QRG and date formats, the date
// separator and the label size. A key the profile lacks leaves the request's value (a profile without an SWL
// file has none), and so does a QRG format text that names no format; a label size out of range becomes the
// nearest (0 -> 1, 12 -> 10).
// Both programs load profiles through this one function.
void applyProfile(const StoredProfile& profile, RunRequest& request);

// The settings file's program-wide choices in a request: the user-defined fields, the marking as sent, the
// table document and PDF options. Throws SettingsReadError.
void applyProgramSettings(const IniFile& ini, RunRequest& request);

} // namespace cardmill
