#include "engine/AdifReader.h"

#include <bit>
#include <cstdint>

#include "engine/ByteBlock.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

constexpr std::string_view kEoh = "<EOH>";
constexpr std::string_view kEor = "<EOR>";

// The first "<EOR>" or "<EOH>" (`marker`, in capitals) in `text` from `from` on, in any letter case. Sixteen
// start positions at a time are tested for the "<" and the ">" four bytes later; the letters between are
// compared only there.
std::size_t findMarker(std::string_view text, std::string_view marker, std::size_t from)
{
    const std::size_t size = text.size();
    if (size < 5 || from > size - 5)
        return std::string_view::npos;
    const char* base = text.data();
    const std::size_t last = size - 5; // the last possible start
    const auto letters = [&](std::size_t at) {
        return text::upper(base[at + 1]) == marker[1] && text::upper(base[at + 2]) == marker[2] &&
               text::upper(base[at + 3]) == marker[3];
    };
    const auto firstIn = [&](std::size_t at, std::uint32_t m) {
        for (; m; m &= m - 1) {
            const std::size_t hit = at + static_cast<std::size_t>(std::countr_zero(m));
            if (letters(hit))
                return hit;
        }
        return std::string_view::npos;
    };
    const auto candidates = [&](std::size_t at) {
        return text::ByteBlock(base + at).equal('<') & text::ByteBlock(base + at + 4).equal('>');
    };
    std::size_t i = from;
    for (; i + text::ByteBlock::kSize <= last + 1; i += text::ByteBlock::kSize)
        if (const std::size_t hit = firstIn(i, candidates(i)); hit != std::string_view::npos)
            return hit;
    if (i > last)
        return std::string_view::npos;
    if (last + 1 >= text::ByteBlock::kSize) {
        // The last block laid over the end, its positions already tested masked off.
        const std::size_t at = last + 1 - text::ByteBlock::kSize;
        return firstIn(at, candidates(at) & ~((1u << (i - at)) - 1));
    }
    for (; i <= last; ++i)
        if (base[i] == '<' && base[i + 4] == '>' && letters(i))
            return i;
    return std::string_view::npos;
}

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
        const std::size_t eor = findMarker(m_joined, kEor, resumeFrom(searched, kEor));
        const std::size_t eoh = findMarker(m_joined, kEoh, resumeFrom(searched, kEoh));
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

AdifReader::Result AdifReader::next()
{
    m_joined.clear();
    m_joined.swap(m_pending);
    m_record = {};
    const bool pending = !m_joined.empty();
    m_span.begin = m_pendingBegin;
    std::size_t searched = 0;
    for (;;) {
        if (findMarker(m_joined, kEor, resumeFrom(searched, kEor)) != std::string::npos)
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
