// The fixed records' conversions between memory order and file order, and the repairs made
// after reading them.
#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRecords.h"
#include "platform/ByteOrder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

template <typename T>
T RandomRecord(unsigned seed) {
    T r;
    std::mt19937 gen(seed);
    auto* p = reinterpret_cast<unsigned char*>(&r);
    for (std::size_t i = 0; i < sizeof r; ++i) p[i] = static_cast<unsigned char>(gen());
    return r;
}

template <typename T>
bool SameBytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Whatever bytes a record holds, converting it one way and back gives the same bytes, and so
// does the other order: the two conversions touch the same fields.
TEST(RecordOrder, EveryRecordRoundTripsWhateverItHolds) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        {
            ItemRec r = RandomRecord<ItemRec>(seed), c = r;
            ItemRecToFileOrder(&c);
            ItemRecToNativeOrder(&c);
            EXPECT_TRUE(SameBytes(r, c));
            ItemRecToNativeOrder(&c);
            ItemRecToFileOrder(&c);
            EXPECT_TRUE(SameBytes(r, c));
        }
        {
            CatalogViewPrefs r = RandomRecord<CatalogViewPrefs>(seed), c = r;
            CatalogViewPrefsToFileOrder(&c);
            CatalogViewPrefsToNativeOrder(&c);
            EXPECT_TRUE(SameBytes(r, c));
        }
        {
            CatalogFontPrefs r = RandomRecord<CatalogFontPrefs>(seed), c = r;
            CatalogFontPrefsToFileOrder(&c);
            CatalogFontPrefsToNativeOrder(&c);
            EXPECT_TRUE(SameBytes(r, c));
        }
        {
            ImportSettingsRec r = RandomRecord<ImportSettingsRec>(seed), c = r;
            ImportSettingsToFileOrder(&c);
            ImportSettingsToNativeOrder(&c);
            EXPECT_TRUE(SameBytes(r, c));
        }
        {
            ItemEntry r[5];
            for (int i = 0; i < 5; ++i) r[i] = RandomRecord<ItemEntry>(seed * 10 + i);
            ItemEntry c[5];
            std::memcpy(c, r, sizeof r);
            ItemEntriesToFileOrder(c, 5);
            ItemEntriesToNativeOrder(c, 5);
            EXPECT_EQ(std::memcmp(r, c, sizeof r), 0);
        }
        {
            std::vector<unsigned char> names(256 * 3 + 100), copy;
            std::mt19937 gen(seed);
            for (auto& b : names) b = static_cast<unsigned char>(gen());
            copy = names;
            CustomFieldNamesToFileOrder(copy.data(), long(copy.size()));
            // The trailing part that is not a whole name is left alone.
            EXPECT_TRUE(std::equal(copy.end() - 100, copy.end(), names.end() - 100));
            CustomFieldNamesToNativeOrder(copy.data(), long(copy.size()));
            EXPECT_EQ(copy, names);
        }
    }
}

// After conversion to file order, the numeric fields read big-endian and the bytes that are
// copied as they are stay put.
TEST(RecordOrder, ItemRecFileOrderLayout) {
    ItemRec r{};
    const struct {
        std::size_t offset;
        int width;
    } numbers[] = {{320, 4}, {332, 4}, {336, 4}, {340, 4}, {352, 4},  {356, 4}, {360, 4},  {364, 4},
                   {368, 4}, {372, 4}, {376, 4}, {380, 2}, {382, 2},  {828, 2}, {830, 2},  {832, 4},
                   {836, 4}, {872, 4}, {884, 4}, {920, 4}, {924, 4},  {992, 4}, {996, 4},  {1000, 4},
                   {1004, 4}, {1008, 4}, {1012, 4}, {1016, 4}, {1020, 4}};
    auto* p = reinterpret_cast<unsigned char*>(&r);
    UInt32 value = 0x01020304;
    for (const auto& n : numbers) {
        if (n.width == 4)
            std::memcpy(p + n.offset, &value, 4);
        else {
            UInt16 v16 = UInt16(value);
            std::memcpy(p + n.offset, &v16, 2);
        }
        ++value;
    }
    // Raw areas: the view-setting bytes, the alias, the two 32-byte texts.
    for (std::size_t i = 344; i < 352; ++i) p[i] = 0xC1;
    for (std::size_t i = 384; i < 828; ++i) p[i] = 0xC2;
    for (std::size_t i = 928; i < 992; ++i) p[i] = 0x8E;   // would change if translated
    ItemRecToFileOrder(&r);
    value = 0x01020304;
    for (const auto& n : numbers) {
        SCOPED_TRACE(n.offset);
        if (n.width == 4)
            EXPECT_EQ(ReadBE32(p + n.offset), value);
        else
            EXPECT_EQ(ReadBE16(p + n.offset), UInt16(value));
        ++value;
    }
    for (std::size_t i = 344; i < 352; ++i) EXPECT_EQ(p[i], 0xC1);
    for (std::size_t i = 384; i < 828; ++i) EXPECT_EQ(p[i], 0xC2);
    for (std::size_t i = 928; i < 992; ++i) EXPECT_EQ(p[i], 0x8E);
}

TEST(RecordOrder, NamesAreStoredInMacRomanByTheirLength) {
    ItemRec r{};
    const unsigned char name[] = {4, 'C', 'a', 'f', 0xE9, 0xE9};   // one byte past the length
    std::memcpy(r.fileName, name, sizeof name);
    // A stored name whose length byte claims more than its 63 characters is translated only
    // within its area, so the numbers behind it are not touched.
    r.storedName[0] = 200;
    std::memset(r.storedName + 1, 0xE9, 63);
    r.value320 = 0xE9E9E9E9;
    ItemRecToFileOrder(&r);
    const unsigned char expected[] = {4, 'C', 'a', 'f', 0x8E, 0xE9};
    EXPECT_EQ(std::memcmp(r.fileName, expected, sizeof expected), 0);
    for (int i = 1; i <= 63; ++i) EXPECT_EQ(r.storedName[i], 0x8E);
    EXPECT_EQ(r.value320, 0xE9E9E9E9u);   // swapped bytes of the same value
}

TEST(RecordOrder, EntriesKeepTheirFlagsLowByteFirst) {
    ItemEntry e{0x00001234, 7, 0x0123E903u};   // name characters 0xE9 and 0x23, label 3
    ItemEntriesToFileOrder(&e, 1);
    const auto* b = reinterpret_cast<const unsigned char*>(&e);
    const unsigned char expected[12] = {0x00, 0x00, 0x12, 0x34, 0, 0, 0, 7, 0x03, 0x8E, 0x23, 0x01};
    EXPECT_EQ(std::memcmp(b, expected, 12), 0);
}

TEST(RecordOrder, RankRowsKeepTheirFourthColumn) {
    RankRow rows[2] = {{1, 2, 3, 0x11223344}, {5, 6, 7, 0x55667788}};
    RankRowsToFileOrder(rows, long(sizeof rows));
    const auto* b = reinterpret_cast<const unsigned char*>(rows);
    EXPECT_EQ(ReadBE32(b), 1u);
    EXPECT_EQ(ReadBE32(b + 8), 3u);
    EXPECT_EQ(ReadLE32(b + 12), 0x11223344u);
    EXPECT_EQ(ReadBE32(b + 16), 5u);
    EXPECT_EQ(ReadLE32(b + 28), 0x55667788u);
}

TEST(RecordOrder, ImportSettingsConvertOnlyTheirTextAndNumbers) {
    ImportSettingsRec s;
    ImportSettingsSetDefault(&s);
    s.namePattern[0] = 100;   // more than the 63 its area holds
    std::memset(s.namePattern + 1, 0xE9, 63);
    s.createdDate = 0xE9E9E9E9;
    ImportSettingsRec file = s;
    ImportSettingsToFileOrder(&file);
    const auto* b = reinterpret_cast<const unsigned char*>(&file);
    EXPECT_EQ(std::memcmp(b + 4, "\xFC\xFF\xFF\xFF", 4), 0);   // bit string copied
    EXPECT_EQ(ReadBE32(b + 100), 100u);
    EXPECT_EQ(std::memcmp(b + 108, "JPEG", 4), 0);
    EXPECT_EQ(b[91], 0x8E);             // the last character of the pattern's area
    EXPECT_EQ(ReadBE32(b + 92), 0xE9E9E9E9u);   // and nothing past it
}

TEST(RecordOrder, FontNameWithoutTerminatorStaysInItsEntry) {
    CatalogFontPrefs f;
    CatalogFontPrefsSetDefault(&f);
    std::memset(f.entries[0].name, 0xE9, sizeof f.entries[0].name);   // no zero at all
    f.entries[1].size = 12;
    CatalogFontPrefsToFileOrder(&f);
    EXPECT_EQ(static_cast<unsigned char>(f.entries[0].name[511]), 0x8E);
    EXPECT_EQ(ReadBE16(&f.entries[1].size), 12);   // the next entry's size is its own
}

TEST(RecordOrder, DefaultViewPrefsBytes) {
    CatalogViewPrefs p;
    CatalogViewPrefsSetDefault(&p);
    CatalogViewPrefsToFileOrder(&p);
    const auto* b = reinterpret_cast<const unsigned char*>(&p);
    EXPECT_EQ(ReadBE32(b), 0xFFFFFFFFu);
    EXPECT_EQ(b[9], 1);
    EXPECT_EQ(ReadBE16(b + 14), 250);
    EXPECT_EQ(b[27], 1);
    EXPECT_EQ(ReadBE16(b + 28), 500);
    EXPECT_EQ(ReadBE16(b + 40), 560);
    EXPECT_EQ(ReadBE16(b + 42), 800);
    // Slot 0 columns: (2,200) (5,60) (3,60) (6,60) (7,60) (16,60) (1,200), then the end.
    const UInt32 ids[] = {2, 5, 3, 6, 7, 16, 1, 0};
    const UInt16 widths[] = {200, 60, 60, 60, 60, 60, 200, 0};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ReadBE32(b + 84 + 8 * i), ids[i]);
        EXPECT_EQ(ReadBE16(b + 88 + 8 * i), widths[i]);
    }
    EXPECT_EQ(ReadBE32(b + 164), 2u);   // slot 1: (2, 1)
    EXPECT_EQ(ReadBE16(b + 168), 1);
    EXPECT_EQ(ReadBE32(b + 324), 0u);   // slot 3: empty
    // Slot records: byte 2 = 9 each; steps 1, 3, 2, 2; slots 2 and 3 percent 200.
    EXPECT_EQ(b[406], 9);
    EXPECT_EQ(b[411], 1);
    EXPECT_EQ(b[427], 3);
    EXPECT_EQ(b[428], 1);
    EXPECT_EQ(b[431], 2);
    EXPECT_EQ(ReadBE16(b + 440), 200);
    EXPECT_EQ(b[459], 2);
    // Colours: white, black, two light greys.
    EXPECT_EQ(ReadBE16(b + 468), 0xFFFF);
    EXPECT_EQ(ReadBE16(b + 474), 0);
    EXPECT_EQ(ReadBE16(b + 480), 0xDDDD);
}

class ViewPrefsRepairTest : public ::testing::Test {
protected:
    void SetUp() override { CatalogEngineInit(400, 200); }
    void TearDown() override { CatalogEngineShutdown(); }
};

TEST_F(ViewPrefsRepairTest, EachRuleRepairsItsValue) {
    struct Case {
        const char* name;
        void (*damage)(CatalogViewPrefs*);
        bool (*repaired)(const CatalogViewPrefs&);
    };
    const Case cases[] = {
        {"view mode above 2", [](CatalogViewPrefs* p) { p->viewMode = 5; },
         [](const CatalogViewPrefs& p) { return p.viewMode == 1; }},
        {"watch mode off under 400", [](CatalogViewPrefs* p) { p->watchMode = 2; },
         [](const CatalogViewPrefs& p) { return p.watchMode == 0; }},
        {"byte 24 above 1", [](CatalogViewPrefs* p) { p->byte24 = 3; },
         [](const CatalogViewPrefs& p) { return p.byte24 == 0; }},
        {"sort field cleared", [](CatalogViewPrefs* p) { p->sortField = 77; },
         [](const CatalogViewPrefs& p) { return p.sortField == 0; }},
        {"small window grows", [](CatalogViewPrefs* p) {
             p->windowTop = 10; p->windowLeft = 10; p->windowBottom = 50; p->windowRight = 50; },
         [](const CatalogViewPrefs& p) { return p.windowBottom == 310 && p.windowRight == 510; }},
        {"slot 0 step", [](CatalogViewPrefs* p) { p->slots[0].sizeStep = 0; },
         [](const CatalogViewPrefs& p) { return p.slots[0].sizeStep == 1; }},
        {"slot 1 step", [](CatalogViewPrefs* p) { p->slots[1].sizeStep = 21; },
         [](const CatalogViewPrefs& p) { return p.slots[1].sizeStep == 3; }},
        {"slot 2 step 3", [](CatalogViewPrefs* p) { p->slots[2].sizeStep = 3; },
         [](const CatalogViewPrefs& p) { return p.slots[2].sizeStep == 2; }},
        {"slot 3 step 9", [](CatalogViewPrefs* p) { p->slots[3].sizeStep = 9; },
         [](const CatalogViewPrefs& p) { return p.slots[3].sizeStep == 2; }},
        {"slot 2 percent", [](CatalogViewPrefs* p) { p->slots[2].percent = 10; },
         [](const CatalogViewPrefs& p) { return p.slots[2].percent == 200; }},
        {"slot 1 aspect", [](CatalogViewPrefs* p) { p->slots[1].aspect = 3; },
         [](const CatalogViewPrefs& p) { return p.slots[1].aspect == 0; }},
        {"slot 1 frame style under 400", [](CatalogViewPrefs* p) { p->slots[1].frameStyle = 4; },
         [](const CatalogViewPrefs& p) { return p.slots[1].frameStyle == 1; }},
        {"slot 0 columns replaced under 400", [](CatalogViewPrefs* p) {
             p->slotFields[0].fields[0] = ViewFieldEntry{537, 99, 0, 0}; },
         [](const CatalogViewPrefs& p) {
             return p.slotFields[0].fields[0].fieldId == 2 && p.slotFields[0].fields[0].value == 200 &&
                    p.slotFields[0].fields[6].fieldId == 1 && p.slotFields[0].fields[7].fieldId == 0; }},
        {"slot 1 columns cleaned", [](CatalogViewPrefs* p) {
             // 537 (Keywords) is not in this edition, 5 repeats, 99 is out of range.
             ViewFieldEntry list[] = {{537, 1, 0, 0}, {5, 99, 0, 0}, {5, 2, 0, 0}, {6, 2, 0, 0}};
             std::memset(&p->slotFields[1], 0xAB, sizeof p->slotFields[1]);
             std::memcpy(p->slotFields[1].fields, list, sizeof list);
             p->slotFields[1].fields[4].fieldId = 0; },
         [](const CatalogViewPrefs& p) {
             const ViewFieldEntry* f = p.slotFields[1].fields;
             bool restClear = true;
             for (int i = 2; i < 10; ++i) restClear = restClear && f[i].fieldId == 0 && f[i].value == 0;
             return f[0].fieldId == 5 && f[0].value == 1 && f[1].fieldId == 6 && f[1].value == 2 && restClear; }},
        {"colours reset under 400", [](CatalogViewPrefs* p) { p->slotColors[1].colors[0] = RGBColor{1, 2, 3}; },
         [](const CatalogViewPrefs& p) { return p.slotColors[1].colors[0].red == 0xFFFF; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CatalogViewPrefs p;
        CatalogViewPrefsSetDefault(&p);
        c.damage(&p);
        CatalogCheckPrefs(&p);
        CatalogCheckViewPrefs(&p);
        EXPECT_TRUE(c.repaired(p));
    }
}

TEST_F(ViewPrefsRepairTest, NinePairsKeptLeaveNoStalePairBehind) {
    CatalogEngineInit(500, 200);   // slot 0 is cleaned rather than replaced
    CatalogViewPrefs p;
    CatalogViewPrefsSetDefault(&p);
    const UInt32 ids[10] = {2, 5, 3, 6, 7, 16, 1, 8, 9, 9};   // the last repeats
    for (int i = 0; i < 10; ++i) p.slotFields[0].fields[i] = ViewFieldEntry{ids[i], 60, 0, 0};
    CatalogCheckViewPrefs(&p);
    EXPECT_EQ(p.slotFields[0].fields[8].fieldId, 9u);
    EXPECT_EQ(p.slotFields[0].fields[9].fieldId, 0u);
}

TEST_F(ViewPrefsRepairTest, FontSizesAndStylesOutOfRange) {
    CatalogFontPrefs f;
    CatalogFontPrefsSetDefault(&f);
    f.entries[0].size = 2000;
    f.entries[1].style = 200;
    f.entries[2].size = 1024;
    f.entries[3].style = 127;
    CatalogCheckFontPrefs(&f);
    EXPECT_EQ(f.entries[0].size, 9);
    EXPECT_EQ(f.entries[1].style, 0);
    EXPECT_EQ(f.entries[2].size, 1024);
    EXPECT_EQ(f.entries[3].style, 127);
}

TEST(CatalogEngine, CapacityByEdition) {
    const struct {
        SInt32 edition;
        SInt32 capacity;
    } cases[] = {{400, 8000}, {100, 8000}, {300, 8000}, {200, 128000}, {500, 128000}, {600, 128000}};
    for (const auto& c : cases) {
        CatalogEngineInit(c.edition, 200);
        EXPECT_EQ(CatalogGetCapacity(), c.capacity) << c.edition;
    }
    CatalogEngineInit(400, 200);
    CatalogEngineShutdown();
}

}  // namespace
