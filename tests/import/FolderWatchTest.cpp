// Folder watching on a real folder and a real scan thread, driven by the manual clock: files
// added and removed while the catalog is open, folders that come and go, passes by the watch
// mode, and a scan thread that will not stop.
#include "ImportTestSupport.h"

#include "import/watch/FolderScanWorker.h"
#include "support/ChildProcess.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;

class FolderWatchTest : public ImportTest {
protected:
    FolderNode* Node(const std::string& path) {
        FSSpec spec = Spec(path);
        return FolderTreeFindNodeBySpec(catalog->folderTree, &spec, false);
    }
    FolderScanWorker* Worker() { return FolderTreeScanWorker(catalog->folderTree); }

    // Ticks the clock (the scan thread runs in real time meanwhile) until pred holds.
    template <class Pred>
    bool TickUntil(Pred pred, UInt32 stepMs = kWatchFastMs) {
        for (int i = 0; i < 20000 && !pred(); ++i) {
            timers.Advance(stepMs);
            std::this_thread::sleep_for(200us);
        }
        return pred();
    }

    std::vector<std::string> Names(const ScanEntrySet& set) {
        std::vector<std::string> out;
        for (const ScanEntry& e : set) out.push_back(ScanEntryName(e));
        return out;
    }
};

TEST_F(FolderWatchTest, AFileAddedAndOneRemovedAreFoundAndApplied) {
    Put("metadata-samples/Canon.jpg", "w/a.jpg");
    Put("metadata-samples/Nikon.jpg", "w/b.jpg");
    Put("metadata-samples/Canon.jpg", "w/old/x.jpg");
    ASSERT_EQ(Add({media / "w"}), noErr);
    ASSERT_EQ(catalog->itemCount, 3);
    FolderNode* w = Node(media / "w");
    ASSERT_NE(w, nullptr);
    UInt32 idA = 0;
    for (UInt32 id : w->items)
        if (ItemPath(id) == media / "w/a.jpg") idA = id;
    ASSERT_NE(idA, 0u);

    // While the catalog is open: one file comes, one goes, a folder comes, a folder goes;
    // a name that begins like another is a file of its own.
    Put("metadata-samples/Olympus.jpg", "w/c.jpg");
    Put("metadata-samples/Olympus.jpg", "w/c.jpg.jpg");
    media.Write("w/readme.txt", "not media");
    std::filesystem::remove(media / "w/a.jpg");
    std::filesystem::create_directory(media / "w/new");
    Put("metadata-samples/Canon.jpg", "w/new/n.jpg");
    std::filesystem::remove_all(media / "w/old");

    FolderTreeSetWatched(catalog, w, true);
    EXPECT_TRUE(w->flags & kFolderWatched);
    ASSERT_TRUE(TickUntil([&] { return window.Count(kMsgScanResultsWaiting) > 0; }));
    // Watch mode 0: one pass, then the timer stops.
    EXPECT_EQ(Worker()->timerId, 0u);
    EXPECT_EQ(window.Params(kMsgScanResultsWaiting), std::vector<WPARAM>{w->nodeId});

    const ScanResults* r = ScanWorkerFindResults(Worker(), w);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(Names(r->newFiles), (std::vector<std::string>{"c.jpg", "c.jpg.jpg"}));
    EXPECT_EQ(Names(r->newFolders), std::vector<std::string>{"new"});
    EXPECT_EQ(r->vanishedItems, std::set<UInt32>{idA});
    EXPECT_EQ(r->vanishedFolders.size(), 1u);
    SInt32 counts[4];
    EXPECT_TRUE(FolderTreeGetPendingCounts(catalog, w, &counts[0], &counts[1], &counts[2], &counts[3]));
    EXPECT_EQ(std::vector<SInt32>(counts, counts + 4), (std::vector<SInt32>{2, 1, 1, 1}));
    FolderTreeUpdatePendingMark(catalog, w, false);
    EXPECT_TRUE(w->flags & kFolderScanWaiting);

    FolderTreeApplyPending(catalog, w, true, true, true, true);
    EXPECT_EQ(ScanWorkerFindResults(Worker(), w), nullptr);
    std::vector<std::string> paths = ItemPaths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{media / "w/b.jpg", media / "w/c.jpg", media / "w/c.jpg.jpg"}));
    EXPECT_NE(Node(media / "w/new"), nullptr);
    EXPECT_EQ(Node(media / "w/old"), nullptr);
    EXPECT_TRUE(StaleIds().empty());
    FolderTreeUpdatePendingMark(catalog, w, false);
    EXPECT_FALSE(w->flags & kFolderScanWaiting);
}

TEST_F(FolderWatchTest, EveryFiveMinutesInWatchModeTwo) {
    Put("metadata-samples/Canon.jpg", "w/a.jpg");
    ASSERT_EQ(Add({media / "w"}), noErr);
    catalog->viewPrefs.watchMode = 2;
    FolderNode* w = Node(media / "w");
    FolderTreeSetWatched(catalog, w, true);
    ASSERT_TRUE(TickUntil([&] { return window.Count(kMsgScanResultsWaiting) > 0; }));
    EXPECT_NE(Worker()->timerId, 0u) << "the timer goes on";
    EXPECT_EQ(Worker()->GetSource(), nullptr);
    timers.Advance(299 * 1000);
    EXPECT_EQ(Worker()->GetSource(), nullptr) << "no listing before the interval is over";
    timers.Advance(1000);
    EXPECT_NE(Worker()->GetSource(), nullptr) << "the next pass begins";
}

TEST_F(FolderWatchTest, AThreadThatWillNotStopIsLeftBehindAndWatchingGoesOn) {
    Put("metadata-samples/Canon.jpg", "w/a.jpg");
    ASSERT_EQ(Add({media / "w"}), noErr);
    FolderNode* w = Node(media / "w");
    // A listing stuck on a dead network share; the state outlives the test's frame, since
    // the thread left behind still holds it.
    struct Stuck {
        std::atomic<bool> release{false};
        std::atomic<int> entered{0}, left{0};
    };
    auto stuck = std::make_shared<Stuck>();
    ScanWorkerSetClassifier(Worker(), [stuck](const DirectorySource& s, const CInfoPBRec& info, ScanEntry* e) {
        ++stuck->entered;
        while (!stuck->release) std::this_thread::sleep_for(1ms);
        ++stuck->left;
    });
    ASSERT_EQ(ScanWorkerScanNow(catalog, w), noErr);
    while (stuck->entered == 0) std::this_thread::sleep_for(1ms);
    // Listing again must stop the first listing, which does not stop: the error is caught
    // there and the stuck thread is left to itself.
    EXPECT_EQ(ScanWorkerScanNow(catalog, w), -1);
    EXPECT_EQ(Worker()->GetSource(), nullptr);
    EXPECT_EQ(Worker()->current, nullptr);
    // Called directly, the stop reports it.
    ASSERT_EQ(ScanWorkerScanNow(catalog, w), noErr);
    while (stuck->entered < 2) std::this_thread::sleep_for(1ms);
    try {
        Worker()->StopThread();
        ADD_FAILURE() << "no error from a thread that did not stop";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Failed to terminate thread!");
    }
    Worker()->DeleteSource();
    // Watching goes on with a listing that works.
    stuck->release = true;
    ScanWorkerSetClassifier(Worker(), nullptr);
    ASSERT_EQ(ScanWorkerScanNow(catalog, w), noErr);
    ASSERT_TRUE(TickUntil([&] { return ScanWorkerFindResults(Worker(), w) != nullptr; }));
    while (stuck->left < stuck->entered) std::this_thread::sleep_for(1ms);
}

TEST_F(FolderWatchTest, AFolderDestroyedBeforeTheResultsAreAppliedIsNotTouched) {
    Put("metadata-samples/Canon.jpg", "w/a.jpg");
    Put("metadata-samples/Canon.jpg", "w/sub/b.jpg");
    ASSERT_EQ(Add({media / "w"}), noErr);
    FolderNode* w = Node(media / "w");
    FolderNode* sub = Node(media / "w/sub");
    ASSERT_NE(sub, nullptr);
    std::filesystem::remove_all(media / "w/sub");
    FolderTreeSetWatched(catalog, w, true);
    ASSERT_TRUE(TickUntil([&] { return window.Count(kMsgScanResultsWaiting) > 0; }));
    ASSERT_EQ(ScanWorkerFindResults(Worker(), w)->vanishedFolders.size(), 1u);
    // The pane removes the folder itself first.
    ASSERT_EQ(FolderTreeRemoveFolder(catalog, sub), noErr);
    EXPECT_TRUE(ScanWorkerFindResults(Worker(), w)->vanishedFolders.empty());
    FolderTreeApplyPending(catalog, w, false, false, false, true);
    EXPECT_EQ(catalog->itemCount, 1);
    EXPECT_TRUE(StaleIds().empty());
}

// A watched folder that is gone (deleted, or its disk unplugged) says nothing about its items:
// they are offline, and none is offered for deletion.
TEST_F(FolderWatchTest, AWatchedFolderThatIsGoneMarksItsItemsOfflineAndOffersNoDeletion) {
    Put("metadata-samples/Canon.jpg", "w/a.jpg");
    Put("metadata-samples/Nikon.jpg", "w/b.jpg");
    ASSERT_EQ(Add({media / "w"}), noErr);
    FolderNode* w = Node(media / "w");
    ASSERT_NE(w, nullptr);
    std::filesystem::remove_all(media / "w");
    FolderTreeSetWatched(catalog, w, true);
    ASSERT_TRUE(TickUntil([&] { return Worker()->timerId == 0; }));
    EXPECT_TRUE(w->flags & kFolderMissing);
    const ScanResults* r = ScanWorkerFindResults(Worker(), w);
    EXPECT_TRUE(r == nullptr || r->vanishedItems.empty());
    FolderTreeApplyPending(catalog, w, true, true, true, true);
    EXPECT_EQ(catalog->itemCount, 2);
}

// The disk of a watched folder is unmounted while the catalog is open: the mount point is left
// as an empty folder. Listing that folder must not report the items as vanished (applying that
// would delete them with their annotations); they are offline until the disk comes back.
TEST_F(FolderWatchTest, AnUnmountedDiskLeavesItsItemsOfflineNotVanished) {
    const std::string disk = media / "disk";
    std::filesystem::create_directories(disk);
    ChildProcess child([&](ChildProcess& self) {
        // A mount namespace of our own: mounts made here are seen by this process only.
        if (unshare(geteuid() == 0 ? CLONE_NEWNS : (CLONE_NEWUSER | CLONE_NEWNS)) != 0) {
            self.Send(std::string("skip cannot make a mount namespace here: ") + std::strerror(errno));
            return 0;
        }
        if (geteuid() != 0) {
            const std::string uid = std::to_string(getuid()), gid = std::to_string(getgid());
            std::ofstream("/proc/self/setgroups") << "deny";
            std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
            std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
        }
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("lyrex-test-disk", disk.c_str(), "tmpfs", 0, "size=8m") != 0) {
            self.Send(std::string("skip cannot mount a file system here: ") + std::strerror(errno));
            return 0;
        }
        // The child's own catalog: the files of the parent's are not open here.
        catalog = OpenNew("disk.work");
        if (!catalog) return 1;
        Put("metadata-samples/Canon.jpg", "disk/a.jpg");
        Put("metadata-samples/Nikon.jpg", "disk/b.jpg");
        if (Add({disk}) != noErr || catalog->itemCount != 2) return 2;
        FolderNode* photos = Node(disk);
        if (!photos) return 3;
        FolderTreeSetWatched(catalog, photos, true);
        if (!TickUntil([&] { return window.Count(kMsgScanResultsWaiting) > 0; })) return 4;
        const ScanResults* before = ScanWorkerFindResults(Worker(), photos);
        if (!before || !before->vanishedItems.empty() || (photos->flags & kFolderMissing)) return 5;
        FolderTreeApplyPending(catalog, photos, false, false, false, false);

        // Unplugged: the mount point stays behind, empty, as a folder of the disk above.
        if (umount2(disk.c_str(), MNT_DETACH) != 0) return 6;
        ScanWorkerScanNow(catalog, photos);
        TickUntil([&] { return Worker()->GetSource() == nullptr; });
        const ScanResults* after = ScanWorkerFindResults(Worker(), photos);
        const size_t vanished = after ? after->vanishedItems.size() : 0;
        FolderTreeApplyPending(catalog, photos, true, true, true, true);
        self.Send("vanished " + std::to_string(vanished) + " offline " +
                  std::to_string((photos->flags & kFolderMissing) != 0) + " items " +
                  std::to_string(catalog->itemCount));
        return 0;
    });
    const std::string answer = child.Receive(60000);
    if (answer.rfind("skip ", 0) == 0) GTEST_SKIP() << answer.substr(5);
    EXPECT_EQ(answer, "vanished 0 offline 1 items 2");
    const int status = child.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
}

TEST_F(FolderWatchTest, ClosingTheCatalogStopsEverything) {
    Put("metadata-samples/Canon.jpg", "w/a.jpg");
    ASSERT_EQ(Add({media / "w"}), noErr);
    FolderTreeSetWatched(catalog, Node(media / "w"), true);
    timers.Advance(kWatchFastMs);
    ASSERT_GT(timers.ActiveCount(), 0u);
    CatalogRemoveListener(catalog, &window, 0);
    CatalogClose(catalog, false);
    opened.erase(std::find(opened.begin(), opened.end(), catalog));
    catalog = nullptr;
    timers.Advance(10 * kWatchFastMs);   // a tick for a closed catalog would touch freed memory
    EXPECT_EQ(timers.ActiveCount(), 0u);
}

}  // namespace
