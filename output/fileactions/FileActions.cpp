#include "output/fileactions/FileActions.h"

#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/resources/ResourceStrings.h"
#include "output/fileactions/FileConflicts.h"
#include "platform/UiHooks.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewNames.h"

#include <sys/stat.h>

namespace {

FileActionRun* RunOf(void* refCon) { return static_cast<FileActionRun*>(refCon); }

bool TargetExists(const FSSpec& target) {
    struct stat st{};
    return lstat(target.path.c_str(), &st) == 0;
}

// The item's file and the path it takes in the destination folder. false (the item is passed
// over) when the item has no file, its file is missing, or it already lies in the folder.
bool SourceAndTarget(FileActionRun* run, CatalogRec* catalog, SInt32 item, FSSpec* source, FSSpec* target) {
    const OSErr err = CatalogFindItemPath(catalog, item, source);
    if (err != noErr) {
        run->report.passedOver.push_back({err == noErr ? OSErr(fnfErr) : err, source->path});
        return false;
    }
    if (SameFolderPath(FSSpecFolderPath(*source), run->destination.path)) return false;
    target->path = run->destination.path;
    if (target->path != "/") target->path += '/';
    target->path += FSSpecName(*source);
    return true;
}

CopyProgressProc ProgressOf(const FileActionRun* run) {
    return run->progress ? run->progress : ProgressWindowCopyProc();
}

FileConflict ConflictOf(int variant, CatalogRec* catalog, SInt32 item, const FSSpec& source, const FSSpec& target,
                        ItemRec* record) {
    FileConflict c;
    c.variant = variant;
    c.source = source;
    c.destination = target;
    c.catalog = catalog;
    c.item = item;
    if (ItemReadRecord(catalog, item, record) == noErr) c.sourceRecord = record;
    return c;
}

// The outcome of one item's step: a missing source or a kept file is passed over and the run goes
// on; any other failure ends it.
OSErr Settle(FileActionRun* run, OSErr err, const FileFailure& failure) {
    if (err == noErr) return noErr;
    if (err == fnfErr || err == dupFNErr) {
        run->report.passedOver.push_back(failure);
        return noErr;
    }
    run->report.failure = failure;
    return err;
}

// The answer of Copy and Move after their step: Skip All ends the run; otherwise as Settle.
OSErr Answer(FileActionRun* run, OSErr err, const FileFailure& failure) {
    if (ConflictChoice() == kConflictSkipAll) {
        if (err == noErr || err == dupFNErr) return userCanceledErr;
    }
    return Settle(run, err, failure);
}

}  // namespace

CopyProgressProc ProgressWindowCopyProc() {
    return [](SInt64 done, SInt64 total) -> OSErr {
        const double fraction = total > 0 ? double(done) / double(total) : 1.0;
        return GetUiHooks().ProgressFraction(1, fraction) == userCanceledErr ? OSErr(userCanceledErr) : OSErr(noErr);
    };
}

OSErr RepointItem(ViewRec* view, CatalogRec* catalog, SInt32 n, const FSSpec& file, bool refresh) {
    const OSErr err = CatalogSetItemFileSpec(catalog, n, &file, refresh);
    if (err != noErr || !view) return err;
    ViewScrollToItem(view, n);
    if (n == view->currentItem) ViewDrawHeaderBar(view);
    return noErr;
}

OSErr CopyItemToFolder(void* refCon, CatalogRec* catalog, SInt32 item, long) {
    FileActionRun* run = RunOf(refCon);
    FSSpec source, target;
    if (!SourceAndTarget(run, catalog, item, &source, &target)) return noErr;
    FileFailure failure;
    OSErr err = CopyMediaFile(source, target, false, ProgressOf(run), &failure);
    if (err == dupFNErr) {
        ItemRec record;
        if (ConflictChoice() != kConflictReplaceAll)
            AskFileConflict(ConflictOf(kConflictCopy, catalog, item, source, target, &record));
        const int choice = ConflictChoice();
        if (choice == kConflictReplace || choice == kConflictReplaceAll)
            err = CopyMediaFile(source, target, true, ProgressOf(run), &failure);
    }
    if (err == noErr) run->report.done.push_back({source.path, target.path});
    // The item keeps pointing at its original.
    return Answer(run, err, failure);
}

namespace {

// Moves the item's file (replacing the target when asked), then points the item at it. When
// the item cannot be re-pointed the file goes back, so the catalog never loses its file.
OSErr MoveAndRepoint(FileActionRun* run, CatalogRec* catalog, SInt32 item, const FSSpec& source, const FSSpec& target,
                     bool replace, FileFailure* failure) {
    OSErr err = MoveMediaFile(source, target, replace, ProgressOf(run), failure);
    if (err != noErr) return err;
    FSSpec moved;
    err = FSMakeFSSpecFromPath(target.path, &moved);
    if (err == noErr) err = RepointItem(run->view, catalog, item, moved, false);
    if (err != noErr) {
        FileFailure back;
        MoveMediaFile(target, source, false, nullptr, &back);
        failure->err = err;
        failure->path = source.path;
        return err;
    }
    run->report.done.push_back({source.path, target.path});
    return noErr;
}

}  // namespace

OSErr MoveItemToFolder(void* refCon, CatalogRec* catalog, SInt32 item, long) {
    FileActionRun* run = RunOf(refCon);
    FSSpec source, target;
    if (!SourceAndTarget(run, catalog, item, &source, &target)) return noErr;
    FileFailure failure;
    OSErr err = MoveAndRepoint(run, catalog, item, source, target, false, &failure);
    if (err == dupFNErr) {
        ItemRec record;
        if (ConflictChoice() != kConflictReplaceAll)
            AskFileConflict(ConflictOf(kConflictMove, catalog, item, source, target, &record));
        const int choice = ConflictChoice();
        // The existing file is replaced in the move's own last step, never deleted first.
        if (choice == kConflictReplace || choice == kConflictReplaceAll)
            err = MoveAndRepoint(run, catalog, item, source, target, true, &failure);
    }
    return Answer(run, err, failure);
}

OSErr TransferItemToFolder(void* refCon, CatalogRec* catalog, SInt32 item, long) {
    FileActionRun* run = RunOf(refCon);
    FSSpec source, target;
    if (!SourceAndTarget(run, catalog, item, &source, &target)) return noErr;
    bool replace = false;
    if (TargetExists(target)) {
        if (ConflictChoice() == kConflictSkipAll) return userCanceledErr;
        if (ConflictChoice() != kConflictReplaceAll) {
            ItemRec record;
            AskFileConflict(ConflictOf(kConflictCopy, catalog, item, source, target, &record));
        }
        const int choice = ConflictChoice();
        if (choice == kConflictSkipAll) return userCanceledErr;
        if (choice == kConflictSkip) {
            run->report.passedOver.push_back({dupFNErr, target.path});
            return noErr;
        }
        replace = true;
    }
    FileFailure failure;
    OSErr err;
    if (run->transferMode == kTransferMove) {
        err = MoveAndRepoint(run, catalog, item, source, target, replace, &failure);
    } else {
        err = CopyMediaFile(source, target, replace, ProgressOf(run), &failure);
        if (err == noErr && run->transferMode == kTransferCopyAndRepoint) {
            FSSpec copy;
            err = FSMakeFSSpecFromPath(target.path, &copy);
            if (err == noErr) err = RepointItem(run->view, catalog, item, copy, false);
            if (err != noErr) {
                failure = {err, target.path};
                // The copy stays (it may have replaced a file); the item keeps its original.
            }
        }
        if (err == noErr) run->report.done.push_back({source.path, target.path});
    }
    return Settle(run, err, failure);
}

namespace {

FileActionReport RunOverSelection(ViewRec* view, const FSSpec& folder, UInt8 mode, ItemActionProc proc, short titleIndex) {
    FileActionRun run;
    run.view = view;
    run.destination = folder;
    run.transferMode = mode;
    struct stat st{};
    if (folder.path.empty() || stat(folder.path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        run.report.err = folder.path.empty() ? OSErr(paramErr) : OSErr(dirNFErr);
        run.report.failure = {run.report.err, folder.path};
        return run.report;
    }
    ResetConflictChoice();
    Str255 title;
    LoadIndexedString(title, 136, titleIndex);
    const OSErr err = ViewRunOnItems(view, proc, &run, false, true, title, 1, 0);
    run.report.err = err;
    if (err != noErr && run.report.failure.err == noErr && err != userCanceledErr)
        run.report.failure.err = err;
    return run.report;
}

}  // namespace

FileActionReport CopySelectionToFolder(ViewRec* view, const FSSpec& folder) {
    return RunOverSelection(view, folder, kTransferDuplicate, CopyItemToFolder, 3);
}

FileActionReport MoveSelectionToFolder(ViewRec* view, const FSSpec& folder) {
    return RunOverSelection(view, folder, kTransferMove, MoveItemToFolder, 2);
}

FileActionReport TransferSelectionToFolder(ViewRec* view, const FSSpec& folder, UInt8 transferMode) {
    if (transferMode > kTransferDuplicate) transferMode = kTransferCopyAndRepoint;
    return RunOverSelection(view, folder, transferMode, TransferItemToFolder, 3);
}
