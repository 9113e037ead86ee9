// The main window as the run's host: every value is read from a control when the run asks for it, and what
// the run shows goes to the status bar, the progress bar and message boxes.
#include "ui/TForm1.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include "engine/Termination.h"
#include "ui/ErrorHandler.h"
#include "ui/FilterPane.h"
#include "ui/Messages.h"
#include "ui/TFADIF1.h"
#include "ui/UserInteraction.h"
#include "ui/Widgets.h"

namespace cardmill {

namespace {

constexpr qint64 kEventInterval = 25;    // ms between two rounds of pending events during a run
constexpr qint64 kProgressInterval = 40; // ms between two repaints of the progress bar

} // namespace

// --- The run's host ---

QrgFormat TForm1::qrgFormat() const
{
    return qrgFormatAt(m_qrgFormat);
}

void TForm1::userFieldsInto(std::vector<std::string>& fields) const
{
    if (m_configuration)
        m_configuration->userFieldsInto(fields);
    else
        fields.clear();
}

bool TForm1::dateRangeEnabled() const
{
    return m_filters->dateRangeOn();
}

PickerDate TForm1::dateFrom() const
{
    return m_filters->from();
}

PickerDate TForm1::dateTo() const
{
    return m_filters->to();
}

bool TForm1::qslFilterEnabled(QslFilter filter) const
{
    return m_filters->qslFilterOn(filter);
}

bool TForm1::qslBoxTicked(QslFilter filter, QslBox box) const
{
    return m_filters->qslBoxTicked(filter, box);
}

bool TForm1::callFilterEnabled() const
{
    return m_filters->callOn();
}

std::string TForm1::callFilterText() const
{
    return m_filters->call();
}

std::filesystem::path TForm1::logPath() const
{
    return shownPath(m_log);
}

std::filesystem::path TForm1::swlPath() const
{
    return shownPath(m_swl);
}

std::filesystem::path TForm1::mainDocumentPath() const
{
    return shownPath(m_main);
}

int TForm1::labelSize() const
{
    return m_qsos->text().toInt();
}

int TForm1::startLabel() const
{
    return m_firstLabel->value();
}

SentMarking TForm1::sentMarking() const
{
    return m_configuration ? m_configuration->sentMarking() : SentMarking{};
}

bool TForm1::keepTemporaryFile() const
{
    return m_configuration && m_configuration->keepTemporaryFile();
}

void TForm1::setStatus(TextId id, const TextArgs& args)
{
    if (id == m_statusId && args == m_statusArgs)
        return; // the run sets its status before every record: only a change costs anything
    m_statusId = id;
    m_statusArgs = args;
    m_status->setText(QString::fromStdString(textFor(id, language(), args)));
}

void TForm1::showProgress(bool visible)
{
    m_progress->setVisible(visible);
    if (visible)
        updateProgressBar();
}

void TForm1::setProgressRange(std::size_t maximum)
{
    m_progressMaximum = maximum;
    updateProgressBar();
}

void TForm1::setProgressPosition(std::size_t position)
{
    m_progressPosition = position;
    if (m_sinceProgress.elapsed() >= kProgressInterval)
        updateProgressBar();
}

void TForm1::updateProgressBar()
{
    // The bar works in ints; long logs are scaled to a thousand steps.
    const std::size_t max = m_progressMaximum == 0 ? 1 : m_progressMaximum;
    const std::size_t pos = std::min(m_progressPosition, max);
    m_progress->setRange(0, 1000);
    m_progress->setValue(static_cast<int>(pos * 1000 / max));
    m_sinceProgress.restart();
}

void TForm1::showMessage(TextId id, const TextArgs& args)
{
    showTextMessage(this, id, language(), args);
}

void TForm1::showSummary(const RunSummary& summary)
{
    const Language l = language();
    const bool failed = summary.kind == RunSummary::Kind::MergeFailed;
    const std::string warnings = warningsText(summary, l);
    userInteraction().message(this, textFor(failed ? WindowText::CaptionError : WindowText::CaptionInformation, l),
                              summaryText(summary, l) + (warnings.empty() ? "" : "\n\n" + warnings),
                              failed ? UserInteraction::Icon::Error : UserInteraction::Icon::Information);
}

void TForm1::showError(const Failure& failure)
{
    handleError(FailureError(failure));
}

void TForm1::processEvents()
{
    // Cheap when called often: pending events run at most every few milliseconds.
    if (m_sinceEvents.elapsed() < kEventInterval)
        return;
    if (m_sinceProgress.elapsed() >= kProgressInterval)
        updateProgressBar();
    QCoreApplication::processEvents();
    m_sinceEvents.restart();
}

bool TForm1::stopRequested() const
{
    return m_stop || termination::received(); // "Stop", or a signal that asks the program to end
}

void TForm1::clearStopRequest()
{
    m_stop = false;
}

void TForm1::setStopEnabled(bool enabled)
{
    m_stopButton->setEnabled(enabled);
}

} // namespace cardmill
