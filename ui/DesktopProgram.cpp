#include "ui/DesktopProgram.h"

namespace cardmill {

DesktopProgram::DesktopProgram(const std::filesystem::path& settingsFile, const std::filesystem::path& dataFolder)
    : runs(maker)
    , form(TForm1::Places{settingsFile, dataFolder}, runs)
    , configuration(settingsFile, &form)
{
    form.setConfiguration(configuration);
}

} // namespace cardmill
