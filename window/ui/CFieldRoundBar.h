// The Organize panel's upper section: "Catalog Index" over the organize list.
#pragma once

#include "window/ui/CRoundBar.h"

class CPaneViewList;

class CFieldRoundBar : public CRoundBar {
public:
    CFieldRoundBar(wxWindow* parent, wxWindowID id);
    CPaneViewList* GetList() const { return list_; }

protected:
    void LayoutBody() override;

private:
    CPaneViewList* list_;
};
