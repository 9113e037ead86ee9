#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "engine/LineReader.h"
#include "engine/RunSummary.h"
#include "engine/TextId.h"
#include "engine/Utf16.h"

namespace cardmill {

// A log, SWL file or main document must be a regular file (after following links): a folder, a device or a
// FIFO gets a message that says what it is. `missing` is the message for a file that is not there.
std::optional<RunMessage> checkInputFile(const std::filesystem::path& path, TextId missing);

// Every file a run of the log with this <base> writes or removes: the data-source files, the bad-records file,
// the label documents and their PDFs, the drawn labels, the marked log, the packing list and the table
// document beside the log.
std::vector<std::filesystem::path> runOutputs(const std::filesystem::path& base);

// The <base> of the files that mark an SWL file's reports as sent: its own <base>, or, when that is the log's
// too ("log.adi" with "log.swl" or "log.swl.adi"), "<base>_swl", so that the SWL file's marks never replace
// the log's.
std::filesystem::path swlMarksBase(const std::filesystem::path& swlBase, const std::filesystem::path& logBase);

// Two outputs that would be the same file, said with that file; nullopt when every output is a file of its own.
std::optional<RunMessage> outputTwice(const std::vector<std::filesystem::path>& outputs);

// The first input that is the same file (by identity, so also through a link or another name) as one of the
// outputs, with that output; nullopt when there is none.
std::optional<RunMessage> inputAmongOutputs(const std::vector<std::filesystem::path>& inputs,
                                            const std::vector<std::filesystem::path>& outputs);

// The byte order of a file that starts with a UTF-16 byte-order mark; none for any other file.
std::optional<utf16::ByteOrder> utf16Order(const std::filesystem::path& path);
// Writes a UTF-16 file (either byte order, after its mark) as UTF-8 to `target`, piece by piece (see
// engine/Utf16.h: written back, it gives the file it was). Returns what was read of the source. Throws IoError.
ReadSnapshot convertUtf16ToUtf8(const std::filesystem::path& source, const std::filesystem::path& target);

} // namespace cardmill
