#include "merge/WordMergeDriver.h"

#include <string>

#include "engine/DataSourceFiles.h"
#include "engine/LineReader.h"
#include "engine/RunHost.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

// Disconnects the application connection however the pass ends.
class ConnectionGuard {
public:
    explicit ConnectionGuard(WordProcessor& processor) : m_processor(processor) {}
    ~ConnectionGuard()
    {
        try {
            m_processor.disconnect();
        } catch (...) {
            // The pass's own error (if any) is the one worth reporting.
        }
    }

private:
    WordProcessor& m_processor;
};

struct PhaseTexts {
    TextId send, convert, save, open, merge;
};

PhaseTexts phaseTexts(PassSelector selector)
{
    if (selector.isSwl())
        return {TextId::StatusMergeSendSwl, TextId::StatusMergeConvertSwl, TextId::StatusMergeSaveSwl,
                TextId::StatusMergeOpenSwl, TextId::StatusMergeMergeSwl};
    return {TextId::StatusMergeSend, TextId::StatusMergeConvert, TextId::StatusMergeSave, TextId::StatusMergeOpen,
            TextId::StatusMergeMerge};
}

} // namespace

std::filesystem::path mainDocumentForPass(const std::filesystem::path& chosen, PassSelector selector)
{
    const std::string suffix = selector.isSwl() ? "_swl" : "_" + std::to_string(selector.size);
    const std::string path = chosen.string();
    const std::string name = chosen.filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot >= 2 && name.compare(dot - 2, 2, "_1") == 0) {
        const std::string ext = text::upper(name.substr(dot));
        if (ext == ".DOC" || ext == ".DOCX" || ext == ".ODT") {
            const std::size_t at = path.size() - (name.size() - dot) - 2;
            return path.substr(0, at) + suffix + path.substr(at + 2);
        }
    }
    return (path.size() > 6 ? path.substr(0, path.size() - 6) : std::string()) + suffix + ".doc";
}

std::filesystem::path mergedDocumentStem(const std::filesystem::path& base, PassSelector selector)
{
    std::filesystem::path p = base;
    p += selector.isSwl() ? std::string("_labels_swl") : "_labels_" + std::to_string(selector.size);
    return p;
}

WordMergeDriver::WordMergeDriver(WordProcessor& processor, RunHost& host, std::filesystem::path tableFolder)
    : m_processor(processor)
    , m_host(host)
    , m_tableFolder(std::move(tableFolder))
{
}

void WordMergeDriver::startMerge(const std::filesystem::path& base)
{
    m_processor.startMergePhase();
    for (int k = 0; k <= 10; ++k) {
        for (const char* ext : {".docx", ".odt", ".pdf"}) {
            std::filesystem::path old = mergedDocumentStem(base, PassSelector{k});
            old += ext;
            std::error_code ec;
            if (std::filesystem::is_regular_file(old, ec))
                std::filesystem::remove(old, ec);
        }
    }
}

void WordMergeDriver::stopPass()
{
    m_host.showMessage(TextId::ProcessStopped);
    m_host.clearStatus();
    m_host.showProgress(false);
    m_host.clearStopRequest();
    m_host.setStopEnabled(false);
    // The new table document stays with the processor, empty; the user sees it.
    m_processor.disconnect();
    m_processor.connect();
    m_processor.setVisible(true);
    m_processor.disconnect();
}

void WordMergeDriver::runPass(const std::filesystem::path& base, PassSelector selector)
{
    const std::filesystem::path dataSource = dataSourcePath(base, selector.size);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(dataSource, ec))
        return;
    const std::string k = selector.isSwl() ? std::string() : std::to_string(selector.size);
    const PhaseTexts texts = phaseTexts(selector);
    auto phase = [&](TextId id) {
        m_host.setStatus(id, id == TextId::StatusMergeClose ? std::string() : k);
        m_host.processEvents();
    };

    m_host.setProgressRange(countLines(dataSource));
    m_host.showProgress(true);

    m_processor.disconnect();
    m_processor.connect();
    {
        ConnectionGuard guard(m_processor);
        m_processor.setMergedDocumentStem(mergedDocumentStem(base, selector));
        m_processor.addDocument();
        const WordProcessor::Document table = m_processor.activeDocument();
        const WordProcessor::Range range = m_processor.selectionRange();
        m_processor.collapse(range, WordProcessor::kCollapseEnd);

        LineReader lines(dataSource);
        const std::filesystem::path tablePath = tableDocumentPath();
        phase(texts.send);
        std::string line;
        for (std::size_t n = 1;; ++n) {
            m_host.processEvents();
            if (m_host.stopRequested()) {
                lines.close();
                stopPass();
                return;
            }
            line.clear();
            if (!lines.appendLine(line))
                break;
            m_host.setProgressPosition(n);
            m_processor.insertAfter(range, line);
            m_processor.insertParagraphAfter(range);
        }
        lines.close();

        phase(texts.convert);
        m_host.showProgress(false);
        m_processor.convertToTable(range, ",", WordProcessor::kTableFormatGrid1);

        phase(texts.save);
        m_processor.saveAs(table, tablePath, WordProcessor::kFormatDocument, false);
        m_processor.close(table);

        const WordProcessor::Document main = m_processor.open(mainDocumentForPass(m_host.mainDocumentPath(), selector));
        phase(texts.open);
        m_processor.openDataSource(main, tablePath, WordProcessor::kDataSourceAuto);
        m_processor.setMergeDestination(main, WordProcessor::kDestinationNewDocument);

        phase(texts.merge);
        m_processor.executeMerge(main, false);
        m_processor.activeDocument();

        phase(TextId::StatusMergeClose);
        m_processor.close(main);

        if (!m_host.keepTemporaryFile())
            std::filesystem::remove(tablePath, ec); // a file that will not go is no reason to fail
    }
    m_processor.disconnect();
    m_host.clearStatus();
    m_host.processEvents();
}

void WordMergeDriver::makeVisible()
{
    m_processor.connect();
    m_processor.setVisible(true);
}

} // namespace cardmill
