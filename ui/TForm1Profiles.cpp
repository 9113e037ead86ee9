// The main window's profiles: the list, loading one onto the window, Profiles Setup, the first start (what a
// first run needs, said on the window) and what was set up kept as a profile at Exit.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "engine/Files.h"
#include "engine/Text.h"
#include "settings/DialogRules.h"
#include "settings/ProfileRequest.h"
#include "ui/Choices.h"
#include "ui/ErrorHandler.h"
#include "ui/Messages.h"
#include "ui/PathBox.h"
#include "ui/SheetChoice.h"
#include "ui/TFSetup.h"
#include "ui/TForm1.h"
#include "ui/UserInteraction.h"
#include "ui/Widgets.h"

namespace cardmill {

void TForm1::fillProfileList()
{
    m_profiles->clear();
    for (const std::string& name : m_settings.profileNames())
        m_profiles->addItem(toQString(name));
}

void TForm1::startupLoad()
{
    fillProfileList();
    m_lastProfile = m_settings.lastProfile(m_lastProfile);
    if (!m_settings.exists() || m_profiles->count() == 0)
        m_newProfileRequest = true; // the window says what a first run needs; Profiles Setup opens for a new one
    showFirstStart();
    m_profiles->setCurrentIndex(-1);
    // A profile named on the command line wins over the remembered one; one that is not there is said, and
    // the window starts on none rather than on another profile.
    const int named = m_commandLineProfile.empty()
                          ? -1
                          : m_profiles->findText(toQString(m_commandLineProfile), Qt::MatchFixedString); // any case
    if (!m_commandLineProfile.empty() && named < 0) {
        std::string known;
        for (int i = 0; i < m_profiles->count(); ++i)
            known += "\n" + m_profiles->itemText(i).toStdString();
        showTextMessage(this, WindowText::UnknownProfile, language(),
                        {m_commandLineProfile, m_settings.file().string(),
                         known.empty() ? textFor(WindowText::NoProfilesYet, language()) : known});
        m_lastProfile = -1;
    } else if (named >= 0) {
        m_profiles->setCurrentIndex(named);
        profileLoad();
    } else if (m_lastProfile != -1) {
        m_profiles->setCurrentIndex(m_lastProfile < m_profiles->count() ? m_lastProfile : -1);
        profileLoad();
    }
    // A log opened with the program (from the file manager) takes the place of the profile's log.
    if (!m_commandLineLog.empty())
        setLogPath(m_commandLineLog);
    // Enter starts the run of a profile; on a first start it is where the hint begins.
    if (m_profiles->count() == 0)
        goOnFromTheLog();
    else
        m_start->setFocus();
}

void TForm1::profileLoad()
{
    const int selected = m_profiles->currentIndex();
    if (!m_settings.exists() || selected < 0)
        return;
    const StoredProfile p = m_settings.profile(m_profiles->currentText().toStdString());
    m_lastProfile = selected;
    // The profile's values as every program loads them; the window keeps the texts to show them as stored.
    RunRequest loaded = request();
    loaded.sheet = {}; // a profile without a sheet has its labels merged into its main document
    applyProfile(p, loaded);
    m_qrgText = p.qrgFormat && !qrgFormatOf(*p.qrgFormat) ? *p.qrgFormat : std::string();
    m_dateText = p.dateFormat.value_or(m_dateText);
    showChoices(loaded);
}

void TForm1::showChoices(const RunRequest& r)
{
    setLogPath(r.log);
    setMainDocumentPath(r.mainDocument);
    setLabelSheet(r.sheet.name());
    m_sheetChoice->setDesign(r.sheet.design);
    setSwlPath(r.swl);
    m_qsos->setText(QString::number(r.labelSize.value()));
    m_format.qrg = r.format.qrg;
    m_format.dateFormat = r.format.dateFormat;
    m_format.separator = r.format.separator;
    showLabelOrder(m_order, r.order);
    m_routes = r.routes;
    showFormats();
}

void TForm1::showFormats()
{
    // The QRG format by its name in the language of the moment, or a text that names no format as it is
    // stored; the date format as stored, with the separator of the moment.
    m_qrg->setText(toQString(m_qrgText.empty() ? std::string(qrgFormatName(static_cast<int>(m_format.qrg), language()))
                                               : m_qrgText));
    std::string sample = m_dateText.empty() ? std::string(m_format.dateFormat.sample()) : m_dateText;
    if (m_format.dateFormat.takesSeparator()) {
        std::string withSeparator;
        for (char c : sample) {
            if (c == '-')
                withSeparator += m_format.separator;
            else
                withSeparator.push_back(c);
        }
        sample = withSeparator;
    }
    m_date->setText(toQString(sample));
}

void TForm1::ComboBox2Change()
{
    profileLoad();
}

void TForm1::selectProfile(const std::string& name)
{
    m_profiles->setCurrentIndex(m_profiles->findText(toQString(name), Qt::MatchFixedString));
    if (m_profiles->currentIndex() >= 0)
        profileLoad();
    else
        m_lastProfile = -1;
}

void TForm1::Button8Click()
{
    ProfileSetupInput input;
    for (int i = 0; i < m_profiles->count(); ++i)
        input.profiles.push_back(m_profiles->itemText(i).toStdString());
    input.selected = m_profiles->currentIndex();
    input.newProfile = m_newProfileRequest;
    input.choices = request();
    if (input.choices.format.separator.empty())
        input.choices.format.separator = "-";
    TFSetup setup(m_settings, language(), input, this);
    userInteraction().execDialog(setup);
    const ProfileSetupResult& result = setup.result();
    if (!result.changed)
        return;
    fillProfileList();
    showFirstStart();
    if (result.saved)
        m_newProfileRequest = false;
    if (result.current)
        selectProfile(*result.current);
    else
        m_profiles->setCurrentIndex(-1);
    if (m_format.separator.empty()) {
        m_format.separator = "-";
        showFormats();
    }
}

void TForm1::goOnFromTheLog()
{
    // On a first start the focus follows the hint: from the log to the label sheet, then Tab onwards.
    if (m_profiles->count() > 0)
        return;
    if (logPath().empty())
        m_browseLog->setFocus();
    else if (labelSheet().empty())
        m_sheetChoice->box()->setFocus();
}

void TForm1::showFirstStart()
{
    m_firstStart->setVisible(m_profiles->count() == 0);
    m_sheetChoice->completeFromCatalogue();
    m_sheetChoice->showRememberedCall();
}

bool TForm1::keepAsProfile()
{
    if (m_profiles->currentIndex() >= 0 || (logPath().empty() && labelSheet().empty() && mainDocumentPath().empty()))
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
            m_settings.writeProfile(*name, profileOf(request())); // a failure is said by the caller
            fillProfileList();
            m_profiles->setCurrentIndex(m_profiles->findText(toQString(*name), Qt::MatchFixedString));
            m_lastProfile = m_profiles->currentIndex();
            return true;
        }
        proposal = *name;
    }
}

} // namespace cardmill
