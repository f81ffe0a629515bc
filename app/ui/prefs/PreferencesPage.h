// The common shape of the Preferences pages: built from their description, given their values
// from the preferences record when the sheet opens, and asked to write them back only when
// the sheet is confirmed. A page that becomes the shown one tells the sheet its number.
#pragma once

#include "foundation/settings/PreferencesRec.h"
#include "foundation/ui/CPropertyPage.h"

class PreferencesPage : public CPropertyPage {
public:
    PreferencesPage(std::uint32_t templateId, PreferencesRec* prefs) : CPropertyPage(templateId), prefs_(prefs) {}

    // The record's values into the controls (after Create).
    virtual void ToControls() = 0;
    // The controls' values into the record: the sheet was confirmed.
    virtual void OnApply() = 0;
    // Controls a user would use: the test and the sheet reach them through here.
    using CPropertyPage::Controls;

protected:
    PreferencesRec* prefs_;
};
