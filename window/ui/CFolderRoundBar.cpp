#include "window/ui/CFolderRoundBar.h"

#include "foundation/ui/UiText.h"
#include "window/ui/CPaneFolderList.h"

CFolderRoundBar::CFolderRoundBar(wxWindow* parent, wxWindowID id) : CRoundBar(parent, id, LoadUiString(14803)) {
    list_ = new CPaneFolderList(this, 84);
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent&) { list_->SetFocus(); });
}

void CFolderRoundBar::LayoutBody() { list_->SetSize(BodyRect()); }
