#pragma once

#include <exception>
#include <functional>
#include <string>

#include "texts/Texts.h"

namespace cardmill {

// The application's one error handler: a failure of a command (an input/output error, a merge error, a
// settings file that cannot be written) is shown under the "Error" caption in the program's language, and
// the program goes on. A FailureError is said through the text table; anything else by its own words.
void setErrorLanguage(std::function<Language()> language);
void handleError(const std::exception& error);
// The text handleError shows.
std::string errorText(const std::exception& error, Language language);

// Runs a command under the error handler.
void guarded(const std::function<void()>& command);

} // namespace cardmill
