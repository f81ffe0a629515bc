#include "foundation/ui/CQXDatePicker.h"

#include <wx/datectrl.h>

CQXDatePicker::CQXDatePicker(wxWindow* parent)
    : CLyrexDialog(229, parent), picker_(Controls().Get<wxDatePickerCtrl>(1167)) {}

bool CQXDatePicker::TransferDataFromWindow() {
    if (!picker_) return false;
    const wxDateTime d = picker_->GetValue();
    if (!d.IsValid()) return false;  // the dialog stays open
    date_ = DateTimeRec{};
    date_.year = std::int16_t(d.GetYear());
    date_.month = std::int16_t(d.GetMonth() + 1);
    date_.day = std::int16_t(d.GetDay());
    date_.dayOfWeek = std::int16_t(d.GetWeekDay() + 1);
    return true;
}
