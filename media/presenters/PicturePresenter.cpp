#include "media/presenters/PicturePresenter.h"

#include "foundation/interface/Cursors.h"
#include "foundation/interface/FitRect.h"
#include "foundation/interface/Orientation.h"
#include "media/imaging/Offscreen.h"
#include "media/imaging/Orientation.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/presenters/MediaBackend.h"
#include "media/presenters/PresenterDrawing.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>

namespace {

void Dispose(GWorldPtr& w) {
    if (w) DisposeGWorld(w);
    w = nullptr;
}

class PicturePresenter final : public MediaBackend {
public:
    ~PicturePresenter() override {
        Dispose(picture_);
        Dispose(overlay_);
    }

    OSErr Load(UInt32 page) {
        if (page == 0) page = 1;
        GWorldPtr world = nullptr;
        UInt32 index = page;
        OSErr err = KindMakeThumbnail(&file_, &world, kKindDisplaySize, kind_, &index, orientation_);
        if (err == noErr && !world) err = resNotFound;
        if (err != noErr) {
            if (world) DisposeGWorld(world);
            return err;
        }
        Dispose(picture_);
        Dispose(overlay_);
        picture_ = world;
        page_ = page;
        rect_ = GetPortBounds(picture_);
        readerFlag_ = KindReading().previewFlag;
        isImage_ = KindGetCategory(kind_) == kKindCategoryImage;
        return noErr;
    }

    OSErr Open(MediaObject& o, const FSSpec& spec, OSType kind, UInt32 page, UInt32 pageCount, UInt16 orientation) {
        file_ = spec;
        kind_ = kind;
        pageCount_ = pageCount;
        orientation_ = orientation;
        if (OSErr err = Load(page); err != noErr) return err;
        if (o.openOptionA) Shrink(o.window);
        return noErr;
    }

    OSErr OpenWorld(MediaObject& o, GWorldPtr world) {
        if (!world) return paramErr;
        picture_ = OffscreenScaledCopy(world, nullptr, k32BGRAPixelFormat);
        if (!picture_) return memFullErr;
        rect_ = GetPortBounds(picture_);
        pageCount_ = 1;
        if (o.openOptionA) Shrink(o.window);
        return noErr;
    }

    // Keeps the picture at the window's size when the window is smaller both ways.
    void Shrink(GWorldPtr window) {
        if (!window || !picture_) return;
        Rect port = GetPortBounds(window);
        int pw = port.right - port.left, ph = port.bottom - port.top;
        int w = rect_.right - rect_.left, h = rect_.bottom - rect_.top;
        if (!(pw < w && ph < h)) return;
        Rect r = rect_;
        FitRectInRect(&r, Point{0, 0}, Point{SInt16(ph), SInt16(pw)}, kFitFill);
        Rect size{0, 0, SInt16(r.bottom - r.top), SInt16(r.right - r.left)};
        GWorldPtr copy = nullptr;
        if (OffscreenNew(&copy, k32BGRAPixelFormat, &size) != noErr) return;
        OffscreenDrawImage(picture_, copy, nullptr, &size, 1);
        Dispose(picture_);
        picture_ = copy;
        rect_ = size;
    }

    GWorldPtr Shown(const MediaObject& o) {
        // Exposure warning: extras[0] asks for it, extras[1] and [2] are the high and low levels.
        if (!o.pictureDrawExtras[0]) return picture_;
        UInt8 high = o.pictureDrawExtras[1], low = o.pictureDrawExtras[2];
        if (overlay_ && high == high_ && low == low_) return overlay_;
        Dispose(overlay_);
        overlay_ = OffscreenScaledCopy(picture_, nullptr, k32BGRAPixelFormat);
        if (!overlay_) return picture_;
        high_ = high;
        low_ = low;
        LockPixels(overlay_);
        PixelView px = GetGWorldPixels(overlay_);
        for (int y = 0; y < px.height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(px.base + std::ptrdiff_t(y) * px.rowBytes);
            for (int x = 0; x < px.width; ++x) {
                int r = (row[x] >> 16) & 0xFF, g = (row[x] >> 8) & 0xFF, b = row[x] & 0xFF;
                int lightness = (std::max({r, g, b}) + std::min({r, g, b})) / 2;
                if (lightness >= high) row[x] = 0xFFFF0000u;
                else if (lightness <= low) row[x] = 0xFF0000FFu;
            }
        }
        UnlockPixels(overlay_);
        return overlay_;
    }

    OSErr Draw(MediaObject& o) override {
        if (!picture_ || !o.window) return noErr;
        short percent = 100;
        Rect image = PresenterPlaceImage(o, rect_.right - rect_.left, rect_.bottom - rect_.top, &percent);
        o.imageRect = image;
        o.stateWord = UInt16(percent);
        PresenterEraseAround(o, image);
        OffscreenDrawImage(Shown(o), o.window, nullptr, &image, o.drawOptionB ? 0 : 1);
        return noErr;
    }

    bool Key(SInt16 command) override {
        if (pageCount_ <= 1) return false;
        UInt32 page = page_;
        switch (command) {
        case 0: if (page_ < pageCount_) page = page_ + 1; break;
        case 1: if (page_ > 1) page = page_ - 1; break;
        case 2: page = pageCount_; break;
        case 3: page = 1; break;
        default: return false;
        }
        if (page == page_ && picture_) return false;
        return Load(page) == noErr;
    }

    bool Rotate(UInt16 code, bool fromUnturned) {
        if (!picture_) return false;
        bool undo = code == 0 || fromUnturned;
        if (undo && orientation_) {
            TransformCode inverse = InvertTransform(orientation_);
            ApplyOrientation(&picture_, inverse);
            if (overlay_) ApplyOrientation(&overlay_, inverse);
        }
        if (code) {
            ApplyOrientation(&picture_, code);
            if (overlay_) ApplyOrientation(&overlay_, code);
        }
        rect_ = GetPortBounds(picture_);
        orientation_ = undo ? code : ComposeTransforms(orientation_, code);
        return true;
    }

    void UpdateCursor(MediaObject&, Point) override { SetCursorKind(kCursorArrowKind); }
    bool MouseDown(MediaObject&, Point, UInt32) override {
        SetCursorKind(kCursorArrowKind);
        return false;
    }
    bool Click(MediaObject&, Point) override { return false; }
    SInt32 PictureInfo() override { return picture_ ? kMediaShowsPicture : kMediaShowsNothing; }
    void NaturalRect(Rect* r) override { *r = rect_; }
    SInt32 TypeCode() override { return readerFlag_; }
    bool CurrentTime(UInt32* v) override {
        if (v) *v = page_;
        return true;
    }
    bool SizeQuery(UInt32* v) override {
        if (pageCount_ < 2) return false;
        if (v) *v = pageCount_;
        return true;
    }
    bool PictureHandle(PicHandle* out) override {
        if (!out || !picture_) return false;
        return OffscreenToPicture(picture_, nullptr, 0x480000, out) == noErr;
    }
    void* PictureData() override { return picture_; }

    GWorldPtr picture_ = nullptr;
    UInt16 orientation_ = 0;

private:
    static constexpr short kCursorArrowKind = 0;
    FSSpec file_;
    OSType kind_ = 0;
    Rect rect_{};
    UInt32 page_ = 1, pageCount_ = 1;
    UInt8 readerFlag_ = 0;
    bool isImage_ = false;
    GWorldPtr overlay_ = nullptr;
    UInt8 high_ = 0, low_ = 0;
};

class MemoryPicturePresenter final : public MediaBackend {
public:
    ~MemoryPicturePresenter() override {
        if (picture_) DisposeHandle(picture_);
    }
    OSErr Open(Handle data) {
        if (!data) return paramErr;
        Handle copy = data;
        if (HandToHand(&copy) != noErr) return memFullErr;
        picture_ = copy;
        PictureGetFrame(picture_, &frame_);
        return noErr;
    }
    OSErr Draw(MediaObject& o) override {
        if (!picture_ || !o.window) return noErr;
        Rect r{0, 0, SInt16(frame_.bottom - frame_.top), SInt16(frame_.right - frame_.left)};
        FitRectInRect(&r, Point{o.bounds.top, o.bounds.left}, Point{o.bounds.bottom, o.bounds.right}, 0);
        o.imageRect = r;
        o.stateWord = 100;
        o.scroll = Point{0, 0};
        PresenterEraseAround(o, r);
        GWorldPtr w = nullptr;
        if (PictureToOffscreen(picture_, k32BGRAPixelFormat, nullptr, o.colorPresent ? &o.background : nullptr, &w) ==
            noErr) {
            Rect frame = PresenterFrame(o);
            Rect src = GetPortBounds(w);
            // Clipped to the display rectangle.
            Rect dst = r;
            int cutLeft = std::max(0, frame.left - dst.left), cutTop = std::max(0, frame.top - dst.top);
            int cutRight = std::max(0, dst.right - frame.right), cutBottom = std::max(0, dst.bottom - frame.bottom);
            src.left = SInt16(src.left + cutLeft);
            src.top = SInt16(src.top + cutTop);
            src.right = SInt16(src.right - cutRight);
            src.bottom = SInt16(src.bottom - cutBottom);
            dst.left = SInt16(dst.left + cutLeft);
            dst.top = SInt16(dst.top + cutTop);
            dst.right = SInt16(dst.right - cutRight);
            dst.bottom = SInt16(dst.bottom - cutBottom);
            if (dst.right > dst.left && dst.bottom > dst.top) OffscreenDrawToWindow(w, o.window, &src, &dst);
            DisposeGWorld(w);
        }
        return noErr;
    }
    SInt32 PictureInfo() override { return picture_ ? kMediaShowsMemoryPicture : kMediaShowsNothing; }
    void NaturalRect(Rect* r) override { *r = frame_; }

private:
    Handle picture_ = nullptr;
    Rect frame_{};
};

}  // namespace

std::unique_ptr<MediaBackend> PicturePresenterOpen(MediaObject& object, const FSSpec& spec, OSType kind, UInt32 page,
                                                   UInt32 pageCount, UInt16 orientation, OSErr& err) {
    auto p = std::make_unique<PicturePresenter>();
    err = p->Open(object, spec, kind, page, pageCount, orientation);
    if (err != noErr) return nullptr;
    return p;
}

std::unique_ptr<MediaBackend> PicturePresenterOpenWorld(MediaObject& object, GWorldPtr world, OSErr& err) {
    auto p = std::make_unique<PicturePresenter>();
    err = p->OpenWorld(object, world);
    if (err != noErr) return nullptr;
    return p;
}

std::unique_ptr<MediaBackend> MemoryPicturePresenterOpen(Handle picture, OSErr& err) {
    auto p = std::make_unique<MemoryPicturePresenter>();
    err = p->Open(picture);
    if (err != noErr) return nullptr;
    return p;
}

bool PicturePresenterRotate(MediaObject* object, UInt16 code, bool fromUnturned) {
    if (!object || object->presenterType != kMediaPresenterPicture || !object->backend) return false;
    return static_cast<PicturePresenter*>(object->backend.get())->Rotate(code, fromUnturned);
}

UInt16 PicturePresenterOrientation(MediaObject* object) {
    if (!object || object->presenterType != kMediaPresenterPicture || !object->backend) return 0;
    return static_cast<PicturePresenter*>(object->backend.get())->orientation_;
}

GWorldPtr PicturePresenterWorld(MediaObject* object) {
    if (!object || object->presenterType != kMediaPresenterPicture || !object->backend) return nullptr;
    return static_cast<PicturePresenter*>(object->backend.get())->picture_;
}
