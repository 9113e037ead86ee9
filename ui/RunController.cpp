#include "ui/RunController.h"

#include <QMetaObject>

#include "engine/Termination.h"

namespace cardmill {

// The run's observer, on the run's thread: passes what it hears to the window's thread.
class RunController::Relay : public RunObserver {
public:
    explicit Relay(RunController& controller)
        : m_controller(controller)
    {
    }

    void status(TextId id, const TextArgs& args) override
    {
        QMetaObject::invokeMethod(
            &m_controller, [c = &m_controller, id, args] { emit c->status(id, args); }, Qt::QueuedConnection);
    }

    void progress(std::size_t position, std::size_t maximum) override
    {
        // Called for every record: only the latest values travel, one queued call at a time.
        m_position = position;
        m_maximum = maximum;
        if (m_pending.exchange(true))
            return;
        QMetaObject::invokeMethod(
            &m_controller,
            [this] {
                m_pending = false;
                emit m_controller.progress(static_cast<qint64>(m_position.load()),
                                           static_cast<qint64>(m_maximum.load()));
            },
            Qt::QueuedConnection);
    }

private:
    RunController& m_controller;
    std::atomic<std::size_t> m_position{0};
    std::atomic<std::size_t> m_maximum{0};
    std::atomic<bool> m_pending{false};
};

RunController::RunController(LabelMaker& maker, QObject* parent)
    : QObject(parent)
    , m_maker(maker)
    , m_relay(std::make_unique<Relay>(*this))
{
}

RunController::~RunController()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

bool RunController::start(std::unique_ptr<RunStart> start)
{
    if (m_running || !start)
        return false;
    if (m_thread.joinable())
        m_thread.join(); // the last run's thread, which has ended
    m_stop = false;
    m_running = true;
    m_start = std::move(start);
    m_thread = std::thread([this, started = m_start] {
        ConversionRun run(&m_maker, started->drawer.get(), started->addressDrawer.get());
        auto result = std::make_shared<RunResult>(run.run(
            started->request, *m_relay, StopToken([this] { return m_stop.load() || termination::received(); })));
        QMetaObject::invokeMethod(
            this, [this, result] { finish(std::move(*result)); }, Qt::QueuedConnection);
    });
    return true;
}

void RunController::stop()
{
    if (m_running)
        m_stop = true;
}

void RunController::finish(RunResult result)
{
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
    const std::shared_ptr<const RunStart> start = std::move(m_start);
    emit finished(result, start);
}

} // namespace cardmill
