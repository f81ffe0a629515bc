#include "import/ui/ImportProgress.h"

#include "import/adding/ImportProgressGate.h"
#include "import/ui/CImportDialog.h"
#include "platform/TimerService.h"
#include "platform/UiHooks.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#include <wx/weakref.h>

#include <memory>
#include <optional>

namespace {

// The one import that runs at a time: the progress procedure of CatalogAddFiles reaches its
// window only through here. The weak reference forgets a window wx destroyed on its own.
struct ImportProgressState {
    wxWeakRef<CImportDialog> dialog;
    std::optional<ImportProgressGate> gate;
    std::unique_ptr<wxWindowDisabler> disabler;
    wxWeakRef<wxWindow> hadFocus;   // gets the focus back when the import ends
};

ImportProgressState& State() {
    static ImportProgressState state;
    return state;
}

}  // namespace

void ImportProgressShow(wxWindow* owner) {
    ImportProgressState& state = State();
    if (state.dialog) return;
    state.hadFocus = wxWindow::FindFocus();
    auto* dialog = new CImportDialog(owner);
    // Every other window waits (not just the owner): another catalog window could otherwise
    // close the catalog this import is adding to while the events are handled.
    state.disabler = std::make_unique<wxWindowDisabler>(dialog);
    state.dialog = dialog;
    state.gate.emplace(Timers().NowMs());
}

void ImportProgressUpdate(long imported, long scanned) {
    ImportProgressState& state = State();
    if (!state.dialog || !state.gate || !state.gate->UpdateDue(Timers().NowMs())) return;
    CImportDialog* dialog = state.dialog;
    dialog->SetCounts(imported, scanned);
    if (!dialog->IsShown()) {
        dialog->Show();
        dialog->Raise();
    }
    dialog->Update();
}

bool ImportProgressIsCancelled() {
    ImportProgressState& state = State();
    return state.dialog && state.dialog->Cancelled();
}

void ImportProgressClose() {
    ImportProgressState& state = State();
    state.disabler.reset();
    if (CImportDialog* dialog = state.dialog) dialog->Destroy();
    state.dialog = nullptr;
    state.gate.reset();
    // Disabling the windows took their focus; typing goes on where it was before the import.
    if (wxWindow* focus = state.hadFocus) {
        if (wxWindow* top = wxGetTopLevelParent(focus)) top->Raise();
        focus->SetFocus();
    }
    state.hadFocus = nullptr;
}

CImportDialog* ImportProgressWindow() { return State().dialog; }

OSErr ImportProgressCallback(short phase, long added, long scanned, long) {
    if (phase != 1) return noErr;
    if (UiEscapeKeyDown() || ImportProgressIsCancelled()) return userCanceledErr;
    // Only input and drawing: timers and sockets would run catalog work in the middle of
    // the add.
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive())
        loop->YieldFor(wxEVT_CATEGORY_UI | wxEVT_CATEGORY_USER_INPUT);
    if (ImportProgressIsCancelled()) return userCanceledErr;
    ImportProgressUpdate(added, scanned);
    return noErr;
}

OSErr ImportWindowProgress(short phase, long added, long scanned, long refCon) {
    switch (phase) {
        case 0: {
            wxWindow* owner = wxWindow::FindFocus() ? wxGetTopLevelParent(wxWindow::FindFocus()) : nullptr;
            if (!owner && wxTheApp) owner = wxTheApp->GetTopWindow();
            ImportProgressShow(owner);
            return noErr;
        }
        case 1:
            return ImportProgressCallback(phase, added, scanned, refCon);
        default:
            ImportProgressClose();
            return noErr;
    }
}
