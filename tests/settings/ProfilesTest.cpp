#include "settings/Profiles.h"

#include <gtest/gtest.h>

#include "settings/ProfileRequest.h"
#include "settings/SettingsStore.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::readFile;
using test::TempDir;

TEST(Profiles, FormatTextsReadBack)
{
    EXPECT_EQ(dateFormatOf("2006-09-23").index(), 0);
    EXPECT_EQ(dateFormatOf("23-09-2006").index(), 1);
    EXPECT_EQ(dateFormatOf("09-23-2006").index(), 2);
    EXPECT_EQ(dateFormatOf("23 Sep 2006").index(), 3);
    EXPECT_EQ(dateFormatOf("Sep 23 2006").index(), 4);
    EXPECT_EQ(dateFormatOf("sep 23 2006").index(), 1);
    EXPECT_EQ(dateFormatOf("").index(), 1);

    // One reading of a QRG format text for every reader: whole, and without regard to case.
    EXPECT_EQ(qrgFormatOf("Exact QRG in kHz"), QrgFormat::ExactKHz);
    EXPECT_EQ(qrgFormatOf("exact qrg in khz"), QrgFormat::ExactKHz);
    EXPECT_EQ(qrgFormatOf("Exact QRG"), std::nullopt);
    EXPECT_EQ(labelOrderOf("BUREAU"), LabelOrder::Bureau);
    EXPECT_EQ(labelOrderOf("anything"), LabelOrder::Call);
    EXPECT_EQ(labelOrderText(LabelOrder::Bureau), "bureau");

    // Blanks around a stored value are not part of it.
    TempDir dir;
    const IniFile ini(dir.write("a.ini", "[P]\nQRG format =  QRG in MHz  \n"));
    EXPECT_EQ(qrgFormatOf(*readProfile(ini, "p").qrgFormat), QrgFormat::MHz);
}

TEST(Profiles, ListLeavesOutReservedSectionsAndSortsWithoutCase)
{
    TempDir dir;
    const IniFile ini(dir.write("a.ini", "[zulu]\na=1\n[FILTERS]\nCall=0\n[Alpha]\na=1\n[program]\nx=1\n[beta]\n"
                                         "a=1\n[Profile]\nLast profile=0\n[adif_FIELDS]\nADIF0=X\n"));
    EXPECT_EQ(profileNames(ini), (std::vector<std::string>{"zulu", "Alpha", "beta"}));
    EXPECT_EQ(sortedProfileNames(ini), (std::vector<std::string>{"Alpha", "beta", "zulu"}));
    EXPECT_EQ(findProfile(ini, "ALPHA"), "Alpha");
    EXPECT_EQ(findProfile(ini, "Filters"), std::nullopt);
}

TEST(Profiles, WriteAndReadAProfile)
{
    TempDir dir;
    const IniFile ini(dir / "cardmill.ini");
    Profile p;
    p.sourceFile = "/home/sp3kxq/log.adi";
    p.mainDocument = "/home/sp3kxq/card_1.docx";
    p.qsosOnLabel = 3;
    writeProfile(ini, "Home", p);
    const StoredProfile s = readProfile(ini, "home");
    EXPECT_EQ(s.sourceFile, p.sourceFile);
    EXPECT_EQ(s.swlFile, ""); // an empty SWL file is a valid value
    EXPECT_EQ(s.qsosOnLabel, 3);
    EXPECT_EQ(s.dateSeparator, "-");
    EXPECT_EQ(readProfile(ini, "other").sourceFile, std::nullopt);
}

// The route choices are written only once they differ from the defaults, so a profile without them keeps its
// lines; read back, an unknown text is the bureau.
TEST(Profiles, RouteChoicesAreKeptOnlyWhenChosen)
{
    TempDir dir;
    const IniFile ini(dir / "cardmill.ini");
    writeProfile(ini, "Home", Profile{});
    const std::string plain = readFile(ini.path());
    EXPECT_EQ(plain.find("route"), std::string::npos) << plain;
    EXPECT_EQ(plain.find("address"), std::string::npos) << plain;

    RunRequest r;
    r.order = LabelOrder::Routes;
    r.routes.fallback = Route::Electronic;
    r.routes.noAddress = Route::Held;
    r.routes.addressStock = "Avery L7160";
    writeProfile(ini, "Home", profileOf(r));
    RunRequest back;
    applyProfile(readProfile(ini, "Home"), back);
    EXPECT_EQ(back.routes.fallback, Route::Electronic);
    EXPECT_EQ(back.routes.noAddress, Route::Held);
    EXPECT_EQ(back.routes.addressStock, "Avery L7160");
    EXPECT_EQ(back.order, LabelOrder::Routes);

    EXPECT_EQ(defaultRouteOf(" Direct "), Route::Direct);
    EXPECT_EQ(defaultRouteOf("held"), Route::Bureau); // a default route always sends a card or none
    EXPECT_EQ(defaultRouteOf("by carrier pigeon"), Route::Bureau);
    EXPECT_EQ(noAddressRouteOf("HELD"), Route::Held);
    EXPECT_EQ(noAddressRouteOf("direct"), Route::Bureau);
}

TEST(Profiles, ALabelSheetAndItsCalibrationReachTheRequest)
{
    TempDir dir;
    const IniFile ini(dir / "cardmill.ini");
    Profile p;
    p.sourceFile = "/l/log.adi";
    p.labelSheet = "Avery L7163";
    writeProfile(ini, "Sheet", p);
    p.labelSheet = "A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1";
    writeProfile(ini, "Grid", p);
    p.labelSheet.clear();
    writeProfile(ini, "Doc", p);
    EXPECT_EQ(readProfile(ini, "Doc").labelSheet, std::nullopt); // a main document's profile gains no key
    ini.update([](IniFile::Lines& l) {
        writeCalibration(l, "Avery L7163", {1.25, -0.5, 0.98});
        writeCalibration(l, "Bad=name", {1, 1, 1});
        l.write("Program", "Calibration A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1", "25,0,100"); // out of range
    });
    EXPECT_EQ(readFile(ini.path()).find("Bad=name"), std::string::npos);

    RunRequest r;
    applyProfile(readProfile(ini, "Sheet"), r);
    applyProgramSettings(ini, r);
    EXPECT_EQ(r.sheet.stock, "Avery L7163");
    EXPECT_EQ(r.sheet.customGrid, "");
    EXPECT_DOUBLE_EQ(r.sheet.calibration.offsetX, 1.25);
    EXPECT_DOUBLE_EQ(r.sheet.calibration.offsetY, -0.5);
    EXPECT_DOUBLE_EQ(r.sheet.calibration.scale, 0.98);

    RunRequest g;
    applyProfile(readProfile(ini, "Grid"), g);
    applyProgramSettings(ini, g);
    EXPECT_EQ(g.sheet.stock, "");
    EXPECT_EQ(g.sheet.customGrid, "A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1");
    EXPECT_EQ(readCalibration(ini, g.sheet.name()), Calibration{});

    // Stored values that are not numbers in range read as none, and are given back to be said.
    for (const std::string value : {"25,0,100", "nan,nan,100", "0,0,nan", "inf,0,100", "1e400,0,100", "0,0,1e400",
                                    "-nan,0,100", "0,0", "1,2,3,4"}) {
        ini.update([&](IniFile::Lines& l) { l.write("Program", "Calibration Z", value); });
        std::string unreadable;
        EXPECT_EQ(readCalibration(ini, "Z", &unreadable), Calibration{}) << value;
        EXPECT_EQ(unreadable, value);
        LabelSheet sheet;
        sheet.stock = "Z";
        EXPECT_EQ(applyCalibration(ini, sheet), value);
        EXPECT_EQ(sheet.calibration, Calibration{});
    }

    // Clearing the sheet of a profile that had one leaves it on its main document.
    writeProfile(ini, "Sheet", p);
    RunRequest d;
    applyProfile(readProfile(ini, "Sheet"), d);
    EXPECT_FALSE(d.sheet.chosen());
}

TEST(SettingsStore, UserFieldsStopAtTheFirstGapAndDropFixedNames)
{
    TempDir dir;
    const IniFile ini(dir.write("a.ini", "[ADIF_fields]\nADIF0=STATE\nADIF1=CALL\nADIF2=CNTY\nADIF4=LOST\n"));
    EXPECT_EQ(readUserFields(ini), (std::vector<std::string>{"STATE", "CNTY"}));
    ini.update([](IniFile::Lines& l) { writeUserFields(l, {"GRIDSQUARE"}); });
    EXPECT_EQ(readFile(ini.path()), "[ADIF_fields]\r\nADIF0=GRIDSQUARE\r\n");
    ini.update([](IniFile::Lines& l) { writeUserFields(l, {}); });
    EXPECT_EQ(readFile(ini.path()), "");
}

TEST(SettingsStore, ValidityCheckNeverLosesProfiles)
{
    TempDir dir;
    EXPECT_EQ(checkSettingsFile(IniFile(dir / "none.ini")), SettingsState::Missing);
    const IniFile valid(dir.write("valid.ini", "[Filters]\nCall=0\n"));
    EXPECT_EQ(checkSettingsFile(valid), SettingsState::Valid);
    const IniFile profilesOnly(dir.write("profiles.ini", "[Home]\nSource file=/l.adi\n"));
    EXPECT_EQ(checkSettingsFile(profilesOnly), SettingsState::Valid);
    EXPECT_TRUE(profilesOnly.exists());
    const IniFile useless(dir.write("useless.ini", "[Filters]\n[Program]\nTemporary file=1\n"));
    EXPECT_EQ(checkSettingsFile(useless), SettingsState::Removed);
    EXPECT_FALSE(useless.exists());
}

TEST(SettingsStore, OrderInTheFileAfterAFirstProfileAndAFirstClose)
{
    TempDir dir;
    const IniFile ini(dir / "cardmill.ini");
    Profile p;
    p.sourceFile = "/l/log.adi";
    p.mainDocument = "/l/card_1.doc";
    writeProfile(ini, "Home", p);
    ClosingState state;
    state.filters.call = true;
    state.filters.callsign = "SP1ABC";
    state.filters.fromDate = "2006-09-01";
    state.filters.toDate = "2006-09-30";
    state.filters.sentBlank = true;
    state.lastProfile = 0;
    state.userFields = {"STATE"};
    state.options.keepTemporaryFile = true;
    writeClosingState(ini, state);
    EXPECT_EQ(readFile(ini.path()),
              "[Home]\r\nSource file=/l/log.adi\r\nSource SWL file=\r\nMain doc=/l/card_1.doc\r\n"
              "QRG format=QRG in meters with 'M'\r\nQSOs on label=1\r\nDate format=2006-09-23\r\n"
              "Date separator=-\r\nLabel order=call\r\n"
              "[Filters]\r\nCall=1\r\nCallsign=SP1ABC\r\nDate=0\r\nFrom-date=2006-09-01\r\nTo-date=2006-09-30\r\n"
              "QSL_SENT=0\r\nQSL_SENT_Y=0\r\nQSL_SENT_N=0\r\nQSL_SENT_R=0\r\nQSL_SENT_I=0\r\nQSL_SENT_Blank=1\r\n"
              "QSL_RCVD=0\r\nQSL_RCVD_Y=0\r\nQSL_RCVD_N=0\r\nQSL_RCVD_R=0\r\nQSL_RCVD_I=0\r\nQSL_RCVD_Blank=0\r\n"
              "QSL_PRINT=0\r\nQSL_PRINT_L=0\r\nQSL_PRINT_A=0\r\nQSL_PRINT_N=0\r\nQSL_PRINT_Blank=0\r\n"
              "[Profile]\r\nLast profile=0\r\n[ADIF_fields]\r\nADIF0=STATE\r\n"
              "[Program]\r\nTemporary file=1\r\nPolish language=0\r\nPDF labels=0\r\nMark QSOs as sent=0\r\n"
              "QSL sent via=\r\nOwn country last=0\r\n");
    EXPECT_EQ(readLastProfile(ini), 0);
    EXPECT_TRUE(readProgramOptions(ini).keepTemporaryFile);

    // A second close rewrites in place; a later profile goes after "Program".
    state.userFields = {};
    writeClosingState(ini, state);
    writeProfile(ini, "Away", p);
    EXPECT_EQ(sortedProfileNames(ini), (std::vector<std::string>{"Away", "Home"}));
    const std::string text = readFile(ini.path());
    EXPECT_EQ(text.find("[ADIF_fields]"), std::string::npos);
    EXPECT_LT(text.find("[Program]"), text.find("[Away]"));
}

} // namespace
} // namespace cardmill

namespace cardmill {
namespace {

TEST(SettingsStore, SettingsLiveBesideAPortableProgramOtherwiseInTheUsersConfigFolder)
{
    test::TempDir dir;
    const std::filesystem::path bin = dir / "bin";
    std::filesystem::create_directories(bin);
    // A folder the user may write is no reason: only a settings file or the marker beside the program is.
    SettingsLocation l;
#ifdef _WIN32
    // An installed program: %APPDATA%\cardmill.
    l = settingsLocation(bin, "C:\\Users\\u\\AppData\\Roaming", nullptr);
    EXPECT_FALSE(l.portable);
    EXPECT_EQ(l.file, std::filesystem::path("C:\\Users\\u\\AppData\\Roaming\\cardmill\\cardmill.ini"));
#else
    // An installed program: the XDG folder, or ~/.config without it (a relative XDG value does not count).
    l = settingsLocation(bin, "/x/config", "/home/u");
    EXPECT_FALSE(l.portable);
    EXPECT_EQ(l.file, std::filesystem::path("/x/config/cardmill/cardmill.ini"));
    EXPECT_EQ(settingsLocation(bin, nullptr, "/home/u").file,
              std::filesystem::path("/home/u/.config/cardmill/cardmill.ini"));
    EXPECT_EQ(settingsLocation(bin, "relative", "/home/u").file,
              std::filesystem::path("/home/u/.config/cardmill/cardmill.ini"));
#endif
    // The marker file asks for a portable copy; so does a settings file already beside the program.
    dir.write("bin/cardmill.portable", "");
    l = settingsLocation(bin, "/x/config", "/home/u");
    EXPECT_TRUE(l.portable);
    EXPECT_EQ(l.file, bin / "cardmill.ini");
    std::filesystem::remove(bin / "cardmill.portable");
    dir.write("bin/cardmill.ini", "[Filters]\r\n");
    EXPECT_TRUE(settingsLocation(bin, "/x/config", "/home/u").portable);
}

TEST(ProfileRequest, OneLoadingForBothPrograms)
{
    // Old files have no "Label order": call order. A label size out of range is the nearest.
    StoredProfile p;
    p.sourceFile = "/l/log.adi";
    p.qsosOnLabel = 12;
    p.qrgFormat = "nonsense";
    RunRequest r;
    r.mainDocument = "/kept_1.docx";
    r.format.qrg = QrgFormat::ExactKHz;
    applyProfile(p, r);
    EXPECT_EQ(r.log, "/l/log.adi");
    EXPECT_EQ(r.mainDocument, "/kept_1.docx"); // a key the profile lacks keeps the value
    EXPECT_EQ(r.swl, "");                      // ... but the SWL file, which a profile may not have
    EXPECT_EQ(r.labelSize.value(), 10);
    EXPECT_EQ(r.format.qrg, QrgFormat::ExactKHz);
    EXPECT_EQ(r.order, LabelOrder::Call);
    p.labelOrder = "Bureau";
    p.qsosOnLabel = 0;
    applyProfile(p, r);
    EXPECT_EQ(r.order, LabelOrder::Bureau);
    EXPECT_EQ(r.labelSize.value(), 1);

    // A stored label size that is no int, however long, is no size: the request keeps its own.
    TempDir dir;
    for (const char* stored : {"9999999999", "99999999999999999999999", "nan", "1e400", "3.5", "-"}) {
        const IniFile ini(dir.write("cardmill.ini", std::string("[P]\nQSOs on label=") + stored + "\n"));
        EXPECT_EQ(readProfile(ini, "P").qsosOnLabel, std::nullopt) << stored;
    }
}

} // namespace
} // namespace cardmill
