#include "foundation/ui/CHyperLink.h"

#include "foundation/ui/UiText.h"
#include "foundation/utilities/OpenInBrowser.h"

#include <wx/msgdlg.h>
#include <wx/utils.h>

CHyperLink::CHyperLink(wxWindow* parent, wxWindowID id, const wxString& text, const wxString& url)
    : CHyperLinkBase(parent, id, text.empty() ? url : text), url_(url.empty() ? text : url) {
    SetToolTip(url_);
}

void CHyperLink::SetUrl(const wxString& url) {
    url_ = url;
    SetToolTip(url_);
    Refresh();
}

wxColour CHyperLink::CurrentColour() const {
    if (over_) return hover_;
    return visited_ ? visitedColour_ : link_;
}

bool CHyperLink::Open() {
    std::string error;
    if (OpenInBrowser(Utf8FromWx(url_), &error)) {
        visited_ = true;
        UpdateLook();
        return true;
    }
    wxBell();
    wxMessageBox(LoadUiString(61101) + WxFromUtf8(error), "Lyrex Ondrel", wxOK | wxICON_EXCLAMATION, this);
    return false;
}
