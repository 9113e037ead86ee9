#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Failure.h"

namespace cardmill {

// Text that did not fit its place on a label even narrowed to half its width, and was cut: how many labels
// have some, and the first of them, to say once for a run.
struct TextCuts {
    std::size_t labels = 0;
    std::size_t firstLabel = 0; // from 1, in the order the labels go on
    std::string firstCall;      // that label's call
    std::string firstText;      // the text that was cut, whole
    // A label with text cut: counted once however many of its texts are cut.
    void add(std::size_t label, std::string_view call, std::string_view text);
    friend bool operator==(const TextCuts&, const TextCuts&) = default;

private:
    std::size_t m_last = 0; // the last label counted, from 1
};

// What drawing a run's labels did.
struct DrawnLabels {
    bool pdfMade = false;  // the PDF is in place
    bool complete = false; // everything asked for was done: the PDF, and the print when one was asked for
    std::size_t sheets = 0;
    std::string printer;                 // the queue the sheets were handed to; empty when none was asked for
    std::size_t printedSheets = 0;       // the sheets that queue took
    std::optional<Failure> printFailure; // why the print system did not take the labels, the PDF made
    TextCuts cuts;
    std::vector<std::string> emptyFields; // fields the design shows that no label has a value of
};

} // namespace cardmill
