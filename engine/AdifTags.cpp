#include "engine/AdifTags.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include <utf8.h>

#include "engine/Text.h"

namespace cardmill {

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// What may follow a value: "<", a blank, a tab, a line end.
bool mayFollowValue(char c)
{
    return c == '<' || c == ' ' || c == '\t' || isLineEnd(c);
}

// A tag as it stands: "<" name [":" length [":" type]] ">", line ends inside it passed over.
struct Tag {
    std::string name;
    std::string type;
    bool hasLength = false;
    std::uint64_t length = 0;
    std::size_t after = 0; // after its ">"
};

enum class Scan { Tag, NotATag, NeedMore };

Scan scanTag(std::string_view b, std::size_t at, bool more, Tag& t)
{
    constexpr std::size_t kLongest = 256;
    t = {};
    const Scan cut = more ? Scan::NeedMore : Scan::NotATag;
    std::size_t i = at + 1;
    for (;; ++i) {
        if (i >= b.size())
            return cut;
        const char c = b[i];
        if (isLineEnd(c))
            continue;
        if (c == ':' || c == '>')
            break;
        if (c == '<' || c == ' ' || c == '\t' || t.name.size() >= kLongest)
            return Scan::NotATag;
        t.name += c;
    }
    if (t.name.empty())
        return Scan::NotATag;
    if (b[i] == ':') {
        bool digits = false;
        for (++i;; ++i) {
            if (i >= b.size())
                return cut;
            const char c = b[i];
            if (isLineEnd(c))
                continue;
            if (c < '0' || c > '9')
                break;
            digits = true;
            if (t.length < (std::uint64_t{1} << 40)) // longer than any file: a value that runs to the end
                t.length = t.length * 10 + static_cast<std::uint64_t>(c - '0');
        }
        if (!digits)
            return Scan::NotATag;
        t.hasLength = true;
        if (b[i] == ':') {
            for (++i;; ++i) {
                if (i >= b.size())
                    return cut;
                const char c = b[i];
                if (isLineEnd(c))
                    continue;
                if (c == '>')
                    break;
                if (c == '<' || t.type.size() >= kLongest)
                    return Scan::NotATag;
                t.type += c;
            }
        }
        if (b[i] != '>')
            return Scan::NotATag;
    }
    t.after = i + 1;
    return Scan::Tag;
}

// Where the first "<EOR>" stands, as the reader finds it (line ends inside it passed over); npos when none.
std::size_t plainEor(std::string_view b)
{
    for (std::size_t i = 0; (i = b.find('<', i)) != std::string_view::npos; ++i) {
        std::size_t j = i + 1;
        for (const char want : {'E', 'O', 'R', '>'}) {
            while (j < b.size() && isLineEnd(b[j]))
                ++j;
            if (j >= b.size() || text::upper(b[j]) != want) {
                j = 0;
                break;
            }
            ++j;
        }
        if (j != 0)
            return i;
    }
    return std::string_view::npos;
}

} // namespace

void appendField(std::string& out, std::string_view name, std::string_view type, std::string_view value)
{
    char length[24];
    const auto digits = std::to_chars(length, length + sizeof length, value.size());
    out.append("<").append(name).append(":").append(length, digits.ptr);
    if (!type.empty())
        out.append(":").append(type);
    out.append(">").append(value);
}

const RecordWalk::Field* RecordWalk::find(std::string_view name) const
{
    for (const Field& f : m_fields)
        if (text::equalNoCase(f.name, name))
            return &f;
    return nullptr;
}

bool RecordWalk::walk(std::string_view b, bool more)
{
    m_fields.clear();
    m_eorBegin = m_end = std::string_view::npos;
    m_needed = 0;
    auto needMore = [this, &b] {
        m_needed = b.size() + 1;
        return false;
    };
    // The "<EOR>" the reader ended the record at. A value may run over it (a comment holding "<eor>") only
    // within that marker's line and followed by a tag: a wrong length that reaches into the next record is no
    // value.
    const std::size_t readerEor = plainEor(b);
    if (readerEor == std::string_view::npos && more)
        return needMore();
    std::size_t eorLine = b.size(); // where the marker's line ends
    if (readerEor != std::string_view::npos)
        for (std::size_t i = readerEor; i < b.size(); ++i)
            if (isLineEnd(b[i])) {
                eorLine = i;
                break;
            }

    // 1: a value from `begin` ends at `end`; 0: it does not; -1: the bytes do not tell yet.
    auto endsAt = [&](std::size_t begin, std::size_t end) -> int {
        const bool over = readerEor != std::string_view::npos && readerEor >= begin && readerEor < end;
        if (over && end > eorLine)
            return 0;
        if (end >= b.size())
            return more ? -1 : 0;
        if (!mayFollowValue(b[end]))
            return 0;
        if (!over)
            return 1;
        std::size_t next = end;
        while (next < b.size() && (b[next] == ' ' || b[next] == '\t'))
            ++next;
        if (next >= b.size())
            return more ? -1 : 0;
        Tag t;
        const Scan s = b[next] == '<' ? scanTag(b, next, more, t) : Scan::NotATag;
        return s == Scan::NeedMore ? -1 : s == Scan::Tag ? 1 : 0;
    };
    // The value's end by the declared length: in bytes when they are UTF-8 (or ASCII) and end a value, else in
    // UTF-8 characters, else in bytes (an 8-bit log); then as the reader counts, without line-end bytes (not
    // over the reader's "<EOR>"). npos when no reading ends a value; false when the bytes do not tell yet.
    auto declaredEnd = [&](std::size_t start, std::uint64_t declared, std::size_t& end) {
        const std::size_t room = b.size() - start;
        const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(declared, room + 1));
        const std::size_t byBytes = start + length;
        std::size_t byChars = std::string_view::npos;
        bool validBytes = false;
        if (length <= room) {
            const auto first = b.begin() + static_cast<std::ptrdiff_t>(start);
            validBytes = utf8::is_valid(first, first + static_cast<std::ptrdiff_t>(length));
            if (!text::isAscii(b.substr(start, length))) {
                // At most four bytes a character, and not past the marker's line.
                const std::size_t span = std::min({room, length * 4, eorLine - std::min(eorLine, start) + 1});
                const auto valid = utf8::find_invalid(first, first + static_cast<std::ptrdiff_t>(span));
                std::size_t characters = 0;
                auto p = first;
                for (; characters < length && p < valid; ++characters)
                    utf8::unchecked::next(p);
                if (characters == length)
                    byChars = static_cast<std::size_t>(p - b.begin());
            }
        }
        std::size_t counted = 0, j = start;
        const std::size_t stop =
            std::min(b.size(), readerEor == std::string_view::npos || readerEor < start ? b.size() : readerEor);
        for (; j < stop && counted < length; ++j)
            counted += !isLineEnd(b[j]);
        const std::size_t byReader = counted == length ? j : std::string_view::npos;
        end = std::string_view::npos;
        for (const std::size_t candidate :
             {validBytes ? byBytes : std::string_view::npos, byChars, byBytes, byReader}) {
            if (candidate == std::string_view::npos)
                continue;
            const int r = endsAt(start, candidate);
            if (r < 0)
                return false;
            if (r == 1) {
                end = candidate;
                return true;
            }
        }
        return true;
    };

    Tag tag;
    for (std::size_t i = 0; (i = b.find('<', i)) != std::string_view::npos;) {
        const Scan s = scanTag(b, i, more, tag);
        if (s == Scan::NeedMore)
            return needMore();
        if (s == Scan::NotATag) {
            ++i;
            continue;
        }
        if (!tag.hasLength) {
            if (text::equalNoCase(tag.name, "EOR")) {
                m_eorBegin = i;
                m_end = tag.after;
                return true;
            }
            i = tag.after; // "<EOH>", "<APP_LoTW_EOF>": passed over
            continue;
        }
        const std::size_t start = tag.after;
        std::size_t end = std::string_view::npos;
        if (!declaredEnd(start, tag.length, end))
            return needMore();
        if (end == std::string_view::npos) {
            // A length that fits no reading: the value runs to the next tag, blanks and line ends before it aside.
            std::size_t next = start;
            Tag t;
            for (; (next = b.find('<', next)) != std::string_view::npos; ++next) {
                const Scan n = scanTag(b, next, more, t);
                if (n == Scan::NeedMore)
                    return needMore();
                if (n == Scan::Tag)
                    break;
            }
            if (next == std::string_view::npos) {
                if (more)
                    return needMore();
                next = b.size();
            }
            end = next;
            while (end > start && (b[end - 1] == ' ' || b[end - 1] == '\t' || isLineEnd(b[end - 1])))
                --end;
        }
        m_fields.push_back({i, tag.name, tag.type, start, end});
        i = end;
    }
    if (more)
        return needMore();
    return true;
}

} // namespace cardmill
