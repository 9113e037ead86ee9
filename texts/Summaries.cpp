// The closing texts of a run in both languages: what was made, the failures, the notes about main documents,
// and the messages each program shows when a run has ended.
#include <algorithm>
#include <set>

#include "engine/LabelDrawer.h"
#include "texts/RouteTexts.h"
#include "texts/Texts.h"

namespace cardmill {

namespace {

// Polish nouns take one of three forms after a number: 1, 2-4 (but not 12-14), and the rest.
std::string_view polishPlural(std::size_t n, std::string_view one, std::string_view few, std::string_view many)
{
    if (n == 1)
        return one;
    const std::size_t tens = n % 100, units = n % 10;
    return (units >= 2 && units <= 4 && (tens < 12 || tens > 14)) ? few : many;
}

std::string qsos(int k, Language language)
{
    if (language == Language::Polish)
        return std::to_string(k) + " QSO";
    return std::to_string(k) + (k == 1 ? " QSO" : " QSOs");
}

// "94 labels of 3 QSOs, 12 of 1 QSO, 8 SWL labels": the sizes from the largest down, then SWL labels.
std::string labelCounts(const std::vector<MadeLabels>& made, Language language)
{
    const bool pl = language == Language::Polish;
    auto labels = [pl](std::size_t n) {
        return std::string(pl ? polishPlural(n, " nalepka", " nalepki", " nalepek") : (n == 1 ? " label" : " labels"));
    };
    std::vector<const MadeLabels*> sizes;
    const MadeLabels* swl = nullptr;
    for (const MadeLabels& m : made) {
        if (m.pass.isSwl())
            swl = &m;
        else
            sizes.push_back(&m);
    }
    std::sort(sizes.begin(), sizes.end(),
              [](const MadeLabels* a, const MadeLabels* b) { return a->pass.size > b->pass.size; });
    std::string out;
    for (const MadeLabels* m : sizes) {
        const bool first = out.empty();
        out += (first ? "" : ", ") + std::to_string(m->labels) + (first ? labels(m->labels) : std::string());
        out += (pl ? " po " : " of ") + qsos(m->pass.size, language);
    }
    if (swl)
        out += (out.empty() ? "" : ", ") + std::to_string(swl->labels) +
               (pl ? labels(swl->labels) + " SWL" : (swl->labels == 1 ? " SWL label" : " SWL labels"));
    return out;
}

// The folder of the documents and their names as a pattern: "sp3kxq_labels_*.docx".
std::pair<std::string, std::string> documentPlace(const std::vector<std::filesystem::path>& documents)
{
    std::set<std::string> folders, patterns;
    for (const std::filesystem::path& document : documents) {
        std::error_code ec;
        const std::filesystem::path full = std::filesystem::absolute(document, ec);
        folders.insert((ec ? document : full).parent_path().string());
        const std::string name = document.filename().string();
        const std::size_t at = name.rfind("_labels_");
        const std::size_t dot = name.rfind('.');
        patterns.insert(at == std::string::npos || dot == std::string::npos || dot < at
                            ? name
                            : name.substr(0, at + 8) + "*" + name.substr(dot));
    }
    std::string folder, pattern;
    for (const std::string& f : folders)
        folder += (folder.empty() ? "" : ", ") + f;
    for (const std::string& p : patterns)
        pattern += (pattern.empty() ? "" : ", ") + p;
    return {folder, pattern};
}

std::pair<std::string, std::string> documentPlace(const std::vector<MadeLabels>& made)
{
    std::vector<std::filesystem::path> documents;
    for (const MadeLabels& m : made)
        documents.push_back(m.document);
    return documentPlace(documents);
}

// What follows the labels made, each after a line break: the PDFs, the files marked as sent ("4 QSOs marked as
// sent in ..."), or why they were not made.
std::string followingLines(const RunSummary& summary, Language language)
{
    const std::vector<MarkedFile>& marked = summary.marked;
    std::string lines;
    if (summary.routes.on)
        lines += "\n" + routeSummaryText(summary, language);
    if (!summary.packingList.empty())
        lines += "\n" + textFor(TextId::PackingList, language,
                                {std::to_string(summary.bundles), summary.packingList.string()});
    if (!summary.pdfs.empty() && summary.kind != RunSummary::Kind::Drawn) // drawn labels name their PDF first
        lines += "\n" + textFor(TextId::PdfsMade, language, documentPlace(summary.pdfs).second);
    if (summary.pdfFailure)
        lines += "\n" + failureText(*summary.pdfFailure, language);
    if (summary.notMarked)
        lines += "\n" + textFor(TextId::NothingMarked, language, failureText(*summary.notMarked, language));
    for (const MarkedFile& m : marked) {
        const std::string count =
            std::to_string(m.qsos) + (language == Language::Polish ? " QSO" : (m.qsos == 1 ? " QSO" : " QSOs"));
        lines += "\n" + textFor(TextId::QsosMarkedSent, language, {count, m.sent.string(), m.updated.string()});
    }
    return lines;
}

} // namespace

namespace {

// A failure's text, and whether it names the path and holds the detail.
struct FailureShape {
    TextId text;
    bool path = true;
    bool detail = false;
    bool name = false; // the name comes after the path, before the detail
};

constexpr FailureShape shapeOf(FailureId id)
{
    using F = FailureId;
    switch (id) {
    case F::Other: return {TextId::FailureOther, false, true};
    case F::ReadFolder: return {TextId::FailureReadFolder};
    case F::OpenFile: return {TextId::FailureOpenFile};
    case F::ReadFile: return {TextId::FailureReadFile};
    case F::CreateFile: return {TextId::FailureCreateFile};
    case F::WriteFile: return {TextId::FailureWriteFile};
    case F::FolderInTheWay: return {TextId::FailureFolderInTheWay};
    case F::MakeLock: return {TextId::FailureMakeLock};
    case F::Lock: return {TextId::FailureLock};
    case F::MakeWorkFolder: return {TextId::FailureMakeWorkFolder};
    case F::NotEnoughMemory: return {TextId::FailureNotEnoughMemory};
    case F::MainDocumentMissing: return {TextId::FailureMainDocumentMissing};
    case F::MainDocumentNotADocument: return {TextId::FailureMainDocumentNotADocument};
    case F::MainDocumentWrongKind: return {TextId::FailureMainDocumentWrongKind};
    case F::MainDocumentNeedsLibreOffice: return {TextId::FailureMainDocumentNeedsLibreOffice};
    case F::MainDocumentUnreadable: return {TextId::FailureMainDocumentUnreadable};
    case F::MainDocumentConversion: return {TextId::FailureMainDocumentConversion};
    case F::MergeFailed: return {TextId::FailureMergeFailed};
    case F::MergeMemory: return {TextId::FailureMergeMemory};
    case F::TableDocument: return {TextId::FailureTableDocument};
    case F::LabelDocument: return {TextId::FailureLabelDocument};
    case F::PdfNeedsLibreOffice: return {TextId::FailurePdfNeedsLibreOffice, false, true};
    case F::PdfFailed: return {TextId::FailurePdfFailed};
    case F::SettingsRead: return {TextId::FailureSettingsRead};
    case F::SettingsWrite: return {TextId::FailureSettingsWrite};
    case F::LogChanged: return {TextId::FailureLogChanged};
    case F::RecordsLeftOut: return {TextId::FailureRecordsLeftOut, true, true};
    case F::PrinterMissing: return {TextId::FailurePrinterMissing, false, true};
    case F::PrinterRefusing: return {TextId::FailurePrinterRefusing, false, true, true};
    case F::PrintRefused: return {TextId::FailurePrintRefused, false, true, true};
    case F::JournalNotOurs: return {TextId::FailureJournalNotOurs};
    }
    return {TextId::FailureOther, false, true};
}

} // namespace

std::string failureText(const Failure& failure, Language language)
{
    if (failure.id == FailureId::PrinterMissing && failure.detail.empty())
        return textFor(TextId::FailureNoDefaultPrinter, language);
    // A detail the text does not hold follows it in parentheses.
    const FailureShape shape = shapeOf(failure.id);
    std::vector<std::string> args;
    if (shape.path)
        args.push_back(failure.path.string());
    if (shape.name)
        args.push_back(failure.name);
    if (shape.detail)
        args.push_back(failure.detail);
    std::string text = textFor(shape.text, language, args);
    if (!shape.detail && !failure.detail.empty())
        text += " (" + failure.detail + ")";
    return text;
}

std::string warningsText(const RunSummary& summary, Language language)
{
    std::string text;
    for (const MergeWarning& w : summary.warnings) {
        const std::string document = w.document.filename().string();
        std::string fields;
        for (const std::string& f : w.fields)
            fields += (fields.empty() ? "" : ", ") + f;
        TextId id = TextId::WarningNoNextRecord;
        std::vector<std::string> args{document, fields};
        switch (w.kind) {
        case MergeWarning::Kind::UnknownFields: id = TextId::WarningUnknownFields; break;
        case MergeWarning::Kind::NoMergeFields: id = TextId::WarningNoMergeFields; break;
        case MergeWarning::Kind::NoNextRecord: break;
        case MergeWarning::Kind::StartLabelUnusable: id = TextId::WarningStartLabelUnusable; break;
        case MergeWarning::Kind::StartLabelBeyondSheet:
            id = TextId::WarningStartBeyondSheet;
            args = {document, std::to_string(w.places)};
            break;
        }
        text += (text.empty() ? "" : "\n") + textFor(id, language, args);
    }
    return text;
}

std::string summaryText(const RunSummary& summary, Language language)
{
    const std::string base = summary.base.string();
    std::string text;
    switch (summary.kind) {
    case RunSummary::Kind::DataSourceFiles: {
        const std::string written =
            textFor(summary.badRecords ? TextId::AllWrittenWithBadRecords : TextId::AllWritten, language, base);
        if (summary.marked.empty())
            return written;
        // The marked files go between the first sentence and the one about bad records.
        const std::size_t lineEnd = written.find('\n');
        text = written.substr(0, lineEnd) + followingLines(summary, language);
        return lineEnd == std::string::npos ? text : text + written.substr(lineEnd);
    }
    case RunSummary::Kind::Labels: {
        const auto [folder, pattern] = documentPlace(summary.made);
        text = textFor(TextId::LabelsReady, language, {labelCounts(summary.made, language), folder, pattern});
        break;
    }
    case RunSummary::Kind::Drawn: {
        std::size_t labels = summary.labels ? summary.labels->count() : 0;
        std::string pdfs = summary.pdfs.empty() ? std::string() : summary.pdfs.front().string();
        if (summary.routes.on) { // a PDF for each batch and the address labels
            const RouteSummary& r = summary.routes;
            labels = r.drawn; // what the PDFs hold, not what was meant to go: a refused print ends the drawing
            for (std::size_t i = 1; i < summary.pdfs.size(); ++i)
                pdfs += ", " + summary.pdfs[i].string();
        }
        text = textFor(TextId::LabelsDrawn, language, {pdfs, std::to_string(labels), std::to_string(summary.sheets)});
        if (summary.printFailure) {
            if (!summary.notMarked) // else said with what was not marked
                text += "\n" + failureText(*summary.printFailure, language) + ".";
        } else if (!summary.printer.empty()) {
            text += "\n" +
                    textFor(TextId::SheetsPrinted, language, {summary.printer, std::to_string(summary.printedSheets)});
        }
        if (!summary.emptyFields.empty()) {
            std::string fields;
            for (const std::string& f : summary.emptyFields)
                fields += (fields.empty() ? "" : ", ") + f;
            text += "\n" + textFor(TextId::FieldsEmpty, language, {fields});
        }
        if (summary.cuts.labels > 0)
            text += "\n" + textFor(TextId::TextCut, language,
                                   {std::to_string(summary.cuts.labels), std::to_string(summary.cuts.firstLabel),
                                    summary.cuts.firstCall, summary.cuts.firstText});
        break;
    }
    case RunSummary::Kind::MergeFailed: {
        text = textFor(TextId::MergeFailed, language);
        for (const FailedPass& f : summary.failed) {
            const std::string why = failureText(f.failure, language);
            text += "\n" + (f.pass.isSwl() ? textFor(TextId::SwlPassFailed, language, why)
                                           : textFor(TextId::PassFailed, language, {qsos(f.pass.size, language), why}));
        }
        if (summary.made.empty()) {
            text += "\n" + textFor(TextId::NoLabelsMade, language);
        } else {
            const auto [folder, pattern] = documentPlace(summary.made);
            text += "\n" + textFor(TextId::LabelsMadeThisRun, language,
                                   {labelCounts(summary.made, language), folder, pattern});
        }
        text += "\n" + textFor(TextId::EarlierLabelsKept, language);
        break;
    }
    }
    text += followingLines(summary, language);
    if (summary.badRecords)
        text += "\n" + textFor(TextId::BadRecordsSaved, language, base);
    return text;
}

std::vector<EndingMessage> endingMessages(const RunResult& result, Language language)
{
    std::vector<EndingMessage> out;
    if (result.message) {
        EndingMessage& m = out.emplace_back();
        m.id = result.message->id;
        m.text = textFor(m.id, language, result.message->args);
    }
    if (result.failure) {
        EndingMessage& m = out.emplace_back();
        m.role = EndingMessage::Role::Failure;
        m.text = failureText(*result.failure, language);
    }
    if (result.summary) {
        EndingMessage& m = out.emplace_back();
        m.role = EndingMessage::Role::Summary;
        m.text = summaryText(*result.summary, language);
        m.notes = warningsText(*result.summary, language);
        m.failed = result.outcome == RunOutcome::Abandoned;
    }
    return out;
}

} // namespace cardmill
