// The alert box's geometry, the one dialog whose layout is given in pixels: the button row
// centred along the bottom (button 1, then 3, then 2, left to right) and the text statics
// grown to the lines their text needs. Pure arithmetic, checked without a display.
#pragma once

#include <array>

struct AlertButtonRow {
    std::array<bool, 3> shown{};  // button 1, 2, 3
    std::array<int, 3> left{};
    std::array<int, 3> width{};
    int top = 0;
    int height = 0;
};

// scale: pixels of 1,000 vertical dialog units / 1,625. textWidths: each label's width in the
// dialog font; hasText: whether buttons 2 and 3 have a label (button 1 always counts).
AlertButtonRow LayoutAlertButtons(int clientWidth, int clientBottom, double scale,
                                  const std::array<int, 3>& textWidths, const std::array<bool, 3>& hasText);

// How many pixels a static of width x height must grow to show a text whose one-line extent is
// textWidth x lineHeight (0 when it fits).
int AlertStaticGrowth(int textWidth, int lineHeight, int width, int height);
