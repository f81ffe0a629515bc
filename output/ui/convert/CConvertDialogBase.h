// What the three conversion dialogs share: the format pop-up with the kind's formats, the
// format's settings and their summary, "Selected items only", "Replace original files" and the
// option-set button, over the state of output/convert/ConvertDialogModel.h. OK ("Convert...")
// stores the state; the caller then runs the conversion.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "output/convert/ConvertDialogModel.h"
#include "output/optionsets/SuitcaseClient.h"

class CSuitcaseButton;
class wxChoice;

class CConvertDialogBase : public CLyrexDialog, public CSuitcaseClient {
public:
    CConvertDialogBase(std::uint32_t templateId, wxWindow* parent, ConvertMediaKind kind, bool hasCurrentItem);

    const ConvertDialogState& State() const { return state_; }
    CSuitcaseButton* OptionsButton() const { return optionsButton_; }
    wxChoice* FormatList() const;

    // The option-set client.
    void GetSettings(Handle* first, Handle* second, Handle* third) override;
    void SetSettings(Handle first, Handle second, Handle third) override;
    bool SettingsDiffer(Handle first, Handle second, Handle third) override;

    // Chooses the format at a 1-based position of the list, as the pop-up does (movies then
    // open its settings).
    void ChooseFormat(SInt32 position);
    // Runs the format's settings dialog; true when it was confirmed.
    bool EditSettings();

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;
    // The controls from the state, and the summary texts.
    virtual void StateToControls();
    virtual void ControlsToState();
    virtual void Refresh();
    virtual void OnFormatChanged() {}

    ConvertDialogState state_;

private:
    bool hasCurrentItem_;
    CSuitcaseButton* optionsButton_ = nullptr;
};
