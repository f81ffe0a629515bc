#include "catalog/fields/FieldAccess.h"

#include "catalog/fields/FieldEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/organize/OrganizeLists.h"
#include "foundation/format/DateParse.h"
#include "foundation/format/NumberFormat.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/PString.h"
#include "foundation/text/Unicode.h"
#include "catalog/foldertree/FolderTreeFields.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/IptcBlock.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "platform/MacDates.h"
#include "platform/UserData.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr FieldDef kNoRow{};

// Stores computed text by the text rule: at most 4096 bytes, ANSI; an empty text is a value
// only for fields that show empty values.
UInt8 ComputedText(FieldValue* value, const FieldDef& row, const void* bytes, long length) {
    FieldValueSetText(value, bytes, length, kFieldTextAnsi);
    if (value->text.length > 0) return kFieldTypeText;
    return row.showZero ? kFieldTypeText : kFieldTypeNone;
}

UInt8 ComputedText(FieldValue* value, const FieldDef& row, const std::string& text) {
    return ComputedText(value, row, text.data(), long(text.size()));
}

// One item of the cached item's metadata as bytes; empty when it is missing.
std::string MetadataItem(OSType type, long index, bool asText) {
    std::string out;
    ItemCachedMetadataItem(type, index, asText, &out);
    return out;
}

std::string UpToZero(const std::string& s) {
    size_t zero = s.find('\0');
    return zero == std::string::npos ? s : s.substr(0, zero);
}

// "N 051° 30' 26.40"" from the reference item and the three rationals of the coordinate item.
UInt8 GpsCoordinate(OSType refType, OSType valueType, FieldValue* value) {
    std::string ref = MetadataItem(refType, 1, false);
    std::string coord = MetadataItem(valueType, 1, false);
    if (ref.empty() || coord.size() < 24) return kFieldTypeNone;
    const auto* b = reinterpret_cast<const unsigned char*>(coord.data());
    SInt32 n[6];
    for (int i = 0; i < 6; ++i) n[i] = SInt32(ReadBE32(b + 4 * i));
    Str255 text;
    text[0] = 0;
    FormatGpsCoordinate(n[0], n[1], n[2], n[3], n[4], n[5], text);
    std::string out;
    if (ref[0] != '\0') out += ref[0];
    out += ' ';
    out.append(reinterpret_cast<const char*>(text + 1), text[0]);
    FieldValueSetText(value, out.data(), long(out.size()), kFieldTextAnsi);
    return kFieldTypeText;
}

// Metres with two decimals and the unit "m" right after; below sea level when the altitude
// reference says so.
UInt8 GpsAltitude(FieldValue* value) {
    std::string alt = MetadataItem(GpsFieldId(6), 1, false);
    if (alt.size() < 8) return kFieldTypeNone;
    const auto* b = reinterpret_cast<const unsigned char*>(alt.data());
    UInt32 num = ReadBE32(b), den = ReadBE32(b + 4);
    value->text.encoding = kFieldTextAnsi;
    value->text.length = 0;
    if (den == 0) return kFieldTypeText;
    double metres = double(num) / double(den);
    std::string ref = MetadataItem(GpsFieldId(5), 1, false);
    if (!ref.empty() && ref[0] == 1) metres = -metres;
    Str255 text;
    FormatFNumber(metres, 202, text);
    AppendIndexedString(text, 511, 4);
    FieldValueSetText(value, text + 1, text[0], kFieldTextAnsi);
    return kFieldTypeText;
}

UInt8 FromMetadata(const CatalogRec* catalog, SInt16 file, const ItemEntry* entry, const FieldDef& row,
                   FieldId id, FieldValue* value, SInt32 index) {
    ItemLoadVariableBlock(file, entry->position, 2);
    if (!ItemCachedMetadataPresent()) return kFieldTypeNone;
    switch (id) {
    case kFieldLatitude:
        return index == 1 ? GpsCoordinate(GpsFieldId(1), GpsFieldId(2), value) : UInt8(kFieldTypeNone);
    case kFieldLongitude:
        return index == 1 ? GpsCoordinate(GpsFieldId(3), GpsFieldId(4), value) : UInt8(kFieldTypeNone);
    case kFieldAltitude:
        return index == 1 ? GpsAltitude(value) : UInt8(kFieldTypeNone);
    case kFieldImportDevice: {
        // Maker and model are user-data text items whatever the row of field 67 says.
        if (index != 1) return kFieldTypeNone;
        std::string maker = UpToZero(MetadataItem(kFieldMaker, 1, true));
        std::string model = UpToZero(MetadataItem(kFieldModel, 1, true));
        std::string joined = maker;
        if (!maker.empty() && !model.empty()) joined += ' ';
        joined += model;
        FieldValueSetText(value, joined.data(), long(joined.size()), kFieldTextAnsi);
        return value->text.length ? kFieldTypeText : kFieldTypeNone;
    }
    case kFieldCaptureDate: {
        std::string date = UpToZero(MetadataItem(id, index, false));
        if (date.empty()) return kFieldTypeNone;
        value->u32 = ParseDateTimeText(date.c_str());
        return kFieldTypeU32;
    }
    case kFieldChapters: {
        std::string all = MetadataItem(id, 1, false);
        long count = long(all.size() / kChapterRecordSize);
        if (index < 1 || index > count) return kFieldTypeNone;
        const char* rec = all.data() + (index - 1) * kChapterRecordSize;
        std::memcpy(value->chapter.name, rec, 256);
        value->chapter.start = ReadBE32(rec + 256);
        return kFieldTypeChapter;
    }
    case kFieldTracksList: {
        std::string all = MetadataItem(id, 1, false);
        long count = long(all.size() / kTrackRecordSize);
        if (index < 1 || index > count) return kFieldTypeNone;
        std::memcpy(value->track, all.data() + (index - 1) * kTrackRecordSize, kTrackRecordSize);
        RecordListSwapBytes(value->track);
        value->track[kTrackRecordSize - 1] = 2;
        return kFieldTypeTrack;
    }
    default:
        break;
    }
    std::string item = MetadataItem(id, index, row.userDataText != 0);
    if (item.empty()) return kFieldTypeNone;
    const auto* b = reinterpret_cast<const unsigned char*>(item.data());
    switch (row.valueType) {
    case kFieldTypeU8:
        value->u8 = b[0];
        return kFieldTypeU8;
    case kFieldTypeI16:
        if (item.size() < 2) return kFieldTypeNone;
        value->i16 = SInt16(ReadBE16(b));
        return kFieldTypeI16;
    case kFieldTypeU32:
        if (item.size() < 4) return kFieldTypeNone;
        value->u32 = ReadBE32(b);
        return kFieldTypeU32;
    case kFieldTypePair:
        if (item.size() < 8) return kFieldTypeNone;
        value->pair.first = ReadBE32(b);
        value->pair.second = ReadBE32(b + 4);
        return kFieldTypePair;
    case kFieldTypeText: {
        std::string text = UpToZero(item);
        FieldValueSetText(value, text.data(), long(text.size()), kFieldTextAnsi);
        return kFieldTypeText;
    }
    default:
        return kFieldTypeNone;
    }
}

UInt8 FromAnnotations(SInt16 file, const ItemEntry* entry, FieldId id, FieldValue* value, SInt32 index) {
    if (id > 0xFFFF || index < 1 || index > 0x7FFF) return kFieldTypeNone;
    ItemLoadVariableBlock(file, entry->position, 3);
    UInt16 length = 0;
    UInt8 marker = 0;
    if (id == kFieldEventDate) {
        char digits[9] = {};
        if (!ItemCachedAnnotationDataset(UInt16(id), SInt16(index), digits, 8, &length, &marker) || length == 0)
            return kFieldTypeNone;
        value->u32 = ParseYYYYMMDD(digits);
        return kFieldTypeU32;
    }
    if (!ItemCachedAnnotationDataset(UInt16(id), SInt16(index), value->text.bytes, kFieldTextMax, &length, &marker) ||
        length == 0)
        return kFieldTypeNone;
    value->text.encoding = marker == IptcMarkerUtf8 ? kFieldTextUtf8 : kFieldTextAnsi;
    value->text.length = std::int16_t(length < kFieldTextMax ? length : kFieldTextMax);
    return kFieldTypeText;
}

UInt8 FromRecord(SInt16 file, const ItemEntry* entry, const FieldDef& row, FieldId id, FieldValue* value) {
    if (row.recLength <= 0 || row.recOffset < 0 || row.recOffset + row.recLength > long(kItemRecSize))
        return kFieldTypeNone;
    unsigned char bytes[32];
    long length = row.recLength > 32 ? 32 : row.recLength;
    if (ItemReadRecordRaw(file, entry->position, bytes, row.recOffset, length) != noErr)
        return kFieldTypeNone;
    switch (id) {
    case kFieldMediaType: {
        OSType kind;
        std::memcpy(&kind, bytes, 4);
        value->u8 = KindGetCategory(kind);
        return kFieldTypeU8;
    }
    case kFieldFileKindName: {
        OSType kind;
        std::memcpy(&kind, bytes, 4);
        Str255 name;
        KindGetName(kind, name);
        FieldValueSetText(value, name + 1, name[0], kFieldTextAnsi);
        return name[0] ? kFieldTypeText : (row.showZero ? kFieldTypeText : kFieldTypeNone);
    }
    case kFieldEncoding:
    case kFieldColorProfile: {
        // 32-byte length-prefixed strings.
        long n = bytes[0] > 31 ? 31 : bytes[0];
        if (n == 0) return kFieldTypeNone;
        FieldValueSetText(value, bytes + 1, n, kFieldTextAnsi);
        return kFieldTypeText;
    }
    default:
        std::memcpy(value->raw, bytes, std::size_t(length));
        return row.valueType;
    }
}

UInt8 LocationPath(const CatalogRec* catalog, const ItemEntry* entry, FieldValue* value) {
    // Country; State; City; Location, "?" standing for a missing part.
    static constexpr FieldId parts[] = {kFieldCountry, kFieldState, kFieldCity, kFieldLocation};
    const bool utf8Result = FieldEngine().formatLevel >= 300;
    std::string joined;
    bool any = false;
    for (size_t i = 0; i < 4; ++i) {
        if (i) joined += ';';
        FieldValue v;
        UInt8 type = ItemGetFieldByEntry(catalog, entry, parts[i], &v, 1);
        if (type != kFieldTypeText || v.text.length <= 0) {
            joined += '?';
            continue;
        }
        any = true;
        std::string_view text(v.text.bytes, std::size_t(v.text.length));
        bool isUtf8 = v.text.encoding == kFieldTextUtf8;
        if (utf8Result)
            joined += isUtf8 ? std::string(text) : AnsiToUtf8(text);
        else
            joined += isUtf8 ? Utf8ToAnsi(text) : std::string(text);
    }
    if (!any) return kFieldTypeNone;
    FieldValueSetText(value, joined.data(), long(joined.size()), utf8Result ? kFieldTextUtf8 : kFieldTextAnsi);
    return kFieldTypeText;
}

UInt8 Computed(const CatalogRec* catalog, const ItemEntry* entry, const FieldDef& row, FieldId id,
               FieldValue* value, SInt32 index) {
    // Every computed field holds one value.
    if (index != 1) return kFieldTypeNone;
    switch (id) {
    case kFieldUrl: {
        Handle url = ItemReadBlock(catalog, entry, kBlockUrl);
        UInt8 type = url ? ComputedText(value, row, *url, GetHandleSize(url)) : ComputedText(value, row, "", 0);
        if (url) DisposeHandle(url);
        return type;
    }
    case kFieldPath:
        return ComputedText(value, row, FolderTreeItemPathText(catalog, entry));
    case kFieldFileName:
        return ComputedText(value, row, FolderTreeItemFileNameText(catalog, entry));
    case kFieldVolumeName:
        return ComputedText(value, row, FolderTreeItemVolumeText(catalog, entry));
    case kFieldDateFinder: {
        FieldValue v;
        static constexpr FieldId order[] = {kFieldEventDate, kFieldCaptureDate, kFieldCreated};
        UInt32 date = 0;
        for (FieldId f : order) {
            if (ItemGetFieldByEntry(catalog, entry, f, &v, 1) == kFieldTypeU32) date = v.u32;
            if (date) break;
        }
        value->u32 = date;
        return kFieldTypeU32;
    }
    case kFieldLocationPath:
        return LocationPath(catalog, entry, value);
    case kFieldLabel:
        value->u8 = UInt8(entry->flags & kEntryLabelMask);
        return kFieldTypeU8;
    case kFieldRating:
        value->u8 = UInt8((entry->flags & kEntryRatingMask) >> 4);
        return kFieldTypeU8;
    case kFieldItemId:
        value->u32 = entry->id;
        return kFieldTypeU32;
    default:
        return kFieldTypeNone;
    }
}

// The name of the index-th set (in list order) that holds the item; an empty name is still a
// value.
UInt8 ItemSetNameField(const CatalogRec* catalog, const ItemEntry* entry, FieldValue* value, SInt32 index) {
    UInt32 number = 0;
    const OrganizeEntry* set =
        OrganizeFindEntryWithItem(catalog, kFieldCatalogSets, UInt32(index), entry->id, &number);
    if (!set) return kFieldTypeNone;
    FieldValueSetText(value, set->text + 1, set->text[0], kFieldTextAnsi);
    return kFieldTypeText;
}

}  // namespace

UInt8 ItemGetFieldByEntry(const CatalogRec* catalog, const ItemEntry* entry, FieldId id,
                          FieldValue* value, SInt32 index) {
    if (!catalog || !entry || !value) return kFieldTypeNone;
    FieldValueClear(value);
    if (index < 1) return kFieldTypeNone;
    SInt16 file = CatalogGetItemRefNum(catalog, entry);
    if (file == 0) return kFieldTypeNone;
    const FieldDef* found = FieldFindDef(id);
    if (!found) return kFieldTypeNone;
    const FieldDef& row = *found;
    switch (row.storage) {
    case kFieldStorageComputed:
        return Computed(catalog, entry, row, id, value, index);
    case kFieldStorageItemRec:
        return index == 1 ? FromRecord(file, entry, row, id, value) : UInt8(kFieldTypeNone);
    case kFieldStorageMetadata:
        return FromMetadata(catalog, file, entry, row, id, value, index);
    case kFieldStorageAnnotation:
        return FromAnnotations(file, entry, id, value, index);
    case kFieldStorageSets:
        return ItemSetNameField(catalog, entry, value, index);
    default:
        return kFieldTypeNone;
    }
}

UInt8 ItemGetField(const CatalogRec* catalog, const ItemEntry* entry, SInt32 index, FieldId id,
                   FieldValue* value) {
    if (index >= 1 || !FieldIsList(id)) return ItemGetFieldByEntry(catalog, entry, id, value, index < 1 ? 1 : index);
    if (!value) return kFieldTypeNone;
    // All values of a list field joined by ", "; a value that would pass 4096 bytes is left out
    // and a later, shorter one may still fit. The result has one encoding: the first value's,
    // the others converted to it.
    std::string joined;
    std::int16_t encoding = kFieldTextAnsi;
    bool first = true;
    FieldValue v;
    for (SInt32 i = 1;; ++i) {
        UInt8 type = ItemGetFieldByEntry(catalog, entry, id, &v, i);
        if (type != kFieldTypeText || v.text.length <= 0) break;
        std::string_view text(v.text.bytes, std::size_t(v.text.length));
        std::string piece;
        if (first) {
            encoding = v.text.encoding;
            piece = text;
        } else if (v.text.encoding == encoding) {
            piece = text;
        } else {
            piece = encoding == kFieldTextUtf8 ? AnsiToUtf8(text) : Utf8ToAnsi(text);
        }
        size_t extra = (first ? 0 : 2) + piece.size();
        if (joined.size() + extra <= size_t(kFieldTextMax)) {
            if (!first) joined += ", ";
            joined += piece;
            first = false;
        }
    }
    FieldValueClear(value);
    if (joined.empty()) return kFieldTypeNone;
    FieldValueSetText(value, joined.data(), long(joined.size()), encoding);
    return kFieldTypeText;
}

UInt8 ItemGetFieldVisible(const CatalogRec* catalog, SInt32 itemNumber, SInt32 index, FieldId id,
                          FieldValue* value) {
    if (value) FieldValueClear(value);
    return ItemGetField(catalog, CatalogGetItemEntry(catalog, itemNumber), index, id, value);
}

bool FieldGetName(const CatalogRec* catalog, FieldId id, Str255 name) {
    if (!name) return false;
    name[0] = 0;
    const FieldDef* row = FieldFindDef(id);
    if (!row) return false;
    if (row->nameIndex == kFieldNameComposite) {
        Str255 part;
        FieldGetName(catalog, kFieldSource, name);
        PStrFromCString(part, "-");
        PStrAppend(name, part);
        FieldGetName(catalog, kFieldUrlDataset, part);
        PStrAppend(name, part);
        return true;
    }
    if (row->nameIndex == kFieldNameCustom) {
        if (!catalog || !IsCustomFieldId(id)) return false;
        long n = long(id - kFieldCustomFirst);
        Handle names = catalog->customFieldNames;
        if (!names || GetHandleSize(names) < (n + 1) * kCustomFieldNameSize) {
            PStrFromCString(name, "<?>");
            return false;
        }
        const unsigned char* stored = reinterpret_cast<const unsigned char*>(*names) + n * kCustomFieldNameSize;
        PStrCopy(name, stored);
        return true;
    }
    if (row->nameIndex == 0) return false;
    if (row->nameIndex < 100)
        LoadIndexedString(name, kStrListFieldNames, row->nameIndex);
    else
        LoadIndexedString(name, kStrListLevel300Names, row->nameIndex - 100);
    return true;
}

namespace {

// A field's longest length; 0 means the field has none and is not cut.
long ClipLength(long length, long max) { return max <= 0 || length <= max ? length : max; }

OSErr AppendDataset(Handle* block, FieldId id, const void* data, long length) {
    if (length <= 0) return noErr;
    if (length > kIptcMaxDatasetLength) length = kIptcMaxDatasetLength;
    if (!*block) {
        static const unsigned char version[] = {0x1C, 0x02, 0x00, 0x00, 0x02, 0x00, 0x02};
        if (PtrToHand(version, block, sizeof version) != noErr) return memFullErr;
    }
    unsigned char head[5] = {IptcMarkerAnsi, UInt8(id >> 8), UInt8(id), 0, 0};
    WriteBE16(head + 3, UInt16(length));
    OSErr err = PtrAndHand(head, *block, sizeof head);
    if (err == noErr) err = PtrAndHand(data, *block, length);
    return err;
}

}  // namespace

OSErr ItemBuildIptcBlock(const CatalogRec* catalog, const ItemEntry* entry, const FieldId* fieldIds,
                         Handle* block, bool clip) {
    if (!block) return paramErr;
    *block = nullptr;
    if (!catalog || !entry || !fieldIds) return paramErr;
    OSErr err = noErr;
    FieldValue value;
    for (const FieldId* p = fieldIds; *p && err == noErr; ++p) {
        const FieldId id = *p;
        if (!FieldFindDef(id) || id > 0xFFFF) continue;
        if (id == kFieldLabel) {
            UInt8 label = UInt8(entry->flags & kEntryLabelMask);
            if (label == 0) continue;
            char digit = char('0' + (label > 9 ? 0 : label));
            err = AppendDataset(block, id, &digit, 1);
            continue;
        }
        if (id == kFieldEventDate) {
            if (ItemGetFieldByEntry(catalog, entry, id, &value, 1) != kFieldTypeU32 || value.u32 == 0) continue;
            DateTimeRec d;
            SecondsToDate(value.u32, &d);
            char digits[32];
            std::snprintf(digits, sizeof digits, "%04d%02d%02d", int(d.year), int(d.month), int(d.day));
            err = AppendDataset(block, id, digits, 8);
            continue;
        }
        const bool list = FieldIsList(id);
        for (SInt32 i = 1; err == noErr; ++i) {
            if (ItemGetFieldByEntry(catalog, entry, id, &value, i) != kFieldTypeText) break;
            std::string text(value.text.bytes, std::size_t(value.text.length > 0 ? value.text.length : 0));
            // The block carries 8-bit text: a UTF-8 value is written in Windows-1252.
            if (value.text.encoding == kFieldTextUtf8) text = Utf8ToAnsi(text);
            long length = long(text.size());
            if (clip) length = ClipLength(length, FieldMaxLength(id));
            err = AppendDataset(block, id, text.data(), length);
            if (!list) break;
        }
    }
    if (err != noErr && *block) {
        DisposeHandle(*block);
        *block = nullptr;
    }
    return err;
}

OSErr ItemAnnotationBlockForOutput(const CatalogRec* catalog, SInt32 n, Handle* block, bool clip,
                                   bool shortList) {
    static constexpr FieldId kShort[] = {517, 519, 522, 524, 527, 532, 534, 537, 550, 552, 567, 592, 597,
                                         602, 604, 607, 613, 615, 617, 622, 627, 628, 630, 632, 634, 0};
    static constexpr FieldId kLong[] = {517, 519, 524, 527, 532, 537, 550, 552, 567, 592, 597, 602,
                                        607, 613, 615, 617, 622, 627, 628, 632, 634, 534, 630, 604,
                                        720, 721, 722, 723, 724, 725, 726, 727, 736, 737, 738, 739,
                                        522, 754, 766, 767, 0};
    if (block) *block = nullptr;
    const ItemEntry* entry = CatalogGetItemEntry(catalog, n);
    if (!entry) return paramErr;
    return ItemBuildIptcBlock(catalog, entry, shortList ? kShort : kLong, block, clip);
}
