#include "window/view/ViewOperations.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemOrder.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/files/FileMoves.h"
#include "foundation/files/SideFiles.h"
#include "foundation/interface/Cursors.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/Unicode.h"
#include "import/adding/AddFiles.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"
#include "media/presenters/MediaObject.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewSelection.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

ViewAlerts gDefaultAlerts;
ViewAlerts* gAlerts = nullptr;

std::vector<UInt32> IdsOf(Handle h) {
    if (!h) return {};
    const UInt32* p = reinterpret_cast<const UInt32*>(*h);
    return std::vector<UInt32>(p, p + GetHandleSize(h) / 4);
}

std::vector<UInt32> LoopIds(const ViewRec* view, bool allItems) {
    Handle h = allItems ? ItemListCopyVisibleIds(view->catalog) : ViewCollectIds(view, true);
    std::vector<UInt32> ids = IdsOf(h);
    if (h) DisposeHandle(h);
    return ids;
}

std::string Text(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

OSErr RunWithWaitCursor(ViewRec* view, const std::vector<UInt32>& ids, ItemActionProc proc, void* refCon,
                        bool escapeCancels, long parameter) {
    if (escapeCancels)
        SetWaitCursorDefault();
    else
        SetWaitCursor(0);
    OSErr result = noErr;
    for (UInt32 id : ids) {
        if (escapeCancels && UiEscapeKeyDown()) {
            result = userCanceledErr;
            break;
        }
        const SInt32 item = CatalogFindItemById(view->catalog, id);
        if (!item) continue;
        result = proc(refCon, view->catalog, item, parameter);
        if (result != noErr) break;
    }
    SetWaitCursor(2);
    return result;
}

OSErr RunWithProgress(ViewRec* view, const std::vector<UInt32>& ids, ItemActionProc proc, void* refCon, bool cancellable,
                      ConstStr255Param title, long parameter) {
    const long total = long(ids.size());
    UiHooks& ui = GetUiHooks();
    ui.ProgressStart(title ? AnsiToUtf8(Text(title)) : std::string(), total);
    OSErr result = noErr;
    UInt32 lastStep = 0;
    bool first = true;
    long done = 0;
    for (UInt32 id : ids) {
        // Long batches tell the progress window at most every 10 ticks.
        const UInt32 now = TickCount();
        if (first || total < 100 || now - lastStep >= 10) {
            first = false;
            lastStep = now;
            if (ui.ProgressStep(done, total) != noErr && cancellable) {
                result = userCanceledErr;
                break;
            }
        }
        const SInt32 item = CatalogFindItemById(view->catalog, id);
        ++done;
        if (!item) continue;
        result = proc(refCon, view->catalog, item, parameter);
        if (result != noErr) break;
    }
    ui.ProgressStep(total, total);
    ui.ProgressEnd();
    return result;
}

}  // namespace

void SetViewAlerts(ViewAlerts* alerts) { gAlerts = alerts; }
ViewAlerts& GetViewAlerts() { return gAlerts ? *gAlerts : gDefaultAlerts; }

OSErr ViewRunOnItems(ViewRec* view, ItemActionProc proc, void* refCon, bool allItems, bool cancellable,
                     ConstStr255Param title, SInt16 threshold, long parameter) {
    const std::vector<UInt32> ids = LoopIds(view, allItems);
    if (ids.empty() || !proc) return noErr;
    view->doneCount = view->failedCount = 0;
    if (long(ids.size()) < threshold) return RunWithWaitCursor(view, ids, proc, refCon, cancellable, parameter);
    return RunWithProgress(view, ids, proc, refCon, cancellable, title, parameter);
}

OSErr ViewRunExportOnItems(ViewRec* view, ItemActionProc proc, void* refCon, bool allItems, bool cancellable,
                           ConstStr255Param title, SInt16 threshold, long parameter) {
    return ViewRunOnItems(view, proc, refCon, allItems, cancellable, title, threshold, parameter);
}

OSErr ProcessItemsWithProgress(ViewRec* view, ItemActionProc proc, void* refCon, bool allItems, bool escapeCancels,
                               long parameter) {
    return RunWithWaitCursor(view, LoopIds(view, allItems), proc, refCon, escapeCancels, parameter);
}

OSErr ViewTransformSelection(ViewRec* view, SInt16 code, ItemActionProc transform, void* refCon) {
    const bool playing = ViewIsPlaying(view);
    if (playing) ViewTogglePlayback(view);
    Str255 title;
    LoadIndexedString(title, 136, 9);
    const OSErr err = ViewRunOnItems(view, transform, refCon, false, true, title, kItemLoopThreshold, code);
    if (ViewGetMode(view) == kViewMedia) {
        // The presenter shows the item anew, turned the way its record now says.
        MediaObjectClose(view->media);
        ViewRedrawItem(view, view->currentItem);
    } else {
        MediaObjectClose(view->media);
    }
    if (playing) ViewTogglePlayback(view);
    return err;
}

bool ViewMoveSelection(ViewRec* view, SInt32 position, bool reveal) {
    const SInt32 current = view->currentItem;
    if (!current || position == current || position == current + 1) return false;
    CatalogRec* catalog = view->catalog;
    CatalogNotifyNow(catalog, kMsgSelectionChanging, 0);
    const SInt32 count = ViewItemCount(view);
    if (position < 1 || position > count) position = count + 1;
    const UInt32 currentId = ItemGetId(catalog, current);
    std::vector<UInt8> marks(std::size_t(count) + 1, 0);
    for (SInt32 i = 1; i <= count; ++i) marks[std::size_t(i - 1)] = ViewBitTest(view, i) ? 1 : 0;
    const bool moved = CatalogMoveItems(catalog, position, marks.data());
    if (!moved) return false;
    std::fill(view->selection.begin(), view->selection.end(), 0);
    for (SInt32 i = 1; i <= count; ++i)
        if (marks[std::size_t(i - 1)]) ViewBitSet(view, i);
    view->deferDraw = 1;
    const SInt32 now = CatalogFindItemById(catalog, currentId);
    if (ViewGetMode(view) == kViewMedia) {
        view->currentItem = 0;
        ViewSelectMediaItem(view, now, kSelectAlone);
    } else {
        ViewClearCurrent(view);
        ViewSelectByKind(view, kSelectAddCurrent, now, false);
    }
    view->deferDraw = 0;
    if (reveal && ViewGetMode(view) != kViewMedia) ViewRevealCell(view, ViewItemToCell(view, now));
    ViewRedraw(view, nullptr);
    ViewFiltersTakeOrder(view);
    return true;
}

bool ViewDropItemsAt(ViewRec* view, SInt32 position) { return ViewMoveSelection(view, position, true); }

SInt32 ViewRemoveItems(ViewRec* view, bool recycle) {
    CatalogRec* catalog = view->catalog;
    SetWaitCursor(0);
    if (ViewIsPlaying(view)) {
        const SInt32 played = CatalogFindItemById(catalog, view->playItemId);
        if (played && ViewBitTest(view, played)) ViewTogglePlayback(view);
    }
    SInt32 firstRemoved = 0;
    std::vector<UInt32> ids;
    for (SInt32 item = 1; ViewNextSelected(view, &item); ++item) {
        if (!firstRemoved) firstRemoved = item;
        ids.push_back(ItemGetId(catalog, item));
    }
    if (ids.empty()) {
        SetWaitCursor(2);
        return 0;
    }
    ViewPost(view, kMsgSelectionChanging);
    ViewClearCurrent(view);
    std::vector<UInt32> kept;
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        const SInt32 item = CatalogFindItemById(catalog, *it);
        if (!item) continue;
        if (recycle) {
            // An item stays when its file could not be moved to the trash: removing it would
            // lose the record of a file that is still there.
            FSSpec file;
            if (CatalogFindItemPath(catalog, item, &file) != noErr) {
                kept.push_back(*it);
                continue;
            }
            const std::vector<FSSpec> sides = FindMediaSideFiles(file);
            if (ShellFileOpA(&file) != noErr) {
                kept.push_back(*it);
                continue;
            }
            // The picture's sound annotation follows it; one left behind loses nothing.
            for (const FSSpec& side : sides) ShellFileOpA(&side);
        }
        CatalogDeleteVisibleItem(catalog, item);
    }
    std::fill(view->selection.begin(), view->selection.end(), 0);
    ViewLayout(view, catalog);
    ViewRedraw(view, nullptr);
    const SInt32 count = ViewItemCount(view);
    if (count > 0) {
        const SInt32 select = std::min(firstRemoved, count);
        if (ViewGetMode(view) == kViewMedia)
            ViewSelectMediaItem(view, select, kSelectAlone);
        else
            ViewSelectByKind(view, kSelectAddCurrent, select, true);
    }
    ViewDrawHeaderBar(view);
    ViewPost(view, kMsgSelectionChanged);
    SetWaitCursor(2);
    return SInt32(kept.size());
}

void DescribeSelection(const ViewRec* view, Str255 out) {
    const SInt32 selected = ViewCountSelected(view);
    std::string text;
    if (selected == 1) {
        SInt32 item = 1;
        ViewNextSelected(view, &item);
        FieldValue value;
        const UInt8 type = ItemGetFieldVisible(view->catalog, item, 1, 2, &value);
        Str255 name;
        FieldValueToText(&value, type, 2, name, false);
        text = "'" + Text(name) + "'";
    } else {
        Str255 words;
        LoadIndexedString(words, 128, 97);
        text = std::to_string(selected) + " " + Text(words);
    }
    const std::size_t n = std::min<std::size_t>(text.size(), 255);
    out[0] = UInt8(n);
    std::memcpy(out + 1, text.data(), n);
}

SInt32 ViewRecycleSelection(ViewRec* view, bool ask, bool report) {
    if (ViewCountSelected(view) == 0) return 0;
    if (ask) {
        Str255 what;
        DescribeSelection(view, what);
        if (!GetViewAlerts().Confirm(2, AnsiToUtf8(Text(what)), std::string())) return 0;
    }
    const SInt32 kept = ViewRemoveItems(view, true);
    if (report && kept > 0) GetViewAlerts().ReportRecycleFailures(kept);
    return kept;
}

namespace {
void RemoveSelection(ViewRec* view, bool ask) {
    if (ViewCountSelected(view) == 0) return;
    if (ask) {
        Str255 text, name;
        std::string catalogName;
        if (ViewCountFilters(view) > 0) {
            ViewGetFilterText(view, text);
            CatalogGetDisplayName(view->catalog, name, false);
            catalogName = AnsiToUtf8(Text(name));
        } else {
            DescribeSelection(view, text);
        }
        if (!GetViewAlerts().Confirm(1, AnsiToUtf8(Text(text)), catalogName)) return;
    }
    ViewRemoveItems(view, false);
}
}  // namespace

void ViewDeleteSelection(ViewRec* view) { RemoveSelection(view, true); }
void ViewRemoveSelection(ViewRec* view) { RemoveSelection(view, false); }

OSErr ViewRebuildOneItem(CatalogRec* catalog, MediaObject* media, SInt32 item) {
    FSSpec file;
    OSErr err = CatalogFindItemPath(catalog, item, &file);
    if (err != noErr) return err;
    // The presenter may hold the file open; it lets go before the file is read again.
    FSSpec shown;
    if (MediaObjectGetFileSpec(media, &shown) && shown == file) MediaObjectClose(media);
    const RefreshOptions all = RefreshOptionsAll();
    return CatalogRefreshVisibleItem(catalog, item, &all, nullptr);
}
