#include "media/readers/sfw/SeattleFilmworks.h"

#include "foundation/files/FileData.h"
#include "foundation/interface/Orientation.h"
#include "media/imaging/ImportToOffscreen.h"
#include "media/imaging/Orientation.h"
#include "media/kinds/KindTable.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr std::uintmax_t kMaxSfwFileBytes = 64u << 20;

std::uint8_t MapMarker(std::uint8_t b) {
    switch (b) {
    case 0xC8: return 0xD8;
    case 0xD0: return 0xE0;
    case 0xCB: return 0xDB;
    case 0xA0: return 0xC0;
    case 0xCA: return 0xDA;
    case 0xC9: return 0xD9;
    case 0xA4: return 0xE0;
    default: return 0;
    }
}

// The four Huffman tables of the JPEG standard's typical tables (luminance and chrominance, DC
// and AC) as one DHT segment.
std::string StandardHuffmanSegment() {
    static const std::uint8_t kDcLumBits[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
    static const std::uint8_t kDcChromBits[16] = {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0};
    static const std::uint8_t kDcValues[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    static const std::uint8_t kAcLumBits[16] = {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d};
    static const std::uint8_t kAcLumValues[162] = {
        0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22,
        0x71, 0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0, 0x24, 0x33,
        0x62, 0x72, 0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34,
        0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55,
        0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76,
        0x77, 0x78, 0x79, 0x7a, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96,
        0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5,
        0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4,
        0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf1,
        0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};
    static const std::uint8_t kAcChromBits[16] = {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77};
    static const std::uint8_t kAcChromValues[162] = {
        0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71, 0x13,
        0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33, 0x52, 0xf0, 0x15, 0x62,
        0x72, 0xd1, 0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18, 0x19, 0x1a, 0x26, 0x27, 0x28, 0x29,
        0x2a, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54,
        0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75,
        0x76, 0x77, 0x78, 0x79, 0x7a, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94,
        0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3,
        0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2,
        0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea,
        0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};
    std::string s = "\xFF\xC4\x01\xA2";
    auto table = [&s](std::uint8_t classAndId, const std::uint8_t* bits, const std::uint8_t* values, int count) {
        s += char(classAndId);
        s.append(reinterpret_cast<const char*>(bits), 16);
        s.append(reinterpret_cast<const char*>(values), std::size_t(count));
    };
    table(0x00, kDcLumBits, kDcValues, 12);
    table(0x10, kAcLumBits, kAcLumValues, 162);
    table(0x01, kDcChromBits, kDcValues, 12);
    table(0x11, kAcChromBits, kAcChromValues, 162);
    return s;
}

std::uint32_t Be16(const std::string& b, std::size_t at) {
    return (std::uint32_t(std::uint8_t(b[at])) << 8) | std::uint8_t(b[at + 1]);
}

Handle LoadJpeg(const FSSpec* spec) {
    if (!spec) return nullptr;
    std::error_code ec;
    const std::uintmax_t length = std::filesystem::file_size(spec->path, ec);
    if (ec || length == 0 || length > kMaxSfwFileBytes) return nullptr;
    Handle data = nullptr;
    long size = 0;
    if (LoadFileData(spec, &data, &size) != noErr || !data) return nullptr;
    const std::string jpeg = SfwToJpeg(std::string_view(reinterpret_cast<const char*>(*data), std::size_t(size)));
    DisposeHandle(data);
    if (jpeg.empty()) return nullptr;
    Handle out = NewHandle(long(jpeg.size()));
    if (out) std::memcpy(*out, jpeg.data(), jpeg.size());
    return out;
}

// The stored picture is upside down.
OSErr Draw(Handle jpeg, GWorldPtr* picture) {
    OSErr err = noErr;
    *picture = GraphicsImportToOffscreen(jpeg, 'JPEG', k32BGRAPixelFormat, srcCopy, nullptr, &err);
    if (!*picture) return err ? err : OSErr(kBadMediaDataErr);
    if ((err = ApplyOrientation(picture, kTransformFlipV)) != noErr) {
        DisposeGWorld(*picture);
        *picture = nullptr;
    }
    return err;
}

}  // namespace

void KindRegisterSeattleFilmworks() {
    KindRegister('SFW ', kKindHandlerBuiltin, "Seattle Filmworks", kKindCategoryImage);
    KindRegister('SFWI', kKindHandlerBuiltin, "Seattle Filmworks", kKindCategoryImage);
}

bool IsSeattleFilmworksType(OSType type) {
    return type == 'SFW ' || type == 'SFWI';
}

std::string SfwToJpeg(std::string_view bytes) {
    static const char kStart[] = "\xFF\xC8\xFF\xD0";
    const std::size_t start = bytes.find(std::string_view(kStart, 4));
    if (start == std::string_view::npos || bytes.size() - start < 13) return {};
    std::string data(bytes.substr(start));
    data[1] = char(MapMarker(0xC8));
    data[3] = char(MapMarker(0xD0));
    std::memcpy(&data[6], "JFIF\0\1\0", 7);
    // Past the APP0 segment, every segment's marker is mapped until the start of scan.
    std::size_t at = 2;
    std::size_t scan = 0;
    bool first = true;
    while (scan == 0) {
        if (at + 4 > data.size() || std::uint8_t(data[at]) != 0xFF) return {};
        if (!first) {
            const std::uint8_t mapped = MapMarker(std::uint8_t(data[at + 1]));
            if (mapped == 0) return {};
            data[at + 1] = char(mapped);
            if (mapped == 0xDA) scan = at;
        }
        first = false;
        if (scan == 0) at += 2 + Be16(data, at + 2);
    }
    // The end of image, searched from the end back to just after the start of scan.
    std::size_t end = std::string::npos;
    for (std::size_t i = data.size() - 1; i > scan + 2; --i)
        if (std::uint8_t(data[i - 1]) == 0xFF && std::uint8_t(data[i]) == 0xC9) {
            end = i - 1;
            break;
        }
    if (end == std::string::npos) return {};
    data[end + 1] = char(0xD9);
    return data.substr(0, scan) + StandardHuffmanSegment() + data.substr(scan, end + 2 - scan);
}

OSErr SfwGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* picture) {
    if (!info) return paramErr;
    Handle jpeg = LoadJpeg(spec);
    if (!jpeg) return kBadMediaDataErr;
    GraphicsImportComponent gi = nullptr;
    ImageDescriptionRec desc;
    OSErr err = OpenGraphicsImporter('JPEG', &gi);
    if (!err) err = GraphicsImportSetDataHandle(gi, jpeg);
    if (!err) err = GraphicsImportGetImageDescriptionRec(gi, &desc);
    if (gi) CloseGraphicsImporter(gi);
    if (err) {
        DisposeHandle(jpeg);
        return err;
    }
    info->width = UInt32(desc.desc.width);
    info->height = UInt32(desc.desc.height);
    info->resolution = UInt32(std::max(desc.desc.hRes, desc.desc.vRes) >> 16);
    info->depth = UInt32(desc.desc.depth > 32 ? desc.desc.depth - 32 : desc.desc.depth);
    GWorldPtr world = nullptr;
    err = Draw(jpeg, &world);
    DisposeHandle(jpeg);
    if (err) return err;
    if (picture) *picture = world;
    else DisposeGWorld(world);
    return noErr;
}

OSErr SfwMakeThumbnail(const FSSpec* spec, GWorldPtr* picture, UInt16 orientation) {
    if (!picture) return paramErr;
    *picture = nullptr;
    Handle jpeg = LoadJpeg(spec);
    if (!jpeg) return kBadMediaDataErr;
    OSErr err = Draw(jpeg, picture);
    DisposeHandle(jpeg);
    if (err == noErr && orientation) err = ApplyOrientation(picture, orientation);
    if (err && *picture) {
        DisposeGWorld(*picture);
        *picture = nullptr;
    }
    return err;
}
