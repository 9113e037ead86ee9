#include "engine/ConversionRun.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/LineReader.h"
#include "engine/OutputFile.h"
#include "engine/RunInputs.h"
#include "engine/RunObserver.h"
#include "engine/RunPhases.h"
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

RunResult abandoned(Failure failure)
{
    RunResult r;
    r.outcome = RunOutcome::Abandoned;
    r.failure = std::move(failure);
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

ConversionRun::ConversionRun(LabelMaker* maker, LabelDrawer* drawer, LabelDrawer* addressDrawer)
    : m_maker(maker)
    , m_drawer(drawer)
    , m_addressDrawer(addressDrawer)
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

namespace run_phases {

RunResult said(RunOutcome outcome, const RunMessage& message)
{
    RunResult r;
    r.outcome = outcome;
    r.message = message;
    return r;
}

RunResult said(RunOutcome outcome, TextId id, std::vector<std::string> args)
{
    return said(outcome, RunMessage{id, std::move(args)});
}

RunResult stopped(bool dataWritten, std::optional<RunSummary> summary)
{
    RunResult r = said(RunOutcome::Stopped, dataWritten ? TextId::ProcessStopped : TextId::ProcessStoppedNoData);
    r.summary = std::move(summary);
    return r;
}

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
    if (m_request.order != LabelOrder::Call) {
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
    if (m_request.routed())
        lockedBases.push_back(directBase(m_base));
    // The journal is read with the lock held, so that two runs never print the same QSO.
    const std::filesystem::path& journal = m_request.routes.journal;
    if (m_request.routed() && m_request.routes.reprintSheet && journal.empty())
        return said(RunOutcome::Refused, TextId::NoSuchSheet,
                    {std::to_string(m_request.routes.reprintSheet->sheet),
                     std::to_string(m_request.routes.reprintSheet->run), std::string()});
    if (m_request.routed() && !journal.empty()) {
        std::error_code ec;
        if (!journal.parent_path().empty()) // the journal's folder, beside the settings, may be new
            std::filesystem::create_directories(journal.parent_path(), ec);
        lockedBases.push_back(journal);
    }
    m_lock = RunLock::take(lockedBases);
    if (!m_lock)
        return said(RunOutcome::Locked, TextId::RunUnderWay, {m_request.log.string()});
    std::vector<std::filesystem::path> outputs = runOutputs(m_base);
    if (m_request.routed()) {
        // The direct batch's own files; those the two batches share (the table document) are one output.
        for (const std::filesystem::path& p : runOutputs(directBase(m_base)))
            if (std::none_of(outputs.begin(), outputs.end(),
                             [&](const std::filesystem::path& o) { return files::sameName(o, p); }))
                outputs.push_back(p);
        outputs.insert(outputs.end(), {routeLabelsPath(m_base, Route::Bureau), routeLabelsPath(m_base, Route::Direct),
                                       addressLabelsPath(m_base), routeListPath(m_base)});
        for (const std::filesystem::path& p : runOutputs(files::withSuffix(m_base, "_reprint")))
            if (std::none_of(outputs.begin(), outputs.end(),
                             [&](const std::filesystem::path& o) { return files::sameName(o, p); }))
                outputs.push_back(p);
    }
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
    if (m_request.routed() && !journal.empty()) {
        m_journal = Journal::read(journal);
        m_summary.routes.journal = journal;
        m_summary.routes.journalTorn = m_journal->torn();
        if (const auto& asked = m_request.routes.reprintSheet) {
            m_reprint = Journal::findSheet(journal, asked->run, asked->sheet, asked->route);
            if (m_reprint->keys.empty())
                return said(RunOutcome::Refused, TextId::NoSuchSheet,
                            {std::to_string(asked->sheet), std::to_string(asked->run), journal.string()});
            m_reprintKeys.insert(m_reprint->keys.begin(), m_reprint->keys.end());
        } else if (!m_drawer || m_drawer->makesLabels()) {
            // A journal that cannot be written is said before anything is printed. A sheet drawn again adds
            // nothing to it, and a preview writes none.
            m_journal->prepare();
        }
    }
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
    for (LabelDrawer* drawer : {m_drawer, m_addressDrawer})
        if (drawer)
            for (const std::string& field : drawer->fields())
                if (!isFixedColumn(field) && std::find(m_format.userFields.begin(), m_format.userFields.end(), field) ==
                                                 m_format.userFields.end())
                    m_format.userFields.push_back(field);
    m_composer.emplace(m_format, m_filters, m_bad);
    // The batches the labels go out in.
    if (m_reprint) {
        const std::filesystem::path base = files::withSuffix(m_base, "_reprint");
        m_batches.push_back(
            {m_reprint->route, &m_lines, &m_bureauKeys, base, files::withSuffix(base, ".pdf"), {}, {}, {}});
    } else if (!m_request.routed()) {
        m_batches.push_back({Route::Bureau, &m_lines, nullptr, m_base, drawnLabelsPath(m_base), {}, {}, {}});
    } else {
        m_batches.push_back(
            {Route::Bureau, &m_lines, &m_bureauKeys, m_base, routeLabelsPath(m_base, Route::Bureau), {}, {}, {}});
        m_batches.push_back({Route::Direct,
                             &m_direct,
                             &m_directKeys,
                             directBase(m_base),
                             routeLabelsPath(m_base, Route::Direct),
                             {},
                             {},
                             {}});
    }
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
            record.assign(reader.record(), reader.rawRecord(), reader.recordJoins());
            if (strayAfterRecord(reader, record, m_bad))
                continue;
            ++m_records;
            const LineComposer::Outcome o = m_composer->composeQso(record, line);
            if (o == LineComposer::Outcome::CallFiltered)
                ++m_filtered;
            if (o == LineComposer::Outcome::Dropped || o == LineComposer::Outcome::CallFiltered)
                continue;
            if (o == LineComposer::Outcome::Line)
                place(record, line, m_composer->lineKind(), reader.span(), m_logMarks);
            else
                ++m_filtered;
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
        if (m_composer->composeSwl(record, line) == LineComposer::Outcome::Line)
            place(record, line, m_composer->lineKind(), reader.span(), m_swlReports);
    }
    reportUnfinished(reader.leftover(), m_bad);
    if (!m_swlSource.utf16)
        m_swlSource.read = reader.snapshot();
}

void RunPhases::place(const AdifRecord& record, std::string_view line, LineKind kind, AdifReader::Span span,
                      SentMarks& marks)
{
    const RouteChoice& routes = m_request.routes;
    if (!m_request.routed()) {
        m_lines.add(line, kind);
        marks.add(span);
        return;
    }
    std::string key;
    if (m_reprint) { // only the QSOs of the sheet drawn again, as they went then, and no mark
        key = journalKey(record);
        if (m_reprintKeys.count(key))
            m_lines.add(line, kind);
        return;
    }
    if (m_journal) {
        key = journalKey(record);
        if (m_journal->has(key) && !routes.reprint) {
            ++m_leftOut; // printed before: out of the whole run, as a filter leaves it
            return;
        }
    }
    const RouteDecision decision = decideRoute(record, routes.fallback);
    Route route = decision.route;
    if (decision.unclearVia)
        m_routeList.add(line, RouteList::Why::UnclearVia);
    if (route == Route::Direct && text::trim(record.declared("ADDRESS").value).empty()) {
        route = routes.noAddress == Route::Held ? Route::Held : Route::Bureau;
        m_routeList.add(line, route == Route::Held ? RouteList::Why::NoAddressHeld : RouteList::Why::NoAddressByBureau);
    }
    if (route == Route::Electronic)
        m_routeList.add(line, RouteList::Why::Electronic);
    if (route != Route::Bureau && route != Route::Direct)
        return; // no card, and no mark
    SortedLines& batch = route == Route::Direct ? m_direct : m_lines;
    if (m_journal)
        (route == Route::Direct ? m_directKeys : m_bureauKeys).add(batch.nextAddedAt(), key);
    batch.add(line, kind);
    marks.add(span, sentViaLetter(route));
}

void RunPhases::listRoutes()
{
    if (!m_request.routed())
        return;
    RouteSummary& routes = m_summary.routes;
    routes.on = true;
    routes.electronic = m_routeList.count(RouteList::Why::Electronic);
    routes.held = m_routeList.count(RouteList::Why::NoAddressHeld);
    routes.noAddressByBureau = m_routeList.count(RouteList::Why::NoAddressByBureau);
    routes.unclearVia = m_routeList.count(RouteList::Why::UnclearVia);
    routes.leftOut = m_leftOut;
    if (!m_reprint)
        m_routeList.write(routeListPath(m_base));
    if (!m_routeList.empty())
        routes.list = routeListPath(m_base);
}

RunPhases::Ending RunPhases::noData() const
{
    if (!m_lines.empty() || !m_direct.empty())
        return std::nullopt;
    if (m_records == 0)
        return said(RunOutcome::NoData, TextId::NoDataEmptyLog);
    if (m_leftOut > 0)
        return said(RunOutcome::NoData, TextId::NothingNew, {std::to_string(m_leftOut), m_journal->path().string()});
    if (m_filtered > 0 || !m_routeList.empty())
        return said(RunOutcome::NoData, TextId::NoDataFiltered);
    return said(RunOutcome::NoData, TextId::NoDataUnreadable, {m_base.string()});
}

} // namespace run_phases

RunResult ConversionRun::execute(const RunRequest& request, RunObserver& observer, const StopToken& stop)
{
    return run_phases::RunPhases(request, observer, stop, m_maker, m_drawer, m_addressDrawer, m_lines).run();
}

} // namespace cardmill
