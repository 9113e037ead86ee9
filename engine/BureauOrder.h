#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/CountryFile.h"
#include "engine/SortedLines.h"

namespace cardmill {

// How the labels of a run follow each other: by call (the lines' own order), or as QSL bureaus ask members to
// hand cards in: bundled by the recipient's country; or each QSO on its route (engine/Routes), the bureau's
// labels bundled so and the direct ones by call.
enum class LabelOrder { Call, Bureau, Routes };

// Whether a word can be a call: letters and at least one digit ("/" between parts allowed), 3 to 10
// characters of a part. "BURO", "DIRECT" and "LOTW" are none.
bool isCallLike(std::string_view word);
// The call that counts of a call written with "/": its longest part that is a call, with "P", "M", "MM",
// "AM", "QRP" and lone digits dropped ("EA8/DL1AA/P" -> "DL1AA"); the call itself without "/".
std::string homeCall(std::string_view call);
// The call a card goes to: the first call-like word of QSL_VIA (the manager), else the call; its home call,
// in capitals.
std::string routingCall(std::string_view qslVia, std::string_view call);

// A bureau's bundle: the entity's primary prefix without its "*" ("G" for G, M and 2E calls), for the USA,
// Canada and Australia followed by the call area ("K4", "VE3", "VK2"); "?" for calls the country file does
// not know.
struct Bundle {
    std::string name;
    std::string entity; // "England"; empty for "?"
    friend bool operator==(const Bundle&, const Bundle&) = default;
};
Bundle bundleOf(const CountryFile& countries, std::string_view routing);

// The sorted lines of a run in bureau order: bundles in character order (digits before letters) with the own
// call's bundle first (or, with `ownLast`, after the others), "?" last; within a bundle by routing call, then by
// call, then as the lines stand. Lines of one call group only with lines of the same routing call, so a
// station with several managers gets a label per manager.
struct BureauSorting {
    std::vector<std::uint32_t> order;    // positions in the sorted lines, in bureau order
    std::vector<std::string> routing;    // each line's routing call, by position
    std::vector<std::uint32_t> bundleOf; // each line's bundle (an index of `bundles`), by position
    std::vector<Bundle> bundles;         // in their order
};
BureauSorting sortForBureau(const SortedLines& lines, const CountryFile& countries, std::string_view ownCall,
                            bool ownLast);

// The packing list "<base>_bureau.txt": "BUNDLE,ENTITY,LABELS", a line for each bundle in order with its number
// of labels, and "TOTAL,,N". Throws IoError.
std::filesystem::path packingListPath(const std::filesystem::path& base);
void writePackingList(const std::filesystem::path& path, const std::vector<Bundle>& bundles,
                      const std::vector<std::size_t>& labels);

} // namespace cardmill
