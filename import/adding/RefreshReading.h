// Reading items' files for the refresh, apart from applying what was read.
//
// The reading (catalog information, kind, facts, thumbnail and metadata through the kind
// engine) touches nothing of a catalog, so it runs on the refresh's worker threads, one per
// core, ahead of the timer ticks. Applying a reading (the item's record and blocks written
// into the catalog, its notification posted) happens on the user-interface thread, in the
// order of the job's items.
#pragma once

#include "import/adding/AddFiles.h"
#include "media/kinds/KindInfo.h"

#include <memory>
#include <vector>

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

    int workerState = 0;   // where the workers are with it (theirs, under their lock)
};

// Whether the options replace any of the item's blocks (otherwise the file is not read).
bool RefreshReadsFile(const RefreshOptions& options);
// Fills the reading from its file. Safe on any thread.
void ItemReadFile(ItemFileReading* reading);
// Writes a reading into the item (user-interface thread): the item's pending mark goes, then,
// as the options say, its record and blocks are replaced and its label set. value848, when
// not null, replaces the record's value at offset 848. The reading's blocks are used up.
OSErr ItemApplyFileReading(CatalogRec* catalog, ItemEntry* entry, const UInt32* value848, ItemFileReading* reading);

// The worker threads that read ahead. Readings are taken in the order they were queued.
namespace refresh_workers {
// Queues a reading.
void Submit(const std::shared_ptr<ItemFileReading>& reading);
// Whether the reading has been read (its fields may then be used on the queuing thread).
bool Done(const ItemFileReading& reading);
// Takes back the readings that no worker has started and waits for those being read, so
// that no worker touches them any more.
void Withdraw(const std::vector<std::shared_ptr<ItemFileReading>>& readings);
// Waits until every queued reading has been read or withdrawn.
void WaitIdle();
// The number of worker threads (one per core).
int Count();
}  // namespace refresh_workers
