#include "output/ui/fileactions/WxResetPathsPrompts.h"

#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/PString.h"
#include "foundation/text/Unicode.h"
#include "foundation/ui/CFilesFoldersDlg.h"
#include "foundation/ui/CFolderBrowser.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/UiText.h"

namespace {

enum : short { kIconWarning = 2, kButtonOk = 1, kButtonCancel = 2, kButtonSearch = 5, kButtonRemove = 8 };

void ToPStr(const std::string& utf8, Str255 out) {
    const std::string ansi = Utf8ToAnsi(utf8);
    PStrFromBytes(out, ansi.data(), long(ansi.size() > 255 ? 255 : ansi.size()));
}

}  // namespace

void WxResetPathsPrompts::NoMissingFiles() { ShowAlertSimple(kIconWarning, 43, 0, kButtonOk, 0, 0); }

int WxResetPathsPrompts::MissingFiles(const std::string& catalogName, SInt32 count) {
    Str255 name, number, word;
    ToPStr(catalogName, name);
    ToPStr(std::to_string(count), number);
    LoadIndexedString(word, 128, count == 1 ? 8 : 9);
    return ShowAlert(kIconWarning, 71, 0, kButtonSearch, kButtonCancel, kButtonRemove, name, number, word);
}

bool WxResetPathsPrompts::PickReplacement(bool oneItem, FSSpec* picked) {
    std::string path;
    if (oneItem) {
        CFilesFoldersDlg dialog(wxString(), wxString(), LoadIndexedUiString(138, 2), owner_);
        if (dialog.DoModal() != 1 || dialog.Paths().empty()) return false;
        path = std::string(dialog.Paths()[0].utf8_str());
    } else {
        CFolderBrowser browser;
        const wxString prompt = LoadIndexedUiString(138, 7);
        browser.SetTitle(&prompt);
        char chosen[kFolderPathCapacity] = {};
        if (browser.Browse(owner_, chosen) != 2) return false;
        path = chosen;
    }
    return FSMakeFSSpecFromPath(path, picked) == noErr;
}
