// The Show Duplicates dialog: how closely items must look alike (tight, average, loose) and
// which options the search takes. "Match selected items" is offered only when the window has
// a current item; without one its stored value is shown unticked and left as it was.
#pragma once

#include "app/DuplicateSettings.h"
#include "foundation/ui/CLyrexDialog.h"

class CDuplicatesDialog : public CLyrexDialog {
public:
    // settings: read when the dialog opens, written on "Search".
    CDuplicatesDialog(DuplicateSettings* settings, bool hasCurrentItem, wxWindow* frame);
    bool TransferDataFromWindow() override;

protected:
    bool OnInitDialog() override;

private:
    DuplicateSettings* settings_;
    bool hasCurrentItem_;
};
