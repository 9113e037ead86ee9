#include "ui/TFStock.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <system_error>

#include "engine/RunRequest.h"
#include "engine/Text.h"
#include "render/SheetRenderer.h"
#include "stock/LabelLayout.h"
#include "stock/MainDocuments.h"
#include "ui/Captions.h"
#include "ui/Messages.h"
#include "ui/UserInteraction.h"
#include "ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace cardmill {

namespace {

std::string millimetres(double points)
{
    return text::fixed(points / kPointsPerMm, 1);
}

} // namespace

// --- StockPreview ---

StockPreview::StockPreview(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(260, 360);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

StockPreview::~StockPreview() = default;

namespace {

// One label of example data, `qsos` QSOs on it (0: an SWL label).
class SampleLabel : public LabelSource {
public:
    explicit SampleLabel(int qsos)
        : m_qsos(qsos)
    {
    }
    std::size_t count() const override { return 1; }
    int qsos(std::size_t) const override { return m_qsos; }
    std::string value(std::size_t, const std::string& column, int) const override { return sampleValue(column); }

private:
    int m_qsos;
};

} // namespace

void StockPreview::show(const std::optional<LabelStock>& stock, int qsos, const std::string& ownCall)
{
    m_stock = stock;
    m_qsos = qsos;
    m_renderer.reset();
    // The example is painted as the labels are drawn and printed: by the renderer of the sheets.
    if (stock)
        try {
            m_renderer =
                std::make_unique<SheetRenderer>(*stock, ownCall, 1, Calibration{}, std::max(qsos, 1), qsos == 0);
        } catch (const MainDocumentError&) {
            // A stock that cannot carry the labels shows its outlines only.
        }
    update();
}

void StockPreview::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().window());
    if (!m_stock || !(m_stock->paperWidth > 0) || !(m_stock->paperHeight > 0))
        return;
    const LabelStock& s = *m_stock;
    // Points of the sheet to pixels, the sheet centred with a margin.
    const double scale = std::min((width() - 12) / s.paperWidth, (height() - 12) / s.paperHeight);
    p.translate((width() - s.paperWidth * scale) / 2, (height() - s.paperHeight * scale) / 2);
    p.scale(scale, scale);
    p.fillRect(QRectF(0, 0, s.paperWidth, s.paperHeight), Qt::white);
    p.setPen(QPen(QColor(120, 120, 120), 0));
    p.drawRect(QRectF(0, 0, s.paperWidth, s.paperHeight));

    const std::vector<LabelRect> places = s.places();
    p.setPen(QPen(QColor(70, 110, 200), 0));
    for (const LabelRect& r : places) {
        const QRectF box(r.x, r.y, r.width, r.height);
        if (s.shape == LabelStock::Shape::Rectangle)
            p.drawRoundedRect(box, s.corner, s.corner);
        else
            p.drawEllipse(box);
    }
    // The first label with example data; the painter's scale already turns the sheet's points into pixels.
    if (m_renderer && !places.empty())
        m_renderer->paintPage(p, *this, SampleLabel(m_qsos), 0);
}

// --- TFStock ---

TFStock::TFStock(const StockCatalogue& catalogue, const Settings& settings, Language language, QWidget* parent)
    : QDialog(parent)
    , m_catalogue(catalogue)
    , m_settings(settings)
    , m_language(language)
{
    build();
    // What the dialog remembers: the own call, the stock, the format.
    StockChoice remembered;
    std::error_code ec;
    if (std::filesystem::is_regular_file(m_settings.file(), ec))
        try {
            remembered = m_settings.stockChoice();
        } catch (const std::exception&) {
            // An unreadable settings file only means nothing is remembered.
        }
    m_ownCall->setText(toQString(remembered.ownCall));
    m_format->setCurrentIndex(remembered.format == "odt" ? 1 : 0);
    fillList();
    if (remembered.stock.empty() || !selectStock(remembered.stock))
        m_list->setCurrentRow(m_shown.empty() ? 0 : 1);
    stockChanged();
}

void TFStock::build()
{
    setObjectName("TFStock");
    setWindowTitle(toQString(text(WindowText::StockTitle)));
    auto* columns = new QHBoxLayout;
    QVBoxLayout* left = buildStockList();
    left->addWidget(buildCustomGrid());
    columns->addLayout(left, 1);
    columns->addLayout(buildSheetView(), 1);
    columns->addLayout(buildChoices(), 1);
    setLayout(columns);
    // Names a screen reader says for the controls that show no text of their own.
    const std::pair<QWidget*, WindowText> spoken[] = {
        {m_search, WindowText::StockSearchHint}, {m_list, WindowText::StockStock},
        {m_paper, WindowText::StockPaper},       {m_columns, WindowText::StockColumnsRows},
        {m_rows, WindowText::StockColumnsRows},  {m_width, WindowText::StockLabelSize},
        {m_height, WindowText::StockLabelSize},  {m_left, WindowText::StockFirstPlace},
        {m_top, WindowText::StockFirstPlace},    {m_hpitch, WindowText::StockPitch},
        {m_vpitch, WindowText::StockPitch},      {m_ownCall, WindowText::StockOwnCall},
        {m_format, WindowText::StockFormat},     {m_folder, WindowText::StockFolder}};
    for (const auto& [widget, name] : spoken)
        spokenAs(widget, name);
    applyCaptions(this, m_language);

    connect(m_search, &QLineEdit::textChanged, this, [this] {
        const std::string chosen = m_list->currentItem() ? m_list->currentItem()->text().toStdString() : "";
        fillList();
        m_list->setCurrentRow(0);
        for (int i = 0; i < m_list->count(); ++i)
            if (m_list->item(i)->text().toStdString() == chosen)
                m_list->setCurrentRow(i);
        if (m_list->count() > 1 && m_list->currentRow() == 0 && !m_search->text().isEmpty())
            m_list->setCurrentRow(1);
    });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { stockChanged(); });
    for (QDoubleSpinBox* s : {m_width, m_height, m_left, m_top, m_hpitch, m_vpitch})
        connect(s, &QDoubleSpinBox::valueChanged, this, [this] { stockChanged(); });
    for (QSpinBox* s : {m_columns, m_rows})
        connect(s, &QSpinBox::valueChanged, this, [this] { stockChanged(); });
    connect(m_paper, &QComboBox::currentIndexChanged, this, [this] { stockChanged(); });
}

QVBoxLayout* TFStock::buildStockList()
{
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(toQString(text(WindowText::StockStock)), this));
    m_search = new QLineEdit(this);
    m_search->setObjectName("StockSearch");
    m_search->setPlaceholderText(toQString(text(WindowText::StockSearchHint)));
    m_search->setClearButtonEnabled(true);
    if (auto* clear = m_search->findChild<QAction*>(u"_q_qlineeditclearaction"_s))
        nameActionButton(clear, toQString(text(WindowText::ClearSearch)));
    left->addWidget(m_search);
    m_list = new QListWidget(this);
    m_list->setObjectName("StockList");
    m_list->setMinimumWidth(260);
    left->addWidget(m_list, 1);
    // What the catalogue could not read is named, as is a missing database.
    std::string notes = m_catalogue.databaseFound() ? std::string() : text(WindowText::StockNoDatabase);
    const std::vector<std::string>& warnings = m_catalogue.warnings();
    for (std::size_t i = 0; i < warnings.size() && i < 3; ++i)
        notes += (notes.empty() ? "" : "\n") + warnings[i];
    if (warnings.size() > 3)
        notes += "\n...";
    m_noDatabase = new QLabel(toQString(notes), this);
    m_noDatabase->setObjectName("NoDatabase");
    m_noDatabase->setWordWrap(true);
    m_noDatabase->setVisible(!notes.empty());
    left->addWidget(m_noDatabase);

    return left;
}

QGroupBox* TFStock::buildCustomGrid()
{
    m_custom = new QGroupBox(toQString(text(WindowText::StockCustom)), this);
    m_custom->setObjectName("CustomGrid");
    auto* grid = new QFormLayout(m_custom);
    m_paper = new QComboBox(m_custom);
    m_paper->setObjectName("Paper");
    for (const PaperSize& paper : standardPapers())
        m_paper->addItem(toQString(paper.name), toQString(paper.id));
    grid->addRow(toQString(text(WindowText::StockPaper)), m_paper);
    auto spin = [this](const char* name, int value) {
        auto* s = new QSpinBox(m_custom);
        s->setObjectName(name);
        s->setRange(1, 100);
        s->setValue(value);
        return s;
    };
    auto length = [this](const char* name, double value) {
        auto* s = new QDoubleSpinBox(m_custom);
        s->setObjectName(name);
        s->setRange(0, 2000);
        s->setDecimals(2);
        s->setSuffix(u" mm"_s);
        s->setValue(value);
        return s;
    };
    auto pair = [](QWidget* a, QWidget* b) {
        auto* w = new QWidget;
        auto* l = new QHBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(a);
        l->addWidget(b);
        return w;
    };
    // Avery L7160's grid as a start: a common QSL stock.
    m_columns = spin("Columns", 3);
    m_rows = spin("Rows", 7);
    grid->addRow(toQString(text(WindowText::StockColumnsRows)), pair(m_columns, m_rows));
    m_width = length("LabelWidth", 63.5);
    m_height = length("LabelHeight", 38.1);
    grid->addRow(toQString(text(WindowText::StockLabelSize)), pair(m_width, m_height));
    m_left = length("Left", 7.2);
    m_top = length("Top", 15.15);
    grid->addRow(toQString(text(WindowText::StockFirstPlace)), pair(m_left, m_top));
    m_hpitch = length("HPitch", 66.04);
    m_vpitch = length("VPitch", 38.1);
    grid->addRow(toQString(text(WindowText::StockPitch)), pair(m_hpitch, m_vpitch));
    return m_custom;
}

QVBoxLayout* TFStock::buildSheetView()
{
    auto* middle = new QVBoxLayout;
    m_preview = new StockPreview(this);
    m_preview->setObjectName("StockPreview");
    middle->addWidget(m_preview, 1);
    m_description = new QLabel(this);
    m_description->setObjectName("StockDescription");
    m_description->setWordWrap(true);
    middle->addWidget(m_description);
    m_about = new QLabel(this);
    m_about->setObjectName("StockAbout");
    m_about->setWordWrap(true);
    middle->addWidget(m_about);
    return middle;
}

QVBoxLayout* TFStock::buildChoices()
{
    auto* right = new QFormLayout;
    m_ownCall = new QLineEdit(this);
    m_ownCall->setObjectName("OwnCall");
    m_ownCall->setValidator(new QRegularExpressionValidator(QRegularExpression(u"[A-Za-z0-9/]{0,20}"_s), m_ownCall));
    connect(m_ownCall, &QLineEdit::textEdited, this, [this](const QString& t) {
        const int at = m_ownCall->cursorPosition();
        m_ownCall->setText(t.toUpper());
        m_ownCall->setCursorPosition(at);
        stockChanged();
    });
    right->addRow(toQString(text(WindowText::StockOwnCall)), m_ownCall);
    auto* sizes = new QWidget(this);
    auto* sizeGrid = new QGridLayout(sizes);
    sizeGrid->setContentsMargins(0, 0, 0, 0);
    for (const PassSelector pass : allPasses()) {
        const int i = static_cast<int>(m_sizes.size());
        auto* box = new QCheckBox(pass.isSwl() ? u"SWL"_s : QString::number(pass.size), sizes);
        box->setObjectName(pass.isSwl() ? u"SizeSwl"_s : u"Size%1"_s.arg(pass.size));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, [this] { stockChanged(); });
        sizeGrid->addWidget(box, i / 4, i % 4);
        m_sizes.push_back(box);
    }
    right->addRow(toQString(text(WindowText::StockSizes)), sizes);
    m_format = new QComboBox(this);
    m_format->setObjectName("Format");
    m_format->addItem(u".docx (Word, LibreOffice)"_s, u"docx"_s);
    m_format->addItem(u".odt (LibreOffice)"_s, u"odt"_s);
    right->addRow(toQString(text(WindowText::StockFormat)), m_format);
    m_folder = new QLineEdit(this);
    m_folder->setObjectName("Folder");
    m_browse = new QPushButton(toQString(text(WindowText::StockBrowse)), this);
    m_browse->setObjectName("BrowseFolder");
    connect(m_browse, &QPushButton::clicked, this, [this] {
        if (const auto folder = userInteraction().chooseFolder(this, toPath(m_folder->text())))
            m_folder->setText(pathText(*folder));
    });
    auto* folderRow = new QWidget(this);
    auto* folderLayout = new QHBoxLayout(folderRow);
    folderLayout->setContentsMargins(0, 0, 0, 0);
    folderLayout->addWidget(m_folder, 1);
    folderLayout->addWidget(m_browse);
    right->addRow(toQString(text(WindowText::StockFolder)), folderRow);
    auto* rightBox = new QVBoxLayout;
    rightBox->addLayout(right);
    rightBox->addStretch(1);
    rightBox->addWidget(buildButtons());
    return rightBox;
}

QDialogButtonBox* TFStock::buildButtons()
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_create = buttons->addButton(toQString(text(WindowText::StockCreate)), QDialogButtonBox::AcceptRole);
    m_create->setObjectName("Create");
    m_create->setAutoDefault(false); // making files is never what Enter does
    connect(m_create, &QPushButton::clicked, this, [this] { create(); });
    m_useSheet = buttons->addButton(toQString(text(WindowText::StockUseSheet)), QDialogButtonBox::ActionRole);
    m_useSheet->setObjectName("UseSheet");
    m_useSheet->setDefault(true); // Enter takes the sheet chosen
    connect(m_useSheet, &QPushButton::clicked, this, [this] { useSheet(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
}

void TFStock::fillList()
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    m_list->addItem(toQString(text(WindowText::StockCustom)));
    m_shown = m_catalogue.search(m_search->text().toStdString());
    for (const LabelStock* s : m_shown)
        m_list->addItem(toQString(s->name() + "  (" +
                                  (s->paperName.empty() ? text(WindowText::StockCustomPaper) : s->paperName) + ", " +
                                  arrangementText(*s) + ")"));
}

bool TFStock::selectStock(const std::string& name)
{
    if (text::equalNoCase(name, "Custom") || name == text(WindowText::StockCustom)) {
        m_list->setCurrentRow(0);
        return true;
    }
    for (std::size_t i = 0; i < m_shown.size(); ++i)
        if (text::equalNoCase(m_shown[i]->name(), name)) {
            m_list->setCurrentRow(static_cast<int>(i) + 1);
            return true;
        }
    return false;
}

void TFStock::setFolder(const std::filesystem::path& folder)
{
    m_folder->setText(pathText(folder));
}

bool TFStock::selectSheet(const std::string& sheet)
{
    if (!LabelSheet::isGrid(sheet))
        return selectStock(sheet);
    CustomGrid g;
    try {
        g = parseCustomGrid(sheet);
    } catch (const std::invalid_argument&) {
        return false;
    }
    const PaperSize* paper = standardPaper(g.paperName);
    if (!paper)
        return false;
    m_paper->setCurrentIndex(m_paper->findData(toQString(paper->id)));
    m_columns->setValue(g.columns);
    m_rows->setValue(g.rows);
    const std::pair<QDoubleSpinBox*, double> lengths[] = {{m_width, g.width},   {m_height, g.height},
                                                          {m_left, g.left},     {m_top, g.top},
                                                          {m_hpitch, g.hpitch}, {m_vpitch, g.vpitch}};
    for (const auto& [box, points] : lengths)
        box->setValue(points / kPointsPerMm);
    m_list->setCurrentRow(0);
    return true;
}

std::string TFStock::arrangementText(const LabelStock& stock) const
{
    if (stock.layouts.size() == 1)
        return stock.arrangement();
    return textFor(WindowText::StockLabelsCount, m_language, std::to_string(stock.labelsPerSheet()));
}

std::optional<LabelStock> TFStock::currentStock() const
{
    const int row = m_list->currentRow();
    if (row > 0 && static_cast<std::size_t>(row) <= m_shown.size())
        return *m_shown[static_cast<std::size_t>(row) - 1];
    if (row != 0)
        return std::nullopt;
    return customStock(customGrid());
}

CustomGrid TFStock::customGrid() const
{
    CustomGrid g;
    const PaperSize* paper = standardPaper(m_paper->currentData().toString().toStdString());
    g.paperName = paper ? paper->name : "A4";
    g.paperWidth = paper ? paper->width : 210 * kPointsPerMm;
    g.paperHeight = paper ? paper->height : 297 * kPointsPerMm;
    g.columns = m_columns->value();
    g.rows = m_rows->value();
    g.width = m_width->value() * kPointsPerMm;
    g.height = m_height->value() * kPointsPerMm;
    g.left = m_left->value() * kPointsPerMm;
    g.top = m_top->value() * kPointsPerMm;
    g.hpitch = (g.columns == 1 && m_hpitch->value() == 0 ? m_width->value() : m_hpitch->value()) * kPointsPerMm;
    g.vpitch = (g.rows == 1 && m_vpitch->value() == 0 ? m_height->value() : m_vpitch->value()) * kPointsPerMm;
    return g;
}

std::vector<int> TFStock::chosenSizes() const
{
    std::vector<int> out;
    const auto passes = allPasses();
    for (std::size_t i = 0; i < m_sizes.size(); ++i)
        if (m_sizes[i]->isChecked() && m_sizes[i]->isEnabled())
            out.push_back(passes[i].size);
    return out;
}

void TFStock::stockChanged()
{
    const std::optional<LabelStock> stock = currentStock();
    m_custom->setVisible(m_list->currentRow() == 0);
    std::string about, description;
    std::optional<StockProblem> problem;
    if (stock) {
        problem = stock->problem();
        // Sizes that do not fit this stock cannot be chosen.
        const auto passes = allPasses();
        for (std::size_t i = 0; i < m_sizes.size(); ++i) {
            const int size = passes[i].size;
            const bool fits = !problem && fittingFontSize(qslDesign(size, {}), *stock) > 0;
            QCheckBox* box = m_sizes[i];
            if (fits != box->isEnabled()) {
                // A size that does not fit shows unticked; it comes back ticked if this unticked it.
                const QSignalBlocker quiet(box);
                if (!fits) {
                    box->setProperty("untickedByFit", box->isChecked());
                    box->setChecked(false);
                } else if (box->property("untickedByFit").toBool()) {
                    box->setChecked(true);
                }
            }
            box->setEnabled(fits);
            box->setToolTip(fits ? QString() : toQString(text(WindowText::StockTooSmall)));
        }
        about =
            (stock->paperName.empty() ? millimetres(stock->paperWidth) + " x " + millimetres(stock->paperHeight) + " mm"
                                      : stock->paperName) +
            ", " + arrangementText(*stock) + ", " + millimetres(stock->width) + " x " + millimetres(stock->height) +
            " mm";
        // The catalogue's own description, as its makers wrote it.
        description = m_list->currentRow() == 0 ? text(WindowText::StockCustom)
                                                : stockDescriptionText(stock->description, m_language);
        if (problem)
            about += "\n" + stockProblemText(*problem, m_language);
    }
    const std::vector<int> sizes = chosenSizes();
    if (stock && !problem)
        for (const StockProblem& note : mainDocumentNotes({*stock, {}, {}, sizes, {}, {}}))
            about += "\n" + stockProblemText(note, m_language);
    m_about->setText(toQString(about));
    m_description->setText(toQString(description));
    m_description->setVisible(!description.empty());
    m_preview->show(problem ? std::nullopt : stock, sizes.empty() ? 1 : sizes.front(), m_ownCall->text().toStdString());
    m_create->setEnabled(stock && !problem && !sizes.empty());
    m_useSheet->setEnabled(stock && !problem && m_sizes.front()->isEnabled());
}

std::filesystem::path TFStock::firstSizeDocument() const
{
    for (const auto& d : m_made)
        if (d.stem().string().ends_with("_1"))
            return d;
    return {};
}

void TFStock::create()
{
    const std::optional<LabelStock> stock = currentStock();
    if (!stock)
        return;
    MainDocumentRequest r;
    r.stock = *stock;
    r.folder = toPath(m_folder->text().trimmed());
    r.format = m_format->currentData().toString() == u"odt"_s ? MainDocumentFormat::Odt : MainDocumentFormat::Docx;
    r.sizes = chosenSizes();
    r.ownCall = m_ownCall->text().toUpper().toStdString();
    if (r.folder.empty()) {
        showTextMessage(this, WindowText::StockNoFolder, m_language);
        return;
    }
    try {
        checkRequest(r);
    } catch (const MainDocumentError& e) {
        showTextMessage(this, WindowText::StockFailed, m_language, {stockProblemText(e.problem(), m_language)});
        return;
    }
    std::string there;
    std::error_code ec;
    for (const auto& p : mainDocumentPaths(r))
        if (std::filesystem::exists(std::filesystem::symlink_status(p, ec)))
            there += "\n" + p.filename().string();
    if (!there.empty() &&
        askText(this, WindowText::StockReplace, m_language, false, {there}) != UserInteraction::Answer::Yes)
        return;
    try {
        m_made = makeMainDocuments(r);
    } catch (const MainDocumentError& e) {
        showTextMessage(this, WindowText::StockFailed, m_language, {stockProblemText(e.problem(), m_language)});
        return;
    }
    try {
        m_settings.storeStockChoice({r.ownCall, m_list->currentRow() == 0 ? std::string("Custom") : stock->name(),
                                     r.format == MainDocumentFormat::Odt ? "odt" : "docx"});
    } catch (const std::exception&) {
        // The documents are made; only the choices are not remembered this time.
    }
    std::string list;
    for (const auto& d : m_made)
        list += "\n" + d.filename().string();
    for (const StockProblem& note : mainDocumentNotes(r))
        list += "\n\n" + stockProblemText(note, m_language);
    showTextMessage(this, WindowText::StockMade, m_language, {r.folder.string(), list});
    accept();
}

void TFStock::useSheet()
{
    const std::optional<LabelStock> stock = currentStock();
    if (!stock || stock->problem())
        return;
    m_sheet = m_list->currentRow() == 0 ? customGridText(customGrid()) : stock->name();
    try {
        // The own call goes on the labels ("73 de"); the other choices stay as they were.
        StockChoice choice = m_settings.stockChoice();
        choice.ownCall = m_ownCall->text().trimmed().toUpper().toStdString();
        m_settings.storeStockChoice(choice);
    } catch (const std::exception&) {
        // The sheet is taken all the same; only the own call is not remembered this time.
    }
    accept();
}

} // namespace cardmill
