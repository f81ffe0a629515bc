// Folder watching as the folder pane and the catalog see it: which folders are watched, the
// scan results waiting for a folder and applying them, and the tick of the watch timer. The
// scan itself runs on the worker of FolderScanWorker.h.
#pragma once

#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "platform/MacTypes.h"

struct CatalogRec;
struct CInfoPBRec;
class DirectorySource;
struct ScanEntry;

void FolderTreeSetWatched(CatalogRec* catalog, FolderNode* node, bool on);
void FolderWatchEnable(CatalogRec* catalog, bool on);
// Classifies a listed entry for the scan thread: 0 to drop it (invisible when the settings
// skip invisible files, a name beginning with ".", an empty file, a file the kind engine does
// not take or the filters refuse), 'fldr' for a folder, else the file's kind.
void ScanEntryClassify(const DirectorySource& source, const CInfoPBRec& info, ScanEntry* entry);
bool FolderTreeGetPendingCounts(CatalogRec* catalog, FolderNode* node, SInt32* newFiles, SInt32* newFolders,
                                SInt32* vanishedItems, SInt32* vanishedFolders);
void FolderTreeApplyPending(CatalogRec* catalog, FolderNode* node, bool addFiles, bool deleteVanished,
                            bool addFolders, bool removeFolders);
void FolderTreeUpdatePendingMark(CatalogRec* catalog, FolderNode* node, bool clear);
// The tick of the watch timer for one catalog: runs the worker's step and copes with a scan
// thread that would not stop.
void FolderTreeWatchTick(CatalogRec* catalog);
