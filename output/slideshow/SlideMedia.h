// The stage as the show's logic sees it: seventeen media slots (slot 0 the background sound,
// 1..16 the cells of a grid layout) and the drawing of the whole stage. The show decides what
// goes where and when; an implementation opens, plays and draws. SlideStage (the media
// presenters on an offscreen the stage window shows) is the one the program uses.
#pragma once

#include "output/slideshow/SlideShowSettings.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>

inline constexpr int kSlideSlots = 17;

// The overlay line of a cell, ready to draw.
struct SlideCellText {
    std::string text;     // empty: no text
    Rect area{};          // where it goes, below the cell
    RGBColor color{};
    int alignment = 0;    // 0 centred, 1 left, 2 right
};

class SlideMedia {
public:
    virtual ~SlideMedia() = default;
    // Opens the file into the slot; when it cannot be opened and a preview picture is given,
    // the preview instead. False when the slot shows nothing.
    virtual bool Open(int slot, const FSSpec& file, OSType type, Handle preview) = 0;
    virtual bool HoldsFile(int slot, const FSSpec& file) = 0;
    virtual void Close(int slot) = 0;
    virtual bool ShowsSomething(int slot) = 0;
    virtual bool IsMovie(int slot) = 0;
    // True once a time-based medium has played to its end (or stopped by itself).
    virtual bool HasEnded(int slot) = 0;
    virtual void SetRect(int slot, const Rect& rect) = 0;
    virtual void SetScale(int slot, UInt8 mode, UInt16 percent) = 0;
    virtual UInt16 Percent(int slot) = 0;
    virtual void SetVolume(int slot, UInt16 level) = 0;
    virtual void Start(int slot) = 0;
    virtual void Stop(int slot) = 0;
    // The media layer's event for the slot arrived (a movie's end).
    virtual void ProcessEvents(int slot) = 0;
    // A click handed to the medium under the point (its controller).
    virtual void Click(int slot, Point where, bool allTogether) = 0;
    virtual void SetBackground(const RGBColor& color) = 0;
    // Drawing: keep the picture on screen as the start of a transition, erase the stage,
    // draw one cell and its text, then either show the result at once (effect 0) or play
    // the effect from the kept picture to it over `ticks` starting at `now`.
    virtual void KeepOldPicture() = 0;
    virtual void Erase() = 0;
    virtual void DrawCell(int slot, const SlideCellText& text) = 0;
    virtual void Present(int effect, UInt32 now, UInt32 ticks) = 0;
    // Height of one line of overlay text in the show's font.
    virtual int TextLineHeight(const SlideShowFontSetting& font) = 0;
    // Plays a voice annotation to its end; false when it could not be played.
    virtual bool PlayVoice(Handle sound) = 0;
    virtual void Beep() = 0;
};
