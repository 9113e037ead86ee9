// The main window and its runs: the request made of the window's choices, the label sheet, Start and Preview
// (one prologue for both), the run's progress in the status bar, and how it ended in messages and the preview.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include "engine/ConversionRun.h"
#include "engine/Failure.h"
#include "engine/Journal.h"
#include "engine/TempFiles.h"
#include "render/RunDrawer.h"
#include "settings/IniFile.h"
#include "settings/ProfileRequest.h"
#include "stock/MainDocuments.h"
#include "texts/DesignTexts.h"
#include "ui/Choices.h"
#include "ui/FilterPane.h"
#include "ui/LabelPreview.h"
#include "ui/Messages.h"
#include "ui/PathBox.h"
#include "ui/RoutesDialog.h"
#include "ui/RunController.h"
#include "ui/SheetChoice.h"
#include "ui/TFADIF1.h"
#include "ui/TFDesigner.h"
#include "ui/TForm1.h"
#include "ui/UserInteraction.h"
#include "ui/Widgets.h"

namespace cardmill {

namespace {

// Why the drawer of a run's labels could not be made: a stock that cannot carry them, a design, a printer.
void showDrawerProblem(QWidget* window, std::exception_ptr problem, Language language)
{
    try {
        std::rethrow_exception(problem);
    } catch (const MainDocumentError& e) {
        showTextMessage(window, WindowText::StockFailed, language, {stockProblemText(e.problem(), language)});
    } catch (const DesignError& e) {
        showTextMessage(window, WindowText::StockFailed, language, {designErrorText(e, language)});
    } catch (const FailureError& e) {
        showTextMessage(window, WindowText::StockFailed, language, {failureText(e.failure(), language)});
    }
}

} // namespace

RunRequest TForm1::request() const
{
    RunRequest r;
    r.log = logPath();
    r.swl = swlPath();
    r.mainDocument = mainDocumentPath();
    r.labelSize = labelSize();
    r.format.qrg = m_format.qrg;
    r.format.dateFormat = m_format.dateFormat;
    r.format.separator = m_format.separator;
    r.format.userFields = userFields();
    r.filters = m_filters->choice();
    r.startLabel = m_firstLabel->value();
    if (m_configuration)
        applyProgramOptions(m_configuration->options(), r);
    r.polishNames = language() == Language::Polish;
    r.order = labelOrderIn(m_order);
    r.countryFile = countryFileFor(m_settings.file());
    r.routes = m_routes;
    r.routes.journal = journalFor(m_settings.file());
    r.routes.reprintSheet.reset();
    r.ownCall = m_sheetChoice->ownCall();
    if (r.ownCall.empty())
        try {
            r.ownCall = m_settings.stockChoice().ownCall;
        } catch (const std::exception&) {
            // An unreadable settings file only means no own call: bureau order then has no own country first.
        }
    r.sheet.setName(labelSheet());
    r.sheet.design = m_sheetChoice->design();
    if (r.sheet.chosen())
        try {
            applyCalibration(IniFile(m_settings.file()), r.sheet);
        } catch (const std::exception&) {
            // An unreadable settings file: the sheet as the stock lays it out.
        }
    return r;
}

const std::string& TForm1::labelSheet() const
{
    return m_sheetChoice->sheet();
}

void TForm1::setLabelSheet(const std::string& sheet)
{
    m_sheetChoice->setSheet(sheet);
}

std::filesystem::path TForm1::documentsFolder() const
{
    std::filesystem::path folder = mainDocumentPath().parent_path();
    if (folder.empty())
        folder = logPath().parent_path();
    return folder.empty() ? toPath(QDir::homePath()) : folder;
}

void TForm1::ButtonNewClick()
{
    const std::filesystem::path made = m_sheetChoice->openStockDialog(documentsFolder(), language());
    if (!made.empty())
        setMainDocumentPath(made);
}

void TForm1::ButtonSheetClick()
{
    ButtonNewClick(); // the same dialog: a stock chosen, then "Print on this sheet" or main documents made
}

void TForm1::editDesign()
{
    TFDesigner::Target target;
    if (!labelSheet().empty()) {
        const std::optional<LabelStock> stock = m_sheetChoice->stock(language());
        if (!stock)
            return;
        target.width = stock->width / kPointsPerMm;
        target.height = stock->height / kPointsPerMm;
    }
    target.qsos = request().labelSize.value();
    target.ownCall = m_sheetChoice->ownCall();
    target.log = logPath();
    try {
        TFDesigner designer(m_sheetChoice->design(), target, language(), this);
        userInteraction().execDialog(designer);
        if (!designer.choice().empty())
            m_sheetChoice->setDesign(designer.choice());
    } catch (const DesignError& e) {
        showTextMessage(this, WindowText::StockFailed, language(), {designErrorText(e, language())});
    }
}

QWidget* TForm1::preview() const
{
    return m_preview;
}

std::unique_ptr<RunStart> TForm1::prepareRun(bool preview, const std::optional<RouteChoice::ReprintSheet>& reprint)
{
    if (running() || !Edit3Exit())
        return nullptr;
    m_sheetChoice->storeOwnCall();
    auto start = std::make_unique<RunStart>();
    start->request = request();
    if (reprint) {
        // A sheet drawn again starts where it started then.
        start->request.order = LabelOrder::Routes;
        start->request.routes.reprintSheet = reprint;
        try {
            startWhereTheSheetStarted(start->request);
        } catch (const FailureError& e) {
            showTextMessage(this, WindowText::StockFailed, language(), {failureText(e.failure(), language())});
            return nullptr;
        }
    }
    const RunRequest& r = start->request;
    if (preview && !r.sheet.chosen()) {
        showTextMessage(this, WindowText::PreviewNeedsSheet, language());
        return nullptr;
    }
    if (preview && r.log.empty()) {
        showTextMessage(this, TextId::NoSourceFile, language());
        return nullptr;
    }
    // Labels merged into main documents: the direct cards' address labels drawn on the address sheet, when named.
    if (r.merge && !r.sheet.chosen() && r.routed() && !r.routes.addressStock.empty() && !preview) {
        start->addressStock = m_sheetChoice->stockOf(r.routes.addressStock, language());
        if (!start->addressStock)
            return nullptr;
        try {
            start->addressDrawer = drawerFor(r.forAddressLabels(), *start->addressStock, DrawerKind::Sheets,
                                             textFor(WindowText::PrintJobName, language()));
        } catch (const std::exception&) {
            showDrawerProblem(this, std::current_exception(), language());
            return nullptr;
        }
    }
    if (!r.merge || !r.sheet.chosen())
        return start;
    // Labels drawn without a call sign end in a bare "73": asked first, not drawn without a word.
    if (!preview && r.ownCall.empty() &&
        askText(this, WindowText::NoOwnCall, language(), false, {}, UserInteraction::Answer::No) !=
            UserInteraction::Answer::Yes) {
        m_sheetChoice->focusOwnCall();
        return nullptr;
    }
    // The sheet is checked before the run: a stock that cannot carry the labels is said at once.
    start->stock = m_sheetChoice->stock(language());
    if (!start->stock)
        return nullptr;
    try {
        const DrawerKind kind = preview ? DrawerKind::Counting : DrawerKind::Sheets;
        start->drawer = drawerFor(r, *start->stock, kind, textFor(WindowText::PrintJobName, language()));
        if (r.routed()) { // the address labels on the labels' own stock, or on one of their own
            std::optional<LabelStock> addressStock = start->stock;
            if (!r.routes.addressStock.empty())
                addressStock = m_sheetChoice->stockOf(r.routes.addressStock, language());
            if (!addressStock)
                return nullptr;
            start->addressDrawer =
                drawerFor(r.forAddressLabels(), *addressStock, kind, textFor(WindowText::PrintJobName, language()));
            start->addressStock = addressStock;
        }
    } catch (const std::exception&) {
        showDrawerProblem(this, std::current_exception(), language());
        return nullptr;
    }
    return start;
}

void TForm1::startRun(std::unique_ptr<RunStart> start)
{
    if (m_runs.start(std::move(start)))
        setRunning(true);
}

void TForm1::Button1Click()
{
    if (std::unique_ptr<RunStart> start = prepareRun(false))
        startRun(std::move(start));
}

void TForm1::previewFirst()
{
    std::unique_ptr<RunStart> start = prepareRun(true);
    if (!start)
        return;
    // The run works on copies in a private scratch folder, so nothing beside the log changes and nothing is
    // marked; its labels are kept for the preview, which saves them beside the log when asked.
    RunRequest& r = start->request;
    start->scratch = scratchFolder("preview");
    std::error_code ec;
    for (std::filesystem::path* input : {&r.log, &r.swl}) {
        if (input->empty() || !std::filesystem::is_regular_file(*input, ec))
            continue;
        const std::filesystem::path copy = start->scratch / input->filename();
        if (!std::filesystem::copy_file(*input, copy, std::filesystem::copy_options::overwrite_existing, ec)) {
            showTextMessage(this, WindowText::StockFailed, language(), {input->string() + ": " + ec.message()});
            return; // the scratch folder goes with `start`
        }
        *input = copy;
    }
    start->previewPdf = drawnLabelsPath(baseOf(logPath()));
    r.marking.on = false;
    r.pdf = false;
    r.keepTableDocument = false;
    startRun(std::move(start));
}

void TForm1::Button6Click()
{
    m_runs.stop();
    m_stopButton->setEnabled(false);
}

void TForm1::showPreview(const RunResult& result, const RunStart& start, const std::filesystem::path& pdf)
{
    if (!start.stock || !result.summary->labels)
        return;
    if (m_preview)
        m_preview->close();
    // With routes, one batch after the other: the bureau cards, the direct ones and their address labels.
    std::vector<PreviewBatch> batches;
    for (const DrawnBatch& b : result.summary->drawnBatches) {
        PreviewBatch shown;
        shown.caption = b.addresses                ? WindowText::PreviewBatchAddresses
                        : b.route == Route::Direct ? WindowText::PreviewBatchDirect
                                                   : WindowText::PreviewBatchBureau;
        shown.labels = b.labels;
        shown.stock = b.addresses && start.addressStock ? *start.addressStock : *start.stock;
        shown.request = b.addresses ? start.request.forAddressLabels() : start.request;
        shown.request.startLabel = start.request.startLabelOf(b.route);
        // A preview before the run proposes to save beside the log, not in its scratch folder.
        shown.pdf = start.preview() ? pdf.parent_path() / b.pdf.filename() : b.pdf;
        batches.push_back(std::move(shown));
    }
    if (batches.empty())
        batches.push_back({WindowText::Count, result.summary->labels, *start.stock, start.request, pdf});
    try {
        auto* preview = new LabelPreview(std::move(batches), m_settings, language(), this);
        preview->setAttribute(Qt::WA_DeleteOnClose);
        m_preview = preview;
        preview->show();
    } catch (const MainDocumentError& e) {
        showTextMessage(this, WindowText::StockFailed, language(), {stockProblemText(e.problem(), language())});
    } catch (const DesignError& e) {
        showTextMessage(this, WindowText::StockFailed, language(), {designErrorText(e, language())});
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
    connect(
        &m_runs, &RunController::finished, this,
        [this](const RunResult& result, const std::shared_ptr<const RunStart>& start) { runEnded(result, *start); });
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
    m_versionShown = false;
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

void TForm1::runEnded(const RunResult& result, const RunStart& start)
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
        if (!result.summary->routes.addressPdf.empty()) // the direct cards' address labels, drawn beside them
            documents.push_back(result.summary->routes.addressPdf);
        openDocuments(documents);
    }
    if (start.preview()) {
        // A preview before the run: its labels on the sheets, and only what went wrong said.
        if (result.outcome == RunOutcome::Done && result.summary && result.summary->labels)
            showPreview(result, start, start.previewPdf);
        else
            for (const EndingMessage& m : endingMessages(result, l))
                if (m.role != EndingMessage::Role::Summary)
                    showEnding(this, m, l);
        return;
    }
    // Drawn labels open in the preview, where they are printed; it says what the run made, with no box to close.
    if (result.summary && result.summary->kind == RunSummary::Kind::Drawn && result.outcome != RunOutcome::Stopped)
        showPreview(result, start,
                    result.summary->pdfs.empty() ? std::filesystem::path() : result.summary->pdfs.front());
    auto* preview = qobject_cast<LabelPreview*>(m_preview.data());
    for (const EndingMessage& m : endingMessages(result, l)) {
        if (preview && m.role == EndingMessage::Role::Summary && !m.failed)
            preview->setSummary(m.text + (m.notes.empty() ? "" : "\n" + m.notes));
        else
            showEnding(this, m, l);
    }
    if (m_closeWhenStopped) {
        m_closeWhenStopped = false;
        close();
    }
}

void TForm1::editRoutes()
{
    // The runs the journal holds, for "Reprint sheet..."; one that cannot be read is said, and offers none.
    std::vector<Journal::Run> runs;
    try {
        runs = Journal::read(journalFor(m_settings.file())).runs();
    } catch (const FailureError& e) {
        showTextMessage(this, WindowText::RoutesJournalUnreadable, language(), {failureText(e.failure(), language())});
    }
    const auto chooseSheet = [this](const std::string& sheet) {
        return chooseInStockDialog(m_sheetChoice->catalogue(), m_settings, language(), this, documentsFolder(), sheet)
            .sheet;
    };
    RoutesDialog dialog(m_routes, chooseSheet, runs, language(), this);
    if (userInteraction().execDialog(dialog) != QDialog::Accepted)
        return;
    m_routes = dialog.choice();
    if (dialog.reprint())
        reprintSheet(*dialog.reprint());
}

void TForm1::reprintSheet(const RouteChoice::ReprintSheet& sheet)
{
    if (std::unique_ptr<RunStart> start = prepareRun(false, sheet))
        startRun(std::move(start));
}

} // namespace cardmill
