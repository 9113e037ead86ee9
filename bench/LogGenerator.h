#pragma once

#include <cstddef>
#include <filesystem>

namespace cardmill::bench {

// Writes a synthetic ADIF log of `qsos` records with a realistic mix: a header, upper- and lower-case tags,
// records spread over several lines, data-type indicators, names and QTHs in Windows-1250 and UTF-8, SWL
// marked records, user fields, and about one bad record in two hundred (no MODE, unreadable lengths).
// The same count always gives the same file. `readable`: no unreadable lengths, for other parsers to compare
// with (the bad records then only lack their MODE).
void writeSyntheticLog(const std::filesystem::path& path, std::size_t qsos, bool readable = false);

} // namespace cardmill::bench
