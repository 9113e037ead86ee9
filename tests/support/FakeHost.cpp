#include "support/FakeHost.h"

#include "engine/DataSourceFiles.h"

namespace cardmill::test {

void FakeHost::setStatus(TextId id, const std::string& arg)
{
    std::string s = id == TextId::Count ? std::string() : std::to_string(static_cast<int>(id)) + arg;
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

void RecordingDriver::startMerge(const std::filesystem::path&)
{
    calls.push_back("start");
}

void RecordingDriver::runPass(const std::filesystem::path& base, PassSelector selector)
{
    const std::string name = selector.isSwl() ? "swl" : std::to_string(selector.size);
    calls.push_back("pass " + name);
    std::error_code ec;
    if (std::filesystem::exists(dataSourcePath(base, selector.size), ec))
        passesWithData.push_back(name);
    if (failAtSize == selector.size)
        throw MergeError("The document could not be opened: card_" + name + ".doc");
}

} // namespace cardmill::test
