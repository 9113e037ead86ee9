#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/BureauOrder.h"
#include "engine/DateFormatter.h"
#include "engine/QrgFormatter.h"
#include "engine/Routes.h"
#include "settings/IniFile.h"

namespace cardmill {

// The settings file's name; it lies beside the executable.
inline constexpr std::string_view kSettingsFileName = "cardmill.ini";

// The keys of a profile section, by name.
namespace profileKey {
inline constexpr std::string_view sourceFile = "Source file";
inline constexpr std::string_view swlFile = "Source SWL file";
inline constexpr std::string_view mainDocument = "Main doc";
inline constexpr std::string_view qrgFormat = "QRG format";
inline constexpr std::string_view qsosOnLabel = "QSOs on label";
inline constexpr std::string_view dateFormat = "Date format";
inline constexpr std::string_view dateSeparator = "Date separator";
inline constexpr std::string_view labelOrder = "Label order";
inline constexpr std::string_view labelSheet = "Label sheet";
inline constexpr std::string_view design = "Design";
inline constexpr std::string_view defaultRoute = "Default route";
inline constexpr std::string_view noAddress = "Direct without address";
inline constexpr std::string_view addressSheet = "Address sheet";
} // namespace profileKey

// The stored texts of the label orders ("Label order"); a profile without the key, or with another text, has
// the labels in call order.
inline constexpr std::string_view kCallOrderText = "call";
inline constexpr std::string_view kBureauOrderText = "bureau";
inline constexpr std::string_view kRoutesOrderText = "routes";
std::string_view labelOrderText(LabelOrder order);
LabelOrder labelOrderOf(std::string_view text);

// The stored texts of the routes a profile chooses: "Default route" ("bureau", "direct" or "electronic"; another
// text is the bureau) and "Direct without address" ("bureau" or "held"; another text is the bureau).
std::string_view routeChoiceText(Route route);
Route defaultRouteOf(std::string_view text);
Route noAddressRouteOf(std::string_view text);

// The stored QRG format texts, by QRG format index 0 to 7 (always English in the file).
inline constexpr const auto& kQrgFormatTexts = kQrgFormatNames;

// The stored date format texts, by date format index 0 to 4; they always use "-".
inline constexpr const auto& kDateFormatTexts = DateFormat::kSamples;

// The sections that are never profiles.
inline constexpr std::array<std::string_view, 4> kReservedSections{"Filters", "Profile", "ADIF_fields", "Program"};

// A profile: the user's choices for one kind of conversion.
struct Profile {
    std::string sourceFile;
    std::string swlFile;
    std::string mainDocument;
    std::string qrgFormat = std::string(kQrgFormatTexts[1]);
    int qsosOnLabel = 1;
    std::string dateFormat = std::string(kDateFormatTexts[0]);
    std::string dateSeparator = "-";
    std::string labelOrder = std::string(kCallOrderText);
    // The label sheet the labels are drawn on instead of merged into the main document: a stock's name, or a
    // custom grid (see parseCustomGrid; it holds commas, a stock's name does not). Empty: the main document.
    std::string labelSheet;
    // What the labels on the sheet look like: a built-in design's name or a design file; empty: "label".
    std::string design;
    // Each QSO on its route: the route no rule decides, where a direct card without an address goes, and the
    // address labels' sheet (empty: the label sheet).
    std::string defaultRoute = "bureau";
    std::string noAddress = "bureau";
    std::string addressSheet;
    friend bool operator==(const Profile&, const Profile&) = default;
};

// A profile as the file holds it: a key that is missing is nullopt, so that each reader keeps its own default.
struct StoredProfile {
    std::optional<std::string> sourceFile;
    std::optional<std::string> swlFile;
    std::optional<std::string> mainDocument;
    std::optional<std::string> qrgFormat;
    std::optional<int> qsosOnLabel;
    std::optional<std::string> dateFormat;
    std::optional<std::string> dateSeparator;
    std::optional<std::string> labelOrder;
    std::optional<std::string> labelSheet;
    std::optional<std::string> design;
    std::optional<std::string> defaultRoute;
    std::optional<std::string> noAddress;
    std::optional<std::string> addressSheet;
};

// The date format of a stored "Date format" text; the first test that holds decides (case-sensitive):
// "2006..." -> 0, "09..." -> 2, "...Sep" at characters 4 to 6 -> 3, "Sep..." -> 4, anything else -> 1.
DateFormat dateFormatOf(std::string_view text);

// The QRG format a stored "QRG format" text names, whole and without regard to case; none when it names none.
std::optional<QrgFormat> qrgFormatOf(std::string_view text);

// True for "Filters", "Profile", "ADIF_fields" and "Program" in any letter case.
bool isReservedSection(std::string_view name);

// The profile names in file order (the reserved sections left out).
std::vector<std::string> profileNames(const IniFile& ini);
// The same names as the main window lists them: sorted without regard to case.
std::vector<std::string> sortedProfileNames(const IniFile& ini);
// The profile section of that name in any letter case, as the file spells it; nullopt when there is none.
std::optional<std::string> findProfile(const IniFile& ini, std::string_view name);

StoredProfile readProfile(const IniFile& ini, std::string_view name);
// The same from lines already read, for reading several profiles from one reading of the file.
StoredProfile readProfile(const IniFile::Lines& lines, std::string_view name);
// Writes all keys, in order, as one change of the file.
void writeProfile(const IniFile& ini, std::string_view name, const Profile& profile);

} // namespace cardmill
