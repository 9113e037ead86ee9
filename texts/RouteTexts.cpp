#include "texts/RouteTexts.h"

namespace cardmill {

namespace {

bool polish(Language language)
{
    return language == Language::Polish;
}

std::string count(std::size_t n)
{
    return std::to_string(n);
}

} // namespace

std::string routeText(Route route, Language language)
{
    const bool pl = polish(language);
    switch (route) {
    case Route::Bureau: return pl ? "biuro" : "bureau";
    case Route::Direct: return pl ? "direct" : "direct";
    case Route::Electronic: return pl ? "elektronicznie" : "electronic";
    case Route::Held: break;
    }
    return pl ? "wstrzymana" : "held";
}

std::string routeReasonText(const RouteDecision& decision, Language language)
{
    const bool pl = polish(language);
    std::string text;
    switch (decision.reason) {
    case RouteReason::LogAsks:
        text = pl ? "dziennik prosi (QSL_SENT_VIA)" : "the log asks for it (QSL_SENT_VIA)";
        break;
    case RouteReason::ViaWords: text = pl ? "tak mówi QSL_VIA" : "QSL_VIA says so"; break;
    case RouteReason::ViaManager: text = (pl ? "przez managera " : "via the manager ") + decision.manager; break;
    case RouteReason::AnswerInKind:
        text = pl ? "odpowiedź tą drogą, którą przyszła karta (QSL_RCVD_VIA)"
                  : "answered the way the card came (QSL_RCVD_VIA)";
        break;
    case RouteReason::Default: text = pl ? "droga domyślna" : "the default route"; break;
    }
    if (decision.unclearVia)
        text += pl ? "; QSL_VIA nie pasuje do żadnej reguły" : "; QSL_VIA fits no rule";
    return text;
}

std::string routeSummaryText(const RunSummary& summary, Language language)
{
    const RouteSummary& r = summary.routes;
    if (!r.on)
        return {};
    const bool pl = polish(language);
    std::string text = pl ? "Biuro: etykiet " + count(r.bureauLabels) : "Bureau: " + count(r.bureauLabels) + " labels";
    if (summary.bundles > 0)
        text += (pl ? " w paczkach: " + count(summary.bundles) : " in " + count(summary.bundles) + " bundles");
    text += pl ? "; direct: kart " + count(r.directLabels) + ", etykiet adresowych " + count(r.addressLabels)
               : "; direct: " + count(r.directLabels) + " cards and " + count(r.addressLabels) + " address labels";
    if (r.held + r.noAddressByBureau > 0)
        text += pl ? " (bez adresu: " + count(r.held + r.noAddressByBureau) + ", na liście)"
                   : " (" + count(r.held + r.noAddressByBureau) + " without an address: listed)";
    text += pl ? "; elektronicznie, bez karty: QSO " + count(r.electronic)
               : "; electronic: " + count(r.electronic) + " QSOs, no card";
    if (r.unclearVia > 0)
        text += pl ? "; QSL_VIA niejasne: " + count(r.unclearVia) : "; QSL_VIA unclear: " + count(r.unclearVia);
    text += ".";
    if (!r.addressPdf.empty())
        text += (pl ? " Etykiety adresowe: " : " Address labels: ") + r.addressPdf.string() + ".";
    if (!r.list.empty())
        text += (pl ? " Lista: " : " Listed in ") + r.list.string();
    if (r.leftOut > 0)
        text += "\n" + textFor(TextId::LeftOutAsPrinted, language, {count(r.leftOut), r.journal.string()});
    if (r.journalTorn)
        text += "\n" + textFor(TextId::JournalTorn, language, {r.journal.string()});
    return text;
}

} // namespace cardmill
