// The digital camera raw and Photo CD part of the Media page: the embedded preview, the Photo
// CD size and the DCR look profile.
#pragma once

#include "app/ui/prefs/PreferencesPage.h"

class CPrefsMediaKodak : public PreferencesPage {
public:
    explicit CPrefsMediaKodak(PreferencesRec* prefs) : PreferencesPage(7024, prefs) {}
    void ToControls() override;
    void OnApply() override;
};
