#include "support/FakeSettings.h"

namespace cardmill::test {

bool FakeSettings::qslFilterEnabled(QslFilter f) const
{
    const auto it = qslEnabled.find(f);
    return it != qslEnabled.end() && it->second;
}

bool FakeSettings::qslBoxTicked(QslFilter f, QslBox b) const
{
    const auto it = qslTicked.find({f, b});
    return it != qslTicked.end() && it->second;
}

} // namespace cardmill::test
