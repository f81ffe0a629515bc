// Annotations written into TIFF and TIFF-based camera RAW files: the XMP packet as tag 700 and
// the IPTC-IIM block as tag 0x83BB of the first directory, tag 0x8568 removed. The file is
// rewritten through a copy (platform/SafeRewrite.h) that takes the original's place only once
// it is complete, so a crash at any moment leaves the old file or the new one. Inside the copy
// the layout is kept: values that fit are rewritten where they lay, larger ones are appended at
// the end (at even offsets), and the directory is rewritten where it was or appended when it
// grows. The writer refuses a file that is not a classic TIFF (byte order, magic 42).
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

struct TiffTagUpdate {
    UInt16 tag;
    UInt16 type;    // TIFF type
    UInt32 count;   // values of the type
    Handle data;    // the bytes to write (may be null)
    SInt32 size;    // bytes of data; 0 removes the tag
    SInt32 pad;     // bytes written after the data
    UInt8 fill;     // byte for the padding and for blanking old value bytes
};

// Writes XMP (refreshed from the annotations; when none are given only a packet the file
// already has is refreshed, from the IPTC block) and IPTC into the first directory.
OSErr TiffEmbedAnnotations(const FSSpec* spec, Handle iptc, Handle annotations);
// Applies rows (ascending tag order) to the first directory.
OSErr TiffWriteTags(const FSSpec* spec, const TiffTagUpdate* rows, long rowCount);
// A copy of the value of the first entry with the tag in the first directory of the TIFF
// header at the base offset, bytes as stored; null when absent or on any error.
Handle TiffReadTagData(const FSSpec* spec, SInt64 base, UInt16 tag);
