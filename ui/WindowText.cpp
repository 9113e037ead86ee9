// The windows' own texts (captions, labels, dialog messages) in English and Polish.
#include <array>

#include "ui/Texts.h"

namespace cardmill {

namespace {

using K = MessageKind;
using I = MessageIcon;

constexpr std::array<TextEntry, static_cast<std::size_t>(WindowText::Count)> kWindowTexts{{
    /* CaptionInformation */ {K::None, I::None, WindowText::Count, "Information", "Informacja"},
    /* CaptionError */ {K::None, I::None, WindowText::Count, "Error", "Błąd"},
    /* CaptionAttention */ {K::None, I::None, WindowText::Count, "Attention", "Uwaga"},
    /* FilterAdif */
    {K::None, I::None, WindowText::Count, "ADIF Files (*.adi, *.adif)|*.adi;*.adif|All files|*.*",
     "Pliki ADIF (*.adi, *.adif)|*.adi;*.adif|Wszystkie pliki|*.*"},
    /* FilterMainDocument */
    {K::None, I::None, WindowText::Count,
     "Main doc (xxx_1.doc, xxx_1.docx, xxx_1.odt)|*_1.doc;*_1.docx;*_1.odt|All files|*.*",
     "Szablon QSL (xxx_1.doc, xxx_1.docx, xxx_1.odt)|*_1.doc;*_1.docx;*_1.odt|Wszystkie pliki|*.*"},
    /* ArchiveFailed */
    {K::Error, I::None, WindowText::Count, "Unable to archive %s as %s", "Nie można zarchiwizować %s jako %s"},
    /* UnableToWrite: English only */
    {K::Error, I::None, WindowText::Count, "Unable to write to %s", "Unable to write to %s"},
    /* LabelSourceFile */ {K::None, I::None, WindowText::Count, "Source file", "Plik źródłowy"},
    /* LabelMainDocument */
    {K::None, I::None, WindowText::Count, "Mailing list Main document", "Dokument główny korespondencji seryjnej"},
    /* LabelQrgFormat */ {K::None, I::None, WindowText::Count, "Output QRG Format", "Wyjściowy format QRG"},
    /* LabelQsosNo */ {K::None, I::None, WindowText::Count, "QSOs no.", "Liczba QSO na"},
    /* LabelOnOneLabel */ {K::None, I::None, WindowText::Count, "on one label", "jednej nalepce"},
    /* LabelFrom */ {K::None, I::None, WindowText::Count, "From:", "Od:"},
    /* LabelTo */ {K::None, I::None, WindowText::Count, "To:", "Do:"},
    /* LabelDateFormat */ {K::None, I::None, WindowText::Count, "Date format", "Format daty"},
    /* CheckDateRange */ {K::None, I::None, WindowText::Count, "Date Range", "Zakres dat"},
    /* CheckCall */ {K::None, I::None, WindowText::Count, "Call", "Znak"},
    /* ButtonConfig */ {K::None, I::None, WindowText::Count, "&Config", "&Konfiguracja"},
    /* NoValidProfile: English only */
    {K::Box, I::Warning, WindowText::CaptionInformation,
     "There is not valid Profile in INI file\nor INI file doesn't exist.\nPlease click on Profile Setup button\nand "
     "add "
     "new Profile now.",
     "There is not valid Profile in INI file\nor INI file doesn't exist.\nPlease click on Profile Setup button\nand "
     "add "
     "new Profile now."},
    /* NoProfileName */ {K::Error, I::None, WindowText::Count, "No profile's name set!", "Podaj nazwę profilu!"},
    /* ProfileExists */
    {K::Box, I::Error, WindowText::CaptionError, "Profile with this name exists !\nPlease use other profile's name !",
     "Profile with this name exists !\nPlease use other profile's name !"},
    /* CannotDeleteNew */
    {K::Box, I::Error, WindowText::CaptionError, "It is not possible to delete a new profile !",
     "It is not possible to delete a new profile !"},
    /* DeleteProfile */
    {K::Box, I::Warning, WindowText::CaptionAttention, "Delete profile \"%s\" ?", "Usunąć profil \"%s\" ?"},
    /* NewProfileNotSaved */
    {K::Box, I::Warning, WindowText::CaptionInformation, "New Profile is not saved.\nDo you want to save it now?",
     "New Profile is not saved.\nDo you want to save it now?"},
    /* NotAnInteger */
    {K::Error, I::None, WindowText::Count, "'%s' is not a valid integer value", "'%s' is not a valid integer value"},
    /* NoProfileSelected */ {K::Error, I::None, WindowText::Count, "No profile selected!", "Nie wybrano profilu!"},
    /* SeparatorComma */
    {K::Error, I::None, WindowText::Count, "The separator cannot be a comma!", "Separator nie może być przecinkiem!"},
    /* ButtonNewMainDocs */
    {K::None, I::None, WindowText::Count, "&New...", "&Nowe..."},
    /* LabelFirstLabel */
    {K::None, I::None, WindowText::Count, "First label on the sheet", "Pierwsza nalepka na arkuszu"},
    /* StockTitle */
    {K::None, I::None, WindowText::Count, "New main documents", "Nowe dokumenty główne"},
    /* StockStock */
    {K::None, I::None, WindowText::Count, "Label stock", "Arkusz nalepek"},
    /* StockSearchHint */
    {K::None, I::None, WindowText::Count, "Search brand, part or description", "Szukaj: producent, numer lub opis"},
    /* StockCustom */
    {K::None, I::None, WindowText::Count, "Custom grid", "Własna siatka"},
    /* StockPaper */
    {K::None, I::None, WindowText::Count, "Paper", "Papier"},
    /* StockColumnsRows */
    {K::None, I::None, WindowText::Count, "Columns, rows", "Kolumny, wiersze"},
    /* StockLabelSize */
    {K::None, I::None, WindowText::Count, "Label width, height (mm)", "Szerokość, wysokość nalepki (mm)"},
    /* StockFirstPlace */
    {K::None, I::None, WindowText::Count, "First label left, top (mm)", "Pierwsza nalepka: od lewej, od góry (mm)"},
    /* StockPitch */
    {K::None, I::None, WindowText::Count, "Pitch across, down (mm)", "Skok w poziomie, w pionie (mm)"},
    /* StockOwnCall */
    {K::None, I::None, WindowText::Count, "Your call sign", "Twój znak"},
    /* StockSizes */
    {K::None, I::None, WindowText::Count, "QSOs per label", "QSO na nalepce"},
    /* StockFormat */
    {K::None, I::None, WindowText::Count, "Format", "Format"},
    /* StockFolder */
    {K::None, I::None, WindowText::Count, "Folder", "Folder"},
    /* StockBrowse */
    {K::None, I::None, WindowText::Count, "Browse", "Przeglądaj"},
    /* StockCreate */
    {K::None, I::None, WindowText::Count, "Create", "Utwórz"},
    /* StockNoDatabase */
    {K::None, I::None, WindowText::Count,
     "The label-stock database is not installed (Debian package glabels-data): only a custom grid can be used.",
     "Baza arkuszy nalepek nie jest zainstalowana (pakiet Debiana glabels-data): można użyć tylko własnej siatki."},
    /* StockTooSmall */
    {K::None, I::None, WindowText::Count, "The labels are too small for this size at 6 pt or more.",
     "Nalepki są za małe dla tej liczby QSO przy 6 pt lub więcej."},
    /* StockReplace */
    {K::Box, I::Warning, WindowText::CaptionAttention, "These main documents exist already:%s\nReplace them?",
     "Te dokumenty główne już istnieją:%s\nZastąpić je?"},
    /* StockMade */
    {K::Information, I::None, WindowText::Count, "Main documents made in %s:%s", "Utworzono dokumenty główne w %s:%s"},
    /* StockFailed */
    {K::Error, I::None, WindowText::Count, "%s", "%s"},
    /* StockNoFolder */
    {K::Error, I::None, WindowText::Count, "Choose a folder for the main documents.",
     "Wybierz folder na dokumenty główne."},
    /* CloseWithoutSaving */
    {K::Box, I::Warning, WindowText::CaptionAttention, "Close without saving the settings?",
     "Zamknąć bez zapisania ustawień?"},
    /* CannotOpenFile */
    {K::Box, I::Warning, WindowText::CaptionAttention, "No application could open \"%s\".\nOpen its folder instead?",
     "Żaden program nie otworzył \"%s\".\nOtworzyć zamiast tego jego folder?"},
    /* CannotOpenFolder */
    {K::Error, I::None, WindowText::Count, "The folder \"%s\" could not be opened either.",
     "Nie udało się też otworzyć folderu \"%s\"."},
    /* ArchiveDone */
    {K::Information, I::None, WindowText::Count, "\"%s\" was archived as \"%s\".",
     "Plik \"%s\" zarchiwizowano jako \"%s\"."},
    /* ProfileNameBrackets */
    {K::Error, I::None, WindowText::Count, "A profile name cannot hold \"[\" or \"]\".",
     "Nazwa profilu nie może zawierać \"[\" ani \"]\"."},
    /* ProfileNameBlanks */
    {K::Error, I::None, WindowText::Count, "A profile name cannot begin or end with a blank.",
     "Nazwa profilu nie może zaczynać się ani kończyć spacją."},
    /* ProfileNameControl */
    {K::Error, I::None, WindowText::Count, "A profile name cannot hold control characters.",
     "Nazwa profilu nie może zawierać znaków sterujących."},
    /* ProfileNameReserved */
    {K::Error, I::None, WindowText::Count,
     "\"%s\" is the name of one of the settings file's own sections: choose another name.",
     "\"%s\" to nazwa jednej z własnych sekcji pliku ustawień: wybierz inną nazwę."},
    /* FieldBlanks */
    {K::Error, I::None, WindowText::Count, "A field name cannot hold blanks, commas, \"<\", \">\" or \":\": \"%s\".",
     "Nazwa pola nie może zawierać spacji, przecinków, \"<\", \">\" ani \":\": \"%s\"."},
    /* FieldFixed */
    {K::Error, I::None, WindowText::Count, "%s is always a column; it need not be added.",
     "%s jest zawsze kolumną; nie trzeba go dodawać."},
    /* FieldTwice */
    {K::Error, I::None, WindowText::Count, "%s is in the list already.", "%s jest już na liście."},
    /* AddFieldCaption */
    {K::None, I::None, WindowText::Count, "Add ADIF field", "Dodaj pole ADIF"},
    /* AddFieldPrompt */
    {K::None, I::None, WindowText::Count, "ADIF field name", "Nazwa pola ADIF"},
    /* ClearSwlFile */
    {K::None, I::None, WindowText::Count, "Clear (Delete)", "Wyczyść (Delete)"},
    /* StockProblemNoPaperSize */
    {K::None, I::None, WindowText::Count, "%s has no paper size.", "%s nie ma rozmiaru papieru."},
    /* StockProblemNoLabelSize */
    {K::None, I::None, WindowText::Count, "%s has labels without a size.", "%s ma nalepki bez rozmiaru."},
    /* StockProblemNoLabels */
    {K::None, I::None, WindowText::Count, "%s has no labels on its sheet.", "%s nie ma nalepek na arkuszu."},
    /* StockProblemTooManyLabels */
    {K::None, I::None, WindowText::Count, "%s has more than %s labels on a sheet.",
     "%s ma więcej niż %s nalepek na arkuszu."},
    /* StockProblemOffThePaper */
    {K::None, I::None, WindowText::Count, "%s: label %s runs off the paper (%s x %s mm).",
     "%s: nalepka %s wychodzi poza papier (%s x %s mm)."},
    /* StockProblemOverlap */
    {K::None, I::None, WindowText::Count, "%s: labels %s and %s overlap.", "%s: nalepki %s i %s nachodzą na siebie."},
    /* StockProblemNotRectangular */
    {K::None, I::None, WindowText::Count, "%s has round, elliptic or CD labels; QSL labels need rectangular ones.",
     "%s ma nalepki okrągłe, eliptyczne lub CD; nalepki QSL muszą być prostokątne."},
    /* StockProblemNoSizeChosen */
    {K::None, I::None, WindowText::Count, "No label size was chosen.", "Nie wybrano żadnego rozmiaru nalepki."},
    /* StockProblemOneTableOnly */
    {K::None, I::None, WindowText::Count,
     "%s has its labels in %s blocks, which one Word table cannot hold: make the main documents as .odt.",
     "%s ma nalepki w %s blokach, których jedna tabela Worda nie pomieści: utwórz dokumenty główne jako .odt."},
    /* StockProblemTooSmallNoneFits */
    {K::None, I::None, WindowText::Count,
     "The labels of %s are too small at %s pt or more for these sizes: %s. Not even one QSO fits.",
     "Nalepki %s są za małe przy %s pt lub więcej dla tych rozmiarów: %s. Nie mieści się nawet jedno QSO."},
    /* StockProblemTooSmallOneFits */
    {K::None, I::None, WindowText::Count,
     "The labels of %s are too small at %s pt or more for these sizes: %s. Only one QSO fits.",
     "Nalepki %s są za małe przy %s pt lub więcej dla tych rozmiarów: %s. Mieści się tylko jedno QSO."},
    /* StockProblemTooSmall */
    {K::None, I::None, WindowText::Count,
     "The labels of %s are too small at %s pt or more for these sizes: %s. At most %s QSOs fit.",
     "Nalepki %s są za małe przy %s pt lub więcej dla tych rozmiarów: %s. Mieści się najwyżej %s QSO."},
    /* StockProblemNoFolder */
    {K::None, I::None, WindowText::Count, "The folder \"%s\" does not exist.", "Folder \"%s\" nie istnieje."},
    /* StockProblemFolderInTheWay */
    {K::None, I::None, WindowText::Count, "A folder stands where the main document \"%s\" should go.",
     "W miejscu dokumentu głównego \"%s\" jest folder."},
    /* StockProblemCannotWrite */
    {K::None, I::None, WindowText::Count, "Cannot write the main documents in \"%s\": %s",
     "Nie można zapisać dokumentów głównych w \"%s\": %s"},
    /* StockProblemCannotPlace */
    {K::None, I::None, WindowText::Count, "Cannot put \"%s\" in place: %s", "Nie można umieścić \"%s\" na miejscu: %s"},
    /* StockProblemCannotPlaceAfterOthers */
    {K::None, I::None, WindowText::Count, "Cannot put \"%s\" in place: %s (the documents before it were made)",
     "Nie można umieścić \"%s\" na miejscu: %s (dokumenty przed nim zostały utworzone)"},

}};

} // namespace

std::string stockProblemText(const StockProblem& problem, Language language)
{
    static_assert(static_cast<int>(WindowText::Count) - static_cast<int>(WindowText::StockProblemNoPaperSize) ==
                  static_cast<int>(StockProblem::Id::Count));
    const auto id =
        static_cast<WindowText>(static_cast<int>(WindowText::StockProblemNoPaperSize) + static_cast<int>(problem.id));
    return textFor(id, language, problem.args);
}

const TextEntry& textEntry(WindowText id)
{
    static constexpr TextEntry none{K::None, I::None, WindowText::Count, "", ""};
    const auto i = static_cast<std::size_t>(id);
    return i < kWindowTexts.size() ? kWindowTexts[i] : none;
}

} // namespace cardmill
