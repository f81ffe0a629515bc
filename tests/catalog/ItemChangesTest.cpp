// Adding, updating and deleting items: the records and blocks in the work file, the entry
// flags, the catalog's counters, the organize lists, the folder tree and the notifications
// the windows receive; the capacity of the edition; failed writes that must leave the item as
// it was.
#include "CatalogFileSupport.h"
#include "ItemDataSupport.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemOrder.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/save/WorkFile.h"
#include "catalog/foldertree/FolderTree.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "platform/FileFaults.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"
#include "support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

class CountingHooks : public UiHooks {
public:
    void Beep() override { ++beeps; }
    int beeps = 0;
};

Handle H(const std::string& bytes) {
    Handle h = nullptr;
    PtrToHand(bytes.data(), &h, Size(bytes.size()));
    return h;
}

std::string Bytes(Handle h) { return h ? std::string(*h, size_t(GetHandleSize(h))) : std::string(); }

SInt64 FileLength(SInt16 ref) {
    SInt64 n = 0;
    GetEOF64(ref, &n);
    return n;
}

class ItemChangesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUiHooks(&hooks_);
        ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);   // kind names for field 3
        SetTimerService(&timers_);
        CatalogNotificationsReset();
        catalog_ = NewCatalogWithWorkFile(folder_);
        ASSERT_NE(catalog_, nullptr);
        for (UINT m : {kCatalogMsgModified, kCatalogMsgItemChanged, kCatalogMsgItemsAdded, kCatalogMsgItemDeleted})
            ASSERT_EQ(CatalogAddListener(catalog_, &window_, m), noErr);
        // The lists of one always-indexed field and one annotation field exist, empty.
        ASSERT_EQ(OrganizeBuildList(catalog_, kFieldFileKindName, nullptr, 0), noErr);
        ASSERT_EQ(OrganizeBuildList(catalog_, kFieldKeywords, nullptr, 0), noErr);
    }
    void TearDown() override {
        SetFileFaultHook({});
        if (catalog_) CatalogClose(catalog_, false);
        CatalogNotificationsReset();
        SetTimerService(nullptr);
        SetUiHooks(nullptr);
        CatalogEngineShutdown();
        KindEngineShutdown();
        KindTableClear();
    }

    // Adds an item with blocks; answers its entry index.
    SInt32 Add(const std::string& name, UInt32 size, const std::string& thumbnail = "",
               const std::string& annotations = "", UInt8 label = 0) {
        ItemRec r = MakeTestItem(name, size).record;
        Handle t = thumbnail.empty() ? nullptr : H(thumbnail);
        Handle a = annotations.empty() ? nullptr : H(annotations);
        EXPECT_EQ(CatalogAddItem(catalog_, &r, t, a, nullptr, nullptr, nullptr, label), noErr);
        if (t) DisposeHandle(t);
        if (a) DisposeHandle(a);
        return catalog_->itemCount;
    }
    ItemEntry& Entry(SInt32 index) { return catalog_->entries[index - 1]; }
    ItemRec Record(SInt32 index) {
        ItemRec r{};
        EXPECT_EQ(CatalogReadEntryRecord(catalog_, &Entry(index), &r), noErr);
        return r;
    }
    bool Indexed(UInt32 field, UInt32 id) {
        UInt32 n = 0;
        return OrganizeFindEntryWithItem(catalog_, field, 1, id, &n) != nullptr;
    }
    // What the next tick delivers (messages sent at once before it are dropped).
    Got Delivered() {
        window_.got.clear();
        timers_.Advance(kNotifyIntervalMs);
        Got got = window_.got;
        window_.got.clear();
        return got;
    }
    Got SentAtOnce() {
        Got got = window_.got;
        window_.got.clear();
        return got;
    }

    TempFolder folder_;
    CountingHooks hooks_;
    ManualTimerService timers_;
    RecordingWindow window_;
    CatalogRec* catalog_ = nullptr;
};

// ---- add ---------------------------------------------------------------------------------

TEST_F(ItemChangesTest, AddWritesTheItemAndKeepsEverythingCurrent) {
    const std::string thumb(700, 'T');
    const std::string notes = Dataset(kFieldKeywords, "caf\xE9") + Dataset(kFieldCaption, "A caption");
    const UInt32 firstId = catalog_->nextItemId;
    Handle t = H(thumb), a = H(notes), u = H("http://example.org/x");
    ItemRec r = MakeTestItem("/photos/Beach.jpg", 123456).record;
    ASSERT_EQ(CatalogAddItem(catalog_, &r, t, a, u, nullptr, nullptr, 3), noErr);
    DisposeHandle(t);
    DisposeHandle(a);
    DisposeHandle(u);

    ASSERT_EQ(catalog_->itemCount, 1);
    const ItemEntry& e = Entry(1);
    EXPECT_EQ(e.id, firstId);
    EXPECT_EQ(catalog_->nextItemId, firstId + 1);
    EXPECT_EQ(e.flags & kEntryLabelMask, 3u);
    EXPECT_TRUE(e.flags & kEntryAddedFlag);
    EXPECT_TRUE(e.flags & kEntryInWorkFileFlag);
    EXPECT_FALSE(e.flags & (kEntryHiddenFlag | kEntryPendingFlag));
    EXPECT_EQ((e.flags & kEntryNameChar1Mask) >> 8, UInt32('/'));
    EXPECT_EQ((e.flags & kEntryNameChar2Mask) >> 16, UInt32('p'));
    EXPECT_EQ(catalog_->labelledCount, 1);
    EXPECT_EQ(catalog_->dataSize, SInt32(1024 + thumb.size() + notes.size() + 20));
    EXPECT_EQ(catalog_->mediaSize32, 123456);
    EXPECT_EQ(catalog_->mediaSize64, 123456u);

    ItemRec stored = Record(1);
    EXPECT_NE(stored.dateAdded, 0u);
    EXPECT_EQ(stored.reserve, kWorkFileReserve);
    EXPECT_EQ(PText(stored.fileName), "/photos/Beach.jpg");
    Handle back = ItemReadBlock(catalog_, &e, kBlockAnnotations);
    EXPECT_EQ(Bytes(back), notes);   // the annotation text comes back as it went in
    DisposeHandle(back);
    back = ItemReadBlock(catalog_, &e, kBlockThumbnail);
    EXPECT_EQ(Bytes(back), thumb);
    DisposeHandle(back);

    EXPECT_TRUE(Indexed(kFieldFileKindName, e.id));
    EXPECT_TRUE(Indexed(kFieldKeywords, e.id));
    EXPECT_NE(FolderTreeFindItemNode(catalog_->folderTree, e.id), nullptr);
    EXPECT_TRUE(CatalogIsModified(catalog_));
    // Filing in the folder tree marks the catalog modified first: the order is the queue's.
    Got got = Delivered();
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (Got{{kCatalogMsgModified, 0}, {kCatalogMsgItemsAdded, 0}}));
}

TEST_F(ItemChangesTest, AddWithoutAnnotationsLeavesTheAnnotationListsAlone) {
    SInt32 i = Add("/photos/a.jpg", 10);
    EXPECT_TRUE(Indexed(kFieldFileKindName, Entry(i).id));
    EXPECT_FALSE(Indexed(kFieldKeywords, Entry(i).id));
}

TEST_F(ItemChangesTest, AddsAreRefusedWhenTheCatalogIsFull) {
    // Hidden items count twice against the capacity of 8,000.
    struct Case {
        SInt32 items, hidden;
        OSErr expected;
    } cases[] = {
        {7995, 5, mFulErr}, {7994, 5, noErr}, {7999, 0, noErr}, {8000, 0, mFulErr}, {7996, 4, mFulErr},
    };
    for (const Case& c : cases) {
        for (bool fromFile : {false, true}) {
            CatalogRec* cat = NewCatalogWithWorkFile(folder_, "full-work");
            ASSERT_NE(cat, nullptr);
            ASSERT_EQ(CatalogAddListener(cat, &window_, kCatalogMsgItemsAdded), noErr);
            for (SInt32 k = 0; k < c.items; ++k) {
                cat->entries[k] = ItemEntry{0, cat->nextItemId++, k < c.hidden ? kEntryHiddenFlag : 0u};
            }
            cat->itemCount = c.items;
            cat->hiddenCount = c.hidden;
            const SInt64 workBefore = FileLength(cat->workRefNum);

            OSErr err;
            if (fromFile) {
                std::string path = folder_.Write("pictures/one.jpg", "not really a picture");
                FSSpec spec;
                FSMakeFSSpecFromPath(path, &spec);
                KindFileRec info;
                info.type = 'JPEG';
                info.size = 20;
                ItemEntry* entry = nullptr;
                err = CatalogAddItemFromFile(cat, &spec, &info, &entry);
                EXPECT_EQ(entry != nullptr, err == noErr);
            } else {
                ItemRec r = MakeTestItem("/photos/one.jpg", 20).record;
                err = CatalogAddItem(cat, &r, nullptr, nullptr, nullptr, nullptr, nullptr, 0);
            }
            EXPECT_EQ(err, c.expected) << c.items << " items, " << c.hidden << " hidden, from file " << fromFile;
            EXPECT_EQ(cat->itemCount, c.items + (err == noErr ? 1 : 0));
            if (err != noErr) {
                EXPECT_EQ(FileLength(cat->workRefNum), workBefore);
            }
            CatalogClose(cat, false);
            CatalogNotificationsReset();
        }
    }
}

TEST_F(ItemChangesTest, WithoutAWorkFileAddsAreRefusedWithABeep) {
    CatalogRec* readOnly = nullptr;
    ASSERT_EQ(CatalogOpen(&readOnly, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    ItemRec r = MakeTestItem("/photos/a.jpg", 1).record;
    EXPECT_EQ(CatalogAddItem(readOnly, &r, nullptr, nullptr, nullptr, nullptr, nullptr, 0), permErr);
    FSSpec spec;
    FSMakeFSSpecFromPath(folder_.Write("a.jpg", "x"), &spec);
    KindFileRec info;
    EXPECT_EQ(CatalogAddItemFromFile(readOnly, &spec, &info, nullptr), permErr);
    EXPECT_EQ(CatalogUpdateItem(readOnly, nullptr, &r, nullptr, nullptr, nullptr, nullptr, nullptr, false), paramErr);
    EXPECT_EQ(hooks_.beeps, 2);
    EXPECT_EQ(readOnly->itemCount, 0);
    CatalogClose(readOnly, false);
}

TEST_F(ItemChangesTest, AWorkFileThatCannotBeWrittenFailsTheAdd) {
    SetFileFaultHook([&](SInt16 ref, FileFaultPoint point, long) -> OSErr {
        return ref == catalog_->workRefNum && point == FileFaultPoint::kWrite ? dskFulErr : noErr;
    });
    ItemRec r = MakeTestItem("/photos/a.jpg", 1).record;
    EXPECT_EQ(CatalogAddItem(catalog_, &r, nullptr, nullptr, nullptr, nullptr, nullptr, 0), dskFulErr);
    EXPECT_EQ(catalog_->itemCount, 0);
    EXPECT_EQ(catalog_->dataSize, 0);
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(ItemChangesTest, AddFromAFileGoesThroughTheKindEngine) {
    const std::string source = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/Canon.jpg";
    const std::string path = folder_ / "Holiday/IMG 0001.jpg";
    std::filesystem::create_directories(folder_ / "Holiday");
    std::filesystem::copy_file(source, path);
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpecFromPath(path, &spec), noErr);
    KindFileRec info;
    ASSERT_EQ(KindTypeOfFileSpec(&spec, &info), noErr);
    ASSERT_EQ(info.type, OSType('JPEG'));

    const SInt64 workBefore = FileLength(catalog_->workRefNum);
    ItemEntry* entry = nullptr;
    ASSERT_EQ(CatalogAddItemFromFile(catalog_, &spec, &info, &entry), noErr);
    ASSERT_EQ(entry, &Entry(1));
    EXPECT_EQ(entry->flags & (kEntryAddedFlag | kEntryPendingFlag | kEntryInWorkFileFlag),
              kEntryAddedFlag | kEntryPendingFlag | kEntryInWorkFileFlag);
    EXPECT_EQ(entry->position, SInt32(workBefore));
    EXPECT_EQ(FileLength(catalog_->workRefNum), workBefore + 1024);   // no reserve after it

    ItemRec stored = Record(1);
    EXPECT_EQ(stored.kind, info.type);
    EXPECT_EQ(stored.fileSize, info.size);
    EXPECT_EQ(stored.fileSize, UInt32(std::filesystem::file_size(path)));
    EXPECT_EQ(stored.created, info.created);
    EXPECT_EQ(stored.modified, info.modified);
    EXPECT_NE(stored.dateAdded, 0u);
    EXPECT_EQ(stored.reserve, 0u);
    EXPECT_EQ(catalog_->dataSize, 1024);
    EXPECT_EQ(catalog_->mediaSize64, UInt64(info.size));
    EXPECT_EQ(FolderTreeItemFolderPath(catalog_->folderTree, entry->id).empty(), false);
    EXPECT_NE(FolderTreeFindItemNode(catalog_->folderTree, entry->id), nullptr);
    // The import code announces its items itself (filing in the folder tree marks the
    // catalog modified, as any change does).
    EXPECT_EQ(Delivered(), (Got{{kCatalogMsgModified, 0}}));

    // The next one follows right after it.
    ItemEntry* second = nullptr;
    ASSERT_EQ(CatalogAddItemFromFile(catalog_, &spec, &info, &second), noErr);
    EXPECT_EQ(second->position, entry->position + 1024);
    EXPECT_NE(second->id, entry->id);
}

// ---- update ------------------------------------------------------------------------------

TEST_F(ItemChangesTest, UpdatingTheFixedRecordOfAWorkFileItemRewritesItInPlace) {
    SInt32 i = Add("/photos/a.jpg", 1000, std::string(300, 'T'), Dataset(kFieldCaption, "first"));
    Add("/photos/b.jpg", 2000);
    Delivered();
    const ItemEntry before = Entry(i);
    const SInt32 dataSize = catalog_->dataSize;
    const SInt64 workLength = FileLength(catalog_->workRefNum);

    ItemRec r = Record(i);
    r.width = 999;
    r.fileSize = 1500;
    r.thumbnailSize = 77;       // the caller's sizes do not matter: the blocks stay as stored
    r.annotationsSize = 0;
    ASSERT_EQ(CatalogUpdateItem(catalog_, &Entry(i), &r, nullptr, nullptr, nullptr, nullptr, nullptr, false), noErr);

    EXPECT_EQ(Entry(i).position, before.position);
    EXPECT_EQ(Entry(i).flags, before.flags);
    EXPECT_EQ(FileLength(catalog_->workRefNum), workLength);
    EXPECT_EQ(catalog_->dataSize, dataSize);
    EXPECT_EQ(catalog_->mediaSize64, 3500u);
    ItemRec stored = Record(i);
    EXPECT_EQ(stored.width, 999u);
    EXPECT_EQ(stored.thumbnailSize, 300u);
    Handle notes = ItemReadBlock(catalog_, &Entry(i), kBlockAnnotations);
    EXPECT_EQ(Bytes(notes), Dataset(kFieldCaption, "first"));
    DisposeHandle(notes);
    EXPECT_EQ(SentAtOnce(), (Got{{kCatalogMsgItemChanged, WPARAM(i)}}));
    EXPECT_EQ(Delivered(), (Got{{kCatalogMsgModified, 0}}));
}

TEST_F(ItemChangesTest, AHiddenItemIsUpdatedSilently) {
    Add("/photos/a.jpg", 1);
    SInt32 i = Add("/photos/b.jpg", 1);
    Entry(i).flags |= kEntryHiddenFlag;
    catalog_->hiddenCount = 1;
    Delivered();
    ItemRec r = Record(i);
    r.height = 5;
    ASSERT_EQ(CatalogUpdateItem(catalog_, &Entry(i), &r, nullptr, nullptr, nullptr, nullptr, nullptr, false), noErr);
    EXPECT_TRUE(SentAtOnce().empty());
    // The third item is the second visible one.
    SInt32 k = Add("/photos/c.jpg", 1);
    Delivered();
    r = Record(k);
    ASSERT_EQ(CatalogUpdateVisibleItem(catalog_, 2, &r, nullptr, nullptr, nullptr, nullptr, nullptr, false), noErr);
    EXPECT_EQ(SentAtOnce(), (Got{{kCatalogMsgItemChanged, 2}}));
}

TEST_F(ItemChangesTest, NewBlocksStayInTheReserveOrMoveTheRecord) {
    struct Case {
        const char* what;
        size_t thumbnail;
        bool moves;
    } cases[] = {
        {"smaller", 100, false},
        {"grown within the reserve", 300 + kWorkFileReserve, false},
        {"grown past the reserve", 301 + kWorkFileReserve, true},
    };
    for (const Case& c : cases) {
        SInt32 i = Add("/photos/a.jpg", 1000, std::string(300, 'T'), Dataset(kFieldCaption, "kept"));
        Add("/photos/after.jpg", 1);   // something behind it in the work file
        const SInt32 position = Entry(i).position;
        const SInt32 dataSize = catalog_->dataSize;
        const SInt64 workLength = FileLength(catalog_->workRefNum);

        ItemRec r = Record(i);
        Handle t = H(std::string(c.thumbnail, 'N'));
        ASSERT_EQ(CatalogUpdateItem(catalog_, &Entry(i), &r, t, nullptr, nullptr, nullptr, nullptr, false), noErr) << c.what;
        DisposeHandle(t);

        EXPECT_EQ(Entry(i).position != position, c.moves) << c.what;
        if (c.moves) {
            EXPECT_EQ(Entry(i).position, workLength) << c.what;
        }
        EXPECT_EQ(catalog_->dataSize, dataSize + SInt32(c.thumbnail) - 300) << c.what;
        ItemRec stored = Record(i);
        EXPECT_EQ(stored.thumbnailSize, UInt32(c.thumbnail)) << c.what;
        EXPECT_EQ(stored.reserve, c.moves ? kWorkFileReserve : UInt32(kWorkFileReserve + 300 - c.thumbnail)) << c.what;
        Handle notes = ItemReadBlock(catalog_, &Entry(i), kBlockAnnotations);
        EXPECT_EQ(Bytes(notes), Dataset(kFieldCaption, "kept")) << c.what;
        DisposeHandle(notes);
        Handle thumb = ItemReadBlock(catalog_, &Entry(i), kBlockThumbnail);
        EXPECT_EQ(Bytes(thumb), std::string(c.thumbnail, 'N')) << c.what;
        DisposeHandle(thumb);
        // The item behind it is untouched.
        EXPECT_EQ(PText(Record(i + 1).fileName), "/photos/after.jpg") << c.what;
    }
}

TEST_F(ItemChangesTest, UpdatingACatalogFileItemCopiesItToTheWorkFile) {
    std::vector<TestItem> items = {MakeTestItem("/photos/a.jpg", 100), MakeTestItem("/photos/b.jpg", 200),
                                   MakeTestItem("/photos/c.jpg", 300)};
    items[1].annotations = Dataset(kFieldKeywords, "old");
    items[1].thumbnail = std::string(50, 'T');
    CatalogRec* writer = nullptr;
    ASSERT_EQ(CatalogOpen(&writer, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    const std::string path = folder_ / "three.lxc";
    ASSERT_EQ(WriteCatalogWithItems(path, writer, items), noErr);
    CatalogClose(writer, false);
    CatalogClose(catalog_, false);
    catalog_ = OpenCatalogWithWorkFile(path, folder_, "work2");
    ASSERT_NE(catalog_, nullptr);
    ASSERT_EQ(OrganizeBuildList(catalog_, kFieldKeywords, nullptr, 0), noErr);
    const SInt32 oldPosition = Entry(2).position;
    ASSERT_GT(catalog_->lowestHole, oldPosition);
    const SInt32 dataSize = catalog_->dataSize;
    const UInt64 media = catalog_->mediaSize64;

    ItemRec r = Record(2);
    r.fileSize = 250;
    Handle a = H(Dataset(kFieldKeywords, "new"));
    ASSERT_EQ(CatalogUpdateItem(catalog_, &Entry(2), &r, nullptr, a, nullptr, nullptr, nullptr, true), noErr);
    DisposeHandle(a);

    EXPECT_TRUE(Entry(2).flags & kEntryInWorkFileFlag);
    EXPECT_EQ(catalog_->lowestHole, oldPosition);
    EXPECT_EQ(catalog_->dataSize, dataSize + SInt32(Dataset(kFieldKeywords, "new").size()) -
                                      SInt32(Dataset(kFieldKeywords, "old").size()));
    EXPECT_EQ(catalog_->mediaSize64, media + 50);
    Handle thumb = ItemReadBlock(catalog_, &Entry(2), kBlockThumbnail);
    EXPECT_EQ(Bytes(thumb), std::string(50, 'T'));   // the block not given came along
    DisposeHandle(thumb);
    UInt32 n = 0;
    OrganizeEntry* entry = OrganizeFindEntryWithItem(catalog_, kFieldKeywords, 1, Entry(2).id, &n);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(PText(entry->text), "new");
}

TEST_F(ItemChangesTest, UpdateClearsThePendingRefreshAndReindexes) {
    FSSpec spec;
    FSMakeFSSpecFromPath(folder_.Write("pics/new.jpg", "x"), &spec);
    KindFileRec info;
    info.type = 'JPEG';
    ItemEntry* entry = nullptr;
    ASSERT_EQ(CatalogAddItemFromFile(catalog_, &spec, &info, &entry), noErr);
    ASSERT_TRUE(entry->flags & kEntryPendingFlag);
    EXPECT_FALSE(Indexed(kFieldFileKindName, entry->id));

    ItemRec r = Record(1);
    Handle t = H("thumbnail");
    ASSERT_EQ(CatalogUpdateItem(catalog_, entry, &r, t, nullptr, nullptr, nullptr, nullptr, false), noErr);
    DisposeHandle(t);
    EXPECT_FALSE(entry->flags & kEntryPendingFlag);
    EXPECT_TRUE(Indexed(kFieldFileKindName, entry->id));
}

TEST_F(ItemChangesTest, AFailedRewriteLeavesTheItemAsItWas) {
    struct Case {
        const char* what;
        size_t thumbnail;   // 0: fixed record only
        int failingWrite;   // which write to the work file fails (1 = the first)
    } cases[] = {
        {"fixed record", 0, 1},
        {"in place, record written, block fails", 200, 2},
        {"appended, record fails", 20000, 1},
    };
    for (const Case& c : cases) {
        SInt32 i = Add("/photos/a.jpg", 1000, std::string(300, 'T'), Dataset(kFieldCaption, "safe"));
        const ItemEntry before = Entry(i);
        const SInt32 dataSize = catalog_->dataSize;
        ItemRec r = Record(i);
        r.width = 4242;
        int writes = 0;
        SetFileFaultHook([&](SInt16 ref, FileFaultPoint point, long) -> OSErr {
            if (ref != catalog_->workRefNum || point != FileFaultPoint::kWrite) return noErr;
            return ++writes == c.failingWrite ? ioErr : noErr;
        });
        Handle t = c.thumbnail ? H(std::string(c.thumbnail, 'N')) : nullptr;
        OSErr err = CatalogUpdateItem(catalog_, &Entry(i), &r, t, nullptr, nullptr, nullptr, nullptr, false);
        SetFileFaultHook({});
        if (t) DisposeHandle(t);

        EXPECT_NE(err, noErr) << c.what;
        EXPECT_EQ(Entry(i).position, before.position) << c.what;
        EXPECT_EQ(Entry(i).flags, before.flags) << c.what;
        EXPECT_EQ(catalog_->dataSize, dataSize) << c.what;
        ItemRec stored = Record(i);
        EXPECT_EQ(stored.width, 640u) << c.what;
        EXPECT_EQ(stored.thumbnailSize, 300u) << c.what;
        Handle thumb = ItemReadBlock(catalog_, &Entry(i), kBlockThumbnail);
        EXPECT_EQ(Bytes(thumb), std::string(300, 'T')) << c.what;
        DisposeHandle(thumb);
        Handle notes = ItemReadBlock(catalog_, &Entry(i), kBlockAnnotations);
        EXPECT_EQ(Bytes(notes), Dataset(kFieldCaption, "safe")) << c.what;
        DisposeHandle(notes);
    }
}

// ---- delete ------------------------------------------------------------------------------

TEST_F(ItemChangesTest, DeleteTakesTheItemOutOfEverything) {
    Add("/photos/a.jpg", 1000, std::string(100, 'T'));
    SInt32 i = Add("/photos/b.jpg", 2000, std::string(200, 'T'), Dataset(kFieldKeywords, "gone"), 4);
    Add("/photos/c.jpg", 3000);
    const UInt32 id = Entry(i).id;
    const UInt32 otherIds[] = {Entry(1).id, Entry(3).id};
    Entry(i).flags |= kEntryHiddenFlag;
    catalog_->hiddenCount = 1;
    RankRow rows[] = {{otherIds[0], 1, 2, 3}, {id, 4, 5, 6}, {otherIds[1], 7, 8, 9}};
    ASSERT_EQ(PtrAndHand(rows, catalog_->rankList, sizeof rows), noErr);
    ASSERT_TRUE(Indexed(kFieldKeywords, id));
    const SInt32 dataSize = catalog_->dataSize;
    Delivered();

    ASSERT_EQ(CatalogDeleteItem(catalog_, i), noErr);
    EXPECT_EQ(catalog_->itemCount, 2);
    EXPECT_EQ(Entry(1).id, otherIds[0]);
    EXPECT_EQ(Entry(2).id, otherIds[1]);
    EXPECT_EQ(catalog_->hiddenCount, 0);
    EXPECT_EQ(catalog_->labelledCount, 0);
    EXPECT_EQ(catalog_->dataSize, dataSize - SInt32(1024 + 200 + Dataset(kFieldKeywords, "gone").size()));
    EXPECT_EQ(catalog_->mediaSize64, 4000u);
    EXPECT_EQ(catalog_->mediaSize32, 4000);
    EXPECT_EQ(GetHandleSize(catalog_->rankList), Size(2 * sizeof(RankRow)));
    const auto* left = reinterpret_cast<const RankRow*>(*catalog_->rankList);
    EXPECT_EQ(left[0].itemId, otherIds[0]);
    EXPECT_EQ(left[1].itemId, otherIds[1]);
    EXPECT_FALSE(Indexed(kFieldKeywords, id));
    EXPECT_FALSE(Indexed(kFieldFileKindName, id));
    EXPECT_EQ(FolderTreeFindItemNode(catalog_->folderTree, id), nullptr);
    EXPECT_EQ(CatalogVisibleToIndex(catalog_, 2), 2);
    EXPECT_EQ(CatalogVisibleToIndex(catalog_, 3), 0);
    Got got = Delivered();
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (Got{{kCatalogMsgModified, 0}, {kCatalogMsgItemDeleted, 0}}));
}

TEST_F(ItemChangesTest, DeleteKeepsTheSizesRight) {
    struct Case {
        const char* what;
        std::vector<UInt32> sizes;
        UInt64 mediaBefore;      // 0: as the adds made it
        SInt32 index;
        UInt64 mediaAfter;
        SInt32 media32After;
    } cases[] = {
        {"last remaining item", {5000}, 0, 1, 0, 0},
        {"3 GB less 1 MB", {1048576, 10}, 3221225472ull, 1, 3221225472ull - 1048576, 0x7FFFFFFF - 1048576},
        {"sizes that went wrong do not wrap", {100, 100}, 50, 1, 0, 0},
    };
    for (const Case& c : cases) {
        CatalogClose(catalog_, false);
        catalog_ = NewCatalogWithWorkFile(folder_, std::string("work-") + c.what);
        for (UInt32 s : c.sizes) Add("/photos/x.jpg", s);
        if (c.mediaBefore) {
            catalog_->mediaSize64 = c.mediaBefore;
            catalog_->mediaSize32 = c.mediaBefore > 0x7FFFFFFF ? 0x7FFFFFFF : SInt32(c.mediaBefore);
        }
        ASSERT_EQ(CatalogDeleteItem(catalog_, c.index), noErr) << c.what;
        EXPECT_EQ(catalog_->mediaSize64, c.mediaAfter) << c.what;
        EXPECT_EQ(catalog_->mediaSize32, c.media32After) << c.what;
        if (catalog_->itemCount == 0) {
            EXPECT_EQ(catalog_->dataSize, 0) << c.what;
        }
        EXPECT_GE(catalog_->dataSize, 0) << c.what;
    }
}

TEST_F(ItemChangesTest, DeleteRefusesIndexesOutOfRange) {
    Add("/photos/a.jpg", 1);
    Add("/photos/b.jpg", 1);
    Entry(2).flags |= kEntryHiddenFlag;
    catalog_->hiddenCount = 1;
    Delivered();
    for (SInt32 bad : {0, -1, 3}) EXPECT_EQ(CatalogDeleteItem(catalog_, bad), paramErr) << bad;
    EXPECT_EQ(CatalogDeleteVisibleItem(catalog_, 2), paramErr);   // only one is visible
    EXPECT_EQ(catalog_->itemCount, 2);
    EXPECT_TRUE(Delivered().empty());
    EXPECT_EQ(CatalogDeleteVisibleItem(catalog_, 1), noErr);
    EXPECT_EQ(catalog_->itemCount, 1);
    EXPECT_TRUE(Entry(1).flags & kEntryHiddenFlag);
}

TEST_F(ItemChangesTest, DeletingACatalogFileItemLowersTheLowestHole) {
    std::vector<TestItem> items = {MakeTestItem("/photos/a.jpg", 1), MakeTestItem("/photos/b.jpg", 2)};
    CatalogRec* writer = nullptr;
    ASSERT_EQ(CatalogOpen(&writer, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    const std::string path = folder_ / "two.lxc";
    ASSERT_EQ(WriteCatalogWithItems(path, writer, items), noErr);
    CatalogClose(writer, false);
    CatalogClose(catalog_, false);
    catalog_ = OpenCatalogWithWorkFile(path, folder_, "work3");
    ASSERT_NE(catalog_, nullptr);
    const SInt32 second = Entry(2).position;
    ASSERT_EQ(CatalogDeleteItem(catalog_, 2), noErr);
    EXPECT_EQ(catalog_->lowestHole, second);
    ASSERT_EQ(CatalogDeleteItem(catalog_, 1), noErr);
    EXPECT_EQ(catalog_->lowestHole, 8);
}

// A catalog opened to be read (no work file) keeps its items: a delete is refused like every
// other change, with a beep, and the entries, counters and lists stay as they were.
TEST_F(ItemChangesTest, WithoutAWorkFileDeletesAreRefusedWithABeep) {
    std::vector<TestItem> items = {MakeTestItem("/photos/a.jpg", 1), MakeTestItem("/photos/b.jpg", 2)};
    CatalogRec* writer = nullptr;
    ASSERT_EQ(CatalogOpen(&writer, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    const std::string path = folder_ / "read.lxc";
    ASSERT_EQ(WriteCatalogWithItems(path, writer, items), noErr);
    CatalogClose(writer, false);
    FSSpec spec;
    FSMakeFSSpecFromPath(path, &spec);
    CatalogRec* reader = nullptr;
    ASSERT_EQ(CatalogOpen(&reader, &spec, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    ASSERT_EQ(reader->itemCount, 2);
    const ItemEntry first = reader->entries[0];
    const SInt32 dataSize = reader->dataSize;
    const int beeps = hooks_.beeps;
    EXPECT_EQ(CatalogDeleteItem(reader, 1), permErr);
    EXPECT_EQ(CatalogDeleteVisibleItem(reader, 2), permErr);
    EXPECT_EQ(hooks_.beeps, beeps + 2);
    EXPECT_EQ(reader->itemCount, 2);
    EXPECT_EQ(reader->entries[0].id, first.id);
    EXPECT_EQ(reader->dataSize, dataSize);
    EXPECT_FALSE(CatalogIsModified(reader));
    CatalogClose(reader, false);
}

}  // namespace
