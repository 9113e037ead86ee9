#include "engine/ConversionRun.h"

#include <algorithm>
#include <exception>

#include "engine/AdifReader.h"
#include "engine/BadRecordsFile.h"
#include "engine/BureauOrder.h"
#include "engine/CountryFile.h"
#include "engine/DataSourceFiles.h"
#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/LabelDrawer.h"
#include "engine/LabelMerge.h"
#include "engine/LineComposer.h"
#include "engine/LineReader.h"
#include "engine/OutputFile.h"
#include "engine/QsoFilters.h"
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

RunResult said(RunOutcome outcome, const RunMessage& message)
{
    RunResult r;
    r.outcome = outcome;
    r.message = message;
    return r;
}

RunResult said(RunOutcome outcome, TextId id, std::vector<std::string> args = {})
{
    return said(outcome, RunMessage{id, std::move(args)});
}

RunResult abandoned(Failure failure)
{
    RunResult r;
    r.outcome = RunOutcome::Abandoned;
    r.failure = std::move(failure);
    return r;
}

// A stop: before the data-source files were complete the run put none in place, which it says, since files
// of an earlier run may lie beside the log. What it made before the stop is said with it.
RunResult stopped(bool dataWritten, std::optional<RunSummary> summary = {})
{
    RunResult r = said(RunOutcome::Stopped, dataWritten ? TextId::ProcessStopped : TextId::ProcessStoppedNoData);
    r.summary = std::move(summary);
    return r;
}

// The observer at rest however the run ends: no progress bar, no status text.
struct ObserverReset {
    RunObserver& observer;
    ~ObserverReset()
    {
        observer.progress(0, 0);
        observer.status(TextId::Count);
    }
};

} // namespace

std::filesystem::path baseOf(const std::filesystem::path& logPath)
{
    const std::string name = files::utf8Of(logPath.filename());
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos)
        return logPath;
    return logPath.parent_path() / files::pathFromUtf8(name.substr(0, dot));
}

ConversionRun::ConversionRun(LabelMaker* maker, LabelDrawer* drawer)
    : m_maker(maker)
    , m_drawer(drawer)
{
}

RunResult ConversionRun::run(const RunRequest& request, RunObserver& observer, const StopToken& stop)
{
    const ObserverReset reset{observer};
    // Files already written stay as they are.
    try {
        return execute(request, observer, stop);
    } catch (const std::bad_alloc&) {
        return abandoned({FailureId::NotEnoughMemory, request.log, {}});
    } catch (const FailureError& e) {
        return abandoned(e.failure());
    } catch (const std::exception& e) {
        return abandoned({FailureId::Other, {}, e.what()});
    }
}

namespace {

// The run's phases over the state they share, in the order they run: each returns the run's ending when it
// ends the run there, nothing when the run goes on.
class RunPhases {
public:
    using Ending = std::optional<RunResult>;

    RunPhases(const RunRequest& request, RunObserver& observer, const StopToken& stop, LabelMaker* maker,
              LabelDrawer* drawer, SortedLines& lines)
        : m_request(request)
        , m_observer(observer)
        , m_stop(stop)
        , m_maker(request.merge && !request.sheet.chosen() ? maker : nullptr)
        , m_drawer(request.merge && request.sheet.chosen() ? drawer : nullptr)
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
    // Why no label can be made, when none can.
    Ending noData() const;
    Ending writeDataSourceFiles();
    RunResult draw();
    RunResult dataSourceFilesOnly();
    RunResult merge();
    // Marks the labelled QSOs as sent when the user asks for it, once everything else has succeeded. A stop
    // writes neither file; a file that changed since it was read is marked in neither. False when stopped.
    bool markSent();
    RunResult finished(RunSummary::Kind kind);
    // A log in UTF-16 is read as UTF-8, converted into the work folder. What was read is kept in view, so that
    // the marks are made from those very bytes.
    MarkSource readable(const std::filesystem::path& file, const char* name) const;

    const RunRequest& m_request;
    RunObserver& m_observer;
    const StopToken& m_stop;
    LabelMaker* const m_maker;
    LabelDrawer* const m_drawer;
    SortedLines& m_lines;
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
    std::optional<BureauSorting> m_bureau;
    GroupedLines m_grouped;
    std::optional<DataSourceWriter> m_writer;
    RunSummary m_summary;
};

RunPhases::Ending RunPhases::checkInputs()
{
    const std::filesystem::path& log = m_request.log;
    if (log.empty())
        return said(RunOutcome::Refused, TextId::NoSourceFile);
    if (m_request.merge && m_request.sheet.chosen() && !m_drawer)
        return said(RunOutcome::Refused, TextId::NoLabelDrawing);
    m_inputs = {log};
    if (m_maker) {
        if (m_request.mainDocument.empty())
            return said(RunOutcome::Refused, TextId::NoMainDocument);
        if (const auto problem = checkInputFile(m_request.mainDocument, TextId::MainDocumentMissing))
            return said(RunOutcome::Refused, *problem);
        for (const PassSelector pass : allPasses())
            m_inputs.push_back(mainDocumentForPass(m_request.mainDocument, pass));
    }
    m_lines.clear();
    m_base = baseOf(log);
    // Nothing is written before the inputs are known to be files, and not files this run would write.
    if (const auto problem = checkInputFile(log, TextId::LogNotFound))
        return said(RunOutcome::Refused, *problem);
    const std::filesystem::path& swl = m_request.swl;
    m_haveSwl = !swl.empty() && std::filesystem::exists(swl);
    if (m_haveSwl) {
        if (const auto problem = checkInputFile(swl, TextId::LogNotFound))
            return said(RunOutcome::Refused, *problem);
        m_inputs.push_back(swl);
        m_swlMarks = swlMarksBase(baseOf(swl), m_base); // a <base> of their own when it is the log's
    }
    if (m_request.order == LabelOrder::Bureau) {
        std::error_code ec;
        if (m_request.countryFile.empty() || !std::filesystem::is_regular_file(m_request.countryFile, ec))
            return said(RunOutcome::Refused, TextId::BureauNeedsCountryFile,
                        {m_request.countryFile.parent_path().string()});
        m_countries = CountryFile::load(m_request.countryFile);
    }
    return std::nullopt;
}

RunPhases::Ending RunPhases::takeOutputs()
{
    // One run at a time writes the files of a <base> (two logs "log.adi" and "log.adif" share them), and those
    // of the SWL file's marks when it marks that file.
    std::vector<std::filesystem::path> lockedBases{m_base};
    if (m_haveSwl && m_request.marking.on)
        lockedBases.push_back(m_swlMarks);
    m_lock = RunLock::take(lockedBases);
    if (!m_lock)
        return said(RunOutcome::Locked, TextId::RunUnderWay, {m_request.log.string()});
    std::vector<std::filesystem::path> outputs = runOutputs(m_base);
    if (m_haveSwl) {
        outputs.push_back(SentMarks::sentPath(m_swlMarks));
        outputs.push_back(SentMarks::updatedPath(m_swlMarks));
    }
    for (const std::filesystem::path& p : m_lock->paths())
        if (std::find(outputs.begin(), outputs.end(), p) == outputs.end())
            outputs.push_back(p);
    if (const auto problem = outputTwice(outputs))
        return said(RunOutcome::Refused, *problem);
    if (const auto problem = inputAmongOutputs(m_inputs, outputs))
        return said(RunOutcome::Refused, *problem);
    return std::nullopt;
}

void RunPhases::prepare()
{
    const std::filesystem::path& log = m_request.log;
    removeLeftovers(log.parent_path().empty() ? files::pathFromUtf8(".") : log.parent_path());
    m_work.emplace();
    m_bad.setPath(withSuffix(m_base, "_bad.txt"));
    m_bad.create();
    {
        LineReader probe(log);
    } // an unreadable log fails here, before anything else is done
    m_logSource = readable(log, "log.adi");
    // The fields a design draws beyond the columns of every line become columns of this run, as user fields do.
    m_format = m_request.format;
    if (m_drawer)
        for (const std::string& field : m_drawer->fields())
            if (!isFixedColumn(field) &&
                std::find(m_format.userFields.begin(), m_format.userFields.end(), field) == m_format.userFields.end())
                m_format.userFields.push_back(field);
    m_composer.emplace(m_format, m_filters, m_bad);
}

MarkSource RunPhases::readable(const std::filesystem::path& file, const char* name) const
{
    MarkSource source{file, file, {}, utf16Order(file)};
    if (!source.utf16)
        return source;
    source.text = m_work->path() / files::pathFromUtf8(name);
    source.read = convertUtf16ToUtf8(file, source.text);
    return source;
}

RunPhases::Ending RunPhases::readQsos()
{
    // What became of the records tells, when no line is made, why.
    const std::size_t lineCount = countLines(m_logSource.text);
    m_observer.progress(0, lineCount);
    AdifReader reader(m_logSource.text);
    if (m_request.marking.on && !m_logSource.utf16)
        reader.keepSnapshot();
    reader.skipHeader();
    AdifRecord record;
    std::string line;
    m_observer.status(TextId::StatusProcessing);
    while (!reader.atEnd()) {
        m_observer.progress(reader.lineCounter(), lineCount);
        const AdifReader::Result r = reader.next();
        if (r == AdifReader::Result::Empty)
            continue;
        if (r == AdifReader::Result::None)
            reportUnfinished(reader.leftover(), m_bad);
        if (r == AdifReader::Result::Record) {
            record.assign(reader.record(), reader.rawRecord());
            if (strayAfterRecord(reader, record, m_bad))
                continue;
            ++m_records;
            const LineComposer::Outcome o = m_composer->composeQso(record, line);
            if (o == LineComposer::Outcome::CallFiltered)
                ++m_filtered;
            if (o == LineComposer::Outcome::Dropped || o == LineComposer::Outcome::CallFiltered)
                continue;
            if (o == LineComposer::Outcome::Line) {
                m_lines.add(line, m_composer->lineKind());
                m_logMarks.add(reader.span());
            } else {
                ++m_filtered;
            }
        }
        if (m_stop.stopRequested()) {
            reader.close();
            return stopped(false);
        }
    }
    if (!m_logSource.utf16)
        m_logSource.read = reader.snapshot();
    m_observer.status(TextId::Count);
    return std::nullopt;
}

void RunPhases::readSwlReports()
{
    // No filters, and a stop takes effect as grouping starts (SWL files are small).
    if (!m_haveSwl)
        return;
    m_swlSource = readable(m_request.swl, "swl.adi");
    AdifReader reader(m_swlSource.text);
    if (m_request.marking.on && !m_swlSource.utf16)
        reader.keepSnapshot();
    reader.skipHeader();
    m_observer.status(TextId::StatusProcessingSwl);
    AdifRecord record;
    std::string line;
    while (reader.nextRecord(record)) {
        if (strayAfterRecord(reader, record, m_bad))
            continue;
        if (m_composer->composeSwl(record, line) == LineComposer::Outcome::Line) {
            m_lines.add(line, m_composer->lineKind());
            m_swlReports.add(reader.span());
        }
    }
    reportUnfinished(reader.leftover(), m_bad);
    if (!m_swlSource.utf16)
        m_swlSource.read = reader.snapshot();
}

RunPhases::Ending RunPhases::noData() const
{
    if (!m_lines.empty())
        return std::nullopt;
    if (m_records == 0)
        return said(RunOutcome::NoData, TextId::NoDataEmptyLog);
    if (m_filtered > 0)
        return said(RunOutcome::NoData, TextId::NoDataFiltered);
    return said(RunOutcome::NoData, TextId::NoDataUnreadable, {m_base.string()});
}

RunPhases::Ending RunPhases::writeDataSourceFiles()
{
    // Sorting a long log takes a while: said, and the bar of the passes before cleared.
    m_observer.progress(0, 0);
    m_observer.status(TextId::StatusGrouping);
    m_lines.sort();
    if (m_request.order == LabelOrder::Bureau)
        m_bureau = sortForBureau(m_lines, m_countries, m_request.ownCall, m_request.ownBundleLast);
    m_writer.emplace(m_base, m_format, m_request.labelSize, m_observer, m_stop);
    if (m_writer->write(m_lines, m_grouped, m_bureau ? &*m_bureau : nullptr) == DataSourceWriter::Result::Stopped)
        return stopped(false);
    m_observer.progress(0, 0);
    m_observer.status(TextId::Count);
    m_summary.base = m_base;
    // The packing list of this run's bundles; one of an earlier run in bureau order goes.
    if (m_bureau) {
        m_summary.packingList = packingListPath(m_base);
        writePackingList(m_summary.packingList, m_bureau->bundles, m_writer->labelsPerBundle());
        for (const std::size_t labels : m_writer->labelsPerBundle())
            m_summary.bundles += labels > 0;
    } else {
        removeOlderOutput(packingListPath(m_base));
    }
    // The bad-records file is complete: it is put in place before the marking, which a stop may end.
    m_summary.badRecords = !m_bad.clean();
    return std::nullopt;
}

RunResult RunPhases::draw()
{
    // The labels on the sheets, as a PDF beside the log; a stop keeps an older one, and the printer gets the
    // sheets only when the PDF is complete.
    auto labels = std::make_shared<RunLabels>(m_writer->columns(), m_lines, m_grouped, m_writer->stream());
    m_observer.status(TextId::StatusDrawing, {std::to_string(labels->count())});
    const std::filesystem::path pdf = drawnLabelsPath(m_base);
    std::error_code ec;
    const bool olderPdf = std::filesystem::is_regular_file(pdf, ec);
    const DrawnLabels drawn = m_drawer->draw(*labels, pdf, [&](std::size_t done, std::size_t pages) {
        m_observer.progress(done, pages);
        return !m_stop.stopRequested();
    });
    m_observer.progress(0, 0);
    m_observer.status(TextId::Count);
    if (!drawn.pdfMade)
        return said(RunOutcome::Stopped,
                    olderPdf ? TextId::ProcessStoppedNotDrawn : TextId::ProcessStoppedNotDrawnNoPdf, {pdf.string()});
    if (!drawn.complete && !drawn.printFailure)
        return said(RunOutcome::Stopped, TextId::ProcessStoppedNotPrinted, {pdf.string()});
    m_bad.finish();
    m_summary.pdfs = {pdf};
    m_summary.sheets = drawn.sheets;
    m_summary.printer = drawn.printer;
    m_summary.printedSheets = drawn.printedSheets;
    m_summary.printFailure = drawn.printFailure;
    m_summary.cuts = drawn.cuts;
    m_summary.emptyFields = drawn.emptyFields;
    m_summary.labels = std::move(labels);
    // Labels that did not reach the printer asked for are not sent: nothing is marked.
    if (m_summary.printFailure && m_request.marking.on)
        m_summary.notMarked = m_summary.printFailure;
    if (!m_summary.printFailure && !markSent())
        return stopped(true, std::move(m_summary));
    return finished(RunSummary::Kind::Drawn);
}

RunResult RunPhases::dataSourceFilesOnly()
{
    m_bad.finish();
    if (!markSent())
        return stopped(true);
    return finished(RunSummary::Kind::DataSourceFiles);
}

RunResult RunPhases::merge()
{
    // A stop ends the current pass and keeps the documents of the passes before it.
    MergePhase merge(m_request, m_observer, m_stop, *m_maker);
    MergePhase::Result merged = merge.run(m_base, m_writer->columns(), m_lines, m_grouped);
    m_observer.progress(0, 0);
    m_observer.status(TextId::Count);
    m_summary.made = std::move(merged.made);
    if (merged.ending == MergePhase::Ending::Stopped) // the documents of the passes before the stop are made
        return stopped(true, m_summary.made.empty() ? std::nullopt : std::optional<RunSummary>(std::move(m_summary)));
    m_summary.failed = std::move(merged.failed);
    m_summary.warnings = std::move(merged.warnings);
    m_bad.finish();
    if (merged.ending == MergePhase::Ending::Failed)
        return finished(RunSummary::Kind::MergeFailed);
    if (!markSent())
        return stopped(true, std::move(m_summary));
    if (m_request.pdf && !m_summary.made.empty()) {
        std::vector<std::filesystem::path> documents;
        for (const MadeLabels& m : m_summary.made)
            documents.push_back(m.document);
        try {
            m_summary.pdfs = m_maker->exportPdf(documents, [&](const std::string& file, int seconds) {
                m_observer.status(TextId::StatusLibreOffice, {file, std::to_string(seconds)});
                return !m_stop.stopRequested();
            });
        } catch (const LabelMakingStopped&) {
            return stopped(true, std::move(m_summary));
        } catch (const FailureError& e) {
            m_summary.pdfFailure = e.failure();
        }
    }
    return finished(RunSummary::Kind::Labels);
}

bool RunPhases::markSent()
{
    const SentMarking& marking = m_request.marking;
    if (!marking.on)
        return true;
    const auto [date, timestamp] = utcDateAndTimestamp();
    const auto stopAsked = [this] { return m_stop.stopRequested(); };
    std::vector<MarkedFile> marked;
    try {
        if (m_logMarks.size() > 0) {
            const auto n = m_logMarks.write(m_logSource, m_base, marking, date, timestamp, stopAsked);
            if (!n)
                return false;
            marked.push_back({SentMarks::sentPath(m_base), SentMarks::updatedPath(m_base), *n});
        }
        if (m_swlReports.size() > 0) {
            const auto n = m_swlReports.write(m_swlSource, m_swlMarks, marking, date, timestamp, stopAsked);
            if (!n)
                return false;
            marked.push_back({SentMarks::sentPath(m_swlMarks), SentMarks::updatedPath(m_swlMarks), *n});
        }
    } catch (const IoError& e) {
        if (e.failure().id != FailureId::LogChanged)
            throw;
        m_summary.notMarked = e.failure();
    }
    m_summary.marked = std::move(marked);
    return true;
}

RunResult RunPhases::finished(RunSummary::Kind kind)
{
    m_summary.kind = kind;
    RunResult r;
    r.outcome =
        m_summary.notMarked || m_summary.pdfFailure || m_summary.printFailure || kind == RunSummary::Kind::MergeFailed
            ? RunOutcome::Abandoned
            : RunOutcome::Done;
    r.summary = std::move(m_summary);
    return r;
}

} // namespace

RunResult ConversionRun::execute(const RunRequest& request, RunObserver& observer, const StopToken& stop)
{
    return RunPhases(request, observer, stop, m_maker, m_drawer, m_lines).run();
}

} // namespace cardmill
