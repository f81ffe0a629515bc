// Pop-up menus built item by item from the core's texts: each appended item, a separator
// included, takes the next number from 1, and tracking the menu answers the number chosen
// (0 for none).
#pragma once

#include "platform/MacTypes.h"

#include <wx/menu.h>

class wxWindow;

class PopupMenu {
public:
    PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    // Text beginning with "-" appends a separator.
    void AppendItem(ConstStr255Param text, bool enabled, bool marked);
    void AppendIndexedItem(long list, long index, bool enabled, bool marked);
    // Puts three blanks before the text of the item at the 1-based position.
    void IndentItem(int position);
    // Shows the menu at the point of the owner; the number of the chosen item, or 0.
    int TrackAt(wxWindow* owner, const wxPoint& point);

    wxMenu& Menu() { return menu_; }
    int Count() const { return counter_; }

private:
    void Append(const wxString& text, bool enabled, bool marked);
    wxMenu menu_;
    int counter_ = 0;
};
