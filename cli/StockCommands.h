#pragma once

#include <ostream>

#include "cli/ConvertOptions.h"
#include "stock/StockCatalogue.h"

namespace cardmill {

// Carries out --list-stocks or --make-main-docs with the stocks of `catalogue`; returns the exit code.
int runStockTask(const StockTask& task, const StockCatalogue& catalogue, std::ostream& out, std::ostream& err);

} // namespace cardmill
