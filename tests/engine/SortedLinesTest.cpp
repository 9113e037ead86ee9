#include "engine/SortedLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace cardmill {
namespace {

std::vector<std::string> sorted(const std::vector<std::string>& in)
{
    SortedLines lines;
    for (const auto& l : in)
        lines.add(l);
    lines.sort();
    std::vector<std::string> out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        out.emplace_back(lines[i]);
    return out;
}

TEST(SortedLines, FoldsOnlyAsciiLettersAndKeepsEqualLinesInOrder)
{
    EXPECT_EQ(sorted({"sp1abc,2", "DL1AA,1", "SP1ABC,1", "sp1abc,1"}),
              (std::vector<std::string>{"DL1AA,1", "SP1ABC,1", "sp1abc,1", "sp1abc,2"}));
    // Byte order otherwise: "," (0x2C) before "/" before digits before letters before "_".
    EXPECT_EQ(sorted({"SP1A_B,", "SP1AB,", "SP1A/P,", "SP1A,"}),
              (std::vector<std::string>{"SP1A,", "SP1A/P,", "SP1AB,", "SP1A_B,"}));
    // clang-format off
    EXPECT_EQ(sorted({"\xb3\xf3" "d,", "z,", "Z,"}), (std::vector<std::string>{"z,", "Z,", "\xb3\xf3" "d,"}));
    // clang-format on
}

TEST(SortedLines, AgreesWithThePlainComparisonOnRandomLines)
{
    std::mt19937 rnd(7);
    const std::string alphabet = std::string("aAbB,_/0\x01\xff", 10) + std::string(1, '\0');
    std::vector<std::string> in;
    for (int i = 0; i < 3000; ++i) {
        std::string s;
        const int n = static_cast<int>(rnd() % 12);
        for (int j = 0; j < n; ++j)
            s.push_back(alphabet[rnd() % alphabet.size()]);
        in.push_back(s);
    }
    std::vector<std::string> expected = in;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const std::string& a, const std::string& b) { return SortedLines::compare(a, b) < 0; });
    EXPECT_EQ(sorted(in), expected);
}

} // namespace
} // namespace cardmill
