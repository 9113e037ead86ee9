#pragma once

#include <filesystem>

#include "engine/LabelMaker.h"
#include "merge/Evaluator.h"
#include "merge/Zip.h"

namespace cardmill {

// Merges records into a WordprocessingML main document the way Word does: each copy of the body starts at the
// next unused record, a merge field takes the current record's value, a Next-record field moves on, and when
// the records run out no further copy starts (label places after the last record stay empty). Each copy ends
// with a next-page section break in its own last paragraph, keeping the main document's page setup; fields in
// headers and footers take the values of the record a copy starts with. The result carries no link to a data
// source.
//
// The merged body goes into the package as it is made, so a large merge never holds its copies in memory.
// `progress` is told of every record and copy (to let pending events run); when it asks to stop, the merge
// throws MergeStopped and writes nothing. Throws std::runtime_error naming the problem (the caller adds the
// file). Returns how many records went onto labels (see forEachCopy).
std::size_t mergeDocx(const ZipContents& main, const PassRecords& records, const std::filesystem::path& output,
                      const LabelMaker::Progress& progress, const MergeOptions& options = {});
// The same with the main document's body compiled already (see compileDocxMain): a main document merged in
// several passes is compiled once.
std::size_t mergeDocx(const ZipContents& main, const CompiledDocument& compiled, const PassRecords& records,
                      const std::filesystem::path& output, const LabelMaker::Progress& progress,
                      const MergeOptions& options = {});

// A .docx main document's body compiled for merging (and for what the user should know before).
CompiledDocument compileDocxMain(const ZipContents& main);

} // namespace cardmill
