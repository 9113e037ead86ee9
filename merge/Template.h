#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "merge/Conditions.h"
#include "merge/FieldCode.h"

namespace cardmill {

// A document part compiled for merging: a tree of items that the evaluator turns into XML copy by copy.
// WordprocessingML and OpenDocument compile to the same items; each compiler knows its own format, the
// evaluator none.
struct Template {
    enum class Flavor { Wordprocessing, OpenDocument };

    // A field the evaluator computes. WordprocessingML: MERGEFIELD, IF, NEXT, NEXTIF, SKIPIF, MERGEREC, MERGESEQ
    // (as simple or complex fields). OpenDocument: database display, next and row-number fields, and the
    // conditions of conditional and hidden text and hidden paragraphs.
    struct Field {
        Expression expression;
        std::string runProperties;                  // WordprocessingML: the w:rPr its value takes, as XML
        std::shared_ptr<const Condition> condition; // OpenDocument conditions
        const FieldCode& code() const { return expression.code; }
    };

    struct Item {
        enum class Kind {
            Text,            // XML as it stands
            Field,           // a field's value (or its effect on the record position)
            Paragraph,       // a paragraph that goes when the merge fields it holds (and nothing else) are empty
            Label,           // a label place (table cell, frame, text box): left empty once the records are used up
            Alternate,       // mc:AlternateContent: its choices take the same record position
            Conditional,     // OpenDocument conditional text: `text` when the condition holds, `other` when not
            HiddenText,      // OpenDocument hidden text: `text` unless the condition holds
            HiddenParagraph, // OpenDocument: the paragraph goes when the condition holds
            PageNumber,      // the page a page-anchored frame stands on: the copy's own
            Section,         // where a copy's section break goes (WordprocessingML)
            CopyStyle,       // the style of the first paragraph or table of a copy: `text`, or `other` after the first
            DrawingId,       // a drawing object's id, unique in the merged document
            PageFrames,      // OpenDocument: frames anchored to pages, which stand before all text of the document
        };
        Kind kind = Kind::Text;
        std::string text;
        std::string other;
        int field = -1;
        std::vector<std::shared_ptr<const Template>> children;
        bool soleInCell = false; // Paragraph: its cell needs a paragraph even when it goes
    };

    Flavor flavor = Flavor::Wordprocessing;
    std::vector<Item> items;
    // The fields, shared by the whole tree of one part.
    std::shared_ptr<std::vector<Field>> fields = std::make_shared<std::vector<Field>>();

    // The merge field names used anywhere in the part (also inside IF fields and conditions).
    std::vector<std::string> mergeFieldNames() const;
    bool hasNextRecordField() const;
    bool hasMergeFields() const;
    // How many label places the part has (table cells, frames or text boxes that hold merge fields).
    std::size_t labelPlaces() const;
    bool hasPageFrames() const;
};

// Builds template items, joining adjacent text.
class TemplateBuilder {
public:
    explicit TemplateBuilder(Template& t)
        : m_t(t)
    {
    }
    void text(std::string_view xml);
    void item(Template::Item item);
    Template& target() { return m_t; }

private:
    Template& m_t;
};

// A main document's body compiled for merging.
struct CompiledDocument {
    std::string prefix;     // the part up to where the body's copies go
    Template body;          // one copy
    std::string sectionXml; // WordprocessingML: the final w:sectPr (may be empty)
    std::string suffix;     // from the end of the copies on
};

// Compiles word/document.xml. Throws std::runtime_error on malformed XML or a part without a body.
CompiledDocument compileDocx(const std::string& xml);
// Compiles a header or footer part of a .docx.
Template compileDocxPart(const std::string& xml);

// Compiles an OpenDocument content.xml: the prefix holds everything up to the text's first content. With
// `breakPages`, each copy after the first starts on a new page through the style of its first paragraph or
// table (an automatic style named after `styleStem`, which no style of the document may begin with).
CompiledDocument compileOdt(const std::string& xml, const std::string& styleStem, bool breakPages);
// Compiles a piece of OpenDocument markup (a master page with its header and footer, as XML).
Template compileOdtPiece(const std::string& xml);

// What a format calls the elements that can be label places.
struct LabelPlaceNames {
    const char* table;              // "w:tbl", "table:table"
    const char* cell;               // "w:tc", "table:table-cell"
    std::vector<const char*> boxes; // text boxes and frames: "w:pict", "w:drawing", "mc:AlternateContent"; "draw:frame"
};
// The label places of a part, the same rule for every format: the outermost cells of a table (its nested
// tables' cells not counted) that hold fields reading records, and the outermost boxes of the part that hold
// such fields, where there are at least two of a kind. `recordFields` counts the fields reading records in an
// element. In document order; the cells of a table that holds label places are not looked into further.
std::vector<pugi::xml_node> findLabelPlaces(pugi::xml_node root, const LabelPlaceNames& names,
                                            const std::function<std::size_t(pugi::xml_node)>& recordFields);

// The XML of a part before and after the element `content` (its start tag included in the first, its end tag
// in the second), for a part whose content is made anew.
std::string partAround(pugi::xml_node content, std::string& after);

// Text made safe for XML character data: &, <, > escaped and characters XML does not allow left out.
std::string xmlEscape(std::string_view utf8);

} // namespace cardmill
