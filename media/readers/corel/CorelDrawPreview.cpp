#include "media/readers/corel/CorelDrawPreview.h"

#include "media/imaging/DibBitmap.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/MetaFile.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <cstring>
#include <vector>

namespace {

const OSType kCorelTypes[] = {'CDR ', 'CDR5', 'CDR6', 'CDR7', 'CDR8', 'CDR9', 'CDRA'};

constexpr std::uint32_t kBitmapInfoHeader = 40;
// The chunk's first four bytes are not part of the bitmap.
constexpr std::uint32_t kChunkLead = 4;

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
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
            std::vector<std::uint8_t> dib;
            if (OSErr err = file.ReadVector(at + kChunkLead, dibSize, &dib)) return err;
            OSErr err = noErr;
            *offscreen = DibToOffscreen(dib.data(), dib.size(), &err);
            return err;
        }
        // Chunks are padded to an even size.
        at += SInt64(size) + (size & 1);
    }
}
