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
        r.format.qrg = qrgFormatOf(*p.qrgFormat).value_or(r.format.qrg);
    if (p.qsosOnLabel)
        r.labelSize = LabelSize::nearest(*p.qsosOnLabel);
    if (p.dateFormat)
        r.format.dateFormat = dateFormatOf(*p.dateFormat);
    if (p.dateSeparator)
        r.format.separator = *p.dateSeparator;
    if (p.labelSheet)
        r.sheet.setName(std::string(text::trim(*p.labelSheet)));
    if (p.design)
        r.sheet.design = std::string(text::trim(*p.design));
    r.order = labelOrderOf(p.labelOrder.value_or(""));
    r.routes.fallback = defaultRouteOf(p.defaultRoute.value_or(""));
    r.routes.noAddress = noAddressRouteOf(p.noAddress.value_or(""));
    r.routes.addressStock = std::string(text::trim(p.addressSheet.value_or("")));
}

Profile profileOf(const RunRequest& r)
{
    Profile p;
    p.sourceFile = files::utf8Of(r.log);
    p.swlFile = files::utf8Of(r.swl);
    p.mainDocument = files::utf8Of(r.mainDocument);
    // The file always keeps the English texts, whatever language the lists show.
    p.qrgFormat = std::string(kQrgFormatTexts[static_cast<std::size_t>(r.format.qrg)]);
    p.qsosOnLabel = r.labelSize.value();
    p.dateFormat = std::string(r.format.dateFormat.sample());
    p.dateSeparator = r.format.separator;
    p.labelOrder = std::string(labelOrderText(r.order));
    p.labelSheet = r.sheet.name();
    p.design = r.sheet.design;
    p.defaultRoute = std::string(routeChoiceText(r.routes.fallback));
    p.noAddress = std::string(routeChoiceText(r.routes.noAddress));
    p.addressSheet = r.routes.addressStock;
    return p;
}

void applyProgramOptions(const ProgramOptions& program, RunRequest& r)
{
    r.keepTableDocument = program.keepTemporaryFile;
    r.pdf = program.pdfLabels;
    r.marking = {program.markSent, program.sentVia};
    r.ownBundleLast = program.ownBundleLast;
    r.polishNames = program.polish;
}

void applyProgramSettings(const IniFile& ini, RunRequest& r)
{
    r.format.userFields = readUserFields(ini);
    const bool polishNames = r.polishNames; // the command line's language decides the names of a run
    applyProgramOptions(readProgramOptions(ini), r);
    r.polishNames = polishNames;
    r.ownCall = readStockChoice(ini).ownCall;
    r.countryFile = countryFileFor(ini.path());
    r.routes.journal = journalFor(ini.path());
    if (r.sheet.chosen())
        applyCalibration(ini, r.sheet);
}

std::string applyCalibration(const IniFile& ini, LabelSheet& sheet)
{
    std::string unreadable;
    sheet.calibration = readCalibration(ini, sheet.name(), &unreadable);
    return unreadable;
}

std::filesystem::path journalFor(const std::filesystem::path& settingsFile)
{
    return settingsFile.parent_path() / "cardmill-journal.txt";
}

std::filesystem::path countryFileFor(const std::filesystem::path& settingsFile)
{
    const std::filesystem::path found = findCountryFile(settingsFile.parent_path());
    return found.empty() ? settingsFile.parent_path() / "cty.dat" : found;
}

} // namespace cardmill
