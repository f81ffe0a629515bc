#include "app/ui/commands/WxViewAlerts.h"

#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/text/TextEncoding.h"
#include "foundation/ui/Clxsavechanges.h"

namespace {

// Alert messages (list 130) and buttons (list 129).
enum : short {
    kRecycleQuestion = 3,
    kRecycleFailed = 20,
    kRemoveQuestion = 21,
    kButtonOk = 1,
    kButtonCancel = 2,
    kButtonRemove = 8,
    kButtonRecycle = 24,
};

}  // namespace

bool WxViewAlerts::Confirm(int kind, const std::string& text, const std::string& catalogName) {
    if (!GetPreferences()->warnWhenRemoving) return true;
    Str255 what, name;
    CStringToPStr(std::string_view(text), what, 255);
    CStringToPStr(std::string_view(catalogName), name, 255);
    if (kind == 2) return ShowAlert(kAlertWarning, kRecycleQuestion, 0, kButtonRecycle, kButtonCancel, 0, what) == 1;
    return ShowAlert(kAlertWarning, kRemoveQuestion, 0, kButtonRemove, kButtonCancel, 0, what, name) == 1;
}

void WxViewAlerts::ReportRecycleFailures(int) {
    ShowAlertSimple(kAlertWarning, kRecycleFailed, 0, kButtonOk, 0, 0);
}

void InstallViewAlerts() {
    static WxViewAlerts alerts;
    SetViewAlerts(&alerts);
}
