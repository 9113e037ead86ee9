// cardmill-convert: the conversion run without a window.
#include <iostream>
#include <new>

#include "app/CliHost.h"
#include "app/ConvertOptions.h"
#include "app/StockCommands.h"
#include "engine/ConversionRun.h"
#include "engine/Failure.h"
#include "engine/Termination.h"
#include "merge/BuiltInLabelMaker.h"
#include "merge/ChildProcess.h"
#include "ui/Texts.h"

namespace {

using namespace cardmill;

int convert(int argc, char** argv)
{
    ParsedCommandLine parsed = parseCommandLine(argc, argv, std::cout, std::cerr);
    if (parsed.exitNow)
        return *parsed.exitNow;
    if (parsed.stockTask.kind != StockTask::Kind::None) {
        StockCatalogue catalogue;
        catalogue.loadInstalled();
        return runStockTask(parsed.stockTask, catalogue, std::cout, std::cerr);
    }

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
    case RunOutcome::Done: return ExitDone;
    case RunOutcome::Stopped: return ExitStopped;
    case RunOutcome::Precondition: return ExitPrecondition;
    case RunOutcome::NoData: return ExitNoData;
    case RunOutcome::Locked: return ExitLocked;
    case RunOutcome::Abandoned:
    case RunOutcome::Busy: break;
    }
    return ExitAbandoned;
}

} // namespace

int main(int argc, char** argv)
{
    cardmill::termination::install();
    cardmill::termination::setEmergencyCleanup(cardmill::killRunningChildNow);
    // The run reports its own failures; these are the few that come before or after it.
    try {
        return convert(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "cardmill-convert: Not enough memory to read the settings and options\n";
    } catch (const cardmill::FailureError& e) {
        std::cerr << "cardmill-convert: " << cardmill::failureText(e.failure(), cardmill::Language::English) << '\n';
    } catch (const std::exception& e) {
        std::cerr << "cardmill-convert: " << e.what() << '\n';
    }
    return cardmill::ExitAbandoned;
}
