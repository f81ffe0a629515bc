// The slide show's stored records and the rules over them: the 40-byte settings record the
// catalog and the preferences keep, the font setting, the per-item overrides an item record
// carries, their defaults, validation and the fix-ups a run applies, and the tables that turn
// a scaling or transition choice into what the presenter understands. Plain data, no windows:
// the show, its options window, the options dialog and the catalog's host side all share it.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct SlideShowSettings {
    UInt8 optionsTab;          // 0: 1 Files, 2 Text, 3 Info
    UInt8 optionsExpanded;     // 1
    UInt8 optionsVisible;      // 2
    UInt8 playState;           // 3: bit 0 running, bit 1 interactive
    SInt16 optionsTop;         // 4
    SInt16 optionsLeft;        // 6
    UInt8 stripFirstRow;       // 8
    UInt8 slideSeconds;        // 9
    UInt8 textAlignment;       // 10: 0 centred, 1 left, 2 right
    UInt8 reserved11;          // 11
    UInt8 background[3];       // 12: red, green, blue
    UInt8 captionLines;        // 15
    UInt8 scaling;             // 16: choice 1..16
    UInt8 reserved17;          // 17
    UInt8 random;              // 18
    UInt8 continuous;          // 19
    UInt8 volume;              // 20: 0..7
    UInt8 gridLayout;          // 21: 1..9
    UInt8 transition;          // 22: choice 1..13
    UInt8 margin;              // 23
    UInt8 soundFromAllMovies;  // 24
    UInt8 voiceAnnotations;    // 25
    UInt8 textItems;           // 26: bit set, the Title the most significant bit
    UInt8 reserved27[10];      // 27
    UInt8 textColor[3];        // 37
};

struct SlideShowFontSetting {
    UInt16 size;      // points, 10..100
    UInt16 style;
    char face[512];   // zero-terminated
};

// Kept in each item record (16 bytes at offset 336); 0 in a field: the show's own setting.
struct SlideItemOverrides {
    UInt32 durationMode;   // 0 default, 1 the seconds below, 2 hold until the sound ends
    UInt32 seconds;        // 0..60
    UInt8 unused8;
    UInt8 gridLayout;      // 1..9
    UInt8 scaling;         // 1..16
    UInt8 transition;      // 1..13
    UInt8 unused12[4];
};
#pragma pack(pop)
static_assert(sizeof(SlideShowSettings) == 40);
static_assert(offsetof(SlideShowSettings, optionsTop) == 4 && offsetof(SlideShowSettings, slideSeconds) == 9);
static_assert(offsetof(SlideShowSettings, background) == 12 && offsetof(SlideShowSettings, scaling) == 16);
static_assert(offsetof(SlideShowSettings, gridLayout) == 21 && offsetof(SlideShowSettings, textItems) == 26);
static_assert(offsetof(SlideShowSettings, textColor) == 37);
static_assert(sizeof(SlideShowFontSetting) == 516);
static_assert(sizeof(SlideItemOverrides) == 16 && offsetof(SlideItemOverrides, gridLayout) == 9);

// Play states (settings byte 3).
enum : UInt8 { kSlidePaused = 0, kSlideRunning = 1, kSlidePausedInteractive = 2, kSlideRunningInteractive = 3 };
// Overlay text items (byte 26): bit 0 is the most significant.
enum : UInt8 { kSlideTextTitle = 0x80 };
enum : UInt32 { kSlideDurationDefault = 0, kSlideDurationSeconds = 1, kSlideDurationHoldForSound = 2 };
// Choices of the scaling and transition menus.
enum : UInt8 { kSlideScaleActualSize = 1, kSlideScaleToFit = 2, kSlideTransitionNone = 1, kSlideTransitionRandom = 2 };

SlideShowSettings SlideShowDefaultSettings();
SlideShowFontSetting SlideShowDefaultFont();

// A stored record is usable when the options tab is 1..3, the volume at most 7, the scaling
// 1..16, the grid layout 1..9, the transition 1..13 and the seconds at most 60.
bool ValidateSlideShowSettings(const SlideShowSettings& settings);

// Which copy a show or the options dialog works from: the catalog's when it is valid, else the
// application's when that is, else the defaults, which then also replace the application's
// copy. The result is written into the catalog's copy; true when the application's copy changed.
bool SlideShowPickSettings(SlideShowSettings* catalogCopy, SlideShowSettings* appCopy);

// The values of a settings or override record as the presenter takes them.
struct SlideScale {
    UInt8 mode;      // presenter show level (1, 2, 4..8, 10)
    UInt16 percent;  // 0 unless the mode is 10
};
SlideScale SlideScaleFromChoice(UInt8 choice);
// The zoom steps (choices 10..16) and their percents.
inline constexpr UInt16 kSlideZoomSteps[7] = {25, 50, 100, 200, 400, 800, 1600};
// The effect number 0..10 of a transition choice; "Random" takes the draw given (1..10).
int SlideTransitionEffect(UInt8 choice, int randomDraw);

// The options dialog's menus leave out their separators, so a choice and a list position
// differ. Unknown choices give position 0; positions outside the list give choice 1.
int SlideTransitionChoiceToPosition(UInt8 choice);
UInt8 SlideTransitionPositionToChoice(int position);
int SlideScalingChoiceToPosition(UInt8 choice);
UInt8 SlideScalingPositionToChoice(int position);
inline constexpr int kSlideTransitionPositions = 12;
inline constexpr int kSlideScalingPositions = 14;
// Seconds as the dialog shows them: a stored 0..60 as it is (0 is a valid "no wait"), else 4.
int SlideSecondsForDialog(UInt8 stored);
// Seconds typed into the dialog's field: below 0 becomes 4, above 60 becomes 60.
int SlideSecondsFromTyped(int typed);
// The play state the dialog stores: Interactive sets bit 1, the running bit is kept.
UInt8 SlidePlayStateWithInteractive(UInt8 stored, bool interactive);
