// cardmill-convert: the conversion run without a window.
#include <iostream>

#include "app/CliHost.h"
#include "app/ConvertOptions.h"
#include "app/ExecutableDir.h"
#include "engine/ConversionRun.h"

int main(int argc, char** argv)
{
    using namespace cardmill;
    ParsedCommandLine parsed = parseCommandLine(argc, argv, std::cout, std::cerr);
    if (parsed.exitNow)
        return *parsed.exitNow;

    parsed.options.workFolder = executableDir();
    CliHost host(parsed.options);
    if (host.options().merge) {
        std::cerr << "cardmill-convert: this build has no mail-merge engine yet; use --no-merge\n";
        return ExitAbandoned;
    }
    ConversionRun run(host, nullptr);
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
