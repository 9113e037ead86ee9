#include "engine/AdifRecord.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/Text.h"

namespace cardmill {
namespace {

using Status = AdifRecord::Declared::Status;

TEST(AdifRecord, FindsTagsInAnyCaseOnlyAtTheirStart)
{
    const AdifRecord r("<my_call:5>SP1XX <Call:6>sp1abc <COMMENT:10><call:3>x <EOR>");
    EXPECT_EQ(r.find("CALL"), 17u);
    EXPECT_EQ(r.declared("CALL").value, "sp1abc");
    EXPECT_EQ(r.declared("MY_CALL").value, "SP1XX");
    EXPECT_FALSE(r.has("MODE"));
    EXPECT_EQ(r.declared("MODE").status, Status::Absent);
}

TEST(AdifRecord, DeclaredLengthReadsAllDigitsAndPassesOverTheType)
{
    const std::string text = "<CALL:10>SP1ABC/MM1<NAME:5:S>Janek<QSL_VIA:12>W3HNK direct<X:100>" +
                             std::string(100, 'y') + "<MODE:1>A<Q:20>0123";
    const AdifRecord r(text);
    EXPECT_EQ(r.declared("CALL").value, "SP1ABC/MM1");
    EXPECT_EQ(r.declared("NAME").value, "Janek");
    EXPECT_EQ(r.declared("QSL_VIA").value, "W3HNK direct");
    EXPECT_EQ(r.declared("X").value, std::string(100, 'y'));
    EXPECT_EQ(r.declared("MODE").value, "A");
    // Declared longer than what is left: cut at the end of the record text.
    EXPECT_EQ(r.declared("Q").value, "0123");
}

TEST(AdifRecord, UnreadableLengthsAreReportedNotGuessed)
{
    const AdifRecord r("<NAME:x>Jan<QTH>Paris<CALL:3 <OPERATOR:99999999999999999999>OP");
    EXPECT_EQ(r.declared("NAME").status, Status::BadLength);
    EXPECT_EQ(r.declared("QTH").status, Status::Absent); // "<QTH>" is not a tag
    // No ">" after the length: the value cannot be placed.
    EXPECT_EQ(AdifRecord("<CALL:3 abc").declared("CALL").status, Status::BadLength);
    // Twenty digits: a huge length, cut at the end.
    EXPECT_EQ(r.declared("OPERATOR").value, "OP");
    EXPECT_EQ(AdifRecord("<CALL:0>").declared("CALL").value, "");
}

TEST(AdifRecord, PositionalRulesUseTheGreaterThanSign)
{
    const AdifRecord r("<QSO_DATE:8:D>20060923<OPERATOR:4:S>SP1X<CONTEST_ID:7> SP-DX, <QSL_SENT:1>y<QSL_RCVD:0><EOR>");
    EXPECT_EQ(*r.eightCharacters("QSO_DATE"), "20060923");
    EXPECT_EQ(*r.toNextTag("OPERATOR"), "SP1X");
    EXPECT_EQ(*r.toNextTag("CONTEST_ID"), "SP-DX,");
    EXPECT_EQ(*r.firstCharacter("QSL_SENT"), "Y");
    EXPECT_EQ(*r.firstCharacter("QSL_RCVD"), "<"); // an empty value gives the next tag's "<"
    EXPECT_FALSE(r.firstCharacter("QSL_PRINT"));
    EXPECT_EQ(*AdifRecord("<QSO_DATE:8>2006").eightCharacters("QSO_DATE"), "2006");
}

TEST(AdifRecord, EightBitTextKeepsItsPositions)
{
    // Upper-casing touches a-z only, so 8-bit letters keep their bytes and their places.
    const AdifRecord r("<name:6>\xb3\xf3kasz<qth:4>\xc5\x81\xc3\xb3");
    EXPECT_EQ(r.upper(), "<NAME:6>\xb3\xf3KASZ<QTH:4>\xc5\x81\xc3\xb3");
    EXPECT_EQ(r.declared("NAME").value, "\xb3\xf3kasz");
    EXPECT_EQ(r.declared("QTH").value, "\xc5\x81\xc3\xb3");
}

TEST(AdifRecord, LengthsThatCountCharactersKeepLettersWhole)
{
    // "Ferenc Tank\xc3\xb3": 12 characters, 13 bytes, declared as 12 by a logger that counts characters.
    EXPECT_EQ(AdifRecord("<NAME:12>Ferenc Tank\xc3\xb3 <QTH:3>Pec<EOR>").declared("NAME").value, "Ferenc Tank\xc3\xb3");
    // Only multi-byte letters: three characters, six bytes.
    EXPECT_EQ(AdifRecord("<QTH:3>\xc5\x81\xc3\xb3\xc5\xba <EOR>").declared("QTH").value, "\xc5\x81\xc3\xb3\xc5\xba");
    // Straight before the next tag: the six bytes "J\xc3\xbcrge" are valid UTF-8 but followed by "n".
    EXPECT_EQ(AdifRecord("<NAME:6>J\xc3\xbcrgen<QTH:6>L\xc3\xbc\x62\x65\x63k").declared("NAME").value, "J\xc3\xbcrgen");
    // At the end of the record, before its "<EOR>", and at the very end of the text.
    EXPECT_EQ(AdifRecord("<QTH:6>Krak\xc3\xb3w<EOR>").declared("QTH").value, "Krak\xc3\xb3w");
    EXPECT_EQ(AdifRecord("<COUNTRY:3>T\xc3\xbcr").declared("COUNTRY").value, "T\xc3\xbcr");
    // User-defined fields are read the same way.
    EXPECT_EQ(AdifRecord("<MY_CITY:7>Wroc\xc5\x82"
                         "aw <EOR>")
                  .declared("MY_CITY")
                  .value,
              "Wroc\xc5\x82"
              "aw");
}

TEST(AdifRecord, LengthsThatCountBytesReadAsBefore)
{
    // A byte-counted UTF-8 value: the bytes end where the value ends.
    EXPECT_EQ(AdifRecord("<NAME:13>Ferenc Tank\xc3\xb3 <EOR>").declared("NAME").value, "Ferenc Tank\xc3\xb3");
    EXPECT_EQ(AdifRecord("<QTH:7>Krak\xc3\xb3w<EOR>").declared("QTH").value, "Krak\xc3\xb3w");
    // Windows-1250 bytes that look like UTF-8 lead bytes ("\xc3" is "\u0102", "\xf3" is "\u00f3") but are
    // not followed by continuation bytes: never valid UTF-8, so the bytes as they are.
    EXPECT_EQ(AdifRecord("<QTH:6>Krak\xf3w<EOR>").declared("QTH").value, "Krak\xf3w");
    EXPECT_EQ(AdifRecord("<NAME:5>\xc3ukas <EOR>").declared("NAME").value, "\xc3ukas");
    // A length wrong both ways (too short for bytes and characters): the byte reading, as always.
    EXPECT_EQ(AdifRecord("<NAME:3>J\xc3\xbcrgen <EOR>").declared("NAME").value, "J\xc3\xbc");
    EXPECT_EQ(AdifRecord("<NAME:2>J\xc3\xbcrgen <EOR>").declared("NAME").value, "J\xc3");
    // Too long both ways: the bytes up to the length, which swallow the next tag as before.
    EXPECT_EQ(AdifRecord("<NAME:8>J\xc3\xbcrg <QTH:1>X").declared("NAME").value, "J\xc3\xbcrg <Q");
}

// The plain definition the tag index must agree with: the first "<" whose name, up to the first ":", "<" or
// ">", is `name` and ends at a ":".
std::size_t naiveFind(std::string_view upper, std::string_view name)
{
    for (std::size_t at = upper.find('<'); at != std::string_view::npos; at = upper.find('<', at + 1)) {
        const std::size_t end = upper.find_first_of(":<>", at + 1);
        if (end != std::string_view::npos && upper[end] == ':' && upper.substr(at + 1, end - at - 1) == name)
            return at;
    }
    return std::string_view::npos;
}

TEST(AdifRecord, TagIndexAgreesWithAPlainSearch)
{
    // Names that share their first eight bytes, names longer than a block, tags in every block position, "<"
    // inside values, and records too big for the hash.
    // clang-format off
    const std::vector<std::string> names = {"CALL",         "call",     "QSL_RCVD",       "QSL_RCVD_VIA", "QSL_RCVDX",
                                            "GRIDSQUARE",   "X",        "",               "A_VERY_LONG_FIELD_NAME_1",
                                            "A_VERY_LONG_FIELD_NAME_2", "MY_CALL", "TIME_ON"};
    // clang-format on
    std::mt19937 rng(11);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const std::size_t fields = round % 50 == 0 ? 300 : rng() % 20;
        for (std::size_t f = 0; f < fields; ++f) {
            text.append(rng() % 3, ' ');
            text += "<" + names[rng() % names.size()];
            switch (rng() % 6) {
            // clang-format off
            case 0: text += "<"; break;      // not a tag
            case 1: text += ">x"; break;     // not a tag
            default: text += ":" + std::to_string(rng() % 12) + ">"; break;
                // clang-format on
            }
            text.append(rng() % 14, "ab<:>,"[rng() % 6]);
        }
        AdifRecord record(text);
        for (const std::string& name : names) {
            const std::string wanted = text::upper(name);
            ASSERT_EQ(record.find(wanted), naiveFind(record.upper(), wanted)) << text << " / " << wanted;
        }
    }
}

} // namespace
} // namespace cardmill
