// Camera maker notes decoded into standard EXIF values: Nikon, Canon, Pentax/Asahi. Values
// arrive in native order; decoded numbers go through MetaStoreValue, which stores them
// big-endian. "Replace" removes the earlier item of the field first.
#include "media/metadata/Exif.h"
#include "media/metadata/ExifInternal.h"
#include "media/metadata/MetaValueStore.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::size_t SizeOf(Handle h) {
    Size n = GetHandleSize(h);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}
const std::uint8_t* BytesOf(Handle h) { return reinterpret_cast<const std::uint8_t*>(*h); }

bool StartsWith(Handle value, const char* text) {
    std::size_t n = std::strlen(text);
    return SizeOf(value) >= n && std::memcmp(*value, text, n) == 0;
}

void StoreShort(UserData metadata, OSType field, std::uint16_t v, bool replace) {
    if (replace) UserDataRemove(metadata, field, 0);
    std::uint8_t bytes[2];
    WriteLE16(bytes, v);
    Handle h = nullptr;
    if (PtrToHand(bytes, &h, 2)) return;
    MetaStoreValue(metadata, h, field);
    DisposeHandle(h);
}

void StoreHandleReplacing(UserData metadata, OSType field, Handle value) {
    UserDataRemove(metadata, field, 0);
    MetaStoreValue(metadata, value, field);
}

void AppendLensText(UserData metadata, long shortFocal, long longFocal, bool equal) {
    char text[48];
    int n = equal ? std::snprintf(text, sizeof text, "%ld mm", longFocal)
                  : std::snprintf(text, sizeof text, "%ld-%ld mm", shortFocal, longFocal);
    if (n > 0) AppendToMetaList(metadata, 0x6578B002, text, n);
}

struct TextCode {
    const char* text;
    std::uint16_t value;
};

// The first code whose text the value begins with; the value must hold more than minSize bytes.
bool MatchText(Handle value, const TextCode* codes, std::size_t count, std::size_t minSize, std::uint16_t* out) {
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t need = std::max(minSize, std::strlen(codes[i].text));
        if (SizeOf(value) >= need && StartsWith(value, codes[i].text)) {
            *out = codes[i].value;
            return true;
        }
    }
    return false;
}

// Canon arrays of 16-bit values whose element 0 is the array's length in bytes. An element
// counts only when both that length and the value really hold it.
struct CanonArray {
    const std::uint8_t* p;
    std::size_t limit;  // bytes that count
    std::uint16_t declared;
    explicit CanonArray(Handle value) : p(BytesOf(value)), limit(0), declared(0) {
        std::size_t size = SizeOf(value);
        if (size < 2) return;
        declared = ReadLE16(p);
        limit = std::min<std::size_t>(declared, size);
    }
    bool Has(std::size_t i) const { return 2 * i + 2 <= limit; }
    std::uint16_t operator[](std::size_t i) const { return ReadLE16(p + 2 * i); }
};

}  // namespace

bool NikonMakerNoteHeader(ExifDecodeContext& ctx, UInt32 noteOffset, SInt64* directoryOffset) {
    std::uint8_t head[12];
    if (ctx.file->ReadAt(ctx.base + noteOffset, head, sizeof head)) return false;
    ctx.nikonVersion = head[0] == 'N' ? head[6] : 0;
    switch (ctx.nikonVersion) {
    case 1:
        *directoryOffset = SInt64(noteOffset) + 8;
        return true;
    case 2:
        if (head[11] != 'I' && head[11] != 'M') return false;
        ctx.base = ctx.base + noteOffset + 10;
        ctx.byteOrder = head[11];
        *directoryOffset = 8;
        return true;
    default:
        *directoryOffset = noteOffset;
        return true;
    }
}

void NikonDecodeEntry(ExifDecodeContext& ctx, UInt16 tag, Handle value, UserData metadata) {
    if (ctx.nikonVersion == 1) return;
    std::uint16_t code = 0;
    switch (tag) {
    case 0x0002:  // ISO: two 16-bit values
        MetaStoreValue(metadata, value, ExifFieldId(0x8827));
        break;
    case 0x0005: {  // white balance
        if (SizeOf(value) <= 3) break;
        static const TextCode kCodes[] = {{"AUT", 0}, {"FLU", 2}, {"INC", 3}, {"FLA", 4}, {"SUN", 9},
                                          {"CLO", 10}, {"SHA", 11}, {"WHI", 30}, {"PRE", 30}};
        if (StartsWith(value, "FLU") && SizeOf(value) <= 4) break;
        if (MatchText(value, kCodes, std::size(kCodes), 4, &code)) StoreShort(metadata, ExifFieldId(0x9208), code, true);
        break;
    }
    case 0x0006: {  // sharpness
        static const TextCode kCodes[] = {{"NOR", 0}, {"LOW", 1}, {"HIG", 2}, {"AUT", 9}, {"NON", 10}};
        if (MatchText(value, kCodes, std::size(kCodes), 3, &code)) StoreShort(metadata, ExifFieldId(0xA40A), code, false);
        break;
    }
    case 0x0007: {  // focus mode
        static const TextCode kCodes[] = {{"MANU", 1}, {"AF-S", 2}, {"AF-C", 3}, {"PRES", 4}};
        if (MatchText(value, kCodes, std::size(kCodes), 4, &code)) StoreShort(metadata, 0x6578B003, code, false);
        break;
    }
    case 0x0008:  // flash setting: blank text means no flash
        StoreShort(metadata, ExifFieldId(0x9209), SizeOf(value) > 3 && BytesOf(value)[0] == ' ' ? 0 : 1, false);
        break;
    case 0x0080: {  // image adjustment, 13 bytes compared
        static const TextCode kCodes[] = {{"NORMAL       ", 0}, {"CONTRAST(-)  ", 1}, {"CONTRAST(+)  ", 2},
                                          {"BRIGHTNESS(-)", 9}, {"BRIGHTNESS(+)", 10}, {"AUTO         ", 11}};
        if (MatchText(value, kCodes, std::size(kCodes), 13, &code)) StoreShort(metadata, ExifFieldId(0xA408), code, false);
        break;
    }
    case 0x0084: {  // lens: short focal num, den, long focal num, den
        if (SizeOf(value) < 16) break;
        const std::uint8_t* p = BytesOf(value);
        std::uint32_t v[4] = {ReadLE32(p), ReadLE32(p + 4), ReadLE32(p + 8), ReadLE32(p + 12)};
        if (!v[0] || !v[1] || !v[2] || !v[3]) break;
        long shortFocal = long(v[0] / v[1]), longFocal = long(v[2] / v[3]);
        AppendLensText(metadata, shortFocal, longFocal, shortFocal == longFocal);
        break;
    }
    case 0x0085:  // manual focus distance
        StoreHandleReplacing(metadata, ExifFieldId(0x9206), value);
        break;
    case 0x0086:  // digital zoom
        StoreHandleReplacing(metadata, ExifFieldId(0xA404), value);
        break;
    case 0x0094: {  // saturation
        if (SizeOf(value) < 2) break;
        switch (static_cast<std::int16_t>(ReadLE16(BytesOf(value)))) {
        case 0: code = 0; break;
        case -1: code = 1; break;
        case 1: code = 2; break;
        case -2: code = 9; break;
        case -3: code = 10; break;
        default: return;
        }
        StoreShort(metadata, ExifFieldId(0xA409), code, false);
        break;
    }
    case 0x0095:  // noise reduction
        StoreShort(metadata, 0x6578B001, SizeOf(value) > 2 && StartsWith(value, "OFF") ? 0 : 1, false);
        break;
    default:
        break;
    }
}

void CanonDecodeCameraSettings(Handle value, UserData metadata) {
    CanonArray a(value);
    if (a.declared > 31 && a.Has(16)) {
        std::uint16_t iso = 0;
        switch (a[16]) {
        case 15: iso = 255; break;
        case 16: iso = 50; break;
        case 17: iso = 100; break;
        case 18: iso = 200; break;
        case 19: iso = 400; break;
        default: break;
        }
        if (iso) StoreShort(metadata, ExifFieldId(0x8827), iso, true);
    }
    if (a.declared >= 40 && a.Has(20)) {
        std::uint16_t program = 0;
        switch (a[20]) {
        case 1: program = 2; break;
        case 2: program = 4; break;
        case 3: program = 3; break;
        case 4: program = 1; break;
        case 5: program = 20; break;
        case 0:
            if (a.Has(11)) {
                static const std::uint16_t kEasy[12] = {21, 1, 8, 6, 5, 22, 23, 24, 7, 25, 26, 27};
                if (a[11] < 12) program = kEasy[a[11]];
            }
            break;
        default: break;
        }
        if (program) StoreShort(metadata, ExifFieldId(0x8822), program, true);
    }
    if (a.declared > 49 && a.Has(25) && a[25] != 0) {
        long units = a[25];
        long longFocal = a[23] / units, shortFocal = a[24] / units;
        AppendLensText(metadata, shortFocal, longFocal, a[23] == a[24]);
    }
}

void CanonDecodeShotInfo(Handle value, UserData metadata) {
    CanonArray a(value);
    if (a.declared < 14 || !a.Has(7)) return;
    std::uint16_t wb = 0;
    switch (a[7]) {
    case 1: wb = 1; break;
    case 2: wb = 20; break;
    case 3: wb = 3; break;
    case 4: wb = 2; break;
    case 5: wb = 4; break;
    case 6: wb = 30; break;
    default: wb = 0; break;
    }
    StoreShort(metadata, ExifFieldId(0x9208), wb, true);
}

void PentaxDecodeEntry(ExifDecodeContext& ctx, UInt16 tag, Handle value, UserData metadata) {
    switch (tag) {
    case 4:
    case 5:
        if (SizeOf(value) >= 4 && ReadLE32(BytesOf(value)) != 0) AddUserData(metadata, value, tag == 4 ? 'JOFT' : 'JSZE');
        break;
    case 0x14:
        if (SizeOf(value) < 2) break;
        if (ctx.maker == kMakerPentax) {
            std::uint16_t iso = 0;
            switch (ReadLE16(BytesOf(value))) {
            case 4: iso = 64; break;
            case 5: iso = 80; break;
            case 6: iso = 100; break;
            case 7: iso = 125; break;
            case 8: iso = 160; break;
            case 9: iso = 200; break;
            case 12: iso = 400; break;
            default: break;  // 10, 11 and the rest store nothing
            }
            if (iso) StoreShort(metadata, ExifFieldId(0x8827), iso, false);
        } else {
            MetaStoreValue(metadata, value, ExifFieldId(0x8827));  // refuses a zero value
        }
        break;
    default:
        break;
    }
}

bool ExifCleanUserComment(const std::uint8_t* bytes, std::size_t size, std::size_t* textStart) {
    if (size < 9) return false;
    static const std::uint8_t kAscii[8] = {'A', 'S', 'C', 'I', 'I', 0, 0, 0};
    static const std::uint8_t kJis[8] = {'J', 'I', 'S', 0, 0, 0, 0, 0};
    static const std::uint8_t kUndefined[8] = {};
    if (std::memcmp(bytes, kAscii, 8) && std::memcmp(bytes, kJis, 8) && std::memcmp(bytes, kUndefined, 8)) return false;
    for (std::size_t i = 8; i < size; ++i)
        if (bytes[i] != 0 && bytes[i] != ' ') {
            *textStart = i;
            return true;
        }
    return false;
}
