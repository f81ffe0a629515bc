// A format's own settings, standing for the settings dialog an export component brings: the
// quality of JPEG pictures; the video codec, bit rate and frame size of movies; the sound codec,
// bit rate, sample rate and channels of movies and sounds. Only the rows that apply to the
// format are shown; the codecs offered are those the machine's FFmpeg has.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "output/convert/ConvertOptions.h"

class CExporterSettingsDialog : public CLyrexDialog {
public:
    CExporterSettingsDialog(wxWindow* parent, ConvertMediaKind kind, const ExporterSettings& settings);
    const ExporterSettings& Settings() const { return settings_; }
    // True when the format has settings to show.
    static bool HasSettings(ConvertMediaKind kind, OSType subType);

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    void ShowRow(std::initializer_list<int> ids, bool show);

    ConvertMediaKind kind_;
    ExporterSettings settings_;
};
