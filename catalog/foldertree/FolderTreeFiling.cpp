// Filing items in the folder tree as the catalog engine adds and deletes them, and how the
// tree tells the catalog's windows about its changes.
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/notify/CatalogNotify.h"

#include <exception>

void ImportPostNotification(CatalogRec* catalog, UInt32 message, UInt32 parameter) {
    CatalogPostNotification(catalog, message, parameter);
}

void ImportNotifyNow(CatalogRec* catalog, UInt32 message, UInt32 parameter) {
    CatalogNotifyNow(catalog, message, parameter);
}

void FolderTreePostChanged(CatalogRec* catalog) { ImportPostNotification(catalog, kMsgFolderTreeChanged, 0); }

void FolderTreeSendChanged(CatalogRec* catalog) { ImportNotifyNow(catalog, kMsgFolderTreeChanged, 0); }

OSErr CatalogFolderTreeAddItem(CatalogRec* catalog, const FSSpec* file, UInt32 itemId, const FSSpec* catalogSpec) {
    FolderTree* tree = catalog->folderTree;
    if (!tree || !file) return paramErr;
    std::string stored;
    OSErr err = FolderTreeSpecToStored(tree, file, &stored);
    if (err != noErr) return err;
    return CatalogFolderTreeAddItemPath(catalog, stored, itemId, catalogSpec, nullptr);
}

OSErr CatalogFolderTreeAddItemPath(CatalogRec* catalog, std::string_view storedPath, UInt32 itemId,
                                   const FSSpec* catalogSpec, FolderNode* node) {
    FolderTree* tree = catalog->folderTree;
    if (!tree) return paramErr;
    FolderNode* filed = nullptr;
    try {
        filed = FolderTreeAddItemPath(tree, storedPath, itemId, catalogSpec, node);
    } catch (const std::exception&) {
        return paramErr;
    }
    if (!filed) return fnfErr;
    CatalogSetModified(catalog);
    FolderTreePostChanged(catalog);
    return noErr;
}

void CatalogRemoveItemFromFolders(CatalogRec* catalog, UInt32 itemId) {
    if (!catalog->folderTree) return;
    FolderTreeRemoveItem(catalog->folderTree, itemId);
    CatalogSetModified(catalog);
    FolderTreePostChanged(catalog);
}
