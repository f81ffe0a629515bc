#include "window/view/ViewSelection.h"

#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoRows.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/tables/CatalogTables.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewLayout.h"

#include <algorithm>
#include <bit>
#include <unordered_set>

void ViewSetCurrent(ViewRec* view, SInt32 item) {
    if (item == 0) {
        ViewClearCurrent(view);
    } else {
        view->currentItem = item;
        InfoLoadVisibleItem(view->catalog, item);
        ViewLoadCurrentInfo(view, item);
    }
    view->shownFileCache[0] = view->shownFileCache[1] = 0;
    view->shownFileValid = 0;
    view->shownFile = FSSpec{};
}

namespace {

void SetBitDrawn(ViewRec* view, SInt32 item, bool on) {
    if (ViewBitTest(view, item) == on) return;
    if (on)
        ViewBitSet(view, item);
    else
        ViewBitClear(view, item);
    ViewRedrawItem(view, item);
}

// Makes an item current with the Info panel loaded for it and its file located.
void MakeCurrent(ViewRec* view, SInt32 item) {
    if (item) {
        view->currentItem = item;
        InfoLoadVisibleItem(view->catalog, item);
        ViewLoadCurrentInfo(view, item);
    } else {
        ViewClearCurrent(view);
    }
    view->shownFileCache[0] = view->shownFileCache[1] = 0;
    view->shownFileValid = 0;
}

void ClearCurrentDrawn(ViewRec* view) {
    const SInt32 old = view->currentItem;
    if (!old) return;
    ViewClearCurrent(view);
    ViewRedrawItem(view, old);
}

void EndSelectionChange(ViewRec* view) {
    view->selectionOnly = 0;
    ViewPost(view, kMsgSelectionChanged);
    ViewDrawHeaderBar(view);
}

}  // namespace

void ViewSelectItem(ViewRec* view, SInt32 item, int kind, bool reveal) {
    if (!view) return;
    view->autoAdvanced = 0;
    if (ViewGetMode(view) == kViewMedia)
        ViewSelectMediaItem(view, item, kind);
    else
        ViewSelectByKind(view, kind, item, reveal);
}

void ViewSelectByKind(ViewRec* view, int kind, SInt32 item, bool reveal) {
    const SInt32 count = ViewItemCount(view);
    const bool media = ViewGetMode(view) == kViewMedia;
    if (kind == kSelectExtend && view->anchorItem == 0) kind = kSelectAlone;
    view->selectionOnly = media ? 0 : 1;
    switch (kind) {
    case kSelectRemove:
        if (item == view->currentItem && item != 0) {
            ViewPost(view, kMsgSelectionChanging);
            ViewClearCurrent(view);
            SetBitDrawn(view, item, false);
            SInt32 next = 1;
            if (ViewNextSelected(view, &next)) ViewSetCurrent(view, next);
        } else {
            SetBitDrawn(view, item, false);
        }
        view->anchorItem = view->extendItem = 0;
        break;
    case kSelectAlone: {
        ViewPost(view, kMsgSelectionChanging);
        ClearCurrentDrawn(view);
        for (SInt32 i = 1; i <= count; ++i)
            if (i != item && ViewBitTest(view, i)) SetBitDrawn(view, i, false);
        ViewBitSet(view, item);
        MakeCurrent(view, item);
        ViewRedrawItem(view, item);
        view->anchorItem = item;
        view->extendItem = 0;
        break;
    }
    case kSelectAdd:
        if (!ViewBitTest(view, item)) {
            SetBitDrawn(view, item, true);
            if (view->currentItem == 0) ViewSetCurrent(view, item);
        }
        view->anchorItem = view->extendItem = item;
        break;
    case kSelectExtend: {
        const SInt32 a = view->anchorItem, e = view->extendItem;
        const SInt32 newLo = std::min(a, item), newHi = std::max(a, item);
        const SInt32 oldLo = e ? std::min(a, e) : a, oldHi = e ? std::max(a, e) : a;
        for (SInt32 i = oldLo; i <= oldHi; ++i)
            if ((i < newLo || i > newHi) && i != a) SetBitDrawn(view, i, false);
        for (SInt32 i = newLo; i <= newHi; ++i) {
            if (i >= oldLo && i <= oldHi) continue;
            SetBitDrawn(view, i, true);
            if (i == item && view->currentItem == 0) ViewSetCurrent(view, item);
        }
        view->extendItem = item;
        break;
    }
    case kSelectAddCurrent:
        ViewPost(view, kMsgSelectionChanging);
        ClearCurrentDrawn(view);
        ViewBitSet(view, item);
        ViewSetCurrent(view, item);
        ViewRedrawItem(view, item);
        view->anchorItem = item;
        view->extendItem = 0;
        break;
    default:
        view->selectionOnly = 0;
        return;
    }
    if (reveal && kind != kSelectRemove && !view->deferDraw && item >= 1 && item <= count)
        ViewRevealCell(view, ViewItemToCell(view, item));
    EndSelectionChange(view);
}

void ViewSelectMediaItem(ViewRec* view, SInt32 item, int kind) {
    const SInt32 count = ViewItemCount(view);
    if (item > count || item < 0 || kind == kSelectRemove || kind == kSelectExtend || kind == kSelectAddCurrent) return;
    if (kind == kSelectAdd) {
        ViewBitSet(view, item);
        ViewPost(view, kMsgSelectionChanged);
        return;
    }
    if (kind != kSelectAlone || item == 0) return;
    if (item == view->currentItem) {
        ViewLoadCurrentInfo(view, item);
        ViewDrawHeaderBar(view);
        return;
    }
    view->visibleCells[0] = item - 1;
    ViewUpdateVisibleRange(view);
    ViewMakeMediaItemCurrent(view, item);
}

void ViewMakeMediaItemCurrent(ViewRec* view, SInt32 item) {
    ViewPost(view, kMsgSelectionChanging);
    ViewClearCurrent(view);
    std::fill(view->selection.begin(), view->selection.end(), 0);
    ViewBitSet(view, item);
    ViewSetCurrent(view, item);
    ViewRedrawItem(view, item);
    view->anchorItem = item;
    view->extendItem = 0;
    ViewPost(view, kMsgSelectionChanged);
    ViewDrawHeaderBar(view);
}

void ViewSelectAll(ViewRec* view) {
    const SInt32 count = ViewItemCount(view);
    if (ViewGetMode(view) == kViewMedia || count == 0) return;
    view->selectionOnly = 1;
    if (view->currentItem == 0) ViewSetCurrent(view, 1);
    for (SInt32 i = 1; i <= count; ++i) SetBitDrawn(view, i, true);
    EndSelectionChange(view);
}

void ViewDeselectAll(ViewRec* view) {
    if (ViewGetMode(view) == kViewMedia || view->currentItem == 0) return;
    view->selectionOnly = 1;
    ViewPost(view, kMsgSelectionChanging);
    ViewClearCurrent(view);
    const SInt32 count = ViewItemCount(view);
    for (SInt32 i = 1; i <= count; ++i) SetBitDrawn(view, i, false);
    EndSelectionChange(view);
}

void ViewInvertSelection(ViewRec* view) {
    if (ViewGetMode(view) == kViewMedia) return;
    view->selectionOnly = 1;
    ViewPost(view, kMsgSelectionChanging);
    ClearCurrentDrawn(view);
    const SInt32 count = ViewItemCount(view);
    // Whole bytes flip at once; the bits past the last item are left clear.
    const SInt32 fullBytes = count / 8;
    for (SInt32 b = 0; b < fullBytes; ++b) view->selection[b] = UInt8(~view->selection[b]);
    for (SInt32 i = fullBytes * 8 + 1; i <= count; ++i) {
        if (ViewBitTest(view, i))
            ViewBitClear(view, i);
        else
            ViewBitSet(view, i);
    }
    SInt32 first = 1;
    if (ViewNextSelected(view, &first))
        ViewSetCurrent(view, first);
    else
        ViewClearCurrent(view);
    if (!view->deferDraw) ViewRedraw(view, nullptr);
    EndSelectionChange(view);
}

bool ViewAddItemsById(ViewRec* view, Handle ids) {
    if (!ids) return false;
    const long n = GetHandleSize(ids) / 4;
    const UInt32* p = reinterpret_cast<const UInt32*>(*ids);
    std::unordered_set<UInt32> listed(p, p + n);
    bool added = false;
    const SInt32 count = ViewItemCount(view);
    for (SInt32 item = 1; item <= count; ++item) {
        if (!listed.count(ItemGetId(view->catalog, item)) || ViewBitTest(view, item)) continue;
        ViewBitSet(view, item);
        added = true;
    }
    return added;
}

void ViewSelectItems(ViewRec* view, Handle ids) {
    if (!ViewAddItemsById(view, ids)) {
        UiBeep();
        return;
    }
    const SInt32 count = ViewItemCount(view);
    const UInt32 firstId = *reinterpret_cast<const UInt32*>(*ids);
    SInt32 first = count;
    for (SInt32 item = 1; item < count; ++item) {
        if (ItemGetId(view->catalog, item) == firstId) {
            first = item;
            break;
        }
    }
    ViewRedraw(view, nullptr);
    if (view->currentItem) {
        ViewPost(view, kMsgSelectionChanged);
        return;
    }
    view->autoAdvanced = 0;
    if (ViewGetMode(view) == kViewMedia) {
        ViewDrawHeaderBar(view);
        return;
    }
    ViewSelectByKind(view, kSelectAddCurrent, first, true);
    ViewDrawHeaderBar(view);
}

bool ViewNextSelected(const ViewRec* view, SInt32* item) {
    const SInt32 count = ViewItemCount(view);
    SInt32 i = std::max<SInt32>(*item, 1);
    while (i <= count) {
        // Skip empty bytes whole: long selections are walked often.
        if ((i - 1) % 8 == 0 && view->selection[(i - 1) / 8] == 0) {
            i += 8;
            continue;
        }
        if (ViewBitTest(view, i)) {
            *item = i;
            return true;
        }
        ++i;
    }
    return false;
}

SInt32 ViewCountSelected(const ViewRec* view) {
    const SInt32 count = ViewItemCount(view);
    SInt32 n = 0;
    const SInt32 fullBytes = count / 8;
    for (SInt32 b = 0; b < fullBytes; ++b) n += std::popcount(unsigned(view->selection[b]));
    for (SInt32 i = fullBytes * 8 + 1; i <= count; ++i) n += ViewBitTest(view, i);
    return n;
}

void ViewCommitInfoEdits(ViewRec* view, SInt32) {
    CatalogRec* catalog = view->catalog;
    if (catalog && (catalog->infoCaptionState == kInfoStateChanged || InfoEditHasPending(catalog)))
        InfoEditCommit(catalog, nullptr, nullptr, 0);
}
