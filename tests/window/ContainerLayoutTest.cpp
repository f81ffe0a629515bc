// The geometry of the catalog window's content: the child rectangles, the side panel's width
// limits, the scroll bar's scale and the rows a scroll action moves.
#include "window/frame/ContainerLayout.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

TEST(ContainerLayout, WithTheSidePanelHiddenEverythingStartsAtTheInnerLeftEdge) {
    const ContainerRects r = LayoutGridContainer(800, 600, 0, 24, 23, 15);
    EXPECT_EQ((LayoutRect{7, 4, 793, 592}), r.inner);
    EXPECT_EQ((LayoutRect{0, 0, 0, 0}), r.panel);
    EXPECT_EQ((LayoutRect{7, 4, 793, 28}), r.tabs);
    EXPECT_EQ((LayoutRect{7, 28, 793, 51}), r.header);
    EXPECT_EQ((LayoutRect{7, 49, 778, 592}), r.grid) << "two pixels under the header bar";
    EXPECT_EQ((LayoutRect{778, 49, 793, 592}), r.scrollBar);
}

TEST(ContainerLayout, AShownSidePanelPushesTheContentRight) {
    const ContainerRects r = LayoutGridContainer(800, 600, 250, 24, 23, 15);
    EXPECT_EQ((LayoutRect{6, 3, 256, 593}), r.panel);
    EXPECT_EQ(257, r.tabs.left);
    EXPECT_EQ(257, r.grid.left);
}

TEST(ContainerLayout, TheSidePanelWidthLimits) {
    struct Case { int width, parent, expected; };
    const Case cases[] = {{100, 1000, 250}, {300, 1000, 300}, {900, 1000, 660}, {300, 378, 249}, {250, 378, 249}};
    for (const Case& c : cases) EXPECT_EQ(c.expected, SidePanelClampWidth(c.width, c.parent)) << c.width << " " << c.parent;
}

TEST(ContainerLayout, TheScrollScaleGrowsByTensAtItsBoundaries) {
    EXPECT_EQ(1, ScrollScaleFor(0, 9001, 1000));    // max 10,000
    EXPECT_EQ(10, ScrollScaleFor(0, 9002, 1000));   // max 10,001
    EXPECT_EQ(10, ScrollScaleFor(0, 99001, 1000));
    EXPECT_EQ(100, ScrollScaleFor(0, 99002, 1000));
    EXPECT_EQ(1000, ScrollScaleFor(0, 2000000, 1000));
}

TEST(ContainerLayout, RowsMovedByEachScrollAction) {
    EXPECT_EQ(-1, ScrollRowDelta(ScrollAction::kLineUp, 20, 400, 0, 0, 1));
    EXPECT_EQ(1, ScrollRowDelta(ScrollAction::kLineDown, 20, 400, 0, 0, 1));
    EXPECT_EQ(-20, ScrollRowDelta(ScrollAction::kPageUp, 20, 400, 0, 0, 1));
    EXPECT_EQ(20, ScrollRowDelta(ScrollAction::kPageDown, 20, 400, 0, 0, 1));
    EXPECT_EQ(0, ScrollRowDelta(ScrollAction::kPageDown, 0, 400, 0, 0, 1)) << "no rows laid out yet";
    EXPECT_EQ(50, ScrollRowDelta(ScrollAction::kThumbTrack, 20, 400, 15, 10, 10));
    EXPECT_EQ(INT32_MIN, ScrollRowDelta(ScrollAction::kTop, 20, 400, 0, 0, 1));
    EXPECT_EQ(INT32_MAX, ScrollRowDelta(ScrollAction::kBottom, 20, 400, 0, 0, 1));
}

}  // namespace

#include "window/frame/StatusBusy.h"

namespace {

TEST(StatusBusy, ExtraDoneCallsCannotHideTheNextTask) {
    StatusBusy busy;
    EXPECT_FALSE(busy.Set(false));
    EXPECT_FALSE(busy.Set(false));
    EXPECT_TRUE(busy.Set(true));
    EXPECT_EQ(1, busy.Count());
    EXPECT_TRUE(busy.Set(true));
    EXPECT_TRUE(busy.Set(false));
    EXPECT_FALSE(busy.Set(false));
}

TEST(StatusBusy, TheIconCyclesThroughEightFrames) {
    StatusBusy busy;
    busy.Set(true);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(i % 8, busy.Step());
    busy.Step();
    busy.Set(false);
    EXPECT_EQ(0, busy.Frame());
}

}  // namespace
