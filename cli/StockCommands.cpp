#include "cli/StockCommands.h"

#include <algorithm>
#include <system_error>

#include "engine/Text.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "stock/MainDocuments.h"
#include "texts/Texts.h"

namespace cardmill {

namespace {

std::string millimetres(double points)
{
    return text::fixed(points / kPointsPerMm, 1);
}

std::string padded(std::string s, std::size_t width)
{
    if (s.size() < width)
        s.append(width - s.size(), ' ');
    return s;
}

int listStocks(const StockTask& task, const StockCatalogue& catalogue, std::ostream& out, std::ostream& err)
{
    const std::vector<const LabelStock*> found = catalogue.search(task.search);
    std::size_t nameWidth = 0, paperWidth = 0;
    for (const LabelStock* s : found) {
        nameWidth = std::max(nameWidth, s->name().size());
        paperWidth =
            std::max(paperWidth, (s->paperName.empty() ? millimetres(s->paperWidth) + "x" + millimetres(s->paperHeight)
                                                       : s->paperName)
                                     .size());
    }
    for (const LabelStock* s : found) {
        const std::string paper =
            s->paperName.empty() ? millimetres(s->paperWidth) + "x" + millimetres(s->paperHeight) : s->paperName;
        out << padded(s->name(), nameWidth) << "  " << padded(paper, paperWidth) << "  " << padded(s->arrangement(), 9)
            << "  " << padded(millimetres(s->width) + " x " + millimetres(s->height) + " mm", 17) << "  "
            << s->description << '\n';
    }
    if (!catalogue.databaseFound())
        err << kStockDatabaseMissing << '\n';
    if (found.empty() && catalogue.databaseFound())
        err << "No rectangular label stock matches \"" << task.search << "\".\n";
    return ExitDone;
}

int makeMainDocuments(const StockTask& task, const StockCatalogue& catalogue, std::ostream& out, std::ostream& err)
{
    MainDocumentRequest request;
    int exit = ExitDone;
    const std::optional<LabelStock> stock = findSheetStock(task.stock, task.grid, catalogue, task.language, err, exit);
    if (!stock)
        return exit;
    request.stock = *stock;
    request.folder = task.folder;
    request.format = task.format == "odt" ? MainDocumentFormat::Odt : MainDocumentFormat::Docx;
    if (task.ownCall) {
        request.ownCall = *task.ownCall;
    } else {
        std::error_code ec;
        if (std::filesystem::is_regular_file(task.settings, ec))
            try {
                request.ownCall = readStockChoice(IniFile(task.settings)).ownCall;
            } catch (const std::exception&) {
                // The own call is a convenience; an unreadable settings file does not stop the documents.
            }
    }
    if (task.sizes.empty()) {
        // Every size that fits; say which do not.
        const std::vector<int> unfit = sizesThatDoNotFit(request.stock, allSizes());
        for (int size : allSizes())
            if (std::find(unfit.begin(), unfit.end(), size) == unfit.end())
                request.sizes.push_back(size);
        if (!unfit.empty() && !request.sizes.empty()) {
            err << "Note: the labels of " << request.stock.name() << " hold at most "
                << largestFittingSize(request.stock) << " QSOs at " << text::fixed(kMinFontSize, 0)
                << " pt or more; the other sizes are not made.\n";
        } else if (request.sizes.empty()) {
            request.sizes = {1}; // checkRequest says why not even this fits
        }
    } else {
        try {
            request.sizes = parseSizes(task.sizes);
        } catch (const std::invalid_argument& e) {
            err << "cardmill-convert: --sizes: " << e.what() << "\nRun with --help for more information.\n";
            return ExitUsage;
        }
    }
    try {
        checkRequest(request);
    } catch (const MainDocumentError& e) {
        err << "cardmill-convert: " << stockProblemText(e.problem(), task.language) << '\n';
        return ExitPrecondition;
    }
    if (!task.replace) {
        std::string there;
        std::error_code ec;
        for (const auto& p : mainDocumentPaths(request))
            if (std::filesystem::exists(std::filesystem::symlink_status(p, ec)))
                there += "\n  " + p.string();
        if (!there.empty()) {
            err << "cardmill-convert: these main documents are there already (--replace replaces them):" << there
                << '\n';
            return ExitPrecondition;
        }
    }
    try {
        for (const auto& p : cardmill::makeMainDocuments(request))
            out << "Main document: " << p.string() << '\n';
        for (const StockProblem& note : mainDocumentNotes(request))
            err << stockProblemText(note, task.language) << '\n';
    } catch (const MainDocumentError& e) {
        err << "cardmill-convert: " << stockProblemText(e.problem(), task.language) << '\n';
        return ExitAbandoned;
    }
    return ExitDone;
}

} // namespace

std::optional<LabelStock> findSheetStock(const std::string& stock, const std::string& grid,
                                         const StockCatalogue& catalogue, Language language, std::ostream& err,
                                         int& exit)
{
    const SheetStock found = stockForSheet(grid.empty() ? stock : grid, catalogue);
    if (found.stock)
        return found.stock;
    err << "cardmill-convert: " << (grid.empty() ? "" : "--custom-grid: ") << stockProblemText(*found.problem, language)
        << '\n';
    switch (found.problem->id) {
    case StockProblem::Id::StockDatabaseMissing: exit = ExitPrecondition; break;
    case StockProblem::Id::SheetUnknown:
        err << "cardmill-convert --list-stocks TEXT lists the stocks whose names hold TEXT.\n";
        exit = ExitUsage;
        break;
    default: err << "Run with --help for more information.\n"; exit = ExitUsage;
    }
    return std::nullopt;
}

int runStockTask(const StockTask& task, const StockCatalogue& catalogue, std::ostream& out, std::ostream& err)
{
    for (const std::string& w : catalogue.warnings())
        err << "Warning: " << w << '\n';
    if (task.kind == StockTask::Kind::List)
        return listStocks(task, catalogue, out, err);
    return makeMainDocuments(task, catalogue, out, err);
}

} // namespace cardmill
