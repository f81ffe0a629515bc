#include "foundation/text/TextEncoding.h"

#include "foundation/text/PString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// "é€" in each form.
const std::string kAnsi = "\xE9\x80";
const std::string kUtf8 = "\xC3\xA9\xE2\x82\xAC";
const std::string kUtf16LE = std::string("\xE9\x00\xAC\x20", 4);

std::string Text(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

TEST(ConvertToAnsi, FromEachEncoding) {
    struct Case {
        const char* what;
        std::string source;
        short encoding;
        long capacity;
        std::string expected;  // empty: failed, out length 0
    };
    const Case cases[] = {
        {"UTF-16", kUtf16LE, kTextEncodingUtf16, 16, kAnsi},
        {"UTF-8", kUtf8, kTextEncodingUtf8, 16, kAnsi},
        {"UTF-16 exact fit", kUtf16LE, kTextEncodingUtf16, 2, kAnsi},
        {"UTF-16 too small", kUtf16LE, kTextEncodingUtf16, 1, ""},
        {"UTF-8 too small", kUtf8, kTextEncodingUtf8, 1, ""},
        {"UTF-16 odd byte ignored", kUtf16LE + "A", kTextEncodingUtf16, 16, kAnsi},
        {"UTF-16 unpaired surrogate", std::string("\x00\xD8x\x00", 4), kTextEncodingUtf16, 16, "?x"},
        {"UTF-8 invalid", "a\xFF" "b", kTextEncodingUtf8, 16, "a?b"},
        {"UTF-8 outside the set", "\xE4\xB8\xAD", kTextEncodingUtf8, 16, "?"},
        {"empty", "", kTextEncodingUtf8, 16, ""},
    };
    for (const auto& c : cases) {
        std::vector<char> dst(size_t(c.capacity) + 8, '#');
        long outLength = 99;
        ConvertToAnsi(c.source.data(), long(c.source.size()), dst.data(), c.capacity, &outLength, c.encoding);
        EXPECT_EQ(outLength, long(c.expected.size())) << c.what;
        EXPECT_EQ(std::string(dst.data(), size_t(outLength)), c.expected) << c.what;
        EXPECT_EQ(dst[size_t(c.capacity)], '#') << c.what << ": wrote past the capacity";
    }
    long untouched = 77;
    char dst[8] = "keep";
    ConvertToAnsi(kUtf8.data(), long(kUtf8.size()), dst, 8, &untouched, 1);
    EXPECT_EQ(untouched, 77) << "an unknown encoding changes nothing";
    EXPECT_STREQ(dst, "keep");
}

TEST(ConvertFromAnsi, ToEachEncoding) {
    struct Case {
        const char* what;
        short encoding;
        long capacity;
        long lengthOnEntry;
        std::string expected;
    };
    const Case cases[] = {
        {"UTF-16", kTextEncodingUtf16, 16, 0, kUtf16LE},
        {"UTF-16 too small", kTextEncodingUtf16, 3, 0, ""},
        {"UTF-8", kTextEncodingUtf8, 16, 16, kUtf8},
        {"UTF-8 exact fit", kTextEncodingUtf8, 5, 5, kUtf8},
        {"UTF-8 limited by the length on entry", kTextEncodingUtf8, 16, 4, ""},
        // The length on entry claims more room than the buffer has: the buffer wins.
        {"UTF-8 limited by the capacity", kTextEncodingUtf8, 4, 1000, ""},
    };
    for (const auto& c : cases) {
        std::vector<char> dst(size_t(c.capacity) + 8, '#');
        long length = c.lengthOnEntry;
        ConvertFromAnsi(kAnsi.data(), long(kAnsi.size()), dst.data(), c.capacity, &length, c.encoding);
        EXPECT_EQ(length, long(c.expected.size())) << c.what;
        EXPECT_EQ(std::string(dst.data(), size_t(length)), c.expected) << c.what;
        EXPECT_EQ(dst[size_t(c.capacity)], '#') << c.what << ": wrote past the capacity";
    }
    long untouched = 5;
    char dst[8];
    ConvertFromAnsi("ab", 2, dst, 8, &untouched, 7);
    EXPECT_EQ(untouched, 5);
    EXPECT_EQ(GetDefaultTextEncoding(), 0xFFFF);
}

TEST(WideBridges, AnsiToWideAndBack) {
    char16_t wide[8];
    EXPECT_EQ(AnsiToWide(wide, "\xE9t\xE9", 8, kCodePageAnsi), wide);
    EXPECT_EQ(std::u16string(wide), u"\u00E9t\u00E9");
    EXPECT_EQ(AnsiToWide(wide, "\xC3\xA9", 8, kCodePageUtf8), wide);
    EXPECT_EQ(std::u16string(wide), u"\u00E9");

    // Room for the text but not its terminator: refused, destination left empty.
    EXPECT_EQ(AnsiToWide(wide, "abcd", 4, kCodePageAnsi), nullptr);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(AnsiToWide(wide, "abc", 4, kCodePageAnsi), wide);
    EXPECT_EQ(AnsiToWide(wide, "abc", 8, 932), nullptr) << "unknown code page";
    EXPECT_EQ(AnsiToWide(nullptr, "abc", 8, kCodePageAnsi), nullptr);
    EXPECT_EQ(AnsiToWide(wide, nullptr, 8, kCodePageAnsi), nullptr);

    char bytes[8];
    EXPECT_EQ(WideToMultiByte(bytes, u"\u20AC\u4E2D", 8, kCodePageAnsi), bytes);
    EXPECT_STREQ(bytes, "\x80?");
    EXPECT_EQ(WideToMultiByte(bytes, u"\u20AC", 8, kCodePageUtf8), bytes);
    EXPECT_STREQ(bytes, "\xE2\x82\xAC");
    EXPECT_EQ(WideToMultiByte(bytes, u"\u20AC", 3, kCodePageUtf8), nullptr);
    EXPECT_EQ(bytes[0], 0);
}

TEST(WideBridges, PStrAndInterfaceText) {
    Str255 s;
    PStrFromBytes(s, "caf\xE9", 4);
    EXPECT_EQ(PStrToCString(s), u"caf\u00E9");
    EXPECT_EQ(PStrToUtf8(s), "caf\xC3\xA9");
    s[0] = 0;
    EXPECT_EQ(PStrToCString(s), u"");

    struct Case {
        std::u16string text;
        long maximum;
        std::string expected;
    };
    const Case cases[] = {
        {u"caf\u00E9", 255, "caf\xE9"},
        {u"abcdef", 3, "abc"},
        {std::u16string(300, u'x'), 1000, std::string(255, 'x')},
        {u"\U0001F600z", 255, "?z"},  // a pair is one character
        {u"abc", -1, ""},
    };
    for (const auto& c : cases) {
        CStringToPStr(c.text, s, c.maximum);
        EXPECT_EQ(Text(s), c.expected);
    }
    CStringToPStr(std::string_view("\xC3\xA9t\xC3\xA9 \xE4\xB8\xAD"), s, 255);
    EXPECT_EQ(Text(s), "\xE9t\xE9 ?");
}

}  // namespace
