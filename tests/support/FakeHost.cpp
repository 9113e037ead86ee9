#include "support/FakeHost.h"

namespace cardmill::test {

void FakeHost::setStatus(TextId id, const TextArgs& args)
{
    std::string s = id == TextId::Count ? std::string() : std::to_string(static_cast<int>(id));
    for (const std::string& a : args)
        s += " " + a;
    if (statuses.empty() || statuses.back() != s)
        statuses.push_back(std::move(s));
}

void FakeHost::setProgressPosition(std::size_t position)
{
    progressPosition = position;
    ++progressPositionCalls;
}

void FakeHost::processEvents()
{
    ++eventCalls;
    if (onEvents)
        onEvents(eventCalls);
}

std::vector<TextId> FakeHost::messageIds() const
{
    std::vector<TextId> ids;
    for (const Message& m : messages)
        ids.push_back(m.id);
    return ids;
}

} // namespace cardmill::test
