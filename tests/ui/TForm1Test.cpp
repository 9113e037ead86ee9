// The main window and the configuration dialog, driven as a user would, with every dialog answered through
// the interaction seam.
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <chrono>
#include <fstream>
#include <thread>

#include "FakeInteraction.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"
#include "ui/TFADIF1.h"
#include "ui/TForm1.h"

using namespace cardmill;

class TForm1Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TFADIF1> config;
    test::FakeInteraction interaction;

    std::filesystem::path settings() const { return *dir / "program" / "cardmill.ini"; }

    void make()
    {
        config.reset();
        form.reset();
        form = std::make_unique<TForm1>(TForm1::Places{settings(), *dir / "program"});
        config = std::make_unique<TFADIF1>(settings(), form.get());
        form->setConfiguration(*config);
    }

    // Copies the example into the folder and points the window at it.
    void useExample()
    {
        const std::filesystem::path examples = std::filesystem::path(CARDMILL_SOURCE_DIR) / "examples";
        for (const char* f : {"sp3kxq.adi", "sp3kxq-swl.adi", "card_1.docx", "card_2.docx", "card_3.docx",
                              "card_swl.docx"})
            std::filesystem::copy_file(examples / f, *dir / "logs" / f, std::filesystem::copy_options::overwrite_existing);
        form->setPath(form->Edit1, *dir / "logs" / "sp3kxq.adi");
        form->setPath(form->Edit7, *dir / "logs" / "sp3kxq-swl.adi");
        form->setPath(form->Edit2, *dir / "logs" / "card_1.docx");
    }

private slots:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        std::filesystem::create_directories(*dir / "program");
        std::filesystem::create_directories(*dir / "logs");
        interaction = {};
        setUserInteraction(&interaction);
        make();
    }

    void cleanup()
    {
        config.reset();
        form.reset();
        setUserInteraction(nullptr);
        dir.reset();
    }

    void startsNarrowWithItsInitialState()
    {
        QCOMPARE(form->windowTitle(), QString("CARDMILL"));
        QCOMPARE(form->width(), TForm1::kNarrowWidth);
        QVERIFY(!form->Button6->isEnabled());
        QVERIFY(form->ProgressBar1->isHidden());
        QVERIFY(form->statusText->text().startsWith("Version 0.1.0.0"));
        QVERIFY(!form->CheckBox9->isEnabled());
        QVERIFY(!form->DateTimePicker1->isEnabled());
        QCOMPARE(form->DateTimePicker1->date(), QDate::currentDate());
        QCOMPARE(form->Label2->text(), QString("Mailing list Main document"));
        QCOMPARE(form->Button2->text(), QString("Config"));
        QCOMPARE(form->findChild<QCheckBox*>("CheckBox17")->text(), QString("Blank"));
    }

    void aWholeRunOnTheExample()
    {
        useExample();
        form->Edit3->setText("3");
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(interaction.messages.size(), std::size_t(1));
        QCOMPARE(interaction.messages[0].caption, std::string("Information"));
        QVERIFY(interaction.messages[0].text.find("sp3kxq_bad.txt") != std::string::npos);
        // The merged labels are opened with the desktop's application.
        QCOMPARE(interaction.opened.size(), std::size_t(4));
        QVERIFY(std::filesystem::exists(*dir / "logs" / "sp3kxq_labels_3.docx"));
        QVERIFY(std::filesystem::exists(*dir / "logs" / "sp3kxq_3.txt"));
        QVERIFY(!form->Button6->isEnabled());
        QVERIFY(form->ProgressBar1->isHidden());
        QCOMPARE(form->statusText->text(), QString());
        QVERIFY(form->Button1->isEnabled());
    }

    void preconditionMessages()
    {
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(interaction.messages.back().text, std::string("No source file set!"));
        QCOMPARE(interaction.messages.back().icon, UserInteraction::Icon::Error);
    }

    void stopDuringARunAndCommandsDisabledMeanwhile()
    {
        // A log long enough for the window to get its events in.
        {
            std::ofstream log(*dir / "logs" / "long.adi", std::ios::binary);
            log << "<EOH>\n";
            for (int i = 0; i < 60000; ++i)
                log << "<CALL:6>SP" << i % 10 << "ABC<QSO_DATE:8>20060923<TIME_ON:4>1200<BAND:3>20M<MODE:2>CW<EOR>\n";
        }
        form->setPath(form->Edit1, *dir / "logs" / "long.adi");
        form->setPath(form->Edit2, *dir / "logs" / "missing_1.docx");
        std::filesystem::copy_file(std::filesystem::path(CARDMILL_SOURCE_DIR) / "examples" / "card_1.docx",
                                   *dir / "logs" / "missing_1.docx");
        bool sawDisabled = false;
        QTimer::singleShot(0, form.get(), [&] {
            sawDisabled = !form->Button1->isEnabled() && !form->Button3->isEnabled() && !form->Button4->isEnabled() &&
                          form->Button6->isEnabled();
            QTest::mouseClick(form->Button6, Qt::LeftButton);
            QVERIFY(!form->Button6->isEnabled()); // disabled at once
        });
        // The window lets events in every few milliseconds: past that, its first chance is the first record.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QVERIFY(sawDisabled);
        QCOMPARE(interaction.messages.size(), std::size_t(1));
        QCOMPARE(interaction.messages[0].text, std::string("Process stopped ! "));
        QCOMPARE(interaction.messages[0].caption, std::string("Information"));
        QCOMPARE(interaction.messages[0].icon, UserInteraction::Icon::Error);
        QVERIFY(form->Button1->isEnabled());
        QVERIFY(!std::filesystem::exists(*dir / "logs" / "long_1.txt"));
    }

    void filterArea()
    {
        form->CheckBox6->setChecked(true);
        form->CheckBox9->setChecked(true);
        form->CheckBox6->setChecked(false);
        QVERIFY(!form->CheckBox9->isEnabled());
        QVERIFY(form->CheckBox9->isChecked()); // the tick stays
        form->CheckBox6->setChecked(true);
        QVERIFY(form->CheckBox9->isEnabled() && form->CheckBox9->isChecked());
        form->CheckBox3->setChecked(true);
        QVERIFY(form->DateTimePicker2->isEnabled() && form->Label7->isEnabled());

        form->CheckBox6->setChecked(false);
        form->CheckBox3->setChecked(false);
        form->SpeedButton1Click();
        QCOMPARE(form->width(), TForm1::kWideWidth);
        form->SpeedButton1Click();
        QCOMPARE(form->width(), TForm1::kNarrowWidth);
        QVERIFY(!form->SpeedButton1->isChecked());
        QVERIFY(!form->SpeedButton1->font().bold());
        // With a filter on, closing the area leaves the button down, red and bold.
        form->SpeedButton1Click();
        form->CheckBox20->setChecked(true);
        form->SpeedButton1Click();
        QVERIFY(form->SpeedButton1->isChecked());
        QVERIFY(form->SpeedButton1->font().bold());
        QVERIFY(form->SpeedButton1->styleSheet().contains("red"));
        // The call box takes capitals only.
        QTest::keyClicks(form->Edit4, "sp1abc");
        QCOMPARE(form->Edit4->text(), QString("SP1ABC"));
        QCOMPARE(form->callFilterText(), std::string("SP1ABC"));
    }

    void qsosNumberKeyFilterAndLeaveCheck()
    {
        form->show();
        form->Edit3->clear();
        form->Edit3->setFocus();
        QTest::keyClicks(form->Edit3, "1a 2");
        QCOMPARE(form->Edit3->text(), QString("12"));
        form->Edit3Exit();
        QCOMPARE(form->Edit3->text(), QString("10"));
        for (const char* bad : {"-3", "0", "7.5", "", "99999999999999999999"}) {
            form->Edit3->setText(bad);
            form->Edit3Exit();
            QCOMPARE(form->Edit3->text(), QString("1"));
        }
        form->Edit3->setText("7");
        form->Edit3Exit();
        QCOMPARE(form->labelSize(), 7);
        // A 10,000-character paste does not break it either.
        form->Edit3->setText(QString(10000, '9'));
        form->Edit3Exit();
        QCOMPARE(form->Edit3->text(), QString("1"));
    }

    void browseKeepsTheFullPathAndCancelChangesNothing()
    {
        const std::string longPath = "/home/ham/radio/logs/archive/2004/contests/field day/station_log.adi";
        interaction.files.push_back(std::filesystem::path(longPath));
        form->Button4Click();
        QCOMPARE(form->Edit1->toolTip().toStdString(), longPath);
        QVERIFY(form->Edit1->text().size() <= 50);
        QVERIFY(form->Edit1->text().contains("..."));
        QCOMPARE(interaction.fileFilters.back(), std::string("ADIF Files (*.ADI)|*.ADI|All files|*.*"));
        interaction.files.push_back(std::nullopt);
        form->Button4Click();
        QCOMPARE(form->Edit1->toolTip().toStdString(), longPath);
        form->Button5Click();
        QVERIFY(interaction.fileFilters.back().find("*_1.docx") != std::string::npos);
    }

    void archiving()
    {
        const auto swl = *dir / "logs" / "swl.adi";
        std::ofstream(swl) << "x";
        form->setPath(form->Edit7, swl);
        form->Button9Click();
        QVERIFY(!std::filesystem::exists(swl));
        QVERIFY(interaction.messages.empty());
        // A second archive in the same minute finds its name taken: the error names both paths.
        std::ofstream(swl) << "y";
        form->Button9Click();
        if (std::filesystem::exists(swl)) { // unless the minute turned over in between
            QCOMPARE(interaction.messages.size(), std::size_t(1));
            QVERIFY(interaction.messages[0].text.find("Unable to archive " + swl.string() + " as ") == 0);
        }
        // Nothing to archive: silent.
        interaction.messages.clear();
        form->setPath(form->Edit7, *dir / "logs" / "none.adi");
        form->Button9Click();
        QVERIFY(interaction.messages.empty());
    }

    void configurationDialogAndLanguage()
    {
        interaction.inputs = {std::string("state"), std::string("call"), std::string("Qso_Date"), std::string("STATE"),
                              std::string(""), std::nullopt};
        for (int i = 0; i < 6; ++i)
            config->Button1Click();
        QCOMPARE(config->ListBox1->count(), 2);
        QCOMPARE(config->ListBox1->item(0)->text(), QString("STATE"));
        config->ListBox1->clearSelection();
        config->Button2Click();
        QCOMPARE(interaction.beeps, 1);
        config->ListBox1->setCurrentRow(1);
        config->Button2Click();
        QCOMPARE(config->ListBox1->count(), 1);
        QCOMPARE(form->userFields(), std::vector<std::string>{"STATE"});

        // Polish chosen in the dialog: captions and messages follow at once; "Config" stays the config button.
        interaction.onDialog = [this](QDialog&) {
            config->CheckBox1->setChecked(true);
            return 0;
        };
        form->Button2Click();
        QCOMPARE(form->Label1->text(), QString::fromUtf8("Plik źródłowy"));
        QCOMPARE(form->Button2->text(), QString("Konfiguracja"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(interaction.messages.back().text, std::string("Wybierz plik źródłowy!"));
        form->Button4Click();
        QVERIFY(interaction.fileFilters.back().find("Pliki ADIF") == 0);
        // Running the language operation twice changes nothing.
        form->CheckBox1Click();
        QCOMPARE(form->Label1->text(), QString::fromUtf8("Plik źródłowy"));
    }

    void closeStoresTheSettingsOrStaysOpen()
    {
        interaction.inputs = {std::string("gridsquare")};
        config->Button1Click();
        config->CheckBox2->setChecked(true);
        form->CheckBox20->setChecked(true);
        form->show();
        QVERIFY(form->close());
        const IniFile ini(settings());
        QCOMPARE(ini.readString("ADIF_fields", "ADIF0", ""), std::string("GRIDSQUARE"));
        QVERIFY(ini.readBool("Program", "Temporary file", false));
        QVERIFY(ini.readBool("Filters", "Call", false));
        // The next start reads the list and the option back.
        make();
        QCOMPARE(config->ListBox1->count(), 1);
        QVERIFY(config->CheckBox2->isChecked());

        // A settings file that cannot be written keeps the window open and says so.
        std::filesystem::remove(settings());
        std::filesystem::create_directories(settings()); // a folder in its place
        form->show();
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QVERIFY(interaction.messages.back().text.find("Unable to write to " + settings().string()) == 0);
        std::filesystem::remove(settings());
    }

    void helpOpensTheGuideOrNothing()
    {
        form->SpeedButton2Click();
        QVERIFY(interaction.opened.empty());
        QVERIFY(interaction.messages.empty());
        std::ofstream(*dir / "program" / "cardmill_en.html") << "guide";
        form->SpeedButton2Click();
        QCOMPARE(interaction.opened.size(), std::size_t(1));
        QCOMPARE(interaction.opened[0].filename().string(), std::string("cardmill_en.html"));
        std::ofstream(*dir / "program" / "cardmill_en.chm") << "chm";
        form->SpeedButton2Click();
        QCOMPARE(interaction.opened.back().filename().string(), std::string("cardmill_en.chm"));
    }
};

QTEST_MAIN(TForm1Test)
#include "TForm1Test.moc"
