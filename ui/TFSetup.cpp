#include "ui/TFSetup.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "engine/Text.h"
#include "settings/IniFile.h"
#include "settings/Profiles.h"
#include "ui/Messages.h"
#include "ui/ShortenPath.h"
#include "ui/TForm1.h"
#include "ui/UserInteraction.h"
#include "ui/WidgetPlacing.h"

namespace cardmill {

namespace {

constexpr std::size_t kPathBound = 65;


} // namespace

TFSetup::TFSetup(TForm1& main)
    : QDialog(&main)
    , m_main(main)
{
    setObjectName("FSetup");
    setWindowTitle("Profile setup");
    setFixedSize(459, 312);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    Label1 = placeLabel(this, "", "Profile name", 16, 8, 200);
    ComboBox1 = placeWidget<QComboBox>(this, "ComboBox1", 16, 24, 241, 28);
    Edit1 = placeWidget<QLineEdit>(this, "Edit1", 16, 24, 241, 28);
    QFont big = ComboBox1->font();
    big.setBold(true);
    big.setPixelSize(16);
    ComboBox1->setFont(big);
    ComboBox1->setStyleSheet("color: navy");
    Edit1->setFont(big);
    Edit1->setStyleSheet("color: blue");
    Edit1->hide();

    placeLabel(this, "", "Source file", 16, 60, 200);
    Edit2 = placeWidget<QLineEdit>(this, "Edit2", 16, 74, 345, 21);
    Button4 = placeButton(this, "Button4", "Browse", 368, 74, 75, 21);
    placeLabel(this, "", "Source SWL file", 16, 100, 200);
    Edit4 = placeWidget<QLineEdit>(this, "Edit4", 16, 114, 345, 21);
    Button7 = placeButton(this, "Button7", "Browse", 368, 114, 75, 21);
    placeLabel(this, "", "Main document ", 16, 140, 200);
    Edit5 = placeWidget<QLineEdit>(this, "Edit5", 16, 154, 345, 21);
    Button5 = placeButton(this, "Button5", "Browse", 368, 154, 75, 21);
    for (QLineEdit* e : {Edit2, Edit4, Edit5})
        e->setReadOnly(true);

    placeLabel(this, "", "Output QRG Format", 16, 182, 200);
    ComboBox2 = placeWidget<QComboBox>(this, "ComboBox2", 16, 198, 185, 21);
    placeLabel(this, "", "Date format", 206, 182, 200);
    ComboBox3 = placeWidget<QComboBox>(this, "ComboBox3", 206, 198, 97, 21);
    for (std::string_view t : kDateFormatTexts)
        ComboBox3->addItem(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
    placeLabel(this, "", "Separator:", 310, 182, 58);
    Edit3 = placeWidget<QLineEdit>(this, "Edit3", 310, 196, 33, 24);
    Edit3->setMaxLength(1);
    QFont mono("Courier New");
    mono.setStyleHint(QFont::Monospace);
    mono.setPixelSize(16);
    Edit3->setFont(mono);
    Edit3->setText(m_separator);
    placeLabel(this, "", "QSOs numbers ", 372, 170, 86);
    placeLabel(this, "", "on one label", 372, 184, 86);
    SpinEdit1 = placeWidget<QSpinBox>(this, "SpinEdit1", 372, 200, 57, 21);
    SpinEdit1->setRange(1, 10);
    SpinEdit1->setValue(1);

    Button3 = placeButton(this, "Button3", "Delete", 16, 252, 81, 27);
    Button1 = placeButton(this, "Button1", "New profile", 112, 252, 97, 27);
    Button2 = placeButton(this, "Button2", "Apply", 256, 252, 89, 27);
    Button6 = placeButton(this, "Button6", "OK", 354, 252, 89, 27);
    // Which settings file the profiles are kept in.
    QLabel* file = placeLabel(this, "SettingsFile", "", 16, 288, 427);
    file->setText(QString::fromStdString(ShortenPath(main.places().settingsFile.string(), kPathBound)));
    file->setToolTip(QString::fromStdString(main.places().settingsFile.string()));
    file->setEnabled(false);

    applyLanguage(Language::English);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
    // A comma as separator would split the date into three columns of every data-source file.
    connect(Edit3, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text == ",") {
            Edit3->setText(m_separator);
            showTextMessage(this, TextId::SeparatorComma, language());
        } else {
            m_separator = text;
        }
    });
}

Language TFSetup::language() const
{
    return m_main.language();
}

void TFSetup::applyLanguage(Language l)
{
    const int selected = ComboBox2->currentIndex();
    ComboBox2->clear();
    for (int i = 0; i < 8; ++i) {
        const std::string_view name = qrgFormatName(i, l);
        ComboBox2->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    ComboBox2->setCurrentIndex(selected);
}

std::filesystem::path TFSetup::fullPath(const QLineEdit* box)
{
    return std::filesystem::path(box->toolTip().toStdString());
}

void TFSetup::setPath(QLineEdit* box, const std::filesystem::path& path)
{
    box->setToolTip(QString::fromStdString(path.string()));
    box->setText(QString::fromStdString(ShortenPath(path.string(), kPathBound)));
}

void TFSetup::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_main.newProfileRequested())
        Button1Click();
}

void TFSetup::prepareAndShow()
{
    // 1. The window's profile list and selection; the list shown, not the name box.
    ComboBox1->clear();
    for (int i = 0; i < m_main.ComboBox2->count(); ++i)
        ComboBox1->addItem(m_main.ComboBox2->itemText(i));
    ComboBox1->setCurrentIndex(m_main.ComboBox2->currentIndex());
    leaveNewProfileMode();
    // 2. The three paths.
    setPath(Edit2, m_main.logPath());
    setPath(Edit5, m_main.mainDocumentPath());
    setPath(Edit4, m_main.swlPath());
    // 3. The separator.
    m_separator = QString::fromStdString(m_main.dateSeparator());
    Edit3->setText(m_separator);
    // 4. The QRG format: the stored text, compared without regard to case; the first entry for none.
    const std::string qrg = m_main.qrgText();
    if (qrg.empty())
        ComboBox2->setCurrentIndex(0);
    else
        ComboBox2->setCurrentIndex(qrgFormatIndexNoCase(qrg).value_or(-1));
    // 5. The date format.
    ComboBox3->setCurrentIndex(m_main.dateFormatIndex());
    // 6. The label size.
    if (!m_main.Edit3->text().isEmpty())
        SpinEdit1->setValue(std::clamp(m_main.Edit3->text().toInt(), 1, 10));
    // 7. Shown modally; it updates the main window itself.
    userInteraction().execDialog(*this);
}

void TFSetup::leaveNewProfileMode()
{
    m_newProfileMode = false;
    Edit1->hide();
    ComboBox1->show();
}

void TFSetup::Button1Click()
{
    ComboBox1->hide();
    Edit1->show();
    Edit1->clear();
    Edit1->setFocus();
    m_newProfileMode = true;
}

void TFSetup::ComboBox1Change()
{
    const IniFile ini(m_main.places().settingsFile);
    const int selected = ComboBox1->currentIndex();
    if (ini.exists() && selected >= 0) {
        const std::string section = ComboBox1->currentText().toStdString();
        const IniFile::Lines lines = ini.snapshot();
        auto value = [&](std::string_view key) { return lines.read(section, key); };
        m_main.setRememberedProfile(selected);
        if (const auto v = value("Source file"))
            setPath(Edit2, *v);
        if (const auto v = value("Main doc"))
            setPath(Edit5, *v);
        setPath(Edit4, value("Source SWL file").value_or(""));
        if (const auto v = value("QRG format"))
            ComboBox2->setCurrentIndex(qrgFormatIndexNoCase(*v).value_or(-1));
        bool loaded = true;
        if (const auto v = value("QSOs on label")) {
            long long n = 0;
            if (!text::parseInteger(*v, n)) {
                showTextMessage(this, TextId::NotAnInteger, language(), {*v});
                loaded = false;
            } else {
                SpinEdit1->setValue(static_cast<int>(std::clamp<long long>(n, 1, 10)));
            }
        }
        if (loaded) {
            if (const auto v = value("Date format"))
                ComboBox3->setCurrentIndex(dateFormatIndexOf(*v));
            if (const auto v = value("Date separator")) {
                m_separator = QString::fromStdString(*v);
                Edit3->setText(m_separator);
            }
        } else {
            return;
        }
        if (m_main.dateSeparator().empty())
            m_main.setDateFormat(m_main.dateFormatIndex(), "-");
        return;
    }
    if (m_main.dateSeparator().empty())
        m_main.setDateFormat(m_main.dateFormatIndex(), "-");
    m_separator = QString::fromStdString(m_main.dateSeparator());
    Edit3->setText(m_separator);
}

void TFSetup::Button4Click()
{
    if (auto f = userInteraction().openFile(this, textFor(TextId::FilterAdif, language())))
        setPath(Edit2, *f);
}

void TFSetup::Button7Click()
{
    if (auto f = userInteraction().openFile(this, textFor(TextId::FilterAdif, language())))
        setPath(Edit4, *f);
}

void TFSetup::Button5Click()
{
    if (auto f = userInteraction().openFile(this, textFor(TextId::FilterMainDocument, language())))
        setPath(Edit5, *f);
}

bool TFSetup::apply()
{
    const IniFile ini(m_main.places().settingsFile);
    const Language l = language();
    const std::string newName = Edit1->text().toStdString();
    if (m_newProfileMode && newName.empty()) {
        showTextMessage(this, TextId::NoProfileName, l);
        return false;
    }
    if (m_newProfileMode && ini.sectionExists(newName)) {
        showTextMessage(this, TextId::ProfileExists, l);
        Edit1->setFocus();
        return false;
    }
    if (!m_newProfileMode && ComboBox1->currentIndex() < 0) {
        showTextMessage(this, TextId::NoProfileSelected, l);
        return false;
    }
    if (fullPath(Edit2).empty()) {
        showTextMessage(this, TextId::NoSourceFile, l);
        return false;
    }
    if (fullPath(Edit5).empty()) {
        showTextMessage(this, TextId::NoMainDocument, l);
        return false;
    }

    std::string name;
    if (m_newProfileMode)
        name = newName;
    else
        name = ComboBox1->currentText().toStdString();

    Profile p;
    p.sourceFile = fullPath(Edit2).string();
    p.swlFile = fullPath(Edit4).string();
    p.mainDocument = fullPath(Edit5).string();
    // The file always keeps the English text, whatever language the list shows.
    const int qrg = ComboBox2->currentIndex();
    p.qrgFormat = qrg >= 0 ? std::string(kQrgFormatTexts[static_cast<std::size_t>(qrg)]) : std::string();
    p.qsosOnLabel = SpinEdit1->value();
    const int date = ComboBox3->currentIndex();
    p.dateFormat = date >= 0 ? std::string(kDateFormatTexts[static_cast<std::size_t>(date)]) : std::string();
    p.dateSeparator = Edit3->text().toStdString();
    try {
        writeProfile(ini, name, p);
    } catch (const SettingsWriteError& e) {
        showTextMessage(this, TextId::UnableToWrite, l, {e.path().string()});
        return false;
    }

    if (m_newProfileMode) {
        const QString q = QString::fromStdString(name);
        int at = 0;
        while (at < ComboBox1->count() && QString::compare(ComboBox1->itemText(at), q, Qt::CaseInsensitive) <= 0)
            ++at;
        ComboBox1->insertItem(at, q);
        ComboBox1->setCurrentIndex(at);
        m_main.insertProfileName(name);
        leaveNewProfileMode();
    }
    const QString q = QString::fromStdString(name);
    for (int i = 0; i < m_main.ComboBox2->count(); ++i) {
        if (QString::compare(m_main.ComboBox2->itemText(i), q, Qt::CaseInsensitive) == 0) {
            m_main.ComboBox2->setCurrentIndex(i);
            m_main.setRememberedProfile(i);
            break;
        }
    }
    m_main.profileLoad();
    m_main.setNewProfileRequest(false);
    return true;
}

void TFSetup::Button2Click()
{
    if (apply())
        accept();
}

void TFSetup::Button3Click()
{
    const Language l = language();
    if (m_newProfileMode) {
        showTextMessage(this, TextId::CannotDeleteNew, l);
        return;
    }
    const int selected = ComboBox1->currentIndex();
    if (selected < 0) {
        showTextMessage(this, TextId::NoProfileSelected, l);
        return;
    }
    if (askText(this, TextId::DeleteProfile, l, false) != UserInteraction::Answer::Yes)
        return;
    try {
        IniFile(m_main.places().settingsFile).eraseSection(ComboBox1->currentText().toStdString());
    } catch (const SettingsWriteError& e) {
        showTextMessage(this, TextId::UnableToWrite, l, {e.path().string()}); // the lists follow all the same
    }
    QComboBox* mainList = m_main.ComboBox2;
    if (mainList->currentIndex() == selected && mainList->currentIndex() == mainList->count() - 1)
        mainList->setCurrentIndex(mainList->currentIndex() - 1);
    const int p = mainList->currentIndex();
    ComboBox1->removeItem(selected);
    mainList->clear();
    for (int i = 0; i < ComboBox1->count(); ++i)
        mainList->addItem(ComboBox1->itemText(i));
    mainList->setCurrentIndex(p >= 0 && p < mainList->count() ? p : -1);
    m_main.profileLoad();
    accept();
}

void TFSetup::Button6Click()
{
    if (m_newProfileMode) {
        const UserInteraction::Answer a = askText(this, TextId::NewProfileNotSaved, language(), true);
        if (a == UserInteraction::Answer::Cancel)
            return;
        if (a == UserInteraction::Answer::Yes)
            apply();
        leaveNewProfileMode();
    }
    accept();
}

} // namespace cardmill
