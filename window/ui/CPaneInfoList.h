// The Info panel's field list: the catalog's Info rows for the current item (group headers,
// annotation fields with label and value, the values of keywords, people, categories and
// sets, and the rows that invite a double click to add a value), drawn row by row. The user
// selects rows, edits values in place, removes values (Delete), moves a value among the values
// of its field by dragging, and folds or unfolds groups. The list keeps no values: every edit
// goes into the catalog's pending edits, committed when the current item changes.
//
// An in-place editor ends by its key: Enter or focus loss stays, Tab and Shift-Tab go on to
// the next or previous row and edit it, Ctrl with an arrow moves the grid's current item (one
// back, a row up, one on, a row down) and edits the same field there. An editor that ends
// from its own message is deleted later, never inside that message.
#pragma once

#include "window/panels/InfoListModel.h"
#include "window/ui/CPaneListBase.h"

#include "platform/ui/WindowMessageEvent.h"

class CInplaceEdit;

class CPaneInfoList : public CPaneListBase {
public:
    CPaneInfoList(wxWindow* parent, wxWindowID id);
    ~CPaneInfoList() override;

    void AttachCatalog(CatalogRec* catalog) override;
    // Rebuilds the rows (only while shown, unless force); the top row is kept where it can be.
    void Load(bool force);
    // Forgets every row (the view went away).
    void Reset();
    const InfoListModel& Model() const { return model_; }
    // The Info row number of list row i, 0 for none.
    UInt32 InfoRowAt(int row) const;

    // Opens the editor on a row (editable rows only); false when none opened.
    bool BeginEdit(int row);
    // Ends the open editor with an end code of the editors (0 Enter, 1 Tab, 2 Shift-Tab, 3-6
    // Ctrl with Left, Up, Right, Down).
    void EndEdit(long reason);
    void CancelEdit();
    CInplaceEdit* Editor() const { return editor_; }
    int EditedRow() const { return editedRow_; }
    // The label column's width (widest field name + 20).
    int LabelWidth() const { return labelWidth_; }

    bool CanClickRow(int, int, int) override { return true; }
    bool OnRowClick(int row, int x, int y, bool doubleClick) override;
    bool DropPanelData(int x, int y, const PanelDragRef& data) override;
    bool TrackPanelDrag(int x, int y, bool leaving) override;

protected:
    void DrawRow(wxDC& dc, const wxRect& rect, int row) override;

private:
    void BindEvents();
    void OnKeyDown(wxKeyEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnMessage(WindowMessageEvent& event);
    void Rebuild();
    int SelectedItems() const;
    void SelectAlone(int row);
    void RetireEditor();
    void StartDrag();
    void MeasureLabels(wxDC& dc);
    void MoveCurrentItem(long reason, UInt32 field);
    void ShowSetPathMenu(UInt32 set, const wxPoint& at);

    InfoListModel model_;
    WindowMessageBridge bridge_;
    CInplaceEdit* editor_ = nullptr;
    int editedRow_ = -1;
    int labelWidth_ = 100;
    bool dragArmed_ = false;
    wxPoint pressPoint_;
    int insertionRow_ = -1;
};
