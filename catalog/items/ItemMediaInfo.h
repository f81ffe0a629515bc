// Reading a file's media information into an item's record through the kind engine: the facts
// (kind, size, dimensions, durations, encodings), the thumbnail, the annotations, the metadata
// and the recording. Adding, the refresh jobs and pointing an item at another file all read a
// file this way.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/file/CatalogRecords.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindInfo.h"
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

// ---- reading apart from applying -----------------------------------------------------------
// Reading a file (catalog information, kind, facts, thumbnail and metadata) touches nothing of
// a catalog, so the refresh runs it on worker threads ahead of time; applying the reading to
// the item happens on the user-interface thread.

// What the kind engine read of a file, with the blocks it made (the reading owns them).
struct MediaReading {
    OSErr err = noErr;
    KindInfoRec info{};
    Handle thumbnail = nullptr, annotations = nullptr, metadata = nullptr, recording = nullptr;
    UInt8 label = 0;   // the label carried in the file's IPTC block, taken out of it

    MediaReading() = default;
    ~MediaReading();
    MediaReading(const MediaReading&) = delete;
    MediaReading& operator=(const MediaReading&) = delete;
};

// Reads the file through the kind engine; each block only when its flag asks for it. Safe on
// any thread.
void ItemReadMedia(const MediaFileRec* file, SInt32 thumbnailSize, UInt8 readerOption, bool thumbnail,
                   bool annotations, bool metadata, bool recording, MediaReading* out);
// Copies the kind, size and facts of a reading into the item's record.
void ItemCopyMediaFacts(const MediaFileRec* file, const KindInfoRec& info, ItemRec* record);

// One item's file read for the refresh with the job's options.
struct ItemFileReading {
    FSSpec file;
    RefreshOptions options{};
    SInt32 thumbnailSize = 0;

    OSErr catalogInfoErr = noErr;  // the file's catalog information could not be read
    OSType type = 0;               // 0: no kind the program reads (nothing else was read)
    OSErr typeInfoErr = noErr;
    MediaFileRec media;
    MediaReading reading;

    int workerState = 0;   // where the refresh workers are with it (theirs, under their lock)
};

// Whether the options replace any of the item's blocks (otherwise the file is not read).
bool RefreshReadsFile(const RefreshOptions& options);
// Fills the reading from its file. Safe on any thread.
void ItemReadFile(ItemFileReading* reading);
// Writes a reading into the item (user-interface thread): the item's pending mark goes, then,
// as the options say, its record and blocks are replaced and its label set. value848, when
// not null, replaces the record's value at offset 848. The reading's blocks are used up.
OSErr ItemApplyFileReading(CatalogRec* catalog, ItemEntry* entry, const UInt32* value848, ItemFileReading* reading);
