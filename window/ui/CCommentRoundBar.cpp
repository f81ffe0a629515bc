#include "window/ui/CCommentRoundBar.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoRow.h"
#include "foundation/ui/CPaneInfoCommentEditBox.h"
#include "foundation/ui/CRoundBarButton.h"
#include "foundation/ui/UiText.h"

namespace {

enum : short { kIconRevert = 2601, kIconChanged = 455, kIconUnchanged = 5002 };

}  // namespace

CCommentRoundBar::CCommentRoundBar(wxWindow* parent, wxWindowID id) : CRoundBar(parent, id, LoadUiString(51001)) {
    SetTitleInsets(22, 0);
    edit_ = new CPaneInfoCommentEditBox(this, 1233);
    revert_ = new CRoundBarButton(this, 1235, wxSize(16, 16));
    revert_->SetIcons(kIconRevert, kIconRevert, kIconRevert, kIconRevert);
    revert_->SetBaseColor(HeaderColour());
    revert_->SetToolTip(LoadUiString(13520));
    edit_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnCaptionChange(); });
    revert_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Revert(); });
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent&) { edit_->SetFocus(); });
}

void CCommentRoundBar::LayoutBody() {
    edit_->SetSize(BodyRect());
    revert_->SetSize(HeaderRect().x + 3, HeaderRect().y + 3, 16, 16);
}

void CCommentRoundBar::OnColoursChanged() { revert_->SetBaseColor(HeaderColour()); }

void CCommentRoundBar::SetText(const wxString& text) {
    edit_->ChangeValue(text);
    unchanged_ = text;
    changed_ = false;
    UpdateRevertIcon();
}

bool CCommentRoundBar::GetChangedText(wxString* text) const {
    *text = edit_->GetValue();
    return changed_;
}

void CCommentRoundBar::OnCaptionChange() {
    if (catalog_ && catalog_->infoCaptionState == kInfoStateUnchanged) catalog_->infoCaptionState = kInfoStateChanged;
    changed_ = true;
    UpdateRevertIcon();
}

void CCommentRoundBar::Revert() {
    if (!catalog_ || catalog_->infoCaptionState == kInfoStateFixed) return;
    InfoEditRevertCaption(catalog_);
    edit_->ChangeValue(unchanged_);
    changed_ = false;
    UpdateRevertIcon();
}

void CCommentRoundBar::UpdateRevertIcon() {
    short icon = kIconUnchanged;
    if (catalog_ && hasItem_ && catalog_->infoCaption)
        icon = catalog_->infoCaptionState == kInfoStateUnchanged && !changed_ ? kIconUnchanged : kIconChanged;
    revert_->SetIcons(icon, icon, icon, icon);
    revert_->Refresh();
}
