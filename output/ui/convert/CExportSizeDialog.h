// The size of converted pictures (bytes 143-151 of the options record): their natural bounds,
// or scaled to fit a width and a height in pixels. Typing a number chooses "Scale media to fit".
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "output/convert/ConvertOptions.h"

class CExportSizeDialog : public CLyrexDialog {
public:
    CExportSizeDialog(wxWindow* parent, const ConvertOptionsRec& options);
    const ConvertOptionsRec& Options() const { return options_; }

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    ConvertOptionsRec options_;
};
