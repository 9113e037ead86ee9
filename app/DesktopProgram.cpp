#include "app/DesktopProgram.h"

namespace cardmill {

DesktopProgram::DesktopProgram(const std::filesystem::path& settingsFile, const std::filesystem::path& dataFolder)
    : form(TForm1::Places{settingsFile, dataFolder})
    , configuration(settingsFile, &form)
    , maker([this] { form.processEvents(); },
            [this](const std::string& file, int seconds) { form.showConversionStatus(file, seconds); })
    , presenter(
          [this](const std::vector<std::filesystem::path>& documents, const std::vector<std::filesystem::path>&) {
              form.openDocuments(documents); // the label documents; their PDFs lie beside them
          },
          [this] { return configuration.pdfLabels(); }, [this] { form.processEvents(); },
          [this](const std::string& file, int seconds) { form.showConversionStatus(file, seconds); })
    , run(form, &maker, &presenter)
{
    form.setConfiguration(configuration);
    form.setRun(run);
}

} // namespace cardmill
