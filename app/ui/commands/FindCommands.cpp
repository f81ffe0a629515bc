#include "app/ui/commands/FindCommands.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/CQuantaroApp.h"
#include "app/ui/commands/CommandRules.h"
#include "app/ui/dialogs/CDuplicatesDialog.h"
#include "app/ui/dialogs/CFindCatalogDialog.h"
#include "app/ui/dialogs/CGoToDlg.h"
#include "foundation/settings/Preferences.h"
#include "app/ui/dialogs/Clxcatinfo.h"
#include "app/ui/dialogs/Clxfind.h"
#include "app/ui/find/CheckForUpdates.h"
#include "app/ui/find/WxFindHost.h"
#include "app/ui/prefs/PreferencesSheet.h"
#include "window/ui/CGridView.h"
#include "window/find/FindSearch.h"

namespace {

enum : int {
    kFind = 32862,
    kFindAgain = 32863,
    kPreferences = 32916,
    kGoTo = 33139,
    kGoAgain = 33140,
    kCatalogInfo = 32830,
    kShowDuplicates = 32861,
    kCheckForUpdates = 33101,
    kCatalogFinder = 33178,
    kAboutHomePage = 15553,     // the about box's links
    kAboutCheckForUpdates = 15554,
};

void Find(const CommandContext& c) {
    Clxfind dialog(CommandCatalog(c), c.frame);
    if (dialog.DoModal() != IDOK) return;
    WxFindHost host;
    RunFind(&GetApp().State().findScope, host);
}

void FindAgain(const CommandContext&) {
    WxFindHost host;
    RunFind(&GetApp().State().findScope, host);
}

void GoTo(const CommandContext& c) {
    CGoToDlg dialog(c.frame, &GetApp().State().goTo);
    dialog.DoModal();
}

// The settings live in the preferences, so the choices are remembered across runs.
void ShowDuplicates(const CommandContext& c) {
    ViewRec* view = CommandView(c);
    DuplicateSettings settings = DuplicateSettingsFrom(*GetPreferences());
    CDuplicatesDialog dialog(&settings, ViewGetCurrentItem(view) != 0, c.frame);
    if (dialog.DoModal() != IDOK) return;
    DuplicateSettingsInto(settings, GetPreferences());
    ShowDuplicatesWith(view, settings);
    c.frame->GetGridView()->RedrawAll();
    c.frame->UpdateTitle();
}

// The changed values reach every window: labels, dates and units are drawn anew.
void Preferences(const CommandContext& c) {
    if (!RunPreferences(c.frame)) return;
    for (CMultiFrameWnd* f : GetApp().Frames().All())
        if (auto* frame = dynamic_cast<CMainFrame*>(f)) {
            frame->GetGridView()->RedrawAll();
            frame->UpdateTitle();
        }
}

}  // namespace

void AddFindCommands(CommandRowAdder& add) {
    const Rule hasQuery([](const CommandContext&) { return HasFindQuery(); });
    add(kFind, kFind, kHasView, {}, Find);
    add(kFindAgain, kFindAgain, kHasView && hasQuery, {}, FindAgain);
    add(kPreferences, kPreferences, {}, {}, Preferences);
    add(kGoTo, kGoTo, kHasItems, {}, GoTo);
    add(kShowDuplicates, kShowDuplicates, kHasItems, {}, ShowDuplicates);
    add(kCatalogFinder, kCatalogFinder, {}, {}, [](const CommandContext& c) {
        CFindCatalogDialog dialog(c.frame);
        if (dialog.DoModal() == IDOK && !dialog.Path().empty()) GetApp().OpenCatalogInFrame(c.frame, dialog.Path());
    }, true);
    add(kCheckForUpdates, kCheckForUpdates, {}, {}, [](const CommandContext&) { CheckForUpdates(false); });
    add(kAboutCheckForUpdates, kAboutCheckForUpdates, {}, {}, [](const CommandContext&) { CheckForUpdates(false); });
    add(kAboutHomePage, kAboutHomePage, {}, {}, [](const CommandContext&) { OpenProductPage(0); });
    add(kCatalogInfo, kCatalogInfo, kHasView, {}, [](const CommandContext& c) {
        Clxcatinfo dialog(c.frame);
        if (dialog.DoModal() == IDOK) c.frame->UpdateTitle();
    });
    const Rule goAgain([](const CommandContext& c) { return GoAgainEnabled(c.frame, GetApp().State().goTo); });
    add(kGoAgain, kGoAgain, goAgain, {}, [](const CommandContext& c) { GoAgain(c.frame, GetApp().State().goTo); });
}
