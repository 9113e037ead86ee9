#include "engine/BureauOrder.h"

#include <algorithm>
#include <numeric>

#include "engine/LineComposer.h"
#include "engine/OutputFile.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A call's part: letters and digits, at least one of each, 3 to 10 characters.
bool isCallPart(std::string_view part)
{
    if (part.size() < 3 || part.size() > 10)
        return false;
    bool letter = false, digit = false;
    for (const char c : part) {
        letter = letter || isLetter(c);
        digit = digit || isDigit(c);
        if (!isLetter(c) && !isDigit(c))
            return false;
    }
    return letter && digit;
}

} // namespace

bool isCallLike(std::string_view word)
{
    std::size_t at = 0;
    bool any = false;
    while (at <= word.size()) {
        const std::size_t slash = std::min(word.find('/', at), word.size());
        const std::string_view part = word.substr(at, slash - at);
        if (isCallPart(part))
            any = true;
        else if (part.empty() ||
                 !std::all_of(part.begin(), part.end(), [](char c) { return isLetter(c) || isDigit(c); }))
            return false;
        at = slash + 1;
    }
    return any;
}

std::string homeCall(std::string_view call)
{
    const std::string upper = text::upper(text::trim(call));
    if (upper.find('/') == std::string::npos)
        return upper;
    std::string best;
    for (std::size_t at = 0; at <= upper.size();) {
        const std::size_t slash = std::min(upper.find('/', at), upper.size());
        const std::string part = upper.substr(at, slash - at);
        at = slash + 1;
        if (part == "P" || part == "M" || part == "MM" || part == "AM" || part == "QRP" ||
            std::all_of(part.begin(), part.end(), isDigit))
            continue;
        if (isCallPart(part) && part.size() > best.size())
            best = part;
    }
    return best.empty() ? upper : best;
}

std::string routingCall(std::string_view qslVia, std::string_view call)
{
    // Words of QSL_VIA: letters, digits and "/", anything else between them.
    for (std::size_t at = 0; at < qslVia.size();) {
        while (at < qslVia.size() && !isLetter(qslVia[at]) && !isDigit(qslVia[at]) && qslVia[at] != '/')
            ++at;
        std::size_t end = at;
        while (end < qslVia.size() && (isLetter(qslVia[end]) || isDigit(qslVia[end]) || qslVia[end] == '/'))
            ++end;
        const std::string_view word = qslVia.substr(at, end - at);
        if (!word.empty() && isCallLike(word))
            return homeCall(word);
        at = end;
    }
    return homeCall(call);
}

Bundle bundleOf(const CountryFile& countries, std::string_view routing)
{
    const CountryFile::Entity* entity = countries.find(routing);
    if (!entity)
        return {"?", {}};
    std::string name = entity->primary;
    if (!name.empty() && name.front() == '*')
        name.erase(0, 1);
    if (name == "K" || name == "VE" || name == "VK") {
        const auto digit = std::find_if(routing.begin(), routing.end(), isDigit);
        if (digit != routing.end())
            name += *digit;
    }
    return {name, entity->name};
}

BureauSorting sortForBureau(const SortedLines& lines, const CountryFile& countries, std::string_view ownCall,
                            bool ownLast)
{
    BureauSorting s;
    const std::size_t n = lines.size();
    s.routing.resize(n);
    s.bundleOf.resize(n);
    std::vector<Bundle> found;
    for (std::size_t i = 0; i < n; ++i) {
        s.routing[i] = routingCall(lineColumn(lines[i], LineColumn::QslVia), lineColumn(lines[i], LineColumn::Call));
        const Bundle b = bundleOf(countries, s.routing[i]);
        auto at = std::find(found.begin(), found.end(), b);
        if (at == found.end())
            at = found.insert(found.end(), b);
        s.bundleOf[i] = static_cast<std::uint32_t>(at - found.begin());
    }
    // The bundles' order: the own one first (or last but for "?"), the others by name, "?" at the end.
    const std::string own = ownCall.empty() ? std::string() : bundleOf(countries, homeCall(ownCall)).name;
    auto rank = [&](const Bundle& b) {
        if (b.name == "?")
            return 3;
        if (b.name == own)
            return ownLast ? 2 : 0;
        return 1;
    };
    std::vector<std::uint32_t> bundleOrder(found.size());
    std::iota(bundleOrder.begin(), bundleOrder.end(), 0);
    std::sort(bundleOrder.begin(), bundleOrder.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int ra = rank(found[a]), rb = rank(found[b]);
        return ra != rb ? ra < rb : found[a].name < found[b].name;
    });
    std::vector<std::uint32_t> place(found.size());
    for (std::size_t i = 0; i < bundleOrder.size(); ++i) {
        place[bundleOrder[i]] = static_cast<std::uint32_t>(i);
        s.bundles.push_back(found[bundleOrder[i]]);
    }
    for (std::uint32_t& b : s.bundleOf)
        b = place[b];

    s.order.resize(n);
    std::iota(s.order.begin(), s.order.end(), 0);
    std::stable_sort(s.order.begin(), s.order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (s.bundleOf[a] != s.bundleOf[b])
            return s.bundleOf[a] < s.bundleOf[b];
        if (s.routing[a] != s.routing[b])
            return s.routing[a] < s.routing[b];
        return SortedLines::compare(lineColumn(lines[a], LineColumn::Call), lineColumn(lines[b], LineColumn::Call)) < 0;
    });
    return s;
}

std::filesystem::path packingListPath(const std::filesystem::path& base)
{
    std::filesystem::path p = base;
    p += "_bureau.txt";
    return p;
}

void writePackingList(const std::filesystem::path& path, const std::vector<Bundle>& bundles,
                      const std::vector<std::size_t>& labels)
{
    OutputFile out(path);
    out.write("BUNDLE,ENTITY,LABELS\r\n");
    std::size_t total = 0;
    for (std::size_t i = 0; i < bundles.size(); ++i) {
        const std::size_t count = i < labels.size() ? labels[i] : 0;
        if (count == 0)
            continue;
        std::string entity = bundles[i].entity;
        std::replace(entity.begin(), entity.end(), ',', ' ');
        out.write(bundles[i].name + "," + entity + "," + std::to_string(count) + "\r\n");
        total += count;
    }
    out.write("TOTAL,," + std::to_string(total) + "\r\n");
    out.commit();
}

} // namespace cardmill
