#include "media/metadata/IptcBlock.h"

#include "MetaTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace metatest;


std::string Find(Handle block, UInt16 key, SInt16 occurrence, UInt8* marker = nullptr) {
    UInt16 length = 0;
    Ptr p = IptcFindDataset(key, occurrence, block, &length, marker);
    return p ? std::string(p, length) : std::string("<none>");
}

TEST(IptcBlock, WalksCutTrailingBytesAndDamagedDatasets) {
    struct Case {
        const char* name;
        Bytes block;
        std::size_t keptSize;
    } cases[] = {
        {"three zero bytes after a dataset", Cat({Dataset(517, "Title"), {0, 0, 0}}), 10},
        {"length running past the end", Cat({Dataset(517, "Title"), {0x1C, 2, 5, 0x00, 0x40, 'x'}}), 10},
        {"extended-length form", Cat({Dataset(517, "Title"), {0x1C, 2, 5, 0x80, 0x04, 0, 0, 0, 1, 'x'}}), 10},
        {"header cut short", Cat({Dataset(517, "Title"), {0x1C, 2}}), 10},
        {"UTF-8 dataset kept", Cat({Dataset(517, "Title"), Dataset(IptcMarkerUtf8, 632, "caf\xC3\xA9")}), 20},
    };
    for (const auto& c : cases) {
        HandleGuard block(NewHandleOf(c.block));
        EXPECT_EQ(Find(block.h, 517, 1), "Title") << c.name;
        EXPECT_EQ(std::size_t(GetHandleSize(block.h)), c.keptSize) << c.name;
    }
}

TEST(IptcBlock, SetDatasetModes) {
    const Bytes three = Cat({Dataset(537, "red"), Dataset(537, "green"), Dataset(537, "blue")});
    struct Case {
        const char* name;
        SInt16 occurrence;
        std::string data;
        SInt16 mode;
        bool changed;
        std::vector<std::string> keywords;  // the Keywords datasets afterwards, in block order
    } cases[] = {
        {"replace second, longer, keeps its place", 2, "turquoise", kIptcReplace, true, {"red", "turquoise", "blue"}},
        {"replace with the same value", 2, "green", kIptcReplace, false, {"red", "green", "blue"}},
        {"replace with length 0 removes", 2, "", kIptcReplace, true, {"red", "blue"}},
        {"replace an absent occurrence appends", 5, "cyan", kIptcReplace, true, {"red", "green", "blue", "cyan"}},
        {"add when present does nothing", 1, "x", kIptcAddIfAbsent, false, {"red", "green", "blue"}},
        {"add when absent appends", 4, "x", kIptcAddIfAbsent, true, {"red", "green", "blue", "x"}},
        {"remove", 1, "", kIptcRemove, true, {"green", "blue"}},
        {"remove absent", 9, "", kIptcRemove, false, {"red", "green", "blue"}},
        {"append even when present", 0, "red", kIptcAppend, true, {"red", "green", "blue", "red"}},
    };
    for (const auto& c : cases) {
        HandleGuard block(NewHandleOf(Cat({Dataset(517, "T"), three, Dataset(632, "cap")})));
        Bytes before = HandleBytes(block.h);
        EXPECT_EQ(bool(IptcSetDataset(537, c.occurrence, c.data.data(), SInt16(c.data.size()), block.h, c.mode,
                                      IptcMarkerAnsi)),
                  c.changed)
            << c.name;
        std::vector<std::string> got;
        for (SInt16 n = 1; Find(block.h, 537, n) != "<none>"; ++n) got.push_back(Find(block.h, 537, n));
        EXPECT_EQ(got, c.keywords) << c.name;
        if (!c.changed) { EXPECT_EQ(HandleBytes(block.h), before) << c.name; }
        // The neighbours keep their values.
        EXPECT_EQ(Find(block.h, 517, 1), "T") << c.name;
        EXPECT_EQ(Find(block.h, 632, 1), "cap") << c.name;
    }
}

TEST(IptcBlock, EmptyAndNullBlocks) {
    HandleGuard empty(NewHandle(0));
    EXPECT_FALSE(IptcSetDataset(517, 1, "x", 1, empty.h, kIptcRemove, IptcMarkerAnsi));
    EXPECT_TRUE(IptcSetDataset(517, 1, "x", 1, empty.h, kIptcReplace, IptcMarkerUtf8));
    UInt8 marker = 0;
    EXPECT_EQ(Find(empty.h, 517, 1, &marker), "x");
    EXPECT_EQ(marker, IptcMarkerUtf8);
    EXPECT_EQ(HandleBytes(empty.h), Dataset(IptcMarkerUtf8, 517, "x"));

    UInt16 length = 7;
    marker = 9;
    EXPECT_EQ(IptcFindDataset(517, 1, nullptr, &length, &marker), nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(marker, 0);
    EXPECT_EQ(IptcFindDatasetValue(517, "x", 1, IptcMarkerAnsi, nullptr), 0);
    EXPECT_FALSE(IptcSetDataset(517, 1, "x", 1, nullptr, kIptcRemove, IptcMarkerAnsi));
}

TEST(IptcBlock, FoundValuesHaveTheirNulsBlankedInTheBlock) {
    HandleGuard block(NewHandleOf(Dataset(632, std::string("a\0b\0", 4))));
    EXPECT_EQ(Find(block.h, 632, 1), "a b ");
    EXPECT_EQ(HandleBytes(block.h), Dataset(632, "a b "));
}

TEST(IptcBlock, FindValueComparesAcrossMarkers) {
    HandleGuard block(NewHandleOf(Cat({Dataset(537, "plain"), Dataset(IptcMarkerUtf8, 537, "caf\xC3\xA9"),
                                       Dataset(537, "na\xEFve")})));
    struct Case {
        std::string text;
        UInt8 marker;
        SInt16 occurrence;
    } cases[] = {
        {"caf\xE9", IptcMarkerAnsi, 2},          // Windows-1252 asks, UTF-8 stored
        {"na\xC3\xAFve", IptcMarkerUtf8, 3},     // UTF-8 asks, Windows-1252 stored
        {"plain", IptcMarkerUtf8, 1},
        {"Plain", IptcMarkerAnsi, 0},            // case counts
        {"caf", IptcMarkerAnsi, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IptcFindDatasetValue(537, c.text.data(), SInt16(c.text.size()), c.marker, block.h), c.occurrence)
            << c.text;
    EXPECT_EQ(IptcFindDatasetValue(537, "plain", 0, IptcMarkerAnsi, block.h), 0);
}

TEST(IptcBlock, ConvertCharsetTouchesOnlyAnsiDatasets) {
    // 0x8E is e-acute in Mac Roman, 0xE9 in Windows-1252.
    const Bytes utf8 = Dataset(IptcMarkerUtf8, 632, "\xC3\xA9");
    HandleGuard block(NewHandleOf(Cat({Dataset(517, "\x8E"), utf8})));
    IptcConvertCharset(block.h, 1);
    EXPECT_EQ(HandleBytes(block.h), Cat({Dataset(517, "\xE9"), utf8}));
    IptcConvertCharset(block.h, 0);
    EXPECT_EQ(HandleBytes(block.h), Cat({Dataset(517, "\x8E"), utf8}));
}

TEST(IptcBlock, UserDataFieldLookup) {
    struct Case { OSType type; bool known; SInt32 field; UInt8 split; } cases[] = {
        {0xA9415254, true, 592, 0},  // ©ART
        {0xA96E616D, true, 617, 0},  // ©nam
        {0xA96B6579, true, 537, 1},  // ©key
        {0xA9707266, true, 630, 1},  // ©prf
        {0xA977726E, true, 738, 0},  // ©wrn
        {0xA96D616B, false, 0, 0},   // ©mak is technical, not an annotation
    };
    for (auto c : cases) {
        SInt32 field = -1;
        UInt8 split = 9;
        EXPECT_EQ(bool(UserDataFieldLookup(c.type, &field, &split)), c.known);
        EXPECT_EQ(field, c.field);
        EXPECT_EQ(split, c.split);
    }
}

TEST(IptcBlock, UserDataTextBecomesDatasets) {
    struct Case {
        const char* name;
        OSType type;
        UInt16 key;
        UInt8 split;
        std::vector<std::string> items;
        Bytes existing;
        std::vector<std::string> expected;
    } cases[] = {
        {"keywords split on comma, semicolon and quotes", 0xA96B6579, 537, 1,
         {"red, green; \"two words\""}, {}, {"red", "green", "two words"}},
        {"every keyword item is split", 0xA96B6579, 537, 1, {"a", "b;c"}, {}, {"a", "b", "c"}},
        {"headline collapses blanks and breaks", 0xA96E616D, 617, 0, {"  A\tB\r\nC"}, {}, {"A B C"}},
        {"caption keeps its line breaks", 0xA9636D74, 632, 0, {"one\r\ntwo"}, {}, {"one\r\ntwo"}},
        {"only the first item of a single field", 0xA9636D74, 632, 0, {"first", "second"}, {}, {"first"}},
        {"an existing value is kept", 0xA9636D74, 632, 0, {"new"}, Dataset(632, "old"), {"old"}},
        {"date becomes eight digits", 0xA9646179, 567, 0, {"1999-05-03"}, {}, {"19990503"}},
        {"date before 1904 adds nothing", 0xA9646179, 567, 0, {"1899-05-03"}, {}, {}},
        {"blank text adds nothing", 0xA96E616D, 617, 0, {" \t "}, {}, {}},
    };
    for (const auto& c : cases) {
        List l;
        for (std::size_t i = 0; i < c.items.size(); ++i) {
            HandleGuard t(NewHandleOf(c.items[i]));
            ASSERT_EQ(AddUserDataText(l.ud, t.h, c.type, long(i + 1), 0), noErr);
        }
        Handle block = c.existing.empty() ? nullptr : NewHandleOf(c.existing);
        HandleGuard scratch(NewHandle(0));
        IptcAddUserDataText(&block, l.ud, scratch.h, c.type, c.key, c.split);
        std::vector<std::string> got;
        for (SInt16 n = 1; block && Find(block, c.key, n) != "<none>"; ++n) got.push_back(Find(block, c.key, n));
        EXPECT_EQ(got, c.expected) << c.name;
        EXPECT_EQ(block == nullptr, c.expected.empty() && c.existing.empty()) << c.name << ": the block is made only when needed";
        if (block) DisposeHandle(block);
    }
}

TEST(IptcBlock, TextHelpers) {
    char bytes[] = {'a', 0, ' ', 0};
    EXPECT_TRUE(IptcBlankNuls(bytes, 4));
    EXPECT_EQ(std::string(bytes, 4), "a   ");
    char blanks[] = {0, ' ', 0};
    EXPECT_FALSE(IptcBlankNuls(blanks, 3));

    HandleGuard text(NewHandleOf(std::string("x  y \0z ", 8)));
    long kept = TextCollapseBlanks(text.h, 1);
    EXPECT_EQ(std::string(*text.h, std::size_t(kept)), "x y z ");  // a trailing single space stays
    EXPECT_EQ(GetHandleSize(text.h), 8);
}

}  // namespace
