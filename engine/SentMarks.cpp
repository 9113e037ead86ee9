#include "engine/SentMarks.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "cardmill/Version.h"
#include "engine/AdifRecord.h"
#include "engine/Failure.h"
#include "engine/OutputFile.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

void appendField(std::string& out, std::string_view name, std::string_view type, std::string_view value)
{
    char length[24];
    const auto digits = std::to_chars(length, length + sizeof length, value.size());
    out.append("<").append(name).append(":").append(length, digits.ptr);
    if (!type.empty())
        out.append(":").append(type);
    out.append(">").append(value);
}

} // namespace

// Marks one record after another. Its buffers are kept from record to record: a large log is marked without
// an allocation per record.
class RecordMarker {
public:
    RecordMarker(const SentMarking& marking, std::string_view date)
        : m_date(date)
    {
        m_changes = {{"QSL_SENT", "Y"}, {"QSLSDATE", m_date}};
        if (marking.via) {
            m_via.assign(1, marking.via);
            m_changes.push_back({"QSL_SENT_VIA", m_via});
        }
    }

    // Takes a record's bytes as they lie in the file, from its first byte to the end of its "<EOR>" line.
    void read(std::string_view raw);
    // The record with the marking applied, every other byte as it was (see markedRecord).
    void appendMarked(std::string& out) const;
    // The record as one line of fields with their lengths in bytes (see sentRecord).
    void appendSent(std::string& out) const;

private:
    // A field as found in the joined text.
    struct Field {
        std::size_t tag = 0;        // its "<"
        std::string_view name;      // as spelt
        std::string_view type;      // the data-type indicator, or empty
        std::size_t valueBegin = 0; // after its ">"
        std::string_view value;
        std::size_t end() const { return valueBegin + value.size(); }
    };
    struct Change {
        std::string_view name;
        std::string_view value;
    };

    void join();
    void findFields();
    std::size_t rawAt(std::size_t joined) const;
    const Field* find(std::string_view name) const;

    std::string m_date, m_via;
    std::vector<Change> m_changes;
    std::string_view m_raw;
    std::string m_store;                // the joined text, when the record has line ends
    std::string_view m_text;            // the joined text: the record as the reader joins its lines
    std::vector<std::size_t> m_dropped; // where the line-end bytes lie in the raw text, in order
    std::size_t m_limit = 0;            // the record's first "<EOR>" in the joined text
    std::vector<std::size_t> m_tags;
    std::vector<Field> m_fields;
};

void RecordMarker::read(std::string_view raw)
{
    m_raw = raw;
    join();
    const std::size_t eor = text::findNoCase(m_text, "<EOR>");
    m_limit = eor == std::string_view::npos ? m_text.size() : eor;
    findFields();
}

void RecordMarker::join()
{
    // Each line's end found with two library scans: a record has a few lines of many bytes.
    m_dropped.clear();
    for (std::size_t i = 0; i < m_raw.size();) {
        const void* lf = std::memchr(m_raw.data() + i, '\n', m_raw.size() - i);
        const std::size_t nl =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - m_raw.data()) : m_raw.size();
        for (std::size_t j = i; j < nl;) {
            const void* cr = std::memchr(m_raw.data() + j, '\r', nl - j);
            if (!cr)
                break;
            j = static_cast<std::size_t>(static_cast<const char*>(cr) - m_raw.data());
            m_dropped.push_back(j++);
        }
        if (nl < m_raw.size())
            m_dropped.push_back(nl);
        i = nl + 1;
    }
    if (m_dropped.empty()) {
        m_text = m_raw;
        return;
    }
    m_store.clear();
    std::size_t from = 0;
    for (const std::size_t d : m_dropped) {
        m_store.append(m_raw.substr(from, d - from));
        from = d + 1;
    }
    m_store.append(m_raw.substr(from));
    m_text = m_store;
}

std::size_t RecordMarker::rawAt(std::size_t j) const
{
    for (const std::size_t d : m_dropped) {
        if (d > j)
            break;
        ++j;
    }
    return j;
}

void RecordMarker::findFields()
{
    // Tags are found as the reader finds them: every "<" whose name runs to a ":" starts one ("<" name ":"
    // length [":" type] ">" value), so a value never runs into the next tag (a multi-line value whose declared
    // length counted line ends that the joining dropped). Tags without a length ("<EOH>", "<APP_LoTW_EOF>") and
    // text between fields are passed over.
    const std::string_view text = m_text;
    m_tags.clear();
    for (std::size_t i = 0; (i = text.find('<', i)) != std::string_view::npos && i < m_limit; ++i) {
        std::size_t stop = i + 1;
        while (stop < text.size() && text[stop] != ':' && text[stop] != '<' && text[stop] != '>')
            ++stop;
        if (stop < text.size() && text[stop] == ':')
            m_tags.push_back(i);
    }
    m_fields.clear();
    for (std::size_t t = 0; t < m_tags.size(); ++t) {
        const std::size_t i = m_tags[t];
        const std::size_t colon = text.find(':', i + 1);
        std::size_t j = colon + 1;
        std::size_t length = 0;
        bool digits = false;
        for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j, digits = true)
            if (length <= text.size())
                length = length * 10 + static_cast<std::size_t>(text[j] - '0');
        const std::size_t next = t + 1 < m_tags.size() ? m_tags[t + 1] : m_limit;
        std::size_t gt = j;
        while (gt < next && text[gt] != '>')
            ++gt;
        if (!digits || gt >= next)
            continue;
        Field f;
        f.tag = i;
        f.name = text.substr(i + 1, colon - i - 1);
        if (text[j] == ':')
            f.type = text.substr(j + 1, gt - j - 1);
        f.valueBegin = gt + 1;
        f.value = declaredValue(text.substr(0, next), f.valueBegin, length);
        m_fields.push_back(f);
    }
}

const RecordMarker::Field* RecordMarker::find(std::string_view name) const
{
    for (const Field& f : m_fields)
        if (text::equalNoCase(f.name, name))
            return &f; // the first counts, as for the reader
    return nullptr;
}

void RecordMarker::appendMarked(std::string& out) const
{
    struct Edit {
        std::size_t begin, end; // in the raw text
        const Field* field;     // replaced; nullptr for the fields added
    };
    std::array<Edit, 4> edits;
    std::size_t count = 0;
    // Fields the record lacks go before its "<EOR>", each after a blank: the one already there, if any.
    const std::size_t at = m_limit < m_text.size() ? rawAt(m_limit) : m_raw.size();
    bool adding = false;
    for (const Change& c : m_changes) {
        if (const Field* f = find(c.name)) {
            const std::size_t last = std::max(f->end(), f->valueBegin) - 1; // the value's last byte, or the ">"
            edits[count++] = {rawAt(f->tag), rawAt(last) + 1, f};
        } else {
            adding = true;
        }
    }
    if (adding)
        edits[count++] = {at, at, nullptr};
    for (std::size_t i = 1; i < count; ++i) // in the order they lie: at most four
        for (std::size_t j = i; j > 0 && edits[j].begin < edits[j - 1].begin; --j)
            std::swap(edits[j], edits[j - 1]);

    const bool blankBefore = at > 0 && (m_raw[at - 1] == ' ' || m_raw[at - 1] == '\t');
    std::size_t copied = 0;
    for (std::size_t e = 0; e < count; ++e) {
        const Edit& edit = edits[e];
        out.append(m_raw.substr(copied, edit.begin - copied));
        if (edit.field) {
            for (const Change& c : m_changes)
                if (text::equalNoCase(edit.field->name, c.name))
                    appendField(out, edit.field->name, edit.field->type, c.value);
        } else {
            for (const Change& c : m_changes)
                if (!find(c.name)) {
                    if (!blankBefore)
                        out += ' ';
                    appendField(out, c.name, {}, c.value);
                    if (blankBefore)
                        out += ' ';
                }
        }
        copied = edit.end;
    }
    out.append(m_raw.substr(copied));
}

void RecordMarker::appendSent(std::string& out) const
{
    for (const Field& f : m_fields) {
        std::string_view value = f.value;
        bool changed = false;
        for (const Change& c : m_changes)
            if (text::equalNoCase(f.name, c.name)) {
                value = c.value;
                changed = true;
            }
        // A field of the marking that comes twice is written once, as the reader reads the first.
        if (changed && find(f.name) != &f)
            continue;
        appendField(out, f.name, f.type, value);
        out += ' ';
    }
    for (const Change& c : m_changes)
        if (!find(c.name)) {
            appendField(out, c.name, {}, c.value);
            out += ' ';
        }
    out += "<EOR>\r\n";
}

std::string markedRecord(std::string_view raw, const SentMarking& marking, std::string_view date)
{
    RecordMarker marker(marking, date);
    marker.read(raw);
    std::string out;
    marker.appendMarked(out);
    return out;
}

std::string sentRecord(std::string_view raw, const SentMarking& marking, std::string_view date)
{
    RecordMarker marker(marking, date);
    marker.read(raw);
    std::string out;
    marker.appendSent(out);
    return out;
}

std::filesystem::path SentMarks::sentPath(const std::filesystem::path& base)
{
    return base.string() + "_sent.adi";
}

std::filesystem::path SentMarks::updatedPath(const std::filesystem::path& base)
{
    return base.string() + "_updated.adi";
}

void SentMarks::write(const std::filesystem::path& source, const std::filesystem::path& base,
                      const SentMarking& marking, std::string_view date, std::string_view timestamp) const
{
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (!in)
        throw IoError(FailureId::OpenFile, source, std::strerror(errno));
    struct Closer {
        std::FILE* f;
        ~Closer() { std::fclose(f); }
    } closer{in};

    OutputFile sent(sentPath(base));
    OutputFile updated(updatedPath(base));
    std::string header =
        "CARDMILL: the QSOs of " + source.filename().string() + " that went onto QSL labels, marked as sent\r\n";
    for (const auto& [name, value] : {std::pair<std::string_view, std::string_view>{"ADIF_VER", "3.1.4"},
                                      {"PROGRAMID", "CARDMILL"},
                                      {"PROGRAMVERSION", kVersionText},
                                      {"CREATED_TIMESTAMP", timestamp}}) {
        appendField(header, name, {}, value);
        header += ' ';
    }
    sent.write(header + "<EOH>\r\n");

    // The file is copied as it is, each labelled record changed on the way; what is written collects in two
    // buffers that go out a megabyte at a time.
    std::vector<char> buffer(1 << 20);
    std::string sentOut, updatedOut;
    std::uint64_t position = 0;
    auto flush = [&](bool all) {
        if (all || updatedOut.size() >= buffer.size()) {
            updated.write(updatedOut);
            updatedOut.clear();
        }
        if (all || sentOut.size() >= buffer.size()) {
            sent.write(sentOut);
            sentOut.clear();
        }
    };
    // Reads the file up to `until` into `into`, or straight into the updated file when `into` is null.
    auto copyUpTo = [&](std::uint64_t until, std::string* into) {
        while (position < until) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(until - position, buffer.size()));
            const std::size_t n = std::fread(buffer.data(), 1, want, in);
            if (n == 0) {
                if (std::ferror(in))
                    throw IoError(FailureId::ReadFile, source, std::strerror(errno));
                return; // the file is shorter than it was: nothing more to copy
            }
            if (into) {
                into->append(buffer.data(), n);
            } else if (n < 4096) {
                updatedOut.append(buffer.data(), n);
            } else {
                flush(true);
                updated.write(std::string_view(buffer.data(), n));
            }
            position += n;
        }
    };
    RecordMarker marker(marking, date);
    std::string record;
    for (const AdifReader::Span& span : m_spans) {
        copyUpTo(span.begin, nullptr);
        record.clear();
        copyUpTo(span.end, &record);
        marker.read(record);
        marker.appendMarked(updatedOut);
        marker.appendSent(sentOut);
        flush(false);
    }
    copyUpTo(UINT64_MAX, nullptr);
    flush(true);
    sent.commit();
    updated.commit();
}

std::pair<std::string, std::string> utcDateAndTimestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    gmtime_r(&now, &t);
    std::array<char, 32> date{}, stamp{};
    std::strftime(date.data(), date.size(), "%Y%m%d", &t);
    std::strftime(stamp.data(), stamp.size(), "%Y%m%d %H%M%S", &t);
    return {date.data(), stamp.data()};
}

} // namespace cardmill
