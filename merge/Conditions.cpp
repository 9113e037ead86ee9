#include "merge/Conditions.h"

#include <cstdio>
#include <cstdlib>

#include "engine/Text.h"

namespace cardmill {

// Literal: a text or number; Column: a name; Not: of `operands[0]`; Sequence: operands joined left to right by
// the operators between them (operators.size() == operands.size() - 1).
struct Condition::Node {
    enum class Kind { Literal, Column, Not, Sequence } kind = Kind::Literal;
    std::string text;
    std::vector<std::shared_ptr<const Node>> operands;
    std::vector<std::string> operators;
};

namespace {

using Node = Condition::Node;
using NodePtr = std::shared_ptr<const Node>;

// Parentheses and NOTs nest at most this deep; deeper, the condition is one LibreOffice would not read either.
constexpr int kMaxDepth = 200;

struct Token {
    enum class Kind { Value, Column, Binary, Not, Open, Close, Unknown, End } kind = Kind::End;
    std::string text; // Binary: "=", "<>", "<", ">", "<=", ">=", "AND", "OR", "XOR"
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class Parser {
public:
    explicit Parser(std::string_view s)
        : m_s(s)
    {
        next();
    }

    // The whole condition, or null when LibreOffice could not read it.
    NodePtr condition()
    {
        NodePtr n = sequence(0);
        return m_failed || m_token.kind != Token::Kind::End ? nullptr : n;
    }

private:
    static std::shared_ptr<Node> make(Node::Kind kind, std::string text = {})
    {
        auto n = std::make_shared<Node>();
        n->kind = kind;
        n->text = std::move(text);
        return n;
    }

    NodePtr sequence(int depth)
    {
        NodePtr first = operand(depth);
        if (m_token.kind != Token::Kind::Binary)
            return first;
        auto seq = make(Node::Kind::Sequence);
        seq->operands.push_back(std::move(first));
        while (m_token.kind == Token::Kind::Binary && !m_failed) {
            seq->operators.push_back(m_token.text);
            next();
            seq->operands.push_back(operand(depth));
        }
        return seq;
    }

    NodePtr operand(int depth)
    {
        if (depth > kMaxDepth) {
            m_failed = true;
            return make(Node::Kind::Literal, "0");
        }
        switch (m_token.kind) {
        case Token::Kind::Not: {
            next();
            auto n = make(Node::Kind::Not);
            n->operands.push_back(operand(depth + 1));
            return n;
        }
        case Token::Kind::Open: {
            next();
            NodePtr n = sequence(depth + 1);
            if (m_token.kind == Token::Kind::Close)
                next();
            else
                m_failed = true;
            return n;
        }
        case Token::Kind::Value:
        case Token::Kind::Column: {
            auto n = make(m_token.kind == Token::Kind::Value ? Node::Kind::Literal : Node::Kind::Column, m_token.text);
            next();
            return n;
        }
        case Token::Kind::End: // a missing operand counts as 0
            return make(Node::Kind::Literal, "0");
        default: m_failed = true; return make(Node::Kind::Literal, "0");
        }
    }

    void next()
    {
        while (m_at < m_s.size() && isBlank(m_s[m_at]))
            ++m_at;
        m_token = {};
        if (m_at >= m_s.size())
            return;
        const char c = m_s[m_at];
        if (c == '(' || c == ')') {
            m_token.kind = c == '(' ? Token::Kind::Open : Token::Kind::Close;
            ++m_at;
        } else if (c == '"' || c == '\'') {
            const std::size_t end = m_s.find(c, m_at + 1);
            const std::size_t stop = end == std::string_view::npos ? m_s.size() : end;
            m_token = {Token::Kind::Value, std::string(m_s.substr(m_at + 1, stop - m_at - 1))};
            m_at = end == std::string_view::npos ? m_s.size() : end + 1;
        } else if (c == '[') {
            const std::size_t end = m_s.find(']', m_at + 1);
            const std::size_t stop = end == std::string_view::npos ? m_s.size() : end;
            m_token = {Token::Kind::Column, column(m_s.substr(m_at + 1, stop - m_at - 1))};
            m_at = end == std::string_view::npos ? m_s.size() : end + 1;
        } else if (std::string_view("=!<>&|").find(c) != std::string_view::npos) {
            std::string op(1, c);
            if (m_at + 1 < m_s.size() && std::string_view("=<>&|").find(m_s[m_at + 1]) != std::string_view::npos)
                op.push_back(m_s[m_at + 1]);
            m_at += op.size();
            static const std::pair<const char*, const char*> known[] = {{"==", "="}, {"!=", "<>"}, {"<", "<"},
                                                                        {">", ">"},  {"<=", "<="}, {">=", ">="}};
            m_token = {Token::Kind::Unknown, op};
            if (op == "!")
                m_token.kind = Token::Kind::Not;
            for (const auto& [from, to] : known)
                if (op == from)
                    m_token = {Token::Kind::Binary, to};
        } else {
            std::size_t end = m_at;
            while (end < m_s.size() && !isBlank(m_s[end]) &&
                   std::string_view("()[]=!<>&|\"'").find(m_s[end]) == std::string_view::npos)
                ++end;
            const std::string w(m_s.substr(m_at, end - m_at));
            m_at = end;
            const std::string u = text::upper(w);
            static const std::pair<const char*, const char*> words[] = {{"EQ", "="},    {"NEQ", "<>"}, {"L", "<"},
                                                                        {"G", ">"},     {"LEQ", "<="}, {"GEQ", ">="},
                                                                        {"AND", "AND"}, {"OR", "OR"},  {"XOR", "XOR"}};
            for (const auto& [from, to] : words)
                if (u == from) {
                    m_token = {Token::Kind::Binary, to};
                    return;
                }
            double ignored = 0;
            const bool isNumber = text::wholeNumber(w, ignored);
            if (u == "NOT")
                m_token.kind = Token::Kind::Not;
            else if (u == "TRUE" || u == "FALSE")
                m_token = {Token::Kind::Value, u == "TRUE" ? "-1" : "0"};
            else if (isNumber)
                m_token = {Token::Kind::Value, w};
            else
                m_token = {Token::Kind::Column, column(w)};
        }
    }

    // "DB.table.COLUMN": the column is the last name.
    static std::string column(std::string_view s)
    {
        const std::size_t dot = s.rfind('.');
        return std::string(dot == std::string_view::npos ? s : s.substr(dot + 1));
    }

    std::string_view m_s;
    std::size_t m_at = 0;
    Token m_token;
    bool m_failed = false;
};

bool number(const std::string& s, double& v)
{
    return text::wholeNumber(s, v);
}

bool truth(const std::string& v)
{
    double x = 0;
    if (number(v, x))
        return x != 0;
    return !v.empty() && text::upper(v) != "FALSE";
}

const std::string& truthValue(bool b)
{
    static const std::string yes = "-1", no = "0";
    return b ? yes : no;
}

std::string apply(const std::string& op, const std::string& a, const std::string& b)
{
    if (op == "AND")
        return truthValue(truth(a) && truth(b));
    if (op == "OR")
        return truthValue(truth(a) || truth(b));
    if (op == "XOR")
        return truthValue(truth(a) != truth(b));
    double x = 0, y = 0;
    const int cmp = number(a, x) && number(b, y) ? (x < y ? -1 : x > y ? 1 : 0) : a.compare(b);
    return truthValue(op == "="    ? cmp == 0
                      : op == "<>" ? cmp != 0
                      : op == "<"  ? cmp < 0
                      : op == ">"  ? cmp > 0
                      : op == "<=" ? cmp <= 0
                                   : cmp >= 0);
}

std::string valueOf(const Node& n, const Condition::Column& column)
{
    switch (n.kind) {
    case Node::Kind::Literal: return n.text;
    case Node::Kind::Column: return column(n.text);
    case Node::Kind::Not: return truthValue(!truth(valueOf(*n.operands[0], column)));
    case Node::Kind::Sequence: {
        std::string acc = valueOf(*n.operands[0], column);
        for (std::size_t i = 0; i < n.operators.size(); ++i)
            acc = apply(n.operators[i], acc, valueOf(*n.operands[i + 1], column));
        return acc;
    }
    }
    return {};
}

void collect(const Node& n, std::vector<std::string>& out)
{
    if (n.kind == Node::Kind::Column)
        out.push_back(n.text);
    for (const NodePtr& o : n.operands)
        collect(*o, out);
}

} // namespace

std::shared_ptr<const Condition> Condition::parse(std::string_view text)
{
    for (const char* prefix : {"ooow:", "oooc:", "ooo:", "of:"})
        if (text.substr(0, std::string_view(prefix).size()) == prefix)
            text.remove_prefix(std::string_view(prefix).size());
    auto c = std::make_shared<Condition>();
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    if (!text.empty())
        c->m_root = Parser(text).condition();
    return c;
}

bool Condition::holds(const Column& column) const
{
    return !m_root || truth(valueOf(*m_root, column));
}

void Condition::columns(std::vector<std::string>& out) const
{
    if (m_root)
        collect(*m_root, out);
}

} // namespace cardmill
