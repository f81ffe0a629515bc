#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/organize/OrganizeLists.h"

Handle OrganizeEntryThumbnail(const CatalogRec* catalog, const OrganizeEntry* entry, SInt16 width, SInt16 height) {
    if (!catalog || !entry || entry->items.empty()) return nullptr;
    const ItemEntry* item = CatalogFindEntryById(catalog, entry->items.front());
    return item ? ItemGetThumbnailPicture(catalog, item, width, height) : nullptr;
}
