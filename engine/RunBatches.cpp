#include "engine/RunPhases.h"

#include <algorithm>
#include <iterator>

#include "engine/Failure.h"
#include "engine/OutputFile.h"
#include "engine/RunObserver.h"

namespace cardmill::run_phases {

RunPhases::Ending RunPhases::writeDataSourceFiles()
{
    // Sorting a long log takes a while: said, and the bar of the passes before cleared.
    m_observer.progress(0, 0);
    m_observer.status(TextId::StatusGrouping);
    bool written = false;
    for (Batch& b : m_batches) {
        b.lines->sort();
        if (m_request.order != LabelOrder::Call && b.route == Route::Bureau)
            b.bureau = sortForBureau(*b.lines, m_countries, m_request.ownCall, m_request.ownBundleLast);
        b.writer = std::make_unique<DataSourceWriter>(b.base, m_format, m_request.labelSize, m_observer, m_stop);
        if (b.writer->write(*b.lines, b.grouped, b.bureau ? &*b.bureau : nullptr) == DataSourceWriter::Result::Stopped)
            return stopped(written);
        written = true;
    }
    m_observer.progress(0, 0);
    m_observer.status(TextId::Count);
    m_summary.base = m_base;
    // The packing list of this run's bundles; one of an earlier run in bureau order goes.
    const Batch& bureau = m_batches.front();
    if (m_reprint) {
        // A sheet drawn again leaves the run's packing list as it was.
    } else if (bureau.bureau && !(m_request.routed() && bureau.lines->empty())) {
        m_summary.packingList = packingListPath(m_base);
        writePackingList(m_summary.packingList, bureau.bureau->bundles, bureau.writer->labelsPerBundle());
        for (const std::size_t labels : bureau.writer->labelsPerBundle())
            m_summary.bundles += labels > 0;
    } else {
        removeOlderOutput(packingListPath(m_base));
    }
    if (m_request.routed())
        for (const Batch& b : m_batches)
            (b.route == Route::Direct ? m_summary.routes.directLabels : m_summary.routes.bureauLabels) =
                b.writer->stream().size();
    // The bad-records file is complete: it is put in place before the marking, which a stop may end.
    m_summary.badRecords = !m_bad.clean();
    return std::nullopt;
}

RunPhases::Ending RunPhases::drawBatch(LabelDrawer& drawer, const RunLabels& labels, const std::filesystem::path& pdf)
{
    // A stop keeps an older PDF, and the printer gets the sheets only when the PDF is complete.
    m_observer.status(TextId::StatusDrawing, {std::to_string(labels.count())});
    std::error_code ec;
    const bool olderPdf = std::filesystem::is_regular_file(pdf, ec);
    const DrawnLabels drawn = drawer.draw(labels, pdf, [&](std::size_t done, std::size_t pages) {
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
    m_summary.pdfs.push_back(pdf);
    m_summary.routes.drawn += labels.count();
    m_summary.sheets += drawn.sheets;
    if (!drawn.printer.empty())
        m_summary.printer = drawn.printer;
    m_summary.printedSheets += drawn.printedSheets;
    if (drawn.printFailure)
        m_summary.printFailure = drawn.printFailure;
    if (m_summary.cuts.labels == 0)
        m_summary.cuts = drawn.cuts;
    for (const std::string& field : drawn.emptyFields)
        if (std::find(m_summary.emptyFields.begin(), m_summary.emptyFields.end(), field) == m_summary.emptyFields.end())
            m_summary.emptyFields.push_back(field);
    return std::nullopt;
}

void RunPhases::writeJournal(const std::vector<MadeBatch>& made, std::size_t labelsPerSheet)
{
    if (!m_journal || m_reprint || (m_drawer && !m_drawer->makesLabels()))
        return; // a sheet drawn again is in the journal already; a preview before the run printed nothing
    std::vector<Journal::Label> entries;
    for (const MadeBatch& made1 : made) {
        const Batch& b = *made1.batch;
        const std::vector<StreamLabel> stream = b.writer->stream();
        for (std::size_t i = 0; i < stream.size(); ++i) {
            Journal::Label entry{b.route, made1.file, 0, i + 1, {}};
            if (labelsPerSheet > 0) { // where it lies: the sheets start at the first label chosen
                const std::size_t at = static_cast<std::size_t>(m_request.startLabelOf(b.route) - 1) + i;
                entry.sheet = at / labelsPerSheet + 1;
                entry.place = at % labelsPerSheet + 1;
            }
            const std::vector<std::uint32_t>& group = b.grouped[stream[i].size];
            for (std::size_t k = 0; k < std::max<std::size_t>(stream[i].size, 1); ++k)
                entry.keys.emplace_back(b.keys->of(b.lines->addedAt(group[stream[i].first + k])));
            entries.push_back(std::move(entry));
        }
    }
    m_journal->append(m_journal->nextRun(), utcDateAndTimestamp().first, entries);
}

RunResult RunPhases::draw()
{
    // The labels on the sheets, a PDF beside the log for each batch, and the direct cards' address labels in
    // the same order.
    std::vector<MadeBatch> made;
    // Batches a printer took before a stop or a refused print go into the journal all the same: they were
    // printed, and a later run must not print them again. Batches only drawn as a PDF do not: the run stopped,
    // and the next one makes them again.
    // Their QSOs are marked as well, even after a stop: were they not, no later run would mark them, as the
    // journal leaves them out. The ending then says what was printed and marked.
    const auto journalled = [&](RunResult result) {
        if (m_summary.printer.empty() || made.empty())
            return result;
        writeJournal(made, m_drawer->labelsPerSheet());
        if (m_request.marking.on)
            markPrinted(made, true);
        m_summary.kind = RunSummary::Kind::Drawn;
        result.summary = std::move(m_summary);
        return result;
    };
    for (const Batch& b : m_batches) {
        const bool addresses = b.route == Route::Direct && m_addressDrawer && !m_reprint;
        if (m_request.routed() && b.lines->empty()) {
            if (!m_reprint)
                removeOlderOutput(b.pdf); // an earlier run's sheets are not this run's
            if (addresses)
                removeOlderOutput(addressLabelsPath(m_base));
            continue;
        }
        auto labels = std::make_shared<RunLabels>(b.writer->columns(), *b.lines, b.grouped, b.writer->stream());
        m_drawer->startAt(m_request.startLabelOf(b.route));
        if (Ending e = drawBatch(*m_drawer, *labels, b.pdf))
            return journalled(*e);
        if (m_summary.printFailure)
            break; // these labels did not reach the printer
        made.push_back({&b, b.pdf});
        if (addresses) {
            if (Ending e = drawBatch(*m_addressDrawer, *labels, addressLabelsPath(m_base)))
                return journalled(*e);
            m_summary.routes.addressLabels = labels->count();
        }
        if (m_request.routed()) {
            m_summary.drawnBatches.push_back({b.route, false, labels, b.pdf});
            if (addresses)
                m_summary.drawnBatches.push_back({b.route, true, labels, addressLabelsPath(m_base)});
        }
        if (!m_summary.labels)
            m_summary.labels = std::move(labels);
        if (m_summary.printFailure)
            break;
    }
    m_bad.finish();
    writeJournal(made, m_drawer->labelsPerSheet());
    // Labels that did not reach the printer asked for are not sent: their QSOs are not marked. With routes, the
    // batches a printer took before are sent, and journalled: their QSOs are marked all the same.
    if (m_summary.printFailure && m_request.marking.on) {
        if (m_request.routed() && !made.empty()) {
            if (!markPrinted(made, false))
                return stopped(true, std::move(m_summary));
        } else {
            m_summary.notMarked = m_summary.printFailure;
        }
    }
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
    MergePhase::Result merged;
    std::vector<MadeBatch> made;
    for (const Batch& b : m_batches) {
        if (m_request.routed() && b.lines->empty())
            continue;
        RunRequest request = m_request; // each batch from its own first label
        request.startLabel = m_request.startLabelOf(b.route);
        MergePhase merge(request, m_observer, m_stop, *m_maker);
        MergePhase::Result batch = merge.run(b.base, b.writer->columns(), *b.lines, b.grouped);
        std::move(batch.made.begin(), batch.made.end(), std::back_inserter(merged.made));
        std::move(batch.failed.begin(), batch.failed.end(), std::back_inserter(merged.failed));
        std::move(batch.warnings.begin(), batch.warnings.end(), std::back_inserter(merged.warnings));
        merged.ending = batch.ending;
        if (batch.ending != MergePhase::Ending::Done)
            break;
        made.push_back({&b, b.base});
        // The direct cards' address labels, drawn on their own stock.
        if (b.route == Route::Direct && m_addressDrawer) {
            const RunLabels labels(b.writer->columns(), *b.lines, b.grouped, b.writer->stream());
            if (Ending e = drawBatch(*m_addressDrawer, labels, addressLabelsPath(m_base)))
                return *e;
            m_summary.routes.addressLabels = labels.count();
            // Said with the routes: the run's PDFs are those of its label documents.
            m_summary.routes.addressPdf = m_summary.pdfs.back();
            m_summary.pdfs.pop_back();
        }
    }
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
    writeJournal(made, 0);
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

bool RunPhases::markPrinted(const std::vector<MadeBatch>& printed, bool evenAfterStop)
{
    std::string vias;
    for (const MadeBatch& m : printed)
        vias.push_back(sentViaLetter(m.batch->route));
    m_logMarks.keepOnly(vias);
    m_swlReports.keepOnly(vias);
    return markSent(evenAfterStop);
}

bool RunPhases::markSent(bool evenAfterStop)
{
    const SentMarking& marking = m_request.marking;
    if (!marking.on)
        return true;
    const auto [date, timestamp] = utcDateAndTimestamp();
    const auto stopAsked = [this, evenAfterStop] { return !evenAfterStop && m_stop.stopRequested(); };
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

} // namespace cardmill::run_phases
