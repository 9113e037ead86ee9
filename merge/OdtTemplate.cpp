// The OpenDocument compiler: database fields, conditional and hidden text, hidden paragraphs, label places
// (frames and table cells) in the order they stand on the page, and the style that starts each copy on a page
// of its own.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "engine/Text.h"
#include "merge/Template.h"
#include "merge/XmlPart.h"

namespace cardmill {

namespace {

bool isField(pugi::xml_node n)
{
    return named(n, "text:database-display") || named(n, "text:database-next") ||
           named(n, "text:database-row-number") || named(n, "text:conditional-text") || named(n, "text:hidden-text");
}

// A length such as "2.5cm", "1in", "72pt" or "25mm" in millimetres.
double millimetres(const char* text)
{
    std::size_t used = 0;
    const std::string_view all(text);
    const double v = text::leadingNumber(all, used);
    const std::string unit(all.substr(used));
    if (unit == "cm")
        return v * 10;
    if (unit == "in")
        return v * 25.4;
    if (unit == "pt")
        return v * 25.4 / 72;
    if (unit == "pc")
        return v * 25.4 / 6;
    return v; // mm
}

// Frames in the order a reader takes them on the page: rows from the top, then from the left in a row. Frames
// whose tops lie within half the smaller height of each other are one row.
std::vector<pugi::xml_node> inPlaceOrder(std::vector<pugi::xml_node> frames)
{
    struct Box {
        pugi::xml_node node;
        double x, y, height;
    };
    std::vector<Box> boxes;
    for (pugi::xml_node f : frames)
        boxes.push_back({f, millimetres(f.attribute("svg:x").value()), millimetres(f.attribute("svg:y").value()),
                         millimetres(f.attribute("svg:height").value())});
    std::stable_sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.y < b.y; });
    // Rows: a frame joins the row of the one before when their tops are close.
    std::vector<std::vector<Box>> rows;
    for (const Box& b : boxes) {
        if (!rows.empty()) {
            const Box& top = rows.back().front();
            if (std::fabs(b.y - top.y) < std::max(1.0, std::min(b.height, top.height) / 2)) {
                rows.back().push_back(b);
                continue;
            }
        }
        rows.push_back({b});
    }
    std::vector<pugi::xml_node> ordered;
    for (auto& row : rows) {
        std::stable_sort(row.begin(), row.end(), [](const Box& a, const Box& b) { return a.x < b.x; });
        for (const Box& b : row)
            ordered.push_back(b.node);
    }
    return ordered;
}

class OdtCompiler {
public:
    explicit OdtCompiler(pugi::xml_node root) { analyse(root); }

    std::shared_ptr<std::vector<Template::Field>> fields() const { return m_fields; }

    // The style attribute of the body's first paragraph or table, which each copy after the first replaces.
    void setCopyStyle(pugi::xml_node element, std::string attribute, std::string original, std::string broken)
    {
        m_copyStyle = element;
        m_copyStyleAttribute = std::move(attribute);
        m_copyStyleOriginal = std::move(original);
        m_copyStyleBroken = std::move(broken);
        mark(element);
    }

    void emitChildren(pugi::xml_node parent, Template& t)
    {
        TemplateBuilder b(t);
        emitList(childrenOf(parent), b);
    }

    // The body: its page-anchored frames first, as one group (in the order they stand on the page), then the
    // rest. A merged document holds every copy's page frames before its text, as LibreOffice reads them.
    void emitBody(pugi::xml_node body, Template& t)
    {
        TemplateBuilder b(t);
        std::vector<pugi::xml_node> frames, rest;
        for (pugi::xml_node c : childrenOf(body))
            (named(c, "draw:frame") && std::string(c.attribute("text:anchor-type").value()) == "page" ? frames : rest)
                .push_back(c);
        if (!frames.empty()) {
            Template::Item group;
            group.kind = Template::Item::Kind::PageFrames;
            group.children.push_back(sub([&](TemplateBuilder& inner) { emitList(frames, inner); }));
            b.item(std::move(group));
        }
        emitList(rest, b);
    }

private:
    void analyse(pugi::xml_node root)
    {
        walk(root, [&](pugi::xml_node n) {
            if (isField(n)) {
                addField(n);
                mark(n);
                return false;
            }
            if (named(n, "text:hidden-paragraph")) {
                Template::Field f;
                f.condition = Condition::parse(n.attribute("text:condition").value());
                m_fields->push_back(std::move(f));
                m_hiddenParagraphs[n.parent().internal_object()] = static_cast<int>(m_fields->size()) - 1;
                mark(n);
                return false;
            }
            return true;
        });
        // Paragraphs that hold database fields and nothing else go when those fields come out empty.
        walk(root, [&](pugi::xml_node p) {
            if (!named(p, "text:p") && !named(p, "text:h"))
                return true;
            bool mergeField = false, content = false;
            walk(p, [&](pugi::xml_node n) {
                if (named(n, "text:database-display") || named(n, "text:conditional-text") ||
                    named(n, "text:hidden-text")) {
                    mergeField = mergeField || named(n, "text:database-display");
                    return false;
                }
                if (isField(n) || named(n, "text:hidden-paragraph"))
                    return false;
                // Spaces, tabs and line breaks are white space: a paragraph of fields and blanks goes when its
                // fields are empty, as LibreOffice drops it.
                static const std::unordered_set<std::string> transparent{
                    "text:span", "text:bookmark", "text:bookmark-start", "text:bookmark-end", "text:soft-page-break",
                    "text:s",    "text:tab",      "text:line-break"};
                content = content || transparent.count(n.name()) == 0;
                return !content;
            });
            // Text counts unless it is only white space, which OpenDocument drops at a paragraph's ends.
            auto hasText = [&](pugi::xml_node n) {
                for (pugi::xml_node t = n.first_child(); t && !content; t = t.next_sibling())
                    content = (t.type() == pugi::node_pcdata || t.type() == pugi::node_cdata) &&
                              std::string_view(t.value()).find_first_not_of(" \t\r\n") != std::string_view::npos;
            };
            hasText(p);
            walk(p, [&](pugi::xml_node n) {
                if (isField(n) || named(n, "text:hidden-paragraph"))
                    return false; // a field's own text is its cached value
                hasText(n);
                return !content;
            });
            if (mergeField && !content) {
                m_paragraphs.insert(p.internal_object());
                mark(p);
            }
            return true;
        });
        findLabels(root);
    }

    std::size_t recordFields(pugi::xml_node n) const
    {
        std::size_t count = 0;
        walk(n, [&](pugi::xml_node c) {
            count += named(c, "text:database-display") || named(c, "text:database-row-number") ||
                     named(c, "text:conditional-text") || named(c, "text:hidden-text");
            return true;
        });
        return count;
    }

    void findLabels(pugi::xml_node root)
    {
        static const LabelPlaceNames kNames{"table:table", "table:table-cell", {"draw:frame"}};
        for (pugi::xml_node n : findLabelPlaces(root, kNames, [this](pugi::xml_node n) { return recordFields(n); }))
            addLabel(n);
    }

    void addLabel(pugi::xml_node n)
    {
        m_labels.insert(n.internal_object());
        mark(n);
    }

    void addField(pugi::xml_node n)
    {
        Template::Field f;
        if (named(n, "text:database-display")) {
            f.expression.code.type = FieldCode::Type::MergeField;
            f.expression.code.name = n.attribute("text:column-name").value();
        } else if (named(n, "text:database-next")) {
            // Next record when its condition holds (always without one).
            f.expression.code.type = FieldCode::Type::NextIf;
            f.condition = Condition::parse(n.attribute("text:condition").value());
        } else if (named(n, "text:database-row-number")) {
            f.expression.code.type = FieldCode::Type::MergeRec;
        } else {
            f.condition = Condition::parse(n.attribute("text:condition").value());
        }
        m_fields->push_back(std::move(f));
        m_fieldAt[n.internal_object()] = static_cast<int>(m_fields->size()) - 1;
    }

    void mark(pugi::xml_node n)
    {
        for (; n && m_interesting.insert(n.internal_object()).second; n = n.parent()) {
        }
    }

    // The children of an element, page-anchored frames among them, and frames anchored to this paragraph,
    // put in the order they stand on the page (each takes the place of the one before it in the file).
    static std::vector<pugi::xml_node> childrenOf(pugi::xml_node parent)
    {
        std::vector<pugi::xml_node> children, frames;
        std::vector<std::size_t> places;
        for (pugi::xml_node c : parent.children()) {
            const std::string anchor = c.attribute("text:anchor-type").value();
            if (named(c, "draw:frame") && (anchor == "page" || anchor == "paragraph")) {
                places.push_back(children.size());
                frames.push_back(c);
            }
            children.push_back(c);
        }
        if (frames.size() >= 2) {
            const std::vector<pugi::xml_node> ordered = inPlaceOrder(frames);
            for (std::size_t i = 0; i < places.size(); ++i)
                children[places[i]] = ordered[i];
        }
        return children;
    }

    void emitList(const std::vector<pugi::xml_node>& nodes, TemplateBuilder& b)
    {
        for (pugi::xml_node c : nodes)
            emit(c, b);
    }

    void emit(pugi::xml_node n, TemplateBuilder& b)
    {
        const pugi::xml_node_struct* raw = n.internal_object();
        if (const auto f = m_fieldAt.find(raw); f != m_fieldAt.end()) {
            emitField(n, f->second, b);
            return;
        }
        if (named(n, "text:hidden-paragraph"))
            return; // its paragraph became a hidden paragraph
        if (n.type() != pugi::node_element || !m_interesting.count(raw)) {
            b.text(printXml(n));
            return;
        }
        if (m_labels.count(raw)) {
            m_labels.erase(raw);
            Template::Item item;
            item.kind = Template::Item::Kind::Label;
            if (named(n, "table:table-cell")) { // a cell keeps its place, empty
                appendStartTag(item.text, n);
                item.text += "><text:p/></table:table-cell>";
            }
            item.children.push_back(sub([&](TemplateBuilder& inner) { emit(n, inner); }));
            b.item(std::move(item));
            return;
        }
        if (const auto h = m_hiddenParagraphs.find(raw); h != m_hiddenParagraphs.end()) {
            const int condition = h->second;
            m_hiddenParagraphs.erase(h);
            Template::Item item;
            item.kind = Template::Item::Kind::HiddenParagraph;
            item.field = condition;
            item.children.push_back(sub([&](TemplateBuilder& inner) { emit(n, inner); }));
            b.item(std::move(item));
            return;
        }
        if (m_paragraphs.count(raw)) {
            m_paragraphs.erase(raw);
            Template::Item item;
            item.kind = Template::Item::Kind::Paragraph;
            item.text = "<text:p/>";
            int blocks = 0;
            for (pugi::xml_node s : n.parent().children())
                blocks += named(s, "text:p") || named(s, "text:h") || named(s, "table:table") || named(s, "text:list");
            item.soleInCell = named(n.parent(), "table:table-cell") && blocks == 1;
            item.children.push_back(sub([&](TemplateBuilder& inner) { emit(n, inner); }));
            b.item(std::move(item));
            return;
        }
        // The start tag, with what changes from copy to copy: the page of a page-anchored frame, the style of a
        // copy's first paragraph or table.
        const bool pageFrame = named(n, "draw:frame") && std::string(n.attribute("text:anchor-type").value()) == "page";
        const bool styled = n == m_copyStyle;
        std::string tag;
        appendStartTag(tag, n,
                       pageFrame ? "text:anchor-page-number" : (styled ? m_copyStyleAttribute.c_str() : nullptr));
        b.text(tag);
        if (pageFrame) {
            b.text(" text:anchor-page-number=\"");
            Template::Item page;
            page.kind = Template::Item::Kind::PageNumber;
            page.text = n.attribute("text:anchor-page-number").as_string("1");
            b.item(std::move(page));
            b.text("\"");
        }
        if (styled) {
            Template::Item style;
            style.kind = Template::Item::Kind::CopyStyle;
            style.text = m_copyStyleOriginal.empty() ? std::string()
                                                     : " " + m_copyStyleAttribute + "=\"" + m_copyStyleOriginal + "\"";
            style.other = " " + m_copyStyleAttribute + "=\"" + m_copyStyleBroken + "\"";
            b.item(std::move(style));
        }
        if (!n.first_child()) {
            b.text("/>");
            return;
        }
        b.text(">");
        emitList(childrenOf(n), b);
        b.text("</" + std::string(n.name()) + ">");
    }

    void emitField(pugi::xml_node n, int index, TemplateBuilder& b)
    {
        Template::Item item;
        item.field = index;
        if (named(n, "text:conditional-text")) {
            item.kind = Template::Item::Kind::Conditional;
            appendEscaped(item.text, n.attribute("text:string-value-if-true").value());
            appendEscaped(item.other, n.attribute("text:string-value-if-false").value());
        } else if (named(n, "text:hidden-text")) {
            item.kind = Template::Item::Kind::HiddenText;
            appendEscaped(item.text, n.attribute("text:string-value").value());
        } else {
            item.kind = Template::Item::Kind::Field;
        }
        b.item(std::move(item));
    }

    template <typename Fill>
    std::shared_ptr<const Template> sub(Fill&& fill)
    {
        auto t = std::make_shared<Template>();
        t->flavor = Template::Flavor::OpenDocument;
        t->fields = m_fields;
        TemplateBuilder inner(*t);
        fill(inner);
        return t;
    }

    std::shared_ptr<std::vector<Template::Field>> m_fields = std::make_shared<std::vector<Template::Field>>();
    std::unordered_map<const pugi::xml_node_struct*, int> m_fieldAt;
    std::unordered_map<const pugi::xml_node_struct*, int> m_hiddenParagraphs; // paragraph -> its condition
    std::unordered_set<const pugi::xml_node_struct*> m_paragraphs;
    std::unordered_set<const pugi::xml_node_struct*> m_labels;
    std::unordered_set<const pugi::xml_node_struct*> m_interesting;
    pugi::xml_node m_copyStyle;
    std::string m_copyStyleAttribute, m_copyStyleOriginal, m_copyStyleBroken;
};

// A new automatic style `name` like `original` of `family`, starting on a new page: a copy of an automatic
// style, or one that inherits a common style.
void addBreakStyle(pugi::xml_node automaticStyles, const std::string& family, const std::string& original,
                   const std::string& name)
{
    pugi::xml_node style;
    for (pugi::xml_node s : automaticStyles.children("style:style"))
        if (original == s.attribute("style:name").value() && family == s.attribute("style:family").value()) {
            style = automaticStyles.append_copy(s);
            style.attribute("style:name").set_value(name.c_str());
            break;
        }
    if (!style) {
        style = automaticStyles.append_child("style:style");
        style.append_attribute("style:name") = name.c_str();
        style.append_attribute("style:family") = family.c_str();
        if (!original.empty())
            style.append_attribute("style:parent-style-name") = original.c_str();
    }
    const char* properties = family == "table" ? "style:table-properties" : "style:paragraph-properties";
    pugi::xml_node p = style.child(properties);
    if (!p)
        p = style.prepend_child(properties);
    p.remove_attribute("fo:break-before");
    p.append_attribute("fo:break-before") = "page";
}

} // namespace

CompiledDocument compileOdt(const std::string& xml, const std::string& styleStem, bool breakPages)
{
    pugi::xml_document doc = parsePart(xml, "content.xml");
    pugi::xml_node root = doc.document_element();
    pugi::xml_node text = root.child("office:body").child("office:text");
    if (!text)
        throw std::runtime_error("the part content.xml holds no text document");
    pugi::xml_node styles = root.child("office:automatic-styles");
    if (!styles)
        styles = root.insert_child_before("office:automatic-styles", root.child("office:body"));

    // The copies: everything of the text but its declarations, which stay once, before them.
    pugi::xml_node holder = text.append_child("cardmill-copy");
    for (pugi::xml_node c = text.first_child(); c && c != holder;) {
        const pugi::xml_node next = c.next_sibling();
        const std::string name = c.name();
        if (!(name.ends_with("-decls") || name == "office:forms" || name == "text:tracked-changes"))
            holder.append_move(c);
        c = next;
    }

    OdtCompiler compiler(holder);
    // Each copy after the first starts on a new page through its first paragraph's or table's style; a body
    // that begins otherwise gets a page-break paragraph of its own.
    pugi::xml_node first;
    for (pugi::xml_node c : holder.children())
        if (named(c, "text:p") || named(c, "text:h") || named(c, "table:table") || named(c, "text:list") ||
            named(c, "text:section")) {
            first = c;
            break;
        }
    CompiledDocument out;
    out.body.flavor = Template::Flavor::OpenDocument;
    if (!breakPages) {
        // The copies break pages themselves.
    } else if (named(first, "text:p") || named(first, "text:h") || named(first, "table:table")) {
        const bool table = named(first, "table:table");
        const std::string attribute = table ? "table:style-name" : "text:style-name";
        const std::string original = first.attribute(attribute.c_str()).value();
        addBreakStyle(styles, table ? "table" : "paragraph", original, styleStem + "Break");
        compiler.setCopyStyle(first, attribute, original, styleStem + "Break");
    } else {
        pugi::xml_node style = styles.append_child("style:style");
        style.append_attribute("style:name") = (styleStem + "Break").c_str();
        style.append_attribute("style:family") = "paragraph";
        pugi::xml_node pp = style.append_child("style:paragraph-properties");
        pp.append_attribute("fo:break-before") = "page";
        pp.append_attribute("fo:margin-top") = "0cm";
        pp.append_attribute("fo:margin-bottom") = "0cm";
        style.append_child("style:text-properties").append_attribute("fo:font-size") = "1pt";
        TemplateBuilder b(out.body);
        Template::Item breakParagraph;
        breakParagraph.kind = Template::Item::Kind::CopyStyle;
        breakParagraph.other = "<text:p text:style-name=\"" + styleStem + "Break\"/>";
        b.item(std::move(breakParagraph));
    }
    out.body.fields = compiler.fields();
    compiler.emitBody(holder, out.body);

    // The part around the copies: the holder stands where they go.
    out.prefix = partAround(holder, out.suffix);
    const std::string holderEnd = "</cardmill-copy>";
    out.suffix.erase(0, holderEnd.size());
    const std::string holderStart = "<cardmill-copy>";
    out.prefix.erase(out.prefix.size() - holderStart.size());
    return out;
}

Template compileOdtPiece(const std::string& xml)
{
    pugi::xml_document doc = parsePart(xml, "styles.xml");
    OdtCompiler compiler(doc);
    Template t;
    t.flavor = Template::Flavor::OpenDocument;
    t.fields = compiler.fields();
    compiler.emitChildren(doc, t);
    return t;
}

} // namespace cardmill
