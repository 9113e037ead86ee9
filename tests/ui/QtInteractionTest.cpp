// The real dialogs of the interaction seam: message boxes open in the middle of their window, an input box
// takes a completion from its list with one Enter, and the file dialogs' filters show the files they name.
#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "support/TempDir.h"
#include "texts/Texts.h"
#include "ui/QtInteraction.h"
#include "ui/Widgets.h"

using namespace Qt::StringLiterals;
using namespace cardmill;

class QtInteractionTest : public QObject {
    Q_OBJECT

private slots:
    void aMessageOpensInTheMiddleOfItsWindow()
    {
        QWidget window;
        window.setGeometry(400, 300, 600, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QPoint centre;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            centre = box->frameGeometry().center();
            box->accept();
        });
        QtInteraction().message(&window, "Information", "Labels are ready.", UserInteraction::Icon::Information);
        QVERIFY((centre - window.frameGeometry().center()).manhattanLength() <= 4);
    }

    void oneEnterTakesACompletion()
    {
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* edit = dialog->findChild<QLineEdit*>();
            QTest::keyClicks(edit, u"gridsq"_s);
            QAbstractItemView* list = edit->completer()->popup();
            QTRY_VERIFY(list->isVisible());
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return); // the one Enter
        });
        const std::optional<std::string> answer =
            QtInteraction().inputText(nullptr, "Add", "Field", {"GRIDSQUARE", "GRIDSQUARE_EXT", "CALL"}, {});
        QCOMPARE(answer.value_or("<cancelled>"), std::string("GRIDSQUARE"));
    }

    // The logs' filter, as the file dialog of this system shows a folder: the logs in any letter case, and
    // nothing else until "All files" is chosen.
    void theFilterShowsTheLogsInAnyLetterCase()
    {
        const test::TempDir dir;
        for (const char* name : {"a.adi", "B.ADI", "c.Adif", "notes.txt", "d.adi.bak"})
            dir.write(name, "x");
        const std::string filter = textFor(WindowText::FilterAdif, Language::English);
        const QString qt = qtFileFilter(filter);
#ifdef _WIN32
        QCOMPARE(qt.section(u";;"_s, 0, 0), u"ADIF Files (*.adi, *.adif) (*.adi *.adif)"_s); // as Windows takes it
#endif
        QFileDialog dialog(nullptr, QString(), pathText(dir.path()), qt);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* view = dialog.findChild<QListView*>(u"listView"_s);
        QVERIFY(view);
        QStringList shown;
        QTRY_VERIFY((shown = namesIn(view)).size() >= 3);
        shown.sort(Qt::CaseInsensitive);
        QCOMPARE(shown, (QStringList{u"a.adi"_s, u"B.ADI"_s, u"c.Adif"_s}));

        // A name typed without a suffix gets the filter's own; one with a suffix keeps it.
        const std::string pdf = textFor(WindowText::FilterPdf, Language::English);
        QCOMPARE(withFilterSuffix(dir / "mine", pdf), dir / "mine.pdf");
        QCOMPARE(withFilterSuffix(dir / "mine.PDF", pdf), dir / "mine.PDF");
        QCOMPARE(withFilterSuffix(dir / "mine", filter), dir / "mine.adi");
    }

private:
    static QStringList namesIn(QListView* view)
    {
        QStringList names;
        const QModelIndex root = view->rootIndex();
        for (int i = 0; i < view->model()->rowCount(root); ++i)
            names << view->model()->index(i, 0, root).data().toString();
        return names;
    }
};

QTEST_MAIN(QtInteractionTest)
#include "QtInteractionTest.moc"
