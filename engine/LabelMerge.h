#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/LabelMaker.h"
#include "engine/RunSummary.h"
#include "engine/SortedLines.h"

namespace cardmill {

class RunObserver;
class StopToken;
struct RunRequest;

// The main document of a pass. A chosen path that ends in "_1" and ".doc", ".docx" or ".odt" (any letter case)
// gives the same path with "_k" or "_swl" in place of "_1" ("card_1.docx" -> "card_3.docx"); any other path
// loses its last six characters and gets "_k.doc" or "_swl.doc".
std::filesystem::path mainDocumentForPass(const std::filesystem::path& chosen, PassSelector selector);

// Where the label document of a pass goes, without extension: "<base>_labels_k" or "<base>_labels_swl".
std::filesystem::path labelDocumentStem(const std::filesystem::path& base, PassSelector selector);

// The table document that the "Do not delete temporary.doc file" option keeps: "temporary.doc" beside the log.
std::filesystem::path tableDocumentPath(const std::filesystem::path& base);

// The extensions a label document can have; older label documents of either kind are replaced.
inline constexpr std::array<const char*, 2> kLabelExtensions{".docx", ".odt"};

// The lines of each data-source file after grouping, as positions in the sorted line list: index 0 holds the
// SWL labels, 1 to 10 the label sizes.
using GroupedLines = PassArray<std::vector<std::uint32_t>>;

// The merge phase of a run: one pass for every label size that has labels, 1 to 10, then one for SWL labels.
//
// A pass shows what it merges into which document, has the label maker write the label document under a
// temporary name beside the final one, and replaces "<base>_labels_k.*" only when the merge has succeeded. A pass
// that fails is reported and the next one runs; a stop ends the current pass without a label document and
// runs no further pass. Only when every pass has succeeded are the label documents of sizes that this run did
// not make (and PDFs of earlier runs) removed, so a failed or stopped run leaves the last good run's documents
// as they were.
class MergePhase {
public:
    enum class Ending { Done, Failed, Stopped };
    struct Result {
        Ending ending = Ending::Done;
        std::vector<MadeLabels> made;
        std::vector<FailedPass> failed;
        std::vector<MergeWarning> warnings;
    };

    // `request` and `stop` must live as long as the phase.
    MergePhase(const RunRequest& request, RunObserver& observer, const StopToken& stop, LabelMaker& maker);

    Result run(const std::filesystem::path& base, const std::vector<std::string>& columns, const SortedLines& lines,
               const GroupedLines& grouped);

private:
    enum class PassEnding { Made, Failed, Stopped };
    PassEnding runPass(const std::filesystem::path& base, PassSelector selector, const PassRecords& records,
                       Result& result);
    void removeOlderLabels(const std::filesystem::path& base, const Result& result);

    const RunRequest& m_request;
    RunObserver& m_observer;
    const StopToken& m_stop;
    LabelMaker& m_maker;
};

} // namespace cardmill
