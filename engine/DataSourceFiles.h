#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/BureauOrder.h"
#include "engine/LabelMerge.h"
#include "engine/OutputFile.h"
#include "engine/RunRequest.h"
#include "engine/SortedLines.h"

namespace cardmill {

class RunObserver;
class StopToken;

// The data-source file of a label size, "<base>_k.txt", or of SWL labels, "<base>_swl.txt" (size 0).
std::filesystem::path dataSourcePath(const std::filesystem::path& base, int size);

// The header line of every data-source file: the fixed columns, then "," and each user-defined field.
std::string dataSourceHeader(const std::vector<std::string>& userFields);

// True when a label line is an SWL line: after its first twelve comma-ended columns, the rest trimmed is not
// empty and does not begin with ",". That is a non-empty CALL_WORKED column.
bool isSwlLine(std::string_view line);

// The CALL column of a line with its comma (the whole line when it has no comma).
std::string_view callColumn(std::string_view line);

// A label of the run in the stream of labels that go onto one series of sheets: its size (0: an SWL label) and
// where its lines begin in that size's grouped lines.
struct StreamLabel {
    std::uint8_t size = 0;
    std::uint32_t first = 0;
    friend bool operator==(const StreamLabel&, const StreamLabel&) = default;
};

// Groups the sorted lines into labels and writes them into the eleven data-source files.
//
// Every file gets the header; a label of k QSOs is k consecutive lines of "<base>_k.txt", all with the same
// CALL column (compared exactly, letter case included). A run of one station's lines longer than the label
// size is cut into full labels in sorted order and a smaller remainder. QSO lines are grouped only with QSO
// lines; every SWL line is a label of its own in "<base>_swl.txt", whole. A QSO line that holds "_SWL" (in any
// letter case) starts a new label. Files that got no label are deleted at the end. The grouping is also handed
// on, as positions in the sorted lines, so that the merge needs not read the files back.
class DataSourceWriter {
public:
    enum class Result { Written, Stopped };

    DataSourceWriter(std::filesystem::path base, const LineFormat& format, LabelSize size, RunObserver& observer,
                     const StopToken& stop);
    ~DataSourceWriter();
    DataSourceWriter(const DataSourceWriter&) = delete;
    DataSourceWriter& operator=(const DataSourceWriter&) = delete;

    // Groups the lines and writes the files; `grouped` receives each file's lines. The progress counts the
    // lines; a stop request is looked at before every line. The files are written under temporary names and
    // put in place only when the grouping is complete, so a stop or an error leaves the files of the last run
    // as they were. Throws IoError when a file cannot be created or written.
    //
    // With `bureau`, the lines go in its order, lines of one call group only when their routing calls are the
    // same, and labelsPerBundle() counts each bundle's labels.
    Result write(const SortedLines& lines, GroupedLines& grouped, const BureauSorting* bureau = nullptr);

    // The labels of each bundle of the bureau sorting the files were written in, every size and SWL together.
    const std::vector<std::size_t>& labelsPerBundle() const { return m_labelsPerBundle; }

    // Every label of the files, all sizes and SWL together, in the order of each label's first line in the sorted
    // lines, or with a bureau sorting in its order, SWL labels after the QSO labels of their bundle.
    std::vector<StreamLabel> stream() const;

    // The column names of the header the files got.
    const std::vector<std::string>& columns() const { return m_columns; }

private:
    struct Output {
        std::filesystem::path path;
        std::unique_ptr<OutputFile> file; // under its temporary name until the grouping is complete
        bool written = false;
    };

    void createOutputs();
    void writeGroup(const SortedLines& lines, const std::vector<std::uint32_t>& group, std::size_t at,
                    GroupedLines& grouped, const BureauSorting* bureau);
    void addToStream(int size, std::size_t first, std::size_t at, std::uint32_t line, const BureauSorting* bureau);
    void writeLine(Output& out, std::string_view line);
    void discardAll();

    std::filesystem::path m_base;
    const LineFormat& m_format;
    LabelSize m_size;
    RunObserver& m_observer;
    const StopToken& m_stop;
    std::vector<std::string> m_columns;
    PassArray<Output> m_outputs; // by pass
    std::vector<std::size_t> m_labelsPerBundle;
    // The labels with the key they go in by: the position of their first line, bundle and kind first in bureau
    // order.
    std::vector<std::pair<std::uint64_t, StreamLabel>> m_stream;
};

} // namespace cardmill
