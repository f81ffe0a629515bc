#include "media/readers/raw/KodakDcr.h"

#include "media/imaging/Offscreen.h"
#include "media/imaging/Orientation.h"
#include "media/metadata/Exif.h"
#include "media/readers/raw/RawLibrary.h"
#include "media/readers/raw/RawReaderSupport.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The library's turn values for a turn in degrees (clockwise).
int FlipForRotation(SInt32 rotation) {
    switch (rotation) {
    case 0: return 0;
    case 90: return 6;
    case 180: return 3;
    case 270: return 5;
    default: return -1;
    }
}

SInt32 DegreesForFlip(int flip) {
    switch (flip) {
    case 6: return 90;
    case 3: return 180;
    case 5: return 270;
    default: return 0;
    }
}

OSErr OpenDcr(const FSSpec* spec, RawFile* file) {
    OSErr err = file->Open(spec);
    return err == fnfErr ? OSErr(kKodakOpenErr) : err;
}

UInt32 ResolutionOf(UserData list) {
    std::vector<std::uint8_t> bytes;
    if (!RawTagBytes(list, 0x11A, &bytes) || bytes.size() < 8) return 0;
    UInt32 pair[2];
    std::memcpy(pair, bytes.data(), 8);
    return pair[1] ? pair[0] / pair[1] : 0;
}

}  // namespace

SInt32 KodakRotationForCode(UInt16 orientation) {
    switch (orientation) {
    case 'W ': return 90;
    case 'CW': return 270;
    case 'HV': return 180;
    default: return 0;
    }
}

OSErr KodakDevelop(RawFile& file, int sizeMode, SInt32 rotation, GWorldPtr* out) {
    if (!out) return paramErr;
    *out = nullptr;
    const int flip = FlipForRotation(rotation);
    if (sizeMode < 0 || sizeMode > 2 || flip < 0) return paramErr;
    const RawFacts& facts = file.Facts();
    const UInt32 longSide = std::max(facts.width, facts.height);
    RawDevelopOptions options;
    options.flip = flip;
    // Half and quarter of the sensor picture's longer side.
    options.size = sizeMode == 0 ? 0 : SInt32(std::max<UInt32>(1, longSide >> sizeMode));
    options.progress = KindReading().callback;
    options.refCon = KindReading().refCon;
    return file.Develop(options, out);
}

OSErr KodakDcrGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    RawFile file;
    if (OSErr err = OpenDcr(spec, &file)) return err == kKodakOpenErr ? err : OSErr(kRawFormatErr);
    const RawFacts& facts = file.Facts();
    if (metadata) TiffReadFileTags(spec, 0, metadata);
    if (info) {
        RawFillImageInfo(info, facts.width, facts.height, metadata ? ResolutionOf(metadata) : 0, 32);
        RawAppendFormatName(info, "Kodak RAW");
        LastExifOrientation = RawOrientationFromDegrees(DegreesForFlip(facts.flip));
    }
    if (offscreen) {
        GWorldPtr picture = nullptr;
        if (KodakDevelop(file, 2, 0, &picture) != noErr) return kRawFormatErr;
        *offscreen = picture;
    }
    return noErr;
}

OSErr KodakDcrMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    RawFile file;
    OSErr err = OpenDcr(spec, &file);
    if (err == noErr) {
        const SInt32 rotation = KodakRotationForCode(orientation);
        if (!RawPrefersEmbeddedPreview()) {
            err = KodakDevelop(file, 0, rotation, offscreen);
        } else {
            RawMarkPreview(true);
            err = KodakDevelop(file, 1, rotation, offscreen);
            if (err != noErr) {
                RawMarkPreview(false);
                err = KodakDevelop(file, 0, rotation, offscreen);
            }
        }
    }
    if (err != noErr) return err == kKodakOpenErr ? err : OSErr(kRawThumbnailFormatErr);
    // Flips are not done while reading.
    const UInt16 flip = orientation == 'H ' || orientation == 'V ' ? orientation : 0;
    err = RawFinishThumbnail(noErr, offscreen, size, flip);
    return err == noErr ? err : OSErr(kRawThumbnailFormatErr);
}
