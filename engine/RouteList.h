#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace cardmill {

// The QSOs of a run with routes that get no card, and those whose QSL_VIA fits no rule, written as
// "<base>_routes.txt": one line a QSO with its call, date, time, band and mode as its label line has them, why
// it is listed, and its QSL_VIA. Every QSO of the run is on a label or on this list.
class RouteList {
public:
    enum class Why {
        Electronic,        // answered electronically: no card
        NoAddressHeld,     // a direct card with no ADDRESS, kept back
        NoAddressByBureau, // a direct card with no ADDRESS, sent by bureau instead
        UnclearVia,        // QSL_VIA fits no rule: the default route taken
        Count
    };

    // A QSO by its label line.
    void add(std::string_view line, Why why);
    std::size_t count(Why why) const { return m_counts[static_cast<std::size_t>(why)]; }
    bool empty() const { return m_text.empty(); }

    // Writes the list in one step, or removes an older one when nothing is listed. Throws IoError.
    void write(const std::filesystem::path& path) const;

private:
    std::string m_text;
    std::array<std::size_t, static_cast<std::size_t>(Why::Count)> m_counts{};
};

} // namespace cardmill
