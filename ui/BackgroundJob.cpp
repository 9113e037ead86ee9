#include "ui/BackgroundJob.h"

#include <QMetaObject>
#include <QProgressDialog>
#include <QWidget>

namespace cardmill {

BackgroundJob::BackgroundJob(QWidget* window, Done done)
    : QObject(window)
    , m_done(std::move(done))
{
    setObjectName("BackgroundJob");
}

BackgroundJob* BackgroundJob::start(QWidget* window, const QString& label, std::size_t steps, Work work, Done done)
{
    auto* job = new BackgroundJob(window, std::move(done));
    auto* dialog = new QProgressDialog(window);
    dialog->setObjectName("JobProgress");
    dialog->setLabelText(label);
    dialog->setRange(0, static_cast<int>(std::min<std::size_t>(steps, 1000000)));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(500); // short work ends before it would show
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    connect(dialog, &QProgressDialog::canceled, job, [job] { job->cancel(); });
    job->m_dialog = dialog;
    const Progress progress = [job](std::size_t done, std::size_t all) {
        QMetaObject::invokeMethod(
            job,
            [job, done, all] {
                if (job->m_dialog && !job->m_cancelled) {
                    job->m_dialog->setMaximum(static_cast<int>(std::min<std::size_t>(all, 1000000)));
                    job->m_dialog->setValue(static_cast<int>(std::min(done, all)));
                }
            },
            Qt::QueuedConnection);
    };
    job->m_thread = std::thread([job, work = std::move(work), progress] {
        std::exception_ptr failure;
        try {
            work(progress, StopToken([job] { return job->m_cancelled.load(); }));
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(
            job, [job, failure] { job->finish(failure); }, Qt::QueuedConnection);
    });
    return job;
}

BackgroundJob::~BackgroundJob()
{
    m_cancelled = true;
    if (m_thread.joinable())
        m_thread.join();
    delete m_dialog.data();
}

bool BackgroundJob::busy(const QWidget* window)
{
    return window->findChild<BackgroundJob*>(QString(), Qt::FindDirectChildrenOnly) != nullptr;
}

void BackgroundJob::finish(std::exception_ptr failure)
{
    if (m_thread.joinable())
        m_thread.join();
    if (m_dialog)
        m_dialog->hide();
    const Done done = std::move(m_done);
    const bool cancelled = m_cancelled;
    setParent(nullptr); // no longer the window's job
    deleteLater();
    if (done)
        done(failure, cancelled);
}

} // namespace cardmill
