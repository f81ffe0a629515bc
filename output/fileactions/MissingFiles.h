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
