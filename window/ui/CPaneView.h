// The Organize panel: the "Catalog Index" section (every organize list of the catalog) over
// the "Catalog Folders" section (its folder tree), with a split bar between them kept in the
// catalog's Organize split word. Its lists listen to the catalog themselves.
#pragma once

#include "window/ui/CPaneWithSplit.h"

class CFieldRoundBar;
class CFolderRoundBar;
class CPaneFolderList;
class CPaneViewList;

class CPaneView : public CPaneWithSplit {
public:
    CPaneView(wxWindow* parent, wxWindowID id);

    void RefreshPane(bool force) override;
    void FocusSection(bool upper) override;
    void AttachCatalog(CatalogRec* catalog) override;
    CPaneViewList* GetViewList() const;
    CPaneFolderList* GetFolderList() const;

protected:
    UInt16* SplitWord() override;

private:
    CFieldRoundBar* fields_;
    CFolderRoundBar* folders_;
    CatalogRec* catalog_ = nullptr;
};
