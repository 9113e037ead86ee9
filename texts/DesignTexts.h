#pragma once

#include <string>

#include "stock/Design.h"
#include "texts/Texts.h"

namespace cardmill {

// Why a design cannot be used, in a language.
std::string designProblemText(const DesignProblem& problem, Language language);
// An element of a design as messages name it: "element 3 (text "To Radio {CALL}")".
std::string designElementText(const DesignElementRef& element, Language language);
// The whole message: the design file, the element, the problem.
std::string designErrorText(const DesignError& error, Language language);

} // namespace cardmill
