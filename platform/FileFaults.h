// A hook through which tests make file writes fail, or stop the process at a chosen write, to
// show that what the core writes survives a full disk, an I/O error or a crash. The program
// never installs one.
#pragma once

#include "platform/MacTypes.h"

#include <functional>

enum class FileFaultPoint {
    kWrite,       // FSWrite, FSWriteAt (count: the bytes asked for)
    kSetLength,   // SetEOF, SetEOF64 (count: the new length)
    kFlush,       // FSFlushFile
    kReplace,     // FSpReplaceFile and the rename of a safe rewrite (refNum 0)
    kFlushFolder, // FSpSyncFolder and the folder flush of a safe rewrite (refNum 0)
};

// Consulted before the operation, outside the file table's lock (the hook may call the file
// calls, FSGetOpenFileSpec to see which file is meant). A non-zero answer makes the operation
// fail with that code before anything is done; 0 lets it go on.
using FileFaultHook = std::function<OSErr(SInt16 refNum, FileFaultPoint point, long count)>;

// Installs the hook (an empty one removes it).
void SetFileFaultHook(FileFaultHook hook);
// What the installed hook answers; 0 without a hook.
OSErr FileFaultCheck(SInt16 refNum, FileFaultPoint point, long count);
