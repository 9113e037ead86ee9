#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/AdifRecord.h"
#include "engine/LineReader.h"

namespace cardmill {

// Reads an ADIF file as a sequence of record texts.
//
// The reader does not parse ADIF as a grammar: it joins lines with nothing between them and looks for the
// markers "<EOH>" and "<EOR>" in any letter case. A record ends at its "<EOR>": text after the marker on the
// same line begins the next record, so several records on one line are each read, and no field is found
// across a record's end.
class AdifReader {
public:
    enum class Result {
        Record, // record() and rawRecord() hold the record
        Empty,  // the record was "<EOR>" alone: skip it
        None,   // the file ended before another "<EOR>"
    };

    // Opens the file; throws IoError when it cannot be opened.
    explicit AdifReader(const std::filesystem::path& path);

    // Skips the header. ADIF's header is optional: it ends at "<EOH>" only when that marker comes before the
    // first "<EOR>"; text after "<EOH>" on its line begins the first record. A file that begins with a record
    // has no header and is read from its first line.
    void skipHeader();

    // Reads the next record. Throws IoError on a read error.
    Result next();

    // Reads on to the next record that is not empty and puts it in `record`; false at the end of the file.
    bool nextRecord(AdifRecord& record);

    // The last record's text, trimmed of bytes of code 32 or less at both ends.
    std::string_view record() const { return m_record; }
    // The line joins inside record(), at their places in it.
    const std::vector<LineJoin>& recordJoins() const { return m_recordJoins; }
    // The last record's joined lines before trimming, up to its "<EOR>" (with the blanks after it on its line).
    std::string_view rawRecord() const { return std::string_view(m_joined).substr(m_recordStart, m_recordSize); }
    // After next() gave None: the text after the last "<EOR>", trimmed (a record cut off, or blanks).
    std::string_view leftover() const;

    // Where the last record lies in the file: from its first byte (the text after "<EOH>" or after the record
    // before it on that line) to the end of its "<EOR>", or to the end of that line when only blanks follow
    // (the line's end may follow).
    struct Span {
        std::uint64_t begin = 0;
        std::uint64_t end = 0;
    };
    Span span() const { return m_span; }

    // Whether the last record began on the line of the record before it, after that record's "<EOR>".
    bool afterRecordOnItsLine() const { return m_afterRecord; }

    // 1 plus the number of lines read so far; drives the progress bar.
    std::size_t lineCounter() const { return m_lineCounter; }

    // See LineReader::keepSnapshot and snapshot.
    void keepSnapshot() { m_lines.keepSnapshot(); }
    const ReadSnapshot& snapshot() const { return m_lines.snapshot(); }

    bool atEnd() { return m_start >= m_joined.size() && m_lines.atEnd(); }
    void close() { m_lines.close(); }

private:
    bool readLine();
    // Drops the joined text before m_start, which earlier records took.
    void dropConsumed();

    LineReader m_lines;
    std::string m_joined;
    std::size_t m_start = 0;                         // where the next record begins in m_joined
    std::uint64_t m_pendingBegin = 0;                // ... and in the file, when text is left there
    std::size_t m_leftoverStart = std::string::npos; // after the end: where the text that is no record begins
    std::uint64_t m_lineBegin = 0;                   // where the last line read began in the file
    std::size_t m_lineJoined = 0;                    // where it began in the joined text
    std::uint64_t m_lineEnd = 0;                     // where its text ended in the file (before its line end)
    std::vector<LineJoin> m_joins;                   // where lines were joined in m_joined, in order
    std::vector<LineJoin> m_recordJoins;             // those inside the last record, at their places in it
    std::string_view m_record;
    std::size_t m_recordStart = 0; // the part of the joined text that is the last record's
    std::size_t m_recordSize = 0;
    bool m_afterRecord = false; // the last record began after an "<EOR>" on its line
    bool m_pendingAfterRecord = false;
    Span m_span;
    std::size_t m_lineCounter = 1;
};

} // namespace cardmill
