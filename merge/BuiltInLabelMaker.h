#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/LabelMaker.h"
#include "merge/LibreOffice.h"
#include "merge/Template.h"
#include "merge/Zip.h"

namespace cardmill {

// The program's own merge engine behind the label-maker seam: it reads WordprocessingML (.docx) and OpenDocument
// text (.odt) main documents and merges them as Word does, with no word processor installed. Word 97 (.doc) main
// documents are converted to .odt by LibreOffice first (once while the file is unchanged; .odt keeps their
// Next-record fields, which a conversion to .docx would drop). Documents are recognised by their content, not
// their name.
class BuiltInLabelMaker : public LabelMaker {
public:
    BuiltInLabelMaker();
    ~BuiltInLabelMaker() override;

    std::string labelExtension(const std::filesystem::path& mainDocument, const Waiting& waiting = {}) override;
    bool make(const PassRecords& records, const std::filesystem::path& mainDocument,
              const std::filesystem::path& output, const Progress& progress, const MergeContext& context,
              std::vector<MergeWarning>& warnings) override;
    void writeTableDocument(const PassRecords& records, const std::filesystem::path& path) override;
    // Through LibreOffice, into a scratch folder first; one call per folder of documents.
    std::vector<std::filesystem::path> exportPdf(const std::vector<std::filesystem::path>& documents,
                                                 const Waiting& waiting) override;

private:
    struct MainDocument {
        std::filesystem::file_time_type time;
        std::uintmax_t size = 0;
        std::shared_ptr<const ZipContents> package;
        bool openDocument = false;                        // .odt rather than .docx
        std::shared_ptr<const CompiledDocument> compiled; // once, for every pass and what the user should know
    };
    const MainDocument& load(const std::filesystem::path& path, const Waiting& waiting);
    std::filesystem::path convertedDoc(const std::filesystem::path& doc, const Waiting& waiting);
    LibreOffice& libreOffice();

    std::unique_ptr<LibreOffice> m_libreOffice; // started on first need, with a profile of its own
    std::filesystem::path m_libreOfficeRun;     // the work folder its profile lies in
    std::map<std::string, MainDocument> m_documents;
};

} // namespace cardmill
