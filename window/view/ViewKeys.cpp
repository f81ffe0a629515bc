// Keyboard navigation of the grid, type-ahead selection and Go To.
#include "window/view/ViewSelection.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/tables/ItemSearch.h"
#include "foundation/text/CodePages.h"
#include "platform/UiHooks.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewOperations.h"
#include "window/view/ViewPlayback.h"

#include <algorithm>
#include <climits>

namespace {

SInt32 FirstSelected(const ViewRec* view) {
    SInt32 item = 1;
    return ViewNextSelected(view, &item) ? item : 0;
}

SInt32 PageRowsWhole(const ViewRec* view) {
    return view->cellSize.v > 0 ? (view->viewRect.bottom - view->viewRect.top) / view->cellSize.v : 0;
}

void SelectAloneRevealed(ViewRec* view, SInt32 item) { ViewSelectItem(view, item, kSelectAlone, true); }

void Move(ViewRec* view, SInt32 step, bool shift) {
    const SInt32 count = ViewItemCount(view);
    if (count == 0) return;
    if (view->currentItem == 0) {
        SelectAloneRevealed(view, 1);
        return;
    }
    if (!shift) {
        const SInt32 target = view->currentItem + step;
        if (target >= 1 && target <= count) SelectAloneRevealed(view, target);
        return;
    }
    const SInt32 base = view->extendItem ? view->extendItem : view->anchorItem;
    const SInt32 target = base + step;
    if (target >= 1 && target <= count) ViewSelectItem(view, target, kSelectExtend, ViewGetMode(view) != kViewMedia);
}

void PageUp(ViewRec* view) {
    const SInt32 first = FirstSelected(view);
    const SInt32 column = first ? ViewItemToCell(view, first).column : 0;
    if (ViewCountSelected(view) == 1 && ViewItemToCell(view, first).row == view->visibleCells[0])
        ViewScrollTo(view, 0, -PageRowsWhole(view));
    const SInt32 item = std::min(ViewCellToIndex(view, ViewCell{view->visibleCells[0], column}), ViewItemCount(view));
    if (item >= 1) SelectAloneRevealed(view, item);
}

void PageDown(ViewRec* view) {
    const SInt32 count = ViewItemCount(view);
    if (count == 0 || view->columnCount <= 0) return;
    const SInt32 first = FirstSelected(view);
    const SInt32 column = first ? ViewItemToCell(view, first).column : 0;
    const SInt32 itemsInLastRow = count - (view->rowCount - 1) * view->columnCount;
    const SInt32 lastRow = itemsInLastRow <= column ? view->rowCount - 2 : view->rowCount - 1;
    const bool single = ViewCountSelected(view) == 1;
    if (single && ViewItemToCell(view, first).row == lastRow) return;
    auto targetRow = [&] {
        SInt32 row = view->visibleCells[2] >= view->rowCount ? lastRow : view->visibleCells[2] - 2;
        return std::clamp(row, view->visibleCells[0], lastRow);
    };
    SInt32 row = targetRow();
    if (single && ViewItemToCell(view, first).row == row) {
        ViewScrollTo(view, 0, PageRowsWhole(view));
        row = targetRow();
    }
    const SInt32 item = ViewCellToIndex(view, ViewCell{row, column});
    if (item >= 1 && item <= count) SelectAloneRevealed(view, item);
}

bool IsZoomIn(int key) { return key == kVKEquals || key == kVKAdd || key == kVKOemPlus; }
bool IsZoomOut(int key) { return key == kVKUnderscore || key == kVKSubtract || key == kVKOemMinus; }

// The File Name field of an item as display text.
void FileNameText(const ViewRec* view, SInt32 item, Str255 text) {
    FieldValue value;
    UInt8 type = ItemGetFieldVisible(view->catalog, item, 1, 2, &value);
    FieldValueToText(&value, type, 2, text, false);
}

bool BeginsWithNoCase(ConstStr255Param text, ConstStr255Param prefix) {
    if (prefix[0] > text[0]) return false;
    for (int i = 1; i <= prefix[0]; ++i)
        if (AnsiToUpper(text[i]) != AnsiToUpper(prefix[i])) return false;
    return true;
}

void TypeAheadTimerProc(ViewRec* view) {
    const SInt32 match = TypeAheadFind(view, view->currentItem, view->typeAhead);
    if (match) {
        view->autoAdvanced = 0;
        ViewSelectItem(view, match, kSelectAlone, true);
    } else {
        UiBeep();
    }
    Timers().Stop(view->typeAheadTimer);
    view->typeAheadTimer = 0;
}

void Blink(ViewRec* view, SInt32 item) {
    if (view->blinkTimer) Timers().Stop(view->blinkTimer);
    view->blinkItem = item;
    ViewRedrawItem(view, item);
    view->blinkTimer = Timers().Start(kBlinkMs, [view](TimerId id) {
        Timers().Stop(id);
        view->blinkTimer = 0;
        const SInt32 shown = view->blinkItem;
        view->blinkItem = 0;
        ViewRedrawItem(view, shown);
    });
}

}  // namespace

bool ViewKeyNavigate(ViewRec* view, int key, bool shift, bool control) {
    if (!view) return false;
    const UInt8 mode = ViewGetMode(view);
    const SInt32 count = ViewItemCount(view);
    if (key == kVKSpace) {
        ViewTogglePlayback(view);
        return true;
    }
    if (IsZoomIn(key) || IsZoomOut(key)) {
        ViewZoom(view, IsZoomIn(key));
        return true;
    }
    if ((key >= kVK0 && key <= kVK9) || (key >= kVKNumpad0 && key <= kVKNumpad9)) {
        if (!control) ViewAssignLabel(view, UInt8(key >= kVKNumpad0 ? key - kVKNumpad0 : key - kVK0));
        return true;
    }
    switch (key) {
    case kVKHome:
        if (control)
            ViewScrollTo(view, 0, INT_MIN);
        else if (count)
            SelectAloneRevealed(view, 1);
        return true;
    case kVKEnd:
        if (control)
            ViewScrollTo(view, 0, INT_MAX);
        else if (count)
            SelectAloneRevealed(view, count);
        return true;
    case kVKPageUp:
    case kVKPageDown: {
        const SInt32 dir = key == kVKPageUp ? -1 : 1;
        if (control || mode == kViewMedia)
            ViewScrollTo(view, 0, dir * PageRowsWhole(view));
        else if (count)
            dir < 0 ? PageUp(view) : PageDown(view);
        return true;
    }
    case kVKLeft:
    case kVKRight:
    case kVKUp:
    case kVKDown: {
        const SInt32 dir = key == kVKLeft || key == kVKUp ? -1 : 1;
        if (control)
            ViewScrollTo(view, 0, dir);
        else
            Move(view, dir * (key == kVKUp || key == kVKDown ? std::max<SInt32>(view->columnCount, 1) : 1), shift);
        return true;
    }
    case kVKSlash:
        return true;
    default:
        return false;
    }
}

void ViewTypeAhead(ViewRec* view, unsigned char character) {
    if (!view->typeAheadTimer) {
        view->typeAhead[0] = 1;
        view->typeAhead[1] = character;
        view->typeAheadTimer = Timers().Start(kTypeAheadMs, [view](TimerId) { TypeAheadTimerProc(view); });
        return;
    }
    if (view->typeAhead[0] < 255) view->typeAhead[++view->typeAhead[0]] = character;
}

SInt32 TypeAheadFind(const ViewRec* view, SInt32 start, ConstStr255Param text) {
    const SInt32 count = ViewItemCount(view);
    if (!text || text[0] == 0) return 0;
    Str255 name;
    for (SInt32 i = start + 1; i <= count; ++i) {
        FileNameText(view, i, name);
        if (BeginsWithNoCase(name, text)) return i;
    }
    for (SInt32 i = 1; i < start && i <= count; ++i) {
        FileNameText(view, i, name);
        if (BeginsWithNoCase(name, text)) return i;
    }
    return 0;
}

void ViewGoToItem(ViewRec* view, int what, SInt32 itemNumber, bool backwards, ConstStr255Param text) {
    const SInt32 count = ViewItemCount(view);
    auto matches = [&](SInt32 i) {
        if (what == 2) return text && ItemMatchesText(view->catalog, i, text + 1, text[0]);
        return ItemGetLabel(view->catalog, i) != 0;
    };
    SInt32 found = 0;
    if (what == 1) {
        if (itemNumber >= 1 && itemNumber <= count) found = itemNumber;
    } else if (what == 2 || what == 3) {
        const SInt32 cur = view->currentItem;
        if (!backwards) {
            for (SInt32 i = cur + 1; i <= count && !found; ++i)
                if (matches(i)) found = i;
            for (SInt32 i = 1; i < cur && !found; ++i)
                if (matches(i)) found = i;
        } else {
            const SInt32 from = cur ? cur - 1 : count;
            for (SInt32 i = from; i >= 1 && !found; --i)
                if (matches(i)) found = i;
            for (SInt32 i = count; cur && i > cur && !found; --i)
                if (matches(i)) found = i;
        }
    }
    if (!found) {
        UiBeep();
        return;
    }
    view->autoAdvanced = 0;
    ViewSelectItem(view, found, kSelectAlone, true);
    if (ViewIsCellVisible(view, ViewItemToCell(view, found))) Blink(view, found);
}
