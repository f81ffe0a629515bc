#include "output/ui/fileactions/CXferToFolder.h"

#include <wx/radiobut.h>

namespace {

// The radio buttons in their order on the dialog and the transfer byte each stands for.
constexpr int kButtons[3] = {1030, 1031, 1032};
constexpr UInt8 kModes[3] = {1, 0, 2};

}  // namespace

CXferToFolder::CXferToFolder(wxWindow* parent, UInt8* mode) : CLyrexDialog(482, parent, IDOK, IDCANCEL), mode_(mode) {}

bool CXferToFolder::OnInitDialog() {
    int shown = 1;   // an unknown byte shows "Copy files and reset paths"
    for (int i = 0; i < 3; ++i)
        if (kModes[i] == *mode_) shown = i;
    if (auto* r = Controls().Get<wxRadioButton>(kButtons[shown])) r->SetValue(true);
    return CLyrexDialog::OnInitDialog();
}

bool CXferToFolder::TransferDataFromWindow() {
    for (int i = 0; i < 3; ++i)
        if (auto* r = Controls().Get<wxRadioButton>(kButtons[i]); r && r->GetValue()) *mode_ = kModes[i];
    return true;
}
