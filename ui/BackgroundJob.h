#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <thread>

#include "engine/RunObserver.h"

class QProgressDialog;
class QWidget;

namespace cardmill {

// Long work of a window done off its thread: a progress window that says what the work does, with Cancel; the
// work on a thread of its own, which sees Cancel through its stop token and reports its steps; and what follows
// on the window's thread once the work has ended. Nothing pumps the window's events: they run as always. The
// job belongs to the window: a window that goes stops its job and waits for it, and then nothing follows.
class BackgroundJob : public QObject {
    Q_OBJECT

public:
    // `progress(done, steps)` reports a step; `stop` says whether Cancel was pressed.
    using Progress = std::function<void(std::size_t done, std::size_t steps)>;
    using Work = std::function<void(const Progress& progress, const StopToken& stop)>;
    // `failure` holds what the work threw; `cancelled` whether Cancel was pressed.
    using Done = std::function<void(std::exception_ptr failure, bool cancelled)>;

    // Starts `work` with a progress window over `window` saying `label`.
    static BackgroundJob* start(QWidget* window, const QString& label, std::size_t steps, Work work, Done done);
    ~BackgroundJob() override;

    // Whether a job of `window` is under way.
    static bool busy(const QWidget* window);
    // Presses Cancel, as the user would.
    void cancel() { m_cancelled = true; }

private:
    BackgroundJob(QWidget* window, Done done);
    void finish(std::exception_ptr failure);

    QPointer<QProgressDialog> m_dialog;
    Done m_done;
    std::thread m_thread;
    std::atomic<bool> m_cancelled{false};
};

} // namespace cardmill
