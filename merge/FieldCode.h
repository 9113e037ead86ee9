#pragma once

#include <string>
#include <vector>

namespace cardmill {

// A field's instruction ("code"), with the fields nested in it. A nested field stands in `text` as
// "\x1F" + its index in `nested` + "\x1F".
struct FieldInstruction {
    std::string text;
    std::vector<FieldInstruction> nested;
};

// A piece of an instruction's text: literal text, or the result of a nested field.
struct TextPart {
    std::string text;
    int nested = -1;
};
// An expression or a text of an instruction: its pieces joined.
using Operand = std::vector<TextPart>;

// The fields the engine evaluates; every other field keeps its cached result.
struct FieldCode {
    enum class Type { MergeField, If, Next, NextIf, SkipIf, MergeRec, MergeSeq, Other };
    enum class TextCase { None, Upper, Lower, Caps, FirstCap };

    Type type = Type::Other;
    // MERGEFIELD
    std::string name;
    std::string before; // \b: text before the value, only when the value is not empty
    std::string after;  // \f: text after the value, likewise
    TextCase textCase = TextCase::None;
    std::string datePicture;   // \@, empty when none
    std::string numberPicture; // \#, empty when none
    // IF, NEXTIF, SKIPIF: left operator right
    Operand left;
    std::string op;
    Operand right;
    bool rightQuoted = false; // wildcards count only in a quoted text
    // IF: the texts for true and false
    Operand whenTrue;
    Operand whenFalse;
};

// An instruction read: its code, and the fields nested in it read likewise.
struct Expression {
    FieldCode code;
    std::vector<Expression> nested;
};

// Reads an instruction with its nested fields (nesting deeper than 32 is not read).
Expression parseExpression(const FieldInstruction& instruction);

// Reads an instruction such as ` MERGEFIELD "CALL" \b "To: " \* Upper \* MERGEFORMAT ` or
// ` IF \x1F0\x1F = "Y" "TNX QSL" "PSE QSL" `. \* MERGEFORMAT, \* CHARFORMAT, \m and \v are accepted and ignored.
FieldCode parseFieldCode(const FieldInstruction& instruction);

// The value as the \* switch wants it (Unicode-aware case changes of UTF-8 text).
std::string applyTextCase(const std::string& utf8, FieldCode::TextCase textCase);

// A comparison of IF, NEXTIF and SKIPIF as Word makes it: numerically when both sides are numbers, as text
// otherwise (letter case counts); with = and <>, a quoted right side may hold the wildcards * (any text) and ?
// (any one character). An unknown operator compares false.
bool compareOperands(const std::string& left, const std::string& op, const std::string& right, bool wildcards);

} // namespace cardmill
