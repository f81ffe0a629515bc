#include "catalog/items/ItemLabels.h"

#include "catalog/fields/FieldIds.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "platform/Handles.h"

#include <cstring>

SInt32 CatalogEntryVisibleNumber(const CatalogRec* catalog, const ItemEntry* entry) {
    if (!catalog || !entry || !catalog->entries) return 0;
    const ptrdiff_t index = entry - catalog->entries;
    if (index < 0 || index >= catalog->itemCount) return 0;
    if (entry->flags & kEntryHiddenFlag) return 0;
    if (catalog->hiddenCount == 0) return SInt32(index + 1);
    SInt32 visible = 0;
    for (ptrdiff_t i = 0; i <= index; ++i)
        if (!(catalog->entries[i].flags & kEntryHiddenFlag)) ++visible;
    return visible;
}

bool CatalogSetItemLabel(CatalogRec* catalog, ItemEntry* entry, UInt8 label, bool quiet) {
    if (!catalog || !entry) return false;
    if (label > 9) label = 0;
    const UInt8 old = UInt8(entry->flags & kEntryLabelMask);
    if (old == label) return false;
    if (old == 0) ++catalog->labelledCount;
    if (label == 0 && catalog->labelledCount > 0) --catalog->labelledCount;
    entry->flags = (entry->flags & ~kEntryLabelMask) | label;
    if (!quiet) {
        SInt32 visible = CatalogEntryVisibleNumber(catalog, entry);
        if (visible) CatalogNotifyNow(catalog, kCatalogMsgItemChanged, WPARAM(visible));
        CatalogSetModified(catalog);
    }
    if (OrganizeHasList(catalog, kFieldLabel)) {
        OrganizeIndexItemField(catalog, kFieldLabel, entry);
        CatalogPostNotification(catalog, kCatalogMsgOrganizeChanged, kFieldLabel);
    }
    return true;
}

void CatalogSetLabelForIds(CatalogRec* catalog, Handle ids, UInt8 label) {
    if (!catalog || !ids || !*ids) return;
    const long count = GetHandleSize(ids) / 4;
    for (long i = 0; i < count; ++i) {
        UInt32 id;
        std::memcpy(&id, *ids + 4 * i, 4);
        if (ItemEntry* entry = CatalogFindEntryById(catalog, id)) CatalogSetItemLabel(catalog, entry, label, false);
    }
}
