#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/LabelMaker.h"
#include "merge/FieldCode.h"

namespace cardmill {

// Thrown out of a merge when its progress callback asks to stop; the merge writes nothing.
struct MergeStopped {};

// A document part compiled for merging: literal XML, field slots and paragraphs that disappear when all their
// merge fields come out empty. Two flavours: WordprocessingML (.docx) and OpenDocument text (.odt).
//
// WordprocessingML: Fields are found as simple fields (w:fldSimple) and as complex fields
// (w:fldChar begin / instruction / separate / result / end), whose instruction may be split over any number of
// runs and paragraphs and hold nested fields. MERGEFIELD, NEXT, NEXTIF, SKIPIF, MERGEREC and MERGESEQ are
// evaluated; every other field keeps its cached result.
//
// OpenDocument: text:database-display (a merge field, column matched without regard to case),
// text:database-next (its condition honoured when it is a simple comparison, always when it is TRUE or empty)
// and text:database-row-number (the record number).
class MergeTemplate {
public:
    enum class Flavor { Wordprocessing, OpenDocument };

    struct Field {
        FieldCode code;
        FieldInstruction instruction;
        std::string runProperties; // the w:rPr of the field's first result run, as XML
    };
    struct Item {
        enum class Kind { Text, Field, Paragraph } kind = Kind::Text;
        std::string text;                        // Text
        int field = -1;                          // Field
        std::shared_ptr<MergeTemplate> paragraph; // Paragraph: its own items
        bool soleInCell = false;                 // Paragraph: a table cell needs one paragraph at least
    };

    std::vector<Item> items;
    std::vector<Field> fields;
    Flavor flavor = Flavor::Wordprocessing;

    bool hasMergeFields() const;
};

// A main document's body compiled for merging.
struct CompiledDocument {
    std::string prefix;         // document.xml up to and including <w:body>
    MergeTemplate body;          // the body without its final section properties
    std::string sectionXml;     // the final w:sectPr, as XML (may be empty)
    std::string suffix;         // from </w:body> on
};

// Compiles document.xml. Throws std::runtime_error on malformed XML or a part without a body.
CompiledDocument compileDocument(const std::string& xml);

// Compiles an OpenDocument content.xml: the prefix holds everything up to the text's declarations, and
// `sectionXml` stays empty. `breakStyle` is the automatic paragraph style put into the content's automatic
// styles for the page breaks between copies (a style of that name must not exist yet).
CompiledDocument compileOdtContent(const std::string& xml, const std::string& breakStyle);
// Compiles a piece of OpenDocument markup (a header or footer of a master page, as XML).
MergeTemplate compileOdtPiece(const std::string& xml);

// The field code of an OpenDocument text:database-next condition ("ooow:TRUE", "ooow:[DB.table.CALL] != ''").
FieldCode odfNextCondition(const std::string& condition, FieldInstruction& instruction);
// Compiles a header or footer part whole; `hasFields` tells whether it needs evaluating per copy.
MergeTemplate compilePart(const std::string& xml);

// The state of a merge while copies are made. Values are decoded from the records' bytes (see decodeValue).
class MergeCursor {
public:
    // `progress`, when given, is told every move to a further record; when it returns false the cursor throws
    // MergeStopped.
    explicit MergeCursor(const PassRecords& records, const LabelMaker::Progress* progress = nullptr)
        : m_records(records)
        , m_progress(progress)
    {
    }

    // Starts a copy at record `index`.
    void startCopy(std::size_t index);
    std::size_t current() const { return m_current; }
    bool exhausted() const { return m_current >= m_records.size(); }
    bool skipped() const { return m_skip; }
    // Records that a SKIPIF left out do not count in MERGESEQ.
    void recordsSkipped(std::size_t n) { m_skippedRecords += n; }

    // Appends the evaluated template to `out`. `inHeader` makes record-moving fields do nothing.
    void render(const MergeTemplate& t, std::string& out, bool inHeader = false);

private:
    std::string value(const MergeTemplate& t, const FieldInstruction& instruction, const FieldCode& code, int depth);
    std::string operandValue(const MergeTemplate& t, const FieldInstruction& instruction, const FieldCode::Operand& o,
                             int depth);
    void renderItems(const MergeTemplate& t, std::string& out, bool inHeader, bool& anyValue);

    void advance();

    const PassRecords& m_records;
    const LabelMaker::Progress* m_progress;
    std::size_t m_current = 0;
    std::size_t m_skippedRecords = 0;
    bool m_skip = false;
};

// Makes the copies of a body, each starting at the next unused record: `copy` receives the copy's number (from
// 0), the record it started with and its evaluated XML. A copy that a SKIPIF left out is dropped with its records;
// when the records run out within a copy, no further copy starts. `progress` is told every move to a further
// record and every copy made; when it returns false, forEachCopy throws MergeStopped.
void forEachCopy(const MergeTemplate& body, const PassRecords& records,
                 const std::function<void(std::size_t copy, std::size_t firstRecord, const std::string& xml)>& copy,
                 const LabelMaker::Progress& progress);

// Text made safe for XML character data: &, <, > escaped and characters XML does not allow left out.
std::string xmlEscape(const std::string& utf8);

} // namespace cardmill
