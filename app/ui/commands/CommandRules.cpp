// The shared command conditions, defined over the frame's state.
#include "app/ui/commands/CommandRules.h"

#include "app/FrameList.h"
#include "app/RecentCatalogs.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/CQuantaroApp.h"
#include "catalog/tables/CatalogTables.h"
#include "window/ui/CMediaStatusBar.h"
#include "window/ui/CMyTabCtrl.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewSelection.h"

CatalogRec* CommandCatalog(const CommandContext& c) { return c.frame->GetCatalog(); }
ViewRec* CommandView(const CommandContext& c) { return c.frame->GetViewRec(); }

namespace {
CatalogRec* Catalog(const CommandContext& c) { return CommandCatalog(c); }
ViewRec* View(const CommandContext& c) { return CommandView(c); }
}  // namespace

const Rule kHasView([](const CommandContext& c) { return View(c) != nullptr; });
const Rule kHasItems([](const CommandContext& c) { return View(c) && ViewItemCount(View(c)) > 0; });
const Rule kHasSelection([](const CommandContext& c) { return View(c) && ViewCountSelected(View(c)) >= 1; });
const Rule kInMediaView([](const CommandContext& c) { return View(c) && ViewGetMode(View(c)) == kViewMedia; });
const Rule kHasHiddenItems([](const CommandContext& c) { return Catalog(c) && Catalog(c)->hiddenCount > 0; });
const Rule kHasFile([](const CommandContext& c) { return Catalog(c) && !Catalog(c)->fileSpec.path.empty(); });
const Rule kModified([](const CommandContext& c) { return Catalog(c) && CatalogIsModified(Catalog(c)); });
const Rule kRecentNotEmpty([](const CommandContext&) { return GetApp().Recent().Size() > 0; });
const Rule kCanGoBack([](const CommandContext& c) { return View(c) && ViewCanGoBack(View(c)); });
const Rule kCanGoForward([](const CommandContext& c) { return View(c) && ViewCanGoForward(View(c)); });
const Rule kTasksRunning([](const CommandContext& c) { return c.frame->GetStatusBarWindow()->BusyCount() != 0; });
const Rule kRecentEntry([](const CommandContext& c) {
    return GetApp().Recent().At(std::size_t(c.id - kFirstRecentCommand)) != nullptr;
});
const Rule kWindowEntry([](const CommandContext& c) {
    return GetApp().GetFrameAt(std::size_t(c.id - kFirstWindowCommand)) != nullptr;
});
const Rule kTabIsThis([](const CommandContext& c) { return c.frame->GetTabCtrl()->GetCurSel() == c.id - 32791; });
const Rule kBarsShown([](const CommandContext& c) { return c.frame->BarsShown(); });
