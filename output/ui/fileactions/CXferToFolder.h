// The Transfer to Folder dialog: move the files (items follow, originals go), copy them (items
// follow the copies), or duplicate them (items stay). "Choose Folder..." keeps the choice in the
// preferences' transfer byte; the command then asks for the folder.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "platform/MacTypes.h"

class CXferToFolder : public CLyrexDialog {
public:
    // mode: the transfer byte (0 copy, 1 move, 2 duplicate), shown and, on OK, set.
    CXferToFolder(wxWindow* parent, UInt8* mode);

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    UInt8* mode_;
};
