// The commit of the Info panel's pending edits into the current item and the other selected
// items. Each item's stored annotation block is changed where the rows say so and written back
// only when it changed, with its annotated date stamped; the update re-indexes the item and,
// for the current item, rebuilds the rows.
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoInternal.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemRecords.h"
#include "platform/Handles.h"
#include "platform/MacDates.h"

#include <cstring>
#include <vector>

namespace {

bool Pending(const std::vector<InfoRow>& rows, UInt8 captionState) {
    if (captionState == kInfoStateChanged) return true;
    for (const InfoRow& row : rows)
        if (row.state == kInfoStateChanged || row.state == kInfoStateRemoved || row.moved) return true;
    return false;
}

void Store(CatalogRec* catalog, ItemEntry* entry, Handle block) {
    ItemRec record;
    if (ItemLoadRecord(catalog, entry, &record) != noErr) return;
    GetDateTime(&record.annotatedDate);
    CatalogUpdateItem(catalog, entry, &record, nullptr, block, nullptr, nullptr, nullptr, true);
}

}  // namespace

void InfoEditCommit(CatalogRec* catalog, Handle itemIds, CatalogProgressProc progress, long refCon) {
    if (!catalog || catalog->infoItemId == 0 || !catalog->infoRows || !catalog->infoCaption) return;
    // Copies: storing the current item rebuilds the rows and the caption.
    std::vector<InfoRow> rows(InfoRowCount(catalog));
    if (!rows.empty()) std::memcpy(rows.data(), *catalog->infoRows, rows.size() * sizeof(InfoRow));
    const UInt8 captionState = catalog->infoCaptionState;
    if (!Pending(rows, captionState)) return;
    Handle caption = catalog->infoCaption;
    if (HandToHand(&caption) != noErr) return;

    std::vector<UInt32> ids;
    if (itemIds) {
        ids.resize(std::size_t(GetHandleSize(itemIds)) / 4);
        if (!ids.empty()) std::memcpy(ids.data(), *itemIds, ids.size() * 4);
    }
    const UInt32 current = catalog->infoItemId;
    const long total = long(ids.size());
    if (progress) progress(0, 0, total, refCon);

    if (ItemEntry* entry = CatalogFindEntryById(catalog, current)) {
        if (Handle block = ItemReadAnnotationsForEdit(catalog, entry)) {
            if (InfoApplyToCurrentBlock(rows.data(), UInt32(rows.size()), caption, captionState, block))
                Store(catalog, entry, block);
            DisposeHandle(block);
        }
    }
    long done = 0;
    for (UInt32 id : ids) {
        ++done;
        ItemEntry* entry = id == current ? nullptr : CatalogFindEntryById(catalog, id);
        if (entry) {
            if (Handle block = ItemReadAnnotationsForEdit(catalog, entry)) {
                if (InfoApplyToOtherBlock(rows.data(), UInt32(rows.size()), caption, captionState, block))
                    Store(catalog, entry, block);
                DisposeHandle(block);
            }
        }
        if (progress && progress(1, done, total, refCon) != noErr) break;
    }
    if (progress) progress(2, total, total, refCon);
    DisposeHandle(caption);
}
