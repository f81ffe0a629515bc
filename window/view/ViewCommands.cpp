#include "window/view/ViewCommands.h"

#include "catalog/tables/CatalogTables.h"
#include "media/presenters/MediaObject.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewOperations.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewSelection.h"

namespace {
int Flag(bool b) { return b ? kCommandEnabled : kCommandDisabled; }
}  // namespace

int ViewCommandEnabled(const ViewRec* view, UInt32 c) {
    const bool selected = view && ViewCountSelected(view) > 0;
    switch (c) {
    case kCmdDelete:
    case kCmdDelete2:
    case kCmdDeselectAll:
    case kCmdShowSelected:
    case kCmdHideSelected:
    case kCmdRebuildItem:
    case kCmdRecycle:
    case kCmdRecycle2:
    case kCmdFileAction1:
    case kCmdFileAction2:
    case kCmdFlipHorizontal:
    case kCmdFlipVertical:
    case kCmdDefaultOrientation:
    case kCmdMoveToTop:
    case kCmdMoveToBottom:
        return Flag(selected);
    case kCmdShowAll:
    case kCmdShowHidden:
        return Flag(view && view->catalog->hiddenCount > 0);
    case kCmdShowAnyLabel:
    case kCmdShowNoLabel:
    case kCmdZoomIn:
    case kCmdZoomOut:
        return kCommandEnabled;
    case kCmdShowLastImport:
        return Flag(view && CatalogCountMarked(view->catalog) > 0);
    case kCmdRotateLeft:
    case kCmdRotateRight:
        return Flag(view && ViewCanRotateCurrent(view) != 0);
    case kCmdActualSize:
        return Flag(view && ViewGetMode(view) == kViewMedia);
    case kCmdPreviousState:
        return Flag(view && ViewCanGoBack(view));
    case kCmdNextState:
        return Flag(view && ViewCanGoForward(view));
    case kCmdPlay:
    case kCmdListView:
    case kCmdThumbnailView:
    case kCmdMediaView:
        return kCommandEnabled;
    default:
        return kDecidedElsewhere;
    }
}

bool ViewCommandChecked(const ViewRec* view, UInt32 c) {
    if (!view) return false;
    if (c == kCmdPlay) return ViewIsPlaying(view);
    if (c >= kCmdListView && c <= kCmdMediaView) return ViewGetMode(view) == c - kCmdListView;
    return false;
}

const char* ViewActualSizeMenuText(const ViewRec* view) {
    return MediaObjectGetShowFlag(view->media) == kShowScaledToFit ? "Actual Size\tCtrl+0" : "Scale to Fit\tCtrl+0";
}

bool ViewRunCommand(ViewRec* view, UInt32 c) {
    if (!view) return false;
    switch (c) {
    case kCmdDelete:
    case kCmdDelete2: ViewDeleteSelection(view); return true;
    case kCmdSelectAll: ViewSelectAll(view); return true;
    case kCmdDeselectAll: ViewDeselectAll(view); return true;
    case kCmdInvertSelection: ViewInvertSelection(view); return true;
    case kCmdShowAll: ViewShowAll(view); return true;
    case kCmdShowHidden: ViewShowHidden(view); return true;
    case kCmdShowSelected: ViewShowSelected(view); return true;
    case kCmdHideSelected: ViewHideSelected(view); return true;
    case kCmdShowAnyLabel: ViewShowLabel(view, kLabelAny); return true;
    case kCmdShowNoLabel: ViewShowLabel(view, kLabelNone); return true;
    case kCmdShowLastImport: ViewShowLastImport(view); return true;
    case kCmdRecycle:
    case kCmdRecycle2: ViewRecycleSelection(view, true, true); return true;
    case kCmdZoomIn: ViewZoom(view, true); return true;
    case kCmdZoomOut: ViewZoom(view, false); return true;
    case kCmdActualSize: ViewToggleActualSize(view); return true;
    case kCmdRemoveLabel: ViewAssignLabel(view, 0); return true;
    case kCmdMoveToTop: ViewMoveSelection(view, 1, true); return true;
    case kCmdMoveToBottom: ViewMoveSelection(view, -1, true); return true;
    case kCmdPreviousState: ViewGoBack(view); return true;
    case kCmdNextState: ViewGoForward(view); return true;
    case kCmdPlay:
    case kCmdPlay2: ViewTogglePlayback(view); return true;
    case kCmdListView:
    case kCmdThumbnailView:
    case kCmdMediaView: ViewSetMode(view, UInt8(c - kCmdListView)); return true;
    default: break;
    }
    if (c >= kCmdShowLabelFirst && c <= kCmdShowLabelLast) {
        ViewShowLabel(view, UInt8(c - kCmdShowLabelFirst + 1));
        return true;
    }
    if (c >= kCmdLabelFirst && c <= kCmdLabelLast) {
        ViewAssignLabel(view, UInt8(c - kCmdLabelFirst + 1));
        return true;
    }
    return false;
}
