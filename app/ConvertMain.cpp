// cardmill-convert: the conversion run without a window.
#include <iostream>

#include "app/CliHost.h"
#include "app/ConvertOptions.h"
#include "settings/SettingsStore.h"
#include "engine/ConversionRun.h"
#include "merge/BuiltInLabelMaker.h"

int main(int argc, char** argv)
{
    using namespace cardmill;
    ParsedCommandLine parsed = parseCommandLine(argc, argv, std::cout, std::cerr);
    if (parsed.exitNow)
        return *parsed.exitNow;

    parsed.options.workFolder = executableDir();
    CliHost host(parsed.options);
    const ConversionStatus status = [&host](const std::string& file, int seconds) {
        host.setStatusText(textFor(TextId::StatusLibreOffice, host.language(), {file, std::to_string(seconds)}));
    };
    BuiltInLabelMaker maker({}, status);
    BuiltInPresenter presenter(
        [](const std::vector<std::filesystem::path>& documents, const std::vector<std::filesystem::path>& pdfs) {
            for (const std::filesystem::path& d : documents)
                std::cout << "Labels: " << d.string() << '\n';
            for (const std::filesystem::path& d : pdfs)
                std::cout << "Labels: " << d.string() << '\n';
        },
        [&host] { return host.options().pdf; }, {}, status);
    ConversionRun run(host, host.options().merge ? &maker : nullptr, &presenter);
    switch (run.run()) {
    case RunOutcome::Done:
        return ExitDone;
    case RunOutcome::Stopped:
        return ExitStopped;
    case RunOutcome::Precondition:
        return ExitPrecondition;
    case RunOutcome::NoData:
        return ExitNoData;
    case RunOutcome::Abandoned:
    case RunOutcome::Busy:
        break;
    }
    return ExitAbandoned;
}
