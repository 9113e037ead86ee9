#include "settings/ProfileRequest.h"

#include "engine/CountryFile.h"
#include "engine/Files.h"
#include "engine/Text.h"
#include "settings/SettingsStore.h"

namespace cardmill {

void applyProfile(const StoredProfile& p, RunRequest& r)
{
    if (p.sourceFile)
        r.log = files::pathFromUtf8(*p.sourceFile);
    if (p.mainDocument)
        r.mainDocument = files::pathFromUtf8(*p.mainDocument);
    r.swl = files::pathFromUtf8(p.swlFile.value_or(""));
    if (p.qrgFormat)
        if (const std::optional<int> index = qrgFormatIndexExact(*p.qrgFormat))
            r.format.qrg = qrgFormatAt(*index);
    if (p.qsosOnLabel)
        r.labelSize = LabelSize::nearest(*p.qsosOnLabel);
    if (p.dateFormat)
        r.format.dateFormat = dateFormatOf(*p.dateFormat);
    if (p.dateSeparator)
        r.format.separator = *p.dateSeparator;
    if (p.labelSheet)
        r.sheet.setName(std::string(text::trim(*p.labelSheet)));
    r.order =
        p.labelOrder && text::equalNoCase(*p.labelOrder, kBureauOrderText) ? LabelOrder::Bureau : LabelOrder::Call;
}

void applyProgramSettings(const IniFile& ini, RunRequest& r)
{
    r.format.userFields = readUserFields(ini);
    const ProgramOptions program = readProgramOptions(ini);
    r.keepTableDocument = program.keepTemporaryFile;
    r.pdf = program.pdfLabels;
    r.marking = {program.markSent, program.sentVia};
    r.ownBundleLast = program.ownBundleLast;
    r.ownCall = readStockChoice(ini).ownCall;
    r.countryFile = countryFileFor(ini.path());
    if (r.sheet.chosen())
        applyCalibration(ini, r.sheet);
}

std::string applyCalibration(const IniFile& ini, LabelSheet& sheet)
{
    std::string unreadable;
    sheet.calibration = readCalibration(ini, sheet.name(), &unreadable);
    return unreadable;
}

std::filesystem::path countryFileFor(const std::filesystem::path& settingsFile)
{
    const std::filesystem::path found = findCountryFile(settingsFile.parent_path());
    return found.empty() ? settingsFile.parent_path() / "cty.dat" : found;
}

} // namespace cardmill
