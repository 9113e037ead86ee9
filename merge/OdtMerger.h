#pragma once

#include <filesystem>
#include <functional>

#include "merge/MergeTemplate.h"
#include "merge/Zip.h"

namespace cardmill {

// Merges records into an OpenDocument text main document (.odt) with the rules of the .docx merge: each copy
// of the body starts at the next unused record, text:database-display takes the current record's value,
// text:database-next moves on (when its condition holds), copies are separated by page breaks that keep the
// page style, and fields in headers and footers take the values of the record a copy starts with. The result
// has no current-database settings. `progress` as for mergeDocx. Throws std::runtime_error.
void mergeOdt(const ZipContents& main, const PassRecords& records, const std::filesystem::path& output,
              const LabelMaker::Progress& progress);

} // namespace cardmill
