#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "engine/TextId.h"

namespace cardmill {

// The values put into a text's "%s" places, in turn.
using TextArgs = std::vector<std::string>;

// What a run shows while it works. Called on the thread the run works on; a window passes it on to its own.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // The status text of the phase: `id` with its "%s" replaced by `args`; TextId::Count clears it.
    virtual void status(TextId id, const TextArgs& args = {}) = 0;
    // How far the phase has got: `position` of `maximum`; a maximum of 0 hides the progress bar.
    virtual void progress(std::size_t position, std::size_t maximum) = 0;
};

// An observer that shows nothing.
class SilentObserver : public RunObserver {
public:
    void status(TextId, const TextArgs&) override {}
    void progress(std::size_t, std::size_t) override {}
};

// Whether the user asked the run to stop ("Stop", Ctrl-C, a signal). The run looks at it at its stop points,
// in every phase, often enough that a stop takes effect within a fraction of a second. The question is
// asked from the run's thread: a window answers it from a flag that its own thread sets.
class StopToken {
public:
    StopToken() = default; // never asks to stop
    explicit StopToken(std::function<bool()> asked)
        : m_asked(std::move(asked))
    {
    }
    bool stopRequested() const { return m_asked && m_asked(); }

private:
    std::function<bool()> m_asked;
};

} // namespace cardmill
