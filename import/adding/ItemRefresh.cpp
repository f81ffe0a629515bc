// The deferred refresh of items' media information: each pending item's file is read through
// the kind engine (facts, thumbnail, metadata) into its record. Worker threads read the
// files ahead of the job; each timer tick applies, in the job's order, every item whose
// reading is ready, for as long as a tick's share of the user-interface thread allows.
#include "import/adding/AddFiles.h"

#include "foundation/text/Unicode.h"
#include "import/CatalogDeps.h"
#include "import/ImportHooks.h"
#include "import/adding/RefreshReading.h"
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "media/kinds/KindDispatch.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

namespace {

// The user-interface time a tick may spend applying readings; the first ready item of a tick
// is always applied.
constexpr auto kTickBudget = std::chrono::milliseconds(20);

struct RefreshJob {
    CatalogRec* catalog = nullptr;
    std::vector<UInt32> ids;
    SInt32 next = 0;
    CatalogProgressProc progress = nullptr;
    long progressRef = 0;
    RefreshOptions options{};
    TimerId timerId = 0;   // 0: the slot is free
    bool cancelled = false;
    bool begun = false;    // phase 0 was reported (a first tick may find nothing ready)
    // The readings of ids[next], ids[next + 1], ... queued so far; null for an item that had
    // no file when it was queued.
    std::deque<std::shared_ptr<ItemFileReading>> ahead;
};

RefreshJob gJobs[kRefreshJobSlots];

SInt32 ThumbnailSlotSize(const CatalogRec* catalog) { return SInt32(catalog->viewPrefs.slots[1].sizeStep) * 32; }

// How many items a job keeps queued for the workers beyond the one it applies next.
std::size_t Lookahead() { return std::size_t(std::max(64, 16 * refresh_workers::Count())); }

// Queues readings for the job's next items up to the lookahead.
void ReadAhead(RefreshJob& job) {
    const std::size_t limit = Lookahead();
    while (job.ahead.size() < limit && job.next + SInt32(job.ahead.size()) < SInt32(job.ids.size())) {
        UInt32 id = job.ids[std::size_t(job.next) + job.ahead.size()];
        std::shared_ptr<ItemFileReading> reading;
        SInt32 index = CatalogFindEntryIndexById(job.catalog, id);
        FSSpec file;
        if (index && CatalogGetItemPath(job.catalog, &job.catalog->entries[index - 1], &file) == noErr &&
            RefreshReadsFile(job.options)) {
            reading = std::make_shared<ItemFileReading>();
            reading->file = file;
            reading->options = job.options;
            reading->thumbnailSize = ThumbnailSlotSize(job.catalog);
            refresh_workers::Submit(reading);
        }
        job.ahead.push_back(std::move(reading));
    }
}

// Ends the job: what the workers still hold of it is taken back first.
void EndJob(RefreshJob& job, bool callBack) {
    refresh_workers::Withdraw({job.ahead.begin(), job.ahead.end()});
    if (callBack && job.progress) job.progress(2, long(job.ids.size()), long(job.ids.size()), job.progressRef);
    Timers().Stop(job.timerId);
    job = RefreshJob();
}

RefreshJob* JobOfTimer(TimerId id) {
    for (RefreshJob& job : gJobs)
        if (job.timerId == id && id != 0) return &job;
    return nullptr;
}

// One tick: the job's next items are applied in order while their readings are ready and the
// tick's budget lasts; items that vanished only move the job on. An item whose file moved since
// its reading was queued is read again here. Answers whether the job still runs.
bool ItemRefreshStep(RefreshJob& job) {
    const long count = long(job.ids.size());
    if (!job.begun) {
        job.begun = true;
        if (!job.cancelled && job.progress && job.progress(0, 0, count, job.progressRef) == userCanceledErr)
            job.cancelled = true;
    }
    const auto start = std::chrono::steady_clock::now();
    bool applied = false;
    while (!job.cancelled && job.next < count) {
        ReadAhead(job);
        const std::shared_ptr<ItemFileReading> reading = job.ahead.empty() ? nullptr : job.ahead.front();
        if (reading && !refresh_workers::Done(*reading)) break;   // the next tick takes it
        if (applied && std::chrono::steady_clock::now() - start >= kTickBudget) break;
        UInt32 id = job.ids[std::size_t(job.next)];
        SInt32 index = CatalogFindEntryIndexById(job.catalog, id);
        if (job.progress && job.progress(1, job.next + 1, count, job.progressRef) == userCanceledErr) {
            job.cancelled = true;
            break;
        }
        ++job.next;
        if (!job.ahead.empty()) job.ahead.pop_front();
        if (!index) continue;
        ItemEntry* entry = &job.catalog->entries[index - 1];
        FSSpec file;
        if (CatalogGetItemPath(job.catalog, entry, &file) != noErr) continue;
        if (reading && reading->file.path == file.path)
            ItemApplyFileReading(job.catalog, entry, nullptr, reading.get());
        else
            CatalogRefreshItemFromFile(job.catalog, entry, &job.options, nullptr, &file);
        applied = true;
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
        // The workers start on the files at once; the first tick applies what they have read.
        ReadAhead(job);
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
        refresh_workers::Withdraw({job.ahead.begin(), job.ahead.end()});
        if (job.timerId) Timers().Stop(job.timerId);
        job = RefreshJob();
    }
}

void ItemRefreshWaitForReadings() { refresh_workers::WaitIdle(); }
