#include "catalog/save/CatalogLocks.h"

#include "catalog/file/CatalogRec.h"
#include "foundation/files/SideFiles.h"
#include "platform/FileLocks.h"

#include <stdlib.h>

#include <cstring>
#include <memory>

namespace {

// The slots of a catalog lie beside the real file, whatever link a user opened it through, so
// that users reaching one file by different names see each other. A file that does not exist
// yet (the target of a first save) is placed in the real folder its name names.
FSSpec SlotBase(const FSSpec* catalogSpec) {
    auto real = [](const std::string& path) -> std::string {
        std::unique_ptr<char, decltype(&free)> resolved(realpath(path.c_str(), nullptr), &free);
        return resolved ? std::string(resolved.get()) : std::string();
    };
    std::string path = real(catalogSpec->path);
    if (path.empty()) {
        const std::string folder = real(FSSpecFolderPath(*catalogSpec));
        if (folder.empty()) return *catalogSpec;
        path = (folder == "/" ? folder : folder + "/") + FSSpecName(*catalogSpec);
    }
    if (path == catalogSpec->path) return *catalogSpec;
    FSSpec spec;
    OSErr err = FSMakeFSSpecFromPath(path, &spec);
    return err == noErr || err == fnfErr ? spec : *catalogSpec;
}

enum class LockText { kOurs, kPartial, kForeign };

// A holder writes the text right after locking a file it has just made; a file shorter than
// the text that begins like it is one whose holder is taking the slot, or died doing so.
LockText ReadLockText(SInt16 refNum) {
    char bytes[kLockFileTextLength] = {};
    long count = kLockFileTextLength;
    OSErr err = FSReadAt(refNum, 0, &count, bytes);
    if (err != noErr && err != eofErr) return LockText::kForeign;
    if (count == kLockFileTextLength)
        return std::memcmp(bytes, kLockFileText, kLockFileTextLength) == 0 ? LockText::kOurs
                                                                           : LockText::kForeign;
    return std::memcmp(bytes, kLockFileText, size_t(count)) == 0 ? LockText::kPartial
                                                                 : LockText::kForeign;
}

enum class SlotState {
    kAbsent,    // no slot file
    kRemoved,   // a stale slot file of ours, now deleted
    kStale,     // a stale slot file of ours that could not be deleted
    kLive,      // locked by its holder
    kForeign,   // not ours and not locked
    kUnknown,   // present but could not be examined
};

// One look at a slot file. Deleting follows the rule every user keeps: only while holding the
// file's lock and only when the name still names the locked file, so a deleter never removes a
// slot file that someone made after the stale one went.
SlotState ProbeSlotOnce(const FSSpec& side, bool removeStale, bool* changed) {
    *changed = false;
    SInt16 ref = 0;
    bool writable = true;
    OSErr err = FSpOpenDF(&side, fsRdWrPerm, &ref);
    if (err == fnfErr) return SlotState::kAbsent;
    if (err != noErr) {
        writable = false;
        err = FSpOpenDF(&side, fsRdPerm, &ref);
        if (err == fnfErr) return SlotState::kAbsent;
        if (err != noErr) return SlotState::kUnknown;
    }
    LockText text = ReadLockText(ref);
    SlotState state;
    if (writable) {
        err = FSLockFile(ref);
        if (err == fBsyErr) {
            state = SlotState::kLive;
        } else if (err != noErr) {
            state = SlotState::kUnknown;
        } else if (text == LockText::kForeign) {
            state = SlotState::kForeign;
        } else if (!removeStale) {
            state = SlotState::kStale;
        } else {
            err = FSDeleteOpenFile(ref);
            if (err == noErr) {
                state = SlotState::kRemoved;
            } else if (err == fnfErr) {
                state = SlotState::kUnknown;
                *changed = true;   // another user replaced the file meanwhile: look again
            } else {
                state = SlotState::kStale;
            }
        }
    } else {
        bool locked = true;
        if (FSIsFileLockedElsewhere(ref, &locked) != noErr) state = SlotState::kUnknown;
        else if (locked) state = SlotState::kLive;
        else if (text == LockText::kForeign) state = SlotState::kForeign;
        else state = SlotState::kStale;
    }
    FSClose(ref);   // gives up any lock taken above
    return state;
}

SlotState ProbeSlot(const FSSpec& side, bool removeStale) {
    for (int tries = 0;; ++tries) {
        bool changed = false;
        SlotState state = ProbeSlotOnce(side, removeStale, &changed);
        if (!changed || tries == 3) return state;
    }
}

// Makes the slot file and takes it. noErr: taken; dupFNErr: someone else has it; another
// error: no slot file can be made here.
OSErr TakeSlot(const FSSpec& side, SInt16* lockRefNum) {
    SInt16 ref = 0;
    OSErr err = FSpCreateOpen(&side, &ref);
    if (err) return err;
    bool same = false;
    err = FSLockFile(ref);
    if (err == noErr) err = FSIsOpenFileAtPath(ref, &same);
    if (err == noErr && !same) err = dupFNErr;   // taken for stale and deleted before we locked
    if (err == fBsyErr) err = dupFNErr;
    if (err == noErr) {
        long count = kLockFileTextLength;
        err = FSWriteAt(ref, 0, &count, kLockFileText);
        if (err == noErr && count != kLockFileTextLength) err = ioErr;
        if (err) FSDeleteOpenFile(ref);
    }
    if (err) {
        FSClose(ref);
        return err;
    }
    *lockRefNum = ref;
    return noErr;
}

}  // namespace

bool LockFileIsOurs(const FSSpec* spec) {
    if (!spec) return false;
    SInt16 ref = 0;
    if (FSpOpenDF(spec, fsRdPerm, &ref) != noErr) return false;
    bool ours = ReadLockText(ref) == LockText::kOurs;
    FSClose(ref);
    return ours;
}

OSErr CatalogAcquireLockSlot(const FSSpec* catalogSpec, SInt32* slot, SInt16* lockRefNum) {
    if (!catalogSpec || !slot || !lockRefNum) return paramErr;
    *slot = -1;
    *lockRefNum = 0;
    const FSSpec base = SlotBase(catalogSpec);
    for (short n = 0; n < kLockSlotCount; ++n) {
        FSSpec side;
        OSErr err = MakeSideFileSpec(&base, &side, n);
        if (err) return err;
        for (int attempt = 0; attempt < 2; ++attempt) {
            err = TakeSlot(side, lockRefNum);
            if (err == noErr) {
                *slot = n;
                return noErr;
            }
            if (err != dupFNErr) return err;
            // The name is taken: free it when it is a stale lock of ours, then try once more.
            SlotState state = ProbeSlot(side, true);
            if (state != SlotState::kRemoved && state != SlotState::kAbsent) break;
        }
    }
    return permErr;
}

long CatalogCountLockUsers(const FSSpec* catalogSpec, SInt32 ownSlot) {
    if (!catalogSpec || catalogSpec->path.empty()) return 0;
    const FSSpec base = SlotBase(catalogSpec);
    long users = 0;
    for (short n = 0; n < kLockSlotCount; ++n) {
        if (n == ownSlot) continue;
        FSSpec side;
        if (MakeSideFileSpec(&base, &side, n) != noErr) return users;
        SlotState state = ProbeSlot(side, true);
        if (state == SlotState::kLive || state == SlotState::kUnknown) ++users;
    }
    return users;
}

void CatalogReleaseLockSlot(const FSSpec* catalogSpec, SInt32* slot, SInt16* lockRefNum) {
    if (lockRefNum && *lockRefNum != 0) {
        FSDeleteOpenFile(*lockRefNum);   // still locked by us: nobody else can hold this name
        FSClose(*lockRefNum);
        *lockRefNum = 0;
    }
    if (slot) *slot = -1;
    if (!catalogSpec || catalogSpec->path.empty()) return;
    const FSSpec base = SlotBase(catalogSpec);
    for (short n = 0; n < kLockSlotCount; ++n) {
        FSSpec side;
        if (MakeSideFileSpec(&base, &side, n) != noErr) return;
        ProbeSlot(side, true);
    }
}

OSErr CatalogCreateLock(CatalogRec* catalog, const FSSpec* catalogSpec) {
    if (!catalog || !catalogSpec) return paramErr;
    SInt32 slot = -1;
    SInt16 ref = 0;
    OSErr err = CatalogAcquireLockSlot(catalogSpec, &slot, &ref);
    if (err == permErr) return permErr;
    catalog->lockSlot = slot;
    catalog->lockRefNum = ref;
    // Without a slot (a folder this user may not write) the others cannot see this user.
    if (err == noErr)
        catalog->openWarnings &= ~UInt32(kOpenSharingUnprotected);
    else
        catalog->openWarnings |= kOpenSharingUnprotected;
    return noErr;
}

OSErr CatalogCheckOwnLock(CatalogRec* catalog, const FSSpec* catalogSpec) {
    if (!catalog || !catalogSpec) return paramErr;
    if (catalog->lockRefNum == 0) return noErr;
    bool same = false;
    if (FSIsOpenFileAtPath(catalog->lockRefNum, &same) == noErr && same) return noErr;
    // Someone deleted or replaced our slot file: the next user would take the same slot and
    // believe itself alone. Give the old one up (its name is no longer ours, so nothing is
    // deleted) and take a slot again.
    FSClose(catalog->lockRefNum);
    catalog->lockRefNum = 0;
    catalog->lockSlot = -1;
    SInt32 slot = -1;
    SInt16 ref = 0;
    OSErr err = CatalogAcquireLockSlot(catalogSpec, &slot, &ref);
    if (err != noErr) {
        catalog->openWarnings |= kOpenSharingUnprotected;
        return err;
    }
    catalog->lockSlot = slot;
    catalog->lockRefNum = ref;
    return noErr;
}

long CatalogCountOtherUsers(CatalogRec* catalog, const FSSpec* catalogSpec) {
    if (!catalog) return 0;
    CatalogCheckOwnLock(catalog, catalogSpec);
    SInt32 own = catalog->lockRefNum != 0 ? catalog->lockSlot : -1;
    return CatalogCountLockUsers(catalogSpec, own);
}

bool CatalogSameFile(const FSSpec* a, const FSSpec* b) {
    if (!a || !b || a->path.empty() || b->path.empty()) return false;
    return SlotBase(a).path == SlotBase(b).path;
}

void CatalogReleaseLock(CatalogRec* catalog, const FSSpec* catalogSpec) {
    if (!catalog) return;
    CatalogReleaseLockSlot(catalogSpec, &catalog->lockSlot, &catalog->lockRefNum);
}
