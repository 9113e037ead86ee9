#include "texts/Texts.h"

#include <algorithm>
#include <array>
#include <set>

#include "engine/QrgFormatter.h"

namespace cardmill {

namespace {

using K = MessageKind;
using I = MessageIcon;

// Every user-visible text of the engine and the merge driver, in English and Polish. Leading and trailing
// blanks are part of the texts.
constexpr TextEntry entryOf(TextId id)
{
    switch (id) {
    case TextId::NoSourceFile:
        return {K::Error, I::None, WindowText::Count, "No source file set!", "Wybierz plik źródłowy!"};
    case TextId::NoLabelDrawing:
        return {K::Error, I::None, WindowText::Count,
                "This build of the program cannot draw labels; choose a main document instead.",
                "Ta wersja programu nie rysuje etykiet; wybierz zamiast tego dokument główny."};
    case TextId::NoMainDocument:
        return {K::Error, I::None, WindowText::Count, "No Mailing list Main document set!",
                "Wybierz dokument główny korespondencji seryjnej!"};
    case TextId::MainDocumentMissing:
        return {K::Error, I::None, WindowText::Count, "Mailing list Main document not exists!",
                "Dokument główny korespondencji seryjnej nie istnieje!"};
    case TextId::LogNotFound:
        return {K::Error, I::None, WindowText::Count, "\"%s\" file not found.", "Nie znaleziono pliku \"%s\"!"};
    case TextId::InputIsFolder:
        return {K::Error, I::None, WindowText::Count, "\"%s\" is a folder, not a file.",
                "\"%s\" jest folderem, nie plikiem."};
    case TextId::InputNotRegular:
        return {K::Error, I::None, WindowText::Count, "\"%s\" is not a regular file.",
                "\"%s\" nie jest zwykłym plikiem."};
    case TextId::InputIsOutput:
        return {
            K::Error, I::None, WindowText::Count,
            "\"%s\" is also \"%s\", a file this run writes or removes. Rename it or choose another log.",
            "\"%s\" to zarazem \"%s\", plik, który ten przebieg zapisuje lub usuwa. Zmień jego nazwę lub wybierz inny "
            "dziennik."};
    case TextId::RunUnderWay:
        return {K::Error, I::None, WindowText::Count,
                "Another run is making the labels of \"%s\" now. Wait until it has ended.",
                "Inny przebieg tworzy teraz nalepki z \"%s\". Poczekaj, aż się zakończy."};
    case TextId::NoDataEmptyLog:
        return {K::Box, I::Warning, WindowText::CaptionInformation, "No data: the log holds no QSO records.",
                "Brak danych: dziennik nie zawiera żadnych rekordów QSO."};
    case TextId::NoDataFiltered:
        return {K::Box, I::Warning, WindowText::CaptionInformation, "No data: no QSO passed the filters.",
                "Brak danych: żadne QSO nie przeszło przez filtry."};
    case TextId::NoDataUnreadable:
        return {K::Box, I::Warning, WindowText::CaptionInformation,
                "No data: the QSO dates of the log cannot be read. The records are listed in \"%s_bad.txt\".",
                "Brak danych: nie można odczytać dat QSO w dzienniku. Rekordy są wypisane w pliku \"%s_bad.txt\"."};
    case TextId::ProcessStopped:
        return {K::Box, I::Error, WindowText::CaptionInformation, "Process stopped ! ", "Przetwarzanie przerwane ! "};
    case TextId::AllWritten:
        return {K::Information, I::None, WindowText::Count, "All records are written to the data-source files!",
                "Wszystkie dane zapisane w plikach źródeł danych!"};
    case TextId::AllWrittenWithBadRecords:
        return {K::Information, I::None, WindowText::Count,
                "All records are written to the data-source files.\nSome records with erroneous data are saved in "
                "\"%s_bad.txt\" file.",
                "Wszystkie dane zapisane w plikach źródeł danych.\nZnalezione rekordy z błędnymi danymi\nzapisane są w "
                "pliku "
                "\"%s_bad.txt\"."};
    case TextId::LabelsReady:
        return {K::Information, I::None, WindowText::Count, "Labels are ready: %s in %s (%s).",
                "Nalepki są gotowe: %s w %s (%s)."};
    case TextId::LabelsDrawn:
        return {K::Information, I::None, WindowText::Count, "Labels are ready in %s (labels: %s, sheets: %s).",
                "Nalepki są gotowe w %s (nalepki: %s, arkusze: %s)."};
    case TextId::LabelsMadeThisRun:
        return {K::None, I::None, WindowText::Count, "Made in this run: %s in %s (%s).",
                "Utworzono w tym przebiegu: %s w %s (%s)."};
    case TextId::NoLabelsMade:
        return {K::None, I::None, WindowText::Count, "No label document was made in this run.",
                "W tym przebiegu nie utworzono żadnego dokumentu z nalepkami."};
    case TextId::EarlierLabelsKept:
        return {K::None, I::None, WindowText::Count, "Label documents of earlier runs are kept as they were.",
                "Dokumenty z nalepkami z wcześniejszych przebiegów pozostały bez zmian."};
    case TextId::MergeFailed:
        return {K::Error, I::None, WindowText::Count, "Not every label document could be made.",
                "Nie udało się utworzyć wszystkich dokumentów z nalepkami."};
    case TextId::PassFailed: return {K::None, I::None, WindowText::Count, "Labels of %s: %s", "Nalepki z %s: %s"};
    case TextId::SwlPassFailed: return {K::None, I::None, WindowText::Count, "SWL labels: %s", "Nalepki SWL: %s"};
    case TextId::BadRecordsSaved:
        return {K::None, I::None, WindowText::Count,
                "Some records with erroneous data are saved in \"%s_bad.txt\" file.",
                "Znalezione rekordy z błędnymi danymi zapisane są w pliku \"%s_bad.txt\"."};
    case TextId::QsosMarkedSent:
        return {K::None, I::None, WindowText::Count, "%s marked as sent in \"%s\" and \"%s\".",
                "Oznaczono jako wysłane: %s w \"%s\" i \"%s\"."};
    case TextId::WarningUnknownFields:
        return {
            K::None, I::None, WindowText::Count,
            "Note: %s uses merge fields that no column holds: %s. They stay empty; a field of the log that is not a "
            "fixed column becomes one when you add it as a user-defined field (Config).",
            "Uwaga: %s używa pól korespondencji, których nie ma w żadnej kolumnie: %s. Pozostają puste; pole "
            "dziennika, "
            "które nie jest stałą kolumną, staje się nią po dodaniu jako pole użytkownika (Konfiguracja)."};
    case TextId::WarningNoMergeFields:
        return {K::None, I::None, WindowText::Count, "Note: %s holds no merge field: every label is the same.",
                "Uwaga: %s nie zawiera żadnego pola korespondencji: wszystkie nalepki są jednakowe."};
    case TextId::WarningNoNextRecord:
        return {
            K::None, I::None, WindowText::Count,
            "Note: %s has several labels on a sheet but no Next Record field: every label of a sheet shows the same "
            "record.",
            "Uwaga: %s ma kilka nalepek na arkuszu, ale nie ma pola Następny rekord: każda nalepka arkusza pokazuje "
            "ten "
            "sam rekord."};
    case TextId::WarningStartLabelUnusable:
        return {
            K::None, I::None, WindowText::Count,
            "Note: the first label cannot be chosen with %s, whose labels are not table cells or frames: its labels "
            "start at label 1.",
            "Uwaga: w %s nie można wybrać pierwszej nalepki, bo jego nalepki nie są komórkami tabeli ani ramkami: "
            "nalepki zaczynają się od nalepki 1."};
    case TextId::WarningStartBeyondSheet:
        return {
            K::None, I::None, WindowText::Count,
            "Note: %s has only %s labels on a sheet, fewer than the first label chosen: its labels start at label 1.",
            "Uwaga: %s ma na arkuszu tylko %s nalepek, mniej niż wybrana pierwsza nalepka: nalepki zaczynają się od "
            "nalepki 1."};
    case TextId::StatusProcessing: return {K::None, I::None, WindowText::Count, "  Processing...", " Przetwarzanie..."};
    case TextId::StatusProcessingSwl:
        return {K::None, I::None, WindowText::Count, "  Processing SWL ...", " Przetwarzanie SWL ..."};
    case TextId::StatusRewriting: return {K::None, I::None, WindowText::Count, "   Rewriting...", "   Zapisywanie..."};
    case TextId::StatusMergingLabels:
        return {K::None, I::None, WindowText::Count, "Merging %s-QSO labels into %s...",
                "Scalanie nalepek z %s QSO do %s..."};
    case TextId::StatusMergingSwlLabels:
        return {K::None, I::None, WindowText::Count, "Merging SWL labels into %s...", "Scalanie nalepek SWL do %s..."};
    case TextId::StatusGrouping:
        return {K::None, I::None, WindowText::Count, "Grouping the labels...", "Grupowanie nalepek..."};
    case TextId::StatusDrawing:
        return {K::None, I::None, WindowText::Count, "Drawing %s labels...", "Rysowanie %s nalepek..."};
    case TextId::StatusLibreOffice:
        return {K::None, I::None, WindowText::Count, "LibreOffice is converting %s... %s s",
                "LibreOffice konwertuje %s... %s s"};
    case TextId::ProcessStoppedNoData:
        return {K::Box, I::Error, WindowText::CaptionInformation,
                "Process stopped ! \nNo data-source file was written: those of an earlier run are as they were.",
                "Przetwarzanie przerwane ! \nNie zapisano plików danych: pliki z wcześniejszego przebiegu pozostały "
                "bez zmian."};
    case TextId::FailureOther: return {K::None, I::None, WindowText::Count, "%s", "%s"};
    case TextId::FailureReadFolder:
        return {K::None, I::None, WindowText::Count, "Cannot read a folder as a file: \"%s\"",
                "Nie można czytać folderu jak pliku: \"%s\""};
    case TextId::FailureOpenFile:
        return {K::None, I::None, WindowText::Count, "Cannot open the file \"%s\"", "Nie można otworzyć pliku \"%s\""};
    case TextId::FailureReadFile:
        return {K::None, I::None, WindowText::Count, "Cannot read the file \"%s\"", "Nie można odczytać pliku \"%s\""};
    case TextId::FailureCreateFile:
        return {K::None, I::None, WindowText::Count, "Cannot create the file \"%s\"",
                "Nie można utworzyć pliku \"%s\""};
    case TextId::FailureWriteFile:
        return {K::None, I::None, WindowText::Count, "Cannot write the file \"%s\"", "Nie można zapisać pliku \"%s\""};
    case TextId::FailureFolderInTheWay:
        return {K::None, I::None, WindowText::Count, "Cannot write the file \"%s\": a folder has its name",
                "Nie można zapisać pliku \"%s\": folder ma tę nazwę"};
    case TextId::FailureMakeLock:
        return {K::None, I::None, WindowText::Count, "Cannot make the lock file \"%s\"",
                "Nie można utworzyć pliku blokady \"%s\""};
    case TextId::FailureLock:
        return {K::None, I::None, WindowText::Count, "Cannot lock the lock file \"%s\"",
                "Nie można zablokować pliku blokady \"%s\""};
    case TextId::FailureMakeWorkFolder:
        return {K::None, I::None, WindowText::Count, "Cannot make a private work folder in \"%s\"",
                "Nie można utworzyć prywatnego folderu roboczego w \"%s\""};
    case TextId::FailureNotEnoughMemory:
        return {K::None, I::None, WindowText::Count, "Not enough memory to convert \"%s\"",
                "Za mało pamięci, by przetworzyć \"%s\""};
    case TextId::FailureMainDocumentMissing:
        return {K::None, I::None, WindowText::Count, "The main document \"%s\" does not exist",
                "Dokument główny \"%s\" nie istnieje"};
    case TextId::FailureMainDocumentNotADocument:
        return {K::None, I::None, WindowText::Count, "The main document \"%s\" is not a .docx, .odt or .doc document",
                "Dokument główny \"%s\" nie jest dokumentem .docx, .odt ani .doc"};
    case TextId::FailureMainDocumentWrongKind:
        return {
            K::None, I::None, WindowText::Count,
            "The main document \"%s\" is neither a WordprocessingML (.docx) nor an OpenDocument text (.odt) document",
            "Dokument główny \"%s\" nie jest ani dokumentem WordprocessingML (.docx), ani tekstem OpenDocument (.odt)"};
    case TextId::FailureMainDocumentNeedsLibreOffice:
        return {
            K::None, I::None, WindowText::Count,
            "The main document \"%s\" is a Word 97 (.doc) document, which this program reads only through LibreOffice. "
            "Install LibreOffice, or save the document as .docx or .odt",
            "Dokument główny \"%s\" jest dokumentem Word 97 (.doc), który ten program czyta tylko przez LibreOffice. "
            "Zainstaluj LibreOffice albo zapisz dokument jako .docx lub .odt"};
    case TextId::FailureMainDocumentUnreadable:
        return {K::None, I::None, WindowText::Count, "Cannot open the main document \"%s\"",
                "Nie można otworzyć dokumentu głównego \"%s\""};
    case TextId::FailureMainDocumentConversion:
        return {K::None, I::None, WindowText::Count, "Cannot convert the Word 97 main document \"%s\" with LibreOffice",
                "Nie można przekształcić dokumentu głównego Word 97 \"%s\" programem LibreOffice"};
    case TextId::FailureMergeFailed:
        return {K::None, I::None, WindowText::Count, "Cannot merge into \"%s\"", "Nie można scalić z \"%s\""};
    case TextId::FailureMergeMemory:
        return {K::None, I::None, WindowText::Count, "Not enough memory to merge into \"%s\"",
                "Za mało pamięci, by scalić z \"%s\""};
    case TextId::FailureTableDocument:
        return {K::None, I::None, WindowText::Count, "Cannot save the table document \"%s\"",
                "Nie można zapisać dokumentu z tabelą \"%s\""};
    case TextId::FailureLabelDocument:
        return {K::None, I::None, WindowText::Count, "Cannot save the label document \"%s\"",
                "Nie można zapisać dokumentu z nalepkami \"%s\""};
    case TextId::FailurePdfNeedsLibreOffice:
        return {K::None, I::None, WindowText::Count,
                "Labels as PDF need LibreOffice, which is not installed. The labels are saved as %s",
                "Nalepki w PDF wymagają programu LibreOffice, który nie jest zainstalowany. Nalepki zapisano jako %s"};
    case TextId::FailurePdfFailed:
        return {K::None, I::None, WindowText::Count,
                "Cannot make the PDF labels in \"%s\"; the label documents are saved",
                "Nie można utworzyć nalepek PDF w \"%s\"; dokumenty z nalepkami są zapisane"};
    case TextId::FailureSettingsRead:
        return {K::None, I::None, WindowText::Count, "Cannot read the settings file \"%s\"",
                "Nie można odczytać pliku ustawień \"%s\""};
    case TextId::FailureSettingsWrite:
        return {K::None, I::None, WindowText::Count, "Unable to write to %s", "Nie można zapisać %s"};
    case TextId::FailureLogChanged:
        return {
            K::None, I::None, WindowText::Count,
            "\"%s\" changed while its labels were made: the labels show the QSOs as they were read, and the file is "
            "left as it is",
            "Plik \"%s\" zmienił się podczas tworzenia nalepek: nalepki pokazują QSO w postaci odczytanej, a plik "
            "pozostał bez zmian"};
    case TextId::FailurePrinterMissing:
        return {K::None, I::None, WindowText::Count, "There is no printer \"%s\"", "Nie ma drukarki \"%s\""};
    case TextId::FailureNoDefaultPrinter:
        return {K::None, I::None, WindowText::Count, "No default printer is set up; name the printer",
                "Nie ustawiono drukarki domyślnej; podaj nazwę drukarki"};
    case TextId::FailureRecordsLeftOut:
        return {
            K::None, I::None, WindowText::Count,
            "The main document \"%s\" put only %s records on labels: it does not move on to the next record in every "
            "label",
            "Dokument główny \"%s\" umieścił na nalepkach tylko %s rekordów: nie przechodzi do następnego rekordu w "
            "każdej "
            "nalepce"};
    case TextId::BureauNeedsCountryFile:
        return {K::Error, I::None, WindowText::Count,
                "Labels in bureau order need the country file cty.dat of the package hamradio-files. Install it "
                "(sudo apt install hamradio-files), or put a cty.dat into \"%s\".",
                "Nalepki w kolejności biura QSL wymagają pliku krajów cty.dat z pakietu hamradio-files. Zainstaluj "
                "go (sudo apt install hamradio-files) albo umieść plik cty.dat w \"%s\"."};
    case TextId::PackingList:
        return {K::None, I::None, WindowText::Count, "For the QSL bureau: %s bundles, listed in \"%s\".",
                "Dla biura QSL: paczek %s, wypisanych w \"%s\"."};
    case TextId::PdfsMade: return {K::None, I::None, WindowText::Count, "As PDF too: %s.", "Także jako PDF: %s."};
    case TextId::NothingMarked:
        return {K::None, I::None, WindowText::Count, "No QSO was marked as sent: %s.",
                "Żadne QSO nie zostało oznaczone jako wysłane: %s."};
    case TextId::CalibrationUnreadable:
        return {K::None, I::None, WindowText::Count,
                "The printer calibration remembered for \"%s\" in \"%s\", \"%s\", is not one (offsets from -20 to "
                "20 mm, a scale from 90 to 110 %): the labels are drawn without it.",
                "Kalibracja drukarki zapamiętana dla \"%s\" w \"%s\", \"%s\", nie jest poprawna (przesunięcia od -20 "
                "do 20 mm, skala od 90 do 110 %): nalepki są rysowane bez niej."};
    case TextId::ProcessStoppedNotDrawn:
        return {K::Box, I::Error, WindowText::CaptionInformation,
                "Process stopped ! \nThe data-source files of this run are written, but its labels were not drawn: "
                "\"%s\" is as an earlier run left it. Nothing was printed or marked as sent.",
                "Przetwarzanie przerwane ! \nPliki danych tego przebiegu są zapisane, ale jego nalepek nie "
                "narysowano: \"%s\" pozostał taki, jak zostawił go wcześniejszy przebieg. Niczego nie wydrukowano "
                "ani nie oznaczono jako wysłane."};
    case TextId::ProcessStoppedNotDrawnNoPdf:
        return {K::Box, I::Error, WindowText::CaptionInformation,
                "Process stopped ! \nThe data-source files of this run are written, but its labels were not drawn: "
                "no labels PDF was made. Nothing was printed or marked as sent.",
                "Przetwarzanie przerwane ! \nPliki danych tego przebiegu są zapisane, ale jego nalepek nie "
                "narysowano: nie powstał PDF z nalepkami. Niczego nie wydrukowano ani nie oznaczono jako wysłane."};
    case TextId::ProcessStoppedNotPrinted:
        return {K::Box, I::Error, WindowText::CaptionInformation,
                "Process stopped ! \nThe labels are in \"%s\", but nothing was sent to the printer and no QSO was "
                "marked as sent.",
                "Przetwarzanie przerwane ! \nNalepki są w \"%s\", ale niczego nie wysłano do drukarki i żadne QSO "
                "nie zostało oznaczone jako wysłane."};
    case TextId::SheetsPrinted:
        return {K::None, I::None, WindowText::Count, "Handed to the printer \"%s\": %s sheets.",
                "Przekazano drukarce \"%s\" arkusze: %s."};
    case TextId::FieldsEmpty:
        return {K::None, I::None, WindowText::Count,
                "The design shows %s, which no QSO on the labels has: drawn empty.",
                "Projekt pokazuje %s, czego nie ma żadne QSO na nalepkach: narysowano puste."};
    case TextId::TextCut:
        return {K::None, I::None, WindowText::Count,
                "Labels with text cut to fit: %s; the first is label %s (%s): \"%s\".",
                "Nalepki z tekstem przyciętym, by się zmieścił: %s; pierwsza to nalepka %s (%s): \"%s\"."};
    case TextId::OutputTwice:
        return {K::Error, I::None, WindowText::Count,
                "Two files of this run would both be \"%s\": give the log or the SWL file another name.",
                "Dwa pliki tego przebiegu byłyby tym samym plikiem \"%s\": zmień nazwę dziennika albo pliku SWL."};
    case TextId::FailurePrinterRefusing:
        return {K::None, I::None, WindowText::Count, "The printer \"%s\" does not accept jobs (%s)",
                "Drukarka \"%s\" nie przyjmuje zadań (%s)"};
    case TextId::FailurePrintRefused:
        return {K::None, I::None, WindowText::Count,
                "The print system did not take the labels for the printer \"%s\" (%s); nothing was printed",
                "System drukowania nie przyjął nalepek dla drukarki \"%s\" (%s); niczego nie wydrukowano"};
    case TextId::FailureJournalNotOurs:
        return {K::None, I::None, WindowText::Count,
                "\"%s\" is not a journal of printed labels of this program: give another one, or move it away",
                "\"%s\" nie jest dziennikiem wydrukowanych nalepek tego programu: podaj inny albo go przenieś"};
    case TextId::LeftOutAsPrinted:
        return {K::None, I::None, WindowText::Count,
                "%s QSOs are left out: their labels were printed before (\"%s\"; to print them again, ask for a "
                "reprint).",
                "Pominięto QSO: %s, ich nalepki zostały już wydrukowane (\"%s\"; aby wydrukować je ponownie, "
                "poproś o dodruk)."};
    case TextId::NothingNew:
        return {K::Box, I::Warning, WindowText::CaptionInformation,
                "Nothing new to print: the labels of the %s QSOs left were printed before (\"%s\"). To print them "
                "again, ask for a reprint.",
                "Nie ma nic nowego do wydrukowania: nalepki pozostałych QSO (%s) zostały już wydrukowane (\"%s\"). "
                "Aby wydrukować je ponownie, poproś o dodruk."};
    case TextId::NoSuchSheet:
        return {K::Error, I::None, WindowText::Count,
                "Sheet %s of run %s is not in the journal of printed labels \"%s\".",
                "Arkusza %s przebiegu %s nie ma w dzienniku wydrukowanych nalepek \"%s\"."};
    case TextId::JournalTorn:
        return {K::None, I::None, WindowText::Count,
                "The last line of \"%s\" was cut off (a run that ended while writing it) and is passed over.",
                "Ostatni wiersz \"%s\" był urwany (przebieg przerwany w trakcie zapisu) i został pominięty."};
    case TextId::Count: break;
    }
    return {K::None, I::None, WindowText::Count, "", ""};
}

constexpr std::array<std::string_view, 8> kQrgNamesPolish{
    "QRG w metrach",      "QRG w metrach z 'M'",        "QRG w MHz",          "QRG w MHz z 'MHz'",
    "Dokładne QRG w MHz", "Dokładne QRG w MHz z 'MHz'", "Dokładne QRG w kHz", "Dokładne QRG w kHz z 'kHz'"};

} // namespace

TextEntry textEntry(TextId id)
{
    return entryOf(id);
}

namespace {

// The pattern with each "%s" replaced by the next argument; the last argument serves every "%s" after it.
std::string fill(std::string_view pattern, const std::string_view* args, std::size_t count)
{
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            if (count > 0)
                out.append(args[next < count ? next++ : count - 1]);
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

} // namespace

std::string fillPattern(std::string_view pattern, const std::vector<std::string>& args)
{
    const std::vector<std::string_view> views(args.begin(), args.end());
    return fill(pattern, views.data(), views.size());
}

namespace {

std::string entryText(const TextEntry& e, Language language, const std::string_view* args, std::size_t count)
{
    return fill(language == Language::Polish ? e.polish : e.english, args, count);
}

} // namespace

std::string textFor(TextId id, Language language, std::string_view arg)
{
    return entryText(textEntry(id), language, &arg, 1);
}

std::string textFor(TextId id, Language language, std::initializer_list<std::string_view> args)
{
    return entryText(textEntry(id), language, args.begin(), args.size());
}

std::string textFor(TextId id, Language language, const std::vector<std::string>& args)
{
    const std::vector<std::string_view> views(args.begin(), args.end());
    return entryText(textEntry(id), language, views.data(), views.size());
}

std::string textFor(WindowText id, Language language, std::string_view arg)
{
    return entryText(textEntry(id), language, &arg, 1);
}

std::string textFor(WindowText id, Language language, std::initializer_list<std::string_view> args)
{
    return entryText(textEntry(id), language, args.begin(), args.size());
}

std::string textFor(WindowText id, Language language, const std::vector<std::string>& args)
{
    const std::vector<std::string_view> views(args.begin(), args.end());
    return entryText(textEntry(id), language, views.data(), views.size());
}

std::string_view qrgFormatName(int index, Language language)
{
    if (index < 0 || index >= 8)
        return {};
    const auto i = static_cast<std::size_t>(index);
    return language == Language::Polish ? kQrgNamesPolish[i] : kQrgFormatNames[i];
}

} // namespace cardmill
