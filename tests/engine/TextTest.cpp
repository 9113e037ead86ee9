#include "engine/Text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <random>
#include <string>

#include "engine/LineWriter.h"

namespace cardmill {
namespace {

std::string randomText(std::mt19937& rng, std::string_view alphabet, std::size_t maxSize)
{
    std::string s(rng() % (maxSize + 1), ' ');
    for (char& c : s)
        c = alphabet[rng() % alphabet.size()];
    return s;
}

// The plain definition the block scans must agree with.
std::size_t naiveFindNoCase(std::string_view haystack, std::string_view needle, std::size_t from)
{
    for (std::size_t i = from; i + needle.size() <= haystack.size(); ++i)
        if (text::equalNoCase(haystack.substr(i, needle.size()), needle))
            return i;
    return std::string_view::npos;
}

TEST(Text, FindNoCaseAgreesWithThePlainSearchAtEveryStart)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        const std::string haystack = randomText(rng, "<>eorEOR_swlSWLh:x", 70);
        for (const std::string_view needle : {"<EOR>", "<EOH>", "_SWL", "R>", "<"})
            for (std::size_t from = 0; from <= haystack.size(); from += 1 + rng() % 5)
                ASSERT_EQ(text::findNoCase(haystack, needle, from), naiveFindNoCase(haystack, needle, from))
                    << haystack << " / " << needle << " from " << from;
    }
}

TEST(Text, ParseIntegerTakesSignedDigitsOnly)
{
    long long v = 0;
    EXPECT_TRUE(text::parseInteger("20060923", v));
    EXPECT_EQ(v, 20060923);
    EXPECT_TRUE(text::parseInteger("00000000", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(text::parseInteger("99999999", v));
    EXPECT_EQ(v, 99999999);
    EXPECT_TRUE(text::parseInteger("-2006092", v));
    EXPECT_EQ(v, -2006092);
    EXPECT_TRUE(text::parseInteger("922337203685477580", v)); // eighteen digits
    // Every byte just outside "0" to "9", in every place of an eight-byte date.
    for (const char bad : {'/', ':', ' ', '\0', '\xb0', '\xfa', '\xff', 'a'})
        for (std::size_t at = 0; at < 8; ++at) {
            std::string date = "20060923";
            date[at] = bad;
            EXPECT_FALSE(text::parseInteger(date, v)) << at << " " << int(bad);
        }
    EXPECT_FALSE(text::parseInteger("", v));
    EXPECT_FALSE(text::parseInteger("-", v));
    EXPECT_FALSE(text::parseInteger(" 2006", v));
    EXPECT_FALSE(text::parseInteger("99999999999999999999", v));
}

TEST(Text, NumbersReadAndWriteWithAPointInEveryLocale)
{
    // The desktop program runs in the user's locale; one with a decimal comma must not change a number.
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    bool commaLocale = false;
    for (const char* name : {"pl_PL.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name)) {
            commaLocale = true;
            break;
        }
    double v = 0;
    std::size_t used = 0;
    EXPECT_TRUE(text::wholeNumber("14.074", v));
    EXPECT_DOUBLE_EQ(v, 14.074);
    EXPECT_TRUE(text::wholeNumber(" -3.5e2", v));
    EXPECT_DOUBLE_EQ(v, -350);
    EXPECT_FALSE(text::wholeNumber("14,074", v));
    EXPECT_FALSE(text::wholeNumber("20M", v));
    EXPECT_FALSE(text::wholeNumber("", v));
    EXPECT_DOUBLE_EQ(text::leadingNumber("+2.54cm", used), 2.54);
    EXPECT_EQ(used, 5u);
    text::leadingNumber("cm", used);
    EXPECT_EQ(used, 0u);
    EXPECT_EQ(text::fixed(181.4, 3), "181.4");
    EXPECT_EQ(text::fixed(2.0, 3), "2");
    EXPECT_EQ(text::fixed(-0.0001, 3), "0");
    std::setlocale(LC_NUMERIC, before.c_str());
    if (!commaLocale)
        GTEST_SKIP() << "no locale with a decimal comma installed; the point locale passed";
}

TEST(LineWriter, TurnsCommasIntoBlanksAndGrowsPastItsFirstSize)
{
    std::string line = "old content";
    {
        LineWriter out(line);
        out.column("SP1ABC");
        out.value(std::string(300, ',') + "a,b");
        out.text(",Y,");
        out.eraseFirst(0, "P1");
    }
    EXPECT_EQ(line, "SABC," + std::string(300, ' ') + "a b,Y,");
}

} // namespace
} // namespace cardmill
