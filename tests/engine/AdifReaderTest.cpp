#include "engine/AdifReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/AdifRecord.h"
#include "engine/Failure.h"
#include "engine/LineReader.h"
#include "engine/Text.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::TempDir;

// Every record text of a file, "<empty>" for empty records.
std::vector<std::string> readAll(const std::filesystem::path& path)
{
    AdifReader reader(path);
    reader.skipHeader();
    std::vector<std::string> out;
    for (;;) {
        const AdifReader::Result r = reader.next();
        if (r == AdifReader::Result::None)
            break;
        out.push_back(r == AdifReader::Result::Empty ? "<empty>" : std::string(reader.record()));
    }
    return out;
}

TEST(AdifReader, SkipsHeaderAndReadsRecordsInAnyCase)
{
    TempDir dir;
    const auto log = dir.write("log.adi", "Exported\r\n<adif_ver:5>3.1.0\r\n<eoh>\r\n"
                                          "<call:6>sp1abc <qso_date:8>20060923\r\n<eor>\r\n"
                                          "  <CALL:5>DL1AA <EOR>  \r\n");
    EXPECT_EQ(readAll(log),
              (std::vector<std::string>{"<call:6>sp1abc <qso_date:8>20060923<eor>", "<CALL:5>DL1AA <EOR>"}));
}

TEST(AdifReader, EveryLineEndJoinsWithoutBreakBytes)
{
    TempDir dir;
    // CR LF, lone LF and lone CR each end a line; a NAME broken over lines keeps its counted characters.
    const auto log = dir.write("log.adi", "<EOH>\r\n<NAME:10>Jan \rKowal\nski<CALL:3>\r\nAB1<EOR>\r");
    EXPECT_EQ(readAll(log), (std::vector<std::string>{"<NAME:10>Jan Kowalski<CALL:3>AB1<EOR>"}));
}

// A value whose counted length reaches over a line end counts the line end's bytes, as the file has them, and
// holds a line break there; fields that merely stand on lines of their own read as before.
TEST(AdifReader, AValueOverLineEndsCountsTheirBytes)
{
    TempDir dir;
    const auto log =
        dir.write("log.adi", "<EOH>\r\n<CALL:5>SP1AA\r\n<ADDRESS:21>ul. Dluga 1\r\n00-001 W\r\n"
                             "<MODE:3>CW\r\n<NAME:9>Jan\nKowal<EOR>\r\n<CALL:5>DL1AB <ADDRESS:4>Main<EOR>\r\n");
    AdifReader reader(log);
    reader.skipHeader();
    AdifRecord record;
    ASSERT_TRUE(reader.nextRecord(record));
    EXPECT_EQ(record.declared("CALL").value, "SP1AA");
    EXPECT_EQ(record.declared("ADDRESS").value, "ul. Dluga 1\n00-001 W");
    EXPECT_EQ(record.declared("MODE").value, "CW"); // its line end counted, not the next tag's "<"
    EXPECT_EQ(record.declared("NAME").value, "Jan\nKowal");
    ASSERT_TRUE(reader.nextRecord(record));
    EXPECT_TRUE(reader.recordJoins().empty());
    EXPECT_EQ(record.declared("ADDRESS").value, "Main");
}

TEST(AdifReader, FileWithoutHeaderIsReadFromItsFirstLine)
{
    TempDir dir;
    const auto log = dir.write("log.adi", "<CALL:3>AB1<EOR>\n<CALL:3>AB2<EOR>\n");
    EXPECT_EQ(readAll(log), (std::vector<std::string>{"<CALL:3>AB1<EOR>", "<CALL:3>AB2<EOR>"}));

    // An "<EOH>" that comes after the first "<EOR>" is just text inside a record.
    const auto late = dir.write("late.adi", "<CALL:3>AB1<EOR>\n<COMMENT:5><EOH><CALL:3>AB2<EOR>\n");
    EXPECT_EQ(readAll(late).size(), 2u);
}

TEST(AdifReader, TextAfterEohOnItsLineBeginsTheFirstRecord)
{
    TempDir dir;
    const auto log = dir.write("log.adi", "header<EOH><CALL:3>AB1\n<MODE:2>CW<EOR>\n");
    EXPECT_EQ(readAll(log), (std::vector<std::string>{"<CALL:3>AB1<MODE:2>CW<EOR>"}));
}

TEST(AdifReader, SeveralRecordsOnOneLineAreEachRead)
{
    TempDir dir;
    // Exports without line breaks; a record begun after an "<EOR>" may go on over the next lines, and a field
    // the first record lacks is not found in the next one.
    const auto log = dir.write("log.adi", "<EOH>\n<CALL:3>AB1<EOR> <CALL:3>AB2 <QSL_VIA:4>DL1A<eor><CALL:3>AB3\n"
                                          "<MODE:2>CW<EOR>  \n<CALL:3>AB4<EOR><EOR>\n");
    EXPECT_EQ(readAll(log), (std::vector<std::string>{"<CALL:3>AB1<EOR>", "<CALL:3>AB2 <QSL_VIA:4>DL1A<eor>",
                                                      "<CALL:3>AB3<MODE:2>CW<EOR>", "<CALL:3>AB4<EOR>", "<empty>"}));
    AdifReader reader(log);
    reader.skipHeader();
    AdifRecord record;
    ASSERT_TRUE(reader.nextRecord(record));
    EXPECT_FALSE(record.has("QSL_VIA"));
}

TEST(AdifReader, SpansAreWhereEachRecordLiesInTheFile)
{
    TempDir dir;
    // Without a header, after "<EOH>" on its line, after another record on its line, over several lines.
    for (const std::string& bytes :
         {std::string("<CALL:3>AB1\r\n<EOR><CALL:3>AB2<EOR>\r\n"),
          std::string("head\r\ner<EOH> <CALL:3>AB1<EOR>\n\n<CALL:3>AB2\r<MODE:2>\nCW<EOR> <CALL:3>AB3<EOR>  \n")}) {
        const auto log = dir.write("log.adi", bytes);
        AdifReader reader(log);
        reader.skipHeader();
        AdifRecord record;
        while (reader.nextRecord(record)) {
            const AdifReader::Span span = reader.span();
            const std::string inFile = bytes.substr(span.begin, span.end - span.begin);
            std::string joined;
            for (char c : inFile)
                if (c != '\r' && c != '\n')
                    joined += c;
            EXPECT_EQ(text::trim(joined), record.text()) << inFile;
        }
    }
}

TEST(AdifReader, EmptyRecordsAndTrailingChunks)
{
    TempDir dir;
    // "<eor>" alone is an empty record; blank lines or a truncated record at the end give nothing.
    const auto log = dir.write("log.adi", "<EOH>\n<CALL:3>AB1<EOR>\n <eor> \n\n<CALL:3>AB2<MODE:2>\n\n");
    EXPECT_EQ(readAll(log), (std::vector<std::string>{"<CALL:3>AB1<EOR>", "<empty>"}));
}

TEST(AdifReader, MarkerSplitAcrossLinesIsFound)
{
    TempDir dir;
    // The incremental search must look back over the join: "<EO" + "R>" is a marker once joined.
    const auto log = dir.write("log.adi", "<EOH>\n<CALL:3>AB1<EO\nR>\n<CALL:3>AB2<\nE\nO\nR\n>\n");
    EXPECT_EQ(readAll(log), (std::vector<std::string>{"<CALL:3>AB1<EOR>", "<CALL:3>AB2<EOR>"}));
}

TEST(AdifReader, RawRecordKeepsBlanksAndLineCounterCountsEveryLine)
{
    TempDir dir;
    const auto log = dir.write("log.adi", "a\nb<EOH>\n  <CALL:3>AB1\n<EOR>  \n");
    AdifReader reader(log);
    EXPECT_EQ(reader.lineCounter(), 1u);
    reader.skipHeader();
    EXPECT_EQ(reader.lineCounter(), 3u);
    ASSERT_EQ(reader.next(), AdifReader::Result::Record);
    EXPECT_EQ(reader.rawRecord(), "  <CALL:3>AB1<EOR>  ");
    EXPECT_EQ(reader.lineCounter(), 5u);
    EXPECT_EQ(reader.next(), AdifReader::Result::None);
    EXPECT_TRUE(reader.atEnd());
}

TEST(AdifReader, EmptyAndJunkFilesGiveNoRecord)
{
    TempDir dir;
    EXPECT_TRUE(readAll(dir.write("empty.adi", "")).empty());
    EXPECT_TRUE(readAll(dir.write("junk.adi", std::string("\0\xff\x01<<<>>>:\0", 12))).empty());
    EXPECT_TRUE(readAll(dir.write("header-only.adi", "<EOH>")).empty());
}

TEST(AdifReader, LongSingleLineIsReadRecordByRecord)
{
    TempDir dir;
    std::string line = "<EOH>";
    for (int i = 0; i < 200000; ++i)
        line += "<CALL:3>AB1<MODE:2>CW<EOR>";
    const auto log = dir.write("long.adi", line);
    const auto records = readAll(log);
    ASSERT_EQ(records.size(), 200000u);
    EXPECT_EQ(records.back(), "<CALL:3>AB1<MODE:2>CW<EOR>");
}

TEST(AdifReader, MissingFileOrFolderThrowsIoError)
{
    TempDir dir;
    EXPECT_THROW(AdifReader(dir / "missing.adi"), IoError);
    EXPECT_THROW(AdifReader(dir.path()), IoError);
}

TEST(AdifReader, RecordsAgreeWithJoiningLinesAndSearchingPlainly)
{
    // Markers in every letter case, at every place against the scan's blocks, split by line ends, and
    // near-misses such as "<EOR" or "<EO R>".
    TempDir dir;
    std::mt19937 rng(5);
    const std::string pieces[] = {"<EOR>", "<eOr>", "<EO", "R>",       "<EOR", "<EO R>", "\r\n",
                                  "\n",    "\r",    "abc", "<CALL:3>", "<",    ">"};
    for (int round = 0; round < 300; ++round) {
        std::string body;
        for (std::size_t n = rng() % 40; n > 0; --n) {
            body += pieces[rng() % std::size(pieces)];
            body.append(rng() % 20, 'x');
        }
        const auto log = dir.write("log.adi", "<EOH>\n" + body);

        // The plain way: lines joined with nothing between; once a line completes a marker, a record up to each
        // marker, and what follows the last one (unless blank) begins the next record.
        std::vector<std::string> expected;
        std::string joined, line;
        const auto endLine = [&] {
            joined += line;
            line.clear();
            for (std::size_t eor; (eor = text::upper(joined).find("<EOR>")) != std::string::npos;) {
                const std::string_view record = text::trim(std::string_view(joined).substr(0, eor + 5));
                expected.push_back(record.size() == 5 ? "<empty>" : std::string(record));
                joined.erase(0, eor + 5);
                if (text::trim(joined).empty())
                    joined.clear();
            }
        };
        for (std::size_t i = 0; i < body.size(); ++i) {
            if (body[i] == '\r' || body[i] == '\n') {
                if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n')
                    ++i;
                endLine();
            } else {
                line.push_back(body[i]);
            }
        }
        if (!line.empty())
            endLine();
        ASSERT_EQ(readAll(log), expected) << body;
    }
}

TEST(LineReader, CountsLinesByTheSameRule)
{
    TempDir dir;
    EXPECT_EQ(countLines(dir.write("a", "")), 0u);
    EXPECT_EQ(countLines(dir.write("b", "x")), 1u);
    EXPECT_EQ(countLines(dir.write("c", "x\r\ny\rz\n")), 3u);
    EXPECT_EQ(countLines(dir.write("d", "\r\n\r\n\n")), 3u);
    EXPECT_EQ(countLines(dir.write("e", "x\r")), 1u);
}

TEST(LineReader, CounterAgreesWithTheReaderAtEveryAlignment)
{
    TempDir dir;
    const std::string ends[] = {"\r\n", "\n", "\r", "\r\r\n", "\n\r"};
    for (std::size_t pad = 0; pad < 20; ++pad) {
        for (const std::string& end : ends) {
            const std::string text = std::string(pad, 'a') + end + std::string(17 - pad % 7, 'b') + end + "c";
            const auto path = dir.write("f", text);
            LineReader reader(path);
            std::size_t lines = 0;
            for (std::string line; reader.appendLine(line); line.clear())
                ++lines;
            EXPECT_EQ(countLines(path), lines) << pad;
        }
    }
}

} // namespace
} // namespace cardmill
