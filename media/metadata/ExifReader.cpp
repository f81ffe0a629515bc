#include "media/metadata/Exif.h"

#include "foundation/text/Unicode.h"
#include "media/metadata/ExifInternal.h"
#include "media/metadata/MetaValueStore.h"
#include "media/metadata/MetadataLevel.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {
// Per thread: readings run on several at once.
thread_local SInt16 tLastOrientation = 0;
}  // namespace

SInt16& LastExifOrientation() { return tLastOrientation; }

namespace {

constexpr UInt32 kMaxEntries = 200;
// No value of a metadata directory is this large; a count that asks for more is damage.
constexpr std::uint64_t kMaxValueSize = 64ull << 20;

Handle gSrgbProfile = nullptr;
Handle gAdobeRgbProfile = nullptr;

bool IsTextTag(UInt16 tag, OSType* type) {
    switch (tag) {
    case 0x010E: *type = kUdText_nam; return true;
    case 0x010F: *type = kUdText_mak; return true;
    case 0x0110: *type = kUdText_mod; return true;
    case 0x0131: *type = kUdText_swr; return true;
    case 0x013B: *type = kUdText_ART; return true;
    case 0x8298: *type = kUdText_cpy; return true;
    default: return false;
    }
}

bool IsXpTag(UInt16 tag, OSType* type) {
    switch (tag) {
    case 0x9C9B: *type = kUdText_inf; return true;
    case 0x9C9C: *type = kUdText_cmt; return true;
    case 0x9C9D: *type = kUdText_aut; return true;
    case 0x9C9E: *type = kUdText_key; return true;
    case 0x9C9F: *type = kUdText_PRD; return true;
    default: return false;
    }
}

bool KeepsStoredBytes(UInt16 tag) { return tag == 0x83BB || tag == 0x8568 || tag == 700; }

std::size_t SizeOf(Handle h) {
    Size n = GetHandleSize(h);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool ProfileOutEmpty(Handle* icc) { return icc && (!*icc || GetHandleSize(*icc) == 0); }

// Puts bytes into the caller's profile out: its empty handle, or a new one.
void GiveProfile(Handle* icc, const void* bytes, std::size_t size) {
    if (!size) return;
    if (*icc) {
        SetHandleSize(*icc, static_cast<Size>(size));
        if (MemError()) return;
        std::memcpy(**icc, bytes, size);
    } else {
        PtrToHand(bytes, icc, static_cast<Size>(size));
    }
}

void GiveStandardProfile(Handle* icc, Handle profile) {
    if (profile && GetHandleSize(profile) > 0) GiveProfile(icc, *profile, SizeOf(profile));
}

}  // namespace

Handle TiffReadEntryValue(ExifDecodeContext& ctx, UInt16 tag, UInt16 type, UInt32 count, const std::uint8_t* raw) {
    std::uint64_t size = std::uint64_t(TiffTypeSize(type)) * count;
    if (size == 0 || size > kMaxValueSize) return nullptr;
    Handle h = nullptr;
    if (size <= 4) {
        if (PtrToHand(raw, &h, static_cast<Size>(size))) return nullptr;
    } else {
        SInt64 at = ctx.base + ExifGet32(ctx, raw);
        if (ctx.file->ReadHandle(at, static_cast<std::size_t>(size), &h)) return nullptr;
    }
    if (!KeepsStoredBytes(tag)) TiffSwapValue(reinterpret_cast<std::uint8_t*>(*h), SizeOf(h), type, ctx.byteOrder);
    return h;
}

OSErr TiffReadDirectory(ExifDecodeContext& ctx, SInt64 absolute, UInt32* count, std::vector<std::uint8_t>* whole) {
    *count = 0;
    whole->clear();
    std::uint8_t countBytes[2];
    if (absolute < 0) return paramErr;
    if (OSErr err = ctx.file->ReadAt(absolute, countBytes, 2)) return err;
    const UInt32 n = ExifGet16(ctx, countBytes);
    if (n > kMaxEntries) return kBadMediaDataErr;
    if (OSErr err = ctx.file->ReadVector(absolute + 2, 12 * std::size_t(n) + 4, whole)) return err;
    *count = n;
    return noErr;
}

namespace {

void Walk(ExifDecodeContext& ctx, SInt64 directory, UInt16 kind, UserData metadata, Handle* icc);

// A sub-directory (EXIF, GPS, maker note) is walked with the context's byte order and base
// restored afterwards.
void WalkMakerNote(ExifDecodeContext& ctx, SInt64 currentAbsolute, const std::uint8_t* raw, UserData metadata,
                   Handle* icc, bool* stopChain) {
    const UInt8 savedOrder = ctx.byteOrder;
    const SInt64 savedBase = ctx.base;
    const UInt32 offset = ExifGet32(ctx, raw);
    SInt64 directory = offset;
    switch (ctx.maker) {
    case kMakerOlympus: {
        std::uint8_t bytes[4];
        WriteLE32(bytes, offset);
        AppendToMetaList(metadata, 0x927C, bytes, 4);
        return;
    }
    case kMakerNikon:
        if (!NikonMakerNoteHeader(ctx, offset, &directory)) {
            ctx.byteOrder = savedOrder;
            ctx.base = savedBase;
            return;
        }
        break;
    case kMakerAsahi:
        ctx.byteOrder = 'M';
        break;
    case kMakerPentax:
        directory = SInt64(offset) + 6;
        break;
    default:
        break;
    }
    if (ctx.base + directory == currentAbsolute)
        *stopChain = true;
    else
        Walk(ctx, directory, kIfdMakerNote, metadata, icc);
    ctx.byteOrder = savedOrder;
    ctx.base = savedBase;
}

// Handles one valid entry; sets *stopChain when the chain must end.
void HandleEntry(ExifDecodeContext& ctx, SInt64 currentAbsolute, SInt64 currentRelative, bool firstInChain,
                 const std::uint8_t* entry, UInt16 kind, UserData metadata, Handle* icc, bool* stopChain) {
    const UInt16 tag = ExifGet16(ctx, entry);
    const UInt16 type = ExifGet16(ctx, entry + 2);
    const UInt32 count = ExifGet32(ctx, entry + 4);
    const std::uint8_t* raw = entry + 8;

    switch (tag) {
    case kIfdExif:
    case kIfdGps: {
        UInt32 sub = ExifGet32(ctx, raw);
        if (SInt64(sub) == currentRelative) {
            *stopChain = true;
            return;
        }
        Walk(ctx, sub, tag, metadata, icc);
        return;
    }
    case 0x0112: {
        UInt16 v = ctx.byteOrder == 'M' ? ReadBE16(raw) : ReadLE16(raw);
        LastExifOrientation() = (v >= 1 && v <= 8) ? SInt16(v) : 0;
        return;
    }
    case 0x0000:
    case 0x00FE:
    case 0x013E:
    case 0x013F:
    case 0x0211:
        return;
    case 0x2020: {
        if (!metadata) return;
        std::uint8_t bytes[4];
        WriteLE32(bytes, ExifGet32(ctx, raw));
        AppendToMetaList(metadata, 0x2020, bytes, 4);
        return;
    }
    case kIfdMakerNote:
        if (ctx.maker) WalkMakerNote(ctx, currentAbsolute, raw, metadata, icc, stopChain);
        return;
    case 0x8773:  // embedded ICC profile
        if (firstInChain && ProfileOutEmpty(icc)) {
            std::uint64_t size = count;
            if (size == 0 || size > kMaxValueSize) return;
            if (size < 5) {
                GiveProfile(icc, raw, static_cast<std::size_t>(size));
            } else {
                std::vector<std::uint8_t> bytes;
                if (ctx.file->ReadVector(ctx.base + ExifGet32(ctx, raw), static_cast<std::size_t>(size), &bytes) == noErr)
                    GiveProfile(icc, bytes.data(), bytes.size());
            }
        }
        return;
    case 0xA001:  // ColorSpace: 1 is sRGB
        if (firstInChain && ProfileOutEmpty(icc) && ExifGet16(ctx, raw) == 1) GiveStandardProfile(icc, gSrgbProfile);
        return;
    case 0xA005:  // interoperability directory: its first entry's value names the colour space
        if (ProfileOutEmpty(icc)) {
            char index[4];
            if (ctx.file->ReadAt(ctx.base + ExifGet32(ctx, raw) + 10, index, 4) == noErr) {
                if (std::memcmp(index, "R98", 3) == 0) GiveStandardProfile(icc, gSrgbProfile);
                else if (std::memcmp(index, "R03", 3) == 0) GiveStandardProfile(icc, gAdobeRgbProfile);
            }
        }
        return;
    default:
        break;
    }
    if (!metadata) return;
    Handle value = TiffReadEntryValue(ctx, tag, type, count, raw);
    if (!value) return;
    ExifStoreEntry(ctx, kind, tag, value, metadata);
    DisposeHandle(value);
}

void Walk(ExifDecodeContext& ctx, SInt64 directory, UInt16 kind, UserData metadata, Handle* icc) {
    const bool buffered = MetadataFormatLevel() >= 300;
    bool firstInChain = true;
    while (true) {
        const SInt64 absolute = ctx.base + directory;
        for (SInt32 i = 0; i < ctx.visitedCount; ++i)
            if (ctx.visited[i] == absolute) return;  // a loop: walked once
        if (ctx.visitedCount >= kMaxVisitedIfds) return;
        ctx.visited[ctx.visitedCount++] = absolute;

        UInt32 count = 0;
        std::vector<std::uint8_t> whole;
        if (buffered) {
            if (TiffReadDirectory(ctx, absolute, &count, &whole) != noErr) return;
        } else {
            std::uint8_t countBytes[2];
            if (absolute < 0 || ctx.file->ReadAt(absolute, countBytes, 2)) return;
            count = ExifGet16(ctx, countBytes);
            if (count > kMaxEntries) return;
        }

        bool stop = false;
        for (UInt32 e = 0; e < count && !stop; ++e) {
            std::uint8_t entry[12];
            if (buffered) {
                std::memcpy(entry, whole.data() + 12 * e, 12);
            } else if (ctx.file->ReadAt(absolute + 2 + 12 * SInt64(e), entry, 12)) {
                return;
            }
            const UInt16 type = ExifGet16(ctx, entry + 2);
            if (type == 0 || type > 12) {
                if (buffered) continue;
                return;  // the whole chain ends at an invalid entry
            }
            HandleEntry(ctx, absolute, directory, firstInChain, entry, kind, metadata, icc, &stop);
        }
        if (stop) return;

        std::uint8_t next[4];
        if (buffered)
            std::memcpy(next, whole.data() + 12 * count, 4);
        else if (ctx.file->ReadAt(absolute + 2 + 12 * SInt64(count), next, 4))
            return;
        const UInt32 nextOffset = ExifGet32(ctx, next);
        if (nextOffset == 0) return;
        directory = nextOffset;
        firstInChain = false;
    }
}

OSErr ReadMetadata(MetaReader& file, SInt64 base, SInt64 firstIfd, UserData metadata, Handle* icc) {
    std::uint8_t header[8];
    if (OSErr err = file.ReadAt(base, header, 8)) return err;
    ExifDecodeContext ctx;
    ctx.byteOrder = header[0];
    if (!((header[0] == 'I' && header[1] == 'I') || (header[0] == 'M' && header[1] == 'M'))) return kBadMediaDataErr;
    ctx.base = base;
    ctx.file = &file;
    const UInt32 headerIfd = ExifGet32(ctx, header + 4);
    const SInt64 first = firstIfd == -1 ? SInt64(headerIfd) : firstIfd;
    if (metadata) {
        std::uint8_t item[8] = {header[0], header[1]};
        WriteLE16(item + 2, ExifGet16(ctx, header + 2));
        WriteLE32(item + 4, UInt32(first));
        AppendToMetaList(metadata, 'TIFF', item, 8);
    }
    Walk(ctx, first, kIfdMain, metadata, icc);
    return noErr;
}

}  // namespace

UInt16 ExifGet16(const ExifDecodeContext& ctx, const void* p) { return ctx.byteOrder == 'M' ? ReadBE16(p) : ReadLE16(p); }
UInt32 ExifGet32(const ExifDecodeContext& ctx, const void* p) { return ctx.byteOrder == 'M' ? ReadBE32(p) : ReadLE32(p); }

long TiffTypeSize(UInt16 type) {
    switch (type) {
    case 1: case 2: case 6: case 7: return 1;
    case 3: case 8: return 2;
    case 4: case 9: case 11: return 4;
    case 5: case 10: case 12: return 8;
    default: return 0;
    }
}

void TiffSwapValue(std::uint8_t* bytes, std::size_t size, UInt16 type, UInt8 byteOrder) {
    if (byteOrder != 'M') return;
    std::size_t unit = 0;
    switch (type) {
    case 3: case 8: unit = 2; break;
    case 4: case 5: case 9: case 10: case 11: unit = 4; break;
    case 12: unit = 8; break;
    default: return;
    }
    for (std::size_t i = 0; i + unit <= size; i += unit) std::reverse(bytes + i, bytes + i + unit);
}

OSType ExifMakerFromMake(const void* make, long length) {
    if (!make || length <= 4) return 0;
    static const struct { const char* prefix; OSType code; } kMakers[] = {
        {"Asahi", kMakerAsahi}, {"PENTA", kMakerPentax}, {"NIKON", kMakerNikon}, {"Canon", kMakerCanon},
        {"Kodak", kMakerKodak}, {"OLYMP", kMakerOlympus}, {"Minol", kMakerMinolta},
    };
    for (const auto& m : kMakers)
        if (std::memcmp(make, m.prefix, 5) == 0) return m.code;
    if (length >= 14 && (std::memcmp(make, "Konica Minolta", 14) == 0 || std::memcmp(make, "KONICA MINOLTA", 14) == 0))
        return kMakerMinolta;
    return 0;
}

void ExifStoreXpText(UserData metadata, OSType type, Handle value) {
    const std::size_t half = SizeOf(value) / 2;
    if (half == 0) return;
    std::u16string units = Utf16LEBytesToUtf16(*value, half * 2);
    std::string text = Utf16ToAnsi(units);
    std::string buffer(half, '\0');
    std::memcpy(buffer.data(), text.data(), std::min(text.size(), half));
    UserDataAddTextBytes(metadata, type, buffer.data(), long(buffer.size()));
}

void ExifStoreEntry(ExifDecodeContext& ctx, UInt16 dirKind, UInt16 tag, Handle value, UserData metadata) {
    bool storedBare = false;
    switch (dirKind) {
    case kIfdGps:
        MetaStoreValue(metadata, value, GpsFieldId(tag));
        break;
    case kIfdExif: {
        // The exposure time, f-number and ISO the camera wrote win over the values derived from
        // their APEX forms.
        OSType direct = tag == 0x9201 ? ExifFieldId(0x829A) : tag == 0x9202 ? ExifFieldId(0x829D)
                        : tag == 0x9215 ? ExifFieldId(0x8827) : 0;
        if (!direct || CountUserDataType(metadata, direct) == 0) MetaStoreValue(metadata, value, ExifFieldId(tag));
        break;
    }
    case kIfdMakerNote:
        switch (ctx.maker) {
        case kMakerMinolta:
            if (tag == 0x81 || tag == 0x88) {
                AddUserData(metadata, value, tag);
                storedBare = true;
            }
            break;
        case kMakerAsahi:
        case kMakerPentax:
            PentaxDecodeEntry(ctx, tag, value, metadata);
            break;
        case kMakerCanon:
            if (tag == 1) CanonDecodeCameraSettings(value, metadata);
            if (tag == 4) CanonDecodeShotInfo(value, metadata);
            break;
        case kMakerNikon:
            NikonDecodeEntry(ctx, tag, value, metadata);
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }

    OSType type = 0;
    if (tag == 0x83BB || tag == 0x8568) {
        AddUserData(metadata, value, 'iptc');
    } else if (IsTextTag(tag, &type)) {
        if (tag == 0x010F) ctx.maker = ExifMakerFromMake(*value, GetHandleSize(value));
        AddUserDataText(metadata, value, type, 1, 0);
    } else if (tag == 700) {
        AddUserData(metadata, value, 'XMP ');
    } else if (tag == 0x9286) {
        std::size_t start = 0;
        if (ExifCleanUserComment(reinterpret_cast<const std::uint8_t*>(*value), SizeOf(value), &start))
            UserDataAddTextBytes(metadata, kUdText_src, *value + start, long(SizeOf(value) - start));
    } else if (IsXpTag(tag, &type)) {
        ExifStoreXpText(metadata, type, value);
    } else if (ctx.maker == kMakerKodak && dirKind != kIfdExif && dirKind != kIfdGps &&
               MetaStoreValue(metadata, value, ExifFieldId(tag))) {
        // Kodak files carry EXIF values outside the EXIF directory.
    } else if (!storedBare) {
        AddUserData(metadata, value, tag);
    }
}

OSErr ExifReadFromFile(const FSSpec* spec, SInt64 base, UserData metadata, Handle* iccProfile) {
    LastExifOrientation() = 0;
    if (!metadata && !iccProfile) return noErr;
    return TiffReadMetadata(spec, base, -1, metadata, iccProfile);
}

OSErr TiffReadMetadata(const FSSpec* spec, SInt64 base, SInt64 firstIfd, UserData metadata, Handle* iccProfile) {
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    if (base < 0 || base > file.Length()) return posErr;
    return ReadMetadata(file, base, firstIfd, metadata, iccProfile);
}

OSErr ExifReadFromBytes(const void* bytes, std::size_t size, UserData metadata, Handle* iccProfile) {
    LastExifOrientation() = 0;
    if (!metadata && !iccProfile) return noErr;
    MetaReader reader;
    reader.OpenBytes(bytes, size);
    return ReadMetadata(reader, 0, -1, metadata, iccProfile);
}

bool ExifReadFromTiffBlock(Handle block, UserData metadata) {
    if (!block || !metadata) return false;
    const std::size_t size = SizeOf(block);
    if (size < 2) return false;
    const auto* p = reinterpret_cast<const std::uint8_t*>(*block);
    ExifDecodeContext ctx;
    ctx.byteOrder = p[0];
    const unsigned entries = p[1];
    std::size_t pos = 2;
    bool any = false;
    for (unsigned e = 0; e < entries; ++e) {
        if (size - pos < 8) break;
        const UInt16 tag = ReadLE16(p + pos), type = ReadLE16(p + pos + 2), count = ReadLE16(p + pos + 4);
        pos += 8;
        const std::size_t valueSize = std::size_t(TiffTypeSize(type)) * count;
        if (valueSize > size - pos) break;
        if (valueSize) {
            Handle value = nullptr;
            if (PtrToHand(p + pos, &value, static_cast<Size>(valueSize)) == noErr) {
                TiffSwapValue(reinterpret_cast<std::uint8_t*>(*value), valueSize, type, ctx.byteOrder);
                ExifStoreEntry(ctx, kIfdExif, tag, value, metadata);
                DisposeHandle(value);
                any = true;
            }
            // The handle may have moved: the block is still the caller's and untouched.
            p = reinterpret_cast<const std::uint8_t*>(*block);
        }
        pos += valueSize;
    }
    return any;
}

OSType TiffDetectRawKind(const FSSpec* spec, bool checkMakers) {
    MetaReader file;
    if (file.Open(spec)) return 0;
    std::uint8_t header[12];
    if (file.ReadAt(0, header, 12)) return 0;
    ExifDecodeContext ctx;
    ctx.byteOrder = header[0];
    ctx.file = &file;
    if (ExifGet32(ctx, header + 8) == 0xBAB0ACBB) return 'CRW ';
    if (!checkMakers) return 0;

    const SInt64 ifd = ExifGet32(ctx, header + 4);
    std::uint8_t countBytes[2];
    if (file.ReadAt(ifd, countBytes, 2)) return 0;
    const UInt32 count = ExifGet16(ctx, countBytes);
    if (count > kMaxEntries) return 0;
    char make[5] = {}, model[3] = {};
    bool haveMake = false, haveModel = false;
    UInt32 subIfds = 0;
    for (UInt32 e = 0; e < count; ++e) {
        std::uint8_t entry[12];
        if (file.ReadAt(ifd + 2 + 12 * SInt64(e), entry, 12)) return 0;
        const UInt16 tag = ExifGet16(ctx, entry);
        const UInt32 n = ExifGet32(ctx, entry + 4);
        auto text = [&](char* out, std::size_t want) {
            if (n < want) return false;
            if (n <= 4) {
                std::memcpy(out, entry + 8, want);
                return true;
            }
            return file.ReadAt(ExifGet32(ctx, entry + 8), out, want) == noErr;
        };
        if (tag == 0x010F) haveMake = text(make, 5);
        else if (tag == 0x0110) haveModel = text(model, 3);
        else if (tag == 0x014A) subIfds = n;
    }
    if (subIfds != 2 || !haveMake || !haveModel) return 0;
    static const struct { const char* make; const char* model; } kPairs[] = {
        {"Canon", "EOS"}, {"Kodak", "EOS"}, {"Kodak", "DCS"}, {"KODAK", "NC2"}};
    for (const auto& pair : kPairs)
        if (std::memcmp(make, pair.make, 5) == 0 && std::memcmp(model, pair.model, 3) == 0) return 'DCB ';
    return 0;
}

void ExifSetStandardProfiles(Handle srgb, Handle adobeRgb) {
    gSrgbProfile = srgb;
    gAdobeRgbProfile = adobeRgb;
}
