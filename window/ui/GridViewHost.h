// What a grid view asks of the window that holds it (the catalog window): a frame-wide busy
// state while an import pumps events, its context menu, and the few frame reactions that live
// above this layer. The catalog window implements it; a grid view without a host does without.
#pragma once

#include <wx/gdicmn.h>

class GridViewHost {
public:
    virtual ~GridViewHost() = default;
    // An import starts (true) or ended (false): the frame refuses to close or replace its
    // catalog in between.
    virtual void GridSetBusy(bool busy) = 0;
    // The view's context menu at a point in the view's client coordinates.
    virtual void GridContextMenu(const wxPoint& where) = 0;
    // The title and status texts may have changed (items added, order changed).
    virtual void GridTitleChanged() = 0;
    // A quit was asked for while an import ran: the import was cancelled, now quit.
    virtual void GridQuitNow() = 0;
};
