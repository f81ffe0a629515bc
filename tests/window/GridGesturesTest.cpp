// The grid view's gesture decisions without a window: what a press means, when a drag starts,
// where an edit moves on, which names a rename accepts, where added files go, when opening
// asks, and how wheel rotation becomes rows.
#include "window/grid/GridGestures.h"

#include "window/view/ViewRec.h"
#include "window/view/ViewSelection.h"

#include <gtest/gtest.h>

namespace {

TEST(GridGestures, APressDecidesTheSelectionAtOnceOrTheKindOfRelease) {
    struct Case {
        UInt8 mode;
        UInt32 modifiers;
        bool onCell, onName, current;
        int selectKind, clickKind;
    };
    const Case cases[] = {
        // Shift extends at once in every mode; Control waits for the release.
        {kViewList, kClickShift, true, false, false, kSelectExtend, kClickNone},
        {kViewThumbnail, kClickShift, true, true, true, kSelectExtend, kClickNone},
        {kViewList, kClickControl, true, true, false, -1, kClickToggle},
        {kViewThumbnail, kClickControl, true, false, false, -1, kClickToggle},
        // On the name: List edits the current item, selects another; Thumbnail selects then edits.
        {kViewList, 0, true, true, true, -1, kClickEditField},
        {kViewList, 0, true, true, false, -1, kClickSelectIfNew},
        {kViewThumbnail, 0, true, true, false, -1, kClickSelectThenEdit},
        {kViewThumbnail, kClickAlt, true, true, true, -1, kClickSelectThenEdit},
        {kViewMedia, 0, true, true, false, -1, kClickNone},
        // Off the name the item is selected alone at once; List then does nothing more.
        {kViewList, 0, true, false, false, kSelectAlone, kClickNone},
        {kViewThumbnail, 0, true, false, true, kSelectAlone, kClickEditField},
        {kViewList, kClickAlt, true, false, false, kSelectAlone, kClickNone},
        // Other combinations on a cell do nothing; off every cell a plain press deselects later.
        {kViewList, kClickControl | kClickShift, true, false, false, -1, kClickNone},
        {kViewThumbnail, kClickControl | kClickAlt, true, true, false, -1, kClickNone},
        {kViewList, 0, false, false, false, -1, kClickDeselectAll},
        {kViewThumbnail, kClickShift, false, false, false, -1, kClickNone},
        // Bits outside the mask do not count.
        {kViewList, 0x1, true, false, false, kSelectAlone, kClickNone},
    };
    for (const Case& c : cases) {
        const PressDecision d = DecidePress(c.mode, c.modifiers, c.onCell, c.onName, c.current);
        EXPECT_EQ(c.selectKind, d.selectKind) << int(c.mode) << " " << c.modifiers << " " << c.onCell << c.onName << c.current;
        EXPECT_EQ(c.clickKind, d.clickKind) << int(c.mode) << " " << c.modifiers << " " << c.onCell << c.onName << c.current;
    }
}

TEST(GridGestures, ADragStartsElevenPixelsAwayInEitherAxis) {
    const Point press{100, 100};
    EXPECT_FALSE(IsDragDistance(press, Point{110, 110}));
    EXPECT_FALSE(IsDragDistance(press, Point{90, 90}));
    EXPECT_TRUE(IsDragDistance(press, Point{100, 111}));
    EXPECT_TRUE(IsDragDistance(press, Point{89, 100}));
}

TEST(GridGestures, AnEditEndedByAKeyMovesToTheNextItemOrFieldOrStops) {
    // Columns of the list: name (editable), size, caption (editable).
    const std::vector<bool> editable{true, false, true};
    struct Case {
        int ending;
        SInt32 current, count, columns;
        int column;
        SInt32 item;
        int nextColumn;
    };
    const Case cases[] = {
        {kEditEndUp, 3, 10, 4, 0, 0, -1},        // in the first row: nowhere
        {kEditEndUp, 5, 10, 4, 0, 1, 0},
        {kEditEndDown, 6, 10, 4, 2, 10, 2},
        {kEditEndDown, 7, 10, 4, 0, 0, -1},      // no row below
        {kEditEndLeft, 1, 10, 4, 0, 0, -1},
        {kEditEndLeft, 2, 10, 4, 2, 1, 2},
        {kEditEndRight, 10, 10, 4, 0, 0, -1},
        {kEditEndRight, 9, 10, 4, 0, 10, 0},
        {kEditEndTab, 4, 10, 1, 0, 4, 2},        // the caption of the same item
        {kEditEndTab, 4, 10, 1, 2, 5, 0},        // then the next item's name
        {kEditEndTab, 10, 10, 1, 2, 0, -1},      // the last field of the last item stops
        {kEditEndBackTab, 4, 10, 1, 2, 4, 0},
        {kEditEndBackTab, 4, 10, 1, 0, 3, 2},    // the previous item's last editable field
        {kEditEndBackTab, 1, 10, 1, 0, 0, -1},
        {kEditEndCommit, 4, 10, 1, 0, 0, -1},
    };
    for (const Case& c : cases) {
        const EditTarget t = NextEditTarget(c.ending, c.current, c.count, c.columns, c.column, editable);
        EXPECT_EQ(c.item, t.item) << "ending " << c.ending << " at " << c.current << "/" << c.column;
        if (c.item) EXPECT_EQ(c.nextColumn, t.column) << "ending " << c.ending << " at " << c.current;
    }
    EXPECT_EQ(0, NextEditTarget(kEditEndTab, 3, 10, 1, 0, {false, false}).item) << "nothing editable";
}

TEST(GridGestures, ARenameRefusesNamesThatWouldLeaveTheFolder) {
    struct Case {
        std::string name;
        bool ok;
    };
    const Case cases[] = {
        {"photo.jpg", true},          {"...", true},           {".hidden", true},
        {"", false},                  {".", false},            {"..", false},
        {"a/b.jpg", false},           {"/", false},            {"../up.jpg", false},
        {std::string("a\0b", 3), false}, {std::string(255, 'x'), true}, {std::string(256, 'x'), false},
        {"caf\xC3\xA9.jpg", true},
    };
    for (const Case& c : cases) EXPECT_EQ(c.ok, IsAcceptableFileName(c.name)) << c.name.size() << " " << c.name;
}

TEST(GridGestures, EditTextLosesBlanksAtBothEndsOnly) {
    EXPECT_EQ("a b", TrimEditText("  a b \t\n"));
    EXPECT_EQ("", TrimEditText(" \t "));
    EXPECT_EQ("x", TrimEditText("x"));
}

TEST(GridGestures, PositionsAndThresholds) {
    EXPECT_EQ(0, FirstCurrentItem(3, 0));
    EXPECT_EQ(3, FirstCurrentItem(3, 5));
    EXPECT_EQ(1, FirstCurrentItem(0, 5));
    EXPECT_EQ(1, FirstCurrentItem(6, 5));
    EXPECT_EQ(11, AddedItemsPosition(0, 10)) << "no drop index: after the last";
    EXPECT_EQ(4, AddedItemsPosition(4, 10));
    EXPECT_EQ(1, AddedItemsPosition(0, 0));
    EXPECT_FALSE(OpeningAsksFirst(9));
    EXPECT_TRUE(OpeningAsksFirst(10));
}

TEST(GridGestures, WheelRotationScrollsOneRowPerWholeStepAndOneForAnyNotch) {
    WheelSteps touchpad;
    int rows = 0;
    for (int i = 0; i < 3; ++i) rows += touchpad.Add(-30, 120);
    EXPECT_EQ(0, rows) << "small rotations build up";
    EXPECT_EQ(1, touchpad.Add(-30, 120)) << "a whole step scrolls down one row";
    WheelSteps wheel;
    EXPECT_EQ(-1, wheel.Add(360, 120)) << "a big notch still scrolls one row, up";
    EXPECT_EQ(0, wheel.Add(0, 120));
    WheelSteps turning;
    EXPECT_EQ(0, turning.Add(100, 120));
    EXPECT_EQ(0, turning.Add(-100, 120)) << "a change of direction forgets the other way";
    EXPECT_EQ(1, turning.Add(-20, 120));
}

}  // namespace
