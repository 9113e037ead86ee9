#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "engine/LabelDrawer.h"
#include "engine/RunRequest.h"
#include "stock/LabelStock.h"

namespace cardmill {

// A run of the main window as it starts, and what the window needs of it again when it has ended: the request,
// the stock and drawer of labels drawn on a sheet, and for a preview before the run the private folder of its
// copies of the log and SWL file (removed with this) and where "Save PDF..." proposes to save. The
// RunController keeps it while the run works and hands it back with the result.
struct RunStart {
    RunStart();
    ~RunStart();
    RunStart(const RunStart&) = delete;
    RunStart& operator=(const RunStart&) = delete;

    bool preview() const { return !scratch.empty(); }

    RunRequest request;
    std::optional<LabelStock> stock;
    std::unique_ptr<LabelDrawer> drawer;
    std::unique_ptr<LabelDrawer> addressDrawer; // each QSO on its route: the direct cards' address labels
    std::optional<LabelStock> addressStock;     // ... and their stock
    std::filesystem::path scratch;
    std::filesystem::path previewPdf;
};

} // namespace cardmill
