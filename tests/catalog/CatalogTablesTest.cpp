// The catalog tables and small operations: the repair of the entries after reading, the
// hidden-field set and its chunk, folder references, counters and id lists, the view-size
// setting, the quick text search and the look-alike scan.
#include "ItemDataSupport.h"

#include "catalog/items/ItemLabels.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/sort/SortEngine.h"
#include "catalog/tables/CatalogTables.h"
#include "catalog/tables/ItemSearch.h"
#include "catalog/tables/Labels.h"
#include "foundation/text/PString.h"
#include "platform/Handles.h"
#include "platform/imaging/Picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

class CatalogTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        catalog_ = NewCatalogWithWorkFile(tmp_);
        ASSERT_NE(catalog_, nullptr);
        LabelTableInit();
    }
    void TearDown() override {
        if (catalog_) CatalogClose(catalog_, false);
    }
    SInt32 Add(const TestItem& item) { return AppendWorkFileItem(catalog_, item); }
    TempFolder tmp_;
    CatalogRec* catalog_ = nullptr;
};

TEST_F(CatalogTablesTest, CheckItemsRepairsInOrder) {
    // Entries as a file may hold them: repeated and zero ids, labels out of range, stray bits.
    struct Start {
        UInt32 id;
        UInt32 flags;
    } start[] = {{7, 0x0C000002u}, {7, 12}, {0, 0xF0000001u}, {3, 9}};
    catalog_->itemCount = 4;
    for (int i = 0; i < 4; ++i) {
        catalog_->entries[i] = ItemEntry{};
        catalog_->entries[i].id = start[i].id;
        catalog_->entries[i].flags = start[i].flags;
    }
    catalog_->modifiedStamp = 0;
    catalog_->hiddenCount = 1;
    EXPECT_EQ(CatalogCheckItems(catalog_), paramErr);
    const UInt32 ids[] = {7, 8, 9, 3};
    const UInt32 flags[] = {2, 0, 1, 9};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(catalog_->entries[i].id, ids[i]) << i;
        EXPECT_EQ(catalog_->entries[i].flags, flags[i]) << i;
    }
    EXPECT_EQ(catalog_->labelledCount, 3);
    EXPECT_EQ(catalog_->nextItemId, 10u);
    EXPECT_TRUE(CatalogIsModified(catalog_));

    // A clean set of entries: nothing to report, nothing modified.
    catalog_->modifiedStamp = 0;
    EXPECT_EQ(CatalogCheckItems(catalog_), noErr);
    EXPECT_FALSE(CatalogIsModified(catalog_));
}

TEST_F(CatalogTablesTest, CheckItemsFixesFlagsStoredInTheOtherByteOrder) {
    // An old file: the stored name's first two characters ("ab") sit in flag bytes 10 and 9
    // the other way round, so every entry's flags are reversed.
    TestItem item = MakeTestItem("ab.jpg");
    SInt32 index = Add(item);
    ASSERT_EQ(index, 1);
    ItemEntry& e = catalog_->entries[0];
    const UInt32 proper = 3 | (UInt32('a') << 8) | (UInt32('b') << 16);
    e.flags = __builtin_bswap32(proper);
    // The check reads the first record from the catalog file (the reversed flags say nothing
    // of the work file): let the catalog file be the work file for this test.
    catalog_->catalogRefNum = catalog_->workRefNum;
    CatalogCheckItems(catalog_);
    catalog_->catalogRefNum = 0;
    EXPECT_EQ(e.flags, proper);
    EXPECT_EQ(catalog_->labelledCount, 1);
}

TEST_F(CatalogTablesTest, HiddenFieldSetAndItsChunk) {
    CatalogHiddenFieldsChange(catalog_, 769, true);
    CatalogHiddenFieldsChange(catalog_, ('GRP' << 8) | 4, true);
    CatalogHiddenFieldsChange(catalog_, 537, true);
    CatalogHiddenFieldsChange(catalog_, 537, false);
    EXPECT_TRUE(CatalogIsModified(catalog_));
    EXPECT_TRUE(CatalogHiddenFieldsContains(catalog_, 769));
    EXPECT_FALSE(CatalogHiddenFieldsContains(catalog_, 537));
    Handle h = NewHandle(0);
    ASSERT_EQ(CatalogHiddenFieldsWrite(catalog_, h), noErr);
    const unsigned char want[] = {0x00, 0x00, 0x03, 0x01, 'G', 'R', 'P', 0x04};
    ASSERT_EQ(GetHandleSize(h), 8);
    EXPECT_EQ(std::memcmp(*h, want, 8), 0);
    CatalogHiddenFieldsChange(catalog_, 632, true);
    ASSERT_EQ(CatalogHiddenFieldsRead(catalog_, h), noErr);
    EXPECT_FALSE(CatalogHiddenFieldsContains(catalog_, 632)) << "reading replaces the set";
    EXPECT_TRUE(CatalogHiddenFieldsContains(catalog_, ('GRP' << 8) | 4));
    DisposeHandle(h);
}

TEST_F(CatalogTablesTest, CountsAndIdLists) {
    struct Flags {
        UInt32 flags;
    } items[] = {{1 | kEntryAddedFlag}, {kEntryHiddenFlag | 2}, {kEntryPendingFlag}, {0}, {9 | kEntryAddedFlag}};
    for (const Flags& f : items) {
        TestItem t = MakeTestItem("x.jpg", 100);
        t.flags = f.flags;
        Add(t);
    }
    catalog_->mediaSize64 = 5ull << 32;
    EXPECT_EQ(CatalogGetItemCount(catalog_), 4);
    EXPECT_EQ(CatalogGetLabelledCount(catalog_), 3);
    EXPECT_EQ(CatalogGetTotalMediaSize(catalog_), 5ull << 32);
    EXPECT_EQ(CatalogCountMarked(catalog_), 2);
    EXPECT_EQ(CatalogFindEntryIndexById(catalog_, 4), 4);
    EXPECT_EQ(CatalogFindEntryIndexById(catalog_, 99), 0);
    EXPECT_EQ(CatalogFindItemById(catalog_, 2), 0) << "hidden items have no visible number";
    EXPECT_EQ(CatalogFindItemById(catalog_, 3), 2);
    EXPECT_EQ(ItemGetId(catalog_, 2), 3u) << "visible number 2 skips the hidden entry";
    EXPECT_EQ(CatalogGetItemEntry(catalog_, 5), nullptr);

    EXPECT_EQ(Ids(ItemListCopyIds(catalog_)), (std::vector<UInt32>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Ids(ItemListCopyVisibleIds(catalog_)), (std::vector<UInt32>{1, 3, 4, 5}));
    EXPECT_EQ(Ids(ItemListCopyIdsWithLabel(catalog_, 0xFF, false)), (std::vector<UInt32>{1, 2, 5}));
    EXPECT_EQ(Ids(ItemListCopyIdsWithLabel(catalog_, 0xFF, true)), (std::vector<UInt32>{1, 5}));
    EXPECT_EQ(Ids(ItemListCopyIdsWithLabel(catalog_, 9, true)), (std::vector<UInt32>{5}));
    EXPECT_EQ(Ids(ItemListCopyIdsWithLabel(catalog_, 0, false)), (std::vector<UInt32>{3, 4}));
    EXPECT_EQ(Ids(ItemListCopyMarkedIds(catalog_)), (std::vector<UInt32>{1, 5}));
    EXPECT_EQ(Ids(ItemListCopyIdsMark2(catalog_)), (std::vector<UInt32>{3}));
    catalog_->entries[2].flags &= ~kEntryPendingFlag;
    EXPECT_EQ(ItemListCopyIdsMark2(catalog_), nullptr) << "none pending: null, not an empty handle";
}

TEST_F(CatalogTablesTest, LabelsOfItems) {
    for (int i = 0; i < 3; ++i) Add(MakeTestItem("x.jpg"));
    ItemEntry* e = &catalog_->entries[0];
    EXPECT_TRUE(CatalogSetItemLabel(catalog_, e, 4, false));
    EXPECT_EQ(catalog_->labelledCount, 1);
    EXPECT_FALSE(CatalogSetItemLabel(catalog_, e, 4, false)) << "the same label changes nothing";
    EXPECT_TRUE(CatalogSetItemLabel(catalog_, e, 10, true)) << "label 10 clears";
    EXPECT_EQ(e->flags & kEntryLabelMask, 0u);
    EXPECT_EQ(catalog_->labelledCount, 0);
    UInt32 idsArray[] = {1, 3, 42};
    Handle ids = nullptr;
    PtrToHand(idsArray, &ids, sizeof idsArray);
    CatalogSetLabelForIds(catalog_, ids, 2);
    DisposeHandle(ids);
    EXPECT_EQ(ItemGetLabel(catalog_, 1), 2);
    EXPECT_EQ(ItemGetLabel(catalog_, 2), 0);
    EXPECT_EQ(ItemGetLabel(catalog_, 3), 2);
    EXPECT_EQ(catalog_->labelledCount, 2);
    EXPECT_FALSE(CatalogSetItemLabel(catalog_, nullptr, 1, false));

    // The organize list of labels follows.
    OrganizeSetEnabled(catalog_, 522, true);
    ASSERT_EQ(OrganizeBuildList(catalog_, 522, nullptr, 0), noErr);
    ASSERT_TRUE(OrganizeHasList(catalog_, 522));
    EXPECT_TRUE(CatalogSetItemLabel(catalog_, &catalog_->entries[1], 7, true));
    UInt32 number = 0;
    const OrganizeEntry* entry = OrganizeFindEntryWithItem(catalog_, 522, 1, catalog_->entries[1].id, &number);
    ASSERT_NE(entry, nullptr);
    Str255 text;
    OrganizeEntryText(entry, 522, text);
    Str255 seven;
    LabelGetInfo(7, seven, nullptr);
    EXPECT_EQ(PText(text), PText(seven));
}

TEST_F(CatalogTablesTest, SlotSizeChangesAreAlwaysSaved) {
    ViewModeSettings* slot = CatalogGetSlotRec16(catalog_, 1);
    ASSERT_NE(slot, nullptr);
    slot->sizeStep = 4;
    catalog_->viewPrefs.keptThumbnailStep = 4;
    catalog_->modifiedStamp = 0;
    EXPECT_FALSE(CatalogSetSlotSize(catalog_, 4, 1));
    EXPECT_FALSE(CatalogIsModified(catalog_));
    EXPECT_FALSE(CatalogSetSlotSize(catalog_, 21, 1));
    EXPECT_FALSE(CatalogSetSlotSize(catalog_, 3, 4));
    EXPECT_TRUE(CatalogSetSlotSize(catalog_, 2, 1)) << "smaller";
    EXPECT_TRUE(CatalogIsModified(catalog_)) << "a smaller size is saved too";
    EXPECT_EQ(CatalogGetSlotSize(catalog_, 1), 64);
    EXPECT_EQ(CatalogGetSlotSize(catalog_, 7), 0);
    EXPECT_EQ(CatalogGetSlotRec(catalog_, 4), nullptr);
}

TEST_F(CatalogTablesTest, FolderReferences) {
    std::filesystem::create_directories(tmp_ / "camera");
    FSSpec folder;
    ASSERT_EQ(FSMakeFSSpecFromPath(tmp_ / "camera", &folder), noErr);
    FSSpec out;
    EXPECT_EQ(CatalogGetFolderRef(catalog_, 2, &out), resNotFound);
    EXPECT_EQ(CatalogGetFolderRef(catalog_, 3, &out), resNotFound);
    EXPECT_FALSE(CatalogSetFolderRef(catalog_, 3, &folder));
    for (int n : {1, 2}) {
        ASSERT_TRUE(CatalogSetFolderRef(catalog_, n, &folder));
        ASSERT_EQ(CatalogGetFolderRef(catalog_, n, &out), noErr);
        EXPECT_EQ(out.path, folder.path);
    }
    // Renamed: still found. Gone: reference 1 answers resFNotFound, reference 2 the resolver's
    // error, and both keep their stored reference for when the folder is back.
    std::filesystem::rename(tmp_ / "camera", tmp_ / "camera 2");
    ASSERT_EQ(CatalogGetFolderRef(catalog_, 2, &out), noErr);
    EXPECT_EQ(out.path, tmp_ / "camera 2");
    std::filesystem::rename(tmp_ / "camera 2", tmp_ / "elsewhere");
    std::filesystem::create_directories(tmp_ / "sub");
    std::filesystem::rename(tmp_ / "elsewhere", tmp_ / "sub/camera");
    EXPECT_EQ(CatalogGetFolderRef(catalog_, 1, &out), resFNotFound);
    EXPECT_EQ(CatalogGetFolderRef(catalog_, 2, &out), fnfErr);
    EXPECT_TRUE(out.path.empty());
    EXPECT_NE(catalog_->folderRef2, nullptr) << "an unresolved reference is kept";
    std::filesystem::rename(tmp_ / "sub/camera", tmp_ / "camera");
    EXPECT_EQ(CatalogGetFolderRef(catalog_, 2, &out), noErr);
}

TEST_F(CatalogTablesTest, QuickTextSearch) {
    TestItem red = MakeTestItem("one.jpg");
    red.flags = 1;  // label 1, "Red"
    TestItem note = MakeTestItem("two.jpg");
    note.annotations = Dataset(632, "A bored reader");
    TestItem plain = MakeTestItem("three.jpg");
    plain.url = "http://example.org/caf\xE9";
    plain.metadata = FlattenedUserData({{kFieldMaker, "Canon", true}});
    TestItem hidden = MakeTestItem("four.jpg");
    hidden.flags = kEntryHiddenFlag | 1;
    Add(red);
    Add(note);
    Add(plain);
    Add(hidden);
    // "red" is the name of label 1, and part of "bored".
    EXPECT_EQ(Ids(ItemSearchText(catalog_, "red", 3, nullptr)), (std::vector<UInt32>{1, 2, 4}));
    EXPECT_TRUE(ItemMatchesText(catalog_, 2, "RED", 3));
    EXPECT_FALSE(ItemMatchesText(catalog_, 1, "red", 3)) << "the label name is not the item's data";
    EXPECT_EQ(Ids(ItemSearchText(catalog_, "CAF\xC9", 4, nullptr)), (std::vector<UInt32>{3}));
    EXPECT_EQ(Ids(ItemSearchText(catalog_, "canon", 5, nullptr)), (std::vector<UInt32>{3}));
    EXPECT_EQ(Ids(ItemSearchText(catalog_, "THREE.JPG", 9, nullptr)), (std::vector<UInt32>{3}));
    UInt32 scopeIds[] = {2, 3};
    Handle scope = nullptr;
    PtrToHand(scopeIds, &scope, sizeof scopeIds);
    EXPECT_EQ(Ids(ItemSearchText(catalog_, "red", 3, scope)), (std::vector<UInt32>{2}));
    DisposeHandle(scope);
    EXPECT_EQ(ItemSearchText(catalog_, "nowhere at all", 14, nullptr), nullptr);
    EXPECT_EQ(ItemSearchText(catalog_, "", 0, nullptr), nullptr);
    // In another order than their records lie in the file, the hits still come in item order.
    ASSERT_TRUE(CatalogReverseOrder(catalog_));
    EXPECT_EQ(Ids(ItemSearchText(catalog_, "red", 3, nullptr)), (std::vector<UInt32>{2, 1, 4}));
}

// A 44 x 33 thumbnail: a horizontal gradient, turned round when flipped, with a little noise.
ByteString Thumbnail(bool flipped, int noise) {
    const int w = 44, h = 33;
    std::vector<std::uint8_t> px(std::size_t(w * h * 4));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int v = (flipped ? w - 1 - x : x) * 255 / (w - 1);
            v = std::min(255, std::max(0, v + ((x * 7 + y * 3) % 5 - 2) * noise));
            std::uint8_t* p = &px[std::size_t((y * w + x) * 4)];
            p[0] = p[1] = p[2] = std::uint8_t(v);
            p[3] = 0;
        }
    PicHandle pic = nullptr;
    EXPECT_EQ(RecordPixelsPicture(px.data(), w, h, w * 4, 0x00480000, &pic), noErr);
    ByteString bytes(*pic, std::size_t(GetHandleSize(pic)));
    DisposeHandle(pic);
    return bytes;
}

OSErr CancelAtThird(short phase, long current, long, long refCon) {
    auto* seen = reinterpret_cast<std::vector<short>*>(refCon);
    seen->push_back(phase);
    return phase == 1 && current == 3 ? userCanceledErr : noErr;
}

TEST_F(CatalogTablesTest, LookAlikeScan) {
    struct Item {
        const char* name;
        bool thumbnail, flipped;
        int noise;
    } items[] = {
        {"a.jpg", true, false, 0}, {"b.jpg", true, true, 0},  {"c.jpg", false, false, 0},
        {"a.jpg", true, false, 1}, {"d.jpg", true, true, 1},  {"a.jpg", true, false, 2},
    };
    for (const Item& i : items) {
        TestItem t = MakeTestItem(i.name);
        if (i.thumbnail) t.thumbnail = Thumbnail(i.flipped, i.noise);
        Add(t);
    }
    // Two groups, each in item order; the item without a thumbnail joins none.
    EXPECT_EQ(Ids(ItemScanWithProgress(catalog_, false, 0, 1, nullptr, nullptr, 0)),
              (std::vector<UInt32>{1, 4, 6, 2, 5}));
    // Equal stored names only.
    EXPECT_EQ(Ids(ItemScanWithProgress(catalog_, true, 0, 1, nullptr, nullptr, 0)),
              (std::vector<UInt32>{1, 4, 6}));
    // Only item 2 may start a comparison.
    UInt32 scopeIds[] = {2};
    Handle scope = nullptr;
    PtrToHand(scopeIds, &scope, sizeof scopeIds);
    EXPECT_EQ(Ids(ItemScanWithProgress(catalog_, false, 0, 1, scope, nullptr, 0)), (std::vector<UInt32>{2, 5}));
    DisposeHandle(scope);
    // Cancelled while item 3 is next: the groups of items 1 and 2 stand.
    std::vector<short> phases;
    EXPECT_EQ(Ids(ItemScanWithProgress(catalog_, false, 0, 1, nullptr, CancelAtThird, long(&phases))),
              (std::vector<UInt32>{1, 4, 6, 2, 5}));
    EXPECT_EQ(phases, (std::vector<short>{0, 1, 1, 1, 2}));
}

}  // namespace
