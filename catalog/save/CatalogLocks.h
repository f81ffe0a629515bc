// Lock files: how the users that have one catalog file open know of each other.
//
// Each open catalog with a file holds one of ten slot files beside it (beside the real file,
// when it was opened through a symbolic link), named like the catalog
// file with "_" and the slot digit appended ("Photos.lxc_0" .. "Photos.lxc_9") and holding the
// 10 bytes "LYREX LOCK". A slot is in use while its holder keeps a lock on the open slot file
// (platform/FileLocks.h); the file alone proves nothing, because Linux lets anyone delete an
// open file and a crashed holder leaves its file behind. Slot files are created exclusively
// and locked before they carry the text, so two users opening at the same moment never share a
// slot. A slot file that does not begin with the text (nor is a beginning of it, as a holder
// that died while taking the slot leaves) is someone else's: never touched, and in use.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

struct CatalogRec;

inline constexpr int kLockSlotCount = 10;
inline constexpr char kLockFileText[] = "LYREX LOCK";   // written without the terminator
inline constexpr long kLockFileTextLength = 10;

// True when the file's first 10 bytes are the lock text.
bool LockFileIsOurs(const FSSpec* spec);

// Takes the first free slot of the catalog file: creates its slot file, locks it and writes
// the text; the slot file stays open as *lockRefNum. A slot is free when its file is missing,
// or is ours and no longer locked (a stale lock, deleted first). permErr (-54) when all ten
// are in use; another error when no slot file can be made beside the catalog (for example a
// read-only folder). *slot is -1 and *lockRefNum 0 on failure.
OSErr CatalogAcquireLockSlot(const FSSpec* catalogSpec, SInt32* slot, SInt16* lockRefNum);

// The number of users other than the holder of ownSlot (-1: none) that have the catalog file
// open: slot files locked by someone else, and slot files that cannot be examined at all (when
// unsure, count). Stale slot files of ours are deleted on the way. Counts right whether or not
// the caller holds a slot itself.
long CatalogCountLockUsers(const FSSpec* catalogSpec, SInt32 ownSlot);

// Gives up the slot (deletes the own slot file, closes it) and deletes every stale slot file
// of ours. *slot becomes -1 and *lockRefNum 0.
void CatalogReleaseLockSlot(const FSSpec* catalogSpec, SInt32* slot, SInt16* lockRefNum);

// ---- the lock of an open catalog (CatalogRec lockSlot, lockRefNum) -------------------------

// Takes a slot for an open catalog with a file. Only permErr (all ten slots in use) is
// reported; when no slot file can be made the catalog goes on without one (answer 0) and its
// open warnings carry kOpenSharingUnprotected.
OSErr CatalogCreateLock(CatalogRec* catalog, const FSSpec* catalogSpec);
// Makes sure the catalog's slot file is still its own (the name still names the file it holds
// locked). When another program deleted or replaced it, a slot is taken again; the answer is
// then that of taking one (permErr: all ten in use), and a catalog left without a slot carries
// kOpenSharingUnprotected.
OSErr CatalogCheckOwnLock(CatalogRec* catalog, const FSSpec* catalogSpec);
// The number of other users of the catalog file, counted whether or not this catalog holds a
// slot (a catalog that could not take one must not believe it is alone). Checks the own slot
// first (CatalogCheckOwnLock), so a deleted slot file never lets two users both count alone.
long CatalogCountOtherUsers(CatalogRec* catalog, const FSSpec* catalogSpec);
// Whether two specs name one file (links followed), as the slots see it.
bool CatalogSameFile(const FSSpec* a, const FSSpec* b);
// Gives up the catalog's slot and sweeps the stale slot files.
void CatalogReleaseLock(CatalogRec* catalog, const FSSpec* catalogSpec);
