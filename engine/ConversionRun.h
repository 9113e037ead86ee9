#pragma once

#include <filesystem>

#include "engine/RunObserver.h"
#include "engine/RunRequest.h"
#include "engine/RunSummary.h"
#include "engine/SortedLines.h"

namespace cardmill {

class LabelDrawer;
class LabelMaker;

// The log path up to, not including, the first "." of the log's file name ("/logs/my.log.adi" -> "/logs/my").
// A "." in a folder name does not count. A file name without "." is used whole.
std::filesystem::path baseOf(const std::filesystem::path& logPath);

// One conversion run, the program's whole job: checks the inputs, reads the log and the SWL file, sorts and
// groups the lines into the data-source files, has the label maker make a label document of each pass's
// records, marks the labelled QSOs as sent and saves the labels as PDF when asked, and says how it ended.
//
// A run is a function of its request: it reads nothing else of the program, tells `observer` what it is doing,
// looks at `stop` at its stop points in every phase, and returns a RunResult that each program turns into its
// own messages. It never talks to a window, and may run on any thread. Every ending leaves the files of the
// last complete run, or this run's, whole; scratch files go.
class ConversionRun {
public:
    // `maker` may be null: the run then writes the data-source files only (as for a request without merge).
    // `drawer` draws the labels of a request that chose a label sheet.
    // `addressDrawer` draws the address labels of a run with routes' direct cards; null: none are drawn.
    explicit ConversionRun(LabelMaker* maker = nullptr, LabelDrawer* drawer = nullptr,
                           LabelDrawer* addressDrawer = nullptr);

    RunResult run(const RunRequest& request, RunObserver& observer, const StopToken& stop = {});

    // The lines of the last run, sorted (for tests and diagnostics).
    const SortedLines& lines() const { return m_lines; }

private:
    RunResult execute(const RunRequest& request, RunObserver& observer, const StopToken& stop);

    LabelMaker* m_maker;
    LabelDrawer* m_drawer;
    LabelDrawer* m_addressDrawer;
    SortedLines m_lines;
};

} // namespace cardmill
