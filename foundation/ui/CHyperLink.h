// A link that opens its address with the desktop's handler when clicked, and shows in the
// visited colour once it has. A link that cannot be opened beeps and says why.
#pragma once

#include "foundation/ui/CHyperLinkBase.h"

class CHyperLink : public CHyperLinkBase {
public:
    // The text is the address when no address is given, and the address the text when empty.
    CHyperLink(wxWindow* parent, wxWindowID id, const wxString& text, const wxString& url = wxString());

    void SetUrl(const wxString& url);
    wxString Url() const { return url_; }
    bool Visited() const { return visited_; }
    // Opens the address: true and visited when a handler was started.
    bool Open();

protected:
    wxColour CurrentColour() const override;
    void OnClicked() override { Open(); }

private:
    wxString url_;
    wxColour visitedColour_{0x55, 0x1A, 0x8B};
    bool visited_ = false;
};
