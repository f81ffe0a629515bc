// "Convert Movie Files": movies into another format through FFmpeg. Choosing a format opens its
// settings at once, since a movie format means little without its codec and frame size.
#pragma once

#include "output/ui/convert/CConvertDialogBase.h"

class CConvertMoviesDialog : public CConvertDialogBase {
public:
    CConvertMoviesDialog(wxWindow* parent, bool hasCurrentItem);

protected:
    void OnFormatChanged() override;
};
