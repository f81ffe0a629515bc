#include "media/readers/raw/NikonNef.h"

#include "media/metadata/Exif.h"
#include "media/readers/raw/RawLibrary.h"
#include "media/readers/raw/RawReaderSupport.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>

namespace {

enum : OSErr { kNikonNotReadableErr = -206 };

// The library's images of a file: its stored preview (when it has one), then the picture
// developed from the sensor.
std::vector<NikonImageSize> Images(const RawFacts& facts) {
    std::vector<NikonImageSize> images;
    if (facts.previewLength > 0) images.push_back({facts.previewWidth, facts.previewHeight});
    images.push_back({facts.width, facts.height});
    return images;
}

// Reads image index of the list into a new offscreen at most size x size.
// *isPreview tells whether it is the stored preview.
OSErr ReadImage(RawFile& file, const std::vector<NikonImageSize>& images, int index, SInt32 size, GWorldPtr* out,
                bool* isPreview = nullptr) {
    const bool preview = file.Facts().previewLength > 0 && index == 0 && images.size() > 1;
    if (isPreview) *isPreview = preview;
    if (preview) {
        Handle jpeg = nullptr;
        OSErr err = file.ReadPreview(&jpeg, out);
        if (err == noErr && jpeg) err = RawDrawJpeg(jpeg, out);
        if (jpeg) DisposeHandle(jpeg);
        return err;
    }
    RawDevelopOptions options;
    options.size = size > 0 && size != kKindDisplaySize ? size : 0;
    options.progress = KindReading().callback;
    options.refCon = KindReading().refCon;
    return file.Develop(options, out);
}

OSErr OpenNef(const FSSpec* spec, RawFile* file) {
    OSErr err = file->Open(spec);
    // A file the library cannot read is not a NEF of this reader.
    return err == kBadMediaDataErr ? OSErr(kNikonNotReadableErr) : err;
}

UInt32 RationalValue(UserData list, OSType tag) {
    std::vector<std::uint8_t> bytes;
    if (!RawTagBytes(list, tag, &bytes) || bytes.size() < 8) return 0;
    UInt32 pair[2];
    std::memcpy(pair, bytes.data(), 8);
    return pair[1] ? pair[0] / pair[1] : 0;
}

}  // namespace

int NikonChooseImage(const std::vector<NikonImageSize>& images, SInt32 requestedSize) {
    if (images.empty()) return -1;
    const int first = requestedSize == -1 ? int(images.size()) - 1 : 0;
    for (int i = first; i < int(images.size()); ++i) {
        const UInt32 side = images[i].height ? images[i].height : images[i].width;
        if (side > 200 && SInt64(side) >= SInt64(requestedSize)) return i;
    }
    return int(images.size()) - 1;
}

const char* NikonFormatVariant(int compression) {
    switch (compression) {
    case 2: return "NEF-RAW";                   // uncompressed
    case 1: case 3: case 4: return "NEF-Compressed";
    default: return "";
    }
}

OSErr NikonGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata, SInt32 size) {
    RawFile file;
    if (OSErr err = OpenNef(spec, &file)) return err;
    const RawFacts& facts = file.Facts();
    const std::vector<NikonImageSize> images = Images(facts);
    GWorldPtr picture = nullptr;
    OSErr err = noErr;
    if (offscreen) {
        err = ReadImage(file, images, NikonChooseImage(images, size), size, &picture);
        if (err == noErr) *offscreen = picture;
    }
    if (err != noErr) return err;
    if (info) {
        RawFillImageInfo(info, facts.width, facts.height, 0, 48);
        RawAppendFormatName(info, NikonFormatVariant(facts.nikonCompression));
    }
    if (metadata) {
        TiffReadFileTags(spec, 0, metadata);
        if (info) info->resolution = std::max(RationalValue(metadata, 0x11A), RationalValue(metadata, 0x11B));
        RawAppendText(metadata, kRawLensTextItem, RawLensText(SInt32(facts.minFocal), SInt32(facts.maxFocal)));
    }
    return noErr;
}

OSErr NikonMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    RawFile file;
    OSErr err = OpenNef(spec, &file);
    if (err == noErr) {
        const std::vector<NikonImageSize> images = Images(file.Facts());
        if (!RawPrefersEmbeddedPreview()) {
            // The library's own thumbnail: its first image.
            err = ReadImage(file, images, 0, size, offscreen);
            RawMarkPreview(false);
        } else {
            bool preview = false;
            err = ReadImage(file, images, NikonChooseImage(images, size), size, offscreen, &preview);
            RawMarkPreview(preview);
        }
    }
    return RawFinishThumbnail(err, offscreen, size, orientation);
}
