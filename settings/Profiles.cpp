#include "settings/Profiles.h"

#include <algorithm>
#include <limits>

#include "engine/Text.h"

namespace cardmill {

namespace {

// A whole number that an int holds; none for anything else (a number of 30 digits too).
std::optional<int> toInt(const std::optional<std::string>& s)
{
    long long n = 0;
    if (!s || !text::parseInteger(*s, n) || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(n);
}

} // namespace

DateFormat dateFormatOf(std::string_view text)
{
    int index = 1;
    if (text.substr(0, 4) == "2006")
        index = 0;
    else if (text.substr(0, 2) == "09")
        index = 2;
    else if (text.size() >= 4 && text.substr(3, 3) == "Sep")
        index = 3;
    else if (text.substr(0, 3) == "Sep")
        index = 4;
    return *DateFormat::of(index);
}

std::optional<int> qrgFormatIndexExact(std::string_view text)
{
    for (std::size_t i = 0; i < kQrgFormatTexts.size(); ++i)
        if (kQrgFormatTexts[i] == text)
            return static_cast<int>(i);
    return std::nullopt;
}

std::optional<int> qrgFormatIndexNoCase(std::string_view text)
{
    for (std::size_t i = 0; i < kQrgFormatTexts.size(); ++i)
        if (text::equalNoCase(kQrgFormatTexts[i], text))
            return static_cast<int>(i);
    return std::nullopt;
}

bool isReservedSection(std::string_view name)
{
    return std::any_of(kReservedSections.begin(), kReservedSections.end(),
                       [name](std::string_view r) { return text::equalNoCase(r, name); });
}

std::vector<std::string> profileNames(const IniFile& ini)
{
    std::vector<std::string> names = ini.sections();
    std::erase_if(names, [](const std::string& n) { return isReservedSection(n); });
    return names;
}

std::vector<std::string> sortedProfileNames(const IniFile& ini)
{
    std::vector<std::string> names = profileNames(ini);
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(text::upper(x)) < static_cast<unsigned char>(text::upper(y));
        });
    });
    return names;
}

std::optional<std::string> findProfile(const IniFile& ini, std::string_view name)
{
    for (const std::string& n : profileNames(ini))
        if (text::equalNoCase(n, name))
            return n;
    return std::nullopt;
}

StoredProfile readProfile(const IniFile& ini, std::string_view name)
{
    StoredProfile p;
    const IniFile::Lines lines = ini.snapshot(); // one reading of the file for all keys
    p.sourceFile = lines.read(name, kProfileKeys[0]);
    p.swlFile = lines.read(name, kProfileKeys[1]);
    p.mainDocument = lines.read(name, kProfileKeys[2]);
    p.qrgFormat = lines.read(name, kProfileKeys[3]);
    p.qsosOnLabel = toInt(lines.read(name, kProfileKeys[4]));
    p.dateFormat = lines.read(name, kProfileKeys[5]);
    p.dateSeparator = lines.read(name, kProfileKeys[6]);
    p.labelOrder = lines.read(name, kProfileKeys[7]);
    p.labelSheet = lines.read(name, kProfileKeys[8]);
    return p;
}

void writeProfile(const IniFile& ini, std::string_view name, const Profile& profile)
{
    ini.update([&](IniFile::Lines& lines) {
        lines.write(name, kProfileKeys[0], profile.sourceFile);
        lines.write(name, kProfileKeys[1], profile.swlFile);
        lines.write(name, kProfileKeys[2], profile.mainDocument);
        lines.write(name, kProfileKeys[3], profile.qrgFormat);
        lines.write(name, kProfileKeys[4], std::to_string(profile.qsosOnLabel));
        lines.write(name, kProfileKeys[5], profile.dateFormat);
        lines.write(name, kProfileKeys[6], profile.dateSeparator);
        lines.write(name, kProfileKeys[7], profile.labelOrder);
        // Profiles of main documents stay as they were: the key is written once a sheet was chosen.
        if (!profile.labelSheet.empty() || lines.read(name, kProfileKeys[8]))
            lines.write(name, kProfileKeys[8], profile.labelSheet);
    });
}

} // namespace cardmill
