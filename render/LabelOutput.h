#pragma once

#include <QPrinter>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "render/SheetRenderer.h"

namespace cardmill {

// Runs after each page with the pages done and the pages in all; returning false ends the drawing (the drawer's
// progress, which a run's stop token answers).
using PageProgress = LabelDrawer::Progress;

// The pages of a series of sheets that go out, from `first` up to, not including, `last` (from 0).
struct PageRange {
    std::size_t first = 0;
    std::size_t last = std::numeric_limits<std::size_t>::max();
};

// Writes the labels as a PDF of the stock's paper at `path`, fonts embedded, text selectable. It is written under
// a temporary name and put in place when complete, so a stop or an error leaves an older PDF there as it was.
// Text that had to be cut to fit is counted in `cuts`. Returns the pages, or nullopt when `progress` asked to
// stop. Throws IoError naming `path`.
std::optional<std::size_t> writeLabelsPdf(const SheetRenderer& renderer, const LabelSource& labels,
                                          const std::filesystem::path& path, const PageProgress& progress = {},
                                          TextCuts* cuts = nullptr, PageRange range = {});

// The calibration page as a PDF at `path`. Throws IoError.
void writeCalibrationPdf(const SheetRenderer& renderer, const std::filesystem::path& path);

// The printers the system knows; the default one first.
std::vector<std::string> printerNames();

// Makes a printer print whole pages of the stock's paper, as the labels need, as a job of that name.
void preparePrinter(QPrinter& printer, const SheetRenderer& renderer, const std::string& jobName = "CARDMILL labels");

// Prints the pages of `range` as one job, on the printer's queue, or as a PDF at its output file when it prints
// to a file. Nothing is handed over before every page is drawn: a stop leaves nothing in any queue and no file.
// `drawn`, when given, is these very pages as a PDF already written, which a print system that takes PDFs is
// handed instead of drawing them again. Returns the pages handed over, or nullopt when stopped. Throws
// FailureError: PrinterMissing, PrinterRefusing, PrintRefused, or IoError.
std::optional<std::size_t> printOn(QPrinter& printer, const SheetRenderer& renderer, const LabelSource& labels,
                                   PageRange range, const PageProgress& progress = {},
                                   const std::filesystem::path& drawn = {});

// The calibration page on a printer, as one job. Throws as printOn.
void printCalibrationPage(QPrinter& printer, const SheetRenderer& renderer);

} // namespace cardmill
