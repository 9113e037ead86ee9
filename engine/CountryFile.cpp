#include "engine/CountryFile.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/Failure.h"
#include "engine/ProgramFiles.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

// An alias without its overrides: "(zone)", "[zone]", "<lat/long>", "{continent}", "~offset~".
std::string bare(std::string_view alias)
{
    std::string out;
    for (const char c : alias) {
        if (c == '(' || c == '[' || c == '<' || c == '{' || c == '~')
            break;
        out += text::upper(c);
    }
    return std::string(text::trim(out));
}

} // namespace

CountryFile CountryFile::parse(std::string_view all)
{
    // "Name: CQ: ITU: continent: latitude: longitude: offset: primary:" on one line, then the entity's aliases,
    // separated by commas over as many lines as they take, up to ";".
    CountryFile file;
    std::size_t at = 0;
    while (at < all.size()) {
        const std::size_t end = all.find(';', at);
        const std::string_view record =
            all.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        at = end == std::string_view::npos ? all.size() : end + 1;
        // The eight header fields end in ":".
        std::vector<std::string_view> fields;
        std::size_t from = 0;
        while (fields.size() < 8) {
            const std::size_t colon = record.find(':', from);
            if (colon == std::string_view::npos)
                break;
            fields.push_back(text::trim(record.substr(from, colon - from)));
            from = colon + 1;
        }
        if (fields.size() < 8 || fields[0].empty() || fields[7].empty())
            continue;
        const std::size_t entity = file.m_entities.size();
        file.m_entities.push_back({std::string(fields[0]), std::string(fields[7])});
        std::string_view aliases = record.substr(from);
        while (!aliases.empty()) {
            const std::size_t comma = aliases.find(',');
            const std::string_view alias = text::trim(aliases.substr(0, comma));
            aliases = comma == std::string_view::npos ? std::string_view() : aliases.substr(comma + 1);
            if (alias.empty())
                continue;
            if (alias[0] == '=') {
                const std::string call = bare(alias.substr(1));
                if (!call.empty())
                    file.m_exact.emplace(call, entity);
            } else {
                const std::string prefix = bare(alias);
                if (!prefix.empty() && file.m_prefixes.emplace(prefix, entity).second)
                    file.m_longestPrefix = std::max(file.m_longestPrefix, prefix.size());
            }
        }
    }
    return file;
}

CountryFile CountryFile::load(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw IoError(FailureId::OpenFile, path);
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad())
        throw IoError(FailureId::ReadFile, path);
    CountryFile file = parse(all.str());
    if (file.size() == 0)
        throw IoError(FailureId::ReadFile, path, "it holds no country");
    return file;
}

const CountryFile::Entity* CountryFile::find(std::string_view call) const
{
    if (call.empty())
        return nullptr;
    if (const auto exact = m_exact.find(std::string(call)); exact != m_exact.end())
        return &m_entities[exact->second];
    for (std::size_t n = std::min(call.size(), m_longestPrefix); n > 0; --n)
        if (const auto p = m_prefixes.find(std::string(call.substr(0, n))); p != m_prefixes.end())
            return &m_entities[p->second];
    return nullptr;
}

std::filesystem::path findCountryFile(const std::filesystem::path& userFolder)
{
    std::error_code ec;
    if (!userFolder.empty() && std::filesystem::is_regular_file(userFolder / "cty.dat", ec))
        return userFolder / "cty.dat";
    for (const std::filesystem::path& dir : systemDataFolders())
        if (const auto file = dir / "hamradio-files" / "cty.dat"; std::filesystem::is_regular_file(file, ec))
            return file;
    return {};
}

} // namespace cardmill
