// How a picture goes to the clipboard: its thumbnail, or its actual size at the screen's
// resolution. The choice is kept in the preferences.
#pragma once

#include "foundation/ui/CLyrexDialog.h"

class CPicCopyDlg : public CLyrexDialog {
public:
    explicit CPicCopyDlg(wxWindow* parent);

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;
};
