#include "output/ui/fileactions/CResetPathsDlg.h"

#include "foundation/ui/CPictureStatic.h"
#include "foundation/ui/UiText.h"
#include "platform/Handles.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

namespace {

constexpr int kAllButton = 1086;
constexpr int kStopAllButton = 1087;
// Paths longer than this are cut for the eye; the full path stays in the record.
constexpr size_t kShownPathLength = 260;

}  // namespace

CResetPathsDlg::CResetPathsDlg(wxWindow* parent) : CLyrexDialog(180, parent, IDOK, IDCANCEL) { BindEvents(); }

CResetPathsDlg::~CResetPathsDlg() {
    for (PicHandle& p : pictures_) {
        if (p) DisposeHandle(p);
        p = nullptr;
    }
}

void CResetPathsDlg::SetFileInfo(int mode, const FSSpec& source, const ItemRec* sourceRecord, PicHandle sourcePicture,
                                 const FSSpec& destination, PicHandle destinationPicture) {
    mode_ = mode;
    source_ = ConflictRowsOfItem(source, sourceRecord);
    destination_ = ConflictRowsOfFile(destination);
    for (PicHandle& p : pictures_)
        if (p) DisposeHandle(p);
    pictures_[0] = sourcePicture;
    pictures_[1] = destinationPicture;
}

void CResetPathsDlg::SetText(int id, const std::string& utf8) {
    wxWindow* control = Controls().Find(id);
    if (!control) return;
    wxString text = WxFromUtf8(utf8);
    if (text.length() > kShownPathLength) text = text.Left(kShownPathLength);
    control->SetLabel(text);
}

bool CResetPathsDlg::OnInitDialog() {
    const ConflictDialogTexts t = ConflictTextsForMode(mode_);
    SetTitle(WxFromUtf8(t.caption));
    SetText(1088, t.sourceGroup);
    SetText(1089, t.destinationGroup);
    SetText(IDOK, t.button1);
    SetText(IDCANCEL, t.button2);
    SetText(kAllButton, t.buttonAll);
    SetText(kStopAllButton, t.buttonStopAll);
    const ConflictFileRows* rows[2] = {&source_, &destination_};
    const int firstRow[2] = {1094, 1098};
    for (int side = 0; side < 2; ++side) {
        SetText(firstRow[side], rows[side]->name);
        SetText(firstRow[side] + 1, rows[side]->type);
        SetText(firstRow[side] + 2, rows[side]->created);
        SetText(firstRow[side] + 3, rows[side]->modified);
        if (auto* picture = Controls().Get<CPictureStatic>(1102 + side)) {
            picture->SetMinSize(wxSize(128, 128));
            picture->SetPicture(pictures_[side]);
        }
    }
    // The two "All" buttons sit in a row of their own above the dialog's own two buttons.
    auto* all = Controls().Get<wxButton>(kAllButton);
    auto* stopAll = Controls().Get<wxButton>(kStopAllButton);
    if (all && stopAll && GetSizer()) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(all);
        row->AddStretchSpacer();
        row->Add(stopAll);
        GetSizer()->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 10);
    }
    if (auto* ok = Controls().Get<wxButton>(IDOK)) ok->SetDefault();
    return CLyrexDialog::OnInitDialog();
}

void CResetPathsDlg::BindEvents() {
    Bind(wxEVT_BUTTON, &CResetPathsDlg::OnButton, this);
}

void CResetPathsDlg::OnButton(wxCommandEvent& event) {
    switch (event.GetId()) {
    case wxID_OK: choice_ = 1; break;
    case wxID_CANCEL: choice_ = 2; break;
    case kAllButton: choice_ = 3; break;
    case kStopAllButton: choice_ = 4; break;
    default: event.Skip(); return;
    }
    EndModal(event.GetId());
}
