// cardmill: the desktop program. The first argument names the profile to load.
#include <QApplication>
#include <QTimer>

#include <clocale>

#include "engine/ProgramFiles.h"
#include "engine/Termination.h"
#include "merge/ChildProcess.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "ui/ErrorHandler.h"
#include "ui/TFADIF1.h"
#include "ui/TForm1.h"
#include "ui/TFSetup.h"
#include "ui/UserInteraction.h"

int main(int argc, char** argv)
{
    using namespace cardmill;
    QApplication app(argc, argv);
    // SIGINT, SIGTERM and SIGHUP stop a run under way (it cleans up after itself), then close the window as
    // "Exit" does; a second signal ends the program at once. Installed first: the windows may take a while to
    // come up (fonts are looked for on a first start).
    termination::install();
    termination::setEmergencyCleanup(killRunningChildNow);
    termination::setStoppable(true);
    // Qt takes the user's locale for everything; numbers in files are read and written with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("CARDMILL");
    QApplication::setApplicationDisplayName("CARDMILL");

    // The general error handler: an unexpected error in a command is shown, and the program goes on.
    setErrorHandler([](const std::exception& e) {
        userInteraction().message(QApplication::activeWindow(), "Error", e.what(), UserInteraction::Icon::Error);
    });

    // A settings file the program cannot read (a folder, a device, far too large) is said before any window
    // reads it.
    try {
        IniFile(defaultSettingsPath()).sections();
    } catch (const SettingsReadError& e) {
        userInteraction().message(nullptr, "Error", e.what(), UserInteraction::Icon::Error);
        return 1;
    }

    // The windows in their order: the main window, the profile setup dialog, the configuration dialog.
    TForm1 form(TForm1::Places{defaultSettingsPath(), dataFolder()});
    TFSetup setup(form);
    form.setSetupDialog(setup);
    TFADIF1 configuration(defaultSettingsPath(), &form);
    form.setConfiguration(configuration);
    // The first argument names a profile, or a log to open (as the desktop entry passes one).
    if (argc > 1) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(argv[1], ec))
            form.setCommandLineLog(std::filesystem::absolute(argv[1], ec));
        else
            form.setCommandLineProfile(argv[1]);
    }
    form.show();

    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&form] {
        if (termination::received() && !form.running())
            form.close();
    });
    watch.start(200);
    return QApplication::exec();
}
