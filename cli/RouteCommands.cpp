#include "cli/RouteCommands.h"

#include "cli/ConvertOptions.h"
#include "engine/AdifReader.h"
#include "engine/AdifRecord.h"
#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/Routes.h"
#include "engine/Text.h"
#include "texts/RouteTexts.h"

namespace cardmill {

void declareRouteOptions(CLI::App& app, RouteValues& v)
{
    app.add_flag(
        "--routes", v.routes,
        "the same as --order routes: every QSO on its route (QSL_SENT_VIA asked for, QSL_VIA, the way a "
        "card came, or the default): bureau labels in bureau order, direct labels as <base>_direct with address labels "
        "<base>_addresses.pdf, electronic QSOs listed in <base>_routes.txt; --mark-sent marks each QSO's "
        "QSL_SENT_VIA");
    app.add_option("--default-route", v.defaultRoute, "with --routes: the route of a QSO no rule decides (default B)")
        ->type_name("B|D|E");
    app.add_option("--no-address", v.noAddress,
                   "with --routes: a direct card whose QSO has no ADDRESS goes by bureau (the default) or is held")
        ->type_name("bureau|held");
    app.add_option("--address-stock", v.addressStock,
                   "with --routes: the label stock of the address labels (default: the labels' own)")
        ->type_name("NAME");
    app.add_option("--direct-start-label", v.directStart,
                   "with --routes: the first free label of the direct cards' sheet, and of their address labels' "
                   "(default 1; --start-label is the bureau labels')")
        ->type_name("N");
    app.add_option("--journal", v.journal,
                   "with --routes: the journal of printed labels, which leaves out of a run the QSOs printed before "
                   "(default: cardmill-journal.txt beside the settings file)")
        ->type_name("FILE");
    app.add_flag("--reprint", v.reprint, "with --routes: print again the QSOs the journal has printed before");
    app.add_option(
           "--reprint-sheet", v.reprintSheet,
           "with --routes: draw sheet N of run RUN's bureau labels (B, the default) or direct ones (D) again as "
           "the journal has it (a jammed printer), as <base>_reprint.pdf; nothing is marked or journalled "
           "again")
        ->type_name("RUN,N[,B|D]");
    app.add_flag("--list-routes", v.list, "list each QSO of the log with its route and why, and end");
}

std::optional<std::string> readRouteOptions(const CLI::App& app, const RouteValues& v, RunRequest& o)
{
    RouteChoice& routes = o.routes;
    if (v.routes) {
        if (app.count("--order") && o.order != LabelOrder::Routes)
            return "--routes is --order routes: give one of them";
        o.order = LabelOrder::Routes;
    }
    const bool any = app.count("--default-route") || app.count("--no-address") || app.count("--address-stock") ||
                     app.count("--direct-start-label") || app.count("--journal") || v.reprint ||
                     app.count("--reprint-sheet");
    if (any && !o.routed() && !v.list)
        return "--default-route, --no-address, --address-stock, --direct-start-label, --journal, --reprint and "
               "--reprint-sheet go with --routes";
    if (app.count("--default-route")) {
        const std::optional<Route> route = routeOfLetter(v.defaultRoute);
        if (!route || text::upper(text::trim(v.defaultRoute)) == "M")
            return "--default-route must be B, D or E";
        routes.fallback = *route;
    }
    if (app.count("--no-address")) {
        const std::string which = text::upper(std::string(text::trim(v.noAddress)));
        if (which != "BUREAU" && which != "HELD")
            return "--no-address must be bureau or held";
        routes.noAddress = which == "HELD" ? Route::Held : Route::Bureau;
    }
    if (app.count("--direct-start-label")) {
        if (v.directStart < 1 || v.directStart > kMaxStartLabel)
            return "--direct-start-label must be from 1 to " + std::to_string(kMaxStartLabel);
        routes.directStart = v.directStart;
    }
    if (app.count("--address-stock"))
        routes.addressStock = v.addressStock;
    routes.reprint = v.reprint;
    if (app.count("--journal"))
        routes.journal = files::pathFromUtf8(v.journal);
    if (app.count("--reprint-sheet")) {
        const std::string& given = v.reprintSheet;
        const std::size_t comma = given.find(','), second = given.find(',', comma == std::string::npos ? 0 : comma + 1);
        long long run = 0, sheet = 0;
        const std::string route = second == std::string::npos ? "B" : text::upper(text::trim(given.substr(second + 1)));
        if (comma == std::string::npos || !text::parseInteger(text::trim(given.substr(0, comma)), run) ||
            !text::parseInteger(text::trim(given.substr(comma + 1, second - comma - 1)), sheet) || run < 1 ||
            sheet < 1 || run > 1000000000 || sheet > 1000000000 || (route != "B" && route != "D"))
            return "--reprint-sheet takes RUN,N[,B|D]: the run's number, the sheet's, and bureau or direct labels";
        routes.reprintSheet = RouteChoice::ReprintSheet{static_cast<std::size_t>(run), static_cast<std::size_t>(sheet),
                                                        route == "D" ? Route::Direct : Route::Bureau};
    }
    return std::nullopt;
}

int listRoutes(const RunRequest& request, Language language, std::ostream& out, std::ostream& err)
{
    if (request.log.empty()) {
        err << "cardmill-convert: " << textFor(TextId::NoSourceFile, language) << '\n';
        return ExitPrecondition;
    }
    try {
        AdifReader reader(request.log);
        reader.skipHeader();
        AdifRecord record;
        const auto value = [&](const char* field) {
            const AdifRecord::Declared v = record.declared(field);
            return std::string(v.ok() ? text::trim(v.value) : std::string_view());
        };
        while (reader.nextRecord(record)) {
            if (!record.has("CALL"))
                continue;
            const RouteDecision d = decideRoute(record, request.routes.fallback);
            Route route = d.route;
            if (route == Route::Direct && value("ADDRESS").empty())
                route = request.routes.noAddress == Route::Held ? Route::Held : Route::Bureau;
            const std::optional<std::string_view> date = record.eightCharacters("QSO_DATE");
            out << value("CALL") << '\t' << (date ? *date : std::string_view()) << '\t' << value("TIME_ON") << '\t'
                << value("BAND") << '\t' << value("MODE") << '\t' << routeText(route, language) << '\t'
                << routeReasonText(d, language);
            if (route != d.route)
                out << (language == Language::Polish ? "; brak ADDRESS" : "; no ADDRESS");
            out << '\n';
        }
    } catch (const FailureError& e) {
        err << "cardmill-convert: " << failureText(e.failure(), language) << '\n';
        return ExitPrecondition;
    }
    return ExitDone;
}

} // namespace cardmill
