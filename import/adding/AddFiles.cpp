// Adding files and folders to a catalog: the walk over the given files and folders, the tests
// that skip what must not be catalogued, and the insertion of the new entries with the undo of
// the whole call on a cancel or a failed add.
#include "import/adding/AddFiles.h"

#include "import/CatalogDeps.h"
#include "foundation/text/Unicode.h"
#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "import/settings/ImportFilters.h"
#include "platform/UiHooks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits.h>
#include <map>
#include <vector>

struct AddFilesContext {
    CatalogRec* catalog = nullptr;
    ImportSettingsRec* settings = nullptr;   // the catalog's own record
    SInt32 added = 0;
    SInt32 scanned = 0;
    CatalogProgressProc progress = nullptr;
    long progressRef = 0;
    FSSpec catalogSpec;                      // path empty: never saved
    SInt32 insertIndex = 0;                  // 1-based; 0 appends
    FolderNode* currentNode = nullptr;
    // The folder walk keeps a 32-bit value per folder: the node's id, found again here.
    std::map<UInt32, FolderNode*> nodesById;
    const FolderIterState* walk = nullptr;
    std::vector<UInt32> addedIds;
    OSErr failure = noErr;                   // what ended the call early
    UInt8 control = kWalkContinue;
};

namespace {

constexpr char kTemporaryInternetFiles[] = "Temporary Internet Files";

std::string LeafName(std::string_view path) {
    size_t cut = path.rfind('/');
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

FolderNode* NodeForFolder(AddFilesContext* ctx, const FSSpec* folder) {
    FolderNode* node = CatalogFindFolderNodeBySpec(ctx->catalog, folder, true);
    if (node) ctx->nodesById[node->nodeId] = node;
    return node;
}

SInt32 VisibleToIndex(const CatalogRec* catalog, SInt32 visible) {
    if (visible <= 0) return 0;
    SInt32 seen = 0;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        if (catalog->entries[i].flags & kEntryHiddenFlag) continue;
        if (++seen == visible) return i + 1;
    }
    return 0;
}

// What a symbolic link (this system's shortcut) leads to: false when it leads nowhere, to a
// folder, or (with the setting) to an invisible file; else info describes the target under
// the target's own path.
bool ResolveShortcut(AddFilesContext* ctx, CInfoPBRec* info) {
    char target[PATH_MAX];
    if (!realpath(info->path.c_str(), target)) return false;
    FSSpec spec;
    if (FSMakeFSSpecFromPath(target, &spec) != noErr) return false;
    CInfoPBRec resolved;
    if (FSpGetCatInfo(&spec, &resolved) != noErr) return false;
    if (resolved.ioFlAttrib & kioFlAttribDirMask) return false;
    if (ctx->settings->ignoreInvisible && (resolved.ioFlFndrInfo.fdFlags & kIsInvisible)) return false;
    *info = resolved;
    return true;
}

void Restore(AddFilesContext* ctx, FolderNode* node) { ctx->currentNode = node; }

}  // namespace

bool ImportFilterMatch(SInt32 depth, const MediaFileRec* file, const ImportSettingsRec* settings) {
    ImportFileFacts facts;
    facts.name = file->spec.path;
    facts.created = file->created;
    facts.modified = file->modified;
    facts.size = file->size;
    facts.type = file->type;
    return ImportFilterMatchFacts(depth, facts, settings);
}

OSType ImportKindOfFile(const ImportSettingsRec* settings, const CInfoPBRec& info, const FSSpec& spec, SInt32 depth,
                        MediaFileRec* file) {
    const UInt8* mask = ImportSettingsCategoryMaskEmpty(settings) ? nullptr : settings->categoryMask;
    const OSType type = KindTypeFromExtension(&spec, mask);
    if (type == 0) return 0;
    file->spec = spec;
    if (KindGetFileTypeInfo(&info, nullptr, type, file) != noErr) return 0;
    ImportFileFacts facts;
    facts.name = file->spec.path;
    facts.created = file->created;
    facts.modified = file->modified;
    // The true 64-bit size from the catalog information, resource fork included.
    facts.size = UInt64(info.dataLength) + info.ioFlRLgLen;
    facts.type = file->type;
    return ImportFilterMatchFacts(depth, facts, settings) ? type : 0;
}

UInt32 AddFolderCallback(const FSSpec* folder, UInt8* stop, void* context) {
    auto* ctx = static_cast<AddFilesContext*>(context);
    FolderNode* node = NodeForFolder(ctx, folder);
    ctx->currentNode = node;
    return node ? node->nodeId : 0;
}

void AddFileToCatalog(UInt16 depth, CInfoPBRec* entryInfo, UInt8* stop, void* context) {
    auto* ctx = static_cast<AddFilesContext*>(context);
    // Inside a walk the current folder is the walk's; a shortcut may change it for one file.
    if (ctx->walk) {
        auto it = ctx->nodesById.find(ctx->walk->folderValue);
        ctx->currentNode = it == ctx->nodesById.end() ? nullptr : it->second;
    }
    FolderNode* savedNode = ctx->currentNode;
    CInfoPBRec info = *entryInfo;
    const bool isFolder = (info.ioFlAttrib & kioFlAttribDirMask) != 0;

    // Symbolic links stand for shortcuts: followed to their file, which is filed in its own
    // folder. A link to a folder is left to the walk, which enters every folder once.
    if (info.isSymlink && !isFolder) {
        if (ctx->settings->ignoreShortcuts) return Restore(ctx, savedNode);
        if (!ResolveShortcut(ctx, &info)) return Restore(ctx, savedNode);
        FSSpec targetFolder;
        if (FSMakeFSSpecFromPath(FSSpecFolderPath(FSSpec{0, 0, info.path}), &targetFolder) != noErr)
            return Restore(ctx, savedNode);
        ctx->currentNode = NodeForFolder(ctx, &targetFolder);
    }

    // Invisible entries: a leaf name beginning with "." is this system's invisible mark, and
    // such entries are never taken; the setting covers the rest of the invisible ones.
    const bool dotName = LeafName(entryInfo->path).rfind('.', 0) == 0;
    if (dotName || (ctx->settings->ignoreInvisible && (entryInfo->ioFlFndrInfo.fdFlags & kIsInvisible))) {
        if (isFolder) *stop = kWalkSkipFolder;
        return Restore(ctx, savedNode);
    }

    if (isFolder) {
        if (info.path.size() > 24 && EndsWith(info.path, kTemporaryInternetFiles)) *stop = kWalkSkipFolder;
        return Restore(ctx, savedNode);
    }

    ++ctx->scanned;
    // The true 64-bit size: a file of exactly 4 GiB is not empty.
    if (info.dataLength + SInt64(info.ioFlRLgLen) <= 0) return Restore(ctx, savedNode);

    FSSpec spec;
    if (FSMakeFSSpecFromPath(info.path, &spec) != noErr) return Restore(ctx, savedNode);

    if (!ctx->currentNode) {
        FSSpec folder;
        if (FSMakeFSSpecFromPath(FSSpecFolderPath(spec), &folder) == noErr) ctx->currentNode = NodeForFolder(ctx, &folder);
    }
    if (ctx->currentNode && CatalogFindItemInFolder(ctx->currentNode, nullptr, &spec)) return Restore(ctx, savedNode);

    MediaFileRec file;
    if (ImportKindOfFile(ctx->settings, info, spec, SInt32(depth), &file) == 0) return Restore(ctx, savedNode);

    ItemEntry* entry = nullptr;
    OSErr err = CatalogAddItemFromFile(ctx->catalog, &file.spec, &file, &entry);
    if (err != noErr || !entry) {
        ctx->failure = err != noErr ? err : OSErr(paramErr);
        *stop = kWalkQuit;
        return Restore(ctx, savedNode);
    }
    const UInt32 id = entry->id;
    ctx->addedIds.push_back(id);
    ++ctx->added;
    // The item belongs to the folder the walk is in (for a shortcut, its target's folder),
    // under the name the disk gives it.
    FolderTree* tree = ctx->catalog->folderTree;
    std::string stored;
    if (ctx->currentNode && FolderTreeFindItemNode(tree, id) != ctx->currentNode &&
        FolderTreeSpecToStored(tree, &spec, &stored) == noErr)
        FolderTreeAddItemPath(tree, stored, id, nullptr, ctx->currentNode);

    if (ctx->progress && ctx->progress(1, ctx->added, ctx->scanned, ctx->progressRef) != noErr) {
        ctx->failure = userCanceledErr;
        *stop = kWalkQuit;
    }
    Restore(ctx, savedNode);
}

OSErr CatalogAddFiles(CatalogRec* catalog, SInt32 position, const FSSpec* specs, long count,
                      CatalogProgressProc progress, long progressRef, SInt32* outAdded) {
    if (outAdded) *outAdded = 0;
    if (!catalog || count <= 0 || !specs) return paramErr;
    if (catalog->workRefNum == 0) return permErr;
    if (!catalog->folderTree || !catalog->importSettings) return paramErr;

    for (SInt32 i = 0; i < catalog->itemCount; ++i) catalog->entries[i].flags &= ~kEntryAddedFlag;

    AddFilesContext ctx;
    ctx.catalog = catalog;
    ctx.settings = catalog->importSettings;
    ctx.progress = progress;
    ctx.progressRef = progressRef;
    CatalogGetFileSpec(catalog, &ctx.catalogSpec, nullptr);

    // What an undo puts back as it was.
    const SInt32 countBefore = catalog->itemCount;
    const SInt32 labelledBefore = catalog->labelledCount;
    const SInt32 dataSizeBefore = catalog->dataSize;
    const SInt32 mediaSize32Before = catalog->mediaSize32;
    const UInt64 mediaSize64Before = catalog->mediaSize64;

    // New entries are appended while the walk runs and moved before the insertion point at
    // the end, in one move of the displaced tail.
    SInt32 index = VisibleToIndex(catalog, position);
    ctx.insertIndex = (index >= 1 && index <= catalog->itemCount) ? index : 0;

    CatalogFolderTreeVisitRefresh(catalog);
    if (progress) progress(0, 0, 0, progressRef);

    for (long i = 0; i < count && ctx.control == kWalkContinue; ++i) {
        CInfoPBRec info;
        if (FSpGetCatInfo(&specs[i], &info) != noErr) continue;
        const bool isFolder = (info.ioFlAttrib & kioFlAttribDirMask) != 0;
        FSSpec folder;
        if (FSMakeFSSpecFromPath(isFolder ? info.path : FSSpecFolderPath(specs[i]), &folder) != noErr) continue;
        ctx.currentNode = NodeForFolder(&ctx, &folder);
        if (!isFolder) {
            ctx.walk = nullptr;
            AddFileToCatalog(0, &info, &ctx.control, &ctx);
        } else {
            FolderIterState walk;
            ctx.walk = &walk;
            StartFolderIteration(0, 0, folder.path, 0, AddFileToCatalog, &ctx, AddFolderCallback, &walk);
            ctx.walk = nullptr;
            if (walk.quitFlag == kWalkQuit) ctx.control = kWalkQuit;
        }
        if (ctx.failure != noErr) ctx.control = kWalkQuit;
    }

    if (progress) progress(2, 0, 0, progressRef);

    OSErr result = noErr;
    if (ctx.control == kWalkQuit) {
        // Undo the whole call: the ids leave every folder they were filed in (also folders
        // that existed before), the entries and the counters are as they were, and the
        // folders made by this call go.
        for (UInt32 id : ctx.addedIds) FolderTreeRemoveItem(catalog->folderTree, id);
        if (catalog->itemCount > countBefore)
            std::memset(catalog->entries + countBefore, 0,
                        sizeof(ItemEntry) * std::size_t(catalog->itemCount - countBefore));
        catalog->itemCount = countBefore;
        catalog->labelledCount = labelledBefore;
        catalog->dataSize = dataSizeBefore;
        catalog->mediaSize32 = mediaSize32Before;
        catalog->mediaSize64 = mediaSize64Before;
        CatalogFolderTreeVisitB(catalog);
        result = ctx.failure != noErr ? ctx.failure : OSErr(userCanceledErr);
    } else {
        if (ctx.insertIndex && catalog->itemCount > countBefore)
            std::rotate(catalog->entries + ctx.insertIndex - 1, catalog->entries + countBefore,
                        catalog->entries + catalog->itemCount);
        if (outAdded) *outAdded = ctx.added;
        if (ctx.added > 0) {
            ImportPostNotification(catalog, kMsgItemsAdded, 0);
            CatalogSetModified(catalog);
        }
        CatalogFolderTreeVisitA(catalog);
    }
    return result;
}

OSErr AddFilesUiProgress(short phase, long added, long scanned, long refCon) {
    switch (phase) {
        case 0:
            GetUiHooks().ProgressStart("Importing", 0);
            return noErr;
        case 1:
            return GetUiHooks().ProgressStep(added, scanned);
        default:
            GetUiHooks().ProgressEnd();
            return noErr;
    }
}
