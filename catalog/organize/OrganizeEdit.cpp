// Primitive edits of one list: entries in and out, ids in and out, lookups by text and by
// item, and the hierarchy helpers.
#include "catalog/file/CatalogRec.h"
#include "catalog/organize/OrganizeLists.h"
#include "foundation/text/PString.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>
#include <unordered_set>

namespace {

bool IsDateList(UInt32 fieldId) { return fieldId == kOrganizeDateField; }

}  // namespace

UInt32 OrganizeSubtreeEnd(const OrganizeList* list, UInt32 n) {
    if (!list || n == 0 || n > list->size()) return n;
    const UInt8 level = list->at(n - 1)->level;
    UInt32 end = n;
    while (end < list->size() && list->at(end)->level > level) ++end;
    return end;
}

OSErr OrganizeInsertEntry(CatalogRec* catalog, UInt32 fieldId, const void* bytes, long length, UInt32 n) {
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    if (!list || !bytes) return paramErr;
    auto entry = std::unique_ptr<OrganizeEntry>(new (std::nothrow) OrganizeEntry);
    if (!entry) return memFullErr;
    // The image is in memory order: the date bytes of a date entry are part of the text area.
    if (OrganizeEntryFromImage(static_cast<const std::uint8_t*>(bytes), length, false, false, entry.get()) == 0)
        return paramErr;
    list->insert(n, std::move(entry));
    return noErr;
}

OSErr OrganizeInsertNamedEntry(CatalogRec* catalog, UInt32 fieldId, UInt32 n, ConstStr255Param text,
                               UInt8 level, UInt8 container) {
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    if (!list) return paramErr;
    auto entry = std::unique_ptr<OrganizeEntry>(new (std::nothrow) OrganizeEntry);
    if (!entry) return memFullErr;
    OrganizeEntrySetText(entry.get(), text, IsDateList(fieldId));
    entry->expanded = 1;
    entry->level = level;
    entry->container = container;
    list->insert(n, std::move(entry));
    return noErr;
}

OSErr OrganizeReplaceEntry(CatalogRec* catalog, UInt32 fieldId, UInt32 n, const void* bytes, long length) {
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    if (!list || n == 0 || n > list->size()) return paramErr;
    if (!bytes) {
        UInt32 end = OrganizeSubtreeEnd(list, n);
        list->take(n - 1, end - n + 1);
        return noErr;
    }
    auto entry = std::unique_ptr<OrganizeEntry>(new (std::nothrow) OrganizeEntry);
    if (!entry) return memFullErr;
    if (OrganizeEntryFromImage(static_cast<const std::uint8_t*>(bytes), length, false, false, entry.get()) == 0)
        return paramErr;
    list->take(n - 1, 1);
    list->insert(n - 1, std::move(entry));
    return noErr;
}

OSErr OrganizeEntryAddItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n, const UInt32* ids, UInt32 count) {
    OrganizeEntry* entry = OrganizeGetEntry(catalog, fieldId, n);
    if (!entry || !ids || count == 0) return noErr;
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    try {
        for (UInt32 i = 0; i < count; ++i) list->addItem(entry, ids[i]);
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    return noErr;
}

bool OrganizeEntryRemoveItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n, const UInt32* ids, UInt32 count) {
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    if (!list || !ids || count == 0) return false;
    bool changed = false;
    if (n != 0) {
        OrganizeEntry* entry = OrganizeListEntryAt(list, n);
        if (!entry) return false;
        for (UInt32 i = 0; i < count; ++i) changed |= list->removeItem(entry, ids[i]);
        return changed;
    }
    for (UInt32 i = 0; i < count; ++i) {
        const auto* holders = list->entriesWithItem(ids[i]);
        if (!holders) continue;
        const std::vector<OrganizeEntry*> copy = *holders;
        for (OrganizeEntry* entry : copy) changed |= list->removeItem(entry, ids[i]);
    }
    return changed;
}

bool OrganizeEntryClearItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n) {
    OrganizeEntry* entry = OrganizeGetEntry(catalog, fieldId, n);
    return entry && OrganizeGetList(catalog, fieldId)->clearItems(entry);
}

bool OrganizeEntryPurgeItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n) {
    OrganizeEntry* entry = OrganizeGetEntry(catalog, fieldId, n);
    if (!entry || entry->items.empty()) return false;
    std::unordered_set<UInt32> present;
    present.reserve(std::size_t(catalog->itemCount));
    for (SInt32 i = 0; i < catalog->itemCount; ++i) present.insert(catalog->entries[i].id);
    std::vector<UInt32> kept;
    kept.reserve(entry->items.size());
    for (UInt32 id : entry->items)
        if (present.count(id)) kept.push_back(id);
    if (kept.size() == entry->items.size()) return false;
    OrganizeGetList(catalog, fieldId)->setItems(entry, std::move(kept));
    return true;
}

bool OrganizeEntrySortItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n) {
    OrganizeEntry* entry = OrganizeGetEntry(catalog, fieldId, n);
    if (!entry || entry->items.size() < 2) return false;
    std::unordered_map<UInt32, SInt32> place;
    place.reserve(std::size_t(catalog->itemCount));
    for (SInt32 i = 0; i < catalog->itemCount; ++i) place.emplace(catalog->entries[i].id, i);
    std::vector<UInt32> ids = entry->items;
    // Known ids by their place among the items; unknown ones after them, as they stood.
    std::stable_sort(ids.begin(), ids.end(), [&](UInt32 a, UInt32 b) {
        auto pa = place.find(a), pb = place.find(b);
        SInt32 ka = pa == place.end() ? SInt32(0x7FFFFFFF) : pa->second;
        SInt32 kb = pb == place.end() ? SInt32(0x7FFFFFFF) : pb->second;
        return ka < kb;
    });
    if (ids == entry->items) return false;
    OrganizeGetList(catalog, fieldId)->setItems(entry, std::move(ids));
    return true;
}

OSErr OrganizeCollectItems(const CatalogRec* catalog, UInt32 fieldId, UInt32 n, bool withSubEntries, Handle out) {
    const OrganizeList* list = OrganizeGetList(catalog, fieldId);
    if (!list || !out || n == 0 || n > list->size()) return paramErr;
    const UInt32 end = withSubEntries ? OrganizeSubtreeEnd(list, n) : n;
    for (UInt32 i = n; i <= end; ++i) {
        const OrganizeEntry* entry = list->at(i - 1);
        if (entry->items.empty()) continue;
        OSErr err = PtrAndHand(entry->items.data(), out, Size(4 * entry->items.size()));
        if (err != noErr) return err;
    }
    return noErr;
}

void OrganizeUpdateContainers(CatalogRec* catalog, UInt32 fieldId) {
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    if (!list) return;
    for (std::size_t i = 0; i < list->size(); ++i) {
        bool deeper = i + 1 < list->size() && list->at(i + 1)->level > list->at(i)->level;
        list->at(i)->container = deeper ? 1 : 0;
    }
}

// Scans the entries after parent n. It stops at the first entry whose level is below level
// (not found); among the entries of exactly that level it stops at one with an equal text
// (found), and with sorted also at the first one that sorts after the text (not found: the
// insertion point). Out position: the entry it stopped at, count + 1 at the end; out last:
// the last entry looked at whose level was not below level (n when none).
bool OrganizeFindChild(const CatalogRec* catalog, UInt32 fieldId, ConstStr255Param text, UInt8 level,
                       UInt32 parent, bool sorted, UInt32* outLast, UInt32* outPosition) {
    const OrganizeList* list = OrganizeGetList(catalog, fieldId);
    const UInt32 count = OrganizeCountEntries(list);
    UInt32 last = parent, position = count + 1;
    bool found = false;
    if (list && parent <= count) {
        if (level == 0 && list->isFlatSorted()) {
            // Every entry is a sorted top-level value: the walk's answer by bisection.
            UInt32 lo = parent, hi = count;
            while (lo < hi) {
                UInt32 mid = lo + (hi - lo) / 2;
                if (OrganizeCompareText(list->at(mid)->text, text) < 0)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            if (lo < count && OrganizeTextEqual(list->at(lo)->text, text)) {
                found = true;
                last = position = lo + 1;
            } else if (sorted) {
                last = lo;
                position = lo + 1;
            } else {
                last = count;
            }
        } else {
            for (UInt32 i = parent + 1; i <= count; ++i) {
                const OrganizeEntry* entry = list->at(i - 1);
                if (entry->level < level) {
                    position = i;
                    break;
                }
                if (entry->level == level) {
                    int c = OrganizeCompareText(entry->text, text);
                    if (c == 0) {
                        found = true;
                        last = position = i;
                        break;
                    }
                    if (sorted && c > 0) {
                        position = i;
                        break;
                    }
                }
                last = i;
            }
        }
    }
    if (outLast) *outLast = last;
    if (outPosition) *outPosition = position;
    return found;
}

UInt32 OrganizeFindParent(const CatalogRec* catalog, UInt32 fieldId, const OrganizeEntry* entry, UInt32 n) {
    const OrganizeList* list = OrganizeGetList(catalog, fieldId);
    if (!list || !entry || entry->level == 0) return 0;
    const UInt8 want = UInt8(entry->level - 1);
    for (UInt32 i = std::min<UInt32>(n, UInt32(list->size()) + 1); i > 1; --i) {
        const OrganizeEntry* e = list->at(i - 2);
        if (e->container && e->level == want) return i - 1;
    }
    return 0;
}

void OrganizeToggleExpanded(CatalogRec* catalog, UInt32 fieldId, UInt32 n, bool withSubEntries) {
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    OrganizeEntry* entry = OrganizeListEntryAt(list, n);
    if (!entry) return;
    entry->expanded = entry->expanded ? 0 : 1;
    if (!withSubEntries) return;
    const UInt32 end = OrganizeSubtreeEnd(list, n);
    for (UInt32 i = n + 1; i <= end; ++i)
        if (list->at(i - 1)->container) list->at(i - 1)->expanded = entry->expanded;
}

void OrganizeMakeUniqueName(const CatalogRec* catalog, UInt32 fieldId, Str255 text) {
    const OrganizeList* list = OrganizeGetList(catalog, fieldId);
    std::unordered_set<std::string> topLevel;
    const UInt32 count = OrganizeCountEntries(list);
    for (UInt32 i = 0; i < count; ++i) {
        const OrganizeEntry* e = list->at(i);
        if (e->level == 0) topLevel.emplace(reinterpret_cast<const char*>(e->text + 1), e->text[0]);
    }
    for (UInt32 number = count + 1;; ++number) {
        PStrFromCString(text, "#");
        PStrAppendNumber(text, SInt32(number));
        if (!topLevel.count(std::string(reinterpret_cast<const char*>(text + 1), text[0]))) return;
    }
}

OrganizeEntry* OrganizeFindEntryWithItem(const CatalogRec* catalog, UInt32 fieldId, UInt32 k, UInt32 itemId,
                                         UInt32* outNumber) {
    if (outNumber) *outNumber = 0;
    const OrganizeList* list = OrganizeGetList(catalog, fieldId);
    if (!list || k == 0) return nullptr;
    const auto* holders = list->entriesWithItem(itemId);
    if (!holders || k > holders->size()) return nullptr;
    std::vector<long> places;
    places.reserve(holders->size());
    for (const OrganizeEntry* e : *holders) places.push_back(list->indexOf(e));
    std::nth_element(places.begin(), places.begin() + long(k - 1), places.end());
    const long place = places[k - 1];
    if (outNumber) *outNumber = UInt32(place + 1);
    return list->at(std::size_t(place));
}
