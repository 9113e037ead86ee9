#include "merge/MergeTemplate.h"

#include "engine/Text.h"
#include "merge/TextDecoding.h"
#include "merge/XmlPart.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <set>
#include <stdexcept>

namespace cardmill {

namespace {

constexpr int kMaxNestedInstructions = 32; // deeper nesting is kept as text, not evaluated

// The namespace prefix of the markers that stand in the serialised part for fields, removable paragraphs and the
// body. Chosen afresh for every part so that no element of the document itself can pass for a marker.
thread_local std::string g_marker = "cm";

void chooseMarker(const std::string& xml)
{
    for (int i = 0;; ++i) {
        g_marker = "cm" + std::to_string(i) + "x";
        if (xml.find("<" + g_marker + ":") == std::string::npos && xml.find(g_marker + ":") == std::string::npos)
            return;
    }
}

std::string markerName(const char* what)
{
    return g_marker + ":" + what;
}

bool named(pugi::xml_node n, const char* name)
{
    return n.type() == pugi::node_element && std::strcmp(n.name(), name) == 0;
}

// Visits every element below `root` in document order, without recursion (documents may nest deeply).
// `visit` returns false to pass over an element's children.
template <typename Visit>
void walk(pugi::xml_node root, Visit&& visit)
{
    pugi::xml_node n = root.first_child();
    while (n) {
        const bool descend = n.type() == pugi::node_element && visit(n);
        if (descend && n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && n != root && !n.next_sibling())
            n = n.parent();
        if (!n || n == root)
            break;
        n = n.next_sibling();
    }
}

// Removes the nodes, each once: a node inside another one of the set goes with it (a text box's run inside a
// field's result), and removing it again would free it twice.
void removeOutermost(const std::set<pugi::xml_node_struct*>& nodes)
{
    std::vector<pugi::xml_node> outermost;
    for (pugi::xml_node_struct* raw : nodes) {
        pugi::xml_node n(raw);
        bool inside = false;
        for (pugi::xml_node a = n.parent(); a && !inside; a = a.parent())
            inside = nodes.count(a.internal_object()) != 0;
        if (!inside)
            outermost.push_back(n);
    }
    for (pugi::xml_node n : outermost)
        n.parent().remove_child(n);
}

bool handled(const FieldCode& code)
{
    return code.type != FieldCode::Type::Other;
}

std::string runProperties(pugi::xml_node run)
{
    const pugi::xml_node rpr = run.child("w:rPr");
    return rpr ? printXml(rpr) : std::string();
}

// An open complex field while the runs are read.
struct OpenField {
    pugi::xml_node begin;
    pugi::xml_node separate; // where the result begins: the value goes there
    FieldInstruction instruction;
    bool inResult = false;
    pugi::xml_node firstResultRun;
    std::size_t firstRun = 0; // its begin run's place among the runs of open fields
};

// Replaces the merge fields below `root` by field markers (<prefix:f n="i"/>); returns the field table.
std::vector<MergeTemplate::Field> replaceFields(pugi::xml_node root)
{
    std::vector<pugi::xml_node> nodes; // runs and simple fields, in document order
    walk(root, [&](pugi::xml_node n) {
        if (named(n, "w:r")) {
            nodes.push_back(n);
            return true; // a run may hold a text box with runs of its own
        }
        if (named(n, "w:fldSimple")) {
            nodes.push_back(n);
            FieldInstruction instruction{n.attribute("w:instr").value(), {}};
            return !handled(parseFieldCode(instruction)); // the result of a merge field is replaced whole
        }
        return true;
    });

    std::vector<MergeTemplate::Field> fields;
    std::vector<std::pair<pugi::xml_node, int>> markers; // node to replace, field index
    std::set<pugi::xml_node_struct*> removed;
    std::vector<OpenField> stack;
    // Every run met while a field is open, once; a field's runs are the stretch from its begin to its end, so
    // nested fields share their parents' stretches instead of copying them (deep nesting stays linear).
    std::vector<pugi::xml_node> runs;
    std::vector<std::pair<std::size_t, std::size_t>> replaced; // stretches of fields whose value replaces them

    for (pugi::xml_node n : nodes) {
        if (named(n, "w:fldSimple")) {
            FieldInstruction instruction{n.attribute("w:instr").value(), {}};
            FieldCode code = parseFieldCode(instruction);
            if (handled(code) && (stack.empty() || stack.back().inResult)) {
                fields.push_back({code, instruction, runProperties(n.child("w:r"))});
                markers.emplace_back(n, static_cast<int>(fields.size()) - 1);
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
            FieldCode code = parseFieldCode(field.instruction);
            OpenField* parent = stack.empty() ? nullptr : &stack.back();
            if (parent && !parent->inResult) {
                // Nested in the parent's instruction: its result becomes part of that instruction.
                if (stack.size() < kMaxNestedInstructions) {
                    parent->instruction.text +=
                        "\x1F" + std::to_string(parent->instruction.nested.size()) + "\x1F";
                    parent->instruction.nested.push_back(std::move(field.instruction));
                }
                continue;
            }
            if (!handled(code))
                continue; // keeps its cached result
            const pugi::xml_node style = field.firstResultRun ? field.firstResultRun : field.begin;
            fields.push_back({code, std::move(field.instruction), runProperties(style)});
            // The value stands where the result stood (the field's code may run over several paragraphs).
            const pugi::xml_node place = field.separate ? field.separate : n;
            markers.emplace_back(place, static_cast<int>(fields.size()) - 1);
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
            removed.insert(runs[i].internal_object());
        removedUpTo = std::max(removedUpTo, end);
    }
    for (const auto& [node, index] : markers) {
        pugi::xml_node marker = node.parent().insert_child_before(markerName("f").c_str(), node);
        marker.append_attribute("n") = index;
        removed.insert(node.internal_object());
    }
    removeOutermost(removed);
    return fields;
}

bool isContent(pugi::xml_node n)
{
    static const std::set<std::string> transparent{
        "w:r",         "w:rPr",     "w:pPr",                          "w:proofErr",           "w:bookmarkStart",
        "w:bookmarkEnd", "w:permStart", "w:permEnd", "w:commentRangeStart", "w:commentRangeEnd",
        "w:lastRenderedPageBreak", "w:hyperlink", "w:smartTag", "w:ins", "w:t"};
    if (named(n, "w:t"))
        return n.text().get()[0] != '\0';
    return transparent.count(n.name()) == 0 && !named(n, markerName("f").c_str());
}

void splitInto(const std::string& xml, std::vector<MergeTemplate::Item>& items,
               const std::vector<std::shared_ptr<MergeTemplate>>& paragraphs, std::size_t fieldCount)
{
    const std::string open = "<" + g_marker + ":";
    std::size_t pos = 0;
    while (pos < xml.size()) {
        const std::size_t at = xml.find(open, pos);
        const std::size_t end = at == std::string::npos ? at : xml.find("/>", at);
        if (at == std::string::npos || end == std::string::npos) {
            items.push_back({MergeTemplate::Item::Kind::Text, xml.substr(pos), -1, nullptr, false});
            break;
        }
        if (at > pos)
            items.push_back({MergeTemplate::Item::Kind::Text, xml.substr(pos, at - pos), -1, nullptr, false});
        const char kind = xml[at + open.size()];
        const std::size_t num = xml.find("n=\"", at);
        const long index = num < end ? std::strtol(xml.c_str() + num + 3, nullptr, 10) : -1;
        if (kind == 'f' && index >= 0 && static_cast<std::size_t>(index) < fieldCount) {
            items.push_back({MergeTemplate::Item::Kind::Field, {}, static_cast<int>(index), nullptr, false});
        } else if (kind == 'p' && index >= 0 && static_cast<std::size_t>(index) < paragraphs.size()) {
            MergeTemplate::Item item{MergeTemplate::Item::Kind::Paragraph, {}, -1,
                                     paragraphs[static_cast<std::size_t>(index)], false};
            const std::size_t sole = xml.find(" s=\"1\"", at);
            item.soleInCell = sole != std::string::npos && sole < end;
            items.push_back(std::move(item));
        }
        pos = end + 2;
    }
}

// Paragraphs that hold merge fields and nothing else go when all those fields come out empty (a table cell
// keeps an empty paragraph, which it needs).
void markRemovableParagraphs(pugi::xml_node root, MergeTemplate& t, std::vector<std::shared_ptr<MergeTemplate>>& out)
{
    std::vector<pugi::xml_node> paragraphs;
    walk(root, [&](pugi::xml_node n) {
        if (named(n, "w:p"))
            paragraphs.push_back(n);
        return true;
    });
    // Innermost first: a paragraph replaced by its marker never holds one still to be visited.
    std::reverse(paragraphs.begin(), paragraphs.end());
    for (pugi::xml_node p : paragraphs) {
        bool mergeField = false;
        bool content = false;
        if (p.child("w:pPr").child("w:sectPr"))
            continue;
        walk(p, [&](pugi::xml_node n) {
            if (named(n, "w:pPr") || named(n, "w:rPr"))
                return false;
            if (named(n, markerName("f").c_str())) {
                const int i = n.attribute("n").as_int();
                mergeField = mergeField || t.fields[static_cast<std::size_t>(i)].code.type == FieldCode::Type::MergeField;
                return false;
            }
            content = content || isContent(n);
            return !content;
        });
        if (!mergeField || content)
            continue;
        auto sub = std::make_shared<MergeTemplate>();
        splitInto(printXml(p), sub->items, out, t.fields.size());
        int blocks = 0;
        for (pugi::xml_node s : p.parent().children())
            blocks += named(s, "w:p") || named(s, "w:tbl") || named(s, markerName("p").c_str());
        pugi::xml_node marker = p.parent().insert_child_before(markerName("p").c_str(), p);
        marker.append_attribute("n") = static_cast<int>(out.size());
        if (named(p.parent(), "w:tc") && blocks == 1)
            marker.append_attribute("s") = 1;
        out.push_back(std::move(sub));
        p.parent().remove_child(p);
    }
}

void compileInto(pugi::xml_node content, MergeTemplate& t, std::string& xml)
{
    t.fields = replaceFields(content);
    std::vector<std::shared_ptr<MergeTemplate>> paragraphs;
    markRemovableParagraphs(content, t, paragraphs);
    xml.clear();
    for (pugi::xml_node child : content.children())
        xml += printXml(child);
    splitInto(xml, t.items, paragraphs, t.fields.size());
}

} // namespace

bool MergeTemplate::hasMergeFields() const
{
    return !fields.empty();
}

CompiledDocument compileDocument(const std::string& xml)
{
    chooseMarker(xml);
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
    }
    std::string content;
    compileInto(body, out.body, content);

    body.remove_children();
    body.append_child(markerName("body").c_str());
    const std::string whole = saveXml(doc);
    const std::size_t at = whole.find("<" + markerName("body"));
    const std::size_t end = whole.find("/>", at);
    out.prefix = whole.substr(0, at);
    out.suffix = whole.substr(end + 2);
    return out;
}

MergeTemplate compilePart(const std::string& xml)
{
    chooseMarker(xml);
    pugi::xml_document doc = parsePart(xml, "header or footer");
    MergeTemplate t;
    std::string content;
    t.fields = replaceFields(doc);
    std::vector<std::shared_ptr<MergeTemplate>> paragraphs;
    markRemovableParagraphs(doc, t, paragraphs);
    splitInto(saveXml(doc), t.items, paragraphs, t.fields.size());
    return t;
}


// --- OpenDocument ---

namespace {

std::string trimBlanks(const std::string& s)
{
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// One side of a condition: a quoted text, a number, or a column ("[DB.table.COLUMN]", "DB.table.COLUMN").
FieldCode::Operand odfOperand(std::string token, FieldInstruction& instruction)
{
    FieldCode::Operand o;
    token = trimBlanks(token);
    if (token.size() >= 2 && (token.front() == '"' || token.front() == '\'') && token.back() == token.front()) {
        o.text = token.substr(1, token.size() - 2);
        return o;
    }
    char* end = nullptr;
    std::strtod(token.c_str(), &end);
    if (!token.empty() && end && *end == '\0') {
        o.text = token;
        return o;
    }
    if (token.size() >= 2 && token.front() == '[' && token.back() == ']')
        token = token.substr(1, token.size() - 2);
    const std::size_t dot = token.rfind('.');
    const std::string column = dot == std::string::npos ? token : token.substr(dot + 1);
    o.nested = static_cast<int>(instruction.nested.size());
    instruction.nested.push_back({" MERGEFIELD \"" + column + "\" ", {}});
    return o;
}

bool isOdfContent(pugi::xml_node n)
{
    static const std::set<std::string> transparent{"text:span", "text:bookmark", "text:bookmark-start",
                                                   "text:bookmark-end", "text:soft-page-break"};
    return transparent.count(n.name()) == 0 && !named(n, markerName("f").c_str());
}

std::vector<MergeTemplate::Field> replaceOdfFields(pugi::xml_node root)
{
    std::vector<pugi::xml_node> nodes;
    walk(root, [&](pugi::xml_node n) {
        const std::string name = n.name();
        if (name == "text:database-display" || name == "text:database-next" || name == "text:database-row-number") {
            nodes.push_back(n);
            return false;
        }
        return true;
    });
    std::vector<MergeTemplate::Field> fields;
    for (pugi::xml_node n : nodes) {
        const std::string name = n.name();
        MergeTemplate::Field f;
        if (name == "text:database-display") {
            f.code.type = FieldCode::Type::MergeField;
            f.code.name = n.attribute("text:column-name").value();
        } else if (name == "text:database-next") {
            f.code = odfNextCondition(n.attribute("text:condition").value(), f.instruction);
        } else {
            f.code.type = FieldCode::Type::MergeRec;
        }
        fields.push_back(std::move(f));
        pugi::xml_node marker = n.parent().insert_child_before(markerName("f").c_str(), n);
        marker.append_attribute("n") = static_cast<int>(fields.size()) - 1;
        n.parent().remove_child(n);
    }
    return fields;
}

void markRemovableOdfParagraphs(pugi::xml_node root, MergeTemplate& t, std::vector<std::shared_ptr<MergeTemplate>>& out)
{
    std::vector<pugi::xml_node> paragraphs;
    walk(root, [&](pugi::xml_node n) {
        if (named(n, "text:p") || named(n, "text:h"))
            paragraphs.push_back(n);
        return true;
    });
    std::reverse(paragraphs.begin(), paragraphs.end()); // innermost first, as above
    for (pugi::xml_node p : paragraphs) {
        bool mergeField = false;
        bool content = false;
        for (pugi::xml_node n = p.first_child(); n && !content;) {
            if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
                content = n.value()[0] != '\0';
            } else if (n.type() == pugi::node_element) {
                if (named(n, markerName("f").c_str())) {
                    const int i = n.attribute("n").as_int();
                    mergeField = mergeField || t.fields[static_cast<std::size_t>(i)].code.type == FieldCode::Type::MergeField;
                } else if (isOdfContent(n)) {
                    content = true;
                } else if (n.first_child()) {
                    n = n.first_child();
                    continue;
                }
            }
            while (n && n != p && !n.next_sibling())
                n = n.parent();
            if (!n || n == p)
                break;
            n = n.next_sibling();
        }
        if (!mergeField || content)
            continue;
        auto sub = std::make_shared<MergeTemplate>();
        sub->flavor = MergeTemplate::Flavor::OpenDocument;
        splitInto(printXml(p), sub->items, out, t.fields.size());
        int blocks = 0;
        for (pugi::xml_node s : p.parent().children())
            blocks += named(s, "text:p") || named(s, "text:h") || named(s, "table:table") || named(s, "text:list") ||
                      named(s, markerName("p").c_str());
        pugi::xml_node marker = p.parent().insert_child_before(markerName("p").c_str(), p);
        marker.append_attribute("n") = static_cast<int>(out.size());
        if (named(p.parent(), "table:table-cell") && blocks == 1)
            marker.append_attribute("s") = 1;
        out.push_back(std::move(sub));
        p.parent().remove_child(p);
    }
}

void setFlavor(MergeTemplate& t, MergeTemplate::Flavor flavor)
{
    t.flavor = flavor;
    for (MergeTemplate::Item& item : t.items)
        if (item.paragraph)
            setFlavor(*item.paragraph, flavor);
}

} // namespace

FieldCode odfNextCondition(const std::string& condition, FieldInstruction& instruction)
{
    FieldCode code;
    std::string c = trimBlanks(condition);
    for (const char* prefix : {"ooow:", "oooc:", "ooo:"})
        if (c.rfind(prefix, 0) == 0)
            c = trimBlanks(c.substr(std::strlen(prefix)));
    std::string upper = c;
    for (char& ch : upper)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    code.type = FieldCode::Type::Next;
    if (c.empty() || upper == "TRUE" || upper == "1")
        return code;
    if (upper == "FALSE" || upper == "0") {
        code.type = FieldCode::Type::NextIf;
        code.left.text = "1";
        code.op = "=";
        code.right.text = "0";
        return code;
    }
    // A simple comparison: left, operator, right (quotes respected).
    static const std::vector<std::pair<std::string, std::string>> ops{
        {"==", "="}, {"!=", "<>"}, {"<>", "<>"}, {"<=", "<="}, {">=", ">="}, {"<", "<"}, {">", ">"}, {"=", "="},
        {" EQ ", "="}, {" NEQ ", "<>"}, {" LEQ ", "<="}, {" GEQ ", ">="}, {" LT ", "<"}, {" GT ", ">"}};
    char quote = 0;
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (quote) {
            if (c[i] == quote)
                quote = 0;
            continue;
        }
        if (c[i] == '"' || c[i] == '\'') {
            quote = c[i];
            continue;
        }
        for (const auto& [text, op] : ops) {
            if (upper.compare(i, text.size(), text) != 0)
                continue;
            code.type = FieldCode::Type::NextIf;
            code.left = odfOperand(c.substr(0, i), instruction);
            code.op = op;
            code.right = odfOperand(c.substr(i + text.size()), instruction);
            return code;
        }
    }
    return code; // not a simple comparison: a plain Next record
}

CompiledDocument compileOdtContent(const std::string& xml, const std::string& breakStyle)
{
    chooseMarker(xml);
    pugi::xml_document doc = parsePart(xml, "content.xml");
    pugi::xml_node root = doc.document_element();
    pugi::xml_node text = root.child("office:body").child("office:text");
    if (!text)
        throw std::runtime_error("the part content.xml holds no text document");

    // The page break between copies: an automatic paragraph style of our own.
    pugi::xml_node styles = root.child("office:automatic-styles");
    if (!styles)
        styles = root.insert_child_before("office:automatic-styles", root.child("office:body"));
    pugi::xml_node style = styles.append_child("style:style");
    style.append_attribute("style:name") = breakStyle.c_str();
    style.append_attribute("style:family") = "paragraph";
    pugi::xml_node pp = style.append_child("style:paragraph-properties");
    pp.append_attribute("fo:break-before") = "page";
    pp.append_attribute("fo:margin-top") = "0cm";
    pp.append_attribute("fo:margin-bottom") = "0cm";
    pp.append_attribute("fo:line-height") = "100%";
    style.append_child("style:text-properties").append_attribute("fo:font-size") = "1pt";

    // Declarations stay once, at the top.
    pugi::xml_node first = text.first_child();
    while (first && (std::string(first.name()).ends_with("-decls") || named(first, "office:forms")))
        first = first.next_sibling();
    pugi::xml_node holder = first ? text.insert_child_before(markerName("content").c_str(), first)
                                  : text.append_child(markerName("content").c_str());
    while (holder.next_sibling())
        holder.append_move(holder.next_sibling());

    CompiledDocument out;
    out.body.flavor = MergeTemplate::Flavor::OpenDocument;
    out.body.fields = replaceOdfFields(holder);
    std::vector<std::shared_ptr<MergeTemplate>> paragraphs;
    markRemovableOdfParagraphs(holder, out.body, paragraphs);
    std::string content;
    for (pugi::xml_node child : holder.children())
        content += printXml(child);
    splitInto(content, out.body.items, paragraphs, out.body.fields.size());
    setFlavor(out.body, MergeTemplate::Flavor::OpenDocument);

    holder.remove_children();
    const std::string whole = saveXml(doc);
    const std::size_t at = whole.find("<" + markerName("content"));
    const std::size_t end = whole.find("/>", at);
    out.prefix = whole.substr(0, at);
    out.suffix = whole.substr(end + 2);
    return out;
}

MergeTemplate compileOdtPiece(const std::string& xml)
{
    chooseMarker(xml);
    pugi::xml_document doc = parsePart(xml, "styles.xml");
    MergeTemplate t;
    t.flavor = MergeTemplate::Flavor::OpenDocument;
    t.fields = replaceOdfFields(doc);
    std::vector<std::shared_ptr<MergeTemplate>> paragraphs;
    markRemovableOdfParagraphs(doc, t, paragraphs);
    splitInto(printXml(doc), t.items, paragraphs, t.fields.size());
    setFlavor(t, MergeTemplate::Flavor::OpenDocument);
    return t;
}

void forEachCopy(const MergeTemplate& body, const PassRecords& records,
                 const std::function<void(std::size_t, std::size_t, const std::string&)>& copy,
                 const LabelMaker::Progress& progress)
{
    MergeCursor cursor(records, progress ? &progress : nullptr);
    std::string xml;
    std::size_t next = 0;
    std::size_t copies = 0;
    while (next < records.size()) {
        cursor.startCopy(next);
        xml.clear();
        cursor.render(body, xml);
        if (cursor.skipped()) {
            const std::size_t after = std::max(next + 1, cursor.current() + 1);
            cursor.recordsSkipped(after - next);
            next = after;
            continue;
        }
        copy(copies++, next, xml);
        next = cursor.current() + 1;
        if (progress && !progress(std::min(next, records.size())))
            throw MergeStopped{};
    }
}

std::string xmlEscape(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (u < 0x20 && c != '\t')
            continue; // not allowed in XML 1.0
        else
            out.push_back(c);
    }
    return out;
}

void MergeCursor::advance()
{
    ++m_current;
    if (m_progress && *m_progress && !(*m_progress)(m_current))
        throw MergeStopped{};
}

void MergeCursor::startCopy(std::size_t index)
{
    m_current = index;
    m_skip = false;
}

std::string MergeCursor::operandValue(const MergeTemplate& t, const FieldInstruction& instruction,
                                      const FieldCode::Operand& o, int depth)
{
    if (o.nested < 0)
        return o.text;
    if (static_cast<std::size_t>(o.nested) >= instruction.nested.size())
        return {};
    const FieldInstruction& nested = instruction.nested[static_cast<std::size_t>(o.nested)];
    return value(t, nested, parseFieldCode(nested), depth + 1);
}

std::string MergeCursor::value(const MergeTemplate& t, const FieldInstruction& instruction, const FieldCode& code,
                               int depth)
{
    if (depth > kMaxNestedInstructions)
        return {};
    switch (code.type) {
    case FieldCode::Type::MergeField: {
        const int column = m_records.column(code.name);
        if (exhausted() || column < 0)
            return {};
        const std::string v = decodeValue(m_records.value(m_current, static_cast<std::size_t>(column)));
        return v.empty() ? v : code.before + applyTextCase(v, code.textCase) + code.after;
    }
    case FieldCode::Type::MergeRec:
        return exhausted() ? std::string() : std::to_string(m_current + 1);
    case FieldCode::Type::MergeSeq:
        return exhausted() ? std::string() : std::to_string(m_current + 1 - m_skippedRecords);
    case FieldCode::Type::NextIf:
    case FieldCode::Type::SkipIf:
        return compareOperands(operandValue(t, instruction, code.left, depth), code.op,
                               operandValue(t, instruction, code.right, depth))
                   ? "1"
                   : "";
    case FieldCode::Type::Next:
    case FieldCode::Type::Other:
        break;
    }
    return {};
}

void MergeCursor::render(const MergeTemplate& t, std::string& out, bool inHeader)
{
    bool anyValue = false;
    renderItems(t, out, inHeader, anyValue);
}

void MergeCursor::renderItems(const MergeTemplate& t, std::string& out, bool inHeader, bool& anyValue)
{
    // Paragraph templates share the root's field table.
    std::function<void(const std::vector<MergeTemplate::Item>&, std::string&, bool&)> run =
        [&](const std::vector<MergeTemplate::Item>& items, std::string& o, bool& any) {
            for (const MergeTemplate::Item& item : items) {
                switch (item.kind) {
                case MergeTemplate::Item::Kind::Text:
                    o += item.text;
                    break;
                case MergeTemplate::Item::Kind::Field: {
                    const MergeTemplate::Field& f = t.fields[static_cast<std::size_t>(item.field)];
                    const FieldCode::Type type = f.code.type;
                    if (type == FieldCode::Type::Next || type == FieldCode::Type::NextIf ||
                        type == FieldCode::Type::SkipIf) {
                        if (inHeader)
                            break;
                        const bool yes = type == FieldCode::Type::Next || !value(t, f.instruction, f.code, 0).empty();
                        if (yes && type == FieldCode::Type::SkipIf)
                            m_skip = true;
                        else if (yes && !exhausted())
                            advance();
                        break;
                    }
                    const std::string v = value(t, f.instruction, f.code, 0);
                    if (v.empty())
                        break;
                    any = true;
                    if (t.flavor == MergeTemplate::Flavor::OpenDocument) {
                        o += xmlEscape(v); // the surrounding span keeps its formatting
                        break;
                    }
                    o += "<w:r>";
                    o += f.runProperties;
                    o += "<w:t xml:space=\"preserve\">";
                    o += xmlEscape(v);
                    o += "</w:t></w:r>";
                    break;
                }
                case MergeTemplate::Item::Kind::Paragraph: {
                    std::string paragraph;
                    bool paragraphAny = false;
                    run(item.paragraph->items, paragraph, paragraphAny);
                    if (paragraphAny) {
                        o += paragraph;
                        any = true;
                    } else if (item.soleInCell) {
                        o += t.flavor == MergeTemplate::Flavor::OpenDocument ? "<text:p/>" : "<w:p/>";
                    }
                    break;
                }
                }
            }
        };
    run(t.items, out, anyValue);
}

} // namespace cardmill
