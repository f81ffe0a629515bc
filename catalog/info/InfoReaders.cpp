// Item data gathered for the slide show and the item tooltips.
#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoInternal.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/text/PString.h"
#include "platform/Handles.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSlideGroup = 15;

const UInt32 kSlideExif[kSlideGroup] = {
    ExifFieldId(0x9003), ExifFieldId(0x829D), ExifFieldId(0x829A), ExifFieldId(0x9204), ExifFieldId(0x8822),
    ExifFieldId(0x8827), ExifFieldId(0x9206), ExifFieldId(0x9207), ExifFieldId(0x9208), ExifFieldId(0x9209),
    ExifFieldId(0x920A), ExifFieldId(0xA217), kFieldLatitude,      kFieldLongitude,     kFieldAltitude};
const UInt32 kSlideAnnotations[kSlideGroup] = {617, 517, 527, 534, 567, 630, 537, 532, 604, 602, 613, 592, 622, 627, 628};

void AppendPStr(std::string* out, ConstStr255Param s) { out->append(reinterpret_cast<const char*>(s), s[0] + 1u); }

// "Name:" and the value with units ("-" without one), both length-prefixed.
void AppendPair(std::string* out, const CatalogRec* catalog, const ItemEntry* entry, UInt32 field, FieldValue* value) {
    Str255 name, text;
    if (!FieldGetName(catalog, field, name)) name[0] = 0;
    Str255 colon;
    PStrFromCString(colon, ":");
    PStrAppend(name, colon);
    text[0] = 0;
    const UInt8 type = ItemGetField(catalog, entry, 0, field, value);
    if (type != kFieldTypeNone) FieldValueToText(value, type, field, text, true);
    if (text[0] == 0) PStrFromCString(text, "-");
    AppendPStr(out, name);
    AppendPStr(out, text);
}

// The field's first value as text with units; empty without one.
void ValueText(const CatalogRec* catalog, const ItemEntry* entry, UInt32 field, FieldValue* value, Str255 text) {
    text[0] = 0;
    const UInt8 type = ItemGetField(catalog, entry, 1, field, value);
    if (type != kFieldTypeNone) FieldValueToText(value, type, field, text, true);
}

}  // namespace

OSErr ItemGetSlideData(CatalogRec* catalog, UInt32 n, Handle* info, Handle* thumbnail, Handle* caption,
                       Handle* recording) {
    const ItemEntry* entry = catalog ? CatalogGetItemEntry(catalog, SInt32(n)) : nullptr;
    if (!entry) return paramErr;
    if (thumbnail) *thumbnail = ItemReadBlock(catalog, entry, 1);
    if (recording) *recording = ItemReadBlock(catalog, entry, 5);
    if (caption) {
        *caption = InfoItemCaption(catalog, entry);
        if (*caption) PtrAndHand("", *caption, 1);
    }
    if (info) {
        auto value = std::make_unique<FieldValue>();
        std::string out;
        // The media information of the item's kind and the camera's texts, filled up to 15.
        OSType kind = 0;
        if (ItemGetField(catalog, entry, 1, kFieldFileType, value.get()) == kFieldTypeU32) kind = value->u32;
        std::vector<UInt32> media;
        for (int i = 0; UInt32 f = FieldsForCategory(kind, i); ++i) media.push_back(f);
        for (UInt32 f : {UInt32(kFieldMaker), UInt32(kFieldModel), UInt32(kFieldSoftware), UInt32(kFieldFormat)})
            media.push_back(f);
        for (int i = 0; i < kSlideGroup; ++i) {
            if (i < int(media.size()))
                AppendPair(&out, catalog, entry, media[std::size_t(i)], value.get());
            else
                out.append(2, '\0');
        }
        for (UInt32 f : kSlideExif) AppendPair(&out, catalog, entry, f, value.get());
        for (UInt32 f : kSlideAnnotations) AppendPair(&out, catalog, entry, f, value.get());
        *info = nullptr;
        OSErr err = PtrToHand(out.data(), info, Size(out.size()));
        if (err != noErr) return err;
    }
    return noErr;
}

Handle ItemGetTitle(CatalogRec* catalog, UInt32 n) {
    const ItemEntry* entry = catalog ? CatalogGetItemEntry(catalog, SInt32(n)) : nullptr;
    if (!entry) return nullptr;
    auto value = std::make_unique<FieldValue>();
    std::string out;
    Str255 text;
    ValueText(catalog, entry, kFieldTitle, value.get(), text);
    if (text[0] == 0) {
        // The file name, a three-letter extension and its point cut off.
        ValueText(catalog, entry, kFieldFileName, value.get(), text);
        if (text[0] > 4 && text[text[0] - 3] == '.') text[0] = UInt8(text[0] - 4);
    }
    AppendPStr(&out, text);
    for (UInt32 f : {UInt32(kFieldAuthor), UInt32(kFieldProduct)}) {
        ValueText(catalog, entry, f, value.get(), text);
        if (text[0]) AppendPStr(&out, text);
    }
    // The sound: channels, rate and sample size on one line.
    Str255 line;
    line[0] = 0;
    for (UInt32 f : {UInt32(kFieldAudioChannels), UInt32(kFieldAudioRate), UInt32(kFieldAudioBitSize)}) {
        ValueText(catalog, entry, f, value.get(), text);
        if (!text[0]) continue;
        if (line[0]) {
            Str255 dash;
            PStrFromCString(dash, " - ");
            PStrAppend(line, dash);
        }
        PStrAppend(line, text);
    }
    if (line[0]) AppendPStr(&out, line);
    Handle h = nullptr;
    PtrToHand(out.data(), &h, Size(out.size()));
    return h;
}
