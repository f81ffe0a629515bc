// Settling a name conflict while copying, moving or transferring files, and accepting a file
// found for an item whose file was missing: the answer of the file-conflict dialog, remembered
// for the rest of one command's run.
//
// The dialog itself belongs to the user interface, which installs an asker; the core only asks.
// Without an asker nothing is ever replaced (conflicts answer Skip) and a found file is
// accepted, so headless runs never overwrite a file.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/file/CatalogRecords.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

// The remembered answer: 0 none yet, 1 Replace (Accept), 2 Skip (Find Other), 3 Replace All
// (Accept All), 4 Skip All (Cancel All).
enum : int {
    kConflictNone = 0,
    kConflictReplace = 1,
    kConflictSkip = 2,
    kConflictReplaceAll = 3,
    kConflictSkipAll = 4,
};
// The dialog's three situations.
enum : int {
    kConflictResetPath = 0,  // a file found for a missing item
    kConflictCopy = 1,       // copying or transferring onto an existing file
    kConflictMove = 2,       // moving onto an existing file
};

int ConflictChoice();
void SetConflictChoice(int choice);
// Forgets the remembered answer; every command that may ask calls it before its loop.
void ResetConflictChoice();

// What the dialog shows: the item's own file (its record, when the item is known) and the other
// file.
struct FileConflict {
    int variant = kConflictCopy;
    FSSpec source;
    const ItemRec* sourceRecord = nullptr;  // may be null
    const CatalogRec* catalog = nullptr;    // the item's catalog and visible number, for its
    SInt32 item = 0;                        // thumbnail (null and 0 when not known)
    FSSpec destination;
};

class FileConflictAsker {
public:
    virtual ~FileConflictAsker() = default;
    // Answers 1..4 as above.
    virtual int Ask(const FileConflict& conflict) = 0;
};
// Installs the asker (nullptr: none); the caller keeps ownership.
void SetFileConflictAsker(FileConflictAsker* asker);
FileConflictAsker* GetFileConflictAsker();

// Asks and remembers the answer, which it also returns. Without an asker: Skip for a conflict,
// Accept for a found file.
int AskFileConflict(const FileConflict& conflict);
