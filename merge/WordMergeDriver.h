#pragma once

#include <filesystem>

#include "engine/MergeDriver.h"
#include "merge/WordProcessor.h"

namespace cardmill {

class RunHost;

// The table document of every pass, written beside the executable.
inline constexpr std::string_view kTableDocumentName = "temporary.doc";

// The main document of a pass. A chosen path that ends in "_1" and ".doc", ".docx" or ".odt" (any letter case)
// gives the same path with "_k" or "_swl" in place of "_1" ("card_1.docx" -> "card_3.docx"); any other path
// loses its last six characters and gets "_k.doc" or "_swl.doc".
std::filesystem::path mainDocumentForPass(const std::filesystem::path& chosen, PassSelector selector);

// Where the merged labels of a pass go, without extension: "<base>_labels_k" or "<base>_labels_swl".
std::filesystem::path mergedDocumentStem(const std::filesystem::path& base, PassSelector selector);

// The mail-merge driver: for each label size whose data-source file exists, and for SWL labels, it has the word
// processor turn the file into a table document ("temporary.doc"), opens the main document of that size,
// merges the table into it and closes it. The merged documents stay with the processor for the user.
//
// A pass sends the file line by line (the progress bar follows the lines), shows a status text for every phase
// and lets pending events run after each, and ends a pass early when it finds the stop flag set before a line.
// Every processor error leaves the pass and the run; the application connection is disconnected however a
// pass ends.
class WordMergeDriver : public MailMergeDriver {
public:
    // `tableFolder` is where "temporary.doc" goes (beside the executable in the product).
    WordMergeDriver(WordProcessor& processor, RunHost& host, std::filesystem::path tableFolder);

    // Removes the merged label documents an earlier run of the same log left ("<base>_labels_*"), so that the
    // folder never mixes old and new labels.
    void startMerge(const std::filesystem::path& base) override;
    void runPass(const std::filesystem::path& base, PassSelector selector) override;
    void makeVisible() override;

    std::filesystem::path tableDocumentPath() const { return m_tableFolder / std::string(kTableDocumentName); }

private:
    void stopPass();

    WordProcessor& m_processor;
    RunHost& m_host;
    std::filesystem::path m_tableFolder;
};

} // namespace cardmill
