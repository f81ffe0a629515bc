// The Batch Rename dialog: one of four rules (numbered names, replaced text, added text,
// letter case) with its settings; only the chosen rule's controls show. It opens with the
// settings last used and, on "Rename", fills them in for the selected items.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "output/fileactions/BatchRename.h"

class wxCommandEvent;

class Clxbatchrn : public CLyrexDialog {
public:
    // spec: the settings shown and, after "Rename", filled in; selected: how many items the
    // rename covers (it sets the highest number).
    Clxbatchrn(wxWindow* parent, RenameSpec* spec, SInt32 selected);

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    void BindEvents();
    void OnRuleChosen(wxCommandEvent& event);
    void ShowRule(int index);

    RenameSpec* spec_;
    SInt32 selected_;
};
