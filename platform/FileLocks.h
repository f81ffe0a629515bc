// Whole-file advisory locks held through one open of a file (open-file description locks).
//
// A lock belongs to the open, not to the process: two opens of one file conflict even inside
// one process, the lock lasts until it is given up or that open is closed, and it dies with a
// process that crashes. Other processes see it on local file systems and on network mounts
// that pass POSIX locks on. Linux lets anyone delete a file that others hold open, so a lock,
// not the file's presence, says that its holder is alive.
#pragma once

#include "platform/Files.h"

// Takes an exclusive lock on the whole file through this open (which must allow writing);
// fBsyErr when another open, in this process or another, holds a lock on the file.
OSErr FSLockFile(SInt16 refNum);
OSErr FSUnlockFile(SInt16 refNum);
// Whether another open holds a lock on the file that an exclusive lock through this open would
// conflict with. The open may be read-only; nothing is taken.
OSErr FSIsFileLockedElsewhere(SInt16 refNum, bool* locked);
// Whether the path the file was opened by still names this very file (not a file made there
// since, and not nothing).
OSErr FSIsOpenFileAtPath(SInt16 refNum, bool* same);
// Deletes the name the file was opened by, only while it still names this file; fnfErr when
// it names another file or none. The file stays open.
OSErr FSDeleteOpenFile(SInt16 refNum);
