#include "media/imaging/DibBitmap.h"

#include "media/imaging/ImportToOffscreen.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <cstring>

namespace {

constexpr std::uint32_t kFileHeader = 14;
constexpr std::uint32_t kCoreHeader = 12;
constexpr std::uint32_t kInfoHeader = 40;

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
void PutLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

// Where the pixels start in the bitmap file: behind the file header, the DIB header and its
// colour table (three-byte entries for the old core header, four otherwise) and, for the plain
// info header with bit fields, the three masks.
std::uint32_t PixelOffset(const std::uint8_t* dib, std::size_t size) {
    const std::uint32_t header = Le32(dib);
    std::uint32_t offset = kFileHeader + header;
    if (header == kCoreHeader) {
        const std::uint32_t bits = dib[10] | (std::uint32_t(dib[11]) << 8);
        if (bits <= 8) offset += (1u << bits) * 3;
    } else if (size >= 36 && header >= kInfoHeader) {
        const std::uint32_t bits = dib[14] | (std::uint32_t(dib[15]) << 8);
        const std::uint32_t compression = Le32(dib + 16);
        std::uint32_t colours = Le32(dib + 32);
        if (bits <= 8 && colours == 0) colours = 1u << bits;
        if (colours <= 256) offset += colours * 4;
        if (compression == 3 && header == kInfoHeader) offset += 12;
    }
    return offset;
}

}  // namespace

Handle BitmapFileFromDib(const std::uint8_t* dib, std::size_t size) {
    if (!dib || size < kCoreHeader || size > 0x7FFFFFF0u - kFileHeader) return nullptr;
    const std::uint32_t header = Le32(dib);
    if (header != kCoreHeader && (header < kInfoHeader || header > size)) return nullptr;
    Handle file = NewHandleClear(long(kFileHeader + size));
    if (!file) return nullptr;
    auto* bytes = reinterpret_cast<std::uint8_t*>(*file);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe32(bytes + 2, std::uint32_t(kFileHeader + size));
    PutLe32(bytes + 10, PixelOffset(dib, size));
    std::memcpy(bytes + kFileHeader, dib, size);
    return file;
}

GWorldPtr DibToOffscreen(const std::uint8_t* dib, std::size_t size, OSErr* err) {
    OSErr local = noErr;
    if (!err) err = &local;
    Handle file = BitmapFileFromDib(dib, size);
    if (!file) {
        *err = kBadMediaDataErr;
        return nullptr;
    }
    GWorldPtr world = GraphicsImportToOffscreen(file, 'BMP ', k32BGRAPixelFormat, srcCopy, nullptr, err);
    DisposeHandle(file);
    if (!world && *err == noErr) *err = kBadMediaDataErr;
    return world;
}
