// The folder tree's side of folder watching: which folders are watched, how a listed entry is
// classified, and the bridge from the folder pane to the scan worker.
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "import/watch/FolderWatch.h"

#include "catalog/file/CatalogRec.h"
#include "import/adding/AddFiles.h"
#include "import/settings/ImportFilters.h"
#include "import/watch/FolderScanWorker.h"

#include <cstdio>
#include <stdexcept>

void FolderTreeSetWatched(CatalogRec* catalog, FolderNode* node, bool on) {
    FolderTree* tree = catalog->folderTree;
    if (!tree || !node || node->depth < 0) return;
    FolderScanWorker* worker = FolderTreeScanWorker(tree);
    if (on) {
        node->flags |= kFolderWatched;
        if (!worker->timerId) ScanWorkerStartTimer(catalog);
        bool queued = false;
        for (FolderNode* n : worker->queue) queued = queued || n == node;
        if (!queued && worker->current != node) worker->queue.push_back(node);
    } else {
        node->flags &= ~UInt32(kFolderWatched);
        ScanWorkerForgetNode(worker, node);
    }
    FolderTreePostChanged(catalog);
}

void FolderWatchEnable(CatalogRec* catalog, bool on) {
    if (!catalog || !catalog->folderTree) return;
    if (on)
        ScanWorkerStartTimer(catalog);
    else
        ScanWorkerStopTimer(catalog);
}

void ScanEntryClassify(const DirectorySource& source, const CInfoPBRec& info, ScanEntry* entry) {
    entry->type = 0;
    const ImportSettingsRec& settings = source.Settings();
    std::string name = FSSpecName(FSSpec{0, 0, info.path});
    // A leaf name beginning with "." is this system's invisible mark: never taken, as when
    // files are added.
    if (name.empty() || name[0] == '.') return;
    if (settings.ignoreInvisible && (info.ioFlFndrInfo.fdFlags & kIsInvisible)) return;
    if (info.ioFlAttrib & kioFlAttribDirMask) {
        entry->type = kScanFolderType;
        return;
    }
    if (info.dataLength + SInt64(info.ioFlRLgLen) <= 0) return;
    // Only what the kind table and the file's catalog information tell: no media reader runs
    // on this thread.
    // Files found by watching are added as files given directly: the folder-level rule does
    // not apply.
    MediaFileRec file;
    entry->type = ImportKindOfFile(&settings, info, entry->spec, 0, &file);
}

bool FolderTreeGetPendingCounts(CatalogRec* catalog, FolderNode* node, SInt32* newFiles, SInt32* newFolders,
                                SInt32* vanishedItems, SInt32* vanishedFolders) {
    SInt32 scratch[4];
    if (!catalog->folderTree) return false;
    return ScanWorkerGetCounts(FolderTreeScanWorker(catalog->folderTree), node, newFiles ? newFiles : &scratch[0],
                               newFolders ? newFolders : &scratch[1], vanishedItems ? vanishedItems : &scratch[2],
                               vanishedFolders ? vanishedFolders : &scratch[3]);
}

void FolderTreeApplyPending(CatalogRec* catalog, FolderNode* node, bool addFiles, bool deleteVanished,
                            bool addFolders, bool removeFolders) {
    ScanWorkerApplyResults(catalog, node, addFiles, deleteVanished, addFolders, removeFolders);
}

void FolderTreeUpdatePendingMark(CatalogRec* catalog, FolderNode* node, bool clear) {
    ScanWorkerUpdateMark(catalog, node, clear);
}

void FolderTreeWatchTick(CatalogRec* catalog) {
    try {
        ScanWorkerTick(catalog);
    } catch (const std::exception& e) {
        // A scan thread that would not stop is left to end by itself (it holds its own share
        // of its listing); watching goes on with the next folder.
        std::fprintf(stderr, "folder watching: %s\n", e.what());
        if (catalog->folderTree && catalog->folderTree->scanWorker) {
            FolderScanWorker* worker = catalog->folderTree->scanWorker;
            worker->DeleteSource();
            worker->current = nullptr;
            worker->RearmFast(catalog);
        }
    }
}
