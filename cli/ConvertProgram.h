#pragma once

#include <filesystem>
#include <memory>
#include <ostream>

#include "engine/LabelDrawer.h"
#include "engine/RunRequest.h"
#include "stock/LabelStock.h"

namespace cardmill {

// What draws labels on a stock's sheets. The converter built with a painter hands one in; without it, runs
// that draw their labels are refused with a clear message.
class SheetPainting {
public:
    virtual ~SheetPainting() = default;
    // The drawer of the request's labels on `stock`, a print job named `jobName`. Throws MainDocumentError when
    // the stock cannot carry them.
    virtual std::unique_ptr<LabelDrawer> drawer(const RunRequest& request, const LabelStock& stock,
                                                const std::string& jobName) = 0;
    // The stock's calibration page with the sheet's calibration, as a PDF. Throws IoError or MainDocumentError.
    virtual void writeCalibrationPage(const LabelStock& stock, const LabelSheet& sheet,
                                      const std::filesystem::path& pdf) = 0;
};

// cardmill-convert: the command line read, then a conversion run or a label-stock task; progress on `err`,
// the outcome on `out` and `err`. Ctrl-C, SIGTERM and SIGHUP are the "Stop" button during a run. Returns the
// exit code. Labels on a label sheet are drawn by `painting`.
int runConvertProgram(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                      SheetPainting* painting = nullptr);

} // namespace cardmill
