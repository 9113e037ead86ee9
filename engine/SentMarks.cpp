#include "engine/SentMarks.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <utf8.h>

#include "cardmill/Version.h"
#include "engine/Clock.h"
#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/OutputFile.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

struct Change {
    std::string_view name;
    std::string_view value;
};

// The marking's changes: QSL_SENT, QSLSDATE and, when chosen, QSL_SENT_VIA.
class Changes {
public:
    Changes(const SentMarking& marking, std::string_view date)
        : m_date(date)
    {
        m_list = {{"QSL_SENT", "Y"}, {"QSLSDATE", m_date}};
        if (marking.via) {
            m_via.assign(1, marking.via);
            m_list.push_back({"QSL_SENT_VIA", m_via});
        }
    }
    Changes(const Changes&) = delete;
    Changes& operator=(const Changes&) = delete;

    const Change* of(std::string_view field) const
    {
        for (const Change& c : m_list)
            if (text::equalNoCase(field, c.name))
                return &c;
        return nullptr;
    }
    const std::vector<Change>& list() const { return m_list; }

private:
    std::string m_date, m_via;
    std::vector<Change> m_list;
};

// Appends `record` (its bytes up to the walk's end) with the changes made.
void appendMarked(std::string& out, std::string_view record, const RecordWalk& walk, const Changes& changes)
{
    struct Edit {
        std::size_t begin, end;
        const Change* change; // written here; null: the field goes
    };
    std::vector<Edit> edits;
    bool adding = false;
    for (const Change& c : changes.list()) {
        bool first = true;
        for (const RecordWalk::Field& f : walk.fields())
            if (text::equalNoCase(f.name, c.name)) {
                edits.push_back({f.tag, f.valueEnd, first ? &c : nullptr});
                first = false;
            }
        adding = adding || first;
    }
    const std::size_t at = walk.eorBegin() == std::string_view::npos ? record.size() : walk.eorBegin();
    if (adding)
        edits.push_back({at, at, nullptr});
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.begin < b.begin; });

    const bool blankBefore = at > 0 && (record[at - 1] == ' ' || record[at - 1] == '\t');
    std::size_t copied = 0;
    for (const Edit& e : edits) {
        out.append(record.substr(copied, e.begin - copied));
        if (e.change) {
            const RecordWalk::Field* f = walk.find(e.change->name);
            appendField(out, f->name, f->type, e.change->value);
        } else if (e.begin == at && e.end == at) {
            for (const Change& c : changes.list())
                if (!walk.find(c.name)) {
                    if (!blankBefore)
                        out += ' ';
                    appendField(out, c.name, {}, c.value);
                    if (blankBefore)
                        out += ' ';
                }
        }
        copied = e.end;
    }
    out.append(record.substr(copied));
}

void appendSent(std::string& out, std::string_view record, const RecordWalk& walk, const Changes& changes)
{
    for (const RecordWalk::Field& f : walk.fields()) {
        std::string_view value = record.substr(f.valueBegin, f.valueEnd - f.valueBegin);
        if (const Change* c = changes.of(f.name)) {
            if (walk.find(f.name) != &f)
                continue; // a field of the marking met twice is written once
            value = c->value;
        }
        appendField(out, f.name, f.type, value);
        out += ' ';
    }
    for (const Change& c : changes.list())
        if (!walk.find(c.name)) {
            appendField(out, c.name, {}, c.value);
            out += ' ';
        }
    out += "<EOR>\r\n";
}

// A file's bytes held from some place on, read ahead as far as asked, each byte read once and counted into
// a checksum.
class Window {
public:
    Window(std::FILE* file, const std::filesystem::path& shown)
        : m_file(file)
        , m_shown(shown)
    {
    }

    // Holds the bytes up to `until`, or to the end of the file when it is shorter.
    void reach(std::uint64_t until)
    {
        constexpr std::size_t kPiece = 1 << 20;
        while (end() < until && !m_ended) {
            const std::size_t old = m_data.size();
            m_data.resize(old + kPiece);
            const std::size_t n = std::fread(m_data.data() + old, 1, kPiece, m_file);
            m_data.resize(old + n);
            if (n == 0) {
                if (std::ferror(m_file))
                    throw IoError(FailureId::ReadFile, m_shown, std::strerror(errno));
                m_ended = true;
            }
            m_read.add(std::string_view(m_data).substr(old));
        }
    }
    std::uint64_t end() const { return m_first + m_data.size(); }
    bool ended() const { return m_ended; }
    std::string_view bytes(std::uint64_t from, std::uint64_t to) const
    {
        to = std::min(to, end());
        return from >= to ? std::string_view() : std::string_view(m_data).substr(from - m_first, to - from);
    }
    // The bytes before `before` are no longer needed.
    void forget(std::uint64_t before)
    {
        const std::size_t drop = static_cast<std::size_t>(std::min(before, end()) - m_first);
        if (drop >= (1 << 22) || drop == m_data.size()) {
            m_data.erase(0, drop);
            m_first += drop;
        }
    }
    const ReadSnapshot& read() const { return m_read; }

private:
    std::FILE* m_file;
    const std::filesystem::path& m_shown;
    std::string m_data;
    std::uint64_t m_first = 0;
    bool m_ended = false;
    ReadSnapshot m_read;
};

// How far past the end of the record the reader read the walk may look (for a value that holds an "<EOR>").
constexpr std::uint64_t kReadAhead = 1 << 16;

} // namespace

std::string markedRecord(std::string_view raw, const SentMarking& marking, std::string_view date)
{
    const Changes changes(marking, date);
    RecordWalk walk;
    walk.walk(raw, false);
    const std::size_t end = walk.end() == std::string_view::npos ? raw.size() : walk.end();
    std::string out;
    appendMarked(out, raw.substr(0, end), walk, changes);
    out.append(raw.substr(end));
    return out;
}

std::string sentRecord(std::string_view raw, const SentMarking& marking, std::string_view date)
{
    const Changes changes(marking, date);
    RecordWalk walk;
    walk.walk(raw, false);
    std::string out;
    appendSent(out, raw, walk, changes);
    return out;
}

std::filesystem::path SentMarks::sentPath(const std::filesystem::path& base)
{
    return files::withSuffix(base, "_sent.adi");
}

std::filesystem::path SentMarks::updatedPath(const std::filesystem::path& base)
{
    return files::withSuffix(base, "_updated.adi");
}

std::optional<std::size_t> SentMarks::write(const MarkSource& source, const std::filesystem::path& base,
                                            const SentMarking& marking, std::string_view date,
                                            std::string_view timestamp, const std::function<bool()>& stop) const
{
    const IoError changed(FailureId::LogChanged, source.file);
    // A UTF-16 file was read through its UTF-8 copy, which is the run's own: the file itself is compared whole.
    const bool copy = source.text != source.file;
    if (copy && !unchangedSince(source.file, source.read))
        throw changed;
    std::FILE* in = files::open(source.text, "rb");
    if (!in)
        throw copy ? IoError(FailureId::OpenFile, source.text, std::strerror(errno)) : changed;
    struct Closer {
        std::FILE* f;
        ~Closer() { std::fclose(f); }
    } closer{in};
    if (!copy && files::fileState(in) != source.read.state)
        throw changed;

    OutputFile sent(sentPath(base));
    OutputFile updated(updatedPath(base));
    std::string header =
        "CARDMILL: the QSOs of " + source.file.filename().string() + " that went onto QSL labels, marked as sent\r\n";
    for (const auto& [name, value] : {std::pair<std::string_view, std::string_view>{"ADIF_VER", "3.1.4"},
                                      {"PROGRAMID", "CARDMILL"},
                                      {"PROGRAMVERSION", kVersionText},
                                      {"CREATED_TIMESTAMP", timestamp}}) {
        appendField(header, name, {}, value);
        header += ' ';
    }
    sent.write(header + "<EOH>\r\n");

    // The file is copied as it is, each labelled record changed on the way; what is written collects in two
    // buffers that go out a megabyte at a time. A UTF-16 file's updated copy is written in its encoding.
    std::optional<utf16::Encoder> encoder;
    if (source.utf16)
        encoder.emplace(*source.utf16);
    std::string sentOut, updatedOut, encoded;
    auto flush = [&](bool all) {
        if (all || updatedOut.size() >= (1 << 20)) {
            if (encoder) {
                encoded.clear();
                encoder->encode(updatedOut, encoded);
                updated.write(encoded);
            } else {
                updated.write(updatedOut);
            }
            updatedOut.clear();
        }
        if (all || sentOut.size() >= (1 << 20)) {
            sent.write(sentOut);
            sentOut.clear();
        }
    };
    Window window(in, source.file);
    std::uint64_t position = 0;
    auto copyUpTo = [&](std::uint64_t until) {
        while (position < until) {
            window.reach(std::min(until, position + (1 << 20)));
            const std::string_view piece = window.bytes(position, until);
            if (piece.empty())
                return; // the file is shorter than it was: the checksum tells
            updatedOut.append(piece);
            position += piece.size();
            window.forget(position);
            flush(false);
            if (stop && stop())
                return;
        }
    };
    const Changes changes(marking, date);
    const Changes byBureau(SentMarking{true, 'B'}, date), direct(SentMarking{true, 'D'}, date);
    RecordWalk walk;
    std::size_t done = 0;
    for (std::size_t i = 0; i < m_spans.size(); ++i) {
        const AdifReader::Span& span = m_spans[i];
        const Changes& its = m_vias[i] == 'B' ? byBureau : m_vias[i] == 'D' ? direct : changes;
        if (span.begin < position)
            continue; // within a record marked already, whose value held an "<EOR>"
        copyUpTo(span.begin);
        if ((done % 4096 == 0 || position < span.begin) && stop && stop())
            return std::nullopt;
        window.reach(span.end);
        for (;;) {
            const bool more = !window.ended() && window.end() < span.end + kReadAhead;
            if (walk.walk(window.bytes(span.begin, window.end()), more))
                break;
            window.reach(span.begin + walk.neededUntil());
        }
        if (walk.end() == std::string_view::npos) // no "<EOR>" outside a value: the record as the reader took it
            walk.walk(window.bytes(span.begin, span.end), false);
        const std::string_view record = window.bytes(span.begin, window.end());
        const std::size_t end = walk.end() == std::string_view::npos ? span.end - span.begin : walk.end();
        appendMarked(updatedOut, record.substr(0, end), walk, its);
        appendSent(sentOut, record.substr(0, end), walk, its);
        position = span.begin + end;
        ++done;
        window.forget(position);
        flush(false);
    }
    copyUpTo(UINT64_MAX);
    if (stop && stop())
        return std::nullopt;
    flush(true);
    if (encoder) {
        encoded.clear();
        encoder->finish(encoded);
        updated.write(encoded);
    }
    // Every byte read again is what the run read, and the file is as it was when the run opened it.
    if (!copy && (!(window.read().bytes == source.read.bytes && window.read().checksum == source.read.checksum) ||
                  files::fileState(in) != source.read.state))
        throw changed;
    sent.commit();
    updated.commit();
    return done;
}

std::pair<std::string, std::string> utcDateAndTimestamp()
{
    const std::tm t = utcTime(std::time(nullptr));
    std::array<char, 32> date{}, stamp{};
    std::strftime(date.data(), date.size(), "%Y%m%d", &t);
    std::strftime(stamp.data(), stamp.size(), "%Y%m%d %H%M%S", &t);
    return {date.data(), stamp.data()};
}

} // namespace cardmill
