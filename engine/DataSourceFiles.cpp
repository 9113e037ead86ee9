#include "engine/DataSourceFiles.h"

#include <algorithm>

#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/LineComposer.h"
#include "engine/OutputFile.h"
#include "engine/RunObserver.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

std::string withLineEnd(std::string_view line)
{
    std::string s;
    s.reserve(line.size() + 2);
    s.append(line).append("\r\n");
    return s;
}

} // namespace

std::filesystem::path dataSourcePath(const std::filesystem::path& base, int size)
{
    return files::withSuffix(base, size == 0 ? std::string("_swl.txt") : "_" + std::to_string(size) + ".txt");
}

std::string dataSourceHeader(const std::vector<std::string>& userFields)
{
    std::string header(kFixedColumns);
    for (const std::string& name : userFields)
        header.append(",").append(name);
    return header;
}

bool isSwlLine(std::string_view line)
{
    return !text::trim(lineColumn(line, LineColumn::CallWorked)).empty();
}

std::string_view callColumn(std::string_view line)
{
    const std::size_t comma = text::findChar(line, ',');
    return comma == std::string_view::npos ? line : line.substr(0, comma + 1);
}

DataSourceWriter::DataSourceWriter(std::filesystem::path base, const LineFormat& format, LabelSize size,
                                   RunObserver& observer, const StopToken& stop)
    : m_base(std::move(base))
    , m_format(format)
    , m_size(size)
    , m_observer(observer)
    , m_stop(stop)
{
    for (const PassSelector pass : allPasses())
        m_outputs[pass.index()].path = dataSourcePath(m_base, pass.size);
}

DataSourceWriter::~DataSourceWriter() = default; // files not committed are discarded

void DataSourceWriter::createOutputs()
{
    const std::vector<std::string>& fields = m_format.userFields;
    const std::string header = withLineEnd(dataSourceHeader(fields));
    m_columns.clear();
    for (std::string_view rest = kFixedColumns; !rest.empty();) {
        const std::size_t comma = rest.find(',');
        m_columns.emplace_back(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    m_columns.insert(m_columns.end(), fields.begin(), fields.end());
    for (Output& out : m_outputs) {
        out.file = std::make_unique<OutputFile>(out.path);
        out.written = false;
        out.file->write(header);
    }
}

void DataSourceWriter::writeLine(Output& out, std::string_view line)
{
    out.file->write(line);
    out.file->write("\r\n");
    out.written = true;
}

void DataSourceWriter::addToStream(int size, std::size_t first, std::size_t at, std::uint32_t line,
                                   const BureauSorting* bureau)
{
    std::uint64_t key = at;
    if (bureau)
        key |= (std::uint64_t{bureau->bundleOf[line]} << 33) | (std::uint64_t{size == 0} << 32);
    m_stream.push_back({key, {static_cast<std::uint8_t>(size), static_cast<std::uint32_t>(first)}});
}

std::vector<StreamLabel> DataSourceWriter::stream() const
{
    std::vector<std::pair<std::uint64_t, StreamLabel>> keyed = m_stream;
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<StreamLabel> labels;
    labels.reserve(keyed.size());
    for (const auto& [key, label] : keyed)
        labels.push_back(label);
    return labels;
}

void DataSourceWriter::writeGroup(const SortedLines& lines, const std::vector<std::uint32_t>& group, std::size_t at,
                                  GroupedLines& grouped, const BureauSorting* bureau)
{
    if (group.empty())
        return;
    if (bureau)
        ++m_labelsPerBundle[bureau->bundleOf[group.front()]];
    addToStream(static_cast<int>(group.size()), grouped[group.size()].size(), at, group.front(), bureau);
    Output& out = m_outputs[group.size()];
    for (const std::uint32_t line : group)
        writeLine(out, lines[line]);
    grouped[group.size()].insert(grouped[group.size()].end(), group.begin(), group.end());
}

void DataSourceWriter::discardAll()
{
    for (Output& out : m_outputs)
        out.file.reset();
}

DataSourceWriter::Result DataSourceWriter::write(const SortedLines& lines, GroupedLines& grouped,
                                                 const BureauSorting* bureau)
{
    for (auto& g : grouped)
        g.clear();
    m_labelsPerBundle.assign(bureau ? bureau->bundles.size() : 0, 0);
    m_stream.clear();
    m_observer.status(TextId::StatusRewriting);
    m_observer.progress(0, lines.size());
    createOutputs();

    // The QSO lines of one station, at most the label size.
    std::vector<std::uint32_t> group;
    std::size_t groupAt = 0; // where the group's first line stands in the order of writing
    const auto size = static_cast<std::size_t>(m_size.value());
    // A stop leaves the files of the last run as they were: this run's are still under their temporary names.
    auto stopped = [&] {
        if (!m_stop.stopRequested())
            return false;
        discardAll();
        return true;
    };

    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (stopped())
            return Result::Stopped;
        const auto i = bureau ? bureau->order[k] : static_cast<std::uint32_t>(k);
        const std::string_view current = lines[i];
        const LineKind kind = lines.kind(i);
        m_observer.progress(k + 1, lines.size());

        if (kind.swlReport) {
            // Each SWL report is a label of its own; it neither joins nor ends a station's QSO label.
            writeLine(m_outputs[0], current);
            addToStream(0, grouped[0].size(), k, i, bureau);
            grouped[0].push_back(i);
            if (bureau)
                ++m_labelsPerBundle[bureau->bundleOf[i]];
            continue;
        }
        const bool complete = !group.empty() && (callColumn(current) != callColumn(lines[group.back()]) ||
                                                 (bureau && bureau->routing[i] != bureau->routing[group.back()]) ||
                                                 group.size() >= size || kind.swlMarked);
        if (complete) {
            writeGroup(lines, group, groupAt, grouped, bureau);
            group.clear();
        }
        if (group.empty())
            groupAt = k;
        group.push_back(i);
    }
    // A stop clicked while the last line was read is honoured here, before anything is finished.
    if (stopped())
        return Result::Stopped;
    writeGroup(lines, group, groupAt, grouped, bureau);

    // The files with labels take their places; an older file of a size that got no label goes (a link itself,
    // never what it points to).
    for (Output& out : m_outputs) {
        if (out.written) {
            out.file->commit();
        } else {
            out.file.reset();
            removeOlderOutput(out.path);
        }
    }
    return Result::Written;
}

} // namespace cardmill
