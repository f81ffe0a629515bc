// The deferred refresh of items' media information: each pending item's file is read through
// the kind engine (facts, thumbnail, metadata) into its record, one item per timer tick.
#include "import/adding/AddFiles.h"

#include "foundation/text/Unicode.h"
#include "import/CatalogDeps.h"
#include "import/ImportHooks.h"
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "media/kinds/KindDispatch.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"

#include <chrono>
#include <cstring>
#include <vector>

namespace {

struct RefreshJob {
    CatalogRec* catalog = nullptr;
    std::vector<UInt32> ids;
    SInt32 next = 0;
    CatalogProgressProc progress = nullptr;
    long progressRef = 0;
    RefreshOptions options{};
    TimerId timerId = 0;   // 0: the slot is free
    bool cancelled = false;
};

RefreshJob gJobs[kRefreshJobSlots];

void EndJob(RefreshJob& job, bool callBack) {
    if (callBack && job.progress) job.progress(2, long(job.ids.size()), long(job.ids.size()), job.progressRef);
    Timers().Stop(job.timerId);
    job = RefreshJob();
}

RefreshJob* JobOfTimer(TimerId id) {
    for (RefreshJob& job : gJobs)
        if (job.timerId == id && id != 0) return &job;
    return nullptr;
}

// One step: the next item that still exists and has a file is refreshed; items that vanished
// only move the job on. Answers whether the job still runs.
bool ItemRefreshStep(RefreshJob& job) {
    const long count = long(job.ids.size());
    if (job.next == 0 && !job.cancelled && job.progress && job.progress(0, 0, count, job.progressRef) == userCanceledErr)
        job.cancelled = true;
    while (!job.cancelled && job.next < count) {
        UInt32 id = job.ids[std::size_t(job.next)];
        SInt32 index = CatalogFindEntryIndexById(job.catalog, id);
        if (job.progress && job.progress(1, job.next + 1, count, job.progressRef) == userCanceledErr) {
            job.cancelled = true;
            break;
        }
        ++job.next;
        if (!index) continue;
        ItemEntry* entry = &job.catalog->entries[index - 1];
        FSSpec file;
        if (CatalogGetItemPath(job.catalog, entry, &file) != noErr) continue;
        CatalogRefreshItemFromFile(job.catalog, entry, &job.options, nullptr, &file);
        break;
    }
    if (job.cancelled || job.next >= count) {
        EndJob(job, true);
        return false;
    }
    return true;
}

}  // namespace

OSErr CatalogRefreshVisibleItem(CatalogRec* catalog, SInt32 visibleNumber, const RefreshOptions* options,
                                const UInt32* value848) {
    SInt32 seen = 0;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        if (catalog->entries[i].flags & kEntryHiddenFlag) continue;
        if (++seen != visibleNumber) continue;
        FSSpec file;
        if (CatalogGetItemPath(catalog, &catalog->entries[i], &file) != noErr) return noErr;
        return CatalogRefreshItemFromFile(catalog, &catalog->entries[i], options, value848, &file);
    }
    return noErr;
}

OSErr StartItemRefreshTimer(CatalogRec* catalog, long progressRef, Handle ids, CatalogProgressProc progress,
                            const RefreshOptions* options) {
    ImportAttachToCatalogs();
    for (RefreshJob& job : gJobs) {
        if (job.timerId) continue;
        job = RefreshJob();
        job.catalog = catalog;
        long size = ids ? GetHandleSize(ids) : 0;
        job.ids.resize(std::size_t(size / 4));
        if (size >= 4) std::memcpy(job.ids.data(), *ids, job.ids.size() * 4);
        job.progress = progress;
        job.progressRef = progressRef;
        if (options) job.options = *options;
        job.timerId = Timers().Start(kRefreshTickMs, ItemRefreshTimerProc);
        return noErr;
    }
    return -1;
}

void ItemRefreshTimerProc(TimerId id) {
    RefreshJob* job = JobOfTimer(id);
    if (!job || UiMouseButtonDown()) return;
    auto start = std::chrono::steady_clock::now();
    if (!ItemRefreshStep(*job)) return;
    // A slow item does not make ticks pile up behind it: the next one is a full interval away.
    if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(kRefreshTickMs - 1)) {
        Timers().Stop(job->timerId);
        job->timerId = Timers().Start(kRefreshTickMs, ItemRefreshTimerProc);
    }
}

void StopItemRefreshTimer(CatalogRec* catalog) {
    for (RefreshJob& job : gJobs)
        if (job.timerId && (!catalog || job.catalog == catalog)) EndJob(job, false);
}

SInt32 ItemRefreshJobCount(const CatalogRec* catalog) {
    SInt32 n = 0;
    for (const RefreshJob& job : gJobs)
        if (job.timerId && (!catalog || job.catalog == catalog)) ++n;
    return n;
}

bool CatalogRemoveMarkedItems(CatalogRec* catalog) {
    StopItemRefreshTimer(catalog);
    bool any = false;
    for (SInt32 i = catalog->itemCount; i >= 1; --i) {
        if (catalog->entries[i - 1].flags & kEntryPendingFlag) {
            CatalogDeleteItem(catalog, i);
            any = true;
        }
    }
    return any;
}

void ResetAddFilesState() {
    for (RefreshJob& job : gJobs) {
        if (job.timerId) Timers().Stop(job.timerId);
        job = RefreshJob();
    }
}
