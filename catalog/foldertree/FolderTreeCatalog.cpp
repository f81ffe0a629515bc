// The catalog's side of its folder tree: making and deleting it, its chunk in the catalog
// file, filing the items when a catalog opens, and resolving folders on disk.
#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"

#include "catalog/file/CatalogRec.h"
#include "foundation/text/Unicode.h"
#include "platform/ByteOrder.h"
#include "platform/Files.h"

#include <new>

OSErr CatalogFolderTreeCreate(CatalogRec* catalog) {
    FolderTree* tree = nullptr;
    try {
        tree = FolderTreeNew(catalog);
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    catalog->folderTree = tree;
    return noErr;
}

OSErr CatalogFolderTreeDelete(CatalogRec* catalog) {
    FolderTreeFree(catalog->folderTree);
    catalog->folderTree = nullptr;
    return noErr;
}

OSErr CatalogWriteFolderTreeChunk(SInt16 refNum, CatalogRec* catalog) {
    if (!catalog->folderTree) return paramErr;
    OSErr err = ChunkWriteHead(refNum, 'FSM!', 0);
    SInt64 start = 0, end = 0;
    if (err == noErr) err = GetFPos64(refNum, &start);
    if (err == noErr) err = FolderTreeWrite(catalog->folderTree, refNum);
    if (err == noErr) err = GetFPos64(refNum, &end);
    if (err == noErr) {
        // The length goes in front of the data once the data is written.
        std::uint8_t head[4];
        WriteBE32(head, UInt32(end - start));
        long count = 4;
        err = FSWriteAt(refNum, start - 4, &count, head);
    }
    if (err == noErr) err = SetFPos64(refNum, fsFromStart, end);
    return err;
}

OSErr CatalogReadFolderTree(CatalogRec* catalog, SInt16 refNum, long length) {
    if (!catalog->folderTree) return paramErr;
    return FolderTreeRead(catalog->folderTree, refNum, length);
}

OSErr FolderTreeSpecToStored(const FolderTree* tree, const FSSpec* spec, std::string* stored) {
    OSErr err = FolderNativeToStored(tree->volumes, spec->path, stored);
    const char sep = FolderTreeSeparator(tree);
    while (err == noErr && stored->size() > 1 && sep && stored->back() == sep) stored->pop_back();
    return err;
}

OSErr FolderNodeResolve(const FolderTree* tree, const FolderNode* node, FSSpec* spec) {
    if (!node || node->depth < 0) return paramErr;
    std::string stored = FolderNodeStoredPath(node);
    if (node->depth == 0 && node->name.rfind("\\\\", 0) == 0) {
        // A network host stands for the shares below it.
        OSErr err = fnfErr;
        for (const FolderNode* child : node->children) {
            std::string native;
            err = FolderStoredToNative(tree->volumes, FolderNodeStoredPath(child), &native);
            if (err == noErr) err = native.empty() || native[0] != '/' ? OSErr(fnfErr) : FSMakeFSSpecFromPath(native, spec);
            if (err == noErr) return noErr;
        }
        return err;
    }
    std::string native;
    OSErr err = FolderStoredToNative(tree->volumes, stored, &native);
    if (err != noErr) return err;
    // A path that names no place on this system (a drive path of another system, say) must
    // not be taken relative to the current folder.
    if (native.empty() || native[0] != '/') return fnfErr;
    return FSMakeFSSpecFromPath(native, spec);
}

OSErr FolderTreeResolveNode(CatalogRec* catalog, FolderNode* node, FSSpec* spec) {
    FolderTree* tree = catalog->folderTree;
    if (!tree) return paramErr;
    OSErr err = FolderNodeResolve(tree, node, spec);
    FolderTreeFlushPending(tree);
    return err;
}

void FolderTreeCheckFolders(FolderTree* tree, const FSSpec* catalogSpec, bool removeVanished,
                            bool recursive, FolderNode* node) {
    // Folders that moved together with the catalog are found again under its folder.
    CheckOnlineVisitor visitor(tree, catalogSpec, removeVanished, recursive);
    FolderNode* start = node ? node : tree->root;
    if (recursive)
        visitor.Visit(start);
    else
        FolderNodeVisitChildren(start, visitor);
    FolderTreeFlushPending(tree);
}

void FolderTreeRefreshVolumes(FolderTree* tree) {
    VolumeTableRefresh(&tree->volumes);
    // A volume's letter here is always the mount placeholder, so keys are never re-lettered:
    // they are found by their serial number wherever the volume is mounted.
    bool changed = false;
    for (FolderNode* node : tree->root->children) {
        if (!VolumeKeyParse(node->name, nullptr, nullptr, nullptr)) continue;
        if (VolumeTableFind(tree->volumes, FolderNodePathComponent(node), "") && (node->flags & kFolderMissing))
            changed = true;
    }
    if (changed) {
        FolderTreeFlushPending(tree);
        if (tree->catalog) CatalogSetModified(tree->catalog);
    }
}

OSErr FolderTreeAddCatalogItems(CatalogRec* catalog, bool opened) {
    FolderTree* tree = catalog->folderTree;
    if (!tree) return paramErr;
    if (!opened || tree->loaded) {
        FolderTreeFlushPending(tree);
        return noErr;
    }
    const SInt32 savedStyle = tree->pathStyle;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        const ItemEntry& entry = catalog->entries[i];
        ItemRec record;
        if (CatalogReadEntryRecord(catalog, &entry, &record) != noErr) continue;
        // The record's file name is the item's full path (Windows-1252).
        std::string path(reinterpret_cast<const char*>(record.fileName + 1), record.fileName[0]);
        std::string stored;
        int style;
        if (!path.empty() && path[0] == '/') {
            // A path of this system: its volume part becomes a volume key.
            if (FolderNativeToStored(tree->volumes, AnsiToUtf8(path), &stored) != noErr) {
                tree->pathStyle = savedStyle;
                return bdNamErr;
            }
            // Built with "\" separators whatever the names hold (":" is a legal character here).
            style = 1;
        } else {
            style = FolderPathStyle(path);
            stored = AnsiToUtf8(path);
        }
        if (style == 2) {
            tree->pathStyle = savedStyle;
            return bdNamErr;
        }
        tree->pathStyle = style;
        FolderTreeAddItemPath(tree, stored, entry.id, &catalog->fileSpec, nullptr);
        tree->pathStyle = savedStyle;
    }
    FSSpec catalogSpec;
    bool saved = CatalogGetFileSpec(catalog, &catalogSpec, nullptr);
    FolderTreeCheckFolders(tree, saved ? &catalogSpec : nullptr, true, true, nullptr);
    CatalogSetModified(catalog);
    FolderTreeFlushPending(tree);
    return noErr;
}

OSErr CatalogFolderTreeCheckOnOpen(CatalogRec* catalog) {
    FolderTree* tree = catalog->folderTree;
    if (!tree) return noErr;
    // Looking for the first item finds its folder again when the catalog was moved together
    // with its media, before the volumes are checked.
    if (catalog->itemCount > 0) {
        FSSpec first;
        CatalogGetItemPath(catalog, &catalog->entries[0], &first);
    }
    FSSpec catalogSpec;
    bool saved = CatalogGetFileSpec(catalog, &catalogSpec, nullptr);
    FolderTreeCheckFolders(tree, saved ? &catalogSpec : nullptr, true, false, nullptr);
    FolderTreeFlushPending(tree);
    return noErr;
}
