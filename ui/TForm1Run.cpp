// The main window and its runs: the request made of the window's choices, the run's progress in the status
// bar, and how it ended in messages.
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include "settings/ProfileRequest.h"
#include "ui/FilterPane.h"
#include "ui/Messages.h"
#include "ui/PathBox.h"
#include "ui/RunController.h"
#include "ui/TFADIF1.h"
#include "ui/TForm1.h"
#include "ui/Widgets.h"

namespace cardmill {

RunRequest TForm1::request() const
{
    RunRequest r;
    r.log = logPath();
    r.swl = swlPath();
    r.mainDocument = mainDocumentPath();
    r.labelSize = labelSize();
    r.format.qrg = qrgFormatAt(m_qrgFormat);
    r.format.dateFormat = m_dateFormatIndex;
    r.format.separator = m_separator;
    r.format.userFields = userFields();
    r.filters = m_filters->choice();
    r.startLabel = m_firstLabel->value();
    if (m_configuration) {
        r.keepTableDocument = m_configuration->keepTemporaryFile();
        r.pdf = m_configuration->pdfLabels();
        r.marking = m_configuration->sentMarking();
        r.ownBundleLast = m_configuration->ownBundleLast();
    }
    r.order = m_order->currentIndex() == 1 ? LabelOrder::Bureau : LabelOrder::Call;
    r.countryFile = countryFileFor(m_settings.file());
    try {
        r.ownCall = m_settings.stockChoice().ownCall;
    } catch (const std::exception&) {
        // An unreadable settings file only means no own call: bureau order then has no own country first.
    }
    r.polishNames = language() == Language::Polish;
    return r;
}

bool TForm1::running() const
{
    return m_runs.running();
}

void TForm1::connectRuns()
{
    connect(&m_runs, &RunController::status, this, [this](TextId id, const TextArgs& args) { showStatus(id, args); });
    connect(&m_runs, &RunController::progress, this,
            [this](qint64 position, qint64 maximum) { showProgress(position, maximum); });
    connect(&m_runs, &RunController::finished, this, [this](const RunResult& result) { runEnded(result); });
}

void TForm1::setRunning(bool running)
{
    // The one rule: while a run works, what would start another or change the files it works on waits (a
    // second run, archiving the SWL file, new main documents); every choice stays live and applies to the next
    // run.
    for (QWidget* w : findChildren<QWidget*>())
        if (w->property(kIdleOnly).toBool())
            w->setEnabled(!running);
    m_stopButton->setEnabled(running);
}

void TForm1::showStatus(TextId id, const TextArgs& args)
{
    m_status->setText(toQString(textFor(id, language(), args)));
}

void TForm1::showProgress(qint64 position, qint64 maximum)
{
    m_progress->setVisible(maximum > 0);
    if (maximum <= 0)
        return;
    // The bar works in ints; long logs are scaled to a thousand steps.
    m_progress->setRange(0, 1000);
    m_progress->setValue(static_cast<int>(std::min(position, maximum) * 1000 / maximum));
}

void TForm1::runEnded(const RunResult& result)
{
    setRunning(false);
    m_progress->hide();
    m_status->clear(); // nothing of the run (a LibreOffice conversion's seconds) stays in the status bar
    const Language l = language();
    // The label documents open with the desktop's application (their PDFs lie beside them).
    if (result.summary && result.summary->kind == RunSummary::Kind::Labels && result.outcome != RunOutcome::Stopped) {
        std::vector<std::filesystem::path> documents;
        for (const MadeLabels& m : result.summary->made)
            documents.push_back(m.document);
        openDocuments(documents);
    }
    for (const EndingMessage& m : endingMessages(result, l))
        showEnding(this, m, l);
    if (m_closeWhenStopped) {
        m_closeWhenStopped = false;
        close();
    }
}

} // namespace cardmill
