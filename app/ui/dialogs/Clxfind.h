// The Find dialog: edits the current find query in up to six criteria rows (and/or, field,
// operator, value or date), chooses what a search does with its matches and whether it wraps,
// and keeps the saved queries (save this one, remove some, load one). "Find" stores the rows
// as the current query and the choices in the preferences' find options; the command then
// runs the search. Cancel changes nothing but the saved queries, which are kept at once.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "window/find/FindQuery.h"

struct CatalogRec;
class wxChoice;
class wxCheckBox;
class wxDatePickerCtrl;
class wxStaticText;
class wxTextCtrl;
class wxButton;

class Clxfind : public CLyrexDialog {
public:
    Clxfind(CatalogRec* catalog, wxWindow* parent);

    struct RowControls {
        wxChoice* conjunction = nullptr;  // of the row before (none for row 1)
        wxChoice* field = nullptr;
        wxChoice* op = nullptr;
        wxTextCtrl* value = nullptr;
        wxDatePickerCtrl* date = nullptr;
        wxStaticText* unit = nullptr;
    };
    const RowControls& Row(int r) const { return rows_[r]; }
    int VisibleRows() const { return visibleRows_; }
    const FindQuery& WorkingQuery() const { return working_; }

    // The more- and fewer-rows buttons.
    void MoreRows();
    void FewerRows();
    // A row's field choice changed: its operators, value control and unit follow the field.
    void FieldChanged(int r);
    // The saved-queries menu's three actions.
    void SaveThisQuery();
    void RemoveQueries();
    void LoadSavedQuery(UInt32 index);
    // The rows as they stand, read into the working copy (time stamp now).
    void ReadRows();
    // "Find": the rows become the current query, the choices the find options.
    bool TransferDataFromWindow() override;

protected:
    bool OnInitDialog() override;

private:
    void BindEvents();
    void FillRows();
    void FillRow(int r);
    void ShowRow(int r, bool show);
    void UpdateRowButtons();
    void Relayout();
    void OnQueriesButton();
    UInt8 KindOfRow(int r) const;

    CatalogRec* catalog_;
    int visibleRows_ = 1;
    FindQuery working_{};
    RowControls rows_[kFindRowCount];
    UInt8 kinds_[kFindRowCount] = {};
    wxChoice* action_ = nullptr;
    wxCheckBox* wrap_ = nullptr;
    wxButton* more_ = nullptr;
    wxButton* fewer_ = nullptr;
    wxButton* queries_ = nullptr;
};
