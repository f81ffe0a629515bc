// The Organize panel's "Catalog Index" list: for every organizable field the catalog shows, a
// header row and, while the field is unfolded, a row per entry of its organize list with its
// item count (keywords, people, categories, dates, sets, labels, kinds ...). A click makes
// entries the view's filters (plain: the entry alone, Ctrl: toggled, Shift: a range); headers
// and containers fold and unfold; an entry is renamed in place; items dragged from the grid
// onto an entry get its value; sets are moved and re-levelled by dragging. The rows come from
// OrganizeBuildRows and are drawn on demand, so long lists cost only their visible rows.
#pragma once

#include "platform/ui/WindowMessageEvent.h"
#include "window/panels/OrganizeRows.h"
#include "window/ui/CPaneListBase.h"

class CInplaceEdit;

class CPaneViewList : public CPaneListBase {
public:
    CPaneViewList(wxWindow* parent, wxWindowID id);
    ~CPaneViewList() override;

    void AttachCatalog(CatalogRec* catalog) override;
    // Builds the rows again (only while shown, unless force).
    void Rebuild(bool force);
    const std::vector<OrganizeRow>& Rows() const { return rows_; }
    int FindRow(UInt32 field, SInt32 entry) const { return OrganizeFindRow(rows_, field, entry); }
    bool BeginRename(int row);
    CInplaceEdit* Editor() const { return editor_; }
    // The entry menu's command on a row (kOrganizeCmd...); those that remove or empty ask first.
    void RunEntryCommand(int row, short command);
    // The field menu of a header row: 1 Add (sets: Add new set), 2 Delete..., 3 Rename.
    void RunFieldCommand(int row, int which);
    // The Catalog Index section's menu of shown fields and the saved default list, and its
    // command for a code of that menu (a field id toggles the field).
    void ShowFieldOrganizerMenu(const wxPoint& at);
    void RunFieldOrganizerCommand(UInt32 code);
    // Removes the filtered entries after asking (the Delete key and "Delete...").
    void RemoveSelectedGroups();

    bool CanClickRow(int row, int x, int y) override;
    bool OnRowClick(int row, int x, int y, bool doubleClick) override;
    bool DropGridItems(int x, int y, ViewRec* view) override;
    bool TrackGridDrag(int x, int y, bool leaving) override;
    bool DropPanelData(int x, int y, const PanelDragRef& data) override;
    bool TrackPanelDrag(int x, int y, bool leaving) override;
    bool ToggleRowForDrag(int row, bool panelDrag, bool expandOnly) override;

protected:
    void DrawRow(wxDC& dc, const wxRect& rect, int row) override;

private:
    void BindEvents();
    void OnMessage(WindowMessageEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnRightDown(wxMouseEvent& event);
    void ShowEntryMenu(int row, const wxPoint& at);
    void ShowFieldMenu(int row, const wxPoint& at);
    // A new entry after entry `after` (0: at the start) at level, then its rename.
    void AddEntry(UInt32 field, UInt32 after, UInt8 level, bool container);
    // "Add" on the dates: asks for a date and makes its entry, empty.
    void AddDate();
    void EndRename(bool accept);
    void SyncSelection();
    void AfterFilterChange(int row);
    void StartSetDrag();

    std::vector<OrganizeRow> rows_;
    WindowMessageBridge bridge_;
    CInplaceEdit* editor_ = nullptr;
    UInt32 editedField_ = 0;
    SInt32 editedEntry_ = 0;
    bool dragArmed_ = false;
    wxPoint pressPoint_;
    int dropRow_ = -1, dropLevel_ = -1;
    int hoverRow_ = -1;
    int hotRow_ = -1;
};
