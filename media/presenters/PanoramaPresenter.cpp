#include "media/presenters/PanoramaPresenter.h"

#include "foundation/interface/Cursors.h"
#include "media/imaging/Offscreen.h"
#include "media/presenters/MediaBackend.h"
#include "media/presenters/PresenterDrawing.h"
#include "media/readers/panorama/PanoramaSpinner.h"
#include "media/readers/panorama/QuickTimeVR.h"
#include "platform/TimerService.h"

#include <algorithm>

namespace {

// A window size for a panorama movie that gives none: 4:3 at the picture's height, at most 480.
Rect FallbackWindow(GWorldPtr picture) {
    Rect b = GetPortBounds(picture);
    const int h = std::min(b.bottom - b.top, 480);
    return Rect{0, 0, SInt16(h), SInt16(h * 4 / 3)};
}

class PanoramaPresenter final : public MediaBackend {
public:
    ~PanoramaPresenter() override {
        if (timer_) Timers().Stop(timer_);
        PanoramaFree(spinner_);
        if (picture_) DisposeGWorld(picture_);
    }

    OSErr Open(MediaObject& o, const FSSpec& spec) {
        owner_ = &o;
        if (OSErr err = PanoramaReadDescription(&spec, &description_); err != noErr) return err;
        if (OSErr err = PanoramaReadPicture(&spec, description_, &picture_); err != noErr) return err;
        view_ = PanoramaDefaultView(description_, picture_);
        rect_ = description_.viewWidth > 0 ? Rect{0, 0, description_.viewHeight, description_.viewWidth}
                                           : FallbackWindow(picture_);
        timer_ = Timers().Start(10, [this](TimerId) { Idle(); });
        return noErr;
    }

    void Redraw() {
        if (owner_ && owner_->redraw) owner_->redraw(owner_, owner_->redrawRef);
    }

    void Idle() override {
        if (spinner_ && PanoramaIdleStep(spinner_, TickCount())) {
            view_.pan = spinner_->currentPan;
            view_ = PanoramaClampView(description_, view_);
            Redraw();
        }
    }

    OSErr Draw(MediaObject& o) override {
        if (!o.window) return noErr;
        short percent = 100;
        Rect image = PresenterPlaceImage(o, rect_.right - rect_.left, rect_.bottom - rect_.top, &percent);
        o.imageRect = image;
        o.stateWord = UInt16(percent);
        PresenterEraseAround(o, image);
        RGBColor back = o.colorPresent ? o.background : RGBColor{0, 0, 0};
        return PanoramaDrawView(picture_, description_, view_, o.window, &image, &back);
    }

    // Playing a panorama turns it once around; without the spin option there is nothing to play.
    OSErr Start(UInt8 spin) override {
        if (!spin) return noErr;
        if (!spinner_) spinner_ = PanoramaStart(&description_);
        if (spinner_) {
            PanoramaBeginTurning(spinner_);
            view_.pan = spinner_->currentPan;
            Redraw();
        }
        return noErr;
    }
    OSErr Stop() override {
        PanoramaStopTurning(spinner_);
        return noErr;
    }
    UInt8 PlayState(UInt8 spin) override {
        if (spin) return PanoramaIsIdle(spinner_) ? 0 : 2;
        return 1;
    }
    void UpdateCursor(MediaObject&, Point) override { SetCursorKind(0); }
    void NaturalRect(Rect* r) override { *r = rect_; }
    bool CurrentTime(UInt32* value) override {
        if (value) *value = 0;
        return true;
    }

    PanoramaDescription description_;
    PanoramaView view_;

private:
    MediaObject* owner_ = nullptr;
    GWorldPtr picture_ = nullptr;
    PanoramaRecord* spinner_ = nullptr;
    TimerId timer_ = 0;
    Rect rect_{};
};

PanoramaPresenter* Of(MediaObject* o) {
    if (!o || o->presenterType != kMediaPresenterMovie || !o->backend) return nullptr;
    return dynamic_cast<PanoramaPresenter*>(o->backend.get());
}

}  // namespace

std::unique_ptr<MediaBackend> PanoramaPresenterOpen(MediaObject& object, const FSSpec& spec, OSErr& err) {
    err = noErr;
    if (QuickTimeVRAvailability() != 1) return nullptr;
    PanoramaDescription d;
    if (OSErr e = PanoramaReadDescription(&spec, &d); e != noErr) {
        // A file that is no panorama plays as a movie; a damaged panorama is an error.
        if (e != kReaderDeclinesErr) err = e;
        return nullptr;
    }
    auto p = std::make_unique<PanoramaPresenter>();
    err = p->Open(object, spec);
    if (err != noErr) return nullptr;
    return p;
}

bool PanoramaPresenterGetView(MediaObject* object, PanoramaView* view) {
    PanoramaPresenter* p = Of(object);
    if (!p || !view) return false;
    *view = p->view_;
    return true;
}

bool PanoramaPresenterSetView(MediaObject* object, const PanoramaView& view) {
    PanoramaPresenter* p = Of(object);
    if (!p) return false;
    p->view_ = PanoramaClampView(p->description_, view);
    p->Redraw();
    return true;
}
