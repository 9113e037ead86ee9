#pragma once

// The phases of a conversion run over the state they share: the engine's own, not for other libraries.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/AdifReader.h"
#include "engine/BadRecordsFile.h"
#include "engine/BureauOrder.h"
#include "engine/CountryFile.h"
#include "engine/DataSourceFiles.h"
#include "engine/Journal.h"
#include "engine/LabelDrawer.h"
#include "engine/LabelMerge.h"
#include "engine/LineComposer.h"
#include "engine/QsoFilters.h"
#include "engine/RouteList.h"
#include "engine/RunLock.h"
#include "engine/RunRequest.h"
#include "engine/RunSummary.h"
#include "engine/SentMarks.h"
#include "engine/SortedLines.h"
#include "engine/TempFiles.h"

namespace cardmill {

class RunObserver;
class StopToken;

namespace run_phases {

RunResult said(RunOutcome outcome, const RunMessage& message);
RunResult said(RunOutcome outcome, TextId id, std::vector<std::string> args = {});
// A stop: before the data-source files were complete the run put none in place, which it says, since files
// of an earlier run may lie beside the log. What it made before the stop is said with it.
RunResult stopped(bool dataWritten, std::optional<RunSummary> summary = {});

// The run's phases over the state they share, in the order they run: each returns the run's ending when it
// ends the run there, nothing when the run goes on.
class RunPhases {
public:
    using Ending = std::optional<RunResult>;

    RunPhases(const RunRequest& request, RunObserver& observer, const StopToken& stop, LabelMaker* maker,
              LabelDrawer* drawer, LabelDrawer* addressDrawer, SortedLines& lines)
        : m_request(request)
        , m_observer(observer)
        , m_stop(stop)
        , m_maker(request.merge && !request.sheet.chosen() ? maker : nullptr)
        , m_drawer(request.merge && request.sheet.chosen() ? drawer : nullptr)
        , m_addressDrawer(request.routed() ? addressDrawer : nullptr)
        , m_lines(lines)
        , m_filters(request.filters)
    {
    }

    RunResult run()
    {
        if (Ending e = checkInputs())
            return *e;
        if (Ending e = takeOutputs())
            return *e;
        prepare();
        if (Ending e = readQsos())
            return *e;
        readSwlReports();
        listRoutes();
        if (Ending e = noData())
            return *e;
        if (Ending e = writeDataSourceFiles())
            return *e;
        if (m_drawer)
            return draw();
        if (!m_maker)
            return dataSourceFilesOnly();
        return merge();
    }

private:
    // The inputs a run needs are there and are files; bureau order has its country file. Nothing is written.
    Ending checkInputs();
    // The lock on every output of the run, no two outputs of one name, no input among them.
    Ending takeOutputs();
    // The work folder, the bad-records file, and the log as the run reads it.
    void prepare();
    Ending readQsos();
    void readSwlReports();
    // With routes: the QSOs that get no card written down, whether or not any label is made.
    void listRoutes();
    // Why no label can be made, when none can.
    Ending noData() const;
    Ending writeDataSourceFiles();
    RunResult draw();
    // The labels of the batches written into the journal, once they were made: each batch's labels and its
    // file, with the labels a sheet holds (0: label documents, whose places count from 1 through the file).
    struct Batch;
    struct MadeBatch {
        const Batch* batch;
        std::filesystem::path file;
    };
    void writeJournal(const std::vector<MadeBatch>& made, std::size_t labelsPerSheet);
    // One batch's labels drawn by `drawer` as `pdf`, what it did added to the summary.
    Ending drawBatch(LabelDrawer& drawer, const RunLabels& labels, const std::filesystem::path& pdf);
    // Where a QSO's label goes: its batch and, with routes, its own QSL_SENT_VIA; or onto the list of QSOs that
    // get no card.
    void place(const AdifRecord& record, std::string_view line, LineKind kind, AdifReader::Span span, SentMarks& marks);
    RunResult dataSourceFilesOnly();
    RunResult merge();
    // Marks the labelled QSOs as sent when the user asks for it, once everything else has succeeded. A stop
    // writes neither file; a file that changed since it was read is marked in neither. False when stopped.
    bool markSent(bool evenAfterStop = false);
    // With routes: marks only the QSOs of the batches a printer took, when a later one was refused or stopped.
    bool markPrinted(const std::vector<MadeBatch>& printed, bool evenAfterStop);
    RunResult finished(RunSummary::Kind kind);
    // A log in UTF-16 is read as UTF-8, converted into the work folder. What was read is kept in view, so that
    // the marks are made from those very bytes.
    MarkSource readable(const std::filesystem::path& file, const char* name) const;

    const RunRequest& m_request;
    RunObserver& m_observer;
    const StopToken& m_stop;
    LabelMaker* const m_maker;
    LabelDrawer* const m_drawer;
    LabelDrawer* const m_addressDrawer;
    SortedLines& m_lines;  // the labels of the bureau's batch, or all of them in a run without routes
    SortedLines m_direct;  // with routes: the direct cards'
    RouteList m_routeList; // with routes: the QSOs that get no card, and QSL_VIA that fits no rule
    std::optional<Journal> m_journal;
    // A sheet drawn again: the keys of its QSOs, the only ones the run takes, and its route.
    std::optional<Journal::Sheet> m_reprint;
    std::unordered_set<std::string> m_reprintKeys;
    std::size_t m_leftOut = 0; // QSOs the journal has: left out
    // The journal keys of a batch's lines, by where each line was added (SortedLines::addedAt), in that order.
    class LineKeys {
    public:
        void add(std::uint64_t addedAt, std::string_view key)
        {
            m_at.push_back(addedAt);
            m_text.append(key);
            m_ends.push_back(m_text.size());
        }
        std::string_view of(std::uint64_t addedAt) const
        {
            const auto it = std::lower_bound(m_at.begin(), m_at.end(), addedAt);
            if (it == m_at.end() || *it != addedAt)
                return {};
            const std::size_t i = static_cast<std::size_t>(it - m_at.begin());
            const std::size_t begin = i == 0 ? 0 : m_ends[i - 1];
            return std::string_view(m_text).substr(begin, m_ends[i] - begin);
        }

    private:
        std::vector<std::uint64_t> m_at, m_ends;
        std::string m_text;
    };
    LineKeys m_bureauKeys, m_directKeys;
    // The labels go out in batches: one in a run without routes, the bureau's and the direct ones with routes.
    struct Batch {
        Route route = Route::Bureau;
        SortedLines* lines = nullptr;
        const LineKeys* keys = nullptr;
        std::filesystem::path base; // its data-source files and label documents
        std::filesystem::path pdf;  // its drawn labels
        GroupedLines grouped;
        std::optional<BureauSorting> bureau;
        std::unique_ptr<DataSourceWriter> writer;
    };
    std::vector<Batch> m_batches;
    std::filesystem::path m_base;
    LineFormat m_format; // the request's, with the fields the drawer draws
    bool m_haveSwl = false;
    std::filesystem::path m_swlMarks; // the <base> of the SWL file's marks
    std::vector<std::filesystem::path> m_inputs;
    CountryFile m_countries;
    // Released last: the lock outlives every file the run writes.
    std::unique_ptr<RunLock> m_lock;
    std::optional<WorkFolder> m_work;
    BadRecordsFile m_bad;
    QsoFilters m_filters;
    std::optional<LineComposer> m_composer;
    MarkSource m_logSource, m_swlSource;
    SentMarks m_logMarks, m_swlReports; // where the records that got a line lie in their files
    std::size_t m_records = 0, m_filtered = 0;
    RunSummary m_summary;
};

} // namespace run_phases

} // namespace cardmill
