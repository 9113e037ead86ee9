#pragma once

#include <string>

#include "engine/Routes.h"
#include "engine/RunSummary.h"
#include "texts/Texts.h"

namespace cardmill {

// A route's name: "bureau", "direct", "electronic", "held".
std::string routeText(Route route, Language language);
// Why a QSO takes its route, with the manager's call where QSL_VIA names one.
std::string routeReasonText(const RouteDecision& decision, Language language);
// What a run with routes sent which way, for its closing message: "Bureau: 120 labels in 40 bundles; direct: 5
// cards and 5 address labels ...". Empty for a run without routes.
std::string routeSummaryText(const RunSummary& summary, Language language);

} // namespace cardmill
