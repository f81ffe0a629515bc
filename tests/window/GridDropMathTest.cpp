// Where a drop over the grid inserts, the marker's place, which dropped files are taken, the
// one-message-per-change tracker and the edge bands that scroll during a drag.
#include "window/grid/GridDropMath.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

DropGeometry ListOf(SInt32 items) {
    DropGeometry g;
    g.viewRect = Rect{0, 0, 200, 300};
    g.cellSize = Point{20, 300};
    g.columns = 1;
    g.itemCount = items;
    return g;
}

DropGeometry ThumbnailsOf(SInt32 items) {
    DropGeometry g;
    g.viewRect = Rect{0, 0, 300, 400};
    g.cellSize = Point{100, 100};
    g.columns = 4;
    g.itemCount = items;
    return g;
}

TEST(GridDropMath, TheInsertionNumberChangesHalfWayThroughACell) {
    const DropGeometry list = ListOf(10);
    struct Case {
        DropGeometry g;
        SInt16 x, y;
        SInt32 index;
    };
    const DropGeometry thumbs = ThumbnailsOf(10);
    DropGeometry scrolled = ListOf(10);
    scrolled.firstRow = 5;
    const Case cases[] = {
        {list, 10, 45, 3},    // upper half of item 3: before it
        {list, 10, 55, 4},    // lower half of item 3: between 3 and 4
        {list, 10, 5, 1},
        {list, 10, 195, 11},  // past the last item: clamped to count + 1
        {scrolled, 10, 15, 7}, // the first visible row is item 6
        {thumbs, 40, 50, 1},   // left half of the first thumbnail
        {thumbs, 160, 50, 3},  // right half of the second
        {thumbs, 390, 50, 5},  // right half of the row's last: before the next row's first
        {thumbs, 260, 250, 11}, // an empty cell of the last row: after the last item
    };
    for (const Case& c : cases) EXPECT_EQ(c.index, DropIndexAt(c.g, Point{c.y, c.x})) << c.x << "," << c.y;
    EXPECT_EQ(-1, DropIndexAt(list, Point{-1, 10})) << "above the view";
    EXPECT_EQ(-1, DropIndexAt(list, Point{10, 300})) << "right of the view";
    DropGeometry empty = ListOf(0);
    EXPECT_EQ(1, DropIndexAt(empty, Point{100, 100})) << "an empty catalog takes the drop as its first";
    DropGeometry unlaid = ListOf(5);
    unlaid.cellSize = Point{0, 0};
    EXPECT_EQ(-1, DropIndexAt(unlaid, Point{5, 5})) << "no cells laid out yet: no division by zero";
}

TEST(GridDropMath, TheMarkerCoversTheCellOfTheInsertionNumberOnScreen) {
    DropGeometry thumbs = ThumbnailsOf(10);
    const Rect r = DropMarkerRect(thumbs, 6);
    EXPECT_EQ(100, r.top);
    EXPECT_EQ(100, r.left);
    EXPECT_EQ(200, r.bottom);
    EXPECT_EQ(200, r.right);
    thumbs.firstRow = 1;
    EXPECT_EQ(0, DropMarkerRect(thumbs, 6).top) << "relative to the first visible row";
    const Rect none = DropMarkerRect(thumbs, -1);
    EXPECT_EQ(0, none.right - none.left);
}

TEST(GridDropMath, DroppedFilesAreTakenInBulkOrWhenOneIsAFolderOrAKnownKind) {
    int looked = 0;
    auto folderIf = [&](const std::string& p) {
        ++looked;
        return p.back() == '/';
    };
    auto knownIf = [&](const std::string& p) { return p.size() > 4 && p.substr(p.size() - 4) == ".jpg"; };
    std::vector<std::string> many(31, "/tmp/notes.txt");
    EXPECT_TRUE(DroppedFilesAcceptable(many, folderIf, knownIf));
    EXPECT_EQ(0, looked) << "31 files are taken without looking";
    EXPECT_FALSE(DroppedFilesAcceptable({"/a.txt", "/b.txt"}, folderIf, knownIf));
    EXPECT_TRUE(DroppedFilesAcceptable({"/a.txt", "/photos/"}, folderIf, knownIf));
    EXPECT_TRUE(DroppedFilesAcceptable({"/a.txt", "/b.jpg"}, folderIf, knownIf));
    EXPECT_FALSE(DroppedFilesAcceptable({}, folderIf, knownIf));
    std::vector<std::string> thirty(30, "/tmp/notes.txt");
    EXPECT_FALSE(DroppedFilesAcceptable(thirty, folderIf, knownIf));

    TempFolder folder;
    const std::string text = folder.Write("notes.qqq", "x");
    EXPECT_TRUE(DroppedFilesAcceptable({text, folder.path()})) << "a real folder";
    EXPECT_FALSE(DroppedFilesAcceptable({text})) << "a name of no known kind";
}

TEST(GridDropMath, TheTrackerTellsEachChangeOnce) {
    DropIndexTracker t;
    int changes = 0;
    for (SInt32 index : {3, 3, 3, 4, 4, 3, -1, -1, 5}) changes += t.Move(index) ? 1 : 0;
    EXPECT_EQ(5, changes);
    EXPECT_EQ(5, t.Index());
    t.Reset();
    EXPECT_TRUE(t.Move(5)) << "after a reset the same number is news again";
}

TEST(GridDropMath, TheEdgeBandsScrollByFourteenPixels) {
    EXPECT_EQ(-1, DragScrollDirection(0, 300, 0));
    EXPECT_EQ(-1, DragScrollDirection(0, 300, 14));
    EXPECT_EQ(0, DragScrollDirection(0, 300, 15));
    EXPECT_EQ(0, DragScrollDirection(0, 300, 285));
    EXPECT_EQ(1, DragScrollDirection(0, 300, 286));
    EXPECT_EQ(1, DragScrollDirection(0, 300, 300));
    EXPECT_EQ(0, DragScrollDirection(0, 300, 301));
}

}  // namespace
