#pragma once

#include <filesystem>

#include "engine/ConversionRun.h"
#include "merge/BuiltInLabelMaker.h"
#include "ui/TFADIF1.h"
#include "ui/TForm1.h"

namespace cardmill {

// The desktop program put together: the main window, the configuration dialog, the built-in merge engine and
// the conversion run with the main window as its host. The program's entry point and the window tests build
// it the same way.
struct DesktopProgram {
    DesktopProgram(const std::filesystem::path& settingsFile, const std::filesystem::path& dataFolder);

    TForm1 form;
    TFADIF1 configuration;
    BuiltInLabelMaker maker;
    BuiltInPresenter presenter;
    ConversionRun run;
};

} // namespace cardmill
