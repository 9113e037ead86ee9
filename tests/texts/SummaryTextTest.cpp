// The closing messages of a run, in both languages.
#include <gtest/gtest.h>

#include "texts/Texts.h"

namespace cardmill {
namespace {

// The log's folder, as the system writes an absolute path.
#ifdef _WIN32
#define LOGS "C:\\op\\logs"
#define SEP "\\"
#else
#define LOGS "/home/op/logs"
#define SEP "/"
#endif

RunSummary readyLabels()
{
    RunSummary s;
    s.base = LOGS SEP "sp3kxq";
    s.made = {{{1}, 12, LOGS SEP "sp3kxq_labels_1.docx"},
              {{3}, 94, LOGS SEP "sp3kxq_labels_3.docx"},
              {PassSelector::swl(), 8, LOGS SEP "sp3kxq_labels_swl.docx"}};
    return s;
}

TEST(SummaryText, LabelsAreCountedBySizeWithTheirFolderAndNames)
{
    RunSummary s = readyLabels();
    EXPECT_EQ(summaryText(s, Language::English),
              "Labels are ready: 94 labels of 3 QSOs, 12 of 1 QSO, 8 SWL labels in " LOGS " "
              "(sp3kxq_labels_*.docx).");
    EXPECT_EQ(summaryText(s, Language::Polish),
              "Nalepki są gotowe: 94 nalepki po 3 QSO, 12 po 1 QSO, 8 nalepek SWL w " LOGS " "
              "(sp3kxq_labels_*.docx).");
    s.badRecords = true;
    EXPECT_EQ(summaryText(s, Language::English).substr(summaryText(s, Language::English).find('\n')),
              "\nSome records with erroneous data are saved in \"" LOGS SEP "sp3kxq_bad.txt\" file.");
}

TEST(SummaryText, DrawnLabelsSayWhatThePrinterTookAndWhatTextWasCut)
{
    RunSummary s;
    s.kind = RunSummary::Kind::Drawn;
    s.base = LOGS SEP "log";
    s.pdfs = {LOGS SEP "log_labels.pdf"};
    s.sheets = 10;
    s.printer = "Office";
    s.printedSheets = 10;
    s.cuts.add(3, "DL1AA", "10368.100 MHz");
    s.cuts.add(3, "DL1AA", "via W1AW");
    s.cuts.add(7, "DL2BB", "10368.100 MHz");
    EXPECT_EQ(summaryText(s, Language::English),
              "Labels are ready in " LOGS SEP "log_labels.pdf (labels: 0, sheets: 10).\n"
              "Handed to the printer \"Office\": 10 sheets.\n"
              "Labels with text cut to fit: 2; the first is label 3 (DL1AA): \"10368.100 MHz\".");
    // A print the system refused is said instead, and nothing is claimed to be printed or marked.
    s.printFailure = Failure{FailureId::PrintRefused, {}, "Bad copies value", "Office"};
    s.notMarked = s.printFailure;
    const std::string refused = summaryText(s, Language::English);
    EXPECT_EQ(refused.find("Handed to the printer"), std::string::npos) << refused;
    EXPECT_NE(refused.find("No QSO was marked as sent: The print system did not take the labels for the printer "
                           "\"Office\" (Bad copies value); nothing was printed."),
              std::string::npos)
        << refused;
    EXPECT_NE(summaryText(s, Language::Polish).find("dla drukarki \"Office\""), std::string::npos);
}

TEST(SummaryText, SingularAndPolishPluralForms)
{
    RunSummary s;
    s.made = {{{2}, 1, LOGS SEP "a_labels_2.odt"}, {PassSelector::swl(), 1, LOGS SEP "a_labels_swl.odt"}};
    EXPECT_EQ(summaryText(s, Language::English),
              "Labels are ready: 1 label of 2 QSOs, 1 SWL label in " LOGS " (a_labels_*.odt).");
    EXPECT_EQ(summaryText(s, Language::Polish),
              "Nalepki są gotowe: 1 nalepka po 2 QSO, 1 nalepka SWL w " LOGS " (a_labels_*.odt).");
    // clang-format off
    for (const auto& [n, form] : std::vector<std::pair<std::size_t, std::string>>{
             {2, "nalepki"}, {4, "nalepki"}, {5, "nalepek"}, {12, "nalepek"}, {14, "nalepek"}, {22, "nalepki"},
             {25, "nalepek"}, {112, "nalepek"}, {123, "nalepki"}}) {
        // clang-format on
        s.made = {{{1}, n, "/l/a_labels_1.odt"}};
        EXPECT_NE(summaryText(s, Language::Polish).find(std::to_string(n) + " " + form + " po 1 QSO"),
                  std::string::npos)
            << n;
    }
}

TEST(SummaryText, AFailedMergeNamesWhatFailedWhatWasMadeAndWhatWasKept)
{
    RunSummary s = readyLabels();
    s.kind = RunSummary::Kind::MergeFailed;
    s.made.erase(s.made.begin() + 1);
    s.failed = {{{3}, {FailureId::MainDocumentMissing, "/q/card_3.docx", {}}}};
    EXPECT_EQ(summaryText(s, Language::English),
              "Not every label document could be made.\n"
              "Labels of 3 QSOs: The main document \"/q/card_3.docx\" does not exist\n"
              "Made in this run: 12 labels of 1 QSO, 8 SWL labels in " LOGS " (sp3kxq_labels_*.docx).\n"
              "Label documents of earlier runs are kept as they were.");
    s.made.clear();
    s.failed.push_back({PassSelector::swl(), {FailureId::MergeFailed, "/q/card_swl.odt", "broken XML"}});
    EXPECT_EQ(summaryText(s, Language::Polish),
              "Nie udało się utworzyć wszystkich dokumentów z nalepkami.\n"
              "Nalepki z 3 QSO: Dokument główny \"/q/card_3.docx\" nie istnieje\n"
              "Nalepki SWL: Nie można scalić z \"/q/card_swl.odt\" (broken XML)\n"
              "W tym przebiegu nie utworzono żadnego dokumentu z nalepkami.\n"
              "Dokumenty z nalepkami z wcześniejszych przebiegów pozostały bez zmian.");
}

TEST(SummaryText, FailuresAreSaidInTheProgramsLanguageWithTheSystemsDetail)
{
    const Failure open{FailureId::OpenFile, "/logs/my.adi", "Permission denied"};
    EXPECT_EQ(failureText(open, Language::English), "Cannot open the file \"/logs/my.adi\" (Permission denied)");
    EXPECT_EQ(failureText(open, Language::Polish), "Nie można otworzyć pliku \"/logs/my.adi\" (Permission denied)");
    EXPECT_EQ(failureText({FailureId::PdfNeedsLibreOffice, {}, "\"a.docx\""}, Language::English),
              "Labels as PDF need LibreOffice, which is not installed. The labels are saved as \"a.docx\"");
    EXPECT_EQ(failureText({FailureId::Other, {}, "something odd"}, Language::Polish), "something odd");
    EXPECT_EQ(failureText({FailureId::SettingsWrite, "/c/cardmill.ini", {}}, Language::English),
              "Unable to write to /c/cardmill.ini");
    // Why main documents cannot be made, with the values in their places.
    const StockProblem overlap{StockProblem::Id::Overlap, {"Custom", "1", "2"}};
    EXPECT_EQ(stockProblemText(overlap, Language::English), "Custom: labels 1 and 2 overlap.");
    EXPECT_EQ(stockProblemText(overlap, Language::Polish), "Custom: nalepki 1 i 2 nachodzą na siebie.");
    EXPECT_EQ(stockProblemText({StockProblem::Id::CannotPlaceAfterOthers, {"/d/card_2.odt", "No space left on device"}},
                               Language::English),
              "Cannot put \"/d/card_2.odt\" in place: No space left on device (the documents before it were made)");
}

TEST(SummaryText, NoWordProcessorIsNamedInTheBuiltInTexts)
{
    for (TextId id : {TextId::NoDataEmptyLog, TextId::NoDataFiltered, TextId::NoDataUnreadable,
                      TextId::StatusMergingLabels, TextId::StatusMergingSwlLabels, TextId::LabelsReady})
        for (Language l : {Language::English, Language::Polish}) {
            const std::string t = textFor(id, l, std::vector<std::string>{"3", "card_3.docx", "x"});
            EXPECT_EQ(t.find("Word"), std::string::npos) << t;
            EXPECT_FALSE(t.empty());
        }
    EXPECT_EQ(textFor(TextId::StatusMergingLabels, Language::English, std::vector<std::string>{"3", "card_3.docx"}),
              "Merging 3-QSO labels into card_3.docx...");
    EXPECT_EQ(textFor(TextId::StatusMergingSwlLabels, Language::Polish, std::vector<std::string>{"card_swl.odt"}),
              "Scalanie nalepek SWL do card_swl.odt...");
}

TEST(Texts, EveryTextHasBothLanguagesAndBoxesACaption)
{
    // The tables are switches over the ids, so the compiler refuses an id without its text; here each text has
    // both languages, the same places for values in both, and a box its caption.
    auto places = [](std::string_view s) {
        std::size_t n = 0;
        for (std::size_t at = 0; (at = s.find("%s", at)) != std::string_view::npos; at += 2)
            ++n;
        return n;
    };
    auto check = [&](const TextEntry& e, int i) {
        EXPECT_FALSE(e.english.empty()) << i;
        EXPECT_FALSE(e.polish.empty()) << i;
        EXPECT_EQ(places(e.english), places(e.polish)) << i << ": " << e.english;
        if (e.kind == MessageKind::Box) {
            EXPECT_NE(e.caption, WindowText::Count) << i;
        }
    };
    for (int i = 0; i < static_cast<int>(TextId::Count); ++i)
        check(textEntry(static_cast<TextId>(i)), i);
    for (int i = 0; i < static_cast<int>(WindowText::Count); ++i)
        check(textEntry(static_cast<WindowText>(i)), 1000 + i);
}

} // namespace
} // namespace cardmill
