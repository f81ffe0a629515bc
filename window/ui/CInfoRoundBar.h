// The Info panel's upper section: a round bar titled after the selection ("Empty Selection",
// the current item's file name, or "Multiple Selection") with the current item's small
// picture in its header, over the Info field list.
#pragma once

#include "platform/MacTypes.h"
#include "window/ui/CRoundBar.h"

#include <wx/bitmap.h>

class CPaneInfoList;
struct CatalogRec;
struct ViewRec;

class CInfoRoundBar : public CRoundBar {
public:
    CInfoRoundBar(wxWindow* parent, wxWindowID id);
    // Loads the list for item (0: none) and sets the title and the header picture.
    void Load(ViewRec* view, CatalogRec* catalog, SInt32 item, bool force);
    CPaneInfoList* GetList() const { return list_; }
    SInt32 ShownItem() const { return shownItem_; }

protected:
    void LayoutBody() override;
    void DrawHeaderExtras(wxDC& dc) override;

private:
    CPaneInfoList* list_;
    SInt32 shownItem_ = 0;
    wxBitmap picture_;
};
