// The windows' own texts (captions, labels, dialog messages) in English and Polish.
#include <array>

#include "texts/Texts.h"

#include <string_view>
#include <utility>

#include "engine/Text.h"

namespace cardmill {

namespace {

using K = MessageKind;
using I = MessageIcon;

constexpr TextEntry windowEntryOf(WindowText id)
{
    switch (id) {
    case WindowText::CaptionInformation: return {K::None, I::None, WindowText::Count, "Information", "Informacja"};
    case WindowText::CaptionError: return {K::None, I::None, WindowText::Count, "Error", "Błąd"};
    case WindowText::CaptionAttention: return {K::None, I::None, WindowText::Count, "Attention", "Uwaga"};
    case WindowText::FilterAdif:
        return {K::None, I::None, WindowText::Count, "ADIF Files (*.adi, *.adif)|*.adi;*.adif|All files|*.*",
                "Pliki ADIF (*.adi, *.adif)|*.adi;*.adif|Wszystkie pliki|*.*"};
    case WindowText::FilterMainDocument:
        return {K::None, I::None, WindowText::Count,
                "Main doc (xxx_1.doc, xxx_1.docx, xxx_1.odt)|*_1.doc;*_1.docx;*_1.odt|All files|*.*",
                "Szablon QSL (xxx_1.doc, xxx_1.docx, xxx_1.odt)|*_1.doc;*_1.docx;*_1.odt|Wszystkie pliki|*.*"};
    case WindowText::ArchiveFailed:
        return {K::Error, I::None, WindowText::Count, "Unable to archive %s as %s",
                "Nie można zarchiwizować %s jako %s"};
    case WindowText::UnableToWrite:
        return {K::Error, I::None, WindowText::Count, "Unable to write to %s", "Nie można zapisać do %s"};
    case WindowText::LabelSourceFile: return {K::None, I::None, WindowText::Count, "Source file", "Plik źródłowy"};
    case WindowText::LabelMainDocument:
        return {K::None, I::None, WindowText::Count, "Mailing list Main document",
                "Dokument główny korespondencji seryjnej"};
    case WindowText::LabelQrgFormat:
        return {K::None, I::None, WindowText::Count, "Output QRG Format", "Wyjściowy format QRG"};
    case WindowText::LabelQsosNo: return {K::None, I::None, WindowText::Count, "QSOs no.", "Liczba QSO na"};
    case WindowText::LabelOnOneLabel: return {K::None, I::None, WindowText::Count, "on one label", "jednej nalepce"};
    case WindowText::LabelFrom: return {K::None, I::None, WindowText::Count, "From:", "Od:"};
    case WindowText::LabelTo: return {K::None, I::None, WindowText::Count, "To:", "Do:"};
    case WindowText::LabelDateFormat: return {K::None, I::None, WindowText::Count, "Date format", "Format daty"};
    case WindowText::CheckDateRange: return {K::None, I::None, WindowText::Count, "Date Range", "Zakres dat"};
    case WindowText::CheckCall: return {K::None, I::None, WindowText::Count, "Call", "Znak"};
    case WindowText::ButtonConfig: return {K::None, I::None, WindowText::Count, "&Config", "&Konfiguracja"};
    case WindowText::NoValidProfile:
        return {K::Box, I::Warning, WindowText::CaptionInformation,
                "There is not valid Profile in INI file\nor INI file doesn't exist.\nPlease click on Profile Setup "
                "button\nand "
                "add "
                "new Profile now.",
                "W pliku INI nie ma poprawnego profilu\nalbo plik INI nie istnieje.\nKliknij przycisk Ustawienia "
                "profili\ni dodaj teraz nowy profil."};
    case WindowText::NoProfileName:
        return {K::Error, I::None, WindowText::Count, "No profile's name set!", "Podaj nazwę profilu!"};
    case WindowText::ProfileExists:
        return {K::Box, I::Error, WindowText::CaptionError,
                "Profile with this name exists !\nPlease use other profile's name !",
                "Profil o tej nazwie już istnieje!\nUżyj innej nazwy profilu!"};
    case WindowText::CannotDeleteNew:
        return {K::Box, I::Error, WindowText::CaptionError, "It is not possible to delete a new profile !",
                "Nie można usunąć nowego profilu!"};
    case WindowText::DeleteProfile:
        return {K::Box, I::Warning, WindowText::CaptionAttention, "Delete profile \"%s\" ?", "Usunąć profil \"%s\" ?"};
    case WindowText::ProfileChangesNotSaved:
        return {K::Box, I::Warning, WindowText::CaptionAttention, "Save the changes to the profile \"%s\"?",
                "Zapisać zmiany w profilu \"%s\"?"};
    case WindowText::NewProfileNotSaved:
        return {K::Box, I::Warning, WindowText::CaptionInformation,
                "New Profile is not saved.\nDo you want to save it now?",
                "Nowy profil nie jest zapisany.\nCzy zapisać go teraz?"};
    case WindowText::NotAnInteger:
        return {K::Error, I::None, WindowText::Count, "'%s' is not a valid integer value",
                "'%s' nie jest poprawną liczbą całkowitą"};
    case WindowText::NoProfileSelected:
        return {K::Error, I::None, WindowText::Count, "No profile selected!", "Nie wybrano profilu!"};
    case WindowText::SeparatorComma:
        return {K::Error, I::None, WindowText::Count, "The separator cannot be a comma!",
                "Separator nie może być przecinkiem!"};
    case WindowText::ButtonNewMainDocs: return {K::None, I::None, WindowText::Count, "&New...", "&Nowe..."};
    case WindowText::LabelFirstLabel:
        return {K::None, I::None, WindowText::Count, "First label on the sheet", "Pierwsza nalepka na arkuszu"};
    case WindowText::StockUseSheet:
        return {K::None, I::None, WindowText::Count, "&Print on this sheet", "&Drukuj na tym arkuszu"};
    case WindowText::LabelSheetCaption:
        return {K::None, I::None, WindowText::Count, "Label sheet (labels drawn by CARDMILL)",
                "Arkusz nalepek (nalepki rysuje CARDMILL)"};
    case WindowText::LabelSheetNone:
        return {K::None, I::None, WindowText::Count, "such as L7163; empty: the main document",
                "np. L7163; puste: dokument główny"};
    case WindowText::ButtonChooseSheet: return {K::None, I::None, WindowText::Count, "C&hoose...", "Wy&bierz..."};
    case WindowText::ClearSheet:
        return {K::None, I::None, WindowText::Count, "Use the main document instead",
                "Użyj zamiast tego dokumentu głównego"};
    case WindowText::ButtonEditDesign: return {K::None, I::None, WindowText::Count, "&Edit...", "&Edytuj..."};
    case WindowText::DesignerTitle: return {K::None, I::None, WindowText::Count, "Design - %s", "Projekt - %s"};
    case WindowText::DesignerCanvas:
        return {K::None, I::None, WindowText::Count, "The design on the label", "Projekt na nalepce"};
    case WindowText::DesignerStartFrom: return {K::None, I::None, WindowText::Count, "Start from", "Zacznij od"};
    case WindowText::DesignerOpen: return {K::None, I::None, WindowText::Count, "&Open...", "&Otwórz..."};
    case WindowText::DesignerSave: return {K::None, I::None, WindowText::Count, "&Save", "&Zapisz"};
    case WindowText::DesignerSaveAs: return {K::None, I::None, WindowText::Count, "Save &as...", "Zapisz &jako..."};
    case WindowText::DesignerUndo: return {K::None, I::None, WindowText::Count, "&Undo", "&Cofnij"};
    case WindowText::DesignerRedo: return {K::None, I::None, WindowText::Count, "&Redo", "&Ponów"};
    case WindowText::DesignerAddText: return {K::None, I::None, WindowText::Count, "Add &text", "Dodaj &tekst"};
    case WindowText::DesignerDelete: return {K::None, I::None, WindowText::Count, "&Delete", "&Usuń"};
    case WindowText::DesignerClose: return {K::None, I::None, WindowText::Count, "C&lose", "Za&mknij"};
    case WindowText::DesignerText:
        return {K::None, I::None, WindowText::Count, "Text ({FIELD} for a field)", "Tekst ({POLE} dla pola)"};
    case WindowText::DesignerOnlyWith:
        return {K::None, I::None, WindowText::Count, "Only with the field", "Tylko z polem"};
    case WindowText::DesignerFont: return {K::None, I::None, WindowText::Count, "Font", "Czcionka"};
    case WindowText::DesignerSize: return {K::None, I::None, WindowText::Count, "Size (pt)", "Rozmiar (pt)"};
    case WindowText::DesignerBold: return {K::None, I::None, WindowText::Count, "&Bold", "Pogru&bienie"};
    case WindowText::DesignerItalic: return {K::None, I::None, WindowText::Count, "&Italic", "Kurs&ywa"};
    case WindowText::DesignerAlign: return {K::None, I::None, WindowText::Count, "Alignment", "Wyrównanie"};
    case WindowText::DesignerAlignLeft: return {K::None, I::None, WindowText::Count, "left", "do lewej"};
    case WindowText::DesignerAlignCentre: return {K::None, I::None, WindowText::Count, "centre", "do środka"};
    case WindowText::DesignerAlignRight: return {K::None, I::None, WindowText::Count, "right", "do prawej"};
    case WindowText::DesignerLeft: return {K::None, I::None, WindowText::Count, "Left (mm)", "Od lewej (mm)"};
    case WindowText::DesignerTop: return {K::None, I::None, WindowText::Count, "Top (mm)", "Od góry (mm)"};
    case WindowText::DesignerWidth: return {K::None, I::None, WindowText::Count, "Width (mm)", "Szerokość (mm)"};
    case WindowText::DesignerHeight: return {K::None, I::None, WindowText::Count, "Height (mm)", "Wysokość (mm)"};
    case WindowText::DesignerColumns:
        return {K::None, I::None, WindowText::Count, "Columns of the table", "Kolumny tabeli"};
    case WindowText::DesignerColumnField: return {K::None, I::None, WindowText::Count, "Field", "Pole"};
    case WindowText::DesignerColumnHeading: return {K::None, I::None, WindowText::Count, "Heading", "Nagłówek"};
    case WindowText::DesignerAddColumn: return {K::None, I::None, WindowText::Count, "Add &column", "Dodaj &kolumnę"};
    case WindowText::DesignerRemoveColumn:
        return {K::None, I::None, WindowText::Count, "Remove c&olumn", "Usuń k&olumnę"};
    case WindowText::DesignerNoSelection:
        return {K::None, I::None, WindowText::Count,
                "Click an element to change it; arrows move it by 0.5 mm, Shift+arrows resize it.",
                "Kliknij element, aby go zmienić; strzałki przesuwają go o 0,5 mm, Shift+strzałki zmieniają rozmiar."};
    case WindowText::DesignerUnsaved:
        return {K::Box, I::Warning, WindowText::CaptionAttention, "Save the changes to the design?",
                "Zapisać zmiany w projekcie?"};
    case WindowText::DesignerCannotSave:
        return {K::Error, I::None, WindowText::Count, "The design cannot be saved as %s: %s",
                "Nie można zapisać projektu jako %s: %s"};
    case WindowText::DesignCaption: return {K::None, I::None, WindowText::Count, "Desi&gn", "Pro&jekt"};
    case WindowText::ButtonDesignFile:
        return {K::None, I::None, WindowText::Count, "Design &file...", "Plik p&rojektu..."};
    case WindowText::FilterDesign:
        return {K::None, I::None, WindowText::Count, "CARDMILL designs (*.json)|*.json|All files|*.*",
                "Projekty CARDMILL (*.json)|*.json|Wszystkie pliki|*.*"};
    case WindowText::PreviewTitle: return {K::None, I::None, WindowText::Count, "Labels - %s", "Nalepki - %s"};
    case WindowText::PreviewPage: return {K::None, I::None, WindowText::Count, "Sheet %s of %s", "Arkusz %s z %s"};
    case WindowText::PreviewSheetShown: return {K::None, I::None, WindowText::Count, "Sheet shown", "Pokazany arkusz"};
    case WindowText::PreviewZoom: return {K::None, I::None, WindowText::Count, "Zoom", "Powiększenie"};
    case WindowText::PreviewPrint: return {K::None, I::None, WindowText::Count, "&Print...", "&Drukuj..."};
    case WindowText::PreviewSavePdf: return {K::None, I::None, WindowText::Count, "&Save PDF...", "&Zapisz PDF..."};
    case WindowText::PreviewClose: return {K::None, I::None, WindowText::Count, "&Close", "Za&mknij"};
    case WindowText::PreviewOffset:
        return {K::None, I::None, WindowText::Count, "Printer offset", "Przesunięcie drukarki"};
    case WindowText::PreviewRight: return {K::None, I::None, WindowText::Count, "right (mm)", "w prawo (mm)"};
    case WindowText::PreviewScale: return {K::None, I::None, WindowText::Count, "% size", "% rozmiaru"};
    case WindowText::PreviewDown: return {K::None, I::None, WindowText::Count, "down (mm)", "w dół (mm)"};
    case WindowText::PreviewCalibration:
        return {K::None, I::None, WindowText::Count, "Calibration &page...", "Strona &kalibracji..."};
    case WindowText::PreviewSaved:
        return {K::Information, I::None, WindowText::Count, "The labels are saved in %s.", "Nalepki zapisano w %s."};
    case WindowText::PreviewPrinted:
        return {K::Information, I::None, WindowText::Count, "Sent to the printer %s (sheets: %s).",
                "Wysłano do drukarki %s (arkusze: %s)."};
    case WindowText::PreviewPrintCancelled:
        return {K::Information, I::None, WindowText::Count, "Printing cancelled: nothing was sent to the printer %s.",
                "Drukowanie anulowane: niczego nie wysłano do drukarki %s."};
    case WindowText::PreviewPrinting:
        return {K::None, I::None, WindowText::Count, "Drawing the sheets for the printer...",
                "Rysowanie arkuszy dla drukarki..."};
    case WindowText::PreviewSaving:
        return {K::None, I::None, WindowText::Count, "Drawing the sheets into the PDF...",
                "Rysowanie arkuszy do pliku PDF..."};
    case WindowText::PreviewSaveCancelled:
        return {K::Information, I::None, WindowText::Count, "Saving cancelled: %s was not written.",
                "Zapisywanie anulowane: nie zapisano %s."};
    case WindowText::FilterPdf:
        return {K::None, I::None, WindowText::Count, "PDF Files (*.pdf)|*.pdf", "Pliki PDF (*.pdf)|*.pdf"};
    case WindowText::SheetUnknown:
        return {K::Error, I::None, WindowText::Count,
                "The label sheet \"%s\" is not in the stock catalogue; choose one with \"Choose...\".",
                "Arkusza nalepek \"%s\" nie ma w katalogu; wybierz arkusz przyciskiem \"Wybierz...\"."};
    case WindowText::UnknownProfile:
        return {K::Error, I::None, WindowText::Count,
                "There is no profile \"%s\" in %s, so the window starts without a profile. Its profiles:%s",
                "Profilu \"%s\" nie ma w %s, więc okno startuje bez profilu. Profile w tym pliku:%s"};
    case WindowText::NoProfilesYet: return {K::None, I::None, WindowText::Count, " none yet", " na razie brak"};
    case WindowText::FieldUnknown:
        return {K::Error, I::None, WindowText::Count,
                "\"%s\" is not an ADIF 3.1.4 field. Take one of the list, which completes what you type, an "
                "application's field (APP_...) or a user-defined one (USERDEF...).",
                "\"%s\" nie jest polem ADIF 3.1.4. Wybierz pole z listy, która uzupełnia to, co wpisujesz, pole "
                "aplikacji (APP_...) albo pole użytkownika (USERDEF...)."};
    case WindowText::CaptionProfile: return {K::None, I::None, WindowText::Count, "Profile", "Profil"};
    case WindowText::ButtonProfilesSetup:
        return {K::None, I::None, WindowText::Count, "&Profiles Setup", "&Ustawienia profili"};
    case WindowText::LabelSwlFile: return {K::None, I::None, WindowText::Count, "Source SWL file", "Plik źródłowy SWL"};
    case WindowText::ButtonBrowseLog: return {K::None, I::None, WindowText::Count, "&Browse", "&Przeglądaj"};
    case WindowText::ButtonBrowseSwl: return {K::None, I::None, WindowText::Count, "B&rowse", "P&rzeglądaj"};
    case WindowText::ButtonBrowseMain: return {K::None, I::None, WindowText::Count, "Bro&wse", "Prz&eglądaj"};
    case WindowText::ButtonArchive: return {K::None, I::None, WindowText::Count, "&Archive", "&Archiwizuj"};
    case WindowText::ButtonFilters: return {K::None, I::None, WindowText::Count, "&Filters", "&Filtry"};
    case WindowText::ButtonStop: return {K::None, I::None, WindowText::Count, "S&top", "&Zatrzymaj"};
    case WindowText::ButtonStart: return {K::None, I::None, WindowText::Count, "&Start", "&Uruchom"};
    case WindowText::ButtonExit: return {K::None, I::None, WindowText::Count, "E&xit", "&Wyjdź"};
    case WindowText::ButtonHelp: return {K::None, I::None, WindowText::Count, "Help", "Pomoc"};
    case WindowText::FiltersTitle: return {K::None, I::None, WindowText::Count, "Filters", "Filtry"};
    case WindowText::CheckBlank: return {K::None, I::None, WindowText::Count, "Blank", "Puste"};
    case WindowText::FilterCallSign:
        return {K::None, I::None, WindowText::Count, "Call sign to keep", "Znak do wybrania"};
    case WindowText::FilterFromDate: return {K::None, I::None, WindowText::Count, "From date", "Data od"};
    case WindowText::FilterToDate: return {K::None, I::None, WindowText::Count, "To date", "Data do"};
    case WindowText::OrderCaption: return {K::None, I::None, WindowText::Count, "Label order", "Kolejność nalepek"};
    case WindowText::SetupTitle: return {K::None, I::None, WindowText::Count, "Profile setup", "Ustawienia profilu"};
    case WindowText::SetupProfileName: return {K::None, I::None, WindowText::Count, "Profile name", "Nazwa profilu"};
    case WindowText::SetupNewName:
        return {K::None, I::None, WindowText::Count, "New profile's name", "Nazwa nowego profilu"};
    case WindowText::SetupBrowse: return {K::None, I::None, WindowText::Count, "Browse", "Przeglądaj"};
    case WindowText::SetupMainDocument:
        return {K::None, I::None, WindowText::Count, "Main document ", "Dokument główny"};
    case WindowText::SetupSeparator: return {K::None, I::None, WindowText::Count, "Separator:", "Separator:"};
    case WindowText::SetupSeparatorName:
        return {K::None, I::None, WindowText::Count, "Date separator", "Separator daty"};
    case WindowText::SetupQsosCaption:
        return {K::None, I::None, WindowText::Count, "QSOs numbers on one label", "Liczba QSO na jednej nalepce"};
    case WindowText::SetupQsos:
        return {K::None, I::None, WindowText::Count, "QSOs on one label", "QSO na jednej nalepce"};
    case WindowText::SetupDelete: return {K::None, I::None, WindowText::Count, "Delete", "Usuń"};
    case WindowText::SetupNewProfile: return {K::None, I::None, WindowText::Count, "New profile", "Nowy profil"};
    case WindowText::SetupApply: return {K::None, I::None, WindowText::Count, "Apply", "Zastosuj"};
    case WindowText::SetupOk: return {K::None, I::None, WindowText::Count, "OK", "OK"};
    case WindowText::ConfigTitle: return {K::None, I::None, WindowText::Count, "Configuration", "Konfiguracja"};
    case WindowText::ConfigFixed: return {K::None, I::None, WindowText::Count, "Fixed ADIF fields", "Stałe pola ADIF"};
    case WindowText::ConfigUser:
        return {K::None, I::None, WindowText::Count, "User definied ADIF fields", "Pola ADIF użytkownika"};
    case WindowText::ConfigAdd: return {K::None, I::None, WindowText::Count, "&Add", "&Dodaj"};
    case WindowText::ConfigDelete: return {K::None, I::None, WindowText::Count, "&Delete", "&Usuń"};
    case WindowText::ConfigTemporary:
        return {K::None, I::None, WindowText::Count, "Do not delete temporary.doc file",
                "Nie usuwaj pliku temporary.doc"};
    case WindowText::ConfigPdf:
        return {K::None, I::None, WindowText::Count, "Also save labels as PDF", "Zapisz nalepki także jako PDF"};
    case WindowText::ConfigMarkSent:
        return {K::None, I::None, WindowText::Count, "Mark QSOs as sent, via", "Oznacz QSO jako wysłane, przez"};
    case WindowText::ConfigViaNotSet: return {K::None, I::None, WindowText::Count, "(not set)", "(nie ustawiono)"};
    case WindowText::ConfigViaBureau: return {K::None, I::None, WindowText::Count, "Bureau", "Biuro QSL"};
    case WindowText::ConfigViaDirect: return {K::None, I::None, WindowText::Count, "Direct", "Bezpośrednio"};
    case WindowText::ConfigViaElectronic: return {K::None, I::None, WindowText::Count, "Electronic", "Elektronicznie"};
    case WindowText::ConfigOwnLast:
        return {K::None, I::None, WindowText::Count, "Bureau order: own country's bundle last",
                "Kolejność dla biura: paczka własnego kraju na końcu"};
    case WindowText::ConfigPolish: return {K::None, I::None, WindowText::Count, "Polish language", "Język polski"};
    case WindowText::ConfigExit: return {K::None, I::None, WindowText::Count, "Exit", "Zamknij"};
    case WindowText::StockCustomPaper: return {K::None, I::None, WindowText::Count, "custom paper", "własny papier"};
    case WindowText::StockLabelsCount: return {K::None, I::None, WindowText::Count, "%s labels", "nalepek: %s"};
    case WindowText::FirstStartHint:
        return {K::None, I::None, WindowText::Count,
                "To make your first labels: drop your log on this window (or press Browse), then type, going on "
                "with Tab, your label sheet (such as L7163), your call sign and the QSOs on one label, and press "
                "Start. The labels open in a preview, ready to print.",
                "Pierwsze nalepki: upuść log na to okno (albo naciśnij Przeglądaj), potem wpisz, przechodząc dalej "
                "klawiszem Tab, swój arkusz nalepek (np. L7163), swój znak i liczbę QSO na nalepce, i naciśnij "
                "Uruchom. Nalepki otworzą się w podglądzie, gotowe do druku."};
    case WindowText::ClearSearch: return {K::None, I::None, WindowText::Count, "Clear the search", "Wyczyść szukanie"};
    case WindowText::StatusVersion: return {K::None, I::None, WindowText::Count, "Version %s", "Wersja %s"};
    case WindowText::PrintJobName: return {K::None, I::None, WindowText::Count, "CARDMILL labels", "Nalepki CARDMILL"};
    case WindowText::CalibrationJobName:
        return {K::None, I::None, WindowText::Count, "CARDMILL calibration page", "Strona kalibracji CARDMILL"};
    case WindowText::NoOwnCall:
        return {K::Box, I::Warning, WindowText::CaptionAttention,
                "No call sign is set, so every label ends in a bare \"73\". Draw the labels all the same?",
                "Nie podano znaku, więc każda nalepka kończy się samym \"73\". Narysować nalepki mimo to?"};
    case WindowText::QsosOutOfRange:
        return {K::Error, I::None, WindowText::Count, "QSOs on one label are 1 to 10, not \"%s\".",
                "Na jednej nalepce mieści się od 1 do 10 QSO, a nie \"%s\"."};
    case WindowText::PreviewCalibrationPdf:
        return {K::None, I::None, WindowText::Count, "Calibration page as PDF...", "Strona kalibracji jako PDF..."};
    case WindowText::CalibrationPrinted:
        return {K::Information, I::None, WindowText::Count,
                "The calibration page went to %s. Hold it against a sheet of labels with light behind: each cross "
                "should sit in the middle of its label. Where they do not, give how far they are off (right and "
                "down, in mm) as the offset here; the next print takes it.",
                "Strona kalibracji trafiła do %s. Przyłóż ją do arkusza nalepek pod światło: każdy krzyżyk powinien "
                "być na środku swojej nalepki. Jeśli nie jest, podaj tutaj, o ile jest przesunięty (w prawo i w dół, "
                "w mm); następny wydruk to uwzględni."};
    case WindowText::PreviewTitleBeforeRun:
        return {K::None, I::None, WindowText::Count, "Labels - preview before the run",
                "Nalepki - podgląd przed przetwarzaniem"};
    case WindowText::CalibrationPrinting:
        return {K::None, I::None, WindowText::Count, "Drawing the calibration page...",
                "Rysowanie strony kalibracji..."};
    case WindowText::KeepAsProfileCaption:
        return {K::None, I::None, WindowText::Count, "Keep your choices", "Zachowaj ustawienia"};
    case WindowText::KeepAsProfilePrompt:
        return {K::None, I::None, WindowText::Count,
                "Your log, label sheet and choices are in no profile yet. Keep them as a profile named:",
                "Twój log, arkusz nalepek i ustawienia nie są jeszcze w żadnym profilu. Zachowaj je jako profil o "
                "nazwie:"};
    case WindowText::KeepAsProfileName: return {K::None, I::None, WindowText::Count, "My labels", "Moje nalepki"};
    case WindowText::ButtonPreview: return {K::None, I::None, WindowText::Count, "Pre&view", "&Podgląd"};
    case WindowText::PreviewNeedsSheet:
        return {K::Error, I::None, WindowText::Count,
                "The preview shows labels drawn on a label sheet: choose one first (\"Label sheet\").",
                "Podgląd pokazuje nalepki narysowane na arkuszu: najpierw wybierz arkusz (\"Arkusz nalepek\")."};
    case WindowText::StockTitle:
        return {K::None, I::None, WindowText::Count, "Label sheet and main documents",
                "Arkusz nalepek i dokumenty główne"};
    case WindowText::StockStock: return {K::None, I::None, WindowText::Count, "Label stock", "Arkusz nalepek"};
    case WindowText::StockSearchHint:
        return {K::None, I::None, WindowText::Count, "Search brand, part or description",
                "Szukaj: producent, numer lub opis"};
    case WindowText::StockCustom: return {K::None, I::None, WindowText::Count, "Custom grid", "Własna siatka"};
    case WindowText::StockPaper: return {K::None, I::None, WindowText::Count, "Paper", "Papier"};
    case WindowText::StockColumnsRows:
        return {K::None, I::None, WindowText::Count, "Columns, rows", "Kolumny, wiersze"};
    case WindowText::StockLabelSize:
        return {K::None, I::None, WindowText::Count, "Label width, height (mm)", "Szerokość, wysokość nalepki (mm)"};
    case WindowText::StockFirstPlace:
        return {K::None, I::None, WindowText::Count, "First label left, top (mm)",
                "Pierwsza nalepka: od lewej, od góry (mm)"};
    case WindowText::StockPitch:
        return {K::None, I::None, WindowText::Count, "Pitch across, down (mm)", "Skok w poziomie, w pionie (mm)"};
    case WindowText::StockOwnCall: return {K::None, I::None, WindowText::Count, "Your call sign", "Twój znak"};
    case WindowText::StockSizes: return {K::None, I::None, WindowText::Count, "QSOs per label", "QSO na nalepce"};
    case WindowText::StockFormat: return {K::None, I::None, WindowText::Count, "Format", "Format"};
    case WindowText::StockFolder: return {K::None, I::None, WindowText::Count, "Folder", "Folder"};
    case WindowText::StockBrowse: return {K::None, I::None, WindowText::Count, "Browse", "Przeglądaj"};
    case WindowText::StockCreate: return {K::None, I::None, WindowText::Count, "Create", "Utwórz"};
    case WindowText::StockNoDatabase:
        return {
            K::None, I::None, WindowText::Count,
            "The label-stock database is not installed (Debian package glabels-data): only a custom grid can be used.",
            "Baza arkuszy nalepek nie jest zainstalowana (pakiet Debiana glabels-data): można użyć tylko własnej "
            "siatki."};
    case WindowText::StockTooSmall:
        return {K::None, I::None, WindowText::Count, "The labels are too small for this size at 6 pt or more.",
                "Nalepki są za małe dla tej liczby QSO przy 6 pt lub więcej."};
    case WindowText::StockReplace:
        return {K::Box, I::Warning, WindowText::CaptionAttention,
                "These main documents exist already:%s\nReplace them?",
                "Te dokumenty główne już istnieją:%s\nZastąpić je?"};
    case WindowText::StockMade:
        return {K::Information, I::None, WindowText::Count, "Main documents made in %s:%s",
                "Utworzono dokumenty główne w %s:%s"};
    case WindowText::StockFailed: return {K::Error, I::None, WindowText::Count, "%s", "%s"};
    case WindowText::StockNoFolder:
        return {K::Error, I::None, WindowText::Count, "Choose a folder for the main documents.",
                "Wybierz folder na dokumenty główne."};
    case WindowText::CloseWithoutSaving:
        return {K::Box, I::Warning, WindowText::CaptionAttention, "Close without saving the settings?",
                "Zamknąć bez zapisania ustawień?"};
    case WindowText::CannotOpenFile:
        return {K::Box, I::Warning, WindowText::CaptionAttention,
                "No application could open \"%s\".\nOpen its folder instead?",
                "Żaden program nie otworzył \"%s\".\nOtworzyć zamiast tego jego folder?"};
    case WindowText::CannotOpenFolder:
        return {K::Error, I::None, WindowText::Count, "The folder \"%s\" could not be opened either.",
                "Nie udało się też otworzyć folderu \"%s\"."};
    case WindowText::ArchiveDone:
        return {K::Information, I::None, WindowText::Count, "\"%s\" was archived as \"%s\".",
                "Plik \"%s\" zarchiwizowano jako \"%s\"."};
    case WindowText::ProfileNameBrackets:
        return {K::Error, I::None, WindowText::Count, "A profile name cannot hold \"[\" or \"]\".",
                "Nazwa profilu nie może zawierać \"[\" ani \"]\"."};
    case WindowText::ProfileNameBlanks:
        return {K::Error, I::None, WindowText::Count, "A profile name cannot begin or end with a blank.",
                "Nazwa profilu nie może zaczynać się ani kończyć spacją."};
    case WindowText::ProfileNameControl:
        return {K::Error, I::None, WindowText::Count, "A profile name cannot hold control characters.",
                "Nazwa profilu nie może zawierać znaków sterujących."};
    case WindowText::ProfileNameReserved:
        return {K::Error, I::None, WindowText::Count,
                "\"%s\" is the name of one of the settings file's own sections: choose another name.",
                "\"%s\" to nazwa jednej z własnych sekcji pliku ustawień: wybierz inną nazwę."};
    case WindowText::FieldBlanks:
        return {K::Error, I::None, WindowText::Count,
                "A field name cannot hold blanks, commas, \"<\", \">\" or \":\": \"%s\".",
                "Nazwa pola nie może zawierać spacji, przecinków, \"<\", \">\" ani \":\": \"%s\"."};
    case WindowText::FieldFixed:
        return {K::Error, I::None, WindowText::Count, "%s is always a column; it need not be added.",
                "%s jest zawsze kolumną; nie trzeba go dodawać."};
    case WindowText::FieldTwice:
        return {K::Error, I::None, WindowText::Count, "%s is in the list already.", "%s jest już na liście."};
    case WindowText::AddFieldCaption: return {K::None, I::None, WindowText::Count, "Add ADIF field", "Dodaj pole ADIF"};
    case WindowText::AddFieldPrompt: return {K::None, I::None, WindowText::Count, "ADIF field name", "Nazwa pola ADIF"};
    case WindowText::ClearSwlFile: return {K::None, I::None, WindowText::Count, "Clear (Delete)", "Wyczyść (Delete)"};
    case WindowText::StockProblemNoPaperSize:
        return {K::None, I::None, WindowText::Count, "%s has no paper size.", "%s nie ma rozmiaru papieru."};
    case WindowText::StockProblemNoLabelSize:
        return {K::None, I::None, WindowText::Count, "%s has labels without a size.", "%s ma nalepki bez rozmiaru."};
    case WindowText::StockProblemNoLabels:
        return {K::None, I::None, WindowText::Count, "%s has no labels on its sheet.", "%s nie ma nalepek na arkuszu."};
    case WindowText::StockProblemTooManyLabels:
        return {K::None, I::None, WindowText::Count, "%s has more than %s labels on a sheet.",
                "%s ma więcej niż %s nalepek na arkuszu."};
    case WindowText::StockProblemOffThePaper:
        return {K::None, I::None, WindowText::Count, "%s: label %s runs off the paper (%s x %s mm).",
                "%s: nalepka %s wychodzi poza papier (%s x %s mm)."};
    case WindowText::StockProblemOverlap:
        return {K::None, I::None, WindowText::Count, "%s: labels %s and %s overlap.",
                "%s: nalepki %s i %s nachodzą na siebie."};
    case WindowText::StockProblemNotRectangular:
        return {K::None, I::None, WindowText::Count,
                "%s has round, elliptic or CD labels; QSL labels need rectangular ones.",
                "%s ma nalepki okrągłe, eliptyczne lub CD; nalepki QSL muszą być prostokątne."};
    case WindowText::StockProblemNoSizeChosen:
        return {K::None, I::None, WindowText::Count, "No label size was chosen.",
                "Nie wybrano żadnego rozmiaru nalepki."};
    case WindowText::StockProblemOneTableOnly:
        return {
            K::None, I::None, WindowText::Count,
            "%s has its labels in %s blocks, which one Word table cannot hold: make the main documents as .odt.",
            "%s ma nalepki w %s blokach, których jedna tabela Worda nie pomieści: utwórz dokumenty główne jako .odt."};
    case WindowText::StockProblemTooSmallNoneFits:
        return {K::None, I::None, WindowText::Count,
                "The labels of %s are too small at %s pt or more for these sizes: %s. Not even one QSO fits.",
                "Nalepki %s są za małe przy %s pt lub więcej dla tych rozmiarów: %s. Nie mieści się nawet jedno QSO."};
    case WindowText::StockProblemTooSmallOneFits:
        return {K::None, I::None, WindowText::Count,
                "The labels of %s are too small at %s pt or more for these sizes: %s. Only one QSO fits.",
                "Nalepki %s są za małe przy %s pt lub więcej dla tych rozmiarów: %s. Mieści się tylko jedno QSO."};
    case WindowText::StockProblemTooSmall:
        return {K::None, I::None, WindowText::Count,
                "The labels of %s are too small at %s pt or more for these sizes: %s. At most %s QSOs fit.",
                "Nalepki %s są za małe przy %s pt lub więcej dla tych rozmiarów: %s. Mieści się najwyżej %s QSO."};
    case WindowText::StockProblemNoFolder:
        return {K::None, I::None, WindowText::Count, "The folder \"%s\" does not exist.",
                "Folder \"%s\" nie istnieje."};
    case WindowText::StockProblemFolderInTheWay:
        return {K::None, I::None, WindowText::Count, "A folder stands where the main document \"%s\" should go.",
                "W miejscu dokumentu głównego \"%s\" jest folder."};
    case WindowText::StockProblemCannotWrite:
        return {K::None, I::None, WindowText::Count, "Cannot write the main documents in \"%s\": %s",
                "Nie można zapisać dokumentów głównych w \"%s\": %s"};
    case WindowText::StockProblemCannotPlace:
        return {K::None, I::None, WindowText::Count, "Cannot put \"%s\" in place: %s",
                "Nie można umieścić \"%s\" na miejscu: %s"};
    case WindowText::StockProblemCannotPlaceAfterOthers:
        return {K::None, I::None, WindowText::Count,
                "Cannot put \"%s\" in place: %s (the documents before it were made)",
                "Nie można umieścić \"%s\" na miejscu: %s (dokumenty przed nim zostały utworzone)"};
    case WindowText::LabelOrderCaption:
        return {K::None, I::None, WindowText::Count, "Label order", "Kolejność nalepek"};
    case WindowText::OrderByCall: return {K::None, I::None, WindowText::Count, "by call", "według znaku"};
    case WindowText::OrderForBureau:
        return {K::None, I::None, WindowText::Count, "for the QSL bureau", "dla biura QSL"};
    case WindowText::OrderByRoute:
        return {K::None, I::None, WindowText::Count, "each QSO on its route: bureau, direct, electronic",
                "każde QSO swoją drogą: biuro, direct, elektronicznie"};
    case WindowText::ButtonRoutes: return {K::None, I::None, WindowText::Count, "R&outes...", "&Drogi..."};
    case WindowText::RoutesTitle:
        return {K::None, I::None, WindowText::Count, "Each QSO on its route", "Każde QSO swoją drogą"};
    case WindowText::RoutesDefault:
        return {K::None, I::None, WindowText::Count,
                "&Route of a QSO no rule decides:", "&Droga QSO, o której nie decyduje żadna reguła:"};
    case WindowText::RouteByBureau: return {K::None, I::None, WindowText::Count, "by bureau", "przez biuro"};
    case WindowText::RouteDirect: return {K::None, I::None, WindowText::Count, "direct", "direct"};
    case WindowText::RouteElectronic:
        return {K::None, I::None, WindowText::Count, "electronic only: no card", "tylko elektronicznie: bez karty"};
    case WindowText::RoutesNoAddress:
        return {K::None, I::None, WindowText::Count,
                "A direct card whose QSO has &no address in the log:", "Karta direct, gdy QSO &nie ma adresu w logu:"};
    case WindowText::NoAddressByBureau:
        return {K::None, I::None, WindowText::Count, "goes by bureau (listed)", "idzie przez biuro (na liście)"};
    case WindowText::NoAddressHeld:
        return {K::None, I::None, WindowText::Count, "is held back (listed)", "zostaje wstrzymana (na liście)"};
    case WindowText::RoutesAddressSheet:
        return {K::None, I::None, WindowText::Count,
                "&Address labels of direct cards on:", "Nalepki &adresowe kart direct na:"};
    case WindowText::RoutesDirectStart:
        return {K::None, I::None, WindowText::Count, "Direct cards and their address labels &start at label:",
                "Karty direct i ich nalepki adresowe &zaczynają się od nalepki:"};
    case WindowText::RoutesAddressSheetSame:
        return {K::None, I::None, WindowText::Count, "the label sheet", "arkuszu nalepek"};
    case WindowText::RoutesReprintGroup:
        return {K::None, I::None, WindowText::Count, "Print one sheet of an earlier run again (a jammed printer)",
                "Wydrukuj ponownie jeden arkusz wcześniejszego przebiegu (zacięta drukarka)"};
    case WindowText::RoutesReprintRun: return {K::None, I::None, WindowText::Count, "R&un:", "P&rzebieg:"};
    case WindowText::RoutesReprintRunEntry:
        return {K::None, I::None, WindowText::Count, "%s of %s (bureau: %s sheets, direct: %s sheets)",
                "%s z %s (biuro: arkuszy %s, direct: arkuszy %s)"};
    case WindowText::RoutesReprintSheet: return {K::None, I::None, WindowText::Count, "Sh&eet:", "Ar&kusz:"};
    case WindowText::RoutesReprintLabels: return {K::None, I::None, WindowText::Count, "&Labels:", "Nalepk&i:"};
    case WindowText::RoutesReprintBureau:
        return {K::None, I::None, WindowText::Count, "bureau cards", "karty przez biuro"};
    case WindowText::RoutesReprintDirect: return {K::None, I::None, WindowText::Count, "direct cards", "karty direct"};
    case WindowText::ButtonReprintSheet:
        return {K::None, I::None, WindowText::Count, "Re&print sheet...", "Drukuj &ponownie arkusz..."};
    case WindowText::RoutesNoRunsYet:
        return {K::None, I::None, WindowText::Count,
                "No labels have been printed with routes yet: the journal has no sheet to print again.",
                "Nie wydrukowano jeszcze nalepek z drogami: dziennik nie ma arkusza do ponownego druku."};
    case WindowText::RoutesJournalUnreadable:
        return {K::None, I::None, WindowText::Count, "The journal of printed labels cannot be read: %s",
                "Nie można odczytać dziennika wydrukowanych nalepek: %s"};
    case WindowText::PreviewBatch: return {K::None, I::None, WindowText::Count, "&Labels:", "&Nalepki:"};
    case WindowText::PreviewBatchBureau:
        return {K::None, I::None, WindowText::Count, "bureau cards (%s)", "karty przez biuro (%s)"};
    case WindowText::PreviewBatchDirect:
        return {K::None, I::None, WindowText::Count, "direct cards (%s)", "karty direct (%s)"};
    case WindowText::PreviewBatchAddresses:
        return {K::None, I::None, WindowText::Count, "address labels of the direct cards (%s)",
                "nalepki adresowe kart direct (%s)"};
    case WindowText::StopRunAndClose:
        return {K::Box, I::Warning, WindowText::CaptionAttention,
                "A run is making labels. Stop it and close the window when it has stopped?",
                "Trwa tworzenie nalepek. Przerwać je i zamknąć okno, gdy się zatrzyma?"};
    case WindowText::StockProblemPaperOutOfRange:
        return {K::None, I::None, WindowText::Count,
                "The paper of %s has a side of %s mm: a paper is 0.1 to 2000 mm long and wide.",
                "Papier %s ma bok o długości %s mm: papier ma od 0,1 do 2000 mm długości i szerokości."};
    case WindowText::StockProblemLabelOutOfRange:
        return {K::None, I::None, WindowText::Count,
                "The labels of %s have a side of %s mm: a label is 0.1 to 2000 mm long and wide.",
                "Nalepki %s mają bok o długości %s mm: nalepka ma od 0,1 do 2000 mm długości i szerokości."};
    case WindowText::StockProblemStartPastSheet:
        return {
            K::None, I::None, WindowText::Count,
            "A sheet of %s has no label %s: its labels are numbered 1 to %s. Give the first free label of the sheet.",
            "Arkusz %s nie ma nalepki %s: jego nalepki mają numery od 1 do %s. Podaj pierwszą wolną nalepkę "
            "arkusza."};
    case WindowText::StockProblemRollShape:
        return {K::None, I::None, WindowText::Count,
                "A roll is WIDTH or WIDTHxLENGTH in mm (width %s to %s, length %s to %s), such as 62 or 62x100, not "
                "\"%s\".",
                "Rolka to SZEROKOŚĆ albo SZEROKOŚĆxDŁUGOŚĆ w mm (szerokość od %s do %s, długość od %s do %s), np. 62 "
                "albo 62x100, a nie \"%s\"."};
    case WindowText::StockProblemGridShape:
        return {K::None, I::None, WindowText::Count,
                "A custom grid is PAPER,COLUMNS,ROWS,WIDTH,HEIGHT,LEFT,TOP,HPITCH,VPITCH (lengths in mm), not \"%s\".",
                "Własna siatka to PAPIER,KOLUMNY,WIERSZE,SZEROKOŚĆ,WYSOKOŚĆ,LEWY,GÓRNY,SKOK_POZIOMY,SKOK_PIONOWY "
                "(długości w mm), a nie \"%s\"."};
    case WindowText::StockProblemGridPaper:
        return {K::None, I::None, WindowText::Count,
                "Unknown paper \"%s\": A4, A5, A6, US-Letter, US-Legal or WIDTHxHEIGHT in mm.",
                "Nieznany papier \"%s\": A4, A5, A6, US-Letter, US-Legal albo SZEROKOŚĆxWYSOKOŚĆ w mm."};
    case WindowText::StockProblemGridPaperLength:
        return {K::None, I::None, WindowText::Count,
                "The paper \"%s\" has a length of %s mm; a paper is 0.1 to 2000 mm long and wide.",
                "Papier \"%s\" ma bok długości %s mm; papier ma od 0,1 do 2000 mm długości i szerokości."};
    case WindowText::StockProblemGridCounts:
        return {K::None, I::None, WindowText::Count, "Columns and rows are whole numbers from 1 to 100.",
                "Kolumny i wiersze to liczby całkowite od 1 do 100."};
    case WindowText::StockProblemGridLength:
        return {K::None, I::None, WindowText::Count, "%s is a length from %s to 2000 mm, not \"%s\".",
                "%s to długość od %s do 2000 mm, a nie \"%s\"."};
    case WindowText::StockProblemSheetUnknown:
        return {K::None, I::None, WindowText::Count, "The label sheet \"%s\" is not in the stock catalogue.",
                "Arkusza nalepek \"%s\" nie ma w katalogu."};
    case WindowText::StockProblemDatabaseMissing:
        return {K::None, I::None, WindowText::Count,
                "The label-stock database is not installed (Debian package glabels-data): only a custom grid can "
                "be used.",
                "Baza arkuszy nalepek nie jest zainstalowana (pakiet Debiana glabels-data): można użyć tylko "
                "własnej siatki."};
    case WindowText::StockNoteTextNearPaperEdge:
        return {K::None, I::None, WindowText::Count,
                "Note: the text keeps only %s mm from the paper's edge, not %s mm: the labels (sizes %s) are too "
                "small for more. Many printers cannot print that near the edge.",
                "Uwaga: tekst jest tylko %s mm od krawędzi papieru, a nie %s mm: nalepki (rozmiary %s) są na to za "
                "małe. Wiele drukarek nie drukuje tak blisko krawędzi."};
    case WindowText::Count: break;
    }
    return {K::None, I::None, WindowText::Count, "", ""};
}

} // namespace

std::string stockProblemText(const StockProblem& problem, Language language)
{
    using P = StockProblem::Id;
    using W = WindowText;
    W text = W::Count;
    switch (problem.id) {
    case P::NoPaperSize: text = W::StockProblemNoPaperSize; break;
    case P::NoLabelSize: text = W::StockProblemNoLabelSize; break;
    case P::NoLabels: text = W::StockProblemNoLabels; break;
    case P::TooManyLabels: text = W::StockProblemTooManyLabels; break;
    case P::OffThePaper: text = W::StockProblemOffThePaper; break;
    case P::Overlap: text = W::StockProblemOverlap; break;
    case P::NotRectangular: text = W::StockProblemNotRectangular; break;
    case P::NoSizeChosen: text = W::StockProblemNoSizeChosen; break;
    case P::OneTableOnly: text = W::StockProblemOneTableOnly; break;
    case P::TooSmallNoneFits: text = W::StockProblemTooSmallNoneFits; break;
    case P::TooSmallOneFits: text = W::StockProblemTooSmallOneFits; break;
    case P::TooSmall: text = W::StockProblemTooSmall; break;
    case P::NoFolder: text = W::StockProblemNoFolder; break;
    case P::FolderInTheWay: text = W::StockProblemFolderInTheWay; break;
    case P::CannotWrite: text = W::StockProblemCannotWrite; break;
    case P::CannotPlace: text = W::StockProblemCannotPlace; break;
    case P::CannotPlaceAfterOthers: text = W::StockProblemCannotPlaceAfterOthers; break;
    case P::PaperOutOfRange: text = W::StockProblemPaperOutOfRange; break;
    case P::LabelOutOfRange: text = W::StockProblemLabelOutOfRange; break;
    case P::StartPastSheet: text = W::StockProblemStartPastSheet; break;
    case P::GridShape: text = W::StockProblemGridShape; break;
    case P::RollShape: text = W::StockProblemRollShape; break;
    case P::GridPaper: text = W::StockProblemGridPaper; break;
    case P::GridPaperLength: text = W::StockProblemGridPaperLength; break;
    case P::GridCounts: text = W::StockProblemGridCounts; break;
    case P::GridLength: text = W::StockProblemGridLength; break;
    case P::SheetUnknown: text = W::StockProblemSheetUnknown; break;
    case P::StockDatabaseMissing: text = W::StockProblemDatabaseMissing; break;
    case P::TextNearPaperEdge: text = W::StockNoteTextNearPaperEdge; break;
    case P::Count: break;
    }
    return textFor(text, language, problem.args);
}

TextEntry textEntry(WindowText id)
{
    return windowEntryOf(id);
}

std::string stockDescriptionText(const std::string& description, Language language)
{
    if (language != Language::Polish)
        return description;
    // The catalogue's descriptions of most of its stocks, letter case aside.
    static constexpr std::pair<std::string_view, std::string_view> kPolish[] = {
        {"rectangular labels", "Nalepki prostokątne"},
        {"rounded rectangular labels", "Nalepki prostokątne o zaokrąglonych rogach"},
        {"cd/dvd labels", "Nalepki na płyty CD/DVD"},
        {"cd/dvd labels (face only)", "Nalepki na płyty CD/DVD (tylko front)"},
        {"cd/dvd labels (disc labels)", "Nalepki na płyty CD/DVD"},
        {"cd labels", "Nalepki na płyty CD"},
        {"round labels", "Nalepki okrągłe"},
        {"address labels", "Nalepki adresowe"},
        {"large address labels", "Duże nalepki adresowe"},
        {"return address labels", "Nalepki z adresem zwrotnym"},
        {"shipping labels", "Nalepki wysyłkowe"},
        {"mailing labels", "Nalepki adresowe"},
        {"business cards", "Wizytówki"},
        {"square labels", "Nalepki kwadratowe"},
        {"elliptical labels", "Nalepki eliptyczne"},
        {"pvc labels", "Nalepki PVC"},
        {"labels a4", "Nalepki A4"},
        {"labels a5", "Nalepki A5"},
        {"labels a6", "Nalepki A6"},
        {"photo labels", "Nalepki fotograficzne"},
        {"allround labels", "Nalepki uniwersalne"},
        {"multi-purpose labels", "Nalepki uniwersalne"},
        {"multipurpose labels", "Nalepki uniwersalne"},
        {"file folder labels", "Nalepki na teczki"},
        {"filing labels", "Nalepki na teczki"},
        {"lever arch file labels", "Nalepki na segregatory"},
        {"arch file labels", "Nalepki na segregatory"},
        {"divider labels", "Nalepki na przekładki"},
        {"name badges", "Identyfikatory"},
        {"barcode labels", "Nalepki z kodem kreskowym"},
        {"full sheet labels", "Nalepki na cały arkusz"},
        {"mini labels", "Małe nalepki"},
    };
    for (const auto& [english, polish] : kPolish)
        if (text::equalNoCase(description, english))
            return std::string(polish);
    return description;
}

} // namespace cardmill
