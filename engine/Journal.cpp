#include "engine/Journal.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "engine/AdifRecord.h"
#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/LineReader.h"
#include "engine/RunRequest.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The largest run or sheet number a journal line may have; a line with a larger one is passed over.
constexpr long long kLargestNumber = 1000000000;

// The fields of a journal line, split at its tabs.
std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t at = 0;;) {
        const std::size_t tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab == std::string_view::npos ? std::string_view::npos : tab - at));
        if (tab == std::string_view::npos)
            return fields;
        at = tab + 1;
    }
}

// Each QSO key of a line's last field, where they stand separated by ";".
template <typename F>
void forEachKey(std::string_view keys, F&& f)
{
    while (!keys.empty()) {
        const std::size_t semi = keys.find(';');
        f(keys.substr(0, semi));
        keys = semi == std::string_view::npos ? std::string_view() : keys.substr(semi + 1);
    }
}

// Whether the file's last byte ends a line: a journal whose last line was cut off does not.
bool endsWithLineEnd(const std::filesystem::path& path)
{
    const File f(files::open(path, "rb"));
    if (!f || std::fseek(f.get(), -1, SEEK_END) != 0)
        return true; // empty, or not to be read: nothing cut off
    return std::fgetc(f.get()) == '\n';
}

} // namespace

std::string journalKey(const AdifRecord& record)
{
    std::string key;
    for (const char* field : {"CALL", "QSO_DATE", "TIME_ON", "BAND", "MODE"}) {
        const AdifRecord::Declared v = record.declared(field);
        std::string value = v.ok() ? text::upper(text::trim(v.value)) : std::string();
        if (std::string_view(field) == "TIME_ON")
            value.resize(std::min<std::size_t>(value.size(), 4));
        for (char& c : value)
            if (c == '|' || c == ';' || c == '\t' || c == '\r' || c == '\n')
                c = ' '; // the journal's own separators never stand in a value
        if (!key.empty())
            key.push_back('|');
        key += value;
    }
    return key;
}

Journal Journal::read(const std::filesystem::path& path)
{
    Journal journal;
    journal.m_path = path;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return journal;
    if (!std::filesystem::is_regular_file(path, ec))
        throw IoError(FailureId::JournalNotOurs, path);
    if (!files::startsWith(path, kHeader))
        throw IoError(FailureId::JournalNotOurs, path);
    const bool whole = endsWithLineEnd(path);
    LineReader lines(path);
    std::string line;
    bool first = true;
    while (!lines.atEnd()) {
        line.clear();
        lines.appendLine(line);
        // A last line without its line end was cut off while it was written.
        const bool torn = !whole && lines.atEnd();
        journal.m_torn = torn;
        if (first) {
            first = false;
            continue;
        }
        const std::vector<std::string_view> fields = fieldsOf(line);
        // The run's number counts when it is whole, so that no later run takes it again.
        long long run = 0;
        if (fields.size() > 1 && text::parseInteger(fields[0], run) && run > 0 && run <= kLargestNumber &&
            static_cast<std::size_t>(run) > journal.m_lastRun)
            journal.m_lastRun = static_cast<std::size_t>(run);
        if (torn || fields.size() < 7)
            continue;
        long long sheet = 0;
        if (run > 0 && run <= kLargestNumber && text::parseInteger(fields[4], sheet) && sheet > 0 &&
            sheet <= kLargestNumber) {
            if (journal.m_runs.empty() || journal.m_runs.back().run != static_cast<std::size_t>(run))
                journal.m_runs.push_back({static_cast<std::size_t>(run), std::string(fields[2]), 0, 0});
            std::size_t& sheets =
                fields[1] == "D" ? journal.m_runs.back().directSheets : journal.m_runs.back().bureauSheets;
            sheets = std::max(sheets, static_cast<std::size_t>(sheet));
        }
        forEachKey(fields[6], [&](std::string_view key) { journal.m_keys.emplace(key); });
    }
    return journal;
}

Journal::Sheet Journal::findSheet(const std::filesystem::path& path, std::size_t run, std::size_t sheet, Route route)
{
    Sheet found;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return found;
    if (!files::startsWith(path, kHeader))
        throw IoError(FailureId::JournalNotOurs, path);
    const bool whole = endsWithLineEnd(path);
    LineReader lines(path);
    std::string line;
    const std::string runText = std::to_string(run), sheetText = std::to_string(sheet);
    while (!lines.atEnd()) {
        line.clear();
        lines.appendLine(line);
        if (!whole && lines.atEnd())
            break;
        const std::vector<std::string_view> fields = fieldsOf(line);
        if (fields.size() < 7 || fields[0] != runText || fields[4] != sheetText ||
            fields[1] != (route == Route::Direct ? "D" : "B"))
            continue;
        long long place = 0;
        if (!text::parseInteger(fields[5], place) || place < 1)
            continue;
        if (found.keys.empty() || static_cast<std::size_t>(place) < found.firstPlace)
            found.firstPlace = static_cast<std::size_t>(place);
        found.route = route;
        found.file = files::pathFromUtf8(std::string(fields[3]));
        forEachKey(fields[6], [&](std::string_view key) { found.keys.emplace_back(key); });
    }
    return found;
}

void startWhereTheSheetStarted(RunRequest& request)
{
    const RouteChoice& routes = request.routes;
    if (!request.routed() || !routes.reprintSheet || routes.journal.empty())
        return;
    const Journal::Sheet sheet = Journal::findSheet(routes.journal, routes.reprintSheet->run,
                                                    routes.reprintSheet->sheet, routes.reprintSheet->route);
    if (sheet.firstPlace > 0)
        request.startLabel = request.routes.directStart =
            static_cast<int>(std::min<std::size_t>(sheet.firstPlace, kMaxStartLabel));
}

void Journal::prepare() const
{
    std::error_code ec;
    if (std::filesystem::exists(m_path, ec)) {
        const File f(files::open(m_path, "ab"));
        if (!f)
            throw IoError(FailureId::WriteFile, m_path, files::systemError());
        return;
    }
    if (!m_path.parent_path().empty())
        std::filesystem::create_directories(m_path.parent_path(), ec);
    const File f(files::open(m_path, "wb"));
    if (!f)
        throw IoError(FailureId::CreateFile, m_path, files::systemError());
    const std::string header = std::string(kHeader) + "\r\n";
    if (std::fwrite(header.data(), 1, header.size(), f.get()) != header.size() || !files::flushToDisk(f.get()))
        throw IoError(FailureId::WriteFile, m_path, files::systemError());
}

void Journal::append(std::size_t run, std::string_view date, const std::vector<Label>& labels) const
{
    std::string text;
    // A line cut off by an earlier run that died is ended first, so that it stays one line of its own.
    if (m_torn)
        text += "\r\n";
    for (const Label& label : labels) {
        text += std::to_string(run) + '\t' + (label.route == Route::Direct ? "D" : "B") + '\t' + std::string(date) +
                '\t' + files::utf8Of(label.file) + '\t' + std::to_string(label.sheet) + '\t' +
                std::to_string(label.place) + '\t';
        for (std::size_t i = 0; i < label.keys.size(); ++i)
            text += (i ? ";" : "") + label.keys[i];
        text += "\r\n";
    }
    const File f(files::open(m_path, "ab"));
    if (!f || std::fwrite(text.data(), 1, text.size(), f.get()) != text.size() || !files::flushToDisk(f.get()))
        throw IoError(FailureId::WriteFile, m_path, files::systemError());
}

} // namespace cardmill
