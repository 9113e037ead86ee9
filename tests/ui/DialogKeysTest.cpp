// Enter and Escape in every dialog of the program, pressed where the focus is as the dialog opens: Escape
// leaves everything as it was, Enter takes what the dialog shows, and neither ever makes a file.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <map>

#include "FakeInteraction.h"
#include "Widgets.h"
#include "support/TempDir.h"
#include "ui/DesktopProgram.h"

using namespace Qt::StringLiterals;
using namespace cardmill;
using test::child;

namespace {

// Every file under `folder` with its size, but the settings file (a dialog's OK may store settings there).
std::map<std::filesystem::path, std::uintmax_t> filesUnder(const std::filesystem::path& folder)
{
    std::map<std::filesystem::path, std::uintmax_t> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().filename() != "cardmill.ini")
            files[entry.path()] = entry.file_size();
    return files;
}

} // namespace

class DialogKeysTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    test::FakeInteraction interaction;

private slots:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        std::filesystem::create_directories(*dir / "program");
        interaction = {};
        setUserInteraction(&interaction);
    }
    void cleanup()
    {
        setUserInteraction(nullptr);
        dir.reset();
    }

    void enterAndEscapeInEveryDialogMakeNoFile_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }

    void enterAndEscapeInEveryDialogMakeNoFile()
    {
        QFETCH(int, key);
        const std::filesystem::path examples = std::filesystem::path(CARDMILL_SOURCE_DIR) / "examples";
        for (const char* f : {"sp3kxq.adi", "card_1.docx"})
            std::filesystem::copy_file(examples / f, *dir / f);
        const auto ini = *dir / "program" / "cardmill.ini";
        std::ofstream(ini, std::ios::binary)
            << "[Example]\r\nSource file=" << (*dir / "sp3kxq.adi").string()
            << "\r\nMain doc=" << (*dir / "card_1.docx").string()
            << "\r\nQSOs on label=3\r\n[Profile]\r\nLast profile=0\r\n[Program]\r\nOwn call=SP3KXQ\r\n";
        DesktopProgram program(ini, *dir / "program");
        TForm1& form = program.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.startupLoad();

        QStringList pressed;
        interaction.onDialog = [&](QDialog& d) {
            if (qobject_cast<QPrintDialog*>(&d))
                return int(QDialog::Rejected); // Qt's own: its Enter prints, as it should
            d.show();
            d.activateWindow();
            for (int i = 0; i < 200 && QApplication::activeWindow() != &d; ++i)
                QTest::qWait(10);
            if (QApplication::activeWindow() != &d) {
                pressed << u"(not active) "_s + d.objectName();
                return int(QDialog::Rejected);
            }
            QWidget* at = d.focusWidget(); // where the dialog's keys go
            QTest::keyClick(at ? at : &d, Qt::Key(key));
            pressed << d.objectName();
            const int result = d.result();
            d.hide();
            return result;
        };
        const auto before = filesUnder(dir->path());
        form.Button8Click();     // profile setup
        form.Button2Click();     // configuration
        form.ButtonNewClick();   // the stock dialog, for main documents
        form.ButtonSheetClick(); // the stock dialog, for a sheet to draw on
        form.editDesign();       // the designer: Enter never closes it, Escape without changes does
        form.editRoutes();       // the route choices: Enter keeps them, never prints a sheet again
        QCOMPARE(pressed, (QStringList{u"FSetup"_s, u"FADIF1"_s, u"TFStock"_s, u"TFStock"_s, u"FDesigner"_s,
                                       u"RoutesDialog"_s}));
        QVERIFY2(filesUnder(dir->path()) == before, qPrintable(pressed.join(u", "_s)));
        if (key == Qt::Key_Escape) {
            QCOMPARE(form.mainDocumentPath(), *dir / "card_1.docx");
            QVERIFY(form.labelSheet().empty());
        }

        // The preview of a run's labels: the run makes its files, the keys in the preview none.
        // A sheet searched for and taken with Enter.
        interaction.onDialog = [&](QDialog& d) {
            d.show();
            d.activateWindow();
            for (int i = 0; i < 200 && QApplication::activeWindow() != &d; ++i)
                QTest::qWait(10);
            QWidget* at = d.focusWidget() ? d.focusWidget() : &d;
            QTest::keyClicks(at, u"3x7"_s);
            QTest::keyClick(d.focusWidget() ? d.focusWidget() : &d, Qt::Key_Return);
            return d.result();
        };
        form.ButtonSheetClick();
        QVERIFY(!form.labelSheet().empty());
        form.Button1Click();
        QTRY_VERIFY_WITH_TIMEOUT(!form.running(), 60000);
        QWidget* preview = form.preview();
        QVERIFY(preview);
        QVERIFY(QTest::qWaitForWindowActive(preview));
        interaction.onDialog = [&](QDialog& d) {
            pressed << d.objectName();
            return int(QDialog::Rejected);
        };
        const auto made = filesUnder(dir->path());
        QWidget* at = preview->focusWidget();
        QTest::keyClick(at ? at : preview, Qt::Key(key));
        QVERIFY(filesUnder(dir->path()) == made);
        QVERIFY(interaction.proposals.empty()); // no save dialog either
    }
};

QTEST_MAIN(DialogKeysTest)
#include "DialogKeysTest.moc"
