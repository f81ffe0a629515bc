// Rows that describe an item's media: the fields each media category shows and the lines of
// one movie track.
#include "catalog/fields/FieldDef.h"
#include "catalog/info/InfoEdit.h"
#include "foundation/format/NumberFormat.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/PString.h"
#include "media/kinds/KindTable.h"

#include <algorithm>
#include <cstring>

namespace {

const UInt32 kImageFields[] = {66, 23, 65, 8, 9, 22, 21, 24, 13, 0};
const UInt32 kAudioFields[] = {66, 23, 16, 34, 17, 18, 19, 0};
const UInt32 kVideoFields[] = {66, 23, 16, 65, 34, 35, 22, 20, 17, 18, 19, 0};
const UInt32 kDtpFields[] = {66, 23, 65, 13, 0};
const UInt32 kFontFields[] = {66, 23, 13, 0};
const UInt32 kTextFields[] = {66, 23, 25, 26, 0};
const UInt32 kHtmlFields[] = {66, 23, 0};

const UInt32* FieldsOfCategory(UInt8 category) {
    switch (category) {
    case kKindCategoryImage:
    case kKindCategoryIllustration:
        return kImageFields;
    case kKindCategoryAudio:
        return kAudioFields;
    case kKindCategoryVideo:
        return kVideoFields;
    case kKindCategoryDTP:
        return kDtpFields;
    case kKindCategoryFont:
        return kFontFields;
    case kKindCategoryText:
        return kTextFields;
    case kKindCategoryHTML:
        return kHtmlFields;
    default:
        return nullptr;
    }
}

void AppendC(Str255 text, const char* c) {
    Str255 part;
    PStrFromCString(part, c);
    PStrAppend(text, part);
}

// "Name: " from a string list entry.
void Label(Str255 text, short list, short entry) {
    LoadIndexedString(text, list, entry);
    AppendC(text, ": ");
}

// A length-prefixed text inside the track record, its length kept within its room.
void AppendStored(Str255 text, const UInt8* at, int room) {
    PStrAppendBytes(text, at + 1, std::min<int>(at[0], room - 1));
}

UInt32 U32(const UInt8* track, int offset) {
    UInt32 v;
    std::memcpy(&v, track + offset, 4);
    return v;
}

void AppendByteSize(Str255 text, UInt32 count) {
    Str255 number;
    const short unit = FormatByteSize(count, number, 0);
    PStrAppend(text, number);
    AppendC(text, " ");
    AppendIndexedString(text, kStrListByteUnits, unit);
}

}  // namespace

UInt32 FieldsForCategory(OSType kind, int n) {
    const UInt32* fields = FieldsOfCategory(KindGetCategory(kind));
    if (!fields || n < 0) return 0;
    for (int i = 0; i <= n; ++i)
        if (fields[i] == 0) return 0;
    return fields[n];
}

OSErr InfoEditAddTrackRows(CatalogRec* catalog, const UInt8* track, UInt32 trackNumber) {
    if (!catalog || !catalog->infoRows || !track) return paramErr;
    auto add = [&](ConstStr255Param text) {
        return InfoAppendRow(catalog->infoRows, kInfoRowTrack, 0, kInfoStateFixed, 0, 0, text);
    };
    Str255 text;
    PStrFromCString(text, "#");
    PStrAppendNumber(text, SInt32(trackNumber));
    AppendC(text, " ");
    AppendStored(text, track, 96);
    OSErr err = add(text);
    if (err != noErr) return err;

    if (track[280]) {
        LoadIndexedString(text, 512, 1);  // "Chapter Track"
        return add(text);
    }
    if (track[96] != 0) {
        Label(text, kStrListFieldNames, 26);  // "Encoding"
        AppendStored(text, track + 96, 160);
        if ((err = add(text)) != noErr) return err;
    }
    Str255 part;
    Label(text, 512, 2);  // "Start Time"
    FormatDuration(U32(track, 256), part, false, true);
    PStrAppend(text, part);
    if ((err = add(text)) != noErr) return err;

    Label(text, 512, 3);  // "Duration"
    FormatDuration(U32(track, 260), part, false, true);
    PStrAppend(text, part);
    if ((err = add(text)) != noErr) return err;

    Label(text, kStrListFieldNames, 30);  // "Data Size"
    AppendByteSize(text, U32(track, 264));
    if ((err = add(text)) != noErr) return err;

    Label(text, kStrListFieldNames, 90);  // "Data Rate"
    AppendByteSize(text, U32(track, 268));
    AppendC(text, "/sec");
    if ((err = add(text)) != noErr) return err;

    if (const UInt32 rate = U32(track, 272)) {
        Label(text, kStrListFieldNames, 89);  // "Frame Rate"
        FormatFNumber(rate * 0.001, kNumberTwoDecimalsTrimmed, part);
        PStrAppend(text, part);
        AppendC(text, " FPS");
        err = add(text);
    }
    return err;
}
