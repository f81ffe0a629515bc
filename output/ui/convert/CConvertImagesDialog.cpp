#include "output/ui/convert/CConvertImagesDialog.h"

CConvertImagesDialog::CConvertImagesDialog(wxWindow* parent, bool hasCurrentItem)
    : CSaveImageDialog(318, parent, hasCurrentItem) {}
