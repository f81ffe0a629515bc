// The label menus and the Open With menu as wx menus: label items carry a swatch of their label's
// colour and the label's name and number, helper items the helper's icon (GTK draws no menu
// items of ours, so the colours and icons are item bitmaps). The frame also dresses the label
// items of its own menus this way and keeps its Open With sub-menu filled with the helpers.
#pragma once

#include "app/LabelMenuModel.h"

#include <wx/bitmap.h>
#include <wx/menu.h>

class CLabelMenu : public wxMenu {
public:
    // Appends the items of one kind (kLabelMenuAssign, kLabelMenuFilter, kLabelMenuOpenWith) and
    // marks the menu built; answers true.
    bool Build(int kind);
    bool IsBuilt() const { return built_; }

private:
    bool built_ = false;
};

// A 16 x 16 swatch of the label's colour with a dark frame.
wxBitmap LabelSwatch(int label);
// The helper's 16 x 16 icon (a theme icon or an image file); not Ok when it has none.
wxBitmap HelperIcon(const HelperEntry& helper);
// Gives every label item of the menu (and its sub-menus) its label's name and swatch.
void DecorateLabelItems(wxMenu* menu);
// Fills the sub-menu of menu (or menu itself) that holds "Open With Default Application" with the
// Open With items of the helper list as it is now.
void FillOpenWithMenu(wxMenu* menu);
// The label items and the Open With sub-menus of a frame's menu bar.
void DressMenuBar(wxMenuBar* bar);
// Fills the sub-menus of the bar that hold "Open With Default Application" with the Open With
// items of the helper list as it is now.
void FillOpenWithMenus(wxMenuBar* bar);
// Every catalog window's Open With menus, after the helper list changed.
void RebuildAllOpenWithMenus();
