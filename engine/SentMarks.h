#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/AdifReader.h"
#include "engine/AdifTags.h"
#include "engine/LineReader.h"
#include "engine/Utf16.h"

namespace cardmill {

// "Mark QSOs as sent": QSL_SENT set to Y, QSLSDATE to the day of the run and, when chosen, QSL_SENT_VIA to
// Bureau, Direct or Electronic.
struct SentMarking {
    bool on = false;
    char via = 0; // 'B', 'D', 'E', or 0 for not set (an existing QSL_SENT_VIA then stays)
    friend bool operator==(const SentMarking&, const SentMarking&) = default;
};

// The record with the marking applied, every other byte as it was: the first QSL_SENT, QSLSDATE or
// QSL_SENT_VIA field is replaced where it stands (its tag's spelling and type kept, its length in bytes), any
// later one of the same name goes, and a field the record lacks goes just before its "<EOR>" after a blank.
// `raw` starts at the record's first byte; the record's fields are walked as loggers walk them (see
// engine/AdifTags), and what follows its "<EOR>" is copied as it is.
std::string markedRecord(std::string_view raw, const SentMarking& marking, std::string_view date);

// The same record as one line for a file of its own: every field it has, in order, its value byte for byte
// (line breaks too) with its length in bytes, the marking applied, and "<EOR>".
std::string sentRecord(std::string_view raw, const SentMarking& marking, std::string_view date);

// How one file that a run read is marked.
struct MarkSource {
    std::filesystem::path file;            // the file the user chose (the log or the SWL file)
    std::filesystem::path text;            // what the run read: the file itself, or its UTF-8 copy when it is UTF-16
    ReadSnapshot read;                     // what the run read of `file`
    std::optional<utf16::ByteOrder> utf16; // the file's byte order when it is UTF-16
};

// The QSOs of one ADIF file that went onto labels, by where they lie in the file, and the two files that mark
// them as sent beside it: "<base>_sent.adi" (only those records, with a header of its own) and
// "<base>_updated.adi" (the whole file, those records changed). The file read is never changed.
class SentMarks {
public:
    void clear() { m_spans.clear(), m_vias.clear(); }
    // A record to mark; `via` ('B', 'D') is its own QSL_SENT_VIA, 0 for the marking's.
    void add(AdifReader::Span span, char via = 0)
    {
        m_spans.push_back(span);
        m_vias.push_back(via);
    }
    std::size_t size() const { return m_spans.size(); }
    // Keeps the records whose own QSL_SENT_VIA is one of `vias` (the batches of a run that were printed).
    void keepOnly(std::string_view vias)
    {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_spans.size(); ++i)
            if (vias.find(m_vias[i]) != std::string_view::npos) {
                m_spans[kept] = m_spans[i];
                m_vias[kept++] = m_vias[i];
            }
        m_spans.resize(kept);
        m_vias.resize(kept);
    }

    static std::filesystem::path sentPath(const std::filesystem::path& base);
    static std::filesystem::path updatedPath(const std::filesystem::path& base);

    // Writes both files beside <base>; `date` is "YYYYMMDD" and `timestamp` "YYYYMMDD HHMMSS", both UTC.
    // The marks are made from the bytes the run read: a file that is no longer what the run read (changed,
    // truncated, replaced) throws IoError with FailureId::LogChanged, and nothing is written. `stop` is asked now
    // and then; when it says so, nothing is written and write() returns nullopt. Returns how many records were
    // marked (a record whose value holds an "<EOR>" is one, though the reader read two). Throws IoError.
    std::optional<std::size_t> write(const MarkSource& source, const std::filesystem::path& base,
                                     const SentMarking& marking, std::string_view date, std::string_view timestamp,
                                     const std::function<bool()>& stop = {}) const;

private:
    std::vector<AdifReader::Span> m_spans; // in file order
    std::vector<char> m_vias;              // by span
};

// The date and time now, UTC: "YYYYMMDD" and "YYYYMMDD HHMMSS".
std::pair<std::string, std::string> utcDateAndTimestamp();

} // namespace cardmill
