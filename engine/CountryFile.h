#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cardmill {

// The country file that contest loggers use ("cty.dat", by AD1C; Debian's hamradio-files ships it): the DXCC
// entities with their primary prefixes, the prefixes that belong to each, and calls that belong to an entity
// other than their prefix says ("=CALL").
class CountryFile {
public:
    struct Entity {
        std::string name;    // "England"
        std::string primary; // "G", "KH6", "*TA1" (a "*" marks an entity of a list other than DXCC)
    };

    // Reads a country file. Throws IoError when it cannot be read, and when it holds no entity.
    static CountryFile load(const std::filesystem::path& path);
    // Reads a country file's text (for tests).
    static CountryFile parse(std::string_view text);

    // The entity of a call (capitals): its exact entry first, else the longest prefix it begins with; null
    // when neither.
    const Entity* find(std::string_view call) const;
    std::size_t size() const { return m_entities.size(); }

private:
    std::vector<Entity> m_entities;
    std::unordered_map<std::string, std::size_t> m_exact;
    std::unordered_map<std::string, std::size_t> m_prefixes;
    std::size_t m_longestPrefix = 0;
};

// Where the country file is: the user's own in `userFolder` (a newer one they put there), else the one of
// Debian's hamradio-files package in the system's data folders ($XDG_DATA_DIRS); empty when there is none.
std::filesystem::path findCountryFile(const std::filesystem::path& userFolder);

} // namespace cardmill
