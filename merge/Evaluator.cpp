#include "merge/Evaluator.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "engine/Text.h"
#include "merge/TextDecoding.h"
#include "merge/XmlPart.h"

namespace cardmill {

namespace {

constexpr int kMaxDepth = 32;

bool movesRecords(FieldCode::Type t)
{
    return t == FieldCode::Type::Next || t == FieldCode::Type::NextIf || t == FieldCode::Type::SkipIf;
}

} // namespace

Evaluator::Evaluator(const PassRecords& records, DateReading reading, const LabelMaker::Progress* progress,
                     unsigned long firstDrawingId)
    : m_records(records)
    , m_reading(reading)
    , m_progress(progress && *progress ? progress : nullptr)
    , m_nextDrawingId(firstDrawingId)
{
}

void Evaluator::startCopy(std::size_t index, std::size_t copy)
{
    m_current = index;
    m_copy = copy;
    m_skip = false;
}

void Evaluator::leaveLabelsEmpty(std::size_t n)
{
    m_blankLabels = n;
    m_holdPosition = n > 0;
    m_lookupsAtHold = m_lookups;
}

void Evaluator::take(std::size_t record)
{
    if (record >= m_records.size())
        return;
    if (m_shown.size() != m_records.size())
        m_shown.assign(m_records.size(), false);
    if (!m_shown[record]) {
        m_shown[record] = true;
        ++m_taken;
    }
}

void Evaluator::taken()
{
    if (m_hidden == 0)
        take(m_current);
}

void Evaluator::recordsSkipped(std::size_t from, std::size_t to)
{
    m_skippedRecords += to - from;
    for (std::size_t r = from; r < to; ++r)
        take(r);
}

void Evaluator::advance()
{
    ++m_current;
    if (m_progress && !(*m_progress)(std::min(m_current, m_records.size())))
        throw MergeStopped{};
}

std::string Evaluator::column(const std::string& name) const
{
    if (exhausted())
        return {};
    // A label's fields read the same few columns record after record: each name is looked up once, and each
    // record split into its values once.
    auto known = m_columnOf.find(name);
    if (known == m_columnOf.end())
        known = m_columnOf.emplace(name, m_records.column(name)).first;
    if (known->second < 0)
        return {};
    if (m_splitRecord != m_current) {
        m_values.clear();
        const std::string_view line = m_records.line(m_current);
        for (std::size_t at = 0;;) {
            const std::size_t comma = line.find(',', at);
            m_values.push_back(line.substr(at, comma == std::string_view::npos ? comma : comma - at));
            if (comma == std::string_view::npos)
                break;
            at = comma + 1;
        }
        m_splitRecord = m_current;
    }
    const auto c = static_cast<std::size_t>(known->second);
    return c < m_values.size() ? decodeValue(m_values[c]) : std::string();
}

bool Evaluator::condition(const Template::Field& f)
{
    ++m_lookups;
    m_hits += !exhausted();
    return !f.condition || f.condition->holds([this](const std::string& name) { return column(name); });
}

std::string Evaluator::operand(const Template& t, const Expression& e, const Operand& o, int depth)
{
    std::string s;
    for (const TextPart& p : o) {
        if (p.nested < 0)
            s += p.text;
        else if (static_cast<std::size_t>(p.nested) < e.nested.size())
            s += value(t, e.nested[static_cast<std::size_t>(p.nested)], depth + 1).text;
    }
    return s;
}

Evaluator::Value Evaluator::value(const Template& t, const Expression& e, int depth)
{
    if (depth > kMaxDepth)
        return {};
    const FieldCode& code = e.code;
    switch (code.type) {
    case FieldCode::Type::MergeField: {
        ++m_lookups;
        if (exhausted())
            return {};
        ++m_hits;
        taken();
        std::string v = column(code.name);
        if (v.empty())
            return {{}, true};
        v = applyPictures(v, code.datePicture, code.numberPicture, m_reading);
        return {code.before + applyTextCase(v, code.textCase) + code.after, true};
    }
    case FieldCode::Type::If: {
        const bool yes = compareOperands(operand(t, e, code.left, depth), code.op, operand(t, e, code.right, depth),
                                         code.rightQuoted);
        return {operand(t, e, yes ? code.whenTrue : code.whenFalse, depth), !exhausted()};
    }
    case FieldCode::Type::MergeRec:
        ++m_lookups;
        m_hits += !exhausted();
        taken();
        return {exhausted() ? std::string() : std::to_string(m_current + 1), !exhausted()};
    case FieldCode::Type::MergeSeq:
        return {exhausted() ? std::string() : std::to_string(m_current + 1 - m_skippedRecords), !exhausted()};
    case FieldCode::Type::NextIf:
    case FieldCode::Type::SkipIf:
        return {compareOperands(operand(t, e, code.left, depth), code.op, operand(t, e, code.right, depth),
                                code.rightQuoted)
                    ? "1"
                    : ""};
    case FieldCode::Type::Next:
    case FieldCode::Type::Other: break;
    }
    return {};
}

void Evaluator::appendValue(const Template& t, const Template::Field& f, const std::string& v, std::string& out)
{
    if (t.flavor == Template::Flavor::OpenDocument) {
        appendEscaped(out, v); // the surrounding span keeps its formatting
        return;
    }
    out += "<w:r>";
    out += f.runProperties;
    // Blanks at either end are kept only when the text says so; inside, they always are.
    const bool blankEnds = !v.empty() && (std::isspace(static_cast<unsigned char>(v.front())) ||
                                          std::isspace(static_cast<unsigned char>(v.back())));
    out += blankEnds ? "<w:t xml:space=\"preserve\">" : "<w:t>";
    appendEscaped(out, v);
    out += "</w:t></w:r>";
}

void Evaluator::render(const Template& t, std::string& out, bool inHeader, std::string* frames)
{
    bool anyValue = false;
    m_frames = frames;
    renderItems(t, out, inHeader, anyValue);
    m_frames = nullptr;
}

void Evaluator::renderItems(const Template& t, std::string& out, bool inHeader, bool& anyValue)
{
    using Kind = Template::Item::Kind;
    for (const Template::Item& item : t.items) {
        switch (item.kind) {
        case Kind::Text: out += item.text; break;
        case Kind::Field: {
            const Template::Field& f = (*t.fields)[static_cast<std::size_t>(item.field)];
            const FieldCode::Type type = f.code().type;
            if (movesRecords(type)) {
                if (inHeader || m_blankLabels > 0)
                    break;
                if (m_holdPosition) {
                    m_holdPosition = false;
                    if (m_lookups == m_lookupsAtHold)
                        break; // the move from the label before, which was left empty
                }
                // Moving on reads no record for the label it stands in.
                const std::size_t lookups = m_lookups, hits = m_hits;
                const bool yes = type == FieldCode::Type::Next ||
                                 (f.condition ? condition(f) : !value(t, f.expression, 0).text.empty());
                m_lookups = lookups;
                m_hits = hits;
                if (yes && type == FieldCode::Type::SkipIf)
                    m_skip = true;
                else if (yes && !exhausted())
                    advance();
                break;
            }
            const Value v = value(t, f.expression, 0);
            if (v.text.empty())
                break;
            anyValue = true;
            appendValue(t, f, v.text, out);
            break;
        }
        case Kind::Paragraph: {
            std::string paragraph;
            bool paragraphAny = false;
            renderItems(*item.children.front(), paragraph, inHeader, paragraphAny);
            if (paragraphAny) {
                out += paragraph;
                anyValue = true;
            } else if (item.soleInCell) {
                out += item.text;
            }
            break;
        }
        case Kind::Label: {
            if (m_blankLabels > 0) {
                --m_blankLabels;
                m_lookupsAtHold = m_lookups;
                out += item.text;
                break;
            }
            // A label place whose fields found no record (the records ran out before it) stays empty, its
            // literal text too, so that the sheet can go through the printer again.
            const std::size_t lookups = m_lookups, hits = m_hits;
            std::string label;
            renderItems(*item.children.front(), label, inHeader, anyValue);
            out += (m_lookups > lookups && m_hits == hits) ? item.text : label;
            break;
        }
        case Kind::Alternate: {
            // One object shown one way or another: every choice starts from the same record.
            out += item.text;
            const std::size_t start = m_current;
            std::size_t after = start;
            for (std::size_t i = 0; i < item.children.size(); ++i) {
                m_current = start;
                renderItems(*item.children[i], out, inHeader, anyValue);
                if (i == 0)
                    after = m_current;
            }
            m_current = after;
            out += item.other;
            break;
        }
        case Kind::Conditional:
            taken(); // the record decides what shows
            out += condition((*t.fields)[static_cast<std::size_t>(item.field)]) ? item.text : item.other;
            break;
        case Kind::HiddenText:
            taken();
            if (!condition((*t.fields)[static_cast<std::size_t>(item.field)]))
                out += item.text;
            break;
        case Kind::HiddenParagraph:
            if (!condition((*t.fields)[static_cast<std::size_t>(item.field)])) {
                renderItems(*item.children.front(), out, inHeader, anyValue);
            } else {
                // Hidden, its fields still do their record work (a next-record field moves on), as in LibreOffice.
                std::string hidden;
                bool hiddenValue = false;
                ++m_hidden;
                renderItems(*item.children.front(), hidden, inHeader, hiddenValue);
                --m_hidden;
            }
            break;
        case Kind::PageNumber:
            out += std::to_string(std::max(1L, std::atol(item.text.c_str())) + static_cast<long>(m_copy));
            break;
        case Kind::Section: out += kSectionMark; break;
        case Kind::CopyStyle: out += m_copy == 0 ? item.text : item.other; break;
        case Kind::DrawingId: out += std::to_string(m_nextDrawingId++); break;
        case Kind::PageFrames:
            renderItems(*item.children.front(), m_frames ? *m_frames : out, inHeader, anyValue);
            break;
        }
    }
}

std::vector<std::string> Evaluator::unknownFields(const Template& t, const PassRecords& records)
{
    std::set<std::string> unknown;
    for (const std::string& name : t.mergeFieldNames())
        if (records.column(name) < 0)
            unknown.insert(text::upper(name));
    return {unknown.begin(), unknown.end()};
}

std::size_t forEachCopy(const Template& body, const PassRecords& records, const MergeOptions& options,
                        const std::function<void(std::size_t, std::size_t, std::string&, std::string&, bool)>& copy,
                        const LabelMaker::Progress& progress)
{
    Evaluator evaluator(records, options.reading, &progress);
    std::string xml, frames;
    std::size_t next = 0;
    std::size_t copies = 0;
    while (next < records.size()) {
        evaluator.startCopy(next, copies);
        if (copies == 0)
            evaluator.leaveLabelsEmpty(options.blankLabels);
        xml.clear();
        frames.clear();
        evaluator.render(body, xml, false, &frames);
        if (evaluator.skipped()) {
            const std::size_t after = std::max(next + 1, evaluator.current() + 1);
            evaluator.recordsSkipped(next, after);
            next = after;
            continue;
        }
        const std::size_t first = next;
        next = evaluator.current() + 1;
        copy(copies++, first, xml, frames, next >= records.size());
        if (progress && !progress(std::min(next, records.size())))
            throw MergeStopped{};
    }
    return evaluator.recordsTaken();
}

} // namespace cardmill
