#include "app/ui/commands/OpenWithCommands.h"

#include "app/helpers/HelperApplications.h"
#include "app/ui/CHelpersDlg.h"
#include "app/ui/CLabelMenu.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/commands/CommandRules.h"
#include "catalog/items/ItemFiles.h"
#include "foundation/utilities/OpenInBrowser.h"
#include "window/view/ViewSelection.h"

#include <wx/utils.h>

std::vector<std::string> SelectedItemFiles(ViewRec* view) {
    std::vector<std::string> files;
    if (!view) return files;
    for (SInt32 item = 1; ViewNextSelected(view, &item); ++item) {
        FSSpec file;
        if (CatalogFindItemPath(view->catalog, item, &file) == noErr && !file.path.empty()) files.push_back(file.path);
    }
    return files;
}

bool OpenWithHelper(std::size_t helper, const std::vector<std::string>& files) {
    const HelperEntry* entry = Helpers().At(helper);
    if (!entry) return false;
    std::string error;
    const LaunchResult result = LaunchHelper(*entry, files, &error);
    if (result == LaunchResult::kProgramMissing) {
        // The program is gone: the helper leaves the list and the menus, and nothing more is
        // started with it.
        Helpers().RemoveHelper(helper);
        RebuildAllOpenWithMenus();
    }
    if (result != LaunchResult::kStarted) wxBell();
    return result == LaunchResult::kStarted;
}

namespace {

void OpenWithDefault(const CommandContext& c) {
    bool failed = false;
    for (const std::string& file : SelectedItemFiles(CommandView(c)))
        if (!OpenInBrowser(file)) failed = true;
    if (failed) wxBell();
}

const Rule kHelperExists([](const CommandContext& c) {
    return Helpers().At(std::size_t(c.id - kFirstHelperCommand)) != nullptr;
});

}  // namespace

void AddOpenWithCommands(CommandRowAdder& add) {
    add(32888, 32888, kHasSelection, {}, OpenWithDefault);
    add(10017, 10017, kHasSelection, {}, OpenWithDefault);
    add(kFirstHelperCommand, kFirstHelperCommand + int(kMaxHelperItems) - 1, kHasSelection && kHelperExists, {},
        [](const CommandContext& c) {
            OpenWithHelper(std::size_t(c.id - kFirstHelperCommand), SelectedItemFiles(CommandView(c)));
        });
    add(33015, 33015, Rule(), {}, [](const CommandContext& c) {
        CHelpersDlg dialog(c.frame);
        dialog.DoModal();
        RebuildAllOpenWithMenus();
    });
}
