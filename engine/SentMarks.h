#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/AdifReader.h"

namespace cardmill {

// "Mark QSOs as sent": QSL_SENT set to Y, QSLSDATE to the day of the run and, when chosen, QSL_SENT_VIA to
// Bureau, Direct or Electronic.
struct SentMarking {
    bool on = false;
    char via = 0; // 'B', 'D', 'E', or 0 for not set (an existing QSL_SENT_VIA then stays)
};

// The record text with the marking applied, every other byte as it was: a QSL_SENT, QSLSDATE or QSL_SENT_VIA
// field is replaced where it stands (its tag's spelling and type kept, its length in bytes), a field the record
// lacks goes just before its "<EOR>" after a blank. Fields are found as the reader finds them (line ends are
// no part of a field), in the record before its first "<EOR>".
std::string markedRecord(std::string_view raw, const SentMarking& marking, std::string_view date);

// The same record as one line for a file of its own: every field it has, in order, with its length in bytes,
// the marking applied, and "<EOR>".
std::string sentRecord(std::string_view raw, const SentMarking& marking, std::string_view date);

// The QSOs of one ADIF file that went onto labels, by where they lie in the file, and the two files that mark
// them as sent beside it: "<base>_sent.adi" (only those records, with a header of its own) and
// "<base>_updated.adi" (the whole file, those records changed). The file read is never changed.
class SentMarks {
public:
    void clear() { m_spans.clear(); }
    void add(AdifReader::Span span) { m_spans.push_back(span); }
    std::size_t size() const { return m_spans.size(); }

    static std::filesystem::path sentPath(const std::filesystem::path& base);
    static std::filesystem::path updatedPath(const std::filesystem::path& base);

    // Writes both files for the file `source` (as it was read) beside <base>; `date` is "YYYYMMDD" and
    // `timestamp` "YYYYMMDD HHMMSS", both UTC. Throws IoError.
    void write(const std::filesystem::path& source, const std::filesystem::path& base, const SentMarking& marking,
               std::string_view date, std::string_view timestamp) const;

private:
    std::vector<AdifReader::Span> m_spans; // in file order
};

// The date and time now, UTC: "YYYYMMDD" and "YYYYMMDD HHMMSS".
std::pair<std::string, std::string> utcDateAndTimestamp();

} // namespace cardmill
