#include "cli/ConvertOptions.h"

#include <CLI/CLI.hpp>

#include <array>
#include <cmath>
#include <sstream>

#include "cardmill/Version.h"
#include "cli/RouteCommands.h"
#include "engine/Files.h"
#include "engine/LineComposer.h"
#include "engine/Text.h"
#include "settings/ProfileRequest.h"
#include "settings/Profiles.h"
#include "settings/SettingsStore.h"
#include "stock/LabelStock.h"
#include "texts/DesignTexts.h"

namespace cardmill {

namespace {

// `text` as an index of `names`, or the index of the name it is; -1 when neither.
template <std::size_t N>
int indexOrText(const std::string& text, const std::array<std::string_view, N>& names)
{
    long long n = 0;
    if (text::parseInteger(text, n) && text.find_first_of("+-") == std::string::npos)
        return n >= 0 && n < static_cast<long long>(N) ? static_cast<int>(n) : -1;
    for (std::size_t i = 0; i < N; ++i)
        if (text::equalNoCase(text, names[i]))
            return static_cast<int>(i);
    return -1;
}

bool parseDate(const std::string& text, PickerDate& date)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    long long y = 0, m = 0, d = 0;
    if (!text::parseInteger(text.substr(0, 4), y) || !text::parseInteger(text.substr(5, 2), m) ||
        !text::parseInteger(text.substr(8, 2), d))
        return false;
    static constexpr std::array<int, 12> days{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > days[static_cast<std::size_t>(m - 1)])
        return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (m == 2 && d == 29 && !leap)
        return false;
    date = {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
    return true;
}

bool parseFlags(const std::string& text, QslFilter filter, QslFlagChoice& boxes)
{
    std::stringstream ss(text);
    std::string item;
    while (std::getline(ss, item, ',')) {
        const std::string u = text::upper(std::string(text::trim(item)));
        if (u.empty())
            continue;
        if (u == "BLANK")
            boxes.tick(QslBox::Blank);
        else if (filter == QslFilter::Print && u == "L")
            boxes.tick(QslBox::L);
        else if (filter == QslFilter::Print && u == "A")
            boxes.tick(QslBox::A);
        else if (u == "N")
            boxes.tick(QslBox::N);
        else if (filter != QslFilter::Print && u == "Y")
            boxes.tick(QslBox::Y);
        else if (filter != QslFilter::Print && u == "R")
            boxes.tick(QslBox::R);
        else if (filter != QslFilter::Print && u == "I")
            boxes.tick(QslBox::I);
        else
            return false;
    }
    return true;
}

const char* kDescription =
    "Converts an ADIF log (and an optional file of SWL reports) into QSL-label data-source files beside the\n"
    "log, <base>_1.txt ... <base>_10.txt and <base>_swl.txt, and merges them into label documents.\n"
    "<base> is the log path up to the first \".\" of its file name.\n";

const char* kFooter =
    "\nExit codes:\n"
    "  0  done (also when bad records were kept in <base>_bad.txt; the message names it)\n"
    "  1  stopped with Ctrl-C, SIGTERM or SIGHUP (a second one ends the program at once)\n"
    "  2  usage: unknown option, bad value, unknown profile or label stock\n"
    "  3  bad input: no log, no main document, a file not found or not a file, an input that is also an output;\n"
    "     a stock that cannot carry the labels asked for, main documents there already without --replace\n"
    "  4  the run was abandoned: input/output error, a label document not made, a needed program missing\n"
    "  5  no data: the log holds no records, or every record was filtered out, and there were no SWL reports\n"
    "  6  another run is making the labels of the same log\n";

} // namespace

int qrgFormatFromText(const std::string& text)
{
    return indexOrText(text, kQrgFormatNames);
}

std::optional<DateFormat> dateFormatFromText(const std::string& text)
{
    return DateFormat::of(indexOrText(text, DateFormat::kSamples));
}

namespace {

// What CLI11 fills in, group by group; each group is read into the result by a function of its own.
struct Values {
    // The run's files.
    std::string log, swl, mainDoc;
    bool noMerge = false;
    // Profiles and the settings file.
    std::string profile, settings;
    // How the lines are written.
    std::string qrg, dateFormat, separator;
    bool separatorGiven = false;
    long long qsos = 1;
    std::vector<std::string> fields;
    // Filters.
    std::string call, from, to, sent, rcvd, print;
    // Marking, options, language.
    bool markSent = false;
    std::string sentVia, lang = "en";
    // Label sheets and stocks.
    std::vector<std::string> searchWords;
    std::string makeFolder, offset, printer, calibrationPage, myCall, order, design, roll;
    bool listDesigns = false;
    double scale = 100;
    int startLabel = 1;
    bool ownCountryLast = false;
    RouteValues route;
};

// Reading a group: an error's text for the user; none when the group is fine.
using Problem = std::optional<std::string>;

void declareRunOptions(CLI::App& app, Values& v, RunRequest& o)
{
    app.add_option("--log", v.log, "the ADIF log")->type_name("FILE");
    app.add_option("--swl", v.swl, "the SWL source file")->type_name("FILE");
    app.add_option("--main-doc", v.mainDoc, "the main document for one QSO per label (xxx_1.doc, .docx or .odt)")
        ->type_name("FILE");
    app.add_option("--qsos", v.qsos, "QSOs per label, 1-10 (default 1)")->type_name("N");
    app.add_option("--qrg-format", v.qrg, "0-7, or the format's English list text (default 1)")->type_name("N|TEXT");
    app.add_option("--date-format", v.dateFormat, "0-4, or the format's sample text (default 0, 2006-09-23)")
        ->type_name("N|TEXT");
    app.add_option("--separator", v.separator, "the date separator: empty or one character, not \",\" (default -)")
        ->type_name("TEXT")
        ->each([&v](const std::string&) { v.separatorGiven = true; });
    app.add_option("--field", v.fields, "a user-defined ADIF field, repeatable, in order")
        ->type_name("NAME")
        ->allow_extra_args(false) // one name per --field
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--call", v.call, "the call filter: only QSOs with this call")->type_name("CALL");
    app.add_option("--from", v.from, "the date-range filter's first day (with --to)")->type_name("YYYY-MM-DD");
    app.add_option("--to", v.to, "the date-range filter's last day (with --from)")->type_name("YYYY-MM-DD");
    app.add_option("--qsl-sent", v.sent, "QSL_SENT filter with its ticked boxes: Y,N,R,I,Blank")->type_name("SET");
    app.add_option("--qsl-rcvd", v.rcvd, "QSL_RCVD filter with its ticked boxes: Y,N,R,I,Blank")->type_name("SET");
    app.add_option("--qsl-print", v.print, "QSL_PRINT filter with its ticked boxes: L,A,N,Blank")->type_name("SET");
    app.add_option("--lang", v.lang, "the language of messages: en or pl (default en)")->type_name("en|pl");
    app.add_flag("--keep-temporary", o.keepTableDocument, "keep the table document \"temporary.doc\"");
    app.add_option("--profile", v.profile,
                   "take log, SWL file, main document, formats, label size and separator "
                   "from this profile, and the field list from the settings file; "
                   "options given as well override them")
        ->type_name("NAME");
    app.add_option("--settings", v.settings, "the settings file (default: " + defaultSettingsPath().string() + ")")
        ->type_name("FILE");
    app.add_flag("--pdf", o.pdf, "also save every label document as PDF beside it (needs LibreOffice)");
    app.add_flag("--mark-sent", v.markSent,
                 "after a successful run, write <base>_sent.adi and <base>_updated.adi with the labelled QSOs "
                 "marked as sent (QSL_SENT Y, QSLSDATE today)");
    app.add_option("--sent-via", v.sentVia, "with --mark-sent: QSL_SENT_VIA B (bureau), D (direct) or E (electronic)");
    app.add_flag("--no-merge", v.noMerge, "write the data-source files only (no main document needed)");
    app.add_option("--start-label", v.startLabel,
                   "the label place of the first sheet to start at, for a sheet whose first labels are used "
                   "(default 1)")
        ->type_name("N");
}

void declareSheetOptions(CLI::App& app, Values& v, StockTask& task)
{
    app.add_option("--list-stocks", v.searchWords,
                   "list the label stocks (of the gLabels stock database, glabels-data) whose brand, part or "
                   "description hold every word of TEXT, and end")
        ->type_name("[TEXT]")
        ->expected(0, CLI::detail::expected_max_vector_size);
    app.add_option("--make-main-docs", v.makeFolder,
                   "make main documents card_1 ... card_10 and card_swl for a label stock in FOLDER (made when it "
                   "is not there), and end")
        ->type_name("FOLDER");
    app.add_option("--stock", task.stock,
                   "the label stock, such as \"Avery L7163\": with a run instead of --main-doc, the labels are drawn "
                   "on its sheets as <base>_labels.pdf; with --make-main-docs, the stock of the documents")
        ->type_name("NAME");
    app.add_option("--custom-grid", task.grid,
                   "instead of --stock: PAPER,COLUMNS,ROWS,WIDTH,HEIGHT,LEFT,TOP,HPITCH,VPITCH, lengths in mm, PAPER "
                   "A4, A5, A6, US-Letter, US-Legal or WIDTHxHEIGHT")
        ->type_name("GRID");
    app.add_option("--roll", v.roll,
                   "instead of --stock: a roll of labels WIDTH mm wide, each label a page as long as its QSOs need, "
                   "or LENGTH mm long")
        ->type_name("WIDTH[xLENGTH]");
    app.add_option("--design", v.design,
                   "with a sheet or a roll: draw the labels with this design, a design file (.json) or a "
                   "built-in design's name (default: label; see --list-designs)")
        ->type_name("FILE|NAME");
    app.add_flag("--list-designs", v.listDesigns, "list the built-in designs, and end");
    app.add_option("--offset", v.offset,
                   "with a sheet or a roll: move what is drawn X mm right and Y mm down, as measured on the "
                   "calibration page (negative: left, up)")
        ->type_name("X,Y");
    app.add_option("--scale", v.scale, "with a sheet or a roll: draw at this percentage (default 100)")
        ->type_name("PERCENT");
    app.add_option("--print", v.printer,
                   "with a sheet or a roll: send the drawn labels to PRINTER as well (default: the system's "
                   "default printer), as one job once every sheet is drawn")
        ->type_name("[PRINTER]")
        ->expected(0, 1);
    app.add_option("--calibration-page", v.calibrationPage,
                   "with a sheet or a roll: write the stock's calibration page (label outlines and crosses, "
                   "to print on plain paper and hold against a sheet) as FILE, and end")
        ->type_name("FILE");
    app.add_option("--format", task.format, "with --make-main-docs: docx (default) or odt")->type_name("docx|odt");
    app.add_option("--sizes", task.sizes,
                   "with --make-main-docs: the label sizes, such as 1,2,3,swl (default: every size that fits)")
        ->type_name("LIST");
    app.add_option("--my-call", v.myCall,
                   "your call sign: for \"73 de\" on made main documents, and for bureau order (default: the one the "
                   "desktop program remembers)")
        ->type_name("CALL");
    app.add_option(
           "--order", v.order,
           "the labels' order: call (by call sign, the default) or bureau (bundled by country as QSL bureaus "
           "ask, with a packing list <base>_bureau.txt; needs the hamradio-files package), or routes (see --routes)")
        ->type_name("call|bureau|routes");
    app.add_flag("--own-country-last", v.ownCountryLast, "bureau order: your own country's bundle last, not first");
    app.add_flag("--replace", task.replace, "with --make-main-docs: replace main documents that are there");
    declareRouteOptions(app, v.route);
}

// --my-call, as a call sign in capitals; none when not given.
Problem readOwnCall(const CLI::App& app, const Values& v, std::optional<std::string>& ownCall)
{
    if (!app.count("--my-call"))
        return std::nullopt;
    const std::string call = text::upper(std::string(text::trim(v.myCall)));
    if (call.size() > 20 || call.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/") != std::string::npos)
        return "--my-call takes a call sign: letters, digits and /";
    ownCall = call;
    return std::nullopt;
}

// The label-stock tasks, which stand alone.
Problem readStockTask(const CLI::App& app, const Values& v, const std::optional<std::string>& ownCall, StockTask& task)
{
    const bool list = app.count("--list-stocks") > 0, make = app.count("--make-main-docs") > 0;
    if (list && make)
        return "--list-stocks and --make-main-docs go separately";
    for (const char* option : {"--format", "--sizes", "--replace"})
        if (app.count(option) && !make)
            return std::string(option) + " goes with --make-main-docs";
    if (!list && !make)
        return std::nullopt;
    task.kind = list ? StockTask::Kind::List : StockTask::Kind::Make;
    for (const std::string& w : v.searchWords)
        task.search += (task.search.empty() ? "" : " ") + w;
    task.folder = files::pathFromUtf8(v.makeFolder);
    task.settings = v.settings.empty() ? defaultSettingsPath() : files::pathFromUtf8(v.settings);
    if (make) {
        if (task.stock.empty() == task.grid.empty())
            return "--make-main-docs needs --stock NAME or --custom-grid GRID (one of them)";
        task.format = text::upper(task.format) == "ODT" ? "odt" : text::upper(task.format) == "DOCX" ? "docx" : "";
        if (task.format.empty())
            return "--format must be docx or odt";
        task.ownCall = ownCall;
    }
    return std::nullopt;
}

// A settings file that is missing or cannot be a settings file is bad input (exit 3); a profile that is not
// there is a usage error (exit 2).
struct ProfileProblem {
    std::string text;
    int exit = ExitUsage;
};

std::optional<ProfileProblem> readProfileOptions(const CLI::App& app, const Values& v, RunRequest& o)
{
    const std::filesystem::path settingsFile =
        v.settings.empty() ? defaultSettingsPath() : files::pathFromUtf8(v.settings);
    if (!app.count("--profile")) {
        if (app.count("--settings"))
            return ProfileProblem{"--settings goes with --profile"};
        // Without a profile: the own call the desktop program remembers, when the settings file can tell.
        try {
            std::error_code ec;
            if (std::filesystem::is_regular_file(settingsFile, ec))
                o.ownCall = readStockChoice(IniFile(settingsFile)).ownCall;
        } catch (const SettingsReadError&) {
            // Only a convenience: the run needs no settings file.
        }
        o.countryFile = countryFileFor(settingsFile);
        o.routes.journal = journalFor(settingsFile);
        return std::nullopt;
    }
    try {
        const IniFile ini(settingsFile);
        std::error_code ec;
        if (!std::filesystem::exists(ini.path(), ec))
            return ProfileProblem{"The settings file \"" + ini.path().string() + "\" does not exist", ExitPrecondition};
        const std::optional<std::string> name = findProfile(ini, v.profile);
        if (!name) {
            std::string known;
            for (const std::string& n : sortedProfileNames(ini))
                known += "\n  " + n;
            return ProfileProblem{"unknown profile \"" + v.profile + "\" in " + ini.path().string() +
                                  (known.empty() ? std::string("; it holds no profile") : "; its profiles:" + known)};
        }
        applyProfile(readProfile(ini, *name), o);
        applyProgramSettings(ini, o);
    } catch (const SettingsReadError& e) {
        return ProfileProblem{e.what(), ExitPrecondition};
    }
    return std::nullopt;
}

// The run's files; the sheet the labels are drawn on, its calibration and printer.
Problem readSheetOptions(const CLI::App& app, const Values& v, const StockTask& task, ParsedCommandLine& result)
{
    RunRequest& o = result.request;
    if (app.count("--log"))
        o.log = files::pathFromUtf8(v.log);
    if (app.count("--swl"))
        o.swl = files::pathFromUtf8(v.swl);
    if (app.count("--main-doc"))
        o.mainDocument = files::pathFromUtf8(v.mainDoc);
    o.merge = !v.noMerge;
    if (!task.stock.empty() || !task.grid.empty() || app.count("--roll")) {
        if (!task.stock.empty() + !task.grid.empty() + app.count("--roll") > 1)
            return "--stock, --custom-grid and --roll go separately";
        if (app.count("--main-doc"))
            return "--stock, --custom-grid and --roll draw the labels, --main-doc merges them: one or the other";
        o.sheet.stock = app.count("--roll") ? std::string(kRollPrefix) + std::string(text::trim(v.roll)) : task.stock;
        o.sheet.customGrid = task.grid;
    } else if (app.count("--main-doc")) {
        o.sheet = {}; // a main document given replaces a profile's label sheet
    }
    for (const char* option : {"--offset", "--scale", "--print", "--calibration-page", "--design"})
        if (app.count(option) && !o.sheet.chosen())
            return std::string(option) + " goes with --stock, --custom-grid or --roll";
    if (app.count("--design")) {
        o.sheet.design = std::string(text::trim(v.design));
        if (o.sheet.design.empty())
            return "--design takes a design file or the name of a built-in design (see --list-designs)";
    }
    const std::filesystem::path settingsFile =
        v.settings.empty() ? defaultSettingsPath() : files::pathFromUtf8(v.settings);
    o.sheet.calibration = {};
    if (app.count("--offset") || app.count("--scale")) {
        // The command line's calibration replaces the one remembered.
        const std::size_t comma = v.offset.find(',');
        double x = 0, y = 0;
        if (app.count("--offset") &&
            (comma == std::string::npos || !text::wholeNumber(text::trim(v.offset.substr(0, comma)), x) ||
             !text::wholeNumber(text::trim(v.offset.substr(comma + 1)), y) || !Calibration::offsetInRange(x) ||
             !Calibration::offsetInRange(y)))
            return "--offset takes X,Y in millimetres, each a number from -20 to 20";
        if (!Calibration::percentInRange(v.scale))
            return "--scale must be a number from 90 to 110 (per cent)";
        o.sheet.calibration = *Calibration::of(x, y, v.scale);
    } else if (o.sheet.chosen()) {
        // The calibration remembered for the sheet; a stored value that is not one is said, and the labels are
        // drawn where the stock puts them.
        try {
            std::error_code ec;
            if (std::filesystem::is_regular_file(settingsFile, ec))
                if (const std::string bad = applyCalibration(IniFile(settingsFile), o.sheet); !bad.empty())
                    result.notes.push_back(
                        {TextId::CalibrationUnreadable, {o.sheet.name(), settingsFile.string(), bad}});
        } catch (const SettingsReadError&) {
            // The calibration is a convenience: without it the labels are drawn where the stock puts them.
        }
    }
    if (app.count("--print")) {
        o.sheet.print = true;
        o.sheet.printer = v.printer;
    }
    if (app.count("--calibration-page")) {
        if (app.count("--print"))
            return "--calibration-page writes a PDF; print it from a PDF viewer";
        result.calibrationPage = files::pathFromUtf8(v.calibrationPage);
    }
    return std::nullopt;
}

// How the lines are written: label size, QRG and date formats, separator, user fields; and the label order.
Problem readLineOptions(const CLI::App& app, const Values& v, RunRequest& o)
{
    if (app.count("--qsos")) {
        const std::optional<LabelSize> size = LabelSize::of(v.qsos);
        if (!size)
            return "--qsos must be from " + std::to_string(LabelSize::kMin) + " to " + std::to_string(LabelSize::kMax);
        o.labelSize = *size;
    }
    if (!v.qrg.empty()) {
        const int index = qrgFormatFromText(v.qrg);
        if (index < 0)
            return "unknown --qrg-format \"" + v.qrg + "\"";
        o.format.qrg = qrgFormatAt(index);
    }
    if (!v.dateFormat.empty()) {
        const std::optional<DateFormat> format = dateFormatFromText(v.dateFormat);
        if (!format)
            return "unknown --date-format \"" + v.dateFormat + "\"";
        o.format.dateFormat = *format;
    }
    if (v.separatorGiven) {
        if (v.separator.size() > 1)
            return "--separator must be empty or one character";
        if (v.separator == ",")
            return "the separator cannot be a comma";
        o.format.separator = v.separator;
    }
    if (!v.fields.empty())
        o.format.userFields.clear(); // --field replaces the whole list
    for (const std::string& f : v.fields) {
        const std::string name = text::upper(std::string(text::trim(f)));
        if (name.empty() || name.find_first_of("<>:, ") != std::string::npos)
            return "bad --field name \"" + f + "\"";
        if (isFixedColumn(name))
            return "--field " + name + ": this field is always a column";
        o.format.userFields.push_back(name);
    }
    if (!v.order.empty()) {
        const std::string which = text::upper(std::string(text::trim(v.order)));
        if (which != "CALL" && which != "BUREAU" && which != "ROUTES")
            return "--order must be call, bureau or routes";
        o.order = which == "BUREAU" ? LabelOrder::Bureau : which == "ROUTES" ? LabelOrder::Routes : LabelOrder::Call;
    }
    if (v.ownCountryLast)
        o.ownBundleLast = true;
    if (app.count("--start-label")) {
        if (v.startLabel < 1 || v.startLabel > static_cast<int>(kMaxStartLabel))
            return "--start-label must be from 1 to " + std::to_string(kMaxStartLabel);
        o.startLabel = v.startLabel;
    }
    return std::nullopt;
}

Problem readFilterOptions(const CLI::App& app, const Values& v, RunRequest& o)
{
    if (app.count("--call")) {
        o.filters.callOn = true;
        o.filters.call = text::upper(v.call);
    }
    if (!v.from.empty() || !v.to.empty()) {
        if (v.from.empty() || v.to.empty())
            return "--from and --to go together";
        if (!parseDate(v.from, o.filters.from) || !parseDate(v.to, o.filters.to))
            return "dates must be given as YYYY-MM-DD";
        o.filters.dateRange = true;
    }
    const std::array<std::pair<const char*, std::pair<QslFilter, const std::string*>>, 3> flagOptions{{
        {"--qsl-sent", {QslFilter::Sent, &v.sent}},
        {"--qsl-rcvd", {QslFilter::Rcvd, &v.rcvd}},
        {"--qsl-print", {QslFilter::Print, &v.print}},
    }};
    for (const auto& [name, filter] : flagOptions) {
        if (!app.count(name))
            continue;
        QslFlagChoice& boxes = o.filters.flags(filter.first);
        boxes.on = true;
        if (!parseFlags(*filter.second, filter.first, boxes))
            return std::string("bad flag in ") + name + " \"" + *filter.second + "\"";
    }
    return std::nullopt;
}

// The language of the messages, and of the month and day names a run writes.
Problem readLanguage(const Values& v, ParsedCommandLine& result)
{
    if (v.lang == "en")
        result.language = Language::English;
    else if (v.lang == "pl")
        result.language = Language::Polish;
    else
        return "--lang must be en or pl";
    result.stockTask.language = result.language;
    return std::nullopt;
}

Problem readMarkingOptions(const CLI::App& app, const Values& v, ParsedCommandLine& result)
{
    RunRequest& o = result.request;
    if (v.markSent)
        o.marking.on = true;
    if (app.count("--sent-via")) {
        const std::string via = text::upper(v.sentVia);
        if (via != "B" && via != "D" && via != "E")
            return "--sent-via must be B, D or E";
        o.marking.via = via[0];
    }
    o.polishNames = result.language == Language::Polish;
    return std::nullopt;
}

} // namespace

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    ParsedCommandLine result;
    CLI::App app(kDescription, "cardmill-convert");
    app.footer(kFooter);
    app.get_formatter()->column_width(34);
    Values v;
    declareRunOptions(app, v, result.request);
    declareSheetOptions(app, v, result.stockTask);
    app.set_version_flag("--version", std::string("cardmill-convert ") + kVersionText);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        result.exitNow = app.exit(e, out, err);
        return result;
    } catch (const CLI::CallForVersion& e) {
        result.exitNow = app.exit(e, out, err);
        return result;
    } catch (const CLI::ParseError& e) {
        app.exit(e, out, err);
        result.exitNow = ExitUsage;
        return result;
    }
    auto fail = [&](const std::string& text, int exit) {
        err << "cardmill-convert: " << text << (exit == ExitUsage ? "\nRun with --help for more information.\n" : "\n");
        result.exitNow = exit;
        return result;
    };

    if (Problem p = readLanguage(v, result))
        return fail(*p, ExitUsage);
    if (v.listDesigns) {
        for (std::string_view name : kBuiltInDesigns)
            out << name << std::string(16 - name.size(), ' ') << builtInDesignText(name, result.language) << '\n';
        result.exitNow = ExitDone;
        return result;
    }
    std::optional<std::string> ownCall;
    if (Problem p = readOwnCall(app, v, ownCall))
        return fail(*p, ExitUsage);
    if (Problem p = readStockTask(app, v, ownCall, result.stockTask))
        return fail(*p, ExitUsage);
    if (result.stockTask.kind != StockTask::Kind::None)
        return result;
    if (const std::optional<ProfileProblem> p = readProfileOptions(app, v, result.request))
        return fail(p->text, p->exit);
    if (ownCall)
        result.request.ownCall = *ownCall;
    if (Problem p = readSheetOptions(app, v, result.stockTask, result))
        return fail(*p, ExitUsage);
    if (!result.calibrationPage.empty())
        return result;
    for (const auto& read : {readLineOptions, readFilterOptions})
        if (Problem p = read(app, v, result.request))
            return fail(*p, ExitUsage);
    if (Problem p = readMarkingOptions(app, v, result))
        return fail(*p, ExitUsage);
    if (Problem p = readRouteOptions(app, v.route, result.request))
        return fail(*p, ExitUsage);
    result.listRoutes = app.count("--list-routes") > 0;
    return result;
}

} // namespace cardmill
