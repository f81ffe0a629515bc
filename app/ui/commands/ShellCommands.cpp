#include "app/ui/commands/ShellCommands.h"

#include "app/StandardFolders.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/commands/CommandRules.h"
#include "catalog/ui/CFolderDialogBase.h"
#include "foundation/ui/CLyrexWizard.h"
#include "foundation/ui/CWelcomeScreen4.h"
#include "foundation/ui/UiText.h"
#include "window/ui/CGridView.h"

namespace {

void GettingStarted(const CommandContext& c) {
    int chooseFolder = 0, pictures = 0;
    CLyrexWizard wizard(0, 1, LoadUiString(470), c.frame);
    wizard.AddPage(new CWelcomeScreen4(&chooseFolder, &pictures));
    if (wizard.DoModal() != IDOK) return;
    if (chooseFolder) c.frame->ImportFromFilesFolders();
    // Only the folders that were found are imported; a missing one is not an empty slot.
    if (pictures) {
        const std::vector<std::string> folders = StandardMediaFolders();
        if (!folders.empty()) c.frame->AddFiles(folders);
    }
}

void DropFolder(const CommandContext& c) {
    CDropFolderDlg dialog(CommandCatalog(c), c.frame);
    if (dialog.DoModal() == IDOK) c.frame->UpdateTitle();
}

}  // namespace

void AddShellCommands(CommandRowAdder& add) {
    add(33281, 33281, kHasView, {}, GettingStarted);
    add(33117, 33117, kHasView, {}, DropFolder);
}
