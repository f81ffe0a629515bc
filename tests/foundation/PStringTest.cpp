#include "foundation/text/PString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Text(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

void Make(Str255 s, const std::string& text) { PStrFromBytes(s, text.data(), long(text.size())); }

TEST(PStr, AppendCutsWhileAppendBytesRefuses) {
    const std::string head(100, 'h'), tail(200, 't');
    Str255 a, b, src;
    Make(a, head);
    Make(b, head);
    Make(src, tail);

    PStrAppend(a, src);
    EXPECT_EQ(a[0], 255);
    EXPECT_EQ(Text(a), head + std::string(155, 't'));

    PStrAppendBytes(b, tail.data(), long(tail.size()));
    EXPECT_EQ(Text(b), head) << "an append that does not fit is refused whole";

    PStrAppendBytes(b, tail.data(), 155);
    EXPECT_EQ(b[0], 255) << "exactly filling the string is allowed";
}

TEST(PStr, FromBytesClampsTheCount) {
    const std::string big(300, 'x');
    struct Case {
        long count;
        int expected;
    };
    for (auto c : {Case{300, 255}, Case{255, 255}, Case{0, 0}, Case{-5, 0}, Case{7, 7}}) {
        Str255 s;
        std::memset(s, 0xAA, sizeof s);
        PStrFromBytes(s, big.data(), c.count);
        EXPECT_EQ(s[0], c.expected) << c.count;
        EXPECT_EQ(Text(s), std::string(size_t(c.expected), 'x'));
    }
}

TEST(PStr, CopyAndAppendToleratesOverlap) {
    Str255 s;
    Make(s, "abcdef");
    PStrAppend(s, s);
    EXPECT_EQ(Text(s), "abcdefabcdef");
    PStrCopy(s, s);
    EXPECT_EQ(Text(s), "abcdefabcdef");
}

TEST(PStr, AppendNumber) {
    struct Case {
        SInt32 n;
        const char* text;
    };
    const Case cases[] = {{0, "0"}, {7, "7"}, {-42, "-42"}, {2147483647, "2147483647"},
                          {-2147483647 - 1, "-2147483648"}};
    for (const auto& c : cases) {
        Str255 s;
        Make(s, "n=");
        PStrAppendNumber(s, c.n);
        EXPECT_EQ(Text(s), std::string("n=") + c.text);
    }
    Str255 full;
    Make(full, std::string(253, 'a'));
    PStrAppendNumber(full, -12345);
    EXPECT_EQ(Text(full), std::string(253, 'a') + "-1") << "cut like PStrAppend";
}

TEST(PStr, ToCStrInPlace) {
    Str255 s;
    Make(s, "hello");
    EXPECT_STREQ(PStrToCStrInPlace(s), "hello");
    Make(s, "");
    s[1] = 'z';
    EXPECT_STREQ(PStrToCStrInPlace(s), "");
    Make(s, std::string(255, 'q'));
    EXPECT_EQ(std::strlen(PStrToCStrInPlace(s)), 255u) << "terminator lands in the last byte";
}

TEST(PStr, EndsWith) {
    struct Case {
        const char *s, *suffix;
        bool expected;
    };
    const Case cases[] = {
        {"photo.jpg", ".jpg", true}, {"photo.jpg", ".JPG", false}, {"photo.jpg", "", true},
        {"", "", true},              {"jpg", "a.jpg", false},      {"photo.jpg", "photo.jpg", true},
        {"photo.jpg", ".jpe", false},
    };
    for (const auto& c : cases) {
        Str255 s, suffix;
        Make(s, c.s);
        Make(suffix, c.suffix);
        EXPECT_EQ(PStrEndsWith(s, suffix), c.expected) << c.s << " / " << c.suffix;
    }
}

TEST(PStr, CompareIgnoresCaseThenSortsByLength) {
    struct Case {
        const char *a, *b;
        int expected;
    };
    const Case cases[] = {
        {"abc", "ABCD", -1},  {"ABCD", "abc", 1},  {"abc", "ABC", 0},   {"a", "abcdef", -5},
        {"abd", "ABC", 1},    {"Abc", "abd", -1},  {"", "", 0},         {"", "xyz", -3},
        {"\xE9t\xE9", "\xC9T\xC9", 0},  // accented letters fold through the code page
        {"\xFF", "\x9F", 0},            // y diaeresis and its capital
        {"_", "a", -1},                 // letters fold to lower case, as the C library does
        {"_", "A", -1},
    };
    for (const auto& c : cases) {
        Str255 a, b;
        Make(a, c.a);
        Make(b, c.b);
        EXPECT_EQ(ComparePStr(a, b), c.expected) << c.a << " vs " << c.b;
    }
}

TEST(PStr, LeadingZeros) {
    struct Case {
        long value, largest;
        const char* zeros;
    };
    const Case cases[] = {
        {7, 120, "00"}, {120, 120, ""}, {99, 120, "0"}, {0, 9, ""}, {5, 10, "0"},
        {1, 999999999, "00000000"}, {1, 1000000000, "000000000"}, {1234, 12, ""},
    };
    for (const auto& c : cases) {
        Str255 s;
        LeadingZeros(s, c.value, c.largest);
        EXPECT_EQ(Text(s), c.zeros) << c.value << " of " << c.largest;
    }
}

}  // namespace
