#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/RunRequest.h"

namespace cardmill::test {

// The choices of a run's line format and filters in plain members, as a window's controls hold them, for tests
// to set between runs.
struct FakeSettings {
    int qrg = 1;
    int dateIndex = 0;
    std::string separator = "-";
    std::vector<std::string> fields;
    bool dateRange = false;
    PickerDate from{2000, 1, 1};
    PickerDate to{2099, 12, 31};
    std::map<QslFilter, bool> qslEnabled;
    std::map<std::pair<QslFilter, QslBox>, bool> qslTicked;
    bool callEnabled = false;
    std::string call;

    // These choices in a request.
    void applyTo(RunRequest& request) const;
};

} // namespace cardmill::test
