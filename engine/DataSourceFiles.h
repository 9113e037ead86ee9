#pragma once

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/SortedLines.h"

namespace cardmill {

class RunHost;

// The intermediate file's last line. It never reaches a data-source file.
inline constexpr std::string_view kSentinelLine = "QX9KVB,end of file";
inline constexpr std::string_view kIntermediateFileName = "temporary.wrk";

// The data-source file of a label size, "<base>_k.txt", or of SWL labels, "<base>_swl.txt" (size 0).
std::filesystem::path dataSourcePath(const std::filesystem::path& base, int size);

// The header line of every data-source file: the fixed columns, then "," and each user-defined field.
std::string dataSourceHeader(const std::vector<std::string>& userFields);

// True when a label line is an SWL line: after its first twelve comma-ended columns, the rest trimmed is not
// empty and does not begin with ",". That is a non-empty CALL_WORKED column.
bool isSwlLine(std::string_view line);

// The CALL column of a line with its comma (the whole line when it has no comma).
std::string_view callColumn(std::string_view line);

// Writes the sorted lines through the intermediate file into the eleven data-source files.
//
// Every file gets the header; a label of k QSOs is k consecutive lines of "<base>_k.txt", all with the same
// CALL column (compared exactly, letter case included). A run of one station's lines longer than the label
// size is cut into full labels in sorted order and a smaller remainder. QSO lines are grouped only with QSO
// lines; every SWL line is a label of its own in "<base>_swl.txt", whole. A QSO line that holds "_SWL" (in any
// letter case) starts a new label. Files that got no label and the intermediate file are deleted at the end.
class DataSourceWriter {
public:
    enum class Result { Written, Stopped };

    DataSourceWriter(RunHost& host, std::filesystem::path base, std::filesystem::path intermediate);
    ~DataSourceWriter();
    DataSourceWriter(const DataSourceWriter&) = delete;
    DataSourceWriter& operator=(const DataSourceWriter&) = delete;

    // Writes the intermediate file (moving the progress bar to each line's index), then groups. A stop
    // request leaves the intermediate file and all eleven data-source files on disk, each with its header and
    // the labels written so far. Throws IoError when a file cannot be created or written.
    Result write(const SortedLines& lines);

private:
    struct Output {
        std::filesystem::path path;
        std::FILE* file = nullptr;
        bool written = false;
    };

    void writeIntermediate(const SortedLines& lines);
    void createOutputs();
    void writeGroup(const std::vector<std::string>& group, std::size_t size);
    void writeLine(Output& out, std::string_view line);
    void closeAll();
    int labelSize() const;

    RunHost& m_host;
    std::filesystem::path m_base;
    std::filesystem::path m_intermediate;
    std::array<Output, 11> m_outputs; // index 0: SWL, 1 to 10: label sizes
};

} // namespace cardmill
