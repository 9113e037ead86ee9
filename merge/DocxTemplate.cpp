// The WordprocessingML compiler: finds the fields of a part (simple and complex, nested, split over runs and
// paragraphs), decides which paragraphs may go, which table cells and text boxes are label places, where each
// copy's section break goes, and emits the template items while it walks the part.
#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "merge/Template.h"
#include "merge/XmlPart.h"

namespace cardmill {

namespace {

constexpr std::size_t kMaxNestedInstructions = 32; // deeper nesting is kept as text, not evaluated

bool handled(const FieldCode& code)
{
    return code.type != FieldCode::Type::Other;
}

bool showsValue(const FieldCode& code)
{
    return code.type == FieldCode::Type::MergeField || code.type == FieldCode::Type::If;
}

std::string runProperties(pugi::xml_node run)
{
    const pugi::xml_node rpr = run.child("w:rPr");
    return rpr ? printXml(rpr) : std::string();
}

using NodeSet = std::unordered_set<const pugi::xml_node_struct*>;

class DocxCompiler {
public:
    // `sectionParagraph`: the paragraph that carries each copy's section break (the body's last one).
    DocxCompiler(pugi::xml_node root, pugi::xml_node sectionParagraph)
        : m_section(sectionParagraph)
    {
        findFields(root);
        findParagraphs(root);
        findLabels(root);
        for (const auto& [node, index] : m_fieldAt)
            mark(node);
        for (const auto* n : m_removed)
            mark(n);
        for (const auto* n : m_paragraphs)
            mark(n);
        for (const auto* n : m_labels)
            mark(n);
        walk(root, [&](pugi::xml_node n) {
            if (named(n, "mc:AlternateContent") || named(n, "wp:docPr"))
                mark(n.internal_object());
            return true;
        });
        if (m_section)
            mark(m_section.internal_object());
    }

    void emitChildren(pugi::xml_node parent, Template& t)
    {
        TemplateBuilder b(t);
        for (pugi::xml_node c : parent.children())
            emit(c, b);
    }

    std::shared_ptr<std::vector<Template::Field>> fields() const { return m_fields; }

private:
    // An open complex field while the runs are read.
    struct OpenField {
        pugi::xml_node begin;
        pugi::xml_node separate; // where the result begins: the value goes there
        FieldInstruction instruction;
        bool inResult = false;
        pugi::xml_node firstResultRun;
        std::size_t firstRun = 0; // its begin run's place among the runs of open fields
    };

    void addField(FieldInstruction instruction, std::string properties)
    {
        Template::Field f;
        f.expression = parseExpression(instruction);
        f.runProperties = std::move(properties);
        m_fields->push_back(std::move(f));
    }

    void findFields(pugi::xml_node root)
    {
        std::vector<pugi::xml_node> nodes; // runs and simple fields, in document order
        walk(root, [&](pugi::xml_node n) {
            if (named(n, "w:r")) {
                nodes.push_back(n);
                return true; // a run may hold a text box with runs of its own
            }
            if (named(n, "w:fldSimple")) {
                nodes.push_back(n);
                return !handled(parseFieldCode({n.attribute("w:instr").value(), {}})); // a merge field's result goes
            }
            return true;
        });

        std::vector<OpenField> stack;
        // Every run met while a field is open, once; a field's runs are the stretch from its begin to its end,
        // so nested fields share their parents' stretches instead of copying them (deep nesting stays linear).
        std::vector<pugi::xml_node> runs;
        std::vector<std::pair<std::size_t, std::size_t>> replaced; // stretches of fields whose value replaces them
        for (pugi::xml_node n : nodes) {
            if (named(n, "w:fldSimple")) {
                FieldInstruction instruction{n.attribute("w:instr").value(), {}};
                if (handled(parseFieldCode(instruction)) && (stack.empty() || stack.back().inResult)) {
                    addField(std::move(instruction), runProperties(n.child("w:r")));
                    m_fieldAt[n.internal_object()] = static_cast<int>(m_fields->size()) - 1;
                }
                continue;
            }
            const pugi::xml_node fldChar = n.child("w:fldChar");
            const std::string type = fldChar.attribute("w:fldCharType").value();
            if (fldChar && type == "begin") {
                runs.push_back(n);
                stack.push_back({n, {}, {}, false, {}, runs.size() - 1});
                continue;
            }
            if (stack.empty())
                continue;
            OpenField& top = stack.back();
            runs.push_back(n);
            if (fldChar && type == "separate") {
                top.inResult = true;
                top.separate = n;
            } else if (fldChar && type == "end") {
                OpenField field = std::move(stack.back());
                stack.pop_back();
                const FieldCode code = parseFieldCode(field.instruction);
                OpenField* parent = stack.empty() ? nullptr : &stack.back();
                if (parent && !parent->inResult) {
                    // Nested in the parent's instruction: its result becomes part of that instruction.
                    if (stack.size() < kMaxNestedInstructions) {
                        parent->instruction.text += "\x1F" + std::to_string(parent->instruction.nested.size()) + "\x1F";
                        parent->instruction.nested.push_back(std::move(field.instruction));
                    }
                    continue;
                }
                if (!handled(code))
                    continue; // keeps its cached result
                const pugi::xml_node style = field.firstResultRun ? field.firstResultRun : field.begin;
                addField(std::move(field.instruction), runProperties(style));
                // The value stands where the result stood (the field's code may run over several paragraphs).
                const pugi::xml_node place = field.separate ? field.separate : n;
                m_fieldAt[place.internal_object()] = static_cast<int>(m_fields->size()) - 1;
                replaced.emplace_back(field.firstRun, runs.size());
            } else if (!top.inResult) {
                for (pugi::xml_node t : n.children("w:instrText"))
                    top.instruction.text += t.text().get();
            } else if (!top.firstResultRun && n.child("w:rPr")) {
                top.firstResultRun = n;
            }
        }
        // The runs of every replaced field go (the stretches merged first: nested ones lie inside their parents).
        std::sort(replaced.begin(), replaced.end());
        std::size_t removedUpTo = 0;
        for (const auto& [first, end] : replaced) {
            for (std::size_t i = std::max(first, removedUpTo); i < end; ++i)
                m_removed.insert(runs[i].internal_object());
            removedUpTo = std::max(removedUpTo, end);
        }
    }

    // What a paragraph holds besides merge fields: text, drawings, anything but formatting and bookmarks.
    bool isContent(pugi::xml_node n) const
    {
        // clang-format off
        static const std::unordered_set<std::string> transparent{
            "w:r",         "w:rPr",     "w:pPr",           "w:proofErr",  "w:bookmarkStart",        "w:bookmarkEnd",
            "w:permStart", "w:permEnd", "w:commentRangeStart", "w:commentRangeEnd", "w:lastRenderedPageBreak",
            "w:hyperlink", "w:smartTag", "w:ins",          "w:t"};
        // clang-format on
        if (named(n, "w:t"))
            return n.text().get()[0] != '\0';
        return transparent.count(n.name()) == 0;
    }

    // Paragraphs that hold merge fields and nothing else go when all those fields come out empty (Word's rule).
    void findParagraphs(pugi::xml_node root)
    {
        walk(root, [&](pugi::xml_node p) {
            if (!named(p, "w:p"))
                return true;
            if (p == m_section || p.child("w:pPr").child("w:sectPr"))
                return true; // it carries a section break: it stays
            bool mergeField = false, content = false;
            walk(p, [&](pugi::xml_node n) {
                if (m_removed.count(n.internal_object()) && !m_fieldAt.count(n.internal_object()))
                    return false;
                if (const auto f = m_fieldAt.find(n.internal_object()); f != m_fieldAt.end()) {
                    mergeField = mergeField || showsValue((*m_fields)[static_cast<std::size_t>(f->second)].code());
                    return false;
                }
                if (named(n, "w:pPr") || named(n, "w:rPr"))
                    return false;
                content = content || isContent(n);
                return !content;
            });
            if (mergeField && !content)
                m_paragraphs.insert(p.internal_object());
            return true;
        });
    }

    // How many fields that read a record lie below `n`.
    std::size_t recordFields(pugi::xml_node n) const
    {
        std::size_t count = 0;
        walk(n, [&](pugi::xml_node c) {
            if (const auto f = m_fieldAt.find(c.internal_object()); f != m_fieldAt.end()) {
                const FieldCode::Type t = (*m_fields)[static_cast<std::size_t>(f->second)].code().type;
                count += t == FieldCode::Type::MergeField || t == FieldCode::Type::If || t == FieldCode::Type::MergeRec;
            }
            return true;
        });
        return count;
    }

    void findLabels(pugi::xml_node root)
    {
        static const LabelPlaceNames kNames{"w:tbl", "w:tc", {"mc:AlternateContent", "w:pict", "w:drawing"}};
        for (pugi::xml_node n : findLabelPlaces(root, kNames, [this](pugi::xml_node n) { return recordFields(n); }))
            m_labels.insert(n.internal_object());
    }

    void mark(const pugi::xml_node_struct* raw)
    {
        for (pugi::xml_node n(const_cast<pugi::xml_node_struct*>(raw));
             n && m_interesting.insert(n.internal_object()).second;)
            n = n.parent();
    }

    // A label place with nothing to show: a cell keeps its properties and an empty paragraph; a text box goes.
    static std::string emptyLabel(pugi::xml_node n)
    {
        if (!named(n, "w:tc"))
            return {};
        std::string xml;
        appendStartTag(xml, n);
        xml += '>';
        if (pugi::xml_node pr = n.child("w:tcPr"))
            xml += printXml(pr);
        xml += "<w:p/></w:tc>";
        return xml;
    }

    void emit(pugi::xml_node n, TemplateBuilder& b)
    {
        const pugi::xml_node_struct* raw = n.internal_object();
        if (const auto f = m_fieldAt.find(raw); f != m_fieldAt.end()) {
            Template::Item item;
            item.kind = Template::Item::Kind::Field;
            item.field = f->second;
            b.item(std::move(item));
            return;
        }
        if (m_removed.count(raw))
            return;
        if (n.type() != pugi::node_element || !m_interesting.count(raw)) {
            b.text(printXml(n));
            return;
        }
        if (m_labels.count(raw)) {
            m_labels.erase(raw); // emitted as a label once; its content below as usual
            Template::Item item;
            item.kind = Template::Item::Kind::Label;
            item.text = emptyLabel(n);
            item.children.push_back(sub([&](TemplateBuilder& inner) { emit(n, inner); }));
            b.item(std::move(item));
            return;
        }
        if (m_paragraphs.count(raw)) {
            m_paragraphs.erase(raw);
            Template::Item item;
            item.kind = Template::Item::Kind::Paragraph;
            item.text = "<w:p/>";
            int blocks = 0;
            for (pugi::xml_node s : n.parent().children())
                blocks += named(s, "w:p") || named(s, "w:tbl") || named(s, "w:sdt");
            item.soleInCell = named(n.parent(), "w:tc") && blocks == 1;
            item.children.push_back(sub([&](TemplateBuilder& inner) { emit(n, inner); }));
            b.item(std::move(item));
            return;
        }
        if (named(n, "mc:AlternateContent")) {
            // The choices are one object: each is made from the same record position.
            Template::Item item;
            item.kind = Template::Item::Kind::Alternate;
            appendStartTag(item.text, n);
            item.text += '>';
            item.other = "</mc:AlternateContent>";
            for (pugi::xml_node c : n.children())
                item.children.push_back(sub([&](TemplateBuilder& inner) { emit(c, inner); }));
            b.item(std::move(item));
            return;
        }
        if (named(n, "wp:docPr")) {
            std::string tag;
            appendStartTag(tag, n, "id");
            b.text(tag + " id=\"");
            Template::Item id;
            id.kind = Template::Item::Kind::DrawingId;
            b.item(std::move(id));
            b.text("\"");
            emitRest(n, b, true);
            return;
        }
        std::string tag;
        appendStartTag(tag, n);
        b.text(tag);
        emitRest(n, b, false);
    }

    // The children and end tag of an element whose start tag (without its ">") is out.
    void emitRest(pugi::xml_node n, TemplateBuilder& b, bool)
    {
        const bool sectionHere = n == m_section;
        if (!n.first_child() && !sectionHere) {
            b.text("/>");
            return;
        }
        b.text(">");
        if (sectionHere && !n.child("w:pPr")) {
            b.text("<w:pPr>");
            section(b);
            b.text("</w:pPr>");
        }
        for (pugi::xml_node c : n.children()) {
            if (sectionHere && named(c, "w:pPr")) {
                std::string tag;
                appendStartTag(tag, c);
                b.text(tag + ">");
                bool placed = false;
                for (pugi::xml_node p : c.children()) {
                    if (!placed && named(p, "w:pPrChange")) { // the section goes after w:rPr, before a change record
                        section(b);
                        placed = true;
                    }
                    emit(p, b);
                }
                if (!placed)
                    section(b);
                b.text("</w:pPr>");
                continue;
            }
            emit(c, b);
        }
        b.text("</" + std::string(n.name()) + ">");
    }

    static void section(TemplateBuilder& b)
    {
        Template::Item s;
        s.kind = Template::Item::Kind::Section;
        b.item(std::move(s));
    }

    template <typename Fill>
    std::shared_ptr<const Template> sub(Fill&& fill)
    {
        auto t = std::make_shared<Template>();
        t->fields = m_fields;
        TemplateBuilder inner(*t);
        fill(inner);
        return t;
    }

    std::shared_ptr<std::vector<Template::Field>> m_fields = std::make_shared<std::vector<Template::Field>>();
    std::unordered_map<const pugi::xml_node_struct*, int> m_fieldAt; // where a field's value goes
    NodeSet m_removed;                                               // runs of fields replaced by their values
    NodeSet m_paragraphs;  // paragraphs that go when their merge fields are empty
    NodeSet m_labels;      // label places
    NodeSet m_interesting; // elements with something of the above below them
    pugi::xml_node m_section;
};

// The smallest paragraph that can carry a section break after a table: one twip high, its mark hidden, so
// that a table that fills its page does not push it onto a page of its own.
constexpr const char* kSectionCarrierStart =
    "<w:p><w:pPr><w:spacing w:before=\"0\" w:after=\"0\" w:line=\"1\" w:lineRule=\"exact\"/><w:rPr>"
    "<w:vanish/><w:sz w:val=\"2\"/><w:szCs w:val=\"2\"/></w:rPr>";
constexpr const char* kSectionCarrierEnd = "</w:pPr></w:p>";

} // namespace

std::string partAround(pugi::xml_node content, std::string& after)
{
    // Written element by element from the content up to the document: the start tags and what precedes the
    // content on each level go before, what follows it and the end tags after.
    std::string before;
    after.clear();
    for (pugi::xml_node n = content; n && n.type() != pugi::node_document; n = n.parent()) {
        std::string head, tail;
        for (pugi::xml_node s = n.parent().first_child(); s && s != n; s = s.next_sibling())
            head += printXml(s);
        for (pugi::xml_node s = n.next_sibling(); s; s = s.next_sibling())
            tail += printXml(s);
        std::string tag;
        appendStartTag(tag, n);
        before = head + tag + ">" + before;
        after = after + "</" + n.name() + ">" + tail;
    }
    return before;
}

CompiledDocument compileDocx(const std::string& xml)
{
    pugi::xml_document doc = parsePart(xml, "word/document.xml");
    pugi::xml_node body = doc.document_element().child("w:body");
    if (!body)
        throw std::runtime_error("the part word/document.xml has no body");
    CompiledDocument out;
    pugi::xml_node last = body.last_child();
    while (last && last.type() != pugi::node_element)
        last = last.previous_sibling();
    if (named(last, "w:sectPr")) {
        out.sectionXml = printXml(last);
        body.remove_child(last);
        last = body.last_child();
        while (last && last.type() != pugi::node_element)
            last = last.previous_sibling();
    }
    // Each copy's section break goes into its own last paragraph, as Word puts it, so that a copy takes as many
    // pages as the main document; a body that ends in a table gets the smallest carrier after it.
    const bool carrier = !named(last, "w:p");
    DocxCompiler compiler(body, carrier ? pugi::xml_node() : last);
    out.body.fields = compiler.fields();
    compiler.emitChildren(body, out.body);
    if (carrier) {
        TemplateBuilder b(out.body);
        b.text(kSectionCarrierStart);
        Template::Item s;
        s.kind = Template::Item::Kind::Section;
        b.item(std::move(s));
        b.text(kSectionCarrierEnd);
    }

    out.prefix = partAround(body, out.suffix);
    return out;
}

Template compileDocxPart(const std::string& xml)
{
    pugi::xml_document doc = parsePart(xml, "header or footer");
    DocxCompiler compiler(doc, pugi::xml_node());
    Template t;
    t.fields = compiler.fields();
    compiler.emitChildren(doc, t);
    return t;
}

} // namespace cardmill
