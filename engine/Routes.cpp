#include "engine/Routes.h"

#include <algorithm>
#include <array>
#include <vector>

#include "engine/AdifRecord.h"
#include "engine/BureauOrder.h"
#include "engine/Files.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

bool isAlnum(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The words of an upper-cased text: runs of letters and digits (with "/" when `slash`), the rest between them.
std::vector<std::string_view> wordsOf(std::string_view upper, bool slash)
{
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at < upper.size();) {
        while (at < upper.size() && !isAlnum(upper[at]) && !(slash && upper[at] == '/'))
            ++at;
        std::size_t end = at;
        while (end < upper.size() && (isAlnum(upper[end]) || (slash && upper[end] == '/')))
            ++end;
        if (end > at)
            words.push_back(upper.substr(at, end - at));
        at = end;
    }
    return words;
}

template <std::size_t N>
bool isOneOf(std::string_view word, const std::array<std::string_view, N>& list)
{
    return std::find(list.begin(), list.end(), word) != list.end();
}

// The spellings loggers and QSL managers use, in capitals.
constexpr std::array<std::string_view, 8> kDirect{"DIRECT",  "DIR",     "DIRECTLY", "DIREKT",
                                                  "DIRECTO", "DIRECTE", "DIRETTO",  "DIREKTEM"};
constexpr std::array<std::string_view, 8> kBureau{"BURO",  "BUREAU", "BUERO", "BURAU",
                                                  "BUREA", "BUR",    "BURRO", "BYBURO"};
constexpr std::array<std::string_view, 6> kElectronic{"LOTW", "EQSL", "ELECTRONIC", "QRZ", "CLUBLOG", "ONLINE"};
constexpr std::array<std::string_view, 5> kNoCard{"QSL", "QSLS", "CARD", "CARDS", "PAPER"};
// Words that say nothing of the route.
constexpr std::array<std::string_view, 16> kFiller{"QSL", "VIA",     "PSE", "PLS", "PLEASE", "ONLY", "OK",  "TNX",
                                                   "MGR", "MANAGER", "TO",  "BY",  "OR",     "AND",  "THE", "CARD"};

bool saysNoCard(const std::vector<std::string_view>& words)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "NOQSL" || words[i] == "NOCARD")
            return true;
        if (words[i] == "NO" && i + 1 < words.size() && isOneOf(words[i + 1], kNoCard))
            return true;
    }
    // "LoTW only", "eQSL only", or nothing but electronic systems.
    const bool electronic = std::any_of(words.begin(), words.end(), [](auto w) { return isOneOf(w, kElectronic); });
    const bool only = std::find(words.begin(), words.end(), "ONLY") != words.end();
    const bool nothingElse = std::all_of(words.begin(), words.end(), [](auto w) {
        return isOneOf(w, kElectronic) || w == "VIA" || w == "QSL" || w == "OR" || w == "AND" || w == "PSE";
    });
    return electronic && (only || nothingElse);
}

} // namespace

ViaReading readQslVia(std::string_view qslVia, Route fallback)
{
    ViaReading r;
    const std::string upper = text::upper(text::trim(qslVia));
    if (upper.empty())
        return r;
    const std::vector<std::string_view> words = wordsOf(upper, false);
    if (saysNoCard(words)) {
        r.route = Route::Electronic;
        r.reason = RouteReason::ViaWords;
        return r;
    }
    // An e-mail address or a web address is no call, whatever its parts look like.
    const bool address = upper.find('@') != std::string::npos || upper.find("://") != std::string::npos ||
                         upper.find("WWW.") != std::string::npos;
    std::vector<std::string> calls;
    if (!address)
        for (const std::string_view word : wordsOf(upper, true))
            if (isCallLike(word)) {
                std::string call = homeCall(word);
                if (std::find(calls.begin(), calls.end(), call) == calls.end())
                    calls.push_back(std::move(call));
            }
    const bool direct = std::any_of(words.begin(), words.end(), [](auto w) { return isOneOf(w, kDirect); });
    const bool bureau = std::any_of(words.begin(), words.end(), [](auto w) { return isOneOf(w, kBureau); });
    const bool otherWords = std::any_of(words.begin(), words.end(), [&](std::string_view w) {
        return !isOneOf(w, kDirect) && !isOneOf(w, kBureau) && !isOneOf(w, kFiller) && !isCallLike(w);
    });
    r.unclear = address || calls.size() > 1 || (otherWords && calls.empty() && !direct && !bureau);
    if (address || calls.size() > 1)
        return r; // more than one way to read it: the default, and the QSO listed
    if (calls.size() == 1) {
        r.manager = calls.front();
        r.reason = RouteReason::ViaManager;
        r.route = direct && !bureau ? Route::Direct : Route::Bureau;
        return r;
    }
    if (direct || bureau) {
        r.reason = RouteReason::ViaWords;
        // "Direct or buro": either will do, so the run's default where it is one of them.
        r.route = direct && bureau ? (fallback == Route::Direct ? Route::Direct : Route::Bureau)
                                   : (direct ? Route::Direct : Route::Bureau);
    }
    return r;
}

std::optional<Route> routeOfLetter(std::string_view letter)
{
    const std::string_view t = text::trim(letter);
    if (t.size() != 1)
        return std::nullopt;
    switch (text::upper(t[0])) {
    case 'B':
    case 'M': // a manager: by bureau unless QSL_VIA says otherwise
        return Route::Bureau;
    case 'D': return Route::Direct;
    case 'E': return Route::Electronic;
    default: return std::nullopt;
    }
}

char sentViaLetter(Route route)
{
    return route == Route::Bureau ? 'B' : route == Route::Direct ? 'D' : 0;
}

RouteDecision decideRoute(const AdifRecord& record, Route fallback)
{
    RouteDecision d;
    const auto value = [&](const char* field) {
        const AdifRecord::Declared v = record.declared(field);
        return v.ok() ? v.value : std::string_view();
    };
    const ViaReading via = readQslVia(value("QSL_VIA"), fallback);
    d.unclearVia = via.unclear;
    d.manager = via.manager;

    const std::string sent = text::upper(text::trim(value("QSL_SENT")));
    const std::string_view sentVia = text::trim(value("QSL_SENT_VIA"));
    if ((sent == "R" || sent == "Q") && routeOfLetter(sentVia)) {
        d.reason = RouteReason::LogAsks;
        d.route = *routeOfLetter(sentVia);
        // "M": to the manager, by the way QSL_VIA gives when it gives one.
        if (text::upper(sentVia) == "M" && via.route && *via.route != Route::Electronic)
            d.route = *via.route;
        return d;
    }
    if (via.route) {
        d.route = *via.route;
        d.reason = via.reason;
        return d;
    }
    if (text::upper(text::trim(value("QSL_RCVD"))) == "Y")
        if (const auto came = routeOfLetter(value("QSL_RCVD_VIA"))) {
            d.route = *came;
            d.reason = RouteReason::AnswerInKind;
            return d;
        }
    d.route = fallback;
    d.reason = RouteReason::Default;
    return d;
}

std::filesystem::path routeLabelsPath(const std::filesystem::path& base, Route route)
{
    return files::withSuffix(base, route == Route::Direct ? "_labels_direct.pdf" : "_labels_bureau.pdf");
}

std::filesystem::path directBase(const std::filesystem::path& base)
{
    return files::withSuffix(base, "_direct");
}

std::filesystem::path addressLabelsPath(const std::filesystem::path& base)
{
    return files::withSuffix(base, "_addresses.pdf");
}

std::filesystem::path routeListPath(const std::filesystem::path& base)
{
    return files::withSuffix(base, "_routes.txt");
}

int addressLineOf(std::string_view name)
{
    constexpr std::string_view prefix = "ADDRESS_LINE";
    if (name.size() != prefix.size() + 1 || !text::equalNoCase(name.substr(0, prefix.size()), prefix))
        return 0;
    const char n = name.back();
    return n >= '1' && n <= '0' + kAddressLines ? n - '0' : 0;
}

std::string addressLine(std::string_view address, int n)
{
    const bool breaks = address.find_first_of("\r\n") != std::string_view::npos;
    const std::string_view separators = breaks ? std::string_view("\r\n") : std::string_view(",");
    int line = 0;
    std::string out;
    for (std::size_t at = 0; at <= address.size();) {
        const std::size_t end = std::min(address.find_first_of(separators, at), address.size());
        const std::string_view piece = text::trim(address.substr(at, end - at));
        at = end + 1;
        if (piece.empty())
            continue;
        if (++line < n)
            continue;
        if (!out.empty())
            out += breaks ? " " : ", "; // the last line takes the rest
        out += piece;
        if (n < kAddressLines)
            break;
    }
    return out;
}

} // namespace cardmill
