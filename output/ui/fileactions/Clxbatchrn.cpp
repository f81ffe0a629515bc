#include "output/ui/fileactions/Clxbatchrn.h"

#include "foundation/ui/UiText.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

namespace {

constexpr int kRuleList = 1007;
constexpr int kRuleGroups[4] = {1020, 1021, 1022, 1023};

// The sizer below root that holds the frame of a group.
wxSizer* GroupSizer(wxSizer* root, wxWindow* frame) {
    for (wxSizerItem* item : root->GetChildren()) {
        wxSizer* s = item->GetSizer();
        if (!s) continue;
        if (auto* box = dynamic_cast<wxStaticBoxSizer*>(s); box && box->GetStaticBox() == frame) return s;
        if (wxSizer* found = GroupSizer(s, frame)) return found;
    }
    return nullptr;
}

std::string Utf8(const wxString& s) { return std::string(s.utf8_str()); }

}  // namespace

Clxbatchrn::Clxbatchrn(wxWindow* parent, RenameSpec* spec, SInt32 selected)
    : CLyrexDialog(141, parent, IDOK, IDCANCEL), spec_(spec), selected_(selected) {
    BindEvents();
}

bool Clxbatchrn::OnInitDialog() {
    if (auto* list = Controls().Get<wxChoice>(kRuleList)) {
        for (int i = 1; i <= 4; ++i) list->Append(LoadIndexedUiString(594, 40 + i));
        list->SetSelection(spec_->mode >= 1 && spec_->mode <= 4 ? spec_->mode - 1 : 0);
    }
    auto setText = [this](int id, const std::string& utf8) {
        if (auto* edit = Controls().Get<wxTextCtrl>(id)) edit->ChangeValue(WxFromUtf8(utf8));
    };
    setText(1008, spec_->baseText);
    setText(1009, std::to_string(spec_->number));
    setText(1010, spec_->searchText);
    setText(1011, spec_->replacement);
    setText(1012, spec_->addedText);
    if (auto* c = Controls().Get<wxCheckBox>(1013)) c->SetValue(spec_->zeroPad != 0);
    if (auto* c = Controls().Get<wxCheckBox>(1014)) c->SetValue(spec_->caseSensitive != 0);
    if (auto* r = Controls().Get<wxRadioButton>(1015 + (spec_->position <= 2 ? spec_->position : 0))) r->SetValue(true);
    if (auto* r = Controls().Get<wxRadioButton>(1018 + (spec_->letterCase <= 1 ? spec_->letterCase : 0))) r->SetValue(true);
    const bool done = CLyrexDialog::OnInitDialog();
    ShowRule(spec_->mode >= 1 && spec_->mode <= 4 ? spec_->mode - 1 : 0);
    return done;
}

void Clxbatchrn::ShowRule(int index) {
    if (!GetSizer()) return;
    for (int i = 0; i < 4; ++i)
        if (wxSizer* group = GroupSizer(GetSizer(), Controls().Find(kRuleGroups[i]))) group->ShowItems(i == index);
    Layout();
    GetSizer()->SetSizeHints(this);
}

bool Clxbatchrn::TransferDataFromWindow() {
    RenameDialogValues v;
    if (auto* list = Controls().Get<wxChoice>(kRuleList)) v.modeIndex = std::max(0, list->GetSelection());
    auto text = [this](int id) {
        auto* edit = Controls().Get<wxTextCtrl>(id);
        return edit ? Utf8(edit->GetValue()) : std::string();
    };
    v.baseText = text(1008);
    v.startText = text(1009);
    v.searchText = text(1010);
    v.replacement = text(1011);
    v.addedText = text(1012);
    if (auto* c = Controls().Get<wxCheckBox>(1013)) v.zeroPad = c->GetValue();
    if (auto* c = Controls().Get<wxCheckBox>(1014)) v.caseSensitive = c->GetValue();
    for (int i = 0; i < 3; ++i)
        if (auto* r = Controls().Get<wxRadioButton>(1015 + i); r && r->GetValue()) v.position = i;
    for (int i = 0; i < 2; ++i)
        if (auto* r = Controls().Get<wxRadioButton>(1018 + i); r && r->GetValue()) v.letterCase = i;
    RenameSpecFromDialog(v, selected_, spec_);
    return true;
}

void Clxbatchrn::BindEvents() {
    Bind(wxEVT_CHOICE, &Clxbatchrn::OnRuleChosen, this, kRuleList);
}

void Clxbatchrn::OnRuleChosen(wxCommandEvent& event) { ShowRule(event.GetSelection()); }
