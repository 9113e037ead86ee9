#include "cli/ConvertProgram.h"

#include <cstdio>

#include "cli/ConvertOptions.h"
#include "cli/StockCommands.h"
#include "cli/Terminal.h"
#include "engine/ConversionRun.h"
#include "engine/Files.h"
#include "engine/Termination.h"
#include "merge/BuiltInLabelMaker.h"

namespace cardmill {

namespace {

// While it lives, a first signal is a stop request that the run looks at; a second ends the program at once.
struct StoppableBySignals {
    StoppableBySignals()
    {
        termination::clear();
        termination::setStoppable(true);
    }
    ~StoppableBySignals() { termination::setStoppable(false); }
};

} // namespace

int runConvertProgram(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    ParsedCommandLine parsed = parseCommandLine(argc, argv, out, err);
    if (parsed.exitNow)
        return *parsed.exitNow;
    if (parsed.stockTask.kind != StockTask::Kind::None) {
        StockCatalogue catalogue;
        catalogue.loadInstalled();
        return runStockTask(parsed.stockTask, catalogue, out, err);
    }

    BuiltInLabelMaker maker;
    ConversionRun run(&maker);
    TerminalObserver observer(parsed.language, err, files::isTerminal(stderr));
    RunResult result;
    {
        const StoppableBySignals stoppable;
        result = run.run(parsed.request, observer, StopToken([] { return termination::received(); }));
    }
    observer.endBar();
    return reportEnding(result, parsed.language, out, err);
}

} // namespace cardmill
