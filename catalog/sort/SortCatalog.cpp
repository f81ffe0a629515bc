#include "catalog/sort/SortEngine.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/file/CatalogRec.h"
#include "foundation/interface/Cursors.h"
#include "foundation/interface/RandomGen.h"
#include "platform/Handles.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <new>
#include <unordered_map>
#include <utility>

namespace {

// Entry numbers (1-based) of the shown and of the hidden entries, each in the present order.
void SplitShownHidden(const CatalogRec* catalog, std::vector<SInt32>* shown,
                      std::vector<SInt32>* hidden) {
    shown->clear();
    hidden->clear();
    for (SInt32 n = 1; n <= catalog->itemCount; ++n) {
        if (catalog->entries[n - 1].flags & kEntryHiddenFlag)
            hidden->push_back(n);
        else
            shown->push_back(n);
    }
}

// Applies shown-then-hidden as the new order; true when it differs from the present one.
bool ApplyShownThenHidden(CatalogRec* catalog, const std::vector<SInt32>& shown,
                          const std::vector<SInt32>& hidden) {
    std::vector<SInt32> order;
    order.reserve(shown.size() + hidden.size());
    order.insert(order.end(), shown.begin(), shown.end());
    order.insert(order.end(), hidden.begin(), hidden.end());
    bool changed = false;
    for (size_t i = 0; i < order.size() && !changed; ++i) changed = order[i] != SInt32(i + 1);
    if (!changed) return false;
    return CatalogApplyOrder(catalog, order);
}

UInt8 FirstValue(CatalogRec* catalog, const ItemEntry* entry, UInt32 fieldId, FieldValue* value, void*) {
    return ItemGetField(catalog, entry, 1, fieldId, value);
}

UInt32 TickCount() {
    using namespace std::chrono;
    return UInt32(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

bool CatalogApplyOrder(CatalogRec* catalog, const std::vector<SInt32>& order) {
    if (!catalog || SInt32(order.size()) != catalog->itemCount) return false;
    std::vector<bool> used(order.size() + 1, false);
    for (SInt32 n : order) {
        if (n < 1 || n > catalog->itemCount || used[size_t(n)]) return false;
        used[size_t(n)] = true;
    }
    std::vector<ItemEntry> old(catalog->entries, catalog->entries + catalog->itemCount);
    for (size_t i = 0; i < order.size(); ++i) catalog->entries[i] = old[size_t(order[i] - 1)];
    return true;
}

bool SortCatalogByValues(CatalogRec* catalog, UInt32 fieldId, UInt8 textMode,
                         SortValueGetter getter, void* refCon) {
    if (!catalog || !getter) return false;
    SetWaitCursor(0);
    catalog->viewPrefs.sortField = fieldId;

    std::vector<SInt32> shown, hidden;
    SplitShownHidden(catalog, &shown, &hidden);
    std::unique_ptr<FieldValue> value(new (std::nothrow) FieldValue);
    if (shown.empty() || !value) {
        SetWaitCursor(2);
        return false;
    }

    // Every key is read once, item after item in the order the records lie in their files
    // (the catalog file's, then the work file's), so the reads move forward through each file
    // instead of jumping about as the present order would have them; key k belongs to
    // shown[readOrder[k]].
    std::vector<SInt32> readOrder(shown.size());
    for (size_t p = 0; p < readOrder.size(); ++p) readOrder[p] = SInt32(p);
    auto place = [&](SInt32 p) {
        const ItemEntry& e = catalog->entries[shown[size_t(p)] - 1];
        return std::pair<bool, SInt32>((e.flags & kEntryInWorkFileFlag) != 0, e.position);
    };
    std::sort(readOrder.begin(), readOrder.end(), [&](SInt32 a, SInt32 b) { return place(a) < place(b); });
    // Keys read while another program cut the file short or copied over it are not the items'
    // values: such a sort changes nothing (the catalog tells why, CatalogGetReadError).
    const bool readErrorBefore = CatalogGetReadError(catalog) != noErr;
    SortKeyTable table;
    table.keys.reserve(shown.size());
    for (SInt32 p : readOrder) {
        FieldValueClear(value.get());
        UInt8 type = getter(catalog, &catalog->entries[shown[size_t(p)] - 1], fieldId, value.get(), refCon);
        SortKeyTableAdd(&table, fieldId, type, value.get());
    }

    if (!readErrorBefore && CatalogGetReadError(catalog) != noErr) {
        SetWaitCursor(2);
        return false;
    }

    SortContext context;
    context.catalog = catalog;
    context.fieldId = fieldId;
    context.textMode = textMode;
    context.descending = catalog->viewPrefs.byte24 != 0;
    context.keys = &table;

    // The keys in the present order of their items, so that the stable sort keeps equal ones
    // in that order.
    std::vector<SInt32> keyOrder(shown.size());
    for (size_t k = 0; k < readOrder.size(); ++k) keyOrder[size_t(readOrder[k])] = SInt32(k);
    std::stable_sort(keyOrder.begin(), keyOrder.end(), [&context](SInt32 a, SInt32 b) {
        return SortCompareKeys(&context, a, b);
    });

    std::vector<SInt32> sorted(shown.size());
    for (size_t k = 0; k < sorted.size(); ++k) sorted[k] = shown[size_t(readOrder[size_t(keyOrder[k])])];
    bool changed = ApplyShownThenHidden(catalog, sorted, hidden);
    if (changed) CatalogSetModified(catalog);
    SetWaitCursor(2);
    return changed;
}

bool SortCatalogByFields(CatalogRec* catalog, UInt32 fieldId, UInt8 textMode) {
    return SortCatalogByValues(catalog, fieldId, textMode, FirstValue, nullptr);
}

bool SortCatalogShuffle(CatalogRec* catalog) {
    if (!catalog) return false;
    catalog->viewPrefs.sortField = kSortFieldShuffled;
    std::vector<SInt32> shown, hidden;
    SplitShownHidden(catalog, &shown, &hidden);
    RandomSeedWith(TickCount());
    for (long i = 1; i < long(shown.size()); ++i) std::swap(shown[size_t(i)], shown[size_t(RandomNext(0, i))]);
    bool changed = ApplyShownThenHidden(catalog, shown, hidden);
    if (changed) CatalogSetModified(catalog);
    return changed;
}

bool CatalogReverseOrder(CatalogRec* catalog) {
    if (!catalog) return false;
    std::vector<SInt32> shown, hidden;
    SplitShownHidden(catalog, &shown, &hidden);
    std::reverse(shown.begin(), shown.end());
    ApplyShownThenHidden(catalog, shown, hidden);
    catalog->viewPrefs.byte24 = catalog->viewPrefs.byte24 ? 0 : 1;
    CatalogSetModified(catalog);
    return true;
}

OSErr CatalogReorderItems(CatalogRec* catalog, Handle ids) {
    if (!catalog) return paramErr;
    if (!ids || !*ids) return noErr;
    long idCount = long(GetHandleSize(ids) / Size(sizeof(UInt32)));
    const auto* listed = reinterpret_cast<const UInt32*>(*ids);

    std::unordered_map<UInt32, SInt32> entryOfId;  // listed id -> entry number, 0 until found
    entryOfId.reserve(size_t(idCount));
    for (long k = 0; k < idCount; ++k) entryOfId.emplace(listed[k], 0);

    // Unlisted entries keep their places; a listed one leaves an empty slot (0).
    std::vector<SInt32> order(size_t(catalog->itemCount), 0);
    for (SInt32 n = 1; n <= catalog->itemCount; ++n) {
        auto it = entryOfId.find(catalog->entries[n - 1].id);
        if (it == entryOfId.end())
            order[size_t(n - 1)] = n;
        else
            it->second = n;
    }

    // Listed entries fill the empty slots front to back in the list's order. A repeated id
    // is placed once: placing it twice would make an order that names one entry twice.
    size_t slot = 0;
    for (long k = 0; k < idCount; ++k) {
        auto it = entryOfId.find(listed[k]);
        if (it->second == 0) continue;  // not in the catalog, or placed already
        while (slot < order.size() && order[slot] != 0) ++slot;
        if (slot == order.size()) break;
        order[slot] = it->second;
        it->second = 0;
    }
    CatalogApplyOrder(catalog, order);
    return noErr;
}
