#include "merge/BuiltInProcessor.h"

#include <fstream>
#include <map>
#include <unistd.h>

#include "merge/DocxMerger.h"
#include "merge/OdtMerger.h"
#include "merge/TableDocument.h"

namespace cardmill {

namespace {

std::string quoted(const std::filesystem::path& p)
{
    return "\"" + p.string() + "\"";
}

bool startsWith(const std::filesystem::path& path, std::string_view signature)
{
    std::ifstream in(path, std::ios::binary);
    std::string head(signature.size(), '\0');
    return in.read(head.data(), static_cast<std::streamsize>(head.size())) && head == signature;
}

} // namespace

BuiltInProcessor::BuiltInProcessor(std::function<void()> processEvents, ShowDocuments showDocuments)
    : m_processEvents(std::move(processEvents))
    , m_show(std::move(showDocuments))
{
}

BuiltInProcessor::~BuiltInProcessor()
{
    if (!m_converted.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_converted, ec);
    }
}

void BuiltInProcessor::startMergePhase()
{
    m_merged.clear();
    m_conversions.clear();
}

LibreOffice& BuiltInProcessor::libreOffice()
{
    if (!m_libreOffice)
        m_libreOffice = std::make_unique<LibreOffice>();
    return *m_libreOffice;
}

std::filesystem::path BuiltInProcessor::convertedDoc(const std::filesystem::path& doc)
{
    const auto cached = m_conversions.find(doc.string());
    if (cached != m_conversions.end())
        return cached->second;
    if (m_converted.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "cardmill-doc-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw WordProcessorError("No folder for converting " + quoted(doc));
        m_converted = pattern;
    }
    // Each conversion in a folder of its own: main documents of one name from two folders must not collide.
    const std::filesystem::path folder = m_converted / std::to_string(m_conversions.size());
    std::filesystem::create_directories(folder);
    try {
        libreOffice().convert({doc}, "odt", folder, std::chrono::seconds(120), [&](int seconds) {
            if (m_conversionStatus)
                m_conversionStatus(doc.filename().string(), seconds);
            if (m_processEvents)
                m_processEvents();
        });
    } catch (const std::exception& e) {
        throw WordProcessorError("Cannot convert the Word 97 main document " + quoted(doc) + " with LibreOffice: " +
                                 e.what());
    }
    const std::filesystem::path odt = folder / doc.filename().replace_extension(".odt");
    m_conversions[doc.string()] = odt;
    return odt;
}

void BuiltInProcessor::requireConnection() const
{
    if (!m_connected)
        throw WordProcessorError("The word processor is not connected");
}

BuiltInProcessor::Doc& BuiltInProcessor::document(int id)
{
    const auto it = m_documents.find(id);
    if (it == m_documents.end())
        throw WordProcessorError("The document is not open");
    return it->second;
}

WordProcessor::Document BuiltInProcessor::addDocument()
{
    requireConnection();
    m_active = m_next++;
    m_documents[m_active] = Doc{};
    return {m_active};
}

WordProcessor::Document BuiltInProcessor::activeDocument()
{
    requireConnection();
    if (!m_documents.count(m_active))
        throw WordProcessorError("No document is open");
    return {m_active};
}

WordProcessor::Range BuiltInProcessor::selectionRange()
{
    return {activeDocument().id};
}

void BuiltInProcessor::collapse(Range range, int)
{
    document(range.id);
}

void BuiltInProcessor::insertAfter(Range range, std::string_view text)
{
    document(range.id).text.append(text);
}

void BuiltInProcessor::insertParagraphAfter(Range range)
{
    document(range.id).text.push_back('\n');
}

void BuiltInProcessor::convertToTable(Range range, std::string_view separator, int)
{
    Doc& doc = document(range.id);
    if (separator.empty())
        throw WordProcessorError("The table separator is empty");
    doc.table.clear();
    std::size_t start = 0;
    while (start < doc.text.size()) {
        std::size_t end = doc.text.find('\n', start);
        if (end == std::string::npos)
            end = doc.text.size();
        const std::string_view paragraph = std::string_view(doc.text).substr(start, end - start);
        std::vector<std::string> row;
        std::size_t from = 0;
        for (;;) {
            const std::size_t sep = paragraph.find(separator, from);
            row.push_back(decodeValue(paragraph.substr(from, sep == std::string_view::npos ? std::string_view::npos
                                                                                           : sep - from)));
            if (sep == std::string_view::npos)
                break;
            from = sep + separator.size();
        }
        doc.table.push_back(std::move(row));
        start = end + 1;
    }
    doc.text.clear();
    doc.isTable = true;
}

void BuiltInProcessor::saveAs(Document document, const std::filesystem::path& fileName, int, bool)
{
    Doc& doc = this->document(document.id);
    try {
        if (doc.isTable) {
            writeTableDocument(fileName, doc.table);
        } else if (!doc.path.empty()) {
            std::filesystem::copy_file(doc.path, fileName, std::filesystem::copy_options::overwrite_existing);
        } else {
            writeTableDocument(fileName, {}); // an empty new document
        }
    } catch (const std::exception& e) {
        throw WordProcessorError("Cannot save " + quoted(fileName) + ": " + e.what());
    }
}

void BuiltInProcessor::close(Document document)
{
    this->document(document.id);
    m_documents.erase(document.id);
}

WordProcessor::Document BuiltInProcessor::open(const std::filesystem::path& fileName)
{
    requireConnection();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec))
        throw WordProcessorError("The document " + quoted(fileName) + " does not exist");
    if (startsWith(fileName, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        if (!LibreOffice::find())
            throw WordProcessorError("The main document " + quoted(fileName) +
                                     " is a Word 97 (.doc) document, which this program reads only through "
                                     "LibreOffice. Install LibreOffice, or save the document as .docx or .odt");
        const Document converted = open(convertedDoc(fileName));
        m_documents[converted.id].path = fileName;
        return converted;
    }
    if (!looksLikeZip(fileName))
        throw WordProcessorError("The main document " + quoted(fileName) + " is not a .docx, .odt or .doc document");
    auto package = std::make_shared<ZipContents>();
    try {
        *package = readZip(fileName);
    } catch (const std::exception& e) {
        throw WordProcessorError(std::string("Cannot open the main document ") + e.what());
    }
    const bool wordprocessing = package->has("word/document.xml");
    const bool openDocument = !wordprocessing && package->has("content.xml") &&
                              package->entries.at("mimetype").rfind("application/vnd.oasis.opendocument.text", 0) == 0;
    if (!wordprocessing && !openDocument)
        throw WordProcessorError("The main document " + quoted(fileName) +
                                 " is neither a WordprocessingML (.docx) nor an OpenDocument text (.odt) document");
    try {
        // A broken document is reported now, not in the middle of the merge.
        if (wordprocessing)
            compileDocument(package->entries.at("word/document.xml"));
        else
            compileOdtContent(package->entries.at("content.xml"), "cmCheck");
    } catch (const std::exception& e) {
        throw WordProcessorError("Cannot open the main document " + quoted(fileName) + ": " + e.what());
    }
    m_active = m_next++;
    Doc& doc = m_documents[m_active];
    doc.path = fileName;
    doc.package = std::move(package);
    doc.openDocument = openDocument;
    return {m_active};
}

void BuiltInProcessor::openDataSource(Document document, const std::filesystem::path& name, int)
{
    Doc& doc = this->document(document.id);
    try {
        doc.dataSource = readTableDocument(name);
    } catch (const std::exception& e) {
        throw WordProcessorError(std::string("Cannot open the data source ") + e.what());
    }
}

void BuiltInProcessor::setMergeDestination(Document document, int destination)
{
    this->document(document.id);
    if (destination != kDestinationNewDocument)
        throw WordProcessorError("Only a merge to a new document is possible");
}

void BuiltInProcessor::executeMerge(Document document, bool)
{
    Doc& doc = this->document(document.id);
    if (!doc.package)
        throw WordProcessorError("The document is not a main document");
    if (!doc.dataSource)
        throw WordProcessorError("The main document " + quoted(doc.path) + " has no data source");
    std::filesystem::path output = m_stem;
    if (output.empty())
        output = std::filesystem::temp_directory_path() / ("cardmill-merged-" + std::to_string(m_next));
    output += doc.openDocument ? ".odt" : ".docx";
    try {
        if (doc.openDocument)
            mergeOdt(*doc.package, *doc.dataSource, output, m_processEvents);
        else
            mergeDocx(*doc.package, *doc.dataSource, output, m_processEvents);
    } catch (const std::exception& e) {
        throw WordProcessorError("Cannot merge into " + quoted(doc.path) + ": " + e.what());
    }
    m_merged.push_back(output);
    m_active = m_next++;
    m_documents[m_active].path = output;
}

void BuiltInProcessor::setVisible(bool visible)
{
    if (!visible)
        return;
    std::vector<std::filesystem::path> shown = m_merged;
    if (m_pdfLabels && !m_merged.empty()) {
        std::string saved;
        for (const auto& d : m_merged)
            saved += (saved.empty() ? "" : ", ") + quoted(d);
        if (!LibreOffice::find())
            throw WordProcessorError("Labels as PDF need LibreOffice, which is not installed. The labels are saved as " +
                                     saved);
        // One call per folder: the merged documents of a run normally share one.
        std::map<std::string, std::vector<std::filesystem::path>> byFolder;
        for (const auto& d : m_merged)
            byFolder[d.parent_path().string()].push_back(d);
        try {
            for (const auto& entry : byFolder) {
                const std::vector<std::filesystem::path>& documents = entry.second;
                libreOffice().convert(documents, "pdf", entry.first, std::chrono::seconds(600), [&](int seconds) {
                    if (m_conversionStatus)
                        m_conversionStatus(documents.front().filename().string(), seconds);
                    if (m_processEvents)
                        m_processEvents();
                });
            }
        } catch (const std::exception& e) {
            throw WordProcessorError(std::string("Cannot make the PDF labels: ") + e.what() +
                                     ". The labels are saved as " + saved);
        }
        for (const auto& d : m_merged)
            shown.push_back(std::filesystem::path(d).replace_extension(".pdf"));
    }
    if (m_show)
        m_show(shown);
}

} // namespace cardmill
