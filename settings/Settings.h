#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Profiles.h"
#include "settings/SettingsStore.h"

namespace cardmill {

// The settings file as the windows use it: every call reads or writes the file afresh (the file may change
// between calls), and the windows reach it through nothing else. Reads of a file that is not there give the
// defaults; reads throw SettingsReadError for a file that cannot be a settings file, writes SettingsWriteError.
class Settings {
public:
    explicit Settings(std::filesystem::path file);

    const std::filesystem::path& file() const { return m_file; }
    bool exists() const;
    SettingsState state() const;

    // The profiles as the main window lists them: sorted without regard to case.
    std::vector<std::string> profileNames() const;
    // The profile of that name in any letter case, as the file spells it; none when there is none.
    std::optional<std::string> findProfile(std::string_view name) const;
    bool sectionExists(std::string_view name) const;
    StoredProfile profile(std::string_view name) const;
    // A profile key as written (the setup dialog shows a label size that is no number as it is).
    std::optional<std::string> profileValue(std::string_view profile, std::string_view key) const;
    void writeProfile(std::string_view name, const Profile& profile) const;
    void eraseProfile(std::string_view name) const;

    // The position of the last profile in the sorted list ("Last profile"); `fallback` when the file has none.
    int lastProfile(int fallback) const;
    std::vector<std::string> userFields() const;
    ProgramOptions programOptions() const;
    void storeClosingState(const ClosingState& state) const;

    // Remembers the printer calibration of a label sheet (a stock's name or a custom grid).
    void storeCalibration(std::string_view sheet, const Calibration& calibration) const;
    // The value remembered for the sheet when it is there but is not a calibration; empty otherwise.
    std::string unreadableCalibration(std::string_view sheet) const;

    StockChoice stockChoice() const;
    void storeStockChoice(const StockChoice& choice) const;

private:
    std::filesystem::path m_file;
};

} // namespace cardmill
