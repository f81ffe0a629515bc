#include "app/ui/commands/FindCommands.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/CQuantaroApp.h"
#include "app/ui/commands/CommandRules.h"
#include "app/ui/dialogs/Clxfind.h"
#include "app/ui/find/WxFindHost.h"
#include "window/find/FindSearch.h"

namespace {

enum : int {
    kFind = 32862,
    kFindAgain = 32863,
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

}  // namespace

void AddFindCommands(CommandRowAdder& add) {
    const Rule hasQuery([](const CommandContext&) { return HasFindQuery(); });
    add(kFind, kFind, kHasView, {}, Find);
    add(kFindAgain, kFindAgain, kHasView && hasQuery, {}, FindAgain);
}
