// The built-in back-end of the presenter: one still picture read through the platform's
// graphics importers and drawn at actual size, scaled to fit, or at a percent.
#include "window/view/MediaObject.h"

#include "media/imaging/Offscreen.h"
#include "platform/imaging/GraphicsImporter.h"

#include <algorithm>

namespace {

class StillPictureBackEnd : public MediaBackEnd {
public:
    ~StillPictureBackEnd() override {
        if (picture_) DisposeGWorld(picture_);
    }
    int Type() const override { return kMediaPictureFile; }

    OSErr Open(const FSSpec& file, OSType) override {
        GraphicsImportComponent gi = nullptr;
        OSErr err = GetGraphicsImporterForFile(file.path, &gi);
        if (err != noErr) return err;
        Rect bounds;
        err = GraphicsImportGetNaturalBounds(gi, &bounds);
        if (err == noErr) err = NewGWorldFromFormat(&picture_, k32ARGBPixelFormat, &bounds);
        if (err == noErr) err = GraphicsImportSetGWorld(gi, picture_);
        if (err == noErr) err = GraphicsImportSetBoundsRect(gi, &bounds);
        if (err == noErr) err = GraphicsImportDraw(gi);
        CloseGraphicsImporter(gi);
        if (err != noErr && picture_) {
            DisposeGWorld(picture_);
            picture_ = nullptr;
        }
        return err;
    }

    OSErr Draw(GWorldPtr world, const Rect& display, const MediaObject& options, UInt16* percent) override {
        if (!picture_ || EmptyRect(&display)) return noErr;
        Rect src = GetPortBounds(picture_);
        long w = src.right - src.left, h = src.bottom - src.top;
        long dw = display.right - display.left, dh = display.bottom - display.top;
        long p = 100;
        if (options.showFlag == kShowScaledToFit) {
            // Shrunk to fit, never enlarged.
            if (w > dw || h > dh) p = std::max(1L, std::min(dw * 100 / std::max(w, 1L), dh * 100 / std::max(h, 1L)));
        } else if (options.showFlag == kShowPercent) {
            p = std::clamp<long>(options.percent, 1, 1600);
        }
        long sw = std::max(1L, w * p / 100), sh = std::max(1L, h * p / 100);
        if (options.showFlag == kShowScaledToFit && p != 100) {
            // Keep the proportions exactly at the display's limiting side.
            if (w * dh > h * dw) {
                sw = dw;
                sh = std::max(1L, h * dw / std::max(w, 1L));
            } else {
                sh = dh;
                sw = std::max(1L, w * dh / std::max(h, 1L));
            }
        }
        RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
        FillWorldRect(world, display, white);
        Rect dst;
        dst.left = SInt16(display.left + (dw - sw) / 2);
        dst.top = SInt16(display.top + (dh - sh) / 2);
        dst.right = SInt16(dst.left + sw);
        dst.bottom = SInt16(dst.top + sh);
        OffscreenDrawToWindow(picture_, world, &src, &dst);
        if (percent) *percent = UInt16(std::clamp<long>(p, 1, 65535));
        return noErr;
    }

    int PictureInfo() const override { return picture_ ? kMediaShowsPicture : kMediaShowsNothing; }
    bool HasPictureData() const override { return picture_ != nullptr; }

private:
    static void FillWorldRect(GWorldPtr world, const Rect& r, const RGBColor& c);
    GWorldPtr picture_ = nullptr;
};

void StillPictureBackEnd::FillWorldRect(GWorldPtr world, const Rect& r, const RGBColor& c) {
    Rect bounds = GetPortBounds(world);
    Rect a;
    if (!SectRect(&r, &bounds, &a)) return;
    PixelView px = GetGWorldPixels(world);
    if (px.depth != 32) return;
    LockPixels(world);
    std::uint32_t word = 0xFF000000u | (std::uint32_t(c.red >> 8) << 16) | (std::uint32_t(c.green >> 8) << 8) | (c.blue >> 8);
    for (int y = a.top; y < a.bottom; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(px.base + (y - bounds.top) * px.rowBytes);
        std::fill(row + (a.left - bounds.left), row + (a.right - bounds.left), word);
    }
    UnlockPixels(world);
}

}  // namespace

std::unique_ptr<MediaBackEnd> MediaMakeStillPictureBackEnd(OSType) { return std::make_unique<StillPictureBackEnd>(); }
