// The running slide show apart from its windows: the checks that start a run, the order of
// items (forward, backward, shuffled), the play states, the rule that makes a slide due, the
// keys and clicks, zoom, the grid layouts and the end that hands the settings back. It is
// driven by ticks (sixtieths of a second) from a clock its owner chooses, so the window runs
// it on a timer and the tests run it on a clock of their own.
//
// One show runs at a time in the process; the module must be initialised first.
#pragma once

#include "output/slideshow/SlideHost.h"
#include "output/slideshow/SlideMedia.h"
#include "output/slideshow/SlideShowGrids.h"
#include "output/slideshow/SlideShowSettings.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <vector>

// Once at start-up and at exit; a run is refused before the first.
void SlideShowInit();
void SlideShowTerm();
bool SlideShowIsRunning();

struct SlideShowRunArgs {
    bool extended = false;                      // the program always runs the normal show
    SlideHost host;
    const SlideShowGridLayout* grids = nullptr; // ten layouts, or null for the built-in ones
    SInt32 itemCount = 0;
    SInt32 startItem = 1;
    bool noFirstTransition = false;
    std::optional<std::uint32_t> seed;          // the shuffle's seed; a fresh one when unset
    std::function<UInt32()> clock;              // ticks; TickCount when unset
};

enum class SlideKey {
    Enter, Escape, Space, Previous, Next, ZoomIn, ZoomOut, ToggleActualSize, Label, Go, Pause,
    Interactive, Continuous, Random, ControllerMode,
};

class SlideShowMachine {
public:
    // What the windows around the show want to hear.
    struct Hooks {
        std::function<void()> stateChanged;            // play state, position, volume, seconds
        std::function<void(bool)> optionsVisibility;   // show or hide the options window
        std::function<void(SlideShowSettings*)> beforeSave;  // the windows write their state back
        std::function<void()> ended;                   // the show is over; close the windows
    };

    // The checks of a run: refused (null) when the module is not initialised, a show runs,
    // the count is 0, there is no path getter, or no item other than a sound can be found.
    // The settings are loaded before the first item is chosen. media stays the caller's.
    static std::unique_ptr<SlideShowMachine> Start(SlideShowRunArgs args, SlideMedia* media);
    ~SlideShowMachine();

    // Lays out the stage and shows the first item.
    void Begin(const Rect& stage);
    // The 500 ms timer.
    void Tick();
    void Key(SlideKey key, int digit = 0);
    void Click(Point where, bool alt, bool shift);
    void DoubleClick() { RequestEnd(); }
    void MediaEvent(int slot);
    void RequestEnd() { endRequested_ = true; }

    // What the options window calls.
    void NextItem();       // wraps, never random
    void PreviousItem();
    void RunOrPause();
    bool SetVolume(int level);    // false outside 0..7
    bool SetSeconds(int seconds); // false outside 0..60
    void ToggleInteractive();
    void ToggleContinuous() { settings_.continuous = !settings_.continuous; Changed(); }
    void ToggleRandom() { settings_.random = !settings_.random; Changed(); }
    void ToggleVoice() { settings_.voiceAnnotations = !settings_.voiceAnnotations; }
    void ToggleSoundFromAllMovies();
    void SetBackground(UInt8 red, UInt8 green, UInt8 blue);
    void ToggleMargin();
    void ToggleTitle();
    void SetTransition(UInt8 choice);
    // False (and no redraw) when the choice is the current one.
    bool SetScaling(UInt8 choice);
    void SetOptionsVisible(bool visible);
    void SetMenuOpen(bool open) { menuOpen_ = open; }
    void SetMouseHeld(std::function<bool()> held) { mouseHeld_ = std::move(held); }
    void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }

    const SlideShowSettings& Settings() const { return settings_; }
    const SlideShowFontSetting& Font() const { return font_; }
    SInt32 Current() const { return current_; }
    SInt32 Count() const { return count_; }
    bool Ended() const { return ended_; }
    int CellCount() const { return cellCount_; }
    const Rect& CellRect(int cell) const { return cells_[cell].rect; }
    SInt32 CellItem(int cell) const { return cells_[cell].item; }
    int Redraws() const { return redraws_; }
    UInt32 Now() const { return clock_(); }

private:
    struct Cell {
        SInt32 item = 0;
        Rect rect{};
        UInt32 shown = 0;
        UInt32 durationMode = 0;
        UInt32 seconds = 0;
        bool movie = false;
    };

    SlideShowMachine() = default;
    void Shuffle();
    SInt32 DrawShuffled();
    SInt32 Following(SInt32 from, bool wrap) const;
    SInt32 Preceding(SInt32 from, bool wrap) const;
    SInt32 NextByRule(bool wrap);
    SlideItemOverrides Overrides(SInt32 item);
    OSType TypeOf(SInt32 item, FSSpec* file);
    bool IsSound(SInt32 item);
    int TextHeight();
    SlideCellText TextOf(int cell);
    void Layout();
    void Fill(SInt32 fromItem, bool withTransition);
    void GoTo(SInt32 item, int cell, bool inFill);
    bool CellDue(int cell, UInt32 now, bool soundPlays);
    bool AnyDue(UInt32 now);
    UInt16 VolumeFor(int cell) const;
    void ApplyVolumes();
    void StartOrStopAll();
    void SetPlayState(UInt8 state);
    void Zoom(bool in);
    void ApplyScale(UInt8 mode, UInt16 percent);
    void Redraw();
    void Changed();
    void End();
    int RandomEffect();

    SlideHost host_;
    SlideMedia* media_ = nullptr;
    Hooks hooks_;
    SlideShowSettings settings_{};
    SlideShowFontSetting font_{};
    SlideShowGrids grids_{};
    std::function<UInt32()> clock_;
    std::function<bool()> mouseHeld_;
    std::mt19937 random_;
    std::vector<SInt32> order_;
    SInt32 left_ = 0;
    SInt32 count_ = 0;
    SInt32 current_ = 0;
    SInt32 firstItem_ = 0;
    bool extended_ = false;
    bool noFirstTransition_ = false;
    Rect stage_{};
    Cell cells_[kSlideSlots];
    int cellCount_ = 1;
    int focused_ = 1;
    UInt32 lastChange_ = 0;
    std::deque<SInt32> voiceQueue_;
    bool endRequested_ = false;
    bool ended_ = false;
    bool menuOpen_ = false;
    bool drawingBusy_ = false;
    int redraws_ = 0;
};
