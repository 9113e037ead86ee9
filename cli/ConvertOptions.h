#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "engine/RunRequest.h"
#include "texts/Texts.h"

namespace cardmill {

// Exit codes of cardmill-convert that scripts can rely on.
enum ExitCode : int {
    ExitDone = 0,         // done (also when bad records were kept; the message names the file)
    ExitStopped = 1,      // stopped with Ctrl-C
    ExitUsage = 2,        // unknown option, bad value, unknown profile
    ExitPrecondition = 3, // no log, no main document, a file not found
    ExitAbandoned = 4,    // input/output error, merge error, a needed program missing
    ExitNoData = 5,       // no QSO and no SWL report to write
    ExitLocked = 6,       // another run is making the same log's labels
};

// The label-stock tasks: listing the stocks, making main documents for one.
struct StockTask {
    enum class Kind { None, List, Make };
    Kind kind = Kind::None;
    std::string search;                 // List: words to look for (empty: every stock)
    std::filesystem::path folder;       // Make: where the documents go
    std::string stock;                  // Make: the stock's name, or empty with a custom grid
    std::string grid;                   // Make: a custom grid (see parseCustomGrid)
    std::string format = "docx";        // Make: docx or odt
    std::string sizes;                  // Make: "1,2,swl"; empty for every size that fits
    std::optional<std::string> ownCall; // Make: given with --my-call
    bool replace = false;               // Make: replace documents that are there
    std::filesystem::path settings;     // the settings file that remembers the own call (may not exist)
    Language language = Language::English;
};

// The parsed command line, or the exit code to end with (after --help, --version or a usage error, whose
// text has gone to `out` or `err`).
struct ParsedCommandLine {
    RunRequest request;
    Language language = Language::English;
    StockTask stockTask;
    std::filesystem::path calibrationPage; // --calibration-page: the page of request.sheet as this PDF, no run
    std::vector<RunMessage> notes;         // what the user should know before the run: said, then the run goes on
    bool listRoutes = false;               // --list-routes: each QSO's route and why, no run
    std::optional<int> exitNow;
};

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// The QRG format by index "0" to "7" or by its English list text (any letter case); -1 when neither.
int qrgFormatFromText(const std::string& text);
// The date format by index "0" to "4" or by its sample text; none when neither.
std::optional<DateFormat> dateFormatFromText(const std::string& text);

} // namespace cardmill
