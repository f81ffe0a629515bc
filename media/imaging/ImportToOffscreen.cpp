#include "media/imaging/ImportToOffscreen.h"

#include "media/imaging/Offscreen.h"
#include "platform/imaging/GraphicsImporter.h"

GWorldPtr GraphicsImportToOffscreen(Handle data, OSType subtype, OSType pixelFormat, std::int32_t graphicsMode,
                                    const RGBColor* background, OSErr* errOut) {
    OSErr err;
    GWorldPtr world = nullptr;
    GraphicsImportComponent gi = nullptr;
    if (OpenGraphicsImporter(subtype, &gi) != noErr) {
        err = kNoDecompressorErr;
    } else {
        err = GraphicsImportSetDataHandle(gi, data);
        Rect bounds;
        if (err == noErr) err = GraphicsImportGetNaturalBounds(gi, &bounds);
        if (err == noErr && OffscreenNewFilled(&world, pixelFormat, &bounds, background) != noErr) err = memFullErr;
        if (err == noErr) {
            GraphicsImportSetGWorld(gi, world);
            GraphicsImportSetBoundsRect(gi, &bounds);
            GraphicsImportSetGraphicsMode(gi, graphicsMode, nullptr);
            err = GraphicsImportDraw(gi);
        }
        CloseGraphicsImporter(gi);
    }
    if (err != noErr && world) {
        DisposeGWorld(world);
        world = nullptr;
    }
    if (errOut) *errOut = err;
    return world;
}
