#include "foundation/ui/PopupMenus.h"

#include "foundation/ui/UiText.h"

#include <wx/window.h>

PopupMenu::PopupMenu() = default;

void PopupMenu::Append(const wxString& text, bool enabled, bool marked) {
    const int id = ++counter_;
    if (text.StartsWith("-")) {
        menu_.Append(new wxMenuItem(&menu_, id, wxString(), wxString(), wxITEM_SEPARATOR));
        return;
    }
    wxMenuItem* item = menu_.Append(id, text, wxString(), marked ? wxITEM_CHECK : wxITEM_NORMAL);
    if (marked) item->Check(true);
    item->Enable(enabled);
}

void PopupMenu::AppendItem(ConstStr255Param text, bool enabled, bool marked) {
    Append(WxFromPStr(text), enabled, marked);
}

void PopupMenu::AppendIndexedItem(long list, long index, bool enabled, bool marked) {
    Append(LoadIndexedUiString(list, index), enabled, marked);
}

void PopupMenu::IndentItem(int position) {
    if (position < 1 || size_t(position) > menu_.GetMenuItemCount()) return;
    wxMenuItem* item = menu_.FindItemByPosition(size_t(position - 1));
    if (item && !item->IsSeparator()) item->SetItemLabel("   " + item->GetItemLabel());
}

int PopupMenu::TrackAt(wxWindow* owner, const wxPoint& point) {
    if (!owner) return 0;
    const int chosen = owner->GetPopupMenuSelectionFromUser(menu_, point);
    return chosen == wxID_NONE ? 0 : chosen;
}
