#include "support/RecordingLabelMaker.h"

#include <fstream>

namespace cardmill::test {

std::string RecordingLabelMaker::labelExtension(const std::filesystem::path& mainDocument, const Waiting&)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(mainDocument, ec))
        throw MergeError(FailureId::MainDocumentMissing, mainDocument);
    return extension;
}

bool RecordingLabelMaker::make(const PassRecords& records, const std::filesystem::path& mainDocument,
                               const std::filesystem::path& output, const Progress& progress, const MergeContext&,
                               std::vector<MergeWarning>&)
{
    if (beforeMake)
        beforeMake();
    Merge& m = merges.emplace_back();
    m.mainDocument = mainDocument.filename().string();
    m.output = output;
    m.columns = records.columns();
    for (std::size_t i = 0; i < records.size(); ++i)
        m.lines.emplace_back(records.line(i));
    if (failFor.count(m.mainDocument))
        throw MergeError(FailureId::MergeFailed, mainDocument, "broken");
    if (diskFullFor.count(m.mainDocument)) {
        std::ofstream(output, std::ios::binary) << "half a document";
        throw MergeError(FailureId::WriteFile, output, "No space left on device");
    }
    std::ofstream out(output, std::ios::binary);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!progress(i + 1))
            return false;
        out << records.line(i) << '\n';
    }
    m.made = true;
    return true;
}

void RecordingLabelMaker::writeTableDocument(const PassRecords& records, const std::filesystem::path& path)
{
    tables.push_back(path);
    std::ofstream(path, std::ios::binary) << "table of " << records.size();
}

std::vector<std::filesystem::path> RecordingLabelMaker::exportPdf(const std::vector<std::filesystem::path>& documents,
                                                                  const Waiting& waiting)
{
    exported.push_back(documents);
    if (pdfFails)
        throw MergeError(FailureId::PdfFailed, documents.front().parent_path(), "no PDF today");
    std::vector<std::filesystem::path> pdfs;
    for (const auto& d : documents) {
        if (waiting && !waiting(d.filename().string(), 0))
            throw LabelMakingStopped{};
        pdfs.push_back(std::filesystem::path(d).replace_extension(".pdf"));
        std::ofstream(pdfs.back(), std::ios::binary) << "PDF of " << d.filename().string();
    }
    return pdfs;
}

std::vector<std::string> RecordingLabelMaker::summary() const
{
    std::vector<std::string> out;
    for (const Merge& m : merges)
        out.push_back(m.mainDocument + ":" + std::to_string(m.lines.size()) + " lines");
    return out;
}

} // namespace cardmill::test
