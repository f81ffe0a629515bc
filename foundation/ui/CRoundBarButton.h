// The side panel's bar buttons: a base colour with a rounded shape in a shade of it by state
// (normal, hover, pressed, disabled), square corners on one side or both by the corner mode,
// and the state's icon at the top left.
#pragma once

#include "foundation/ui/ControlRules.h"

#include <wx/control.h>

class CRoundBarButton : public wxControl {
public:
    CRoundBarButton(wxWindow* parent, wxWindowID id, const wxSize& size = wxSize(24, 20));

    void SetIcons(short normal, short hover, short pressed, short disabled);
    // 0 round, 1 square right corners, 2 square left corners, 3 square all round.
    void SetCornerMode(int mode);
    void SetBaseColor(const wxColour& colour);
    // The shade drawn now, and the icon id it shows.
    wxColour CurrentShade() const;
    short CurrentIcon() const;

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);

    short icons_[4] = {0, 0, 0, 0};
    int cornerMode_ = 0;
    wxColour base_;
    bool pressed_ = false, hover_ = false;
};
