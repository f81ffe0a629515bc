#include "app/ui/prefs/CPrefsGeneral.h"

#include "app/PreferencesPages.h"
#include "foundation/ui/UiText.h"

#include <wx/checkbox.h>
#include <wx/choice.h>

namespace {

struct ListTexts {
    int id;
    std::initializer_list<UInt16> texts;
};
const ListTexts kLists[] = {
    {1111, {32831, 32833}},
    {1005, {32835, 32921, 59447}},
    {1108, {32922, 32923, 32924, 32925, 32926}},
    {1109, {32927, 32928}},
    {1110, {32929, 32930}},
};

}  // namespace

void CPrefsGeneral::ToControls() {
    for (const ListTexts& list : kLists)
        if (auto* c = Controls().Get<wxChoice>(list.id)) {
            c->Clear();
            for (UInt16 t : list.texts) c->Append(LoadUiString(t));
        }
    const GeneralPage g = GeneralPageFrom(*prefs_);
    Controls().Get<wxCheckBox>(1104)->SetValue(g.buttonTips);
    Controls().Get<wxCheckBox>(1105)->SetValue(g.naturalSort);
    Controls().Get<wxCheckBox>(1106)->SetValue(g.warnRemoving);
    Controls().Get<wxCheckBox>(1107)->SetValue(g.warnBatching);
    Controls().Get<wxChoice>(1111)->SetSelection(g.startup);
    Controls().Get<wxChoice>(1005)->SetSelection(g.doubleClick);
    Controls().Get<wxChoice>(1108)->SetSelection(g.dimensions);
    Controls().Get<wxChoice>(1109)->SetSelection(g.resolution);
    Controls().Get<wxChoice>(1110)->SetSelection(g.date);
}

void CPrefsGeneral::OnApply() {
    GeneralPage g;
    g.buttonTips = Controls().Get<wxCheckBox>(1104)->GetValue();
    g.naturalSort = Controls().Get<wxCheckBox>(1105)->GetValue();
    g.warnRemoving = Controls().Get<wxCheckBox>(1106)->GetValue();
    g.warnBatching = Controls().Get<wxCheckBox>(1107)->GetValue();
    g.startup = Controls().Get<wxChoice>(1111)->GetSelection();
    g.doubleClick = Controls().Get<wxChoice>(1005)->GetSelection();
    g.dimensions = Controls().Get<wxChoice>(1108)->GetSelection();
    g.resolution = Controls().Get<wxChoice>(1109)->GetSelection();
    g.date = Controls().Get<wxChoice>(1110)->GetSelection();
    GeneralPageInto(g, prefs_);
}
