// Reading a file's media information into an item's record through the kind engine: the facts
// (kind, size, dimensions, durations, encodings), the thumbnail, the annotations, the metadata
// and the recording. Adding, the refresh jobs and pointing an item at another file all read a
// file this way.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/file/CatalogRecords.h"
#include "media/kinds/KindEngine.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

// The record of one file: type, creator, size, dates, Finder flags and spec. The kind engine
// fills it; the import journal stores it.
using MediaFileRec = KindFileRec;

// Which parts of a record a refresh replaces: bytes 0..4 switch the five variable blocks
// (0 annotations, 1 thumbnail, 2 URL, 3 metadata, 4 recording); byte 5 recomputes the value
// at record offset 830; byte 6 goes to the kind reader as its option; byte 7 is spare.
struct RefreshOptions {
    UInt8 bytes[8];
};
static_assert(sizeof(RefreshOptions) == 8);
enum : int {
    kRefreshAnnotations = 0,
    kRefreshThumbnail = 1,
    kRefreshUrl = 2,
    kRefreshMetadata = 3,
    kRefreshRecording = 4,
    kRefreshOrientation = 5,
    kRefreshReaderOption = 6,
};
// Every block replaced, the orientation read again, and pictures without an embedded preview
// drawn whole for their thumbnail.
RefreshOptions RefreshOptionsAll();

// Reads the item's media information again into its record; clears its pending mark. value848,
// when not null, replaces the record's value at offset 848.
OSErr CatalogRefreshItemFromFile(CatalogRec* catalog, ItemEntry* entry, const RefreshOptions* options,
                                 const UInt32* value848, const FSSpec* file);
// Copies the kind engine's reading of the file into the record and the block handles (each
// may be null when the caller does not want it).
OSErr ItemReadMediaInfo(const MediaFileRec* file, ItemRec* record, SInt32 thumbnailSize, UInt8 readerOption,
                        Handle* thumbnail, Handle* annotations, Handle* metadata, Handle* recording,
                        UInt8* labelOut);
