#pragma once

#include <filesystem>

#include "merge/BuiltInLabelMaker.h"
#include "ui/RunController.h"
#include "ui/TFADIF1.h"
#include "ui/TForm1.h"

namespace cardmill {

// The desktop program put together: the built-in merge engine, the runs that work with it off the window's
// thread, the main window and the configuration dialog. The program's entry point and the window tests build
// it the same way.
struct DesktopProgram {
    DesktopProgram(const std::filesystem::path& settingsFile, const std::filesystem::path& dataFolder);

    BuiltInLabelMaker maker;
    RunController runs;
    TForm1 form;
    TFADIF1 configuration;
};

} // namespace cardmill
