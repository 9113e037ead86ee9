#include "engine/AdifReader.h"

#include "engine/Scan.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

constexpr std::string_view kEoh = "<EOH>";
constexpr std::string_view kEor = "<EOR>";

// Where to resume a marker search after new text was joined: the marker may straddle the old end.
std::size_t resumeFrom(std::size_t oldSize, std::string_view marker)
{
    return oldSize >= marker.size() - 1 ? oldSize - (marker.size() - 1) : 0;
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
    m_lineBegin = m_lines.offset();
    m_lineJoined = m_joined.size();
    if (!m_lines.appendLine(m_joined))
        return false;
    ++m_lineCounter;
    return true;
}

void AdifReader::skipHeader()
{
    m_joined.clear();
    m_pending.clear();
    std::size_t searched = 0;
    for (;;) {
        if (!readLine()) {
            // Neither marker: no header, and the text read is the start of a record that never ends.
            m_pending.swap(m_joined);
            m_pendingBegin = 0;
            return;
        }
        const std::size_t eor = scan::findMarker(m_joined, kEor, resumeFrom(searched, kEor));
        const std::size_t eoh = scan::findMarker(m_joined, kEoh, resumeFrom(searched, kEoh));
        searched = m_joined.size();
        if (eoh != std::string::npos && (eor == std::string::npos || eoh < eor)) {
            m_pending.assign(m_joined, eoh + kEoh.size());
            m_pendingBegin = m_lineBegin + (eoh + kEoh.size() - m_lineJoined); // "<EOH>" ends on the last line
            m_joined.clear();
            return;
        }
        if (eor != std::string::npos) {
            m_pending.swap(m_joined); // a record came first: the file has no header
            m_pendingBegin = 0;
            m_joined.clear();
            return;
        }
    }
}

std::string_view AdifReader::leftover() const
{
    return text::trim(m_joined);
}

bool AdifReader::nextRecord(AdifRecord& record)
{
    for (Result r; (r = next()) != Result::None;) {
        if (r == Result::Record) {
            record.assign(m_record, m_joined);
            return true;
        }
    }
    return false;
}

AdifReader::Result AdifReader::next()
{
    m_joined.clear();
    m_joined.swap(m_pending);
    m_record = {};
    const bool pending = !m_joined.empty();
    m_span.begin = m_pendingBegin;
    std::size_t searched = 0;
    for (;;) {
        if (scan::findMarker(m_joined, kEor, resumeFrom(searched, kEor)) != std::string::npos)
            break;
        searched = m_joined.size();
        if (!readLine())
            return Result::None;
        if (!pending && searched == 0 && m_lineJoined == 0)
            m_span.begin = m_lineBegin;
    }
    m_span.end = m_lines.offset();
    m_record = text::trim(m_joined);
    if (m_record.size() == kEor.size() && text::findNoCase(m_record, kEor) == 0)
        return Result::Empty;
    return Result::Record;
}

} // namespace cardmill
