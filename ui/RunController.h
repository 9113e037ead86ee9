#pragma once

#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/ConversionRun.h"
#include "engine/LabelDrawer.h"
#include "ui/RunStart.h"

namespace cardmill {

class LabelDrawer;
class LabelMaker;

// Runs conversions off the window's thread, one at a time, so that the window stays live in every phase.
// What the run shows comes back to the window's thread through queued calls (progress coalesced to its latest
// value), and so does its result. A signal to end the program stops a run as "Stop" does.
class RunController : public QObject {
    Q_OBJECT

public:
    explicit RunController(LabelMaker& maker, QObject* parent = nullptr);
    // Asks a run under way to stop, and waits for it.
    ~RunController() override;

    // Starts the run (its request a copy: what the window shows may change meanwhile), with its drawer for a
    // request that draws its labels on a sheet; false when a run is under way already.
    bool start(std::unique_ptr<RunStart> start);
    // Asks the run under way to stop; it ends at its next stop point.
    void stop();
    bool running() const { return m_running; }
    bool stopAsked() const { return m_stop; }

signals:
    // The status text of the phase; TextId::Count clears it.
    void status(TextId id, const TextArgs& args);
    // `position` of `maximum`; a maximum of 0 hides the progress bar.
    void progress(qint64 position, qint64 maximum);
    // The run has ended, and here is what it started with; running() is false again.
    void finished(const RunResult& result, std::shared_ptr<const RunStart> start);

private:
    class Relay;
    void finish(RunResult result);

    LabelMaker& m_maker;
    std::shared_ptr<RunStart> m_start;
    std::unique_ptr<Relay> m_relay;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    bool m_running = false;
};

} // namespace cardmill
