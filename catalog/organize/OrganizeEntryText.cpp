// The text the Organize panel shows for an entry: most entries show their own text; colours,
// dates and labels are shown as the user reads them.
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/tables/Labels.h"
#include "foundation/format/DateFormat.h"
#include "foundation/format/LocaleFormats.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/PString.h"
#include "platform/MacDates.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The RGB components a packed sample colour stands for: the low byte 0xFF marks a colour and
// the top four bits of each component sit in bits 24..27 (red), 16..19 (green), 8..11 (blue).
bool UnpackSampleColor(UInt32 packed, UInt16* r, UInt16* g, UInt16* b) {
    if ((packed & 0xFF) != 0xFF) {
        *r = *g = *b = 0;
        return false;
    }
    *r = UInt16(((packed >> 24) & 0xF) << 12);
    *g = UInt16(((packed >> 16) & 0xF) << 12);
    *b = UInt16(((packed >> 8) & 0xF) << 12);
    return true;
}

// The packed colour an entry's text holds in decimal digits.
bool EntrySampleColor(const OrganizeEntry* entry, UInt16* r, UInt16* g, UInt16* b) {
    char digits[256];
    std::memcpy(digits, entry->text + 1, entry->text[0]);
    digits[entry->text[0]] = 0;
    return UnpackSampleColor(UInt32(std::strtoll(digits, nullptr, 10)), r, g, b);
}

}  // namespace

bool OrganizeEntryColor(const OrganizeEntry* entry, UInt32 fieldId, RGBColor* colour) {
    if (!entry || fieldId != 27) return false;
    UInt16 r, g, b;
    if (!EntrySampleColor(entry, &r, &g, &b)) return false;
    *colour = RGBColor{r, g, b};
    return true;
}

void OrganizeEntryText(const OrganizeEntry* entry, UInt32 fieldId, Str255 text) {
    text[0] = 0;
    if (!entry) return;
    switch (fieldId) {
    case 27: {
        UInt16 r, g, b;
        EntrySampleColor(entry, &r, &g, &b);
        char shown[64];
        std::snprintf(shown, sizeof shown, "R:%02X | G:%02X | B:%02X", r / 255, g / 255, b / 255);
        PStrFromCString(text, shown);
        return;
    }
    case kOrganizeDateField: {
        const OrganizeDate d = OrganizeEntryGetDate(entry);
        if (entry->level == 0) {
            PStrAppendNumber(text, d.year);
        } else if (entry->level == 1) {
            LoadIndexedString(text, kMonthNameList, d.month);
            Str255 tail;
            PStrFromCString(tail, ", ");
            PStrAppend(text, tail);
            PStrAppendNumber(text, d.year);
        } else {
            DateTimeRec day{};
            day.year = SInt16(d.year);
            day.month = SInt16(d.month);
            day.day = SInt16(d.day);
            UInt32 seconds = 0;
            DateToSeconds(&day, &seconds);
            FormatDateTime(text, seconds, true, false, false);
        }
        return;
    }
    case kOrganizeLabelsField: {
        const int label = entry->text[0] >= 1 ? entry->text[entry->text[0]] - '0' : 0;
        LabelGetInfo(label >= 0 && label <= 9 ? label : 0, text, nullptr);
        return;
    }
    default:
        std::memcpy(text, entry->text, std::size_t(entry->text[0]) + 1);
        return;
    }
}
