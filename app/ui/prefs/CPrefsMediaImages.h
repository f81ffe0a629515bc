// The images part of the Media page: skipping large images and the size limit (its slider
// enabled only while skipping is ticked, its label following the slider), the transparency
// background colour, built-in thumbnails and colour matching (both stored as "off" bytes),
// and the rendering quality.
#pragma once

#include "app/ui/prefs/PreferencesPage.h"

class CPrefsMediaImages : public PreferencesPage {
public:
    explicit CPrefsMediaImages(PreferencesRec* prefs) : PreferencesPage(7025, prefs) {}
    void ToControls() override;
    void OnApply() override;

private:
    void UpdateSizeLimit();
};
