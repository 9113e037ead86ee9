#include "merge/Conditions.h"

#include <cstdlib>

#include "engine/Text.h"

namespace cardmill {

struct Condition::Node {
    enum class Kind { Text, Column, Not, And, Or, Compare } kind = Kind::Text;
    std::string text; // Text: the value; Column: the name; Compare: the operator
    std::shared_ptr<const Node> left, right;
};

namespace {

using Node = Condition::Node;
using NodePtr = std::shared_ptr<const Node>;

struct Token {
    enum class Kind { Value, Column, Operator, Open, Close, End } kind = Kind::End;
    std::string text;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string upper(std::string_view s)
{
    return text::upper(s);
}

class Parser {
public:
    explicit Parser(std::string_view s) : m_s(s) { next(); }

    NodePtr expression() { return disjunction(); }
    bool atEnd() const { return m_token.kind == Token::Kind::End; }

private:
    static NodePtr make(Node::Kind kind, std::string text, NodePtr left = {}, NodePtr right = {})
    {
        auto n = std::make_shared<Node>();
        n->kind = kind;
        n->text = std::move(text);
        n->left = std::move(left);
        n->right = std::move(right);
        return n;
    }

    bool word(const char* w) const
    {
        return m_token.kind == Token::Kind::Operator && m_token.text == w;
    }

    NodePtr disjunction()
    {
        NodePtr n = conjunction();
        while (word("OR")) {
            next();
            n = make(Node::Kind::Or, {}, n, conjunction());
        }
        return n;
    }
    NodePtr conjunction()
    {
        NodePtr n = negation();
        while (word("AND")) {
            next();
            n = make(Node::Kind::And, {}, n, negation());
        }
        return n;
    }
    NodePtr negation()
    {
        if (word("NOT")) {
            next();
            return make(Node::Kind::Not, {}, negation());
        }
        return comparison();
    }
    NodePtr comparison()
    {
        NodePtr n = value();
        if (m_token.kind == Token::Kind::Operator && m_token.text != "AND" && m_token.text != "OR" &&
            m_token.text != "NOT") {
            const std::string op = m_token.text;
            next();
            n = make(Node::Kind::Compare, op, n, value());
        }
        return n;
    }
    NodePtr value()
    {
        if (m_token.kind == Token::Kind::Open) {
            next();
            NodePtr n = expression();
            if (m_token.kind == Token::Kind::Close)
                next();
            return n;
        }
        const Token t = m_token;
        next();
        if (t.kind == Token::Kind::Column)
            return make(Node::Kind::Column, t.text);
        return make(Node::Kind::Text, t.text);
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
            m_token = {Token::Kind::Value, std::string(m_s.substr(m_at + 1, end == std::string_view::npos ? end : end - m_at - 1))};
            m_at = end == std::string_view::npos ? m_s.size() : end + 1;
        } else if (c == '[') {
            const std::size_t end = m_s.find(']', m_at + 1);
            m_token = {Token::Kind::Column, column(m_s.substr(m_at + 1, end == std::string_view::npos ? end : end - m_at - 1))};
            m_at = end == std::string_view::npos ? m_s.size() : end + 1;
        } else if (std::string_view("=!<>&|").find(c) != std::string_view::npos) {
            std::string op(1, c);
            if (m_at + 1 < m_s.size() && std::string_view("=<>&|").find(m_s[m_at + 1]) != std::string_view::npos)
                op.push_back(m_s[m_at + 1]);
            m_at += op.size();
            static const std::pair<const char*, const char*> names[] = {
                {"==", "="}, {"=", "="}, {"!=", "<>"}, {"<>", "<>"}, {"<", "<"},  {">", ">"},
                {"<=", "<="}, {">=", ">="}, {"&&", "AND"}, {"||", "OR"}, {"!", "NOT"}};
            m_token = {Token::Kind::Operator, op};
            for (const auto& [from, to] : names)
                if (op == from)
                    m_token.text = to;
        } else {
            std::size_t end = m_at;
            while (end < m_s.size() && !isBlank(m_s[end]) && std::string_view("()=!<>&|\"'").find(m_s[end]) == std::string_view::npos)
                ++end;
            const std::string w(m_s.substr(m_at, end - m_at));
            m_at = end;
            const std::string u = upper(w);
            static const std::pair<const char*, const char*> words[] = {
                {"EQ", "="}, {"NEQ", "<>"}, {"LT", "<"}, {"GT", ">"}, {"LEQ", "<="}, {"GEQ", ">="},
                {"AND", "AND"}, {"OR", "OR"}, {"NOT", "NOT"}};
            for (const auto& [from, to] : words)
                if (u == from) {
                    m_token = {Token::Kind::Operator, to};
                    return;
                }
            char* numberEnd = nullptr;
            std::strtod(w.c_str(), &numberEnd);
            if (u == "TRUE" || u == "FALSE")
                m_token = {Token::Kind::Value, u == "TRUE" ? "1" : "0"};
            else if (numberEnd && *numberEnd == '\0')
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
};

bool number(const std::string& s, double& v)
{
    if (s.empty())
        return false;
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    return end && *end == '\0';
}

std::string valueOf(const Node& n, const Condition::Column& column);

bool truth(const Node& n, const Condition::Column& column)
{
    switch (n.kind) {
    case Node::Kind::Not:
        return !truth(*n.left, column);
    case Node::Kind::And:
        return truth(*n.left, column) && truth(*n.right, column);
    case Node::Kind::Or:
        return truth(*n.left, column) || truth(*n.right, column);
    case Node::Kind::Compare: {
        const std::string a = valueOf(*n.left, column), b = valueOf(*n.right, column);
        double x = 0, y = 0;
        const int cmp = number(a, x) && number(b, y) ? (x < y ? -1 : x > y ? 1 : 0) : a.compare(b);
        const std::string& op = n.text;
        return op == "=" ? cmp == 0 : op == "<>" ? cmp != 0 : op == "<" ? cmp < 0 : op == ">" ? cmp > 0
             : op == "<=" ? cmp <= 0 : op == ">=" ? cmp >= 0 : false;
    }
    case Node::Kind::Text:
    case Node::Kind::Column: {
        const std::string v = valueOf(n, column);
        return !v.empty() && v != "0" && upper(v) != "FALSE";
    }
    }
    return false;
}

std::string valueOf(const Node& n, const Condition::Column& column)
{
    if (n.kind == Node::Kind::Text)
        return n.text;
    if (n.kind == Node::Kind::Column)
        return column(n.text);
    return truth(n, column) ? "1" : "0";
}

void collect(const Node& n, std::vector<std::string>& out)
{
    if (n.kind == Node::Kind::Column)
        out.push_back(n.text);
    if (n.left)
        collect(*n.left, out);
    if (n.right)
        collect(*n.right, out);
}

} // namespace

std::shared_ptr<const Condition> Condition::parse(std::string_view text)
{
    for (const char* prefix : {"ooow:", "oooc:", "ooo:", "of:"})
        if (text.substr(0, std::string_view(prefix).size()) == prefix)
            text.remove_prefix(std::string_view(prefix).size());
    auto c = std::make_shared<Condition>();
    Parser parser(text);
    if (!parser.atEnd())
        c->m_root = parser.expression();
    return c;
}

bool Condition::holds(const Column& column) const
{
    return !m_root || truth(*m_root, column);
}

void Condition::columns(std::vector<std::string>& out) const
{
    if (m_root)
        collect(*m_root, out);
}

} // namespace cardmill
