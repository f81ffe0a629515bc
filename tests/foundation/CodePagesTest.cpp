#include "foundation/text/CodePages.h"

#include <gtest/gtest.h>

#include <array>
#include <iconv.h>
#include <string>
#include <utility>
#include <cstdint>

namespace {

std::array<std::uint8_t, 256> AllBytes() {
    std::array<std::uint8_t, 256> a{};
    for (int i = 0; i < 256; ++i) a[i] = std::uint8_t(i);
    return a;
}

TEST(MacRomanAnsi, EveryByteRoundTripsInBothOrders) {
    auto bytes = AllBytes();
    MacRomanToAnsi(bytes.data(), 256);
    std::array<bool, 256> seen{};
    for (auto b : bytes) {
        EXPECT_FALSE(seen[b]) << "byte " << int(b) << " produced twice";
        seen[b] = true;
    }
    AnsiToMacRoman(bytes.data(), 256);
    EXPECT_EQ(bytes, AllBytes());

    bytes = AllBytes();
    AnsiToMacRoman(bytes.data(), 256);
    MacRomanToAnsi(bytes.data(), 256);
    EXPECT_EQ(bytes, AllBytes());
}

// The C library's own converters serve as an independent reading of the published code pages.
std::u32string ViaIconv(const char* charset, std::uint8_t byte) {
    iconv_t cd = iconv_open("UTF-32LE", charset);
    if (cd == iconv_t(-1)) return {};
    char in[1] = {char(byte)};
    char out[16] = {};
    char* ip = in;
    char* op = out;
    size_t il = 1, ol = sizeof out;
    size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == size_t(-1)) return {};
    std::u32string s;
    for (char* q = out; q + 4 <= op; q += 4)
        s.push_back(char32_t(std::uint8_t(q[0]) | std::uint8_t(q[1]) << 8 | std::uint8_t(q[2]) << 16));
    return s;
}

TEST(MacRomanAnsi, SharedCharactersKeepTheirMeaning) {
    // Every Mac Roman character that Windows-1252 also has lands on that character; only
    // the 25 Mac-only characters fill the left-over bytes.
    int fillers = 0;
    for (int m = 0; m < 256; ++m) {
        std::u32string mac = ViaIconv("MACINTOSH", std::uint8_t(m));
        std::uint8_t a = MacRomanByteToAnsi(std::uint8_t(m));
        std::u32string ansi = ViaIconv("CP1252", a);
        if (mac.size() == 1 && ansi.size() == 1 && mac == ansi) continue;
        ++fillers;
        // A filler may only use a byte whose character Mac Roman lacks.
        bool macHasIt = false;
        if (ansi.size() == 1)
            for (int k = 0; k < 256; ++k)
                if (ViaIconv("MACINTOSH", std::uint8_t(k)) == ansi) macHasIt = true;
        EXPECT_FALSE(macHasIt) << "Mac Roman " << std::hex << m << " took 1252 byte " << int(a)
                               << " whose character Mac Roman has";
    }
    EXPECT_EQ(fillers, 25);
}

TEST(MacRomanAnsi, FillerPairsAsListed) {
    const std::pair<int, int> fillers[] = {
        {0xAD, 0x81}, {0xB0, 0x8A}, {0xB2, 0x8D}, {0xB3, 0x8E}, {0xB6, 0x8F}, {0xB7, 0x90},
        {0xB8, 0x9A}, {0xB9, 0x9D}, {0xBA, 0x9E}, {0xBD, 0xA4}, {0xC3, 0xA6}, {0xC5, 0xAD},
        {0xC6, 0xB2}, {0xD7, 0xB3}, {0xDA, 0xB9}, {0xDE, 0xBC}, {0xDF, 0xBD}, {0xF0, 0xBE},
        {0xF5, 0xD0}, {0xF9, 0xD7}, {0xFA, 0xDD}, {0xFB, 0xDE}, {0xFD, 0xF0}, {0xFE, 0xFD},
        {0xFF, 0xFE},
    };
    for (auto [mac, ansi] : fillers) {
        EXPECT_EQ(MacRomanByteToAnsi(std::uint8_t(mac)), ansi) << std::hex << mac;
        EXPECT_EQ(AnsiByteToMacRoman(std::uint8_t(ansi)), mac) << std::hex << ansi;
    }
}

TEST(MacRomanAnsi, SpotPairs) {
    struct Case {
        std::uint8_t macRoman, ansi;
        const char* what;
    };
    const Case cases[] = {
        {0xDB, 0x80, "euro sign"},       {0xAD, 0x81, "not-equal (filler)"},
        {0xFF, 0xFE, "caron (filler)"},  {0xFE, 0xFD, "ogonek (filler)"},
        {0xDA, 0xB9, "fraction slash"},  {0xF0, 0xBE, "logo (filler)"},
        {0x8E, 0xE9, "e acute"},         {0xA5, 0x95, "bullet"},
        {0xCA, 0xA0, "no-break space"},  {0xD2, 0x93, "left double quote"},
        {0x41, 0x41, "ASCII unchanged"}, {0x00, 0x00, "zero unchanged"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MacRomanByteToAnsi(c.macRoman), c.ansi) << c.what;
        EXPECT_EQ(AnsiByteToMacRoman(c.ansi), c.macRoman) << c.what;
    }
}

TEST(AnsiCase, UpperCasingUsesTheCodePageNotTheLocale) {
    struct Case {
        std::uint8_t in, up;
    };
    const Case cases[] = {
        {'a', 'A'},   {'z', 'Z'},   {'A', 'A'},   {'1', '1'},   {0xE9, 0xC9},  // e acute
        {0xFE, 0xDE},                                                          // thorn
        {0xF7, 0xF7},                                                          // division sign
        {0xDF, 0xDF},                                                          // sharp s stays
        {0xB5, 0xB5},                                                          // micro stays
        {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F},
    };
    for (const auto& c : cases) {
        std::uint8_t b = c.in;
        UpperCaseBuffer(&b, 1);
        EXPECT_EQ(b, c.up) << std::hex << int(c.in);
        if (c.up != c.in) {
            EXPECT_EQ(AnsiToLower(c.up), c.in) << std::hex << int(c.in);
        }
    }
}

TEST(AnsiUnicode, EveryByteHasACodePointThatComesBack) {
    for (int i = 0; i < 256; ++i) {
        std::uint8_t back = 0;
        ASSERT_TRUE(UnicodeToAnsi(AnsiToUnicode(std::uint8_t(i)), &back)) << i;
        EXPECT_EQ(back, i);
    }
    EXPECT_EQ(AnsiToUnicode(0x80), 0x20ACu);
    EXPECT_EQ(AnsiToUnicode(0x9F), 0x0178u);
    EXPECT_EQ(UnicodeToAnsiOrQuestion(0x0080), '?');  // C1 control not in the set
    EXPECT_EQ(UnicodeToAnsiOrQuestion(0x4E2D), '?');
    EXPECT_EQ(UnicodeToAnsiOrQuestion(0x1F600), '?');
}

}  // namespace
