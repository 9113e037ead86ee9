// The sixteen-byte scans against their plain reference forms, at every alignment and length.
#include "engine/Scan.h"

#include <gtest/gtest.h>

#include <random>

namespace cardmill {
namespace {

TEST(Scan, UpperCopyAndOpensAgreeWithThePlainFormEverywhere)
{
    std::mt19937 random(7);
    const std::string alphabet = "<>:aZz{`@ 09\xe1\xff\x80";
    for (std::size_t length = 0; length < 70; ++length)
        for (std::size_t offset = 0; offset < 16; ++offset) {
            // The text starts at every alignment of a larger buffer.
            std::string buffer(offset + length, 'x');
            for (char& c : buffer)
                c = alphabet[random() % alphabet.size()];
            const std::string_view text(buffer.data() + offset, length);
            std::string fast, plain;
            std::vector<std::uint32_t> fastOpens{99}, plainOpens;
            scan::upperNotingOpens(text, fast, fastOpens);
            scan::upperNotingOpensPlain(text, plain, plainOpens);
            ASSERT_EQ(fast, plain) << length << "/" << offset;
            ASSERT_EQ(fastOpens, plainOpens) << length << "/" << offset;
        }
    std::string upper;
    std::vector<std::uint32_t> opens;
    scan::upperNotingOpens("<call:2>ab\xe9", upper, opens);
    EXPECT_EQ(upper, "<CALL:2>AB\xe9");
    EXPECT_EQ(opens, std::vector<std::uint32_t>{0});
}

TEST(Scan, MarkerSearchAgreesWithThePlainFormEverywhere)
{
    std::mt19937 random(11);
    const std::string pieces[] = {"<EOR>", "<eor>", "<EoR>", "<EOH>", "<EO>", "<EOR", "EOR>", "<", ">", "x", "<E0R>"};
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int n = static_cast<int>(random() % 12);
        for (int i = 0; i < n; ++i)
            text += pieces[random() % std::size(pieces)];
        for (std::size_t from = 0; from <= text.size() + 1; ++from) {
            ASSERT_EQ(scan::findMarker(text, "<EOR>", from), scan::findMarkerPlain(text, "<EOR>", from))
                << text << " from " << from;
            ASSERT_EQ(scan::findMarker(text, "<EOH>", from), scan::findMarkerPlain(text, "<EOH>", from))
                << text << " from " << from;
        }
    }
    EXPECT_EQ(scan::findMarker(std::string(40, 'a') + "<eOr>", "<EOR>", 0), 40u);
    EXPECT_EQ(scan::findMarker("<EOR>", "<EOR>", 1), std::string_view::npos);
    EXPECT_EQ(scan::findMarker("<EO", "<EOR>", 0), std::string_view::npos);
}

} // namespace
} // namespace cardmill
