// "Convert Sound Files": sounds (and the sound of movies) into another format through FFmpeg,
// with a summary of the sound settings.
#pragma once

#include "output/ui/convert/CConvertDialogBase.h"

class CConvertSoundsDialog : public CConvertDialogBase {
public:
    CConvertSoundsDialog(wxWindow* parent, bool hasCurrentItem);
};
