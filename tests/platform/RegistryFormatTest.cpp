#include "platform/Registry.h"
#include "platform/RegistryFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Utf16Data(std::u16string_view s, bool terminate = true) {
    std::vector<std::uint8_t> d;
    for (char16_t c : s) {
        d.push_back(std::uint8_t(c));
        d.push_back(std::uint8_t(c >> 8));
    }
    if (terminate) d.insert(d.end(), {0, 0});
    return d;
}

std::vector<std::uint8_t> AllByteValues() {
    std::vector<std::uint8_t> d;
    for (int i = 0; i < 256; ++i) d.push_back(std::uint8_t(i));
    for (int i = 255; i >= 0; --i) d.push_back(std::uint8_t(i));
    return d;
}

void ExpectSameTree(const RegistryKeyNode& a, const RegistryKeyNode& b, const std::string& where) {
    ASSERT_EQ(a.name, b.name) << where;
    ASSERT_EQ(a.values.size(), b.values.size()) << where;
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        EXPECT_EQ(a.values[i].name, b.values[i].name) << where << " value " << i;
        EXPECT_EQ(a.values[i].type, b.values[i].type) << where << " value " << i;
        EXPECT_EQ(a.values[i].data, b.values[i].data) << where << " value " << i;
    }
    ASSERT_EQ(a.subKeys.size(), b.subKeys.size()) << where;
    for (std::size_t i = 0; i < a.subKeys.size(); ++i)
        ExpectSameTree(a.subKeys[i], b.subKeys[i], where + "\\" + std::to_string(i));
}

TEST(RegistryFormat, EveryKindOfValueAndNameComesBackExactly) {
    struct Case {
        const char* what;
        std::u16string name;
        DWORD type;
        std::vector<std::uint8_t> data;
    };
    const std::u16string lone = {u'a', char16_t(0xD800), u'b', char16_t(0xDC00), char16_t(0xDC00),
                                 char16_t(0xD800)};
    const std::vector<Case> cases = {
        {"plain text", u"Path", REG_SZ, Utf16Data(u"/opt/lyrex")},
        {"empty text", u"Empty", REG_SZ, Utf16Data(u"")},
        {"non-ASCII text", u"Caption", REG_SZ, Utf16Data(u"Zürich – 東京 😀")},
        {"quotes, backslashes, percent", u"Q", REG_SZ, Utf16Data(u"a\"b\\c%d\\\\\"")},
        {"control characters", u"Ctl", REG_SZ, Utf16Data(u"line1\nline2\r\t\x01\x7f\x1f end")},
        {"lone surrogates", u"Lone", REG_SZ, Utf16Data(lone)},
        {"expandable text", u"Exp", REG_EXPAND_SZ, Utf16Data(u"%HOME%/x")},
        {"text without terminator", u"NoZero", REG_SZ, Utf16Data(u"abc", false)},
        {"text with an inner zero", u"Inner", REG_SZ, Utf16Data(std::u16string(u"a\0b", 3))},
        {"text of odd length", u"Odd", REG_SZ, {0x41, 0x00, 0x42}},
        {"text of nothing", u"Nothing", REG_SZ, {}},
        {"number", u"Version", REG_DWORD, {0x90, 0x01, 0x00, 0x00}},
        {"number with every bit", u"Ones", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"number of three bytes", u"Short", REG_DWORD, {1, 2, 3}},
        {"binary of every byte value", u"Bytes", REG_BINARY, AllByteValues()},
        {"empty binary", u"None", REG_BINARY, {}},
        {"binary one past a line", u"B33", REG_BINARY, std::vector<std::uint8_t>(33, 0xAB)},
        {"other type", u"Q64", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"largest type number", u"T", 0xFFFFFFFFu, {9}},
        {"empty name", u"", REG_SZ, Utf16Data(u"default")},
        {"name with quote and backslash", u"a\"b\\c", REG_BINARY, {1}},
        {"name with control characters and lone surrogate",
         std::u16string(u"n\n\t") + char16_t(0xDBFF), REG_BINARY, {2}},
        {"non-ASCII name", u"Größe", REG_BINARY, {3}},
    };
    RegistryKeyNode root;
    RegistryKeyNode& key = root.SubKey(u"SOFTWARE").SubKey(u"Lyrex").SubKey(u"Ondrel2");
    for (const Case& c : cases) key.SetValue(c.name, c.type, c.data);
    // Key names that need escaping, and values directly under the root.
    root.SubKey(u"100% [odd] name").SubKey(u"Ünïcödé");
    root.SubKey(std::u16string(u"tab\there") + char16_t(0xD83D));
    root.SubKey(u"EmptyKey");
    root.SetValue(u"AtRoot", REG_DWORD, {1, 0, 0, 0});

    std::string text = SerializeRegistry(root);
    RegistryKeyNode back;
    std::string error;
    ASSERT_TRUE(ParseRegistry(text, &back, &error)) << error << "\n" << text;
    ExpectSameTree(root, back, "root");
    for (const Case& c : cases) {
        const RegistryValue* v =
            back.FindSubKey(u"SOFTWARE")->FindSubKey(u"Lyrex")->FindSubKey(u"Ondrel2")->FindValue(c.name);
        ASSERT_NE(v, nullptr) << c.what;
        EXPECT_EQ(v->type, c.type) << c.what;
        EXPECT_EQ(v->data, c.data) << c.what;
    }
    // Writing what was read gives the same text: the form is stable for diffs.
    EXPECT_EQ(SerializeRegistry(back), text);
}

TEST(RegistryFormat, TextFormIsReadable) {
    RegistryKeyNode root;
    RegistryKeyNode& program = root.SubKey(u"SOFTWARE").SubKey(u"Lyrex").SubKey(u"Ondrel2");
    program.SetValue(u"LastCatalog", REG_SZ, Utf16Data(u"/home/ann/Trip \"2004\".lxc"));
    program.SetValue(u"Version", REG_DWORD, {0x90, 0x01, 0, 0});
    std::vector<std::uint8_t> bytes(34);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = std::uint8_t(i);
    program.SubKey(u"Preferences").SetValue(u"Preferences", REG_BINARY, bytes);
    program.SubKey(u"Preferences").SetValue(u"Odd", REG_SZ, {0x41, 0x00});

    EXPECT_EQ(SerializeRegistry(root),
              "LyrexRegistry 1\n"
              "\n[SOFTWARE]\n"
              "\n[SOFTWARE\\Lyrex]\n"
              "\n[SOFTWARE\\Lyrex\\Ondrel2]\n"
              "\"LastCatalog\"=sz:\"/home/ann/Trip \\\"2004\\\".lxc\"\n"
              "\"Version\"=dword:00000190\n"
              "\n[SOFTWARE\\Lyrex\\Ondrel2\\Preferences]\n"
              "\"Preferences\"=binary:34\n"
              "  00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d 1e 1f\n"
              "  20 21\n"
              "\"Odd\"=hex(1):2\n"
              "  41 00\n"
              "end\n");
}

TEST(RegistryFormat, HandEditedFilesAreRead) {
    // Comments, blank lines, CR LF line ends, upper-case hex, keys in any order.
    const std::string text =
        "LyrexRegistry 1\r\n"
        "; kept by hand\r\n"
        "[B\\Child]\r\n"
        "\"x\"=binary:3\r\n"
        "\t0A 0b\r\n"
        "   FF\r\n"
        "\r\n"
        "# another comment\r\n"
        "[a]\r\n"
        "\"n\"=dword:DEADBEEF\r\n"
        "end\r\n"
        "\r\n";
    RegistryKeyNode root;
    std::string error;
    ASSERT_TRUE(ParseRegistry(text, &root, &error)) << error;
    ASSERT_EQ(root.subKeys.size(), 2u);
    EXPECT_EQ(root.subKeys[0].name, u"a");   // sorted, ignoring case
    EXPECT_EQ(root.subKeys[1].name, u"B");
    EXPECT_EQ(root.FindSubKey(u"b")->FindSubKey(u"CHILD")->FindValue(u"X")->data,
              (std::vector<std::uint8_t>{0x0A, 0x0B, 0xFF}));
    EXPECT_EQ(root.FindSubKey(u"A")->FindValue(u"n")->data,
              (std::vector<std::uint8_t>{0xEF, 0xBE, 0xAD, 0xDE}));
}

TEST(RegistryFormat, DamagedTextIsRefusedWhole) {
    const std::string good = "LyrexRegistry 1\n[K]\n\"v\"=binary:2\n  01 02\n\"s\"=sz:\"x\"\nend\n";
    struct Case {
        const char* what;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"empty file", ""},
        {"other format", "Windows Registry Editor Version 5.00\n[K]\nend\n"},
        {"cut before the end line", good.substr(0, good.find("end"))},
        {"cut inside binary data", "LyrexRegistry 1\n[K]\n\"v\"=binary:3\n  01 02\nend\n"},
        {"cut without line end", good.substr(0, good.size() - 1)},
        {"more bytes than counted", "LyrexRegistry 1\n[K]\n\"v\"=binary:1\n  01 02\nend\n"},
        {"bad hex byte", "LyrexRegistry 1\n[K]\n\"v\"=binary:1\n  0g\nend\n"},
        {"three-digit byte", "LyrexRegistry 1\n[K]\n\"v\"=binary:1\n  001\nend\n"},
        {"unknown type", "LyrexRegistry 1\n[K]\n\"v\"=float:1.0\nend\n"},
        {"bad type number", "LyrexRegistry 1\n[K]\n\"v\"=hex(x):0\nend\n"},
        {"type number too large", "LyrexRegistry 1\n[K]\n\"v\"=hex(4294967296):0\nend\n"},
        {"value before a key", "LyrexRegistry 1\n\"v\"=dword:00000001\nend\n"},
        {"value set twice", "LyrexRegistry 1\n[K]\n\"v\"=dword:00000001\n\"V\"=dword:00000002\nend\n"},
        {"text after the end", good + "[L]\n"},
        {"raw control character", "LyrexRegistry 1\n[K]\n\"v\"=sz:\"a\tb\"\nend\n"},
        {"unknown escape", "LyrexRegistry 1\n[K]\n\"v\"=sz:\"a\\qb\"\nend\n"},
        {"short escape", "LyrexRegistry 1\n[K]\n\"v\"=sz:\"a\\u12\"\nend\n"},
        {"zero inside text", "LyrexRegistry 1\n[K]\n\"v\"=sz:\"a\\x00b\"\nend\n"},
        {"overlong UTF-8", "LyrexRegistry 1\n[K]\n\"v\"=sz:\"\xC0\xAF\"\nend\n"},
        {"UTF-8 coded surrogate", "LyrexRegistry 1\n[K]\n\"v\"=sz:\"\xED\xA0\x80\"\nend\n"},
        {"cut UTF-8 sequence", "LyrexRegistry 1\n[K]\n\"v\"=sz:\"\xE6\x9D\"\nend\n"},
        {"unclosed text", "LyrexRegistry 1\n[K]\n\"v\"=sz:\"abc\nend\n"},
        {"text after the quote", "LyrexRegistry 1\n[K]\n\"v\"=sz:\"abc\" x\nend\n"},
        {"short number", "LyrexRegistry 1\n[K]\n\"v\"=dword:0000001\nend\n"},
        {"empty key name", "LyrexRegistry 1\n[K\\\\L]\nend\n"},
        {"unclosed key line", "LyrexRegistry 1\n[K\nend\n"},
        {"bad key escape", "LyrexRegistry 1\n[K%q]\nend\n"},
        {"stray line", "LyrexRegistry 1\n[K]\nv=1\nend\n"},
        {"no equals sign", "LyrexRegistry 1\n[K]\n\"v\" dword:00000001\nend\n"},
    };
    for (const Case& c : cases) {
        RegistryKeyNode root;
        root.SubKey(u"left over");
        std::string error;
        EXPECT_FALSE(ParseRegistry(c.text, &root, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_TRUE(root.subKeys.empty() && root.values.empty()) << c.what << ": half-read";
    }
    RegistryKeyNode root;
    std::string error;
    EXPECT_TRUE(ParseRegistry(good, &root, &error)) << error;
}

TEST(RegistryFormat, NamesIgnoreAsciiCaseOnly) {
    EXPECT_TRUE(RegistryNamesEqual(u"Preferences", u"PREFERENCES"));
    EXPECT_FALSE(RegistryNamesEqual(u"Größe", u"GRÖSSE"));
    EXPECT_FALSE(RegistryNamesEqual(u"é", u"É"));
    EXPECT_FALSE(RegistryNamesEqual(u"ab", u"abc"));
    RegistryKeyNode key;
    key.SetValue(u"Recent1", REG_SZ, {});
    key.SetValue(u"RECENT1", REG_BINARY, {7});
    ASSERT_EQ(key.values.size(), 1u);
    EXPECT_EQ(key.values[0].name, u"Recent1");   // the first spelling stays
    EXPECT_EQ(key.values[0].type, DWORD(REG_BINARY));
    bool created = true;
    key.SubKey(u"Sub");
    key.SubKey(u"SUB", &created);
    EXPECT_FALSE(created);
    EXPECT_EQ(key.subKeys.size(), 1u);
}

}  // namespace
