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

RunResult ConversionRun::execute(const RunRequest& request, RunObserver& observer, const StopToken& stop)
{
    const std::filesystem::path& log = request.log;
    if (log.empty())
        return said(RunOutcome::Refused, TextId::NoSourceFile);
    LabelDrawer* const drawer = request.merge && request.sheet.chosen() ? m_drawer : nullptr;
    LabelMaker* const maker = request.merge && !request.sheet.chosen() ? m_maker : nullptr;
    if (request.merge && request.sheet.chosen() && !drawer)
        return said(RunOutcome::Refused, TextId::NoLabelDrawing);
    std::vector<std::filesystem::path> inputs{log};
    if (maker) {
        if (request.mainDocument.empty())
            return said(RunOutcome::Refused, TextId::NoMainDocument);
        if (const auto problem = checkInputFile(request.mainDocument, TextId::MainDocumentMissing))
            return said(RunOutcome::Refused, *problem);
        for (int k = 0; k <= 10; ++k)
            inputs.push_back(mainDocumentForPass(request.mainDocument, PassSelector{k}));
    }

    m_lines.clear();
    const std::filesystem::path base = baseOf(log);
    // Nothing is written before the inputs are known to be files, and not files this run would write.
    if (const auto problem = checkInputFile(log, TextId::LogNotFound))
        return said(RunOutcome::Refused, *problem);
    const std::filesystem::path& swl = request.swl;
    const bool haveSwl = !swl.empty() && std::filesystem::exists(swl);
    if (haveSwl) {
        if (const auto problem = checkInputFile(swl, TextId::LogNotFound))
            return said(RunOutcome::Refused, *problem);
        inputs.push_back(swl);
    }
    const SentMarking marking = request.marking;
    // Bureau order needs the country file.
    CountryFile countries;
    if (request.order == LabelOrder::Bureau) {
        std::error_code ec;
        if (request.countryFile.empty() || !std::filesystem::is_regular_file(request.countryFile, ec))
            return said(RunOutcome::Refused, TextId::BureauNeedsCountryFile,
                        {request.countryFile.parent_path().string()});
        countries = CountryFile::load(request.countryFile);
    }
    // The SWL file's marks go after a <base> of their own when it is the log's.
    const std::filesystem::path swlMarks = haveSwl ? swlMarksBase(baseOf(swl), base) : std::filesystem::path();
    // One run at a time writes the files of a <base> (two logs "log.adi" and "log.adif" share them), and those
    // of the SWL file's marks when it marks that file.
    std::vector<std::filesystem::path> lockedBases{base};
    if (haveSwl && marking.on)
        lockedBases.push_back(swlMarks);
    const std::unique_ptr<RunLock> lock = RunLock::take(lockedBases);
    if (!lock)
        return said(RunOutcome::Locked, TextId::RunUnderWay, {log.string()});
    std::vector<std::filesystem::path> outputs = runOutputs(base);
    if (haveSwl) {
        outputs.push_back(SentMarks::sentPath(swlMarks));
        outputs.push_back(SentMarks::updatedPath(swlMarks));
    }
    for (const std::filesystem::path& p : lock->paths())
        if (std::find(outputs.begin(), outputs.end(), p) == outputs.end())
            outputs.push_back(p);
    if (const auto problem = outputTwice(outputs))
        return said(RunOutcome::Refused, *problem);
    if (const auto problem = inputAmongOutputs(inputs, outputs))
        return said(RunOutcome::Refused, *problem);
    removeLeftovers(log.parent_path().empty() ? files::pathFromUtf8(".") : log.parent_path());
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
        source.text = work.path() / files::pathFromUtf8(name);
        source.read = convertUtf16ToUtf8(file, source.text);
        return source;
    };
    MarkSource logSource = readable(log, "log.adi");
    const std::size_t lineCount = countLines(logSource.text);
    observer.progress(0, lineCount);

    const QsoFilters filters(request.filters);
    LineComposer composer(request.format, filters, bad);

    // The QSO pass. What became of the records tells, when no line is made, why. Where the records that get a
    // line lie in the file is kept, to mark them as sent when the run has made their labels.
    std::size_t records = 0, filtered = 0;
    SentMarks logMarks, swlReports;
    MarkSource swlSource;
    {
        AdifReader reader(logSource.text);
        if (marking.on && !logSource.utf16)
            reader.keepSnapshot();
        reader.skipHeader();
        AdifRecord record;
        std::string line;
        observer.status(TextId::StatusProcessing);
        while (!reader.atEnd()) {
            observer.progress(reader.lineCounter(), lineCount);
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
                    m_lines.add(line, composer.lineKind());
                    logMarks.add(reader.span());
                } else
                    ++filtered;
            }
            if (stop.stopRequested()) {
                reader.close();
                return stopped(false);
            }
        }
        if (!logSource.utf16)
            logSource.read = reader.snapshot();
    }
    observer.status(TextId::Count);

    // The SWL pass: no filters, and a stop takes effect as grouping starts (SWL files are small).
    if (haveSwl) {
        swlSource = readable(swl, "swl.adi");
        AdifReader reader(swlSource.text);
        if (marking.on && !swlSource.utf16)
            reader.keepSnapshot();
        reader.skipHeader();
        observer.status(TextId::StatusProcessingSwl);
        AdifRecord record;
        std::string line;
        while (reader.nextRecord(record)) {
            if (strayAfterRecord(reader, record, bad))
                continue;
            if (composer.composeSwl(record, line) == LineComposer::Outcome::Line) {
                m_lines.add(line, composer.lineKind());
                swlReports.add(reader.span());
            }
        }
        reportUnfinished(reader.leftover(), bad);
        if (!swlSource.utf16)
            swlSource.read = reader.snapshot();
    }

    if (m_lines.empty()) {
        if (records == 0)
            return said(RunOutcome::NoData, TextId::NoDataEmptyLog);
        if (filtered > 0)
            return said(RunOutcome::NoData, TextId::NoDataFiltered);
        return said(RunOutcome::NoData, TextId::NoDataUnreadable, {base.string()});
    }

    m_lines.sort();
    std::optional<BureauSorting> bureau;
    if (request.order == LabelOrder::Bureau)
        bureau = sortForBureau(m_lines, countries, request.ownCall, request.ownBundleLast);
    GroupedLines grouped;
    DataSourceWriter writer(base, request.format, request.labelSize, observer, stop);
    if (writer.write(m_lines, grouped, bureau ? &*bureau : nullptr) == DataSourceWriter::Result::Stopped)
        return stopped(false);
    observer.progress(0, 0);
    observer.status(TextId::Count);

    RunSummary summary;
    summary.base = base;
    // The packing list of this run's bundles; one of an earlier run in bureau order goes.
    if (bureau) {
        summary.packingList = packingListPath(base);
        writePackingList(summary.packingList, bureau->bundles, writer.labelsPerBundle());
        for (const std::size_t labels : writer.labelsPerBundle())
            summary.bundles += labels > 0;
    } else {
        removeOlderOutput(packingListPath(base));
    }
    // Marks the labelled QSOs as sent, when the user asks for it, once everything else has succeeded. A stop
    // writes neither file; a file that changed since it was read is marked in neither. False when stopped.
    auto markSent = [&] {
        if (!marking.on)
            return true;
        const auto [date, timestamp] = utcDateAndTimestamp();
        const auto stopAsked = [&stop] { return stop.stopRequested(); };
        std::vector<MarkedFile> marked;
        try {
            if (logMarks.size() > 0) {
                const auto n = logMarks.write(logSource, base, marking, date, timestamp, stopAsked);
                if (!n)
                    return false;
                marked.push_back({SentMarks::sentPath(base), SentMarks::updatedPath(base), *n});
            }
            if (swlReports.size() > 0) {
                const auto n = swlReports.write(swlSource, swlMarks, marking, date, timestamp, stopAsked);
                if (!n)
                    return false;
                marked.push_back({SentMarks::sentPath(swlMarks), SentMarks::updatedPath(swlMarks), *n});
            }
        } catch (const IoError& e) {
            if (e.failure().id != FailureId::LogChanged)
                throw;
            summary.notMarked = e.failure();
        }
        summary.marked = std::move(marked);
        return true;
    };
    auto finished = [&](RunSummary::Kind kind) {
        summary.kind = kind;
        RunResult r;
        r.outcome =
            summary.notMarked || summary.pdfFailure || summary.printFailure || kind == RunSummary::Kind::MergeFailed
                ? RunOutcome::Abandoned
                : RunOutcome::Done;
        r.summary = std::move(summary);
        return r;
    };
    // The bad-records file is complete: it is put in place before the marking, which a stop may end.
    summary.badRecords = !bad.clean();
    if (drawer) {
        // The labels on the sheets, as a PDF beside the log; a stop keeps an older one, and the printer gets
        // the sheets only when the PDF is complete.
        auto labels = std::make_shared<RunLabels>(writer.columns(), m_lines, grouped, writer.stream());
        observer.status(TextId::StatusDrawing, {std::to_string(labels->count())});
        const std::filesystem::path pdf = drawnLabelsPath(base);
        std::error_code ec;
        const bool olderPdf = std::filesystem::is_regular_file(pdf, ec);
        const DrawnLabels drawn = drawer->draw(*labels, pdf, [&](std::size_t done, std::size_t pages) {
            observer.progress(done, pages);
            return !stop.stopRequested();
        });
        observer.progress(0, 0);
        observer.status(TextId::Count);
        if (!drawn.pdfMade)
            return said(RunOutcome::Stopped,
                        olderPdf ? TextId::ProcessStoppedNotDrawn : TextId::ProcessStoppedNotDrawnNoPdf,
                        {pdf.string()});
        if (!drawn.complete && !drawn.printFailure)
            return said(RunOutcome::Stopped, TextId::ProcessStoppedNotPrinted, {pdf.string()});
        bad.finish();
        summary.pdfs = {pdf};
        summary.sheets = drawn.sheets;
        summary.printer = drawn.printer;
        summary.printedSheets = drawn.printedSheets;
        summary.printFailure = drawn.printFailure;
        summary.cuts = drawn.cuts;
        summary.labels = std::move(labels);
        // Labels that did not reach the printer asked for are not sent: nothing is marked.
        if (summary.printFailure && marking.on)
            summary.notMarked = summary.printFailure;
        if (!summary.printFailure && !markSent())
            return stopped(true, std::move(summary));
        return finished(RunSummary::Kind::Drawn);
    }
    if (!maker) {
        bad.finish();
        if (!markSent())
            return stopped(true);
        return finished(RunSummary::Kind::DataSourceFiles);
    }

    // A stop ends the current pass and keeps the documents of the passes before it.
    MergePhase merge(request, observer, stop, *maker);
    MergePhase::Result merged = merge.run(base, writer.columns(), m_lines, grouped);
    observer.progress(0, 0);
    observer.status(TextId::Count);
    summary.made = std::move(merged.made);
    if (merged.ending == MergePhase::Ending::Stopped) // the documents of the passes before the stop are made
        return stopped(true, summary.made.empty() ? std::nullopt : std::optional<RunSummary>(std::move(summary)));
    summary.failed = std::move(merged.failed);
    summary.warnings = std::move(merged.warnings);
    bad.finish();
    if (merged.ending == MergePhase::Ending::Failed)
        return finished(RunSummary::Kind::MergeFailed);
    if (!markSent())
        return stopped(true, std::move(summary));
    if (request.pdf && !summary.made.empty()) {
        std::vector<std::filesystem::path> documents;
        for (const MadeLabels& m : summary.made)
            documents.push_back(m.document);
        try {
            summary.pdfs = maker->exportPdf(documents, [&](const std::string& file, int seconds) {
                observer.status(TextId::StatusLibreOffice, {file, std::to_string(seconds)});
                return !stop.stopRequested();
            });
        } catch (const LabelMakingStopped&) {
            return stopped(true, std::move(summary));
        } catch (const FailureError& e) {
            summary.pdfFailure = e.failure();
        }
    }
    return finished(RunSummary::Kind::Labels);
}

} // namespace cardmill
