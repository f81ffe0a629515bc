// The Scratch page: the folder where open catalogs keep their work files, chosen with the
// desktop's folder chooser and shown shortened in the middle; confirmed, it becomes the
// program's scratch folder (and is stored as "ScratchFolder").
#pragma once

#include "app/ui/prefs/PreferencesPage.h"
#include "foundation/ui/CFolderBrowser.h"

#include <string>

class CPrefsScratch : public PreferencesPage {
public:
    CPrefsScratch(PreferencesRec* prefs, std::string* scratchFolder);
    void ToControls() override;
    void OnApply() override;
    // "Choose:": asks for the folder; a chosen one is shown and kept until the sheet closes.
    void Choose();
    CFolderBrowser& Browser() { return browser_; }
    const std::string& Folder() const { return folder_; }

private:
    void ShowFolder();
    std::string* scratchFolder_;
    std::string folder_;
    CFolderBrowser browser_;
};
