// The "Media Importers" dialog: the media categories (Images, Audio files, Animations/Movies)
// on the left; for the chosen one, the file formats the installed readers handle, each with
// its four-character types; and the version of the media back-end that reads sounds and
// movies. Read-only; OK closes it.
#pragma once

#include "foundation/ui/CLyrexDialog.h"

class wxListCtrl;
class wxListEvent;

class Clxmediaimp : public CLyrexDialog {
public:
    explicit Clxmediaimp(wxWindow* parent);

    // Fills the format list with the kinds of the category.
    void ShowCategory(int category);
    wxListCtrl* CategoryList() const;
    wxListCtrl* FormatList() const;

protected:
    bool OnInitDialog() override;

private:
    void OnCategorySelected(wxListEvent& event);
};
