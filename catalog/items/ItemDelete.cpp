// Deleting items.
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemOrder.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemCounters.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"

#include <cstring>

void RankRemoveItem(CatalogRec* catalog, UInt32 itemId) {
    if (!catalog || !catalog->rankList || !*catalog->rankList) return;
    Handle h = catalog->rankList;
    long rows = long(GetHandleSize(h) / Size(sizeof(RankRow)));
    auto* row = reinterpret_cast<RankRow*>(*h);
    long kept = 0;
    for (long r = 0; r < rows; ++r)
        if (row[r].itemId != itemId) row[kept++] = row[r];
    if (kept != rows) SetHandleSize(h, Size(kept * long(sizeof(RankRow))));
}

OSErr CatalogDeleteItem(CatalogRec* catalog, SInt32 index) {
    if (!catalog || index < 1 || index > catalog->itemCount) return paramErr;
    // A catalog opened without a work file is read, never changed: it could not be saved.
    if (!catalog->workRefNum) {
        UiBeep();
        return permErr;
    }
    ItemEntry gone = catalog->entries[index - 1];

    if (gone.flags & kEntryLabelMask) --catalog->labelledCount;
    // A hidden item leaves the hidden count too, or the visible numbers of the others go wrong.
    if ((gone.flags & kEntryHiddenFlag) && catalog->hiddenCount > 0) --catalog->hiddenCount;

    if (catalog->itemCount == 1) {
        catalog->mediaSize32 = 0;
        catalog->mediaSize64 = 0;
        catalog->dataSize = 0;
    } else {
        ItemRec record;
        if (CatalogReadEntryRecord(catalog, &gone, &record) == noErr) {
            item_counters::AddMediaSize(catalog, -SInt64(record.fileSize));
            item_counters::AddDataSize(catalog, -SInt64(kItemRecSize + ItemRecVarSize(&record)));
        }
    }
    if (!(gone.flags & kEntryInWorkFileFlag) && gone.position < catalog->lowestHole)
        catalog->lowestHole = gone.position;

    std::memmove(&catalog->entries[index - 1], &catalog->entries[index],
                 size_t(catalog->itemCount - index) * sizeof(ItemEntry));
    --catalog->itemCount;
    catalog->entries[catalog->itemCount] = ItemEntry{0, 0, 0};

    RankRemoveItem(catalog, gone.id);
    OrganizeRemoveItemFromAll(catalog, gone.id);
    CatalogRemoveItemFromFolders(catalog, gone.id);

    CatalogPostNotification(catalog, kCatalogMsgItemDeleted, 0);
    CatalogSetModified(catalog);
    return noErr;
}

OSErr CatalogDeleteVisibleItem(CatalogRec* catalog, SInt32 visibleNumber) {
    SInt32 index = CatalogVisibleToIndex(catalog, visibleNumber);
    if (index == 0) return paramErr;
    return CatalogDeleteItem(catalog, index);
}
