// Marking the QSOs that got labels as sent: the record edits, and the two files for real logs of many loggers.
#include "engine/SentMarks.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "engine/ConversionRun.h"
#include "engine/DataSourceFiles.h"
#include "engine/LineComposer.h"
#include "engine/RunInputs.h"
#include "tests/engine/RunFixture.h"

namespace cardmill {
namespace {

using test::readFile;

const SentMarking kBureau{true, 'B'};
const SentMarking kNoVia{true, 0};

TEST(SentMarks, FieldsAreReplacedWhereTheyStandAndAddedBeforeTheEnd)
{
    // Replaced in place, the tag's spelling and type kept, the length in bytes.
    EXPECT_EQ(markedRecord("<call:5>DL1AA <qsl_sent:1:S>N <QSLSDATE:8:D>20200101 <mode:2>CW <eor>", kNoVia, "20261208"),
              "<call:5>DL1AA <qsl_sent:1:S>Y <QSLSDATE:8:D>20261208 <mode:2>CW <eor>");
    // Missing fields go before "<EOR>", after a blank: the one there, or one of their own.
    EXPECT_EQ(markedRecord("<CALL:5>DL1AA <EOR>", kBureau, "20261208"),
              "<CALL:5>DL1AA <QSL_SENT:1>Y <QSLSDATE:8>20261208 <QSL_SENT_VIA:1>B <EOR>");
    EXPECT_EQ(markedRecord("<CALL:5>DL1AA<EOR>\r\n", kNoVia, "20261208"),
              "<CALL:5>DL1AA <QSL_SENT:1>Y <QSLSDATE:8>20261208<EOR>\r\n");
    // An existing QSL_SENT_VIA stays when none is chosen, and is replaced when one is.
    const std::string direct = "<CALL:5>DL1AA <QSL_SENT_VIA:1>D <QSL_SENT:0> <EOR>";
    EXPECT_EQ(markedRecord(direct, kNoVia, "20261208"),
              "<CALL:5>DL1AA <QSL_SENT_VIA:1>D <QSL_SENT:1>Y <QSLSDATE:8>20261208 <EOR>");
    EXPECT_EQ(markedRecord(direct, kBureau, "20261208").find("<QSL_SENT_VIA:1>B <QSL_SENT:1>Y"), 14u);
}

TEST(SentMarks, TheRecordsOwnLinesAndNeighboursStay)
{
    // A field split by a line end, a record over several lines, and a second record after "<EOR>" on its line.
    const std::string raw =
        "<CALL:5>DL1AA\r\n<QSL_SE\r\nNT:1>N <NAME:11>Hans\r\nMueller\n<EOR> <CALL:4>X1YZ <QSL_SENT:1>R <EOR>\r\n";
    EXPECT_EQ(markedRecord(raw, kNoVia, "20261208"),
              "<CALL:5>DL1AA\r\n<QSL_SENT:1>Y <NAME:11>Hans\r\nMueller\n <QSLSDATE:8>20261208<EOR> <CALL:4>X1YZ "
              "<QSL_SENT:1>R <EOR>\r\n");
    // The record alone, lengths in bytes, values byte for byte: a value that spans lines keeps its line break.
    EXPECT_EQ(sentRecord(raw, kNoVia, "20261208"),
              "<CALL:5>DL1AA <QSL_SENT:1>Y <NAME:13>Hans\r\nMueller <QSLSDATE:8>20261208 <EOR>\r\n");
    EXPECT_EQ(sentRecord("<ADDRESS:22>1 Main St\r\nSpringfield <CALL:4>K1AB <EOR>", kNoVia, "20261208"),
              "<ADDRESS:22>1 Main St\r\nSpringfield <CALL:4>K1AB <QSL_SENT:1>Y <QSLSDATE:8>20261208 <EOR>\r\n");
    // A length that counts characters becomes one that counts bytes.
    EXPECT_EQ(sentRecord("<NAME:6>\xC5\x81ukasz <QTH:3:S>Pec <EOR>", kBureau, "20261208"),
              "<NAME:7>\xC5\x81ukasz <QTH:3:S>Pec <QSL_SENT:1>Y <QSLSDATE:8>20261208 <QSL_SENT_VIA:1>B <EOR>\r\n");
    // A value declared longer than it is stops at the next tag.
    EXPECT_EQ(sentRecord("<QSLMSG:38>Danke\n\nGUD DX\n<QSO_DATE:8>20250712 <EOR>", kNoVia, "20261208"),
              "<QSLMSG:13>Danke\n\nGUD DX <QSO_DATE:8>20250712 <QSL_SENT:1>Y <QSLSDATE:8>20261208 <EOR>\r\n");
    // A field of the marking met twice is written once; comments and length-less tags are left out.
    EXPECT_EQ(sentRecord("<QSL_SENT:1>N // sent? <qsl_sent:1>R <APP_X_EOF> <EOR>", kNoVia, "20261208"),
              "<QSL_SENT:1>Y <QSLSDATE:8>20261208 <EOR>\r\n");
}

TEST(SentMarks, MarkupInsideAValueIsTheValuesAndAFieldMetTwiceEndsWithOneValue)
{
    // A comment that holds a QSL_SENT tag, or an "<eor>", is the comment's text: the real field is marked.
    EXPECT_EQ(markedRecord("<CALL:5>DL1AA <COMMENT:13><QSL_SENT:1>Y <QSL_SENT:1>N <EOR>", kNoVia, "20261208"),
              "<CALL:5>DL1AA <COMMENT:13><QSL_SENT:1>Y <QSL_SENT:1>Y <QSLSDATE:8>20261208 <EOR>");
    EXPECT_EQ(sentRecord("<CALL:5>DL1AA <COMMENT:13><QSL_SENT:1>Y <QSL_SENT:1>N <EOR>", kNoVia, "20261208"),
              "<CALL:5>DL1AA <COMMENT:13><QSL_SENT:1>Y <QSL_SENT:1>Y <QSLSDATE:8>20261208 <EOR>\r\n");
    EXPECT_EQ(markedRecord("<CALL:5>DL1AA <COMMENT:15>see <eor> above <MODE:2>CW <EOR>\r\n", kNoVia, "20261208"),
              "<CALL:5>DL1AA <COMMENT:15>see <eor> above <MODE:2>CW <QSL_SENT:1>Y <QSLSDATE:8>20261208 <EOR>\r\n");
    // A length that would carry the value into the next record is no value: it ends at the next tag.
    EXPECT_EQ(
        markedRecord("<CALL:5>DL1AA <COMMENT:30>short<EOR>\r\n<CALL:5>DL2BB <MODE:2>CW <EOR>\r\n", kNoVia, "20261208"),
        "<CALL:5>DL1AA <COMMENT:30>short <QSL_SENT:1>Y <QSLSDATE:8>20261208<EOR>\r\n<CALL:5>DL2BB <MODE:2>CW "
        "<EOR>\r\n");
    // QSL_SENT twice (readers take the first or the last): one field is left, the new value.
    EXPECT_EQ(markedRecord("<QSL_SENT:1>N <CALL:5>DL1AA <qsl_sent:1>R <QSLSDATE:8>20200101 <EOR>", kNoVia, "20261208"),
              "<QSL_SENT:1>Y <CALL:5>DL1AA  <QSLSDATE:8>20261208 <EOR>");
}

using SentMarksRun = test::RunFixture;

TEST_F(SentMarksRun, OnlyTheLabelledRecordsOfASuccessfulRunAreMarked)
{
    host.settings.dateRange = true;
    host.settings.from = {2006, 9, 23};
    host.settings.to = {2006, 9, 24};
    writeLog(qso("DL1AA") + qso("DL2BB", "20050101") +                                    // the second is filtered out
             "<CALL:5>DL3CC <QSO_DATE:8>20060923 <TIME_ON:4>1200 <BAND:3>20M <EOR>\r\n" + // no MODE: still a label
             qso("SP9XYZ_SWL", "20060923", "1200", " <COMMENT:12>WKD: dl1abc ") +         // an SWL report in the log
             qso("DL4DD", "2006O924"));                                                   // unreadable date: no label
    host.swl = dir.write("logs/swl.adi",
                         "<EOH>\n" + qso("SP-001", "19990101", "0700", " <APP_LOGGER32_STATION_IN_QSO_WITH:5>DL1AA"));
    host.marking = kBureau;
    EXPECT_EQ(runIt(), RunOutcome::Done);
    const std::string sent = readFile(file("_sent.adi"));
    for (const char* call : {"DL1AA", "DL3CC", "SP9XYZ_SWL"})
        EXPECT_NE(sent.find(call), std::string::npos) << call;
    for (const char* call : {"DL2BB", "DL4DD", "SP-001"})
        EXPECT_EQ(sent.find(call), std::string::npos) << call;
    EXPECT_NE(readFile(dir / "logs" / "swl_sent.adi").find("SP-001"), std::string::npos);
    ASSERT_EQ(host.summaries.back().marked.size(), 2u);
    EXPECT_EQ(host.summaries.back().marked[0].qsos, 3u);
    EXPECT_EQ(host.summaries.back().marked[1].sent, dir / "logs" / "swl_sent.adi");

    // A filter for QSOs not yet sent finds none of them in the updated log.
    std::filesystem::copy_file(file("_updated.adi"), dir / "logs" / "again.adi");
    host.log = dir / "logs" / "again.adi";
    host.swl.clear();
    host.settings.dateRange = false;
    host.settings.qslEnabled[QslFilter::Sent] = true;
    host.settings.qslTicked[{QslFilter::Sent, QslBox::N}] = true;
    host.settings.qslTicked[{QslFilter::Sent, QslBox::Blank}] = true;
    host.marking = {};
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_EQ(readFile(dir / "logs" / "again_1.txt").find("DL1AA"), std::string::npos);
    EXPECT_NE(readFile(dir / "logs" / "again_1.txt").find("DL2BB"), std::string::npos);
}

TEST_F(SentMarksRun, AnSwlFileOfTheLogsBaseHasMarksOfItsOwn)
{
    // "my.log.adi" and "my.swl" (or "my.swl.adi") share the <base> "my": the SWL file's marks go to
    // "my_swl_sent.adi" and "my_swl_updated.adi", and the log's stay the log's.
    writeLog(qso("DL1AA") + qso("DL2BB") + qso("DL3CC"));
    for (const char* name : {"logs/my.swl", "logs/my.swl.adi"}) {
        host.swl = dir.write(name, "<EOH>\n" + qso("SP-001", "19990101", "0700", " <COMMENT:12>WKD: dl1aa "));
        host.marking = kBureau;
        ASSERT_EQ(runIt(), RunOutcome::Done) << name;
        const std::string updated = readFile(file("_updated.adi"));
        for (const char* call : {"DL1AA", "DL2BB", "DL3CC"})
            EXPECT_NE(updated.find(call), std::string::npos) << call;
        EXPECT_EQ(updated.find("SP-001"), std::string::npos);
        EXPECT_NE(readFile(file("_swl_updated.adi")).find("SP-001"), std::string::npos);
        EXPECT_EQ(readFile(file("_swl_sent.adi")).find("DL2BB"), std::string::npos);
        ASSERT_EQ(host.summaries.back().marked.size(), 2u);
        EXPECT_EQ(host.summaries.back().marked[1].sent, file("_swl_sent.adi"));
        std::filesystem::remove(host.swl);
    }
    // Two outputs of one name are refused, whatever spelling leads there.
    EXPECT_EQ(outputTwice({dir / "logs" / "a.txt", dir / "logs" / "." / "b.txt"}), std::nullopt);
    const auto twice = outputTwice({dir / "logs" / "a.txt", dir / "logs" / "x" / ".." / "a.txt"});
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->id, TextId::OutputTwice);
}

TEST_F(SentMarksRun, StoppedFailedAndNoDataRunsMarkNothing)
{
    writeLog(qso("DL1AA") + qso("DL2BB"));
    host.marking = kNoVia;
    maker.failFor = {"card_1.doc"};
    EXPECT_EQ(runIt(), RunOutcome::Abandoned);
    maker.failFor.clear();
    int events = 0;
    host.onStopCheck = [&](int) {
        if (++events == 4)
            host.stopFlag = true;
    };
    EXPECT_EQ(runIt(), RunOutcome::Stopped);
    host.onStopCheck = nullptr;
    host.settings.callEnabled = true;
    host.settings.call = "K1ABC";
    EXPECT_EQ(runIt(), RunOutcome::NoData);
    EXPECT_FALSE(std::filesystem::exists(file("_sent.adi")));
    EXPECT_FALSE(std::filesystem::exists(file("_updated.adi")));
    // The log and the complete data-source file of the run whose merge failed; no temporary file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "logs"), {}), 2);
}

TEST_F(SentMarksRun, SeveralRecordsOnALineAndACommentHoldingAnEorAreMarkedEach)
{
    writeLog("<CALL:5>DL1AA <QSO_DATE:8>20060923 <TIME_ON:4>1200 <BAND:3>20M <MODE:2>CW <QSL_SENT:1>N <EOR> "
             "<CALL:5>DL2BB <QSO_DATE:8>20060923 <TIME_ON:4>1300 <BAND:3>40M <MODE:2>CW <EOR>\r\n"
             "<CALL:5>DL3CC <QSO_DATE:8>20060923 <TIME_ON:4>1400 <BAND:3>20M <MODE:2>CW <COMMENT:15>see <eor> "
             "above <QSL_SENT:1>N <EOR>\r\n");
    host.marking = kNoVia;
    EXPECT_EQ(runIt(), RunOutcome::Done);
    const std::string updated = readFile(file("_updated.adi"));
    EXPECT_EQ(updated, "header <EOH>\r\n"
                       "<CALL:5>DL1AA <QSO_DATE:8>20060923 <TIME_ON:4>1200 <BAND:3>20M <MODE:2>CW <QSL_SENT:1>Y "
                       "<QSLSDATE:8>" +
                           std::get<0>(utcDateAndTimestamp()) +
                           " <EOR> <CALL:5>DL2BB <QSO_DATE:8>20060923 <TIME_ON:4>1300 <BAND:3>40M <MODE:2>CW "
                           "<QSL_SENT:1>Y <QSLSDATE:8>" +
                           std::get<0>(utcDateAndTimestamp()) +
                           " <EOR>\r\n<CALL:5>DL3CC <QSO_DATE:8>20060923 <TIME_ON:4>1400 <BAND:3>20M <MODE:2>CW "
                           "<COMMENT:15>see <eor> above <QSL_SENT:1>Y <QSLSDATE:8>" +
                           std::get<0>(utcDateAndTimestamp()) + " <EOR>\r\n");
    const std::string sent = readFile(file("_sent.adi"));
    EXPECT_NE(sent.find("<COMMENT:15>see <eor> above <QSL_SENT:1>Y"), std::string::npos);
    // The reader read the comment's tail as a text of its own, no QSO; the marking knows it for part of the
    // record before it.
    EXPECT_EQ(host.summaries.back().marked.at(0).qsos, 3u);
    EXPECT_EQ(output(1).find(",0,"), std::string::npos);
}

TEST_F(SentMarksRun, ALogThatChangedDuringTheRunIsNotMarked)
{
    const std::string log = qso("DL1AA") + qso("DL2BB");
    // A QSO added at the top, the log cut short, the same bytes changed with the time of change put back,
    // the file replaced by another of the same content.
    const std::vector<std::function<void()>> changes{
        [&] { writeLog(qso("SP9NEW") + log); },
        [&] { writeLog(qso("DL1AA")); },
        [&] {
            const auto before = std::filesystem::last_write_time(file(".log.adi"));
            writeLog(qso("DL1AB") + qso("DL2BB"));
            std::filesystem::last_write_time(file(".log.adi"), before);
        },
        [&] {
            dir.write("logs/other.adi", "header <EOH>\r\n" + log);
            std::filesystem::rename(dir / "logs" / "other.adi", file(".log.adi"));
        },
    };
    host.marking = kBureau;
    for (const auto& change : changes) {
        writeLog(log);
        maker.beforeMake = change;
        const std::string during = [&] {
            maker.merges.clear();
            EXPECT_EQ(runIt(), RunOutcome::Abandoned);
            return readFile(file(".log.adi"));
        }();
        const RunSummary& summary = host.summaries.back();
        ASSERT_TRUE(summary.notMarked);
        EXPECT_EQ(summary.notMarked->id, FailureId::LogChanged);
        EXPECT_EQ(summary.made.size(), 1u); // the labels are made all the same
        EXPECT_TRUE(summary.marked.empty());
        EXPECT_FALSE(std::filesystem::exists(file("_sent.adi")));
        EXPECT_FALSE(std::filesystem::exists(file("_updated.adi")));
        EXPECT_EQ(readFile(file(".log.adi")), during); // the log is left as the change left it
    }
    maker.beforeMake = nullptr;
    writeLog(log);
    EXPECT_EQ(runIt(), RunOutcome::Done);
    EXPECT_TRUE(std::filesystem::exists(file("_updated.adi")));
}

TEST_F(SentMarksRun, AStopWhileMarkingWritesNothingAndKeepsTheRestOfTheRun)
{
    writeLog(qso("DL1AA") + qso("DL2BB"));
    host.marking = kNoVia;
    ConversionRun plain(nullptr); // the data-source files only
    ASSERT_EQ(host.runWith(plain), RunOutcome::Done);
    const std::string sentBefore = readFile(file("_sent.adi")), updatedBefore = readFile(file("_updated.adi"));

    writeLog(qso("DL1AA") + qso("DL2BB") + qso("DL3CC", "2006O923")); // and a bad record
    host.onStopCheck = [&](int) {
        for (const auto& e : std::filesystem::directory_iterator(dir / "logs"))
            if (e.path().filename().string().starts_with(".my_updated.adi.cardmill-"))
                host.stopFlag = true;
    };
    for (ConversionRun* run : {&plain, &this->run}) {
        EXPECT_EQ(host.runWith(*run), RunOutcome::Stopped);
        EXPECT_EQ(host.messageIds().back(), TextId::ProcessStopped);
        EXPECT_EQ(readFile(file("_sent.adi")), sentBefore);
        EXPECT_EQ(readFile(file("_updated.adi")), updatedBefore);
        EXPECT_NE(readFile(file("_bad.txt")).find("DL3CC"), std::string::npos);
        for (const auto& e : std::filesystem::directory_iterator(dir / "logs"))
            EXPECT_EQ(e.path().filename().string().find(".cardmill-"), std::string::npos) << e.path();
    }
}

TEST_F(SentMarksRun, AUtf16LogIsUpdatedInItsOwnEncoding)
{
    const std::u16string body = u"<CALL:5>DL1AA <QSO_DATE:8>20060923 <TIME_ON:4>1200 <BAND:3>20M <MODE:2>CW "
                                u"<NAME:6>\u0141ukasz <COMMENT:1>\U0001F4FB <QSL_SENT:1>N <EOR>\r\n";
    for (const bool bigEndian : {false, true}) {
        // A lone surrogate, which no UTF-8 reader keeps, comes back as it was.
        std::u16string header = u"h\xD800 <EOH>\r\n";
        dir.write("logs/my.log.adi", test::utf16Bytes(header + body, bigEndian));
        host.marking = kNoVia;
        EXPECT_EQ(runIt(), RunOutcome::Done);
        std::u16string marked = body;
        const std::string today = utcDateAndTimestamp().first;
        const std::u16string date(today.begin(), today.end());
        marked.replace(marked.find(u"<QSL_SENT:1>N"), 13, u"<QSL_SENT:1>Y <QSLSDATE:8>" + date);
        EXPECT_EQ(readFile(file("_updated.adi")), test::utf16Bytes(header + marked, bigEndian));
        EXPECT_NE(readFile(file("_sent.adi")).find("<NAME:7>\xC5\x81ukasz"), std::string::npos);
    }
}

// The record chunks of a file with where they lie, by our own reader.
std::vector<std::pair<AdifReader::Span, std::string>> chunks(const std::filesystem::path& file)
{
    const std::string bytes = readFile(file);
    std::vector<std::pair<AdifReader::Span, std::string>> out;
    AdifReader reader(file);
    reader.skipHeader();
    for (AdifReader::Result r; (r = reader.next()) != AdifReader::Result::None;)
        if (r == AdifReader::Result::Record)
            out.emplace_back(reader.span(), bytes.substr(reader.span().begin, reader.span().end - reader.span().begin));
    return out;
}

// The text without the marking's fields and without blanks: what must not change.
std::string withoutMarking(std::string s)
{
    static const std::regex marking("<(QSL_SENT|QSLSDATE|QSL_SENT_VIA)(:[0-9]+)(:[A-Za-z])?>", std::regex::icase);
    std::smatch m;
    std::string out;
    while (std::regex_search(s, m, marking)) {
        const std::size_t length = static_cast<std::size_t>(std::stoul(m[2].str().substr(1)));
        out += m.prefix().str();
        s = m.suffix().str().substr(std::min(length, m.suffix().str().size()));
    }
    out += s;
    std::erase_if(out, [](char c) { return c == ' ' || c == '\t'; });
    return out;
}

TEST(SentMarksCorpus, UpdatedLogsDifferOnlyInTheMarkedFields)
{
    const std::filesystem::path corpus = test::sharedDir() / "corpus" / "adif";
    if (test::sharedDir().empty() || !std::filesystem::is_directory(corpus))
        GTEST_SKIP() << "the shared corpus is not beside the project";
    // Headerless, lower-case tags, type indicators, CR LF and LF, fields over several lines, characters counted.
    for (const char* name : {"pota-noheader-01.adi", "wsjtx-01.adi", "qlog-01-typed.adi", "dxkeeper-01.adi",
                             "lotw-01-crlf.adi", "logger32-04-noheader-ja1nlx.adi", "hamrs-01-pota.adi",
                             "unknown-01-multi-eor-per-line.adi", "adif-org-test-qsos-316.adi"}) {
        SCOPED_TRACE(name);
        test::TempDir dir;
        const std::filesystem::path log = dir / name;
        std::filesystem::copy_file(corpus / name, log);
        test::FakeHost host;
        host.log = log;
        host.marking = kBureau;
        ConversionRun run(nullptr);
        ASSERT_EQ(host.runWith(run), RunOutcome::Done);
        const std::filesystem::path base = baseOf(log);
        EXPECT_EQ(readFile(log), readFile(corpus / name)); // the log itself is never touched

        const auto before = chunks(log);
        const auto after = chunks(SentMarks::updatedPath(base));
        ASSERT_EQ(before.size(), after.size());
        const std::string original = readFile(log), updated = readFile(SentMarks::updatedPath(base));
        std::uint64_t previousBefore = 0, previousAfter = 0;
        std::size_t changed = 0;
        for (std::size_t i = 0; i < before.size(); ++i) {
            // What lies between records is the same, byte for byte.
            ASSERT_EQ(original.substr(previousBefore, before[i].first.begin - previousBefore),
                      updated.substr(previousAfter, after[i].first.begin - previousAfter));
            if (before[i].second != after[i].second) {
                ++changed;
                ASSERT_EQ(withoutMarking(before[i].second), withoutMarking(after[i].second)) << before[i].second;
                EXPECT_NE(after[i].second.find("<QSL_SENT_VIA:1>B"), std::string::npos);
            }
            previousBefore = before[i].first.end;
            previousAfter = after[i].first.end;
        }
        EXPECT_EQ(original.substr(previousBefore), updated.substr(previousAfter));
        EXPECT_EQ(changed, host.summaries.back().marked.at(0).qsos);

        // Read back: both files give the labels the log gave.
        for (const std::filesystem::path& again : {SentMarks::sentPath(base), SentMarks::updatedPath(base)}) {
            test::FakeHost other;
            other.log = again;
            ConversionRun rerun(nullptr);
            ASSERT_EQ(other.runWith(rerun), RunOutcome::Done);
            ASSERT_EQ(rerun.lines().size(), run.lines().size());
            for (std::size_t i = 0; i < run.lines().size(); ++i)
                ASSERT_EQ(rerun.lines()[i], run.lines()[i]) << again;
        }
    }
}

} // namespace
} // namespace cardmill
