#include "merge/FieldCode.h"

#include <cstdlib>
#include <iterator>
#include <string_view>

#include <utf8.h>

#include "engine/Text.h"
#include "merge/CaseMapping.h"

namespace cardmill {

namespace {

// A word of an instruction: literal pieces and nested fields, quoted or not.
struct Token {
    Operand parts;
    bool quoted = false;
    std::string text() const // its literal text alone
    {
        std::string t;
        for (const TextPart& p : parts)
            t += p.text;
        return t;
    }
};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\xA0';
}

void addText(Operand& parts, char c)
{
    if (parts.empty() || parts.back().nested >= 0)
        parts.push_back({});
    parts.back().text.push_back(c);
}

// Reads a nested field's marker at `i` ("\x1F" index "\x1F") into `parts`; returns the position after it.
std::size_t addNested(Operand& parts, const std::string& s, std::size_t i)
{
    const std::size_t end = s.find('\x1F', i + 1);
    TextPart p;
    p.nested = std::atoi(s.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1).c_str());
    parts.push_back(p);
    return end == std::string::npos ? s.size() : end + 1;
}

std::vector<Token> tokenize(const std::string& s)
{
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (isSpace(c)) {
            ++i;
        } else if (c == '"' || (c == '\xE2' && s.compare(i, 3, "\xE2\x80\x9C") == 0)) {
            // Straight quotes, or the typographic ones a word processor may put in; nested fields may stand inside.
            const bool curly = c == '\xE2';
            i += curly ? 3 : 1;
            Token t;
            t.quoted = true;
            while (i < s.size()) {
                if (!curly && s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '"' || s[i + 1] == '\\')) {
                    addText(t.parts, s[i + 1]);
                    i += 2;
                } else if (!curly && s[i] == '"') {
                    ++i;
                    break;
                } else if (curly && (s.compare(i, 3, "\xE2\x80\x9D") == 0 || s.compare(i, 3, "\xE2\x80\x9C") == 0)) {
                    i += 3;
                    break;
                } else if (s[i] == '\x1F') {
                    i = addNested(t.parts, s, i);
                } else {
                    addText(t.parts, s[i++]);
                }
            }
            tokens.push_back(t);
        } else if (c == '<' || c == '>' || c == '=') {
            Token t;
            addText(t.parts, c);
            if (i + 1 < s.size() &&
                ((c == '<' && (s[i + 1] == '>' || s[i + 1] == '=')) || (c == '>' && s[i + 1] == '=')))
                addText(t.parts, s[++i]);
            ++i;
            tokens.push_back(t);
        } else {
            // A word: up to a blank, a quote or an operator; nested fields are part of it.
            Token t;
            while (i < s.size() && !isSpace(s[i]) && s[i] != '"' && s[i] != '<' && s[i] != '>' && s[i] != '=') {
                if (s[i] == '\x1F')
                    i = addNested(t.parts, s, i);
                else
                    addText(t.parts, s[i++]);
            }
            tokens.push_back(t);
        }
    }
    return tokens;
}

std::string upperAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Text as code points and back; bytes that are no UTF-8 become U+FFFD.
std::u32string toUtf32(const std::string& s)
{
    std::string valid;
    utf8::replace_invalid(s.begin(), s.end(), std::back_inserter(valid));
    return utf8::utf8to32(valid);
}

std::string toUtf8(const std::u32string& s)
{
    return utf8::utf32to8(s);
}

bool isWordSpace(char32_t c)
{
    return c == ' ' || c == '\t' || c == 0xA0;
}

bool number(const std::string& s, double& value)
{
    return text::wholeNumber(s, value);
}

} // namespace

FieldCode parseFieldCode(const FieldInstruction& instruction)
{
    FieldCode code;
    const std::vector<Token> tokens = tokenize(instruction.text);
    if (tokens.empty())
        return code;
    const std::string keyword = upperAscii(tokens[0].text());
    if (keyword == "MERGEFIELD") {
        code.type = FieldCode::Type::MergeField;
        std::size_t i = 1;
        if (i < tokens.size())
            code.name = tokens[i++].text();
        for (; i < tokens.size(); ++i) {
            const std::string sw = upperAscii(tokens[i].text());
            const bool hasArg = i + 1 < tokens.size();
            if ((sw == "\\B" || sw == "\\F") && hasArg) {
                (sw == "\\B" ? code.before : code.after) = tokens[++i].text();
            } else if (sw == "\\@" && hasArg) {
                code.datePicture = tokens[++i].text();
            } else if (sw == "\\#" && hasArg) {
                code.numberPicture = tokens[++i].text();
            } else if (sw == "\\*" && hasArg) {
                const std::string format = upperAscii(tokens[++i].text());
                if (format == "UPPER")
                    code.textCase = FieldCode::TextCase::Upper;
                else if (format == "LOWER")
                    code.textCase = FieldCode::TextCase::Lower;
                else if (format == "CAPS")
                    code.textCase = FieldCode::TextCase::Caps;
                else if (format == "FIRSTCAP")
                    code.textCase = FieldCode::TextCase::FirstCap;
            }
        }
    } else if (keyword == "NEXT") {
        code.type = FieldCode::Type::Next;
    } else if (keyword == "MERGEREC") {
        code.type = FieldCode::Type::MergeRec;
    } else if (keyword == "MERGESEQ") {
        code.type = FieldCode::Type::MergeSeq;
    } else if (keyword == "NEXTIF" || keyword == "SKIPIF" || keyword == "IF") {
        code.type = keyword == "IF" ? FieldCode::Type::If
                                    : (keyword == "NEXTIF" ? FieldCode::Type::NextIf : FieldCode::Type::SkipIf);
        if (tokens.size() >= 4) {
            code.left = tokens[1].parts;
            code.op = tokens[2].text();
            code.right = tokens[3].parts;
            code.rightQuoted = tokens[3].quoted;
            if (tokens.size() >= 5)
                code.whenTrue = tokens[4].parts;
            if (tokens.size() >= 6)
                code.whenFalse = tokens[5].parts;
        }
    }
    return code;
}

namespace {

Expression parseExpression(const FieldInstruction& instruction, int depth)
{
    Expression e;
    e.code = parseFieldCode(instruction);
    if (depth < 32)
        for (const FieldInstruction& n : instruction.nested)
            e.nested.push_back(parseExpression(n, depth + 1));
    return e;
}

} // namespace

Expression parseExpression(const FieldInstruction& instruction)
{
    return parseExpression(instruction, 0);
}

std::string applyTextCase(const std::string& utf8, FieldCode::TextCase textCase)
{
    if (textCase == FieldCode::TextCase::None)
        return utf8;
    std::u32string s = toUtf32(utf8);
    bool wordStart = true;
    bool first = true;
    for (char32_t& c : s) {
        switch (textCase) {
        case FieldCode::TextCase::Upper: c = upperCase(c); break;
        case FieldCode::TextCase::Lower: c = lowerCase(c); break;
        case FieldCode::TextCase::Caps:
            if (wordStart && !isWordSpace(c))
                c = upperCase(c);
            break;
        case FieldCode::TextCase::FirstCap:
            if (first && !isWordSpace(c)) {
                c = upperCase(c);
                first = false;
            }
            break;
        case FieldCode::TextCase::None: break;
        }
        wordStart = isWordSpace(c);
    }
    return toUtf8(s);
}

namespace {

// Word's wildcards: * any text, ? any one character (of UTF-8 text, byte by byte for ASCII).
bool matchesWildcards(std::string_view text, std::string_view pattern)
{
    std::size_t t = 0, p = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool compareOperands(const std::string& left, const std::string& op, const std::string& right, bool wildcards)
{
    if (wildcards && (op == "=" || op == "<>") && right.find_first_of("*?") != std::string::npos)
        return matchesWildcards(left, right) == (op == "=");
    double a = 0, b = 0;
    int cmp = 0;
    if (number(left, a) && number(right, b))
        cmp = a < b ? -1 : (a > b ? 1 : 0);
    else
        cmp = left.compare(right) < 0 ? -1 : (left == right ? 0 : 1);
    if (op == "=")
        return cmp == 0;
    if (op == "<>")
        return cmp != 0;
    if (op == "<")
        return cmp < 0;
    if (op == ">")
        return cmp > 0;
    if (op == "<=")
        return cmp <= 0;
    if (op == ">=")
        return cmp >= 0;
    return false;
}

} // namespace cardmill
