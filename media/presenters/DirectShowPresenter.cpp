#include "media/presenters/DirectShowPresenter.h"

#include "foundation/interface/Cursors.h"
#include "media/imaging/Offscreen.h"
#include "media/presenters/MediaBackend.h"
#include "media/presenters/PresenterDrawing.h"
#include "platform/TimerService.h"
#include "platform/movies/MoviePlayer.h"

#include <cairo.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The bar's display mode: one byte shared by every presenter, and a private one (starting
// hidden) for a presenter drawn without its controller.
UInt8 gSharedMode = 0;

enum : int { kPaused = 2, kPlaying = 3, kEnded = 4 };
constexpr OSErr kOpenFailed = -19;
constexpr double kStep = 0.1;  // a step while paused: positions count time, not frames

class DirectShowPresenter final : public MediaBackend {
public:
    ~DirectShowPresenter() override {
        if (frameTimer_) Timers().Stop(frameTimer_);
        if (barTimer_) Timers().Stop(barTimer_);
        player_.Close();
    }

    OSErr Open(MediaObject& o, const FSSpec& spec) {
        owner_ = &o;
        struct stat st;
        if (spec.path.empty() || ::stat(spec.path.c_str(), &st) != 0) return kOpenFailed;
        if (player_.Open(spec.path) != noErr) return kOpenFailed;
        const MovieFacts& facts = player_.Facts();
        if (!facts.HasPicture()) return kOpenFailed;  // no video size: nothing to present
        native_ = Rect{0, 0, SInt16(std::min(facts.height, 32767)), SInt16(std::min(facts.width, 32767))};
        state_ = kPaused;
        player_.SetFrameProc([this] { Redraw(); });
        player_.SetEndProc([this] {
            completed_ = true;
            if (notify_) PostMessageW(notify_, kDirectShowEventMessage, 0, notifyParam_);
            Redraw();
        });
        frameTimer_ = Timers().Start(10, [this](TimerId) { player_.Idle(); });
        barTimer_ = Timers().Start(1000, [this](TimerId) {
            if (countdown_ > 0) --countdown_;
            if (state_ == kPlaying) Redraw();
        });
        return noErr;
    }

    void Redraw() {
        if (owner_ && owner_->redraw) owner_->redraw(owner_, owner_->redrawRef);
    }

    double Duration() const { return player_.Duration(); }

    void Seek(double seconds) {
        player_.Seek(std::clamp(seconds, 0.0, Duration()));
        Redraw();
    }

    void SeekBy(double delta) {
        double to = player_.CurrentTime() + delta;
        if (to > Duration()) return;  // beyond the end nothing happens
        Seek(std::max(0.0, to));
    }

    OSErr Start(UInt8) override {
        if (player_.CurrentTime() + kStep >= Duration() || state_ == kEnded) player_.Seek(0);
        if (rate_ > 1.0) rate_ = 1.0;
        completed_ = false;
        player_.Play(rate_);
        state_ = kPlaying;
        Redraw();
        return noErr;
    }

    OSErr Stop() override {
        player_.Pause();
        state_ = kPaused;
        Redraw();
        return noErr;
    }

    void ProcessEvents() override {
        if (completed_) {
            completed_ = false;
            state_ = kEnded;
        }
    }

    void SetRate(double rate) {
        rate_ = rate;
        if (state_ == kPlaying) player_.Play(rate_);
    }

    bool Key(SInt16 command) override {
        bool playing = state_ == kPlaying;
        switch (command) {
        case 0:
            if (playing) {
                if (rate_ == 1.0 && countdown_ <= 0) SetRate(2.0);
                else if (rate_ == 0.25) SetRate(0.5);
                else if (rate_ == 0.5) SetRate(1.0);
                else if (rate_ != 1.0) Scrub(+3);
            } else if (state_ == kPaused) {
                player_.Seek(std::min(Duration(), player_.CurrentTime() + kStep));
            }
            break;
        case 1:
            if (playing) {
                if (rate_ == 1.0 && countdown_ <= 0) SetRate(0.5);
                else if (rate_ == 0.5) SetRate(0.25);
                else if (rate_ == 2.0) SetRate(1.0);
                else if (rate_ != 1.0) Scrub(-3);
            } else if (state_ == kPaused) {
                player_.Seek(std::max(0.0, player_.CurrentTime() - kStep));
            }
            break;
        case 2:
            if (playing) {
                countdown_ = 4;
                SeekBy(60);
            } else {
                player_.Pause();
                state_ = kPaused;
                Seek(Duration());
            }
            break;
        case 3:
            if (playing) {
                countdown_ = 4;
                SeekBy(-60);
            } else {
                Seek(0);
            }
            break;
        default:
            break;
        }
        Redraw();
        return false;
    }

    // One scrub step (the keys are not held here: each press is one step), then normal speed.
    void Scrub(int seconds) {
        countdown_ = 4;
        SeekBy(seconds);
        SetRate(1.0);
    }

    // The bar's geometry at the native size: the time box bottom right, the track to its left.
    void Layout(const std::string& text, Rect* box, Rect* inner) const {
        int W = native_.right, H = native_.bottom;
        int cx = int(text.size()) * 13, cy = 28;  // the 24-pixel bar font
        *box = Rect{SInt16(H - cy - 5), SInt16(W - cx - 15), SInt16(H - 5), SInt16(W - 5)};
        int thickness = private_ ? 3 : 10;
        int centre = box->top + (box->bottom - box->top) / 2;
        *inner = Rect{SInt16(centre - thickness / 2), SInt16(5 + 10), SInt16(centre + thickness / 2),
                      SInt16(box->left - 10)};
    }

    Rect Scaled(const Rect& r) const {
        double s = scale_ / 100.0;
        return Rect{SInt16(image_.top + r.top * s), SInt16(image_.left + r.left * s), SInt16(image_.top + r.bottom * s),
                    SInt16(image_.left + r.right * s)};
    }

    UInt8 Mode() const { return private_ ? privateMode_ : gSharedMode; }
    void CycleMode() {
        UInt8& m = private_ ? privateMode_ : gSharedMode;
        m = UInt8((m + 1) % 3);
    }

    bool Click(MediaObject&, Point where) override {
        std::string text = DirectShowBarText(player_.CurrentTime(), Duration(), Mode());
        Rect box, inner;
        Layout(text, &box, &inner);
        Rect sbox = Scaled(box), strack = Scaled(inner);
        strack.top = SInt16(strack.top - 2);
        strack.bottom = SInt16(strack.bottom + 2);
        if (PointInRect(where, sbox)) {
            if (state_ == kPlaying) CycleMode();
            Redraw();
            return true;
        }
        if (PointInRect(where, strack) && state_ != kEnded && strack.right > strack.left) {
            double f = double(where.h - strack.left) / double(strack.right - strack.left);
            Seek(f * Duration());
            return true;
        }
        if (state_ == kPlaying) Stop();
        else Start(0);
        return true;
    }

    void UpdateCursor(MediaObject&, Point where) override {
        std::string text = DirectShowBarText(player_.CurrentTime(), Duration(), Mode());
        Rect box, inner;
        Layout(text, &box, &inner);
        Rect strack = Scaled(inner);
        strack.top = SInt16(strack.top - 2);
        strack.bottom = SInt16(strack.bottom + 2);
        bool hand = PointInRect(where, Scaled(box)) || (Mode() != 2 && PointInRect(where, strack));
        SetCursorKind(hand ? 9 : 0);
    }

    OSErr Draw(MediaObject& o) override {
        if (!o.window) return noErr;
        if (!o.drawOption) private_ = true;
        short percent = 100;
        Rect image = PresenterPlaceImage(o, native_.right, native_.bottom, &percent);
        image_ = image;
        scale_ = percent;
        o.imageRect = image;
        o.stateWord = UInt16(percent);
        if (hidden_) return noErr;
        PresenterEraseAround(o, image);
        if (GWorldPtr frame = player_.Frame()) OffscreenDrawImage(frame, o.window, nullptr, &image, 0);
        else PresenterFill(o.window, image, RGBColor{0, 0, 0});
        DrawBar(o);
        return noErr;
    }

    void DrawBar(MediaObject& o) {
        double alpha = Mode() == 2 ? (countdown_ > 0 ? 0.65 : 0.0) : (countdown_ > 0 ? 0.65 : 0.35);
        if (alpha <= 0) return;
        cairo_surface_t* s = GetGWorldSurface(o.window);
        if (!s) return;
        std::string text = DirectShowBarText(player_.CurrentTime(), Duration(), Mode());
        Rect box, inner;
        Layout(text, &box, &inner);
        Rect port = GetPortBounds(o.window);
        cairo_t* cr = cairo_create(s);
        cairo_translate(cr, image_.left - port.left, image_.top - port.top);
        cairo_scale(cr, scale_ / 100.0, scale_ / 100.0);
        auto rgb = [&](double v, double a) { cairo_set_source_rgba(cr, v, v, v, a); };
        // The rounded time box.
        double x = box.left, y = box.top, w = box.right - box.left, h = box.bottom - box.top, r = 6;
        cairo_new_sub_path(cr);
        cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
        cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
        cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
        cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
        cairo_close_path(cr);
        rgb(0x22 / 255.0, alpha);
        cairo_fill(cr);
        rgb(0xF0 / 255.0, alpha);
        cairo_select_font_face(cr, "Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 24);
        cairo_move_to(cr, box.left + 5, box.bottom - 6);
        cairo_show_text(cr, text.c_str());
        // The track: light, then dark up to the position.
        if (inner.right > inner.left) {
            cairo_rectangle(cr, inner.left, inner.top, inner.right - inner.left, std::max(1, inner.bottom - inner.top));
            cairo_fill(cr);
            double d = Duration();
            double f = d > 0 ? std::clamp(player_.CurrentTime() / d, 0.0, 1.0) : 0.0;
            rgb(0x22 / 255.0, alpha);
            cairo_rectangle(cr, inner.left, inner.top, (inner.right - inner.left) * f,
                            std::max(1, inner.bottom - inner.top));
            cairo_fill(cr);
        }
        cairo_destroy(cr);
        cairo_surface_flush(s);
    }

    void Idle() override {
        player_.Idle();
        if (state_ == kPlaying) Redraw();
    }
    void SetVolume(UInt16 level) override {
        SInt32 db = MediaVolumeToDecibels(level);
        player_.SetVolume(db <= -10000 ? 0 : int(std::lround(256.0 * std::pow(10.0, db / 2000.0))));
    }
    void SetVideoWindow(HWND window, LPARAM lParam) override {
        notify_ = window;
        notifyParam_ = lParam;
    }
    void NaturalRect(Rect* r) override { *r = native_; }
    UInt8 PlayState(UInt8) override {
        switch (state_) {
        case kPaused: return 1;
        case kPlaying: return 2;
        default: return 0;
        }
    }
    bool HasSound() override { return player_.Facts().FirstTrack(MovieTrackKind::Sound) >= 0; }
    bool CurrentTime(UInt32* value) override {
        if (value) *value = UInt32(std::floor(player_.CurrentTime() * 10.0 + 1e-9));
        return true;
    }
    bool SizeQuery(UInt32* value) override {
        if (value) *value = UInt32(std::floor(Duration() * 10.0 + 1e-9));
        return true;
    }
    bool HideVideo() override {
        hidden_ = true;
        return true;
    }
    SInt32 SetBarMode(SInt32 value) override {
        if (state_ == kPlaying) {
            if (value == -1) CycleMode();
            else (private_ ? privateMode_ : gSharedMode) = UInt8(value);
            Redraw();
        }
        return Mode();
    }

    double rate_ = 1.0;
    int state_ = kPaused;

private:
    MediaObject* owner_ = nullptr;
    MoviePlayer player_;
    Rect native_{};
    Rect image_{};
    int scale_ = 100;
    int countdown_ = 0;
    bool completed_ = false;
    bool hidden_ = false;
    bool private_ = false;
    UInt8 privateMode_ = 2;
    HWND notify_ = nullptr;
    LPARAM notifyParam_ = 0;
    TimerId frameTimer_ = 0, barTimer_ = 0;
};

}  // namespace

std::unique_ptr<MediaBackend> DirectShowPresenterOpen(MediaObject& object, const FSSpec& spec, OSErr& err) {
    auto p = std::make_unique<DirectShowPresenter>();
    err = p->Open(object, spec);
    if (err != noErr) return nullptr;
    return p;
}

std::string DirectShowBarText(double position, double duration, UInt8 mode) {
    double value = mode == 1 ? duration - position : position;
    long seconds = std::max(0L, long(value));
    long hours = seconds / 3600;
    long minutes = (seconds / 60) % 60;
    char text[32];
    if (hours == 0) std::snprintf(text, sizeof text, "%s%ld:%.2ld", mode == 1 ? "-" : "", seconds / 60, seconds % 60);
    else std::snprintf(text, sizeof text, "%s%ld:%.2ld:%.2ld", mode == 1 ? "-" : "", hours, minutes, seconds % 60);
    return text;
}

UInt8 DirectShowDisplayMode() {
    return gSharedMode;
}

void DirectShowSetDisplayMode(UInt8 mode) {
    gSharedMode = UInt8(mode % 3);
}

double DirectShowRate(MediaObject* object) {
    if (!object || object->presenterType != kMediaPresenterWindowsMedia || !object->backend) return 0;
    return static_cast<DirectShowPresenter*>(object->backend.get())->rate_;
}
