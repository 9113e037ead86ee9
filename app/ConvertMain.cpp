// cardmill-convert: the conversion run without a window.
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "cli/ConvertOptions.h"
#include "cli/ConvertProgram.h"
#include "engine/Failure.h"
#include "engine/ProgramFiles.h"
#include "engine/Termination.h"
#include "merge/ChildProcess.h"
#include "texts/Texts.h"

#ifdef CARDMILL_DRAWS_LABELS
#include <QGuiApplication>

#include "render/RunDrawer.h"

namespace {

// Labels painted with Qt without a screen: the painter's application is made on first use, so runs that merge
// into main documents never start it.
class OffscreenPainting : public cardmill::SheetPainting {
public:
    std::unique_ptr<cardmill::LabelDrawer>
    drawer(const cardmill::RunRequest& request, const cardmill::LabelStock& stock, const std::string& jobName) override
    {
        start();
        return cardmill::drawerFor(request, stock, cardmill::DrawerKind::Sheets, jobName);
    }
    void writeCalibrationPage(const cardmill::LabelStock& stock, const cardmill::LabelSheet& sheet,
                              const std::filesystem::path& pdf) override
    {
        start();
        cardmill::writeSheetCalibrationPdf(stock, sheet, pdf);
    }

private:
    void start()
    {
        if (m_app)
            return;
#ifdef _WIN32
        // Windows's own platform draws without a screen as well. Its FreeType font engine tells the faces of
        // a family apart in a PDF (the system's engine names them alike, and the PDF then holds one of them
        // for every face).
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
#else
        // No display is needed to draw.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
        // The converter says its own failures; Qt's notes about the missing desktop session are noise here.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::cerr << "cardmill-convert: " << message.toStdString() << '\n';
        });
        m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    }

    int m_argc = 1;
    char m_name[17] = "cardmill-convert";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};

} // namespace
#endif

int main(int argc, char** argv)
{
    cardmill::useUtf8Console();
    const std::vector<std::string> arguments = cardmill::programArguments(argc, argv);
    std::vector<const char*> args;
    for (const std::string& a : arguments)
        args.push_back(a.c_str());
    args.push_back(nullptr);
    argc = static_cast<int>(arguments.size());
    cardmill::termination::install();
    cardmill::termination::setEmergencyCleanup(cardmill::killRunningChildNow);
    // The run reports its own failures; these are the few that come before or after it.
    try {
#ifdef CARDMILL_DRAWS_LABELS
        OffscreenPainting painting;
        return cardmill::runConvertProgram(argc, args.data(), std::cout, std::cerr, &painting);
#else
        return cardmill::runConvertProgram(argc, args.data(), std::cout, std::cerr);
#endif
    } catch (const std::bad_alloc&) {
        std::cerr << "cardmill-convert: Not enough memory to read the settings and options\n";
    } catch (const cardmill::FailureError& e) {
        std::cerr << "cardmill-convert: " << cardmill::failureText(e.failure(), cardmill::Language::English) << '\n';
    } catch (const std::exception& e) {
        std::cerr << "cardmill-convert: " << e.what() << '\n';
    }
    return cardmill::ExitAbandoned;
}
