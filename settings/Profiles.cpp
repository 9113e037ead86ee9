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

std::optional<QrgFormat> qrgFormatOf(std::string_view text)
{
    for (std::size_t i = 0; i < kQrgFormatTexts.size(); ++i)
        if (text::equalNoCase(kQrgFormatTexts[i], text))
            return qrgFormatAt(static_cast<int>(i));
    return std::nullopt;
}

std::string_view labelOrderText(LabelOrder order)
{
    return order == LabelOrder::Bureau   ? kBureauOrderText
           : order == LabelOrder::Routes ? kRoutesOrderText
                                         : kCallOrderText;
}

LabelOrder labelOrderOf(std::string_view text)
{
    if (text::equalNoCase(text, kRoutesOrderText))
        return LabelOrder::Routes;
    return text::equalNoCase(text, kBureauOrderText) ? LabelOrder::Bureau : LabelOrder::Call;
}

std::string_view routeChoiceText(Route route)
{
    switch (route) {
    case Route::Direct: return "direct";
    case Route::Electronic: return "electronic";
    case Route::Held: return "held";
    case Route::Bureau: break;
    }
    return "bureau";
}

Route defaultRouteOf(std::string_view text)
{
    text = text::trim(text);
    for (const Route r : {Route::Direct, Route::Electronic})
        if (text::equalNoCase(text, routeChoiceText(r)))
            return r;
    return Route::Bureau;
}

Route noAddressRouteOf(std::string_view text)
{
    return text::equalNoCase(text::trim(text), routeChoiceText(Route::Held)) ? Route::Held : Route::Bureau;
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
    return readProfile(ini.snapshot(), name); // one reading of the file for all keys
}

StoredProfile readProfile(const IniFile::Lines& lines, std::string_view name)
{
    StoredProfile p;
    p.sourceFile = lines.read(name, profileKey::sourceFile);
    p.swlFile = lines.read(name, profileKey::swlFile);
    p.mainDocument = lines.read(name, profileKey::mainDocument);
    p.qrgFormat = lines.read(name, profileKey::qrgFormat);
    p.qsosOnLabel = toInt(lines.read(name, profileKey::qsosOnLabel));
    p.dateFormat = lines.read(name, profileKey::dateFormat);
    p.dateSeparator = lines.read(name, profileKey::dateSeparator);
    p.labelOrder = lines.read(name, profileKey::labelOrder);
    p.labelSheet = lines.read(name, profileKey::labelSheet);
    p.design = lines.read(name, profileKey::design);
    p.defaultRoute = lines.read(name, profileKey::defaultRoute);
    p.noAddress = lines.read(name, profileKey::noAddress);
    p.addressSheet = lines.read(name, profileKey::addressSheet);
    return p;
}

void writeProfile(const IniFile& ini, std::string_view name, const Profile& profile)
{
    ini.update([&](IniFile::Lines& lines) {
        lines.write(name, profileKey::sourceFile, profile.sourceFile);
        lines.write(name, profileKey::swlFile, profile.swlFile);
        lines.write(name, profileKey::mainDocument, profile.mainDocument);
        lines.write(name, profileKey::qrgFormat, profile.qrgFormat);
        lines.write(name, profileKey::qsosOnLabel, std::to_string(profile.qsosOnLabel));
        lines.write(name, profileKey::dateFormat, profile.dateFormat);
        lines.write(name, profileKey::dateSeparator, profile.dateSeparator);
        lines.write(name, profileKey::labelOrder, profile.labelOrder);
        // Profiles of main documents stay as they were: the key is written once a sheet was chosen.
        if (!profile.labelSheet.empty() || lines.read(name, profileKey::labelSheet))
            lines.write(name, profileKey::labelSheet, profile.labelSheet);
        if (!profile.design.empty() || lines.read(name, profileKey::design))
            lines.write(name, profileKey::design, profile.design);
        // The routes' keys likewise, once they differ from the defaults.
        const Profile defaults;
        const auto writeChosen = [&](std::string_view key, const std::string& value, const std::string& standard) {
            if (value != standard || lines.read(name, key))
                lines.write(name, key, value);
        };
        writeChosen(profileKey::defaultRoute, profile.defaultRoute, defaults.defaultRoute);
        writeChosen(profileKey::noAddress, profile.noAddress, defaults.noAddress);
        writeChosen(profileKey::addressSheet, profile.addressSheet, defaults.addressSheet);
    });
}

} // namespace cardmill
