#include "output/ui/convert/CConvertSoundsDialog.h"

CConvertSoundsDialog::CConvertSoundsDialog(wxWindow* parent, bool hasCurrentItem)
    : CConvertDialogBase(133, parent, ConvertMediaKind::Sound, hasCurrentItem) {}
