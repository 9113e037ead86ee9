#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/ConversionSettings.h"

namespace cardmill::test {

// Settings held in plain members, for tests to set and change between records.
class FakeSettings : public ConversionSettings {
public:
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

    QrgFormat qrgFormat() const override { return qrgFormatAt(qrg); }
    int dateFormatIndex() const override { return dateIndex; }
    std::string dateSeparator() const override { return separator; }
    void userFieldsInto(std::vector<std::string>& out) const override { out = fields; }
    bool dateRangeEnabled() const override { return dateRange; }
    PickerDate dateFrom() const override { return from; }
    PickerDate dateTo() const override { return to; }
    bool qslFilterEnabled(QslFilter f) const override;
    bool qslBoxTicked(QslFilter f, QslBox b) const override;
    bool callFilterEnabled() const override { return callEnabled; }
    std::string callFilterText() const override { return call; }
};

} // namespace cardmill::test
