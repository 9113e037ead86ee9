#include "ui/TForm1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "cardmill/Version.h"
#include "engine/Text.h"
#include "engine/Termination.h"
#include "merge/BuiltInLabelMaker.h"
#include "settings/IniFile.h"
#include "settings/Profiles.h"
#include "settings/SettingsStore.h"
#include "ui/ErrorHandler.h"
#include "ui/Messages.h"
#include "ui/ShortenPath.h"
#include "ui/SwlArchive.h"
#include "ui/TFADIF1.h"
#include "ui/TFSetup.h"
#include "ui/TFStock.h"
#include "ui/UserInteraction.h"
#include "ui/WidgetPlacing.h"

namespace cardmill {

namespace {

constexpr std::size_t kPathBound = 50;
constexpr qint64 kEventInterval = 25;    // ms between two rounds of pending events during a run
constexpr qint64 kProgressInterval = 40; // ms between two repaints of the progress bar


QCheckBox* check(QWidget* parent, const char* name, const char* text, int x, int y, int w = 40)
{
    auto* c = placeWidget<QCheckBox>(parent, name, x, y, w, 17);
    c->setText(text);
    return c;
}

QFrame* row(QWidget* parent, int y)
{
    auto* f = placeWidget<QFrame>(parent, "", 388, y, 337, 33);
    f->setFrameShape(QFrame::StyledPanel);
    return f;
}

PickerDate pickerDate(const QDateEdit* picker)
{
    const QDate d = picker->date();
    return {d.year(), d.month(), d.day()};
}

} // namespace

TForm1::TForm1(Places places, QWidget* parent)
    : QWidget(parent)
    , m_places(std::move(places))
{
    setObjectName("Form1");
    build();
    const ConversionStatus status = [this](const std::string& file, int seconds) {
        statusText->setText(QString::fromStdString(
            textFor(TextId::StatusLibreOffice, language(), {file, std::to_string(seconds)})));
        m_statusId = TextId::Count; // the next status text of the run is shown again
    };
    m_maker = std::make_unique<BuiltInLabelMaker>([this] { processEvents(); }, status);
    m_presenter = std::make_unique<BuiltInPresenter>(
        [this](const std::vector<std::filesystem::path>& documents, const std::vector<std::filesystem::path>&) {
            openMergedDocuments(documents); // the label documents; their PDFs lie beside them
        },
        [this] { return m_configuration && m_configuration->pdfLabels(); }, [this] { processEvents(); }, status);
    m_run = std::make_unique<ConversionRun>(*this, m_maker.get(), m_presenter.get());

    // Window creation: narrow, the settings file checked, both pickers today, the version in the status bar.
    setFixedSize(kNarrowWidth, kHeight);
    const IniFile ini(m_places.settingsFile);
    if (checkSettingsFile(ini) == SettingsState::Missing)
        m_newProfileRequest = true;
    DateTimePicker1->setDate(QDate::currentDate());
    DateTimePicker2->setDate(QDate::currentDate());
    statusText->setText(QString("Version ") + kVersionText);
    m_sinceEvents.start();
    m_sinceProgress.start();
}

TForm1::~TForm1() = default;

void TForm1::setConfiguration(TFADIF1& configuration)
{
    m_configuration = &configuration;
    CheckBox1Click(); // the language operation runs at start-up and whenever the language changes
}

void TForm1::build()
{
    setWindowTitle("CARDMILL");
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    Label9 = placeLabel(this, "Label9", "Profile", 26, 4, 160);
    ComboBox2 = placeWidget<QComboBox>(this, "ComboBox2", 24, 18, 201, 28);
    QFont bold = ComboBox2->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    ComboBox2->setFont(bold);
    ComboBox2->setStyleSheet("color: navy");
    Button8 = placeButton(this, "Button8", "Profiles Setup", 240, 18, 89, 28);
    QFont boldButton = Button8->font();
    boldButton.setBold(true);
    Button8->setFont(boldButton);
    SpeedButton2 = placeWidget<QToolButton>(this, "SpeedButton2", 336, 18, 25, 28);
    SpeedButton2->setText("?");

    Label1 = placeLabel(this, "Label1", "Source file", 24, 50, 160);
    Edit1 = placeWidget<QLineEdit>(this, "Edit1", 24, 64, 257, 21);
    Button4 = placeButton(this, "Button4", "Browse", 288, 64, 75, 21);
    Label11 = placeLabel(this, "Label11", "Source SWL file", 24, 90, 160);
    Edit7 = placeWidget<QLineEdit>(this, "Edit7", 24, 104, 241, 21);
    Button7 = placeButton(this, "Button7", "Browse", 272, 104, 41, 21);
    Button9 = placeButton(this, "Button9", "Archive", 320, 104, 41, 21);
    Label2 = placeLabel(this, "Label2", "Main document ", 24, 130, 260);
    Edit2 = placeWidget<QLineEdit>(this, "Edit2", 24, 144, 201, 21);
    ButtonNew = placeButton(this, "ButtonNew", "New...", 230, 144, 53, 21);
    Button5 = placeButton(this, "Button5", "Browse", 288, 144, 73, 21);
    for (QLineEdit* e : {Edit1, Edit7, Edit2})
        e->setReadOnly(true);

    Label4 = placeLabel(this, "Label4", "Output QRG Format", 24, 168, 160);
    Edit6 = placeWidget<QLineEdit>(this, "Edit6", 24, 184, 161, 21);
    Edit6->setReadOnly(true);
    Edit3 = placeWidget<QLineEdit>(this, "Edit3", 192, 184, 25, 21);
    Edit3->setText("1");
    Edit3->installEventFilter(this);
    Label3 = placeLabel(this, "Label3", "QSOs no.", 218, 184, 68);
    Label5 = placeLabel(this, "Label5", "on one label", 218, 195, 68);
    Label8 = placeLabel(this, "Label8", "Date format", 288, 168, 90);
    Edit5 = placeWidget<QLineEdit>(this, "Edit5", 288, 184, 73, 21);
    Edit5->setReadOnly(true);

    Label12 = placeLabel(this, "Label12", "First label on the sheet", 24, 214, 160);
    SpinEdit1 = placeWidget<QSpinBox>(this, "SpinEdit1", 192, 210, 57, 21);
    SpinEdit1->setRange(1, kMaxStartLabel);

    Button2 = placeButton(this, "Button2", "Config", 24, 240, 49, 25);
    SpeedButton1 = placeWidget<QToolButton>(this, "SpeedButton1", 80, 240, 49, 25);
    SpeedButton1->setText("Filters");
    Button6 = placeButton(this, "Button6", "Stop", 136, 240, 49, 25);
    Button6->setEnabled(false);
    Button1 = placeButton(this, "Button1", "Start", 192, 240, 81, 25);
    Button3 = placeButton(this, "Button3", "Exit", 280, 240, 81, 25);

    // The filter area.
    Label10 = placeLabel(this, "Label10", "Filters", 388, 16, 160);
    QFrame* callRow = row(this, 32);
    CheckBox20 = check(callRow, "CheckBox20", "Call", 4, 8, 90);
    Edit4 = placeWidget<QLineEdit>(callRow, "Edit4", 96, 6, 120, 21);
    QFrame* dateRow = row(this, 66);
    CheckBox3 = check(dateRow, "CheckBox3", "Date Range", 4, 8, 90);
    Label6 = placeLabel(dateRow, "Label6", "From:", 96, 10, 34);
    DateTimePicker1 = placeWidget<QDateEdit>(dateRow, "DateTimePicker1", 130, 6, 92, 21);
    Label7 = placeLabel(dateRow, "Label7", "To:", 226, 10, 22);
    DateTimePicker2 = placeWidget<QDateEdit>(dateRow, "DateTimePicker2", 248, 6, 86, 21);
    for (QDateEdit* p : {DateTimePicker1, DateTimePicker2}) {
        p->setCalendarPopup(true);
        p->setDisplayFormat("yyyy-MM-dd");
    }

    auto qslRow = [this](int y, const char* masterName, const char* caption, std::initializer_list<const char*> names,
                         std::initializer_list<const char*> captions, bool gap) {
        QFrame* r = row(this, y);
        QCheckBox* master = check(r, masterName, caption, 4, 8, 90);
        std::vector<QCheckBox*> boxes;
        auto name = names.begin();
        auto text = captions.begin();
        for (int i = 0; name != names.end(); ++i, ++name, ++text) {
            const int x = (gap && i == 3) ? 164 : i * 40 + 4;
            boxes.push_back(check(r, *name, *text, 96 + x, 8, x == 164 ? 60 : 40));
        }
        return std::make_pair(master, boxes);
    };
    auto sent = qslRow(100, "CheckBox6", "QSL_SENT", {"CheckBox9", "CheckBox10", "CheckBox11", "CheckBox12", "CheckBox8"},
                       {"Y", "N", "R", "I", "Blank"}, false);
    CheckBox6 = sent.first;
    CheckBox9 = sent.second[0];
    CheckBox10 = sent.second[1];
    CheckBox11 = sent.second[2];
    CheckBox12 = sent.second[3];
    CheckBox8 = sent.second[4];
    auto rcvd = qslRow(134, "CheckBox13", "QSL_RCVD",
                       {"CheckBox14", "CheckBox15", "CheckBox18", "CheckBox19", "CheckBox16"}, {"Y", "N", "R", "I", "Blank"},
                       false);
    CheckBox13 = rcvd.first;
    CheckBox14 = rcvd.second[0];
    CheckBox15 = rcvd.second[1];
    CheckBox18 = rcvd.second[2];
    CheckBox19 = rcvd.second[3];
    CheckBox16 = rcvd.second[4];
    auto print = qslRow(168, "CheckBox7", "QSL_PRINT", {"CheckBox2", "CheckBox4", "CheckBox5", "CheckBox17"},
                        {"L", "A", "N", "Blank"}, true);
    CheckBox7 = print.first;
    CheckBox2 = print.second[0];
    CheckBox4 = print.second[1];
    CheckBox5 = print.second[2];
    CheckBox17 = print.second[3];

    ProgressBar1 = placeWidget<QProgressBar>(this, "ProgressBar1", 0, kHeight - 17 - 10, kWideWidth, 10);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    StatusBar1 = placeWidget<QStatusBar>(this, "StatusBar1", 0, kHeight - 17, kWideWidth, 17);
    StatusBar1->setSizeGripEnabled(false);
    statusText = new QLabel(StatusBar1);
    statusText->setObjectName("StatusPanel1");
    StatusBar1->addWidget(statusText, 1);

    CheckBox3Click();
    CheckBox6Click();
    CheckBox13Click();
    CheckBox7Click();

    connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { Button1Click(); }); });
    connect(Button8, &QPushButton::clicked, this, [this] { guarded([this] { Button8Click(); }); });
    connect(ComboBox2, &QComboBox::activated, this, [this] { guarded([this] { ComboBox2Change(); }); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { guarded([this] { Button2Click(); }); });
    connect(Button4, &QPushButton::clicked, this, [this] { guarded([this] { Button4Click(); }); });
    connect(Button7, &QPushButton::clicked, this, [this] { guarded([this] { Button7Click(); }); });
    connect(Button5, &QPushButton::clicked, this, [this] { guarded([this] { Button5Click(); }); });
    connect(ButtonNew, &QPushButton::clicked, this, [this] { guarded([this] { ButtonNewClick(); }); });
    connect(Button9, &QPushButton::clicked, this, [this] { guarded([this] { Button9Click(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButton2Click(); }); });
    connect(CheckBox3, &QCheckBox::toggled, this, [this] { CheckBox3Click(); });
    connect(CheckBox6, &QCheckBox::toggled, this, [this] { CheckBox6Click(); });
    connect(CheckBox13, &QCheckBox::toggled, this, [this] { CheckBox13Click(); });
    connect(CheckBox7, &QCheckBox::toggled, this, [this] { CheckBox7Click(); });
    // The call box turns whatever is typed into capitals.
    connect(Edit4, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = QString::fromStdString(text::upper(text.toStdString()));
        if (upper != text) {
            const int cursor = Edit4->cursorPosition();
            Edit4->setText(upper);
            Edit4->setCursorPosition(cursor);
        }
    });
}

Language TForm1::language() const
{
    return m_configuration && m_configuration->polish() ? Language::Polish : Language::English;
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_startupLoaded) {
        m_startupLoaded = true;
        // From the event loop, once the window is up: also where no window manager activates it.
        QTimer::singleShot(0, this, [this] { guarded([this] { startupLoad(); }); });
    }
}

int TForm1::insertProfileName(const std::string& name)
{
    const QString q = QString::fromStdString(name);
    int at = 0;
    while (at < ComboBox2->count() && QString::compare(ComboBox2->itemText(at), q, Qt::CaseInsensitive) <= 0)
        ++at;
    ComboBox2->insertItem(at, q);
    return at;
}

void TForm1::startupLoad()
{
    const IniFile ini(m_places.settingsFile);
    ComboBox2->clear();
    if (ini.exists()) {
        for (const std::string& name : sortedProfileNames(ini))
            ComboBox2->addItem(QString::fromStdString(name));
        m_lastProfile = ini.readInt("Profile", "Last profile", m_lastProfile);
    } else {
        m_separator.assign(1, '-'); // (not = "-": GCC 12 warns falsely on that, bug 105651)
    }
    if (!ini.exists() || ComboBox2->count() == 0) {
        showMessage(TextId::NoValidProfile, {});
        m_newProfileRequest = true;
    }
    ComboBox2->setCurrentIndex(-1);
    if (m_lastProfile != -1) {
        ComboBox2->setCurrentIndex(m_lastProfile < ComboBox2->count() ? m_lastProfile : -1);
        profileLoad();
    }
    Button1->setFocus();
    if (!m_commandLineProfile.empty()) {
        const QString wanted = QString::fromStdString(m_commandLineProfile);
        for (int i = 0; i < ComboBox2->count(); ++i) {
            if (QString::compare(ComboBox2->itemText(i), wanted, Qt::CaseInsensitive) == 0) {
                ComboBox2->setCurrentIndex(i);
                profileLoad();
                break;
            }
        }
    }
    // A log opened with the program (from the file manager) takes the place of the profile's log.
    if (!m_commandLineLog.empty())
        setPath(Edit1, m_commandLineLog);
}

void TForm1::profileLoad()
{
    const IniFile ini(m_places.settingsFile);
    const int selected = ComboBox2->currentIndex();
    if (!ini.exists() || selected < 0)
        return;
    const std::string section = ComboBox2->currentText().toStdString();
    const IniFile::Lines lines = ini.snapshot();
    auto value = [&](std::string_view key) { return lines.read(section, key); };
    m_lastProfile = selected;
    if (const auto v = value("Source file"))
        setPath(Edit1, *v);
    if (const auto v = value("Main doc"))
        setPath(Edit2, *v);
    setPath(Edit7, value("Source SWL file").value_or(""));
    std::string qrgText = value("QRG format").value_or(m_qrgText);
    if (const auto v = value("QSOs on label"))
        Edit3->setText(QString::fromStdString(*v));
    const std::string dateText = value("Date format").value_or(m_dateText);
    m_separator = value("Date separator").value_or(m_separator);
    if (const std::optional<int> index = qrgFormatIndexExact(qrgText))
        m_qrgFormat = *index;
    m_qrgText = qrgText;
    m_dateText = dateText;
    m_dateFormatIndex = dateFormatIndexOf(dateText);
    showFormats();
}

void TForm1::showFormats()
{
    // The QRG format by its name in the language of the moment; a text that names no format as it is stored.
    const bool known = qrgFormatIndexExact(m_qrgText).has_value();
    Edit6->setText(QString::fromStdString(known ? std::string(qrgFormatName(m_qrgFormat, language())) : m_qrgText));
    std::string sample = m_dateText;
    if (m_dateFormatIndex <= 2) {
        std::string withSeparator;
        for (char c : sample) {
            if (c == '-')
                withSeparator += m_separator;
            else
                withSeparator.push_back(c);
        }
        sample = withSeparator;
    }
    Edit5->setText(QString::fromStdString(sample));
}

void TForm1::ComboBox2Change()
{
    profileLoad();
}

void TForm1::Button8Click()
{
    if (m_setup)
        m_setup->prepareAndShow();
}

void TForm1::CheckBox1Click()
{
    const Language l = language();
    auto set = [l](auto* widget, TextId id) { widget->setText(QString::fromStdString(textFor(id, l))); };
    set(Label1, TextId::LabelSourceFile);
    set(Label2, TextId::LabelMainDocument);
    set(Label4, TextId::LabelQrgFormat);
    set(Label3, TextId::LabelQsosNo);
    set(Label5, TextId::LabelOnOneLabel);
    set(Label6, TextId::LabelFrom);
    set(Label7, TextId::LabelTo);
    set(Label8, TextId::LabelDateFormat);
    set(CheckBox3, TextId::CheckDateRange);
    set(CheckBox20, TextId::CheckCall);
    set(Button2, TextId::ButtonConfig);
    set(ButtonNew, TextId::ButtonNewMainDocs);
    set(Label12, TextId::LabelFirstLabel);
    showFormats();
    if (m_setup)
        m_setup->applyLanguage(l);
}

void TForm1::setDateFormat(int index, const std::string& separator)
{
    m_dateFormatIndex = index;
    m_separator = separator;
    showFormats();
}

// --- Commands ---

void TForm1::setRunning(bool running)
{
    for (QWidget* w :
         std::initializer_list<QWidget*>{Button1, Button4, Button7, Button5, ButtonNew, Button9, Button2, Button3,
                                         ComboBox2, Button8})
        w->setEnabled(!running);
}

void TForm1::Button1Click()
{
    Edit3Exit();
    if (running())
        return;
    setRunning(true);
    try {
        m_run->run();
    } catch (...) {
        setRunning(false);
        throw;
    }
    setRunning(false);
}

void TForm1::Button6Click()
{
    m_stop = true;
    Button6->setEnabled(false);
}

void TForm1::Button3Click()
{
    close();
}

void TForm1::Button2Click()
{
    if (!m_configuration)
        return;
    const Language before = language();
    userInteraction().execDialog(*m_configuration);
    if (language() != before)
        CheckBox1Click();
}

void TForm1::browse(QLineEdit* box, TextId filter)
{
    const std::optional<std::filesystem::path> file = userInteraction().openFile(this, textFor(filter, language()));
    if (file)
        setPath(box, *file);
}

void TForm1::Button4Click()
{
    browse(Edit1, TextId::FilterAdif);
}

void TForm1::Button7Click()
{
    browse(Edit7, TextId::FilterAdif);
}

void TForm1::Button5Click()
{
    browse(Edit2, TextId::FilterMainDocument);
}

void TForm1::ButtonNewClick()
{
    StockCatalogue catalogue;
    catalogue.loadInstalled();
    TFStock dialog(catalogue, m_places.settingsFile, language(), this);
    // The documents go beside the main document in use, else beside the log, else into the home folder.
    std::filesystem::path folder = fullPath(Edit2).parent_path();
    if (folder.empty())
        folder = fullPath(Edit1).parent_path();
    if (folder.empty())
        if (const char* home = std::getenv("HOME"))
            folder = home;
    dialog.setFolder(folder);
    if (userInteraction().execDialog(dialog) == QDialog::Accepted && !dialog.firstSizeDocument().empty())
        setPath(Edit2, dialog.firstSizeDocument());
}

int TForm1::startLabel() const
{
    return SpinEdit1->value();
}

void TForm1::Button9Click()
{
    std::filesystem::path archive;
    const std::filesystem::path swl = fullPath(Edit7);
    if (archiveSwlFile(swl, archive) == ArchiveResult::Failed)
        userInteraction().message(this, textFor(TextId::CaptionError, language()),
                                  textFor(TextId::ArchiveFailed, language(), {swl.string(), archive.string()}),
                                  UserInteraction::Icon::Error);
}

bool TForm1::anyFilterOn() const
{
    for (const QCheckBox* c : {CheckBox20, CheckBox3, CheckBox13, CheckBox6, CheckBox7})
        if (c->isChecked())
            return true;
    return false;
}

void TForm1::SpeedButton1Click()
{
    QFont f = SpeedButton1->font();
    if (width() == kNarrowWidth) {
        SpeedButton1->setCheckable(false);
        SpeedButton1->setChecked(false);
        setFixedSize(kWideWidth, kHeight);
        f.setBold(false);
        SpeedButton1->setFont(f);
        SpeedButton1->setStyleSheet(QString());
        return;
    }
    if (anyFilterOn()) {
        SpeedButton1->setCheckable(true);
        SpeedButton1->setChecked(true);
        f.setBold(true);
        SpeedButton1->setFont(f);
        SpeedButton1->setStyleSheet("color: red");
    }
    setFixedSize(kNarrowWidth, kHeight);
}

void TForm1::SpeedButton2Click()
{
    const std::filesystem::path folder = m_places.programFolder;
    const bool polish = language() == Language::Polish;
    std::error_code ec;
    const std::filesystem::path chm = folder / (polish ? "cardmill_pl.chm" : "cardmill_en.chm");
    if (std::filesystem::exists(chm, ec)) {
        userInteraction().openWithDesktop(chm);
        return;
    }
    std::filesystem::path guide = folder / "cardmill_pl.html";
    if (!polish || !std::filesystem::exists(guide, ec))
        guide = folder / "cardmill_en.html";
    if (std::filesystem::exists(guide, ec))
        userInteraction().openWithDesktop(guide);
}

void TForm1::Edit3Exit()
{
    long long value = 0;
    if (Edit3->text().isEmpty())
        Edit3->setText("1");
    if (!text::parseInteger(Edit3->text().toStdString(), value)) {
        Edit3->setText("1");
        return;
    }
    if (value > 10)
        Edit3->setText("10");
    if (!text::parseInteger(Edit3->text().toStdString(), value)) {
        Edit3->setText("1");
        return;
    }
    if (value <= 0)
        Edit3->setText("1");
}

void TForm1::CheckBox3Click()
{
    for (QWidget* w : std::initializer_list<QWidget*>{Label6, Label7, DateTimePicker1, DateTimePicker2})
        w->setEnabled(CheckBox3->isChecked());
}

void TForm1::CheckBox6Click()
{
    for (QCheckBox* c : {CheckBox9, CheckBox10, CheckBox11, CheckBox12, CheckBox8})
        c->setEnabled(CheckBox6->isChecked());
}

void TForm1::CheckBox13Click()
{
    for (QCheckBox* c : {CheckBox14, CheckBox15, CheckBox18, CheckBox19, CheckBox16})
        c->setEnabled(CheckBox13->isChecked());
}

void TForm1::CheckBox7Click()
{
    for (QCheckBox* c : {CheckBox2, CheckBox4, CheckBox5, CheckBox17})
        c->setEnabled(CheckBox7->isChecked());
}

void TForm1::setPath(QLineEdit* box, const std::filesystem::path& path)
{
    box->setToolTip(QString::fromStdString(path.string()));
    box->setText(QString::fromStdString(ShortenPath(path.string(), kPathBound)));
}

std::filesystem::path TForm1::fullPath(const QLineEdit* box)
{
    return std::filesystem::path(box->toolTip().toStdString());
}

void TForm1::openMergedDocuments(const std::vector<std::filesystem::path>& documents)
{
    for (const std::filesystem::path& d : documents)
        userInteraction().openWithDesktop(d);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit3 && event->type() == QEvent::KeyPress) {
        // Letters a-z, A-Z and blanks never get into "QSOs no."; every other key does.
        const QString t = static_cast<QKeyEvent*>(event)->text();
        if (t.size() == 1) {
            const char16_t c = t[0].unicode();
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ')
                return true;
        }
    }
    if (watched == Edit3 && event->type() == QEvent::FocusOut)
        Edit3Exit();
    return QWidget::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (running()) {
        event->ignore(); // a run under way ends first
        return;
    }
    ClosingState state;
    FilterSettings& f = state.filters;
    f.call = CheckBox20->isChecked();
    f.callsign = Edit4->text().toStdString();
    f.date = CheckBox3->isChecked();
    f.fromDate = QLocale().toString(DateTimePicker1->date(), QLocale::ShortFormat).toStdString();
    f.toDate = QLocale().toString(DateTimePicker2->date(), QLocale::ShortFormat).toStdString();
    f.qslSent = CheckBox6->isChecked();
    f.sentY = CheckBox9->isChecked();
    f.sentN = CheckBox10->isChecked();
    f.sentR = CheckBox11->isChecked();
    f.sentI = CheckBox12->isChecked();
    f.sentBlank = CheckBox8->isChecked();
    f.qslRcvd = CheckBox13->isChecked();
    f.rcvdY = CheckBox14->isChecked();
    f.rcvdN = CheckBox15->isChecked();
    f.rcvdR = CheckBox18->isChecked();
    f.rcvdI = CheckBox19->isChecked();
    f.rcvdBlank = CheckBox16->isChecked();
    f.qslPrint = CheckBox7->isChecked();
    f.printL = CheckBox2->isChecked();
    f.printA = CheckBox4->isChecked();
    f.printN = CheckBox5->isChecked();
    f.printBlank = CheckBox17->isChecked();
    state.lastProfile = m_lastProfile;
    state.userFields = userFields();
    state.options.keepTemporaryFile = keepTemporaryFile();
    state.options.polish = language() == Language::Polish;
    state.options.pdfLabels = m_configuration && m_configuration->pdfLabels();
    const SentMarking marking = sentMarking();
    state.options.markSent = marking.on;
    state.options.sentVia = marking.via;
    try {
        writeClosingState(IniFile(m_places.settingsFile), state);
    } catch (const SettingsWriteError& e) {
        userInteraction().message(this, textFor(TextId::CaptionError, language()),
                                  textFor(TextId::UnableToWrite, language(), e.path().string()),
                                  UserInteraction::Icon::Error);
        event->ignore();
        return;
    }
    event->accept();
}

// --- The run's host ---

void TForm1::userFieldsInto(std::vector<std::string>& fields) const
{
    if (m_configuration)
        m_configuration->userFieldsInto(fields);
    else
        fields.clear();
}

bool TForm1::dateRangeEnabled() const
{
    return CheckBox3->isChecked();
}

PickerDate TForm1::dateFrom() const
{
    return pickerDate(DateTimePicker1);
}

PickerDate TForm1::dateTo() const
{
    return pickerDate(DateTimePicker2);
}

bool TForm1::qslFilterEnabled(QslFilter filter) const
{
    switch (filter) {
    case QslFilter::Sent:
        return CheckBox6->isChecked();
    case QslFilter::Rcvd:
        return CheckBox13->isChecked();
    case QslFilter::Print:
        return CheckBox7->isChecked();
    }
    return false;
}

bool TForm1::qslBoxTicked(QslFilter filter, QslBox box) const
{
    const QCheckBox* c = nullptr;
    if (filter == QslFilter::Print) {
        c = box == QslBox::L ? CheckBox2 : box == QslBox::A ? CheckBox4 : box == QslBox::N ? CheckBox5
            : box == QslBox::Blank                          ? CheckBox17
                                                            : nullptr;
    } else {
        const bool sent = filter == QslFilter::Sent;
        switch (box) {
        case QslBox::Y:
            c = sent ? CheckBox9 : CheckBox14;
            break;
        case QslBox::N:
            c = sent ? CheckBox10 : CheckBox15;
            break;
        case QslBox::R:
            c = sent ? CheckBox11 : CheckBox18;
            break;
        case QslBox::I:
            c = sent ? CheckBox12 : CheckBox19;
            break;
        case QslBox::Blank:
            c = sent ? CheckBox8 : CheckBox16;
            break;
        default:
            break;
        }
    }
    return c && c->isChecked();
}

bool TForm1::callFilterEnabled() const
{
    return CheckBox20->isChecked();
}

std::string TForm1::callFilterText() const
{
    return Edit4->text().toStdString();
}

int TForm1::labelSize() const
{
    return Edit3->text().toInt();
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
    statusText->setText(QString::fromStdString(textFor(id, language(), args)));
}

void TForm1::showProgress(bool visible)
{
    ProgressBar1->setVisible(visible);
    if (visible)
        updateProgressBar(true);
}

void TForm1::setProgressRange(std::size_t maximum)
{
    m_progressMaximum = maximum;
    updateProgressBar(true);
}

void TForm1::setProgressPosition(std::size_t position)
{
    m_progressPosition = position;
    if (m_sinceProgress.elapsed() >= kProgressInterval)
        updateProgressBar(false);
}

void TForm1::updateProgressBar(bool)
{
    // The bar works in ints; long logs are scaled to a thousand steps.
    const std::size_t max = m_progressMaximum == 0 ? 1 : m_progressMaximum;
    const std::size_t pos = std::min(m_progressPosition, max);
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(static_cast<int>(pos * 1000 / max));
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
    userInteraction().message(this, textFor(failed ? TextId::CaptionError : TextId::CaptionInformation, l),
                              summaryText(summary, l) + (warnings.empty() ? "" : "\n\n" + warnings),
                              failed ? UserInteraction::Icon::Error : UserInteraction::Icon::Information);
}

void TForm1::showError(const std::string& text)
{
    handleError(std::runtime_error(text));
}

void TForm1::processEvents()
{
    // Cheap when called often: pending events run at most every few milliseconds.
    if (m_sinceEvents.elapsed() < kEventInterval)
        return;
    if (m_sinceProgress.elapsed() >= kProgressInterval)
        updateProgressBar(false);
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
    Button6->setEnabled(enabled);
}

} // namespace cardmill
