#include "RecordingWordProcessor.h"

#include <fstream>

namespace cardmill::test {

void RecordingWordProcessor::record(const std::string& call)
{
    calls.push_back(call);
    const std::string name = call.substr(0, call.find('('));
    const auto it = failures.find(name);
    if (it != failures.end())
        throw WordProcessorError(it->second);
}

WordProcessor::Document RecordingWordProcessor::addDocument()
{
    m_active = m_nextDocument++;
    record("Documents.Add()");
    return {m_active};
}

WordProcessor::Document RecordingWordProcessor::activeDocument()
{
    record("ActiveDocument() = " + std::to_string(m_active));
    return {m_active};
}

WordProcessor::Range RecordingWordProcessor::selectionRange()
{
    record("Selection.Range()");
    return {100 + m_active};
}

void RecordingWordProcessor::collapse(Range range, int direction)
{
    record("Range.Collapse(" + std::to_string(range.id) + ", " + std::to_string(direction) + ")");
}

void RecordingWordProcessor::insertAfter(Range range, std::string_view text)
{
    record("Range.InsertAfter(" + std::to_string(range.id) + ", " + std::string(text) + ")");
    inserted.append(text);
}

void RecordingWordProcessor::insertParagraphAfter(Range range)
{
    record("Range.InsertParagraphAfter(" + std::to_string(range.id) + ")");
    inserted.push_back('\n');
}

void RecordingWordProcessor::convertToTable(Range range, std::string_view separator, int format)
{
    record("Range.ConvertToTable(" + std::to_string(range.id) + ", \"" + std::string(separator) + "\", " +
           std::to_string(format) + ")");
}

void RecordingWordProcessor::saveAs(Document document, const std::filesystem::path& fileName, int fileFormat,
                                    bool addToRecentFiles)
{
    record("Document.SaveAs(" + std::to_string(document.id) + ", " + fileName.string() + ", " +
           std::to_string(fileFormat) + ", " + (addToRecentFiles ? "true" : "false") + ")");
    std::ofstream(fileName, std::ios::binary) << inserted;
}

void RecordingWordProcessor::close(Document document)
{
    record("Document.Close(" + std::to_string(document.id) + ")");
}

WordProcessor::Document RecordingWordProcessor::open(const std::filesystem::path& fileName)
{
    record("Documents.Open(" + fileName.string() + ")");
    if (!std::filesystem::exists(fileName))
        throw WordProcessorError("This file could not be found: " + fileName.string());
    m_active = m_nextDocument++;
    return {m_active};
}

void RecordingWordProcessor::openDataSource(Document document, const std::filesystem::path& name, int format)
{
    record("MailMerge.OpenDataSource(" + std::to_string(document.id) + ", " + name.string() + ", " +
           std::to_string(format) + ")");
}

void RecordingWordProcessor::setMergeDestination(Document document, int destination)
{
    record("MailMerge.Destination(" + std::to_string(document.id) + ", " + std::to_string(destination) + ")");
}

void RecordingWordProcessor::executeMerge(Document document, bool pause)
{
    m_active = m_nextDocument++; // the merged document becomes the active one
    record("MailMerge.Execute(" + std::to_string(document.id) + ", " + (pause ? "true" : "false") + ")");
}

void RecordingWordProcessor::setVisible(bool visible)
{
    ++visibleCalls;
    record(std::string("Application.Visible(") + (visible ? "true" : "false") + ")");
}

std::vector<std::string> RecordingWordProcessor::callsWithoutText() const
{
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.rfind("Range.Insert", 0) != 0)
            out.push_back(c);
    return out;
}

} // namespace cardmill::test
