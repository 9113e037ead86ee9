#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace cardmill {

// An error that a word processor or the merge engine reported; its text is the processor's message.
class MergeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The label sizes 1 to 10, or SWL labels.
struct PassSelector {
    int size = 0; // 1 to 10; 0 selects SWL labels

    static PassSelector swl() { return {0}; }
    bool isSwl() const { return size == 0; }
};

// Merges the data-source files of a run into label documents. The conversion run calls `runPass` for the
// sizes 1 to 10 in turn and then for SWL, and `makeVisible` once at the end. A pass whose data-source file
// does not exist does nothing. Failures throw MergeError (or IoError for the data-source file); the run then
// stops its merge phase.
class MailMergeDriver {
public:
    virtual ~MailMergeDriver() = default;

    // Called once before the first pass of a run, with the run's <base>.
    virtual void startMerge(const std::filesystem::path& base) { (void)base; }
    virtual void runPass(const std::filesystem::path& base, PassSelector selector) = 0;
    // Hands the merged documents to the user (a word processor made visible, documents opened or listed).
    virtual void makeVisible() = 0;
};

} // namespace cardmill
