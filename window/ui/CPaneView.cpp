#include "window/ui/CPaneView.h"

#include "catalog/file/CatalogRec.h"
#include "window/ui/CFieldRoundBar.h"
#include "window/ui/CFolderRoundBar.h"
#include "window/ui/CPaneFolderList.h"
#include "window/ui/CPaneViewList.h"

namespace {

constexpr int kOrganizeDefaultSplit = 500;

}  // namespace

CPaneView::CPaneView(wxWindow* parent, wxWindowID id) : CPaneWithSplit(parent, id, kOrganizeDefaultSplit) {
    fields_ = new CFieldRoundBar(this, wxID_ANY);
    folders_ = new CFolderRoundBar(this, wxID_ANY);
    SetSections(fields_, folders_);
}

CPaneViewList* CPaneView::GetViewList() const { return fields_->GetList(); }
CPaneFolderList* CPaneView::GetFolderList() const { return folders_->GetList(); }

UInt16* CPaneView::SplitWord() { return catalog_ ? &catalog_->viewPrefs.word30 : nullptr; }

void CPaneView::AttachCatalog(CatalogRec* catalog) {
    catalog_ = catalog;
    GetViewList()->AttachCatalog(catalog);
    GetFolderList()->AttachCatalog(catalog);
    if (catalog) RestoreSplit();
}

void CPaneView::RefreshPane(bool force) {
    GetViewList()->Rebuild(force);
    GetFolderList()->Rebuild(force);
}

void CPaneView::FocusSection(bool upper) {
    if (upper) GetViewList()->SetFocus();
    else GetFolderList()->SetFocus();
}
