#include "engine/AdifReader.h"

#include "engine/Scan.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

constexpr std::string_view kEoh = "<EOH>";
constexpr std::string_view kEor = "<EOR>";

// Where to resume a marker search after new text was joined: the marker may straddle the old end.
std::size_t resumeFrom(std::size_t oldSize, std::size_t floor, std::string_view marker)
{
    return oldSize >= floor + marker.size() - 1 ? oldSize - (marker.size() - 1) : floor;
}

} // namespace

AdifReader::AdifReader(const std::filesystem::path& path)
    : m_lines(path)
{
}

bool AdifReader::readLine()
{
    if (m_lines.atEnd())
        return false;
    const std::uint64_t begin = m_lines.offset();
    const std::size_t joined = m_joined.size();
    if (!m_lines.appendLine(m_joined))
        return false;
    // The line end between this line and the text before it, as many bytes as the file had.
    if (joined > 0 && joined <= UINT32_MAX && begin > m_lineEnd)
        m_joins.push_back({static_cast<std::uint32_t>(joined),
                           static_cast<std::uint8_t>(std::min<std::uint64_t>(begin - m_lineEnd, 2))});
    m_lineBegin = begin;
    m_lineJoined = joined;
    m_lineEnd = begin + (m_joined.size() - joined);
    ++m_lineCounter;
    return true;
}

void AdifReader::dropConsumed()
{
    if (m_start == 0)
        return;
    m_joined.erase(0, m_start);
    m_lineJoined -= std::min(m_lineJoined, m_start);
    std::erase_if(m_joins, [&](const LineJoin& j) { return j.at <= m_start; });
    for (LineJoin& j : m_joins)
        j.at -= static_cast<std::uint32_t>(m_start);
    m_start = 0;
}

void AdifReader::skipHeader()
{
    m_joined.clear();
    m_joins.clear();
    m_start = 0;
    std::size_t searched = 0;
    for (;;) {
        if (!readLine()) {
            // Neither marker: no header, and the text read is the start of a record that never ends.
            m_pendingBegin = 0;
            return;
        }
        const std::size_t eor = scan::findMarker(m_joined, kEor, resumeFrom(searched, 0, kEor));
        const std::size_t eoh = scan::findMarker(m_joined, kEoh, resumeFrom(searched, 0, kEoh));
        searched = m_joined.size();
        if (eoh != std::string::npos && (eor == std::string::npos || eoh < eor)) {
            // "<EOH>" ends on the last line; what follows it there begins the first record.
            m_start = eoh + kEoh.size();
            m_pendingBegin = m_lineBegin + (m_start - m_lineJoined);
            if (text::trim(std::string_view(m_joined).substr(m_start)).empty())
                m_start = m_joined.size();
            return;
        }
        if (eor != std::string::npos) {
            m_pendingBegin = 0; // a record came first: the file has no header
            return;
        }
    }
}

std::string_view AdifReader::leftover() const
{
    return text::trim(std::string_view(m_joined).substr(std::min(m_leftoverStart, m_joined.size())));
}

bool AdifReader::nextRecord(AdifRecord& record)
{
    for (Result r; (r = next()) != Result::None;) {
        if (r == Result::Record) {
            record.assign(m_record, rawRecord(), recordJoins());
            return true;
        }
    }
    return false;
}

AdifReader::Result AdifReader::next()
{
    m_record = {};
    m_recordSize = 0;
    m_leftoverStart = std::string::npos;
    if (m_start >= m_joined.size()) {
        m_joined.clear();
        m_joins.clear();
        m_start = 0;
    }
    // The text from m_start on is this record's beginning: the rest of a line after "<EOH>" or after the
    // record before it. It is searched first, then lines are joined to it until a marker turns up.
    m_span.begin = m_pendingBegin;
    m_afterRecord = m_pendingAfterRecord && m_start < m_joined.size();
    std::size_t eor = std::string::npos;
    std::size_t searched = m_start;
    for (;;) {
        eor = scan::findMarker(m_joined, kEor, resumeFrom(searched, m_start, kEor));
        if (eor != std::string::npos)
            break;
        dropConsumed();
        searched = m_joined.size();
        if (!readLine()) {
            m_leftoverStart = m_start;
            m_start = m_joined.size();
            return Result::None;
        }
        if (m_lineJoined == 0)
            m_span.begin = m_lineBegin;
    }
    // The record ends at its "<EOR>", whose end lies on the last line joined. Blanks alone after it stay with
    // the record, as its raw text; anything else begins the next record.
    const std::size_t end = eor + kEor.size();
    m_recordStart = m_start;
    if (text::trim(std::string_view(m_joined).substr(end)).empty()) {
        m_span.end = m_lines.offset();
        m_recordSize = m_joined.size() - m_start;
        m_start = m_joined.size();
        m_pendingAfterRecord = false;
    } else {
        m_span.end = m_lineBegin + (end - m_lineJoined);
        m_recordSize = end - m_start;
        m_start = end;
        m_pendingBegin = m_span.end;
        m_pendingAfterRecord = true;
    }
    m_record = text::trim(rawRecord());
    m_recordJoins.clear();
    const std::size_t begin = static_cast<std::size_t>(m_record.data() - m_joined.data());
    for (const LineJoin& j : m_joins)
        if (j.at > begin && j.at < begin + m_record.size())
            m_recordJoins.push_back({static_cast<std::uint32_t>(j.at - begin), j.removed});
    if (m_record.size() == kEor.size() && text::findNoCase(m_record, kEor) == 0)
        return Result::Empty;
    return Result::Record;
}

} // namespace cardmill
