// A catalog to import into, the engines started as the program starts them, a window that
// listens to the catalog, the manual timer clock, and real folders of media made per test.
#pragma once

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "import/CatalogDeps.h"
#include "import/adding/AddFiles.h"
#include "import/watch/FolderWatch.h"
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "platform/Handles.h"
#include "platform/TimerService.h"
#include "platform/UiHooks.h"
#include "platform/WindowMessages.h"
#include "support/RecordingWindow.h"
#include "support/SettingsSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

inline const std::string kFixtures = LYREX_SHARED_FIXTURES;

// Progress and cancel as the user sees them: cancels at the given step (0: never).
class CancellingHooks : public UiHooks {
public:
    explicit CancellingHooks(long cancelAtStep) : cancelAt_(cancelAtStep) {}
    OSErr ProgressStart(const std::string& title, long) override {
        started = title;
        return noErr;
    }
    OSErr ProgressStep(long current, long total) override {
        ++steps;
        lastCurrent = current;
        lastTotal = total;
        return (cancelAt_ && steps >= cancelAt_) ? OSErr(userCanceledErr) : OSErr(noErr);
    }
    void ProgressEnd() override { ++ended; }
    bool MouseButtonDown() override { return mouseDown; }

    std::string started;
    long steps = 0, lastCurrent = 0, lastTotal = 0;
    int ended = 0;
    bool mouseDown = false;

private:
    long cancelAt_;
};

inline FSSpec Spec(const std::string& path) {
    FSSpec s;
    FSMakeFSSpecFromPath(path, &s);
    return s;
}

// Copies a shared fixture to the path to (folders made as needed), writable by the test.
inline std::string PutFixture(const std::string& fixture, const std::string& to) {
    std::filesystem::create_directories(std::filesystem::path(to).parent_path());
    std::filesystem::copy_file(kFixtures + "/" + fixture, to, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(to, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    return to;
}

// Queues every pending item of the catalog for the refresh and runs the job to its end on the
// manual clock, the workers' readings finished before each tick.
inline void RefreshPendingItems(CatalogRec* catalog, ManualTimerService& timers, CatalogProgressProc progress = nullptr) {
    std::vector<UInt32> ids;
    for (SInt32 i = 0; i < catalog->itemCount; ++i)
        if (catalog->entries[i].flags & kEntryPendingFlag) ids.push_back(catalog->entries[i].id);
    Handle h = NewHandle(long(ids.size() * 4));
    if (!ids.empty()) std::memcpy(*h, ids.data(), ids.size() * 4);
    RefreshOptions all = RefreshOptionsAll();
    ASSERT_EQ(StartItemRefreshTimer(catalog, 0, h, progress, &all), noErr);
    DisposeHandle(h);
    // Each tick applies what the worker threads have read by then: they are given the time.
    for (int i = 0; i < 1000 && ItemRefreshJobCount(catalog); ++i) {
        ItemRefreshWaitForReadings();
        timers.Advance(kRefreshTickMs);
    }
    ASSERT_EQ(ItemRefreshJobCount(catalog), 0);
}

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTimerService(&timers);
        CatalogNotificationsReset();
        CatalogEngineInit(400, 200);
        ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);
        KindSetFileHook(ImportJournalWrite);
        ResetAddFilesState();
        catalog = OpenNew("catalog.work");
        ASSERT_NE(catalog, nullptr);
    }
    void TearDown() override {
        StopItemRefreshTimer(nullptr);
        for (CatalogRec* c : opened) {
            CatalogRemoveListener(c, &window, 0);
            CatalogClose(c, false);
        }
        KindSetFileHook(nullptr);
        KindEngineShutdown();
        KindTableClear();
        SetUiHooks(nullptr);
        CatalogNotificationsReset();
        SetTimerService(nullptr);
    }

    // A new untitled catalog with its own work file, listened to by `window`.
    CatalogRec* OpenNew(const std::string& workName) {
        FSSpec work;
        FSMakeFSSpecFromPath(media / workName, &work);
        CatalogRec* c = nullptr;
        if (CatalogOpen(&c, nullptr, &work, nullptr, nullptr, nullptr, 0) != noErr) return nullptr;
        opened.push_back(c);
        for (UINT m = 0x8067; m <= 0x8076; ++m) CatalogAddListener(c, &window, m);
        return c;
    }

    // Copies a shared fixture to rel under the media folder (folders made as needed).
    std::string Put(const std::string& fixture, const std::string& rel) { return PutFixture(fixture, media / rel); }

    OSErr Add(const std::vector<std::string>& paths, SInt32* added = nullptr, SInt32 position = 0,
              CatalogProgressProc progress = nullptr) {
        std::vector<FSSpec> specs;
        for (const std::string& p : paths) specs.push_back(Spec(p));
        return CatalogAddFiles(catalog, position, specs.data(), long(specs.size()), progress, 0, added);
    }

    // The native folder that files an item, and its name there.
    std::string ItemPath(UInt32 id) {
        SInt32 index = CatalogFindEntryIndexById(catalog, id);
        if (!index) return "<no item>";
        FSSpec spec;
        OSErr err = CatalogGetItemPath(catalog, &catalog->entries[index - 1], &spec);
        return err == noErr ? spec.path : "<" + std::to_string(err) + ">";
    }

    std::vector<std::string> ItemPaths() {
        std::vector<std::string> out;
        for (SInt32 i = 0; i < catalog->itemCount; ++i) out.push_back(ItemPath(catalog->entries[i].id));
        return out;
    }

    // Every id filed in the tree, with the catalog's ids: none may be filed that the catalog
    // does not hold.
    std::vector<UInt32> StaleIds() {
        std::vector<UInt32> stale;
        for (auto& [id, node] : catalog->folderTree->itemMap)
            if (!CatalogFindEntryIndexById(catalog, id)) stale.push_back(id);
        std::vector<FolderNode*> stack{catalog->folderTree->root};
        while (!stack.empty()) {
            FolderNode* n = stack.back();
            stack.pop_back();
            for (UInt32 id : n->items)
                if (!CatalogFindEntryIndexById(catalog, id)) stale.push_back(id);
            stack.insert(stack.end(), n->children.begin(), n->children.end());
        }
        return stale;
    }

    // Runs the refresh of the pending items to its end on the manual clock.
    void RefreshAll(CatalogProgressProc progress = nullptr) { RefreshPendingItems(catalog, timers, progress); }

    void Deliver() { timers.Advance(200); }

    SettingsSandbox sandbox;
    TempFolder media;
    ManualTimerService timers;
    RecordingWindow window;
    CatalogRec* catalog = nullptr;
    std::vector<CatalogRec*> opened;
};
