#include "media/presenters/MoviePresenter.h"

#include "foundation/interface/Cursors.h"
#include "foundation/interface/Orientation.h"
#include "media/imaging/Offscreen.h"
#include "media/imaging/Orientation.h"
#include "media/imaging/PortBridge.h"
#include "media/kinds/KindEngine.h"
#include "media/readers/movies/MovieAtoms.h"
#include "media/presenters/MediaBackend.h"
#include "media/presenters/PanoramaPresenter.h"
#include "media/presenters/PresenterDrawing.h"
#include "platform/TimerService.h"
#include "platform/movies/MoviePlayer.h"

#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace {

const RGBColor kStripBack{0xDBDB, 0xE1E1, 0xC5C5};
const RGBColor kStripBars{0xFAFA, 0xFAFA, 0xFAFA};
const RGBColor kStripText{0x3636, 0x3838, 0x3131};

class MoviePresenter final : public MediaBackend {
public:
    ~MoviePresenter() override {
        if (timer_) Timers().Stop(timer_);
        // A playing movie fades out in steps of 10, one tick apart, rather than stop dead.
        if (player_.IsPlaying()) {
            while (volume_ > 10) {
                volume_ = SInt16(volume_ - 10);
                player_.SetVolume(volume_);
                std::this_thread::sleep_for(std::chrono::microseconds(16667));
            }
            volume_ = 0;
            player_.SetVolume(0);
        }
        player_.Close();
        if (turned_) DisposeGWorld(turned_);
    }

    OSErr Open(MediaObject& o, const FSSpec& spec, SInt32 startTime, UInt16 orientation) {
        owner_ = &o;
        if (OSErr err = player_.Open(spec.path); err != noErr) return err;
        const MovieFacts& facts = player_.Facts();
        timeScale_ = 600;
        if (facts.container.rfind("mov,", 0) == 0) {
            QtMovieLayout layout;
            if (QtReadMovieLayout(&spec, &layout) == noErr && layout.timeScale) timeScale_ = layout.timeScale;
        }
        loop_ = o.openOptionB != 0;
        orientation_ = IsTransformCode(orientation) ? orientation : 0;
        if (facts.HasPicture()) {
            kind_ = 1;
            int w = facts.width, h = facts.height;
            if (TransformSwapsAxes(orientation_)) std::swap(w, h);
            rect_ = Rect{0, 0, SInt16(std::min(h, 32767)), SInt16(std::min(w, 32767))};
        } else {
            kind_ = 3;
            rect_ = o.openOptionC ? Rect{0, 0, kSoundStripHeight, kSoundStripWidth} : Rect{};
        }
        if (startTime > 0) player_.Seek(double(startTime) / timeScale_);
        player_.SetFrameProc([this] { Redraw(); });
        player_.SetEndProc([this] {
            if (loop_) {
                player_.Seek(0);
                player_.Play(1.0);
            }
            Redraw();
        });
        timer_ = Timers().Start(10, [this](TimerId) { Idle(); });
        return noErr;
    }

    void Redraw() {
        if (owner_ && owner_->redraw) owner_->redraw(owner_, owner_->redrawRef);
    }

    void Idle() override {
        player_.Idle();
        // The strip's time read-out changes once a second.
        if (kind_ == 3 && player_.IsPlaying()) {
            int second = int(player_.CurrentTime());
            if (second != lastSecond_) {
                lastSecond_ = second;
                Redraw();
            }
        }
    }

    bool ControllerShown(const MediaObject& o) const { return kind_ == 1 && o.drawOption != 0; }

    OSErr Draw(MediaObject& o) override {
        if (!o.window) return noErr;
        if (hidden_) return noErr;
        int w = rect_.right - rect_.left, h = rect_.bottom - rect_.top;
        bool bar = ControllerShown(o);
        short percent = 100;
        Rect image{};
        if (w > 0 && h > 0) image = PresenterPlaceImage(o, w, h + (bar ? kMovieControllerBarHeight : 0), &percent);
        o.imageRect = image;
        o.stateWord = UInt16(percent);
        PresenterEraseAround(o, image);
        PaintUncovered(o, image);
        if (kind_ == 3) {
            if (w > 0) DrawStrip(o, image);
            return noErr;
        }
        Rect picture = image;
        if (bar) picture.bottom = SInt16(std::max<int>(picture.top, picture.bottom - kMovieControllerBarHeight));
        if (GWorldPtr frame = ShownFrame()) OffscreenDrawImage(frame, o.window, nullptr, &picture, 0);
        else PresenterFill(o.window, picture, RGBColor{0, 0, 0});
        if (bar) DrawBar(o, Rect{picture.bottom, image.left, image.bottom, image.right});
        return noErr;
    }

    // A picture that moved or shrank leaves its old place: what it no longer covers is painted
    // in the thumbnail background, or it would keep showing the last frame there. (An object
    // with a background colour of its own has just painted all of that.)
    void PaintUncovered(MediaObject& o, const Rect& image) {
        Rect old = shownRect_;
        shownRect_ = image;
        if (kind_ != 1 || o.colorPresent || old.right <= old.left || old.bottom <= old.top) return;
        RgnHandle left = NewRgn(), now = NewRgn(), inside = NewRgn();
        RectRgn(left, &old);
        RectRgn(now, &image);
        DiffRgn(left, now, left);
        RectRgn(inside, &o.bounds);
        SectRgn(left, inside, left);
        if (!EmptyRgn(left)) {
            GWorldPtr previous = PortSetCurrent(o.window);
            RGBColor background = KindEngineGlobals().thumbBackground;
            RegionPaintColored(nullptr, left, &background);
            PortSetCurrent(previous);
        }
        DisposeRgn(left);
        DisposeRgn(now);
        DisposeRgn(inside);
    }

    // The frame turned by the orientation code, made again only when the frame changed.
    GWorldPtr ShownFrame() {
        GWorldPtr frame = player_.Frame();
        if (!frame || !orientation_) return frame;
        if (frame != turnedFrom_) {
            if (turned_) DisposeGWorld(turned_);
            turned_ = OffscreenScaledCopy(frame, nullptr, k32BGRAPixelFormat);
            if (turned_) ApplyOrientation(&turned_, orientation_);
            turnedFrom_ = frame;
        }
        return turned_ ? turned_ : frame;
    }

    void DrawBar(MediaObject& o, const Rect& r) {
        PresenterFill(o.window, r, RGBColor{0xDDDD, 0xDDDD, 0xDDDD});
        cairo_surface_t* s = GetGWorldSurface(o.window);
        if (!s) return;
        Rect port = GetPortBounds(o.window);
        cairo_t* cr = cairo_create(s);
        cairo_translate(cr, r.left - port.left, r.top - port.top);
        double width = r.right - r.left;
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        if (player_.IsPlaying()) {  // pause: two bars
            cairo_rectangle(cr, 5, 3, 3, 10);
            cairo_rectangle(cr, 10, 3, 3, 10);
        } else {  // play: a triangle
            cairo_move_to(cr, 5, 3);
            cairo_line_to(cr, 14, 8);
            cairo_line_to(cr, 5, 13);
            cairo_close_path(cr);
        }
        cairo_fill(cr);
        double left = 20, right = std::max(left + 1, width - 6);
        cairo_rectangle(cr, left, 6, right - left, 4);
        cairo_stroke(cr);
        double d = player_.Duration();
        double x = d > 0 ? left + (right - left) * std::clamp(player_.CurrentTime() / d, 0.0, 1.0) : left;
        cairo_rectangle(cr, left, 6, x - left, 4);
        cairo_fill(cr);
        cairo_destroy(cr);
        cairo_surface_flush(s);
    }

    void DrawStrip(MediaObject& o, const Rect& r) {
        PresenterFill(o.window, r, kStripBack);
        Rect box{SInt16(r.top + 2), SInt16(r.left + 5), SInt16(std::min<int>(r.bottom - 2, r.top + 14)),
                 SInt16(r.left + 25)};
        if (player_.IsPlaying()) PresenterFill(o.window, box, kStripBars);
        cairo_surface_t* s = GetGWorldSurface(o.window);
        if (!s) return;
        Rect port = GetPortBounds(o.window);
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgb(cr, kStripText.red / 65535.0, kStripText.green / 65535.0, kStripText.blue / 65535.0);
        cairo_select_font_face(cr, "Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 10);
        int t = int(player_.CurrentTime());
        char text[32];
        std::snprintf(text, sizeof text, "%d:%02d", t / 60, t % 60);
        cairo_move_to(cr, r.left - port.left + 40, r.top - port.top + 12);
        cairo_show_text(cr, text);
        cairo_destroy(cr);
        cairo_surface_flush(s);
        DrawLevelBars(o, r);
    }

    // The two band levels of what is heard now as bars from the left end of their track,
    // 255 filling it; nothing while the sound does not play.
    void DrawLevelBars(MediaObject& o, const Rect& strip) {
        UInt8 levels[kSoundStripBands] = {0, 0};
        player_.SoundLevels(kSoundStripBandFrequencies, kSoundStripBands, levels);
        for (int band = 0; band < kSoundStripBands; ++band) {
            Rect bar = SoundStripLevelBar(strip, band);
            const int full = bar.right - bar.left;
            bar.right = SInt16(bar.left + (full * levels[band] + 127) / 255);
            PresenterFill(o.window, bar, kStripBars);
        }
    }

    OSErr Start(UInt8) override {
        if (player_.AtEnd()) player_.Seek(0);
        player_.Play(1.0);
        Redraw();
        return noErr;
    }
    OSErr Stop() override {
        player_.Pause();
        Redraw();
        return noErr;
    }
    void SetVolume(UInt16 level) override {
        volume_ = MediaVolumeToMovieVolume(level);
        player_.SetVolume(volume_);
    }
    bool Key(SInt16 command) override {
        switch (command) {
        case 0: player_.Step(1); break;
        case 1: player_.Step(-1); break;
        case 2: player_.Pause(); player_.Seek(player_.Duration()); break;
        case 3: player_.Pause(); player_.Seek(0); break;
        default: break;
        }
        player_.Idle();
        return false;
    }
    bool MouseDown(MediaObject& o, Point where, UInt32) override { return Click(o, where); }
    bool Click(MediaObject& o, Point where) override {
        if (kind_ != 1 || !PointInRect(where, o.imageRect)) return false;
        if (player_.IsPlaying()) Stop();
        else Start(0);
        return true;
    }
    void UpdateCursor(MediaObject&, Point) override { SetCursorKind(0); }
    void NaturalRect(Rect* r) override { *r = kind_ == 3 ? Rect{} : rect_; }
    UInt8 PlayState(UInt8) override {
        if (player_.AtEnd()) return 0;
        return player_.IsPlaying() ? 2 : 1;
    }
    bool HasSound() override { return kind_ == 3 || player_.Facts().FirstTrack(MovieTrackKind::Sound) >= 0; }
    bool CurrentTime(UInt32* value) override {
        if (value) *value = UInt32(std::llround(player_.CurrentTime() * timeScale_));
        return true;
    }
    bool HideVideo() override {
        hidden_ = true;
        return true;
    }

    MoviePlayer player_;
    UInt32 timeScale_ = 600;
    SInt16 volume_ = 0x100;

private:
    MediaObject* owner_ = nullptr;
    TimerId timer_ = 0;
    int kind_ = 1;
    Rect rect_{};
    Rect shownRect_{};  // where the last draw put the picture
    UInt16 orientation_ = 0;
    bool loop_ = false;
    bool hidden_ = false;
    int lastSecond_ = -1;
    GWorldPtr turned_ = nullptr;
    GWorldPtr turnedFrom_ = nullptr;
};

}  // namespace

Rect SoundStripLevelBar(const Rect& strip, int band) {
    const int top = strip.top + 3 + band * 6;
    return Rect{SInt16(top), SInt16(strip.left + 100), SInt16(std::min<int>(top + 4, strip.bottom)),
                SInt16(std::max<int>(strip.left + 100, strip.right - 10))};
}

namespace {

MoviePresenter* Of(MediaObject* o) {
    if (!o || o->presenterType != kMediaPresenterMovie || !o->backend) return nullptr;
    return dynamic_cast<MoviePresenter*>(o->backend.get());
}

}  // namespace

std::unique_ptr<MediaBackend> MoviePresenterOpen(MediaObject& object, const FSSpec& spec, OSType, SInt32 startTime,
                                                 UInt16 orientation, OSErr& err) {
    // A panorama movie is shown as the view from inside it.
    if (auto panorama = PanoramaPresenterOpen(object, spec, err); panorama || err != noErr) return panorama;
    auto p = std::make_unique<MoviePresenter>();
    err = p->Open(object, spec, startTime, orientation);
    if (err != noErr) return nullptr;
    return p;
}

UInt32 MoviePresenterTimeScale(MediaObject* object) {
    MoviePresenter* p = Of(object);
    return p ? p->timeScale_ : 0;
}

SInt16 MoviePresenterVolume(MediaObject* object) {
    MoviePresenter* p = Of(object);
    return p ? p->volume_ : 0;
}

void MoviePresenterSoundLevels(MediaObject* object, UInt8 levels[kSoundStripBands]) {
    levels[0] = levels[1] = 0;
    if (MoviePresenter* p = Of(object)) p->player_.SoundLevels(kSoundStripBandFrequencies, kSoundStripBands, levels);
}
