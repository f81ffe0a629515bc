// The Reset Paths command's questions as the program asks them: the alert box for "no missing
// files" and for search / cancel / remove, the files-and-folders chooser for one item and the
// folder chooser for several.
#pragma once

#include "output/fileactions/MissingFiles.h"

class wxWindow;

class WxResetPathsPrompts : public ResetPathsPrompts {
public:
    explicit WxResetPathsPrompts(wxWindow* owner) : owner_(owner) {}
    void NoMissingFiles() override;
    int MissingFiles(const std::string& catalogName, SInt32 count) override;
    bool PickReplacement(bool oneItem, FSSpec* picked) override;

private:
    wxWindow* owner_;
};
