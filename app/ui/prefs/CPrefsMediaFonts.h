// The fonts part of the Media page: the sample size, what the Media and Thumbnail views show
// of a font, and their sample texts (each enabled only while its list is on "sample text").
#pragma once

#include "app/ui/prefs/PreferencesPage.h"

class CPrefsMediaFonts : public PreferencesPage {
public:
    explicit CPrefsMediaFonts(PreferencesRec* prefs) : PreferencesPage(7023, prefs) {}
    void ToControls() override;
    void OnApply() override;

private:
    void UpdateSamples();
};
