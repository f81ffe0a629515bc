// The in-place editor that opens over a cell or a list row to rename or retype a value: a
// borderless child hosting a rename field, or, when it has a favorites list, a drop-down of
// the remembered values. It passes the done and cancel messages of its field to its own
// parent; the owner then reads the text, calls EndEdit to remember it, and destroys it.
#pragma once

#include <wx/window.h>

#include <string>
#include <vector>

class CRenameCombo;
class CRenameEdit;

class CInplaceEdit : public wxWindow {
public:
    CInplaceEdit() = default;
    // favoritesName empty: a plain rename field. flag is kept for the owner. A non-zero
    // fullHeight makes the plain field multi-line, growing to that height once its text
    // needs more than one line.
    bool Create(const wxRect& rect, wxWindow* parent, const wxString& text, const std::string& favoritesName,
                int flag = 0, int fullHeight = 0);

    wxString GetText() const;
    // Accepting an edit: with favorites, the text is remembered in the list.
    void EndEdit();
    int Flag() const { return flag_; }
    CRenameCombo* Combo() const { return combo_; }
    CRenameEdit* Edit() const { return edit_; }

private:
    void BindEvents();

    std::string favoritesName_;
    std::vector<std::string> favorites_;
    CRenameCombo* combo_ = nullptr;
    CRenameEdit* edit_ = nullptr;
    int flag_ = 0;
};
