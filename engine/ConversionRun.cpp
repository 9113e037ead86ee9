#include "engine/ConversionRun.h"

#include <exception>

#include "engine/AdifReader.h"
#include "engine/BadRecordsFile.h"
#include "engine/DataSourceFiles.h"
#include "engine/Failure.h"
#include "engine/LabelMerge.h"
#include "engine/LineComposer.h"
#include "engine/LineReader.h"
#include "engine/QsoFilters.h"
#include "engine/RunHost.h"
#include "engine/RunInputs.h"
#include "engine/RunLock.h"
#include "engine/SentMarks.h"
#include "engine/TempFiles.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

std::filesystem::path withSuffix(const std::filesystem::path& base, const char* suffix)
{
    std::filesystem::path p = base;
    p += suffix;
    return p;
}

// Restores the run's resting state however the run ends.
class RunGuard {
public:
    RunGuard(RunHost& host, bool& running)
        : m_host(host)
        , m_running(running)
    {
        m_running = true;
    }
    ~RunGuard()
    {
        m_host.showProgress(false);
        m_host.setStopEnabled(false);
        m_host.clearStatus();
        m_running = false;
    }

private:
    RunHost& m_host;
    bool& m_running;
};

// A file that ends with a chunk without "<EOR>" that holds a QSO's tags: a record cut off, said, not lost.
void reportUnfinished(std::string_view chunk, BadRecordsFile& bad)
{
    if (text::findNoCase(chunk, "<CALL:") != std::string_view::npos ||
        text::findNoCase(chunk, "<QSO_DATE:") != std::string_view::npos)
        bad.add("No <EOR> at the end of the file:", chunk);
}

// Text after a record's "<EOR>" on its line that holds no QSO's tags (a logger's "<IOTA:6>AF-003<eor>" after
// each QSO): no QSO, said once, no label.
bool strayAfterRecord(const AdifReader& reader, const AdifRecord& record, BadRecordsFile& bad)
{
    if (!reader.afterRecordOnItsLine() || record.has("CALL") || record.has("QSO_DATE"))
        return false;
    bad.add("Not a QSO (no CALL, no QSO_DATE) after the <EOR> of the record before it on its line:", record.text());
    return true;
}

} // namespace

std::filesystem::path baseOf(const std::filesystem::path& logPath)
{
    const std::string name = logPath.filename().string();
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos)
        return logPath;
    return logPath.parent_path() / name.substr(0, dot);
}

ConversionRun::ConversionRun(RunHost& host, LabelMaker* maker, LabelPresenter* presenter)
    : m_host(host)
    , m_maker(maker)
    , m_presenter(presenter)
{
}

RunOutcome ConversionRun::run()
{
    if (m_running)
        return RunOutcome::Busy;
    RunGuard guard(m_host, m_running);
    // Files already written stay as they are; the guard restores the window.
    auto abandon = [this](const Failure& failure) {
        m_host.showProgress(false);
        m_host.setStopEnabled(false);
        m_host.clearStatus();
        m_host.showError(failure);
        return RunOutcome::Abandoned;
    };
    try {
        return execute();
    } catch (const std::bad_alloc&) {
        return abandon({FailureId::NotEnoughMemory, m_host.logPath(), {}});
    } catch (const FailureError& e) {
        return abandon(e.failure());
    } catch (const std::exception& e) {
        return abandon({FailureId::Other, {}, e.what()});
    }
}

RunOutcome ConversionRun::stop(bool dataWritten)
{
    // Stopped before the data-source files were complete, the run put none in place: it says so, since files
    // of an earlier run may lie beside the log.
    m_host.showMessage(dataWritten ? TextId::ProcessStopped : TextId::ProcessStoppedNoData);
    m_host.showProgress(false);
    m_host.clearStopRequest();
    m_host.setStopEnabled(false);
    m_host.clearStatus();
    return RunOutcome::Stopped;
}

RunOutcome ConversionRun::refuse(const InputProblem& problem)
{
    m_host.showMessage(problem.message, problem.args);
    return RunOutcome::Precondition;
}

RunOutcome ConversionRun::execute()
{
    const std::filesystem::path log = m_host.logPath();
    if (log.empty()) {
        m_host.showMessage(TextId::NoSourceFile);
        return RunOutcome::Precondition;
    }
    std::vector<std::filesystem::path> inputs{log};
    if (m_maker) {
        const std::filesystem::path mainDocument = m_host.mainDocumentPath();
        if (mainDocument.empty()) {
            m_host.showMessage(TextId::NoMainDocument);
            return RunOutcome::Precondition;
        }
        if (const auto problem = checkInputFile(mainDocument, TextId::MainDocumentMissing))
            return refuse(*problem);
        for (int k = 0; k <= 10; ++k)
            inputs.push_back(mainDocumentForPass(mainDocument, PassSelector{k}));
    }

    m_lines.clear();
    const std::filesystem::path base = baseOf(log);
    m_host.clearStatus();
    // Nothing is written before the inputs are known to be files, and not files this run would write.
    if (const auto problem = checkInputFile(log, TextId::LogNotFound))
        return refuse(*problem);
    const std::filesystem::path swl = m_host.swlPath();
    const bool haveSwl = !swl.empty() && std::filesystem::exists(swl);
    if (haveSwl) {
        if (const auto problem = checkInputFile(swl, TextId::LogNotFound))
            return refuse(*problem);
        inputs.push_back(swl);
    }
    const SentMarking marking = m_host.sentMarking();
    // One run at a time writes the files of a <base> (two logs "log.adi" and "log.adif" share them), and those
    // of the SWL file's <base> when it marks that file.
    std::vector<std::filesystem::path> lockedBases{base};
    if (haveSwl && marking.on)
        lockedBases.push_back(baseOf(swl));
    const std::unique_ptr<RunLock> lock = RunLock::take(lockedBases);
    if (!lock) {
        m_host.showMessage(TextId::RunUnderWay, {log.string()});
        return RunOutcome::Locked;
    }
    std::vector<std::filesystem::path> outputs = runOutputs(base);
    if (haveSwl) {
        outputs.push_back(SentMarks::sentPath(baseOf(swl)));
        outputs.push_back(SentMarks::updatedPath(baseOf(swl)));
    }
    for (const std::filesystem::path& p : lock->paths())
        outputs.push_back(p);
    if (const auto problem = inputAmongOutputs(inputs, outputs))
        return refuse(*problem);
    removeLeftovers(log.parent_path().empty() ? std::filesystem::path(".") : log.parent_path());
    WorkFolder work;

    BadRecordsFile bad(withSuffix(base, "_bad.txt"));
    bad.create();
    {
        LineReader probe(log);
    } // an unreadable log fails here, before anything else is done
    // A log in UTF-16 is read as UTF-8, converted into the work folder. What was read is kept in view, so that
    // the marks are made from those very bytes.
    auto readable = [&](const std::filesystem::path& file, const char* name) {
        MarkSource source{file, file, {}, utf16Order(file)};
        if (!source.utf16)
            return source;
        source.text = work.path() / name;
        source.read = convertUtf16ToUtf8(file, source.text);
        return source;
    };
    MarkSource logSource = readable(log, "log.adi");
    const std::filesystem::path logText = logSource.text;
    m_host.clearStopRequest(); // a click left over from an earlier run must not stop this one
    m_host.setStopEnabled(true);
    const std::size_t lineCount = countLines(logText);
    m_host.setProgressRange(lineCount);
    m_host.showProgress(true);

    QsoFilters filters(m_host);
    filters.startRun();
    LineComposer composer(m_host, filters, bad);

    // The QSO pass. What became of the records tells, when no line is made, why. Where the records that get a
    // line lie in the file is kept, to mark them as sent when the run has made their labels.
    std::size_t records = 0, filtered = 0;
    SentMarks logMarks, swlMarks;
    MarkSource swlSource;
    {
        AdifReader reader(logText);
        if (marking.on && !logSource.utf16)
            reader.keepSnapshot();
        reader.skipHeader();
        AdifRecord record;
        std::string line;
        while (!reader.atEnd()) {
            m_host.setStatus(TextId::StatusProcessing);
            m_host.processEvents();
            m_host.setProgressPosition(reader.lineCounter());
            const AdifReader::Result r = reader.next();
            if (r == AdifReader::Result::Empty)
                continue;
            if (r == AdifReader::Result::None)
                reportUnfinished(reader.leftover(), bad);
            if (r == AdifReader::Result::Record) {
                record.assign(reader.record(), reader.rawRecord());
                if (strayAfterRecord(reader, record, bad))
                    continue;
                ++records;
                const LineComposer::Outcome o = composer.composeQso(record, line);
                if (o == LineComposer::Outcome::CallFiltered)
                    ++filtered;
                if (o == LineComposer::Outcome::Dropped || o == LineComposer::Outcome::CallFiltered)
                    continue;
                if (o == LineComposer::Outcome::Line) {
                    m_lines.add(line);
                    logMarks.add(reader.span());
                } else
                    ++filtered;
            }
            if (m_host.stopRequested()) {
                reader.close();
                return stop(false);
            }
        }
        if (!logSource.utf16)
            logSource.read = reader.snapshot();
    }
    m_host.clearStatus();

    // The SWL pass: no filters, no events, no stop.
    if (haveSwl) {
        swlSource = readable(swl, "swl.adi");
        AdifReader reader(swlSource.text);
        if (marking.on && !swlSource.utf16)
            reader.keepSnapshot();
        reader.skipHeader();
        m_host.setStatus(TextId::StatusProcessingSwl);
        AdifRecord record;
        std::string line;
        while (reader.nextRecord(record)) {
            if (strayAfterRecord(reader, record, bad))
                continue;
            if (composer.composeSwl(record, line) == LineComposer::Outcome::Line) {
                m_lines.add(line);
                swlMarks.add(reader.span());
            }
        }
        reportUnfinished(reader.leftover(), bad);
        if (!swlSource.utf16)
            swlSource.read = reader.snapshot();
    }

    if (m_lines.empty()) {
        m_host.showProgress(false);
        if (records == 0)
            m_host.showMessage(TextId::NoDataEmptyLog);
        else if (filtered > 0)
            m_host.showMessage(TextId::NoDataFiltered);
        else
            m_host.showMessage(TextId::NoDataUnreadable, {base.string()});
        m_host.setStopEnabled(false);
        return RunOutcome::NoData;
    }

    m_lines.sort();
    GroupedLines grouped;
    DataSourceWriter writer(m_host, base);
    if (writer.write(m_lines, grouped) == DataSourceWriter::Result::Stopped)
        return stop(false);
    m_host.showProgress(false);
    m_host.clearStatus();

    RunSummary summary;
    summary.base = base;
    // Marks the labelled QSOs as sent, when the user asks for it, once everything else has succeeded. "Stop"
    // still works: a stop writes neither file. A file that changed since it was read is marked in neither.
    // False when stopped.
    auto markSent = [&] {
        if (!marking.on)
            return true;
        const auto [date, timestamp] = utcDateAndTimestamp();
        const auto stopAsked = [this] {
            m_host.processEvents();
            return m_host.stopRequested();
        };
        std::vector<MarkedFile> marked;
        try {
            if (logMarks.size() > 0) {
                const auto n = logMarks.write(logSource, base, marking, date, timestamp, stopAsked);
                if (!n)
                    return false;
                marked.push_back({SentMarks::sentPath(base), SentMarks::updatedPath(base), *n});
            }
            if (swlMarks.size() > 0) {
                const std::filesystem::path swlBase = baseOf(swl);
                const auto n = swlMarks.write(swlSource, swlBase, marking, date, timestamp, stopAsked);
                if (!n)
                    return false;
                marked.push_back({SentMarks::sentPath(swlBase), SentMarks::updatedPath(swlBase), *n});
            }
        } catch (const IoError& e) {
            if (e.failure().id != FailureId::LogChanged)
                throw;
            summary.notMarked = e.failure();
        }
        summary.marked = std::move(marked);
        return true;
    };
    if (!m_maker) {
        // The bad-records file is complete: it is put in place before the marking, which a stop may end.
        summary.badRecords = !bad.clean();
        bad.finish();
        if (!markSent())
            return stop(true);
        m_host.setStopEnabled(false);
        summary.kind = RunSummary::Kind::DataSourceFiles;
        m_host.showSummary(summary);
        return summary.notMarked ? RunOutcome::Abandoned : RunOutcome::Done;
    }

    // "Stop" stays on: a stop ends the current pass and keeps the documents of the passes before it.
    MergePhase merge(m_host, *m_maker);
    MergePhase::Result merged = merge.run(base, writer.columns(), m_lines, grouped);
    m_host.showProgress(false);
    m_host.clearStatus();
    if (merged.ending == MergePhase::Ending::Stopped)
        return stop(true);
    summary.made = std::move(merged.made);
    summary.failed = std::move(merged.failed);
    summary.warnings = std::move(merged.warnings);
    summary.badRecords = !bad.clean();
    bad.finish();
    if (merged.ending == MergePhase::Ending::Failed) {
        m_host.setStopEnabled(false);
        summary.kind = RunSummary::Kind::MergeFailed;
        m_host.showSummary(summary);
        return RunOutcome::Abandoned;
    }
    if (!markSent())
        return stop(true);
    m_host.setStopEnabled(false);
    if (m_presenter) {
        std::vector<std::filesystem::path> documents;
        for (const MadeLabels& m : summary.made)
            documents.push_back(m.document);
        m_presenter->present(documents);
    }
    summary.kind = RunSummary::Kind::Labels;
    m_host.showSummary(summary);
    return summary.notMarked ? RunOutcome::Abandoned : RunOutcome::Done;
}

} // namespace cardmill
