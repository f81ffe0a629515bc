#include "window/ui/CFieldRoundBar.h"

#include "foundation/ui/UiText.h"
#include "window/ui/CPaneViewList.h"

CFieldRoundBar::CFieldRoundBar(wxWindow* parent, wxWindowID id) : CRoundBar(parent, id, LoadUiString(14618)) {
    list_ = new CPaneViewList(this, 84);
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent&) { list_->SetFocus(); });
}

void CFieldRoundBar::LayoutBody() { list_->SetSize(BodyRect()); }
