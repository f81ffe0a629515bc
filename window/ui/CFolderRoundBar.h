// The Organize panel's lower section: "Catalog Folders" over the folder list.
#pragma once

#include "window/ui/CRoundBar.h"

class CPaneFolderList;

class CFolderRoundBar : public CRoundBar {
public:
    CFolderRoundBar(wxWindow* parent, wxWindowID id);
    CPaneFolderList* GetList() const { return list_; }

protected:
    void LayoutBody() override;

private:
    CPaneFolderList* list_;
};
