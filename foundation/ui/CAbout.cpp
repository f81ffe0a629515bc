#include "foundation/ui/CAbout.h"

#include "foundation/ui/CPictureStatic.h"
#include "foundation/ui/IconCache.h"
#include "foundation/ui/UiText.h"

#include <wx/button.h>
#include <wx/hyperlink.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>

namespace {
// The box is dark so that its white texts read as the design has them.
const wxColour kBackground(0x1F, 0x2F, 0x4F);
const wxColour kBuildColour(0x9E, 0xAE, 0xCF);
}  // namespace

CAbout::CAbout(bool fullSize, wxWindow* parent) : CLyrexDialog(100, parent, 0, 0, IDOK, false), fullSize_(fullSize) {}

bool CAbout::OnInitDialog() {
    SetBackgroundColour(kBackground);
    for (int id : {1133, 1080, 1081, 15553, 15554})
        if (wxWindow* w = Controls().Find(id)) w->SetForegroundColour(*wxWHITE);
    if (auto* version = Controls().Get<wxStaticText>(1081)) version->SetLabel(wxString::Format("Version %s", kProgramVersion));
    if (auto* build = Controls().Get<wxStaticText>(1084)) {
        build->SetLabel(wxString::Format("(Build %X)", kProgramBuild));
        build->SetForegroundColour(kBuildColour);
    }
    for (int id : {15553, 15554}) {
        if (auto* link = Controls().Get<wxGenericHyperlinkCtrl>(id)) {
            link->SetNormalColour(*wxWHITE);
            link->SetVisitedColour(*wxWHITE);
            link->SetHoverColour(kBuildColour);
            link->Bind(wxEVT_HYPERLINK, [this, id](wxHyperlinkEvent&) { SendCommand(id); });
        }
    }
    for (int id : {15555, 15556}) {
        if (auto* icon = Controls().Get<wxStaticBitmap>(id)) {
            icon->SetBitmap(GetIconCache().Get(kIconWebLink));
            icon->SetCursor(wxCursor(wxCURSOR_HAND));
            const int command = id == 15555 ? kAboutHomePageCommand : kAboutCheckUpdatesCommand;
            icon->Bind(wxEVT_LEFT_UP, [this, command](wxMouseEvent&) { SendCommand(command); });
        }
    }
    // The program ships no picture of its own for the box: the frame stays out of the way.
    if (auto* picture = Controls().Get<CPictureStatic>(1186); picture && !picture->Picture()) picture->Hide();
    CLyrexDialog::OnInitDialog();
    if (!fullSize_) {
        // A splash: everything from the separator down goes, and a click closes the box.
        bool below = false;
        for (wxWindow* child : GetChildren()) {
            if (child->GetId() == 15552) below = true;
            if (below) child->Hide();
        }
        if (wxWindow* ok = FindWindow(wxID_OK)) ok->Hide();
        Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) {
            if (IsModal()) EndModal(wxID_OK);
            if (GetParent()) GetParent()->Refresh();
        });
        GetSizer()->SetSizeHints(this);
        Layout();
    }
    return true;
}

void CAbout::SendCommand(int id) {
    wxWindow* target = GetParent();
    if (!target) return;
    wxCommandEvent command(wxEVT_MENU, id);
    command.SetEventObject(this);
    target->GetEventHandler()->AddPendingEvent(command);
}
