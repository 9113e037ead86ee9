#pragma once

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/LabelMaker.h"

namespace cardmill::test {

// A label maker that records what it was given to merge and writes the lines it got as its "document".
class RecordingLabelMaker : public LabelMaker {
public:
    struct Merge {
        std::string mainDocument; // the file name
        std::filesystem::path output;
        std::vector<std::string> columns;
        std::vector<std::string> lines;
        bool made = false;
    };
    std::vector<Merge> merges;                 // every call of make, in order
    std::set<std::string> failFor;             // main documents (file names) whose merge throws MergeError
    std::set<std::string> diskFullFor;         // ... whose merge writes part of its output, then fails
    std::vector<std::filesystem::path> tables; // table documents written
    std::string extension = ".docx";
    std::function<void()> beforeMake; // called as each merge begins

    std::vector<std::vector<std::filesystem::path>> exported; // the documents of each exportPdf call
    bool pdfFails = false;                                    // exportPdf throws PdfFailed

    std::string labelExtension(const std::filesystem::path& mainDocument, const Waiting& waiting = {}) override;
    // Tells `progress` of every record; stops when it says so.
    bool make(const PassRecords& records, const std::filesystem::path& mainDocument,
              const std::filesystem::path& output, const Progress& progress, const MergeContext& context,
              std::vector<MergeWarning>& warnings) override;
    void writeTableDocument(const PassRecords& records, const std::filesystem::path& path) override;
    // Writes "PDF of <document>" beside each document; asks `waiting` once per document.
    std::vector<std::filesystem::path> exportPdf(const std::vector<std::filesystem::path>& documents,
                                                 const Waiting& waiting) override;

    // The main documents merged, as "card_3.doc:3 lines".
    std::vector<std::string> summary() const;
};

} // namespace cardmill::test
