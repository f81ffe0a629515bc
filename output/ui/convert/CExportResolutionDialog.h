// The resolution written into converted pictures (bytes 152-159 of the options record): the
// source's own, or a custom number of dots per inch. Typing a number chooses "Custom".
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "output/convert/ConvertOptions.h"

class CExportResolutionDialog : public CLyrexDialog {
public:
    CExportResolutionDialog(wxWindow* parent, const ConvertOptionsRec& options);
    const ConvertOptionsRec& Options() const { return options_; }

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    ConvertOptionsRec options_;
};
