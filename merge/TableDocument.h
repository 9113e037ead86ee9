#pragma once

#include <filesystem>

#include "engine/LabelMaker.h"

namespace cardmill {

// The table document of a pass ("temporary.doc"): a WordprocessingML package holding one bordered grid table,
// the first row the column names, the other rows the records (one value per cell). Word and LibreOffice
// recognise it by its content, whatever its extension. Written as it is made, so a table of any size needs no
// more memory than one row. Throws std::runtime_error naming the file.
void writeTableDocument(const std::filesystem::path& path, const PassRecords& records);

} // namespace cardmill
