#include "settings/SettingsStore.h"

#include <cmath>
#include <cstdlib>

#include "engine/Files.h"
#include "engine/LineComposer.h"
#include "engine/ProgramFiles.h"
#include "engine/Text.h"
#include "settings/Profiles.h"

namespace cardmill {

namespace {

const char* flag(bool b)
{
    return b ? "1" : "0";
}

} // namespace

SettingsState checkSettingsFile(const IniFile& ini)
{
    if (!ini.exists())
        return SettingsState::Missing;
    const IniFile::Lines lines = ini.snapshot();
    if (!lines.keys("Filters").empty())
        return SettingsState::Valid;
    for (const std::string& section : lines.sections())
        if (!isReservedSection(section))
            return SettingsState::Valid;
    ini.remove();
    return SettingsState::Removed;
}

void writeFilters(IniFile::Lines& lines, const FilterSettings& f)
{
    const std::string s = "Filters";
    lines.write(s, "Call", flag(f.call));
    lines.write(s, "Callsign", f.callsign);
    lines.write(s, "Date", flag(f.date));
    lines.write(s, "From-date", f.fromDate);
    lines.write(s, "To-date", f.toDate);
    lines.write(s, "QSL_SENT", flag(f.qslSent));
    lines.write(s, "QSL_SENT_Y", flag(f.sentY));
    lines.write(s, "QSL_SENT_N", flag(f.sentN));
    lines.write(s, "QSL_SENT_R", flag(f.sentR));
    lines.write(s, "QSL_SENT_I", flag(f.sentI));
    lines.write(s, "QSL_SENT_Blank", flag(f.sentBlank));
    lines.write(s, "QSL_RCVD", flag(f.qslRcvd));
    lines.write(s, "QSL_RCVD_Y", flag(f.rcvdY));
    lines.write(s, "QSL_RCVD_N", flag(f.rcvdN));
    lines.write(s, "QSL_RCVD_R", flag(f.rcvdR));
    lines.write(s, "QSL_RCVD_I", flag(f.rcvdI));
    lines.write(s, "QSL_RCVD_Blank", flag(f.rcvdBlank));
    lines.write(s, "QSL_PRINT", flag(f.qslPrint));
    lines.write(s, "QSL_PRINT_L", flag(f.printL));
    lines.write(s, "QSL_PRINT_A", flag(f.printA));
    lines.write(s, "QSL_PRINT_N", flag(f.printN));
    lines.write(s, "QSL_PRINT_Blank", flag(f.printBlank));
}

int readLastProfile(const IniFile& ini)
{
    return ini.readInt("Profile", "Last profile", -1);
}

std::vector<std::string> readUserFields(const IniFile& ini)
{
    const IniFile::Lines lines = ini.snapshot();
    std::vector<std::string> fields;
    for (int i = 0;; ++i) {
        const auto name = lines.read("ADIF_fields", "ADIF" + std::to_string(i));
        if (!name || name->empty())
            break;
        if (!isFixedColumn(*name))
            fields.push_back(*name);
    }
    return fields;
}

void writeUserFields(IniFile::Lines& lines, const std::vector<std::string>& fields)
{
    lines.eraseSection("ADIF_fields");
    for (std::size_t i = 0; i < fields.size(); ++i)
        lines.write("ADIF_fields", "ADIF" + std::to_string(i), fields[i]);
}

StockChoice readStockChoice(const IniFile& ini)
{
    StockChoice c;
    c.ownCall = text::upper(std::string(text::trim(ini.readString("Program", "Own call", ""))));
    c.stock = std::string(text::trim(ini.readString("Program", "Label stock", "")));
    c.format = text::upper(ini.readString("Program", "Main document format", "docx")) == "ODT" ? "odt" : "docx";
    return c;
}

void writeStockChoice(IniFile::Lines& lines, const StockChoice& choice)
{
    lines.write("Program", "Own call", choice.ownCall);
    lines.write("Program", "Label stock", choice.stock);
    lines.write("Program", "Main document format", choice.format);
}

namespace {

bool keyable(std::string_view sheet)
{
    return !text::trim(sheet).empty() && sheet.find_first_of("=\r\n[]") == std::string_view::npos;
}

} // namespace

Calibration readCalibration(const IniFile& ini, std::string_view sheet, std::string* unreadable)
{
    if (!keyable(sheet))
        return {};
    const std::string value = ini.readString("Program", "Calibration " + std::string(text::trim(sheet)), "");
    if (text::trim(value).empty())
        return {};
    double v[3] = {0, 0, 100};
    std::size_t at = 0;
    bool numbers = true;
    for (int i = 0; i < 3 && numbers; ++i) {
        const std::size_t comma = i < 2 ? value.find(',', at) : value.size();
        numbers = comma != std::string::npos && text::wholeNumber(text::trim(value.substr(at, comma - at)), v[i]);
        at = comma + 1;
    }
    const std::optional<Calibration> c = numbers ? Calibration::of(v[0], v[1], v[2]) : std::nullopt;
    if (!c && unreadable)
        *unreadable = value;
    return c.value_or(Calibration{});
}

void writeCalibration(IniFile::Lines& lines, std::string_view sheet, const Calibration& c)
{
    if (!keyable(sheet))
        return;
    lines.write("Program", "Calibration " + std::string(text::trim(sheet)),
                text::fixed(c.offsetX, 2) + "," + text::fixed(c.offsetY, 2) + "," + text::fixed(c.scale * 100, 2));
}

ProgramOptions readProgramOptions(const IniFile& ini)
{
    ProgramOptions o;
    o.keepTemporaryFile = ini.readBool("Program", "Temporary file", false);
    o.polish = ini.readBool("Program", "Polish language", false);
    o.pdfLabels = ini.readBool("Program", "PDF labels", false);
    o.markSent = ini.readBool("Program", "Mark QSOs as sent", false);
    const std::string via = text::upper(ini.readString("Program", "QSL sent via", ""));
    o.sentVia = via == "B" || via == "D" || via == "E" ? via[0] : 0;
    o.ownBundleLast = ini.readBool("Program", "Own country last", false);
    return o;
}

void writeProgramOptions(IniFile::Lines& lines, const ProgramOptions& options)
{
    lines.write("Program", "Temporary file", flag(options.keepTemporaryFile));
    lines.write("Program", "Polish language", flag(options.polish));
    lines.write("Program", "PDF labels", flag(options.pdfLabels));
    lines.write("Program", "Mark QSOs as sent", flag(options.markSent));
    lines.write("Program", "QSL sent via", options.sentVia ? std::string(1, options.sentVia) : std::string());
    lines.write("Program", "Own country last", flag(options.ownBundleLast));
}

void writeClosingState(const IniFile& ini, const ClosingState& state)
{
    ini.update([&](IniFile::Lines& lines) {
        writeFilters(lines, state.filters);
        lines.write("Profile", "Last profile", std::to_string(state.lastProfile));
        writeUserFields(lines, state.userFields);
        writeProgramOptions(lines, state.options);
    });
}

SettingsLocation settingsLocation(const std::filesystem::path& programFolder, const char* xdgConfigHome,
                                  const char* home)
{
    const std::filesystem::path beside = programFolder / files::pathFromUtf8(kSettingsFileName);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(beside, ec)) ||
        std::filesystem::exists(programFolder / files::pathFromUtf8(kPortableMarker), ec))
        return {beside, true};
#ifdef _WIN32
    (void)home;
    const std::filesystem::path config =
        xdgConfigHome && *xdgConfigHome ? files::pathFromUtf8(xdgConfigHome) : std::filesystem::path(); // %APPDATA%
#else
    const std::filesystem::path config = userBaseFolder(xdgConfigHome, home, ".config");
#endif
    if (config.empty())
        return {beside, true}; // nowhere else to go
    return {config / "cardmill" / files::pathFromUtf8(kSettingsFileName), false};
}

SettingsLocation settingsLocation()
{
#ifdef _WIN32
    const std::string appData = files::utf8Of(userConfigFolder());
    return settingsLocation(programFolder(), appData.c_str(), nullptr);
#else
    return settingsLocation(programFolder(), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
#endif
}

std::filesystem::path defaultSettingsPath()
{
    return settingsLocation().file;
}

} // namespace cardmill
