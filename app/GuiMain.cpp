// cardmill: the desktop program. The first argument names the profile to load, or a log to open.
#include <QApplication>
#include <QTimer>

#include <clocale>

#include "engine/Files.h"
#include "engine/ProgramFiles.h"
#include "engine/Termination.h"
#include "merge/ChildProcess.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "ui/DesktopProgram.h"
#include "ui/ErrorHandler.h"
#include "ui/UserInteraction.h"

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    using namespace cardmill;
#ifdef _WIN32
    // Qt's FreeType font engine on Windows: it tells the faces of a family apart in the labels' PDFs (the
    // system's engine names them alike, and a PDF then holds one of them, bold, for every face).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
#endif
    QApplication app(argc, argv);
    // SIGINT, SIGTERM and SIGHUP stop a run under way (it cleans up after itself), then end the program as
    // "Exit" does; a second signal ends it at once. Installed first: the windows may take a while to come up
    // (fonts are looked for on a first start).
    termination::install();
    termination::setEmergencyCleanup(killRunningChildNow);
    termination::setStoppable(true);
    // Qt takes the user's locale for everything; numbers in files are read and written with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(u"CARDMILL"_s);

    // An installed program keeps its settings in the user's config folder, made with the program's first start.
    const SettingsLocation settings = settingsLocation();
    if (!settings.portable) {
        std::error_code ec;
        std::filesystem::create_directories(settings.file.parent_path(), ec);
    }
    // A settings file the program cannot read (a folder, a device, far too large) is said before any window
    // reads it.
    try {
        IniFile(settings.file).sections();
    } catch (const SettingsReadError& e) {
        handleError(e);
        return 1;
    }

    // The built-in merge engine, the runs that work with it off the window's thread, and the windows in their
    // order (the main window, then the configuration dialog).
    DesktopProgram program(settings.file, dataFolder());
    TForm1& form = program.form;
    // The one error handler speaks the window's language.
    setErrorLanguage([&form] { return form.language(); });

    // The first argument names a profile, or a log to open (as the desktop entry passes one).
    // Qt's own list: the arguments in Unicode on every system.
    if (const QStringList arguments = QCoreApplication::arguments(); arguments.size() > 1) {
        const std::string first = arguments[1].toStdString();
        const std::filesystem::path asPath = cardmill::files::pathFromUtf8(first);
        std::error_code ec;
        if (std::filesystem::is_regular_file(asPath, ec))
            form.setCommandLineLog(std::filesystem::absolute(asPath, ec));
        else
            form.setCommandLineProfile(first);
    }
    form.show();

    // A signal stops a run under way (as "Stop" does) and ends the program once none is: the settings stored
    // without a question, and every event loop (a message box's too) left.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&form] {
        if (termination::received() && !form.running()) {
            form.saveSettingsQuietly();
            QCoreApplication::exit(0);
        }
    });
    watch.start(200);
    return QApplication::exec();
}
