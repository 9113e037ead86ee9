#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/ConversionRun.h"
#include "support/FakeSettings.h"

namespace cardmill::test {

// A run as the tests drive it: the request's choices in plain members, an observer that records what the run
// shows, a stop flag that a test may set at any stop point, and what the run's result said.
class FakeHost : public RunObserver {
public:
    FakeSettings settings;
    std::filesystem::path log, swl, mainDocument;
    int size = 1;
    bool keepTemporary = false;
    bool pdf = false;
    bool merge = true;
    int startLabel = 1;
    SentMarking marking;
    LabelOrder order = LabelOrder::Call;
    std::filesystem::path countryFile;
    std::string ownCall;
    bool ownBundleLast = false;
    LabelSheet sheet;
    RouteChoice routes;

    // What the runs said, each run's added.
    std::vector<RunMessage> messages;
    std::vector<RunSummary> summaries;
    std::vector<Failure> failures;
    std::vector<std::string> errors;   // each failure's path and detail
    std::vector<std::string> statuses; // every change, "" for a cleared status
    bool progressVisible = false;
    std::size_t progressMaximum = 0; // of the bar as it was shown last
    std::size_t progressPosition = 0;
    bool stopFlag = false;
    int stopChecks = 0;
    // Called at every stop point of a run, with the number of the call (from 1).
    std::function<void(int)> onStopCheck;

    // The request of these choices.
    RunRequest request() const;
    // Runs `run` with this host's request and records what it said.
    RunOutcome runWith(ConversionRun& run);
    RunResult lastResult;

    void status(TextId id, const TextArgs& args) override;
    void progress(std::size_t position, std::size_t maximum) override;

    // The ids of the messages shown, in order.
    std::vector<TextId> messageIds() const;
};

} // namespace cardmill::test
