// The kind table: registration rules, lookups of registered and unregistered types, the kind
// lists by category in their stored layout, and the essential-importers check.
#include "media/kinds/KindTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Name(OSType type) {
    Str63 n;
    KindGetName(type, n);
    return std::string(reinterpret_cast<char*>(n + 1), n[0]);
}

class KindTableTest : public ::testing::Test {
protected:
    void SetUp() override { KindTableClear(); }
    void TearDown() override { KindTableClear(); }
};

TEST_F(KindTableTest, RegistrationRules) {
    struct {
        const char* what;
        OSType type;
        UInt8 handler;
        const char* name;
        UInt8 category;
        SInt32 expect;
    } cases[] = {
        {"first row", 'AVI ', 3, "Video File", 2, 1},
        {"same type again keeps the first", 'AVI ', 2, "AVI", 1, 0},
        {"type beginning with a dot", '.txt', 8, "Text", 6, 0},
        {"second row", 'JPEG', 1, "JPEG", 0, 2},
    };
    for (auto& c : cases) EXPECT_EQ(KindRegister(c.type, c.handler, c.name, c.category), c.expect) << c.what;
    EXPECT_EQ(KindGetHandler('AVI '), 3);
    EXPECT_EQ(KindGetCategory('AVI '), 2);
    EXPECT_EQ(Name('AVI '), "Video File");

    std::string seventy(70, 'x');
    for (int i = 0; i < 70; ++i) seventy[i] = char('A' + i % 26);
    EXPECT_EQ(KindRegister('LONG', 1, seventy.data(), SInt16(seventy.size()), 0), 3);
    EXPECT_EQ(Name('LONG'), seventy.substr(0, 63));
    EXPECT_EQ(KindRegister('NEGL', 1, "abc", SInt16(-5), 0), 4);
    EXPECT_EQ(Name('NEGL'), "");
}

TEST_F(KindTableTest, HoldsAtMost255Rows) {
    for (UInt32 i = 0; i < 255; ++i) ASSERT_EQ(KindRegister(OSType('K000' + i), 1, "k", 0), SInt32(i + 1));
    EXPECT_EQ(KindRegister('MORE', 1, "more", 0), 0);
    UInt32 count = 0;
    const OSType* types = KindGetTable(&count);
    EXPECT_EQ(count, 255u);
    EXPECT_EQ(types[254], OSType('K000' + 254));
    EXPECT_EQ(types[255], 0u);
    EXPECT_EQ(KindGetHandler('MORE'), 1);
}

TEST_F(KindTableTest, UnregisteredTypeAnswersTheDefaults) {
    KindRegister('MooV', 2, "QuickTime Movie", 2);
    Str63 n = {5, 'j', 'u', 'n', 'k', '!'};
    EXPECT_FALSE(KindGetName('NONE', n));
    EXPECT_EQ(n[0], 0);
    EXPECT_EQ(KindGetCategory('NONE'), 0);
    EXPECT_EQ(KindGetHandler('NONE'), 1);
    bool timeBased = true, rotatable = false, visual = false, importer = false;
    KindGetCapabilities('NONE', &timeBased, &rotatable, &visual, &importer);
    EXPECT_FALSE(timeBased);
    EXPECT_TRUE(rotatable);
    EXPECT_TRUE(visual);
    EXPECT_TRUE(importer);
    KindGetCapabilities('NONE', nullptr, nullptr, nullptr, nullptr);  // null outs are skipped
}

TEST_F(KindTableTest, CapabilitiesFollowTheHandler) {
    struct {
        UInt8 handler;
        bool timeBased, rotatable, visual, importer;
    } cases[] = {
        {1, false, true, true, true},   {2, true, true, true, false},   {3, true, false, true, false},
        {4, false, false, false, false}, {5, false, false, false, false}, {6, false, true, true, false},
        {7, false, true, true, false},  {8, false, false, false, false}, {9, false, false, false, false},
    };
    for (auto& c : cases) {
        OSType type = 'HND0' + c.handler;
        KindRegister(type, c.handler, "h", 0);
        bool t, r, v, g;
        KindGetCapabilities(type, &t, &r, &v, &g);
        EXPECT_EQ(t, c.timeBased) << int(c.handler);
        EXPECT_EQ(r, c.rotatable) << int(c.handler);
        EXPECT_EQ(v, c.visual) << int(c.handler);
        EXPECT_EQ(g, c.importer) << int(c.handler);
    }
}

TEST_F(KindTableTest, KindListsGroupTypesOfOneNameInTheirStoredLayout) {
    // Six Image kinds named "TIFF" (two entries: five types, then one), one PNG by the movie
    // family, and a Video kind that stays out of the Image list.
    const OSType tiffs[6] = {'TIFF', 'TIF ', 'DCBa', 'FAX ', 'RICH', 'TIFX'};
    for (OSType t : tiffs) KindRegister(t, 1, "TIFF", 0);
    KindRegister('PNG ', 2, "PNG", 0);
    KindRegister('MooV', 2, "QuickTime Movie", 2);
    KindRegister('DOC ', 7, "Word Document", 0);
    KindRegister('tiff', 1, "tiff", 0);  // names compare case-sensitively
    KindListEntry entries[255];
    UInt32 count = 0;
    KindListByCategory(0, entries, &count);
    ASSERT_EQ(count, 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(entries[0].name + 1), entries[0].name[0]), "TIFF");
    const unsigned char* slots = reinterpret_cast<const unsigned char*>(entries[0].types);
    EXPECT_EQ(std::memcmp(slots, "TIFFTIF DCBaFAX RICH", 20), 0);  // first character first
    EXPECT_EQ(entries[0].creator, kKindCreatorQuickTime);
    EXPECT_EQ(std::memcmp(entries[1].types, "TIFX", 4), 0);
    for (int s = 1; s < 5; ++s) EXPECT_EQ(entries[1].types[s], 0u);
    EXPECT_EQ(entries[2].creator, kKindCreatorQuickTime);   // PNG, handler 2
    EXPECT_EQ(entries[3].creator, kKindCreatorProgram);     // Word Document, handler 7
    EXPECT_EQ(std::memcmp(entries[4].types, "tiff", 4), 0);

    KindListByCategory(5, entries, &count);
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(KindHasCategory(5));
    EXPECT_TRUE(KindHasCategory(2));
}

TEST_F(KindTableTest, CoreImportersNeedAllThree) {
    const OSType core[3] = {'TIFF', '8BPS', 'BMP '};
    for (int missing = 0; missing < 3; ++missing) {
        KindTableClear();
        for (int i = 0; i < 3; ++i)
            if (i != missing) KindRegister(core[i], 1, "x", 0);
        EXPECT_FALSE(KindHasCoreImporters()) << missing;
    }
    KindTableClear();
    for (OSType t : core) KindRegister(t, 1, "x", 0);
    EXPECT_TRUE(KindHasCoreImporters());
}

}  // namespace
