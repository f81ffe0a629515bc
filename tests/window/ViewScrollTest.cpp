// Scrolling by rows and pages, revealing cells, and what gets drawn into the backing port.
#include "ViewTestSupport.h"

#include <climits>

namespace {
// The colour the logging drawer paints an item's cell in, as the port holds it.
std::uint32_t PixelAt(ViewPort* port, int v, int h) {
    PixelView px = GetGWorldPixels(port->world);
    return reinterpret_cast<const std::uint32_t*>(px.base + v * px.rowBytes)[h] & 0x00FFFFFFu;
}
}  // namespace

TEST_F(ViewTest, OneRowScrollMovesThePixelsAndDrawsOnlyTheUncoveredRow) {
    AddItems(30);
    MakeView(kViewThumbnail, 400, 399);   // 3 whole rows of 3
    ViewRedraw(view, nullptr);
    EXPECT_EQ(DrawLog().size(), 9u);
    const std::uint32_t item4 = PixelAt(port, 140, 10);
    Rect damage;
    ViewPortTakeDamage(port, &damage);
    DrawLog().clear();

    ViewScrollTo(view, 0, 1);
    EXPECT_EQ(view->visibleCells[0], 1);
    EXPECT_EQ(DrawnItems(), (std::vector<SInt32>{10, 11, 12}));
    EXPECT_EQ(port->scrolls, 1u);
    // Item 4 moved up a row without being drawn again.
    EXPECT_EQ(PixelAt(port, 7, 10), item4);
    ASSERT_TRUE(ViewPortTakeDamage(port, &damage));
    EXPECT_EQ(damage, (Rect{0, 0, 399, 400}));

    DrawLog().clear();
    ViewScrollTo(view, 0, -1);
    EXPECT_EQ(DrawnItems(), (std::vector<SInt32>{1, 2, 3}));

    // A page scroll draws everything again.
    DrawLog().clear();
    ViewScrollTo(view, 0, 3);
    EXPECT_EQ(DrawLog().size(), 9u);
}

TEST_F(ViewTest, ScrollPastTheEndStopsAtTheLastPageAndAScrollThatChangesNothingDrawsNothing) {
    AddItems(30);
    MakeView(kViewThumbnail, 400, 300);
    ViewScrollTo(view, 0, 1000);
    EXPECT_EQ(view->visibleCells[0], 8);
    EXPECT_EQ(view->visibleCells[2], 10);
    DrawLog().clear();
    ViewScrollTo(view, 0, 1);
    EXPECT_TRUE(DrawLog().empty());
    ViewScrollTo(view, 0, 0);
    EXPECT_TRUE(DrawLog().empty());
}

TEST_F(ViewTest, ExtremeDeltasReachTheEndsWithoutOverflowing) {
    AddItems(30);
    MakeView(kViewThumbnail, 400, 300);
    ViewScrollTo(view, 0, 3);
    ViewScrollTo(view, 0, INT_MAX);
    EXPECT_EQ(view->visibleCells[0], 8);
    ViewScrollTo(view, INT_MAX, INT_MAX);
    EXPECT_EQ(view->visibleCells[0], 8);
    EXPECT_EQ(view->visibleCells[1], 0);
    ViewScrollTo(view, INT_MIN, INT_MIN);
    EXPECT_EQ(view->visibleCells[0], 0);
    EXPECT_EQ(view->visibleCells[2], 3);
}

TEST_F(ViewTest, RevealScrollsByWholeRowsAndNoFurther) {
    AddItems(30);
    MakeView(kViewThumbnail, 400, 399);   // exactly three rows
    struct Case { SInt32 firstRow; SInt32 item; SInt32 wantFirst; };
    for (Case c : {Case{0, 5, 0}, Case{0, 10, 1}, Case{0, 16, 3}, Case{5, 4, 1}, Case{5, 16, 5}, Case{2, 30, 7}}) {
        ViewScrollTo(view, 0, INT_MIN);
        ViewScrollTo(view, 0, c.firstRow);
        ASSERT_EQ(view->visibleCells[0], c.firstRow);
        ViewRevealCell(view, ViewItemToCell(view, c.item));
        EXPECT_EQ(view->visibleCells[0], c.wantFirst) << "item " << c.item << " from row " << c.firstRow;
    }
    // With a partly visible last row, revealing it brings it in whole.
    Rect r{0, 0, 300, 400};
    ViewSetRect(view, &r);
    ViewScrollTo(view, 0, INT_MIN);
    ViewRevealCell(view, ViewItemToCell(view, 7));   // row 2, partly visible
    EXPECT_EQ(view->visibleCells[0], 1);
}

TEST_F(ViewTest, EmptyCatalogDrawsOnlyTheEmptyViewHint) {
    MakeView(kViewThumbnail, 400, 300);
    ViewRedraw(view, nullptr);
    EXPECT_EQ(DrawnItems(), std::vector<SInt32>{-1});
}

TEST_F(ViewTest, RedrawOfOneItemDrawsItsCellOnlyWhenVisibleAndNotDeferred) {
    AddItems(30);
    MakeView(kViewThumbnail, 400, 300);
    ViewPortTakeDamage(port, nullptr);
    ViewRedrawItem(view, 2);
    ViewRedrawItem(view, 20);
    view->deferDraw = 1;
    ViewRedrawItem(view, 3);
    view->deferDraw = 0;
    EXPECT_EQ(DrawnItems(), std::vector<SInt32>{2});
    Rect damage;
    ASSERT_TRUE(ViewPortTakeDamage(port, &damage));
    EXPECT_EQ(damage, (Rect{0, 133, 133, 266}));
}

TEST_F(ViewTest, MediaViewRowScrollShowsSelectsAndMakesTheNextItemCurrent) {
    AddItems(4);
    MakeView(kViewMedia, 400, 300);
    ViewSelectItem(view, 1, kSelectAlone, false);
    Deliver();
    window.got.clear();
    ViewScrollTo(view, 0, 1);
    EXPECT_EQ(view->currentItem, 2);
    EXPECT_EQ(Selected(), std::vector<SInt32>{2});
    Deliver();
    EXPECT_EQ(SelectionMessages(), (std::vector<UINT>{kCatalogMsgSelectionChanging, kCatalogMsgSelectionChanged}));
}

TEST_F(ViewTest, BuiltInDrawersPaintTheSelectionColours) {
    AddItems(3);
    MakeView(kViewList, 400, 300, false);
    ViewSelectItem(view, 1, kSelectAlone, false);
    ViewSelectItem(view, 2, kSelectAdd, false);
    ViewRedraw(view, nullptr);
    const RGBColor bg = CatalogGetSlotRec24(catalog, kViewList)->colors[0];
    auto word = [](RGBColor c) { return (std::uint32_t(c.red >> 8) << 16) | (std::uint32_t(c.green >> 8) << 8) | (c.blue >> 8); };
    const SInt32 rowHeight = view->cellSize.v;
    EXPECT_EQ(PixelAt(port, rowHeight / 2, 300), word(ViewSelectionColor(bg, true)));
    EXPECT_EQ(PixelAt(port, rowHeight + rowHeight / 2, 300), word(ViewSelectionColor(bg, false)));
    EXPECT_EQ(PixelAt(port, 2 * rowHeight + rowHeight / 2, 300), word(bg));
    // On white the current item is (3, 3, 37) and the others (48, 48, 82) in the high bytes.
    EXPECT_EQ(word(ViewSelectionColor(RGBColor{0xFFFF, 0xFFFF, 0xFFFF}, true)), 0x030325u);
    EXPECT_EQ(word(ViewSelectionColor(RGBColor{0xFFFF, 0xFFFF, 0xFFFF}, false)), 0x303052u);
}
