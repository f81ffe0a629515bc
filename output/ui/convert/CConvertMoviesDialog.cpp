#include "output/ui/convert/CConvertMoviesDialog.h"

CConvertMoviesDialog::CConvertMoviesDialog(wxWindow* parent, bool hasCurrentItem)
    : CConvertDialogBase(135, parent, ConvertMediaKind::Movie, hasCurrentItem) {}

void CConvertMoviesDialog::OnFormatChanged() { EditSettings(); }
