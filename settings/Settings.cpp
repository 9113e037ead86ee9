#include "settings/Settings.h"

#include "settings/IniFile.h"

namespace cardmill {

Settings::Settings(std::filesystem::path file)
    : m_file(std::move(file))
{
}

bool Settings::exists() const
{
    return IniFile(m_file).exists();
}

SettingsState Settings::state() const
{
    return checkSettingsFile(IniFile(m_file));
}

std::vector<std::string> Settings::profileNames() const
{
    const IniFile ini(m_file);
    return ini.exists() ? sortedProfileNames(ini) : std::vector<std::string>{};
}

std::optional<std::string> Settings::findProfile(std::string_view name) const
{
    const IniFile ini(m_file);
    return ini.exists() ? cardmill::findProfile(ini, name) : std::nullopt;
}

bool Settings::sectionExists(std::string_view name) const
{
    return IniFile(m_file).sectionExists(name);
}

StoredProfile Settings::profile(std::string_view name) const
{
    const IniFile ini(m_file);
    return ini.exists() ? readProfile(ini, name) : StoredProfile{};
}

std::optional<std::string> Settings::profileValue(std::string_view profile, std::string_view key) const
{
    return IniFile(m_file).read(profile, key);
}

void Settings::writeProfile(std::string_view name, const Profile& profile) const
{
    cardmill::writeProfile(IniFile(m_file), name, profile);
}

void Settings::eraseProfile(std::string_view name) const
{
    IniFile(m_file).eraseSection(name);
}

int Settings::lastProfile(int fallback) const
{
    const IniFile ini(m_file);
    return ini.exists() ? ini.readInt("Profile", "Last profile", fallback) : fallback;
}

std::vector<std::string> Settings::userFields() const
{
    return readUserFields(IniFile(m_file));
}

ProgramOptions Settings::programOptions() const
{
    return readProgramOptions(IniFile(m_file));
}

void Settings::storeClosingState(const ClosingState& state) const
{
    writeClosingState(IniFile(m_file), state);
}

std::string Settings::unreadableCalibration(std::string_view sheet) const
{
    std::string unreadable;
    readCalibration(IniFile(m_file), sheet, &unreadable);
    return unreadable;
}

void Settings::storeCalibration(std::string_view sheet, const Calibration& calibration) const
{
    IniFile(m_file).update([&](IniFile::Lines& lines) { writeCalibration(lines, sheet, calibration); });
}

StockChoice Settings::stockChoice() const
{
    return readStockChoice(IniFile(m_file));
}

void Settings::storeStockChoice(const StockChoice& choice) const
{
    IniFile(m_file).update([&](IniFile::Lines& lines) { writeStockChoice(lines, choice); });
}

} // namespace cardmill
