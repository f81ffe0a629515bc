#include "resources/StringTableFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(StringTableFormat, ParsesLinesEscapesAndOrder) {
    const std::string file =
        "\xEF\xBB\xBF# comment\n"
        "\n"
        "  \t\n"
        "13002\tsecond\r\n"
        "13001\tline\\nbreak, tab\\t, back\\\\slash, blank\\x20\n"
        "65535\tlast\n"
        "7\t\n"
        "8\t\xC2\xB0 # not a comment";
    std::vector<StringTableEntry> entries;
    StringTableError error;
    ASSERT_TRUE(ParseStringTable(file, &entries, &error)) << error.line << ": " << error.message;
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].id, 7);
    EXPECT_EQ(entries[0].text, "");
    EXPECT_EQ(entries[1].text, "\xC2\xB0 # not a comment");
    EXPECT_EQ(entries[2].id, 13001);
    EXPECT_EQ(entries[2].text, "line\nbreak, tab\t, back\\slash, blank ");
    EXPECT_EQ(entries[3].text, "second") << "a CR before the line feed is not part of the text";
    EXPECT_EQ(entries[4].id, 65535);
}

TEST(StringTableFormat, RefusesMalformedInputNamingTheLine) {
    struct Case {
        const char* what;
        std::string file;
        std::size_t line;
    };
    const Case cases[] = {
        {"no tab", "1\tok\n2 text\n", 2},
        {"id not a number", "x1\ttext\n", 1},
        {"id too large", "65536\ttext\n", 1},
        {"id too long", "000001\ttext\n", 1},
        {"negative id", "-1\ttext\n", 1},
        {"unknown escape", "1\tbad \\q\n", 1},
        {"backslash at the end", "1\tbad \\", 1},
        {"zero byte escape", "1\t\\x00\n", 1},
        {"non-ASCII escape", "1\t\\xE9\n", 1},
        {"short hex escape", "1\t\\x4\n", 1},
        {"invalid UTF-8", "1\tok\n\n3\t\xC3\x28\n", 3},
        {"id twice", "5\ta\n6\tb\n5\tc\n", 3},
    };
    for (const auto& c : cases) {
        std::vector<StringTableEntry> entries{{1, "stale"}};
        StringTableError error;
        EXPECT_FALSE(ParseStringTable(c.file, &entries, &error)) << c.what;
        EXPECT_EQ(error.line, c.line) << c.what << ": " << error.message;
        EXPECT_FALSE(error.message.empty()) << c.what;
        EXPECT_TRUE(entries.empty()) << c.what;
    }
}

}  // namespace
