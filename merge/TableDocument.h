#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "merge/MergeTemplate.h"

namespace cardmill {

// The table document of a pass ("temporary.doc"): a WordprocessingML package holding one bordered grid table,
// the first row the field names, the other rows the records. Word and LibreOffice recognise it by its content,
// whatever its extension.
void writeTableDocument(const std::filesystem::path& path, const std::vector<std::vector<std::string>>& rows);

// Reads a table document back as merge records. Throws std::runtime_error naming the file.
MergeRecords readTableDocument(const std::filesystem::path& path);

} // namespace cardmill
