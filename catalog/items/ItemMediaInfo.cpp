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
