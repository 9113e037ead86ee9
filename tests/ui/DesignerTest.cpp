// The designer driven as a user drives it: the built-in label opened on the sheet's label, its "via" line moved
// 5 mm down with the arrow keys and the mouse, a FREQ column added to its table, undone and done again, saved;
// the saved file reads back equal, and labels drawn with it show both changes where they were made.
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QUndoStack>

#include "FakeInteraction.h"
#include "Widgets.h"
#include "render/DesignFile.h"
#include "render/LabelOutput.h"
#include "render/SheetRenderer.h"
#include "stock/LabelStock.h"
#include "support/PdfReadBack.h"
#include "support/TempDir.h"
#include "ui/TFDesigner.h"
#include "ui/UserInteraction.h"

using namespace Qt::StringLiterals;
using namespace cardmill;
using test::child;

namespace {

// One label of two QSOs to K1ABC via W1XYZ, with frequencies.
class OneLabel : public LabelSource {
public:
    std::size_t count() const override { return 1; }
    int qsos(std::size_t) const override { return 2; }
    std::string value(std::size_t, const std::string& column, int qso) const override
    {
        if (column == "CALL")
            return "K1ABC";
        if (column == "QSL_VIA")
            return "W1XYZ";
        if (column == "FREQ")
            return qso == 0 ? "14.205" : "7.074";
        if (column == "QSO_DATE")
            return "2024-03-01";
        return column == "QSL_RCVD" ? "" : "X";
    }
};

std::size_t elementWith(const Design& d, const std::string& text)
{
    for (std::size_t i = 0; i < d.qsl.size(); ++i)
        if (d.qsl[i].text == text)
            return i;
    return d.qsl.size();
}

std::size_t tableOf(const Design& d)
{
    for (std::size_t i = 0; i < d.qsl.size(); ++i)
        if (d.qsl[i].kind == DesignElement::Kind::Table)
            return i;
    return d.qsl.size();
}

} // namespace

class DesignerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    test::FakeInteraction interaction;

    TFDesigner::Target target() const
    {
        TFDesigner::Target t;
        t.width = 99.1;
        t.height = 38.1;
        t.qsos = 2;
        t.ownCall = "SP3KXQ";
        return t;
    }

private slots:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        interaction = {};
        setUserInteraction(&interaction);
    }
    void cleanup()
    {
        setUserInteraction(nullptr);
        dir.reset();
    }

    void moveTheViaLineAddAFreqColumnSaveAndDraw()
    {
        TFDesigner designer("label", target(), Language::English, nullptr);
        designer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&designer));
        QCOMPARE(designer.design().layout, Design::Layout::Fixed); // the flow label laid out on the label
        const std::size_t via = elementWith(designer.design(), "via {QSL_VIA}");
        QVERIFY(via < designer.design().qsl.size());
        const double viaY = designer.design().qsl[via].y;

        // Clicked on the canvas, then 10 presses of the down arrow: 5 mm.
        auto* canvas = child<QWidget>(&designer, "DesignCanvas");
        designer.select(via);
        canvas->setFocus();
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(canvas, Qt::Key_Down);
        QCOMPARE(designer.design().qsl[via].y, viaY + 5);
        QCOMPARE(designer.undoStack().count(), 10);

        // The table gets a FREQ column; undone, it is gone, and done again it is back.
        const std::size_t table = tableOf(designer.design());
        QVERIFY(table < designer.design().qsl.size());
        const std::size_t columns = designer.design().qsl[table].columns.size();
        designer.select(table);
        QTest::mouseClick(child<QPushButton>(&designer, "ButtonAddColumn"), Qt::LeftButton);
        QCOMPARE(designer.design().qsl[table].columns.size(), columns + 1);
        QCOMPARE(designer.design().qsl[table].columns.back().field, std::string("FREQ"));
        QTest::mouseClick(child<QPushButton>(&designer, "ButtonUndo"), Qt::LeftButton);
        QCOMPARE(designer.design().qsl[table].columns.size(), columns);
        QTest::mouseClick(child<QPushButton>(&designer, "ButtonRedo"), Qt::LeftButton);
        QCOMPARE(designer.design().qsl[table].columns.size(), columns + 1);
        // Its heading typed in the pane.
        auto* cells = child<QTableWidget>(&designer, "TableColumns");
        cells->item(static_cast<int>(columns), 1)->setText(u"QRG"_s);
        QCOMPARE(designer.design().qsl[table].columns.back().heading, std::string("QRG"));

        // Saved as a file of its own: read back equal.
        const auto file = *dir / "my label.json";
        interaction.files = {file};
        QTest::mouseClick(child<QPushButton>(&designer, "ButtonSave"), Qt::LeftButton);
        QVERIFY(std::filesystem::exists(file));
        QCOMPARE(designer.file(), file);
        QCOMPARE(designer.choice(), files::utf8Of(file));
        QVERIFY(!designer.changed());
        const Design saved = loadDesign(file.string());
        Design shown = designer.design();
        shown.source = saved.source;
        shown.folder = saved.folder;
        QVERIFY(saved == shown);

        // Drawn: the via line 5 mm lower than the built-in label puts it, and the frequencies in the table.
        const LabelStock stock = customStock(parseCustomGrid("A4,2,7,99.1,38.1,4.65,15.15,101.6,38.1"));
        const SheetRenderer renderer(stock, "SP3KXQ", 1, Calibration{}, 2, false, &saved);
        QVERIFY(writeLabelsPdf(renderer, OneLabel(), *dir / "labels.pdf"));
        if (test::withoutPoppler())
            QSKIP("poppler-utils is not installed: the PDF is not read back");
        double viaTop = -1;
        bool freq = false, heading = false;
        for (const test::Word& w : test::wordsOf(*dir / "labels.pdf")) {
            if (w.text == "via")
                viaTop = w.y0;
            freq = freq || w.text == "14.205";
            heading = heading || w.text == "QRG";
        }
        QVERIFY(freq && heading);
        const LabelRect first = stock.places().front();
        const double expected = first.y + (viaY + 5) * kPointsPerMm;
        QVERIFY2(viaTop >= expected - 0.5 * kPointsPerMm && viaTop <= expected + 3 * kPointsPerMm,
                 qPrintable(QString::number(viaTop) + u" against "_s + QString::number(expected)));
    }

    void theMouseMovesAndSnapsAndEscapeAsksBeforeChangesAreLost()
    {
        TFDesigner designer("card", target(), Language::English, nullptr);
        designer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&designer));
        auto* canvas = child<QWidget>(&designer, "DesignCanvas");
        const std::size_t to = elementWith(designer.design(), "To Radio {CALL}");
        const DesignElement before = designer.design().qsl[to];
        // Where the canvas shows the element's middle: the label is centred in it at a scale of its own.
        const double pxPerMm = std::min((canvas->width() - 20) / 140.0, (canvas->height() - 20) / 90.0);
        const QPointF origin((canvas->width() - 140 * pxPerMm) / 2, (canvas->height() - 90 * pxPerMm) / 2);
        const QPoint from = (origin + QPointF(before.x + 10, before.y + before.height / 2) * pxPerMm).toPoint();
        const QPoint to3mm = from + QPoint(0, static_cast<int>(std::round(3.1 * pxPerMm)));
        QTest::mousePress(canvas, Qt::LeftButton, {}, from);
        QCOMPARE(designer.selected(), std::optional<std::size_t>(to));
        QMouseEvent move(QEvent::MouseMove, to3mm, canvas->mapToGlobal(to3mm), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, to3mm);
        const DesignElement after = designer.design().qsl[to];
        QCOMPARE(after.x, before.x);
        QVERIFY2(std::abs(after.y - (before.y + 3)) <= 0.5, qPrintable(QString::number(after.y)));
        QCOMPARE(std::fmod(after.y * 2, 1.0), 0.0); // on the half-millimetre grid, or on another element's edge
        QCOMPARE(designer.undoStack().count(), 1);

        // Escape with a change asks; Cancel stays, No closes without a file.
        interaction.answers = {UserInteraction::Answer::Cancel};
        QTest::keyClick(&designer, Qt::Key_Escape);
        QVERIFY(designer.isVisible());
        QCOMPARE(interaction.questions.size(), std::size_t(1));
        interaction.answers = {UserInteraction::Answer::No};
        QTest::keyClick(&designer, Qt::Key_Escape);
        QVERIFY(!designer.isVisible());
        QVERIFY(designer.file().empty());
        QCOMPARE(designer.choice(), std::string("card"));
    }
};

QTEST_MAIN(DesignerTest)
#include "DesignerTest.moc"
