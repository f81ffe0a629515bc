#include "app/ui/dialogs/CGoToDlg.h"

#include "app/ui/CMainFrame.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/text/TextEncoding.h"
#include "foundation/ui/UiText.h"
#include "window/ui/CGridView.h"
#include "window/view/ViewSelection.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <cstdlib>
#include <cstring>

namespace {

SInt32 VisibleCount(CMainFrame* frame) {
    ViewRec* view = frame ? frame->GetViewRec() : nullptr;
    return view ? ViewItemCount(view) : 0;
}

SInt32 LabelledCount(CMainFrame* frame) {
    CatalogRec* catalog = frame ? frame->GetCatalog() : nullptr;
    return catalog ? CatalogGetLabelledCount(catalog) : 0;
}

}  // namespace

void AssignPStrToCString(ConstStr255Param pstr, wxString& out) { out = WxFromPStr(pstr); }

CGoToDlg::CGoToDlg(CMainFrame* frame, GoToRequest* request)
    : CLyrexDialog(360, nullptr, IDOK, IDCANCEL), frame_(frame), request_(request) {
    kind_ = Controls().Get<wxChoice>(1002);
    numberEdit_ = Controls().Get<wxTextCtrl>(1453);
    textEdit_ = Controls().Get<wxTextCtrl>(1454);
    numberEdit_->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    textEdit_->SetMaxLength(255);
    kind_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { UpdateControls(); });
    numberEdit_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { UpdateControls(); });
    textEdit_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { UpdateControls(); });
}

bool CGoToDlg::OnInitDialog() {
    if (request_->number == 0) request_->number = 1;
    wxString text;
    AssignPStrToCString(request_->text, text);
    textEdit_->ChangeValue(text);
    numberEdit_->ChangeValue(wxString::Format("%d", request_->number));
    kind_->Clear();
    for (UInt16 id : {12, 13, 14}) kind_->Append(LoadUiString(id));
    kind_->SetSelection(request_->kind >= 1 && request_->kind <= 3 ? request_->kind - 1 : 0);
    CLyrexDialog::OnInitDialog();
    UpdateControls();
    return true;
}

void CGoToDlg::ReadFields(UInt8* kind, SInt32* number, Str255 text) const {
    *kind = UInt8(kind_->GetSelection() + 1);
    *number = SInt32(std::strtol(numberEdit_->GetValue().utf8_str(), nullptr, 10));
    PStrFromWx(textEdit_->GetValue(), text, 255);
}

bool CGoToDlg::CanGo() const {
    UInt8 kind;
    SInt32 number;
    Str255 text;
    ReadFields(&kind, &number, text);
    return GoToIsValid(kind, number, text, VisibleCount(frame_), LabelledCount(frame_));
}

void CGoToDlg::UpdateControls() {
    const int entry = kind_->GetSelection();
    numberEdit_->Show(entry == 0);
    textEdit_->Show(entry == 1);
    if (wxWindow* ok = FindWindow(wxID_OK)) ok->Enable(CanGo());
    Layout();
}

bool CGoToDlg::TransferDataFromWindow() {
    if (!CanGo()) return false;
    GoToRequest r;
    ReadFields(&r.kind, &r.number, r.text);
    *request_ = r;
    GoAgain(frame_, *request_);
    return true;
}

bool GoAgainEnabled(CMainFrame* frame, const GoToRequest& request) {
    return GoToIsValid(request.kind, request.number, request.text, VisibleCount(frame), LabelledCount(frame));
}

bool GoAgain(CMainFrame* frame, const GoToRequest& request) {
    if (!GoAgainEnabled(frame, request)) return false;
    ViewGoToItem(frame->GetViewRec(), request.kind, request.number, false, request.text);
    frame->GetGridView()->RedrawAll();
    return true;
}
