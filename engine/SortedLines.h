#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cardmill {

// The run's label lines, kept in one buffer and sorted once after the passes.
//
// Order: ascending, byte by byte, with only a to z folded to capitals; lines that compare equal keep the
// order in which they were added (main log first, then the SWL file). Every line starts with its CALL
// column and a comma, so a station's lines stand together and follow their date and time.
// What grouping needs to know of a line, found as the line is made, so that nobody reads the line again for it.
struct LineKind {
    bool swlReport = false; // CALL_WORKED holds a call: a listener's report, a label of its own
    bool swlMarked = false; // "_SWL" stands in the line: it starts a label of its own
    friend bool operator==(LineKind, LineKind) = default;
};

class SortedLines {
public:
    void clear();
    void add(std::string_view line, LineKind kind = {});
    // Sorts the lines added so far. Adding after sorting needs another sort.
    void sort();

    std::size_t size() const { return m_lines.size(); }
    bool empty() const { return m_lines.empty(); }
    std::string_view operator[](std::size_t i) const;
    LineKind kind(std::size_t i) const;
    // Where a line's text lies among all lines added, in the order they were added: the i-th sorted line's, and
    // the one the next line added gets.
    std::uint64_t addedAt(std::size_t i) const { return m_lines[i].offset; }
    std::uint64_t nextAddedAt() const { return m_text.size(); }

    // The comparison the list sorts by: negative, zero or positive.
    static int compare(std::string_view a, std::string_view b);

private:
    struct Line {
        std::uint64_t prefix;  // bytes 1 to 8 folded, big-endian, for quick comparisons
        std::uint64_t prefix2; // bytes 9 to 16 likewise: the call and most of the date
        std::uint64_t offset;
        std::uint32_t length;
        std::uint8_t kind; // LineKind's flags: 1 swlReport, 2 swlMarked
    };

    std::string m_text;
    std::vector<Line> m_lines;
};

} // namespace cardmill
