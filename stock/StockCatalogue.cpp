#include "stock/StockCatalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <system_error>

#include <pugixml.hpp>

#include "engine/ProgramFiles.h"
#include "engine/RunRequest.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

// Template files larger than this are no stock database.
constexpr std::uintmax_t kMaxFileSize = 16u << 20;

// The files of a folder whose names end in `suffix`, in name order; none when it cannot be read.
std::vector<std::filesystem::path> filesEndingIn(const std::filesystem::path& folder, std::string_view suffix)
{
    std::vector<std::filesystem::path> out;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > suffix.size() && name.ends_with(suffix) && it->is_regular_file(ec))
            out.push_back(it->path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The attribute, or its translatable form with a leading underscore.
std::string attribute(pugi::xml_node n, const char* name)
{
    if (pugi::xml_attribute a = n.attribute(name))
        return a.value();
    return n.attribute(("_" + std::string(name)).c_str()).value();
}

// A length attribute. One that may be left out counts as 0 when it is missing or unreadable (as in gLabels,
// whose files have an empty x0 and a corner radius of "in").
bool length(pugi::xml_node n, const char* name, double& out, bool required = true)
{
    const auto v = parseLength(n.attribute(name).value());
    if (!v || *v < 0) {
        if (required)
            return false;
        out = 0;
        return true;
    }
    out = *v;
    return true;
}

bool loadXml(const std::filesystem::path& file, pugi::xml_document& doc, std::string& why)
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec) {
        why = ec.message();
        return false;
    }
    if (size > kMaxFileSize) {
        why = "larger than " + std::to_string(kMaxFileSize >> 20) + " MB";
        return false;
    }
    const pugi::xml_parse_result r = doc.load_file(file.c_str());
    if (!r) {
        why = std::string(r.description()) + " at byte " + std::to_string(r.offset);
        return false;
    }
    return true;
}

} // namespace

struct StockCatalogue::Pending {
    LabelStock stock;   // brand, part, description, file
    std::string target; // the part it equals, of the same brand
};

std::vector<std::filesystem::path> StockCatalogue::systemFolders()
{
    std::vector<std::filesystem::path> out;
    const std::filesystem::path home = userDataFolder();
    if (!home.empty())
        out.push_back(home / "libglabels-3.0" / "templates");
    for (const std::filesystem::path& dir : systemDataFolders())
        out.push_back(dir / "libglabels-3.0" / "templates");
    return out;
}

std::filesystem::path StockCatalogue::userFolder()
{
    const std::filesystem::path config = glibConfigFolder();
    return config.empty() ? std::filesystem::path() : config / "libglabels" / "templates";
}

void StockCatalogue::load(const std::vector<std::filesystem::path>& systemFolders,
                          const std::filesystem::path& userFolder)
{
    m_papers = standardPapers();
    m_stocks.clear();
    m_warnings.clear();
    m_databaseFound = false;

    // Paper sizes first: the templates name them.
    for (const auto& folder : systemFolders) {
        const std::filesystem::path file = folder / "paper-sizes.xml";
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec))
            continue;
        pugi::xml_document doc;
        std::string why;
        if (!loadXml(file, doc, why)) {
            m_warnings.push_back("Skipped " + file.string() + ": " + why);
            continue;
        }
        for (pugi::xml_node p : doc.document_element().children("Paper-size")) {
            PaperSize size{p.attribute("id").value(), attribute(p, "name"), 0, 0};
            if (size.id.empty() || !length(p, "width", size.width) || !length(p, "height", size.height))
                continue;
            const auto known =
                std::find_if(m_papers.begin(), m_papers.end(), [&](const PaperSize& k) { return k.id == size.id; });
            if (known == m_papers.end())
                m_papers.push_back(size);
        }
    }

    std::vector<Pending> equivalents;
    for (const auto& folder : systemFolders)
        for (const auto& file : filesEndingIn(folder, "-templates.xml")) {
            m_databaseFound = true;
            readTemplates(file, equivalents);
        }
    if (!userFolder.empty())
        for (const auto& file : filesEndingIn(userFolder, ".template"))
            readTemplates(file, equivalents);

    // A part that is the same as another takes its geometry (and its description when it has none).
    auto byName = [](const LabelStock& a, const LabelStock& b) {
        const std::string x = text::upper(a.brand), y = text::upper(b.brand);
        return x != y ? x < y : text::upper(a.part) < text::upper(b.part);
    };
    std::vector<LabelStock> originals = m_stocks;
    std::sort(originals.begin(), originals.end(), byName);
    // An equal may itself be an equal of another: resolve in rounds until nothing more resolves.
    for (bool progress = true; progress && !equivalents.empty();) {
        progress = false;
        std::vector<Pending> waiting;
        std::vector<LabelStock> resolved;
        for (Pending& p : equivalents) {
            LabelStock key;
            key.brand = p.stock.brand;
            key.part = p.target;
            const auto it = std::lower_bound(originals.begin(), originals.end(), key, byName);
            if (it == originals.end() || byName(key, *it)) {
                waiting.push_back(std::move(p));
                continue;
            }
            LabelStock s = *it;
            s.part = p.stock.part;
            if (!p.stock.description.empty())
                s.description = p.stock.description;
            s.equivalentTo = it->equivalentTo.empty() ? it->name() : it->equivalentTo;
            s.file = p.stock.file;
            resolved.push_back(std::move(s));
        }
        progress = !resolved.empty();
        for (LabelStock& s : resolved) {
            originals.insert(std::upper_bound(originals.begin(), originals.end(), s, byName), s);
            m_stocks.push_back(std::move(s));
        }
        equivalents = std::move(waiting);
    }
    for (const Pending& p : equivalents)
        m_warnings.push_back("Skipped " + p.stock.name() + " in " + p.stock.file.string() + ": its equal " +
                             p.stock.brand + " " + p.target + " is not there");
    std::stable_sort(m_stocks.begin(), m_stocks.end(), byName);
    // The same stock from two places (a user's copy of a database stock): the first read stays.
    m_stocks.erase(
        std::unique(m_stocks.begin(), m_stocks.end(),
                    [&](const LabelStock& a, const LabelStock& b) { return !byName(a, b) && !byName(b, a); }),
        m_stocks.end());
}

void StockCatalogue::readTemplates(const std::filesystem::path& file, std::vector<Pending>& equivalents)
{
    pugi::xml_document doc;
    std::string why;
    if (!loadXml(file, doc, why)) {
        m_warnings.push_back("Skipped " + file.string() + ": " + why);
        return;
    }
    const pugi::xml_node root = doc.document_element();
    std::vector<pugi::xml_node> templates;
    if (std::string_view(root.name()) == "Template")
        templates.push_back(root);
    for (pugi::xml_node t : root.children("Template"))
        templates.push_back(t);
    if (templates.empty() && std::string_view(root.name()) != "Glabels-templates") {
        m_warnings.push_back("Skipped " + file.string() + ": not a label-stock file");
        return;
    }
    std::size_t bad = 0;
    std::string firstBad;
    auto reject = [&](const std::string& what) {
        if (bad++ == 0)
            firstBad = what;
    };
    for (pugi::xml_node t : templates) {
        LabelStock s;
        s.brand = t.attribute("brand").value();
        s.part = t.attribute("part").value();
        s.description = attribute(t, "description");
        s.file = file;
        if (s.brand.empty() || s.part.empty()) {
            // gLabels 2 wrote one "name" instead: "Avery 5160".
            const std::string name = t.attribute("name").value();
            const std::size_t blank = name.find(' ');
            if (blank == std::string::npos) {
                reject("a stock without brand and part");
                continue;
            }
            s.brand = name.substr(0, blank);
            s.part = name.substr(blank + 1);
        }
        if (const char* equiv = t.attribute("equiv").value(); *equiv) {
            equivalents.push_back({s, equiv});
            continue;
        }
        const std::string size = t.attribute("size").value();
        if (text::equalNoCase(size, "Other") || size.empty()) {
            if (!length(t, "width", s.paperWidth) || !length(t, "height", s.paperHeight)) {
                reject(s.name() + " (no paper size)");
                continue;
            }
        } else {
            const auto paper = std::find_if(m_papers.begin(), m_papers.end(),
                                            [&](const PaperSize& p) { return text::equalNoCase(p.id, size); });
            if (paper == m_papers.end()) {
                reject(s.name() + " (unknown paper \"" + size + "\")");
                continue;
            }
            s.paperName = paper->name;
            s.paperWidth = paper->width;
            s.paperHeight = paper->height;
        }
        pugi::xml_node label;
        for (pugi::xml_node c : t.children()) {
            const std::string_view n = c.name();
            if (n == "Label-rectangle" || n == "Label-round" || n == "Label-ellipse" || n == "Label-cd") {
                label = c;
                break;
            }
        }
        if (!label) {
            reject(s.name() + " (no label)");
            continue;
        }
        const std::string_view kind = label.name();
        bool ok = true;
        if (kind == "Label-rectangle") {
            ok = length(label, "width", s.width) && length(label, "height", s.height) &&
                 length(label, "round", s.corner, false);
        } else if (kind == "Label-ellipse") {
            s.shape = LabelStock::Shape::Ellipse;
            ok = length(label, "width", s.width) && length(label, "height", s.height);
        } else {
            s.shape = kind == "Label-round" ? LabelStock::Shape::Round : LabelStock::Shape::Cd;
            double radius = 0;
            ok = length(label, "radius", radius);
            s.width = s.height = 2 * radius;
            // A business-card CD label is clipped to a rectangle.
            length(label, "width", s.width, false);
            length(label, "height", s.height, false);
        }
        if (pugi::xml_node margin = label.child("Markup-margin"))
            ok = ok && length(margin, "size", s.markupMargin);
        for (pugi::xml_node l : label.children("Layout")) {
            StockLayout layout;
            layout.nx = l.attribute("nx").as_int(0);
            layout.ny = l.attribute("ny").as_int(0);
            ok = ok && length(l, "x0", layout.x0, false) && length(l, "y0", layout.y0, false) &&
                 length(l, "dx", layout.dx, false) && length(l, "dy", layout.dy, false);
            s.layouts.push_back(layout);
        }
        if (!ok || s.layouts.empty()) {
            reject(s.name() + " (unreadable sizes)");
            continue;
        }
        m_stocks.push_back(std::move(s));
    }
    if (bad > 0)
        m_warnings.push_back("Skipped " + std::to_string(bad) + (bad == 1 ? " stock" : " stocks") + " in " +
                             file.string() + ": " + firstBad + (bad > 1 ? " and others" : ""));
}

namespace {

// "3x8", "70x36", "70.5X36" (also "×"): two numbers, or none when the word is not such a pair.
std::optional<std::pair<double, double>> dimensions(std::string_view word)
{
    std::size_t x = word.find_first_of("xX");
    std::size_t after = x + 1;
    if (x == std::string_view::npos) {
        x = word.find("\xC3\x97"); // the multiplication sign in UTF-8
        after = x + 2;
    }
    double a = 0, b = 0;
    if (x == std::string_view::npos || x == 0 || after >= word.size() || !text::wholeNumber(word.substr(0, x), a) ||
        !text::wholeNumber(word.substr(after), b) || word.substr(after).find_first_of("+-") == 0)
        return std::nullopt;
    return std::pair{a, b};
}

bool isTimes(std::string_view word)
{
    return word == "X" || word == "\xC3\x97";
}

// The words of a search, with "3 x 8" joined into "3x8".
std::vector<std::string> searchWords(std::string_view words)
{
    std::vector<std::string> out;
    for (std::size_t at = 0; at < words.size();) {
        while (at < words.size() && text::isBlank(words[at]))
            ++at;
        std::size_t end = at;
        while (end < words.size() && !text::isBlank(words[end]))
            ++end;
        if (end > at)
            out.push_back(text::upper(words.substr(at, end - at)));
        at = end;
    }
    std::vector<std::string> joined;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double number = 0;
        const auto isNumber = [&](const std::string& w) { return text::wholeNumber(w, number); };
        // "3 x 8", "3x 8", "3 x8"
        if (i + 2 < out.size() && isNumber(out[i]) && isTimes(out[i + 1]) && isNumber(out[i + 2])) {
            joined.push_back(out[i] + "X" + out[i + 2]);
            i += 2;
        } else if (i + 1 < out.size() && isNumber(out[i]) && out[i + 1].size() > 1 && out[i + 1][0] == 'X' &&
                   isNumber(out[i + 1].substr(1))) {
            joined.push_back(out[i] + out[i + 1]);
            ++i;
        } else if (i + 1 < out.size() && out[i].size() > 1 && out[i].back() == 'X' &&
                   isNumber(out[i].substr(0, out[i].size() - 1)) && isNumber(out[i + 1])) {
            joined.push_back(out[i] + out[i + 1]);
            ++i;
        } else {
            joined.push_back(out[i]);
        }
    }
    return joined;
}

// A pair of numbers is the sheet's grid (columns x rows) or its labels' size in millimetres, either way round.
bool matchesDimensions(const LabelStock& s, std::pair<double, double> d)
{
    if (s.layouts.size() == 1 && d.first == s.layouts[0].nx && d.second == s.layouts[0].ny)
        return true;
    const double w = s.width / kPointsPerMm, h = s.height / kPointsPerMm;
    constexpr double kNear = 0.6; // "70x36" finds 70 x 35.98 mm
    return (std::abs(d.first - w) <= kNear && std::abs(d.second - h) <= kNear) ||
           (std::abs(d.first - h) <= kNear && std::abs(d.second - w) <= kNear);
}

} // namespace

std::vector<const LabelStock*> StockCatalogue::search(std::string_view words, bool allShapes) const
{
    const std::vector<std::string> wanted = searchWords(words);
    std::vector<const LabelStock*> out;
    for (const LabelStock& s : m_stocks) {
        if (!allShapes && !s.rectangular())
            continue;
        const std::string haystack = s.brand + " " + s.part + " " + s.description + " " + s.paperName;
        if (std::all_of(wanted.begin(), wanted.end(), [&](const std::string& w) {
                if (const auto d = dimensions(w); d && matchesDimensions(s, *d))
                    return true;
                return text::findNoCase(haystack, w) != std::string::npos;
            }))
            out.push_back(&s);
    }
    return out;
}

const LabelStock* StockCatalogue::find(std::string_view name) const
{
    const std::string_view wanted = text::trim(name);
    for (const LabelStock& s : m_stocks)
        if (text::equalNoCase(s.name(), wanted))
            return &s;
    const LabelStock* only = nullptr;
    for (const LabelStock& s : m_stocks)
        if (text::equalNoCase(s.part, wanted)) {
            if (only)
                return nullptr; // several brands have it
            only = &s;
        }
    return only;
}

SheetStock stockForSheet(const std::string& sheet, const StockCatalogue& catalogue)
{
    if (isRoll(sheet)) {
        try {
            return {rollStock(std::string_view(sheet).substr(kRollPrefix.size())), std::nullopt};
        } catch (const GridError& e) {
            return {std::nullopt, e.problem()};
        }
    }
    if (LabelSheet::isGrid(sheet)) {
        try {
            return {customStock(parseCustomGrid(sheet)), std::nullopt};
        } catch (const GridError& e) {
            return {std::nullopt, e.problem()};
        }
    }
    if (const LabelStock* stock = catalogue.find(sheet))
        return {*stock, std::nullopt};
    if (!catalogue.databaseFound())
        return {std::nullopt, StockProblem{StockProblem::Id::StockDatabaseMissing, {}}};
    return {std::nullopt, StockProblem{StockProblem::Id::SheetUnknown, {sheet}}};
}

} // namespace cardmill
