#include "app/ui/commands/CMenuHandler.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/commands/CommandTable.h"
#include "foundation/ui/CommandIds.h"
#include "window/grid/GridImport.h"

#include <wx/event.h>
#include <wx/utils.h>

namespace {

// The program's command ids run from the panel commands (190) to the framework's (57664), in
// wx's terms from 190 to WxIdOf(57664).
constexpr int kFirstCommand = 190;
constexpr int kLastCommand = 57664;
constexpr int kFirstWxId = kFirstCommand;
constexpr int kLastWxId = WxIdOf(kLastCommand);
constexpr int kExitCommand = 32836;

}  // namespace

void CMenuHandler::Attach() {
    frame_->Bind(wxEVT_MENU, &CMenuHandler::OnCommand, this, kFirstWxId, kLastWxId);
    frame_->Bind(wxEVT_TOOL, &CMenuHandler::OnCommand, this, kFirstWxId, kLastWxId);
    frame_->Bind(wxEVT_UPDATE_UI, &CMenuHandler::OnUpdate, this, kFirstWxId, kLastWxId);
}

bool CMenuHandler::Execute(int id) {
    const CommandContext context{frame_, id};
    const CommandRow* row = FindCommandRow(id);
    // Exit while an import runs stops the import first; the quit follows when it has ended.
    if (id == kExitCommand && frame_->IsBusy() && RequestQuitDuringImport()) return true;
    // Checked now, not when the menu last showed: an accelerator may come after the state changed.
    if (!row || !CommandIsEnabled(context) || (row->replacesCatalog && frame_->IsBusy())) {
        wxBell();
        return false;
    }
    row->run(context);
    return true;
}

void CMenuHandler::OnCommand(wxCommandEvent& event) {
    const int id = CommandOf(event.GetId());
    if (id < kFirstCommand || id > kLastCommand || (id >= wxID_LOWEST && id <= wxID_HIGHEST)) {
        event.Skip();
        return;
    }
    Execute(id);
}

void CMenuHandler::OnUpdate(wxUpdateUIEvent& event) {
    const int id = CommandOf(event.GetId());
    if (id >= wxID_LOWEST && id <= wxID_HIGHEST) {
        event.Skip();
        return;
    }
    const CommandContext context{frame_, id};
    const CommandRow* row = FindCommandRow(id);
    event.Enable(row && CommandIsEnabled(context) && !(row->replacesCatalog && frame_->IsBusy()));
    if (row && row->checked.IsSet()) event.Check(row->checked(context));
}
