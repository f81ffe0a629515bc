// Reset Paths: finding the items whose files are missing, and pointing them at the files again
// after they were moved or renamed folders: searched by name and size under a folder the user
// picks, with all its sub-folders, or a single file picked for a single item.
#pragma once

#include "output/fileactions/FileActions.h"

#include <string>
#include <vector>

// Selects the view's items whose files cannot be found (a pass over every shown item with the
// progress window "Resetting paths..."); *count is how many. userCanceledErr after a cancel
// (the selection is then left as it was).
OSErr SelectMissingItems(ViewRec* view, SInt32* count);

// What a search found.
struct LocateReport {
    OSErr err = noErr;                       // noErr, userCanceledErr, or the failure
    FileFailure failure;
    std::vector<FileActionStep> repointed;   // recorded path -> file found
    std::vector<std::string> stillMissing;   // recorded paths of items not found
};

// The selected items' missing files: with one item selected and a file picked, the item is
// pointed at that file. Otherwise picked is a folder: its files and those of all its sub-folders
// (symbolic links to folders are not followed) are matched to the missing items by exact name and,
// where the item knows its file's size, by size; each match is offered through the file-conflict
// asker (reset-path variant) unless Accept All was answered, Cancel All ends the search. The
// remembered answer is forgotten first. Progress and cancel through the progress window.
LocateReport LocateMissingFiles(ViewRec* view, const FSSpec& picked);

// What the Reset Paths command asks the user; the window installs the alert box and choosers.
class ResetPathsPrompts {
public:
    virtual ~ResetPathsPrompts() = default;
    // "There are no missing files in this catalog."
    virtual void NoMissingFiles() = 0;
    // "Catalog '<name>' contains <count> catalog item(s) not found in mounted volumes.":
    // 1 Search, 2 Cancel, 3 Remove.
    virtual int MissingFiles(const std::string& catalogName, SInt32 count) = 0;
    // A file or folder for one item (oneItem), else a folder; false when none was chosen.
    virtual bool PickReplacement(bool oneItem, FSSpec* picked) = 0;
};

// The Reset Paths command: selects the items whose files are missing; with none, tells so when
// asked to; otherwise asks, then searches (LocateMissingFiles with what the user picks) or
// removes those items from the catalog (their files are gone already). noErr, or
// userCanceledErr for a cancel of the pass or of the question. report (may be null) gets what a
// search did.
OSErr ResetPaths(ViewRec* view, bool reportWhenNone, ResetPathsPrompts& prompts, LocateReport* report);
