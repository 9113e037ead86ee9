// Profiles: the start-up load, the profile load and the profile setup dialog, with the dialog seam.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include <fstream>
#include <functional>

#include "FakeInteraction.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"
#include "ui/TFADIF1.h"
#include "ui/TFSetup.h"
#include "ui/TForm1.h"

using namespace cardmill;
using Answer = UserInteraction::Answer;

class TFSetupTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TFSetup> setup;
    std::unique_ptr<TFADIF1> config;
    test::FakeInteraction interaction;

    std::filesystem::path settings() const { return *dir / "cardmill.ini"; }
    std::string file() const { return test::readFile(settings()); }

    // Starts the program's windows, as far as the first activation's start-up load.
    void start(const std::string& commandLineProfile = "")
    {
        config.reset();
        setup.reset();
        form.reset();
        form = std::make_unique<TForm1>(TForm1::Places{settings(), dir->path()});
        setup = std::make_unique<TFSetup>(*form);
        form->setSetupDialog(*setup);
        config = std::make_unique<TFADIF1>(settings(), form.get());
        form->setConfiguration(*config);
        form->setCommandLineProfile(commandLineProfile);
        form->show();
        QTRY_VERIFY(form->ComboBox2->count() > 0 || !interaction.messages.empty());
    }

    void writeProfiles(std::initializer_list<const char*> names)
    {
        std::string ini;
        for (const char* n : names)
            ini += std::string("[") + n + "]\r\nSource file=/logs/" + n + ".adi\r\nSource SWL file=/logs/" + n +
                   "-swl.adi\r\nMain doc=/docs/" + n + "_1.docx\r\nQRG format=Exact QRG in kHz\r\nQSOs on label=3\r\n"
                   "Date format=23-09-2006\r\nDate separator=.\r\n";
        ini += "[Filters]\r\nCall=0\r\n[Profile]\r\nLast profile=0\r\n";
        std::ofstream(settings(), std::ios::binary) << ini;
    }

    // Runs "Profiles Setup", with `inDialog` acting while the dialog is open.
    void profilesSetup(const std::function<void()>& inDialog)
    {
        interaction.onDialog = [&](QDialog& d) {
            d.show(); // shows it as the modal run would, so that its show handling runs
            inDialog();
            d.hide();
            return 0;
        };
        form->Button8Click();
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
        config.reset();
        setup.reset();
        form.reset();
        setUserInteraction(nullptr);
        dir.reset();
    }

    void firstStartCreatesAProfileAndAFirstCloseStoresTheState()
    {
        start();
        QCOMPARE(interaction.messages.size(), std::size_t(1));
        QVERIFY(interaction.messages[0].text.find("There is not valid Profile in INI file") == 0);
        QCOMPARE(interaction.messages[0].caption, std::string("Information"));
        QCOMPARE(form->dateSeparator(), std::string("-"));

        profilesSetup([&] {
            QVERIFY(setup->newProfileMode()); // at once
            setup->Edit1->setText("Home");
            setup->Button2Click(); // no source file yet
            QCOMPARE(interaction.messages.back().text, std::string("No source file set!"));
            interaction.files = {std::filesystem::path("/logs/home.adi"), std::filesystem::path("/docs/card_1.docx")};
            setup->Button4Click();
            setup->Button5Click();
            setup->ComboBox2->setCurrentIndex(6);
            setup->ComboBox3->setCurrentIndex(1);
            setup->SpinEdit1->setValue(3);
            setup->Edit3->clear();
            QTest::keyClicks(setup->Edit3, ",");
            QCOMPARE(interaction.messages.back().text, std::string("The separator cannot be a comma!"));
            QCOMPARE(setup->Edit3->text(), QString("-"));
            setup->Edit3->setText(".");
            setup->Button2Click();
        });
        QCOMPARE(form->ComboBox2->currentText(), QString("Home"));
        QCOMPARE(form->logPath(), std::filesystem::path("/logs/home.adi"));
        QCOMPARE(form->Edit6->text(), QString("Exact QRG in kHz"));
        QCOMPARE(form->qrgFormat(), 6);
        QCOMPARE(form->Edit5->text(), QString("23.09.2006"));
        QCOMPARE(form->Edit3->text(), QString("3"));
        QVERIFY(!form->newProfileRequested());

        form->close();
        const std::string text = file();
        const std::size_t home = text.find("[Home]\r\nSource file=/logs/home.adi\r\nSource SWL file=\r\nMain doc=/docs/"
                                           "card_1.docx\r\nQRG format=Exact QRG in kHz\r\nQSOs on label=3\r\n"
                                           "Date format=23-09-2006\r\nDate separator=.\r\n");
        QCOMPARE(home, std::size_t(0));
        QVERIFY(text.find("[Filters]") < text.find("[Profile]\r\nLast profile=0"));
        QVERIFY(text.find("[Profile]") < text.find("[Program]"));
    }

    void namesAlreadyTakenAndNoSelection()
    {
        writeProfiles({"Home"});
        start();
        profilesSetup([&] {
            setup->Button1Click();
            setup->Edit1->setText("HOME");
            setup->Button2Click();
            QCOMPARE(interaction.messages.back().text, std::string("Profile with this name exists !\nPlease use other "
                                                                   "profile's name !"));
            setup->Edit1->setText("filters"); // a reserved section with keys
            setup->Button2Click();
            QVERIFY(interaction.messages.back().text.find("Profile with this name exists") == 0);
            QVERIFY(setup->isVisible());
        });
        // Without a selected profile, Apply and Delete are refused instead of touching an unnamed section.
        form->ComboBox2->setCurrentIndex(-1);
        profilesSetup([&] {
            setup->Button2Click();
            QCOMPARE(interaction.messages.back().text, std::string("No profile selected!"));
            setup->Button3Click();
            QCOMPARE(interaction.messages.back().text, std::string("No profile selected!"));
        });
        QVERIFY(file().find("[]") == std::string::npos);
    }

    void deleteKeepsTheListPosition()
    {
        writeProfiles({"A", "B", "C"});
        start();
        QCOMPARE(form->ComboBox2->currentIndex(), 0);
        // The second current, the first deleted: the third becomes current (now at position 1).
        form->ComboBox2->setCurrentIndex(1);
        form->profileLoad();
        interaction.answers = {Answer::Yes};
        profilesSetup([&] {
            setup->ComboBox1->setCurrentIndex(0);
            setup->Button3Click();
        });
        QCOMPARE(form->ComboBox2->count(), 2);
        QCOMPARE(form->ComboBox2->currentText(), QString("C"));
        QVERIFY(file().find("[A]") == std::string::npos);
        // The current and last one deleted: the one before it becomes current.
        interaction.answers = {Answer::Yes};
        profilesSetup([&] { setup->Button3Click(); });
        QCOMPARE(form->ComboBox2->currentText(), QString("B"));
        // "No" keeps everything.
        interaction.answers = {Answer::No};
        profilesSetup([&] { setup->Button3Click(); });
        QCOMPARE(form->ComboBox2->count(), 1);
        // The only one: both lists empty, no profile.
        interaction.answers = {Answer::Yes};
        profilesSetup([&] { setup->Button3Click(); });
        QCOMPARE(form->ComboBox2->count(), 0);
        QCOMPARE(form->ComboBox2->currentIndex(), -1);
        // A new profile cannot be deleted.
        profilesSetup([&] {
            setup->Button1Click();
            setup->Button3Click();
            QCOMPARE(interaction.messages.back().text, std::string("It is not possible to delete a new profile !"));
        });
    }

    void okAsksAboutAnUnsavedNewProfile()
    {
        writeProfiles({"Home"});
        start();
        const std::string before = file();
        interaction.answers = {Answer::Cancel, Answer::No};
        profilesSetup([&] {
            setup->Button1Click();
            setup->Edit1->setText("Away");
            setup->Button6Click(); // Cancel: stays open
            QVERIFY(setup->newProfileMode());
            setup->Button6Click(); // No: closes, nothing written
            QVERIFY(!setup->newProfileMode());
        });
        QCOMPARE(file(), before);
        interaction.answers = {Answer::Yes};
        profilesSetup([&] {
            setup->Button1Click();
            setup->Edit1->setText("Away");
            setup->Button6Click();
        });
        QCOMPARE(form->ComboBox2->count(), 2);
        QCOMPARE(form->ComboBox2->itemText(0), QString("Away"));
    }

    void commandLineProfileAndTheProfileLoadsDefaults()
    {
        writeProfiles({"Home", "Portable"});
        // A profile without an SWL file clears the box; one without a source file keeps the previous path.
        std::ofstream(settings(), std::ios::app) << "[Bare]\r\nMain doc=/docs/bare_1.docx\r\nDate format=23 Sep 2006\r\n"
                                                    "QRG format=nonsense\r\n";
        start("portable");
        QCOMPARE(form->ComboBox2->currentText(), QString("Portable"));
        QCOMPARE(form->logPath(), std::filesystem::path("/logs/Portable.adi"));
        QCOMPARE(form->swlPath(), std::filesystem::path("/logs/Portable-swl.adi"));
        form->ComboBox2->setCurrentIndex(form->ComboBox2->findText("Bare"));
        form->ComboBox2Change();
        QCOMPARE(form->logPath(), std::filesystem::path("/logs/Portable.adi"));
        QCOMPARE(form->swlPath(), std::filesystem::path());
        QCOMPARE(form->Edit7->text(), QString());
        QCOMPARE(form->Edit5->text(), QString("23 Sep 2006")); // named months keep their blanks
        QCOMPARE(form->qrgFormat(), 6); // an unknown text leaves the format as it was
        QCOMPARE(form->Edit6->text(), QString("nonsense"));
        QCOMPARE(form->rememberedProfile(), form->ComboBox2->currentIndex());

        // A name that is no profile is ignored.
        start("nobody");
        QCOMPARE(form->ComboBox2->currentText(), QString("Bare")); // the remembered position (0) after sorting
    }

    void theDialogShowsTheWindowsSettings()
    {
        writeProfiles({"Home"});
        start();
        profilesSetup([&] {
            QVERIFY(!setup->newProfileMode());
            QCOMPARE(setup->ComboBox1->currentText(), QString("Home"));
            QCOMPARE(setup->ComboBox2->currentIndex(), 6);
            QCOMPARE(setup->ComboBox3->currentIndex(), 1);
            QCOMPARE(setup->Edit3->text(), QString("."));
            QCOMPARE(setup->SpinEdit1->value(), 3);
            QCOMPARE(setup->fullPath(setup->Edit2), std::filesystem::path("/logs/Home.adi"));
        });
        // Polish lists in the dialog, English in the file.
        config->CheckBox1->setChecked(true);
        form->CheckBox1Click();
        profilesSetup([&] {
            QCOMPARE(setup->ComboBox2->currentText(), QString::fromUtf8("Dokładne QRG w kHz"));
            setup->Button2Click();
        });
        QVERIFY(file().find("QRG format=Exact QRG in kHz") != std::string::npos);
        QCOMPARE(form->Edit6->text(), QString::fromUtf8("Dokładne QRG w kHz"));
    }
};

QTEST_MAIN(TFSetupTest)
#include "TFSetupTest.moc"
