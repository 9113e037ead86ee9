// cardmill-convert: the conversion run without a window.
#include <iostream>

#include "app/CliHost.h"
#include "app/ConvertOptions.h"
#include "settings/SettingsStore.h"
#include "engine/ConversionRun.h"
#include "engine/MergeDriver.h"

namespace {

// Stands in for the mail-merge engine, which this build does not have yet: the run checks its inputs and
// writes the data-source files, then ends with this error.
class MissingMergeEngine : public cardmill::MailMergeDriver {
public:
    void startMerge(const std::filesystem::path&) override
    {
        throw cardmill::MergeError("This build has no mail-merge engine; the data-source files are written. "
                                   "Use --no-merge to write them only.");
    }
    void runPass(const std::filesystem::path&, cardmill::PassSelector) override {}
    void makeVisible() override {}
};

} // namespace

int main(int argc, char** argv)
{
    using namespace cardmill;
    ParsedCommandLine parsed = parseCommandLine(argc, argv, std::cout, std::cerr);
    if (parsed.exitNow)
        return *parsed.exitNow;

    parsed.options.workFolder = executableDir();
    CliHost host(parsed.options);
    MissingMergeEngine missing;
    ConversionRun run(host, host.options().merge ? &missing : nullptr);
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
