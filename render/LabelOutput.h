#pragma once

#include <QPrinter>
#include <QPrinterInfo>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "render/SheetRenderer.h"

namespace cardmill {

// Runs after each page with the pages done and the pages in all; returning false ends the drawing.
using PageProgress = std::function<bool(std::size_t done, std::size_t pages)>;

// Writes the labels as a PDF of the stock's paper at `path`, fonts embedded, text selectable. It is written under
// a temporary name and put in place when complete, so a stop or an error leaves an older PDF there as it was.
// Returns the pages, or nullopt when `progress` asked to stop. Throws IoError.
std::optional<std::size_t> writeLabelsPdf(const SheetRenderer& renderer, const LabelSource& labels,
                                          const std::filesystem::path& path, const PageProgress& progress = {});

// The calibration page as a PDF at `path`. Throws IoError.
void writeCalibrationPdf(const SheetRenderer& renderer, const std::filesystem::path& path);

// The printers the system knows; the default one first.
std::vector<std::string> printerNames();

// The printer of that name (the system's default one when empty). Throws FailureError (PrinterMissing) when
// there is none.
QPrinterInfo requirePrinter(const std::string& printer);

// Makes a printer print whole pages of the stock's paper, as the labels need.
void preparePrinter(QPrinter& printer, const SheetRenderer& renderer);
// Prints pages `first` up to, not including, `last` (from 0) on a prepared printer. Returns the pages printed,
// or nullopt when stopped.
std::optional<std::size_t> printOn(QPrinter& printer, const SheetRenderer& renderer, const LabelSource& labels,
                                   std::size_t first, std::size_t last, const PageProgress& progress = {});

// Sends the labels to the printer `printer` (the system's default one when empty), page by page. Returns the
// pages, or nullopt when stopped. Throws FailureError (PrinterMissing) when there is no such printer.
std::optional<std::size_t> printLabels(const SheetRenderer& renderer, const LabelSource& labels,
                                       const std::string& printer, const PageProgress& progress = {});

} // namespace cardmill
