#include "engine/DataSourceFiles.h"

#include <cerrno>
#include <cstring>

#include "engine/IoError.h"
#include "engine/LineComposer.h"
#include "engine/LineReader.h"
#include "engine/RunHost.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

constexpr std::size_t kOutputBuffer = 1 << 16;

std::FILE* createFile(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw IoError(path, "Cannot create file: a folder has its name");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw IoError(path, std::string("Cannot create file (") + std::strerror(errno) + ")");
    return f;
}

void put(std::FILE* f, const std::filesystem::path& path, std::string_view line)
{
    if ((!line.empty() && std::fwrite(line.data(), 1, line.size(), f) != line.size()) ||
        std::fwrite("\r\n", 1, 2, f) != 2)
        throw IoError(path, std::string("Cannot write file (") + std::strerror(errno) + ")");
}

void closeChecked(std::FILE*& f, const std::filesystem::path& path)
{
    if (!f)
        return;
    const int result = std::fclose(f);
    f = nullptr;
    if (result != 0)
        throw IoError(path, std::string("Cannot write file (") + std::strerror(errno) + ")");
}

} // namespace

std::filesystem::path dataSourcePath(const std::filesystem::path& base, int size)
{
    std::filesystem::path p = base;
    p += size == 0 ? std::string("_swl.txt") : "_" + std::to_string(size) + ".txt";
    return p;
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
    for (int i = 0; i < 12; ++i) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            return false;
        line.remove_prefix(comma + 1);
    }
    line = text::trim(line);
    return !line.empty() && line[0] != ',';
}

std::string_view callColumn(std::string_view line)
{
    const std::size_t comma = line.find(',');
    return comma == std::string_view::npos ? line : line.substr(0, comma + 1);
}

DataSourceWriter::DataSourceWriter(RunHost& host, std::filesystem::path base, std::filesystem::path intermediate)
    : m_host(host)
    , m_base(std::move(base))
    , m_intermediate(std::move(intermediate))
{
    for (int k = 0; k <= 10; ++k)
        m_outputs[static_cast<std::size_t>(k)].path = dataSourcePath(m_base, k);
}

DataSourceWriter::~DataSourceWriter()
{
    for (Output& out : m_outputs)
        if (out.file)
            std::fclose(out.file);
}

int DataSourceWriter::labelSize() const
{
    // The box allows 1 to 10; anything else would put labels where no main document takes them.
    const int n = m_host.labelSize();
    return n < 1 ? 1 : (n > 10 ? 10 : n);
}

void DataSourceWriter::writeIntermediate(const SortedLines& lines)
{
    m_host.setProgressPosition(1);
    std::FILE* f = createFile(m_intermediate);
    std::setvbuf(f, nullptr, _IOFBF, kOutputBuffer);
    m_host.setStatus(TextId::StatusRewriting);
    m_host.processEvents();
    try {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            m_host.setProgressPosition(i);
            put(f, m_intermediate, lines[i]);
        }
        put(f, m_intermediate, kSentinelLine);
    } catch (...) {
        std::fclose(f);
        throw;
    }
    closeChecked(f, m_intermediate);
}

void DataSourceWriter::createOutputs()
{
    const std::string header = dataSourceHeader(m_host.userFields());
    for (Output& out : m_outputs) {
        out.file = createFile(out.path);
        std::setvbuf(out.file, nullptr, _IOFBF, kOutputBuffer);
        out.written = false;
        put(out.file, out.path, header);
    }
}

void DataSourceWriter::writeLine(Output& out, std::string_view line)
{
    put(out.file, out.path, line);
    out.written = true;
}

void DataSourceWriter::writeGroup(const std::vector<std::string>& group, std::size_t size)
{
    if (size == 0)
        return;
    Output& out = m_outputs[size];
    for (std::size_t i = 0; i < size; ++i)
        writeLine(out, group[i]);
}

void DataSourceWriter::closeAll()
{
    for (Output& out : m_outputs)
        closeChecked(out.file, out.path);
}

DataSourceWriter::Result DataSourceWriter::write(const SortedLines& lines)
{
    writeIntermediate(lines);
    createOutputs();

    LineReader reader(m_intermediate);
    // QSO lines of one station, at most the label size. The strings are reused from label to label, so that
    // grouping a long log does not allocate for every line.
    std::vector<std::string> group;
    std::size_t groupSize = 0;
    std::string current;
    std::size_t progress = 0;
    m_host.setProgressPosition(0);

    for (;;) {
        m_host.processEvents();
        if (m_host.stopRequested()) {
            reader.close();
            closeAll();
            return Result::Stopped;
        }
        current.clear();
        if (!reader.appendLine(current))
            break;
        m_host.setProgressPosition(++progress);
        m_host.processEvents();
        if (current == kSentinelLine && reader.atEnd())
            break;

        if (isSwlLine(current)) {
            // Each SWL report is a label of its own; it neither joins nor ends a station's QSO label.
            writeLine(m_outputs[0], current);
            continue;
        }
        const bool complete = groupSize > 0 &&
                              (callColumn(current) != callColumn(group[groupSize - 1]) ||
                               groupSize >= static_cast<std::size_t>(labelSize()) ||
                               text::findNoCase(current, "_SWL") != std::string::npos);
        if (complete) {
            writeGroup(group, groupSize);
            groupSize = 0;
        }
        if (groupSize == group.size())
            group.emplace_back();
        group[groupSize++].swap(current);
    }
    // A stop clicked while the last line was read is honoured here, before anything is finished.
    if (m_host.stopRequested()) {
        reader.close();
        closeAll();
        return Result::Stopped;
    }
    writeGroup(group, groupSize);
    reader.close();
    closeAll();

    for (Output& out : m_outputs) {
        std::error_code ec;
        if (!out.written)
            std::filesystem::remove(out.path, ec);
    }
    std::error_code ec;
    std::filesystem::remove(m_intermediate, ec);
    return Result::Written;
}

} // namespace cardmill
