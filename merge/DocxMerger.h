#pragma once

#include <filesystem>
#include <functional>

#include "merge/MergeTemplate.h"
#include "merge/Zip.h"

namespace cardmill {

// Merges records into a WordprocessingML main document the way Word does: each copy of the body starts at the
// next unused record, a merge field takes the current record's value, a Next-record field moves on, and when
// the records run out the copy's remaining fields are empty and no further copy starts. Copies are separated
// by next-page section breaks that keep the main document's page setup; fields in headers and footers take
// the values of the record a copy starts with. The result carries no link to a data source.
//
// The merged body is written to the package as it is made, so a large merge never holds all its copies in
// memory. `progress` is told of every record and copy (to let pending events run); when it asks to stop, the
// merge throws MergeStopped and writes nothing. Throws std::runtime_error naming the problem (the caller adds
// the file).
void mergeDocx(const ZipContents& main, const PassRecords& records, const std::filesystem::path& output,
               const LabelMaker::Progress& progress);

} // namespace cardmill
