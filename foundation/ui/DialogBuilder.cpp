#include "foundation/ui/DialogBuilder.h"

#include "foundation/ui/UiText.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/datectrl.h>
#include <wx/hyperlink.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include "foundation/ui/CColourPickerButton.h"
#include "foundation/ui/CDrvListBox.h"
#include "foundation/ui/CPictureStatic.h"

namespace {

constexpr int kGap = 6;     // between controls of a group
constexpr int kMargin = 10;  // around the dialog's content

wxWindow* CreateControl(wxWindow* parent, const DialogItem& item) {
    const int id = WxIdFromControlId(item.id);
    const wxString text = item.stringId ? LoadUiString(UInt16(item.stringId)) : wxString();
    wxWindow* control = nullptr;
    if (item.kind == "text") {
        long style = item.right ? wxALIGN_RIGHT | wxST_NO_AUTORESIZE : 0;
        control = new wxStaticText(parent, id, text, wxDefaultPosition, wxDefaultSize, style);
    } else if (item.kind == "edit") {
        control = new wxTextCtrl(parent, id, text);
    } else if (item.kind == "password") {
        control = new wxTextCtrl(parent, id, text, wxDefaultPosition, wxDefaultSize, wxTE_PASSWORD);
    } else if (item.kind == "multiline") {
        control = new wxTextCtrl(parent, id, text, wxDefaultPosition, wxDefaultSize, wxTE_MULTILINE);
    } else if (item.kind == "list") {
        control = new wxListBox(parent, id, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxLB_EXTENDED);
    } else if (item.kind == "push") {
        control = new wxButton(parent, id, text);
    } else if (item.kind == "date") {
        control = new wxDatePickerCtrl(parent, id);
    } else if (item.kind == "radio") {
        control = new wxRadioButton(parent, id, text, wxDefaultPosition, wxDefaultSize,
                                    item.groupStart ? wxRB_GROUP : 0);
    } else if (item.kind == "check") {
        control = new wxCheckBox(parent, id, text);
    } else if (item.kind == "button") {
        control = new wxButton(parent, id, text);
    } else if (item.kind == "link") {
        control = new wxGenericHyperlinkCtrl(parent, id, text, wxString(), wxDefaultPosition, wxDefaultSize,
                                             wxHL_ALIGN_LEFT | wxNO_BORDER);
    } else if (item.kind == "picture") {
        control = new CPictureStatic(parent, id);
    } else if (item.kind == "bitmap") {
        control = new wxStaticBitmap(parent, id, wxBitmap());
    } else if (item.kind == "line") {
        control = new wxStaticLine(parent, id);
    } else if (item.kind == "choice") {
        control = new wxChoice(parent, id);
    } else if (item.kind == "drive") {
        control = new CDrvListBox(parent, id);
    } else if (item.kind == "colour") {
        control = new CColourPickerButton(parent, id);
    } else if (item.kind == "report") {
        control = new wxListCtrl(parent, id, wxDefaultPosition, wxDefaultSize,
                                 wxLC_REPORT | wxLC_NO_HEADER | wxLC_SINGLE_SEL | wxBORDER_SUNKEN);
    } else if (item.kind == "trackbar") {
        control = new wxSlider(parent, id, 0, 0, 100, wxDefaultPosition, wxDefaultSize, wxSL_HORIZONTAL | wxSL_AUTOTICKS);
    }
    if (!control) return nullptr;
    if (item.bold) control->SetFont(control->GetFont().Bold());
    // A long text in a wide place breaks into lines instead of running off the dialog.
    if (auto* label = dynamic_cast<wxStaticText*>(control); label && item.wide) label->Wrap(360);
    wxSize min = control->GetBestSize();
    if (item.wide) min.x = std::max(min.x, 300);
    if (item.tall) min.y = std::max(min.y, 120);
    control->SetMinSize(min);
    if (item.hidden) control->Hide();
    return control;
}

void AddItems(wxWindow* window, wxSizer* sizer, const DialogItem& group, DialogControls* controls) {
    const bool horizontal = group.kind == "row";
    bool first = true;
    for (const DialogItem& item : group.children) {
        if (item.kind == "space") {
            sizer->AddSpacer(item.size);
            continue;
        }
        if (!first) sizer->AddSpacer(kGap);
        first = false;
        if (item.kind == "column" || item.kind == "row" || item.kind == "group") {
            wxSizer* inner;
            if (item.kind == "group") {
                auto* frame = new wxStaticBox(window, item.id ? item.id : wxID_ANY, LoadUiString(UInt16(item.stringId)));
                if (item.id) controls->Add(item.id, frame);
                inner = new wxStaticBoxSizer(frame, wxVERTICAL);
            } else
                inner = new wxBoxSizer(item.kind == "row" ? wxHORIZONTAL : wxVERTICAL);
            AddItems(window, inner, item, controls);
            sizer->Add(inner, item.grow ? 1 : 0, horizontal ? int(wxALIGN_CENTER_VERTICAL) : int(wxEXPAND));
            continue;
        }
        wxWindow* control = CreateControl(window, item);
        if (!control) continue;
        controls->Add(item.id, control);
        if (item.kind == "button") {
            first = true;  // laid out by the dialog base, takes no room here
            continue;
        }
        int flags = horizontal ? int(wxALIGN_CENTER_VERTICAL) : int(wxEXPAND);
        sizer->Add(control, item.grow ? 1 : 0, flags);
    }
}

}  // namespace

int WxIdFromControlId(int id) { return id == IDOK ? wxID_OK : id == IDCANCEL ? wxID_CANCEL : id; }

int ControlIdFromWxId(int id) { return id == wxID_OK ? IDOK : id == wxID_CANCEL ? IDCANCEL : id; }

void BuildDialog(wxWindow* window, const DialogDescription& description, DialogControls* controls) {
    if (description.captionId) {
        if (auto* top = dynamic_cast<wxTopLevelWindow*>(window))
            top->SetTitle(LoadUiString(UInt16(description.captionId)));
    }
    auto* content = new wxBoxSizer(wxVERTICAL);
    AddItems(window, content, description.root, controls);
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(content, 1, wxEXPAND | wxALL, kMargin);
    window->SetSizer(outer);
}
