// The Define Helper Applications dialog: the helper list with each helper's icon and name, "Add..."
// to choose a program (a helper file is written for it and the helper joins the list at once) and
// "Remove" to delete the last selected helper and its file. At most 16 helpers; there is no
// Cancel, changes take effect as they are made.
#pragma once

#include "foundation/ui/CLyrexDialog.h"

#include <functional>

class wxListEvent;
class wxCommandEvent;

class CHelpersDlg : public CLyrexDialog {
public:
    enum : int { kRemove = 1117, kAdd = 1118, kList = 1166 };
    explicit CHelpersDlg(wxWindow* parent);

    // Where "Add..." asks for a program: the desktop's file chooser unless replaced (tests answer in
    // its place). False when cancelled.
    using ProgramChooser = std::function<bool(wxWindow* owner, wxString* program)>;
    static ProgramChooser& Chooser();

protected:
    bool OnInitDialog() override;

private:
    void BindEvents();
    void FillList();
    void UpdateButtons();
    void OnSelectionChanged(wxListEvent& event);
    void OnAdd(wxCommandEvent& event);
    void OnRemove(wxCommandEvent& event);
};
