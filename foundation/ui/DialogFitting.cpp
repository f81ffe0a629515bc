#include "foundation/ui/DialogFitting.h"

#include "foundation/ui/DialogBuilder.h"

#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/window.h>

DialogUnits DialogUnitsOf(wxWindow* window) {
    wxSize px = window->ConvertDialogToPixels(wxSize(1000, 1000));
    return DialogUnits{px.x / 1500.0, px.y / 1625.0};
}

int GuiTextWidth(wxWindow* window, const wxString& text) {
    wxClientDC dc(window);
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    return dc.GetTextExtent(wxStripMenuCodes(text)).x;
}

void FitDialogButtons(wxWindow* dialog, int margin, int first, int second, int third) {
    const int ids[3] = {first, second, third};
    wxWindow* buttons[3] = {};
    std::array<ButtonSlot, 3> slots{};
    for (int i = 0; i < 3; ++i) {
        if (ids[i] == 0) continue;
        buttons[i] = dialog->FindWindow(WxIdFromControlId(ids[i]));
        // Only a direct child counts: a control of that id inside a panel is another thing.
        if (buttons[i] && buttons[i]->GetParent() != dialog) buttons[i] = nullptr;
        if (buttons[i]) slots[i] = ButtonSlot{true, GuiTextWidth(dialog, buttons[i]->GetLabel())};
    }
    const DialogUnits units = DialogUnitsOf(dialog);
    const int height = int(22 * units.y);
    const int gap = int(margin * units.x);

    wxSizer* top = dialog->GetSizer();
    if (!top) {
        top = new wxBoxSizer(wxVERTICAL);
        dialog->SetSizer(top);
    }
    // A second fitting replaces the row of the first.
    for (wxWindow* b : buttons) {
        if (b && b->GetContainingSizer()) b->GetContainingSizer()->Detach(b);
    }
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->AddSpacer(gap);
    if (buttons[0]) {
        buttons[0]->SetMinSize(wxSize(FittedButtonWidth(units, slots[0].textWidth), height));
        row->Add(buttons[0], 0);
    }
    row->AddStretchSpacer(1);
    for (int i = 1; i < 3; ++i) {
        if (!buttons[i]) continue;
        buttons[i]->SetMinSize(wxSize(FittedButtonWidth(units, slots[i].textWidth), height));
        row->Add(buttons[i], 0);
        row->AddSpacer(gap);
    }
    if (!buttons[1] && !buttons[2]) row->AddSpacer(gap);
    top->Add(row, 0, wxEXPAND | wxBOTTOM, int(margin * units.y));
}

void FitControlToText(wxWindow* dialog, int controlId, int extra) {
    wxWindow* control = dialog->FindWindow(WxIdFromControlId(controlId));
    if (!control) return;
    int width = 0, height = 0;
    FitControlSize(DialogUnitsOf(dialog), GuiTextWidth(dialog, control->GetLabel()), extra, &width, &height);
    control->SetMinSize(wxSize(width, height));
    control->SetSize(wxSize(width, height));
}
