#include "media/readers/corel/CorelDrawPreview.h"

#include "media/imaging/ImportToOffscreen.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/MetaFile.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <cstring>

namespace {

const OSType kCorelTypes[] = {'CDR ', 'CDR5', 'CDR6', 'CDR7', 'CDR8', 'CDR9', 'CDRA'};

constexpr std::uint32_t kBitmapInfoHeader = 40;
constexpr std::uint32_t kFileHeader = 14;
// The chunk's first four bytes are not part of the bitmap.
constexpr std::uint32_t kChunkLead = 4;

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
void PutLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

// Where the pixels start in a bitmap file made of the 14-byte file header and the chunk's DIB:
// the file header our bitmap decoder reads needs it, though the chunk never stores it.
std::uint32_t PixelOffset(const std::uint8_t* dib, std::uint32_t dibSize) {
    const std::uint32_t header = Le32(dib);
    std::uint32_t offset = kFileHeader + header;
    if (dibSize >= 36 && header >= kBitmapInfoHeader) {
        const std::uint32_t bits = dib[14] | (std::uint32_t(dib[15]) << 8);
        const std::uint32_t compression = Le32(dib + 16);
        std::uint32_t colours = Le32(dib + 32);
        if (bits <= 8 && colours == 0) colours = 1u << bits;
        if (colours <= 256) offset += colours * 4;
        if (compression == 3 && header == kBitmapInfoHeader) offset += 12;
    }
    return offset;
}

}  // namespace

void KindRegisterCorelDraw() {
    for (OSType type : kCorelTypes) KindRegister(type, kKindHandlerBuiltin, "CorelDRAW", kKindCategoryIllustration);
}

bool IsCorelDrawType(OSType type) {
    for (OSType t : kCorelTypes)
        if (t == type) return true;
    return false;
}

OSErr CorelDrawPreview(OSType, const FSSpec* spec, GWorldPtr* offscreen) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    SInt64 at = 12;
    std::uint8_t chunk[8];
    for (;;) {
        if (OSErr err = file.ReadAt(at, chunk, sizeof chunk)) return err;
        const std::uint32_t size = Le32(chunk + 4);
        at += 8;
        if (std::memcmp(chunk, "DISP", 4) == 0) {
            // A chunk size that cannot hold a bitmap header or runs past the file is damage.
            if (size < kChunkLead + kBitmapInfoHeader || !file.Fits(at, size)) return kBadMediaDataErr;
            const std::uint32_t dibSize = size - kChunkLead;
            Handle bitmap = NewHandleClear(long(kFileHeader) + dibSize);
            if (!bitmap) return memFullErr;
            auto* bytes = reinterpret_cast<std::uint8_t*>(*bitmap);
            if (OSErr err = file.ReadAt(at + kChunkLead, bytes + kFileHeader, dibSize)) {
                DisposeHandle(bitmap);
                return err;
            }
            bytes[0] = 'B';
            bytes[1] = 'M';
            PutLe32(bytes + 2, kFileHeader + dibSize);
            PutLe32(bytes + 10, PixelOffset(bytes + kFileHeader, dibSize));
            OSErr err = noErr;
            *offscreen = GraphicsImportToOffscreen(bitmap, 'BMP ', k32BGRAPixelFormat, srcCopy, nullptr, &err);
            DisposeHandle(bitmap);
            if (!*offscreen && err == noErr) err = kBadMediaDataErr;
            return err;
        }
        // Chunks are padded to an even size.
        at += SInt64(size) + (size & 1);
    }
}
