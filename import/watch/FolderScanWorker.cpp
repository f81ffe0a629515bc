#include "import/watch/FolderScanWorker.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemRecords.h"
#include "import/adding/AddFiles.h"
#include "import/ImportHooks.h"
#include "import/watch/FolderWatch.h"
#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "platform/UiHooks.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <vector>

namespace {

// The catalog of each running watch timer, so that the one timer procedure finds its catalog.
std::map<TimerId, CatalogRec*>& TimerCatalogs() {
    static std::map<TimerId, CatalogRec*> map;
    return map;
}

class Worker final : public FolderScanWorker {
public:
    ~Worker() override {
        try {
            StopThread();
        } catch (const std::exception&) {
            // Left to end by itself; it holds its own share of the source.
        }
        DeleteSource();
        StopTimer();
    }

    void StartTimer(CatalogRec* catalog) override {
        StopTimer();
        if (!catalog->folderTree) return;
        ScanWorkerFillQueue(this, catalog->folderTree);
        switch (catalog->viewPrefs.watchMode) {
            case 0: interval = 0.1; break;
            case 1: interval = 60; break;
            case 2: interval = 300; break;
            default: break;
        }
        SetTimer(catalog, kWatchFastMs);
    }

    void StopTimer() override {
        KillTimer();
        queue.clear();
    }

    DirectorySource* GetSource() override { return source_.get(); }

    void StartThread(const FSSpec& folder, const ImportSettingsRec& settings) override {
        source_ = DirectorySourceNew(folder, settings, classify_ ? classify_ : ScanClassifyProc(ScanEntryClassify));
        threadSource_ = source_;
        std::shared_ptr<DirectorySource> shared = source_;
        thread_ = std::thread([shared] { ScanThreadRun(shared); });
    }

    void StopThread() override {
        auto start = std::chrono::steady_clock::now();
        if (!thread_.joinable()) return;
        // The thread's own listing, even when the worker let go of it meanwhile.
        std::shared_ptr<DirectorySource> source = std::move(threadSource_);
        source->RequestStop(true);
        while (!source->IsDone()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(kScanStopTimeoutMs)) {
                // The thread keeps its own share of the source and ends by itself.
                thread_.detach();
                throw std::runtime_error(kFailedToTerminateThread);
            }
        }
        thread_.join();
    }

    void DeleteSource() override { source_.reset(); }

    void RearmFast(CatalogRec* catalog) override { SetTimer(catalog, kWatchFastMs); }
    void RearmSlow(CatalogRec* catalog) override { SetTimer(catalog, UInt32(interval * 1000)); }

    ScanClassifyProc classify_;

private:
    void KillTimer() {
        if (timerId) {
            Timers().Stop(timerId);
            TimerCatalogs().erase(timerId);
            timerId = 0;
        }
    }
    void SetTimer(CatalogRec* catalog, UInt32 ms) {
        KillTimer();
        timerId = Timers().Start(ms ? ms : 1, WatchTimerProc);
        TimerCatalogs()[timerId] = catalog;
    }

    std::shared_ptr<DirectorySource> source_;
    std::shared_ptr<DirectorySource> threadSource_;   // the running thread's listing
    std::thread thread_;
};

class CollectWatchedVisitor : public FolderVisitor {
public:
    explicit CollectWatchedVisitor(std::list<FolderNode*>* out) : out_(out) {}
    void Visit(FolderNode* node) override {
        if (node->depth >= 0 && (node->flags & kFolderWatched)) out_->push_back(node);
        FolderNodeVisitChildren(node, *this);
    }

private:
    std::list<FolderNode*>* out_;
};

FolderScanWorker* WorkerOf(CatalogRec* catalog) {
    return catalog && catalog->folderTree ? FolderTreeScanWorker(catalog->folderTree) : nullptr;
}

std::list<ScanResults>::iterator FindResults(FolderScanWorker* w, const FolderNode* node) {
    for (auto it = w->results.begin(); it != w->results.end(); ++it)
        if (it->node == node) return it;
    return w->results.end();
}

// Entries of `listed` whose name `known` does not hold.
ScanEntrySet Difference(const ScanEntrySet& listed, const ScanEntrySet& known) {
    ScanEntrySet out;
    ScanEntryNameOrder less;
    auto a = listed.begin();
    auto b = known.begin();
    while (a != listed.end()) {
        if (b == known.end() || less(*a, *b)) {
            out.insert(*a++);
        } else if (less(*b, *a)) {
            ++b;
        } else {
            ++a;
            ++b;
        }
    }
    return out;
}

FolderNode* ChildWithId(FolderNode* node, UInt32 id) {
    for (FolderNode* child : node->children)
        if (child->nodeId == id) return child;
    return nullptr;
}

}  // namespace

FolderScanWorker* FolderTreeScanWorker(FolderTree* tree) {
    if (!tree->scanWorker) {
        tree->scanWorker = new Worker;
        tree->scanWorkerForgetNode = ScanWorkerForgetNode;
        tree->scanWorkerDelete = ScanWorkerDelete;
    }
    return tree->scanWorker;
}

void ScanWorkerDelete(FolderScanWorker* worker) { delete worker; }

void ScanWorkerSetClassifier(FolderScanWorker* worker, ScanClassifyProc classify) {
    static_cast<Worker*>(worker)->classify_ = std::move(classify);
}

bool ScanWorkerFillQueue(FolderScanWorker* worker, FolderTree* tree) {
    if (worker->queue.empty()) {
        CollectWatchedVisitor collect(&worker->queue);
        collect.Visit(tree->root);
    }
    return !worker->queue.empty();
}

void ScanWorkerStartTimer(CatalogRec* catalog) {
    ImportAttachToCatalogs();
    if (FolderScanWorker* w = WorkerOf(catalog)) w->StartTimer(catalog);
}

void ScanWorkerStopTimer(CatalogRec* catalog) {
    if (catalog && catalog->folderTree && catalog->folderTree->scanWorker) catalog->folderTree->scanWorker->StopTimer();
}

void WatchTimerProc(TimerId id) {
    auto it = TimerCatalogs().find(id);
    if (it == TimerCatalogs().end()) return;
    FolderTreeWatchTick(it->second);
}

void ScanWorkerTick(CatalogRec* catalog) {
    FolderScanWorker* w = WorkerOf(catalog);
    if (!w) return;
    w->RearmSlow(catalog);
    if (DirectorySource* source = w->GetSource()) {
        if (source->IsDone()) ScanWorkerCompare(catalog);
        w->RearmFast(catalog);
        return;
    }
    if (!w->queue.empty()) {
        FolderNode* node = w->queue.front();
        w->queue.pop_front();
        FSSpec spec;
        if (ScanWorkerLocateFolder(catalog, node, &spec.path, &w->expectedDevice, &w->expectedMount)) {
            w->StopThread();
            w->DeleteSource();
            w->current = node;
            w->StartThread(spec, *catalog->importSettings);
        } else {
            ScanWorkerMarkOffline(catalog, node);
        }
        w->RearmFast(catalog);
        return;
    }
    // The pass is over: tell the windows which folders have news.
    std::vector<UInt32> nodeIds;
    for (const ScanResults& r : w->results) nodeIds.push_back(r.nodeId);
    for (UInt32 id : nodeIds) ImportNotifyNow(catalog, kMsgScanResultsWaiting, id);
    if (catalog->viewPrefs.watchMode == 0)
        w->StopTimer();
    else
        ScanWorkerFillQueue(w, catalog->folderTree);
}

OSErr ScanWorkerScanNow(CatalogRec* catalog, FolderNode* node) {
    FolderScanWorker* w = WorkerOf(catalog);
    if (!w || !node) return paramErr;
    FSSpec spec;
    if (!ScanWorkerLocateFolder(catalog, node, &spec.path, &w->expectedDevice, &w->expectedMount)) {
        ScanWorkerMarkOffline(catalog, node);
        return fnfErr;
    }
    try {
        w->StopThread();
    } catch (const std::exception&) {
        w->DeleteSource();
        w->current = nullptr;
        return -1;
    }
    w->DeleteSource();
    w->current = node;
    w->StartThread(spec, *catalog->importSettings);
    w->RearmFast(catalog);
    return noErr;
}

bool ScanWorkerLocateFolder(CatalogRec* catalog, FolderNode* node, std::string* native, UInt64* device,
                            std::string* mountPoint) {
    FolderTree* tree = catalog ? catalog->folderTree : nullptr;
    native->clear();
    *device = 0;
    mountPoint->clear();
    if (!tree || !node || node->depth < 0) return false;
    // The mount table as it is now: a disk unmounted since the last look is no longer there.
    VolumeTableRefresh(&tree->volumes);
    if (FolderStoredToNative(tree->volumes, FolderNodeStoredPath(node), native) != noErr || native->empty() ||
        (*native)[0] != '/')
        return false;
    if (const VolumeTableEntry* mount = VolumeTableMountOf(tree->volumes, *native)) {
        *device = mount->deviceNumber;
        *mountPoint = mount->mountPoint;
    }
    // A folder that was listed on a mount below the one that holds it now has lost its disk:
    // what lies there is the empty mount point (or whatever the disk's absence uncovers).
    if (FolderScanWorker* w = tree->scanWorker) {
        auto seen = w->nodeMounts.find(node->nodeId);
        if (seen != w->nodeMounts.end() && seen->second != *mountPoint && seen->second.size() > mountPoint->size() &&
            seen->second.compare(0, mountPoint->size(), *mountPoint) == 0)
            return false;
    }
    return true;
}

void ScanWorkerMarkOffline(CatalogRec* catalog, FolderNode* node) {
    FolderScanWorker* w = WorkerOf(catalog);
    if (!w || !node) return;
    auto it = FindResults(w, node);
    if (it != w->results.end()) w->results.erase(it);
    UInt32 flags = (node->flags | kFolderMissing) & ~UInt32(kFolderScanWaiting);
    if (flags != node->flags) {
        node->flags = flags;
        FolderTreePostChanged(catalog);
    }
}

void ScanWorkerForgetNode(FolderScanWorker* w, const FolderNode* node) {
    w->nodeMounts.erase(node->nodeId);
    w->queue.remove(const_cast<FolderNode*>(node));
    for (auto it = w->results.begin(); it != w->results.end();) {
        if (it->node == node) {
            it = w->results.erase(it);
        } else {
            it->vanishedFolders.erase(node->nodeId);
            ++it;
        }
    }
    if (w->current == node) w->current = nullptr;
}

const ScanResults* ScanWorkerFindResults(FolderScanWorker* w, const FolderNode* node) {
    auto it = FindResults(w, node);
    return it == w->results.end() ? nullptr : &*it;
}

bool ScanWorkerGetCounts(FolderScanWorker* w, const FolderNode* node, SInt32* newFiles, SInt32* newFolders,
                         SInt32* vanishedItems, SInt32* vanishedFolders) {
    const ScanResults* r = ScanWorkerFindResults(w, node);
    SInt32 a = r ? SInt32(r->newFiles.size()) : 0;
    SInt32 b = r ? SInt32(r->newFolders.size()) : 0;
    SInt32 c = r ? SInt32(r->vanishedItems.size()) : 0;
    SInt32 d = r ? SInt32(r->vanishedFolders.size()) : 0;
    if (newFiles) *newFiles = a;
    if (newFolders) *newFolders = b;
    if (vanishedItems) *vanishedItems = c;
    if (vanishedFolders) *vanishedFolders = d;
    return a || b || c || d;
}

void ScanWorkerUpdateMark(CatalogRec* catalog, FolderNode* node, bool clear) {
    FolderScanWorker* w = WorkerOf(catalog);
    if (!w || !node) return;
    bool on = false;
    if (!clear) {
        const ScanResults* r = ScanWorkerFindResults(w, node);
        on = r && (!r->newFiles.empty() || !r->vanishedItems.empty());
    }
    UInt32 flags = on ? (node->flags | kFolderScanWaiting) : (node->flags & ~UInt32(kFolderScanWaiting));
    if (flags != node->flags) {
        node->flags = flags;
        FolderTreePostChanged(catalog);
    }
}

void ScanWorkerCompare(CatalogRec* catalog) {
    FolderScanWorker* w = WorkerOf(catalog);
    if (!w) return;
    w->StopThread();
    DirectorySource* source = w->GetSource();
    FolderNode* node = w->current;
    // A listing of a folder that could not be opened, or that lies on another device than the
    // mount that should hold it (the disk went away while it was listed), says nothing about
    // the items: the folder is offline and nothing of it is offered for deletion.
    if (node && source &&
        (!source->FolderOpened() || (w->expectedDevice != 0 && source->FolderDevice() != 0 &&
                                     source->FolderDevice() != w->expectedDevice))) {
        ScanWorkerMarkOffline(catalog, node);
        node = nullptr;
    }
    if (node && source) {
        w->nodeMounts[node->nodeId] = w->expectedMount;
        if (node->flags & kFolderMissing) {
            node->flags &= ~UInt32(kFolderMissing);
            FolderTreePostChanged(catalog);
        }
        ScanResults r;
        r.node = node;
        r.nodeId = node->nodeId;
        ScanEntrySet knownFiles, knownFolders;
        std::vector<UInt32> items = node->items;
        for (UInt32 id : items) {
            SInt32 index = CatalogFindEntryIndexById(catalog, id);
            if (!index) continue;
            ItemRec record;
            if (CatalogReadEntryRecord(catalog, &catalog->entries[index - 1], &record) != noErr) continue;
            ScanEntry known;
            if (CatalogGetItemPath(catalog, &catalog->entries[index - 1], &known.spec) == noErr) {
                known.type = record.kind;
                known.value = id;
                knownFiles.insert(std::move(known));
            } else {
                r.vanishedItems.insert(id);
            }
            if (w->current != node) break;   // the node went away while its items were looked at
        }
        if (w->current == node) {
            for (FolderNode* child : node->children) {
                ScanEntry known;
                if (FolderNodeResolve(catalog->folderTree, child, &known.spec) == noErr) {
                    known.type = kScanFolderType;
                    knownFolders.insert(std::move(known));
                } else {
                    r.vanishedFolders.insert(child->nodeId);
                }
            }
            r.newFiles = Difference(source->Files(), knownFiles);
            r.newFolders = Difference(source->Folders(), knownFolders);
            auto old = FindResults(w, node);
            if (old != w->results.end()) w->results.erase(old);
            w->results.push_back(std::move(r));
        }
    }
    w->DeleteSource();
    w->current = nullptr;
}

void StopWorkerThread(FolderScanWorker* worker) { worker->StopThread(); }

void ScanWorkerApplyResults(CatalogRec* catalog, FolderNode* node, bool addFiles, bool deleteVanished,
                            bool addFolders, bool removeFolders) {
    FolderScanWorker* w = WorkerOf(catalog);
    if (!w || !node) return;
    auto it = FindResults(w, node);
    if (it == w->results.end()) return;
    // Taken out of the list first: the steps below may destroy nodes, which forgets results.
    ScanResults r = std::move(*it);
    w->results.erase(it);
    if (addFiles && !r.newFiles.empty()) {
        try {
            std::vector<FSSpec> specs;
            for (const ScanEntry& e : r.newFiles) specs.push_back(e.spec);
            CatalogAddFiles(catalog, 0, specs.data(), long(specs.size()), nullptr, 0, nullptr);
        } catch (const std::exception&) {
            UiBeep();
        }
    }
    if (addFolders) {
        for (const ScanEntry& e : r.newFolders) FolderTreeAddFolder(catalog, &e.spec, nullptr);
    }
    if (deleteVanished) {
        for (UInt32 id : r.vanishedItems) {
            ImportDeleteItemById(catalog, id);
        }
    }
    if (removeFolders) {
        for (UInt32 id : r.vanishedFolders) {
            // Nodes are found again by id: the steps before may have destroyed some.
            FolderNode* parent = FolderTreeFindNodeById(catalog->folderTree, r.nodeId);
            if (FolderNode* child = parent ? ChildWithId(parent, id) : nullptr) FolderTreeRemoveFolder(catalog, child);
        }
    }
}
