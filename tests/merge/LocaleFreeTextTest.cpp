// Text handling that needs no locale and no converter of the system: case mapping and Windows-1250.
#include <gtest/gtest.h>

#include <string>

#include "merge/CaseMapping.h"
#include "merge/TextDecoding.h"

#ifndef _WIN32
#include <clocale>
#include <cwctype>
#include <iconv.h>
#include <locale.h>
#endif

namespace cardmill {
namespace {

// Code points as numbers, for the messages.
unsigned long up(char32_t c)
{
    return upperCase(c);
}
unsigned long low(char32_t c)
{
    return lowerCase(c);
}

TEST(CaseMapping, PolishAndOtherLettersOfNames)
{
    EXPECT_EQ(up(U'ż'), static_cast<unsigned long>(U'Ż'));
    EXPECT_EQ(up(U'ł'), static_cast<unsigned long>(U'Ł'));
    EXPECT_EQ(up(U'ń'), static_cast<unsigned long>(U'Ń'));
    EXPECT_EQ(low(U'Ś'), static_cast<unsigned long>(U'ś'));
    EXPECT_EQ(up(U'ß'), static_cast<unsigned long>(U'ß')); // no capital of its own
    EXPECT_EQ(up(U'ÿ'), static_cast<unsigned long>(U'Ÿ'));
    EXPECT_EQ(up(U'ς'), static_cast<unsigned long>(U'Σ'));
    EXPECT_EQ(low(U'Σ'), static_cast<unsigned long>(U'σ'));
    EXPECT_EQ(up(U'щ'), static_cast<unsigned long>(U'Щ'));
    EXPECT_EQ(up(U'ђ'), static_cast<unsigned long>(U'Ђ'));
    EXPECT_EQ(low(U'İ'), static_cast<unsigned long>(U'i'));
    EXPECT_EQ(up(U'ı'), static_cast<unsigned long>(U'I'));
    EXPECT_EQ(up(U'€'), static_cast<unsigned long>(U'€'));
}

#ifndef _WIN32
// The C library's Unicode case mapping is the reference, wherever ours claims to know the letters.
TEST(CaseMapping, AgreesWithTheCLibraryOnTheLettersItKnows)
{
    const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (!utf8)
        GTEST_SKIP() << "no C.UTF-8 locale";
    for (auto [first, last] : {std::pair<char32_t, char32_t>{0, 0x17F},
                               {0x386, 0x3CE},
                               {0x3D8, 0x3EF},
                               {0x400, 0x52F},
                               {0x1E00, 0x1E95},
                               {0x1EA0, 0x1EFF}}) {
        for (char32_t c = first; c <= last; ++c) {
            EXPECT_EQ(up(c), static_cast<unsigned long>(towupper_l(static_cast<wint_t>(c), utf8)))
                << std::hex << static_cast<unsigned long>(c);
            EXPECT_EQ(low(c), static_cast<unsigned long>(towlower_l(static_cast<wint_t>(c), utf8)))
                << std::hex << static_cast<unsigned long>(c);
        }
    }
    freelocale(utf8);
}
#endif

TEST(TextDecoding, UnicodeAsItIsAndWindows1250ValueByValue)
{
    EXPECT_EQ(decodeValue("Łódź"), "Łódź");
    EXPECT_EQ(decodeValue("\xA3\xF3"
                          "d\x9F, \x8C"
                          "l\xB9"
                          "sk"),
              "Łódź, Śląsk");
    EXPECT_EQ(decodeValue("\x80 \x81"), "€ \uFFFD"); // 0x81 is undefined
    EXPECT_EQ(decodeValue(""), "");
}

#ifndef _WIN32
TEST(TextDecoding, Windows1250AgreesWithTheCLibrarysConverter)
{
    const iconv_t cd = iconv_open("UTF-8", "CP1250");
    if (cd == reinterpret_cast<iconv_t>(-1))
        GTEST_SKIP() << "no CP1250 converter";
    for (int b = 0x80; b <= 0xFF; ++b) {
        char in[1] = {static_cast<char>(b)};
        char out[8] = {};
        char* from = in;
        char* to = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        const bool defined = iconv(cd, &from, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(decodeValue(std::string(1, static_cast<char>(b))),
                  defined ? std::string(out, sizeof out - outLeft) : std::string("\uFFFD"))
            << std::hex << b;
    }
    iconv_close(cd);
}
#endif

} // namespace
} // namespace cardmill
