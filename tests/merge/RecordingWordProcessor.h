#pragma once

#include <map>
#include <string>
#include <vector>

#include "merge/WordProcessor.h"

namespace cardmill::test {

// A word processor that records every operation with its arguments, as one line each, and fails on request.
// Documents.Open fails for a file that does not exist, as a real processor does.
class RecordingWordProcessor : public WordProcessor {
public:
    std::vector<std::string> calls;
    // Throws WordProcessorError(message) when an operation's name (the text before "(") is called.
    std::map<std::string, std::string> failures;
    // Text inserted, in order, and the files written by SaveAs.
    std::string inserted;
    int visibleCalls = 0;

    void connect() override { record("connect"); }
    void disconnect() override { record("disconnect"); }
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

    // The calls without the InsertAfter / InsertParagraphAfter lines.
    std::vector<std::string> callsWithoutText() const;

private:
    void record(const std::string& call);
    int m_nextDocument = 1;
    int m_active = 0;
};

} // namespace cardmill::test
