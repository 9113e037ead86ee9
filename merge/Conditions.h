#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cardmill {

// An OpenDocument condition as LibreOffice writes it for database fields, compiled: comparisons (== != <> < >
// <= >= = and EQ NEQ LT GT LEQ GEQ) of columns ("[DB.table.COLUMN]" or "DB.table.COLUMN"), quoted texts,
// numbers, TRUE and FALSE, joined by and/or/not (also && || !) and parentheses. Both sides numbers: compared as
// numbers; otherwise as text. A value alone holds when it is neither empty nor 0 nor FALSE.
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
