// The designer: the canvas that shows a design on its label and takes the mouse and the arrow keys, the
// property pane, and saving and opening design files.
#include "ui/TFDesigner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <map>

#include "engine/AdifReader.h"
#include "engine/AdifTags.h"
#include "engine/Files.h"
#include "engine/Text.h"
#include "render/DesignFile.h"
#include "render/SheetRenderer.h"
#include "stock/MainDocuments.h"
#include "texts/DesignTexts.h"
#include "ui/Captions.h"
#include "ui/Messages.h"
#include "ui/UserInteraction.h"
#include "ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace cardmill {

namespace {

constexpr double kStep = 0.5;      // mm: arrow keys, and the grid the mouse snaps to
constexpr double kSnapReach = 1.0; // mm: how near another element's edge draws an edge to it

double snapped(double mm)
{
    return std::round(mm / kStep) * kStep;
}

// The first QSOs of the log as the labels' values, one QSO a record; sample values without a log.
class SampleLabels : public LabelSource {
public:
    explicit SampleLabels(const std::filesystem::path& log)
    {
        try {
            if (!log.empty())
                read(log);
        } catch (const std::exception&) {
            m_qsos.clear(); // an unreadable log: the samples
        }
        if (m_qsos.empty())
            m_qsos = {{{"CALL", "DL1ABC"},
                       {"QSO_DATE", "2026-05-01"},
                       {"TIME_ON", "07:05"},
                       {"BAND", "20M"},
                       {"FREQ", "14.205"},
                       {"MODE", "SSB"},
                       {"RST_SENT", "59"},
                       {"QSL_VIA", "DL2XYZ"},
                       {"NAME", "Hans"}},
                      {{"CALL", "DL1ABC"},
                       {"QSO_DATE", "2026-05-03"},
                       {"TIME_ON", "18:40"},
                       {"BAND", "40M"},
                       {"FREQ", "7.074"},
                       {"MODE", "FT8"},
                       {"RST_SENT", "-10"}}};
    }
    std::size_t count() const override { return 1; }
    int qsos(std::size_t) const override { return m_shown; }
    std::string value(std::size_t, const std::string& column, int qso) const override
    {
        const auto& fields = m_qsos[static_cast<std::size_t>(qso) % m_qsos.size()];
        const auto it = fields.find(column);
        return it == fields.end() ? std::string() : it->second;
    }
    void show(int qsos) { m_shown = std::clamp(qsos, 1, 10); }

private:
    void read(const std::filesystem::path& log)
    {
        AdifReader reader(log);
        reader.skipHeader();
        while (m_qsos.size() < 10) {
            const AdifReader::Result r = reader.next();
            if (r == AdifReader::Result::None)
                break;
            if (r == AdifReader::Result::Empty)
                continue;
            RecordWalk walk;
            const std::string_view text = reader.record();
            walk.walk(text, false);
            std::map<std::string, std::string> fields;
            for (const RecordWalk::Field& f : walk.fields()) {
                std::string value(text.substr(f.valueBegin, f.valueEnd - f.valueBegin));
                const std::string name = text::upper(f.name);
                if (name == "QSO_DATE" && value.size() == 8)
                    value = value.substr(0, 4) + "-" + value.substr(4, 2) + "-" + value.substr(6, 2);
                if (name == "TIME_ON" && value.size() >= 4)
                    value = value.substr(0, 2) + ":" + value.substr(2, 2);
                if (name == "BAND" || name == "MODE")
                    value = text::upper(value);
                fields.emplace(name, std::move(value));
            }
            if (!fields.empty())
                m_qsos.push_back(std::move(fields));
        }
    }

    std::vector<std::map<std::string, std::string>> m_qsos;
    int m_shown = 1;
};

// An element's box in mm (a line's, around its two ends).
QRectF boxOf(const DesignElement& e)
{
    if (e.kind == DesignElement::Kind::Line)
        return QRectF(QPointF(e.x, e.y), QPointF(e.x2, e.y2)).normalized().adjusted(-1, -1, 1, 1);
    return QRectF(e.x, e.y, e.width, e.height);
}

void moveBy(DesignElement& e, double dx, double dy)
{
    e.x += dx;
    e.y += dy;
    if (e.kind == DesignElement::Kind::Line) {
        e.x2 += dx;
        e.y2 += dy;
    }
}

// One change of the design, undone and done again as a whole.
class DesignChange : public QUndoCommand {
public:
    DesignChange(Design before, Design after, std::function<void(const Design&)> apply)
        : m_before(std::move(before))
        , m_after(std::move(after))
        , m_apply(std::move(apply))
    {
    }
    void undo() override { m_apply(m_before); }
    void redo() override { m_apply(m_after); }

private:
    Design m_before, m_after;
    std::function<void(const Design&)> m_apply;
};

} // namespace

// The design at scale on its label: the labels' renderer draws it, the outlines of its elements over it.
class DesignCanvas : public QWidget {
public:
    DesignCanvas(TFDesigner& designer, const TFDesigner::Target& target)
        : QWidget(&designer)
        , m_designer(designer)
        , m_samples(target.log)
        , m_target(target)
    {
        setObjectName("DesignCanvas");
        setFocusPolicy(Qt::StrongFocus);
        setMinimumSize(480, 300);
        m_samples.show(target.qsos);
    }

    // Draws the design; problem() says why it cannot be drawn.
    void redraw(const Design& design);
    const std::optional<DesignError>& problem() const { return m_problemError; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override { fit(); }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent*) override
    {
        m_pressed.reset();
        if (m_live) {
            Design next = std::move(*m_live);
            m_live.reset();
            m_designer.change(next);
        }
    }
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fit()
    {
        const Design& d = m_designer.design();
        if (d.width <= 0 || d.height <= 0)
            return;
        m_pxPerMm = std::min((width() - 20) / d.width, (height() - 20) / d.height);
        m_origin = QPointF((width() - d.width * m_pxPerMm) / 2, (height() - d.height * m_pxPerMm) / 2);
        update();
    }
    QPointF toMm(const QPointF& px) const { return (px - m_origin) / m_pxPerMm; }

    // A length along one axis drawn to the nearest edge of another element, or of the label, within reach.
    double snapToEdges(const Design& d, std::size_t moving, double value, bool across) const;

    TFDesigner& m_designer;
    SampleLabels m_samples;
    TFDesigner::Target m_target;
    std::unique_ptr<SheetRenderer> m_renderer;
    std::optional<DesignError> m_problemError;
    std::optional<Design> m_live; // the design while the mouse drags an element
    std::optional<QPointF> m_pressed;
    bool m_resizing = false;
    double m_pxPerMm = 4;
    QPointF m_origin;

    friend class TFDesigner;
};

void DesignCanvas::redraw(const Design& design)
{
    m_problemError.reset();
    m_renderer.reset();
    try {
        LabelStock label;
        label.paperWidth = label.width = design.width * kPointsPerMm;
        label.paperHeight = label.height = design.height * kPointsPerMm;
        label.layouts.push_back({1, 1, 0, 0, label.width, label.height});
        m_renderer = std::make_unique<SheetRenderer>(label, m_target.ownCall, 1, Calibration{},
                                                     std::max(1, m_target.qsos), false, &design);
    } catch (const DesignError& e) {
        m_problemError = e;
    } catch (const MainDocumentError&) {
        // a label of no size: drawn as outlines only
    }
    fit();
}

void DesignCanvas::paintEvent(QPaintEvent*)
{
    const Design& d = m_live ? *m_live : m_designer.design();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.translate(m_origin);
    p.scale(m_pxPerMm, m_pxPerMm);
    p.fillRect(QRectF(0, 0, d.width, d.height), Qt::white);
    p.setPen(QPen(Qt::darkGray, 0));
    p.drawRect(QRectF(0, 0, d.width, d.height));
    if (m_renderer && !m_live) {
        p.save();
        const double pointsScale = (1 / kPointsPerMm) / (logicalDpiX() / 72.0);
        p.scale(pointsScale, pointsScale);
        m_renderer->usePoints(p, *this);
        m_renderer->paintPage(p, *this, m_samples, 0);
        p.restore();
    }
    for (std::size_t i = 0; i < d.qsl.size(); ++i) {
        const bool chosen = m_designer.selected() == i;
        p.setPen(QPen(chosen ? QColor(0, 90, 200) : QColor(160, 160, 160), 0, chosen ? Qt::SolidLine : Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        const QRectF box = boxOf(d.qsl[i]);
        p.drawRect(box);
        if (chosen && d.qsl[i].kind != DesignElement::Kind::Line)
            p.fillRect(QRectF(box.right() - 1, box.bottom() - 1, 2, 2), QColor(0, 90, 200));
    }
}

void DesignCanvas::mousePressEvent(QMouseEvent* event)
{
    setFocus();
    const QPointF at = toMm(event->position());
    const Design& d = m_designer.design();
    std::optional<std::size_t> hit;
    for (std::size_t i = d.qsl.size(); i-- > 0 && !hit;)
        if (boxOf(d.qsl[i]).adjusted(-0.5, -0.5, 1.5, 1.5).contains(at))
            hit = i;
    m_designer.select(hit);
    m_pressed = at;
    m_resizing = false;
    if (hit) {
        const QRectF box = boxOf(d.qsl[*hit]);
        m_resizing = d.qsl[*hit].kind != DesignElement::Kind::Line &&
                     QRectF(box.right() - 1.5, box.bottom() - 1.5, 3, 3).contains(at);
    }
}

void DesignCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const std::optional<std::size_t> s = m_designer.selected();
    if (!s || !m_pressed || !(event->buttons() & Qt::LeftButton))
        return;
    Design next = m_designer.design();
    DesignElement& e = next.qsl[*s];
    const QPointF delta = toMm(event->position()) - *m_pressed;
    const DesignElement& was = m_designer.design().qsl[*s];
    if (m_resizing) {
        e.width = std::max(kStep, snapToEdges(next, *s, snapped(was.x + was.width + delta.x()), true) - was.x);
        e.height = std::max(kStep, snapToEdges(next, *s, snapped(was.y + was.height + delta.y()), false) - was.y);
    } else {
        const double x = snapToEdges(next, *s, snapped(was.x + delta.x()), true);
        const double y = snapToEdges(next, *s, snapped(was.y + delta.y()), false);
        moveBy(e, x - was.x, y - was.y);
    }
    m_live = std::move(next);
    update();
}

void DesignCanvas::keyPressEvent(QKeyEvent* event)
{
    double dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Left: dx = -kStep; break;
    case Qt::Key_Right: dx = kStep; break;
    case Qt::Key_Up: dy = -kStep; break;
    case Qt::Key_Down: dy = kStep; break;
    default: QWidget::keyPressEvent(event); return;
    }
    if (event->modifiers() & Qt::ShiftModifier)
        m_designer.resizeSelected(dx, dy);
    else
        m_designer.moveSelected(dx, dy);
}

double DesignCanvas::snapToEdges(const Design& d, std::size_t moving, double value, bool across) const
{
    double best = value, nearest = kSnapReach;
    const auto consider = [&](double edge) {
        if (std::abs(edge - value) < nearest) {
            nearest = std::abs(edge - value);
            best = edge;
        }
    };
    consider(0);
    consider(across ? d.width : d.height);
    for (std::size_t i = 0; i < d.qsl.size(); ++i) {
        if (i == moving)
            continue;
        const QRectF b = boxOf(d.qsl[i]);
        consider(across ? b.left() : b.top());
        consider(across ? b.right() : b.bottom());
    }
    return best;
}

TFDesigner::TFDesigner(const std::string& design, const Target& target, Language language, QWidget* parent)
    : QDialog(parent)
    , m_target(target)
    , m_language(language)
    , m_undo(new QUndoStack(this))
{
    const Design loaded = loadDesign(design);
    const bool file = isDesignFile(design);
    m_builtIn = file ? std::string() : loaded.source;
    load(loaded, file ? files::pathFromUtf8(design) : std::filesystem::path());
    build();
    showDesign();
}

TFDesigner::~TFDesigner() = default;

std::string TFDesigner::choice() const
{
    return m_file.empty() ? m_builtIn : files::utf8Of(m_file);
}

void TFDesigner::load(Design design, std::filesystem::path file)
{
    m_design = fixedFromFlow(design, m_target.width, m_target.height, m_target.qsos, 1.5);
    if (m_design.qsl.empty())
        m_design.qsl.push_back({});
    m_file = std::move(file);
    m_selected.reset();
    m_undo->clear();
}

void TFDesigner::build()
{
    setObjectName("FDesigner");
    auto* outer = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    m_startFrom = spokenAs(named<QComboBox>(this, "ComboStartFrom"), WindowText::DesignerStartFrom);
    for (std::string_view name : kBuiltInDesigns)
        m_startFrom->addItem(toQString(builtInDesignTitle(name, m_language)), toQString(std::string(name)));
    m_startFrom->setCurrentIndex(-1);
    m_startFrom->setPlaceholderText(toQString(text(WindowText::DesignerStartFrom)));
    connect(m_startFrom, &QComboBox::activated, this,
            [this](int i) { startFrom(m_startFrom->itemData(i).toString().toStdString()); });
    const auto button = [&](const char* name, WindowText id, auto slot) {
        auto* b = captioned(named<QPushButton>(this, name), id);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    buttons->addWidget(m_startFrom);
    button("ButtonOpen", WindowText::DesignerOpen, [this] { open(); });
    button("ButtonSave", WindowText::DesignerSave, [this] { save(); });
    button("ButtonSaveAs", WindowText::DesignerSaveAs, [this] { saveAs(); });
    QPushButton* undo = button("ButtonUndo", WindowText::DesignerUndo, [this] { m_undo->undo(); });
    QPushButton* redo = button("ButtonRedo", WindowText::DesignerRedo, [this] { m_undo->redo(); });
    connect(m_undo, &QUndoStack::canUndoChanged, undo, &QPushButton::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, redo, &QPushButton::setEnabled);
    undo->setEnabled(false);
    redo->setEnabled(false);
    button("ButtonAddText", WindowText::DesignerAddText, [this] { addText(); });
    button("ButtonDelete", WindowText::DesignerDelete, [this] { deleteSelected(); });
    buttons->addStretch(1);
    button("ButtonClose", WindowText::DesignerClose, [this] { reject(); });
    outer->addLayout(buttons);
    for (const auto& [keys, slot] : std::initializer_list<std::pair<QKeySequence, std::function<void()>>>{
             {QKeySequence::Undo, [this] { m_undo->undo(); }},
             {QKeySequence::Redo, [this] { m_undo->redo(); }},
             {QKeySequence::Save, [this] { save(); }}})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);

    auto* body = new QHBoxLayout;
    m_canvas = new DesignCanvas(*this, m_target);
    m_canvas->setAccessibleName(toQString(text(WindowText::DesignerCanvas)));
    spokenAs(m_canvas, WindowText::DesignerCanvas);
    body->addWidget(m_canvas, 1);
    auto* pane = new QVBoxLayout;
    auto* form = new QFormLayout;
    buildPane(form);
    pane->addLayout(form);
    buildColumns(pane);
    m_hint = captioned(named<QLabel>(this, "LabelHint"), WindowText::DesignerNoSelection);
    m_hint->setWordWrap(true);
    pane->addWidget(m_hint);
    pane->addStretch(1);
    body->addLayout(pane);
    outer->addLayout(body, 1);
    m_problem = named<QLabel>(this, "LabelProblem");
    m_problem->setStyleSheet(u"color: #a00000"_s);
    m_problem->setWordWrap(true);
    outer->addWidget(m_problem);
    applyCaptions(this, m_language);
    resize(1000, 560);
    m_canvas->setFocus();
}

void TFDesigner::buildPane(QFormLayout* form)
{
    const auto row = [&](WindowText caption, QWidget* field) {
        auto* label = captioned(new QLabel(this), caption);
        label->setBuddy(field);
        spokenAs(field, caption);
        form->addRow(label, field);
    };
    m_text = named<QLineEdit>(this, "EditText");
    m_onlyWith = named<QLineEdit>(this, "EditOnlyWith");
    m_family = named<QLineEdit>(this, "EditFont");
    row(WindowText::DesignerText, m_text);
    row(WindowText::DesignerOnlyWith, m_onlyWith);
    row(WindowText::DesignerFont, m_family);
    for (QLineEdit* e : {m_text, m_onlyWith, m_family})
        connect(e, &QLineEdit::editingFinished, this, [this] { paneEdited(); });
    const auto number = [&](const char* name, WindowText caption, double most, double step) {
        auto* box = named<QDoubleSpinBox>(this, name);
        box->setRange(caption == WindowText::DesignerSize ? kMinFontPoints : -kMaxDesignLength, most);
        box->setDecimals(1);
        box->setSingleStep(step);
        box->setKeyboardTracking(false);
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { paneEdited(); });
        row(caption, box);
        return box;
    };
    m_size = number("SpinSize", WindowText::DesignerSize, kMaxFontPoints, 0.5);
    m_bold = captioned(named<QCheckBox>(this, "CheckBold"), WindowText::DesignerBold);
    m_italic = captioned(named<QCheckBox>(this, "CheckItalic"), WindowText::DesignerItalic);
    auto* faces = new QHBoxLayout;
    faces->addWidget(m_bold);
    faces->addWidget(m_italic);
    form->addRow(faces);
    for (QCheckBox* c : {m_bold, m_italic})
        connect(c, &QCheckBox::toggled, this, [this] { paneEdited(); });
    m_align = named<QComboBox>(this, "ComboAlign");
    for (WindowText t :
         {WindowText::DesignerAlignLeft, WindowText::DesignerAlignCentre, WindowText::DesignerAlignRight})
        m_align->addItem(toQString(text(t)));
    connect(m_align, &QComboBox::activated, this, [this] { paneEdited(); });
    row(WindowText::DesignerAlign, m_align);
    m_x = number("SpinLeft", WindowText::DesignerLeft, kMaxDesignLength, kStep);
    m_y = number("SpinTop", WindowText::DesignerTop, kMaxDesignLength, kStep);
    m_width = number("SpinWidth", WindowText::DesignerWidth, kMaxDesignLength, kStep);
    m_height = number("SpinHeight", WindowText::DesignerHeight, kMaxDesignLength, kStep);
}

void TFDesigner::buildColumns(QVBoxLayout* pane)
{
    pane->addWidget(captioned(new QLabel(this), WindowText::DesignerColumns));
    m_columns = spokenAs(named<QTableWidget>(this, "TableColumns"), WindowText::DesignerColumns);
    m_columns->setColumnCount(3);
    m_columns->setHorizontalHeaderLabels({toQString(text(WindowText::DesignerColumnField)),
                                          toQString(text(WindowText::DesignerColumnHeading)),
                                          toQString(text(WindowText::DesignerWidth))});
    m_columns->horizontalHeader()->setStretchLastSection(true);
    m_columns->verticalHeader()->hide();
    m_columns->setMinimumHeight(150);
    connect(m_columns, &QTableWidget::itemChanged, this, [this] { columnsEdited(); });
    pane->addWidget(m_columns);
    auto* row = new QHBoxLayout;
    m_addColumn = captioned(named<QPushButton>(this, "ButtonAddColumn"), WindowText::DesignerAddColumn);
    m_removeColumn = captioned(named<QPushButton>(this, "ButtonRemoveColumn"), WindowText::DesignerRemoveColumn);
    for (QPushButton* b : {m_addColumn, m_removeColumn}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    connect(m_addColumn, &QPushButton::clicked, this, [this] {
        if (!m_selected)
            return;
        Design next = m_design;
        next.qsl[*m_selected].columns.push_back({"FREQ", "MHz", 15, TextAlign::Left});
        change(next);
    });
    connect(m_removeColumn, &QPushButton::clicked, this, [this] {
        const int at = m_columns->currentRow();
        if (!m_selected || at < 0 || m_design.qsl[*m_selected].columns.size() < 2)
            return;
        Design next = m_design;
        auto& columns = next.qsl[*m_selected].columns;
        columns.erase(columns.begin() + at);
        change(next);
    });
    pane->addLayout(row);
}

void TFDesigner::select(std::optional<std::size_t> element)
{
    m_selected = element && *element < m_design.qsl.size() ? element : std::nullopt;
    showPane();
    m_canvas->update();
}

void TFDesigner::change(const Design& next)
{
    if (next == m_design)
        return;
    m_undo->push(new DesignChange(m_design, next, [this](const Design& d) {
        m_design = d;
        if (m_selected && *m_selected >= m_design.qsl.size())
            m_selected.reset();
        showDesign();
    }));
}

void TFDesigner::moveSelected(double dx, double dy)
{
    if (!m_selected)
        return;
    Design next = m_design;
    moveBy(next.qsl[*m_selected], dx, dy);
    change(next);
}

void TFDesigner::resizeSelected(double dw, double dh)
{
    if (!m_selected)
        return;
    Design next = m_design;
    DesignElement& e = next.qsl[*m_selected];
    e.width = std::max(kStep, e.width + dw);
    e.height = std::max(kStep, e.height + dh);
    change(next);
}

void TFDesigner::showDesign()
{
    m_canvas->redraw(m_design);
    const auto& error = m_canvas->problem();
    m_problem->setText(error ? toQString(designErrorText(*error, m_language)) : QString());
    showPane();
    setTitle();
}

void TFDesigner::showPane()
{
    m_showing = true;
    const DesignElement* e = m_selected ? &m_design.qsl[*m_selected] : nullptr;
    const bool text = e && e->kind == DesignElement::Kind::Text;
    const bool table = e && e->kind == DesignElement::Kind::Table;
    const bool lettered = text || table;
    for (QWidget* w : std::initializer_list<QWidget*>{m_text, m_onlyWith, m_align})
        w->setEnabled(text);
    for (QWidget* w : std::initializer_list<QWidget*>{m_family, m_size, m_bold, m_italic})
        w->setEnabled(lettered);
    for (QWidget* w : std::initializer_list<QWidget*>{m_x, m_y, m_width, m_height})
        w->setEnabled(e != nullptr);
    for (QWidget* w : std::initializer_list<QWidget*>{m_columns, m_addColumn, m_removeColumn})
        w->setEnabled(table);
    m_hint->setVisible(!e);
    const DesignElement none;
    const DesignElement& shown = e ? *e : none;
    m_text->setText(toQString(shown.text));
    m_onlyWith->setText(toQString(shown.onlyWith));
    m_family->setText(toQString(shown.font.family));
    m_size->setValue(shown.font.size);
    m_bold->setChecked(shown.font.bold);
    m_italic->setChecked(shown.font.italic);
    m_align->setCurrentIndex(static_cast<int>(shown.align));
    m_x->setValue(shown.x);
    m_y->setValue(shown.y);
    m_width->setValue(shown.width);
    m_height->setValue(shown.height);
    m_columns->setRowCount(table ? static_cast<int>(shown.columns.size()) : 0);
    for (std::size_t i = 0; table && i < shown.columns.size(); ++i) {
        const DesignColumn& c = shown.columns[i];
        const int r = static_cast<int>(i);
        m_columns->setItem(r, 0, new QTableWidgetItem(toQString(c.field)));
        m_columns->setItem(r, 1, new QTableWidgetItem(toQString(c.heading)));
        m_columns->setItem(r, 2, new QTableWidgetItem(QString::number(c.width)));
    }
    m_showing = false;
}

void TFDesigner::paneEdited()
{
    if (m_showing || !m_selected)
        return;
    Design next = m_design;
    DesignElement& e = next.qsl[*m_selected];
    if (e.kind == DesignElement::Kind::Text) {
        e.text = m_text->text().toStdString();
        e.onlyWith = text::upper(m_onlyWith->text().trimmed().toStdString());
        e.align = static_cast<TextAlign>(std::max(0, m_align->currentIndex()));
    }
    if (e.kind == DesignElement::Kind::Text || e.kind == DesignElement::Kind::Table) {
        e.font.family = m_family->text().trimmed().toStdString();
        e.font.size = m_size->value();
        e.font.bold = m_bold->isChecked();
        e.font.italic = m_italic->isChecked();
    }
    moveBy(e, m_x->value() - e.x, m_y->value() - e.y);
    if (e.kind != DesignElement::Kind::Line) {
        e.width = m_width->value();
        e.height = m_height->value();
    }
    change(next);
}

void TFDesigner::columnsEdited()
{
    if (m_showing || !m_selected || m_design.qsl[*m_selected].kind != DesignElement::Kind::Table)
        return;
    Design next = m_design;
    auto& columns = next.qsl[*m_selected].columns;
    for (int r = 0; r < m_columns->rowCount() && static_cast<std::size_t>(r) < columns.size(); ++r) {
        const auto cell = [&](int c) { return m_columns->item(r, c) ? m_columns->item(r, c)->text() : QString(); };
        columns[static_cast<std::size_t>(r)].field = text::upper(cell(0).trimmed().toStdString());
        columns[static_cast<std::size_t>(r)].heading = cell(1).toStdString();
        bool ok = false;
        const double width = cell(2).toDouble(&ok);
        if (ok && std::isfinite(width) && width > 0)
            columns[static_cast<std::size_t>(r)].width = width;
    }
    change(next);
}

void TFDesigner::addText()
{
    Design next = m_design;
    DesignElement e;
    e.text = "{CALL}";
    e.x = 2;
    e.y = 2;
    e.width = std::min(40.0, std::max(kStep, m_design.width - 4));
    e.height = 6;
    next.qsl.push_back(e);
    change(next);
    select(next.qsl.size() - 1);
}

void TFDesigner::deleteSelected()
{
    if (!m_selected || m_design.qsl.size() < 2)
        return;
    Design next = m_design;
    next.qsl.erase(next.qsl.begin() + static_cast<std::ptrdiff_t>(*m_selected));
    m_selected.reset();
    change(next);
}

void TFDesigner::setTitle()
{
    const std::string name = m_file.empty() ? builtInDesignTitle(m_builtIn, m_language) : m_file.filename().string();
    setWindowTitle(toQString(fillPattern(text(WindowText::DesignerTitle), {name + (changed() ? " *" : "")})));
}

bool TFDesigner::changed() const
{
    return !m_undo->isClean() || (m_file.empty() && m_undo->count() > 0);
}

bool TFDesigner::writeTo(const std::filesystem::path& file)
{
    std::string error;
    Design saved = m_design;
    saved.name = file.stem().string();
    if (!writeDesignFile(saved, file, error)) {
        showTextMessage(this, WindowText::DesignerCannotSave, m_language, {file.string(), error});
        return false;
    }
    m_design.name = saved.name;
    m_design.folder = file.parent_path();
    m_design.source = files::utf8Of(file);
    m_file = file;
    m_builtIn.clear();
    m_undo->setClean();
    setTitle();
    return true;
}

bool TFDesigner::save()
{
    return m_file.empty() ? saveAs() : writeTo(m_file);
}

bool TFDesigner::saveAs()
{
    std::filesystem::path proposed = m_file;
    if (proposed.empty())
        proposed = (m_target.log.empty() ? toPath(QDir::homePath()) : m_target.log.parent_path()) /
                   files::pathFromUtf8(m_design.name.empty() ? std::string("design.json") : m_design.name + ".json");
    const auto file = userInteraction().saveFile(this, text(WindowText::FilterDesign), proposed);
    return file && writeTo(*file);
}

void TFDesigner::open()
{
    const auto file = userInteraction().openFile(this, text(WindowText::FilterDesign),
                                                 m_file.empty() ? m_target.log.parent_path() : m_file.parent_path());
    if (!file)
        return;
    try {
        load(loadDesign(files::utf8Of(*file)), *file);
        m_builtIn.clear();
    } catch (const DesignError& e) {
        showTextMessage(this, WindowText::StockFailed, m_language, {designErrorText(e, m_language)});
        return;
    }
    showDesign();
}

void TFDesigner::startFrom(const std::string& builtIn)
{
    load(loadDesign(builtIn), {});
    m_builtIn = builtIn;
    m_undo->resetClean();
    showDesign();
}

void TFDesigner::keyPressEvent(QKeyEvent* event)
{
    // Enter in a box of the pane takes its value; it never closes the designer.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

void TFDesigner::reject()
{
    if (changed()) {
        switch (askText(this, WindowText::DesignerUnsaved, m_language, true)) {
        case UserInteraction::Answer::Yes:
            if (!save())
                return;
            break;
        case UserInteraction::Answer::No: break;
        default: return;
        }
    }
    QDialog::reject();
}

} // namespace cardmill
