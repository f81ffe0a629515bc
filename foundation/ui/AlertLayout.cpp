#include "foundation/ui/AlertLayout.h"

#include <algorithm>

AlertButtonRow LayoutAlertButtons(int clientWidth, int clientBottom, double scale,
                                  const std::array<int, 3>& textWidths, const std::array<bool, 3>& hasText) {
    AlertButtonRow row;
    row.top = int((clientBottom - 10) - 24 * scale);
    row.height = (clientBottom - 10) - row.top;
    row.shown = {true, hasText[1], hasText[2]};
    for (int i = 0; i < 3; ++i) row.width[size_t(i)] = row.shown[size_t(i)] ? std::max(80, textWidths[size_t(i)] + 12) : 0;

    int free = clientWidth - (row.shown[2] ? 10 : 0) - (row.shown[1] ? 10 : 0) - row.width[0] - row.width[1] -
               row.width[2];
    int left = free >> 1;
    if (left < 0) {
        left = 10;
        for (int i = 0; i < 3; ++i) row.width[size_t(i)] = (clientWidth - 40) / 3;
    }
    // Left to right: button 1, button 3, button 2.
    row.left[0] = left;
    int x = left + row.width[0];
    if (row.shown[2]) {
        row.left[2] = x + 10;
        x = row.left[2] + row.width[2];
    }
    if (row.shown[1]) row.left[1] = x + 10;
    return row;
}

int AlertStaticGrowth(int textWidth, int lineHeight, int width, int height) {
    int lines = 0;
    if (width > 0) {
        for (int rest = textWidth; rest > width; rest -= width) ++lines;
    }
    const int needed = (lineHeight + 4) * lines + 4;
    return needed > height ? needed - height : 0;
}
