// "Convert Image Files": pictures into another format through our graphics exporters.
#pragma once

#include "output/ui/convert/CSaveImageDialog.h"

class CConvertImagesDialog : public CSaveImageDialog {
public:
    CConvertImagesDialog(wxWindow* parent, bool hasCurrentItem);
};
