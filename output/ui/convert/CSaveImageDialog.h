// The picture side of the conversion dialogs: keeping colour profiles and metadata, and the
// size and resolution of the new pictures with their summary.
#pragma once

#include "output/ui/convert/CConvertDialogBase.h"

class CSaveImageDialog : public CConvertDialogBase {
public:
    CSaveImageDialog(std::uint32_t templateId, wxWindow* parent, bool hasCurrentItem);

    // Opens the Size or Resolution dialog on the record; true when it was confirmed.
    bool EditSize();
    bool EditResolution();

protected:
    bool OnInitDialog() override;
    void StateToControls() override;
    void ControlsToState() override;
    void Refresh() override;
};
