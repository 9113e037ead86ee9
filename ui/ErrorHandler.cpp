#include "ui/ErrorHandler.h"

#include "ui/UserInteraction.h"

namespace cardmill {

namespace {

ErrorHandler& handler()
{
    static ErrorHandler h = [](const std::exception& e) {
        userInteraction().message(nullptr, "Error", e.what(), UserInteraction::Icon::Error);
    };
    return h;
}

} // namespace

void setErrorHandler(ErrorHandler h)
{
    handler() = std::move(h);
}

void handleError(const std::exception& error)
{
    handler()(error);
}

void guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& e) {
        handleError(e);
    }
}

} // namespace cardmill
