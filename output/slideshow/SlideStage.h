// The stage the program shows: the media presenters of the seventeen slots drawing into an
// offscreen the size of the monitor, the overlay text drawn with pango, and the transitions
// composed off screen from the picture that was on the stage to the new one. The window
// copies Screen() to the display; Advance() moves a running transition on by the clock and
// says whether the screen changed.
#pragma once

#include "media/presenters/Transitions.h"
#include "output/slideshow/SlideMedia.h"
#include "platform/imaging/GWorld.h"

#include <functional>

struct MediaObject;

class SlideStage : public SlideMedia {
public:
    // A stage of width x height pixels (top-left 0,0); Ok() false when it could not be made.
    SlideStage(int width, int height);
    ~SlideStage() override;
    bool Ok() const { return screen_ && compose_ && old_; }

    GWorldPtr Screen() const { return screen_; }
    // Moves a running transition to the clock's tick; true when the screen changed.
    bool Advance(UInt32 now);
    bool InTransition() const { return transitionEffect_ != 0; }
    // Called when the screen changed outside a call of the show (a movie's new frame).
    void SetOnChanged(std::function<void()> changed) { onChanged_ = std::move(changed); }
    void SetOnBeep(std::function<void()> beep) { onBeep_ = std::move(beep); }
    MediaObject* Medium(int slot) const { return media_[slot]; }

    bool Open(int slot, const FSSpec& file, OSType type, Handle preview) override;
    bool HoldsFile(int slot, const FSSpec& file) override;
    void Close(int slot) override;
    bool ShowsSomething(int slot) override;
    bool IsMovie(int slot) override;
    bool HasEnded(int slot) override;
    void SetRect(int slot, const Rect& rect) override;
    void SetScale(int slot, UInt8 mode, UInt16 percent) override;
    UInt16 Percent(int slot) override;
    void SetVolume(int slot, UInt16 level) override;
    void Start(int slot) override;
    void Stop(int slot) override;
    void ProcessEvents(int slot) override;
    void Click(int slot, Point where, bool allTogether) override;
    void SetBackground(const RGBColor& color) override;
    void KeepOldPicture() override;
    void Erase() override;
    void DrawCell(int slot, const SlideCellText& text) override;
    void Present(int effect, UInt32 now, UInt32 ticks) override;
    int TextLineHeight(const SlideShowFontSetting& font) override;
    bool PlayVoice(Handle sound) override;
    void Beep() override;

    void SetFont(const SlideShowFontSetting& font) { font_ = font; }

private:
    static void OnRedraw(MediaObject* object, std::uintptr_t refCon);
    void DrawText(const SlideCellText& text);
    void CopyComposeToScreen();

    GWorldPtr screen_ = nullptr;    // what the window shows
    GWorldPtr compose_ = nullptr;   // where the media and texts are drawn
    GWorldPtr old_ = nullptr;       // the picture a transition starts from
    MediaObject* media_[kSlideSlots] = {};
    bool open_[kSlideSlots] = {};
    Rect rects_[kSlideSlots] = {};
    RGBColor background_{0, 0, 0};
    SlideShowFontSetting font_{};
    int transitionEffect_ = 0;
    UInt32 transitionStart_ = 0;
    UInt32 transitionTicks_ = 0;
    std::function<void()> onChanged_;
    std::function<void()> onBeep_;
};
