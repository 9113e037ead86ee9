#include "support/FakeHost.h"

namespace cardmill::test {

RunRequest FakeHost::request() const
{
    RunRequest r;
    r.log = log;
    r.swl = swl;
    r.mainDocument = mainDocument;
    r.merge = merge;
    r.labelSize = LabelSize::nearest(size);
    settings.applyTo(r);
    r.keepTableDocument = keepTemporary;
    r.pdf = pdf;
    r.startLabel = startLabel;
    r.marking = marking;
    r.order = order;
    r.countryFile = countryFile;
    r.ownCall = ownCall;
    r.ownBundleLast = ownBundleLast;
    r.sheet = sheet;
    r.routes = routes;
    return r;
}

RunOutcome FakeHost::runWith(ConversionRun& run)
{
    stopChecks = 0;
    lastResult = run.run(request(), *this, StopToken([this] {
                             ++stopChecks;
                             if (onStopCheck)
                                 onStopCheck(stopChecks);
                             return stopFlag;
                         }));
    stopFlag = false;
    if (lastResult.message)
        messages.push_back(*lastResult.message);
    if (lastResult.summary)
        summaries.push_back(*lastResult.summary);
    if (lastResult.failure) {
        const Failure& f = *lastResult.failure;
        failures.push_back(f);
        errors.push_back(f.path.string() + (f.detail.empty() ? "" : ": " + f.detail));
    }
    return lastResult.outcome;
}

void FakeHost::status(TextId id, const TextArgs& args)
{
    std::string s = id == TextId::Count ? std::string() : std::to_string(static_cast<int>(id));
    for (const std::string& a : args)
        s += " " + a;
    if (statuses.empty() || statuses.back() != s)
        statuses.push_back(std::move(s));
}

void FakeHost::progress(std::size_t position, std::size_t maximum)
{
    progressVisible = maximum > 0;
    if (maximum > 0) { // what the bar showed last
        progressMaximum = maximum;
        progressPosition = position;
    }
}

std::vector<TextId> FakeHost::messageIds() const
{
    std::vector<TextId> ids;
    for (const RunMessage& m : messages)
        ids.push_back(m.id);
    return ids;
}

} // namespace cardmill::test
