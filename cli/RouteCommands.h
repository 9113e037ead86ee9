#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <ostream>
#include <string>

#include "engine/RunRequest.h"
#include "texts/Texts.h"

namespace cardmill {

// The route options as the command line gives them.
struct RouteValues {
    bool routes = false, list = false, reprint = false;
    int directStart = 1;
    std::string defaultRoute, noAddress, addressStock, journal, reprintSheet;
};

// --routes, --default-route, --no-address, --address-stock and --list-routes.
void declareRouteOptions(CLI::App& app, RouteValues& v);
// The route choice into the request; an error's text for the user when an option is wrong.
std::optional<std::string> readRouteOptions(const CLI::App& app, const RouteValues& v, RunRequest& o);

// --list-routes: every QSO of the request's log with its route and why, one a line; nothing is written beside
// the log. Returns the exit code.
int listRoutes(const RunRequest& request, Language language, std::ostream& out, std::ostream& err);

} // namespace cardmill
