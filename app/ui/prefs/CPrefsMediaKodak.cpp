#include "app/ui/prefs/CPrefsMediaKodak.h"

#include "app/PreferencesPages.h"
#include "foundation/ui/UiText.h"

#include <wx/checkbox.h>
#include <wx/choice.h>

void CPrefsMediaKodak::ToControls() {
    const RawPage r = RawPageFrom(*prefs_);
    Controls().Get<wxCheckBox>(1463)->SetValue(r.embeddedPreview);
    auto* size = Controls().Get<wxChoice>(1462);
    size->Clear();
    for (UInt16 id : {24, 25, 26}) size->Append(LoadUiString(id));
    size->SetSelection(r.photoCdSize);
    auto* look = Controls().Get<wxChoice>(1003);
    look->Clear();
    for (UInt16 id : {27, 28}) look->Append(LoadUiString(id));
    look->SetSelection(r.lookProfile);
}

void CPrefsMediaKodak::OnApply() {
    RawPage r;
    r.embeddedPreview = Controls().Get<wxCheckBox>(1463)->GetValue();
    r.photoCdSize = Controls().Get<wxChoice>(1462)->GetSelection();
    r.lookProfile = Controls().Get<wxChoice>(1003)->GetSelection();
    RawPageInto(r, prefs_);
}
