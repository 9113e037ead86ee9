// Profiles: the start-up load, the profile load and the profile setup dialog, with the dialog seam.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <fstream>
#include <functional>

#include "FakeInteraction.h"
#include "Widgets.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"
#include "ui/DesktopProgram.h"
#include "ui/TFSetup.h"

using namespace Qt::StringLiterals;

using namespace cardmill;
using test::child;
using Answer = UserInteraction::Answer;

class TFSetupTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<DesktopProgram> program;
    TForm1* form = nullptr;
    test::FakeInteraction interaction;

    std::filesystem::path settings() const { return *dir / "cardmill.ini"; }
    std::string file() const { return test::readFile(settings()); }
    QComboBox* profiles() const { return child<QComboBox>(form, "ComboBox2"); }

    // Starts the program's windows, as far as the first activation's start-up load.
    void start(const std::string& commandLineProfile = "")
    {
        program.reset();
        interaction.messages.clear(); // what an earlier start said is no sign that this one is up
        program = std::make_unique<DesktopProgram>(settings(), dir->path());
        form = &program->form;
        form->setCommandLineProfile(commandLineProfile);
        form->show();
        QTRY_VERIFY(profiles()->count() > 0 || child<QLabel>(form, "FirstStartHint")->isVisible() ||
                    !interaction.messages.empty());
    }

    void writeProfiles(std::initializer_list<const char*> names)
    {
        std::string ini;
        for (const char* n : names)
            ini += std::string("[") + n + "]\r\nSource file=/logs/" + n + ".adi\r\nSource SWL file=/logs/" + n +
                   "-swl.adi\r\nMain doc=/docs/" + n +
                   "_1.docx\r\nQRG format=Exact QRG in kHz\r\nQSOs on label=3\r\n"
                   "Date format=23-09-2006\r\nDate separator=.\r\n";
        ini += "[Filters]\r\nCall=0\r\n[Profile]\r\nLast profile=0\r\n";
        std::ofstream(settings(), std::ios::binary) << ini;
    }

    // Runs "Profiles Setup", with `inDialog` acting on the dialog while it is open.
    void profilesSetup(const std::function<void(TFSetup&)>& inDialog)
    {
        interaction.onDialog = [&](QDialog& d) {
            d.show(); // shows it as the modal run would, so that its show handling runs
            inDialog(static_cast<TFSetup&>(d));
            d.hide();
            return d.result();
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
        program.reset();
        setUserInteraction(nullptr);
        dir.reset();
    }

    void firstStartCreatesAProfileAndAFirstCloseStoresTheState()
    {
        start();
        // No message box to send the user away: the window says what a first run needs.
        QVERIFY(interaction.messages.empty());
        QVERIFY(child<QLabel>(form, "FirstStartHint")->isVisible());
        QCOMPARE(form->request().format.separator, std::string("-"));

        profilesSetup([&](TFSetup& setup) {
            QVERIFY(setup.newProfileMode()); // at once
            child<QLineEdit>(&setup, "Edit1")->setText(u"Home"_s);
            setup.Button2Click(); // no source file yet
            QCOMPARE(interaction.messages.back().text, std::string("No source file set!"));
            interaction.files = {std::filesystem::path("/logs/home.adi"), std::filesystem::path("/docs/card_1.docx")};
            setup.Button4Click();
            setup.Button5Click();
            child<QComboBox>(&setup, "ComboBox2")->setCurrentIndex(6);
            child<QComboBox>(&setup, "ComboBox3")->setCurrentIndex(1);
            child<QSpinBox>(&setup, "SpinEdit1")->setValue(3);
            auto* sep = child<QLineEdit>(&setup, "Edit3");
            QCOMPARE(sep->text(), u"-"_s);
            sep->clear();
            QTest::keyClicks(sep, u","_s);
            QCOMPARE(interaction.messages.back().text, std::string("The separator cannot be a comma!"));
            QCOMPARE(sep->text(), u"-"_s);
            sep->setText(u"."_s);
            setup.Button2Click();
        });
        QCOMPARE(profiles()->currentText(), u"Home"_s);
        QVERIFY(!child<QLabel>(form, "FirstStartHint")->isVisible());
        QCOMPARE(form->logPath(), std::filesystem::path("/logs/home.adi"));
        QCOMPARE(child<QLineEdit>(form, "Edit6")->text(), u"Exact QRG in kHz"_s);
        QCOMPARE(form->request().format.qrg, QrgFormat::ExactKHz);
        QCOMPARE(child<QLineEdit>(form, "Edit5")->text(), u"23.09.2006"_s);
        QCOMPARE(child<QLineEdit>(form, "Edit3")->text(), u"3"_s);
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

    void aNewProfileStartsWithASeparatorAfterAnExitWithoutProfile()
    {
        start();
        form->close(); // the file now holds the filters and no profile
        interaction = {};
        start();
        profilesSetup([&](TFSetup& setup) {
            QVERIFY(setup.newProfileMode());
            QCOMPARE(child<QLineEdit>(&setup, "Edit3")->text(), u"-"_s);
        });
        QCOMPARE(form->request().format.separator, std::string("-"));
    }

    void namesTheFileCannotHoldAreRefusedWithTheReason()
    {
        writeProfiles({"Home"});
        start();
        profilesSetup([&](TFSetup& setup) {
            interaction.files = {std::filesystem::path("/logs/a.adi"), std::filesystem::path("/docs/card_1.docx")};
            setup.Button1Click();
            setup.Button4Click();
            setup.Button5Click();
            auto* name = child<QLineEdit>(&setup, "Edit1");
            const std::vector<std::pair<const char*, const char*>> refused{
                {"HOME", "Profile with this name exists !\nPlease use other profile's name !"},
                {"My [portable] setup", "A profile name cannot hold \"[\" or \"]\"."},
                {" Home2", "A profile name cannot begin or end with a blank."},
                {"Home2 ", "A profile name cannot begin or end with a blank."},
                {"Tab\there", "A profile name cannot hold control characters."},
                {"filters", "\"filters\" is the name of one of the settings file's own sections: choose another name."},
                {"Program", "\"Program\" is the name of one of the settings file's own sections: choose another name."},
                {"", "No profile's name set!"},
            };
            for (const auto& [n, why] : refused) {
                name->setText(QString::fromUtf8(n));
                setup.Button2Click();
                QCOMPARE(interaction.messages.back().text, std::string(why));
                QVERIFY(setup.newProfileMode());
            }
            name->setText(u"My portable setup"_s);
            setup.Button2Click();
        });
        QCOMPARE(profiles()->count(), 2);
        QVERIFY(file().find("[My portable setup]\r\n") != std::string::npos);
        QVERIFY(file().find("[My [") == std::string::npos);
        // Without a selected profile, Apply and Delete are refused instead of touching an unnamed section.
        profiles()->setCurrentIndex(-1);
        profilesSetup([&](TFSetup& setup) {
            setup.Button2Click();
            QCOMPARE(interaction.messages.back().text, std::string("No profile selected!"));
            setup.Button3Click();
            QCOMPARE(interaction.messages.back().text, std::string("No profile selected!"));
        });
        QVERIFY(file().find("[]") == std::string::npos);
    }

    void deleteNamesTheProfileAndKeepsTheCurrentOne()
    {
        writeProfiles({"A", "B", "C"});
        start();
        QCOMPARE(profiles()->currentIndex(), 0);
        // B current, A deleted: B stays current.
        profiles()->setCurrentIndex(1);
        form->profileLoad();
        interaction.answers = {Answer::Yes};
        profilesSetup([&](TFSetup& setup) {
            child<QComboBox>(&setup, "ComboBox1")->setCurrentIndex(0);
            setup.Button3Click();
        });
        QCOMPARE(interaction.questions.back(), std::string("Delete profile \"A\" ?"));
        QCOMPARE(interaction.preferred.back(), Answer::No);
        QCOMPARE(profiles()->count(), 2);
        QCOMPARE(profiles()->currentText(), u"B"_s);
        QVERIFY(file().find("[A]") == std::string::npos);
        // The current and last one deleted: the one before it becomes current.
        profiles()->setCurrentIndex(1);
        form->profileLoad();
        interaction.answers = {Answer::Yes};
        profilesSetup([&](TFSetup& setup) { setup.Button3Click(); });
        QCOMPARE(profiles()->currentText(), u"B"_s);
        // "No" keeps everything.
        interaction.answers = {Answer::No};
        profilesSetup([&](TFSetup& setup) { setup.Button3Click(); });
        QCOMPARE(profiles()->count(), 1);
        // The only one: both lists empty, no profile.
        interaction.answers = {Answer::Yes};
        profilesSetup([&](TFSetup& setup) { setup.Button3Click(); });
        QCOMPARE(profiles()->count(), 0);
        QCOMPARE(profiles()->currentIndex(), -1);
        // A new profile cannot be deleted.
        profilesSetup([&](TFSetup& setup) {
            setup.Button1Click();
            setup.Button3Click();
            QCOMPARE(interaction.messages.back().text, std::string("It is not possible to delete a new profile !"));
        });
    }

    void okAsksAboutAnUnsavedNewProfile()
    {
        writeProfiles({"Home"});
        start();
        const std::string before = file();
        interaction.answers = {Answer::Cancel, Answer::No};
        profilesSetup([&](TFSetup& setup) {
            setup.Button1Click();
            child<QLineEdit>(&setup, "Edit1")->setText(u"Away"_s);
            setup.Button6Click(); // Cancel: stays open
            QVERIFY(setup.newProfileMode());
            setup.Button6Click(); // No: closes, nothing written
            QVERIFY(!setup.newProfileMode());
        });
        QCOMPARE(file(), before);
        interaction.answers = {Answer::Yes};
        profilesSetup([&](TFSetup& setup) {
            setup.Button1Click();
            child<QLineEdit>(&setup, "Edit1")->setText(u"Away"_s);
            setup.Button6Click();
        });
        QCOMPARE(profiles()->count(), 2);
        QCOMPARE(profiles()->itemText(0), u"Away"_s);
    }

    void commandLineProfileAndTheProfileLoadsDefaults()
    {
        writeProfiles({"Home", "Portable"});
        // A profile without an SWL file clears the box; one without a source file keeps the previous path.
        std::ofstream(settings(), std::ios::app | std::ios::binary)
            << "[Bare]\r\nMain doc=/docs/bare_1.docx\r\nDate format=23 Sep 2006\r\n"
               "QRG format=nonsense\r\n";
        start("portable");
        QCOMPARE(profiles()->currentText(), u"Portable"_s);
        QCOMPARE(form->logPath(), std::filesystem::path("/logs/Portable.adi"));
        QCOMPARE(form->swlPath(), std::filesystem::path("/logs/Portable-swl.adi"));
        profiles()->setCurrentIndex(profiles()->findText(u"Bare"_s));
        form->ComboBox2Change();
        QCOMPARE(form->logPath(), std::filesystem::path("/logs/Portable.adi"));
        QCOMPARE(form->swlPath(), std::filesystem::path());
        QCOMPARE(child<QLineEdit>(form, "Edit7")->text(), QString());
        QCOMPARE(child<QLineEdit>(form, "Edit5")->text(), u"23 Sep 2006"_s); // named months keep their blanks
        QCOMPARE(form->request().format.qrg, QrgFormat::ExactKHz); // an unknown text leaves the format as it was
        QCOMPARE(child<QLineEdit>(form, "Edit6")->text(), u"nonsense"_s);
        QCOMPARE(form->rememberedProfile(), profiles()->currentIndex());

        // A name that is no profile is said, and the window starts on none rather than on another profile.
        start("nobody");
        QCOMPARE(profiles()->currentIndex(), -1);
        QVERIFY(interaction.messages.back().text.find("\"nobody\"") != std::string::npos);
    }

    void theDialogShowsTheWindowsSettingsAndItsFile()
    {
        writeProfiles({"Home"});
        start();
        profilesSetup([&](TFSetup& setup) {
            QVERIFY(!setup.newProfileMode());
            QCOMPARE(child<QComboBox>(&setup, "ComboBox1")->currentText(), u"Home"_s);
            QCOMPARE(child<QComboBox>(&setup, "ComboBox2")->currentIndex(), 6);
            QCOMPARE(child<QComboBox>(&setup, "ComboBox3")->currentIndex(), 1);
            QCOMPARE(child<QLineEdit>(&setup, "Edit3")->text(), u"."_s);
            QCOMPARE(child<QSpinBox>(&setup, "SpinEdit1")->value(), 3);
            QCOMPARE(child<QLineEdit>(&setup, "Edit2")->toolTip(), QDir::toNativeSeparators(u"/logs/Home.adi"_s));
            QCOMPARE(child<QLabel>(&setup, "SettingsFile")->toolTip(), QString::fromStdString(settings().string()));
            // The SWL file can be removed from the profile.
            QTest::keyClick(child<QLineEdit>(&setup, "Edit4"), Qt::Key_Delete);
            setup.Button2Click();
        });
        QVERIFY(file().find("Source SWL file=\r\n") != std::string::npos);
        QCOMPARE(form->swlPath(), std::filesystem::path());
        // Polish lists in the dialog, English in the file.
        child<QCheckBox>(&program->configuration, "CheckBox1")->setChecked(true);
        form->CheckBox1Click();
        profilesSetup([&](TFSetup& setup) {
            QCOMPARE(child<QComboBox>(&setup, "ComboBox2")->currentText(), QString::fromUtf8("Dokładne QRG w kHz"));
            setup.Button2Click();
        });
        QVERIFY(file().find("QRG format=Exact QRG in kHz") != std::string::npos);
        QCOMPARE(child<QLineEdit>(form, "Edit6")->text(), QString::fromUtf8("Dokładne QRG w kHz"));
    }

    // Every choice a profile holds goes window -> kept as a profile at Exit -> Profiles Setup (applied) -> the
    // main window, and the request the window makes is the one it made at first.
    void everyChoiceRoundTripsThroughAProfileAndTheSetupDialog()
    {
        struct Case {
            const char* name;
            std::function<void()> onWindow; // the choice made on a window that has no profile yet
            const char* stored;             // or a profile's text in the file, loaded at start
        };
        const std::vector<Case> cases{
            {"bureau order", [&] { child<QComboBox>(form, "ComboOrder")->setCurrentIndex(1); }, nullptr},
            {"a label sheet", [&] { form->setLabelSheet("A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1"); }, nullptr},
            {"a label size out of range", [&] { child<QLineEdit>(form, "Edit3")->setText(u"12"_s); }, nullptr},
            {"an SWL file", [&] { form->setSwlPath("/logs/swl.adi"); }, nullptr},
            {"a lower-case QRG text", nullptr, "QRG format=qrg in mhz with 'mhz'\r\n"},
            {"a date format and separator", nullptr, "Date format=Sep 23 2006\r\nDate separator=/\r\n"},
            {"a built-in design",
             [&] {
                 form->setLabelSheet("Avery L7163");
                 child<QComboBox>(form, "ComboDesign")->setCurrentIndex(2);
             },
             nullptr},
            {"a design file", nullptr, "Label sheet=Avery L7163\r\nDesign=/designs/club card.json\r\n"},
            {"a calibrated sheet", nullptr,
             "Label sheet=Avery L7163\r\n[Program]\r\nCalibration Avery L7163=1.50,-0.50,99.00\r\n"},
        };
        for (const Case& c : cases) {
            cleanup();
            init();
            if (c.stored)
                std::ofstream(settings(), std::ios::binary)
                    << "[P]\r\nSource file=/logs/log.adi\r\nMain doc=/docs/card_1.docx\r\n"
                    << c.stored;
            start(c.stored ? "P" : "");
            if (c.onWindow) {
                form->setLogPath("/logs/log.adi");
                form->setMainDocumentPath("/docs/card_1.docx");
                c.onWindow();
                form->Edit3Exit();
            }
            const RunRequest before = form->request();
            if (c.onWindow) { // kept as a profile at Exit, loaded at the next start
                interaction.inputs = {std::string("Kept")};
                form->close();
                start("Kept");
                QVERIFY2(form->request() == before, c.name);
            }
            profilesSetup([&](TFSetup& setup) {
                QVERIFY2(setup.choices() == before, c.name); // the dialog shows what the window shows
                setup.Button2Click();                        // and applies it
            });
            QVERIFY2(form->request() == before, c.name);
            start(c.stored ? "P" : "Kept");
            QVERIFY2(form->request() == before, c.name);
        }
    }

    void leavingWithChangesAsksAndKeepsAndNewTakesALabelSheet()
    {
        writeProfiles({"Home"});
        start();
        // A change, then OK: asked, and Yes keeps it.
        profilesSetup([&](TFSetup& setup) {
            child<QSpinBox>(&setup, "SpinEdit1")->setValue(5);
            interaction.answers = {Answer::Yes};
            setup.Button6Click();
            QCOMPARE(interaction.questions.back(), std::string("Save the changes to the profile \"Home\"?"));
        });
        QVERIFY(file().find("QSOs on label=5") != std::string::npos);
        // Escape with a change: Cancel stays in the dialog, No leaves without saving.
        profilesSetup([&](TFSetup& setup) {
            child<QSpinBox>(&setup, "SpinEdit1")->setValue(7);
            interaction.answers = {Answer::Cancel};
            setup.reject();
            QVERIFY(setup.isVisible());
            interaction.answers = {Answer::No};
            setup.reject();
            QVERIFY(!setup.isVisible());
        });
        QVERIFY(file().find("QSOs on label=5") != std::string::npos);
        // Nothing changed: no question.
        const std::size_t asked = interaction.questions.size();
        profilesSetup([&](TFSetup& setup) { setup.Button6Click(); });
        QCOMPARE(interaction.questions.size(), asked);

        // "New..." beside the main document: the stock dialog, whose "Print on this sheet" gives the profile a
        // label sheet in place of a main document.
        profilesSetup([&](TFSetup& setup) {
            interaction.onDialog = [](QDialog& d) {
                child<QListWidget>(&d, "StockList")->setCurrentRow(0); // the custom grid
                QTest::mouseClick(child<QPushButton>(&d, "UseSheet"), Qt::LeftButton);
                return d.result();
            };
            QTest::mouseClick(child<QPushButton>(&setup, "ButtonNew"), Qt::LeftButton);
            QVERIFY(child<QLineEdit>(&setup, "EditSheet")->text().startsWith(u"A4,3,7,"_s));
            setup.Button2Click();
        });
        QVERIFY(file().find("Label sheet=A4,3,7,") != std::string::npos);
        QVERIFY(form->labelSheet().starts_with("A4,3,7,"));
    }
};

QTEST_MAIN(TFSetupTest)
#include "TFSetupTest.moc"
