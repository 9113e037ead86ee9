// Each QSO on its route from the desktop: the route choices in their dialog and in the profile, the preview
// batch by batch, a second run that finds nothing new, and one sheet printed again from the journal.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <fstream>

#include "FakeInteraction.h"
#include "Widgets.h"
#include "settings/IniFile.h"
#include "settings/ProfileRequest.h"
#include "settings/Profiles.h"
#include "support/TempDir.h"
#include "ui/DesktopProgram.h"
#include "ui/LabelPreview.h"
#include "ui/RoutesDialog.h"

using namespace Qt::StringLiterals;
using namespace cardmill;
using test::child;

namespace {

constexpr const char* kGrid = "A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1";

std::string field(const std::string& name, const std::string& value)
{
    return "<" + name + ":" + std::to_string(value.size()) + ">" + value + " ";
}

// Two bureau QSOs, two direct with an address, one direct without, one electronic.
void writeLog(const std::filesystem::path& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "routes test <EOH>\n";
    const auto qso = [&](const std::string& call, const std::string& time, const std::string& via,
                         const std::string& address) {
        out << field("CALL", call) << field("QSO_DATE", "20240105") << field("TIME_ON", time) << field("BAND", "20m")
            << field("MODE", "CW") << field("RST_SENT", "599");
        if (!via.empty())
            out << field("QSL_VIA", via);
        if (!address.empty())
            out << field("NAME", "Op " + call) << field("ADDRESS", address);
        out << "<EOR>\n";
    };
    qso("DL1AAA", "1000", "", "");
    qso("F5BBB", "1010", "buro", "");
    qso("JA1CCC", "1020", "direct", "1-2-3 Chiyoda, Tokyo");
    qso("VK2DDD", "1030", "direct", "PO Box 1, Sydney");
    qso("W1EEE", "1040", "direct", "");
    qso("K2FFF", "1050", "LoTW only", "");
}

} // namespace

class RoutesDesktopTest : public QObject {
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
        writeLog(logs() / "log.adi");
        // The bureau's labels go in bundles by country: a country file of the test's own, beside the settings.
        std::ofstream(*dir / "program" / "cty.dat", std::ios::binary)
            << "Fed. Rep. of Germany: 14: 28: EU: 51.0: -10.0: -1.0: DL:\n    DL;\n"
               "France: 14: 27: EU: 46.0: -2.0: -1.0: F:\n    F;\n"
               "United States: 05: 08: NA: 37.5: 91.5: 5.0: K:\n    K,W;\n";
    }

    void cleanup()
    {
        program.reset();
        setUserInteraction(nullptr);
        dir.reset();
    }

    void routesFromTheWindowToThePreviewAndASheetAgain()
    {
        TForm1& form = program->form;
        form.setLogPath(logs() / "log.adi");
        form.setLabelSheet(kGrid);
        child<QLineEdit>(&form, "EditOwnCall")->setText(u"SP3KXQ"_s);
        auto* routes = child<QPushButton>(&form, "ButtonRoutes");
        QVERIFY(!routes->isEnabled()); // only with each QSO on its route
        auto* order = child<QComboBox>(&form, "ComboOrder");
        order->setCurrentIndex(order->findData(static_cast<int>(LabelOrder::Routes)));
        QVERIFY(routes->isEnabled());

        // The dialog: the direct cards start at label 4; Enter keeps the choices. No journal yet: nothing to
        // print again.
        bool reprintOffered = true;
        interaction.onDialog = [&](QDialog& d) {
            auto& dialog = dynamic_cast<RoutesDialog&>(d);
            reprintOffered = dialog.findChild<QPushButton*>(u"ReprintButton"_s) != nullptr;
            child<QSpinBox>(&dialog, "DirectStart")->setValue(4);
            dialog.show();
            QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, Qt::Key_Return);
            return d.result();
        };
        QTest::mouseClick(routes, Qt::LeftButton);
        QVERIFY(!reprintOffered);
        QCOMPARE(form.request().routes.directStart, 4);

        // A preview before the run shows the batches and journals nothing: the run prints them all.
        QTest::mouseClick(child<QPushButton>(&form, "ButtonPreview"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form.running(), 60000);
        QVERIFY2(form.preview(),
                 interaction.messages.empty() ? "no message" : interaction.messages.back().text.c_str());
        QCOMPARE(child<QComboBox>(form.preview(), "PreviewBatch")->count(), 3);
        form.preview()->close();
        QVERIFY(!std::filesystem::exists(logs() / "log_labels_bureau.pdf"));

        QTest::mouseClick(child<QPushButton>(&form, "Button1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form.running(), 60000);
        for (const char* made :
             {"log_labels_bureau.pdf", "log_labels_direct.pdf", "log_addresses.pdf", "log_routes.txt"})
            QVERIFY2(std::filesystem::exists(logs() / made), made);
        // The journal has the direct cards from label 4 on, the bureau's from label 1.
        std::ifstream journal(*dir / "program" / "cardmill-journal.txt", std::ios::binary);
        std::vector<std::string> places;
        for (std::string line; std::getline(journal, line);) {
            std::vector<std::string> fields;
            for (std::size_t at = 0, tab = 0; tab != std::string::npos; at = tab + 1)
                fields.push_back(line.substr(at, (tab = line.find('\t', at)) - at));
            if (fields.size() > 5)
                places.push_back(fields[1] + fields[4] + "/" + fields[5]);
        }
        QCOMPARE(places, (std::vector<std::string>{"B1/1", "B1/2", "B1/3", "D1/4", "D1/5"}));
        auto* preview = qobject_cast<LabelPreview*>(form.preview());
        QVERIFY(preview);
        // Three batches, each named with its labels: the QSO without an address went by bureau.
        auto* batch = child<QComboBox>(preview, "PreviewBatch");
        QVERIFY(batch->isVisibleTo(preview));
        QCOMPARE(batch->count(), 3);
        QCOMPARE(batch->itemText(0), u"bureau cards (3)"_s);
        QCOMPARE(batch->itemText(1), u"direct cards (2)"_s);
        QCOMPARE(batch->itemText(2), u"address labels of the direct cards (2)"_s);
        QVERIFY(preview->windowTitle().contains(u"log_labels_bureau.pdf"_s));
        batch->setCurrentIndex(2);
        QVERIFY(preview->windowTitle().contains(u"log_addresses.pdf"_s));
        QCOMPARE(preview->pages(), std::size_t(1));
        // "Save PDF..." proposes the batch shown.
        interaction.files.push_back(std::nullopt);
        QTest::mouseClick(child<QPushButton>(preview, "PreviewSavePdf"), Qt::LeftButton);
        QCOMPARE(interaction.proposals.back(), logs() / "log_addresses.pdf");
        preview->close();

        // The route choices are the profile's: kept and loaded again.
        int runs = 0, sheets = 0;
        interaction.onDialog = [&](QDialog& d) {
            auto& dialog = dynamic_cast<RoutesDialog&>(d);
            auto* fallback = child<QComboBox>(&dialog, "DefaultRoute");
            fallback->setCurrentIndex(fallback->findData(static_cast<int>(Route::Direct)));
            auto* noAddress = child<QComboBox>(&dialog, "NoAddress");
            noAddress->setCurrentIndex(noAddress->findData(static_cast<int>(Route::Held)));
            runs = child<QComboBox>(&dialog, "ReprintRun")->count();
            sheets = child<QSpinBox>(&dialog, "ReprintSheet")->maximum();
            dialog.accept();
            return d.result();
        };
        QTest::mouseClick(routes, Qt::LeftButton);
        // The journal has the run: sheet 1 of its bureau labels is offered.
        QCOMPARE(runs, 1);
        QCOMPARE(sheets, 1);
        const RunRequest chosen = form.request();
        QCOMPARE(chosen.routes.fallback, Route::Direct);
        QCOMPARE(chosen.routes.noAddress, Route::Held);
        Profile stored = profileOf(chosen);
        QCOMPARE(stored.defaultRoute, std::string("direct"));
        QCOMPARE(stored.noAddress, std::string("held"));
        writeProfile(IniFile(*dir / "program" / "cardmill.ini"), "Routes", stored);
        RunRequest loaded;
        applyProfile(readProfile(IniFile(*dir / "program" / "cardmill.ini"), "Routes"), loaded);
        QCOMPARE(loaded.routes.fallback, Route::Direct);
        QCOMPARE(loaded.routes.noAddress, Route::Held);
        QCOMPARE(loaded.order, LabelOrder::Routes);

        // A second run finds nothing new and says so; nothing is drawn again.
        const std::size_t said = interaction.messages.size();
        QTest::mouseClick(child<QPushButton>(&form, "Button1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form.running(), 60000);
        QVERIFY(interaction.messages.size() > said);
        QVERIFY2(interaction.messages.back().text.find("Nothing new") != std::string::npos,
                 interaction.messages.back().text.c_str());

        // "Reprint sheet...": the bureau's sheet 1 of run 1 again, as "<base>_reprint.pdf".
        interaction.onDialog = [](QDialog& d) {
            auto& dialog = dynamic_cast<RoutesDialog&>(d);
            QTest::mouseClick(child<QPushButton>(&dialog, "ReprintButton"), Qt::LeftButton);
            return d.result();
        };
        QTest::mouseClick(routes, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form.running(), 60000);
        QVERIFY(std::filesystem::exists(logs() / "log_reprint.pdf"));
        preview = qobject_cast<LabelPreview*>(form.preview());
        QVERIFY(preview);
        QCOMPARE(preview->pages(), std::size_t(1));
    }

    // Escape closes the dialog and keeps the choices as they were.
    void escapeKeepsTheChoices()
    {
        RouteChoice choice;
        choice.fallback = Route::Electronic;
        RoutesDialog dialog(choice, nullptr, std::vector<Journal::Run>{}, Language::Polish);
        dialog.show();
        auto* fallback = child<QComboBox>(&dialog, "DefaultRoute");
        QCOMPARE(fallback->currentData().toInt(), static_cast<int>(Route::Electronic));
        fallback->setCurrentIndex(0);
        QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.findChild<QPushButton*>(u"ReprintButton"_s));

        // A run that printed direct cards only offers them; a journal's absurd sheet count is not taken.
        RoutesDialog reprint(choice, nullptr, std::vector<Journal::Run>{{7, "20241201", 0, 2}}, Language::English);
        QCOMPARE(child<QComboBox>(&reprint, "ReprintLabels")->currentData().toInt(), static_cast<int>(Route::Direct));
        QCOMPARE(child<QSpinBox>(&reprint, "ReprintSheet")->maximum(), 2);
        QCOMPARE(child<QComboBox>(&reprint, "ReprintRun")->currentText(),
                 u"7 of 2024-12-01 (bureau: 0 sheets, direct: 2 sheets)"_s);
        const auto journal = dir->path() / "journal.txt";
        std::ofstream(journal, std::ios::binary)
            << "CARDMILL journal 1\r\n3\tB\t20241201\tx.pdf\t99999999999\t1\tK|1|2|3|4\r\n"
               "4\tD\t20241202\tx.pdf\t2\t1\tK|1|2|3|5\r\n";
        const std::vector<Journal::Run> runs = Journal::read(journal).runs();
        QCOMPARE(runs.size(), std::size_t(1));
        QCOMPARE(runs[0].run, std::size_t(4));
        QCOMPARE(runs[0].directSheets, std::size_t(2));
    }
};

QTEST_MAIN(RoutesDesktopTest)
#include "RoutesDesktopTest.moc"
