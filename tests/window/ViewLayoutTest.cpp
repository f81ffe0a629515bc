// Cell geometry: cell sizes, the grid, the visible range with a partly visible row, the cell
// rectangles, the hit test and the parts inside a cell, as golden rectangles.
#include "ViewTestSupport.h"

namespace {
ViewFieldList Fields(std::initializer_list<std::pair<UInt32, UInt16>> entries) {
    ViewFieldList f{};
    int i = 0;
    for (auto [id, value] : entries) f.fields[i++] = ViewFieldEntry{id, value, 0, 0};
    return f;
}
}  // namespace

TEST_F(ViewTest, ThumbnailGridOf133PixelCellsIn400PixelsHasThreeColumns) {
    AddItems(7);
    MakeView(kViewThumbnail, 400, 300);
    EXPECT_EQ(view->cellSize.h, 133);
    EXPECT_EQ(view->cellSize.v, 133);
    EXPECT_EQ(view->columnCount, 3);
    EXPECT_EQ(view->rowCount, 3);
    // Two rows and a part of the third are on screen; all three fit when scrolled.
    SInt32 grid[4];
    ViewGetVisibleGrid(view, grid);
    EXPECT_EQ(std::vector<SInt32>(grid, grid + 4), (std::vector<SInt32>{0, 0, 3, 3}));
}

TEST_F(ViewTest, CellSizeByModeAspectAndFrame) {
    ViewModeSettings* s = CatalogGetSlotRec16(catalog, kViewThumbnail);
    ViewFieldList* f = CatalogGetSlotRec(catalog, kViewThumbnail);
    AddItems(1);
    MakeView(kViewThumbnail, 400, 300);
    struct Case { UInt8 aspect, frame; UInt16 captionLines; SInt16 width, heightWithoutCaption; };
    for (Case c : {Case{0, 0, 0, 133, 133}, Case{1, 0, 0, 133, 101}, Case{2, 0, 0, 101, 133}, Case{0, 3, 0, 149, 149},
                   Case{1, 1, 0, 149, 117}, Case{0, 0, 2, 133, 135}}) {
        s->aspect = c.aspect;
        s->frameStyle = c.frame;
        *f = c.captionLines ? Fields({{2, c.captionLines}}) : ViewFieldList{};
        Point size;
        ViewCellSizeForMode(view, kViewThumbnail, 400, 300, &size);
        // A one-entry caption of n lines adds n line heights and 5 - 1 pixels of spacing.
        const SInt16 caption = c.captionLines ? SInt16(c.captionLines * view->lineHeight + 4) : 0;
        EXPECT_EQ(size.h, c.width) << int(c.aspect) << "/" << int(c.frame);
        EXPECT_EQ(size.v, c.heightWithoutCaption + caption) << int(c.aspect) << "/" << int(c.frame);
    }
    Point size_;
    ViewCellSizeForMode(view, kViewMedia, 400, 300, &size_);
    EXPECT_EQ(size_.h, 400);
    EXPECT_EQ(size_.v, 300);
    ViewCellSizeForMode(view, kViewThumbnail, 0, 300, &size_);
    EXPECT_EQ(size_.h, 0);
    EXPECT_EQ(size_.v, 0);
}

TEST_F(ViewTest, ListRowHeightComesFromTheFontOrTheIconSize) {
    AddItems(3);
    MakeView(kViewList, 400, 300);
    ASSERT_GT(view->lineHeight, 8);
    ViewModeSettings* s = CatalogGetSlotRec16(catalog, kViewList);
    for (UInt8 level : {1, 2}) {
        s->sizeStep = level;
        Point size;
        ViewCellSizeForMode(view, kViewList, 400, 300, &size);
        EXPECT_EQ(size.h, 400);
        EXPECT_EQ(size.v, std::max(view->lineHeight + 4, level * 16 + 2) + 1);
    }
    // A larger font makes taller rows and a wider label column.
    const SInt16 small = view->lineHeight, smallLabels = view->labelWidth;
    CatalogGetFontRec(catalog, kViewList)->size = 24;
    Point size;
    ViewCellSizeForMode(view, kViewList, 400, 300, &size);
    EXPECT_GT(view->lineHeight, small);
    EXPECT_GT(view->labelWidth, smallLabels);
    EXPECT_EQ(size.v, view->lineHeight + 4 + 1);
}

TEST_F(ViewTest, EmptyViewRectangleGivesNoCellsAndNoGrid) {
    AddItems(5);
    MakeView(kViewThumbnail, 400, 300);
    Rect flat{0, 0, 0, 400};
    ViewSetRect(view, &flat);
    EXPECT_EQ(view->cellSize.h, 0);
    EXPECT_EQ(view->rowCount, 0);
    EXPECT_EQ(view->columnCount, 0);
    SInt32 grid[4];
    ViewGetVisibleGrid(view, grid);
    EXPECT_EQ(grid[2] - grid[0], 0);
    // An inverted or empty-width rectangle is ignored.
    Rect inverted{10, 50, 5, 40};
    ViewSetRect(view, &inverted);
    EXPECT_EQ(view->viewRect.bottom, 0);
}

TEST_F(ViewTest, ItemsAndCellsConvertBothWays) {
    AddItems(7);
    MakeView(kViewThumbnail, 400, 300);
    struct Case { SInt32 item; ViewCell cell; };
    for (Case c : {Case{1, {0, 0}}, Case{3, {0, 2}}, Case{4, {1, 0}}, Case{7, {2, 0}}, Case{0, {0, 0}}}) {
        EXPECT_EQ(ViewItemToCell(view, c.item), c.cell) << c.item;
        if (c.item > 0) { EXPECT_EQ(ViewCellToIndex(view, c.cell), c.item); }
    }
    view->columnCount = 0;
    EXPECT_EQ(ViewItemToCell(view, 5), (ViewCell{0, 4}));
}

TEST_F(ViewTest, VisibleRangeKeepsAPartlyVisibleRowAndStopsAtTheLastPage) {
    AddItems(30);   // 10 rows of 3
    MakeView(kViewThumbnail, 400, 300);   // 2 whole rows and a part
    static std::vector<std::vector<SInt32>> log;
    log.clear();
    ViewSetScrollProc(view, [](UInt32, SInt32 first, SInt32 last, SInt32 page) { log.push_back({first, last, page}); }, 0);
    view->visibleCells[0] = 100;
    ViewUpdateVisibleRange(view);
    // At the end the last row shows whole: 10 rows, 3 on screen with the partial one.
    EXPECT_EQ(view->visibleCells[0], 8);
    EXPECT_EQ(view->visibleCells[2], 10);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], (std::vector<SInt32>{8, 8, 2}));

    // Growing the view until every row fits brings the first row back to 0.
    Rect tall{0, 0, 1330, 400};
    ViewSetRect(view, &tall);
    EXPECT_EQ(view->visibleCells[0], 0);
    EXPECT_EQ(view->visibleCells[2], 10);
}

TEST_F(ViewTest, RelayoutAfterResizeKeepsTheTopLeftItem) {
    AddItems(40);
    MakeView(kViewThumbnail, 400, 300);
    ViewScrollTo(view, 0, 4);   // rows of 3: item 13 at the top left
    ASSERT_EQ(ViewCellToIndex(view, ViewCell{view->visibleCells[0], view->visibleCells[1]}), 13);
    Rect wider{0, 0, 300, 540};   // 4 columns
    ViewSetRect(view, &wider);
    EXPECT_EQ(view->columnCount, 4);
    EXPECT_EQ(view->visibleCells[0], 3);   // item 13 is in row 3 of 4 columns
    EXPECT_EQ(view->firstVisibleItem, 13);
}

TEST_F(ViewTest, CellRectanglesAreOffsetByTheViewAndEmptyOutsideTheGrid) {
    AddItems(30);
    MakeView(kViewThumbnail, 400, 300);
    Rect r{10, 20, 310, 420};
    ViewSetRect(view, &r);
    ViewScrollTo(view, 0, 2);
    Rect cell;
    ViewCellRect(view, ViewCell{3, 1}, &cell);
    EXPECT_EQ(cell, (Rect{10 + 133, 20 + 133, 10 + 266, 20 + 266}));
    ViewCellRect(view, ViewCell{10, 0}, &cell);
    EXPECT_EQ(cell, (Rect{0, 0, 0, 0}));
    ViewCellRect(view, ViewCell{0, 3}, &cell);
    EXPECT_EQ(cell, (Rect{0, 0, 0, 0}));
}

TEST_F(ViewTest, HitTestTreatsCellsAsHalfOpen) {
    AddItems(7);
    MakeView(kViewThumbnail, 400, 300);
    ViewSelectItem(view, 2, kSelectAlone, false);
    struct Case { SInt16 v, h; bool hit; SInt32 item; bool selected; };
    for (Case c : {Case{0, 0, true, 1, false}, Case{10, 132, true, 1, false}, Case{10, 133, true, 2, true},
                   Case{132, 398, true, 3, false}, Case{10, 399, false, 0, false}, Case{133, 10, true, 4, false},
                   Case{290, 10, true, 7, false}, Case{290, 140, false, 0, false}, Case{-1, 10, false, 0, false}}) {
        ViewCell cell{-1, -1};
        bool selected = false;
        EXPECT_EQ(ViewHitTest(view, Point{c.v, c.h}, &cell, &selected), c.hit) << c.v << "," << c.h;
        if (c.hit) {
            EXPECT_EQ(ViewCellToIndex(view, cell), c.item) << c.v << "," << c.h;
            EXPECT_EQ(selected, c.selected) << c.v << "," << c.h;
        }
    }
}

TEST_F(ViewTest, SelectedCellSearch) {
    AddItems(9);
    MakeView(kViewThumbnail, 400, 300);
    ViewSelectItem(view, 5, kSelectAlone, false);
    ViewSelectItem(view, 8, kSelectAdd, false);
    ViewCell cell;
    ASSERT_TRUE(ViewFirstSelectedCell(view, &cell));
    EXPECT_EQ(ViewCellToIndex(view, cell), 5);
    cell = ViewCell{1, 2};   // item 6
    EXPECT_FALSE(ViewFindSelectedFrom(view, &cell, false));
    ASSERT_TRUE(ViewFindSelectedFrom(view, &cell, true));
    EXPECT_EQ(ViewCellToIndex(view, cell), 8);
    cell = ViewCell{2, 2};   // item 9, nothing after it
    EXPECT_FALSE(ViewFindSelectedFrom(view, &cell, true));
    cell = ViewCell{3, 0};   // past the items
    EXPECT_FALSE(ViewFindSelectedFrom(view, &cell, true));
}

TEST_F(ViewTest, CaptionHeightOfFieldLists) {
    struct Case { ViewFieldList fields; SInt32 height, lines; };
    for (const Case& c : {Case{ViewFieldList{}, 0, 0}, Case{Fields({{2, 1}}), 12 + 5 - 1, 1},
                          Case{Fields({{2, 2}, {5, 1}}), 36 + 10 - 1, 3}}) {
        SInt32 lines = -1;
        EXPECT_EQ(ThumbCaptionHeight(&c.fields, 12, &lines), c.height);
        EXPECT_EQ(lines, c.lines);
    }
}

struct PartsCase {
    const char* name;
    UInt8 mode, level, frame, labels, halfLabels;
    ViewFieldList fields;
    Rect cell;
    Rect frameRect, picture;
    std::vector<Rect> values, labelRects;
};

TEST_F(ViewTest, CellPartsGoldenRectangles) {
    AddItems(1);
    MakeView(kViewThumbnail, 400, 300);
    view->lineHeight = 12;
    view->labelWidth = 60;
    view->colonWidth = 4;
    const std::vector<PartsCase> cases = {
        {"list small icons, two columns", kViewList, 1, 0, 0, 0, Fields({{2, 100}, {5, 150}}), {0, 0, 21, 400},
         {2, 2, 18, 18}, {2, 2, 18, 18}, {{2, 20, 18, 120}, {2, 120, 18, 400}}, {}},
        {"list column passing the right edge ends there", kViewList, 1, 0, 0, 0, Fields({{2, 100}, {5, 400}, {6, 50}}),
         {21, 0, 42, 400}, {23, 2, 39, 18}, {23, 2, 39, 18}, {{23, 20, 39, 120}, {23, 120, 39, 400}}, {}},
        {"list large icons", kViewList, 2, 0, 0, 0, Fields({{2, 100}}), {0, 0, 35, 400}, {1, 2, 33, 34}, {1, 2, 33, 34},
         {{9, 36, 25, 400}}, {}},
        {"thumbnail without caption", kViewThumbnail, 4, 0, 0, 0, ViewFieldList{}, {0, 0, 133, 133}, {3, 3, 131, 131},
         {3, 3, 131, 131}, {}, {}},
        {"thumbnail with frame", kViewThumbnail, 4, 3, 0, 0, ViewFieldList{}, {0, 0, 149, 149}, {3, 3, 147, 147},
         {11, 11, 139, 139}, {}, {}},
        {"thumbnail caption with labels capped at two fifths", kViewThumbnail, 4, 0, 1, 0, Fields({{2, 2}}),
         {0, 0, 163, 133}, {3, 3, 131, 131}, {3, 3, 131, 131}, {{133, 55, 161, 131}}, {{133, 3, 161, 54}}},
        {"thumbnail caption with half-width labels", kViewThumbnail, 4, 0, 1, 1, Fields({{2, 2}}), {0, 0, 163, 133},
         {3, 3, 131, 131}, {3, 3, 131, 131}, {{133, 68, 161, 131}}, {{133, 3, 161, 67}}},
        {"thumbnail two caption lines", kViewThumbnail, 4, 0, 0, 0, Fields({{2, 1}, {5, 1}}), {0, 0, 168, 133},
         {3, 3, 131, 131}, {3, 3, 131, 131}, {{133, 3, 149, 131}, {150, 3, 166, 131}}, {}},
        {"media with one caption line", kViewMedia, 2, 0, 0, 0, Fields({{2, 1}}), {0, 0, 300, 400}, {0, 0, 284, 400},
         {0, 0, 284, 400}, {{284, 0, 300, 400}}, {}},
    };
    for (const PartsCase& c : cases) {
        ViewModeSettings s{};
        s.sizeStep = c.level;
        s.frameStyle = c.frame;
        s.labelsShown = c.labels;
        s.alignedCaptions = c.halfLabels;
        ViewCellPartRects parts;
        ViewCellParts(view, c.mode, &s, &c.fields, &c.cell, &parts);
        EXPECT_EQ(parts.frame, c.frameRect) << c.name;
        EXPECT_EQ(parts.picture, c.picture) << c.name;
        for (int k = 0; k < 10; ++k) {
            Rect want = k < int(c.values.size()) ? c.values[k] : Rect{0, 0, 0, 0};
            EXPECT_EQ(parts.values[k], want) << c.name << " value " << k;
            Rect wantLabel = k < int(c.labelRects.size()) ? c.labelRects[k] : Rect{0, 0, 0, 0};
            EXPECT_EQ(parts.labels[k], wantLabel) << c.name << " label " << k;
        }
    }
}
