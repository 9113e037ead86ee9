#include "merge/WordMergeDriver.h"

#include <gtest/gtest.h>

#include "RecordingWordProcessor.h"
#include "engine/ConversionRun.h"
#include "support/FakeHost.h"
#include "support/TempDir.h"
#include "ui/Texts.h"

namespace cardmill {
namespace {

using test::FakeHost;
using test::readFile;
using test::RecordingWordProcessor;
using test::TempDir;

TEST(MainDocumentForPass, KeepsTheExtensionOfAnUnderscoreOneName)
{
    EXPECT_EQ(mainDocumentForPass("/qsl/card_1.doc", {3}), "/qsl/card_3.doc");
    EXPECT_EQ(mainDocumentForPass("/qsl/card_1.doc", {10}), "/qsl/card_10.doc");
    EXPECT_EQ(mainDocumentForPass("/qsl/card_1.doc", PassSelector::swl()), "/qsl/card_swl.doc");
    EXPECT_EQ(mainDocumentForPass("/qsl/card_1.docx", {3}), "/qsl/card_3.docx");
    EXPECT_EQ(mainDocumentForPass("/qsl/CARD_1.ODT", PassSelector::swl()), "/qsl/CARD_swl.ODT");
    // Any other name loses its last six characters.
    EXPECT_EQ(mainDocumentForPass("/qsl/card.doc", {2}), "/qsl/ca_2.doc");
    EXPECT_EQ(mainDocumentForPass("/q_1.x/card_1.txt", {2}), "/q_1.x/card_2.doc");
}

class Driver : public ::testing::Test {
protected:
    Driver()
    {
        std::filesystem::create_directories(dir / "exe");
        host.mainDocument = dir.write("card_1.doc", "main");
        host.keepTemporary = false;
    }
    std::filesystem::path base() const { return dir / "my"; }
    std::string table() const { return (dir / "exe" / "temporary.doc").string(); }

    TempDir dir;
    FakeHost host;
    RecordingWordProcessor word;
    WordMergeDriver driver{word, host, dir / "exe"};
};

TEST_F(Driver, APassCallsTheOperationsInOrderWithTheirArguments)
{
    dir.write("my_3.txt", "HEADER,A\r\nDL1AA,x\r\nDL1AA,y\r\n");
    dir.write("card_3.doc", "main 3");
    driver.runPass(base(), {3});
    const std::string main3 = (dir / "card_3.doc").string();
    EXPECT_EQ(word.calls, (std::vector<std::string>{
                              "disconnect",
                              "connect",
                              "Documents.Add()",
                              "ActiveDocument() = 1",
                              "Selection.Range()",
                              "Range.Collapse(101, 0)",
                              "Range.InsertAfter(101, HEADER,A)",
                              "Range.InsertParagraphAfter(101)",
                              "Range.InsertAfter(101, DL1AA,x)",
                              "Range.InsertParagraphAfter(101)",
                              "Range.InsertAfter(101, DL1AA,y)",
                              "Range.InsertParagraphAfter(101)",
                              "Range.ConvertToTable(101, \",\", 16)",
                              "Document.SaveAs(1, " + table() + ", 0, false)",
                              "Document.Close(1)",
                              "Documents.Open(" + main3 + ")",
                              "MailMerge.OpenDataSource(2, " + table() + ", 0)",
                              "MailMerge.Destination(2, 0)",
                              "MailMerge.Execute(2, false)",
                              "ActiveDocument() = 3",
                              "Document.Close(2)",
                              "disconnect",
                              "disconnect",
                          }));
    EXPECT_FALSE(std::filesystem::exists(table())); // deleted unless the option keeps it
    EXPECT_EQ(host.progressMaximum, 3u);
    EXPECT_EQ(host.progressPosition, 3u);
    const auto id = [](TextId t) { return std::to_string(static_cast<int>(t)); };
    EXPECT_EQ(host.statuses,
              (std::vector<std::string>{id(TextId::StatusMergeSend) + "3", id(TextId::StatusMergeConvert) + "3",
                                        id(TextId::StatusMergeSave) + "3", id(TextId::StatusMergeOpen) + "3",
                                        id(TextId::StatusMergeMerge) + "3", id(TextId::StatusMergeClose), ""}));
}

TEST_F(Driver, PassesRunOnlyForExistingFilesAndSwlHasItsOwnTexts)
{
    for (int k = 1; k <= 10; ++k)
        driver.runPass(base(), {k});
    EXPECT_TRUE(word.calls.empty());
    EXPECT_TRUE(host.statuses.empty());

    dir.write("my_swl.txt", "HEADER\r\nSP-1,x\r\n");
    dir.write("card_swl.doc", "swl");
    host.keepTemporary = true;
    driver.runPass(base(), PassSelector::swl());
    EXPECT_EQ(host.statuses.front(), std::to_string(static_cast<int>(TextId::StatusMergeSendSwl)));
    EXPECT_NE(std::find(word.calls.begin(), word.calls.end(), "Documents.Open(" + (dir / "card_swl.doc").string() + ")"),
              word.calls.end());
    EXPECT_EQ(readFile(table()), "HEADER\nSP-1,x\n"); // kept: the option is ticked
}

TEST(MergeTexts, BothLanguagesWithTheirMissingBlanks)
{
    EXPECT_EQ(textFor(TextId::StatusMergeConvert, Language::Polish, "3"), "Konwertowanie danych z 3QSO do tabeli MS Worda");
    EXPECT_EQ(textFor(TextId::StatusMergeSave, Language::English, "3"), "Saving datasource with 3QSO(s) as MS Word document");
    EXPECT_EQ(textFor(TextId::StatusMergeSend, Language::Polish, "2"),
              "Wysyłanie przekonwertowanych danych dla 2 QSO do MS Worda...");
    EXPECT_EQ(textFor(TextId::StatusMergeSave, Language::Polish, "2"),
              "Zapisywanie źródła danych z 2 QSO jako dokumentu MS Worda");
    EXPECT_EQ(textFor(TextId::StatusMergeOpen, Language::Polish, "2"), "Otwieranie źródła danych z 2 QSO.");
    EXPECT_EQ(textFor(TextId::StatusMergeMerge, Language::Polish, "2"), "Wstawianie danych z 2 QSO do szablonu.");
    EXPECT_EQ(textFor(TextId::StatusMergeClose, Language::Polish), "Zamykanie szablonu");
    EXPECT_EQ(textFor(TextId::StatusMergeOpenSwl, Language::English), "Opening datasource with SWL report(s)");
}

TEST_F(Driver, AStopFlagFoundBeforeTheFirstLineEndsThePassOnly)
{
    dir.write("my_1.txt", "HEADER\r\nDL1AA\r\n");
    host.stopFlag = true;
    host.stopEnabled = true;
    driver.runPass(base(), {1});
    EXPECT_EQ(word.callsWithoutText(),
              (std::vector<std::string>{"disconnect", "connect", "Documents.Add()", "ActiveDocument() = 1",
                                        "Selection.Range()", "Range.Collapse(101, 0)", "disconnect", "connect",
                                        "Application.Visible(true)", "disconnect", "disconnect"}));
    EXPECT_EQ(word.inserted, "");
    EXPECT_EQ(host.messageIds(), std::vector<TextId>{TextId::ProcessStopped});
    EXPECT_FALSE(host.stopFlag);
    EXPECT_FALSE(host.stopEnabled);
    EXPECT_FALSE(host.progressVisible);
    EXPECT_FALSE(std::filesystem::exists(table()));
}

TEST_F(Driver, ProcessorErrorsLeaveThePassAndDisconnect)
{
    dir.write("my_4.txt", "HEADER\r\nDL1AA\r\n");
    try {
        driver.runPass(base(), {4});
        FAIL() << "no error";
    } catch (const WordProcessorError& e) {
        EXPECT_EQ(std::string(e.what()), "This file could not be found: " + (dir / "card_4.doc").string());
    }
    EXPECT_EQ(word.calls.back(), "disconnect");
    EXPECT_TRUE(std::filesystem::exists(table())); // saved before the failing open: it stays

    for (const char* op : {"Document.SaveAs", "MailMerge.Execute", "Range.ConvertToTable"}) {
        RecordingWordProcessor failing;
        failing.failures[op] = std::string(op) + " failed";
        WordMergeDriver d(failing, host, dir / "exe");
        dir.write("card_4.doc", "main 4");
        EXPECT_THROW(d.runPass(base(), {4}), WordProcessorError) << op;
        EXPECT_EQ(failing.calls.back(), "disconnect") << op;
    }
}

TEST_F(Driver, AWholeRunThroughTheDriver)
{
    host.size = 2;
    host.work = dir / "exe";
    host.log = dir.write("my.adi", "<EOH>\n<CALL:5>DL1AA <QSO_DATE:8>20060923 <TIME_ON:4>1200 <BAND:3>20M <MODE:2>CW <EOR>\n"
                                   "<CALL:5>DL1AA <QSO_DATE:8>20060924 <TIME_ON:4>1200 <BAND:3>20M <MODE:2>CW <EOR>\n"
                                   "<CALL:5>SP1AB <QSO_DATE:8>20060924 <TIME_ON:4>1200 <BAND:3>20M <MODE:2>CW <EOR>\n");
    dir.write("card_2.doc", "main 2");
    ConversionRun run(host, &driver);
    EXPECT_EQ(run.run(), RunOutcome::Done);
    std::vector<std::string> opened;
    for (const std::string& c : word.calls)
        if (c.rfind("Documents.Open", 0) == 0)
            opened.push_back(c);
    EXPECT_EQ(opened, (std::vector<std::string>{"Documents.Open(" + (dir / "card_1.doc").string() + ")",
                                                "Documents.Open(" + (dir / "card_2.doc").string() + ")"}));
    EXPECT_EQ(word.calls.back(), "Application.Visible(true)");
    EXPECT_EQ(host.messageIds(), std::vector<TextId>{TextId::AllSent});

    // A missing main document for a later size abandons the run: no final message, the status is cleared.
    std::filesystem::remove(dir / "card_2.doc");
    host.messages.clear();
    word.calls.clear();
    word.visibleCalls = 0;
    EXPECT_EQ(run.run(), RunOutcome::Abandoned);
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find("card_2.doc"), std::string::npos);
    EXPECT_EQ(word.visibleCalls, 0);
    EXPECT_EQ(host.statuses.back(), "");
    EXPECT_FALSE(host.progressVisible);
}

TEST(TextDecoding, EachValueOnItsOwn)
{
    EXPECT_EQ(decodeValue("Zdzis\xc5\x82\x61w"), "Zdzis\xc5\x82\x61w");      // UTF-8 stays
    EXPECT_EQ(decodeValue("Zdzis\xb3\x61w"), "Zdzis\xc5\x82\x61w");          // Windows-1250 "ł"
    EXPECT_EQ(decodeValue("\xa3\xf3\x64\x9f"), "\xc5\x81\xc3\xb3\x64\xc5\xba"); // "Łódź"
    EXPECT_EQ(decodeValue("a\x81z"), "a\xef\xbf\xbdz");                       // undefined in Windows-1250
    EXPECT_FALSE(isValidUtf8("\xc0\xaf"));                                  // overlong
    EXPECT_FALSE(isValidUtf8("\xed\xa0\x80"));                              // surrogate
    EXPECT_FALSE(isValidUtf8("\xe2\x82"));                                  // cut short
    EXPECT_TRUE(isValidUtf8("\xf0\x9f\x93\xbb"));
}

} // namespace
} // namespace cardmill
