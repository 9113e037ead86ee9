#include "support/FakeSettings.h"

namespace cardmill::test {

void FakeSettings::applyTo(RunRequest& r) const
{
    r.format.qrg = qrgFormatAt(qrg);
    r.format.dateFormat = DateFormat::of(dateIndex).value_or(DateFormat());
    r.format.separator = separator;
    r.format.userFields = fields;
    r.filters.dateRange = dateRange;
    r.filters.from = from;
    r.filters.to = to;
    for (const auto& [filter, on] : qslEnabled)
        r.filters.flags(filter).on = on;
    for (const auto& [which, ticked] : qslTicked)
        r.filters.flags(which.first).tick(which.second, ticked);
    r.filters.callOn = callEnabled;
    r.filters.call = call;
}

} // namespace cardmill::test
