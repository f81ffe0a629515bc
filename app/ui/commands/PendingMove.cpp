#include "app/ui/commands/PendingMove.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/CQuantaroApp.h"
#include "window/ui/CGridView.h"
#include "catalog/items/ItemTransfer.h"
#include "platform/Handles.h"
#include "window/view/ViewOperations.h"
#include "window/view/ViewSelection.h"

#include <algorithm>

namespace {

struct Pending {
    CMainFrame* frame = nullptr;
    SInt32 position = 0;
};
Pending gPending;

// Adds copies of the source view's selected items to the target catalog before its visible item
// position, in their order; true when at least one arrived.
bool AddSelectionAt(ViewRec* source, CatalogRec* target, SInt32 position) {
    bool added = false;
    for (SInt32 item = 1; ViewNextSelected(source, &item); ++item) {
        Handle package = ItemPackVisible(source->catalog, item);
        if (!package) continue;
        if (ItemUnpackTransfer(target, position, package, 0) == noErr) {
            added = true;
            ++position;
        }
        DisposeHandle(package);
    }
    return added;
}

bool FrameIsLive(CMainFrame* frame) {
    const auto& all = GetApp().Frames().All();
    return frame && std::find(all.begin(), all.end(), frame) != all.end();
}

}  // namespace

void SetPendingMovePosition(CMainFrame* frame, SInt32 position) { gPending = Pending{frame, position}; }

bool HasPendingMove() {
    // A closed frame's pointer is compared, never followed.
    if (!FrameIsLive(gPending.frame) || !gPending.frame->GetViewRec()) {
        gPending = Pending{};
        return false;
    }
    const SInt32 count = ViewItemCount(gPending.frame->GetViewRec());
    if (gPending.position < 1 || gPending.position > count + 1) {
        gPending = Pending{};
        return false;
    }
    return true;
}

CMainFrame* PendingMoveFrame() { return HasPendingMove() ? gPending.frame : nullptr; }
SInt32 PendingMovePosition() { return HasPendingMove() ? gPending.position : 0; }

bool ApplyPendingMove(CMainFrame* frame) {
    if (!HasPendingMove() || !frame || !frame->GetViewRec()) return false;
    bool moved = false;
    if (gPending.frame == frame) {
        moved = ViewMoveSelection(frame->GetViewRec(), gPending.position, false);
    } else {
        moved = AddSelectionAt(frame->GetViewRec(), gPending.frame->GetCatalog(), gPending.position);
    }
    gPending.frame->GetGridView()->RedrawAll();
    gPending.frame->UpdateTitle();
    if (gPending.frame != frame) {
        frame->GetGridView()->RedrawAll();
        frame->UpdateTitle();
    }
    return moved;
}
