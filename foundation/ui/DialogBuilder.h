// Turns a dialog description (DialogDescription.h) into controls and sizers on a window, and
// hands back the controls by their ids. Spacing, label alignment and the font of every dialog
// come from here. Push buttons are created but left for the dialog base to lay out.
#pragma once

#include "foundation/ui/DialogDescription.h"

#include <wx/window.h>

#include <map>

// The ids of the system's two standard buttons, as descriptions and callers name them; the
// controls themselves carry wx's own ids, so Enter, Escape and validation work as wx expects.
enum : int { IDOK = 1, IDCANCEL = 2 };
int WxIdFromControlId(int id);
int ControlIdFromWxId(int id);

class DialogControls {
public:
    void Add(int id, wxWindow* control) { controls_[id] = control; }
    wxWindow* Find(int id) const {
        auto it = controls_.find(id);
        return it == controls_.end() ? nullptr : it->second;
    }
    // The control of that id as the class it must be; null when it is absent or of another class.
    template <class T>
    T* Get(int id) const {
        return dynamic_cast<T*>(Find(id));
    }

private:
    std::map<int, wxWindow*> controls_;
};

// Creates the controls of the description on the window, lays them out in a vertical sizer
// (set as the window's sizer, with the dialog margin around it) and records them. The
// caption, when the description has one, becomes the window's title.
void BuildDialog(wxWindow* window, const DialogDescription& description, DialogControls* controls);
