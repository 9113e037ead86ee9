// The main window for someone who has no profile yet: what a first run needs, said on the window; the label
// sheet typed and completed from the catalogue, or chosen in the stock dialog; the own call kept; a preview of
// the labels before the run; and what was set up kept as a profile at Exit.
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

#include <cstdlib>

#include "engine/ConversionRun.h"
#include "engine/Files.h"
#include "engine/TempFiles.h"
#include "render/RunDrawer.h"
#include "settings/DialogRules.h"
#include "stock/MainDocuments.h"
#include "ui/Messages.h"
#include "ui/PathBox.h"
#include "ui/RunController.h"
#include "ui/TFStock.h"
#include "ui/TForm1.h"
#include "ui/UserInteraction.h"
#include "ui/Widgets.h"

namespace cardmill {

void TForm1::showFirstStart()
{
    m_firstStart->setVisible(m_profiles->count() == 0);
    if (!m_sheetBox->completer()) {
        QStringList names;
        for (const LabelStock* s : catalogue().search(""))
            names << toQString(s->name());
        auto* completer = new QCompleter(names, m_sheetBox);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setFilterMode(Qt::MatchContains); // "L7163" finds "Avery L7163"
        m_sheetBox->setCompleter(completer);
        connect(completer, qOverload<const QString&>(&QCompleter::activated), this,
                [this](const QString& chosen) { setLabelSheet(chosen.toStdString()); });
    }
    try {
        if (m_ownCall->text().isEmpty())
            m_ownCall->setText(toQString(m_settings.stockChoice().ownCall));
    } catch (const std::exception&) {
        // An unreadable settings file: the call is typed again.
    }
}

void TForm1::sheetTyped()
{
    const std::string typed = m_sheetBox->text().trimmed().toStdString();
    if (typed == m_sheet)
        return;
    // A stock of the catalogue by its name or part number, as the catalogue spells it; a grid or an unknown
    // name as typed (Start says what is wrong with it).
    const LabelStock* stock = typed.empty() || LabelSheet::isGrid(typed) ? nullptr : catalogue().find(typed);
    setLabelSheet(stock ? stock->name() : typed);
}

void TForm1::storeOwnCall()
{
    const std::string call = m_ownCall->text().trimmed().toUpper().toStdString();
    try {
        StockChoice choice = m_settings.stockChoice();
        if (choice.ownCall == call)
            return;
        choice.ownCall = call;
        m_settings.storeStockChoice(choice);
    } catch (const std::exception&) {
        // Said when the window stores its settings at Exit; the run takes the call from the window meanwhile.
    }
}

bool TForm1::keepAsProfile()
{
    if (m_profiles->currentIndex() >= 0 || (logPath().empty() && m_sheet.empty() && mainDocumentPath().empty()))
        return true;
    const Language l = language();
    std::string proposal = textFor(WindowText::KeepAsProfileName, l);
    for (;;) {
        const std::optional<std::string> name =
            userInteraction().inputText(this, textFor(WindowText::KeepAsProfileCaption, l),
                                        textFor(WindowText::KeepAsProfilePrompt, l), {}, proposal);
        if (!name)
            return true; // not kept, as the user chose
        if (const ProfileNameProblem problem = checkProfileName(*name); problem != ProfileNameProblem::None) {
            showTextMessage(this, profileNameProblemText(problem), l, {*name});
        } else if (m_settings.sectionExists(*name)) {
            showTextMessage(this, WindowText::ProfileExists, l);
        } else {
            Profile p;
            p.sourceFile = files::utf8Of(logPath());
            p.swlFile = files::utf8Of(swlPath());
            p.mainDocument = files::utf8Of(mainDocumentPath());
            p.qrgFormat =
                m_qrgText.empty() ? std::string(kQrgFormatTexts[static_cast<std::size_t>(m_qrgFormat)]) : m_qrgText;
            p.qsosOnLabel = labelSize().value();
            p.dateFormat = m_dateText.empty()
                               ? std::string(kDateFormatTexts[static_cast<std::size_t>(m_dateFormatIndex)])
                               : m_dateText;
            p.dateSeparator = m_separator;
            p.labelOrder = std::string(m_order->currentIndex() == 1 ? kBureauOrderText : kCallOrderText);
            p.labelSheet = m_sheet;
            m_settings.writeProfile(*name, p); // a failure is said by the caller
            fillProfileList();
            m_profiles->setCurrentIndex(m_profiles->findText(toQString(*name), Qt::MatchFixedString));
            m_lastProfile = m_profiles->currentIndex();
            return true;
        }
        proposal = *name;
    }
}

void TForm1::ButtonNewClick()
{
    storeOwnCall(); // the dialog starts with the call typed on the window
    TFStock dialog(catalogue(), m_settings, language(), this);
    if (!m_sheet.empty())
        dialog.selectSheet(m_sheet);
    // The documents go beside the main document in use, else beside the log, else into the home folder.
    std::filesystem::path folder = mainDocumentPath().parent_path();
    if (folder.empty())
        folder = logPath().parent_path();
    if (folder.empty())
        folder = toPath(QDir::homePath());
    dialog.setFolder(folder);
    const int answer = userInteraction().execDialog(dialog);
    try {
        m_ownCall->setText(toQString(m_settings.stockChoice().ownCall)); // as the dialog may have changed it
    } catch (const std::exception&) {
    }
    if (answer != QDialog::Accepted)
        return;
    if (!dialog.chosenSheet().empty()) {
        setLabelSheet(dialog.chosenSheet());
    } else if (!dialog.firstSizeDocument().empty()) {
        setMainDocumentPath(dialog.firstSizeDocument());
        setLabelSheet({}); // the documents just made are what the user wants used
    }
}

void TForm1::previewFirst()
{
    Edit3Exit();
    if (running())
        return;
    storeOwnCall();
    RunRequest r = request();
    if (!r.sheet.chosen()) {
        showTextMessage(this, WindowText::PreviewNeedsSheet, language());
        return;
    }
    if (r.log.empty()) {
        showTextMessage(this, TextId::NoSourceFile, language());
        return;
    }
    const std::optional<LabelStock> stock = sheetStock(m_sheet);
    if (!stock)
        return;
    std::unique_ptr<LabelDrawer> drawer;
    try {
        drawer = std::make_unique<CountingDrawer>(rendererFor(r, *stock));
    } catch (const MainDocumentError& e) {
        showTextMessage(this, WindowText::StockFailed, language(), {stockProblemText(e.problem(), language())});
        return;
    }
    // The run works on copies in a private scratch folder, so nothing beside the log changes and nothing is
    // marked; its labels are kept for the preview, which saves them beside the log when asked.
    std::error_code ec;
    const std::filesystem::path scratch = scratchFolder("preview");
    for (std::filesystem::path* input : {&r.log, &r.swl}) {
        if (input->empty() || !std::filesystem::is_regular_file(*input, ec))
            continue;
        const std::filesystem::path copy = scratch / input->filename();
        if (!std::filesystem::copy_file(*input, copy, std::filesystem::copy_options::overwrite_existing, ec)) {
            showTextMessage(this, WindowText::StockFailed, language(), {input->string() + ": " + ec.message()});
            std::filesystem::remove_all(scratch, ec);
            return;
        }
        *input = copy;
    }
    m_previewPdf = drawnLabelsPath(baseOf(logPath()));
    r.marking.on = false;
    r.pdf = false;
    r.keepTableDocument = false;
    if (m_runs.start(r, std::move(drawer))) {
        m_previewScratch = scratch;
        m_runStock = stock;
        m_runRequest = r;
        setRunning(true);
    } else {
        std::filesystem::remove_all(scratch, ec);
    }
}

} // namespace cardmill
