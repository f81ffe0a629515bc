// Whole-file and positioned reads and writes, text lines, file dates and lengths.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

// Creation and modification dates in Mac seconds (local time); each out pointer may be null;
// *extra (when given) is set to 0.
OSErr GetFileDates(const FSSpec* spec, UInt32* created, UInt32* modified, UInt32* extra);
// Sets the given dates (Mac seconds, local time). Linux keeps no settable creation date: a
// creation date is accepted and not kept.
OSErr SetFileDatesFromSpec(const FSSpec* spec, const UInt32* created, const UInt32* modified);

// The data fork from offset to its end in a new handle; eofErr (and a null handle) when nothing
// lies past the offset. On any failure *data is null. size may be null.
OSErr ReadFileData(const FSSpec* spec, Handle* data, SInt64 offset, long* size);
OSErr LoadFileData(const FSSpec* spec, Handle* data, long* size);
// Reads up to *count bytes at offset into buffer; *count and *countRead (may be null) report
// what was read. The read's answer (eofErr for a short read).
OSErr FileReadAt(const FSSpec* spec, SInt64 offset, long* count, void* buffer, long* countRead);

// Called for each line of a text file; a non-zero answer ends the scan.
using TextLineProc = OSErr (*)(const char* line, void* refCon);
// Lines are runs of bytes other than CR and LF; the line ends and the blanks after them are
// skipped, so empty lines are never reported. Answers the last callback answer (0 for a file
// without lines), or notOpenErr when the file cannot be opened. A line of any length is
// handed over whole.
OSErr ScanTextLines(const FSSpec* spec, TextLineProc proc, void* refCon);

enum : SInt64 {
    kWriteAppend = -1,     // at the end of the file
    kWriteReplace = -2,    // the file emptied first
};
// Creates the file when missing (an existing one is kept), then writes count bytes at position
// (an offset from the start, kWriteAppend or kWriteReplace). The write's answer.
OSErr FileWriteAt(const FSSpec* spec, const void* data, long count, OSType creator, OSType fileType,
                  SInt64 position);

// Copies from the source's mark to its end into the destination at its mark, through a buffer
// of at most 4 MB (halved until one can be had; memFullErr when none).
OSErr CopyForkData(SInt16 sourceRef, SInt16 destRef);

// Empties the data fork (length 0).
OSErr FileTruncate(const FSSpec* spec);
// Empties the resource fork. Files have none here, so the data stays as it is; fnfErr when the
// file is missing.
OSErr FileTruncateResourceFork(const FSSpec* spec);
