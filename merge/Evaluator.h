#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/LabelMaker.h"
#include "merge/Pictures.h"
#include "merge/Template.h"

namespace cardmill {

// Thrown out of a merge when its progress callback asks to stop; the merge writes nothing.
struct MergeStopped {};

// How a merge reads values and where on the first sheet it starts.
struct MergeOptions {
    DateReading reading;
    // Label places of the first copy left empty before the first record (a sheet whose first labels are used).
    std::size_t blankLabels = 0;
};

// Turns compiled templates into XML, record by record. One evaluator makes all copies of one merge: it holds
// the record position, the copy's number and the ids it hands out.
class Evaluator {
public:
    // `progress`, when given, is told every move to a further record; when it returns false the evaluator
    // throws MergeStopped.
    // Drawing objects get ids from `firstDrawingId` on, so that evaluators of different parts hand out
    // different ones: the body's from kBodyDrawingIds, headers' and footers' from kHeaderDrawingIds.
    static constexpr unsigned long kBodyDrawingIds = 100000;
    static constexpr unsigned long kHeaderDrawingIds = 1000000000;
    Evaluator(const PassRecords& records, DateReading reading, const LabelMaker::Progress* progress = nullptr,
              unsigned long firstDrawingId = kBodyDrawingIds);

    // Starts copy `copy` (from 0) at record `index`.
    void startCopy(std::size_t index, std::size_t copy);
    // The next `n` label places stay empty and read no record; the record position stays where it is for the
    // first label after them (a record-moving field that it starts with does not move).
    void leaveLabelsEmpty(std::size_t n);
    std::size_t current() const { return m_current; }
    bool exhausted() const { return m_current >= m_records.size(); }
    bool skipped() const { return m_skip; }
    // The records from `from` to before `to` were left out by a SKIPIF: they do not count in MERGESEQ, and they
    // are taken.
    void recordsSkipped(std::size_t from, std::size_t to);
    // How many records a field has shown or a SKIPIF left out, each once.
    std::size_t recordsTaken() const { return m_taken; }

    // Appends the evaluated template to `out`, and its page-anchored frames to `frames` when given (else to
    // `out`). `inHeader`: record-moving fields do nothing (a header or footer shows the record its copy starts
    // with).
    void render(const Template& t, std::string& out, bool inHeader = false, std::string* frames = nullptr);

    // The section break marker a copy's XML holds where its section properties go (WordprocessingML).
    static constexpr char kSectionMark = '\x01';

    // The merge field names of a template that no column of `records` holds.
    static std::vector<std::string> unknownFields(const Template& t, const PassRecords& records);

private:
    struct Value {
        std::string text;
        bool fromRecord = false;
    };
    Value value(const Template& t, const Expression& e, int depth);
    std::string operand(const Template& t, const Expression& e, const Operand& o, int depth);
    std::string column(const std::string& name) const;
    bool condition(const Template::Field& f);
    void advance();
    void renderItems(const Template& t, std::string& out, bool inHeader, bool& anyValue);
    std::string* m_frames = nullptr;
    void appendValue(const Template& t, const Template::Field& f, const std::string& v, std::string& out);

    const PassRecords& m_records;
    mutable std::unordered_map<std::string, int> m_columnOf; // column names as fields give them
    mutable std::vector<std::string_view> m_values;          // of the record split last
    mutable std::size_t m_splitRecord = static_cast<std::size_t>(-1);
    DateReading m_reading;
    const LabelMaker::Progress* m_progress;
    std::size_t m_current = 0;
    std::size_t m_copy = 0;
    std::size_t m_skippedRecords = 0;
    bool m_skip = false;
    std::size_t m_blankLabels = 0;
    bool m_holdPosition = false; // no record move until a field has read a record
    std::size_t m_lookupsAtHold = 0;
    std::size_t m_lookups = 0; // fields read that read a record
    std::size_t m_hits = 0;    // ... and found one
    int m_hidden = 0;          // within hidden content: fields do their record work, but show nothing
    std::vector<bool> m_shown; // the records a shown field read
    std::size_t m_taken = 0;   // how many of them
    void take(std::size_t record);
    void taken(); // the current record, unless within hidden content
    unsigned long m_nextDrawingId;
};

// Makes the copies of a body, each starting at the next unused record: `copy` receives the copy's number (from
// 0), the record it started with, its evaluated XML (its page-anchored frames apart, in `frames`) and whether it
// is the last. The first copy leaves `options.blankLabels` label places empty first. A copy that a SKIPIF
// left out is dropped with its records; when the records run out within a copy, no further copy starts.
// `progress` is told every move to a further record and every copy made; when it returns false, forEachCopy
// throws MergeStopped. Returns how many records went onto labels (or were left out by a SKIPIF): fewer than
// there are when the document does not move on to the next record in every label.
std::size_t forEachCopy(const Template& body, const PassRecords& records, const MergeOptions& options,
                        const std::function<void(std::size_t copy, std::size_t firstRecord, std::string& xml,
                                                 std::string& frames, bool last)>& copy,
                        const LabelMaker::Progress& progress);

} // namespace cardmill
