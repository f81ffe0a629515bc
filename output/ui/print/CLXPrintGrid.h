// Grid: the cells of one layout: the view's own size, a number of columns and rows, or a cell
// size shown in a unit (pixels, inches, centimetres, points or picas at 72 to the inch, to one
// decimal). Typing in a row's edit chooses that row; OK stores into the caller's block.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "output/print/PrintSettings.h"

class CLXPrintGrid : public CLyrexDialog {
public:
    CLXPrintGrid(wxWindow* parent, PrintGridBlock* block);

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    void BindEvents();
    void ShowSizes();
    void OnUnit(wxCommandEvent& event);
    void OnEditFocus(wxFocusEvent& event);

    PrintGridBlock* block_;
    UInt16 width_, height_;   // points, as last shown or typed
    short unit_;
};

enum : int {
    kGridDefaultRadio = 1701, kGridCellsRadio = 1702, kGridSizeRadio = 1703,
    kGridColumnsEdit = 1711, kGridRowsEdit = 1712, kGridWidthEdit = 1713, kGridHeightEdit = 1714, kGridUnitList = 1715,
};
