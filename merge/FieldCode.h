#pragma once

#include <functional>
#include <string>
#include <vector>

namespace cardmill {

// A field's instruction ("code"), with the fields nested in it. A nested field stands in `text` as
// "\x1F" + its index in `nested` + "\x1F".
struct FieldInstruction {
    std::string text;
    std::vector<FieldInstruction> nested;
};

// The merge fields the engine evaluates; every other field keeps its cached result.
struct FieldCode {
    enum class Type { MergeField, Next, NextIf, SkipIf, MergeRec, MergeSeq, Other };
    enum class TextCase { None, Upper, Lower, Caps, FirstCap };

    struct Operand {
        std::string text;   // literal text (quotes removed)
        int nested = -1;    // or the index of a nested field whose result is the operand
    };

    Type type = Type::Other;
    // MERGEFIELD
    std::string name;
    std::string before; // \b: text before the value, only when the value is not empty
    std::string after;  // \f: text after the value, likewise
    TextCase textCase = TextCase::None;
    // NEXTIF, SKIPIF: left operator right
    Operand left;
    std::string op;
    Operand right;
};

// Reads an instruction such as ` MERGEFIELD "CALL" \b "To: " \* Upper \* MERGEFORMAT `. \* MERGEFORMAT,
// \* CHARFORMAT, \m and \v are accepted and ignored.
FieldCode parseFieldCode(const FieldInstruction& instruction);

// The value as the \* switch wants it (Unicode-aware case changes of UTF-8 text).
std::string applyTextCase(const std::string& utf8, FieldCode::TextCase textCase);

// A NEXTIF / SKIPIF comparison: numerically when both sides are numbers, as text otherwise.
// An unknown operator compares false.
bool compareOperands(const std::string& left, const std::string& op, const std::string& right);

} // namespace cardmill
