#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cardmill {

// An OpenDocument condition as LibreOffice writes and reads it for database fields, compiled. Operands are
// columns ("[DB.table.COLUMN]" or "DB.table.COLUMN"), quoted texts, numbers, TRUE and FALSE, a parenthesised
// condition, or NOT (also !) before an operand. The binary operators == EQ != NEQ < L > G <= LEQ >= GEQ AND OR
// XOR all bind alike and apply left to right, as in LibreOffice: `[A] == "x" or [B] == "y"` reads as
// `(([A] == "x") or [B]) == "y"`, so a user who wants the other reading writes parentheses (and saw the
// difference in LibreOffice already). True is -1 where a truth meets a number. Both sides numbers: compared as
// numbers; otherwise as text, case mattering. A value alone holds when it is neither empty nor 0 nor FALSE.
// A condition LibreOffice cannot read (an operator it does not know, such as = <> && || LT GT, a stray
// parenthesis) holds, since LibreOffice then hides the hidden text and paragraph and shows the "true" text.
class Condition {
public:
    using Column = std::function<std::string(const std::string& name)>;

    // The condition of a text (its "ooow:" or "oooc:" prefix dropped); an empty text always holds.
    static std::shared_ptr<const Condition> parse(std::string_view text);

    bool holds(const Column& column) const;
    // The columns it reads.
    void columns(std::vector<std::string>& out) const;

    struct Node;

private:
    std::shared_ptr<const Node> m_root; // null: always true
};

} // namespace cardmill
