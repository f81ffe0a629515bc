#include "media/readers/photocd/PhotoCD.h"

#include "foundation/files/FileData.h"
#include "foundation/interface/PixelAccess.h"
#include "media/imaging/Offscreen.h"
#include "media/imaging/Orientation.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/Exif.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

const OSType kTypes[] = {'kpcd', 'PCDI', 'PCD '};

UInt8 gResolution = 3;

// An image pack is a few megabytes; anything far larger is not one.
constexpr std::uintmax_t kMaxPackBytes = 64u << 20;
constexpr std::size_t kSignatureAt = 0x800;
constexpr std::size_t kRotationAt = 72;
constexpr int kBaseWidth = 768, kBaseHeight = 512;
constexpr UInt32 kInfoWidth = 3072, kInfoHeight = 2048;
// The IPTC block is looked for in this many bytes at the end of the file.
constexpr std::size_t kIptcWindow = 32767;

// The plainly stored levels: where each starts and its size.
struct Level {
    std::size_t offset;
    int width, height;
};
const Level kLevels[] = {
    {0x2000, 192, 128},
    {0xB800, 384, 256},
    {0x30000, kBaseWidth, kBaseHeight},
};

std::uint8_t Clamp(int v) {
    return std::uint8_t(std::clamp(v, 0, 255));
}

// Luminance and the two chrominance values of PhotoYCC to red, green and blue.
void YccToRgb(int y, int c1, int c2, std::uint8_t* rgb) {
    const double l = 1.3584 * y, b = 2.2179 * (c1 - 156), r = 1.8215 * (c2 - 137);
    rgb[0] = Clamp(int(l + r + 0.5));
    rgb[1] = Clamp(int(l - 0.194 * b - 0.509 * r + 0.5));
    rgb[2] = Clamp(int(l + b + 0.5));
}

// One stored level as packed RGB rows: each pair of rows is two rows of luminance and one row
// of each chrominance at half the width, shared by both rows.
bool DecodeLevel(std::string_view pack, const Level& level, std::vector<std::uint8_t>* rgb) {
    const std::size_t w = std::size_t(level.width), h = std::size_t(level.height);
    const std::size_t pairBytes = w * 3;  // two luminance rows and two half rows
    if (pack.size() < level.offset || pack.size() - level.offset < pairBytes * (h / 2)) return false;
    rgb->assign(w * h * 3, 0);
    const auto* base = reinterpret_cast<const std::uint8_t*>(pack.data()) + level.offset;
    for (std::size_t pair = 0; pair < h / 2; ++pair) {
        const std::uint8_t* y0 = base + pair * pairBytes;
        const std::uint8_t* y1 = y0 + w;
        const std::uint8_t* c1 = y1 + w;
        const std::uint8_t* c2 = c1 + w / 2;
        for (std::size_t x = 0; x < w; ++x) {
            YccToRgb(y0[x], c1[x / 2], c2[x / 2], &(*rgb)[((pair * 2) * w + x) * 3]);
            YccToRgb(y1[x], c1[x / 2], c2[x / 2], &(*rgb)[((pair * 2 + 1) * w + x) * 3]);
        }
    }
    return true;
}

bool IsImagePack(std::string_view pack) {
    return pack.size() > kSignatureAt + 7 && pack.substr(kSignatureAt, 7) == "PCD_IPI";
}

bool ReadPack(const FSSpec* spec, std::string* out, OSErr* err) {
    std::error_code ec;
    if (!spec) {
        *err = paramErr;
        return false;
    }
    const std::uintmax_t length = std::filesystem::file_size(spec->path, ec);
    if (ec) {
        *err = fnfErr;
        return false;
    }
    if (length > kMaxPackBytes) {
        *err = kBadMediaDataErr;
        return false;
    }
    Handle data = nullptr;
    long size = 0;
    *err = LoadFileData(spec, &data, &size);
    if (*err != noErr || !data) {
        if (*err == noErr) *err = memFullErr;
        return false;
    }
    HLock(data);
    out->assign(reinterpret_cast<const char*>(*data), std::size_t(size));
    DisposeHandle(data);
    return true;
}

SInt16 OrientationOfRotation(int rotation) {
    switch (rotation) {
    case 1: return 8;
    case 2: return 3;
    case 3: return 6;
    default: return 0;
    }
}

}  // namespace

void KindRegisterPhotoCD() {
    for (OSType type : kTypes) KindRegister(type, kKindHandlerBuiltin, "Kodak PhotoCD", kKindCategoryImage);
}

bool IsPhotoCDType(OSType type) {
    return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

void PhotoCDSetResolution(UInt8 choice) {
    gResolution = choice;
}

UInt8 PhotoCDGetResolution() {
    return gResolution;
}

void PhotoCDPictureSize(UInt8 choice, SInt32 size, int* width, int* height) {
    int w;
    switch (choice) {
    case 1: w = 768; break;
    case 2: w = 1536; break;
    case 3: w = 3072; break;
    default:
        w = size <= 192 ? 192 : size <= 384 ? 384 : size <= 768 ? 768 : size <= 1536 ? 1536 : 3072;
        break;
    }
    *width = w;
    *height = w * 2 / 3;
}

OSErr PhotoCDDecode(std::string_view pack, int width, int height, GWorldPtr* offscreen, int* rotation) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    if (width < 1 || height < 1 || width > int(kInfoWidth) || height > int(kInfoHeight)) return kPhotoCDDescriptionErr;
    if (!IsImagePack(pack)) return kBadMediaDataErr;
    if (rotation) *rotation = std::uint8_t(pack[kRotationAt]) & 3;
    // The smallest stored level that is at least as large as the picture, else the base.
    const Level* level = &kLevels[2];
    for (const Level& l : kLevels)
        if (l.width >= width && l.height >= height) {
            level = &l;
            break;
        }
    std::vector<std::uint8_t> rgb;
    if (!DecodeLevel(pack, *level, &rgb)) return kBadMediaDataErr;
    GWorldPtr stored = nullptr;
    if (OSErr err = OffscreenFromRGB24(&stored, level->width, level->height, rgb.data())) return err;
    if (level->width == width && level->height == height) {
        *offscreen = stored;
        return noErr;
    }
    const Rect box{0, 0, SInt16(height), SInt16(width)};
    GWorldPtr sized = nullptr;
    OSErr err = OffscreenNew(&sized, k32BGRAPixelFormat, &box);
    if (err == noErr) err = OffscreenDrawImage(stored, sized, nullptr, nullptr, 1);
    DisposeGWorld(stored);
    if (err != noErr) {
        if (sized) DisposeGWorld(sized);
        return err;
    }
    *offscreen = sized;
    return noErr;
}

OSErr PhotoCDGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    if (!info) return paramErr;
    if (offscreen) *offscreen = nullptr;
    std::string pack;
    OSErr err = noErr;
    if (!ReadPack(spec, &pack, &err)) return err;
    int width = 0, height = 0;
    PhotoCDPictureSize(0, 0, &width, &height);
    info->width = kInfoWidth;
    info->height = kInfoHeight;
    info->resolution = 72;
    info->depth = 32;
    info->pages = 1;
    info->colorSpace = 'RGB ';
    static const char kEncoding[] = "PhotoCD";
    info->encoding[0] = sizeof kEncoding - 1;
    std::memcpy(info->encoding + 1, kEncoding, sizeof kEncoding - 1);
    info->compression = ImageMemoryRatio(info->dataSize, kInfoWidth, kInfoHeight, 32);
    GWorldPtr world = nullptr;
    int rotation = 0;
    err = PhotoCDDecode(pack, width, height, &world, &rotation);
    if (err == noErr) {
        LastExifOrientation() = OrientationOfRotation(rotation);
        if (offscreen) *offscreen = world;
        else DisposeGWorld(world);
    }
    // The IPTC block some writers append: record 2, dataset 0, two bytes, version 2.
    static const char kIptcStart[] = {'\x1C', '\x02', '\x00', '\x00', '\x02', '\x00', '\x02'};
    if (metadata && pack.size() >= kIptcWindow) {
        const std::string_view tail = std::string_view(pack).substr(pack.size() - kIptcWindow);
        const std::size_t at = tail.find(std::string_view(kIptcStart, sizeof kIptcStart));
        if (at != std::string_view::npos) {
            const std::string_view block = tail.substr(at);
            Handle h = NewHandle(Size(block.size()));
            if (h) {
                std::memcpy(*h, block.data(), block.size());
                AddUserData(metadata, h, 'iptc');
                DisposeHandle(h);
            }
        }
    }
    return err;
}

OSErr PhotoCDMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    std::string pack;
    OSErr err = noErr;
    if (!ReadPack(spec, &pack, &err)) return err;
    int width = 0, height = 0;
    PhotoCDPictureSize(gResolution, size, &width, &height);
    err = PhotoCDDecode(pack, width, height, offscreen, nullptr);
    if (err == noErr && orientation) err = ApplyOrientation(offscreen, orientation);
    return err;
}
