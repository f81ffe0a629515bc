#include "window/view/ViewFilters.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/items/ItemOrder.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/organize/OrganizeValues.h"
#include "catalog/sort/SortEngine.h"
#include "catalog/tables/CatalogTables.h"
#include "catalog/tables/ItemSearch.h"
#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"
#include "media/presenters/MediaObject.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewSelection.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

std::vector<UInt32> IdsOf(Handle h) {
    if (!h) return {};
    const UInt32* p = reinterpret_cast<const UInt32*>(*h);
    return std::vector<UInt32>(p, p + GetHandleSize(h) / 4);
}

Handle HandleOf(const std::vector<UInt32>& ids) {
    Handle h = NewHandle(long(ids.size() * 4));
    if (h && !ids.empty()) std::memcpy(*h, ids.data(), ids.size() * 4);
    return h;
}

bool IsEmpty(Handle h) { return !h || GetHandleSize(h) < 4; }

FolderNode* LiveFolder(const ViewRec* view, SInt32 nodeId) {
    FolderTree* tree = nullptr;
    FolderNode* node = FolderTreeFindLiveNode(UInt32(nodeId), &tree);
    return node && tree == view->catalog->folderTree ? node : nullptr;
}

// Shows the items the filter set matches (all items for an empty set).
void ShowFilterSet(ViewRec* view, int placement) {
    Handle ids = ViewFilterItemIds(view);
    ViewApplyVisibility(view, ids, placement, ids != nullptr);
    if (ids) DisposeHandle(ids);
}

bool PlacesAtTop(int placement, bool currentShown) {
    if (currentShown) return placement == kPlaceTopTop || placement == kPlaceTopKeep;
    return placement == kPlaceTopTop || placement == kPlaceVisibleTop || placement == kPlaceKeepTop;
}

void ForEachSnapshot(ViewRec* view, const std::function<void(FilterSet&)>& change) {
    change(view->filters);
    for (FilterSet& s : view->history.states) change(s);
}

}  // namespace

void ViewSaveSelection(const ViewRec* view, SavedSelection* saved) {
    saved->currentItem = UInt32(view->currentItem);
    saved->currentId = view->currentItem ? ItemGetId(view->catalog, view->currentItem) : 0;
    saved->ids = ViewCollectIds(view, true);
}

void ViewApplyVisibility(ViewRec* view, Handle ids, int placement, bool keepOrder) {
    const bool media = ViewGetMode(view) == kViewMedia;
    if (ViewIsPlaying(view)) {
        bool stop = media;
        if (!media && ids) {
            const std::vector<UInt32> list = IdsOf(ids);
            stop = std::find(list.begin(), list.end(), view->playItemId) == list.end();
        }
        if (stop) ViewTogglePlayback(view);
    }
    SavedSelection saved;
    ViewSaveSelection(view, &saved);
    CatalogShowOnly(view->catalog, ids, ids ? keepOrder : false);
    ViewRebuild(view, placement, &saved);
    if (!media && view->playItemId) ViewParkPresenter(view);
}

void ViewRebuild(ViewRec* view, int placement, SavedSelection* saved) {
    const SInt32 count = ViewItemCount(view);
    const UInt8 mode = ViewGetMode(view);
    const std::vector<UInt32> savedIds = IdsOf(saved->ids);
    const std::unordered_set<UInt32> listed(savedIds.begin(), savedIds.end());
    std::fill(view->selection.begin(), view->selection.end(), 0);
    bool changed = false;
    if (saved->currentItem) {
        SInt32 restored = 0;
        for (SInt32 item = 1; item <= count; ++item) {
            if (listed.count(ItemGetId(view->catalog, item))) {
                ViewBitSet(view, item);
                ++restored;
            }
        }
        changed = std::size_t(restored) != savedIds.size();
    }
    ViewGridSize(view, mode, view->viewRect.right - view->viewRect.left, view->cellSize.h, &view->rowCount, &view->columnCount);
    const SInt32 current = saved->currentId ? CatalogFindItemById(view->catalog, saved->currentId) : 0;
    if (count == 0) {
        ViewPost(view, kMsgSelectionChanging);
        ViewUpdateVisibleRange(view);
        ViewClearCurrent(view);
        std::fill(view->selection.begin(), view->selection.end(), 0);
        ViewRedraw(view, nullptr);
        ViewDrawHeaderBar(view);
        ViewPost(view, kMsgSelectionChanged);
    } else if (mode == kViewMedia) {
        SInt32 item = std::min(current ? current : 1, count);
        if (ItemGetId(view->catalog, item) != saved->currentId || saved->currentId == 0) {
            view->currentItem = 0;
            ViewSelectMediaItem(view, item, kSelectAlone);
        } else {
            view->currentItem = item;
            view->visibleCells[0] = item - 1;
            ViewUpdateVisibleRange(view);
            ViewRedraw(view, nullptr);
            if (changed) ViewPost(view, kMsgSelectionChanged);
        }
    } else if (current) {
        view->currentItem = current;
        if (PlacesAtTop(placement, true)) {
            view->visibleCells[0] = 0;
        } else if (placement == kPlaceVisibleTop || placement == kPlaceVisibleKeep) {
            ViewUpdateVisibleRange(view);
            if (!ViewIsCellVisible(view, ViewItemToCell(view, current))) view->visibleCells[0] = ViewItemToCell(view, current).row;
        }
        ViewUpdateVisibleRange(view);
        ViewRedraw(view, nullptr);
        ViewDrawHeaderBar(view);
        if (changed) ViewPost(view, kMsgSelectionChanged);
    } else {
        ViewPost(view, kMsgSelectionChanging);
        if (PlacesAtTop(placement, false)) view->visibleCells[0] = 0;
        ViewUpdateVisibleRange(view);
        ViewClearCurrent(view);
        std::fill(view->selection.begin(), view->selection.end(), 0);
        ViewRedraw(view, nullptr);
        ViewDrawHeaderBar(view);
        ViewPost(view, kMsgSelectionChanged);
    }
    if (saved->ids) DisposeHandle(saved->ids);
    saved->ids = nullptr;
}

Handle ViewFilterItemIds(const ViewRec* view) {
    if (view->filters.empty()) return nullptr;
    CatalogRec* catalog = view->catalog;
    std::vector<UInt32> ids;
    std::unordered_set<UInt32> seen;
    auto append = [&](const UInt32* p, long n) {
        for (long i = 0; i < n; ++i)
            if (seen.insert(p[i]).second) ids.push_back(p[i]);
    };
    for (const FilterEntry& e : view->filters) {
        if (e.kind == kFilterOrganizeEntry) {
            if (e.value <= 0 || !OrganizeGetEntry(catalog, UInt32(e.key), UInt32(e.value))) continue;
            OrganizeEntrySortItems(catalog, UInt32(e.key), UInt32(e.value));
            Handle h = NewHandle(0);
            if (OrganizeCollectItems(catalog, UInt32(e.key), UInt32(e.value), false, h) == noErr)
                append(reinterpret_cast<const UInt32*>(*h), GetHandleSize(h) / 4);
            DisposeHandle(h);
        } else if (e.kind == kFilterFolder) {
            FolderNode* node = LiveFolder(view, e.value);
            if (!node) continue;
            std::vector<UInt32> buffer(std::size_t(std::max<SInt32>(catalog->itemCount, 1)));
            const SInt32 n = FolderTreeCollectFolderItems(catalog, node, SInt32(buffer.size()), buffer.data());
            append(buffer.data(), n);
        }
    }
    return HandleOf(ids);
}

void ViewAddFilter(ViewRec* view, SInt32 kind, SInt32 key, SInt32 value, bool apply) {
    const FilterEntry entry{kind, key, value};
    // File Name entries are never combined with entries of other fields.
    if (!view->filters.empty() && ((key == 2) != (view->filters.begin()->key == 2))) view->filters.clear();
    view->filters.insert(entry);
    if (!apply) return;
    ViewHistoryPush(view, view->filters);
    ShowFilterSet(view, kPlaceVisibleTop);
}

void ViewRemoveFilter(ViewRec* view, SInt32 kind, SInt32 key, SInt32 value) {
    view->filters.erase(FilterEntry{kind, key, value});
    ViewHistoryPush(view, view->filters);
    ShowFilterSet(view, kPlaceKeepKeep);
}

void ViewClearFilters(ViewRec* view, bool record) {
    view->filters.clear();
    if (record) ViewHistoryPush(view, view->filters);
    ViewApplyVisibility(view, nullptr, kPlaceVisibleKeep, false);
}

void ViewShowAll(ViewRec* view) {
    view->filters.clear();
    ViewApplyVisibility(view, nullptr, kPlaceVisibleKeep, false);
    ViewHistoryPush(view, view->filters);
}

void ViewShowHidden(ViewRec* view) {
    CatalogInvertHidden(view->catalog);
    Handle ids = ItemListCopyVisibleIds(view->catalog);
    ViewDeselectAll(view);
    view->filters.clear();
    ViewApplyVisibility(view, ids, kPlaceTopTop, false);
    if (ids) DisposeHandle(ids);
}

namespace {
// With nothing found the view stays and the user hears so; otherwise the found items are shown
// from the top: only they, in catalog order and with the filters dropped, when onlyThese, else
// as the filters and the sort order have them. Takes the ids.
void ShowFoundOrBeep(ViewRec* view, Handle ids, bool onlyThese) {
    if (IsEmpty(ids)) {
        if (ids) DisposeHandle(ids);
        UiBeep();
        return;
    }
    if (onlyThese)
        ViewShowOnlyItems(view, ids, kPlaceTopTop, true);
    else
        ViewApplyVisibility(view, ids, kPlaceTopTop, false);
    DisposeHandle(ids);
}
}  // namespace

void ViewShowSelected(ViewRec* view) { ShowFoundOrBeep(view, ViewCollectIds(view, true), false); }

void ViewHideSelected(ViewRec* view) {
    Handle ids = ViewCollectIds(view, false);
    ViewApplyVisibility(view, ids, kPlaceKeepKeep, true);
    if (ids) DisposeHandle(ids);
}

void ViewShowLabel(ViewRec* view, UInt8 labelCode) {
    Handle ids = ItemListCopyIdsWithLabel(view->catalog, labelCode, false);
    if (IsEmpty(ids)) {
        if (ids) DisposeHandle(ids);
        UiBeep();
        return;
    }
    if (!view->filters.empty()) {
        Handle matched = ViewFilterItemIds(view);
        const std::vector<UInt32> m = IdsOf(matched);
        const std::unordered_set<UInt32> inFilters(m.begin(), m.end());
        std::vector<UInt32> kept;
        for (UInt32 id : IdsOf(ids))
            if (inFilters.count(id)) kept.push_back(id);
        if (matched) DisposeHandle(matched);
        DisposeHandle(ids);
        if (kept.empty()) {
            UiBeep();
            return;
        }
        ids = HandleOf(kept);
    }
    ViewApplyVisibility(view, ids, kPlaceTopTop, false);
    DisposeHandle(ids);
}

void ViewShowMatchingText(ViewRec* view, ConstStr255Param text) {
    if (!text || text[0] == 0) {
        UiBeep();
        return;
    }
    Handle scope = ViewFilterItemIds(view);
    Handle ids = ItemSearchText(view->catalog, text + 1, text[0], scope);
    if (scope) DisposeHandle(scope);
    ShowFoundOrBeep(view, ids, false);
}

void ViewShowOnlyItems(ViewRec* view, Handle ids, int placement, bool keepOrder) {
    view->filters.clear();
    ViewApplyVisibility(view, ids, placement, keepOrder);
}

void ViewShowLastImport(ViewRec* view) { ShowFoundOrBeep(view, ItemListCopyMarkedIds(view->catalog), true); }

namespace {
// A scan's progress through the UI hooks under the title: phase 0 starts, 1 steps, any other ends.
OSErr ReportProgress(const char* title, short phase, long current, long total) {
    if (phase == 0) return GetUiHooks().ProgressStart(title, current);
    if (phase == 1) return GetUiHooks().ProgressStep(current, total);
    GetUiHooks().ProgressEnd();
    return noErr;
}

OSErr DuplicateProgress(short phase, long current, long total, long) {
    return ReportProgress("Finding duplicates...", phase, current, total);
}
}  // namespace

void ViewShowDuplicates(ViewRec* view, bool selectedOnly, const DuplicateCriteria& criteria) {
    Handle scope = selectedOnly ? ViewCollectIds(view, true) : nullptr;
    Handle ids = ItemScanWithProgress(view->catalog, criteria.sameName, criteria.tolerance1, criteria.tolerance2, scope,
                                      DuplicateProgress, 0);
    if (scope) DisposeHandle(scope);
    ShowFoundOrBeep(view, ids, true);
}

void ViewShowOrganizeSelection(ViewRec* view) { ShowFilterSet(view, kPlaceKeepKeep); }
void ViewReapplyFilters(ViewRec* view) { ShowFilterSet(view, kPlaceKeepKeep); }

bool ViewCanGoBack(const ViewRec* view) {
    return !view->history.states.empty() && view->history.pos != view->history.states.begin();
}

bool ViewCanGoForward(const ViewRec* view) {
    const ViewHistory& h = view->history;
    return !h.states.empty() && h.pos != h.states.end() && std::next(h.pos) != h.states.end();
}

void ViewGoBack(ViewRec* view) {
    if (!ViewCanGoBack(view)) return;
    ViewHistory& h = view->history;
    if (h.pos == h.states.end()) {
        h.states.push_back(view->filters);
        h.pos = std::prev(h.states.end());
    }
    --h.pos;
    view->filters = *h.pos;
    ShowFilterSet(view, kPlaceVisibleTop);
}

void ViewGoForward(ViewRec* view) {
    if (!ViewCanGoForward(view)) return;
    ++view->history.pos;
    view->filters = *view->history.pos;
    ShowFilterSet(view, kPlaceVisibleTop);
}

void ViewFiltersTakeOrder(ViewRec* view) {
    CatalogRec* catalog = view->catalog;
    std::vector<UInt32> shown;
    for (const FilterEntry& e : view->filters) {
        if (e.kind == kFilterOrganizeEntry) {
            if (e.value > 0 && OrganizeGetEntry(catalog, UInt32(e.key), UInt32(e.value)))
                OrganizeEntrySortItems(catalog, UInt32(e.key), UInt32(e.value));
        } else if (e.kind == kFilterFolder) {
            FolderNode* node = LiveFolder(view, e.value);
            if (!node) continue;
            if (shown.empty()) {
                Handle visible = ItemListCopyVisibleIds(catalog);
                shown = IdsOf(visible);
                if (visible) DisposeHandle(visible);
            }
            FolderNodeReorderItems(node, shown.data(), long(shown.size()));
        }
    }
}

bool ViewSortByField(ViewRec* view, UInt32 code, UInt8 textMode) {
    if (code == 0) return false;
    CatalogRec* catalog = view->catalog;
    if (ViewItemCount(view) == 0) {
        if (code == kSortReverse) catalog->viewPrefs.byte24 ^= 1;
        ViewDrawHeaderBar(view);
        return false;
    }
    Handle saved = nullptr;
    UInt32 currentId = 0;
    if (view->currentItem) {
        saved = ViewCollectIds(view, true);
        currentId = ItemGetId(catalog, view->currentItem);
    }
    const bool media = ViewGetMode(view) == kViewMedia;
    if (media && ViewIsPlaying(view)) ViewTogglePlayback(view);
    bool changed;
    if (code == kSortShuffle)
        changed = SortCatalogShuffle(catalog);
    else if (code == kSortByDate)
        changed = SortCatalogByFields(catalog, kSortDateField, textMode);
    else if (code == kSortReverse)
        changed = CatalogReverseOrder(catalog);
    else
        changed = SortCatalogByFields(catalog, code, textMode);
    if (changed) {
        ViewRestoreSelectionByIds(view, saved, currentId);
        ViewFiltersTakeOrder(view);
        if (!media) ViewParkPresenter(view);
    }
    ViewDrawHeaderBar(view);
    if (saved) DisposeHandle(saved);
    return changed;
}

void ViewRenumberFilters(ViewRec* view, UInt32 position) {
    ForEachSnapshot(view, [&](FilterSet& s) {
        FilterSet out;
        for (FilterEntry e : s) {
            if (e.kind == kFilterOrganizeEntry && e.key == SInt32(kOrganizeSetsField) && e.value >= SInt32(position)) ++e.value;
            out.insert(e);
        }
        s.swap(out);
    });
}

void ViewFilterEntryMoved(ViewRec* view, UInt32 fieldId, UInt32 from, UInt32 to) {
    if (from == to) return;
    ForEachSnapshot(view, [&](FilterSet& s) {
        FilterSet out;
        for (FilterEntry e : s) {
            if (e.kind == kFilterOrganizeEntry && e.key == SInt32(fieldId)) {
                const SInt32 v = e.value, f = SInt32(from), t = SInt32(to);
                if (v == f)
                    e.value = t;
                else if (f < t && v > f && v <= t)
                    --e.value;
                else if (t < f && v >= t && v < f)
                    ++e.value;
            }
            out.insert(e);
        }
        s.swap(out);
    });
    CatalogSetModified(view->catalog);
}

bool ViewForgetFolder(ViewRec* view, UInt32 nodeId) {
    const FilterEntry gone{kFilterFolder, 0, SInt32(nodeId)};
    const bool live = view->filters.erase(gone) > 0;
    for (FilterSet& s : view->history.states) s.erase(gone);
    return live;
}

bool ViewCanRemoveOrganizeSelection(const ViewRec* view) {
    for (const FilterEntry& e : view->filters) {
        if (e.kind == kFilterFolder && LiveFolder(view, e.value)) return true;
        if (e.kind == kFilterOrganizeEntry && e.value > 0 && OrganizeGetEntry(view->catalog, UInt32(e.key), UInt32(e.value)))
            return true;
    }
    return false;
}

namespace {
OSErr AnnotationProgress(short phase, long current, long total, long) {
    return ReportProgress("Updating annotation field.", phase, current, total);
}
}  // namespace

void ViewRemoveOrganizeSelection(ViewRec* view) {
    CatalogRec* catalog = view->catalog;
    // Later entries of a list first, so that the numbers of the others stay right.
    const std::vector<FilterEntry> entries(view->filters.rbegin(), view->filters.rend());
    for (const FilterEntry& e : entries) {
        if (e.kind == kFilterOrganizeEntry && e.value > 0 && OrganizeGetEntry(catalog, UInt32(e.key), UInt32(e.value))) {
            OrganizeRemoveEntry(catalog, UInt32(e.key), UInt32(e.value), AnnotationProgress, 0);
            view->filters.erase(e);
        } else if (e.kind == kFilterFolder) {
            if (FolderNode* node = LiveFolder(view, e.value)) FolderTreeRemoveFolder(catalog, node);
            view->filters.erase(e);
        }
    }
    ViewReapplyFilters(view);
    CatalogSetModified(catalog);
    ViewPost(view, kMsgShownItemsChanged);
}

void ViewRemoveFieldEntries(ViewRec* view, UInt32 fieldId) {
    CatalogRec* catalog = view->catalog;
    const std::vector<FilterEntry> entries(view->filters.rbegin(), view->filters.rend());
    for (const FilterEntry& e : entries) {
        if (e.kind != kFilterOrganizeEntry || (fieldId && e.key != SInt32(fieldId))) continue;
        if (e.value > 0 && OrganizeGetEntry(catalog, UInt32(e.key), UInt32(e.value)))
            OrganizeRemoveEntry(catalog, UInt32(e.key), UInt32(e.value), AnnotationProgress, 0);
        view->filters.erase(e);
    }
    if (fieldId != kOrganizeSetsField) ViewReapplyFilters(view);
    CatalogSetModified(catalog);
    ViewPost(view, kMsgShownItemsChanged);
}

FilterEntry ViewGetFirstFilter(const ViewRec* view) { return view->filters.empty() ? FilterEntry{} : *view->filters.begin(); }

bool ViewHasFilter(const ViewRec* view, SInt32 kind, SInt32 key, SInt32 value) {
    if (value != 0) return view->filters.count(FilterEntry{kind, key, value}) > 0;
    auto it = view->filters.lower_bound(FilterEntry{kind, key, std::numeric_limits<SInt32>::min()});
    return it != view->filters.end() && it->kind == kind && it->key == key;
}

void ViewGetFilterText(const ViewRec* view, Str255 text) {
    std::string out;
    for (const FilterEntry& e : view->filters) {
        if (e.kind == kFilterOrganizeEntry) {
            const OrganizeEntry* entry = e.value > 0 ? OrganizeGetEntry(view->catalog, UInt32(e.key), UInt32(e.value)) : nullptr;
            if (!entry) {
                out += "?   ";
                continue;
            }
            Str255 name;
            FieldGetName(view->catalog, FieldId(e.key), name);
            out += std::string(reinterpret_cast<const char*>(name + 1), name[0]) + ": " +
                   std::string(reinterpret_cast<const char*>(entry->text + 1), entry->text[0]);
        } else if (e.kind == kFilterFolder) {
            const FolderNode* node = LiveFolder(view, e.value);
            out += node ? node->name : std::string("?   ");
        }
    }
    const std::size_t n = std::min<std::size_t>(out.size(), 255);
    text[0] = UInt8(n);
    std::memcpy(text + 1, out.data(), n);
}
