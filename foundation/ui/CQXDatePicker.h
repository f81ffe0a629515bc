// Type a date: a date picker starting at today; OK keeps the dialog open until the picker
// holds a valid date.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "platform/MacDates.h"

class wxDatePickerCtrl;

class CQXDatePicker : public CLyrexDialog {
public:
    explicit CQXDatePicker(wxWindow* parent);

    // The chosen date (time of day 0), valid after OK.
    DateTimeRec Date() const { return date_; }
    wxDatePickerCtrl* Picker() const { return picker_; }

protected:
    bool TransferDataFromWindow() override;

private:
    wxDatePickerCtrl* picker_;
    DateTimeRec date_{};
};
