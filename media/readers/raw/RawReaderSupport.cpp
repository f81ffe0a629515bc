#include "media/readers/raw/RawReaderSupport.h"

#include "foundation/interface/PixelAccess.h"
#include "media/imaging/ImportToOffscreen.h"
#include "media/imaging/Offscreen.h"
#include "media/imaging/Orientation.h"
#include "media/metadata/MetaValueStore.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

OSErr RawReadBlock(MetaReader& file, SInt64 offset, SInt64 length, Handle* out) {
    if (!out) return paramErr;
    *out = nullptr;
    if (length == 0) return resNotFound;
    if (length < 0 || length > kRawMaxPreviewBytes || !file.Fits(offset, std::uint64_t(length))) return kBadMediaDataErr;
    return file.ReadHandle(offset, std::size_t(length), out);
}

OSErr RawReadFileBlock(const FSSpec* spec, SInt64 offset, SInt64 length, Handle* out) {
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    return RawReadBlock(file, offset, length, out);
}

OSErr RawDrawJpeg(Handle jpeg, GWorldPtr* out) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!jpeg || GetHandleSize(jpeg) < 4) return kBadMediaDataErr;
    OSErr err = noErr;
    *out = GraphicsImportToOffscreen(jpeg, 'JPEG', k32BGRAPixelFormat, srcCopy, nullptr, &err);
    if (!*out && err == noErr) err = kBadMediaDataErr;
    return err;
}

void RawFillImageInfo(KindInfoRec* info, UInt32 width, UInt32 height, UInt32 resolution, UInt32 depth) {
    if (!info) return;
    info->width = width;
    info->height = height;
    info->resolution = resolution;
    info->depth = depth;
    info->pages = 1;
    info->colorSpace = 'RGB ';
    info->compression = ImageMemoryRatio(info->dataSize, width, height, depth);
}

void RawSetFormatName(KindInfoRec* info, const char* name) {
    if (!info) return;
    info->encoding[0] = 0;
    RawAppendFormatName(info, name);
}

void RawAppendFormatName(KindInfoRec* info, const char* text) {
    if (!info || !text) return;
    std::size_t have = info->encoding[0];
    std::size_t add = std::min(std::strlen(text), sizeof info->encoding - 1 - have);
    std::memcpy(info->encoding + 1 + have, text, add);
    info->encoding[0] = static_cast<unsigned char>(have + add);
}

void RawMarkPreview(bool isPreview) {
    KindReading().previewFlag = isPreview ? 1 : 0;
}

SInt16 RawOrientationFromDegrees(SInt32 degrees) {
    switch (degrees) {
    case 90: return 6;
    case 180: return 3;
    case 270: return 8;
    default: return 0;
    }
}

bool RawTagValue(UserData list, OSType tag, SInt32* value) {
    if (!list || !value) return false;
    SInt32 v = 0;
    if (MetaGetValue(list, tag, 1, 2, sizeof v, &v) != noErr) return false;
    *value = v;
    return true;
}

bool RawTagBytes(UserData list, OSType tag, std::vector<std::uint8_t>* out) {
    if (!list || !out || CountUserDataType(list, tag) == 0) return false;
    Handle h = NewHandle(0);
    if (!h) return false;
    bool ok = GetUserData(list, h, tag, 1) == noErr;
    if (ok) {
        const Size n = GetHandleSize(h);
        out->assign(reinterpret_cast<std::uint8_t*>(*h), reinterpret_cast<std::uint8_t*>(*h) + n);
    }
    DisposeHandle(h);
    return ok;
}

std::vector<UInt32> RawTagArray32(UserData list, OSType tag) {
    std::vector<std::uint8_t> bytes;
    std::vector<UInt32> values;
    if (!RawTagBytes(list, tag, &bytes)) return values;
    values.resize(bytes.size() / 4);
    if (!values.empty()) std::memcpy(values.data(), bytes.data(), values.size() * 4);
    return values;
}

namespace {

void StoreBytes(UserData list, OSType type, const void* bytes, Size size) {
    Handle h = nullptr;
    if (PtrToHand(bytes, &h, size) != noErr) return;
    MetaStoreValue(list, h, type);
    DisposeHandle(h);
}

}  // namespace

void RawStoreShort(UserData list, UInt16 exifTag, UInt16 value) {
    if (list) StoreBytes(list, ExifFieldId(exifTag), &value, sizeof value);
}

void RawStoreRational(UserData list, UInt16 exifTag, UInt32 numerator, UInt32 denominator) {
    if (!list) return;
    UInt32 pair[2] = {numerator, denominator};
    StoreBytes(list, ExifFieldId(exifTag), pair, sizeof pair);
}

void RawStoreText(UserData list, OSType type, const std::string& text) {
    if (list && !text.empty()) UserDataAddTextBytes(list, type, text.data(), long(text.size()));
}

std::string RawLensText(SInt32 shortFocal, SInt32 longFocal) {
    if (shortFocal == 0) return {};
    char text[40];
    if (longFocal == shortFocal || longFocal == 0) std::snprintf(text, sizeof text, "%d mm", int(shortFocal));
    else std::snprintf(text, sizeof text, "%d-%d mm", int(shortFocal), int(longFocal));
    return text;
}

void RawAppendText(UserData list, OSType type, const std::string& text) {
    if (list && !text.empty()) AppendToMetaList(list, type, text.data(), long(text.size()));
}

OSErr RawFinishThumbnail(OSErr err, GWorldPtr* out, SInt32 size, UInt16 orientation) {
    if (!out) return paramErr;
    if (err == noErr && !*out) err = resNotFound;
    if (err == noErr && size > 0 && size != kKindDisplaySize) {
        const std::int16_t side = std::int16_t(std::min<SInt32>(size, kMaxWorldSide));
        Rect bounds = GetPortBounds(*out);
        if (bounds.right - bounds.left > side || bounds.bottom - bounds.top > side) {
            Rect box{0, 0, side, side};
            GWorldPtr fitted = OffscreenScaledCopy(*out, &box, k32BGRAPixelFormat);
            if (fitted) {
                DisposeGWorld(*out);
                *out = fitted;
            } else {
                err = memFullErr;
            }
        }
    }
    if (err == noErr && orientation != 0) err = ApplyOrientation(out, orientation);
    if (err != noErr && *out) {
        DisposeGWorld(*out);
        *out = nullptr;
    }
    return err;
}

bool RawPrefersEmbeddedPreview() {
    return ((KindEngineGlobals().kodakLook >> 8) & 0xFF) != 0;
}

OSErr RawDevelopFile(const FSSpec* spec, SInt32 size, GWorldPtr* out) {
    if (!out) return paramErr;
    *out = nullptr;
    RawFile file;
    if (OSErr err = file.Open(spec)) return err;
    RawDevelopOptions options;
    options.size = size == kKindDisplaySize ? 0 : size;
    options.progress = KindReading().callback;
    options.refCon = KindReading().refCon;
    return file.Develop(options, out);
}
