// Relocatable memory blocks reached through a master pointer, as the core expects them.
// A pointer into a handle's block is valid only until the next call that resizes it.
#pragma once

#include "platform/MacTypes.h"

Handle NewHandle(Size size);
Handle NewHandleClear(Size size);
void DisposeHandle(Handle h);
Size GetHandleSize(Handle h);
// Grows or shrinks the block, keeping its bytes; new bytes are zero. Sets MemError.
void SetHandleSize(Handle h, Size newSize);
// Appends size bytes from ptr to the handle's block.
OSErr PtrAndHand(const void* ptr, Handle h, Size size);
// Makes a new handle holding a copy of the bytes.
OSErr PtrToHand(const void* src, Handle* dst, Size size);
// Replaces *h with a new handle holding a copy of its block (the original stays the caller's).
OSErr HandToHand(Handle* h);
// Appends the bytes of src to dst.
OSErr HandAndHand(Handle src, Handle dst);
// Search-and-replace inside a handle, the toolbox way:
//  - ptr1 non-null: find len1 bytes of ptr1 at or after offset; not found answers -1.
//  - ptr1 null: the target is the len1 bytes at offset (len1 < 0 or past the end: up to the end).
//  - ptr2 null: nothing is replaced, the answer is the target's offset.
//  - otherwise the target is replaced by len2 bytes of ptr2 (0 deletes) and the answer is the
//    offset just past the inserted bytes.
// An offset outside the block answers -1 and changes nothing.
long Munger(Handle h, long offset, const void* ptr1, long len1, const void* ptr2, long len2);
void HLock(Handle h);
void HUnlock(Handle h);
bool HIsLocked(Handle h);
// Result of the last memory call on this thread.
OSErr MemError();
