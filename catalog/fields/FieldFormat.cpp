#include "catalog/fields/FieldFormat.h"

#include "catalog/fields/FieldEngine.h"
#include "foundation/format/DateFormat.h"
#include "foundation/format/NumberFormat.h"
#include "foundation/text/PString.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/TextEncoding.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr FieldDef kNoRow{};

// The flash values that have their own entry in string list 528 (entry 2 + position).
constexpr std::uint16_t kFlashSequence[] = {1,  5,  7,  9,  13, 15, 16, 24, 25, 29, 31,
                                            32, 65, 69, 71, 73, 77, 79, 89, 93, 95};

// Loads entry of a list only when it is a real entry (1..99) of that list; a code outside
// the list gives no text rather than an entry of the neighbouring list.
void LoadEntry(StringPtr out, int list, long entry) {
    out[0] = 0;
    if (entry >= 1 && entry <= 99) LoadIndexedString(out, short(list), short(entry));
}

void AppendC(StringPtr s, const char* text) {
    Str255 tmp;
    PStrFromCString(tmp, text);
    PStrAppend(s, tmp);
}

// The value as a plain number by its type (u8, i16, u32), for the numeric formats.
std::int64_t NumberOf(const FieldValue* v, std::uint8_t type) {
    switch (type) {
    case kFieldTypeU8: return v->u8;
    case kFieldTypeI16: return v->i16;
    default: return v->u32;
    }
}

bool IsZero(const FieldValue* v, std::uint8_t type) {
    switch (type) {
    case kFieldTypeU8: return v->u8 == 0;
    case kFieldTypeI16: return v->i16 == 0;
    case kFieldTypeU32: return v->u32 == 0;
    case kFieldTypePair: return v->pair.first == 0 || v->pair.second == 0;
    default: return false;
    }
}

void FormatText(const FieldValue* v, StringPtr text) {
    int length = v->text.length;
    if (length <= 0) return;
    if (length > kFieldTextMax) length = kFieldTextMax;
    if (v->text.encoding == kFieldTextUtf8) {
        char ansi[kFieldTextMax];
        long written = 0;
        ConvertToAnsi(v->text.bytes, length, ansi, sizeof ansi, &written, kTextEncodingUtf8);
        PStrFromBytes(text, ansi, written);
    } else {
        PStrFromBytes(text, v->text.bytes, length);
    }
}

// Pixels in the engine's dimension unit, with the item's resolution; empty for 0 pixels.
void FormatDimension(std::uint32_t pixels, std::uint32_t resolution, StringPtr out) {
    out[0] = 0;
    FormatResolution(pixels, resolution, FieldEngine().display.dimensionUnit, out);
}

void FormatClock(std::uint32_t tenths, StringPtr out, bool withTenths) {
    std::uint32_t seconds = tenths / 10;
    char buf[48];
    if (withTenths)
        std::snprintf(buf, sizeof buf, "%02u:%02u:%02u.%u", seconds / 3600, (seconds / 60) % 60,
                      seconds % 60, tenths % 10);
    else
        std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", seconds / 3600, (seconds / 60) % 60,
                      seconds % 60);
    AppendC(out, buf);
}

}  // namespace

void FieldValueToText(const FieldValue* value, std::uint8_t valueType, FieldId fieldId,
                      Str255 text, bool withUnit) {
    if (!text) return;
    text[0] = 0;
    if (!value || valueType == kFieldTypeNone) return;
    const FieldDef* found = FieldFindDef(fieldId);
    const FieldDef& row = found ? *found : kNoRow;
    Str255 unit;
    unit[0] = 0;

    if (!row.showZero && IsZero(value, valueType)) return;

    const FieldDisplayOptions& options = FieldEngine().display;
    char buf[64];

    switch (row.displayFormat) {
    case 1:
        if (valueType == kFieldTypeText) FormatText(value, text);
        break;
    case 2:
        LoadEntry(text, kStrListCodesBase + row.codeList, long(std::int8_t(value->u8)) + 1);
        break;
    case 3:
    case 4: {
        short u = FormatByteSize(std::uint32_t(NumberOf(value, valueType)), text, 0);
        AppendC(text, " ");
        LoadEntry(unit, kStrListByteUnits, u);
        if (row.displayFormat == 4) AppendIndexedString(unit, kStrListUnits, kUnitPerSec);
        break;
    }
    case 5: {
        std::uint32_t code = std::uint32_t(NumberOf(value, valueType));
        unsigned char c[4] = {std::uint8_t(code >> 24), std::uint8_t(code >> 16),
                              std::uint8_t(code >> 8), std::uint8_t(code)};
        PStrFromBytes(text, c, 4);
        break;
    }
    case 6:
    case 30: {
        std::uint32_t date = std::uint32_t(NumberOf(value, valueType));
        if (date != 0) {
            bool withTime = row.displayFormat == 6;
            FormatDateTime(text, date, true, withTime, withTime);
        }
        break;
    }
    case 8: {
        std::uint16_t pair = std::uint16_t(value->i16);
        long entry;
        switch (pair) {
        case 'H ': entry = 3; break;
        case 'HV': entry = 4; break;
        case 'V ': entry = 5; break;
        case 'CF': entry = 6; break;
        case 'CW': entry = 7; break;
        case 'WF': entry = 8; break;
        case 'W ': entry = 9; break;
        default: entry = 2; break;
        }
        LoadEntry(text, kStrListOrientation, entry);
        break;
    }
    case 9: {
        std::int64_t n = NumberOf(value, valueType);
        // One digit for labels 0..9; anything larger is written out rather than as the
        // character that happens to follow "9".
        if (n >= 0 && n <= 9) {
            unsigned char digit = std::uint8_t('0' + n);
            PStrFromBytes(text, &digit, 1);
        } else {
            PStrAppendNumber(text, SInt32(n));
        }
        break;
    }
    case 10:
        PStrAppendNumber(text, SInt32(std::uint32_t(NumberOf(value, valueType))));
        break;
    case 11: {
        if (value->pair.first == 0) {
            PStrFromCString(text, "-");
            break;
        }
        Str255 part;
        FormatDimension(value->pair.first, value->pair.third, part);
        PStrCopy(text, part);
        AppendC(text, " x ");
        FormatDimension(value->pair.second, value->pair.third, part);
        PStrAppend(text, part);
        if (withUnit) LoadEntry(unit, kStrListUnits, long(options.dimensionUnit) + 8);
        break;
    }
    case 12:
        FormatDimension(value->pair.first, value->pair.third, text);
        if (withUnit) LoadEntry(unit, kStrListUnits, long(options.dimensionUnit) + 8);
        break;
    case 13:
        FormatDimension(value->pair.first, value->pair.second, text);
        if (withUnit) LoadEntry(unit, kStrListUnits, long(options.dimensionUnit) + 8);
        break;
    case 14: {
        std::uint32_t n = std::uint32_t(NumberOf(value, valueType));
        if (options.resolutionUnit == 2)
            FormatFNumber(n * 0.39370078740157477, 201, text);
        else
            PStrAppendNumber(text, SInt32(n));
        if (withUnit) LoadEntry(unit, kStrListUnits, long(options.resolutionUnit) + 6);
        break;
    }
    case 15:
        FormatClock(std::uint32_t(NumberOf(value, valueType)), text, false);
        break;
    case 16:
    case 24:
        LoadEntry(text, kStrListCodesBase + row.codeList,
                  long(std::int16_t(NumberOf(value, valueType))) + 1);
        break;
    case 17:
        FormatFNumber(double(std::uint32_t(NumberOf(value, valueType))) * 0.001, 102, text);
        break;
    case 18: {
        std::uint32_t n = std::uint32_t(NumberOf(value, valueType));
        if (n != 0) LoadEntry(text, kStrListCodesBase + 6, long(n & 0xFFFF));
        break;
    }
    case 19: {
        std::uint32_t n = std::uint32_t(NumberOf(value, valueType));
        if (n != 0) {
            std::snprintf(buf, sizeof buf, "%d:%d", int(std::int16_t(n >> 16)),
                          int(std::int16_t(n & 0xFFFF)));
            PStrFromCString(text, buf);
        }
        break;
    }
    case 20: {
        // Four ASCII digits, the first in the low byte: "0220" is version 2.2.
        std::uint32_t n = std::uint32_t(NumberOf(value, valueType));
        if (n == 0) break;
        int d1 = int(n & 0xFF) - '0', d2 = int((n >> 8) & 0xFF) - '0', d3 = int((n >> 16) & 0xFF) - '0';
        FormatFNumber(((d1 * 10 + d2) * 10 + d3) * 0.1, 201, text);
        break;
    }
    case 21: {
        // Exposure time; 64-bit and floating arithmetic so no numerator or denominator
        // overflows, and no division by a zero denominator.
        std::uint64_t num = value->pair.first, den = value->pair.second;
        if (den == 0) break;
        if (num == 0) {
            PStrFromCString(text, "0");
        } else if (num < den) {
            AppendC(text, "1/");
            std::snprintf(buf, sizeof buf, "%.0f", RoundHalfAwayFromZero(double(den) / double(num)));
            AppendC(text, buf);
        } else {
            std::snprintf(buf, sizeof buf, "%.0f", RoundHalfAwayFromZero(double(num) / double(den)));
            PStrFromCString(text, buf);
        }
        break;
    }
    case 22:
        if (value->pair.second != 0)
            FormatFNumber(double(value->pair.first) / double(value->pair.second), 301, text);
        break;
    case 23: {
        // Exposure bias is a signed rational: -2/3 is stored as 0xFFFFFFFE / 3.
        std::int32_t num = std::int32_t(value->pair.first), den = std::int32_t(value->pair.second);
        if (den != 0) FormatFNumber(double(num) / double(den), 302, text);
        break;
    }
    case 25:
        if (value->pair.second != 0)
            FormatFNumber(double(value->pair.first) / double(value->pair.second), 201, text);
        break;
    case 26:
        if (value->pair.second != 0)
            FormatFNumber(double(value->pair.first) / double(value->pair.second), 202, text);
        break;
    case 27:
        PStrAppendNumber(text, std::int16_t(NumberOf(value, valueType)));
        break;
    case 28: {
        std::int16_t iso = std::int16_t(NumberOf(value, valueType));
        if (iso == 255)
            LoadEntry(text, kStrListCodesBase + 2, 1);
        else
            PStrAppendNumber(text, iso);
        break;
    }
    case 29:
        std::snprintf(buf, sizeof buf, "%u:%u", value->pair.first, value->pair.second);
        PStrFromCString(text, buf);
        break;
    case 31: {
        std::int64_t flash = NumberOf(value, valueType);
        long entry = 2;
        if (flash == 0) {
            entry = 1;
        } else {
            for (std::size_t i = 0; i < sizeof kFlashSequence / sizeof kFlashSequence[0]; ++i)
                if (flash == kFlashSequence[i]) entry = long(2 + i);
        }
        LoadEntry(text, kStrListCodesBase + 8, entry);
        break;
    }
    case 32:
        if (valueType == kFieldTypeChapter) {
            Str255 name;
            PStrCopy(name, value->chapter.name);
            PStrCopy(text, name);
            AppendC(text, " @ ");
            FormatClock(value->chapter.start, text, true);
        }
        break;
    default:
        break;
    }

    // Closing step: the row's unit when the format set none.
    if (unit[0] == 0 && withUnit && row.unitIndex != 0 && row.codeList == 0)
        LoadEntry(unit, kStrListUnits, row.unitIndex);
    if (unit[0] != 0 && text[0] != 0) {
        AppendC(text, " ");
        PStrAppend(text, unit);
    }
}

