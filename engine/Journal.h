#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engine/Routes.h"

namespace cardmill {

class AdifRecord;
struct RunRequest;

// A QSO as the journal knows it: CALL, QSO_DATE, TIME_ON (hours and minutes), BAND and MODE, in capitals,
// joined by "|". The same QSO has the same key whatever formats a run writes it in.
std::string journalKey(const AdifRecord& record);

// The journal of printed labels: a text file, "CARDMILL journal 1" on its first line, then one line a label a
// run with routes made: the run's number, its route ("B", "D"), the day (YYYYMMDD), the file the label is in,
// its sheet and place on the sheet (from 1), and its QSOs' keys, each line ended by CR LF. Lines are only ever
// appended, and put on the disk before the run ends; a last line without its end (a run that died while
// writing) is passed over.
class Journal {
public:
    static constexpr std::string_view kHeader = "CARDMILL journal 1";

    // One label made.
    struct Label {
        Route route = Route::Bureau;
        std::filesystem::path file;
        std::size_t sheet = 0, place = 0;
        std::vector<std::string> keys;
    };

    // One sheet of a run as the journal has it: its labels' route, file and places, and their QSOs' keys.
    struct Sheet {
        Route route = Route::Bureau;
        std::filesystem::path file;
        std::size_t firstPlace = 0;
        std::vector<std::string> keys;
    };
    // Sheet `sheet` of run `run`'s labels of `route`; an empty Sheet (no keys) when the journal has no such sheet.
    // Throws IoError.
    static Sheet findSheet(const std::filesystem::path& path, std::size_t run, std::size_t sheet, Route route);

    // A run as the journal has it: its number, its day, and the sheets of its bureau and direct labels.
    struct Run {
        std::size_t run = 0;
        std::string date;
        std::size_t bureauSheets = 0, directSheets = 0;
    };

    // Reads the journal at `path`; a missing one is empty. Throws IoError: a file that is not a journal of
    // this program (FailureId::JournalNotOurs), or that cannot be read.
    static Journal read(const std::filesystem::path& path);

    bool has(const std::string& key) const { return m_keys.count(key) > 0; }
    // Whether the last line was cut off (passed over).
    bool torn() const { return m_torn; }
    // The number the next run gets: one more than the last run's.
    std::size_t nextRun() const { return m_lastRun + 1; }
    const std::filesystem::path& path() const { return m_path; }
    // Its runs in the order they were written.
    const std::vector<Run>& runs() const { return m_runs; }

    // Makes sure the journal can take this run's lines before anything is printed: a missing journal is made
    // with its header. Throws IoError.
    void prepare() const;
    // Appends the labels of run `run` made on `date`, and puts them on the disk. Throws IoError.
    void append(std::size_t run, std::string_view date, const std::vector<Label>& labels) const;

private:
    std::filesystem::path m_path;
    std::unordered_set<std::string> m_keys;
    std::size_t m_lastRun = 0;
    bool m_torn = false;
    std::vector<Run> m_runs;
};

// A sheet drawn again starts where it started then: the start label of a request that asks for a sheet again
// (RouteChoice::reprintSheet) set from its journal. Throws IoError.
void startWhereTheSheetStarted(RunRequest& request);

} // namespace cardmill
