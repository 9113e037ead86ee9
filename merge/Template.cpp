#include "merge/Template.h"

#include "merge/XmlPart.h"

namespace cardmill {

namespace {

void collectNames(const Expression& e, std::vector<std::string>& out)
{
    if (e.code.type == FieldCode::Type::MergeField)
        out.push_back(e.code.name);
    for (const Expression& n : e.nested)
        collectNames(n, out);
}

template <typename Visit>
void forEachItem(const Template& t, Visit&& visit)
{
    for (const Template::Item& item : t.items) {
        visit(item);
        for (const auto& child : item.children)
            forEachItem(*child, visit);
    }
}

} // namespace

void TemplateBuilder::text(std::string_view xml)
{
    if (xml.empty())
        return;
    if (m_t.items.empty() || m_t.items.back().kind != Template::Item::Kind::Text)
        m_t.items.push_back({});
    m_t.items.back().text.append(xml);
}

void TemplateBuilder::item(Template::Item item)
{
    m_t.items.push_back(std::move(item));
}

std::vector<std::string> Template::mergeFieldNames() const
{
    std::vector<std::string> names;
    for (const Field& f : *fields) {
        collectNames(f.expression, names);
        if (f.condition)
            f.condition->columns(names);
    }
    return names;
}

bool Template::hasNextRecordField() const
{
    for (const Field& f : *fields)
        if (f.code().type == FieldCode::Type::Next || f.code().type == FieldCode::Type::NextIf)
            return true;
    return false;
}

bool Template::hasMergeFields() const
{
    for (const Field& f : *fields)
        if (f.code().type != FieldCode::Type::Other || f.condition)
            return true;
    return false;
}

bool Template::hasPageFrames() const
{
    bool found = false;
    forEachItem(*this, [&](const Item& item) { found = found || item.kind == Item::Kind::PageFrames; });
    return found;
}

std::size_t Template::labelPlaces() const
{
    std::size_t n = 0;
    forEachItem(*this, [&](const Item& item) { n += item.kind == Item::Kind::Label; });
    return n;
}

std::string xmlEscape(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    appendEscaped(out, s);
    return out;
}

std::vector<pugi::xml_node> findLabelPlaces(pugi::xml_node root, const LabelPlaceNames& names,
                                            const std::function<std::size_t(pugi::xml_node)>& recordFields)
{
    std::vector<pugi::xml_node> places, boxes;
    auto isBox = [&](pugi::xml_node n) {
        for (const char* box : names.boxes)
            if (named(n, box))
                return true;
        return false;
    };
    walk(root, [&](pugi::xml_node n) {
        if (named(n, names.table)) {
            std::vector<pugi::xml_node> cells;
            walk(n, [&](pugi::xml_node c) {
                if (named(c, names.table))
                    return false; // a nested table's cells are not this table's
                if (named(c, names.cell)) {
                    if (recordFields(c) > 0)
                        cells.push_back(c);
                    return false;
                }
                return true;
            });
            if (cells.size() >= 2) {
                places.insert(places.end(), cells.begin(), cells.end());
                return false; // cells inside them are parts of labels
            }
            return true;
        }
        if (isBox(n)) {
            if (recordFields(n) > 0)
                boxes.push_back(n);
            return false;
        }
        return true;
    });
    if (boxes.size() >= 2)
        places.insert(places.end(), boxes.begin(), boxes.end());
    return places;
}

} // namespace cardmill
