#include "app/ui/commands/SlideShowCommands.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/CQuantaroApp.h"
#include "app/ui/MenuBuilder.h"
#include "app/ui/commands/CommandRules.h"
#include "catalog/tables/CatalogTables.h"
#include "output/slideshow/CatalogSlideHost.h"
#include "output/slideshow/ScreenSaverInhibit.h"
#include "output/slideshow/SlideShowGrids.h"
#include "output/ui/slideshow/CSlideStageWindow.h"
#include "output/ui/slideshow/CSlideshowOptsDlg.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewRec.h"

#include <wx/utils.h>

#include <memory>

namespace {

constexpr int kRunSlideShow = 32919;
constexpr int kSlideShowOptions = 33108;
constexpr long kShowKeys = 461;

}  // namespace

bool RunSlideShow(CMainFrame* frame) {
    CatalogRec* catalog = frame ? frame->GetCatalog() : nullptr;
    ViewRec* view = frame ? frame->GetViewRec() : nullptr;
    if (!catalog || !view) return false;
    if (ViewIsPlaying(view)) ViewTogglePlayback(view);

    const wxAcceleratorTable showKeys = BuildAcceleratorTable(kShowKeys);
    // The hold lives as long as one of the two calls below still needs it.
    auto screenSaver = std::make_shared<ScreenSaverInhibit>();
    SlideHostShell shell;
    shell.enterShow = [frame, showKeys, screenSaver] {
        screenSaver->Hold("Slide show");
        frame->SetAcceleratorTable(showKeys);
        frame->Hide();
    };
    shell.leaveShow = [frame, screenSaver] {
        screenSaver->Release();
        frame->SetAcceleratorTable(GetApp().Accelerators());
        frame->Show();
        frame->Raise();
    };
    shell.beep = [] { wxBell(); };

    SlideShowRunArgs args;
    args.host = MakeCatalogSlideHost(catalog, view, shell);
    args.grids = LoadSlideShowGrids();
    args.itemCount = CatalogGetItemCount(catalog);
    args.startItem = ViewGetCurrentItem(view);
    if (!SlideShowRun(std::move(args), frame->GetRect(), frame, showKeys)) {
        wxBell();
        return false;
    }
    return true;
}

void AddSlideShowCommands(CommandRowAdder& add) {
    add(kRunSlideShow, kRunSlideShow, kHasItems, Rule(), [](const CommandContext& c) { RunSlideShow(c.frame); });
    add(kSlideShowOptions, kSlideShowOptions, kHasView, Rule(), [](const CommandContext& c) {
        CatalogRec* catalog = CommandCatalog(c);
        if (!catalog) return;
        UInt8 run = 0;
        CSlideshowOptsDlg dialog(catalog, &run, c.frame);
        dialog.DoModal();
        if (run) RunSlideShow(c.frame);
    });
}
