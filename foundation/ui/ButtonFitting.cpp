#include "foundation/ui/ButtonFitting.h"

#include <algorithm>

int FittedButtonWidth(const DialogUnits& units, int textWidth) {
    return std::max(int(70 * units.x), int(20 * units.x + textWidth));
}

std::array<ButtonBox, 3> FitButtonRow(const DialogUnits& units, int clientWidth, int clientHeight,
                                      int margin, const std::array<ButtonSlot, 3>& buttons) {
    std::array<ButtonBox, 3> out{};
    const int bottom = clientHeight - int(margin * units.y);
    const int top = bottom - int(22 * units.y);
    int right = clientWidth - int(margin * units.x);
    for (int i = 2; i >= 1; --i) {
        if (!buttons[i].present) continue;
        const int width = FittedButtonWidth(units, buttons[i].textWidth);
        out[i] = ButtonBox{true, right - width, top, width, bottom - top};
        right = right - width - int(margin * units.x);
    }
    if (buttons[0].present) {
        const int left = int(margin * units.x);
        const int fitted = FittedButtonWidth(units, buttons[0].textWidth);
        const int width = (right - left > fitted) ? fitted : right - left;
        out[0] = ButtonBox{true, left, top, width, bottom - top};
    }
    return out;
}

void FitControlSize(const DialogUnits& units, int textWidth, int extra, int* width, int* height) {
    *width = std::max(int(70 * units.x), int(20 * units.x + textWidth + extra));
    *height = int(22 * units.y);
}
