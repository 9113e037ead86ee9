// Takes pictures of the windows for the documentation: the main window with the example's profile and the
// filter area open, the profile setup dialog, the configuration dialog and the dialog for new main documents,
// each in English and in Polish. Run by scripts/screenshot.sh under Xvfb, once per scale factor.
// Usage: screenshots OUTPUT-FOLDER SUFFIX   (pictures named main-window-en<SUFFIX>.png and so on)
#include <QApplication>
#include <QCheckBox>
#include <QPixmap>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "stock/StockCatalogue.h"
#include "ui/DesktopProgram.h"
#include "ui/TFSetup.h"
#include "ui/TFStock.h"
#include "ui/UserInteraction.h"

using namespace cardmill;

namespace {

// Answers nothing and shows dialogs without blocking, so that they can be photographed.
class Photographer : public UserInteraction {
public:
    std::function<void(QDialog&)> onDialog;
    void message(QWidget*, const std::string&, const std::string&, Icon) override {}
    Answer ask(QWidget*, const std::string&, const std::string&, Icon, bool, Answer) override { return Answer::No; }
    std::optional<std::filesystem::path> openFile(QWidget*, const std::string&, const std::filesystem::path&) override
    {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> saveFile(QWidget*, const std::string&, const std::filesystem::path&) override
    {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> chooseFolder(QWidget*, const std::filesystem::path&) override
    {
        return std::nullopt;
    }
    std::optional<std::string> inputText(QWidget*, const std::string&, const std::string&,
                                         const std::vector<std::string>&, const std::string&) override
    {
        return std::nullopt;
    }
    int execDialog(QDialog& dialog) override
    {
        if (onDialog)
            onDialog(dialog);
        return 0;
    }
    void beep() override {}
    bool openWithDesktop(const std::filesystem::path&) override { return true; }
};

void settle()
{
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

void save(QWidget& w, const std::filesystem::path& file)
{
    w.show();
    settle();
    w.grab().save(QString::fromStdString(file.string()));
    std::cout << file.string() << '\n';
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::cerr << "usage: screenshots OUTPUT-FOLDER SUFFIX\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const std::string suffix = argv[2];
    Photographer photographer;
    setUserInteraction(&photographer);
    const std::filesystem::path examples = std::filesystem::path(CARDMILL_SOURCE_DIR) / "examples";
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "cardmill-screenshots";
    std::filesystem::create_directories(scratch);

    // The first start: no settings file, the window saying what a first run needs.
    {
        const std::filesystem::path ini = scratch / "cardmill-first.ini";
        std::filesystem::remove(ini);
        DesktopProgram program(ini, examples);
        program.form.show();
        settle();
        save(program.form, out / ("first-start-en" + suffix + ".png"));
    }

    for (const char* language : {"en", "pl"}) {
        const std::filesystem::path ini = scratch / (std::string("cardmill-") + language + ".ini");
        std::ofstream(ini, std::ios::binary)
            << "[Example]\r\nSource file=" << (examples / "sp3kxq.adi").string()
            << "\r\nSource SWL file=" << (examples / "sp3kxq-swl.adi").string()
            << "\r\nMain doc=" << (examples / "card_1.docx").string()
            << "\r\nQRG format=QRG in MHz\r\nQSOs on label=3\r\nDate format=2006-09-23\r\nDate separator=-\r\n"
               "[Filters]\r\nCall=0\r\n[Profile]\r\nLast profile=0\r\n[ADIF_fields]\r\nADIF0=GRIDSQUARE\r\n"
               "[Program]\r\nPolish language="
            << (std::string(language) == "pl" ? "1" : "0") << "\r\nOwn call=SP3KXQ\r\nLabel stock=Avery L7163\r\n";
        DesktopProgram program(ini, examples);
        TForm1& form = program.form;
        form.show();
        settle();
        form.SpeedButton1Click(); // the filter area open
        save(form, out / ("main-window-" + std::string(language) + suffix + ".png"));

        photographer.onDialog = [&](QDialog& d) {
            save(d, out / ("profile-setup-" + std::string(language) + suffix + ".png"));
        };
        form.Button8Click();
        photographer.onDialog = [&](QDialog& d) {
            save(d, out / ("configuration-" + std::string(language) + suffix + ".png"));
        };
        form.Button2Click();
        photographer.onDialog = [&](QDialog& d) {
            save(d, out / ("new-main-documents-" + std::string(language) + suffix + ".png"));
        };
        form.ButtonNewClick();
        photographer.onDialog = {};

        // Labels drawn on a sheet: a run of the example (a copy) and the preview it opens.
        for (const char* f : {"sp3kxq.adi", "sp3kxq-swl.adi"})
            std::filesystem::copy_file(examples / f, scratch / f, std::filesystem::copy_options::overwrite_existing);
        form.setLogPath(scratch / "sp3kxq.adi");
        form.setSwlPath(scratch / "sp3kxq-swl.adi");
        form.setLabelSheet("A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1");
        save(form, out / ("main-window-sheet-" + std::string(language) + suffix + ".png"));
        form.Button1Click();
        while (form.running())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        settle();
        if (QWidget* preview = form.preview())
            save(*preview, out / ("label-preview-" + std::string(language) + suffix + ".png"));
    }
    std::filesystem::remove_all(scratch);
    setUserInteraction(nullptr);
    return 0;
}
