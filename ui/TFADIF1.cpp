#include "ui/TFADIF1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/Text.h"
#include "settings/DialogRules.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "ui/Captions.h"
#include "ui/Messages.h"
#include "ui/UserInteraction.h"
#include "ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace cardmill {

namespace {

// The fixed fields as the dialog lists them.
const char* const kFixedFields[] = {"CALL",    "QSO_DATE", "TIME_ON", "BAND",       "MODE",     "RST_SENT",
                                    "QSL_VIA", "NAME",     "QTH",     "CONTEST_ID", "QSL_RCVD", "OPERATOR"};

} // namespace

TFADIF1::TFADIF1(std::filesystem::path settingsFile, QWidget* parent)
    : QDialog(parent)
    , m_settingsFile(std::move(settingsFile))
{
    setObjectName("FADIF1");
    captioned(this, WindowText::ConfigTitle);
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* lists = new QHBoxLayout;
    outer->addLayout(lists);

    auto* fixedBox = named<QGroupBox>(this, "GroupBox1");
    captioned(fixedBox, WindowText::ConfigFixed);
    auto* fixedLayout = new QVBoxLayout(fixedBox);
    m_fixed = spokenAs(named<QListWidget>(fixedBox, "ListBox2"), WindowText::ConfigFixed);
    for (const char* f : kFixedFields)
        m_fixed->addItem(QString::fromLatin1(f));
    m_fixed->setEnabled(false);
    fixedLayout->addWidget(m_fixed);
    lists->addWidget(fixedBox);

    auto* userBox = named<QGroupBox>(this, "GroupBox2");
    captioned(userBox, WindowText::ConfigUser);
    auto* userLayout = new QVBoxLayout(userBox);
    m_fields = spokenAs(named<QListWidget>(userBox, "ListBox1"), WindowText::ConfigUser);
    m_fields->setSelectionMode(QAbstractItemView::SingleSelection);
    userLayout->addWidget(m_fields);
    m_add = captioned(named<QPushButton>(userBox, "Button1", "&Add"), WindowText::ConfigAdd);
    m_delete = captioned(named<QPushButton>(userBox, "Button2", "&Delete"), WindowText::ConfigDelete);
    auto* userButtons = new QHBoxLayout;
    userButtons->addWidget(m_add);
    userButtons->addWidget(m_delete);
    userLayout->addLayout(userButtons);
    lists->addWidget(userBox);

    m_keepTemporary =
        captioned(named<QCheckBox>(this, "CheckBox2", "Do not delete temporary.doc file"), WindowText::ConfigTemporary);
    m_pdf = captioned(named<QCheckBox>(this, "CheckBox3", "Also save labels as PDF"), WindowText::ConfigPdf);
    m_markSent = captioned(named<QCheckBox>(this, "CheckBox4", "Mark QSOs as sent, via"), WindowText::ConfigMarkSent);
    m_sentVia = spokenAs(named<QComboBox>(this, "ComboBox1"), WindowText::ConfigMarkSent);
    for (int i = 0; i < 4; ++i)
        m_sentVia->addItem(QString());
    m_ownLast = captioned(named<QCheckBox>(this, "CheckBoxOwnLast", "Bureau order: own country's bundle last"),
                          WindowText::ConfigOwnLast);
    m_polish = captioned(named<QCheckBox>(this, "CheckBox1", "Polish language"), WindowText::ConfigPolish);
    m_exit = captioned(named<QPushButton>(this, "Button3", "Exit"), WindowText::ConfigExit);
    m_exit->setDefault(true); // Enter closes with what was set, never asks for a field to add
    outer->addWidget(m_keepTemporary);
    outer->addWidget(m_pdf);
    auto* mark = new QHBoxLayout;
    mark->addWidget(m_markSent);
    mark->addWidget(m_sentVia);
    mark->addStretch(1);
    outer->addLayout(mark);
    outer->addWidget(m_ownLast);
    auto* last = new QHBoxLayout;
    last->addWidget(m_polish);
    last->addStretch(1);
    last->addWidget(m_exit);
    outer->addLayout(last);

    connect(m_add, &QPushButton::clicked, this, &TFADIF1::Button1Click);
    connect(m_delete, &QPushButton::clicked, this, &TFADIF1::Button2Click);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::accept);
    // The dialog speaks the language chosen in it at once.
    connect(m_polish, &QCheckBox::toggled, this, [this] { applyLanguage(); });
    load();
    applyLanguage();
}

void TFADIF1::applyLanguage()
{
    const Language l = language();
    applyCaptions(this, l);
    const WindowText via[] = {WindowText::ConfigViaNotSet, WindowText::ConfigViaBureau, WindowText::ConfigViaDirect,
                              WindowText::ConfigViaElectronic};
    for (int i = 0; i < 4; ++i)
        m_sentVia->setItemText(i, toQString(textFor(via[i], l)));
}

void TFADIF1::load()
{
    m_fields->clear();
    const Settings settings(m_settingsFile);
    if (!settings.exists())
        return;
    for (const std::string& f : settings.userFields())
        m_fields->addItem(QString::fromStdString(f));
    const ProgramOptions o = settings.programOptions();
    m_keepTemporary->setChecked(o.keepTemporaryFile);
    m_polish->setChecked(o.polish);
    m_pdf->setChecked(o.pdfLabels);
    m_markSent->setChecked(o.markSent);
    m_sentVia->setCurrentIndex(o.sentVia == 'B' ? 1 : o.sentVia == 'D' ? 2 : o.sentVia == 'E' ? 3 : 0);
    m_ownLast->setChecked(o.ownBundleLast);
}

std::vector<std::string> TFADIF1::userFields() const
{
    std::vector<std::string> fields;
    for (int i = 0; i < m_fields->count(); ++i)
        fields.push_back(m_fields->item(i)->text().toStdString());
    return fields;
}

bool TFADIF1::keepTemporaryFile() const
{
    return m_keepTemporary->isChecked();
}

bool TFADIF1::polish() const
{
    return m_polish->isChecked();
}

bool TFADIF1::pdfLabels() const
{
    return m_pdf->isChecked();
}

bool TFADIF1::ownBundleLast() const
{
    return m_ownLast->isChecked();
}

ProgramOptions TFADIF1::options() const
{
    ProgramOptions o;
    o.keepTemporaryFile = keepTemporaryFile();
    o.polish = polish();
    o.pdfLabels = pdfLabels();
    const SentMarking marking = sentMarking();
    o.markSent = marking.on;
    o.sentVia = marking.via;
    o.ownBundleLast = ownBundleLast();
    return o;
}

SentMarking TFADIF1::sentMarking() const
{
    static constexpr char kVia[] = {0, 'B', 'D', 'E'};
    const int i = m_sentVia->currentIndex();
    return {m_markSent->isChecked(), i >= 0 && i < 4 ? kVia[i] : char{0}};
}

void TFADIF1::Button1Click()
{
    const Language l = language();
    // The input box completes ADIF 3.1.4 field names as they are typed.
    static const std::vector<std::string> completions(adifFieldNames().begin(), adifFieldNames().end());
    const std::optional<std::string> answer = userInteraction().inputText(
        this, textFor(WindowText::AddFieldCaption, l), textFor(WindowText::AddFieldPrompt, l), completions);
    if (!answer || answer->empty())
        return;
    const std::string name = text::upper(std::string(text::trim(*answer)));
    switch (checkUserField(name, userFields())) {
    case UserFieldProblem::None: m_fields->addItem(QString::fromStdString(name)); break;
    case UserFieldProblem::Empty: break;
    case UserFieldProblem::Blanks: showTextMessage(this, WindowText::FieldBlanks, l, {*answer}); break;
    case UserFieldProblem::Fixed: showTextMessage(this, WindowText::FieldFixed, l, {name}); break;
    case UserFieldProblem::Twice: showTextMessage(this, WindowText::FieldTwice, l, {name}); break;
    case UserFieldProblem::Unknown: showTextMessage(this, WindowText::FieldUnknown, l, {name}); break;
    }
}

void TFADIF1::Button2Click()
{
    const QList<QListWidgetItem*> selected = m_fields->selectedItems();
    if (selected.isEmpty()) {
        userInteraction().beep();
        return;
    }
    delete m_fields->takeItem(m_fields->row(selected.first()));
}

} // namespace cardmill
