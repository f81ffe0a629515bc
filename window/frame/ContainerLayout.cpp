#include "window/frame/ContainerLayout.h"

#include <algorithm>
#include <climits>

ContainerRects LayoutGridContainer(int clientWidth, int clientHeight, int panelWidth, int tabHeight, int headerHeight,
                                   int scrollBarWidth) {
    ContainerRects r;
    r.inner = {7, 4, clientWidth - 7, clientHeight - 8};
    if (panelWidth > 0) r.panel = {r.inner.left - 1, r.inner.top - 1, r.inner.left - 1 + panelWidth, r.inner.bottom + 1};
    const int left = panelWidth > 0 && r.panel.right + 1 >= r.inner.left ? r.panel.right + 1 : r.inner.left;
    r.tabs = {left, r.inner.top, r.inner.right, r.inner.top + tabHeight};
    r.header = {left, r.tabs.bottom, r.inner.right, r.tabs.bottom + headerHeight};
    // The grid overlaps the header bar by two pixels.
    r.grid = {left, r.header.bottom - 2, r.inner.right - scrollBarWidth, r.inner.bottom};
    r.scrollBar = {r.grid.right, r.grid.top, r.inner.right, r.inner.bottom};
    return r;
}

int SidePanelClampWidth(int width, int parentWidth) {
    const int most = parentWidth * 66 / 100;
    return std::min(std::max(width, kSidePanelMinimum), most);
}

std::int32_t ScrollScaleFor(std::int32_t position, std::int32_t range, std::int32_t page) {
    const std::int64_t max = std::int64_t(range) + page - 1;
    if (max <= 10000) return 1;
    if (max <= 100000) return 10;
    if (max <= 1000000) return 100;
    return 1000;
}

std::int32_t ScrollRowDelta(ScrollAction action, int rowHeight, int visibleHeight, std::int32_t newPosition,
                            std::int32_t barPosition, std::int32_t scale) {
    switch (action) {
    case ScrollAction::kLineUp: return -1;
    case ScrollAction::kLineDown: return 1;
    case ScrollAction::kPageUp: return rowHeight > 0 ? -(visibleHeight / rowHeight) : 0;
    case ScrollAction::kPageDown: return rowHeight > 0 ? visibleHeight / rowHeight : 0;
    case ScrollAction::kThumbPosition:
    case ScrollAction::kThumbTrack: return std::int32_t((std::int64_t(newPosition) - barPosition) * scale);
    case ScrollAction::kTop: return INT32_MIN;
    case ScrollAction::kBottom: return INT32_MAX;
    }
    return 0;
}
