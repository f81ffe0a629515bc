#include "media/readers/layout/FreeHandPreview.h"

#include "media/imaging/ImportToOffscreen.h"
#include "media/imaging/Offscreen.h"
#include "media/kinds/KindInfo.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/MetaFile.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const OSType kTypes[] = {'FHD3', 'AGD1', 'AGD2', 'AGD3', 'AGD4', 'AGD5', 'AGD6',
                         'FH5 ', 'FH6 ', 'FH7 ', 'FH8 ', 'FH9 ', 'FHX ', 'FH11'};

// Previews are small pictures; a length beyond this is damage.
constexpr std::uint32_t kMaxPreviewBytes = 64u << 20;
constexpr SInt64 kHeaderPreviewLengthAt = 88;
constexpr SInt64 kHeaderPreviewAt = 92;

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
std::uint32_t Be16(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 8) | p[1];
}

OSErr ReadHeaderPreview(MetaReader& file, GWorldPtr* offscreen) {
    std::uint8_t length[4];
    if (OSErr err = file.ReadAt(kHeaderPreviewLengthAt, length, 4)) return err;
    const std::int32_t count = std::int32_t(Be32(length));
    if (count < 0) return kFreeHandUnknownErr;
    if (std::uint32_t(count) > kMaxPreviewBytes) return kBadMediaDataErr;
    Handle data = nullptr;
    if (OSErr err = file.ReadHandle(kHeaderPreviewAt, std::size_t(count), &data)) return err;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(*data);
    OSType subtype = 0;
    if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) subtype = 'JPEG';
    else if (count >= 2 && bytes[0] == 'B' && bytes[1] == 'M') subtype = 'BMP ';
    OSErr err = kFreeHandUnknownErr;
    if (subtype) {
        err = noErr;
        *offscreen = GraphicsImportToOffscreen(data, subtype, k32BGRAPixelFormat, srcCopy, nullptr, &err);
        if (!*offscreen && err == noErr) err = kBadMediaDataErr;
    }
    DisposeHandle(data);
    return err;
}

OSErr ReadTrailerPreview(MetaReader& file, GWorldPtr* offscreen) {
    if (file.Length() < 12) return eofErr;
    std::uint8_t trailer[12];
    if (OSErr err = file.ReadAt(file.Length() - 12, trailer, sizeof trailer)) return err;
    if (std::memcmp(trailer, "PRVW", 4) != 0) return kFreeHandNoPreviewErr;
    const SInt64 at = Be32(trailer + 8);
    std::uint8_t header[20];
    if (OSErr err = file.ReadAt(at, header, sizeof header)) return err;
    const int width = int(Be16(header)), height = int(Be16(header + 2)), bits = int(Be16(header + 4));
    const std::uint32_t tableBytes = Be32(header + 12), pixelBytes = Be32(header + 16);
    if (width < 1 || height < 1 || tableBytes > 768 || pixelBytes > kMaxPreviewBytes) return kBadMediaDataErr;
    std::vector<std::uint8_t> table, pixels;
    SInt64 next = at + SInt64(sizeof header);
    if (bits != 24) {
        if (OSErr err = file.ReadVector(next, tableBytes, &table)) return err;
        next += tableBytes;
    }
    if (OSErr err = file.ReadVector(next, pixelBytes, &pixels)) return err;
    // Eight-bit previews index the table; a 24-bit one (which has no table) is taken as red,
    // green and blue bytes.
    const std::size_t count = std::size_t(width) * std::size_t(height);
    const std::size_t each = bits == 24 ? 3 : 1;
    if (pixels.size() < count * each) return kBadMediaDataErr;
    const std::size_t entries = table.size() / 3;
    std::vector<std::uint8_t> rows(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t rgb[3] = {0, 0, 0};
        if (bits == 24) {
            std::memcpy(rgb, &pixels[i * 3], 3);
        } else if (pixels[i] < entries) {
            std::memcpy(rgb, &table[std::size_t(pixels[i]) * 3], 3);
        }
        rows[i * 4] = 0xFF;
        std::memcpy(&rows[i * 4 + 1], rgb, 3);
    }
    const Rect box{0, 0, SInt16(height), SInt16(width)};
    GWorldPtr world = nullptr;
    if (OSErr err = OffscreenNew(&world, k32ARGBPixelFormat, &box)) return err;
    OffscreenWriteRows(world, rows.data(), width * 4, height);
    *offscreen = world;
    return noErr;
}

}  // namespace

void KindRegisterFreeHand() {
    for (OSType type : kTypes) KindRegister(type, kKindHandlerBuiltin, "Macromedia FreeHand", kKindCategoryIllustration);
}

bool IsFreeHandType(OSType type) {
    return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

OSErr FreeHandProbe(const FSSpec* spec, bool* trailer) {
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    std::uint8_t head[3];
    if (file.ReadAt(0, head, 3) != noErr) return kFreeHandUnknownErr;
    if (std::memcmp(head, "FH3", 3) == 0 || std::memcmp(head, "AGD", 3) == 0) {
        *trailer = true;
        return noErr;
    }
    if (head[0] == 0x1C && head[1] == 0x01 && head[2] == 0x00) {
        *trailer = false;
        return noErr;
    }
    return kFreeHandUnknownErr;
}

OSErr FreeHandMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    bool trailer = false;
    if (OSErr err = FreeHandProbe(spec, &trailer)) return err;
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    const OSErr err = trailer ? ReadTrailerPreview(file, offscreen) : ReadHeaderPreview(file, offscreen);
    KindReading().previewFlag = 1;
    return err;
}
