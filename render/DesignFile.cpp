#include "render/DesignFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "engine/Files.h"
#include "engine/Text.h"

using namespace Qt::StringLiterals;

namespace cardmill {

namespace {

using Problem = DesignProblem::Id;

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string utf8(const QString& s)
{
    return s.toStdString();
}

constexpr std::pair<DesignElement::Kind, const char*> kKinds[] = {
    {DesignElement::Kind::Text, "text"}, {DesignElement::Kind::Table, "table"}, {DesignElement::Kind::Image, "image"},
    {DesignElement::Kind::Line, "line"}, {DesignElement::Kind::Box, "box"},     {DesignElement::Kind::Qr, "qr"},
};
constexpr std::pair<TextAlign, const char*> kAligns[] = {
    {TextAlign::Left, "left"}, {TextAlign::Centre, "centre"}, {TextAlign::Right, "right"}};
constexpr std::pair<DesignElement::Fit, const char*> kFits[] = {{DesignElement::Fit::Stretch, "stretch"},
                                                                {DesignElement::Fit::Contain, "contain"},
                                                                {DesignElement::Fit::Cover, "cover"}};

template <typename T, std::size_t N>
const char* nameOf(const std::pair<T, const char*> (&table)[N], T value)
{
    for (const auto& [v, name] : table)
        if (v == value)
            return name;
    return table[0].second;
}

// Reads the keys of one object of a design, saying which key is wrong and where.
class Reader {
public:
    Reader(const QJsonObject& object, const std::string& file, std::optional<DesignElementRef> element)
        : m_object(object)
        , m_file(file)
        , m_element(std::move(element))
    {
    }

    [[noreturn]] void fail(Problem id, std::vector<std::string> args = {}) const
    {
        throw DesignError(m_file, m_element, {id, std::move(args)});
    }
    bool has(const char* key) const { return m_object.contains(QLatin1StringView(key)); }
    QJsonValue value(const char* key) const { return m_object.value(QLatin1StringView(key)); }

    void number(const char* key, double& out) const
    {
        if (!has(key))
            return;
        const QJsonValue v = value(key);
        if (!v.isDouble())
            fail(Problem::NotANumber, {key});
        out = v.toDouble();
    }
    void integer(const char* key, int& out) const
    {
        double d = out;
        number(key, d);
        if (d != std::floor(d) || d < -1e6 || d > 1e6)
            fail(Problem::BadRotation);
        out = static_cast<int>(d);
    }
    void text(const char* key, std::string& out) const
    {
        if (!has(key))
            return;
        const QJsonValue v = value(key);
        if (!v.isString())
            fail(Problem::NotText, {key});
        out = utf8(v.toString());
    }
    void flag(const char* key, bool& out) const
    {
        if (!has(key))
            return;
        const QJsonValue v = value(key);
        if (!v.isBool())
            fail(Problem::NotTrueFalse, {key});
        out = v.toBool();
    }
    template <typename T, std::size_t N>
    void choice(const char* key, const std::pair<T, const char*> (&table)[N], T& out, Problem unknown) const
    {
        std::string name;
        text(key, name);
        if (name.empty())
            return;
        if (name == "center")
            name = "centre";
        for (const auto& [v, n] : table)
            if (text::equalNoCase(name, n)) {
                out = v;
                return;
            }
        fail(unknown, {name});
    }

private:
    const QJsonObject& m_object;
    const std::string& m_file;
    std::optional<DesignElementRef> m_element;
};

// A text's field names in capitals, as the runs' columns are named.
std::string fieldsInCapitals(const std::string& text)
{
    std::string out;
    for (const DesignPiece& p : textPieces(text))
        switch (p.kind) {
        case DesignPiece::Kind::Text: out += p.text; break;
        case DesignPiece::Kind::Field: out += "{" + text::upper(p.text) + "}"; break;
        case DesignPiece::Kind::Thanks: out += "{PSE_TNX}"; break;
        }
    return out;
}

DesignElement readElement(const QJsonValue& value, std::size_t index, bool swl, const std::string& file)
{
    DesignElement e;
    const QJsonObject object = value.toObject();
    Reader r(object, file, DesignElementRef{index, e.kind, {}, swl});
    if (!value.isObject())
        r.fail(Problem::UnknownKind, {"?"});
    std::string type;
    r.text("type", type);
    bool known = false;
    for (const auto& [kind, name] : kKinds)
        if (text::equalNoCase(type, name)) {
            e.kind = kind;
            known = true;
        }
    if (!known)
        r.fail(Problem::UnknownKind, {type});
    r.text("text", e.text);
    r.text("file", e.file);
    // From here on messages name the element by its kind and text.
    const Reader in(object, file, elementRef(e, index, swl));
    for (const auto& [key, out] : {std::pair{"x", &e.x},
                                   {"y", &e.y},
                                   {"x2", &e.x2},
                                   {"y2", &e.y2},
                                   {"width", &e.width},
                                   {"height", &e.height},
                                   {"scale", &e.scale},
                                   {"lineWidth", &e.lineWidth}})
        in.number(key, *out);
    in.text("onlyWith", e.onlyWith);
    in.text("otherwise", e.otherwise);
    e.text = fieldsInCapitals(e.text);
    e.otherwise = fieldsInCapitals(e.otherwise);
    e.onlyWith = text::upper(e.onlyWith);
    in.choice("align", kAligns, e.align, Problem::UnknownKind);
    in.integer("rotation", e.rotation);
    in.flag("slashedZero", e.slashedZero);
    in.flag("heading", e.heading);
    in.flag("rules", e.rules);
    in.choice("fit", kFits, e.fit, Problem::UnknownKind);
    in.text("fill", e.fill);
    if (in.has("font")) {
        const QJsonObject font = in.value("font").toObject();
        const Reader f(font, file, elementRef(e, index, swl));
        f.text("family", e.font.family);
        f.number("size", e.font.size);
        f.flag("bold", e.font.bold);
        f.flag("italic", e.font.italic);
    }
    if (in.has("columns")) {
        const QJsonValue columns = in.value("columns");
        if (!columns.isArray())
            in.fail(Problem::TableColumns, {"30"});
        for (const QJsonValue& c : columns.toArray()) {
            if (!c.isObject() || e.columns.size() > 30)
                in.fail(Problem::TableColumns, {"30"});
            const QJsonObject object = c.toObject();
            const Reader col(object, file, elementRef(e, index, swl));
            DesignColumn column;
            col.text("field", column.field);
            column.field = text::upper(column.field);
            col.text("heading", column.heading);
            col.number("width", column.width);
            col.choice("align", kAligns, column.align, Problem::UnknownKind);
            e.columns.push_back(std::move(column));
        }
    }
    return e;
}

std::vector<DesignElement> readFace(const QJsonObject& root, const char* key, bool swl, const std::string& file)
{
    std::vector<DesignElement> face;
    if (!root.contains(QLatin1StringView(key)))
        return face;
    const QJsonValue v = root.value(QLatin1StringView(key));
    if (!v.isArray())
        throw DesignError(file, std::nullopt, {Problem::NoElements, {}});
    const QJsonArray elements = v.toArray();
    if (static_cast<std::size_t>(elements.size()) > kMaxDesignElements)
        throw DesignError(file, std::nullopt, {Problem::TooManyElements, {std::to_string(kMaxDesignElements)}});
    for (qsizetype i = 0; i < elements.size(); ++i)
        face.push_back(readElement(elements[i], static_cast<std::size_t>(i), swl, file));
    return face;
}

QJsonObject elementObject(const DesignElement& e, Design::Layout layout)
{
    const DesignElement plain;
    QJsonObject o;
    o["type"_L1] = QString::fromLatin1(nameOf(kKinds, e.kind));
    const auto put = [&](const char* key, double v, double fallback) {
        if (v != fallback)
            o[QLatin1StringView(key)] = v;
    };
    const auto putText = [&](const char* key, const std::string& v) {
        if (!v.empty())
            o[QLatin1StringView(key)] = qs(v);
    };
    putText("text", e.text);
    putText("onlyWith", e.onlyWith);
    putText("otherwise", e.otherwise);
    putText("file", e.file);
    const bool fixed = layout == Design::Layout::Fixed;
    if (fixed) {
        const bool line = e.kind == DesignElement::Kind::Line;
        o["x"_L1] = e.x;
        o["y"_L1] = e.y;
        if (line) {
            o["x2"_L1] = e.x2;
            o["y2"_L1] = e.y2;
        } else {
            o["width"_L1] = e.width;
            o["height"_L1] = e.height;
        }
    }
    put("scale", e.scale, plain.scale);
    if (e.kind == DesignElement::Kind::Text || e.kind == DesignElement::Kind::Table) {
        QJsonObject font;
        if (e.font.family != plain.font.family)
            font["family"_L1] = qs(e.font.family);
        if (fixed || e.font.size != plain.font.size)
            font["size"_L1] = e.font.size;
        if (e.font.bold)
            font["bold"_L1] = true;
        if (e.font.italic)
            font["italic"_L1] = true;
        if (!font.isEmpty())
            o["font"_L1] = font;
    }
    if (e.align != plain.align)
        o["align"_L1] = QString::fromLatin1(nameOf(kAligns, e.align));
    put("rotation", e.rotation, plain.rotation);
    if (e.slashedZero)
        o["slashedZero"_L1] = true;
    if (e.kind == DesignElement::Kind::Table) {
        if (!e.heading)
            o["heading"_L1] = false;
        if (!e.rules)
            o["rules"_L1] = false;
        QJsonArray columns;
        for (const DesignColumn& c : e.columns) {
            QJsonObject column{{"field"_L1, qs(c.field)}, {"heading"_L1, qs(c.heading)}, {"width"_L1, c.width}};
            if (c.align != TextAlign::Left)
                column["align"_L1] = QString::fromLatin1(nameOf(kAligns, c.align));
            columns.append(column);
        }
        o["columns"_L1] = columns;
    }
    if (e.kind == DesignElement::Kind::Image && e.fit != plain.fit)
        o["fit"_L1] = QString::fromLatin1(nameOf(kFits, e.fit));
    if (e.kind == DesignElement::Kind::Line || e.kind == DesignElement::Kind::Box ||
        e.kind == DesignElement::Kind::Table)
        put("lineWidth", e.lineWidth, plain.lineWidth);
    putText("fill", e.fill);
    return o;
}

std::string readBuiltIn(const std::string& name)
{
    QFile f(u":/designs/"_s + qs(name) + u".json"_s);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}

} // namespace

const std::vector<std::string>& builtInDesignNames()
{
    static const std::vector<std::string> names(kBuiltInDesigns.begin(), kBuiltInDesigns.end());
    return names;
}

bool isDesignFile(std::string_view nameOrPath)
{
    const std::string_view ext = nameOrPath.size() >= 5 ? nameOrPath.substr(nameOrPath.size() - 5) : "";
    return nameOrPath.find('/') != std::string_view::npos || nameOrPath.find('\\') != std::string_view::npos ||
           text::equalNoCase(ext, ".json");
}

Design parseDesign(std::string_view json, const std::string& file, const std::filesystem::path& folder)
{
    if (json.size() > kMaxDesignFileBytes)
        throw DesignError(file, std::nullopt, {Problem::TooLarge, {std::to_string(kMaxDesignFileBytes >> 20)}});
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
    if (error.error != QJsonParseError::NoError)
        throw DesignError(file, std::nullopt,
                          {Problem::NotJson, {utf8(error.errorString()), std::to_string(error.offset + 1)}});
    if (!document.isObject())
        throw DesignError(file, std::nullopt, {Problem::NotADesign, {}});
    const QJsonObject root = document.object();
    const QJsonValue version = root.value("cardmill-design"_L1);
    if (!version.isDouble())
        throw DesignError(file, std::nullopt, {Problem::NotADesign, {}});
    if (version.toDouble() != Design::kVersion) {
        const double v = version.toDouble();
        const std::string written =
            std::isfinite(v) && std::abs(v) < 1e9 ? text::fixed(v, v == std::floor(v) ? 0 : 2) : std::string("?");
        throw DesignError(file, std::nullopt,
                          {v > Design::kVersion ? Problem::NewerVersion : Problem::NotADesign,
                           {written, std::to_string(Design::kVersion)}});
    }
    Design d;
    d.folder = folder;
    d.source = file;
    const Reader r(root, file, std::nullopt);
    r.text("name", d.name);
    std::string layout = "fixed";
    r.text("layout", layout);
    if (text::equalNoCase(layout, "flow"))
        d.layout = Design::Layout::Flow;
    else if (text::equalNoCase(layout, "fixed"))
        d.layout = Design::Layout::Fixed;
    else
        r.fail(Problem::UnknownLayout, {layout});
    r.number("width", d.width);
    r.number("height", d.height);
    d.qsl = readFace(root, "qsl", false, file);
    d.swl = readFace(root, "swl", true, file);
    checkDesign(d, file);
    return d;
}

std::string designJson(const Design& d)
{
    QJsonObject root;
    root["cardmill-design"_L1] = Design::kVersion;
    if (!d.name.empty())
        root["name"_L1] = qs(d.name);
    root["layout"_L1] = d.layout == Design::Layout::Flow ? u"flow"_s : u"fixed"_s;
    if (d.layout == Design::Layout::Fixed) {
        root["width"_L1] = d.width;
        root["height"_L1] = d.height;
    }
    for (const auto& [key, face] : {std::pair{"qsl", &d.qsl}, {"swl", &d.swl}}) {
        if (face->empty())
            continue;
        QJsonArray elements;
        for (const DesignElement& e : *face)
            elements.append(elementObject(e, d.layout));
        root[QLatin1StringView(key)] = elements;
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

bool writeDesignFile(const Design& design, const std::filesystem::path& file, std::string& error)
{
    if (files::replaceContents(file, designJson(design)))
        return true;
    error = files::systemError();
    return false;
}

Design loadDesign(const std::string& nameOrPath)
{
    const std::string name = nameOrPath.empty() ? std::string(kDefaultDesign) : nameOrPath;
    if (!isDesignFile(name)) {
        const auto& names = builtInDesignNames();
        const auto it =
            std::find_if(names.begin(), names.end(), [&](const std::string& n) { return text::equalNoCase(n, name); });
        std::string list;
        for (const std::string& n : names)
            list += (list.empty() ? "" : ", ") + n;
        const std::string json = it == names.end() ? std::string() : readBuiltIn(*it);
        if (json.empty())
            throw DesignError(name, std::nullopt, {Problem::UnknownDesign, {name, list}});
        return parseDesign(json, *it, {});
    }
    const std::filesystem::path path = files::pathFromUtf8(name);
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        throw DesignError(name, std::nullopt, {Problem::CannotRead, {ec.message()}});
    if (size > kMaxDesignFileBytes)
        throw DesignError(name, std::nullopt, {Problem::TooLarge, {std::to_string(kMaxDesignFileBytes >> 20)}});
    std::ifstream in(path, std::ios::binary);
    std::string json((std::istreambuf_iterator<char>(in)), {});
    if (!in && !in.eof())
        throw DesignError(name, std::nullopt, {Problem::CannotRead, {files::systemError()}});
    return parseDesign(json, name, path.parent_path());
}

} // namespace cardmill
