// The Labels page: the nine labels' colours and names, taken from the label table when the
// page is made and, when the sheet is confirmed, stored as the 'LABL' setting and put back
// into the table.
#pragma once

#include "app/ui/prefs/PreferencesPage.h"

class CPrefsLabels : public PreferencesPage {
public:
    explicit CPrefsLabels(PreferencesRec* prefs) : PreferencesPage(362, prefs) {}
    void ToControls() override;
    void OnApply() override;
};
