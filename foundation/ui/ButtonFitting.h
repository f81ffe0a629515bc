// The arithmetic of the push-button row along the bottom of a dialog, kept apart from any
// window so it can be checked without a display: buttons sized to their texts and laid out
// from the right edge, the first button at the left edge.
#pragma once

#include <array>

struct DialogUnits {
    double x = 1.0;  // pixels of 1,000 horizontal dialog units / 1,500
    double y = 1.0;  // pixels of 1,000 vertical dialog units / 1,625
};

struct ButtonSlot {
    bool present = false;
    int textWidth = 0;  // of the button's text in the dialog font, pixels
};

struct ButtonBox {
    bool placed = false;
    int left = 0, top = 0, width = 0, height = 0;
};

// The fitted width of a button whose text is textWidth pixels wide: max(70 X, 20 X + text).
int FittedButtonWidth(const DialogUnits& units, int textWidth);

// Places up to three buttons in a client area of clientWidth x clientHeight: the third, then
// the second from the right margin leftward, each a margin apart; the first at the left
// margin, as wide as fitted when that fits left of the others, else filling up to them.
std::array<ButtonBox, 3> FitButtonRow(const DialogUnits& units, int clientWidth, int clientHeight,
                                      int margin, const std::array<ButtonSlot, 3>& buttons);

// The size of a control fitted to its text: width max(70 X, 20 X + text + extra), height 22 Y.
void FitControlSize(const DialogUnits& units, int textWidth, int extra, int* width, int* height);
