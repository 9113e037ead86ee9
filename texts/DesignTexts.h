#pragma once

#include <string>
#include <string_view>

#include "stock/Design.h"
#include "texts/Texts.h"

namespace cardmill {

// Why a design cannot be used, in a language.
std::string designProblemText(const DesignProblem& problem, Language language);
// An element of a design as messages name it: "element 3 (text "To Radio {CALL}")".
std::string designElementText(const DesignElementRef& element, Language language);
// The whole message: the design file, the element, the problem.
std::string designErrorText(const DesignError& error, Language language);

// What a built-in design (one of kBuiltInDesigns) draws, in a language; empty for another name.
std::string builtInDesignText(std::string_view name, Language language);
// A built-in design's title as the windows list it ("QSL label"); the name itself for another name.
std::string builtInDesignTitle(std::string_view name, Language language);

} // namespace cardmill
