#include "settings/IniFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unordered_set>

#include "engine/Files.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

std::string_view trimBlanks(std::string_view s)
{
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return {};
    const std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// What one line of the file is.
struct Parsed {
    enum class Kind { Section, Entry, Other } kind = Kind::Other;
    std::string_view name;  // section name or key
    std::string_view value; // entry value
};

Parsed parse(std::string_view line)
{
    Parsed p;
    const std::string_view t = trimBlanks(line);
    if (t.empty() || t[0] == ';' || t[0] == '#')
        return p;
    if (t[0] == '[') {
        const std::size_t close = t.find(']');
        if (close != std::string_view::npos) {
            p.kind = Parsed::Kind::Section;
            p.name = trimBlanks(t.substr(1, close - 1));
        }
        return p;
    }
    const std::size_t eq = t.find('=');
    if (eq != std::string_view::npos) {
        p.kind = Parsed::Kind::Entry;
        p.name = trimBlanks(t.substr(0, eq));
        p.value = trimBlanks(t.substr(eq + 1));
    }
    return p;
}

// Names in their first spelling, each once whatever its letter case, in the order first met.
class UniqueNames {
public:
    void add(std::string_view name)
    {
        if (m_seen.insert(text::upper(name)).second)
            m_names.emplace_back(name);
    }
    std::vector<std::string> take() { return std::move(m_names); }

private:
    std::unordered_set<std::string> m_seen;
    std::vector<std::string> m_names;
};

// Values go on one line: a line break inside one would begin a new line of the file.
std::string oneLine(std::string_view value)
{
    std::string v(value);
    for (char& c : v)
        if (c == '\r' || c == '\n')
            c = ' ';
    return v;
}

std::filesystem::path fullPath(const std::filesystem::path& p)
{
    std::error_code ec;
    const std::filesystem::path a = std::filesystem::absolute(p, ec);
    return ec ? p : a;
}

// Where a write really goes: the final target of a symbolic link.
std::filesystem::path writeTarget(const std::filesystem::path& path)
{
    std::filesystem::path p = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(p, ec))
            return p;
        const std::filesystem::path link = std::filesystem::read_symlink(p, ec);
        if (ec)
            return p;
        p = link.is_absolute() ? link : p.parent_path() / link;
    }
    return p;
}

} // namespace

SettingsReadError::SettingsReadError(const std::filesystem::path& path, const std::string& why)
    : FailureError({FailureId::SettingsRead, fullPath(path), why},
                   "The settings file \"" + fullPath(path).string() + "\" " + why)
{
}

SettingsWriteError::SettingsWriteError(const std::filesystem::path& path)
    : FailureError({FailureId::SettingsWrite, fullPath(path), {}}, "Unable to write to " + fullPath(path).string())
{
}

// --- Lines ---

std::optional<IniFile::Lines::Range> IniFile::Lines::find(std::string_view section) const
{
    if (!m_indexed) {
        m_index.clear();
        Range* open = nullptr; // the section whose end is still to be found
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            const Parsed p = parse(m_lines[i]);
            if (p.kind != Parsed::Kind::Section)
                continue;
            if (open)
                open->end = i;
            // The first of duplicate sections counts; a later one only ends the one before it.
            const auto [it, first] = m_index.emplace(text::upper(p.name), Range{i, m_lines.size()});
            open = first ? &it->second : nullptr;
        }
        m_indexed = true;
    }
    const auto it = m_index.find(text::upper(section));
    if (it == m_index.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::string> IniFile::Lines::read(std::string_view section, std::string_view key) const
{
    const std::optional<Range> r = find(section);
    if (!r)
        return std::nullopt;
    for (std::size_t i = r->header + 1; i < r->end; ++i) {
        const Parsed p = parse(m_lines[i]);
        if (p.kind == Parsed::Kind::Entry && text::equalNoCase(p.name, key))
            return std::string(p.value);
    }
    return std::nullopt;
}

void IniFile::Lines::write(std::string_view section, std::string_view key, std::string_view value)
{
    std::string entry(trimBlanks(key));
    entry.push_back('=');
    entry.append(oneLine(value));
    const std::optional<Range> r = find(section);
    m_indexed = false; // whatever is written below may move or make a section
    if (!r) {
        m_lines.push_back("[" + std::string(trimBlanks(section)) + "]");
        m_lines.push_back(std::move(entry));
        return;
    }
    std::size_t lastContent = r->header;
    for (std::size_t i = r->header + 1; i < r->end; ++i) {
        const Parsed p = parse(m_lines[i]);
        if (p.kind == Parsed::Kind::Entry && text::equalNoCase(p.name, key)) {
            m_lines[i] = std::move(entry);
            return;
        }
        if (!trimBlanks(m_lines[i]).empty())
            lastContent = i;
    }
    // A new key goes after the section's last line, before the blank lines that part it from the next.
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(lastContent + 1), std::move(entry));
}

void IniFile::Lines::eraseSection(std::string_view section)
{
    // Every section of that name goes, so that no duplicate comes to light in its place.
    std::vector<std::string> kept;
    kept.reserve(m_lines.size());
    bool erasing = false;
    for (std::string& line : m_lines) {
        const Parsed p = parse(line);
        if (p.kind == Parsed::Kind::Section)
            erasing = text::equalNoCase(p.name, section);
        if (!erasing)
            kept.push_back(std::move(line));
    }
    m_lines = std::move(kept);
    m_indexed = false;
}

std::vector<std::string> IniFile::Lines::sections() const
{
    UniqueNames names;
    for (const std::string& line : m_lines) {
        const Parsed p = parse(line);
        if (p.kind == Parsed::Kind::Section)
            names.add(p.name);
    }
    return names.take();
}

std::vector<std::string> IniFile::Lines::keys(std::string_view section) const
{
    UniqueNames names;
    const std::optional<Range> r = find(section);
    if (!r)
        return {};
    for (std::size_t i = r->header + 1; i < r->end; ++i) {
        const Parsed p = parse(m_lines[i]);
        if (p.kind == Parsed::Kind::Entry && !p.name.empty())
            names.add(p.name);
    }
    return names.take();
}

// --- IniFile ---

bool IniFile::exists() const
{
    std::error_code ec;
    return std::filesystem::is_regular_file(m_path, ec);
}

std::vector<std::string> IniFile::load() const
{
    std::vector<std::string> lines;
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(m_path, ec);
    if (st.type() == std::filesystem::file_type::not_found)
        return lines; // no settings yet
    if (ec)
        throw SettingsReadError(m_path, "cannot be read (" + ec.message() + ")");
    if (st.type() == std::filesystem::file_type::directory)
        throw SettingsReadError(m_path, "is a folder");
    if (st.type() != std::filesystem::file_type::regular)
        throw SettingsReadError(m_path, "is not a regular file");
    if (std::filesystem::file_size(m_path, ec) > kMaxSettingsFileSize)
        throw SettingsReadError(m_path, "is too large to be a settings file");
    std::ifstream in(m_path, std::ios::binary);
    if (!in)
        throw SettingsReadError(m_path, std::string("cannot be read (") + std::strerror(errno) + ")");
    std::ostringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        lines.emplace_back(text, start, stop - start);
        start = end + 1;
    }
    return lines;
}

void IniFile::save(const std::vector<std::string>& lines) const
{
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");

    if (!files::replaceContents(writeTarget(m_path), text))
        throw SettingsWriteError(m_path);
}

IniFile::Lines IniFile::snapshot() const
{
    return Lines(load());
}

std::optional<std::string> IniFile::read(std::string_view section, std::string_view key) const
{
    return Lines(load()).read(section, key);
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view fallback) const
{
    return read(section, key).value_or(std::string(fallback));
}

int IniFile::readInt(std::string_view section, std::string_view key, int fallback) const
{
    const auto v = read(section, key);
    if (!v || v->empty())
        return fallback;
    std::size_t i = 0;
    bool negative = false;
    if ((*v)[0] == '-' || (*v)[0] == '+') {
        negative = (*v)[0] == '-';
        i = 1;
    }
    if (i == v->size())
        return fallback;
    long long n = 0;
    for (; i < v->size(); ++i) {
        const char c = (*v)[i];
        if (c < '0' || c > '9' || n > 2147483648LL)
            return fallback;
        n = n * 10 + (c - '0');
    }
    n = negative ? -n : n;
    if (n < -2147483648LL || n > 2147483647LL)
        return fallback;
    return static_cast<int>(n);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const
{
    return readInt(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) const
{
    update([&](Lines& lines) { lines.write(section, key, value); });
}

void IniFile::writeInt(std::string_view section, std::string_view key, int value) const
{
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) const
{
    writeString(section, key, value ? "1" : "0");
}

std::vector<std::string> IniFile::sections() const
{
    return Lines(load()).sections();
}

std::vector<std::string> IniFile::keys(std::string_view section) const
{
    return Lines(load()).keys(section);
}

bool IniFile::sectionExists(std::string_view section) const
{
    return !keys(section).empty();
}

void IniFile::eraseSection(std::string_view section) const
{
    update([&](Lines& lines) { lines.eraseSection(section); });
}

void IniFile::remove() const
{
    std::error_code ec;
    std::filesystem::remove(m_path, ec);
}

} // namespace cardmill
