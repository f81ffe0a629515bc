// Folder watching: the watched folders of a catalog's tree are listed again on disk, one at a
// time on a thread of their own, and compared with what the catalog holds. Everything but the
// listing runs on the user-interface thread on the process-wide timer service. Results are not
// applied by themselves: windows are told which folders have news (0x8073, the folder node's
// id as parameter) and apply them through the folder tree's operations.
//
// Each folder tree owns at most one worker, so at most one scan thread runs per catalog.
#pragma once

#include "import/watch/DirectorySource.h"
#include "platform/MacTypes.h"
#include "platform/TimerService.h"

#include <list>
#include <map>
#include <string>
#include <memory>
#include <set>
#include <thread>

struct CatalogRec;
struct FolderNode;
struct FolderTree;

inline constexpr char kFailedToTerminateThread[] = "Failed to terminate thread!";
// How long a stop waits for the scan thread before it gives up.
inline constexpr int kScanStopTimeoutMs = 1000;
inline constexpr UInt32 kWatchFastMs = 100;

// What one listing of a folder found, compared with the catalog.
struct ScanResults {
    FolderNode* node = nullptr;
    UInt32 nodeId = 0;
    ScanEntrySet newFiles;          // on disk, not in the catalog
    ScanEntrySet newFolders;        // on disk, no child node
    std::set<UInt32> vanishedItems; // filed under the node, file no longer found
    // Child folder nodes no longer found, by node id: a node may be destroyed before the
    // results are applied, and an id is simply no longer found then.
    std::set<UInt32> vanishedFolders;
};

struct FolderScanWorker {
    virtual ~FolderScanWorker() = default;
    virtual void StartTimer(CatalogRec* catalog) = 0;
    virtual void StopTimer() = 0;
    virtual DirectorySource* GetSource() = 0;
    virtual void StartThread(const FSSpec& folder, const ImportSettingsRec& settings) = 0;
    // Throws std::runtime_error(kFailedToTerminateThread) when the thread does not end within
    // kScanStopTimeoutMs of the request; the thread is then left to end by itself.
    virtual void StopThread() = 0;
    virtual void DeleteSource() = 0;
    virtual void RearmFast(CatalogRec* catalog) = 0;
    virtual void RearmSlow(CatalogRec* catalog) = 0;

    // Watch interval in seconds (0.1 when made).
    double interval = 0.1;
    std::list<FolderNode*> queue;       // still to list in this pass, front first
    FolderNode* current = nullptr;      // being listed
    std::list<ScanResults> results;     // one per folder node at most
    TimerId timerId = 0;                // 0: no timer
    // Where the folder being listed must lie: the device of the mount that holds it now and
    // that mount's mount point, from the mount table.
    UInt64 expectedDevice = 0;
    std::string expectedMount;
    // The mount point that held each folder node at its last listing, by node id: a folder
    // found under a mount further up has lost the disk it was on (the mount point left empty).
    std::map<UInt32, std::string> nodeMounts;
};

// The tree's worker, made on first use; deleted with the tree.
FolderScanWorker* FolderTreeScanWorker(FolderTree* tree);
// Stops the timer and the thread (a thread that does not stop is left to end by itself) and
// deletes the worker.
void ScanWorkerDelete(FolderScanWorker* worker);
// How the listed entries are classified; ScanEntryClassify unless set otherwise.
void ScanWorkerSetClassifier(FolderScanWorker* worker, ScanClassifyProc classify);

void ScanWorkerStartTimer(CatalogRec* catalog);
void ScanWorkerStopTimer(CatalogRec* catalog);
// The one timer procedure of folder watching: finds the catalog of the tick.
void WatchTimerProc(TimerId id);
// One step of watching (the timer's), throwing when a thread would not stop.
void ScanWorkerTick(CatalogRec* catalog);
// Where a watched folder lies now, from the catalog's volume table refreshed from the mount
// table (no disk is touched, so a hung mount cannot hold up the caller): false when its volume
// is not mounted or its stored path cannot be a place (then its items are offline).
bool ScanWorkerLocateFolder(CatalogRec* catalog, FolderNode* node, std::string* native, UInt64* device,
                            std::string* mountPoint);
// Marks a watched folder that is gone or whose disk is offline: flag kFolderMissing, and no
// results kept for it, so none of its items is offered for deletion.
void ScanWorkerMarkOffline(CatalogRec* catalog, FolderNode* node);
// Lists the node's folder at once, ahead of the queue. 0, the resolve error, or -1 when a
// running thread would not stop.
OSErr ScanWorkerScanNow(CatalogRec* catalog, FolderNode* node);
// Forgets everything about a node that is being destroyed.
void ScanWorkerForgetNode(FolderScanWorker* worker, const FolderNode* node);
// The four counts of the node's results (all 0 without results); true when any is non-zero.
bool ScanWorkerGetCounts(FolderScanWorker* worker, const FolderNode* node, SInt32* newFiles,
                         SInt32* newFolders, SInt32* vanishedItems, SInt32* vanishedFolders);
// Keeps the node's pending-scan-changes flag in step with its results; posts 0x8071 when it
// changed.
void ScanWorkerUpdateMark(CatalogRec* catalog, FolderNode* node, bool clear);
// Applies the chosen parts of the node's results, then discards them.
void ScanWorkerApplyResults(CatalogRec* catalog, FolderNode* node, bool addFiles, bool deleteVanished,
                            bool addFolders, bool removeFolders);
// Compares the finished listing with the catalog (user-interface thread).
void ScanWorkerCompare(CatalogRec* catalog);
// Asks the thread to stop and waits for it (see FolderScanWorker::StopThread).
void StopWorkerThread(FolderScanWorker* worker);
// The results of a node, null when it has none.
const ScanResults* ScanWorkerFindResults(FolderScanWorker* worker, const FolderNode* node);
// Every watched node of the tree in visiting order, appended when the queue is empty; answers
// whether the queue holds any.
bool ScanWorkerFillQueue(FolderScanWorker* worker, FolderTree* tree);
