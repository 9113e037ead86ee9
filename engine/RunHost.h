#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "engine/ConversionSettings.h"
#include "engine/Failure.h"
#include "engine/RunSummary.h"
#include "engine/SentMarks.h"
#include "engine/TextId.h"

namespace cardmill {

// The values put into a text's "%s" places, in turn.
using TextArgs = std::vector<std::string>;

// What the conversion run needs from the program that runs it: the user's choices, read at the moment they
// are needed, and the means to show what the run is doing. The main window, the command-line tool and the
// tests implement it.
class RunHost : public ConversionSettings {
public:
    // Full paths as the boxes keep them; empty when nothing is chosen.
    virtual std::filesystem::path logPath() const = 0;
    virtual std::filesystem::path swlPath() const = 0;
    virtual std::filesystem::path mainDocumentPath() const = 0;
    // QSOs per label, 1 to 10; read at every grouping step.
    virtual int labelSize() const = 0;
    // The "Do not delete temporary.doc file" option.
    virtual bool keepTemporaryFile() const = 0;
    // The program's language is Polish (month and day names of date pictures in merged labels).
    virtual bool polishLanguage() const { return false; }
    // The "Mark QSOs as sent" option with its "sent via", read when a run has made its labels.
    virtual SentMarking sentMarking() const { return {}; }
    // The label place of the first sheet where each pass's labels start (1: the first), read as each pass
    // begins.
    virtual int startLabel() const { return 1; }

    // The status text: `id` with its "%s" replaced by `args`; TextId::Count clears it.
    virtual void setStatus(TextId id, const TextArgs& args = {}) = 0;
    void clearStatus() { setStatus(TextId::Count); }

    virtual void showProgress(bool visible) = 0;
    virtual void setProgressRange(std::size_t maximum) = 0;
    virtual void setProgressPosition(std::size_t position) = 0;

    // A message of the run (error, information or captioned box, as the text table says), its "%s" replaced by
    // `args`. Returns when the user has closed it.
    virtual void showMessage(TextId id, const TextArgs& args = {}) = 0;
    // The closing message of a run that reached its end: what was made, what failed, the bad-records file.
    virtual void showSummary(const RunSummary& summary) = 0;
    // A failure that abandoned the run.
    virtual void showError(const Failure& failure) = 0;

    // Lets pending window events run, so that the window stays painted and "Stop" can be clicked.
    virtual void processEvents() = 0;

    // The stop flag, set by "Stop" and cleared by the run.
    virtual bool stopRequested() const = 0;
    virtual void clearStopRequest() = 0;
    virtual void setStopEnabled(bool enabled) = 0;
};

} // namespace cardmill
