#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "cli/ConvertOptions.h"
#include "stock/StockCatalogue.h"

namespace cardmill {

// The stock of --stock NAME (from `catalogue`) or --custom-grid GRID; nullopt with the reason on `err` and the
// exit code in `exit` when there is none.
std::optional<LabelStock> findSheetStock(const std::string& stock, const std::string& grid,
                                         const StockCatalogue& catalogue, Language language, std::ostream& err,
                                         int& exit);

// Carries out --list-stocks or --make-main-docs with the stocks of `catalogue`; returns the exit code.
int runStockTask(const StockTask& task, const StockCatalogue& catalogue, std::ostream& out, std::ostream& err);

} // namespace cardmill
