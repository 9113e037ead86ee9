#pragma once

#include <filesystem>

#include "engine/SortedLines.h"

namespace cardmill {

class LabelMaker;
class LabelPresenter;
class RunHost;

// How a conversion run ended.
enum class RunOutcome {
    Done,         // labels written (and merged); the final message was shown
    Stopped,      // the user pressed "Stop"
    Precondition, // a message about missing input was shown
    Abandoned,    // an input/output error ended the run, or a label document could not be made; the text was shown
    NoData,       // no QSO or SWL line; the no-data box was shown
    Busy,         // a run was already under way in this window: nothing was done
    Locked,       // another run of the same log was under way: nothing was done
};

// The log path up to, not including, the first "." of the log's file name ("/logs/my.log.adi" -> "/logs/my").
// A "." in a folder name does not count. A file name without "." is used whole.
std::filesystem::path baseOf(const std::filesystem::path& logPath);

// One execution of "Start": checks the inputs, reads the log and the SWL file, sorts and groups the lines into
// the data-source files, has the label maker make a label document of each pass's records, hands the documents
// to the presenter, and ends with one message. Every ending (normal end, stop, precondition, error) closes its
// files, disables "Stop", hides the progress bar, clears the status text and removes an empty bad-records file.
// A run is not re-entrant: a call while one is under way returns Busy at once.
class ConversionRun {
public:
    // `maker` may be null: the run then writes the data-source files and does not merge. `presenter` may be
    // null: the label documents are then only named in the closing message.
    ConversionRun(RunHost& host, LabelMaker* maker, LabelPresenter* presenter = nullptr);

    RunOutcome run();
    bool running() const { return m_running; }

    // The lines of the last run, sorted (for tests and diagnostics).
    const SortedLines& lines() const { return m_lines; }

private:
    RunOutcome execute();
    RunOutcome stop(bool dataWritten);
    RunOutcome refuse(const struct InputProblem& problem);

    RunHost& m_host;
    LabelMaker* m_maker;
    LabelPresenter* m_presenter;
    SortedLines m_lines;
    bool m_running = false;
};

} // namespace cardmill
