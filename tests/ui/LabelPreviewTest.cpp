// Labels drawn by the program, from the desktop: a sheet chosen in the stock dialog, a run, the preview it
// opens, and printing and saving from there; the sheet's printer offset remembered.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <cstdlib>

#include "FakeInteraction.h"
#include "Widgets.h"
#include "engine/TempFiles.h"
#include "settings/IniFile.h"
#include "stock/StockCatalogue.h"
#include "support/TempDir.h"
#include "ui/BackgroundJob.h"
#include "ui/DesktopProgram.h"
#include "ui/LabelPreview.h"
#include "ui/TFStock.h"

using namespace Qt::StringLiterals;
using namespace cardmill;
using test::child;

class LabelPreviewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<DesktopProgram> program;
    test::FakeInteraction interaction;

    std::filesystem::path logs() const { return *dir / "logs"; }

private slots:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        std::filesystem::create_directories(*dir / "program");
        std::filesystem::create_directories(logs());
        interaction = {};
        setUserInteraction(&interaction);
        program = std::make_unique<DesktopProgram>(*dir / "program" / "cardmill.ini", *dir / "program");
        const std::filesystem::path examples = std::filesystem::path(CARDMILL_SOURCE_DIR) / "examples";
        for (const char* f : {"sp3kxq.adi", "sp3kxq-swl.adi"})
            std::filesystem::copy_file(examples / f, logs() / f);
    }

    void cleanup()
    {
        program.reset();
        setUserInteraction(nullptr);
        dir.reset();
    }

    void aSheetChosenThenARunOpensThePreviewWherePrintingAndSavingAre()
    {
        TForm1& form = program->form;
        form.setLogPath(logs() / "sp3kxq.adi");
        form.setSwlPath(logs() / "sp3kxq-swl.adi");
        child<QLineEdit>(&form, "Edit3")->setText(u"3"_s);

        // "Choose...": the custom grid the dialog offers (3 x 7 on A4), "Print on this sheet".
        interaction.onDialog = [](QDialog& d) {
            auto& stock = dynamic_cast<TFStock&>(d);
            child<QListWidget>(&stock, "StockList")->setCurrentRow(0);
            child<QLineEdit>(&stock, "OwnCall")->setText(u"sp3kxq"_s);
            QTest::mouseClick(child<QPushButton>(&stock, "UseSheet"), Qt::LeftButton);
            return d.result();
        };
        QTest::mouseClick(child<QPushButton>(&form, "ButtonSheet"), Qt::LeftButton);
        const std::string grid = form.labelSheet();
        QVERIFY(grid.starts_with("A4,3,7,"));
        QCOMPARE(child<QLineEdit>(&form, "EditSheet")->text().toStdString(), grid);
        QVERIFY(!child<QLineEdit>(&form, "Edit2")->isEnabled()); // the main document is not used

        QTest::mouseClick(child<QPushButton>(&form, "Button1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form.running(), 60000);
        QVERIFY(std::filesystem::exists(logs() / "sp3kxq_labels.pdf"));
        QVERIFY(std::filesystem::exists(logs() / "sp3kxq_3.txt"));
        auto* preview = qobject_cast<LabelPreview*>(form.preview());
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        const std::size_t pages = preview->pages();
        QVERIFY(pages > 1);
        QCOMPARE(child<QLabel>(preview, "PreviewSheets")->text(), u"Sheet 1 of %1"_s.arg(pages));
        child<QSpinBox>(preview, "PreviewSheet")->setValue(2);
        QCOMPARE(preview->page(), 1u);
        // The sheet is drawn: something dark on the white paper.
        const QImage shown = child<QWidget>(preview, "PreviewPage")->grab().toImage();
        int dark = 0;
        for (int y = 0; y < shown.height(); y += 2)
            for (int x = 0; x < shown.width(); x += 2)
                dark += qGray(shown.pixel(x, y)) < 100;
        QVERIFY(dark > 100);

        // The offset is remembered for this sheet and applies to what is printed and saved.
        child<QDoubleSpinBox>(preview, "OffsetRight")->setValue(1.5);
        child<QDoubleSpinBox>(preview, "OffsetDown")->setValue(-0.5);
        QCOMPARE(child<QDoubleSpinBox>(preview, "PrintScale")->value(), 100.0); // full size until changed
        child<QDoubleSpinBox>(preview, "PrintScale")->setValue(99.5);
        QCOMPARE(IniFile(*dir / "program" / "cardmill.ini").readString("Program", "Calibration " + grid, ""),
                 std::string("1.5,-0.5,99.5"));
        QCOMPARE(form.request().sheet.calibration.offsetX, 1.5);

        // "Save PDF..." proposes the run's PDF; "Print..." prints every sheet on the printer the dialog chose.
        const std::filesystem::path saved = *dir / "copy.pdf";
        interaction.files.push_back(saved);
        const std::size_t said = interaction.messages.size();
        QTest::mouseClick(child<QPushButton>(preview, "PreviewSavePdf"), Qt::LeftButton);
        QCOMPARE(interaction.proposals.back(), logs() / "sp3kxq_labels.pdf");
        // Drawn off the window's thread: the window answers meanwhile, and says when the PDF is there.
        QTRY_COMPARE(interaction.messages.size(), said + 1);
        QVERIFY(std::filesystem::file_size(saved) > 1000);
        // The print dialog's "Print to file".
        const auto printTo = [&](const std::filesystem::path& file) {
            interaction.onDialog = [file](QDialog& d) {
                auto& dialog = dynamic_cast<QPrintDialog&>(d);
                dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
                dialog.printer()->setOutputFileName(QString::fromStdString(file.string()));
                return int(QDialog::Accepted);
            };
        };
        const std::filesystem::path printed = *dir / "printed.pdf";
        printTo(printed);
        QTest::mouseClick(child<QPushButton>(preview, "PreviewPrint"), Qt::LeftButton);
        QTRY_COMPARE(interaction.messages.size(), said + 2);
        QVERIFY(std::filesystem::file_size(printed) > 1000);
        // Cancelled while the sheets are drawn: no file, and said so.
        const std::filesystem::path cancelled = *dir / "cancelled.pdf";
        printTo(cancelled);
        QTest::mouseClick(child<QPushButton>(preview, "PreviewPrint"), Qt::LeftButton);
        auto* job = preview->findChild<BackgroundJob*>();
        QVERIFY(job);
        job->cancel();
        QTRY_COMPARE(interaction.messages.size(), said + 3);
        QVERIFY(interaction.messages.back().text.find("cancelled") != std::string::npos);
        QVERIFY(!std::filesystem::exists(cancelled));
        // Printed to a file, the labels are saved there.
        QVERIFY(interaction.messages[said + 1].text.find(printed.string()) != std::string::npos);
#ifndef _WIN32
        if (std::system("pdfinfo -v >/dev/null 2>&1") == 0) {
            for (const auto& pdf : {saved, printed}) {
                const std::string command =
                    "pdfinfo '" + pdf.string() + "' | grep -q '^Pages: *" + std::to_string(pages) + "$'";
                QVERIFY2(std::system(command.c_str()) == 0, pdf.c_str());
            }
        }
#endif

        // Cleared, the window goes back to its main document.
        form.setLabelSheet({});
        QVERIFY(child<QLineEdit>(&form, "Edit2")->isEnabled());
        QVERIFY(!form.request().sheet.chosen());
    }

    void aPreviewBeforeTheRunWritesNothingBesideTheLog()
    {
        TForm1& form = program->form;
        form.setLogPath(logs() / "sp3kxq.adi");
        QTest::mouseClick(child<QPushButton>(&form, "ButtonPreview"), Qt::LeftButton);
        QCOMPARE(interaction.messages.back().text,
                 std::string("The preview shows labels drawn on a label sheet: choose one first (\"Label sheet\")."));
        form.setLabelSheet("A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1");
        QTest::mouseClick(child<QPushButton>(&form, "ButtonPreview"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form.running(), 60000);
        auto* preview = qobject_cast<LabelPreview*>(form.preview());
        QVERIFY(preview);
        QCOMPARE(preview->pages(), std::size_t(16)); // 334 labels, 21 a sheet
        // Nothing beside the log, nothing left in the scratch folders.
        std::vector<std::string> there;
        for (const auto& e : std::filesystem::directory_iterator(logs()))
            there.push_back(e.path().filename().string());
        std::sort(there.begin(), there.end());
        QCOMPARE(there, (std::vector<std::string>{"sp3kxq-swl.adi", "sp3kxq.adi"}));
        for (const auto& e : std::filesystem::directory_iterator(temporaryRoot()))
            QVERIFY2(e.path().filename().string().find("-preview-") == std::string::npos, e.path().string().c_str());
        // Saved from the preview, the PDF goes beside the log.
        interaction.files.push_back(logs() / "sp3kxq_labels.pdf");
        QTest::mouseClick(child<QPushButton>(preview, "PreviewSavePdf"), Qt::LeftButton);
        QCOMPARE(interaction.proposals.back(), logs() / "sp3kxq_labels.pdf");
        QTRY_VERIFY(std::filesystem::exists(logs() / "sp3kxq_labels.pdf"));
    }

    // A newcomer, counted as one: from the first start with no settings to the print dialog with the labels of
    // their log on their stock, and on a later start.
    // A first label past the sheet's last is said, never moved to the last one; nothing is drawn or written.
    void aFirstLabelPastTheSheetIsSaid()
    {
        TForm1& form = program->form;
        form.setLogPath(logs() / "sp3kxq.adi");
        form.setLabelSheet("A4,2,7,99.1,38.1,4.6,15.15,101.6,38.1"); // 14 labels
        child<QLineEdit>(&form, "EditOwnCall")->setText(u"SP3KXQ"_s);
        child<QSpinBox>(&form, "SpinEdit1")->setValue(99);
        QTest::mouseClick(child<QPushButton>(&form, "Button1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form.running(), 60000);
        QCOMPARE(child<QSpinBox>(&form, "SpinEdit1")->value(), 99);
        QVERIFY(!interaction.messages.empty());
        const std::string& said = interaction.messages.back().text;
        QVERIFY2(said.find("no label 99") != std::string::npos && said.find("1 to 14") != std::string::npos,
                 said.c_str());
        QVERIFY(!form.preview());
        QVERIFY(!std::filesystem::exists(logs() / "sp3kxq_labels.pdf"));
    }

    // A newcomer's first start, counted as the newcomer acts: the log dropped on the window or chosen with
    // Browse (the button and the file in its dialog), then typing where the cursor is and going on with Tab
    // (a box typed and left is one action), Enter in the last box, Print in the preview.
    void aNewcomerWalk(bool browse)
    {
        program.reset();
        std::filesystem::remove(*dir / "program" / "cardmill.ini");
        program = std::make_unique<DesktopProgram>(*dir / "program" / "cardmill.ini", *dir / "program");
        TForm1* form = &program->form;
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTRY_VERIFY(child<QLabel>(form, "FirstStartHint")->isVisible());
        QVERIFY(interaction.messages.empty());
        StockCatalogue stocks;
        stocks.loadInstalled();
        if (!stocks.find("Avery L7163"))
            QSKIP("the stock database (glabels-data) is not installed");
        // The hint names every choice the walk needs.
        const QString hint = child<QLabel>(form, "FirstStartHint")->text();
        for (const auto& word : {u"log"_s, u"Browse"_s, u"L7163"_s, u"call"_s, u"QSOs"_s, u"Start"_s})
            QVERIFY2(hint.contains(word), qPrintable(word));
        int actions = 0;
        bool printDialog = false;
        interaction.onDialog = [&](QDialog& d) {
            printDialog = dynamic_cast<QPrintDialog*>(&d) != nullptr;
            return int(QDialog::Rejected);
        };

        const std::filesystem::path log = logs() / "sp3kxq.adi";
        if (browse) {
            interaction.files = {log};
            QTest::mouseClick(child<QPushButton>(form, "Button4"), Qt::LeftButton);
            actions += 2;
            QCOMPARE(interaction.fileFolders.back(), std::filesystem::path(QDir::homePath().toStdString()));
        } else {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(QString::fromStdString(log.string()))});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(form, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(form, &drop);
            ++actions;
        }
        QCOMPARE(form->logPath(), log);
        const auto typeAndGoOn = [&](const QString& text, Qt::Key key) {
            QWidget* at = QApplication::focusWidget();
            QVERIFY(at);
            QTest::keyClicks(at, text);
            // The key goes where a keyboard's would: to the completions when they show.
            QWidget* popup = QApplication::activePopupWidget();
            QTest::keyClick(popup ? popup : QApplication::focusWidget(), key);
            ++actions;
        };
        // The sheet as the packet says it, the own call, the QSOs per label, and Enter.
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(form, "EditSheet"));
        typeAndGoOn(u"L7163"_s, Qt::Key_Tab);
        QCOMPARE(form->labelSheet(), std::string("Avery L7163"));
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(form, "EditOwnCall"));
        typeAndGoOn(u"sp3kxq"_s, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(form, "Edit3"));
        typeAndGoOn(u"3"_s, Qt::Key_Return);
        QCOMPARE(form->request().labelSize.value(), 3);
        QVERIFY(interaction.questions.empty()); // the call was given: nothing to ask
        QTRY_VERIFY_WITH_TIMEOUT(!form->running(), 60000);
        QVERIFY(form->preview());
        QVERIFY(interaction.messages.empty()); // what was made is said in the preview, not in a box to close
        QVERIFY(child<QLabel>(form->preview(), "PreviewSummary")->text().contains(u"sp3kxq_labels.pdf"_s));
        QTest::mouseClick(child<QPushButton>(form->preview(), "PreviewPrint"), Qt::LeftButton);
        ++actions;
        QVERIFY(printDialog);
        QVERIFY2(actions <= 6, qPrintable(QString::number(actions)));

        // Exit keeps what was set up, as a profile under the name the window proposes (Enter: one action).
        interaction.inputs = {std::optional<std::string>("My labels")};
        form->close();
        QCOMPARE(interaction.lastInitial, std::string("My labels"));

        // A later start: Start, Print, and the print dialog's OK.
        program = std::make_unique<DesktopProgram>(*dir / "program" / "cardmill.ini", *dir / "program");
        form = &program->form;
        form->show();
        QTRY_COMPARE(child<QComboBox>(form, "ComboBox2")->currentText(), u"My labels"_s);
        QVERIFY(!child<QLabel>(form, "FirstStartHint")->isVisible());
        QCOMPARE(form->request().ownCall, std::string("SP3KXQ"));
        QCOMPARE(form->request().labelSize.value(), 3);
        QCOMPARE(form->labelSheet(), std::string("Avery L7163"));
        printDialog = false;
        QTest::mouseClick(child<QPushButton>(form, "Button1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form->running(), 60000);
        QVERIFY(form->preview());
        QTest::mouseClick(child<QPushButton>(form->preview(), "PreviewPrint"), Qt::LeftButton);
        QVERIFY(printDialog);
    }

    void aNewcomerReachesThePrintDialogInSixActionsDroppingTheLog()
    {
        aNewcomerWalk(false);
    }
    void aNewcomerReachesThePrintDialogInSixActionsBrowsingForTheLog()
    {
        aNewcomerWalk(true);
    }
};

QTEST_MAIN(LabelPreviewTest)
#include "LabelPreviewTest.moc"
