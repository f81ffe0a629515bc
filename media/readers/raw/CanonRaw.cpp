#include "media/readers/raw/CanonRaw.h"

#include "foundation/interface/PixelAccess.h"
#include "media/imaging/ColorMatching.h"
#include "media/imaging/Orientation.h"
#include "media/metadata/Exif.h"
#include "media/metadata/MetaValueStore.h"
#include "media/readers/raw/RawLibrary.h"
#include "media/readers/raw/RawReaderSupport.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

// A directory holds at most this many entries; more is damage.
constexpr UInt32 kMaxHeapEntries = 4096;

UInt16 Get16(const CanonRawRecord& r, const std::uint8_t* p) { return r.byteOrder == 0x4D4D ? ReadBE16(p) : ReadLE16(p); }
UInt32 Get32(const CanonRawRecord& r, const std::uint8_t* p) { return r.byteOrder == 0x4D4D ? ReadBE32(p) : ReadLE32(p); }

bool ReadAt(const CanonRawRecord& r, SInt64 at, void* buffer, std::size_t count) {
    if (at < 0 || at > r.fileSize || SInt64(count) > r.fileSize - at) return false;
    if (std::fseek(r.stream, long(at), SEEK_SET) != 0) return false;
    return std::fread(buffer, 1, count, r.stream) == count;
}

// The data of an entry, when it lies inside its heap and the file.
bool EntryData(const CanonRawRecord& r, SInt64 heapStart, SInt64 heapLength, UInt32 offset, UInt32 size,
               std::size_t want, std::vector<std::uint8_t>* out) {
    if (SInt64(offset) > heapLength || SInt64(want) > heapLength - offset || want > size) return false;
    out->resize(want);
    return ReadAt(r, heapStart + offset, out->data(), want);
}

SInt16 Element(const CanonRawRecord& r, const std::vector<std::uint8_t>& d, int n) {
    return SInt16(Get16(r, d.data() + 2 * n));
}

OSErr CopyText(const char* source, std::size_t available, char (&field)[64]) {
    std::size_t n = strnlen(source, available);
    if (n > 63) n = 63;
    std::memcpy(field, source, n);
    field[n] = 0;
    return noErr;
}

OSErr OpenRecord(const FSSpec* spec, CanonRawRecord* record) {
    record->stream = std::fopen(spec->path.c_str(), "rb");
    if (!record->stream) return fnfErr;
    return noErr;
}

void CloseRecord(CanonRawRecord* record) {
    if (record->stream) std::fclose(record->stream);
    record->stream = nullptr;
}

void StoreDate(UserData metadata, UInt32 captureTime, SInt32 zone) {
    // Seconds since 1970 with the zone's offset, as a calendar date of that clock.
    const std::time_t t = std::time_t(std::int64_t(captureTime) + zone);
    std::tm tm{};
    if (!gmtime_r(&t, &tm)) return;
    char text[64];
    std::snprintf(text, sizeof text, "%d:%.2d:%.2d %.2d:%.2d:%.2d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    Handle h = nullptr;
    if (PtrToHand(text, &h, 20) == noErr) {
        (*h)[19] = 0;
        MetaStoreValue(metadata, h, ExifFieldId(0x9003));
        DisposeHandle(h);
    }
}

SInt32 FlashValue(SInt16 mode) {
    switch (mode) {
    case 1: return 9;
    case 2: case 4: case 16: return 1;
    case 3: return 13;
    case 5: return 29;
    case 6: return 16;
    default: return 0;
    }
}

SInt32 ProgramValue(SInt16 mode) {
    switch (mode) {
    case 0: return 21;
    case 1: return 2;
    case 2: return 4;
    case 3: return 3;
    case 4: case 101: return 1;
    case 5: return 20;
    case 6: return 19;
    case 105: return 22;
    case 107: return 24;
    case 110: return 26;
    case 111: return 23;
    case 112: return 27;
    default: return -1;
    }
}

SInt32 MeteringValue(SInt16 mode) {
    switch (mode) {
    case 0: case 5: return 2;
    case 1: return 3;
    case 2: return 1;
    case 3: return 4;
    case 4: return 6;
    default: return -1;
    }
}

SInt32 LightSource(SInt16 balance) {
    switch (balance) {
    case 0: return 0;
    case 1: return 1;
    case 2: return 10;
    case 3: return 3;
    case 4: return 2;
    case 5: return 4;
    case 6: return 30;
    default: return -1;
    }
}

// The JPEG preview at the record's offset drawn into a new offscreen.
OSErr DrawCrwPreview(const CanonRawRecord& r, GWorldPtr* out) {
    if (r.previewLength == 0) return resNotFound;
    if (r.previewLength > kRawMaxPreviewBytes || !(SInt64(r.previewOffset) <= r.fileSize &&
                                                  SInt64(r.previewLength) <= r.fileSize - r.previewOffset))
        return kBadMediaDataErr;
    Handle bytes = NewHandle(Size(r.previewLength));
    if (!bytes) return memFullErr;
    OSErr err = ReadAt(r, r.previewOffset, *bytes, r.previewLength) ? OSErr(noErr) : OSErr(kBadMediaDataErr);
    if (err == noErr) err = RawDrawJpeg(bytes, out);
    DisposeHandle(bytes);
    if (err == noErr && !*out) err = resNotFound;
    return err;
}

}  // namespace

int CanonRawProbe(const FSSpec* spec) {
    if (!spec) return 0;
    MetaReader file;
    std::uint8_t head[16];
    if (file.Open(spec) != noErr || file.ReadAt(0, head, 16) != noErr) return 0;
    if (head[8] == 0x43 && head[9] == 0x52 && head[10] == 0x02) return 2;
    if (std::memcmp(head + 6, "HEAPCCDR", 8) == 0) return 1;
    return 0;
}

OSErr ReadCanonCrwHeap(CanonRawRecord* record, SInt64 start, SInt64 length, int depth) {
    CanonRawRecord& r = *record;
    if (depth > kCrwMaxDepth || length < 6 || start < 0 || start > r.fileSize || length > r.fileSize - start)
        return kBadMediaDataErr;
    std::uint8_t word[4];
    if (!ReadAt(r, start + length - 4, word, 4)) return kBadMediaDataErr;
    const UInt32 dirOffset = Get32(r, word);
    if (SInt64(dirOffset) > length - 6) return kBadMediaDataErr;
    std::uint8_t countBytes[2];
    if (!ReadAt(r, start + dirOffset, countBytes, 2)) return kBadMediaDataErr;
    const UInt32 count = Get16(r, countBytes);
    if (count > kMaxHeapEntries || SInt64(count) * 10 > length - dirOffset - 2) return kBadMediaDataErr;
    std::vector<std::uint8_t> entries(std::size_t(count) * 10);
    if (count && !ReadAt(r, start + dirOffset + 2, entries.data(), entries.size())) return kBadMediaDataErr;

    std::vector<std::uint8_t> d;
    for (UInt32 i = 0; i < count; ++i) {
        const std::uint8_t* e = entries.data() + std::size_t(i) * 10;
        const UInt16 tag = Get16(r, e);
        const UInt32 size = Get32(r, e + 2), offset = Get32(r, e + 6);
        switch (SInt16(tag)) {
        case 0x2007:
        case 0x2008:
            if (size > r.previewLength && SInt64(offset) <= length && SInt64(size) <= length - offset) {
                r.previewOffset = UInt32(start + offset);
                r.previewLength = size;
            }
            break;
        case 0x1810:
            if (EntryData(r, start, length, offset, size, 24, &d)) {
                r.width = Get32(r, d.data());
                r.height = Get32(r, d.data() + 4);
                r.rotation = Get32(r, d.data() + 12);
                r.colorDepth = Get32(r, d.data() + 20);
            }
            break;
        case 0x10B4:
            r.colorSpace = size;
            break;
        case 0x102A:
            if (EntryData(r, start, length, offset, size, 16, &d)) {
                r.baseIso = Element(r, d, 2);
                r.targetAperture = Element(r, d, 4);
                r.targetExposureTime = Element(r, d, 5);
                r.exposureCompensation = Element(r, d, 6);
                r.whiteBalance = Element(r, d, 7);
            }
            break;
        case 0x102D:
            if (EntryData(r, start, length, offset, size, 50, &d)) {
                r.flashMode = Element(r, d, 4);
                r.meteringMode = Element(r, d, 17);
                r.exposureMode = Element(r, d, 20);
                r.longFocal = Element(r, d, 23);
                r.shortFocal = Element(r, d, 24);
            }
            break;
        case 0x5029:
            r.focalLength = SInt16(size >> 16);
            break;
        case 0x180E:
            if (EntryData(r, start, length, offset, size, 12, &d)) {
                r.captureTime = Get32(r, d.data());
                r.timeZoneCode = SInt32(Get32(r, d.data() + 4));
                r.timeZoneInfo = Get32(r, d.data() + 8);
            }
            break;
        case 0x080A: {
            const std::size_t want = std::min<UInt32>(size, 128);
            if (want && EntryData(r, start, length, offset, size, want, &d)) {
                const char* text = reinterpret_cast<const char*>(d.data());
                const std::size_t makeLength = strnlen(text, want);
                CopyText(text, want, r.make);
                if (makeLength + 1 < want) CopyText(text + makeLength + 1, want - makeLength - 1, r.model);
            }
            break;
        }
        default:
            if ((tag & 0x3800) == 0x2800 || (tag & 0x3800) == 0x3000) {
                if (SInt64(offset) <= length && SInt64(size) <= length - offset && size > 0)
                    ReadCanonCrwHeap(record, start + offset, size, depth + 1);
            }
            break;
        }
    }
    return noErr;
}

OSErr CanonCrwOpen(CanonRawRecord* record) {
    CanonRawRecord& r = *record;
    if (std::fseek(r.stream, 0, SEEK_END) != 0) return kBadMediaDataErr;
    r.fileSize = std::ftell(r.stream);
    std::uint8_t head[14];
    if (r.fileSize < 14 || !ReadAt(r, 0, head, sizeof head)) return kBadMediaDataErr;
    r.byteOrder = ReadLE16(head);
    if (std::memcmp(head + 6, "HEAPCCDR", 8) != 0 || (r.byteOrder != 0x4949 && r.byteOrder != 0x4D4D))
        return kBadMediaDataErr;
    const UInt32 headerLength = Get32(r, head + 2);
    if (SInt64(headerLength) >= r.fileSize) return kBadMediaDataErr;
    ReadCanonCrwHeap(record, headerLength, r.fileSize - headerLength);
    if (r.width == 0 || r.height == 0) return kBadMediaDataErr;
    return noErr;
}

OSErr CanonCrwRead(const FSSpec* spec, GWorldPtr* offscreen, UserData metadata, KindInfoRec* info,
                   Handle* colorProfile) {
    CanonRawRecord record;
    if (OpenRecord(spec, &record) != noErr) return fnfErr;
    OSErr err = CanonCrwOpen(&record);
    if (err == noErr && info) {
        info->width = record.width;
        info->height = record.height;
        LastExifOrientation() = RawOrientationFromDegrees(SInt32(record.rotation));
        const KindEngineState& engine = KindEngineGlobals();
        Handle profile = record.colorSpace == 1 ? engine.srgbProfile : record.colorSpace == 2 ? engine.adobeRgbProfile : nullptr;
        if (profile && GetHandleSize(profile) > 0) {
            IccProfileGetInfo(profile, info->colorProfile, nullptr);
            if (colorProfile && !*colorProfile && !engine.importerOptionB) {
                Handle copy = profile;
                if (HandToHand(&copy) == noErr) *colorProfile = copy;
            }
        }
    }
    if (err == noErr && metadata) CanonCrwSetMetadata(record, metadata);
    if (err == noErr && offscreen) {
        *offscreen = nullptr;
        err = DrawCrwPreview(record, offscreen);
    }
    CloseRecord(&record);
    return err;
}

void CanonCrwSetMetadata(const CanonRawRecord& r, UserData metadata) {
    if (!metadata) return;
    RawStoreText(metadata, kUdText_mak, r.make);
    RawStoreText(metadata, kUdText_mod, r.model);
    if (r.captureTime) StoreDate(metadata, r.captureTime, r.timeZoneCode);
    if (r.baseIso) RawStoreShort(metadata, 0x8827, UInt16(std::pow(2.0, r.baseIso / 32) * 50 * 0.0625));
    if (r.focalLength) RawStoreRational(metadata, 0x920A, UInt32(SInt32(r.focalLength)), 1);
    RawStoreRational(metadata, 0x9204, UInt32(SInt32(r.exposureCompensation)), 32);
    RawStoreRational(metadata, 0x829D, UInt32(SInt32(std::pow(2.0, r.targetAperture * 0.015625) * 100)), 100);
    RawStoreRational(metadata, 0x829A, UInt32(SInt32(std::pow(0.5, r.targetExposureTime * 0.03125) * 1000)), 1000);
    RawStoreShort(metadata, 0x9209, UInt16(FlashValue(r.flashMode)));
    RawAppendText(metadata, kRawLensTextItem, RawLensText(r.shortFocal, r.longFocal));
    if (SInt32 v = ProgramValue(r.exposureMode); v >= 0) RawStoreShort(metadata, 0x8822, UInt16(v));
    if (SInt32 v = MeteringValue(r.meteringMode); v >= 0) RawStoreShort(metadata, 0x9207, UInt16(v));
    if (SInt32 v = LightSource(r.whiteBalance); v >= 0) RawStoreShort(metadata, 0x9208, UInt16(v));
}

OSErr CanonCr2ReadPreview(const FSSpec* spec, GWorldPtr* offscreen, KindInfoRec* info, UserData metadata) {
    if (!metadata) return paramErr;
    OSErr err = TiffReadFileTags(spec, 0, metadata);
    if (err != noErr) return err;
    if (info) {
        SInt32 w = 0, h = 0;
        RawTagValue(metadata, 0xA002, &w);
        RawTagValue(metadata, 0xA003, &h);
        info->width = UInt32(w);
        info->height = UInt32(h);
        info->resolution = 180;
    }
    SInt32 offset = 0, length = 0;
    RawTagValue(metadata, 0x0111, &offset);
    RawTagValue(metadata, 0x0117, &length);
    if (offset == 0 || length == 0 || !offscreen) return noErr;
    Handle bytes = nullptr;
    err = RawReadFileBlock(spec, UInt32(offset), UInt32(length), &bytes);
    if (err == noErr) err = RawDrawJpeg(bytes, offscreen);
    if (bytes) DisposeHandle(bytes);
    return err;
}

OSErr CanonRawGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata,
                      Handle* colorProfile) {
    OSErr err;
    switch (CanonRawProbe(spec)) {
    case 1:
        err = CanonCrwRead(spec, offscreen, metadata, info, colorProfile);
        if (info) info->resolution = 180;
        break;
    case 2:
        err = CanonCr2ReadPreview(spec, offscreen, info, metadata);
        break;
    default:
        return kBadMediaDataErr;
    }
    if (err == noErr && info) {
        RawFillImageInfo(info, info->width, info->height, info->resolution, 48);
        RawSetFormatName(info, "Canon RAW");
    }
    return err;
}

OSErr CanonRawMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    OSErr err = kNoMediaReaderErr;
    if (!RawPrefersEmbeddedPreview()) {
        err = CanonRawDevelop(spec, offscreen, size);
        if (err == noErr) RawMarkPreview(false);
    }
    if (err != noErr) {
        RawMarkPreview();
        UserData scratch = nullptr;
        switch (CanonRawProbe(spec)) {
        case 1:
            err = CanonCrwRead(spec, offscreen, nullptr, nullptr);
            break;
        case 2:
            if (NewUserData(&scratch) != noErr) return memFullErr;
            err = CanonCr2ReadPreview(spec, offscreen, nullptr, scratch);
            DisposeUserData(scratch);
            break;
        default:
            err = kBadMediaDataErr;
            break;
        }
    }
    return RawFinishThumbnail(err, offscreen, size, orientation);
}

OSErr CanonTiffRawSetInfo(KindInfoRec* info) {
    if (!info) return paramErr;
    info->colorSpace = 'RGB ';
    info->depth = 48;
    info->pages = 1;
    info->compression = ImageMemoryRatio(info->dataSize, info->width, info->height, 48);
    RawSetFormatName(info, "Canon TIFF/RAW");
    return noErr;
}

OSErr CanonTiffRawDevelop(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    if (!offscreen) return paramErr;
    OSErr err = CanonRawDevelop(spec, offscreen, size);
    if (err == noErr && orientation != 0) err = ApplyOrientation(offscreen, orientation);
    if (err != noErr && *offscreen) {
        DisposeGWorld(*offscreen);
        *offscreen = nullptr;
    }
    return err;
}

OSErr CanonRawDevelop(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    OSErr err = RawDevelopFile(spec, size == kKindDisplaySize ? 0 : size, offscreen);
    if (err == noErr || err == memFullErr || err == userCanceledErr) return err;
    return kRawDataErr;
}
