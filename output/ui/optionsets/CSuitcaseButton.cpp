#include "output/ui/optionsets/CSuitcaseButton.h"

#include "foundation/ui/UiText.h"

#include <wx/artprov.h>
#include <wx/menu.h>

CSuitcaseButton::CSuitcaseButton(wxWindow* parent, int id, const wxString& caption)
    : wxButton(parent, id, caption) {
    // A drop-down mark says that the button opens a menu.
    SetBitmap(wxArtProvider::GetBitmap(wxART_GO_DOWN, wxART_BUTTON, wxSize(16, 16)), wxRIGHT);
    BindEvents();
}

void CSuitcaseButton::BindEvents() {
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowOptionSetMenu(); });
}

void CSuitcaseButton::SetClient(CSuitcaseClient* client, OptionSetKind kind, SInt16 firstId, SInt16 secondId,
                                SInt16 thirdId) {
    client_ = client;
    kind_ = kind;
    ids_[0] = firstId;
    ids_[1] = secondId;
    ids_[2] = thirdId;
}

int CSuitcaseButton::TrackMenu(wxMenu& menu, const wxPoint& at) {
    const int chosen = GetPopupMenuSelectionFromUser(menu, at);
    return chosen == wxID_NONE ? 0 : chosen;
}

void CSuitcaseButton::ShowOptionSetMenu(int x, int y) {
    if (!client_) return;
    std::vector<std::string> names;
    const std::vector<OptionSetMenuItem> items = BuildOptionSetMenu(kind_, &names);
    wxMenu menu;
    // Items are numbered by position, as the menu logic counts them.
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int position = int(i) + 1;
        if (items[i].separator) {
            menu.AppendSeparator();
            continue;
        }
        menu.Append(position, WxFromUtf8(items[i].text));
        menu.Enable(position, items[i].enabled);
    }
    const wxPoint at = (x == 0 && y == 0) ? wxPoint(0, GetSize().y) : ScreenToClient(wxPoint(x, y));
    const int choice = TrackMenu(menu, at);
    if (choice > 0) ActOnOptionSetMenu(client_, kind_, ids_, choice, names);
}
