#include "ui/TFADIF1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>

#include "engine/Text.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "ui/UserInteraction.h"

namespace cardmill {

namespace {

const char* const kFixedFields[] = {"CALL", "QSO_DATE", "TIME_ON", "BAND",       "MODE",     "RST_SENT",
                                    "QSL_VIA", "NAME",  "QTH",     "CONTEST_ID", "QSL_RCVD", "OPERATOR"};

bool isFixed(const std::string& name)
{
    const std::string upper = text::upper(name);
    for (const char* f : kFixedFields)
        if (upper == f)
            return true;
    return false;
}

} // namespace

TFADIF1::TFADIF1(std::filesystem::path settingsFile, QWidget* parent)
    : QDialog(parent)
    , m_settingsFile(std::move(settingsFile))
{
    setObjectName("FADIF1");
    setWindowTitle("Configuration");
    resize(405, 288);

    GroupBox1 = new QGroupBox("Fixed ADIF fields", this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(8, 8, 185, 209);
    ListBox2 = new QListWidget(GroupBox1);
    ListBox2->setObjectName("ListBox2");
    ListBox2->setGeometry(8, 20, 169, 181);
    for (const char* f : kFixedFields)
        ListBox2->addItem(f);
    ListBox2->setEnabled(false);

    GroupBox2 = new QGroupBox("User definied ADIF fields", this);
    GroupBox2->setObjectName("GroupBox2");
    GroupBox2->setGeometry(204, 8, 193, 209);
    ListBox1 = new QListWidget(GroupBox2);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setGeometry(8, 20, 177, 149);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Button1 = new QPushButton("Add", GroupBox2);
    Button1->setObjectName("Button1");
    Button1->setGeometry(8, 176, 81, 25);
    Button2 = new QPushButton("Delete", GroupBox2);
    Button2->setObjectName("Button2");
    Button2->setGeometry(104, 176, 81, 25);

    CheckBox2 = new QCheckBox("Do not delete temporary.doc file", this);
    CheckBox2->setObjectName("CheckBox2");
    CheckBox2->setGeometry(8, 226, 260, 21);
    resize(405, 296);
    CheckBox3 = new QCheckBox("Also save labels as PDF", this);
    CheckBox3->setObjectName("CheckBox3");
    CheckBox3->setGeometry(8, 246, 260, 21);
    CheckBox4 = new QCheckBox("Mark QSOs as sent, via", this);
    CheckBox4->setObjectName("CheckBox4");
    CheckBox4->setGeometry(8, 266, 180, 21);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setGeometry(190, 264, 110, 23);
    for (const char* via : {"(not set)", "Bureau", "Direct", "Electronic"})
        ComboBox1->addItem(via);
    CheckBox1 = new QCheckBox("Polish language", this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setGeometry(8, 286, 200, 21);
    Button3 = new QPushButton("Exit", this);
    Button3->setObjectName("Button3");
    Button3->setGeometry(316, 282, 81, 25);
    resize(405, 316);

    connect(Button1, &QPushButton::clicked, this, &TFADIF1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFADIF1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::accept);
    load();
}

void TFADIF1::load()
{
    ListBox1->clear();
    const IniFile ini(m_settingsFile);
    if (!ini.exists())
        return;
    for (const std::string& f : readUserFields(ini))
        ListBox1->addItem(QString::fromStdString(f));
    const ProgramOptions o = readProgramOptions(ini);
    CheckBox2->setChecked(o.keepTemporaryFile);
    CheckBox1->setChecked(o.polish);
    CheckBox3->setChecked(o.pdfLabels);
    CheckBox4->setChecked(o.markSent);
    ComboBox1->setCurrentIndex(o.sentVia == 'B' ? 1 : o.sentVia == 'D' ? 2 : o.sentVia == 'E' ? 3 : 0);
}

std::vector<std::string> TFADIF1::userFields() const
{
    std::vector<std::string> fields;
    userFieldsInto(fields);
    return fields;
}

void TFADIF1::userFieldsInto(std::vector<std::string>& fields) const
{
    fields.resize(static_cast<std::size_t>(ListBox1->count()));
    for (int i = 0; i < ListBox1->count(); ++i) {
        const QByteArray name = ListBox1->item(i)->text().toUtf8();
        fields[static_cast<std::size_t>(i)].assign(name.constData(), static_cast<std::size_t>(name.size()));
    }
}

bool TFADIF1::keepTemporaryFile() const
{
    return CheckBox2->isChecked();
}

bool TFADIF1::polish() const
{
    return CheckBox1->isChecked();
}

bool TFADIF1::pdfLabels() const
{
    return CheckBox3->isChecked();
}

SentMarking TFADIF1::sentMarking() const
{
    static constexpr char kVia[] = {0, 'B', 'D', 'E'};
    const int i = ComboBox1->currentIndex();
    return {CheckBox4->isChecked(), i >= 0 && i < 4 ? kVia[i] : char{0}};
}

void TFADIF1::Button1Click()
{
    const std::optional<std::string> answer = userInteraction().inputText(this, "Add ADIF field", "ADIF field name");
    if (!answer || answer->empty())
        return;
    const std::string name = text::upper(*answer);
    // A fixed field is a column already; a comma would split the header line into one column more.
    if (isFixed(name) || name.find(',') != std::string::npos)
        return;
    ListBox1->addItem(QString::fromStdString(name));
}

void TFADIF1::Button2Click()
{
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    if (selected.isEmpty()) {
        userInteraction().beep();
        return;
    }
    delete ListBox1->takeItem(ListBox1->row(selected.first()));
}

} // namespace cardmill
