// The deferred refresh of items' media information: each pending item's file is read through
// the kind engine (facts, thumbnail, metadata) into its record, one item per timer tick.
#include "import/adding/AddFiles.h"

#include "foundation/text/Unicode.h"
#include "import/CatalogDeps.h"
#include "import/foldertree/FolderTreeInternal.h"
#include "import/foldertree/FolderTreeOps.h"
#include "media/kinds/KindDispatch.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"

#include <chrono>
#include <cstring>
#include <vector>

namespace {

struct RefreshJob {
    CatalogRec* catalog = nullptr;
    std::vector<UInt32> ids;
    SInt32 next = 0;
    CatalogProgressProc progress = nullptr;
    long progressRef = 0;
    RefreshOptions options{};
    TimerId timerId = 0;   // 0: the slot is free
    bool cancelled = false;
};

RefreshJob gJobs[kRefreshJobSlots];

SInt32 ThumbnailSlotSize(const CatalogRec* catalog) { return SInt32(catalog->viewPrefs.slots[1].sizeStep) * 32; }

void EndJob(RefreshJob& job, bool callBack) {
    if (callBack && job.progress) job.progress(2, long(job.ids.size()), long(job.ids.size()), job.progressRef);
    Timers().Stop(job.timerId);
    job = RefreshJob();
}

RefreshJob* JobOfTimer(TimerId id) {
    for (RefreshJob& job : gJobs)
        if (job.timerId == id && id != 0) return &job;
    return nullptr;
}

// One step: the next item that still exists and has a file is refreshed; items that vanished
// only move the job on. Answers whether the job still runs.
bool ItemRefreshStep(RefreshJob& job) {
    const long count = long(job.ids.size());
    if (job.next == 0 && !job.cancelled && job.progress && job.progress(0, 0, count, job.progressRef) == userCanceledErr)
        job.cancelled = true;
    while (!job.cancelled && job.next < count) {
        UInt32 id = job.ids[std::size_t(job.next)];
        SInt32 index = CatalogFindEntryIndexById(job.catalog, id);
        if (job.progress && job.progress(1, job.next + 1, count, job.progressRef) == userCanceledErr) {
            job.cancelled = true;
            break;
        }
        ++job.next;
        if (!index) continue;
        ItemEntry* entry = &job.catalog->entries[index - 1];
        FSSpec file;
        if (CatalogGetItemPath(job.catalog, entry, &file) != noErr) continue;
        CatalogRefreshItemFromFile(job.catalog, entry, &job.options, nullptr, &file);
        break;
    }
    if (job.cancelled || job.next >= count) {
        EndJob(job, true);
        return false;
    }
    return true;
}

}  // namespace

RefreshOptions RefreshOptionsAll() {
    RefreshOptions o{};
    for (int i = kRefreshAnnotations; i <= kRefreshOrientation; ++i) o.bytes[i] = 1;
    // Pictures without a preview of their own are drawn whole for their thumbnail.
    o.bytes[kRefreshReaderOption] = 1;
    return o;
}

OSErr ItemReadMediaInfo(const MediaFileRec* file, ItemRec* record, SInt32 thumbnailSize, UInt8 readerOption,
                        Handle* thumbnail, Handle* annotations, Handle* metadata, Handle* recording,
                        UInt8* labelOut) {
    if (labelOut) *labelOut = 0;
    record->kind = file->type;
    record->fileSize = file->size;

    KindFileRec reading = *file;
    KindInfoRec info;
    std::memset(&info, 0, sizeof info);
    PicHandle picture = nullptr;
    Handle iptc = nullptr, technical = nullptr, sound = nullptr;
    OSErr err = KindGetInfo(&reading, &info, true, readerOption, 0, thumbnailSize, thumbnail ? &picture : nullptr,
                            &iptc, metadata ? &technical : nullptr, recording ? &sound : nullptr);

    if (info.type) record->kind = info.type;
    record->orientation = info.orientation;
    record->width = info.width;
    record->height = info.height;
    record->resolution = info.resolution;
    record->sampleColor = info.sampleColor;
    record->depth = info.depth;
    record->pages = info.pages;
    record->poster = info.poster;
    record->tracks = info.tracks;
    record->duration = info.duration;
    record->audioChannels = info.audioChannels;
    record->audioRate = info.audioRate;
    record->audioBitSize = info.audioBitSize;
    record->dataRate = info.dataRate;
    record->frameRate = info.frameRate;
    record->spatialQuality = info.spatialQuality;
    record->colorSpace = info.colorSpace;
    record->compression = info.compression;
    std::memcpy(record->encoding, info.encoding, sizeof record->encoding);
    std::memcpy(record->colorProfile, info.colorProfile, sizeof record->colorProfile);
    record->characters = info.characters;
    record->paragraphs = info.paragraphs;

    // A label carried in the file (dataset 2:10) becomes the item's label and leaves the block.
    if (iptc) {
        UInt16 length = 0;
        if (Ptr label = IptcFindDataset(522, 1, iptc, &length, nullptr); label && length > 0) {
            int value = static_cast<unsigned char>(label[0]) - '0';
            if (labelOut && value >= 0 && value <= 9) *labelOut = UInt8(value);
            IptcSetDataset(522, 1, nullptr, 0, iptc, kIptcRemove, IptcMarkerAnsi);
        }
    }
    if (thumbnail)
        *thumbnail = reinterpret_cast<Handle>(picture);
    else if (picture)
        DisposeHandle(reinterpret_cast<Handle>(picture));
    if (annotations)
        *annotations = iptc;
    else if (iptc)
        DisposeHandle(iptc);
    if (metadata) *metadata = technical;
    if (recording) *recording = sound;
    return err;
}

OSErr CatalogRefreshItemFromFile(CatalogRec* catalog, ItemEntry* entry, const RefreshOptions* options,
                                 const UInt32* value848, const FSSpec* file) {
    if (!catalog || !entry || !options || !file) return paramErr;
    entry->flags &= ~kEntryPendingFlag;
    bool anyBlock = false;
    for (int i = kRefreshAnnotations; i <= kRefreshRecording; ++i) anyBlock = anyBlock || options->bytes[i];
    if (!anyBlock) return noErr;

    CInfoPBRec pb;
    OSErr err = FSpGetCatInfo(file, &pb);
    if (err != noErr) return err;
    ItemRec record;
    err = ItemLoadRecord(catalog, entry, &record);
    if (err != noErr) return err;
    const UInt16 storedOrientation = record.orientation;
    const UInt32 stored848 = record.poster;

    OSType type = KindTypeFromExtension(file, nullptr);
    if (type == 0) return noErr;
    MediaFileRec media;
    media.spec = *file;
    err = KindGetFileTypeInfo(&pb, nullptr, type, &media);
    if (err != noErr) return err;

    Handle blocks[5] = {};   // annotations, thumbnail, URL, metadata, recording
    UInt8 label = 0;
    ItemReadMediaInfo(&media, &record, ThumbnailSlotSize(catalog), options->bytes[kRefreshReaderOption],
                      options->bytes[kRefreshThumbnail] ? &blocks[1] : nullptr,
                      options->bytes[kRefreshAnnotations] ? &blocks[0] : nullptr,
                      options->bytes[kRefreshMetadata] ? &blocks[3] : nullptr,
                      options->bytes[kRefreshRecording] ? &blocks[4] : nullptr, &label);
    // The file's annotations replace the item's, but the values of the catalog's own custom
    // fields are the item's and stay.
    if (options->bytes[kRefreshAnnotations]) ItemCollectCustomFields(catalog, entry, &blocks[0]);

    if (!options->bytes[kRefreshOrientation]) record.orientation = storedOrientation;
    record.poster = value848 ? *value848 : stored848;
    record.modified = media.modified;
    record.created = media.created;
    // The names and the alias follow the file as it is found now.
    FSSpec anchorStorage;
    ItemMakeShortPath(FolderTreeAnchor(catalog, &anchorStorage), file, entry, &record);

    // A block that is switched on is replaced, by an empty one when the reader gave nothing.
    for (int i = 0; i < 5; ++i) {
        if (options->bytes[i] && !blocks[i]) blocks[i] = NewHandle(0);
    }
    if (options->bytes[kRefreshAnnotations] && label) CatalogSetItemLabel(catalog, entry, label, true);
    err = CatalogUpdateItem(catalog, entry, &record, blocks[1], blocks[0], blocks[2], blocks[3], blocks[4], false);
    for (Handle h : blocks)
        if (h) DisposeHandle(h);
    return err;
}

OSErr CatalogRefreshVisibleItem(CatalogRec* catalog, SInt32 visibleNumber, const RefreshOptions* options,
                                const UInt32* value848) {
    SInt32 seen = 0;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        if (catalog->entries[i].flags & kEntryHiddenFlag) continue;
        if (++seen != visibleNumber) continue;
        FSSpec file;
        if (CatalogGetItemPath(catalog, &catalog->entries[i], &file) != noErr) return noErr;
        return CatalogRefreshItemFromFile(catalog, &catalog->entries[i], options, value848, &file);
    }
    return noErr;
}

OSErr StartItemRefreshTimer(CatalogRec* catalog, long progressRef, Handle ids, CatalogProgressProc progress,
                            const RefreshOptions* options) {
    for (RefreshJob& job : gJobs) {
        if (job.timerId) continue;
        job = RefreshJob();
        job.catalog = catalog;
        long size = ids ? GetHandleSize(ids) : 0;
        job.ids.resize(std::size_t(size / 4));
        if (size >= 4) std::memcpy(job.ids.data(), *ids, job.ids.size() * 4);
        job.progress = progress;
        job.progressRef = progressRef;
        if (options) job.options = *options;
        job.timerId = Timers().Start(kRefreshTickMs, ItemRefreshTimerProc);
        return noErr;
    }
    return -1;
}

void ItemRefreshTimerProc(TimerId id) {
    RefreshJob* job = JobOfTimer(id);
    if (!job || UiMouseButtonDown()) return;
    auto start = std::chrono::steady_clock::now();
    if (!ItemRefreshStep(*job)) return;
    // A slow item does not make ticks pile up behind it: the next one is a full interval away.
    if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(kRefreshTickMs - 1)) {
        Timers().Stop(job->timerId);
        job->timerId = Timers().Start(kRefreshTickMs, ItemRefreshTimerProc);
    }
}

void StopItemRefreshTimer(CatalogRec* catalog) {
    for (RefreshJob& job : gJobs)
        if (job.timerId && (!catalog || job.catalog == catalog)) EndJob(job, false);
}

SInt32 ItemRefreshJobCount(const CatalogRec* catalog) {
    SInt32 n = 0;
    for (const RefreshJob& job : gJobs)
        if (job.timerId && (!catalog || job.catalog == catalog)) ++n;
    return n;
}

bool CatalogRemoveMarkedItems(CatalogRec* catalog) {
    StopItemRefreshTimer(catalog);
    bool any = false;
    for (SInt32 i = catalog->itemCount; i >= 1; --i) {
        if (catalog->entries[i - 1].flags & kEntryPendingFlag) {
            CatalogDeleteItem(catalog, i);
            any = true;
        }
    }
    return any;
}

void ResetAddFilesState() {
    for (RefreshJob& job : gJobs) {
        if (job.timerId) Timers().Stop(job.timerId);
        job = RefreshJob();
    }
}
