#include "cli/ConvertProgram.h"

#include <cstdio>

#include "cli/ConvertOptions.h"
#include "cli/RouteCommands.h"
#include "cli/StockCommands.h"
#include "cli/Terminal.h"
#include "engine/ConversionRun.h"
#include "engine/Files.h"
#include "engine/Journal.h"
#include "engine/Termination.h"
#include "merge/BuiltInLabelMaker.h"
#include "stock/MainDocuments.h"
#include "stock/StockCatalogue.h"
#include "texts/DesignTexts.h"
#include "texts/Texts.h"

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

// Why a drawer could not be made, said; the exit code.
int sayDrawerProblem(std::exception_ptr problem, Language language, std::ostream& err)
{
    try {
        std::rethrow_exception(problem);
    } catch (const MainDocumentError& e) {
        err << "cardmill-convert: " << stockProblemText(e.problem(), language) << '\n';
    } catch (const DesignError& e) {
        err << "cardmill-convert: " << designErrorText(e, language) << '\n';
    } catch (const FailureError& e) {
        err << "cardmill-convert: " << failureText(e.failure(), language) << '\n';
        return ExitAbandoned;
    }
    return ExitPrecondition;
}

} // namespace

int runConvertProgram(int argc, const char* const* argv, std::ostream& out, std::ostream& err, SheetPainting* painting)
{
    ParsedCommandLine parsed = parseCommandLine(argc, argv, out, err);
    if (parsed.exitNow)
        return *parsed.exitNow;
    for (const RunMessage& note : parsed.notes)
        err << "Note: " << textFor(note.id, parsed.language, note.args) << '\n';
    if (parsed.stockTask.kind != StockTask::Kind::None) {
        StockCatalogue catalogue;
        catalogue.loadInstalled();
        return runStockTask(parsed.stockTask, catalogue, out, err);
    }
    if (parsed.listRoutes)
        return listRoutes(parsed.request, parsed.language, out, err);

    try {
        startWhereTheSheetStarted(parsed.request);
    } catch (const FailureError& e) {
        err << "cardmill-convert: " << failureText(e.failure(), parsed.language) << '\n';
        return ExitPrecondition;
    }

    // Labels drawn on a sheet: the stock found and checked before the run reads the log.
    std::unique_ptr<LabelDrawer> drawer, addressDrawer;
    const LabelSheet& sheet = parsed.request.sheet;
    if (sheet.chosen() && (parsed.request.merge || !parsed.calibrationPage.empty())) {
        if (!painting) {
            err << "cardmill-convert: " << textFor(TextId::NoLabelDrawing, parsed.language) << '\n';
            return ExitPrecondition;
        }
        StockCatalogue catalogue;
        if (sheet.customGrid.empty() || !parsed.request.routes.addressStock.empty())
            catalogue.loadInstalled();
        for (const std::string& w : catalogue.warnings())
            err << "Note: " << w << '\n';
        int exit = ExitDone;
        const std::optional<LabelStock> stock =
            findSheetStock(sheet.stock, sheet.customGrid, catalogue, parsed.language, err, exit);
        if (!stock)
            return exit;
        try {
            if (!parsed.calibrationPage.empty()) {
                painting->writeCalibrationPage(*stock, sheet, parsed.calibrationPage);
                out << "Calibration page: " << parsed.calibrationPage.string() << '\n';
                return ExitDone;
            }
            drawer = painting->drawer(parsed.request, *stock, textFor(WindowText::PrintJobName, parsed.language));
            // The direct cards' address labels: the address design on the labels' stock or one of their own.
            if (parsed.request.routed()) {
                const RunRequest addresses = parsed.request.forAddressLabels();
                std::optional<LabelStock> addressStock = stock;
                if (!parsed.request.routes.addressStock.empty()) {
                    addressStock = findSheetStock(addresses.sheet.stock, addresses.sheet.customGrid, catalogue,
                                                  parsed.language, err, exit);
                    if (!addressStock)
                        return exit;
                }
                addressDrawer =
                    painting->drawer(addresses, *addressStock, textFor(WindowText::PrintJobName, parsed.language));
            }
        } catch (const std::exception&) {
            return sayDrawerProblem(std::current_exception(), parsed.language, err);
        }
    } else if (!sheet.chosen() && parsed.request.merge && parsed.request.routed() &&
               !parsed.request.routes.addressStock.empty()) {
        // Labels merged into main documents: the direct cards' address labels drawn on the address stock named.
        if (!painting) {
            err << "cardmill-convert: " << textFor(TextId::NoLabelDrawing, parsed.language) << '\n';
            return ExitPrecondition;
        }
        StockCatalogue catalogue;
        catalogue.loadInstalled();
        const RunRequest addresses = parsed.request.forAddressLabels();
        int exit = ExitDone;
        const std::optional<LabelStock> addressStock =
            findSheetStock(addresses.sheet.stock, addresses.sheet.customGrid, catalogue, parsed.language, err, exit);
        if (!addressStock)
            return exit;
        try {
            addressDrawer =
                painting->drawer(addresses, *addressStock, textFor(WindowText::PrintJobName, parsed.language));
        } catch (const std::exception&) {
            return sayDrawerProblem(std::current_exception(), parsed.language, err);
        }
    }

    BuiltInLabelMaker maker;
    ConversionRun run(&maker, drawer.get(), addressDrawer.get());
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
