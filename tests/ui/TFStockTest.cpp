// The dialog for new main documents, and the main window's "New..." and first-label controls, driven as a user
// would with every question answered through the interaction seam.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "FakeInteraction.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "support/TempDir.h"
#include "ui/DesktopProgram.h"
#include "ui/TFStock.h"

using namespace Qt::StringLiterals;

using namespace cardmill;

class TFStockTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    test::FakeInteraction interaction;
    StockCatalogue catalogue;

    std::filesystem::path settings() const { return *dir / "cardmill.ini"; }

    template <typename T>
    static T* find(QWidget* w, const char* name)
    {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }

private slots:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        std::filesystem::create_directories(*dir / "db");
        std::filesystem::create_directories(*dir / "out");
        dir->write("db/acme-templates.xml", R"(<Glabels-templates>
          <Template brand="Acme" part="L7163" size="A4" _description="Mailing labels">
            <Label-rectangle id="0" width="99.1mm" height="38.1mm"><Markup-margin size="5"/>
            <Layout nx="2" ny="7" x0="4.65mm" y0="15.15mm" dx="101.6mm" dy="38.1mm"/></Label-rectangle></Template>
          <Template brand="Acme" part="Big" size="A4" _description="Shipping labels">
            <Label-rectangle id="0" width="199.6mm" height="143.5mm">
            <Layout nx="1" ny="2" x0="5.2mm" y0="5mm" dy="143.5mm"/></Label-rectangle></Template>
          <Template brand="Acme" part="Overlap" size="A4" _description="Broken">
            <Label-rectangle id="0" width="100mm" height="40mm">
            <Layout nx="2" ny="2" x0="5mm" y0="5mm" dx="90mm" dy="40mm"/></Label-rectangle></Template>
        </Glabels-templates>)");
        catalogue.load({*dir / "db"}, {});
        interaction = {};
        setUserInteraction(&interaction);
    }

    void cleanup()
    {
        setUserInteraction(nullptr);
        dir.reset();
    }

    void searchesChoosesAndOffersOnlySizesThatFit()
    {
        TFStock dialog(catalogue, Settings(settings()), Language::English);
        auto* list = find<QListWidget>(&dialog, "StockList");
        QCOMPARE(list->count(), 4); // the custom grid and three stocks
        QVERIFY(!find<QLabel>(&dialog, "NoDatabase")->isVisibleTo(&dialog));
        QTest::keyClicks(find<QLineEdit>(&dialog, "StockSearch"), u"shipping"_s);
        QCOMPARE(list->count(), 2);
        QCOMPARE(dialog.currentStock()->name(), std::string("Acme Big"));
        QVERIFY(find<QCheckBox>(&dialog, "Size10")->isEnabled()); // 143 mm hold ten QSOs

        find<QLineEdit>(&dialog, "StockSearch")->clear();
        QVERIFY(dialog.selectStock("Acme L7163"));
        QVERIFY(find<QCheckBox>(&dialog, "Size7")->isEnabled());
        QVERIFY(!find<QCheckBox>(&dialog, "Size8")->isEnabled());
        QVERIFY(!find<QCheckBox>(&dialog, "Size8")->toolTip().isEmpty());
        QVERIFY(find<QLabel>(&dialog, "StockAbout")->text().contains(u"2 x 7"_s));

        // A stock whose labels overlap says so and cannot be made.
        QVERIFY(dialog.selectStock("Acme Overlap"));
        QVERIFY(find<QLabel>(&dialog, "StockAbout")->text().contains(u"overlap"_s));
        QVERIFY(!find<QPushButton>(&dialog, "Create")->isEnabled());

        // The custom grid is built from its fields.
        QVERIFY(dialog.selectStock("Custom"));
        find<QSpinBox>(&dialog, "Columns")->setValue(2);
        QCOMPARE(dialog.currentStock()->layouts.front().nx, 2);
        QVERIFY(find<QWidget>(&dialog, "CustomGrid")->isVisibleTo(&dialog));

        // Without the database only the custom grid is there, and the dialog says which package brings it.
        StockCatalogue none;
        none.load({*dir / "nothing"}, {});
        TFStock bare(none, Settings(settings()), Language::Polish);
        QCOMPARE(find<QListWidget>(&bare, "StockList")->count(), 1);
        QVERIFY(find<QLabel>(&bare, "NoDatabase")->text().contains(u"glabels-data"_s));
    }

    void createsAsksBeforeReplacingAndRemembers()
    {
        TFStock dialog(catalogue, Settings(settings()), Language::English);
        QVERIFY(dialog.selectStock("Acme L7163"));
        find<QLineEdit>(&dialog, "OwnCall")->setText(u"SP3KXQ"_s);
        find<QComboBox>(&dialog, "Format")->setCurrentIndex(1); // .odt
        for (int i = 3; i <= 10; ++i)
            find<QCheckBox>(&dialog, ("Size" + std::to_string(i)).c_str())->setChecked(false);
        dialog.setFolder(*dir / "out");
        dir->write("out/card_2.odt", "mine");
        // The question about card_2.odt answered No: nothing is made.
        interaction.answers = {UserInteraction::Answer::No};
        dialog.create();
        QCOMPARE(interaction.questions.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(interaction.questions[0]).contains(u"card_2.odt"_s));
        QCOMPARE(test::readFile(*dir / "out/card_2.odt"), std::string("mine"));
        QVERIFY(!std::filesystem::exists(*dir / "out/card_1.odt"));

        interaction.answers = {UserInteraction::Answer::Yes};
        dialog.create();
        QCOMPARE(dialog.madeDocuments().size(), std::size_t(3)); // 1, 2 and SWL
        QCOMPARE(dialog.firstSizeDocument(), *dir / "out/card_1.odt");
        QVERIFY(test::readFile(*dir / "out/card_2.odt") != "mine");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const StockChoice remembered = readStockChoice(IniFile(settings()));
        QCOMPARE(remembered.ownCall, std::string("SP3KXQ"));
        QCOMPARE(remembered.stock, std::string("Acme L7163"));
        QCOMPARE(remembered.format, std::string("odt"));

        // The next dialog starts from what was remembered.
        TFStock again(catalogue, Settings(settings()), Language::English);
        QCOMPARE(again.currentStock()->name(), std::string("Acme L7163"));
        QCOMPARE(find<QLineEdit>(&again, "OwnCall")->text(), u"SP3KXQ"_s);
        QCOMPARE(find<QComboBox>(&again, "Format")->currentIndex(), 1);

        // A folder that is not there yet is made, as the command line makes it.
        again.setFolder(*dir / "missing");
        again.create();
        QVERIFY(std::filesystem::exists(*dir / "missing" / "card_1.odt"));
    }

    void theMainWindowPutsTheNewDocumentInItsBoxAndReadsTheFirstLabel()
    {
        DesktopProgram program(settings(), dir->path());
        TForm1& form = program.form;
        form.setMainDocumentPath(*dir / "out" / "old_1.docx");
        interaction.onDialog = [](QDialog& d) {
            auto& dialog = static_cast<TFStock&>(d);
            find<QListWidget>(&dialog, "StockList")->setCurrentRow(0); // the custom grid
            dialog.create();
            return dialog.result();
        };
        form.ButtonNewClick();
        QCOMPARE(form.mainDocumentPath(), *dir / "out" / "card_1.docx");
        QVERIFY(std::filesystem::exists(*dir / "out" / "card_swl.docx"));

        QCOMPARE(form.request().startLabel, 1);
        find<QSpinBox>(&form, "SpinEdit1")->setValue(5);
        QCOMPARE(form.request().startLabel, 5);

        // A log opened with the program from the file manager becomes the log.
        const auto log = dir->write("my log.adif", "<EOH>\n");
        form.setCommandLineLog(log);
        form.startupLoad();
        QCOMPARE(form.logPath(), log);
    }
};

QTEST_MAIN(TFStockTest)
#include "TFStockTest.moc"
