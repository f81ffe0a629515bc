#include "output/ui/convert/ConvertCommands.h"

#include "foundation/ui/CFolderBrowser.h"
#include "foundation/ui/UiText.h"
#include "output/convert/ConvertRun.h"
#include "output/ui/convert/CConvertImagesDialog.h"
#include "output/ui/convert/CConvertMoviesDialog.h"
#include "output/ui/convert/CConvertSoundsDialog.h"
#include "output/ui/convert/WxConvertPrompts.h"
#include "output/ui/optionsets/WxOptionSetPrompts.h"
#include "platform/Files.h"
#include "window/view/ViewRec.h"

namespace {

OSErr Run(CConvertDialogBase& dialog, ViewRec* view) {
    InstallOutputPrompts();
    if (dialog.DoModal() != IDOK) return userCanceledErr;
    const ConvertDialogState& state = dialog.State();
    FSSpec folder;
    const FSSpec* destination = nullptr;
    if (!state.replaceOriginals) {
        CFolderBrowser browser;
        const wxString prompt = LoadUiString(13808);
        browser.SetTitle(&prompt);
        char path[kFolderPathCapacity] = {};
        if (browser.Browse(dialog.GetParent(), path) != 2) return userCanceledErr;
        FSMakeFSSpecFromPath(path, &folder);
        folder.path = path;
        destination = &folder;
    }
    return ExportMediaFiles(state.kind, view, nullptr, !state.selectedOnly, destination);
}

}  // namespace

void InstallOutputPrompts() {
    static WxConvertPrompts convert;
    static WxOptionSetPrompts optionSets;
    SetConvertPrompts(&convert);
    SetOptionSetPrompts(&optionSets);
}

OSErr ConvertImageFilesCommand(wxWindow* parent, ViewRec* view) {
    CConvertImagesDialog dialog(parent, view && view->currentItem != 0);
    return Run(dialog, view);
}

OSErr ConvertMovieFilesCommand(wxWindow* parent, ViewRec* view) {
    CConvertMoviesDialog dialog(parent, view && view->currentItem != 0);
    return Run(dialog, view);
}

OSErr ConvertSoundFilesCommand(wxWindow* parent, ViewRec* view) {
    CConvertSoundsDialog dialog(parent, view && view->currentItem != 0);
    return Run(dialog, view);
}
