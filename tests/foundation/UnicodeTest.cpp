#include "foundation/text/Unicode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8, DecodesIllFormedInputToOneReplacementPerMaximalRun) {
    const std::u16string R = u"\uFFFD";
    struct Case {
        const char* what;
        std::string utf8;
        std::u16string expected;
    };
    const Case cases[] = {
        {"ascii", "abc", u"abc"},
        {"two/three/four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", u"\u00E9\u20AC\U0001F600"},
        {"stray continuation", "a\x80z", u"a" + R + u"z"},
        {"truncated at the end", "a\xE2\x82", u"a" + R},
        {"truncated, then ascii", "\xE2\x82z", R + u"z"},
        {"overlong slash", "\xC0\xAF", R + R},
        {"overlong three-byte", "\xE0\x80\xAF", R + R + R},
        {"encoded surrogate", "\xED\xA0\x80", R + R + R},
        {"past U+10FFFF", "\xF4\x90\x80\x80", R + R + R + R},
        {"invalid lead bytes", "\xFE\xFF", R + R},
        {"lead without continuation", "\xC3(", R + u"("},
        {"largest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"embedded zero kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.expected) << c.what;
}

TEST(Utf16, UnpairedSurrogatesBecomeReplacementCharacters) {
    struct Case {
        const char* what;
        std::u16string utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {"pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
        {"lone high at the end", std::u16string(u"a") + char16_t(0xD83D), "a\xEF\xBF\xBD"},
        {"lone low", std::u16string(1, char16_t(0xDE00)) + u"b", "\xEF\xBF\xBD" "b"},
        {"high then ascii", std::u16string(1, char16_t(0xD800)) + u"x", "\xEF\xBF\xBDx"},
        {"reversed pair", std::u16string{char16_t(0xDC00), char16_t(0xD800)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.what;
}

TEST(Utf8, RoundTripsEveryScalarValueThroughUtf16) {
    std::u32string all;
    for (char32_t cp = 0; cp <= 0x10FFFF; cp += (cp < 0x3000 ? 1 : 97))
        if (cp < 0xD800 || cp > 0xDFFF) all.push_back(cp);
    std::string utf8;
    for (char32_t cp : all) {
        char b[4];
        utf8.append(b, EncodeUtf8(cp, b));
    }
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(utf8)), utf8);
}

TEST(AnsiText, ConversionsAndExactness) {
    EXPECT_EQ(AnsiToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(Utf8ToAnsi("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
    EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD\xF0\x9F\x98\x80x"), "??x") << "one '?' per character";
    EXPECT_EQ(Utf16ToAnsi(u"\u0160\u017E\u0178"), "\x8A\x9E\x9F");
    EXPECT_EQ(Utf16ToAnsi(std::u16string(1, char16_t(0xD800))), "?");

    std::string out;
    EXPECT_TRUE(Utf8ToAnsiExact("\xC3\xA9t\xC3\xA9", &out));
    EXPECT_EQ(out, "\xE9t\xE9");
    EXPECT_FALSE(Utf8ToAnsiExact("\xE4\xB8\xAD", &out));
    EXPECT_FALSE(Utf8ToAnsiExact("\xFF", &out)) << "ill-formed input is not exact";

    for (int i = 0; i < 256; ++i) {
        std::string one(1, char(i));
        EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(one)), one) << i;
        EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(one)), one) << i;
    }
}

}  // namespace
