// The main window's controls and how they are laid out: the main column, the filter area beside it (hidden
// until "Filters" opens it), and the status bar with the progress bar.
#include "ui/TForm1.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/Captions.h"
#include "ui/Choices.h"
#include "ui/ErrorHandler.h"
#include "ui/FilterPane.h"
#include "ui/PathBox.h"
#include "ui/SheetChoice.h"
#include "ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace cardmill {

namespace {

QLabel* label(QWidget* parent, const char* name, const char* text)
{
    auto* l = named<QLabel>(parent, name);
    l->setText(QString::fromUtf8(text));
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const char* text)
{
    auto* b = named<QPushButton>(parent, name);
    b->setText(QString::fromUtf8(text));
    return b;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets, QWidget* stretching = nullptr)
{
    auto* r = new QHBoxLayout;
    for (QWidget* w : widgets)
        r->addWidget(w, w == stretching ? 1 : 0);
    return r;
}

} // namespace

void TForm1::build()
{
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize); // the window takes the size its contents need
    auto* panes = new QHBoxLayout;
    outer->addLayout(panes);
    auto* main = new QVBoxLayout;
    panes->addLayout(main);
    buildProfileRows(main);
    buildFileRows(main);
    buildFormatRows(main);

    m_config = button(this, "Button2", "&Config");
    m_filtersButton = named<QToolButton>(this, "SpeedButton1");
    m_filtersButton->setText(u"&Filters"_s);
    captioned(m_filtersButton, WindowText::ButtonFilters);
    m_filtersButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_stopButton = captioned(button(this, "Button6", "S&top"), WindowText::ButtonStop);
    m_stopButton->setEnabled(false);
    m_previewRun = captioned(idleOnly(button(this, "ButtonPreview", "Pre&view")), WindowText::ButtonPreview);
    m_start = captioned(idleOnly(button(this, "Button1", "&Start")), WindowText::ButtonStart);
    m_exit = captioned(button(this, "Button3", "E&xit"), WindowText::ButtonExit);
    main->addLayout(row({m_config, m_filtersButton, m_stopButton, m_previewRun, m_start, m_exit}));
    main->addStretch(1);

    m_filters = new FilterPane(this);
    m_filters->hide(); // hidden controls take no focus and no key
    panes->addWidget(m_filters);
    buildStatusBar(outer);
    m_qsos->installEventFilter(this);
    m_swl->installEventFilter(this);
    // Tab follows what a first run needs, as the first-start hint names it: the log, the label sheet, the own
    // call, the QSOs on a label, Start.
    QWidget* const chain[] = {m_log, m_browseLog, m_sheetChoice->box(), m_sheetChoice->ownCallBox(), m_qsos, m_start};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i)
        setTabOrder(chain[i], chain[i + 1]);
}

void TForm1::buildProfileRows(QBoxLayout* main)
{
    m_profileLabel = captioned(label(this, "Label9", "Profile"), WindowText::CaptionProfile);
    m_profiles = spokenAs(named<QComboBox>(this, "ComboBox2"), WindowText::CaptionProfile);
    QFont bold = m_profiles->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    m_profiles->setFont(bold);
    m_profiles->setStyleSheet(u"color: navy"_s);
    m_profiles->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_profiles->setMinimumContentsLength(16);
    m_profilesSetup = captioned(button(this, "Button8", "&Profiles Setup"), WindowText::ButtonProfilesSetup);
    QFont boldButton = m_profilesSetup->font();
    boldButton.setBold(true);
    m_profilesSetup->setFont(boldButton);
    m_help = named<QToolButton>(this, "SpeedButton2");
    m_help->setText(u"?"_s);
    spokenAs(m_help, WindowText::ButtonHelp);
    // What a first start needs, said on the window itself (shown while there is no profile).
    m_firstStart = captioned(label(this, "FirstStartHint", ""), WindowText::FirstStartHint);
    m_firstStart->setWordWrap(true);
    m_firstStart->setStyleSheet(u"background: #fff8d0; border: 1px solid #d8c060; padding: 6px"_s);
    m_firstStart->hide();
    main->addWidget(m_firstStart);
    main->addWidget(m_profileLabel);
    main->addLayout(row({m_profiles, m_profilesSetup, m_help}, m_profiles));
}

void TForm1::buildFileRows(QBoxLayout* main)
{
    // The path boxes show their files shortened to 50 characters.
    constexpr std::size_t kPathBound = 50;
    auto pathBox = [this](const char* name) {
        auto* box = new PathBox(kPathBound, this);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    m_logLabel = label(this, "Label1", "Source file");
    m_log = spokenAs(pathBox("Edit1"), WindowText::LabelSourceFile);
    m_browseLog = captioned(button(this, "Button4", "&Browse"), WindowText::ButtonBrowseLog);
    main->addWidget(m_logLabel);
    main->addLayout(row({m_log, m_browseLog}, m_log));

    m_swlLabel = captioned(label(this, "Label11", "Source SWL file"), WindowText::LabelSwlFile);
    m_swl = spokenAs(pathBox("Edit7"), WindowText::LabelSwlFile);
    QAction* clear =
        m_swl->addAction(style()->standardIcon(QStyle::SP_LineEditClearButton), QLineEdit::TrailingPosition);
    clear->setObjectName("ClearSwl");
    clear->setVisible(false);
    connect(clear, &QAction::triggered, this, [this] { clearSwlFile(); });
    connect(m_swl, &PathBox::pathChanged, this, [this, clear] { clear->setVisible(!swlPath().empty()); });
    m_browseSwl = captioned(button(this, "Button7", "B&rowse"), WindowText::ButtonBrowseSwl);
    m_archive = captioned(idleOnly(button(this, "Button9", "&Archive")), WindowText::ButtonArchive);
    main->addWidget(m_swlLabel);
    main->addLayout(row({m_swl, m_browseSwl, m_archive}, m_swl));

    m_mainLabel = label(this, "Label2", "Main document ");
    m_main = spokenAs(pathBox("Edit2"), WindowText::LabelMainDocument);
    m_newMain = idleOnly(button(this, "ButtonNew", "&New..."));
    m_browseMain = captioned(button(this, "Button5", "Bro&wse"), WindowText::ButtonBrowseMain);
    main->addWidget(m_mainLabel);
    main->addLayout(row({m_main, m_newMain, m_browseMain}, m_main));
    m_sheetLabel = label(this, "LabelSheet", "Label sheet (labels drawn by CARDMILL)");
    m_sheetChoice = new SheetChoice(m_settings, this);
    m_sheetLabel->setBuddy(m_sheetChoice->chooseButton());
    // With a sheet the main document is not used; it stays for when the sheet is cleared.
    connect(m_sheetChoice, &SheetChoice::sheetChanged, this, [this] { m_main->setEnabled(labelSheet().empty()); });
    main->addWidget(m_sheetLabel);
    main->addWidget(m_sheetChoice);
    const int pathWidth = fontMetrics().averageCharWidth() * 36;
    for (QWidget* e : std::initializer_list<QWidget*>{m_log, m_swl, m_main})
        e->setMinimumWidth(pathWidth);
}

void TForm1::buildFormatRows(QBoxLayout* main)
{
    auto* formats = new QGridLayout;
    m_qrgLabel = label(this, "Label4", "Output QRG Format");
    m_qrg = spokenAs(named<QLineEdit>(this, "Edit6"), WindowText::LabelQrgFormat);
    m_qsos = spokenAs(named<QLineEdit>(this, "Edit3"), WindowText::SetupQsos);
    m_qsos->setText(u"1"_s);
    m_qsos->setMaxLength(1000);
    m_qsos->setFixedWidth(fontMetrics().horizontalAdvance(u"000"_s) + 12);
    m_qsosLabel = label(this, "Label3", "QSOs no.");
    m_onOneLabel = label(this, "Label5", "on one label");
    m_dateLabel = label(this, "Label8", "Date format");
    m_date = spokenAs(named<QLineEdit>(this, "Edit5"), WindowText::LabelDateFormat);
    for (QLineEdit* e : {m_qrg, m_date})
        e->setReadOnly(true);
    auto* qsosWords = new QVBoxLayout;
    qsosWords->setSpacing(0);
    qsosWords->addWidget(m_qsosLabel);
    qsosWords->addWidget(m_onOneLabel);
    formats->addWidget(m_qrgLabel, 0, 0);
    formats->addWidget(m_qrg, 1, 0);
    formats->addWidget(m_qsos, 1, 1);
    formats->addLayout(qsosWords, 0, 2, 2, 1);
    formats->addWidget(m_dateLabel, 0, 3);
    formats->addWidget(m_date, 1, 3);
    formats->setColumnStretch(0, 3);
    formats->setColumnStretch(3, 2);
    main->addLayout(formats);

    m_firstLabelLabel = label(this, "Label12", "First label on the sheet");
    m_firstLabel = spokenAs(named<QSpinBox>(this, "SpinEdit1"), WindowText::LabelFirstLabel);
    m_firstLabel->setRange(1, kMaxStartLabel);
    m_orderLabel = label(this, "LabelOrder", "Label order");
    m_order = spokenAs(named<QComboBox>(this, "ComboOrder"), WindowText::LabelOrderCaption);
    fillLabelOrders(m_order, Language::English);
    auto* first = row({m_firstLabelLabel, m_firstLabel});
    first->addSpacing(fontMetrics().averageCharWidth() * 3);
    first->addWidget(m_orderLabel);
    first->addWidget(m_order);
    m_routesButton = captioned(button(this, "ButtonRoutes", "R&outes..."), WindowText::ButtonRoutes);
    m_routesButton->setEnabled(false);
    first->addWidget(m_routesButton);
    first->addStretch(1);
    main->addLayout(first);
}

void TForm1::buildStatusBar(QBoxLayout* outer)
{
    m_statusBar = named<QStatusBar>(this, "StatusBar1");
    m_statusBar->setSizeGripEnabled(false);
    m_status = label(m_statusBar, "StatusPanel1", "");
    m_statusBar->addWidget(m_status, 1);
    m_progress = named<QProgressBar>(m_statusBar, "ProgressBar1");
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(fontMetrics().height() / 2 + 2);
    m_progress->hide();
    m_statusBar->addPermanentWidget(m_progress, 1);
    outer->addWidget(m_statusBar);
}

void TForm1::connectCommands()
{
    auto command = [this](auto* source, auto signal, void (TForm1::*handler)()) {
        connect(source, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    command(m_start, &QPushButton::clicked, &TForm1::Button1Click);
    command(m_previewRun, &QPushButton::clicked, &TForm1::previewFirst);
    command(m_profilesSetup, &QPushButton::clicked, &TForm1::Button8Click);
    command(m_profiles, &QComboBox::activated, &TForm1::ComboBox2Change);
    command(m_config, &QPushButton::clicked, &TForm1::Button2Click);
    command(m_browseLog, &QPushButton::clicked, &TForm1::Button4Click);
    command(m_browseSwl, &QPushButton::clicked, &TForm1::Button7Click);
    command(m_browseMain, &QPushButton::clicked, &TForm1::Button5Click);
    command(m_newMain, &QPushButton::clicked, &TForm1::ButtonNewClick);
    command(m_sheetChoice, &SheetChoice::chooseClicked, &TForm1::ButtonSheetClick);
    command(m_sheetChoice, &SheetChoice::editDesignClicked, &TForm1::editDesign);
    command(m_archive, &QPushButton::clicked, &TForm1::Button9Click);
    command(m_routesButton, &QPushButton::clicked, &TForm1::editRoutes);
    connect(m_order, &QComboBox::currentIndexChanged, this,
            [this] { m_routesButton->setEnabled(labelOrderIn(m_order) == LabelOrder::Routes); });
    command(m_help, &QToolButton::clicked, &TForm1::SpeedButton2Click);
    connect(m_stopButton, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(m_exit, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(m_filtersButton, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(m_filters, &FilterPane::switched, this, [this] { markFiltersButton(); });
}

} // namespace cardmill
