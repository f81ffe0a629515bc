#include "app/ui/commands/ItemCommands.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/CQuantaroApp.h"
#include "app/ui/commands/CommandRules.h"
#include "app/ui/commands/PendingMove.h"
#include "app/ui/commands/WxViewAlerts.h"
#include "catalog/items/ItemMediaInfo.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/ui/CommandIds.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/UiText.h"
#include "import/adding/AddFiles.h"
#include "media/presenters/MediaObject.h"
#include "output/fileactions/ItemTransform.h"
#include "output/fileactions/MissingFiles.h"
#include "window/view/ThumbnailCache.h"
#include "window/ui/CGridContainer.h"
#include "window/ui/CGridView.h"
#include "window/ui/CSidePanel.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewOperations.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewSelection.h"

#include "platform/Handles.h"

#include <cstring>
#include <vector>
#include <wx/menu.h>
#include <wx/utils.h>

namespace {

ViewRec* View(const CommandContext& c) { return CommandView(c); }
CatalogRec* Catalog(const CommandContext& c) { return CommandCatalog(c); }

void Refresh(const CommandContext& c) {
    c.frame->GetGridView()->RedrawAll();
    c.frame->UpdateTitle();
}

// Alert messages (list 130) and buttons (list 129).
enum : short { kDiscardChanges = 72, kButtonOk = 1, kButtonCancel = 2 };

void Revert(const CommandContext& c) {
    CatalogRec* catalog = Catalog(c);
    if (!catalog || catalog->fileSpec.path.empty() || !CatalogIsModified(catalog)) {
        wxBell();
        return;
    }
    Str255 name;
    CatalogGetDisplayName(catalog, name, false);
    if (ShowAlert(kAlertWarning, kDiscardChanges, 0, kButtonOk, kButtonCancel, 0, name) != 1) return;
    const std::string path = catalog->fileSpec.path;
    c.frame->LoadCatalog(path);
    c.frame->UpdateTitle();
}

// Rebuild Item: thumbnails and metadata read again, with the reader's option; the other
// blocks (annotations, URL, recording) and the orientation are kept.
RefreshOptions RebuildOptions() { return RefreshOptions{{0, 0, 1, 1, 0, 0, 1, 0}}; }

// One selected item is read again at once; several go to a refresh job that reads their files
// in the background with the status bar's busy icon, as after an import.
void Rebuild(const CommandContext& c) {
    ViewRec* view = View(c);
    CatalogRec* catalog = Catalog(c);
    const RefreshOptions options = RebuildOptions();
    if (ViewCountSelected(view) == 1) {
        const SInt32 item = view->currentItem && ViewBitTest(view, view->currentItem) ? view->currentItem : [&] {
            SInt32 n = 1;
            ViewNextSelected(view, &n);
            return n;
        }();
        FSSpec shown, file;
        // The presenter may hold the file open; it lets go before the file is read again.
        if (CatalogFindItemPath(catalog, item, &file) == noErr && MediaObjectGetFileSpec(view->media, &shown) &&
            shown == file)
            MediaObjectClose(view->media);
        CatalogRefreshVisibleItem(catalog, item, &options, nullptr);
        Refresh(c);
        return;
    }
    std::vector<UInt32> ids;
    for (SInt32 item = 1; ViewNextSelected(view, &item); ++item) ids.push_back(ItemGetId(catalog, item));
    Handle h = NewHandle(Size(ids.size() * sizeof(UInt32)));
    if (!h) return;
    std::memcpy(*h, ids.data(), ids.size() * sizeof(UInt32));
    if (StartItemRefreshTimer(catalog, 0, h, nullptr, &options) == noErr) c.frame->BusyPhase(0);
    DisposeHandle(h);
    Refresh(c);
}

void MoveTo(const CommandContext& c, bool top) {
    ViewRec* view = View(c);
    const SInt32 position = top ? 1 : ViewItemCount(view) + 1;
    SetPendingMovePosition(c.frame, position);
    ViewMoveSelection(view, position, false);
    Refresh(c);
}

void FindMissingItems(const CommandContext& c) {
    SInt32 count = 0;
    SelectMissingItems(View(c), &count);
    Refresh(c);
}

// Actual Size names what it will do: "Actual Size" while the picture is fitted, else "Scale to
// Fit", always with its accelerator.
void RelabelActualSize(const CommandContext& c) {
    wxMenuBar* bar = c.frame->GetMenuBar();
    wxMenuItem* item = bar ? bar->FindItem(WxIdOf(33104)) : nullptr;
    if (!item || !View(c)) return;
    bool fitted = false;
    ViewGetItemCapabilities(View(c), nullptr, nullptr, &fitted);
    const wxString text = LoadUiString(fitted ? 14025 : 14026) + "\tCtrl+0";
    if (item->GetItemLabel() != text) item->SetItemLabel(text);
}

const Rule kMedia = kInMediaView;
const Rule kHasMarked([](const CommandContext& c) { return Catalog(c) && CatalogCountMarked(Catalog(c)) > 0; });
const Rule kPlaying([](const CommandContext& c) { return View(c) && ViewIsPlaying(View(c)); });
const Rule kPlaylistOn([](const CommandContext&) { return GetPreferences()->playlistMode == 0; });
const Rule kPauseIsThis([](const CommandContext& c) {
    static constexpr UInt8 kPause[3] = {2, 4, 8};
    return GetPreferences()->stillsPause == kPause[c.id - 263];
});
const Rule kPendingMove([](const CommandContext&) { return HasPendingMove(); });
const Rule kNever([](const CommandContext&) { return false; });
const Rule kActualSize([](const CommandContext& c) {
    RelabelActualSize(c);
    return View(c) && ViewGetMode(View(c)) == kViewMedia;
});

void Nothing(const CommandContext&) {}

// Rotate and flip: the items' orientation and thumbnails change, so the pictures drawn from the
// old thumbnails are forgotten.
void Transform(const CommandContext& c, SInt16 code) {
    ViewTransformSelection(View(c), code, TransformItem, nullptr);
    ThumbnailCacheClear(Catalog(c));
    Refresh(c);
}

const Rule kCanRotate([](const CommandContext& c) {
    return View(c) && ViewGetCurrentItem(View(c)) != 0 && ViewCanRotateCurrent(View(c)) != 0;
});

}  // namespace

void AddItemCommands(CommandRowAdder& add) {
    InstallViewAlerts();
    const Rule always;
    // File
    add(32825, 32825, kHasFile && kModified, {}, Revert, true);
    // Edit
    for (int id : {57632, 57633})
        add(id, id, kHasSelection, {}, [](const CommandContext& c) { ViewDeleteSelection(View(c)); Refresh(c); });
    // Show
    add(33013, 33013, kHasMarked, {}, [](const CommandContext& c) { ViewShowLastImport(View(c)); Refresh(c); });
    add(33001, 33001, kHasView, {}, [](const CommandContext& c) { ViewShowLabel(View(c), 255); Refresh(c); });
    add(33002, 33002, kHasView, {}, [](const CommandContext& c) { ViewShowLabel(View(c), 0); Refresh(c); });
    add(33004, 33012, kHasView, {}, [](const CommandContext& c) { ViewShowLabel(View(c), UInt8(c.id - 33003)); Refresh(c); });
    add(32864, 32864, !kMedia && kHasItems, {}, FindMissingItems);
    // View
    add(33104, 33104, kActualSize, {}, [](const CommandContext& c) { ViewToggleActualSize(View(c)); Refresh(c); });
    // Items
    add(32871, 32871, kCanRotate, {}, [](const CommandContext& c) { Transform(c, kTransformRotateRight); });
    add(32870, 32870, kCanRotate, {}, [](const CommandContext& c) { Transform(c, kTransformRotateLeft); });
    add(33106, 33106, kHasSelection, {}, [](const CommandContext& c) { Transform(c, kTransformFlipVertical); });
    add(33105, 33105, kHasSelection, {}, [](const CommandContext& c) { Transform(c, kTransformFlipHorizontal); });
    add(33107, 33107, kHasSelection, {}, [](const CommandContext& c) { Transform(c, kTransformDefault); });
    add(32866, 32866, kHasSelection, {}, Rebuild);
    for (int id : {32867, 32801})
        add(id, id, kHasSelection, {}, [](const CommandContext& c) {
            ViewRecycleSelection(View(c), GetPreferences()->warnWhenRemoving != 0, true);
            Refresh(c);
        });
    add(32899, 32899, kHasSelection, {}, [](const CommandContext& c) { MoveTo(c, true); });
    add(32900, 32900, kHasSelection, {}, [](const CommandContext& c) { MoveTo(c, false); });
    add(33144, 33144, kPendingMove, {}, [](const CommandContext& c) { ApplyPendingMove(c.frame); });
    // Labels: 32890..32898 assign labels 1..9, 32937 removes the label; 32938 is a heading.
    add(32890, 32898, kHasSelection, {}, [](const CommandContext& c) { ViewAssignLabel(View(c), UInt8(c.id - 32889)); Refresh(c); });
    add(32937, 32937, kHasSelection, {}, [](const CommandContext& c) { ViewAssignLabel(View(c), 0); Refresh(c); });
    add(32938, 32938, kNever, {}, Nothing);
    // Playback
    add(33121, 33121, kHasItems, kPlaying, [](const CommandContext& c) { ViewTogglePlayback(View(c)); Refresh(c); });
    add(261, 261, always, kPlaylistOn, [](const CommandContext&) {
        PreferencesRec* p = GetPreferences();
        p->playlistMode = p->playlistMode == 0 ? 1 : 0;
    });
    add(263, 265, always, kPauseIsThis, [](const CommandContext& c) {
        static constexpr UInt8 kPause[3] = {2, 4, 8};
        GetPreferences()->stillsPause = kPause[c.id - 263];
    });
    // Panels
    // Commands of tool-bar buttons and pop-up heads that only need their enabling here.
    for (int id : {254, 32802, 32805, 32887, 33266}) add(id, id, kHasSelection, {}, Nothing);
    for (int id : {32807, 32936}) add(id, id, kHasItems, {}, Nothing);
    add(33134, 33134, always, {}, Nothing);
}
