#include "merge/BuiltInLabelMaker.h"

#include "engine/Files.h"
#include "engine/TempFiles.h"
#include "merge/DocxMerger.h"
#include "merge/Evaluator.h"
#include "merge/OdtMerger.h"
#include "merge/TableDocument.h"

namespace cardmill {

namespace {

std::string quoted(const std::filesystem::path& p)
{
    return "\"" + p.string() + "\"";
}

constexpr std::string_view kWord97Signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

} // namespace

BuiltInLabelMaker::BuiltInLabelMaker() = default;

BuiltInLabelMaker::~BuiltInLabelMaker() = default;

LibreOffice& BuiltInLabelMaker::libreOffice()
{
    // LibreOffice's profile goes in the run's work folder; a profile is kept while the same run converts
    // several documents.
    const std::filesystem::path run = WorkFolder::current();
    if (!m_libreOffice || m_libreOfficeRun != run) {
        m_libreOffice = std::make_unique<LibreOffice>();
        m_libreOfficeRun = run;
    }
    return *m_libreOffice;
}

std::filesystem::path BuiltInLabelMaker::convertedDoc(const std::filesystem::path& doc, const Waiting& waiting)
{
    if (!LibreOffice::find())
        throw MergeError(FailureId::MainDocumentNeedsLibreOffice, doc);
    const std::filesystem::path folder = scratchFolder("doc");
    try {
        libreOffice().convert({doc}, "odt", folder, std::chrono::seconds(120), [&](int seconds) {
            if (waiting && !waiting(doc.filename().string(), seconds))
                throw LabelMakingStopped{}; // LibreOffice is stopped with it
        });
    } catch (const LabelMakingStopped&) {
        removeScratchFolder(folder);
        throw;
    } catch (const std::exception& e) {
        removeScratchFolder(folder);
        throw MergeError(FailureId::MainDocumentConversion, doc, e.what());
    }
    return folder / doc.filename().replace_extension(".odt");
}

const BuiltInLabelMaker::MainDocument& BuiltInLabelMaker::load(const std::filesystem::path& path,
                                                               const Waiting& waiting)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw MergeError(FailureId::MainDocumentMissing, path);
    const auto time = std::filesystem::last_write_time(path, ec);
    const auto size = std::filesystem::file_size(path, ec);
    const auto known = m_documents.find(path.string());
    if (known != m_documents.end() && known->second.time == time && known->second.size == size)
        return known->second; // read (or converted) before, and unchanged since

    std::filesystem::path package = path;
    std::filesystem::path converted; // a scratch folder, gone once the converted document is read
    if (files::startsWith(path, kWord97Signature)) {
        package = convertedDoc(path, waiting);
        converted = package.parent_path();
    } else if (!looksLikeZip(path)) {
        throw MergeError(FailureId::MainDocumentNotADocument, path);
    }
    MainDocument doc{time, size, {}, false, {}};
    auto contents = std::make_shared<ZipContents>();
    try {
        *contents = readZip(package);
    } catch (const std::exception& e) {
        removeScratchFolder(converted);
        throw MergeError(FailureId::MainDocumentUnreadable, path, e.what());
    }
    if (!converted.empty()) {
        removeScratchFolder(converted);
    }
    const bool wordprocessing = contents->has("word/document.xml");
    const auto mimetype = contents->entries.find("mimetype");
    doc.openDocument = !wordprocessing && contents->has("content.xml") && mimetype != contents->entries.end() &&
                       mimetype->second.rfind("application/vnd.oasis.opendocument.text", 0) == 0;
    if (!wordprocessing && !doc.openDocument)
        throw MergeError(FailureId::MainDocumentWrongKind, path);
    try {
        // A broken document is reported now, not in the middle of the merge.
        doc.compiled = std::make_shared<const CompiledDocument>(wordprocessing ? compileDocxMain(*contents)
                                                                               : compileOdtMain(*contents));
    } catch (const std::exception& e) {
        throw MergeError(FailureId::MainDocumentUnreadable, path, e.what());
    }
    doc.package = std::move(contents);
    return m_documents[path.string()] = std::move(doc);
}

std::string BuiltInLabelMaker::labelExtension(const std::filesystem::path& mainDocument, const Waiting& waiting)
{
    return load(mainDocument, waiting).openDocument ? ".odt" : ".docx";
}

bool BuiltInLabelMaker::make(const PassRecords& records, const std::filesystem::path& mainDocument,
                             const std::filesystem::path& output, const Progress& progress, const MergeContext& context,
                             std::vector<MergeWarning>& warnings)
{
    // The main document was loaded for its extension; loading it again takes no conversion.
    const MainDocument& doc = load(mainDocument, {});

    // What the user should know: fields that no column holds, no field at all, labels without a next record.
    const Template& body = doc.compiled->body;
    if (const auto unknown = Evaluator::unknownFields(body, records); !unknown.empty())
        warnings.push_back({MergeWarning::Kind::UnknownFields, mainDocument, unknown});
    if (!body.hasMergeFields())
        warnings.push_back({MergeWarning::Kind::NoMergeFields, mainDocument, {}});
    else if (body.labelPlaces() >= 2 && !body.hasNextRecordField())
        warnings.push_back({MergeWarning::Kind::NoNextRecord, mainDocument, {}});
    MergeOptions options;
    options.reading = {context.dateLayout, context.polish};
    if (context.startLabel > 1) {
        // Label places are what the start position counts; without them the merge starts at the first label.
        const std::size_t places = body.labelPlaces();
        const auto start = static_cast<std::size_t>(context.startLabel);
        if (places < 2)
            warnings.push_back({MergeWarning::Kind::StartLabelUnusable, mainDocument, {}, 0});
        else if (start > places)
            warnings.push_back({MergeWarning::Kind::StartLabelBeyondSheet, mainDocument, {}, places});
        else
            options.blankLabels = start - 1;
    }
    std::size_t taken = 0;
    try {
        taken = doc.openDocument ? mergeOdt(*doc.package, *doc.compiled, records, output, progress, options)
                                 : mergeDocx(*doc.package, *doc.compiled, records, output, progress, options);
    } catch (const MergeStopped&) {
        return false;
    } catch (const std::bad_alloc&) {
        throw MergeError(FailureId::MergeMemory, mainDocument);
    } catch (const std::exception& e) {
        throw MergeError(FailureId::MergeFailed, mainDocument, e.what());
    }
    // Labels that leave QSOs out are no success (a document that never moves on in some labels); a document
    // without merge fields puts no record anywhere, and was warned of.
    if (body.hasMergeFields() && taken < records.size())
        throw MergeError(FailureId::RecordsLeftOut, mainDocument,
                         std::to_string(taken) + "/" + std::to_string(records.size()));
    return true;
}

void BuiltInLabelMaker::writeTableDocument(const PassRecords& records, const std::filesystem::path& path)
{
    try {
        cardmill::writeTableDocument(path, records);
    } catch (const std::exception& e) {
        throw MergeError(FailureId::TableDocument, path, e.what());
    }
}

std::vector<std::filesystem::path> BuiltInLabelMaker::exportPdf(const std::vector<std::filesystem::path>& documents,
                                                                const Waiting& waiting)
{
    if (documents.empty())
        return {};
    std::string saved;
    for (const auto& d : documents)
        saved += (saved.empty() ? "" : ", ") + quoted(d);
    if (!LibreOffice::find())
        throw MergeError(FailureId::PdfNeedsLibreOffice, {}, saved);
    // Into a scratch folder first (one call per folder of documents: a run's normally share one), so that a
    // stop or a failure leaves no part of a PDF beside the documents.
    const std::filesystem::path scratch = scratchFolder("pdf");
    struct Remover {
        std::filesystem::path folder;
        ~Remover() { removeScratchFolder(folder); }
    } remover{scratch};
    std::map<std::string, std::vector<std::filesystem::path>> byFolder;
    for (const auto& d : documents)
        byFolder[d.parent_path().string()].push_back(d);
    try {
        int n = 0;
        for (const auto& [folder, inFolder] : byFolder) {
            const std::filesystem::path out = scratch / files::pathFromUtf8(std::to_string(n++));
            std::filesystem::create_directory(out);
            const std::string first = inFolder.front().filename().string();
            libreOffice().convert(inFolder, "pdf", out, std::chrono::seconds(600), [&](int seconds) {
                if (waiting && !waiting(first, seconds))
                    throw LabelMakingStopped{};
            });
        }
    } catch (const LabelMakingStopped&) {
        throw;
    } catch (const std::exception& e) {
        throw MergeError(FailureId::PdfFailed, documents.front().parent_path(), e.what());
    }
    std::vector<std::filesystem::path> pdfs;
    int n = 0;
    for (const auto& [folder, inFolder] : byFolder) {
        const std::filesystem::path out = scratch / files::pathFromUtf8(std::to_string(n++));
        for (const auto& d : inFolder) {
            const std::filesystem::path pdf = std::filesystem::path(d).replace_extension(".pdf");
            const std::filesystem::path made = out / pdf.filename();
            PartFile part(pdf);
            std::error_code ec;
            // Copied beside the document under a part name (the scratch folder may be on another disk), then
            // renamed over the older PDF in one step.
            std::filesystem::copy_file(made, part.path(), std::filesystem::copy_options::overwrite_existing, ec);
            if (!ec)
                std::filesystem::rename(part.path(), pdf, ec);
            if (ec)
                throw MergeError(FailureId::PdfFailed, d.parent_path(), ec.message());
            part.placed();
            pdfs.push_back(pdf);
        }
    }
    return pdfs;
}

} // namespace cardmill
