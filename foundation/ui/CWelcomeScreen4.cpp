#include "foundation/ui/CWelcomeScreen4.h"

#include "foundation/ui/CLyrexWizard.h"
#include "foundation/ui/IconCache.h"
#include "foundation/ui/UiText.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/hyperlink.h>
#include <wx/statbmp.h>

CWelcomeScreen4::CWelcomeScreen4(int* chooseFolderAnswer, int* picturesAnswer)
    : CPropertyPage(7036), chooseFolder_(chooseFolderAnswer), pictures_(picturesAnswer) {}

bool CWelcomeScreen4::OnSetActive() {
    BindLinks();
    wxWindow* sheet = wxGetTopLevelParent(this);
    if (!sheet) return true;
    // Only Finish remains, in Cancel's place, as "Continue".
    if (wxWindow* cancel = sheet->FindWindow(wxID_CANCEL)) cancel->Hide();
    if (wxWindow* back = sheet->FindWindow(ID_WIZBACK)) back->Hide();
    if (auto* finish = dynamic_cast<wxButton*>(sheet->FindWindow(ID_WIZFINISH))) {
        finish->SetLabel(LoadUiString(78));
        finish->Show();
    }
    sheet->Layout();
    return true;
}

bool CWelcomeScreen4::OnWizardFinish() {
    auto* choose = Controls().Get<wxCheckBox>(15557);
    auto* pictures = Controls().Get<wxCheckBox>(1131);
    if (chooseFolder_) *chooseFolder_ = choose && choose->GetValue() ? 1 : 0;
    if (pictures_) *pictures_ = pictures && pictures->GetValue() ? 1 : 0;
    return true;
}

void CWelcomeScreen4::BindLinks() {
    if (linksBound_) return;
    linksBound_ = true;
    static const struct { int link, icon, command; } kLinks[] = {
        {15558, 15562, kWelcomeGettingStartedCommand},
        {15560, 15564, kWelcomeFeatureTourCommand},
        {15561, 15565, kWelcomeShowcaseCommand},
    };
    auto send = [this](int command) {
        wxWindow* sheet = wxGetTopLevelParent(this);
        wxWindow* target = sheet ? sheet->GetParent() : nullptr;
        if (!target) return;
        wxCommandEvent event(wxEVT_MENU, command);
        target->GetEventHandler()->AddPendingEvent(event);
    };
    for (const auto& l : kLinks) {
        if (auto* link = Controls().Get<wxGenericHyperlinkCtrl>(l.link)) {
            link->Bind(wxEVT_HYPERLINK, [send, c = l.command](wxHyperlinkEvent&) { send(c); });
        }
        if (auto* icon = Controls().Get<wxStaticBitmap>(l.icon)) {
            icon->SetBitmap(GetIconCache().Get(kIconWebLink));
            icon->SetCursor(wxCursor(wxCURSOR_HAND));
            icon->Bind(wxEVT_LEFT_UP, [send, c = l.command](wxMouseEvent&) { send(c); });
        }
    }
}
