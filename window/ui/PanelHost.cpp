#include "window/ui/PanelHost.h"

#include "window/ui/CGridContainer.h"
#include "window/ui/CGridView.h"

#include <wx/toplevel.h>

CGridView* PanelGridView(const wxWindow* window) {
    for (const wxWindow* w = window; w; w = w->GetParent())
        if (auto* container = dynamic_cast<const CGridContainer*>(w)) return container->GetGridView();
    return nullptr;
}

CatalogRec* PanelCatalog(const wxWindow* window) {
    CGridView* grid = PanelGridView(window);
    return grid ? grid->GetCatalog() : nullptr;
}

ViewRec* PanelView(const wxWindow* window) {
    CGridView* grid = PanelGridView(window);
    return grid ? grid->GetViewRec() : nullptr;
}

void PanelFocusGrid(const wxWindow* window) {
    if (CGridView* grid = PanelGridView(window)) grid->SetFocus();
}

void PanelSendCommand(const wxWindow* window, int id) {
    wxWindow* top = window ? wxGetTopLevelParent(const_cast<wxWindow*>(window)) : nullptr;
    if (!top) return;
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(top);
    top->GetEventHandler()->ProcessEvent(event);
}

namespace {

PanelFolderMove& FolderMove() {
    static PanelFolderMove move;
    return move;
}

}  // namespace

void SetPanelFolderMove(PanelFolderMove move) { FolderMove() = std::move(move); }

bool PanelMoveSelectionToFolder(wxWindow* from, const std::string& folderPath) {
    if (!FolderMove() || folderPath.empty()) return false;
    FolderMove()(from, folderPath);
    return true;
}
