// Keyboard navigation, type-ahead on the manual timer clock, and Go To.
#include "ViewTestSupport.h"

#include <climits>

using Items = std::vector<SInt32>;

TEST_F(ViewTest, ArrowAndPageKeysTable) {
    AddItems(30);   // 10 rows of 3; two whole rows and a part on screen
    MakeView(kViewThumbnail, 400, 300);
    struct Step { int key; bool shift, control; SInt32 current; Items selected; SInt32 firstRow; };
    struct Case { const char* name; SInt32 start; std::vector<Step> steps; };
    const std::vector<Case> cases = {
        {"arrows move by an item and by a row", 5,
         {{kVKRight, false, false, 6, {6}, 0}, {kVKDown, false, false, 9, {9}, 1}, {kVKLeft, false, false, 8, {8}, 1},
          {kVKUp, false, false, 5, {5}, 1}}},
        {"a target outside the items is ignored", 2,
         {{kVKUp, false, false, 2, {2}, 0}, {kVKHome, false, false, 1, {1}, 0}, {kVKLeft, false, false, 1, {1}, 0}}},
        {"shift extends from the anchor", 5,
         {{kVKRight, true, false, 5, {5, 6}, 0}, {kVKRight, true, false, 5, {5, 6, 7}, 1},
          {kVKUp, true, false, 5, {4, 5}, 1}}},
        {"home and end select and reveal", 5,
         {{kVKEnd, false, false, 30, {30}, 8}, {kVKHome, false, false, 1, {1}, 0}}},
        {"control scrolls without selecting", 5,
         {{kVKEnd, false, true, 5, {5}, 8}, {kVKUp, false, true, 5, {5}, 7}, {kVKHome, false, true, 5, {5}, 0},
          {kVKDown, false, true, 5, {5}, 1}, {kVKPageDown, false, true, 5, {5}, 3}, {kVKPageUp, false, true, 5, {5}, 1}}},
        {"page down goes to the last whole row, then a page on", 2,
         {{kVKPageDown, false, false, 5, {5}, 0}, {kVKPageDown, false, false, 11, {11}, 2}}},
        {"page up goes to the first row, then a page back", 11,
         {{kVKPageUp, false, false, 8, {8}, 2}, {kVKPageUp, false, false, 2, {2}, 0}}},
        {"page down on the last row does nothing", 29,
         {{kVKPageDown, false, false, 29, {29}, 8}}},
    };
    for (const Case& c : cases) {
        ViewScrollTo(view, 0, INT_MIN);
        ViewSelectItem(view, c.start, kSelectAlone, true);
        for (const Step& s : c.steps) {
            EXPECT_TRUE(ViewKeyNavigate(view, s.key, s.shift, s.control));
            EXPECT_EQ(view->currentItem, s.current) << c.name << ", key " << s.key;
            EXPECT_EQ(Selected(), s.selected) << c.name << ", key " << s.key;
            EXPECT_EQ(view->visibleCells[0], s.firstRow) << c.name << ", key " << s.key;
        }
    }
    EXPECT_EQ(hooks.beeps, 0);
}

TEST_F(ViewTest, PageDownStopsOnTheRowAboveWhenTheLastRowEndsBeforeTheColumn) {
    AddItems(29);   // the last row holds items 28 and 29
    MakeView(kViewThumbnail, 400, 300);
    ViewSelectItem(view, 27, kSelectAlone, true);   // row 8, column 2
    EXPECT_TRUE(ViewKeyNavigate(view, kVKPageDown, false, false));
    EXPECT_EQ(view->currentItem, 27);
}

TEST_F(ViewTest, ArrowWithoutACurrentItemSelectsTheFirstAndKeysOnAnEmptyViewDoNothing) {
    AddItems(4);
    MakeView(kViewThumbnail, 400, 300);
    EXPECT_TRUE(ViewKeyNavigate(view, kVKDown, true, false));
    EXPECT_EQ(Selected(), Items{1});
    EXPECT_FALSE(ViewKeyNavigate(view, 'Q', false, false));
    EXPECT_TRUE(ViewKeyNavigate(view, kVKSlash, false, false));
}

TEST_F(ViewTest, DigitsLabelTheSelectionUnlessControlIsHeld) {
    AddItems(4);
    MakeView(kViewList, 400, 300);
    ViewSelectItem(view, 2, kSelectAlone, false);
    ViewSelectItem(view, 3, kSelectAdd, false);
    EXPECT_TRUE(ViewKeyNavigate(view, kVK0 + 3, false, false));
    EXPECT_EQ(ItemGetLabel(catalog, 2), 3);
    EXPECT_EQ(ItemGetLabel(catalog, 3), 3);
    EXPECT_EQ(ItemGetLabel(catalog, 1), 0);
    EXPECT_TRUE(ViewKeyNavigate(view, kVKNumpad0 + 5, false, true));
    EXPECT_EQ(ItemGetLabel(catalog, 2), 3);
    EXPECT_TRUE(ViewKeyNavigate(view, kVKNumpad0, false, false));
    EXPECT_EQ(ItemGetLabel(catalog, 2), 0);
}

class TypeAheadTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        for (const char* n : {"apple.jpg", "Apricot.jpg", "banana.jpg", "avocado.jpg"}) AddNamed(n);
        MakeView(kViewList, 400, 300);
    }
    void Type(const std::string& text) {
        for (char c : text) ViewTypeAhead(view, static_cast<unsigned char>(c));
    }
};

TEST_F(TypeAheadTest, LettersTypedWithinTheIntervalSearchOnceWhenTheTimerFires) {
    Type("ap");
    timers.Advance(kTypeAheadMs - 1);
    EXPECT_EQ(view->currentItem, 0);
    timers.Advance(1);
    EXPECT_EQ(view->currentItem, 1);
    EXPECT_EQ(view->typeAheadTimer, 0u);
    // The search starts after the current item and is not case sensitive.
    Type("AP");
    timers.Advance(kTypeAheadMs);
    EXPECT_EQ(view->currentItem, 2);
}

TEST_F(TypeAheadTest, SearchWrapsAndAMatchOnlyOnTheStartItemBeeps) {
    struct Step { std::string text; SInt32 current; int beeps; };
    for (Step s : {Step{"b", 3, 0}, Step{"a", 4, 0}, Step{"a", 1, 0}, Step{"ban", 3, 0}, Step{"ban", 3, 1}, Step{"z", 3, 2}}) {
        Type(s.text);
        timers.Advance(kTypeAheadMs);
        EXPECT_EQ(view->currentItem, s.current) << s.text;
        EXPECT_EQ(hooks.beeps, s.beeps) << s.text;
    }
}

TEST_F(TypeAheadTest, TypedTextStopsGrowingAtItsCapacity) {
    Type(std::string(300, 'a'));
    EXPECT_EQ(view->typeAhead[0], 255);
    timers.Advance(kTypeAheadMs);
    EXPECT_EQ(hooks.beeps, 1);
}

TEST_F(ViewTest, GoToFindsByNumberTextAndLabelAndBlinksTheItem) {
    AddNamed("one.jpg");
    AddNamed("two.jpg", 1000, 4);
    AddNamed("three.jpg");
    AddNamed("four.jpg", 1000, 2);
    MakeView(kViewList, 400, 300);

    ViewGoToItem(view, 1, 3, false, nullptr);
    EXPECT_EQ(view->currentItem, 3);
    // Drawn unselected for a moment, then selected again.
    ASSERT_FALSE(DrawLog().empty());
    EXPECT_EQ(DrawLog().back().item, 3);
    EXPECT_FALSE(DrawLog().back().selected);
    timers.Advance(kBlinkMs);
    EXPECT_EQ(DrawLog().back().item, 3);
    EXPECT_TRUE(DrawLog().back().selected);

    ViewGoToItem(view, 3, 0, false, nullptr);
    EXPECT_EQ(view->currentItem, 4);
    ViewGoToItem(view, 3, 0, false, nullptr);   // wraps
    EXPECT_EQ(view->currentItem, 2);
    ViewGoToItem(view, 3, 0, true, nullptr);    // backwards, wrapping
    EXPECT_EQ(view->currentItem, 4);
    const unsigned char text[] = "\x05three";
    ViewGoToItem(view, 2, 0, true, text);
    EXPECT_EQ(view->currentItem, 3);
    EXPECT_EQ(hooks.beeps, 0);
    ViewGoToItem(view, 1, 9, false, nullptr);
    const unsigned char missing[] = "\x07nowhere";
    ViewGoToItem(view, 2, 0, false, missing);
    EXPECT_EQ(hooks.beeps, 2);
    EXPECT_EQ(view->currentItem, 3);
}
