// The refresh reads files on worker threads ahead of its ticks: what it writes into a catalog,
// and the notifications it causes, must be those of refreshing the same items one after the
// other on one thread; a cancel leaves every item either refreshed whole or untouched.
#include "ImportTestSupport.h"

#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "platform/Registry.h"

#include <future>
#include <map>
#include <thread>
#include <tuple>

namespace {

// An item as the catalog holds it: the record's bytes and its five blocks.
struct StoredItem {
    std::string record;
    std::string blocks[5];
    UInt32 flags = 0;

    bool operator==(const StoredItem&) const = default;
};

StoredItem Stored(const CatalogRec* c, const ItemEntry* e) {
    StoredItem s;
    ItemRec record;
    if (ItemLoadRecord(c, e, &record) == noErr) {
        // Two catalogs filled a moment apart differ in when their items were added, nothing else.
        record.dateAdded = 0;
        s.record.assign(reinterpret_cast<const char*>(&record), sizeof record);
    }
    for (int b = 0; b < 5; ++b) {
        if (Handle h = ItemReadBlock(c, e, kBlockThumbnail + b)) {
            s.blocks[b].assign(*h, std::size_t(GetHandleSize(h)));
            DisposeHandle(h);
        } else {
            s.blocks[b] = "<none>";
        }
    }
    s.flags = e->flags;
    return s;
}

std::vector<StoredItem> StoredItems(const CatalogRec* c) {
    std::vector<StoredItem> out;
    for (SInt32 i = 0; i < c->itemCount; ++i) out.push_back(Stored(c, &c->entries[i]));
    return out;
}

struct Phases {
    std::vector<std::tuple<short, long, long>> calls;
    long cancelAt = 0;
};

OSErr RecordPhases(short phase, long a, long b, long ref) {
    auto* p = reinterpret_cast<Phases*>(ref);
    p->calls.emplace_back(phase, a, b);
    return (phase == 1 && p->cancelAt && a == p->cancelAt) ? OSErr(userCanceledErr) : OSErr(noErr);
}

class RefreshThreadsTest : public ImportTest {
protected:
    // Pictures of every kind the samples offer, several of them with embedded previews, some
    // drawn whole, one file that is no picture at all.
    void PutLibrary() {
        const char* samples[] = {
            "metadata-samples/Canon.jpg",   "metadata-samples/Nikon.jpg", "metadata-samples/IPTC.jpg",
            "metadata-samples/XMP.jpg",     "metadata-samples/GPS.jpg",   "metadata-samples/PNG.png",
            "metadata-samples/ExifTool.tif", "metadata-samples/Photoshop.psd", "metadata-samples/BMP.bmp",
            "orientation/landscape_1.jpg",  "orientation/landscape_3.jpg", "orientation/landscape_5.jpg",
            "orientation/gps_DSCN0010.jpg", "metadata-samples/MP3.mp3",
        };
        int n = 0;
        for (const char* s : samples) {
            std::string name = std::filesystem::path(s).filename().string();
            Put(s, "lib/" + std::to_string(10 + n++) + "-" + name);
        }
    }

    Handle IdsOf(CatalogRec* c) {
        Handle h = NewHandle(long(c->itemCount) * 4);
        for (SInt32 i = 0; i < c->itemCount; ++i) std::memcpy(*h + 4 * i, &c->entries[i].id, 4);
        return h;
    }
};

TEST_F(RefreshThreadsTest, TheThreadedRefreshWritesWhatTheSerialOneWritesWithTheSameNotifications) {
    PutLibrary();
    // The serial refresh: every item read and written in turn on this thread.
    CatalogRec* serial = OpenNew("serial.work");
    ASSERT_NE(serial, nullptr);
    FSSpec lib = Spec(media / "lib");
    ASSERT_EQ(CatalogAddFiles(serial, 0, &lib, 1, nullptr, 0, nullptr), noErr);
    ASSERT_GE(serial->itemCount, 13);
    Deliver();
    window.got.clear();
    RefreshOptions all = RefreshOptionsAll();
    for (SInt32 i = 0; i < serial->itemCount; ++i) {
        FSSpec file;
        ASSERT_EQ(CatalogGetItemPath(serial, &serial->entries[i], &file), noErr);
        CatalogRefreshItemFromFile(serial, &serial->entries[i], &all, nullptr, &file);
    }
    Deliver();
    const Got serialMessages = window.got;
    ASSERT_FALSE(serialMessages.empty());

    // The same folder through the job.
    ASSERT_EQ(CatalogAddFiles(catalog, 0, &lib, 1, nullptr, 0, nullptr), noErr);
    Deliver();
    window.got.clear();
    RefreshAll();
    Deliver();
    // Each item is told of in the same order. The catalog's own change is told once per flush,
    // so how often depends on how many ticks the job took: only that it was told counts.
    auto byKind = [](const Got& got) {
        std::map<UINT, std::vector<WPARAM>> kinds;
        for (auto& [message, param] : got) kinds[message].push_back(param);
        return kinds;
    };
    const auto threadedKinds = byKind(window.got), serialKinds = byKind(serialMessages);
    ASSERT_EQ(threadedKinds.size(), serialKinds.size());
    for (const auto& [message, params] : serialKinds) {
        ASSERT_TRUE(threadedKinds.count(message)) << message;
        if (params.size() > 1) {
            EXPECT_EQ(threadedKinds.at(message), params) << message;
        }
    }

    const auto threaded = StoredItems(catalog), expected = StoredItems(serial);
    ASSERT_EQ(threaded.size(), expected.size());
    for (std::size_t i = 0; i < threaded.size(); ++i) {
        EXPECT_TRUE(threaded[i] == expected[i]) << ItemPaths()[i];
        EXPECT_EQ(threaded[i].flags & kEntryPendingFlag, 0u);
    }
}

TEST_F(RefreshThreadsTest, ProgressComesInTheJobsOrderWhateverOrderTheWorkersFinishIn) {
    PutLibrary();
    ASSERT_EQ(Add({media / "lib"}), noErr);
    const long count = catalog->itemCount;
    Phases phases;
    Handle ids = IdsOf(catalog);
    RefreshOptions all = RefreshOptionsAll();
    ASSERT_EQ(StartItemRefreshTimer(catalog, long(&phases), ids, RecordPhases, &all), noErr);
    DisposeHandle(ids);
    // Ticks come while the workers still read: each applies only what is ready at its head.
    for (int i = 0; i < 2000 && ItemRefreshJobCount(catalog); ++i) timers.Advance(kRefreshTickMs);
    ItemRefreshWaitForReadings();
    for (int i = 0; i < 10 && ItemRefreshJobCount(catalog); ++i) timers.Advance(kRefreshTickMs);
    ASSERT_EQ(ItemRefreshJobCount(catalog), 0);
    std::vector<std::tuple<short, long, long>> expected{{0, 0, count}};
    for (long n = 1; n <= count; ++n) expected.emplace_back(1, n, count);
    expected.emplace_back(2, count, count);
    EXPECT_EQ(phases.calls, expected);
}

TEST_F(RefreshThreadsTest, ACancelMidwayLeavesEveryItemRefreshedWholeOrAsItWas) {
    PutLibrary();
    ASSERT_EQ(Add({media / "lib"}), noErr);
    const auto before = StoredItems(catalog);
    const long count = catalog->itemCount;
    for (long cancelAt : {1L, 6L, count}) {
        SCOPED_TRACE(cancelAt);
        Phases phases;
        phases.cancelAt = cancelAt;
        Handle ids = IdsOf(catalog);
        RefreshOptions all = RefreshOptionsAll();
        ASSERT_EQ(StartItemRefreshTimer(catalog, long(&phases), ids, RecordPhases, &all), noErr);
        DisposeHandle(ids);
        // Everything is read before the tick: the cancel comes with every reading ready.
        ItemRefreshWaitForReadings();
        for (int i = 0; i < 20 && ItemRefreshJobCount(catalog); ++i) timers.Advance(kRefreshTickMs);
        ASSERT_EQ(ItemRefreshJobCount(catalog), 0);
        EXPECT_EQ(phases.calls.back(), std::make_tuple(short(2), count, count));

        const auto after = StoredItems(catalog);
        for (long i = 0; i < count; ++i) {
            const bool refreshed = (after[std::size_t(i)].flags & kEntryPendingFlag) == 0;
            EXPECT_EQ(refreshed, i < cancelAt - 1) << "item " << i + 1;
            if (!refreshed) {
                EXPECT_TRUE(after[std::size_t(i)] == before[std::size_t(i)]) << "item " << i + 1;
            }
        }
        // The next round starts from the items as they were.
        for (SInt32 i = 0; i < catalog->itemCount; ++i) catalog->entries[i].flags |= kEntryPendingFlag;
    }
}

TEST_F(RefreshThreadsTest, StoppingJobsWhileTheirFilesAreReadAppliesNothingMore) {
    PutLibrary();
    ASSERT_EQ(Add({media / "lib"}), noErr);
    CatalogRec* second = OpenNew("second.work");
    ASSERT_NE(second, nullptr);
    FSSpec lib = Spec(media / "lib");
    ASSERT_EQ(CatalogAddFiles(second, 0, &lib, 1, nullptr, 0, nullptr), noErr);
    const auto before = StoredItems(catalog);
    RefreshOptions all = RefreshOptionsAll();
    for (CatalogRec* c : {catalog, second}) {
        Handle ids = IdsOf(c);
        for (int k = 0; k < 4; ++k) ASSERT_EQ(StartItemRefreshTimer(c, 0, ids, nullptr, &all), noErr);
        DisposeHandle(ids);
    }
    // The first catalog's jobs end while the workers hold their files; the second's go on.
    StopItemRefreshTimer(catalog);
    EXPECT_EQ(ItemRefreshJobCount(catalog), 0);
    EXPECT_EQ(ItemRefreshJobCount(second), 4);
    for (int i = 0; i < 50 && ItemRefreshJobCount(nullptr); ++i) {
        ItemRefreshWaitForReadings();
        timers.Advance(kRefreshTickMs);
    }
    EXPECT_EQ(ItemRefreshJobCount(nullptr), 0);
    const auto after = StoredItems(catalog);
    for (std::size_t i = 0; i < after.size(); ++i) EXPECT_TRUE(after[i] == before[i]) << i;
    for (SInt32 i = 0; i < second->itemCount; ++i) EXPECT_EQ(second->entries[i].flags & kEntryPendingFlag, 0u);
}

// Readers on two threads overlap: the journal names a file whose reading has not finished for
// as long as one has not, and is empty once both have.
TEST_F(RefreshThreadsTest, TheJournalNamesAFileStillBeingReadWhileReadingsOverlap) {
    MediaFileRec a, b;
    FSSpec specA = Spec(Put("metadata-samples/Canon.jpg", "j/a.jpg")), specB = Spec(Put("metadata-samples/Nikon.jpg", "j/b.jpg"));
    ASSERT_EQ(KindTypeOfFileSpec(&specA, &a), noErr);
    ASSERT_EQ(KindTypeOfFileSpec(&specB, &b), noErr);
    auto named = [] {
        RegistryForgetCachedStores();   // as the next start would read it
        MediaFileRec read;
        return ImportJournalRead(&read) == noErr ? read.spec.path : std::string("<empty>");
    };
    // Each step of the other thread waits for its go.
    std::promise<void> began, goEnd, ended;
    std::future<void> goEndSeen = goEnd.get_future();
    std::thread other([&] {
        ImportJournalWrite(&a);
        began.set_value();
        goEndSeen.wait();
        ImportJournalWrite(nullptr);
        ended.set_value();
    });
    began.get_future().wait();
    EXPECT_EQ(named(), specA.path);
    ImportJournalWrite(&b);   // this thread begins a second file
    EXPECT_EQ(named(), specA.path) << "the file begun first is named";
    goEnd.set_value();
    ended.get_future().wait();
    other.join();
    EXPECT_EQ(named(), specB.path) << "the other reading finished: this one is named";
    ImportJournalWrite(nullptr);
    EXPECT_EQ(named(), "<empty>");
}

}  // namespace
