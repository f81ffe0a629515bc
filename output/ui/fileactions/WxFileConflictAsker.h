// The program's way of asking a file conflict: the reset-path dialog, modal over the given
// window, with the item's thumbnail and a thumbnail read from the other file (none when it is
// not a media file the program reads; the dialog is shown all the same).
#pragma once

#include "output/fileactions/FileConflicts.h"

class wxWindow;

class WxFileConflictAsker : public FileConflictAsker {
public:
    explicit WxFileConflictAsker(wxWindow* parent) : parent_(parent) {}
    int Ask(const FileConflict& conflict) override;

private:
    wxWindow* parent_;
};
