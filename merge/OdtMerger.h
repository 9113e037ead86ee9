#pragma once

#include <filesystem>
#include <functional>

#include "engine/LabelMaker.h"
#include "merge/Evaluator.h"
#include "merge/Zip.h"

namespace cardmill {

// Merges records into an OpenDocument text main document (.odt) with the rules of the .docx merge: each copy
// of the body starts at the next unused record, text:database-display takes the current record's value,
// text:database-next moves on (when its condition holds), conditional and hidden text and hidden paragraphs
// follow their conditions, frames are labels in the order they stand on the page and each copy's page-anchored
// frames stand on its own page, each copy after the first starts a new page, and fields in headers and footers
// take the values of the record a copy starts with. The result has no current-database settings. `progress`
// as for mergeDocx. Throws std::runtime_error. Returns how many records went onto labels (see forEachCopy).
std::size_t mergeOdt(const ZipContents& main, const PassRecords& records, const std::filesystem::path& output,
                     const LabelMaker::Progress& progress, const MergeOptions& options = {});
// The same with the main document's body compiled already (see compileOdtMain): a main document merged in
// several passes is compiled once.
std::size_t mergeOdt(const ZipContents& main, const CompiledDocument& compiled, const PassRecords& records,
                     const std::filesystem::path& output, const LabelMaker::Progress& progress,
                     const MergeOptions& options = {});

// An .odt main document's body compiled for merging (and for what the user should know before).
CompiledDocument compileOdtMain(const ZipContents& main);

} // namespace cardmill
