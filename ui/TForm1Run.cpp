// The main window and its runs: the request made of the window's choices, the run's progress in the status
// bar, and how it ended in messages.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include "settings/IniFile.h"
#include "settings/ProfileRequest.h"
#include "stock/MainDocuments.h"
#include "ui/FilterPane.h"
#include "ui/LabelPreview.h"
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
    r.format.dateFormat = DateFormat::of(m_dateFormatIndex).value_or(DateFormat());
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
    r.ownCall = m_ownCall->text().trimmed().toUpper().toStdString();
    if (r.ownCall.empty())
        try {
            r.ownCall = m_settings.stockChoice().ownCall;
        } catch (const std::exception&) {
            // An unreadable settings file only means no own call: bureau order then has no own country first.
        }
    r.polishNames = language() == Language::Polish;
    r.sheet.setName(m_sheet);
    if (r.sheet.chosen())
        try {
            applyCalibration(IniFile(m_settings.file()), r.sheet);
        } catch (const std::exception&) {
            // An unreadable settings file: the sheet as the stock lays it out.
        }
    return r;
}

void TForm1::setLabelSheet(const std::string& sheet)
{
    m_sheet = sheet;
    m_sheetBox->setText(toQString(sheet));
    m_sheetBox->setToolTip(toQString(sheet));
    m_sheetBox->actions().front()->setVisible(!sheet.empty());
    // With a sheet the main document is not used; it stays for when the sheet is cleared.
    m_main->setEnabled(sheet.empty());
}

void TForm1::ButtonSheetClick()
{
    ButtonNewClick(); // the same dialog: a stock chosen, then "Print on this sheet" or main documents made
}

const StockCatalogue& TForm1::catalogue()
{
    if (!m_catalogue) {
        m_catalogue = std::make_unique<StockCatalogue>();
        m_catalogue->loadInstalled();
    }
    return *m_catalogue;
}

std::optional<LabelStock> TForm1::sheetStock(const std::string& sheet)
{
    if (LabelSheet::isGrid(sheet)) {
        try {
            return customStock(parseCustomGrid(sheet));
        } catch (const std::invalid_argument& e) {
            showTextMessage(this, WindowText::StockFailed, language(), {e.what()});
            return std::nullopt;
        }
    }
    if (const LabelStock* stock = catalogue().find(sheet))
        return *stock;
    showTextMessage(this, WindowText::SheetUnknown, language(), {sheet});
    return std::nullopt;
}

QWidget* TForm1::preview() const
{
    return m_preview;
}

void TForm1::showPreview(const RunResult& result, const std::filesystem::path& pdf)
{
    if (!m_runStock || !result.summary->labels)
        return;
    if (m_preview)
        m_preview->close();
    try {
        auto* preview =
            new LabelPreview(result.summary->labels, *m_runStock, m_runRequest, pdf, m_settings, language(), this);
        preview->setAttribute(Qt::WA_DeleteOnClose);
        m_preview = preview;
        preview->show();
    } catch (const MainDocumentError& e) {
        showTextMessage(this, WindowText::StockFailed, language(), {stockProblemText(e.problem(), language())});
    }
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
        // The PDFs when they were made: ready to print as they are, and far lighter to open than the documents.
        std::vector<std::filesystem::path> documents = result.summary->pdfs;
        if (documents.empty())
            for (const MadeLabels& m : result.summary->made)
                documents.push_back(m.document);
        openDocuments(documents);
    }
    const bool previewRun = !m_previewScratch.empty();
    if (previewRun) {
        // A preview before the run: its labels on the sheets, and only what went wrong said; its scratch copies go.
        std::error_code ec;
        std::filesystem::remove_all(m_previewScratch, ec);
        m_previewScratch.clear();
        if (result.outcome == RunOutcome::Done && result.summary && result.summary->labels)
            showPreview(result, m_previewPdf);
        else
            for (const EndingMessage& m : endingMessages(result, l))
                if (m.role != EndingMessage::Role::Summary)
                    showEnding(this, m, l);
        m_runStock.reset();
        return;
    }
    // Drawn labels open in the preview, where they are printed; it says what the run made, with no box to close.
    if (result.summary && result.summary->kind == RunSummary::Kind::Drawn && result.outcome != RunOutcome::Stopped)
        showPreview(result, result.summary->pdfs.empty() ? std::filesystem::path() : result.summary->pdfs.front());
    auto* preview = qobject_cast<LabelPreview*>(m_preview.data());
    for (const EndingMessage& m : endingMessages(result, l)) {
        if (preview && m.role == EndingMessage::Role::Summary && !m.failed)
            preview->setSummary(m.text + (m.notes.empty() ? "" : "\n" + m.notes));
        else
            showEnding(this, m, l);
    }
    m_runStock.reset();
    if (m_closeWhenStopped) {
        m_closeWhenStopped = false;
        close();
    }
}

} // namespace cardmill
