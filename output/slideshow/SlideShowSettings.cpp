#include "output/slideshow/SlideShowSettings.h"

#include <cstring>

SlideShowSettings SlideShowDefaultSettings() {
    SlideShowSettings s;
    std::memset(&s, 0, sizeof s);
    s.optionsTab = 1;
    s.optionsExpanded = 1;
    s.optionsVisible = 1;
    s.playState = kSlideRunning;
    s.optionsTop = 40;
    s.optionsLeft = 15;
    s.stripFirstRow = 1;
    s.slideSeconds = 4;
    s.captionLines = 3;
    s.scaling = kSlideScaleToFit;
    s.reserved17 = 1;
    s.continuous = 1;
    s.volume = 7;
    s.gridLayout = 1;
    s.transition = kSlideTransitionNone;
    s.soundFromAllMovies = 1;
    s.voiceAnnotations = 1;
    s.textColor[0] = s.textColor[1] = s.textColor[2] = 255;
    return s;
}

SlideShowFontSetting SlideShowDefaultFont() {
    SlideShowFontSetting f;
    std::memset(&f, 0, sizeof f);
    f.size = 10;
    return f;
}

bool ValidateSlideShowSettings(const SlideShowSettings& s) {
    return s.optionsTab >= 1 && s.optionsTab <= 3 && s.volume <= 7 && s.scaling >= 1 && s.scaling <= 16 &&
           s.gridLayout >= 1 && s.gridLayout <= 9 && s.transition >= 1 && s.transition <= 13 && s.slideSeconds <= 60;
}

bool SlideShowPickSettings(SlideShowSettings* catalogCopy, SlideShowSettings* appCopy) {
    if (ValidateSlideShowSettings(*catalogCopy)) return false;
    if (ValidateSlideShowSettings(*appCopy)) {
        *catalogCopy = *appCopy;
        return false;
    }
    *appCopy = SlideShowDefaultSettings();
    *catalogCopy = *appCopy;
    return true;
}

SlideScale SlideScaleFromChoice(UInt8 choice) {
    if (choice == 1 || (choice >= 4 && choice <= 8)) return {choice, 0};
    if (choice >= 10 && choice <= 16) return {10, kSlideZoomSteps[choice - 10]};
    return {2, 0};
}

int SlideTransitionEffect(UInt8 choice, int randomDraw) {
    if (choice == kSlideTransitionRandom) return randomDraw;
    if (choice >= 4 && choice <= 13) return choice - 3;
    return 0;
}

int SlideTransitionChoiceToPosition(UInt8 choice) {
    if (choice == 1 || choice == 2) return choice - 1;
    if (choice >= 4 && choice <= 13) return choice - 2;
    return 0;
}

UInt8 SlideTransitionPositionToChoice(int position) {
    if (position < 0 || position >= kSlideTransitionPositions) return 1;
    return UInt8(position + 1 + (position >= 2 ? 1 : 0));
}

int SlideScalingChoiceToPosition(UInt8 choice) {
    if (choice == 1 || choice == 2) return choice - 1;
    if (choice >= 4 && choice <= 8) return choice - 2;
    if (choice >= 10 && choice <= 16) return choice - 3;
    return 0;
}

UInt8 SlideScalingPositionToChoice(int position) {
    if (position < 0 || position >= kSlideScalingPositions) return 1;
    if (position <= 1) return UInt8(position + 1);
    if (position <= 6) return UInt8(position + 2);
    return UInt8(position + 3);
}

int SlideSecondsForDialog(UInt8 stored) { return stored <= 60 ? stored : 4; }

int SlideSecondsFromTyped(int typed) {
    if (typed < 0) return 4;
    if (typed > 60) return 60;
    return typed;
}

UInt8 SlidePlayStateWithInteractive(UInt8 stored, bool interactive) {
    const bool running = (stored & kSlideRunning) != 0;
    return UInt8((interactive ? 2 : 0) | (running ? 1 : 0));
}
