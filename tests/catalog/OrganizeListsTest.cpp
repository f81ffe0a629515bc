// Organize lists: the entry image, the per-catalog block and its flags, the primitive edits,
// the lookups by text and by item, and the organize chunks of the catalog file.
#include "CatalogFileSupport.h"
#include "OrganizeTestSupport.h"

#include "catalog/organize/OrganizeLists.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace organize_test;

namespace {

// ---- entry images --------------------------------------------------------------------------

TEST(OrganizeEntryImage, SizesAndBothByteOrders) {
    // An entry without ids still carries one empty id slot.
    for (auto [count, size] : std::vector<std::pair<UInt32, long>>{{0, 272}, {1, 272}, {2, 276}, {10, 308}})
        EXPECT_EQ(OrganizeEntrySizeForCount(count), size) << count;

    auto e = MakeEntry({"Caf\xE9", 2, true, {0x01020304, 7}, 0});
    std::vector<std::uint8_t> file;
    OrganizeEntryAppendImage(e.get(), true, false, &file);
    ASSERT_EQ(file.size(), 276u);
    EXPECT_EQ(file[0], 4);
    EXPECT_EQ(file[4], 0x8E);  // e acute in Mac Roman
    EXPECT_EQ(file[256], 0);   // expanded
    EXPECT_EQ(file[257], 2);   // level
    EXPECT_EQ(file[258], 1);   // container
    EXPECT_EQ(ReadBE32(file.data() + 264), 2u);
    EXPECT_EQ(ReadBE32(file.data() + 268), 0x01020304u);
    EXPECT_EQ(ReadBE32(file.data() + 272), 7u);

    OrganizeEntry back;
    EXPECT_EQ(OrganizeEntryFromImage(file.data(), long(file.size()), true, false, &back), 276);
    EXPECT_EQ(PStr(back.text), "Caf\xE9");
    EXPECT_EQ(back.items, (std::vector<UInt32>{0x01020304, 7}));
    EXPECT_EQ(back.level, 2);

    std::vector<std::uint8_t> memory;
    OrganizeEntryAppendImage(e.get(), false, false, &memory);
    EXPECT_EQ(memory[4], 0xE9);
    UInt32 first;
    std::memcpy(&first, memory.data() + 268, 4);
    EXPECT_EQ(first, 0x01020304u);

    // A count that runs past the bytes is no entry.
    WriteBE32(file.data() + 264, 3);
    EXPECT_EQ(OrganizeEntryFromImage(file.data(), long(file.size()), true, false, &back), 0);
    EXPECT_EQ(OrganizeEntryFromImage(file.data(), 267, true, false, &back), 0);
}

TEST(OrganizeEntryImage, DateEntriesKeepTheirDateBytesUntranslated) {
    OrganizeEntry e;
    OrganizeEntrySetText(&e, Text(std::string(250, 'x')), true);
    EXPECT_EQ(e.text[0], 247);  // the text never covers the date
    OrganizeEntrySetText(&e, Text("M\xE4rz"), true);
    // 0xE4 is a valid text byte in both sets; the date bytes 0xE4 0x8E must not be touched.
    OrganizeEntrySetDate(&e, {0x8EE4, 3, 2004, 2});
    std::vector<std::uint8_t> file;
    OrganizeEntryAppendImage(&e, true, true, &file);
    EXPECT_EQ(file[2], 0x8A);  // a umlaut in Mac Roman
    EXPECT_EQ(file[248], 0xE4);
    EXPECT_EQ(file[249], 0x8E);
    EXPECT_EQ(ReadLE16(file.data() + 252), 2004);
    OrganizeEntry back;
    ASSERT_GT(OrganizeEntryFromImage(file.data(), long(file.size()), true, true, &back), 0);
    OrganizeDate d = OrganizeEntryGetDate(&back);
    EXPECT_EQ(d.day, 0x8EE4);
    EXPECT_EQ(d.month, 3);
    EXPECT_EQ(d.year, 2004);
    EXPECT_EQ(d.dayOfWeek, 2);
    EXPECT_EQ(PStr(back.text), "M\xE4rz");
}

TEST(OrganizeEntryImage, TextOrderIsByteWiseAndCaseSensitive) {
    struct Case {
        std::string a, b;
        int sign;
    } cases[] = {
        {"A", "a", -1}, {"a", "b", -1}, {"B", "a", -1}, {"abc", "abcd", -1},
        {"", "a", -1},  {"x", "x", 0},  {"\xE9", "z", 1},
    };
    for (const auto& c : cases) {
        int r = OrganizeCompareText(Text(c.a), Text(c.b));
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " / " << c.b;
        EXPECT_EQ(OrganizeTextEqual(Text(c.a), Text(c.b)), c.sign == 0);
    }
}

// ---- the block and its flags ---------------------------------------------------------------

class OrganizeBlock : public OrganizeTest {};

TEST_F(OrganizeBlock, NewCatalogShowsTheDefaultGroupsFoldedWithAnEmptySetsList) {
    std::vector<UInt32> shown;
    for (UInt32 f = OrganizeNextField(catalog_, 0, true); f; f = OrganizeNextField(catalog_, f, true)) {
        shown.push_back(f);
        EXPECT_FALSE(OrganizeIsExpanded(catalog_, f)) << f;
    }
    EXPECT_EQ(shown, (std::vector<UInt32>{522, 162, 161, 3, 534, 592, 604, 630, 537}));
    ASSERT_TRUE(OrganizeHasList(catalog_, 162));
    EXPECT_EQ(OrganizeGetEntryCount(catalog_, 162), 0u);
    EXPECT_FALSE(OrganizeHasList(catalog_, 537));

    // All 44 fields in table order, then the end.
    UInt32 count = 0;
    for (UInt32 f = OrganizeNextField(catalog_, 0, false); f; f = OrganizeNextField(catalog_, f, false)) ++count;
    EXPECT_EQ(count, 44u);
    EXPECT_EQ(OrganizeNextField(catalog_, 784, false), 0u);
    EXPECT_EQ(OrganizeNextField(catalog_, 12345, false), 0u);
    EXPECT_EQ(OrganizeGetList(catalog_, 12345), nullptr);
}

TEST_F(OrganizeBlock, HidingDropsListsExceptTheSets) {
    SetList(catalog_, 537, {{"a"}});
    SetList(catalog_, 162, {{"set"}});
    catalog_->modifiedStamp = 0;
    OrganizeSetEnabled(catalog_, 537, false);
    OrganizeSetEnabled(catalog_, 162, false);
    EXPECT_FALSE(OrganizeHasList(catalog_, 537));
    EXPECT_EQ(OrganizeGetEntryCount(catalog_, 162), 1u);
    EXPECT_FALSE(OrganizeIsEnabled(catalog_, 162));
    EXPECT_TRUE(CatalogIsModified(catalog_));
    OrganizeSetEnabled(catalog_, 537, true);
    EXPECT_TRUE(OrganizeIsEnabled(catalog_, 537));

    OrganizeSetExpanded(catalog_, 0, true);
    for (UInt32 f = OrganizeNextField(catalog_, 0, false); f; f = OrganizeNextField(catalog_, f, false))
        EXPECT_TRUE(OrganizeIsExpanded(catalog_, f));
}

// ---- primitives ----------------------------------------------------------------------------

class OrganizePrimitives : public OrganizeTest {};

TEST_F(OrganizePrimitives, EntriesByNumber) {
    SetList(catalog_, 537, {{"a"}, {"b"}});
    EXPECT_EQ(OrganizeGetEntry(catalog_, 537, 0), nullptr);
    EXPECT_EQ(OrganizeGetEntry(catalog_, 537, 3), nullptr);
    EXPECT_EQ(PStr(OrganizeLookupEntry(catalog_, 537, 2)->text), "b");
    EXPECT_EQ(OrganizeEntryGetCount(nullptr), 0u);
    EXPECT_EQ(OrganizeEntryGetLevel(nullptr), 0);
}

TEST_F(OrganizePrimitives, InsertReplaceAndRemoveWithSubtree) {
    SetList(catalog_, 162, {{"A", 0, true}, {"B", 1, true}, {"C", 2}, {"D", 2}, {"E", 1}, {"F", 0}});
    // Removing B takes C and D with it, not its sibling E.
    EXPECT_EQ(OrganizeReplaceEntry(catalog_, 162, 2, nullptr, 0), noErr);
    EXPECT_EQ(Shape(catalog_, 162), (std::vector<std::string>{"A+", "  E", "F"}));

    std::vector<std::uint8_t> image;
    auto g = MakeEntry({"G", 1, false, {9}});
    OrganizeEntryAppendImage(g.get(), false, false, &image);
    EXPECT_EQ(OrganizeInsertEntry(catalog_, 162, image.data(), long(image.size()), 1), noErr);
    EXPECT_EQ(OrganizeInsertEntry(catalog_, 162, image.data(), long(image.size()), 99), noErr);  // appended
    EXPECT_EQ(OrganizeInsertEntry(catalog_, 162, image.data(), 100, 0), paramErr);
    EXPECT_EQ(Shape(catalog_, 162), (std::vector<std::string>{"A+", "  G[9]", "  E", "F", "  G[9]"}));
    EXPECT_EQ(OrganizeReplaceEntry(catalog_, 162, 3, image.data(), long(image.size())), noErr);
    EXPECT_EQ(Shape(catalog_, 162), (std::vector<std::string>{"A+", "  G[9]", "  G[9]", "F", "  G[9]"}));

    EXPECT_EQ(OrganizeInsertNamedEntry(catalog_, 162, 0, Text("Top"), 0, 1), noErr);
    EXPECT_EQ(Shape(catalog_, 162)[0], "Top+");
    EXPECT_EQ(OrganizeGetEntry(catalog_, 162, 1)->expanded, 1);
    EXPECT_EQ(OrganizeGetEntryCount(catalog_, 162), 6u);
}

TEST_F(OrganizePrimitives, ItemIdsInAndOut) {
    SetList(catalog_, 537, {{"a", 0, false, {1, 2}}, {"b", 0, false, {2}}, {"c"}});
    const UInt32 add[] = {2, 3, 3, 4};
    EXPECT_EQ(OrganizeEntryAddItems(catalog_, 537, 1, add, 4), noErr);
    EXPECT_EQ(Shape(catalog_, 537)[0], "a[1,2,3,4]");  // no id twice

    // n = 0 takes the ids out of every entry; an emptied entry stays.
    const UInt32 two[] = {2};
    EXPECT_TRUE(OrganizeEntryRemoveItems(catalog_, 537, 0, two, 1));
    EXPECT_FALSE(OrganizeEntryRemoveItems(catalog_, 537, 0, two, 1));
    EXPECT_EQ(Shape(catalog_, 537), (std::vector<std::string>{"a[1,3,4]", "b", "c"}));
    EXPECT_EQ(OrganizeEntryByteSize(OrganizeGetEntry(catalog_, 537, 2)), 272);

    EXPECT_TRUE(OrganizeEntryClearItems(catalog_, 537, 1));
    EXPECT_FALSE(OrganizeEntryClearItems(catalog_, 537, 1));
    EXPECT_EQ(OrganizeFindEntryWithItem(catalog_, 537, 1, 1, nullptr), nullptr);
}

TEST_F(OrganizePrimitives, SortAndPurgeFollowTheCatalogItems) {
    AddTestItems(catalog_, {MakeItemRecord("/p/a.jpg", 1), MakeItemRecord("/p/b.jpg", 1), MakeItemRecord("/p/c.jpg", 1)});
    const UInt32 a = catalog_->entries[0].id, b = catalog_->entries[1].id, c = catalog_->entries[2].id;
    SetList(catalog_, 537, {{"k", 0, false, {c, 999, a, b}}});
    EXPECT_TRUE(OrganizeEntrySortItems(catalog_, 537, 1));
    EXPECT_EQ(OrganizeGetEntry(catalog_, 537, 1)->items, (std::vector<UInt32>{a, b, c, 999}));
    EXPECT_FALSE(OrganizeEntrySortItems(catalog_, 537, 1));
    EXPECT_TRUE(OrganizeEntryPurgeItems(catalog_, 537, 1));
    EXPECT_EQ(OrganizeGetEntry(catalog_, 537, 1)->items, (std::vector<UInt32>{a, b, c}));
    EXPECT_FALSE(OrganizeEntryPurgeItems(catalog_, 537, 1));
}

TEST_F(OrganizePrimitives, HierarchyHelpers) {
    SetList(catalog_, 162, {{"A", 0, true, {1}, 0}, {"B", 1, true, {2}, 0}, {"C", 2, false, {3}}, {"D", 1, false, {2, 4}},
                            {"E", 0, false, {5}}});
    Handle ids = NewHandle(0);
    ASSERT_EQ(OrganizeCollectItems(catalog_, 162, 1, true, ids), noErr);
    std::vector<UInt32> got(reinterpret_cast<UInt32*>(*ids), reinterpret_cast<UInt32*>(*ids) + GetHandleSize(ids) / 4);
    EXPECT_EQ(got, (std::vector<UInt32>{1, 2, 3, 2, 4}));  // ids may repeat
    SetHandleSize(ids, 0);
    ASSERT_EQ(OrganizeCollectItems(catalog_, 162, 2, false, ids), noErr);
    EXPECT_EQ(GetHandleSize(ids), 4);
    DisposeHandle(ids);

    EXPECT_EQ(OrganizeFindParent(catalog_, 162, OrganizeGetEntry(catalog_, 162, 3), 3), 2u);
    EXPECT_EQ(OrganizeFindParent(catalog_, 162, OrganizeGetEntry(catalog_, 162, 4), 4), 1u);
    EXPECT_EQ(OrganizeFindParent(catalog_, 162, OrganizeGetEntry(catalog_, 162, 5), 5), 0u);

    OrganizeToggleExpanded(catalog_, 162, 1, true);
    EXPECT_EQ(OrganizeGetEntry(catalog_, 162, 1)->expanded, 1);
    EXPECT_EQ(OrganizeGetEntry(catalog_, 162, 2)->expanded, 1);  // containers below follow
    OrganizeToggleExpanded(catalog_, 162, 1, false);
    EXPECT_EQ(OrganizeGetEntry(catalog_, 162, 1)->expanded, 0);
    EXPECT_EQ(OrganizeGetEntry(catalog_, 162, 2)->expanded, 1);

    // Container flags follow the levels.
    OrganizeGetEntry(catalog_, 162, 2)->container = 0;
    OrganizeGetEntry(catalog_, 162, 5)->container = 1;
    OrganizeUpdateContainers(catalog_, 162);
    EXPECT_EQ(Shape(catalog_, 162),
              (std::vector<std::string>{"A+[1]", "  B+[2]", "    C[3]", "  D[2,4]", "E[5]"}));

    // The k-th entry holding an item, in list order.
    UInt32 number = 0;
    EXPECT_EQ(PStr(OrganizeFindEntryWithItem(catalog_, 162, 2, 2, &number)->text), "D");
    EXPECT_EQ(number, 4u);
    EXPECT_EQ(PStr(OrganizeFindEntryWithItem(catalog_, 162, 1, 2, &number)->text), "B");
    EXPECT_EQ(number, 2u);
    EXPECT_EQ(OrganizeFindEntryWithItem(catalog_, 162, 3, 2, &number), nullptr);
    EXPECT_EQ(number, 0u);
}

TEST_F(OrganizePrimitives, UniqueNamesSkipTakenTopLevelTexts) {
    SetList(catalog_, 162, {{"#4"}, {"#5", 1}, {"x"}});
    Str255 name;
    OrganizeMakeUniqueName(catalog_, 162, name);
    EXPECT_EQ(PStr(name), "#5");  // "#5" is taken only below the top level
    SetList(catalog_, 162, {{"#3"}, {"#4"}, {"x"}});
    OrganizeMakeUniqueName(catalog_, 162, name);
    EXPECT_EQ(PStr(name), "#5");
}

// FindChild on a flat, sorted list is answered by bisection and on any other list by the
// walk; both must give the walk's answers.
TEST_F(OrganizePrimitives, FindChildStopsWhereTheWalkStops) {
    struct Case {
        std::vector<EntrySpec> list;
        std::string text;
        int level;
        UInt32 parent;
        bool sorted;
        bool found;
        UInt32 last, position;
    };
    const std::vector<EntrySpec> flat = {{"Beach"}, {"Dog"}, {"Zoo"}};
    const std::vector<EntrySpec> tree = {{"A", 0, true}, {"x", 1}, {"z", 1}, {"B", 0, true}, {"y", 1}};
    const std::vector<Case> cases = {
        {{{"Beach"}, {"Zoo"}}, "Dog", 0, 0, true, false, 1, 2},
        {flat, "Dog", 0, 0, true, true, 2, 2},
        {flat, "Dog", 0, 0, false, true, 2, 2},
        {flat, "Cat", 0, 0, false, false, 3, 4},
        {flat, "Aardvark", 0, 0, true, false, 0, 1},
        {flat, "Zz", 0, 0, true, false, 3, 4},
        {flat, "Beach", 0, 1, true, false, 1, 2},   // searching after entry 1 only
        {flat, "Zoo", 0, 1, true, true, 3, 3},
        {flat, "Zoo", 0, 3, true, false, 3, 4},
        {{}, "a", 0, 0, true, false, 0, 1},
        {tree, "y", 1, 1, false, false, 3, 4},      // stops at B, a level above
        {tree, "y", 1, 1, true, false, 2, 3},       // the insertion point between x and z
        {tree, "z", 1, 1, false, true, 3, 3},
        {tree, "B", 0, 0, false, true, 4, 4},
        {tree, "C", 0, 0, true, false, 5, 6},       // deeper entries count as looked at
    };
    for (const auto& c : cases) {
        SetList(catalog_, 162, c.list);
        UInt32 last = 77, position = 77;
        bool found = OrganizeFindChild(catalog_, 162, Text(c.text), UInt8(c.level), c.parent, c.sorted, &last, &position);
        SCOPED_TRACE(c.text + " level " + std::to_string(c.level) + " after " + std::to_string(c.parent));
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(last, c.last);
        EXPECT_EQ(position, c.position);
    }
}

// ---- chunks --------------------------------------------------------------------------------

class OrganizeChunks : public OrganizeTest {
protected:
    void FillLists() {
        SetList(catalog_, 162, {{"Trips", 0, true, {}, 0}, {"Rome", 1, false, {3, 1}}, {"Caf\xE9", 0, false, {2}}});
        SetList(catalog_, 537, {{"A", 0, false, {1}}, {"b", 0, false, {0x11223344}}});
        SetList(catalog_, 534, {});  // empty: not stored
        OrganizeList* dates = OrganizeResetList(catalog_, 161);
        auto year = MakeEntry({"2004", 0, true, {}, 0});
        OrganizeEntrySetDate(year.get(), {0, 0, 2004, 0});
        auto day = MakeEntry({"Tuesday 02", 2, false, {1}});
        OrganizeEntrySetDate(day.get(), {2, 3, 2004, 3});
        dates->append(std::move(year));
        dates->append(std::move(day));
        SetList(catalog_, 522, {{"0"}, {"1", 0, false, {1}}});  // rebuilt from labels: not stored
        OrganizeSetExpanded(catalog_, 537, true);
        OrganizeSetEnabled(catalog_, 527, true);
    }
};

TEST_F(OrganizeChunks, EveryChunkRoundTripsByteForByte) {
    FillLists();
    TempFolder dir;
    const std::string path = dir / "lists.lxc";
    ASSERT_EQ(WriteCatalogFile(path, catalog_, {}), noErr);
    CatalogImage image;
    ASSERT_TRUE(ParseCatalogImage(ReadBytes(path), &image));

    // 'CS00' holds the date and keyword lists, in table row order, with their positions.
    const TestChunk* cs00 = image.Find('CS00');
    ASSERT_NE(cs00, nullptr);
    EXPECT_EQ(ReadBE32(cs00->data.data()), 5u);  // date list, row 4
    const UInt32 dateBytes = ReadBE32(cs00->data.data() + 4);
    EXPECT_EQ(dateBytes, 272u + 272u);
    EXPECT_EQ(ReadBE32(cs00->data.data() + 8 + dateBytes), 16u);  // keywords
    EXPECT_EQ(cs00->data.size(), 8u + dateBytes + 8u + 272u + 272u);
    ASSERT_NE(image.Find('CSET'), nullptr);
    EXPECT_EQ(image.Find('CSET')->data.size(), 272u + 276u + 272u);
    EXPECT_EQ(image.Find('CSET')->data[2 * 272 + 4 + 4], 0x8E);  // Mac Roman on disk
    ASSERT_NE(image.Find('MSOP'), nullptr);
    EXPECT_EQ(image.Find('MSOP')->data.size(), 45u);
    EXPECT_EQ(image.Find('MSOP')->data[16], 1);  // keywords expanded, at its position
    EXPECT_EQ(image.Find('MSVI')->data[13], 1);  // genre enabled

    CatalogRec* reopened = nullptr;
    ASSERT_EQ(OpenCatalogAt(path, &reopened), noErr);
    EXPECT_EQ(reopened->openWarnings & kOpenChunksSkipped, 0u);
    for (UInt32 field : {162u, 537u, 161u})
        EXPECT_EQ(Shape(reopened, field), Shape(catalog_, field)) << field;
    EXPECT_FALSE(OrganizeHasList(reopened, 522));
    EXPECT_FALSE(OrganizeHasList(reopened, 534));
    OrganizeDate d = OrganizeEntryGetDate(OrganizeGetEntry(reopened, 161, 2));
    EXPECT_EQ(d.day, 2);
    EXPECT_EQ(d.month, 3);
    EXPECT_EQ(d.year, 2004);
    EXPECT_EQ(d.dayOfWeek, 3);
    EXPECT_TRUE(OrganizeIsExpanded(reopened, 537));
    EXPECT_TRUE(OrganizeIsEnabled(reopened, 527));
    // Written again from what was read, every chunk is the same bytes as in the file.
    for (OSType tag : {OSType('CSET'), OSType('CS00'), OSType('MSOP'), OSType('MSVI')})
        EXPECT_EQ(OrganizeListsChunkData(reopened, tag), image.Find(tag)->data);
    CatalogClose(reopened, false);
}

TEST_F(OrganizeChunks, DamagedOrOddChunksAreReadAsFarAsTheyHold) {
    OrganizeLists* block = catalog_->organizeLists;
    // A short 'MSOP' leaves the rows at or past its length folded.
    std::vector<std::uint8_t> msop(17, 1);
    EXPECT_TRUE(OrganizeListsReadChunk(catalog_, 'MSOP', msop.data(), long(msop.size())));
    EXPECT_TRUE(OrganizeIsExpanded(catalog_, 537));   // position 16
    EXPECT_FALSE(OrganizeIsExpanded(catalog_, 532));  // position 17
    EXPECT_FALSE(OrganizeIsExpanded(catalog_, 754));  // position 43

    // The old 5-byte form: bit p - 1 from the high bit of the first byte; the labels and sets
    // rows are forced. Any other length is ignored.
    const std::uint8_t vs[5] = {0x80, 0x00, 0x01, 0x00, 0x00};  // positions 1 and 24
    std::fill(std::begin(block->enabled), std::end(block->enabled), 0);
    EXPECT_TRUE(OrganizeListsReadChunk(catalog_, 'VsMs', vs, 5));
    EXPECT_TRUE(OrganizeIsEnabled(catalog_, 3));    // position 1
    EXPECT_TRUE(OrganizeIsEnabled(catalog_, 775));  // position 24
    EXPECT_FALSE(OrganizeIsEnabled(catalog_, 67));  // position 2
    EXPECT_TRUE(OrganizeIsEnabled(catalog_, 522));
    EXPECT_TRUE(OrganizeIsEnabled(catalog_, 162));
    const std::uint8_t op[5] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(OrganizeListsReadChunk(catalog_, 'OpMs', op, 5));
    EXPECT_TRUE(OrganizeIsExpanded(catalog_, 784));   // position 33
    EXPECT_FALSE(OrganizeIsExpanded(catalog_, 736));  // position 39: past the old field
    EXPECT_FALSE(OrganizeIsExpanded(catalog_, 162));
    EXPECT_FALSE(OrganizeListsReadChunk(catalog_, 'OpMs', op, 4));
    EXPECT_TRUE(OrganizeIsExpanded(catalog_, 784));

    // 'CS00': a record for the end row's position takes no list; a record whose length runs
    // past the chunk ends the reading; a list ending in a part entry keeps its whole ones.
    auto record = [](UInt32 position, const std::vector<std::uint8_t>& list, UInt32 length) {
        std::vector<std::uint8_t> r(8);
        WriteBE32(r.data(), position);
        WriteBE32(r.data() + 4, length);
        r.insert(r.end(), list.begin(), list.end());
        return r;
    };
    std::vector<std::uint8_t> one;
    auto k = MakeEntry({"kw", 0, false, {5}});
    OrganizeEntryAppendImage(k.get(), true, false, &one);
    std::vector<std::uint8_t> chunk = record(44, one, UInt32(one.size()));
    auto people = one;
    people.resize(people.size() + 100);  // a part entry after the whole one
    auto r2 = record(10, people, UInt32(people.size()));
    chunk.insert(chunk.end(), r2.begin(), r2.end());
    auto r3 = record(16, one, 9999);
    chunk.insert(chunk.end(), r3.begin(), r3.end());
    EXPECT_FALSE(OrganizeListsReadChunk(catalog_, 'CS00', chunk.data(), long(chunk.size())));
    EXPECT_EQ(Shape(catalog_, 630), (std::vector<std::string>{"kw[5]"}));
    EXPECT_FALSE(OrganizeHasList(catalog_, 537));
    for (int r = 0; r < kOrganizeRowCount; ++r) {
        if (kOrganizeFieldTable[r].fieldId == 0) {
            EXPECT_EQ(block->lists[r], nullptr);
        }
    }
}

TEST_F(OrganizeChunks, EveryCutOrDamagedCountReadsSafely) {
    FillLists();
    for (OSType tag : {OSType('CS00'), OSType('CSET')}) {
        const std::vector<std::uint8_t> whole = OrganizeListsChunkData(catalog_, tag);
        ASSERT_FALSE(whole.empty());
        for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
            CatalogRec* c = nullptr;
            ASSERT_EQ(CatalogOpen(&c, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
            std::vector<std::uint8_t> part(whole.begin(), whole.begin() + long(cut));
            const bool read = OrganizeListsReadChunk(c, tag, part.data(), long(part.size()));
            if (cut == whole.size()) {
                EXPECT_TRUE(read);
            }
            // Whatever was kept is the whole entries before the cut, as they were.
            for (UInt32 f : {162u, 537u, 161u}) {
                const auto kept = Shape(c, f), all = Shape(catalog_, f);
                ASSERT_LE(kept.size(), all.size()) << cut;
                EXPECT_TRUE(std::equal(kept.begin(), kept.end(), all.begin())) << "field " << f << " cut " << cut;
            }
            CatalogClose(c, false);
        }
        // Item counts that claim more ids than there are bytes, at every entry of the chunk.
        for (std::size_t at = 0; at + 4 <= whole.size(); at += 4) {
            std::vector<std::uint8_t> bad = whole;
            WriteBE32(bad.data() + at, 0x7FFFFFFF);
            CatalogRec* c = nullptr;
            ASSERT_EQ(CatalogOpen(&c, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
            OrganizeListsReadChunk(c, tag, bad.data(), long(bad.size()));
            CatalogClose(c, false);
        }
    }
}

}  // namespace
