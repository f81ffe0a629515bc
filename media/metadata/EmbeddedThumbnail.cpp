#include "media/metadata/EmbeddedThumbnail.h"

#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <utility>

OSErr ThumbnailFromJpegBytes(const void* bytes, std::size_t size, bool swapRedBlue, GWorldPtr* out) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!bytes || size == 0) return kBadMediaDataErr;
    Handle data = nullptr;
    if (OSErr err = PtrToHand(bytes, &data, static_cast<Size>(size))) return err;
    GraphicsImportComponent gi = nullptr;
    OSErr err = OpenGraphicsImporter('JPEG', &gi);
    if (!err) err = GraphicsImportSetDataHandle(gi, data);
    Rect bounds{};
    if (!err) err = GraphicsImportGetNaturalBounds(gi, &bounds);
    GWorldPtr world = nullptr;
    if (!err) err = NewGWorldFromFormat(&world, k32BGRAPixelFormat, &bounds);
    if (!err) err = GraphicsImportSetGWorld(gi, world);
    if (!err) err = GraphicsImportDraw(gi);
    if (gi) CloseGraphicsImporter(gi);
    DisposeHandle(data);
    if (err) {
        if (world) DisposeGWorld(world);
        return err;
    }
    if (swapRedBlue && LockPixels(world)) {
        PixelView px = GetGWorldPixels(world);
        for (std::int32_t y = 0; y < px.height; ++y) {
            std::uint8_t* row = px.base + std::ptrdiff_t(y) * px.rowBytes;
            for (std::int32_t x = 0; x < px.width; ++x) std::swap(row[4 * x], row[4 * x + 2]);
        }
        UnlockPixels(world);
    }
    *out = world;
    return noErr;
}
