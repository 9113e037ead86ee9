// The real dialogs of the interaction seam: message boxes open in the middle of their window, and an input box
// takes a completion from its list with one Enter.
#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "ui/QtInteraction.h"

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
};

QTEST_MAIN(QtInteractionTest)
#include "QtInteractionTest.moc"
