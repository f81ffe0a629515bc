#include "foundation/settings/ViewDefaults.h"

#include "foundation/settings/Preferences.h"

#include <cstring>

static_assert(sizeof(ViewPrefsFields::block320) == sizeof(PreferencesRec::viewBlock320));
static_assert(sizeof(ViewPrefsFields::block64) == sizeof(PreferencesRec::viewBlock64));
static_assert(sizeof(ViewPrefsFields::block96) == sizeof(PreferencesRec::viewBlock96));
static_assert(kViewBlock2064Size == sizeof(PreferencesRec::viewBlock2064));

void ViewDefaultsFromPrefs(ViewPrefsFields* view) {
    if (!view) return;
    const PreferencesRec& p = *GetPreferences();
    view->windowRect = p.windowRect;
    view->viewSetting = p.viewSetting;
    view->viewDimensions[0] = p.viewDimensions[0];
    view->viewDimensions[1] = p.viewDimensions[1];
    std::memcpy(view->viewFlags, p.viewFlags, sizeof view->viewFlags);
    std::memcpy(view->block320, p.viewBlock320, sizeof view->block320);
    std::memcpy(view->block64, p.viewBlock64, sizeof view->block64);
    std::memcpy(view->block96, p.viewBlock96, sizeof view->block96);
    if (view->block2064) std::memcpy(view->block2064, p.viewBlock2064, kViewBlock2064Size);
}

void ViewDefaultsToPrefs(const ViewPrefsFields* view) {
    if (!view) return;
    PreferencesRec& p = *GetPreferences();
    p.windowRect = view->windowRect;
    p.viewSetting = view->viewSetting;
    p.viewDimensions[0] = view->viewDimensions[0];
    p.viewDimensions[1] = view->viewDimensions[1];
    std::memcpy(p.viewFlags, view->viewFlags, sizeof p.viewFlags);
    std::memcpy(p.viewBlock320, view->block320, sizeof p.viewBlock320);
    std::memcpy(p.viewBlock64, view->block64, sizeof p.viewBlock64);
    std::memcpy(p.viewBlock96, view->block96, sizeof p.viewBlock96);
    if (view->block2064) std::memcpy(p.viewBlock2064, view->block2064, kViewBlock2064Size);
}
