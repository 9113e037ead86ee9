#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Failure.h"

namespace cardmill {

// An error that the label-document maker reported, naming the document concerned.
class MergeError : public FailureError {
public:
    MergeError(FailureId id, const std::filesystem::path& path, std::string detail = {})
        : FailureError({id, path, std::move(detail)})
    {
    }
};

// Thrown by a label maker when its waiting callback asked it to stop while another program worked for it (a
// main document or PDFs being converted).
struct LabelMakingStopped {};

// A pass of a run: the labels of one size, 1 to 10 QSOs, or the SWL labels. The passes' number and order are
// here and nowhere else.
struct PassSelector {
    static constexpr int kLargest = 10;       // the largest label size
    static constexpr std::size_t kCount = 11; // every size and the SWL labels

    int size = 0; // 1 to 10; 0 selects SWL labels

    static constexpr PassSelector swl() { return {0}; }
    constexpr bool isSwl() const { return size == 0; }
    // Where the pass stands in arrays over all passes (PassArray): 0 for the SWL labels, else its size.
    constexpr std::size_t index() const { return static_cast<std::size_t>(size); }
    friend bool operator==(PassSelector, PassSelector) = default;
};

// One value for each pass, by PassSelector::index().
template <typename T>
using PassArray = std::array<T, PassSelector::kCount>;

// Every pass in the order a run makes them: sizes 1 to 10, then the SWL labels.
constexpr PassArray<PassSelector> allPasses()
{
    PassArray<PassSelector> passes{};
    for (int k = 1; k <= PassSelector::kLargest; ++k)
        passes[static_cast<std::size_t>(k - 1)] = PassSelector{k};
    passes[PassSelector::kCount - 1] = PassSelector::swl();
    return passes;
}

// One pass's records: the label lines of one data-source file (without its header line) and the column names
// of that header. A label of k QSOs is k consecutive lines. Lines are the 8-bit text the data-source file
// holds: values separated by commas, never quoted. The lines are views into the run's sorted line list.
class PassRecords {
public:
    PassRecords() = default;
    PassRecords(std::vector<std::string> columns, std::vector<std::string_view> lines)
        : m_columns(std::move(columns))
        , m_lines(std::move(lines))
    {
    }

    const std::vector<std::string>& columns() const { return m_columns; }
    std::size_t size() const { return m_lines.size(); }
    bool empty() const { return m_lines.empty(); }
    std::string_view line(std::size_t record) const { return m_lines[record]; }

    // The position of a column by its name, compared without regard to the letter case of a-z; -1 when unknown.
    int column(std::string_view name) const;
    // The bytes of one value; empty when the line has fewer values.
    std::string_view value(std::size_t record, std::size_t column) const;

private:
    std::vector<std::string> m_columns;
    std::vector<std::string_view> m_lines;
};

// What the merge needs to know of how the run wrote the values: the date layout (for date pictures) and the
// language of month and day names; and the label place of the first sheet where the labels start (1: the
// first), for a sheet whose first labels are used already.
struct MergeContext {
    int dateLayout = 0;
    bool polish = false;
    int startLabel = 1;
};

// Something about a main document the user should know, though the labels were made.
struct MergeWarning {
    enum class Kind {
        UnknownFields,         // merge fields that name no column (`fields`)
        NoMergeFields,         // every label the same
        NoNextRecord,          // several label places, and no next-record field: each sheet repeats one record
        StartLabelUnusable,    // a start label was asked for, and the document has no label places to count
        StartLabelBeyondSheet, // a start label past the sheet's `places` label places
    };
    Kind kind = Kind::UnknownFields;
    std::filesystem::path document;
    std::vector<std::string> fields;
    std::size_t places = 0;
    friend bool operator==(const MergeWarning&, const MergeWarning&) = default;
};

// Makes one label document from one pass's records and the main document of that pass. The built-in merge
// engine implements it; a backend for a word processor's automation could too, with the word processor's own
// operations inside these calls.
class LabelMaker {
public:
    // Runs at least once per label with the number of records merged so far; returning false ends the merge.
    using Progress = std::function<bool(std::size_t recordsDone)>;
    // Runs about ten times a second while another program works for the maker (LibreOffice converting
    // `file`), with the seconds so far; returning false ends that program, and the call throws
    // LabelMakingStopped.
    using Waiting = std::function<bool(const std::string& file, int seconds)>;

    virtual ~LabelMaker() = default;

    // The file extension (".docx", ".odt") of the label document this main document gives, judged by its
    // content. Throws MergeError naming the document when it is missing or cannot be a main document. May take
    // a while (a main document converted first): see Waiting.
    virtual std::string labelExtension(const std::filesystem::path& mainDocument, const Waiting& waiting = {}) = 0;

    // Merges the records into the main document and writes the label document to `output`, adding what the
    // user should know about the main document to `warnings`. Returns false when `progress` asked to stop;
    // whatever is at `output` then is of no use. Throws MergeError.
    virtual bool make(const PassRecords& records, const std::filesystem::path& mainDocument,
                      const std::filesystem::path& output, const Progress& progress, const MergeContext& context,
                      std::vector<MergeWarning>& warnings) = 0;

    // Writes the records as a table document (the header row, then one row per line) for the user to keep.
    virtual void writeTableDocument(const PassRecords& records, const std::filesystem::path& path) = 0;

    // Saves the label documents as PDF, each beside its document under its name ("x.docx" -> "x.pdf"). The
    // PDFs replace older ones only when all were made, so a stop or a failed conversion leaves no part of one.
    // Returns the PDFs. Throws MergeError (PdfNeedsLibreOffice, PdfFailed), or LabelMakingStopped (see Waiting).
    virtual std::vector<std::filesystem::path> exportPdf(const std::vector<std::filesystem::path>& documents,
                                                         const Waiting& waiting) = 0;
};

} // namespace cardmill
