// Why a design cannot be used, in both languages: the design problems' texts and the names of a design's
// elements in messages.
#include "texts/DesignTexts.h"

#include <array>
#include <utility>

namespace cardmill {

namespace {

using P = DesignProblem::Id;

std::pair<std::string_view, std::string_view> problemTexts(P id)
{
    switch (id) {
    case P::CannotRead: return {"it cannot be read (%s)", "nie można go odczytać (%s)"};
    case P::TooLarge: return {"a design file has at most %s MB", "plik projektu ma najwyżej %s MB"};
    case P::NotJson:
        return {"it is not a JSON file (%s, at character %s)", "to nie jest plik JSON (%s, przy znaku %s)"};
    case P::NotADesign:
        return {"it is no CARDMILL design (it has no \"cardmill-design\" version)",
                "to nie jest projekt CARDMILL (nie ma wersji \"cardmill-design\")"};
    case P::NewerVersion:
        return {"it is a design of version %s, made by a newer CARDMILL; this one reads version %s",
                "to projekt w wersji %s, z nowszego programu CARDMILL; ten czyta wersję %s"};
    case P::UnknownLayout:
        return {"the layout \"%s\" is neither \"flow\" nor \"fixed\"",
                "układ \"%s\" nie jest ani \"flow\", ani \"fixed\""};
    case P::UnknownKind:
        return {"the kind \"%s\" is none of text, table, image, line, box, qr",
                "rodzaj \"%s\" nie jest żadnym z: text, table, image, line, box, qr"};
    case P::NotANumber: return {"\"%s\" is not a number", "\"%s\" nie jest liczbą"};
    case P::NotText: return {"\"%s\" is not a text", "\"%s\" nie jest tekstem"};
    case P::NotTrueFalse: return {"\"%s\" is neither true nor false", "\"%s\" nie jest ani true, ani false"};
    case P::OutOfRange: return {"\"%s\" is %s: it must be from %s to %s", "\"%s\" wynosi %s: musi wynosić od %s do %s"};
    case P::NoSize:
        return {"it has no size: its width and height must be more than 0",
                "nie ma rozmiaru: jego szerokość i wysokość muszą być większe od 0"};
    case P::DesignSize:
        return {"the design's width and height must be more than 0 and at most %s mm",
                "szerokość i wysokość projektu muszą być większe od 0 i wynosić najwyżej %s mm"};
    case P::NoElements: return {"the design has no elements", "projekt nie ma żadnych elementów"};
    case P::TooManyElements: return {"the design has more than %s elements", "projekt ma więcej niż %s elementów"};
    case P::TextTooLong: return {"a text is longer than %s characters", "tekst jest dłuższy niż %s znaków"};
    case P::NoFieldName:
        return {"\"%s\" is no field name (capitals, digits and _)",
                "\"%s\" nie jest nazwą pola (wielkie litery, cyfry i _)"};
    case P::BadColour: return {"the colour \"%s\" is not #rrggbb", "kolor \"%s\" nie ma postaci #rrggbb"};
    case P::BadRotation: return {"the rotation is 0 to 3 quarter turns", "obrót to od 0 do 3 ćwierćobrotów"};
    case P::FlowKinds:
        return {"a flow design holds lines of text and a table only",
                "projekt typu flow zawiera tylko wiersze tekstu i tabelę"};
    case P::FlowOneTable: return {"a flow design has one table at most", "projekt typu flow ma najwyżej jedną tabelę"};
    case P::TableColumns: return {"a table has 1 to %s columns", "tabela ma od 1 do %s kolumn"};
    case P::NoPicture: return {"an image needs a picture file", "obraz wymaga pliku z obrazem"};
    case P::PictureUnreadable:
        return {"the picture \"%s\" cannot be drawn (%s); pictures are PNG or JPEG",
                "nie można narysować obrazu \"%s\" (%s); obrazy to PNG lub JPEG"};
    case P::PictureTooLarge:
        return {"the picture \"%s\" has %s x %s pixels: at most %s megapixels are drawn",
                "obraz \"%s\" ma %s x %s pikseli: rysowane są obrazy do %s megapikseli"};
    case P::PastEdge:
        return {"it runs %s mm past the %s edge of the label (%s mm)",
                "wychodzi %s mm poza %s krawędź nalepki (%s mm)"};
    case P::TableRoom:
        return {"its room holds %s QSOs, and labels of %s QSOs are asked for; make the table higher or the font "
                "smaller",
                "mieści %s QSO, a potrzebne są nalepki z %s QSO; powiększ wysokość tabeli albo zmniejsz czcionkę"};
    case P::FlowTooSmall:
        return {"labels of %s QSOs do not fit the labels at %s pt or more",
                "nalepki z %s QSO nie mieszczą się na nalepkach przy czcionce %s pt lub większej"};
    case P::NoQslFace:
        return {"the design has no label for QSOs (only for SWL reports)",
                "projekt nie ma nalepki dla QSO (tylko dla raportów SWL)"};
    case P::UnknownDesign:
        return {"there is no design \"%s\": give a design file or one of %s",
                "nie ma projektu \"%s\": podaj plik projektu albo jeden z: %s"};
    case P::Count: break;
    }
    return {"", ""};
}

std::string_view kindText(DesignElement::Kind kind, Language language)
{
    const bool pl = language == Language::Polish;
    switch (kind) {
    case DesignElement::Kind::Text: return pl ? "tekst" : "text";
    case DesignElement::Kind::Table: return pl ? "tabela" : "table";
    case DesignElement::Kind::Image: return pl ? "obraz" : "image";
    case DesignElement::Kind::Line: return pl ? "linia" : "line";
    case DesignElement::Kind::Box: return pl ? "prostokąt" : "box";
    case DesignElement::Kind::Qr: return pl ? "kod QR" : "QR code";
    }
    return {};
}

// The edges PastEdge names, in Polish.
std::string edgeText(const std::string& edge, Language language)
{
    if (language != Language::Polish)
        return edge;
    static constexpr std::pair<std::string_view, std::string_view> kEdges[] = {
        {"left", "lewą"}, {"top", "górną"}, {"right", "prawą"}, {"bottom", "dolną"}};
    for (const auto& [english, polish] : kEdges)
        if (edge == english)
            return std::string(polish);
    return edge;
}

} // namespace

std::string designProblemText(const DesignProblem& problem, Language language)
{
    const auto [english, polish] = problemTexts(problem.id);
    std::vector<std::string> args = problem.args;
    if (problem.id == P::PastEdge && args.size() > 1)
        args[1] = edgeText(args[1], language);
    return fillPattern(language == Language::Polish ? polish : english, args);
}

std::string designElementText(const DesignElementRef& element, Language language)
{
    const bool pl = language == Language::Polish;
    std::string out = fillPattern(pl ? (element.swl ? "element %s nalepki SWL (%s" : "element %s (%s")
                                     : (element.swl ? "element %s of the SWL label (%s" : "element %s (%s"),
                                  {std::to_string(element.index + 1), std::string(kindText(element.kind, language))});
    if (!element.detail.empty())
        out += " \"" + element.detail + "\"";
    return out + ")";
}

std::string designErrorText(const DesignError& error, Language language)
{
    std::string out = error.file();
    if (error.element())
        out += ", " + designElementText(*error.element(), language);
    return out + ": " + designProblemText(error.problem(), language);
}

std::string builtInDesignText(std::string_view name, Language language)
{
    static constexpr std::array<std::array<std::string_view, 3>, kBuiltInDesigns.size()> texts{{
        {"label", "the QSL label: \"To Radio\", \"via\" when there is a manager, the QSO table, PSE/TNX, 73",
         "nalepka QSL: \"To Radio\", \"via\" gdy jest manager, tabela QSO, PSE/TNX, 73"},
        {"swl", "the label of an SWL report", "nalepka raportu SWL"},
        {"card", "the back of a whole QSL card, 140 x 90 mm: your call, \"To Radio\" and the QSO box",
         "tył całej karty QSL, 140 x 90 mm: własny znak, \"To Radio\" i ramka QSO"},
        {"card-overprint", "only the values, to print into the boxes of a pre-printed 140 x 90 mm card",
         "same wartości, do nadruku w ramki gotowej karty 140 x 90 mm"},
        {"address", "an address label for a direct card: NAME and ADDRESS of the log",
         "nalepka adresowa karty wysyłanej bezpośrednio: NAME i ADDRESS z logu"},
    }};
    for (const auto& t : texts)
        if (t[0] == name)
            return std::string(language == Language::Polish ? t[2] : t[1]);
    return {};
}

std::string builtInDesignTitle(std::string_view name, Language language)
{
    static constexpr std::array<std::array<std::string_view, 3>, kBuiltInDesigns.size()> titles{{
        {"label", "QSL label", "Nalepka QSL"},
        {"swl", "SWL label", "Nalepka SWL"},
        {"card", "QSL card 140 x 90 mm", "Karta QSL 140 x 90 mm"},
        {"card-overprint", "Pre-printed card 140 x 90 mm", "Nadruk na gotowej karcie 140 x 90 mm"},
        {"address", "Address label", "Nalepka adresowa"},
    }};
    for (const auto& t : titles)
        if (t[0] == name)
            return std::string(language == Language::Polish ? t[2] : t[1]);
    return std::string(name);
}

} // namespace cardmill
