// The Preferences sheet: General, Labels, Scratch and Media, opening on the page shown when
// it was last confirmed. Its pages work on the preferences record, which only Apply changes:
// a cancelled sheet leaves the record, the labels and the scratch folder as they were.
#pragma once

#include "foundation/settings/PreferencesRec.h"
#include "foundation/ui/CLyrexPropertySheet.h"

#include <string>

class PreferencesPage;

class PreferencesSheet : public CLyrexPropertySheet {
public:
    PreferencesSheet(wxWindow* parent, PreferencesRec* prefs, std::string* scratchFolder);

    // Every page writes its values into the record, and the shown page is remembered.
    void Apply();
    PreferencesPage* Page(int n) const { return pages_[n]; }
    int ShownPage() const;

private:
    PreferencesRec* prefs_;
    PreferencesPage* pages_[4];
};

// The Preferences command: the sheet, and when it is confirmed, the record written, stored,
// and handed to the engines again. True when confirmed.
bool RunPreferences(wxWindow* parent);
