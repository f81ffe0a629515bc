#include "app/ui/commands/CommandTable.h"

#include "app/ui/commands/CommandRules.h"

#include "app/FrameList.h"
#include "app/RecentCatalogs.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/CQuantaroApp.h"
#include "catalog/sort/SortKeys.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/ui/CAbout.h"
#include "foundation/ui/UiText.h"
#include "output/fileactions/MissingFiles.h"
#include "output/ui/convert/ConvertCommands.h"
#include "output/ui/fileactions/WxResetPathsPrompts.h"
#include "window/ui/CMediaStatusBar.h"
#include "window/ui/CMyTabCtrl.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewSelection.h"
#include "window/ui/CGridView.h"

#include <wx/filedlg.h>

namespace {

ViewRec* View(const CommandContext& c) { return CommandView(c); }

// ---- actions ----------------------------------------------------------------------------------

void Redraw(const CommandContext& c) {
    c.frame->GetGridView()->ShowDamage();
    c.frame->UpdateTitle();
}

void Sort(const CommandContext& c, UInt32 key) {
    const UInt8 mode = GetPreferences()->naturalSortOrder ? kSortTextNatural : kSortTextByteOrder;
    ViewSortByField(View(c), key, mode);
    c.frame->GetGridView()->RedrawAll();
}

void Open(const CommandContext& c) {
    wxFileDialog dialog(c.frame, LoadUiString(13801), wxString(), "*.lxc",
                        "Lyrex Catalog Files (*.lxc)|*.lxc|All Files (*.*)|*", wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() == wxID_OK) GetApp().OpenCatalogInFrame(c.frame, Utf8FromWx(dialog.GetPath()));
}

void Close(const CommandContext& c) {
    GetApp().closeKeepsLast = true;
    c.frame->Close();
    GetApp().closeKeepsLast = false;
}

std::vector<CommandRow> MakeRows() {
    std::vector<CommandRow> rows;
    CommandRowAdder add(rows);
    const Rule always;
    // File
    add(57600, 57600, always, {}, [](const CommandContext&) { GetApp().NewFrame(true); });
    add(57601, 57601, always, {}, Open, true);
    add(kFirstRecentCommand, kFirstRecentCommand + 9, kRecentEntry, {}, [](const CommandContext& c) {
        if (const std::string* path = GetApp().Recent().At(std::size_t(c.id - kFirstRecentCommand)))
            GetApp().OpenCatalogInFrame(c.frame, *path);
    }, true);
    add(33014, 33014, kRecentNotEmpty, {}, [](const CommandContext&) {
        GetApp().Recent().Clear();
        GetApp().BuildRecentMenu();
    });
    add(57602, 57602, always, {}, Close, true);
    add(57603, 57603, kModified || !kHasFile, {}, [](const CommandContext& c) { c.frame->Save(); });
    add(32823, 32823, kHasView, {}, [](const CommandContext& c) { c.frame->SaveAs(); });
    add(190, 190, kHasView, {}, [](const CommandContext& c) { c.frame->ImportFromFilesFolders(); });
    add(33102, 33102, kTasksRunning, {}, [](const CommandContext& c) { c.frame->CancelRunningTasks(true); });
    add(32836, 32836, always, {}, [](const CommandContext&) { GetApp().CloseAllFrames(); }, true);
    // Edit
    add(32854, 32854, !kInMediaView && kHasItems, {}, [](const CommandContext& c) { ViewSelectAll(View(c)); Redraw(c); });
    add(32855, 32855, kHasSelection, {}, [](const CommandContext& c) { ViewDeselectAll(View(c)); Redraw(c); });
    add(32856, 32856, !kInMediaView && kHasItems, {}, [](const CommandContext& c) { ViewInvertSelection(View(c)); Redraw(c); });
    // View
    add(32791, 32793, kHasView, kTabIsThis, [](const CommandContext& c) { c.frame->SetViewMode(c.id - 32791); });
    add(32918, 32918, kHasView, kBarsShown, [](const CommandContext& c) { c.frame->ToggleBars(); });
    add(32872, 32872, kHasView, {}, [](const CommandContext& c) { ViewZoom(View(c), true); c.frame->GetGridView()->RedrawAll(); });
    add(32873, 32873, kHasView, {}, [](const CommandContext& c) { ViewZoom(View(c), false); c.frame->GetGridView()->RedrawAll(); });
    add(32857, 32857, kHasHiddenItems, {}, [](const CommandContext& c) { ViewShowAll(View(c)); c.frame->GetGridView()->RedrawAll(); c.frame->UpdateTitle(); });
    add(32858, 32858, kHasHiddenItems, {}, [](const CommandContext& c) { ViewShowHidden(View(c)); c.frame->GetGridView()->RedrawAll(); c.frame->UpdateTitle(); });
    add(32859, 32859, kHasSelection, {}, [](const CommandContext& c) { ViewShowSelected(View(c)); c.frame->GetGridView()->RedrawAll(); c.frame->UpdateTitle(); });
    add(32917, 32917, kHasSelection, {}, [](const CommandContext& c) { ViewHideSelected(View(c)); c.frame->GetGridView()->RedrawAll(); c.frame->UpdateTitle(); });
    add(33272, 33272, kCanGoBack, {}, [](const CommandContext& c) { ViewGoBack(View(c)); c.frame->GetGridView()->RedrawAll(); c.frame->UpdateTitle(); });
    add(33273, 33273, kCanGoForward, {}, [](const CommandContext& c) { ViewGoForward(View(c)); c.frame->GetGridView()->RedrawAll(); c.frame->UpdateTitle(); });
    const Rule sortKeySet([](const CommandContext& c) { return c.frame->SortKeyOf(c.id) != 0; });
    add(33199, 33250, sortKeySet && kHasItems, {}, [](const CommandContext& c) {
        Sort(c, c.frame->SortKeyOf(c.id));
    });
    add(32920, 32920, kHasItems && !kInMediaView, {}, [](const CommandContext& c) { Sort(c, kSortReverse); });
    // Items: the conversions run over the selected items, or every shown one when the dialog
    // says so; converted files may join the catalog, so the view is drawn again.
    add(33125, 33125, kHasItems, {}, [](const CommandContext& c) { ConvertImageFilesCommand(c.frame, View(c)); Redraw(c); });
    add(33126, 33126, kHasItems, {}, [](const CommandContext& c) { ConvertSoundFilesCommand(c.frame, View(c)); Redraw(c); });
    add(33127, 33127, kHasItems, {}, [](const CommandContext& c) { ConvertMovieFilesCommand(c.frame, View(c)); Redraw(c); });
    add(32865, 32865, kHasItems, {}, [](const CommandContext& c) {
        WxResetPathsPrompts prompts(c.frame);
        LocateReport report;
        ResetPaths(View(c), true, prompts, &report);
        c.frame->GetGridView()->RedrawAll();
        c.frame->UpdateTitle();
    });
    // Window
    add(32796, 32796, always, {}, [](const CommandContext&) { GetApp().TileDown(); });
    add(32797, 32797, always, {}, [](const CommandContext&) { GetApp().TileAcross(); });
    add(57650, 57650, always, {}, [](const CommandContext&) { GetApp().Cascade(); });
    add(kFirstWindowCommand, kFirstWindowCommand + 9, kWindowEntry, {}, [](const CommandContext& c) {
        ActivateFrame(dynamic_cast<CMainFrame*>(GetApp().GetFrameAt(std::size_t(c.id - kFirstWindowCommand))), true);
    });
    // Help
    add(57664, 57664, always, {}, [](const CommandContext& c) {
        CAbout about(true, c.frame);
        about.ShowModal();
    });
    // Each further menu area adds its rows from its own file.
    AddMoreCommandRows(add);
    return rows;
}

}  // namespace

void CommandRowAdder::operator()(int first, int last, Rule enabled, Rule checked, CommandAction run,
                                 bool replacesCatalog) {
    rows_.push_back(CommandRow{first, last, std::move(enabled), std::move(checked), std::move(run), replacesCatalog});
}

const std::vector<CommandRow>& CommandRows() {
    static const std::vector<CommandRow> rows = MakeRows();
    return rows;
}

const CommandRow* FindCommandRow(int id) {
    for (const CommandRow& row : CommandRows()) {
        if (id >= row.first && id <= row.last) return row.run ? &row : nullptr;
    }
    return nullptr;
}

bool CommandIsEnabled(const CommandContext& context) {
    const CommandRow* row = FindCommandRow(context.id);
    return row && row->enabled(context);
}
