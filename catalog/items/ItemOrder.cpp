// Showing, hiding and moving items, and the mapping between visible numbers and entries.
#include "catalog/items/ItemOrder.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/sort/SortEngine.h"
#include "platform/Handles.h"

#include <unordered_set>
#include <vector>

namespace {

bool IsHidden(const ItemEntry& e) { return (e.flags & kEntryHiddenFlag) != 0; }

std::unordered_set<UInt32> IdSet(Handle ids) {
    std::unordered_set<UInt32> set;
    if (!ids || !*ids) return set;
    long count = long(GetHandleSize(ids) / Size(sizeof(UInt32)));
    const auto* p = reinterpret_cast<const UInt32*>(*ids);
    set.reserve(size_t(count));
    for (long k = 0; k < count; ++k) set.insert(p[k]);
    return set;
}

}  // namespace

SInt32 CatalogVisibleToIndex(const CatalogRec* catalog, SInt32 visibleNumber) {
    if (!catalog || visibleNumber < 1 || visibleNumber > catalog->itemCount) return 0;
    if (catalog->hiddenCount == 0) return visibleNumber;
    SInt32 seen = 0;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        if (IsHidden(catalog->entries[i])) continue;
        if (++seen == visibleNumber) return i + 1;
    }
    return 0;
}

SInt32 CatalogIndexToVisible(const CatalogRec* catalog, SInt32 index) {
    if (!catalog || index < 1 || index > catalog->itemCount) return 0;
    if (IsHidden(catalog->entries[index - 1])) return 0;
    if (catalog->hiddenCount == 0) return index;
    SInt32 visible = 0;
    for (SInt32 i = 0; i < index; ++i)
        if (!IsHidden(catalog->entries[i])) ++visible;
    return visible;
}

bool CatalogMoveItems(CatalogRec* catalog, SInt32 place, UInt8* marks) {
    if (!catalog || !marks) return false;
    std::vector<UInt32> visibleIds;
    for (SInt32 i = 0; i < catalog->itemCount; ++i)
        if (!IsHidden(catalog->entries[i])) visibleIds.push_back(catalog->entries[i].id);
    const SInt32 count = SInt32(visibleIds.size());
    if (place < 1) place = 1;
    if (place > count + 1) place = count + 1;

    std::vector<UInt32> order;
    order.reserve(visibleIds.size());
    for (SInt32 v = 1; v < place; ++v)
        if (!marks[v - 1]) order.push_back(visibleIds[size_t(v - 1)]);
    const size_t firstMoved = order.size();
    for (SInt32 v = 1; v <= count; ++v)
        if (marks[v - 1]) order.push_back(visibleIds[size_t(v - 1)]);
    const size_t endMoved = order.size();
    for (SInt32 v = place; v <= count; ++v)
        if (!marks[v - 1]) order.push_back(visibleIds[size_t(v - 1)]);
    for (size_t k = 0; k < order.size(); ++k) marks[k] = (k >= firstMoved && k < endMoved) ? 1 : 0;
    if (order == visibleIds) return false;

    Handle ids = NewHandle(Size(order.size() * sizeof(UInt32)));
    if (!ids) return false;
    std::copy(order.begin(), order.end(), reinterpret_cast<UInt32*>(*ids));
    OSErr err = CatalogReorderItems(catalog, ids);
    DisposeHandle(ids);
    if (err != noErr) return false;
    CatalogSetModified(catalog);
    return true;
}

void CatalogShowAll(CatalogRec* catalog) {
    if (!catalog) return;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) catalog->entries[i].flags &= ~kEntryHiddenFlag;
    catalog->hiddenCount = 0;
    CatalogPostNotification(catalog, kCatalogMsgShownItemsChanged, 0);
}

void CatalogInvertHidden(CatalogRec* catalog) {
    if (!catalog) return;
    SInt32 hidden = 0;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        catalog->entries[i].flags ^= kEntryHiddenFlag;
        if (IsHidden(catalog->entries[i])) ++hidden;
    }
    catalog->hiddenCount = hidden;
    CatalogPostNotification(catalog, kCatalogMsgShownItemsChanged, 0);
}

void CatalogShowOnly(CatalogRec* catalog, Handle ids, bool reorder) {
    if (!catalog) return;
    if (!ids) {
        CatalogShowAll(catalog);
        CatalogPostNotification(catalog, kCatalogMsgShownItemsChanged, 0);
        return;
    }
    std::unordered_set<UInt32> shown = IdSet(ids);
    SInt32 hidden = 0;
    // Counted per entry, so an id listed twice cannot count an item out twice.
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        ItemEntry& e = catalog->entries[i];
        if (shown.count(e.id)) {
            e.flags &= ~kEntryHiddenFlag;
        } else {
            e.flags |= kEntryHiddenFlag;
            ++hidden;
        }
    }
    catalog->hiddenCount = hidden;
    if (reorder) CatalogReorderItems(catalog, ids);
    CatalogPostNotification(catalog, kCatalogMsgShownItemsChanged, 0);
}
