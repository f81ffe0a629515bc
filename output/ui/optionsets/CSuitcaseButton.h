// The options button of a dialog whose settings can be kept as option sets: pressing it pops up
// "&Save...", "&Remove..." and the names of the kind's saved sets; choosing a name loads that
// set into the dialog (its client). The menu's logic is output/optionsets/OptionSetMenu.h;
// this class shows it.
#pragma once

#include "output/optionsets/OptionSetMenu.h"

#include <wx/button.h>

class wxMenu;

class CSuitcaseButton : public wxButton {
public:
    CSuitcaseButton(wxWindow* parent, int id, const wxString& caption);

    // Called by the owning dialog while it initialises.
    void SetClient(CSuitcaseClient* client, OptionSetKind kind, SInt16 firstId, SInt16 secondId, SInt16 thirdId);
    CSuitcaseClient* Client() const { return client_; }

    // Shows the menu at (x, y) in screen coordinates, or below the button when both are 0, and
    // acts on the choice.
    void ShowOptionSetMenu(int x = 0, int y = 0);

protected:
    // Shows the menu and answers the chosen item's position (1-based), 0 when dismissed.
    virtual int TrackMenu(wxMenu& menu, const wxPoint& at);

private:
    void BindEvents();

    CSuitcaseClient* client_ = nullptr;
    OptionSetKind kind_ = 0;
    SInt16 ids_[3] = {0, 0, 0};
};
