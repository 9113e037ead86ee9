#include "ui/Texts.h"

#include <array>

namespace cardmill {

namespace {

using K = MessageKind;
using I = MessageIcon;

// Every user-visible text of the engine and the merge driver, in English and Polish. Leading and trailing
// blanks are part of the texts.
constexpr std::array<TextEntry, static_cast<std::size_t>(TextId::Count)> kTexts{{
    /* NoSourceFile */ {K::Error, I::None, TextId::Count, "No source file set!", "Wybierz plik źródłowy!"},
    /* NoMainDocument */
    {K::Error, I::None, TextId::Count, "No Mailing list Main document set!",
     "Wybierz dokument główny korespondencji seryjnej!"},
    /* MainDocumentMissing */
    {K::Error, I::None, TextId::Count, "Mailing list Main document not exists!",
     "Dokument główny korespondencji seryjnej nie istnieje!"},
    /* LogNotFound */ {K::Error, I::None, TextId::Count, "\"%s\" file not found.", "Nie znaleziono pliku \"%s\"!"},
    /* NoData */
    {K::Box, I::Warning, TextId::CaptionInformation, "No data to send to the MS Word !",
     "Brak danych do wysłania do Worda !"},
    /* ProcessStopped */
    {K::Box, I::Error, TextId::CaptionInformation, "Process stopped ! ", "Przetwarzanie przerwane ! "},
    /* AllSent */
    {K::Information, I::None, TextId::Count, "All records are sent to MS Word!", "Wszystkie dane przesłane do MS Worda!"},
    /* AllSentWithBadRecords */
    {K::Information, I::None, TextId::Count,
     "All records are sent to MS Word.\nSome records with erroneous data are saved in \"%s_bad.txt\" file.",
     "Wszystkie dane przesłane do MS Worda.\nZnalezione rekordy z błędnymi danymi\nzapisane są w pliku \"%s_bad.txt\"."},
    /* AllWritten */
    {K::Information, I::None, TextId::Count, "All records are written to the data-source files!",
     "Wszystkie dane zapisane w plikach źródeł danych!"},
    /* AllWrittenWithBadRecords */
    {K::Information, I::None, TextId::Count,
     "All records are written to the data-source files.\nSome records with erroneous data are saved in "
     "\"%s_bad.txt\" file.",
     "Wszystkie dane zapisane w plikach źródeł danych.\nZnalezione rekordy z błędnymi danymi\nzapisane są w pliku "
     "\"%s_bad.txt\"."},
    /* StatusProcessing */ {K::None, I::None, TextId::Count, "  Processing...", " Przetwarzanie..."},
    /* StatusProcessingSwl */ {K::None, I::None, TextId::Count, "  Processing SWL ...", " Przetwarzanie SWL ..."},
    /* StatusRewriting */ {K::None, I::None, TextId::Count, "   Rewriting...", "   Zapisywanie..."},
    /* StatusMergeSend */
    {K::None, I::None, TextId::Count, "Sending converted data for %s QSO(s) to the MS Word...",
     "Wysyłanie przekonwertowanych danych dla %s QSO do MS Worda..."},
    /* StatusMergeConvert */
    {K::None, I::None, TextId::Count, "Converting data with %s QSO(s) to the MS Word table",
     "Konwertowanie danych z %sQSO do tabeli MS Worda"},
    /* StatusMergeSave */
    {K::None, I::None, TextId::Count, "Saving datasource with %sQSO(s) as MS Word document",
     "Zapisywanie źródła danych z %s QSO jako dokumentu MS Worda"},
    /* StatusMergeOpen */
    {K::None, I::None, TextId::Count, "Opening datasource with %s QSO(s)", "Otwieranie źródła danych z %s QSO."},
    /* StatusMergeMerge */
    {K::None, I::None, TextId::Count, "Merging data with %s QSO(s) to the template document",
     "Wstawianie danych z %s QSO do szablonu."},
    /* StatusMergeClose */ {K::None, I::None, TextId::Count, "Closing template", "Zamykanie szablonu"},
    /* StatusMergeSendSwl */
    {K::None, I::None, TextId::Count, "Sending converted data for SWL report(s) to the MS Word...",
     "Wysyłanie przekonwertowanych danych dla SWL do MS Worda..."},
    /* StatusMergeConvertSwl */
    {K::None, I::None, TextId::Count, "Converting data with SWL report(s) to the MS Word table",
     "Konwertowanie danych SWL do tabeli MS Worda"},
    /* StatusMergeSaveSwl */
    {K::None, I::None, TextId::Count, "Saving datasource with SWL report(s) as MS Word document",
     "Zapisywanie źródła danych SWL jako dokumentu MS Worda"},
    /* StatusMergeOpenSwl */
    {K::None, I::None, TextId::Count, "Opening datasource with SWL report(s)", "Otwieranie źródła danych dla SWL."},
    /* StatusMergeMergeSwl */
    {K::None, I::None, TextId::Count, "Merging data with SWL report(s) to the template document",
     "Wstawianie danych SWL do szablonu."},
    /* CaptionInformation */ {K::None, I::None, TextId::Count, "Information", "Informacja"},
    /* CaptionError */ {K::None, I::None, TextId::Count, "Error", "Błąd"},
    /* CaptionAttention */ {K::None, I::None, TextId::Count, "Attention", "Uwaga"},
}};

} // namespace

const TextEntry& textEntry(TextId id)
{
    static constexpr TextEntry none{K::None, I::None, TextId::Count, "", ""};
    const auto i = static_cast<std::size_t>(id);
    return i < kTexts.size() ? kTexts[i] : none;
}

std::string textFor(TextId id, Language language, std::string_view arg)
{
    const TextEntry& e = textEntry(id);
    const std::string_view pattern = language == Language::Polish ? e.polish : e.english;
    std::string out;
    out.reserve(pattern.size() + arg.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            out.append(arg);
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

} // namespace cardmill
