#pragma once

#include <exception>
#include <functional>

namespace cardmill {

// The application's general error handler: an unexpected error in any command (an input/output error, a
// merge error) is shown to the user and the program goes on. The entry point installs it; the default shows
// the error's text in a message box.
using ErrorHandler = std::function<void(const std::exception&)>;
void setErrorHandler(ErrorHandler handler);
void handleError(const std::exception& error);

// Runs a command under the general error handler.
void guarded(const std::function<void()>& command);

} // namespace cardmill
