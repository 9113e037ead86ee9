#include "engine/ConversionRun.h"

#include <exception>

#include "engine/AdifReader.h"
#include "engine/BadRecordsFile.h"
#include "engine/DataSourceFiles.h"
#include "engine/IoError.h"
#include "engine/LineComposer.h"
#include "engine/LineReader.h"
#include "engine/MergeDriver.h"
#include "engine/QsoFilters.h"
#include "engine/RunHost.h"

namespace cardmill {

namespace {

bool fileExists(const std::filesystem::path& p)
{
    std::error_code ec;
    return !p.empty() && std::filesystem::is_regular_file(p, ec);
}

std::filesystem::path withSuffix(const std::filesystem::path& base, const char* suffix)
{
    std::filesystem::path p = base;
    p += suffix;
    return p;
}

// Restores the run's resting state however the run ends.
class RunGuard {
public:
    RunGuard(RunHost& host, bool& running)
        : m_host(host)
        , m_running(running)
    {
        m_running = true;
    }
    ~RunGuard()
    {
        m_host.showProgress(false);
        m_host.setStopEnabled(false);
        m_host.clearStatus();
        m_running = false;
    }

private:
    RunHost& m_host;
    bool& m_running;
};

} // namespace

std::filesystem::path baseOf(const std::filesystem::path& logPath)
{
    const std::string name = logPath.filename().string();
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos)
        return logPath;
    return logPath.parent_path() / name.substr(0, dot);
}

ConversionRun::ConversionRun(RunHost& host, MailMergeDriver* driver)
    : m_host(host)
    , m_driver(driver)
{
}

RunOutcome ConversionRun::run()
{
    if (m_running)
        return RunOutcome::Busy;
    RunGuard guard(m_host, m_running);
    try {
        return execute();
    } catch (const std::exception& e) {
        // Files already written stay as they are; the guard restores the window.
        m_host.showProgress(false);
        m_host.setStopEnabled(false);
        m_host.clearStatus();
        m_host.showError(e.what());
        return RunOutcome::Abandoned;
    }
}

RunOutcome ConversionRun::stop()
{
    m_host.showMessage(TextId::ProcessStopped);
    m_host.showProgress(false);
    m_host.clearStopRequest();
    m_host.setStopEnabled(false);
    m_host.clearStatus();
    return RunOutcome::Stopped;
}

RunOutcome ConversionRun::execute()
{
    const std::filesystem::path log = m_host.logPath();
    if (log.empty()) {
        m_host.showMessage(TextId::NoSourceFile);
        return RunOutcome::Precondition;
    }
    if (m_driver) {
        const std::filesystem::path mainDocument = m_host.mainDocumentPath();
        if (mainDocument.empty()) {
            m_host.showMessage(TextId::NoMainDocument);
            return RunOutcome::Precondition;
        }
        if (!fileExists(mainDocument)) {
            m_host.showMessage(TextId::MainDocumentMissing);
            return RunOutcome::Precondition;
        }
    }

    m_lines.clear();
    const std::filesystem::path base = baseOf(log);
    m_host.clearStatus();
    BadRecordsFile bad(withSuffix(base, "_bad.txt"));
    bad.create();
    if (!fileExists(log)) {
        m_host.showMessage(TextId::LogNotFound, log.string());
        return RunOutcome::Precondition;
    }
    { LineReader probe(log); } // an unreadable log fails here, before anything else is done
    m_host.clearStopRequest(); // a click left over from an earlier run must not stop this one
    m_host.setStopEnabled(true);
    const std::size_t lineCount = countLines(log);
    m_host.setProgressRange(lineCount);
    m_host.showProgress(true);

    QsoFilters filters(m_host);
    filters.startRun();
    LineComposer composer(m_host, filters, bad);

    // The QSO pass.
    {
        AdifReader reader(log);
        reader.skipHeader();
        AdifRecord record;
        std::string line;
        while (!reader.atEnd()) {
            m_host.setStatus(TextId::StatusProcessing);
            m_host.processEvents();
            m_host.setProgressPosition(reader.lineCounter());
            const AdifReader::Result r = reader.next();
            if (r == AdifReader::Result::Empty)
                continue;
            if (r == AdifReader::Result::Record) {
                record.assign(reader.record(), reader.rawRecord());
                const LineComposer::Outcome o = composer.composeQso(record, line);
                if (o == LineComposer::Outcome::Dropped)
                    continue;
                if (o == LineComposer::Outcome::Line)
                    m_lines.add(line);
            }
            if (m_host.stopRequested()) {
                reader.close();
                return stop();
            }
        }
    }
    m_host.clearStatus();

    // The SWL pass: no filters, no events, no stop.
    const std::filesystem::path swl = m_host.swlPath();
    if (fileExists(swl)) {
        AdifReader reader(swl);
        reader.skipHeader();
        m_host.setStatus(TextId::StatusProcessingSwl);
        AdifRecord record;
        std::string line;
        for (AdifReader::Result r; (r = reader.next()) != AdifReader::Result::None;) {
            if (r != AdifReader::Result::Record)
                continue;
            record.assign(reader.record(), reader.rawRecord());
            if (composer.composeSwl(record, line) == LineComposer::Outcome::Line)
                m_lines.add(line);
        }
    }

    if (m_lines.empty()) {
        m_host.showProgress(false);
        m_host.showMessage(TextId::NoData);
        m_host.setStopEnabled(false);
        return RunOutcome::NoData;
    }

    m_lines.sort();
    DataSourceWriter writer(m_host, base, m_host.workFolder() / std::string(kIntermediateFileName));
    if (writer.write(m_lines) == DataSourceWriter::Result::Stopped)
        return stop();
    m_host.showProgress(false);

    m_host.clearStatus();
    m_host.setStopEnabled(false);
    if (m_driver) {
        m_driver->startMerge(base);
        for (int k = 1; k <= 10; ++k)
            m_driver->runPass(base, PassSelector{k});
        m_driver->runPass(base, PassSelector::swl());
        m_driver->makeVisible();
    }

    const std::string baseText = base.string();
    if (bad.clean()) {
        std::error_code ec;
        std::filesystem::remove(bad.path(), ec);
        m_host.showMessage(m_driver ? TextId::AllSent : TextId::AllWritten);
    } else {
        m_host.showMessage(m_driver ? TextId::AllSentWithBadRecords : TextId::AllWrittenWithBadRecords, baseText);
    }
    return RunOutcome::Done;
}

} // namespace cardmill
