#include "foundation/text/TextScan.h"

#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TextScan, BytesEqualAndCompareTextN) {
    EXPECT_TRUE(BytesEqual("abc", "abd", 2));
    EXPECT_FALSE(BytesEqual("abc", "abd", 3));
    EXPECT_TRUE(BytesEqual("x", "y", 0));

    EXPECT_EQ(CompareTextN("a.jpg", "a.jpg.bak", 5, 9), 0) << "only the shorter length counts";
    EXPECT_LT(CompareTextN("abc", "abd", 3, 3), 0);
    EXPECT_GT(CompareTextN("b", "a", 1, 1), 0);
    EXPECT_NE(CompareTextN("ABC", "abc", 3, 3), 0) << "case-sensitive";
    EXPECT_EQ(CompareTextN("ab\0x", "ab\0y", 4, 4), 0) << "stops at a zero byte";
    EXPECT_EQ(CompareTextN("abc", "xyz", 0, 3), 0);
}

TEST(TextScan, CountAndFindFields) {
    struct Case {
        std::string text, delimiter;
        long count;
        std::vector<std::string> fields;  // fields that FindField must find, in order
    };
    const Case cases[] = {
        {"a,b,c", ",", 3, {"a", "b", "c"}},
        {"", ",", 1, {}},
        {"abc", ",", 1, {"abc"}},
        {"one::two::", "::", 3, {"one", "two"}},  // the empty field after the last delimiter never begins
        {",x", ",", 2, {"", "x"}},
        {"aaaa", "aa", 3, {"", ""}},  // non-overlapping occurrences
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountFields(c.text.data(), long(c.text.size()), c.delimiter.data(), long(c.delimiter.size())),
                  c.count)
            << c.text;
        long n = 1;
        long start = 0, length = 0;
        for (const auto& want : c.fields) {
            ASSERT_TRUE(FindField(c.text.data(), long(c.text.size()), &start, &length, n, c.delimiter.data(),
                                  long(c.delimiter.size())))
                << c.text << " field " << n;
            EXPECT_EQ(c.text.substr(size_t(start - 1), size_t(length)), want) << c.text << " field " << n;
            ++n;
        }
        EXPECT_FALSE(FindField(c.text.data(), long(c.text.size()), &start, &length, n, c.delimiter.data(),
                               long(c.delimiter.size())))
            << c.text << " field " << n;
    }
    long start = 0, length = 0;
    EXPECT_TRUE(FindField("a,bc", 4, &start, &length, 2, ",", 1));
    EXPECT_EQ(start, 3) << "1-based offset";
    EXPECT_EQ(length, 2);
    EXPECT_FALSE(FindField("a,b", 3, &start, &length, 0, ",", 1));
}

TEST(TextScan, DetectLineEnding) {
    struct Case {
        std::string text;
        short expected;
    };
    const Case cases[] = {
        {"", 1},
        {"no break", 1},
        {"a\rb\rc", 1},
        {"a\nb\nc", 2},
        {"a\r\nb\r\n", 3},
        {"a\nb\nc\nd\re", 2},  // stops after three LF bytes
        {"a\nb\nc\rd", 3},     // the CR comes before the third LF
        {"a\rb\rc\rd\ne", 1},  // stops after three CR bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectLineEnding(c.text.data(), long(c.text.size())), c.expected) << c.text;
}

struct Token {
    std::string text;
    long position;  // after the call
};

std::vector<Token> Tokens(const std::string& line) {
    std::vector<Token> out;
    long position = 0;
    while (position >= 0 && out.size() < 20) {
        long length = -1;
        const char* start = NextTextToken(line.c_str(), &length, &position);
        out.push_back({std::string(start, size_t(length)), position});
    }
    return out;
}

TEST(TextScan, NextTextToken) {
    struct Case {
        std::string line;
        std::vector<Token> tokens;
    };
    const Case cases[] = {
        {"  \"x, y\", z", {{"x, y", 9}, {"z", -1}}},
        {"a,b;c\td", {{"a", 2}, {"b", 4}, {"c", 6}, {"d", -1}}},
        {"word  , next  \r\nignored", {{"word", 7}, {"next", -1}}},
        {"'it''s', x", {{"it", 8}, {"x", -1}}},  // bytes after the closing quote are dropped
        {"\"open quote, never closed  ", {{"open quote, never closed", -1}}},
        {"\" padded \",", {{" padded ", 11}, {"", -1}}},  // quoted blanks stay
        {"", {{"", -1}}},
        {",", {{"", 1}, {"", -1}}},
    };
    for (const auto& c : cases) {
        auto got = Tokens(c.line);
        ASSERT_EQ(got.size(), c.tokens.size()) << c.line;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].text, c.tokens[i].text) << c.line << " token " << i;
            EXPECT_EQ(got[i].position, c.tokens[i].position) << c.line << " token " << i;
        }
    }
    long position = -1, length = 5;
    EXPECT_EQ(NextTextToken("abc", &length, &position), nullptr);
    EXPECT_EQ(length, 0);
}

TEST(TextScan, RunLengthDecode) {
    struct Case {
        const char* what;
        std::vector<unsigned char> source;
        long outputSize;
        std::vector<unsigned char> expected;
    };
    const Case cases[] = {
        {"run", {0x41, 0xFD, 0x03, 0x42, 0x43}, 5, {0x41, 0x42, 0x42, 0x42, 0x43}},
        {"escaped FD", {0xFD, 0xFD, 0x01}, 2, {0xFD, 0x01}},
        {"zero count writes nothing", {0xFD, 0x00, 0x55, 0x07}, 2, {0x07, 0x00}},
        {"source ends after FD", {0x01, 0xFD}, 3, {0x01, 0x00, 0x00}},
        {"source ends after the count", {0x01, 0xFD, 0x04}, 3, {0x01, 0x00, 0x00}},
        {"run cut at the output size", {0xFD, 0xFF, 0x09}, 4, {0x09, 0x09, 0x09, 0x09}},
        {"output cut mid-run, source left over", {0x02, 0xFD, 0x05, 0x08, 0x33}, 3, {0x02, 0x08, 0x08}},
        {"short source leaves zeros", {0x61}, 4, {0x61, 0x00, 0x00, 0x00}},
        {"empty output", {0x61, 0x62}, 0, {}},
    };
    for (const auto& c : cases) {
        // Exact-size copies so that a read past the source is caught by the sanitizers.
        std::vector<unsigned char> src(c.source);
        Handle h = RunLengthDecode(src.data(), long(src.size()), c.outputSize);
        ASSERT_NE(h, nullptr) << c.what;
        ASSERT_EQ(GetHandleSize(h), c.outputSize) << c.what;
        std::vector<unsigned char> got(reinterpret_cast<unsigned char*>(*h),
                                       reinterpret_cast<unsigned char*>(*h) + c.outputSize);
        EXPECT_EQ(got, c.expected) << c.what;
        DisposeHandle(h);
    }
    EXPECT_EQ(RunLengthDecode("a", 1, -1), nullptr);
}

}  // namespace
