// What text goes to the clipboard: the file names, the path names, or all displayed fields
// separated by tabs. The choice is kept in the preferences. Its one button, OK, stands at the
// right.
#pragma once

#include "foundation/ui/CLyrexDialog.h"

class CTextCopyDlg : public CLyrexDialog {
public:
    explicit CTextCopyDlg(wxWindow* parent);

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;
};
