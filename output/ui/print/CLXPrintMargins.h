// Print Margins: the four margins in centimetres or inches (the locale's measure), shown with
// two decimals and the locale's separator, and "Mirror margins". OK stores them into the
// caller's record; a value that is not a number keeps the dialog open.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "output/print/PrintSettings.h"

class CLXPrintMargins : public CLyrexDialog {
public:
    CLXPrintMargins(wxWindow* parent, PrintSettingsRec* settings);

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    PrintSettingsRec* settings_;
};

enum : int { kMarginTopEdit = 1501, kMarginBottomEdit = 1502, kMarginLeftEdit = 1503, kMarginRightEdit = 1504, kMirrorCheck = 1505 };
