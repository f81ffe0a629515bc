#include "media/readers/alias/AliasPix.h"

#include "foundation/interface/PixelAccess.h"
#include "media/imaging/Orientation.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/MetaFile.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kHeader = 10;
// A picture of this format is never larger; a damaged header cannot make us allocate more.
constexpr SInt64 kMaxDataBytes = 256LL << 20;

void Progress(SInt32 phase, SInt32 a, SInt32 b) {
    const KindReadingState& reading = KindReading();
    if (reading.callback) reading.callback(phase, a, b, reading.refCon);
}

}  // namespace

void KindRegisterAliasPix() {
    KindRegister('ALS ', kKindHandlerBuiltin, "Alias Pix", kKindCategoryImage);
    KindRegister('APIX', kKindHandlerBuiltin, "Alias Pix", kKindCategoryImage);
}

bool IsAliasPixType(OSType type) {
    return type == 'ALS ' || type == 'APIX';
}

OSErr AliasPixDecode(SInt16 bits, const FSSpec* spec, GWorldPtr* picture, UInt32* width, UInt32* height,
                     UInt32* depth) {
    if (!picture) return paramErr;
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    std::uint8_t header[kHeader];
    if (OSErr err = file.ReadAt(0, header, sizeof header)) return err;
    const int w = (header[0] << 8) | header[1], h = (header[2] << 8) | header[3];
    const int fileBits = (header[8] << 8) | header[9];
    if (w < 1 || h < 1 || w > 32767 || h > 32767) return kAliasPixSizeErr;
    if (fileBits != bits) return kAliasPixDepthErr;
    const SInt64 length = std::min(file.Length() - SInt64(kHeader), kMaxDataBytes);
    std::vector<std::uint8_t> data;
    if (length > 0)
        if (OSErr err = file.ReadVector(kHeader, std::size_t(length), &data)) return err;

    if (bits == 8) {
        if (!*picture) return paramErr;
        const Rect bounds = GetPortBounds(*picture);
        if (bounds.right - bounds.left != w || bounds.bottom - bounds.top != h) return resNotFound;
    } else {
        GWorldPtr world = nullptr;
        const Rect bounds{0, 0, SInt16(h), SInt16(w)};
        if (OSErr err = NewGWorldFromFormat(&world, k32BGRAPixelFormat, &bounds)) return err;
        *picture = world;
    }
    if (!LockPixels(*picture)) return memFullErr;
    const PixelView v = GetGWorldPixels(*picture);
    const RGBColor& back = KindEngineGlobals().thumbBackground;
    const std::uint32_t bg[3] = {std::uint32_t(back.red >> 8), std::uint32_t(back.green >> 8),
                                 std::uint32_t(back.blue >> 8)};
    const std::size_t runSize = bits == 24 ? 4 : 2;
    std::size_t pixel = 0;
    const std::size_t total = std::size_t(w) * std::size_t(h);
    for (std::size_t at = 0; at + runSize <= data.size() && pixel < total; at += runSize) {
        const std::size_t count = std::min<std::size_t>(data[at], total - pixel);
        for (std::size_t i = 0; i < count; ++i, ++pixel) {
            auto* p = reinterpret_cast<std::uint32_t*>(v.base + (pixel / w) * std::size_t(v.rowBytes)) + pixel % w;
            if (bits == 24) {
                *p = (std::uint32_t(data[at + 1]) << 16) | (std::uint32_t(data[at + 2]) << 8) | data[at + 3];
            } else {
                const std::uint32_t m = data[at + 1];
                const std::uint32_t c[3] = {(*p >> 16) & 0xFF, (*p >> 8) & 0xFF, *p & 0xFF};
                std::uint32_t out = 0;
                for (int k = 0; k < 3; ++k) out = (out << 8) | ((m * c[k] + (255 - m) * bg[k]) / 255);
                *p = out;
            }
        }
    }
    UnlockPixels(*picture);
    if (width) *width = UInt32(w);
    if (height) *height = UInt32(h);
    if (depth) *depth = UInt32(bits);
    return noErr;
}

OSErr AliasPixRead(const FSSpec* spec, GWorldPtr* picture, UInt32* width, UInt32* height, UInt32* depth) {
    if (!picture || !spec) return paramErr;
    *picture = nullptr;
    Progress(0, 0, 2);
    OSErr err = AliasPixDecode(24, spec, picture, width, height, depth);
    Progress(1, 1, 2);
    const std::string& path = spec->path;
    if (err == noErr && path.size() >= 4 && path.compare(path.size() - 4, 4, ".als") == 0) {
        FSSpec matte;
        if (FSMakeFSSpecFromPath(path.substr(0, path.size() - 4) + ".msk", &matte) == noErr)
            AliasPixDecode(8, &matte, picture, nullptr, nullptr, nullptr);
    }
    Progress(2, 0, 0);
    if (err && *picture) {
        DisposeGWorld(*picture);
        *picture = nullptr;
    }
    return err;
}

OSErr AliasPixGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* picture) {
    if (!info) return paramErr;
    GWorldPtr world = nullptr;
    UInt32 width = 0, height = 0, depth = 0;
    const OSErr err = AliasPixRead(spec, &world, &width, &height, &depth);
    if (err) return err;
    info->width = width;
    info->height = height;
    info->depth = depth;
    info->resolution = 72;
    info->compression = ImageMemoryRatio(info->dataSize, width, height, depth);
    info->pages = 1;
    info->colorSpace = 'RGB ';
    static const char kFormat[] = "RLE";
    info->encoding[0] = sizeof kFormat - 1;
    std::memcpy(info->encoding + 1, kFormat, sizeof kFormat - 1);
    if (picture) *picture = world;
    else DisposeGWorld(world);
    return noErr;
}

OSErr AliasPixMakeThumbnail(const FSSpec* spec, GWorldPtr* picture, UInt16 orientation) {
    if (!picture) return paramErr;
    OSErr err = AliasPixRead(spec, picture, nullptr, nullptr, nullptr);
    if (err == noErr && orientation) err = ApplyOrientation(picture, orientation);
    if (err && *picture) {
        DisposeGWorld(*picture);
        *picture = nullptr;
    }
    return err;
}
