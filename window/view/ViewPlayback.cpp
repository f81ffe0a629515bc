#include "window/view/ViewPlayback.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "foundation/settings/Preferences.h"
#include "media/kinds/KindTable.h"
#include "media/presenters/MediaObject.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewPort.h"
#include "window/view/ViewSelection.h"

namespace {

// The field getter's type of a 32-bit number.
constexpr UInt8 kValueU32 = 3;

SInt32 PlayedItem(const ViewRec* view) { return view->playItemId ? CatalogFindItemById(view->catalog, view->playItemId) : 0; }

UInt32 StillTicks() {
    const UInt8 seconds = GetPreferences()->stillsPause;
    return UInt32(seconds == 2 || seconds == 4 || seconds == 8 ? seconds : 4) * 60;
}

// The playlist byte is 0 while playlist mode is on; 1 stops playback after each item.
bool StopAfterEachItem() { return GetPreferences()->playlistMode == 1; }

}  // namespace

bool ViewIsPlaying(const ViewRec* view) { return view && view->playTimer != 0; }

void ViewStartPlaybackTimer(ViewRec* view) {
    if (view->playTimer) Timers().Stop(view->playTimer);
    view->playTimer = Timers().Start(kPlaybackTickMs, [view](TimerId) { ViewPlaybackTick(view); });
    ViewPost(view, kMsgPlaybackChanged, 1);
}

void ViewStopPlaybackTimer(ViewRec* view) {
    if (view->playTimer) Timers().Stop(view->playTimer);
    view->playTimer = 0;
    ViewPost(view, kMsgPlaybackChanged, 0);
}

void ViewStopPlayedItem(ViewRec* view) {
    MediaObjectStop(view->media);
    const SInt32 played = PlayedItem(view);
    if (ViewGetMode(view) != kViewMedia && played != view->currentItem) {
        MediaObjectClose(view->media);
        view->playItemId = 0;
    }
    ViewRedrawItem(view, played);
}

void ViewTogglePlayback(ViewRec* view) {
    if (!view) return;
    if (ViewIsPlaying(view)) {
        ViewStopPlaybackTimer(view);
        ViewStopPlayedItem(view);
        return;
    }
    if (ViewItemCount(view) == 0) return;
    view->playItemId = ItemGetId(view->catalog, view->currentItem ? view->currentItem : 1);
    ViewStartPlaybackTimer(view);
    ViewPlayItem(view, false);
}

void ViewPlayItem(ViewRec* view, bool advanced) {
    if (!view->playItemId) return;
    const SInt32 item = PlayedItem(view);
    if (ViewGetMode(view) == kViewMedia) {
        ViewSelectMediaItem(view, item, kSelectAlone);
        ViewRevealCell(view, ViewItemToCell(view, item));
        // The presenter shows the current item; open it when drawing has not yet.
        FSSpec shown;
        if (!MediaObjectGetFileSpec(view->media, &shown) || !(shown == view->currentFile)) {
            ItemRec record;
            if (view->currentFileErr == noErr && ItemReadRecord(view->catalog, item, &record) == noErr)
                ViewOpenInPresenter(view, &view->currentFile, record.kind);
        }
        if (advanced && MediaObjectGetPictureInfo(view->media) == kMediaShowsPicture) MediaObjectKey(view->media, kMediaKeyFirst);
        MediaObjectStart(view->media, view->media->playOption);
    } else {
        FSSpec file;
        if (item && CatalogFindItemPath(view->catalog, item, &file) == noErr) {
            ItemRec record;
            if (ItemReadRecord(view->catalog, item, &record) == noErr) {
                const UInt8 category = KindGetCategory(record.kind);
                if (category == 1 || category == 2) ViewOpenInPresenter(view, &file, record.kind);
            }
            ViewRevealCell(view, ViewItemToCell(view, item));
            ViewRedrawItem(view, item);
            if (advanced && MediaObjectGetPictureInfo(view->media) == kMediaShowsPicture)
                MediaObjectKey(view->media, kMediaKeyFirst);
            MediaObjectStart(view->media, view->media->playOption);
        }
    }
    view->playStartTicks = TickCount();
}

void ViewPlaybackTick(ViewRec* view) {
    if (MediaObjectGetPosition(view->media)) return;
    if (StopAfterEachItem()) {
        ViewStopPlaybackTimer(view);
        ViewRedrawItem(view, PlayedItem(view));
        return;
    }
    // A picture stays for the still duration; the presenter reports pictures as class 1 and
    // stills of time-based media as class 2, and both are stills to the viewer.
    const int shows = MediaObjectGetPictureInfo(view->media);
    if (ViewGetMode(view) == kViewMedia && (shows == kMediaShowsPicture || shows == kMediaShowsStill) &&
        TickCount() - view->playStartTicks < StillTicks())
        return;
    view->autoAdvanced = 1;
    const SInt32 count = ViewItemCount(view);
    if (count == 0) return;
    const SInt32 played = PlayedItem(view);
    const SInt32 next = played >= count || played == 0 ? 1 : played + 1;
    if (count == 1) return;
    view->playItemId = ItemGetId(view->catalog, next);
    if (ViewGetMode(view) != kViewMedia) {
        MediaObjectClose(view->media);
        ViewRedrawItem(view, played);
    }
    ViewPlayItem(view, true);
}

OSErr ViewOpenInPresenter(ViewRec* view, const FSSpec* file, OSType kind) {
    if (!view || !view->media) return paramErr;
    MediaObjectSetWindow(view->media, view->viewPort ? view->viewPort->world : nullptr);
    return MediaObjectOpen(view->media, file, kind, 1, 1, 0, true);
}

void ViewDrawPresenter(ViewRec* view, const Rect& display) {
    if (!view || !view->media || !view->viewPort || !view->viewPort->world) return;
    MediaObjectSetWindow(view->media, view->viewPort->world);
    MediaObjectSetBounds(view->media, &display);
    MediaObjectSetDisplayRect(view->media, &display);
    if (MediaObjectDraw(view->media) == noErr) ViewPortAddDamage(view->viewPort, &display);
}

void ViewPresenterNeedsRedraw(MediaObject*, std::uintptr_t ref) {
    auto* view = reinterpret_cast<ViewRec*>(ref);
    ViewRedrawItem(view, ViewGetMode(view) == kViewMedia ? view->currentItem : PlayedItem(view));
}

long ViewHandleMediaEvent(ViewRec* view) {
    MediaObjectProcessEvents(view->media);
    return 0;
}

void ViewStartStatsPass(ViewRec* view) {
    if (view->statsTimer) Timers().Stop(view->statsTimer);
    view->statsTotal = 0;
    view->statsNext = 0;
    view->statsTimer = Timers().Start(kStatsTickMs, [view](TimerId) { ViewStatsTimer(view); });
}

void ViewStatsTimer(ViewRec* view) {
    const SInt32 count = ViewItemCount(view);
    view->statsNext += 1;
    if (view->statsNext <= count) {
        FieldValue value;
        if (ItemGetFieldVisible(view->catalog, view->statsNext, 1, 5, &value) == kValueU32)
            view->statsTotal += value.u32;
    }
    if (view->statsNext >= count) {
        if (view->statsTimer) Timers().Stop(view->statsTimer);
        view->statsTimer = 0;
        CatalogNotifyNow(view->catalog, kMsgStatusBar, 0);
    }
}
