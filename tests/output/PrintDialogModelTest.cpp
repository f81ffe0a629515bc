// What the print dialogs show: the scaling list's entries and what they store, the summary under
// the preview in centimetres and inches, margins shown and typed with the locale's decimal
// separator, and the Grid dialog's cell sizes in each unit and back.
#include "output/print/PrintDialogModel.h"

#include "foundation/format/LocaleFormats.h"
#include "foundation/resources/ResourceStrings.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

class PrintDialogModelTest : public ::testing::Test {
protected:
    void SetUp() override { SetResourceModule(GetBuiltInResourceModule("en")); }
    void TearDown() override { SetResourceModule(nullptr); }
};

TEST_F(PrintDialogModelTest, ScalingEntriesStoreTheirCodeAndPercent) {
    struct Case {
        int position, number;
        UInt8 code;
        UInt16 percent;
    } cases[] = {{0, 1, 1, 0},   {1, 2, 2, 0},    {2, 4, 4, 0},    {6, 8, 8, 0},     {7, 10, 10, 25},
                 {9, 12, 10, 100}, {10, 13, 10, 200}, {13, 16, 10, 1600}};
    for (const Case& c : cases) {
        EXPECT_EQ(ScalingEntryNumber(c.position), c.number);
        UInt8 code = 0;
        UInt16 percent = 99;
        ScalingFromEntry(c.number, &code, &percent);
        EXPECT_EQ(code, c.code) << c.number;
        EXPECT_EQ(percent, c.percent) << c.number;
        EXPECT_EQ(ScalingPositionOf(c.code, c.percent), c.position) << c.number;
    }
    // The separator rows and unknown numbers are "Scale to Fit"; so is a percent not listed.
    for (int number : {0, 3, 9, 17}) {
        UInt8 code = 0;
        UInt16 percent = 99;
        ScalingFromEntry(number, &code, &percent);
        EXPECT_EQ(code, kScaleToFit);
        EXPECT_EQ(percent, 0);
    }
    EXPECT_EQ(ScalingPositionOf(10, 300), 1);
    EXPECT_EQ(ScalingPositionOf(3, 0), 1);
}

TEST_F(PrintDialogModelTest, TheSummaryGivesPageCellsAndSizesInTheUnit) {
    PrintGrid grid;
    grid.columns = 3;
    grid.rows = 4;
    grid.cellWidth = 170;
    grid.cellHeight = 200;
    const Rect content{0, 0, 850, 567};
    EXPECT_EQ(PrintFormatSummary(2, 5, content, grid, true), "Page 2 of 5 @ 20.01 by 30 cm\n3 by 4 Cells @ 6 by 7.06 cm");
    EXPECT_EQ(PrintFormatSummary(1, 1, Rect{0, 0, 720, 576}, grid, false),
              "Page 1 of 1 @ 7.97 by 9.96 in.\n3 by 4 Cells @ 2.35 by 2.77 in.");
}

TEST_F(PrintDialogModelTest, MarginsAreShownAndTypedWithTheLocalesSeparator) {
    EXPECT_EQ(MarginText(1.5), "1.50");
    EXPECT_EQ(MarginText(0), "0.00");
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {{"1.5", true, 1.5}, {" 2,25 ", true, 2.25}, {"0", true, 0}, {"", false, 0},
                 {"abc", false, 0},  {"1.5cm", false, 0},    {"-1", false, 0}};
    for (const Case& c : cases) {
        double v = -7;
        EXPECT_EQ(ParseMarginText(c.text, &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
}

TEST_F(PrintDialogModelTest, GridSizesRoundTripThroughEveryUnitWithinATenth) {
    struct Case {
        UInt16 points;
        short unit;
        double shown;
    } cases[] = {{144, 1, 144}, {144, 2, 2}, {100, 3, 3.5}, {100, 4, 100}, {100, 5, 8.3}, {50, 2, 0.7}};
    for (const Case& c : cases) {
        const double shown = GridLengthInUnit(c.points, c.unit);
        EXPECT_NEAR(shown, c.shown, 1e-9) << c.points << " in unit " << c.unit;
        // Back to points: within what a tenth of the unit is worth.
        const double tenth = c.unit == 2 ? 7.2 : c.unit == 3 ? 2.84 : c.unit == 5 ? 1.2 : 0.1;
        EXPECT_NEAR(GridLengthToPoints(shown, c.unit), c.points, tenth / 2 + 0.5) << c.points << " in unit " << c.unit;
    }
}
