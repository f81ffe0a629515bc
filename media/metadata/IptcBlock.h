// The IPTC-IIM annotation block: an item's annotations as datasets one after the other in a
// handle, with no header and no trailer. Each dataset is a marker byte (0x1C: 8-bit text,
// Windows-1252 in memory and Mac Roman in the catalog file; 0x1D: UTF-8), the record byte, the
// dataset byte, a big-endian 16-bit length (0..32767) and the data. A dataset is named by
// record * 256 + dataset, which for record 2 is the catalog field id (512 + dataset).
//
// The first byte at a dataset boundary that is not a marker ends the block: every walk cuts
// the handle there, so trailing bytes never survive an operation. A dataset whose length runs
// past the end of the handle, or uses the extended-length form, counts as such trailing bytes.
#pragma once

#include "platform/MacTypes.h"
#include "platform/UserData.h"

enum : UInt8 {
    IptcMarkerAnsi = 0x1C,
    IptcMarkerUtf8 = 0x1D,
};

// Modes of IptcSetDataset.
enum : SInt16 {
    kIptcAddIfAbsent = 0,
    kIptcReplace = 1,
    kIptcRemove = 2,
    kIptcAppend = 3,
};

constexpr UInt16 kIptcMaxDatasetLength = 32767;

// The data of occurrence (from 1) of the key, or null. *outLength and *outMarker (either may
// be null) are cleared first. NUL bytes in a found value are turned into spaces in the block
// itself. The pointer is valid until the handle is resized.
Ptr IptcFindDataset(UInt16 key, SInt16 occurrence, Handle block, UInt16* outLength, UInt8* outMarker);

// The occurrence (from 1) of the first dataset of the key whose value equals the text, 0 when
// none does. When the markers differ the 8-bit side is compared in its UTF-8 form.
SInt16 IptcFindDatasetValue(UInt16 key, const void* text, SInt16 length, UInt8 marker, Handle block);
inline SInt16 IptcGetDatasetText(UInt16 key, const void* text, SInt16 length, UInt8 marker, Handle block) {
    return IptcFindDatasetValue(key, text, length, marker, block);
}

// Adds, replaces, removes or appends a dataset (modes above). Answers true when the block was
// changed (or, for a null block and any mode but remove, was to be). A replace keeps the
// dataset's place; add and append put it last; a length of 0 only removes. When the handle
// cannot grow the block is left as it was (an old value is kept) and the answer is false with
// MemError set. Lengths above 32767 are refused.
Boolean IptcSetDataset(UInt16 key, SInt16 occurrence, const void* data, SInt16 length, Handle block,
                       SInt16 mode, UInt8 marker);

// Translates the text of every 0x1C dataset in place: toAnsi nonzero from Mac Roman to
// Windows-1252 (after reading from the catalog file), zero the other way (before writing).
// UTF-8 datasets are left as they are.
void IptcConvertCharset(Handle block, UInt8 toAnsi);

// The annotation field a user-data text type fills, and whether its text holds several values.
// The outs (either may be null) are cleared first.
Boolean UserDataFieldLookup(OSType type, SInt32* fieldId, UInt8* split);
inline Boolean IptcFieldForUserDataType(OSType type, SInt32* fieldId, UInt8* split, long /*unused*/ = 0) {
    return UserDataFieldLookup(type, fieldId, split);
}

// Turns the text items of one user-data type into datasets of the key. With split set every
// token of every item is appended; otherwise item 1, cleaned (dates made eight digits for
// 2:55), is appended unless the block already holds the key. Makes the block with
// NewHandle(0) when *block is null and there is something to add. scratch is a work handle.
void IptcAddUserDataText(Handle* block, UserData userData, Handle scratch, OSType type, UInt16 key, UInt8 split);

// Replaces every NUL by a space; true when any byte other than a space is present.
Boolean IptcBlankNuls(void* bytes, long count);
// Collapses blanks in place (TAB to space; with breaksToSpace CR and LF too; NULs dropped; no
// leading space; no two spaces in a row). The handle keeps its size; answers the bytes kept.
long TextCollapseBlanks(Handle text, UInt8 breaksToSpace);
// A date text (1..255 bytes) as eight digits CCYYMMDD; the handle is resized to 8. 0 (handle
// unchanged) for an empty, longer or unparseable text.
long TextToIptcDate(Handle text);
