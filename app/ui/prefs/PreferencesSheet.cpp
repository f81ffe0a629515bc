#include "app/ui/prefs/PreferencesSheet.h"

#include "app/AppStartup.h"
#include "app/PreferencesPages.h"
#include "app/ui/CQuantaroApp.h"
#include "app/ui/prefs/CPrefsGeneral.h"
#include "app/ui/prefs/CPrefsLabels.h"
#include "app/ui/prefs/CPrefsMedia.h"
#include "app/ui/prefs/CPrefsScratch.h"
#include "foundation/settings/Preferences.h"
#include "foundation/ui/UiText.h"

#include <wx/bookctrl.h>

PreferencesSheet::PreferencesSheet(wxWindow* parent, PreferencesRec* prefs, std::string* scratchFolder)
    : CLyrexPropertySheet(132, parent), prefs_(prefs) {
    pages_[0] = new CPrefsGeneral(prefs);
    pages_[1] = new CPrefsLabels(prefs);
    pages_[2] = new CPrefsScratch(prefs, scratchFolder);
    pages_[3] = new CPrefsMedia(prefs);
    const UInt16 titles[4] = {65501, 65502, 65503, 65504};
    for (int i = 0; i < 4; ++i) {
        AddPage(pages_[i], LoadUiString(titles[i]));
        pages_[i]->ToControls();
    }
    const int last = PreferenceByte(*prefs, kPrefsLastPageOffset);
    GetBookCtrl()->ChangeSelection(size_t(last <= 3 ? last : 0));
    LayoutDialog();
}

int PreferencesSheet::ShownPage() const { return GetBookCtrl()->GetSelection(); }

void PreferencesSheet::Apply() {
    for (PreferencesPage* page : pages_) page->OnApply();
    *PreferenceByte(prefs_, kPrefsLastPageOffset) = UInt8(ShownPage());
}

bool RunPreferences(wxWindow* parent) {
    PreferencesSheet sheet(parent, GetPreferences(), &GetApp().State().scratchFolder);
    if (sheet.DoModal() != IDOK) return false;
    sheet.Apply();
    SavePreferences();
    HandPreferencesToEngines();
    return true;
}
