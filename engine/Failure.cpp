#include "engine/Failure.h"

namespace cardmill {

namespace {

std::string account(const Failure& f)
{
    std::string text = "failure " + std::to_string(static_cast<int>(f.id));
    if (!f.path.empty())
        text += ": \"" + f.path.string() + "\"";
    if (!f.detail.empty())
        text += ": " + f.detail;
    return text;
}

} // namespace

FailureError::FailureError(Failure failure)
    : std::runtime_error(account(failure))
    , m_failure(std::move(failure))
{
}

FailureError::FailureError(Failure failure, const std::string& english)
    : std::runtime_error(english)
    , m_failure(std::move(failure))
{
}

} // namespace cardmill
