// Saving in place, under a new name and compacted: the layout of the saved file, the records
// the work file holds, the refusals before anything is written, and failures at every write of
// a save, which must leave the open catalog, its file and its work file exactly as they were.
#include "catalog/save/CatalogSave.h"

#include "SaveSupport.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/save/CatalogLocks.h"
#include "catalog/save/CatalogProgress.h"
#include "catalog/save/WorkFile.h"
#include "platform/ByteOrder.h"
#include "platform/FileFaults.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"
#include "support/FileSpecs.h"
#include "support/RecordingWindow.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace savetest;

TestItem Item(const std::string& name, size_t thumbnailBytes = 0) {
    TestItem t;
    t.path = "/media/photos/" + name;
    t.thumbnail = std::string(thumbnailBytes, char(0xA5));
    t.annotations = CaptionBlock("caption of " + name);
    t.url = "http://example.org/" + name;
    t.metadata = "meta:" + name;
    return t;
}

bool TempFilesIn(const std::string& dir) {
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().filename().string().find(".saving-") != std::string::npos) return true;
    return false;
}


class CatalogSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartCatalogEngine();
        SetTimerService(&timers);
        CatalogNotificationsReset();
    }
    void TearDown() override {
        SetFileFaultHook(nullptr);
        for (CatalogRec* c : open) CatalogClose(c, false);
        CatalogNotificationsReset();
        SetTimerService(nullptr);
    }
    // A catalog opened (or made, without a path) with a work file of its own.
    CatalogRec* Open(const std::string& path = "") {
        FSSpec work = SpecOf(dir / ("work-" + std::to_string(++works)));
        FSSpec spec = SpecOf(path);
        CatalogRec* c = nullptr;
        EXPECT_EQ(noErr, CatalogOpen(&c, path.empty() ? nullptr : &spec, &work, nullptr, nullptr, nullptr, 0));
        if (c) open.push_back(c);
        return c;
    }
    // A saved catalog of the named items, open.
    CatalogRec* Saved(const std::vector<TestItem>& items, const std::string& name = "Photos.lxc") {
        CatalogRec* c = Open();
        for (const TestItem& t : items) AddWorkItem(c, t);
        FSSpec target = SpecOf(dir / name);
        EXPECT_EQ(noErr, CatalogSave(c, &target, nullptr, 0));
        return c;
    }

    TempFolder dir;
    ManualTimerService timers;
    std::vector<CatalogRec*> open;
    int works = 0;
};

TEST_F(CatalogSaveTest, SavingANewCatalogWritesTheWorkFileRecordsFromOffsetEight) {
    CatalogRec* c = Open();
    RecordingWindow w;
    CatalogAddListener(c, &w, kCatalogMsgModified);
    std::vector<TestItem> items = {Item("a.jpg", 3000), Item("b.jpg"), Item("c.jpg", 17)};
    for (const TestItem& t : items) AddWorkItem(c, t);
    std::vector<Bytes> before;
    for (SInt32 i = 0; i < 3; ++i) before.push_back(StoredRecord(c, i));
    timers.Advance(kNotifyIntervalMs);
    w.got.clear();

    std::string path = dir / "Photos.lxc";
    FSSpec target = SpecOf(path);
    ASSERT_EQ(noErr, CatalogSave(c, &target, nullptr, 0));

    EXPECT_EQ("", CheckSavedFile(path));
    SInt32 at = 8;
    for (SInt32 i = 0; i < 3; ++i) {
        EXPECT_EQ(at, c->entries[i].position) << i;
        EXPECT_EQ(0u, c->entries[i].flags & kEntryInWorkFileFlag);
        EXPECT_EQ(before[size_t(i)], StoredRecord(c, i)) << "record " << i << " moved unchanged";
        at += SInt32(before[size_t(i)].size());
    }
    EXPECT_EQ(at, c->endOfRecords);
    EXPECT_EQ(at, c->lowestHole);
    SInt64 workLength = -1;
    GetEOF64(c->workRefNum, &workLength);
    EXPECT_EQ(0, workLength);
    EXPECT_FALSE(CatalogIsModified(c));
    EXPECT_EQ(3, c->itemCountAtSave);
    EXPECT_EQ(path, c->fileSpec.path);
    Str255 name;
    CatalogGetDisplayName(c, name, false);
    EXPECT_EQ("Photos", std::string(reinterpret_cast<char*>(name + 1), name[0]));
    timers.Advance(kNotifyIntervalMs);
    EXPECT_EQ((std::vector<std::pair<UINT, WPARAM>>{{kCatalogMsgModified, 0}}), w.got);
    // A catalog that got a file holds a lock slot of it, as if it had been opened there.
    EXPECT_EQ("LYREX LOCK", TempFolder::Read(path + "_0"));
    EXPECT_EQ(1, CatalogCountLockUsers(&target, -1));

    EXPECT_EQ((std::vector<std::string>{"/media/photos/a.jpg", "/media/photos/b.jpg", "/media/photos/c.jpg"}),
              NamesInFile(path));
    EXPECT_FALSE(TempFilesIn(dir.path()));
    CatalogRemoveListener(c, &w, 0);
}

TEST_F(CatalogSaveTest, AnInPlaceSaveAfterAnAddKeepsTheOldRecordsAndAppendsTheNewOne) {
    CatalogRec* c = Saved({Item("a.jpg", 500), Item("b.jpg", 40)});
    std::string path = c->fileSpec.path;
    Bytes old = ReadBytes(path);
    SInt32 oldEnd = c->endOfRecords;
    AddWorkItem(c, Item("new.jpg", 99));
    Bytes added = StoredRecord(c, 2);

    ASSERT_EQ(noErr, CatalogSave(c, nullptr, nullptr, 0));
    Bytes now = ReadBytes(path);
    EXPECT_EQ("", CheckSavedFile(path));
    ASSERT_GE(now.size(), size_t(oldEnd) + added.size());
    EXPECT_TRUE(std::equal(old.begin() + 8, old.begin() + oldEnd, now.begin() + 8)) << "records before the new one untouched";
    EXPECT_EQ(oldEnd, c->entries[2].position);
    EXPECT_TRUE(std::equal(added.begin(), added.end(), now.begin() + oldEnd));
    EXPECT_EQ(3u, ReadBE32(now.data()));
    EXPECT_EQ(SInt32(oldEnd + added.size()), c->endOfRecords);
}

TEST_F(CatalogSaveTest, DeletingTheFirstItemMovesEveryLaterRecordDownByItsSize) {
    CatalogRec* c = Saved({Item("a.jpg", 700), Item("b.jpg", 10), Item("c.jpg", 2000)});
    Bytes first = StoredRecord(c, 0), second = StoredRecord(c, 1), third = StoredRecord(c, 2);
    DeleteItem(c, 0);
    EXPECT_EQ(8, c->lowestHole);
    ASSERT_EQ(noErr, CatalogSave(c, nullptr, nullptr, 0));
    EXPECT_EQ("", CheckSavedFile(c->fileSpec.path));
    EXPECT_EQ(8, c->entries[0].position);
    EXPECT_EQ(SInt32(8 + second.size()), c->entries[1].position);
    EXPECT_EQ(second, StoredRecord(c, 0));
    EXPECT_EQ(third, StoredRecord(c, 1));
    EXPECT_EQ(SInt32(8 + second.size() + third.size()), c->endOfRecords);
    EXPECT_EQ((std::vector<std::string>{"/media/photos/b.jpg", "/media/photos/c.jpg"}), NamesInFile(c->fileSpec.path));
}

// A catalog with no items is saved like any other: emptied and saved in place, or new and empty
// and saved under a name, it opens again with no items.
TEST_F(CatalogSaveTest, ACatalogWithoutItemsSavesInPlaceAndUnderANewName) {
    CatalogRec* emptied = Saved({Item("a.jpg", 100), Item("b.jpg", 10)});
    DeleteItem(emptied, 1);
    DeleteItem(emptied, 0);
    ASSERT_EQ(0, emptied->itemCount);
    EXPECT_EQ(noErr, CatalogSave(emptied, nullptr, nullptr, 0));
    EXPECT_FALSE(CatalogIsModified(emptied));

    CatalogRec* fresh = Open();
    FSSpec target = SpecOf(dir / "Empty.lxc");
    EXPECT_EQ(noErr, CatalogSave(fresh, &target, nullptr, 0));

    for (const std::string& path : {emptied->fileSpec.path, target.path}) {
        SCOPED_TRACE(path);
        EXPECT_EQ("", CheckSavedFile(path));
        EXPECT_EQ(0u, ReadBE32(ReadBytes(path).data()));
        CatalogRec* again = Open(path);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(0, again->itemCount);
        EXPECT_EQ(0u, CatalogGetOpenWarnings(again));
    }
    EXPECT_FALSE(TempFilesIn(dir.path()));
}

TEST_F(CatalogSaveTest, AChangedRecordLeavesAHoleThatTheInPlaceSaveClosesUp) {
    CatalogRec* c = Saved({Item("a.jpg", 100), Item("b.jpg", 100), Item("c.jpg", 100), Item("d.jpg", 100)});
    SInt32 bPosition = c->entries[1].position;
    TestItem bigger = Item("b2.jpg", 5000);
    UpdateItem(c, 1, bigger);
    EXPECT_EQ(bPosition, c->lowestHole);
    EXPECT_NE(0u, c->entries[1].flags & kEntryInWorkFileFlag);
    Bytes changed = StoredRecord(c, 1);
    Bytes a = StoredRecord(c, 0), cc = StoredRecord(c, 2), d = StoredRecord(c, 3);

    ASSERT_EQ(noErr, CatalogSave(c, nullptr, nullptr, 0));
    EXPECT_EQ("", CheckSavedFile(c->fileSpec.path));
    // In the file: a (kept), c and d (moved down), then the changed b from the work file.
    EXPECT_EQ(8, c->entries[0].position);
    EXPECT_EQ(bPosition, c->entries[2].position);
    EXPECT_EQ(SInt32(bPosition + cc.size()), c->entries[3].position);
    EXPECT_EQ(SInt32(bPosition + cc.size() + d.size()), c->entries[1].position);
    EXPECT_EQ(a, StoredRecord(c, 0));
    EXPECT_EQ(changed, StoredRecord(c, 1));
    EXPECT_EQ(cc, StoredRecord(c, 2));
    EXPECT_EQ(d, StoredRecord(c, 3));
    EXPECT_EQ((std::vector<std::string>{"/media/photos/a.jpg", "/media/photos/b2.jpg", "/media/photos/c.jpg",
                                        "/media/photos/d.jpg"}),
              NamesInFile(c->fileSpec.path));
}

TEST_F(CatalogSaveTest, SavingUnderANewNameCopiesBothFilesInItemOrderAndLeavesTheOldFile) {
    CatalogRec* c = Saved({Item("a.jpg", 10), Item("b.jpg", 20), Item("c.jpg", 30)});
    std::string oldPath = c->fileSpec.path;
    Bytes oldBytes = ReadBytes(oldPath);
    UpdateItem(c, 0, Item("a2.jpg", 4000));   // now in the work file
    AddWorkItem(c, Item("d.jpg"));
    // The caller has made the target already (as the save dialog does); it is replaced.
    std::string newPath = dir.Write("Copy.lxc", "");
    FSSpec target = SpecOf(newPath);
    ASSERT_EQ(noErr, CatalogSave(c, &target, nullptr, 0));
    EXPECT_EQ("", CheckSavedFile(newPath));
    EXPECT_EQ(oldBytes, ReadBytes(oldPath));
    // Catalog-file records b, c first, then a2 and d from the work file.
    EXPECT_LT(c->entries[1].position, c->entries[2].position);
    EXPECT_LT(c->entries[2].position, c->entries[0].position);
    EXPECT_LT(c->entries[0].position, c->entries[3].position);
    EXPECT_EQ((std::vector<std::string>{"/media/photos/a2.jpg", "/media/photos/b.jpg", "/media/photos/c.jpg",
                                        "/media/photos/d.jpg"}),
              NamesInFile(newPath));
    // The lock moved with the catalog.
    FSSpec oldSpec = SpecOf(oldPath);
    EXPECT_EQ(0, CatalogCountLockUsers(&oldSpec, -1));
    EXPECT_EQ(1, CatalogCountLockUsers(&target, -1));
}

TEST_F(CatalogSaveTest, AnnotationAndUrlTextsAreMacRomanInTheFilesAndWindows1252InMemory) {
    CatalogRec* c = Open();
    TestItem t = Item("e.jpg");
    t.annotations = CaptionBlock("Caf\xE9");   // é in Windows-1252
    t.url = "http://x/\xE9";
    SInt32 i = AddWorkItem(c, t);
    FSSpec target = SpecOf(dir / "Photos.lxc");
    ASSERT_EQ(noErr, CatalogSave(c, &target, nullptr, 0));
    Bytes stored = StoredRecord(c, i);
    std::string blocks(stored.begin() + 1024, stored.end());
    EXPECT_NE(std::string::npos, blocks.find("Caf\x8E")) << "é is 0x8E in Mac Roman";
    EXPECT_NE(std::string::npos, blocks.find("http://x/\x8E"));

    for (bool convert : {true, false}) {
        Handle h = nullptr;
        ASSERT_EQ(noErr, ItemReadRecordWithData(&h, c->catalogRefNum, c->entries[i].position, convert, false));
        std::string data(*h + 1024, *h + GetHandleSize(h));
        EXPECT_EQ(convert ? CaptionBlock("Caf\xE9") + "http://x/\xE9" + "meta:e.jpg"
                          : CaptionBlock("Caf\x8E") + "http://x/\x8E" + "meta:e.jpg",
                  data);
        DisposeHandle(h);
    }
}

TEST_F(CatalogSaveTest, WorkFileRecordsCarryTheirReserveAndRewritesLeaveTheCallersRecordAlone) {
    CatalogRec* c = Open();
    ItemRec r = MakeItemRecord("/media/photos/x.jpg", 5);
    Handle thumb = nullptr;
    PtrToHand("0123456789", &thumb, 10);
    r.thumbnailSize = 10;
    SInt32 size = 0;
    SInt32 first = ItemWriteRecord(&r, thumb, nullptr, nullptr, nullptr, nullptr, c->workRefNum, -1, &size);
    EXPECT_EQ(0, first);
    EXPECT_EQ(1034, size) << "the reserve is not counted";
    EXPECT_EQ(kWorkFileReserve, r.reserve);
    SInt64 length = 0;
    GetEOF64(c->workRefNum, &length);
    EXPECT_EQ(1034 + 10240, length);
    SInt32 second = ItemWriteRecord(&r, thumb, nullptr, nullptr, nullptr, nullptr, c->workRefNum, -1, &size);
    EXPECT_EQ(1034 + 10240, second);

    // Rewritten at its place: no reserve bytes, the reserve field as the caller set it.
    r.reserve = 77;
    EXPECT_EQ(0, ItemWriteRecord(&r, thumb, nullptr, nullptr, nullptr, nullptr, c->workRefNum, 0, &size));
    GetEOF64(c->workRefNum, &length);
    EXPECT_EQ(2 * (1034 + 10240), length);
    std::uint8_t reserve[4];
    long n = 4;
    FSReadAt(c->workRefNum, 1000, &n, reserve);
    EXPECT_EQ(77u, ReadBE32(reserve));

    // A failed write answers -1 and leaves the caller's record in memory order.
    ItemRec copy = r;
    SetFileFaultHook([](SInt16, FileFaultPoint, long) -> OSErr { return ioErr; });
    EXPECT_EQ(-1, ItemWriteRecord(&r, thumb, nullptr, nullptr, nullptr, nullptr, c->workRefNum, 0, &size));
    SetFileFaultHook(nullptr);
    EXPECT_EQ(0, std::memcmp(&copy, &r, sizeof r));
    EXPECT_EQ(0, size);

    // A size field that promises more than the handle holds is refused.
    r.thumbnailSize = 11;
    EXPECT_EQ(-1, ItemWriteRecord(&r, thumb, nullptr, nullptr, nullptr, nullptr, c->workRefNum, -1, &size));
    r.thumbnailSize = 0;
    r.urlSize = 3;
    EXPECT_EQ(-1, ItemWriteRecord(&r, thumb, nullptr, nullptr, nullptr, nullptr, c->workRefNum, -1, &size));
    DisposeHandle(thumb);
}

TEST_F(CatalogSaveTest, ReadingARecordSkipsTheLargeBlocksUnlessAskedAndRefusesBlocksPastTheEnd) {
    CatalogRec* c = Open();
    TestItem t = Item("r.jpg", 8);
    t.recording = "SND!";
    SInt32 i = AddWorkItem(c, t);
    SInt32 pos = c->entries[i].position;
    Handle h = nullptr;
    ASSERT_EQ(noErr, ItemReadRecordWithData(&h, c->workRefNum, pos, true, false));
    EXPECT_EQ(Size(1024 + t.annotations.size() + t.url.size() + t.metadata.size()), GetHandleSize(h));
    DisposeHandle(h);
    ASSERT_EQ(noErr, ItemReadRecordWithData(&h, c->workRefNum, pos, true, true));
    std::string all(*h + 1024, *h + GetHandleSize(h));
    EXPECT_EQ(t.thumbnail + t.annotations + t.url + t.metadata + t.recording, all);
    DisposeHandle(h);

    // A record whose sizes run past the end of its file.
    std::string path = dir.Write("broken", std::string(1024, '\0'));
    Bytes b = ReadBytes(path);
    WriteBE32(b.data() + 1012, 0x7FFFFFF0);
    WriteBytes(path, b);
    FSSpec s = SpecOf(path);
    SInt16 ref = 0;
    ASSERT_EQ(noErr, FSpOpenDF(&s, fsRdPerm, &ref));
    h = reinterpret_cast<Handle>(1);
    EXPECT_EQ(eofErr, ItemReadRecordWithData(&h, ref, 0, false, true));
    EXPECT_EQ(nullptr, h);
    EXPECT_EQ(0, CatalogCopyOneRecord(ref, 0, c->workRefNum, 0));
    FSClose(ref);
}

// ---- refusals before anything is written -------------------------------------------------

TEST_F(CatalogSaveTest, RefusalsChangeNothing) {
    CatalogRec* filed = Saved({Item("a.jpg"), Item("b.jpg")});
    std::string path = filed->fileSpec.path;
    AddWorkItem(filed, Item("c.jpg"));

    struct Case {
        const char* name;
        std::function<CatalogRec*()> catalog;
        std::function<void()> arrange;
        const FSSpec* target;
        OSErr expected;
    };
    FSSpec elsewhere = SpecOf(dir / "Elsewhere.lxc");
    CatalogRec* other = nullptr;   // a second user of the same file
    CatalogRec* readOnly = nullptr;
    Case cases[] = {
        {"no work file",
         [&] {
             FSSpec s = SpecOf(path);
             EXPECT_EQ(noErr, CatalogOpen(&readOnly, &s, nullptr, nullptr, nullptr, nullptr, 0));
             open.push_back(readOnly);
             return readOnly;
         },
         nullptr, nullptr, permErr},
        {"untitled saved in place", [&] { return Open(); }, nullptr, nullptr, paramErr},
        {"another user has it open", [&] { return filed; }, [&] { other = Open(path); }, nullptr, opWrErr},
        {"the catalog file may not be written", [&] { return filed; },
         [&] {
             CatalogClose(other, false);
             open.erase(std::find(open.begin(), open.end(), other));
             CatalogClose(readOnly, false);
             open.erase(std::find(open.begin(), open.end(), readOnly));
             SetFileFaultHook([&](SInt16 ref, FileFaultPoint, long) -> OSErr {
                 FSSpec s;
                 return FSGetOpenFileSpec(ref, &s) == noErr && s.path == path ? OSErr(wPrErr) : OSErr(noErr);
             });
         },
         nullptr, wPrErr},
        {"the catalog would reach 2 GB", [&] { return filed; },
         [&] {
             SetFileFaultHook(nullptr);
             SetEOF64(filed->workRefNum, 2147483647LL - 1000);
         },
         &elsewhere, kCatalogTooLargeErr},
    };
    for (Case& k : cases) {
        SCOPED_TRACE(k.name);
        CatalogRec* c = k.catalog();
        if (k.arrange) k.arrange();
        Bytes fileBefore = ReadBytes(path);
        CatalogSnapshot before = TakeSnapshot(c);
        EXPECT_EQ(k.expected, CatalogSave(c, k.target, nullptr, 0));
        EXPECT_EQ("", CompareSnapshots(before, TakeSnapshot(c)));
        EXPECT_EQ(fileBefore, ReadBytes(path));
        EXPECT_FALSE(std::filesystem::exists(elsewhere.path));
        EXPECT_FALSE(TempFilesIn(dir.path()));
    }
}

TEST_F(CatalogSaveTest, TheSpaceCheckAsksForBothFilesAndHalfAMegabyte) {
    FSSpec target = SpecOf(dir / "x.lxc");
    EXPECT_EQ(bdNamErr, CatalogCheckSaveSpace(0, 0, &target));
    CatalogRec* c = Open();
    EXPECT_EQ(paramErr, CatalogCheckSaveSpace(0, c->workRefNum, nullptr));
    EXPECT_EQ(noErr, CatalogCheckSaveSpace(0, c->workRefNum, &target));
    // 2 GB - 512 KB - 1 in the work file reaches the limit with the margin; one byte less not.
    SetEOF64(c->workRefNum, 2147483647LL - 524288);
    EXPECT_EQ(kCatalogTooLargeErr, CatalogCheckSaveSpace(0, c->workRefNum, &target));
    SetEOF64(c->workRefNum, 2147483647LL - 524288 - 1);
    OSErr err = CatalogCheckSaveSpace(0, c->workRefNum, &target);
    EXPECT_TRUE(err == noErr || err == dskFulErr) << err;
    SetEOF64(c->workRefNum, 0);
}

// ---- failures while writing --------------------------------------------------------------

struct FailCase {
    const char* name;
    bool inPlace;
    OSErr injected;
    OSErr expected;
};

class SaveFailureTest : public CatalogSaveTest, public ::testing::WithParamInterface<FailCase> {};

// The k-th file operation of the save fails, for every k until the save gets through: each
// failed save must leave everything as it was, so the same catalog serves every k.
TEST_P(SaveFailureTest, AFailureAtAnyWriteLeavesTheCatalogItsFileAndItsWorkFileAsTheyWere) {
    const FailCase& k = GetParam();
    CatalogRec* c = Saved({Item("a.jpg", 300), Item("b.jpg", 20), Item("c.jpg", 900), Item("d.jpg")});
    DeleteItem(c, 1);
    UpdateItem(c, 0, Item("a2.jpg", 2000));
    AddWorkItem(c, Item("e.jpg", 50));
    std::vector<std::string> names = ItemNames(c);
    std::string path = c->fileSpec.path;
    std::string target = k.inPlace ? path : dir / "Copy.lxc";
    FSSpec targetSpec = SpecOf(target);
    if (!k.inPlace) dir.Write("Copy.lxc", "the old contents of the target");
    Bytes catalogBytes = ReadBytes(path), targetBytes = ReadBytes(target);
    CatalogSnapshot before = TakeSnapshot(c);

    int failures = 0;
    for (int failAt = 1;; ++failAt) {
        int calls = 0, replacedAt = 0;
        SetFileFaultHook([&](SInt16, FileFaultPoint point, long) -> OSErr {
            // A folder that cannot be flushed after the rename has a test of its own.
            if (point == FileFaultPoint::kFlushFolder) return noErr;
            if (point == FileFaultPoint::kReplace) replacedAt = calls + 1;
            return ++calls == failAt ? k.injected : OSErr(noErr);
        });
        OSErr err = CatalogSave(c, k.inPlace ? nullptr : &targetSpec, nullptr, 0);
        SetFileFaultHook(nullptr);
        if (err == noErr) {
            // What comes after the new file took the old one's place (emptying the work file,
            // taking the new file's lock slot) loses nothing when it fails.
            ASSERT_GT(replacedAt, 0);
            EXPECT_GT(failAt, replacedAt);
            for (SInt32 i = 0; i < c->itemCount; ++i)
                EXPECT_EQ(0u, c->entries[i].flags & kEntryInWorkFileFlag);
            break;
        }
        SCOPED_TRACE("failing call " + std::to_string(failAt));
        ++failures;
        // In place the write probe comes first and answers its own error.
        OSErr expected = k.inPlace && failAt == 1 ? k.injected : k.expected;
        ASSERT_EQ(expected, err);
        ASSERT_EQ("", CompareSnapshots(before, TakeSnapshot(c)));
        ASSERT_EQ(catalogBytes, ReadBytes(path));
        ASSERT_EQ(targetBytes, ReadBytes(target));
        ASSERT_FALSE(TempFilesIn(dir.path()));
        ASSERT_EQ(names, ItemNames(c)) << "every record still reads through the catalog";
        ASSERT_TRUE(CatalogIsModified(c));
    }
    EXPECT_GT(failures, 10);
    EXPECT_EQ("", CheckSavedFile(target));
    EXPECT_EQ(names, NamesInFile(target));
    EXPECT_EQ(names, ItemNames(c));
}

INSTANTIATE_TEST_SUITE_P(
    Writes, SaveFailureTest,
    ::testing::Values(FailCase{"InPlaceIoError", true, ioErr, abortErr},
                      FailCase{"InPlaceDiskFull", true, dskFulErr, dskFulErr},
                      FailCase{"NewNameIoError", false, ioErr, abortErr},
                      FailCase{"NewNameDiskFull", false, dskFulErr, dskFulErr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CatalogSaveTest, ACancelFromTheProgressProcedureLeavesTheCatalogAsItWas) {
    CatalogRec* c = Saved({Item("a.jpg"), Item("b.jpg"), Item("c.jpg")});
    UpdateItem(c, 2, Item("c2.jpg", 4000));
    CatalogSnapshot before = TakeSnapshot(c);
    Bytes file = ReadBytes(c->fileSpec.path);
    static std::vector<std::pair<short, long>> calls;
    calls.clear();
    auto cancelAtTwo = [](short phase, long current, long, long) -> OSErr {
        calls.push_back({phase, current});
        return phase == 1 && current == 2 ? OSErr(userCanceledErr) : OSErr(noErr);
    };
    EXPECT_EQ(abortErr, CatalogSave(c, nullptr, cancelAtTwo, 0));
    EXPECT_EQ((std::vector<std::pair<short, long>>{{0, 0}, {1, 1}, {1, 2}, {2, 0}}), calls);
    EXPECT_EQ("", CompareSnapshots(before, TakeSnapshot(c)));
    EXPECT_EQ(file, ReadBytes(c->fileSpec.path));

    calls.clear();
    auto count = [](short phase, long current, long total, long) -> OSErr {
        calls.push_back({phase, phase == 1 ? total : current});
        return noErr;
    };
    ASSERT_EQ(noErr, CatalogSave(c, nullptr, count, 0));
    EXPECT_EQ((std::vector<std::pair<short, long>>{{0, 0}, {1, 3}, {1, 3}, {1, 3}, {2, 0}}), calls);
}

TEST_F(CatalogSaveTest, ATemporaryFileLeftByACrashedSaveIsRemovedByTheNextSave) {
    CatalogRec* c = Saved({Item("a.jpg")});
    std::string stale = dir.Write(".Photos.lxc.saving-99999-1", std::string(5000, 'x'));
    std::string foreign = dir.Write(".Photos.lxc.other", "keep");
    AddWorkItem(c, Item("b.jpg"));
    ASSERT_EQ(noErr, CatalogSave(c, nullptr, nullptr, 0));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(foreign));
}

TEST_F(CatalogSaveTest, ACatalogReachedThroughALinkIsSavedIntoTheLinkedFile) {
    CatalogRec* first = Saved({Item("a.jpg")}, "Real.lxc");
    CatalogClose(first, false);
    open.clear();
    std::filesystem::create_symlink(dir / "Real.lxc", dir / "Link.lxc");
    CatalogRec* c = Open(dir / "Link.lxc");
    AddWorkItem(c, Item("b.jpg"));
    ASSERT_EQ(noErr, CatalogSave(c, nullptr, nullptr, 0));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Link.lxc"));
    EXPECT_EQ((std::vector<std::string>{"/media/photos/a.jpg", "/media/photos/b.jpg"}), NamesInFile(dir / "Real.lxc"));
}

}  // namespace

namespace {

TEST_F(CatalogSaveTest, TwoCatalogsHandedOneWorkFileNeverShareIt) {
    FSSpec work = SpecOf(dir / "shared-work");
    CatalogRec* a = nullptr;
    CatalogRec* b = nullptr;
    ASSERT_EQ(noErr, CatalogOpen(&a, nullptr, &work, nullptr, nullptr, nullptr, 0));
    open.push_back(a);
    AddWorkItem(a, Item("a.jpg", 100));
    Bytes unsaved = ReadBytes(work.path);
    ASSERT_EQ(noErr, CatalogOpen(&b, nullptr, &work, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(0, b->workRefNum) << "the second one is read-only";
    FSSpec target = SpecOf(dir / "b.lxc");
    EXPECT_EQ(permErr, CatalogSave(b, &target, nullptr, 0));
    CatalogClose(b, false);
    EXPECT_EQ(unsaved, ReadBytes(work.path)) << "nor does closing it touch the other's work file";
    FSSpec aTarget = SpecOf(dir / "a.lxc");
    ASSERT_EQ(noErr, CatalogSave(a, &aTarget, nullptr, 0));
    EXPECT_EQ((std::vector<std::string>{"/media/photos/a.jpg"}), NamesInFile(aTarget.path));
}

}  // namespace

namespace {

class CursorRecorder : public UiHooks {
public:
    void SetCursor(int kind) override { kinds.push_back(kind); }
    std::vector<int> kinds;
};

TEST_F(CatalogSaveTest, ProgressGoesToTheProcedureOrElseToTheCursor) {
    CursorRecorder cursor;
    SetUiHooks(&cursor);
    static std::vector<std::vector<long>> calls;
    calls.clear();
    auto proc = [](short phase, long current, long total, long refCon) -> OSErr {
        calls.push_back({phase, current, total, refCon});
        return phase == 1 ? OSErr(userCanceledErr) : OSErr(noErr);
    };
    EXPECT_EQ(noErr, CatalogProgressBegin(proc, 0, 9, 42));
    EXPECT_EQ(userCanceledErr, CatalogProgressStep(proc, 3, 9, 42));
    EXPECT_EQ(noErr, CatalogProgressEnd(proc, 9, 9, 42));
    EXPECT_EQ((std::vector<std::vector<long>>{{0, 0, 9, 42}, {1, 3, 9, 42}, {2, 9, 9, 42}}), calls);
    EXPECT_TRUE(cursor.kinds.empty());

    EXPECT_EQ(noErr, CatalogProgressBegin(nullptr, 0, 9, 0));
    EXPECT_EQ(noErr, CatalogProgressStep(nullptr, 1, 9, 0));
    EXPECT_EQ(noErr, CatalogProgressEnd(nullptr, 9, 9, 0));
    EXPECT_EQ((std::vector<int>{kCursorWait}), cursor.kinds) << "the wait cursor once, steps keep it";

    // A save ends with the arrow, whether it worked or not.
    cursor.kinds.clear();
    CatalogRec* c = Open();
    AddWorkItem(c, Item("a.jpg"));
    FSSpec target = SpecOf(dir / "Photos.lxc");
    ASSERT_EQ(noErr, CatalogSave(c, &target, nullptr, 0));
    ASSERT_FALSE(cursor.kinds.empty());
    EXPECT_EQ(kCursorArrow, cursor.kinds.back());
    SetUiHooks(nullptr);
}

}  // namespace
