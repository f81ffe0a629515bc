// Item records in the work file and their copies into a saved catalog file.
//
// A record in a file is the 1024-byte ItemRec in file order followed by its five variable
// blocks (thumbnail, annotations, URL, metadata, recording), each as long as its size field.
// Records appended to the work file carry 10,240 zero bytes after their blocks, and their
// reserve field says so, so that a changed record can usually be rewritten where it is.
#pragma once

#include "catalog/file/CatalogRec.h"

inline constexpr UInt32 kWorkFileReserve = 10240;

// Writes a record and its blocks at position, or appended at the end of the file with the
// reserve after it (position -1, which also sets the record's reserve field to 10,240). A
// block is written when its size field is above 0; its handle must hold that many bytes. The
// annotations' text goes out in the file's character set and the URL in Mac Roman; the caller's
// record and handles are left as they were. *outSize = 1024 + the five block sizes (the
// reserve is not counted). Answers the position written, or -1 when any write failed or the
// position would pass what a catalog can address. The field engine's caches are reset.
SInt32 ItemWriteRecord(ItemRec* record, Handle thumbnail, Handle annotations, Handle url,
                       Handle metadata, Handle recording, SInt16 refNum, SInt32 position,
                       SInt32* outSize);

// Reads the record at position into a new handle, in memory order, followed by its blocks in
// file order: the thumbnail and the recording only with allBlocks (else their bytes are
// absent although their sizes stay), the annotations and the URL converted to Windows-1252
// with convert. A block that reaches past the end of the file is an error. On error *out is
// null.
OSErr ItemReadRecordWithData(Handle* out, SInt16 refNum, SInt32 position, bool convert,
                             bool allBlocks);
// The 1024-byte record at the position, in memory order (no cache, no blocks); posErr for a
// negative position, eofErr when the file ends inside it.
OSErr ItemReadRecordAtPos(SInt16 refNum, SInt32 position, ItemRec* record);
// The entry (0-based) whose record lies in the catalog file at the smallest position at or
// after `position`, skipping records of the work file; -1 when there is none. An in-place save
// moves records down in this order, so none is overwritten before it was copied.
SInt32 CatalogNextRecordAtOrAfter(const CatalogRec* catalog, SInt32 position);

// Copies the record at sourcePosition, with all its blocks and without its reserve (the copy's
// reserve field is 0), to targetPosition of another file. Answers the bytes written, 0 after
// a failure.
SInt32 CatalogCopyOneRecord(SInt16 sourceRefNum, SInt32 sourcePosition, SInt16 targetRefNum,
                            SInt32 targetPosition);
// The same with the reason of a failure.
OSErr CatalogCopyOneRecordChecked(SInt16 sourceRefNum, SInt32 sourcePosition,
                                  SInt16 targetRefNum, SInt64 targetPosition, SInt64* written);
