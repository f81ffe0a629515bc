// Reading a file's media information into an item's record through the kind engine.
#include "catalog/items/ItemMediaInfo.h"

#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/items/CustomFields.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemLabels.h"
#include "catalog/items/ItemRecords.h"
#include "media/kinds/KindDispatch.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"

#include <cstring>

namespace {

SInt32 ThumbnailSlotSize(const CatalogRec* catalog) { return SInt32(catalog->viewPrefs.slots[1].sizeStep) * 32; }

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
    MediaReading reading;
    ItemReadMedia(file, thumbnailSize, readerOption, thumbnail != nullptr, annotations != nullptr, metadata != nullptr,
                  recording != nullptr, &reading);
    ItemCopyMediaFacts(file, reading.info, record);
    if (labelOut) *labelOut = reading.label;
    for (auto [out, block] : {std::pair{thumbnail, &reading.thumbnail}, std::pair{annotations, &reading.annotations},
                              std::pair{metadata, &reading.metadata}, std::pair{recording, &reading.recording}}) {
        if (out) {
            *out = *block;
            *block = nullptr;
        }
    }
    return reading.err;
}

OSErr ItemApplyFileReading(CatalogRec* catalog, ItemEntry* entry, const UInt32* value848, ItemFileReading* r) {
    if (!catalog || !entry || !r) return paramErr;
    entry->flags &= ~kEntryPendingFlag;
    const RefreshOptions& options = r->options;
    if (!RefreshReadsFile(options)) return noErr;
    if (r->catalogInfoErr != noErr) return r->catalogInfoErr;
    ItemRec record;
    OSErr err = ItemLoadRecord(catalog, entry, &record);
    if (err != noErr) return err;
    const UInt16 storedOrientation = record.orientation;
    const UInt32 stored848 = record.poster;
    if (r->type == 0) return noErr;
    if (r->typeInfoErr != noErr) return r->typeInfoErr;

    ItemCopyMediaFacts(&r->media, r->reading.info, &record);
    // annotations, thumbnail, URL, metadata, recording
    Handle blocks[5] = {r->reading.annotations, r->reading.thumbnail, nullptr, r->reading.metadata, r->reading.recording};
    r->reading.annotations = r->reading.thumbnail = r->reading.metadata = r->reading.recording = nullptr;
    const UInt8 label = r->reading.label;
    // The file's annotations replace the item's, but the values of the catalog's own custom
    // fields are the item's and stay.
    if (options.bytes[kRefreshAnnotations]) ItemCollectCustomFields(catalog, entry, &blocks[0]);

    if (!options.bytes[kRefreshOrientation]) record.orientation = storedOrientation;
    record.poster = value848 ? *value848 : stored848;
    record.modified = r->media.modified;
    record.created = r->media.created;
    // The names and the alias follow the file as it is found now.
    FSSpec anchorStorage;
    ItemMakeShortPath(FolderTreeAnchor(catalog, &anchorStorage), &r->file, entry, &record);

    // A block that is switched on is replaced, by an empty one when the reader gave nothing.
    for (int i = 0; i < 5; ++i) {
        if (options.bytes[i] && !blocks[i]) blocks[i] = NewHandle(0);
    }
    if (options.bytes[kRefreshAnnotations] && label) CatalogSetItemLabel(catalog, entry, label, true);
    err = CatalogUpdateItem(catalog, entry, &record, blocks[1], blocks[0], blocks[2], blocks[3], blocks[4], false);
    for (Handle h : blocks)
        if (h) DisposeHandle(h);
    return err;
}

OSErr CatalogRefreshItemFromFile(CatalogRec* catalog, ItemEntry* entry, const RefreshOptions* options,
                                 const UInt32* value848, const FSSpec* file) {
    if (!catalog || !entry || !options || !file) return paramErr;
    ItemFileReading reading;
    reading.file = *file;
    reading.options = *options;
    reading.thumbnailSize = ThumbnailSlotSize(catalog);
    ItemReadFile(&reading);
    return ItemApplyFileReading(catalog, entry, value848, &reading);
}

MediaReading::~MediaReading() {
    for (Handle h : {thumbnail, annotations, metadata, recording})
        if (h) DisposeHandle(h);
}

void ItemReadMedia(const MediaFileRec* file, SInt32 thumbnailSize, UInt8 readerOption, bool thumbnail,
                   bool annotations, bool metadata, bool recording, MediaReading* out) {
    KindFileRec reading = *file;
    std::memset(&out->info, 0, sizeof out->info);
    PicHandle picture = nullptr;
    Handle iptc = nullptr, technical = nullptr, sound = nullptr;
    out->err = KindGetInfo(&reading, &out->info, true, readerOption, 0, thumbnailSize, thumbnail ? &picture : nullptr,
                           &iptc, metadata ? &technical : nullptr, recording ? &sound : nullptr);
    // A label carried in the file (dataset 2:10) becomes the item's label and leaves the block.
    out->label = 0;
    if (iptc) {
        UInt16 length = 0;
        if (Ptr label = IptcFindDataset(522, 1, iptc, &length, nullptr); label && length > 0) {
            int value = static_cast<unsigned char>(label[0]) - '0';
            if (value >= 0 && value <= 9) out->label = UInt8(value);
            IptcSetDataset(522, 1, nullptr, 0, iptc, kIptcRemove, IptcMarkerAnsi);
        }
    }
    out->thumbnail = reinterpret_cast<Handle>(picture);
    if (annotations)
        out->annotations = iptc;
    else if (iptc)
        DisposeHandle(iptc);
    out->metadata = technical;
    out->recording = sound;
}

void ItemCopyMediaFacts(const MediaFileRec* file, const KindInfoRec& info, ItemRec* record) {
    record->kind = file->type;
    record->fileSize = file->size;
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
}

bool RefreshReadsFile(const RefreshOptions& options) {
    for (int i = kRefreshAnnotations; i <= kRefreshRecording; ++i)
        if (options.bytes[i]) return true;
    return false;
}

void ItemReadFile(ItemFileReading* r) {
    if (!RefreshReadsFile(r->options)) return;
    CInfoPBRec pb;
    r->catalogInfoErr = FSpGetCatInfo(&r->file, &pb);
    if (r->catalogInfoErr != noErr) return;
    r->type = KindTypeFromExtension(&r->file, nullptr);
    if (r->type == 0) return;
    r->media.spec = r->file;
    r->typeInfoErr = KindGetFileTypeInfo(&pb, nullptr, r->type, &r->media);
    if (r->typeInfoErr != noErr) return;
    const RefreshOptions& o = r->options;
    ItemReadMedia(&r->media, r->thumbnailSize, o.bytes[kRefreshReaderOption], o.bytes[kRefreshThumbnail] != 0,
                  o.bytes[kRefreshAnnotations] != 0, o.bytes[kRefreshMetadata] != 0, o.bytes[kRefreshRecording] != 0,
                  &r->reading);
}
