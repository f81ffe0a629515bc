// The Info panel: the side-panel pane that shows and edits the annotations of the catalog
// window's current item. Upper section: the Info field list under a bar naming the
// selection; lower section: the caption box; a split bar between them (kept in the catalog's
// Info split word).
//
// It listens to the catalog: before the current item changes (0x806e, sent at once) it stores
// the typed caption into the catalog's pending caption and commits every pending edit, so no
// annotation is lost; after the change (0x8070) and when the current item changed (0x806a) it
// loads again; when the view goes away (0x8076) it forgets its rows.
#pragma once

#include "platform/MacTypes.h"
#include "platform/ui/WindowMessageEvent.h"
#include "window/ui/CPaneWithSplit.h"

class CCommentRoundBar;
class CInfoRoundBar;
class CPaneInfoList;

class CPaneInfo : public CPaneWithSplit {
public:
    CPaneInfo(wxWindow* parent, wxWindowID id);
    ~CPaneInfo() override;

    void RefreshPane(bool force) override;
    void FocusSection(bool upper) override;
    void AttachCatalog(CatalogRec* catalog) override;
    // Stores the typed caption and commits the pending edits into the items.
    void StorePendingEdits();

    CInfoRoundBar* GetInfoBar() const { return infoBar_; }
    CCommentRoundBar* GetCommentBar() const { return commentBar_; }
    CPaneInfoList* GetList() const;
    SInt32 ShownItem() const { return current_; }

protected:
    UInt16* SplitWord() override;

private:
    void BindEvents();
    void OnMessage(WindowMessageEvent& event);
    void OnSelectionChanged();

    CInfoRoundBar* infoBar_;
    CCommentRoundBar* commentBar_;
    CatalogRec* catalog_ = nullptr;
    WindowMessageBridge bridge_;
    SInt32 current_ = -1;
    bool force_ = false;
};
