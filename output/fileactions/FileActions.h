// The file actions over a view's selected items: Copy to Folder, Move to Folder, Transfer to
// Folder, and the per-item procedures they run in the view engine's item loop. The catalog keeps
// pointing at the files (item names and alias, folder tree) wherever a file moved.
//
// Every run tells what it did: the files it changed, the items it passed over, and the failure
// that ended it with the file's name. A run cut halfway (a full disk, a vanished file, a refused
// permission, a cancel) has changed only the files listed as done, and the catalog agrees with
// the disk: an item is re-pointed only after its file arrived, and a file is moved back when the
// item cannot be re-pointed.
#pragma once

#include "output/fileactions/SafeFileMoves.h"
#include "window/view/ViewOperations.h"
#include "window/view/ViewRec.h"

#include <string>
#include <vector>

// The preference byte of Transfer to Folder.
enum : UInt8 {
    kTransferCopyAndRepoint = 0,
    kTransferMove = 1,
    kTransferDuplicate = 2,
};

// One file changed on disk (from -> to); for a rename both lie in one folder.
struct FileActionStep {
    std::string from, to;
};

// What one run of a command did.
struct FileActionReport {
    OSErr err = noErr;                    // the run's answer: noErr, userCanceledErr, or the failure
    FileFailure failure;                  // the file the failure concerns
    std::vector<FileActionStep> done;     // files changed, in order
    std::vector<FileFailure> passedOver;  // items left as they were (missing file, skipped, refused name)
};

// The state of one run, handed to the per-item procedures as their reference value.
struct FileActionRun {
    ViewRec* view = nullptr;              // may be null (no scrolling, no header bar)
    FSSpec destination;                   // the destination folder
    UInt8 transferMode = kTransferCopyAndRepoint;
    CopyProgressProc progress;            // during each copy; empty: the progress window's pump
    FileActionReport report;
};

// The per-item procedures (ItemActionProc; refCon is a FileActionRun). They answer 0 to go on,
// userCanceledErr after Skip All or a cancel, or the error that ends the run.
OSErr CopyItemToFolder(void* refCon, CatalogRec* catalog, SInt32 item, long parameter);
OSErr MoveItemToFolder(void* refCon, CatalogRec* catalog, SInt32 item, long parameter);
OSErr TransferItemToFolder(void* refCon, CatalogRec* catalog, SInt32 item, long parameter);

// The commands: the remembered conflict answer is forgotten, then the procedure runs over the
// view's selected items with the progress window ("Copying media files...", "Moving media
// files..."). The report says what was done.
FileActionReport CopySelectionToFolder(ViewRec* view, const FSSpec& folder);
FileActionReport MoveSelectionToFolder(ViewRec* view, const FSSpec& folder);
FileActionReport TransferSelectionToFolder(ViewRec* view, const FSSpec& folder, UInt8 transferMode);

// Re-points item n at file and shows it: scrolls the view to it and redraws the header bar
// when it is the current item. The re-pointing's answer.
OSErr RepointItem(ViewRec* view, CatalogRec* catalog, SInt32 n, const FSSpec& file, bool refresh);
// The progress procedure of copies inside an item loop: pumps the progress window and lets
// its Cancel stop a long copy.
CopyProgressProc ProgressWindowCopyProc();
