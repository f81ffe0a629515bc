// A pane of the side panel (Info or Organize): a plain window that the side panel shows,
// hides and focuses, and that follows the catalog window's catalog. It repaints nothing
// itself; it reloads when it is shown and lays its sections out when it is sized.
#pragma once

#include <wx/window.h>

struct CatalogRec;

class CPaneBase : public wxWindow {
public:
    CPaneBase(wxWindow* parent, wxWindowID id);

    // Reloads what the pane shows (force: even while hidden).
    virtual void RefreshPane(bool force) = 0;
    // Focus to the upper (true) or lower section.
    virtual void FocusSection(bool upper) = 0;
    virtual void LayoutChildren(bool redrawSplit) = 0;
    // The catalog the window now shows, or null before it lets it go: listening starts or stops.
    virtual void AttachCatalog(CatalogRec* catalog) = 0;

private:
    void BindEvents();
};
