// The geometry of the catalog window's content, apart from the windows: where the side panel,
// view tabs, header bar, grid and scroll bar go; how wide the side panel may be; the scroll
// bar's scale; and how far a scroll-bar action moves the view.
#pragma once

#include <cstdint>

struct LayoutRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const LayoutRect&) const = default;
};

struct ContainerRects {
    LayoutRect inner, panel, tabs, header, grid, scrollBar;
};

// client: the container's client size; panelWidth 0 when the side panel shows no pane.
ContainerRects LayoutGridContainer(int clientWidth, int clientHeight, int panelWidth, int tabHeight, int headerHeight,
                                   int scrollBarWidth);

inline constexpr int kSidePanelMinimum = 250;
inline constexpr int kSidePanelHideBelow = 166;   // a drag that ends left of this hides the panel
inline constexpr int kSidePanelSplitter = 6;      // the strip at the panel's right edge
// The width a shown side panel gets: at least 250, at most 66% of its parent; the 66% wins.
int SidePanelClampWidth(int width, int parentWidth);

// The scale of the scroll bar for a range: 1 up to 10,000, then 10, 100 and 1000.
std::int32_t ScrollScaleFor(std::int32_t position, std::int32_t range, std::int32_t page);

enum class ScrollAction { kLineUp, kLineDown, kPageUp, kPageDown, kThumbPosition, kThumbTrack, kTop, kBottom };
// The rows a scroll-bar action moves the view by (INT32_MIN/INT32_MAX for top and bottom);
// page moves need a row height above 0 and move nothing otherwise.
std::int32_t ScrollRowDelta(ScrollAction action, int rowHeight, int visibleHeight, std::int32_t newPosition,
                            std::int32_t barPosition, std::int32_t scale);
