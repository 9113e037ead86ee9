#include "merge/BuiltInProcessor.h"

#include <fstream>

#include "merge/DocxMerger.h"
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
    if (startsWith(fileName, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        throw WordProcessorError("The main document " + quoted(fileName) +
                                 " is a Word 97 (.doc) document, which this program reads only through LibreOffice. "
                                 "Install LibreOffice, or save the document as .docx or .odt");
    if (!looksLikeZip(fileName))
        throw WordProcessorError("The main document " + quoted(fileName) + " is not a .docx, .odt or .doc document");
    auto package = std::make_shared<ZipContents>();
    try {
        *package = readZip(fileName);
    } catch (const std::exception& e) {
        throw WordProcessorError(std::string("Cannot open the main document ") + e.what());
    }
    if (!package->has("word/document.xml")) {
        if (package->has("content.xml"))
            throw WordProcessorError("The main document " + quoted(fileName) +
                                     " is an OpenDocument (.odt) document, which this version cannot merge yet; "
                                     "save it as .docx");
        throw WordProcessorError("The main document " + quoted(fileName) + " holds no word/document.xml");
    }
    try {
        compileDocument(package->entries.at("word/document.xml")); // reports a broken document now, not later
    } catch (const std::exception& e) {
        throw WordProcessorError("Cannot open the main document " + quoted(fileName) + ": " + e.what());
    }
    m_active = m_next++;
    Doc& doc = m_documents[m_active];
    doc.path = fileName;
    doc.package = std::move(package);
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
    output += ".docx";
    try {
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
    if (visible && m_show)
        m_show(m_merged);
}

} // namespace cardmill
