#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace cardmill {

class AdifRecord;

// How a QSO's card goes out. A manager is no route of its own: the card goes to the manager by bureau or direct
// (bureau order bundles it by the manager's country).
enum class Route {
    Bureau,
    Direct,
    Electronic, // answered by LoTW, eQSL and the like: no card
    Held,       // a direct card with no address to send it to, kept back as the user chose
};

// Why a QSO takes its route: the rules in the order they are tried.
enum class RouteReason {
    LogAsks,      // QSL_SENT R or Q with QSL_SENT_VIA B, D, E or M
    ViaWords,     // QSL_VIA says direct, bureau, or no paper card
    ViaManager,   // QSL_VIA names a manager's call
    AnswerInKind, // QSL_RCVD Y: answered the way the card came (QSL_RCVD_VIA)
    Default,      // none of these: the run's default route
};

struct RouteDecision {
    Route route = Route::Bureau;
    RouteReason reason = RouteReason::Default;
    std::string manager;     // the manager's call, in capitals, when QSL_VIA names one
    bool unclearVia = false; // QSL_VIA holds text that fits no rule (prose, several calls, an address): listed
    friend bool operator==(const RouteDecision&, const RouteDecision&) = default;
};

// The route of a QSO by the rules above; `fallback` is the run's default route (Bureau, Direct or Electronic).
RouteDecision decideRoute(const AdifRecord& record, Route fallback);

// What QSL_VIA alone says: a route by its words or its manager's call, or nothing (with `unclearVia` set when
// there was text that fits no rule).
struct ViaReading {
    std::optional<Route> route;
    RouteReason reason = RouteReason::Default;
    std::string manager;
    bool unclear = false;
};
ViaReading readQslVia(std::string_view qslVia, Route fallback);

// The QSL_SENT_VIA letter of a route that sends a card: "B" or "D"; 0 for the others.
char sentViaLetter(Route route);
// The route of a QSL_SENT_VIA / QSL_RCVD_VIA letter or a command line's B, D or E, in either case; M is a
// manager; nothing for any other text.
std::optional<Route> routeOfLetter(std::string_view letter);

} // namespace cardmill

namespace cardmill {

// An address as an envelope shows it, a line at a time: the fields ADDRESS_LINE1 to ADDRESS_LINE5 of a label
// are the lines of the QSO's ADDRESS, split at its line breaks or, when it has none, at its commas; blank lines
// are left out, each line is trimmed, and the fifth takes all the rest. The built-in address design draws them.
inline constexpr int kAddressLines = 5;
// The line of the field `name` ("ADDRESS_LINE1" to "ADDRESS_LINE5", in any case): 1 to 5; 0 for another name.
int addressLineOf(std::string_view name);
// Line `n` (1 to 5) of `address`; empty when it has fewer.
std::string addressLine(std::string_view address, int n);

// The drawn labels of a route's batch: "<base>_labels_bureau.pdf", "<base>_labels_direct.pdf".
std::filesystem::path routeLabelsPath(const std::filesystem::path& base, Route route);
// The base of the direct batch's data-source files and label documents: "<base>_direct".
std::filesystem::path directBase(const std::filesystem::path& base);
// The address labels of the direct cards: "<base>_addresses.pdf".
std::filesystem::path addressLabelsPath(const std::filesystem::path& base);
// The QSOs of a run with routes that got no card, and those whose QSL_VIA fits no rule: "<base>_routes.txt".
std::filesystem::path routeListPath(const std::filesystem::path& base);

} // namespace cardmill
