#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/RunHost.h"
#include "support/FakeSettings.h"

namespace cardmill::test {

// A run host that records what the run shows and lets a test act at each event point.
class FakeHost : public RunHost {
public:
    FakeSettings settings;
    std::filesystem::path log, swl, mainDocument;
    int size = 1;
    bool keepTemporary = false;
    SentMarking marking;

    struct Message {
        TextId id;
        TextArgs args;
    };
    std::vector<Message> messages;
    std::vector<RunSummary> summaries;
    std::vector<Failure> failures;
    std::vector<std::string> errors;   // each failure's path and detail
    std::vector<std::string> statuses; // every change, "" for a cleared status
    bool progressVisible = false;
    std::size_t progressMaximum = 0;
    std::size_t progressPosition = 0;
    std::size_t progressPositionCalls = 0;
    bool stopFlag = false;
    bool stopEnabled = false;
    int eventCalls = 0;
    // Called at every event point, with the number of the call (from 1).
    std::function<void(int)> onEvents;

    // ConversionSettings, from `settings`.
    QrgFormat qrgFormat() const override { return settings.qrgFormat(); }
    int dateFormatIndex() const override { return settings.dateFormatIndex(); }
    std::string dateSeparator() const override { return settings.dateSeparator(); }
    void userFieldsInto(std::vector<std::string>& out) const override { settings.userFieldsInto(out); }
    bool dateRangeEnabled() const override { return settings.dateRangeEnabled(); }
    PickerDate dateFrom() const override { return settings.dateFrom(); }
    PickerDate dateTo() const override { return settings.dateTo(); }
    bool qslFilterEnabled(QslFilter f) const override { return settings.qslFilterEnabled(f); }
    bool qslBoxTicked(QslFilter f, QslBox b) const override { return settings.qslBoxTicked(f, b); }
    bool callFilterEnabled() const override { return settings.callFilterEnabled(); }
    std::string callFilterText() const override { return settings.callFilterText(); }

    std::filesystem::path logPath() const override { return log; }
    std::filesystem::path swlPath() const override { return swl; }
    std::filesystem::path mainDocumentPath() const override { return mainDocument; }
    int labelSize() const override { return size; }
    bool keepTemporaryFile() const override { return keepTemporary; }
    SentMarking sentMarking() const override { return marking; }
    void setStatus(TextId id, const TextArgs& args) override;
    void showProgress(bool visible) override { progressVisible = visible; }
    void setProgressRange(std::size_t maximum) override { progressMaximum = maximum; }
    void setProgressPosition(std::size_t position) override;
    void showMessage(TextId id, const TextArgs& args) override { messages.push_back({id, args}); }
    void showSummary(const RunSummary& summary) override { summaries.push_back(summary); }
    void showError(const Failure& failure) override
    {
        failures.push_back(failure);
        errors.push_back(failure.path.string() + (failure.detail.empty() ? "" : ": " + failure.detail));
    }
    void processEvents() override;
    bool stopRequested() const override { return stopFlag; }
    void clearStopRequest() override { stopFlag = false; }
    void setStopEnabled(bool enabled) override { stopEnabled = enabled; }

    // The ids of the messages shown, in order.
    std::vector<TextId> messageIds() const;
};

} // namespace cardmill::test
