// The General page: button tips, natural sort order, the two warnings, and the lists of what
// happens at start-up and on a double click, the units of dimensions and resolution and the
// date format.
#pragma once

#include "app/ui/prefs/PreferencesPage.h"

class CPrefsGeneral : public PreferencesPage {
public:
    explicit CPrefsGeneral(PreferencesRec* prefs) : PreferencesPage(183, prefs) {}
    void ToControls() override;
    void OnApply() override;
};
