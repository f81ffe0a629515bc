#include "catalog/items/ItemBlocks.h"

#include "foundation/interface/FitRect.h"
#include "media/imaging/Offscreen.h"
#include "platform/Handles.h"
#include "platform/imaging/GWorld.h"

Handle ItemGetThumbnailPicture(const CatalogRec* catalog, const ItemEntry* entry, SInt16 width, SInt16 height) {
    if (width < 6) width = 6;
    if (height < 6) height = 6;
    Handle thumbnail = ItemReadBlock(catalog, entry, kBlockThumbnail);
    if (!thumbnail) return nullptr;
    Rect frame{0, 0, 0, 0};
    PictureGetFrame(thumbnail, &frame);
    Rect fitted{0, 0, SInt16(frame.bottom - frame.top), SInt16(frame.right - frame.left)};
    FitRectInRect(&fitted, Point{0, 0}, Point{height, width}, kFitInside);
    // Moved to the origin, never below 6 x 6.
    SInt16 w = SInt16(fitted.right - fitted.left), h = SInt16(fitted.bottom - fitted.top);
    Rect target{0, 0, h < 6 ? SInt16(6) : h, w < 6 ? SInt16(6) : w};
    GWorldPtr world = nullptr;
    Handle picture = nullptr;
    if (PictureToOffscreen(thumbnail, k32ARGBPixelFormat, &target, nullptr, &world) == noErr && world) {
        if (OffscreenToPicture(world, nullptr, 0x00480000, &picture) != noErr) picture = nullptr;
        DisposeGWorld(world);
    }
    DisposeHandle(thumbnail);
    return picture;
}
