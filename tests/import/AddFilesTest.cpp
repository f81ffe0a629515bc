// Adding real files and folders to a catalog: what is taken and what is skipped, where items
// are filed, what their records hold after the refresh, insertion at a position, and the undo
// of a cancelled or failed add.
#include "ImportTestSupport.h"

#include "catalog/items/ItemTransfer.h"
#include "import/settings/ImportFilters.h"
#include "catalog/save/WorkFile.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"
#include "support/ChildProcess.h"

#include <fstream>
#include <tuple>
#include <set>

namespace {

class AddFilesTest : public ImportTest {
protected:
    // The tree of the import tests:
    //   photos/landscape_1.jpg            a camera JPEG
    //   photos/IPTC.jpg                   caption and keywords in IPTC
    //   photos/trip/Canon.jpg, PNG.png
    //   photos/trip/day 2/Nikon.jpg       three levels down
    //   photos/notes.txt                  not media under this edition
    //   photos/empty.jpg                  0 bytes
    //   photos/.hidden.jpg                invisible on this system
    //   photos/broken.jpg                 JPEG data cut off after 200 bytes
    //   photos/gone.jpg -> nowhere        a link whose file is gone
    //   photos/loop -> photos             a link back up the tree
    //   photos/link.jpg -> ../elsewhere/GPS.jpg
    void MakeTree() {
        Put("orientation/landscape_1.jpg", "photos/landscape_1.jpg");
        Put("metadata-samples/IPTC.jpg", "photos/IPTC.jpg");
        Put("metadata-samples/Canon.jpg", "photos/trip/Canon.jpg");
        Put("metadata-samples/PNG.png", "photos/trip/PNG.png");
        Put("metadata-samples/Nikon.jpg", "photos/trip/day 2/Nikon.jpg");
        Put("metadata-samples/GPS.jpg", "elsewhere/GPS.jpg");
        media.Write("photos/notes.txt", "just text\n");
        media.Write("photos/empty.jpg", "");
        Put("metadata-samples/Sony.jpg", "photos/.hidden.jpg");
        std::string jpeg = TempFolder::Read(kFixtures + "/orientation/landscape_2.jpg");
        media.Write("photos/broken.jpg", jpeg.substr(0, 200));
        std::filesystem::create_symlink(media / "nowhere.jpg", media / "photos/gone.jpg");
        std::filesystem::create_directory_symlink(media / "photos", media / "photos/loop");
        std::filesystem::create_symlink("../elsewhere/GPS.jpg", media / "photos/link.jpg");
    }
};

TEST_F(AddFilesTest, ARealFolderTreeBecomesItemsFiledUnderTheirFolders) {
    MakeTree();
    SInt32 added = -1;
    ASSERT_EQ(Add({media / "photos"}, &added), noErr);
    std::set<std::string> expected = {
        media / "photos/landscape_1.jpg", media / "photos/IPTC.jpg",       media / "photos/trip/Canon.jpg",
        media / "photos/trip/PNG.png",    media / "photos/trip/day 2/Nikon.jpg", media / "photos/broken.jpg",
        media / "elsewhere/GPS.jpg",
    };
    EXPECT_EQ(added, SInt32(expected.size()));
    std::vector<std::string> paths = ItemPaths();
    EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()), expected);
    EXPECT_EQ(paths.size(), expected.size()) << "the loop must not file anything twice";

    // Each folder is a node, its items filed in it; the link's file lies in its own folder.
    FolderTree* tree = catalog->folderTree;
    FSSpec photos = Spec(media / "photos");
    FolderNode* photosNode = FolderTreeFindNodeBySpec(tree, &photos, false);
    ASSERT_NE(photosNode, nullptr);
    EXPECT_EQ(photosNode->items.size(), 3u);   // landscape_1, IPTC, broken
    FSSpec dayTwo = Spec(media / "photos/trip/day 2");
    FolderNode* dayTwoNode = FolderTreeFindNodeBySpec(tree, &dayTwo, false);
    ASSERT_NE(dayTwoNode, nullptr);
    EXPECT_EQ(dayTwoNode->unicodeName, u"day 2");
    EXPECT_EQ(dayTwoNode->parent->unicodeName, u"trip");
    EXPECT_EQ(dayTwoNode->items.size(), 1u);
    FSSpec elsewhere = Spec(media / "elsewhere");
    FolderNode* elsewhereNode = FolderTreeFindNodeBySpec(tree, &elsewhere, false);
    ASSERT_NE(elsewhereNode, nullptr);
    EXPECT_EQ(elsewhereNode->items.size(), 1u);

    // Every new entry carries the marks of a fresh import; the window hears of it once.
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        EXPECT_TRUE(catalog->entries[i].flags & kEntryAddedFlag);
        EXPECT_TRUE(catalog->entries[i].flags & kEntryPendingFlag);
    }
    Deliver();
    EXPECT_EQ(window.Count(kMsgItemsAdded), 1);
    EXPECT_TRUE(StaleIds().empty());
}

TEST_F(AddFilesTest, TheRefreshReadsFactsThumbnailAndMetadataIntoTheRecords) {
    MakeTree();
    ASSERT_EQ(Add({media / "photos"}), noErr);
    RefreshAll();
    int withThumbnail = 0;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        ItemEntry* e = &catalog->entries[i];
        EXPECT_FALSE(e->flags & kEntryPendingFlag);
        ItemRec r;
        ASSERT_EQ(ItemLoadRecord(catalog, e, &r), noErr);
        std::string path = ItemPath(e->id);
        Handle thumb = ItemReadBlock(catalog, e, kBlockThumbnail);
        if (thumb) ++withThumbnail;
        if (path.ends_with("landscape_1.jpg")) {
            EXPECT_EQ(r.kind, OSType('JPEG'));
            EXPECT_GT(r.width, r.height);   // a landscape picture
            EXPECT_GT(r.width, 0u);
            EXPECT_NE(thumb, nullptr);
            EXPECT_EQ(r.fileSize, UInt32(std::filesystem::file_size(path)));
        }
        if (path.ends_with("Canon.jpg")) {
            Handle meta = ItemReadBlock(catalog, e, kBlockMetadata);
            EXPECT_NE(meta, nullptr) << "the camera's EXIF data";
            if (meta) DisposeHandle(meta);
        }
        if (path.ends_with("IPTC.jpg")) {
            Handle annotations = ItemReadBlock(catalog, e, kBlockAnnotations);
            ASSERT_NE(annotations, nullptr);
            UInt16 length = 0;
            EXPECT_NE(IptcFindDataset(512 + 120, 1, annotations, &length, nullptr), nullptr) << "the caption";
            EXPECT_GT(length, 0);
            DisposeHandle(annotations);
        }
        if (path.ends_with("PNG.png")) {
            FSSpec spec = Spec(path);
            EXPECT_EQ(r.kind, KindTypeFromExtension(&spec, nullptr));
            EXPECT_EQ(r.width, 16u);   // the sample's size
        }
        if (thumb) DisposeHandle(thumb);
    }
    EXPECT_GE(withThumbnail, 6);   // all but the cut-off JPEG, which at most gives what it could
    // The journal is empty again once every reading finished.
    MediaFileRec journal;
    EXPECT_EQ(ImportJournalRead(&journal), fnfErr);
}

TEST_F(AddFilesTest, CancelHalfwayLeavesTheCatalogAsItWas) {
    // Items and folders the catalog held before.
    Put("metadata-samples/Olympus.jpg", "photos/before.jpg");
    ASSERT_EQ(Add({media / "photos"}), noErr);
    ASSERT_EQ(catalog->itemCount, 1);
    const ItemEntry before = catalog->entries[0];
    const SInt32 dataSize = catalog->dataSize;
    const UInt64 mediaSize = catalog->mediaSize64;
    Deliver();
    window.got.clear();

    for (int i = 0; i < 20; ++i) Put("metadata-samples/Canon.jpg", "photos/" + std::to_string(100 + i) + ".jpg");
    Put("metadata-samples/Canon.jpg", "photos/new folder/x.jpg");
    CancellingHooks hooks(10);
    SetUiHooks(&hooks);
    SInt32 added = -1;
    EXPECT_EQ(Add({media / "photos"}, &added, 0, AddFilesUiProgress), userCanceledErr);
    EXPECT_EQ(added, 0);
    EXPECT_EQ(hooks.steps, 10);
    EXPECT_EQ(hooks.started, "Importing");
    EXPECT_EQ(hooks.ended, 1);
    EXPECT_EQ(catalog->itemCount, 1);
    EXPECT_EQ(catalog->entries[0].id, before.id);
    EXPECT_EQ(catalog->entries[0].position, before.position);
    EXPECT_EQ(catalog->dataSize, dataSize);
    EXPECT_EQ(catalog->mediaSize64, mediaSize);
    // No id of the undone items stays in the folder that existed before.
    EXPECT_TRUE(StaleIds().empty());
    FSSpec photos = Spec(media / "photos");
    FolderNode* node = FolderTreeFindNodeBySpec(catalog->folderTree, &photos, false);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->items, std::vector<UInt32>{before.id});
    EXPECT_TRUE(node->children.empty()) << "the folder made by the undone call goes";
    Deliver();
    EXPECT_EQ(window.Count(kMsgItemsAdded), 0);
    SetUiHooks(nullptr);

    // The same add without a cancel takes everything.
    SInt32 again = 0;
    EXPECT_EQ(Add({media / "photos"}, &again), noErr);
    EXPECT_EQ(again, 21);
}

TEST_F(AddFilesTest, AFullCatalogEndsTheCallWithItsErrorAndUndoesIt) {
    for (int i = 0; i < 5; ++i) Put("metadata-samples/Canon.jpg", "photos/" + std::to_string(i) + ".jpg");
    catalog->entryCapacity = 3;
    SInt32 added = -1;
    EXPECT_EQ(Add({media / "photos"}, &added), mFulErr);
    EXPECT_EQ(added, 0);
    EXPECT_EQ(catalog->itemCount, 0);
    EXPECT_TRUE(StaleIds().empty());
    EXPECT_TRUE(catalog->folderTree->itemMap.empty());
}

TEST_F(AddFilesTest, NewItemsGoBeforeTheGivenPosition) {
    for (int i = 1; i <= 5; ++i) Put("metadata-samples/Canon.jpg", "old/" + std::to_string(i) + ".jpg");
    ASSERT_EQ(Add({media / "old"}), noErr);
    Put("metadata-samples/Canon.jpg", "new/a.jpg");
    Put("metadata-samples/Canon.jpg", "new/b.jpg");
    SInt32 added = 0;
    ASSERT_EQ(Add({media / "new/a.jpg", media / "new/b.jpg"}, &added, 3), noErr);
    EXPECT_EQ(added, 2);
    std::vector<std::string> names;
    for (const std::string& p : ItemPaths()) names.push_back(p.substr(media.path().size() + 1));
    EXPECT_EQ(names, (std::vector<std::string>{"old/1.jpg", "old/2.jpg", "new/a.jpg", "new/b.jpg", "old/3.jpg",
                                               "old/4.jpg", "old/5.jpg"}));
    // Only the new ones carry the mark of the latest import.
    for (SInt32 i = 0; i < catalog->itemCount; ++i)
        EXPECT_EQ(bool(catalog->entries[i].flags & kEntryAddedFlag), i == 2 || i == 3) << i;
}

TEST_F(AddFilesTest, WhatIsSkipped) {
    Put("metadata-samples/Canon.jpg", "p/a.jpg");
    media.Write("p/zero.jpg", "");
    Put("metadata-samples/Canon.jpg", "p/Temporary Internet Files/cached.jpg");
    Put("metadata-samples/Canon.jpg", "p/.cache/x.jpg");
    SInt32 added = 0;
    ASSERT_EQ(Add({media / "p"}, &added), noErr);
    EXPECT_EQ(added, 1);
    // The same file again, alone or with its folder: still one item.
    ASSERT_EQ(Add({media / "p/a.jpg", media / "p"}, &added), noErr);
    EXPECT_EQ(added, 0);
    EXPECT_EQ(catalog->itemCount, 1);
    // A folder of that name given itself is walked.
    ASSERT_EQ(Add({media / "p/Temporary Internet Files"}, &added), noErr);
    EXPECT_EQ(added, 1);
}

// A file of exactly 4 GiB has a size whose low 32 bits are 0: it is not an empty file, and its
// size is not cut to a small number anywhere it is stored.
TEST_F(AddFilesTest, AFileOfFourGibibytesIsNotEmpty) {
    std::string path = media / "big/huge.jpg";
    std::filesystem::create_directories(media / "big");
    { std::ofstream(path, std::ios::binary) << "x"; }
    std::filesystem::resize_file(path, 0x100000000ull);   // sparse: nothing is written
    ImportSettingsRec* s = catalog->importSettings;
    ImportSettingsSetRule(s, kRuleSizeKB, true);
    s->ruleOperators[kRuleSizeKB] = kNumberGreater;
    s->sizeKB = 4u * 1024 * 1024 - 1;   // more than 4 GiB - 1 KB
    SInt32 added = 0;
    ASSERT_EQ(Add({media / "big"}, &added), noErr);
    EXPECT_EQ(added, 1);
    ItemRec r;
    ASSERT_EQ(ItemLoadRecord(catalog, &catalog->entries[0], &r), noErr);
    EXPECT_EQ(r.fileSize, 0xFFFFFFFFu) << "the 32-bit field holds as much as it can";
}

TEST_F(AddFilesTest, SettingsAndFiltersDecide) {
    Put("metadata-samples/Canon.jpg", "f/small.jpg");
    Put("orientation/landscape_1.jpg", "f/large.jpg");
    Put("metadata-samples/PNG.png", "f/picture.png");
    Put("metadata-samples/Canon.jpg", "f/sub/deep.jpg");
    std::filesystem::create_symlink("small.jpg", media / "f/shortcut.jpg");
    ImportSettingsRec* s = catalog->importSettings;

    s->ignoreShortcuts = 1;
    ImportSettingsSetRule(s, kRuleSizeKB, true);
    s->ruleOperators[kRuleSizeKB] = kNumberGreater;
    s->sizeKB = 100;
    ImportSettingsSetRule(s, kRuleFolderLevel, true);
    s->ruleOperators[kRuleFolderLevel] = kNumberEquals;
    s->folderLevel = 1;
    SInt32 added = 0;
    ASSERT_EQ(Add({media / "f"}, &added), noErr);
    EXPECT_EQ(ItemPaths(), std::vector<std::string>{media / "f/large.jpg"});

    // Images switched off: nothing of that category is recognised.
    ImportSettingsSetCategory(s, kCategoryImage, false);
    ImportSettingsSetRule(s, kRuleSizeKB, false);
    ImportSettingsSetRule(s, kRuleFolderLevel, false);
    ASSERT_EQ(Add({media / "f"}, &added), noErr);
    EXPECT_EQ(added, 0);
    ImportSettingsSetCategory(s, kCategoryImage, true);
    s->ignoreShortcuts = 0;
    ASSERT_EQ(Add({media / "f"}, &added), noErr);
    EXPECT_EQ(added, 3);   // small, picture, deep; the link leads to small, already filed
}

TEST_F(AddFilesTest, RefusalsComeFirst) {
    Put("metadata-samples/Canon.jpg", "r/a.jpg");
    ASSERT_EQ(Add({media / "r"}), noErr);
    ASSERT_TRUE(catalog->entries[0].flags & kEntryAddedFlag);
    EXPECT_EQ(CatalogAddFiles(catalog, 0, nullptr, 0, nullptr, 0, nullptr), paramErr);
    EXPECT_TRUE(catalog->entries[0].flags & kEntryAddedFlag) << "a refused call changes nothing";

    CatalogRec* readOnly = nullptr;
    ASSERT_EQ(CatalogOpen(&readOnly, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    opened.push_back(readOnly);
    FSSpec spec = Spec(media / "r/a.jpg");
    SInt32 added = -1;
    EXPECT_EQ(CatalogAddFiles(readOnly, 0, &spec, 1, nullptr, 0, &added), permErr);
    EXPECT_EQ(added, 0);
}

TEST_F(AddFilesTest, TheJournalNamesAFileWhoseReadingDidNotFinish) {
    std::string path = Put("metadata-samples/Canon.jpg", "j/a.jpg");
    MediaFileRec file;
    FSSpec spec = Spec(path);
    ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
    MediaFileRec read;
    EXPECT_EQ(ImportJournalRead(&read), fnfErr);
    ImportJournalWrite(&file);
    // As the next start sees it.
    RegistryForgetCachedStores();
    ASSERT_EQ(ImportJournalRead(&read), noErr);
    EXPECT_EQ(read.spec.path, path);
    EXPECT_EQ(read.type, file.type);
    EXPECT_EQ(read.size, file.size);
    ImportJournalReset();
    EXPECT_EQ(ImportJournalRead(&read), fnfErr);

    // A program that dies while a reader works on the file leaves it named.
    {
        ChildProcess child([&](ChildProcess& self) {
            ImportJournalWrite(&file);
            self.Send("reading");
            self.Receive(60000);   // killed meanwhile
            return 0;
        });
        ASSERT_EQ(child.Receive(), "reading");
        child.Kill();
    }
    RegistryForgetCachedStores();
    ASSERT_EQ(ImportJournalRead(&read), noErr);
    EXPECT_EQ(read.spec.path, path);
}

}  // namespace

namespace {

struct Phases {
    std::vector<std::tuple<short, long, long>> calls;
    long cancelAt = 0;   // answers userCanceledErr to the phase-1 call of this item
};

OSErr RecordPhases(short phase, long a, long b, long refCon) {
    auto* p = reinterpret_cast<Phases*>(refCon);
    p->calls.emplace_back(phase, a, b);
    return (phase == 1 && p->cancelAt && a == p->cancelAt) ? OSErr(userCanceledErr) : OSErr(noErr);
}

class RefreshTest : public ImportTest {
protected:
    Handle Ids() {
        Handle h = NewHandle(long(catalog->itemCount) * 4);
        for (SInt32 i = 0; i < catalog->itemCount; ++i) std::memcpy(*h + 4 * i, &catalog->entries[i].id, 4);
        return h;
    }
    int Pending() {
        int n = 0;
        for (SInt32 i = 0; i < catalog->itemCount; ++i) n += (catalog->entries[i].flags & kEntryPendingFlag) != 0;
        return n;
    }
};

TEST_F(RefreshTest, EveryReadyItemATickInOrderWithItsProgressAndNothingWhileTheMouseIsDown) {
    for (int i = 0; i < 3; ++i) Put("metadata-samples/Canon.jpg", "r/" + std::to_string(i) + ".jpg");
    ASSERT_EQ(Add({media / "r"}), noErr);
    // The second item is deleted before its turn: the job only moves past it.
    const UInt32 secondId = catalog->entries[1].id;
    Handle ids = Ids();
    ASSERT_EQ(CatalogDeleteItem(catalog, 2), noErr);
    Phases phases;
    RefreshOptions all = RefreshOptionsAll();
    CancellingHooks hooks(0);
    SetUiHooks(&hooks);
    ASSERT_EQ(StartItemRefreshTimer(catalog, long(&phases), ids, RecordPhases, &all), noErr);
    DisposeHandle(ids);   // the job keeps its own copy

    // The files are read, but nothing is applied while the button is held.
    ItemRefreshWaitForReadings();
    hooks.mouseDown = true;
    timers.Advance(kRefreshTickMs);
    EXPECT_TRUE(phases.calls.empty());
    EXPECT_EQ(Pending(), 2);
    EXPECT_EQ(ItemRefreshJobCount(catalog), 1);
    hooks.mouseDown = false;
    timers.Advance(kRefreshTickMs);
    EXPECT_EQ(Pending(), 0) << "every item read by then, in one tick";
    EXPECT_EQ(ItemRefreshJobCount(catalog), 0);
    using Call = std::tuple<short, long, long>;
    EXPECT_EQ(phases.calls, (std::vector<Call>{{0, 0, 3}, {1, 1, 3}, {1, 2, 3}, {1, 3, 3}, {2, 3, 3}}));
    EXPECT_EQ(CatalogFindEntryIndexById(catalog, secondId), 0);
}

TEST_F(RefreshTest, CancelStopAndTheLimitOfJobs) {
    for (int i = 0; i < 3; ++i) Put("metadata-samples/Canon.jpg", "r/" + std::to_string(i) + ".jpg");
    ASSERT_EQ(Add({media / "r"}), noErr);
    Handle ids = Ids();
    RefreshOptions all = RefreshOptionsAll();

    Phases cancelled;
    cancelled.cancelAt = 2;
    ASSERT_EQ(StartItemRefreshTimer(catalog, long(&cancelled), ids, RecordPhases, &all), noErr);
    for (int i = 0; i < 5; ++i) {
        ItemRefreshWaitForReadings();
        timers.Advance(kRefreshTickMs);
    }
    using Call = std::tuple<short, long, long>;
    EXPECT_EQ(cancelled.calls, (std::vector<Call>{{0, 0, 3}, {1, 1, 3}, {1, 2, 3}, {2, 3, 3}}));
    EXPECT_EQ(Pending(), 2);

    for (int i = 0; i < kRefreshJobSlots; ++i) ASSERT_EQ(StartItemRefreshTimer(catalog, 0, ids, nullptr, &all), noErr) << i;
    Phases refused;
    EXPECT_EQ(StartItemRefreshTimer(catalog, long(&refused), ids, RecordPhases, &all), -1);
    StopItemRefreshTimer(catalog);
    EXPECT_EQ(ItemRefreshJobCount(nullptr), 0);
    timers.Advance(10 * kRefreshTickMs);
    EXPECT_TRUE(refused.calls.empty());
    EXPECT_EQ(Pending(), 2) << "stopped jobs refresh nothing more";

    // Items still pending are removed when the user drops the background work.
    EXPECT_TRUE(CatalogRemoveMarkedItems(catalog));
    EXPECT_EQ(catalog->itemCount, 1);
    EXPECT_TRUE(StaleIds().empty());
    DisposeHandle(ids);
}

TEST_F(RefreshTest, ALabelInTheFileBecomesTheItemsLabelAndCustomFieldsStay) {
    Put("metadata-samples/IPTC.jpg", "l/a.jpg");
    ASSERT_EQ(Add({media / "l"}), noErr);
    RefreshAll();
    ItemEntry* e = &catalog->entries[0];
    Handle block = ItemReadBlock(catalog, e, kBlockAnnotations);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(IptcFindDataset(522, 1, block, nullptr, nullptr), nullptr) << "2:10 never stays in the block";
    // A custom field the user filled in survives a refresh that takes the file's annotations.
    const char value[] = "box 12";
    SetHandleSize(catalog->customFieldNames, 256);
    std::memset(*catalog->customFieldNames, 0, 256);
    std::memcpy(*catalog->customFieldNames, "\x03" "Box", 4);
    IptcSetDataset(769, 1, value, SInt16(sizeof value - 1), block, kIptcReplace, IptcMarkerAnsi);
    ItemRec record;
    ASSERT_EQ(ItemLoadRecord(catalog, e, &record), noErr);
    ASSERT_EQ(CatalogUpdateItem(catalog, e, &record, nullptr, block, nullptr, nullptr, nullptr, false), noErr);
    DisposeHandle(block);
    RefreshOptions all = RefreshOptionsAll();
    FSSpec file = Spec(media / "l/a.jpg");
    ASSERT_EQ(CatalogRefreshItemFromFile(catalog, e, &all, nullptr, &file), noErr);
    block = ItemReadBlock(catalog, e, kBlockAnnotations);
    ASSERT_NE(block, nullptr);
    UInt16 length = 0;
    Ptr kept = IptcFindDataset(769, 1, block, &length, nullptr);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(std::string(kept, length), "box 12");
    EXPECT_NE(IptcFindDataset(512 + 120, 1, block, nullptr, nullptr), nullptr);
    DisposeHandle(block);
}

}  // namespace

namespace {

TEST_F(AddFilesTest, AnItemIsMadeFromTheRecordOfAnItemOfAnotherCatalog) {
    Put("metadata-samples/IPTC.jpg", "c/a.jpg");
    Put("metadata-samples/Canon.jpg", "other/b.jpg");
    ASSERT_EQ(Add({media / "c"}), noErr);
    RefreshAll();
    ItemEntry source = catalog->entries[0];
    Handle data = nullptr;
    ASSERT_EQ(ItemReadRecordWithData(&data, CatalogGetItemRefNum(catalog, &source), source.position, true, true), noErr);
    const UInt32 folderId = FolderTreeFindItemNode(catalog->folderTree, source.id)->nodeId;
    Handle sourceThumbnail = ItemReadBlock(catalog, &source, kBlockThumbnail);
    ASSERT_NE(sourceThumbnail, nullptr);

    CatalogRec* source_catalog = catalog;
    catalog = OpenNew("second.work");
    ASSERT_NE(catalog, nullptr);
    ASSERT_EQ(Add({media / "other"}), noErr);

    // A package whose sizes do not add up is refused and changes nothing.
    Handle damaged = NewHandle(GetHandleSize(data) - 1);
    std::memcpy(*damaged, *data, std::size_t(GetHandleSize(damaged)));
    EXPECT_EQ(CatalogCopyItemRecord(catalog, 1, damaged, 0, nullptr, 0, folderId), paramErr);
    DisposeHandle(damaged);
    EXPECT_EQ(catalog->itemCount, 1);

    ASSERT_EQ(CatalogCopyItemRecord(catalog, 1, data, 4, nullptr, 0, folderId), noErr);
    DisposeHandle(data);
    ASSERT_EQ(catalog->itemCount, 2);
    ItemEntry* copy = &catalog->entries[0];
    EXPECT_EQ(copy->flags & kEntryLabelMask, 4u);
    EXPECT_EQ(ItemPath(copy->id), media / "c/a.jpg") << "filed under the folder it came from";
    EXPECT_EQ(ItemPath(catalog->entries[1].id), media / "other/b.jpg") << "the copy goes before visible item 1";
    Handle thumbnail = ItemReadBlock(catalog, copy, kBlockThumbnail);
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(GetHandleSize(thumbnail), GetHandleSize(sourceThumbnail));
    EXPECT_EQ(std::memcmp(*thumbnail, *sourceThumbnail, std::size_t(GetHandleSize(thumbnail))), 0);
    DisposeHandle(thumbnail);
    DisposeHandle(sourceThumbnail);
    EXPECT_EQ(source_catalog->itemCount, 1) << "the source catalog is left alone";
}

}  // namespace
