#include "window/panels/OrganizeRows.h"

#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/organize/OrganizeSets.h"
#include "catalog/organize/OrganizeValues.h"
#include "catalog/notify/CatalogNotify.h"
#include "platform/Handles.h"
#include "window/view/ViewFilters.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

std::vector<OrganizeRow> OrganizeBuildRows(CatalogRec* catalog) {
    std::vector<OrganizeRow> rows;
    if (!catalog) return rows;
    for (UInt32 field = OrganizeNextField(catalog, 0, true); field; field = OrganizeNextField(catalog, field, true)) {
        rows.push_back({field, kOrganizeRowHeader});
        if (!OrganizeIsExpanded(catalog, field)) continue;
        if (!OrganizeHasList(catalog, field) && field != kOrganizeSetsField)
            OrganizeBuildList(catalog, field, nullptr, 0);
        const OrganizeList* list = OrganizeGetList(catalog, field);
        const UInt32 count = list ? UInt32(list->size()) : 0;
        if (count == 0) {
            rows.push_back({field, kOrganizeRowEmpty});
            continue;
        }
        rows.reserve(rows.size() + count);
        const OrganizeEntry* last = nullptr;
        for (UInt32 n = 1; n <= count; ++n) {
            const OrganizeEntry* entry = list->at(n - 1);
            // What a folded container holds stays out until an entry at its level or above.
            if (last && entry->level > last->level && !(last->container && last->expanded)) continue;
            rows.push_back({field, SInt32(n), false, entry->level});
            last = entry;
        }
    }
    return rows;
}

bool OrganizeRowIsFilter(const ViewRec* view, const OrganizeRow& row) {
    return view && row.IsEntry() && ViewHasFilter(view, kFilterOrganizeEntry, SInt32(row.field), row.entry);
}

bool OrganizeMarkRows(const CatalogRec* catalog, const ViewRec* view, std::vector<OrganizeRow>* rows) {
    // Each selected item names its entries through the list's own index, so a few selected
    // items among 40,000 entries cost a few look-ups rather than a walk over every entry.
    std::unordered_set<const OrganizeEntry*> marked;
    if (catalog && view) {
        Handle ids = ViewCollectIds(view, true);
        const long n = ids ? GetHandleSize(ids) / 4 : 0;
        std::vector<UInt32> selected(static_cast<std::size_t>(n));
        if (n) std::memcpy(selected.data(), *ids, std::size_t(n) * 4);
        if (ids) DisposeHandle(ids);
        UInt32 lastField = 0;
        for (const OrganizeRow& row : *rows) {
            if (!row.IsEntry() || row.field == lastField) continue;
            lastField = row.field;
            const OrganizeList* list = OrganizeGetList(catalog, row.field);
            if (!list) continue;
            for (UInt32 id : selected)
                if (const auto* holders = list->entriesWithItem(id)) marked.insert(holders->begin(), holders->end());
        }
    }
    bool changed = false;
    for (OrganizeRow& row : *rows) {
        if (!row.IsEntry()) continue;
        const bool flag = !marked.empty() && marked.count(OrganizeGetEntry(catalog, row.field, UInt32(row.entry)));
        changed |= flag != row.selectedItems;
        row.selectedItems = flag;
    }
    return changed;
}

int OrganizeFindRow(const std::vector<OrganizeRow>& rows, UInt32 field, SInt32 entry) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].field == field && rows[i].entry == entry) return int(i);
    return -1;
}

bool OrganizeClickFilter(ViewRec* view, const std::vector<OrganizeRow>& rows, int row, OrganizeClick how,
                         int anchorRow) {
    if (!view || row < 0 || std::size_t(row) >= rows.size() || !rows[std::size_t(row)].IsEntry()) return false;
    const OrganizeRow& r = rows[std::size_t(row)];
    const bool on = OrganizeRowIsFilter(view, r);
    if (how == OrganizeClick::kRange && anchorRow >= 0 && std::size_t(anchorRow) < rows.size()) {
        view->filters.clear();
        const int lo = std::min(anchorRow, row), hi = std::max(anchorRow, row);
        for (int i = lo; i <= hi; ++i)
            if (rows[std::size_t(i)].IsEntry())
                ViewAddFilter(view, kFilterOrganizeEntry, SInt32(rows[std::size_t(i)].field), rows[std::size_t(i)].entry,
                              false);
        ViewShowOrganizeSelection(view);
        return true;
    }
    if (how == OrganizeClick::kToggle) {
        if (on)
            ViewRemoveFilter(view, kFilterOrganizeEntry, SInt32(r.field), r.entry);
        else
            ViewAddFilter(view, kFilterOrganizeEntry, SInt32(r.field), r.entry, true);
        return true;
    }
    if (on) return false;
    // The other filters go without showing every item in between.
    view->filters.clear();
    ViewAddFilter(view, kFilterOrganizeEntry, SInt32(r.field), r.entry, true);
    return true;
}

int OrganizeNextEntryRow(const std::vector<OrganizeRow>& rows, int row, int step) {
    for (int i = row + step; i >= 0 && std::size_t(i) < rows.size(); i += step)
        if (rows[std::size_t(i)].IsEntry()) return i;
    return -1;
}

bool OrganizeDropItems(CatalogRec* catalog, const OrganizeRow& row, const std::vector<UInt32>& itemIds) {
    if (!catalog || !row.IsEntry() || itemIds.empty()) return false;
    Handle ids = NewHandle(Size(itemIds.size() * 4));
    if (!ids) return false;
    std::memcpy(*ids, itemIds.data(), itemIds.size() * 4);
    OrganizeAssignItems(catalog, row.field, UInt32(row.entry), ids, nullptr, 0);
    DisposeHandle(ids);
    return true;
}

namespace {

const OrganizeEntry* SetAt(const CatalogRec* catalog, const std::vector<OrganizeRow>& rows, int i) {
    if (i < 0 || std::size_t(i) >= rows.size()) return nullptr;
    const OrganizeRow& r = rows[std::size_t(i)];
    if (r.field != kOrganizeSetsField || !r.IsEntry()) return nullptr;
    return OrganizeGetEntry(catalog, r.field, UInt32(r.entry));
}

}  // namespace

int OrganizeSetDropLevel(const CatalogRec* catalog, const std::vector<OrganizeRow>& rows, int dropRow, int x) {
    const OrganizeEntry* before = SetAt(catalog, rows, dropRow - 1);
    const OrganizeEntry* after = SetAt(catalog, rows, dropRow);
    if (!before && !after) return -1;
    int level = (x - 17) / 16;
    OrganizeClampLevel(before, after, &level);
    return level;
}

bool OrganizeDropSet(CatalogRec* catalog, ViewRec* view, const std::vector<OrganizeRow>& rows, SInt32 n, int dropRow,
                     int level) {
    if (!catalog || n < 1 || level < 0) return false;
    const UInt32 count = OrganizeGetEntryCount(catalog, kOrganizeSetsField);
    const OrganizeEntry* at = SetAt(catalog, rows, dropRow);
    const UInt32 target = at ? UInt32(rows[std::size_t(dropRow)].entry) : count + 1;
    UInt32 moved = 0;
    const UInt32 now = OrganizeMoveEntry(catalog, kOrganizeSetsField, UInt32(n), target, level, &moved);
    if (!now) return false;
    if (view) {
        // A filter on a moved subtree cannot be followed entry by entry: the sets' filters go
        // (only the filters: the sets themselves stay).
        if (moved == 1) {
            ViewFilterEntryMoved(view, kOrganizeSetsField, UInt32(n), now);
        } else {
            std::erase_if(view->filters, [](const FilterEntry& e) {
                return e.kind == kFilterOrganizeEntry && e.key == SInt32(kOrganizeSetsField);
            });
            ViewReapplyFilters(view);
        }
    }
    CatalogSetModified(catalog);
    CatalogPostNotification(catalog, kCatalogMsgOrganizeChanged, kOrganizeSetsField);
    return true;
}
