// The push-button row of the dialog bases: sizes from the texts, places from the right edge,
// the first button at the left edge, squeezed when the others leave it too little room.
#include "foundation/ui/ButtonFitting.h"

#include <gtest/gtest.h>

namespace {
const DialogUnits kUnits{1.5, 2.0};  // 70 X = 105, 20 X = 30, 22 Y = 44, margin 10 = 15 / 20
}

TEST(ButtonFittingTest, OkAndCancelSitAtTheRightMarginAndNoButtonAtTheLeft) {
    auto row = FitButtonRow(kUnits, 400, 300, 10, {ButtonSlot{}, ButtonSlot{true, 20}, ButtonSlot{true, 40}});
    EXPECT_FALSE(row[0].placed);
    ASSERT_TRUE(row[2].placed);
    EXPECT_EQ(400 - 15, row[2].left + row[2].width);
    EXPECT_EQ(105, row[2].width);
    EXPECT_EQ(105, row[1].width);
    EXPECT_EQ(row[2].left - 15, row[1].left + row[1].width);
    EXPECT_EQ(300 - 20, row[1].top + row[1].height);
    EXPECT_EQ(44, row[1].height);
}

TEST(ButtonFittingTest, ATextWiderThanFiftyUnitsGetsTwentyUnitsMore) {
    struct Case { int text; int width; } cases[] = {{0, 105}, {75, 105}, {76, 106}, {200, 230}};
    for (const auto& c : cases) EXPECT_EQ(c.width, FittedButtonWidth(kUnits, c.text)) << c.text;
}

TEST(ButtonFittingTest, TheFirstButtonFillsTheRoomLeftWhenItsTextDoesNotFit) {
    // Right edge after the two right buttons: 400 - 15 - 105 - 15 - 105 - 15 = 145; left 15.
    auto fits = FitButtonRow(kUnits, 400, 300, 10, {ButtonSlot{true, 10}, ButtonSlot{true, 0}, ButtonSlot{true, 0}});
    EXPECT_EQ(15, fits[0].left);
    EXPECT_EQ(105, fits[0].width);
    auto squeezed = FitButtonRow(kUnits, 400, 300, 10, {ButtonSlot{true, 200}, ButtonSlot{true, 0}, ButtonSlot{true, 0}});
    EXPECT_EQ(15, squeezed[0].left);
    EXPECT_EQ(145 - 15, squeezed[0].width);
}

TEST(ButtonFittingTest, AControlFittedToItsTextKeepsTheMinimumAndTheRowHeight) {
    int w = 0, h = 0;
    FitControlSize(kUnits, 10, 5, &w, &h);
    EXPECT_EQ(105, w);
    EXPECT_EQ(44, h);
    FitControlSize(kUnits, 100, 16, &w, &h);
    EXPECT_EQ(146, w);
}
