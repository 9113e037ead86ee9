#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "merge/LibreOffice.h"
#include "merge/MergeTemplate.h"
#include "merge/WordProcessor.h"
#include "merge/Zip.h"

namespace cardmill {

// The program's own word processor: it builds the table document, reads WordprocessingML (.docx) and
// OpenDocument text (.odt) main documents and merges them as Word does, with no word processor installed.
// Word 97 (.doc) main documents are converted to .odt by LibreOffice first (once per document and merge phase;
// .odt keeps their Next-record fields, which a conversion to .docx would drop). Documents are recognised by their
// content, not their name. Each merged document is saved as a file as soon as its merge has executed (at the
// stem the driver gives, plus ".docx" or ".odt"); "make visible" hands the list of this run's merged documents to the
// host, which opens or lists them.
class BuiltInProcessor : public WordProcessor {
public:
    using ShowDocuments = std::function<void(const std::vector<std::filesystem::path>&)>;

    // `processEvents` runs at least once per copy of a main document during a merge.
    BuiltInProcessor(std::function<void()> processEvents, ShowDocuments showDocuments);
    ~BuiltInProcessor() override;

    void connect() override { m_connected = true; }
    void disconnect() override { m_connected = false; }
    Document addDocument() override;
    Document activeDocument() override;
    Range selectionRange() override;
    void collapse(Range range, int direction) override;
    void insertAfter(Range range, std::string_view text) override;
    void insertParagraphAfter(Range range) override;
    void convertToTable(Range range, std::string_view separator, int format) override;
    void saveAs(Document document, const std::filesystem::path& fileName, int fileFormat,
                bool addToRecentFiles) override;
    void close(Document document) override;
    Document open(const std::filesystem::path& fileName) override;
    void openDataSource(Document document, const std::filesystem::path& name, int format) override;
    void setMergeDestination(Document document, int destination) override;
    void executeMerge(Document document, bool pause) override;
    void setVisible(bool visible) override;
    void startMergePhase() override;
    void setMergedDocumentStem(const std::filesystem::path& stem) override { m_stem = stem; }

    // The merged documents of this merge phase, in the order they were made.
    const std::vector<std::filesystem::path>& mergedDocuments() const { return m_merged; }

    // Also makes a PDF of every merged document, beside it, when they are shown (needs LibreOffice).
    void setPdfLabels(bool on) { m_pdfLabels = on; }
    // Told, about ten times a second, how long LibreOffice has been at a file (a .doc main document, the PDFs).
    void setConversionStatus(std::function<void(const std::string& file, int seconds)> status)
    {
        m_conversionStatus = std::move(status);
    }

private:
    struct Doc {
        std::string text;                              // inserted text, paragraphs ended by "\n"
        std::vector<std::vector<std::string>> table;   // after ConvertToTable
        bool isTable = false;
        std::filesystem::path path;                    // a document that was opened or made from a merge
        std::shared_ptr<const ZipContents> package;    // an opened main document
        bool openDocument = false;                     // .odt rather than .docx
        std::optional<MergeRecords> dataSource;
    };

    Doc& document(int id);
    std::filesystem::path convertedDoc(const std::filesystem::path& doc);
    LibreOffice& libreOffice();
    void requireConnection() const;

    std::function<void()> m_processEvents;
    ShowDocuments m_show;
    std::map<int, Doc> m_documents;
    int m_next = 1;
    int m_active = 0;
    bool m_connected = false;
    std::filesystem::path m_stem;
    std::vector<std::filesystem::path> m_merged;
    bool m_pdfLabels = false;
    std::function<void(const std::string&, int)> m_conversionStatus;
    std::unique_ptr<LibreOffice> m_libreOffice; // started on first need, with a profile of its own
    std::filesystem::path m_converted;          // a private folder for converted main documents
    std::map<std::string, std::filesystem::path> m_conversions; // of this merge phase
};

} // namespace cardmill
