#include "cli/ConvertOptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif
#include <vector>

#include "cli/ConvertProgram.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::readFile;
using test::TempDir;

struct Parsed {
    ParsedCommandLine result;
    std::string out, err;
};

Parsed parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "cardmill-convert");
    std::ostringstream out, err;
    Parsed p{parseCommandLine(static_cast<int>(args.size()), args.data(), out, err), {}, {}};
    p.out = out.str();
    p.err = err.str();
    return p;
}

TEST(ConvertOptions, EveryOptionReachesTheSettings)
{
    // clang-format off
    const Parsed p = parse({"--log", "a.adi", "--swl", "s.adi", "--main-doc", "card_1.docx", "--qsos", "3",
                            "--qrg-format", "exact qrg in khz", "--date-format", "23 Sep 2006", "--separator", ".",
                            "--field", "state", "--field", "CNTY", "--call", "sp1abc", "--from", "2006-09-01", "--to",
                            "2006-09-30", "--qsl-sent", "Y,blank", "--qsl-print", "L", "--lang", "pl",
                            "--keep-temporary", "--no-merge", "--mark-sent", "--sent-via", "d"});
    // clang-format on
    ASSERT_FALSE(p.result.exitNow) << p.err;
    const RunRequest& o = p.result.request;
    EXPECT_EQ(o.log, "a.adi");
    EXPECT_EQ(o.swl, "s.adi");
    EXPECT_EQ(o.mainDocument, "card_1.docx");
    EXPECT_EQ(o.labelSize.value(), 3);
    EXPECT_EQ(o.format.qrg, QrgFormat::ExactKHz);
    EXPECT_EQ(o.format.dateFormat.index(), 3);
    EXPECT_EQ(o.format.separator, ".");
    EXPECT_EQ(o.format.userFields, (std::vector<std::string>{"STATE", "CNTY"}));
    EXPECT_TRUE(o.filters.callOn);
    EXPECT_EQ(o.filters.call, "SP1ABC");
    EXPECT_TRUE(o.filters.dateRange);
    EXPECT_EQ(o.filters.from.day, 1);
    EXPECT_EQ(o.filters.to.day, 30);
    QslFlagChoice sent;
    sent.on = true;
    sent.tick(QslBox::Y);
    sent.tick(QslBox::Blank);
    EXPECT_EQ(o.filters.flags(QslFilter::Sent), sent);
    EXPECT_TRUE(o.filters.flags(QslFilter::Print).on);
    EXPECT_TRUE(o.filters.flags(QslFilter::Print).isTicked(QslBox::L));
    EXPECT_FALSE(o.filters.flags(QslFilter::Print).isTicked(QslBox::N));
    EXPECT_FALSE(o.filters.flags(QslFilter::Rcvd).on);
    EXPECT_EQ(p.result.language, Language::Polish);
    EXPECT_TRUE(o.polishNames);
    EXPECT_TRUE(o.keepTableDocument);
    EXPECT_FALSE(o.merge);
    EXPECT_TRUE(o.marking.on);
    EXPECT_EQ(o.marking.via, 'D');

    // An empty separator is a choice of its own.
    EXPECT_EQ(parse({"--separator", ""}).result.request.format.separator, "");
    EXPECT_EQ(parse({}).result.request.format.separator, "-");
}

TEST(ConvertOptions, BadValuesAreUsageErrors)
{
    // clang-format off
    for (const auto& args : std::vector<std::vector<const char*>>{
             {"--qsos", "0"},            {"--qsos", "11"},          {"--qsos", "x"},
             {"--qrg-format", "8"},      {"--qrg-format", "miles"}, {"--date-format", "2006/09/23"},
             {"--separator", ","},       {"--separator", "--"},     {"--field", "CALL"},
             {"--field", "a:b"},         {"--from", "2006-09-01"},  {"--from", "2006-02-30", "--to", "2006-03-01"},
             {"--qsl-print", "Y"},       {"--qsl-sent", "L"},       {"--lang", "de"},
             {"--unknown"},             {"--field", "STATE", "CNTY"}, {"--sent-via", "M"},
             {"--start-label", "0"},    {"--start-label", "1001"}, {"--format", "odt"},
             {"--make-main-docs", "."}, {"--make-main-docs", ".", "--stock", "A", "--custom-grid", "B"},
             {"--make-main-docs", ".", "--stock", "A", "--format", "pdf"},
             {"--make-main-docs", ".", "--stock", "A", "--my-call", "SP3 KXQ"},
             {"--list-stocks", "--make-main-docs", "."},
             {"--stock", "A", "--custom-grid", "B"}, {"--stock", "A", "--main-doc", "x_1.docx"},
             {"--offset", "1,1"},       {"--print"},               {"--calibration-page", "c.pdf"},
             {"--stock", "A", "--offset", "21,0"}, {"--stock", "A", "--offset", "1"},
             {"--stock", "A", "--offset", "1,y"},  {"--stock", "A", "--scale", "80"},
             // Numbers that are no numbers, everywhere a number is read.
             {"--stock", "A", "--offset", "nan,0"}, {"--stock", "A", "--offset", "0,-nan"},
             {"--stock", "A", "--offset", "inf,0"}, {"--stock", "A", "--offset", "1e400,0"},
             {"--stock", "A", "--scale", "nan"},    {"--stock", "A", "--scale", "inf"},
             {"--stock", "A", "--scale", "1e400"},  {"--stock", "A", "--scale", "-nan"},
             {"--qsos", "nan"},          {"--qsos", "1e400"},       {"--start-label", "inf"},
             {"--start-label", "99999999999999999999"},
             {"--stock", "A", "--calibration-page", "c.pdf", "--print"}}) {
        // clang-format on
        const Parsed p = parse(args);
        ASSERT_TRUE(p.result.exitNow) << args[0];
        EXPECT_EQ(*p.result.exitNow, ExitUsage) << args[0];
        EXPECT_FALSE(p.err.empty()) << args[0];
    }
}

TEST(ConvertOptions, LabelStockTasks)
{
    const Parsed list = parse({"--list-stocks", "avery", "L71"});
    ASSERT_FALSE(list.result.exitNow) << list.err;
    EXPECT_EQ(list.result.stockTask.kind, StockTask::Kind::List);
    EXPECT_EQ(list.result.stockTask.search, "avery L71");
    EXPECT_EQ(parse({"--list-stocks"}).result.stockTask.kind, StockTask::Kind::List);

    const Parsed make = parse({"--make-main-docs", "/tmp/x", "--stock", "Avery L7163", "--format", "ODT", "--sizes",
                               "1,2,swl", "--my-call", "sp3kxq/p", "--replace"});
    ASSERT_FALSE(make.result.exitNow) << make.err;
    const StockTask& t = make.result.stockTask;
    EXPECT_EQ(t.kind, StockTask::Kind::Make);
    EXPECT_EQ(t.folder, "/tmp/x");
    EXPECT_EQ(t.stock, "Avery L7163");
    EXPECT_EQ(t.format, "odt");
    EXPECT_EQ(t.sizes, "1,2,swl");
    EXPECT_EQ(t.ownCall.value_or(""), "SP3KXQ/P");
    EXPECT_TRUE(t.replace);

    // A run that draws its labels on a sheet, calibrated, and prints them too.
    const Parsed draw =
        parse({"--log", "a.adi", "--stock", "Avery L7163", "--offset", "-1.5, 0.25", "--scale", "101", "--print"});
    ASSERT_FALSE(draw.result.exitNow) << draw.err;
    const LabelSheet& sheet = draw.result.request.sheet;
    EXPECT_EQ(sheet.stock, "Avery L7163");
    EXPECT_DOUBLE_EQ(sheet.calibration.offsetX, -1.5);
    EXPECT_DOUBLE_EQ(sheet.calibration.offsetY, 0.25);
    EXPECT_DOUBLE_EQ(sheet.calibration.scale, 1.01);
    EXPECT_TRUE(sheet.print);
    EXPECT_EQ(sheet.printer, "");
    EXPECT_EQ(parse({"--log", "a.adi", "--custom-grid", "A4,1,1,50,50,10,10,50,50", "--print", "Office"})
                  .result.request.sheet.printer,
              "Office");
    const Parsed calibrate = parse({"--custom-grid", "A4,1,1,50,50,10,10,50,50", "--calibration-page", "c.pdf"});
    ASSERT_FALSE(calibrate.result.exitNow) << calibrate.err;
    EXPECT_EQ(calibrate.result.calibrationPage, "c.pdf");

    EXPECT_EQ(parse({"--log", "a.adi", "--start-label", "5"}).result.request.startLabel, 5);
    EXPECT_EQ(parse({"--log", "a.adi"}).result.request.startLabel, 1);
}

TEST(ConvertOptions, HelpAndVersion)
{
    const Parsed help = parse({"--help"});
    ASSERT_TRUE(help.result.exitNow);
    EXPECT_EQ(*help.result.exitNow, 0);
    EXPECT_NE(help.out.find("--no-merge"), std::string::npos);
    EXPECT_NE(help.out.find("Exit codes"), std::string::npos);
    const Parsed version = parse({"--version"});
    ASSERT_TRUE(version.result.exitNow);
    EXPECT_NE(version.out.find("0.1.0.0"), std::string::npos);
}

TEST(ConvertOptions, ProfileValuesWithExplicitOverrides)
{
    TempDir dir;
    const auto ini = dir.write("cardmill.ini", "[Home]\nSource file=/l/log.adi\nSource SWL file=/l/swl.adi\n"
                                               "Main doc=/l/card_1.doc\nQRG format=Exact QRG in kHz\nQSOs on label=4\n"
                                               "Date format=23 Sep 2006\nDate separator=.\n[ADIF_fields]\nADIF0=STATE\n"
                                               "ADIF1=CNTY\n[Program]\nTemporary file=1\n[Filters]\nCall=0\n");
    const std::string settings = ini.string();
    const Parsed p = parse({"--settings", settings.c_str(), "--profile", "HOME"});
    ASSERT_FALSE(p.result.exitNow) << p.err;
    const RunRequest& o = p.result.request;
    EXPECT_EQ(o.log, "/l/log.adi");
    EXPECT_EQ(o.swl, "/l/swl.adi");
    EXPECT_EQ(o.mainDocument, "/l/card_1.doc");
    EXPECT_EQ(o.format.qrg, QrgFormat::ExactKHz);
    EXPECT_EQ(o.labelSize.value(), 4);
    EXPECT_EQ(o.format.dateFormat.index(), 3);
    EXPECT_EQ(o.format.separator, ".");
    EXPECT_EQ(o.format.userFields, (std::vector<std::string>{"STATE", "CNTY"}));
    EXPECT_TRUE(o.keepTableDocument);

    const Parsed q = parse({"--settings", settings.c_str(), "--profile", "Home", "--log", "/other.adi", "--qsos", "2",
                            "--field", "GRIDSQUARE", "--separator", ""});
    ASSERT_FALSE(q.result.exitNow) << q.err;
    EXPECT_EQ(q.result.request.log, "/other.adi");
    EXPECT_EQ(q.result.request.mainDocument, "/l/card_1.doc");
    EXPECT_EQ(q.result.request.labelSize.value(), 2);
    EXPECT_EQ(q.result.request.format.userFields, std::vector<std::string>{"GRIDSQUARE"});
    EXPECT_EQ(q.result.request.format.separator, "");

    const Parsed unknown = parse({"--settings", settings.c_str(), "--profile", "Filters"});
    ASSERT_TRUE(unknown.result.exitNow);
    EXPECT_EQ(*unknown.result.exitNow, ExitUsage);
    EXPECT_NE(unknown.err.find("Home"), std::string::npos);
    EXPECT_EQ(*parse({"--settings", settings.c_str()}).result.exitNow, ExitUsage);
}

#ifndef _WIN32
// The real program: exit codes that scripts rely on.
int convert(const std::string& args)
{
    const int status = std::system((std::string(CARDMILL_CONVERT) + " " + args + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

TEST(ConvertProgram, ExitCodes)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: runs the program through a POSIX shell";
#else
    TempDir dir;
    const auto log = dir.write("my.adi", "<EOH>\n<CALL:5>DL1AA<QSO_DATE:8>20060923<TIME_ON:4>1200<BAND:3>20M"
                                         "<MODE:2>CW<EOR>\n");
    const std::string logArg = "--log '" + log.string() + "'";
    EXPECT_EQ(convert(logArg + " --no-merge"), ExitDone);
    EXPECT_EQ(readFile(dir / "my_1.txt").substr(0, 5), "CALL,");
    EXPECT_EQ(convert("--no-merge"), ExitPrecondition);
    EXPECT_EQ(convert("--log '" + (dir / "none.adi").string() + "' --no-merge"), ExitPrecondition);
    EXPECT_EQ(convert(logArg + " --main-doc '" + (dir / "none_1.docx").string() + "'"), ExitPrecondition);
    EXPECT_EQ(convert(logArg + " --no-merge --call K1ABC"), ExitNoData);
    EXPECT_EQ(convert(logArg + " --qsos 12"), ExitUsage);
    EXPECT_EQ(convert(logArg + " --no-merge --order alphabet"), ExitUsage);
    // Bureau order without the country file: refused, the package named.
    {
        const std::string path = std::getenv("XDG_DATA_DIRS") ? std::getenv("XDG_DATA_DIRS") : "";
        ::setenv("XDG_DATA_DIRS", (dir / "nowhere").c_str(), 1);
        const int code = convert(logArg + " --no-merge --order bureau");
        if (path.empty())
            ::unsetenv("XDG_DATA_DIRS");
        else
            ::setenv("XDG_DATA_DIRS", path.c_str(), 1);
        EXPECT_EQ(code, ExitPrecondition);
    }

    // A whole run from a profile.
    const auto ini = dir.write("cardmill.ini", "[Portable]\nSource file=" + log.string() +
                                                   "\nQSOs on label=2\n[ADIF_fields]\nADIF0=STATE\n"
                                                   "[Program]\nMark QSOs as sent=1\nQSL sent via=E\n");
    std::filesystem::remove(dir / "my_1.txt");
    EXPECT_EQ(convert("--settings '" + ini.string() + "' --profile portable --no-merge"), ExitDone);
    EXPECT_EQ(readFile(dir / "my_1.txt").substr(0, 120).find(",STATE\r\n") != std::string::npos, true);
    EXPECT_NE(readFile(dir / "my_sent.adi").find("<QSL_SENT_VIA:1>E <EOR>"), std::string::npos);
#endif
}

#ifndef _WIN32
// Runs the program and returns its exit code with what it wrote to standard error.
std::pair<int, std::string> convertSaying(const std::string& args, const std::filesystem::path& err)
{
    const int status =
        std::system((std::string(CARDMILL_CONVERT) + " " + args + " >/dev/null 2>'" + err.string() + "'").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(err)};
}
#endif

TEST(ConvertProgram, AProgramThatCannotDrawRefusesALabelSheetBeforeWritingAnything)
{
    // A converter built without a painter: the sheet is refused, not quietly turned into a data-only run.
    TempDir dir;
    const auto log = dir.write("log.adi", "<EOH><CALL:4>DL1A<QSO_DATE:8>20240101<TIME_ON:4>1200<EOR>\n");
    const std::string logArg = log.string();
    const char* argv[] = {"cardmill-convert", "--log", logArg.c_str(), "--custom-grid",
                          "A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1"};
    std::ostringstream out, err;
    EXPECT_EQ(runConvertProgram(5, argv, out, err, nullptr), ExitPrecondition);
    EXPECT_NE(err.str().find("cannot draw labels"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(dir / "log_1.txt"));
}

TEST(ConvertProgram, SettingsFilesAndLogsThatAreNoFilesAreSaidSo)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: FIFOs, and the program run through a POSIX shell";
#else
    TempDir dir;
    const auto err = dir / "err";
    std::filesystem::create_directories(dir / "folder.ini");
    ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
    dir.write("big.ini", std::string((16u << 20) + 1, ';'));
    const std::vector<std::pair<std::string, std::string>> settings{
        {"/dev/zero", "\"/dev/zero\" is not a regular file"},
        {(dir / "fifo.ini").string(), "is not a regular file"},
        {(dir / "folder.ini").string(), "is a folder"},
        {(dir / "none.ini").string(), "does not exist"},
        {(dir / "big.ini").string(), "is too large to be a settings file"},
    };
    for (const auto& [file, says] : settings) {
        const auto [code, text] = convertSaying("--settings '" + file + "' --profile P --no-merge", err);
        EXPECT_EQ(code, ExitPrecondition) << file;
        EXPECT_NE(text.find(says), std::string::npos) << text;
    }
    // A folder or a FIFO as the log: said, and no bad-records file appears beside it.
    std::filesystem::create_directories(dir / "logs" / "log.adi");
    ASSERT_EQ(::mkfifo((dir / "logs" / "fifo.adi").c_str(), 0600), 0);
    EXPECT_EQ(convertSaying("--log '" + (dir / "logs" / "log.adi").string() + "' --no-merge", err),
              std::make_pair(int(ExitPrecondition),
                             "\"" + (dir / "logs" / "log.adi").string() + "\" is a folder, not a file.\n"));
    EXPECT_EQ(convertSaying("--log '" + (dir / "logs" / "fifo.adi").string() + "' --no-merge", err).first,
              ExitPrecondition);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "logs"), {}), 2);
#endif
}

} // namespace
} // namespace cardmill
