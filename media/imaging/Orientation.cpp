#include "media/imaging/Orientation.h"

#include "foundation/interface/FitRect.h"
#include "platform/imaging/GraphicsImporter.h"

#include <cstring>

PixMapView OffscreenPixMapView(GWorldPtr world) {
    PixMapView view;
    PixelView v = GetGWorldPixels(world);
    view.baseAddr = v.base;
    view.rowBytes = v.rowBytes;
    view.pixelSize = v.depth;
    view.width = v.width;
    view.height = v.height;
    return view;
}

OSErr ApplyOrientation(GWorldPtr* world, TransformCode code) {
    if (code == kTransformNone) return noErr;
    if (!world || !*world || !IsTransformCode(code)) return paramErr;
    PixelView src = GetGWorldPixels(*world);
    if (!src.base) return paramErr;
    bool swap = TransformSwapsAxes(code);
    std::int32_t w = swap ? src.height : src.width;
    std::int32_t h = swap ? src.width : src.height;
    Rect bounds{0, 0, std::int16_t(h), std::int16_t(w)};
    GWorldPtr turned = nullptr;
    OSErr err = NewGWorldFromFormat(&turned, GetGWorldPixelFormat(*world), &bounds);
    if (err != noErr) return err;
    PixelView dst = GetGWorldPixels(turned);
    LockPixels(*world);
    LockPixels(turned);
    int bytes = src.depth / 8;
    PixMapView sv = OffscreenPixMapView(*world), dv = OffscreenPixMapView(turned);
    for (long y = 0; y < src.height; ++y) {
        const std::uint8_t* row = src.base + y * src.rowBytes;
        for (long x = 0; x < src.width; ++x) {
            long tx = 0, ty = 0;
            TransformPixel(code, src.width, src.height, x, y, &tx, &ty);
            if (bytes >= 1)
                std::memcpy(dst.base + ty * dst.rowBytes + tx * bytes, row + x * bytes, std::size_t(bytes));
            else
                SetPixMapPixel(&dv, tx, ty, GetPixMapPixel(&sv, x, y));
        }
    }
    UnlockPixels(turned);
    UnlockPixels(*world);
    DisposeGWorld(*world);
    *world = turned;
    return noErr;
}

OSErr ImageDrawFittedInPort(const FSSpec* spec, Handle data, GWorldPtr port, const Rect* frame, SInt16 alignment) {
    if (!port) return paramErr;
    GraphicsImportComponent gi = nullptr;
    OSErr err;
    if (spec) err = GetGraphicsImporterForFile(spec->path, &gi);
    else if (data) err = GetGraphicsImporterForHandle(data, &gi);
    else return paramErr;
    if (err != noErr) return err;
    Rect area = frame ? *frame : GetPortBounds(port);
    Rect image;
    err = GraphicsImportGetNaturalBounds(gi, &image);
    if (err == noErr) {
        Point topLeft{area.top, area.left}, bottomRight{area.bottom, area.right};
        FitRectInRect(&image, topLeft, bottomRight, kFitShrinkOnly);
        // Slack halves, each divided toward zero, moved from the centred place.
        int dh = ((area.right - area.left) - (image.right - image.left)) / 2;
        int dv = ((area.bottom - area.top) - (image.bottom - image.top)) / 2;
        static const signed char kH[10] = {0, -1, 0, 1, -1, 0, 1, -1, 0, 1};
        static const signed char kV[10] = {0, -1, -1, -1, 0, 0, 0, 1, 1, 1};
        if (alignment >= 1 && alignment <= 9) OffsetRect(&image, kH[alignment] * dh, kV[alignment] * dv);
        GraphicsImportSetBoundsRect(gi, &image);
        GraphicsImportSetGraphicsMode(gi, GraphicsImportDefaultGraphicsMode(gi), nullptr);
        GraphicsImportSetGWorld(gi, port);
        err = GraphicsImportDraw(gi);
    }
    CloseGraphicsImporter(gi);
    return err;
}
