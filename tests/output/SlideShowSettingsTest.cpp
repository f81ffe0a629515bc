// The slide show's stored records: defaults byte by byte, validation and the choice between
// the catalog's and the application's copies, the scaling and transition tables, the options
// dialog's list positions and seconds, and the grid layouts with "Grid.txt".
#include "output/slideshow/SlideShowGrids.h"
#include "output/slideshow/SlideShowSettings.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

TEST(SlideShowSettings, DefaultsAreTheStoredBytes) {
    const SlideShowSettings s = SlideShowDefaultSettings();
    const auto* b = reinterpret_cast<const UInt8*>(&s);
    const struct {
        int offset;
        UInt8 value;
    } expected[] = {{0, 1},  {1, 1},  {2, 1},  {3, 1},  {4, 40}, {5, 0},  {6, 15}, {8, 1},  {9, 4},
                    {10, 0}, {12, 0}, {15, 3}, {16, 2}, {17, 1}, {18, 0}, {19, 1}, {20, 7}, {21, 1},
                    {22, 1}, {23, 0}, {24, 1}, {25, 1}, {26, 0}, {37, 255}, {38, 255}, {39, 255}};
    for (const auto& e : expected) EXPECT_EQ(e.value, b[e.offset]) << "byte " << e.offset;
    EXPECT_TRUE(ValidateSlideShowSettings(s));
}

TEST(SlideShowSettings, ValidationLooksAtEveryRangedField) {
    struct Case {
        const char* what;
        void (*change)(SlideShowSettings&);
        bool valid;
    } cases[] = {
        {"tab 0", [](SlideShowSettings& s) { s.optionsTab = 0; }, false},
        {"tab 3", [](SlideShowSettings& s) { s.optionsTab = 3; }, true},
        {"tab 4", [](SlideShowSettings& s) { s.optionsTab = 4; }, false},
        {"volume 7", [](SlideShowSettings& s) { s.volume = 7; }, true},
        {"volume 9", [](SlideShowSettings& s) { s.volume = 9; }, false},
        {"scaling 0", [](SlideShowSettings& s) { s.scaling = 0; }, false},
        {"scaling 17", [](SlideShowSettings& s) { s.scaling = 17; }, false},
        {"grid 10", [](SlideShowSettings& s) { s.gridLayout = 10; }, false},
        {"transition 14", [](SlideShowSettings& s) { s.transition = 14; }, false},
        {"seconds 0", [](SlideShowSettings& s) { s.slideSeconds = 0; }, true},
        {"seconds 61", [](SlideShowSettings& s) { s.slideSeconds = 61; }, false},
    };
    for (const Case& c : cases) {
        SlideShowSettings s = SlideShowDefaultSettings();
        c.change(s);
        EXPECT_EQ(c.valid, ValidateSlideShowSettings(s)) << c.what;
    }
}

TEST(SlideShowSettings, AnInvalidCatalogCopyTakesTheApplicationsOrTheDefaults) {
    SlideShowSettings catalog, app = SlideShowDefaultSettings();
    std::memset(&catalog, 0, sizeof catalog);   // a new catalog: tab 0
    app.slideSeconds = 9;
    EXPECT_FALSE(SlideShowPickSettings(&catalog, &app));
    EXPECT_EQ(9, catalog.slideSeconds);

    SlideShowSettings good = SlideShowDefaultSettings();
    good.slideSeconds = 0;
    SlideShowSettings keptApp = app;
    EXPECT_FALSE(SlideShowPickSettings(&good, &keptApp));
    EXPECT_EQ(0, good.slideSeconds) << "a valid catalog copy is kept as it is";

    std::memset(&catalog, 0, sizeof catalog);
    app.volume = 9;   // fails too: both become the defaults
    EXPECT_TRUE(SlideShowPickSettings(&catalog, &app));
    EXPECT_EQ(0, std::memcmp(&catalog, &app, sizeof app));
    const SlideShowSettings defaults = SlideShowDefaultSettings();
    EXPECT_EQ(0, std::memcmp(&defaults, &app, sizeof app));
}

TEST(SlideShowSettings, ScalingAndTransitionChoicesMapToThePresenter) {
    const struct {
        UInt8 choice, mode;
        UInt16 percent;
    } scales[] = {{1, 1, 0},    {2, 2, 0},     {3, 2, 0},     {4, 4, 0},     {8, 8, 0},     {9, 2, 0},
                  {10, 10, 25}, {12, 10, 100}, {16, 10, 1600}, {17, 2, 0}, {0, 2, 0}};
    for (const auto& s : scales) {
        const SlideScale got = SlideScaleFromChoice(s.choice);
        EXPECT_EQ(s.mode, got.mode) << int(s.choice);
        EXPECT_EQ(s.percent, got.percent) << int(s.choice);
    }
    const struct {
        UInt8 choice;
        int effect;
    } effects[] = {{1, 0}, {2, 6}, {3, 0}, {4, 1}, {8, 5}, {12, 9}, {13, 10}, {14, 0}, {0, 0}};
    for (const auto& e : effects) EXPECT_EQ(e.effect, SlideTransitionEffect(e.choice, 6)) << int(e.choice);
}

TEST(SlideShowSettings, EveryValidChoiceRoundTripsThroughTheDialogsListPosition) {
    int position = 0;
    for (UInt8 choice = 1; choice <= 13; ++choice) {
        if (choice == 3) continue;
        EXPECT_EQ(position, SlideTransitionChoiceToPosition(choice)) << int(choice);
        EXPECT_EQ(choice, SlideTransitionPositionToChoice(position));
        ++position;
    }
    EXPECT_EQ(kSlideTransitionPositions, position);
    position = 0;
    for (UInt8 choice = 1; choice <= 16; ++choice) {
        if (choice == 3 || choice == 9) continue;
        EXPECT_EQ(position, SlideScalingChoiceToPosition(choice)) << int(choice);
        EXPECT_EQ(choice, SlideScalingPositionToChoice(position));
        ++position;
    }
    EXPECT_EQ(kSlideScalingPositions, position);
    EXPECT_EQ(0, SlideTransitionChoiceToPosition(0));
}

TEST(SlideShowSettings, TheDialogKeepsZeroSecondsAndClampsTypedValues) {
    EXPECT_EQ(0, SlideSecondsForDialog(0)) << "0 is a valid stored duration";
    EXPECT_EQ(60, SlideSecondsForDialog(60));
    EXPECT_EQ(4, SlideSecondsForDialog(61));
    EXPECT_EQ(60, SlideSecondsFromTyped(75));
    EXPECT_EQ(4, SlideSecondsFromTyped(-3));
    EXPECT_EQ(0, SlideSecondsFromTyped(0));
    const struct {
        UInt8 stored;
        bool interactive;
        UInt8 result;
    } states[] = {{0, true, 2}, {1, true, 3}, {3, true, 3}, {2, false, 0}, {3, false, 1}, {1, false, 1}};
    for (const auto& s : states)
        EXPECT_EQ(s.result, SlidePlayStateWithInteractive(s.stored, s.interactive)) << int(s.stored);
}

TEST(SlideShowGrids, TheBuiltInLayoutsNameSevenSlots) {
    const SlideShowGrids& g = SlideShowBuiltInGrids();
    const int counts[10] = {0, 1, 0, 2, 2, 2, 0, 4, 4, 16};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(counts[i], g[i].count) << i;
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(counts[i % 10] > 0 && i >= 1 && i <= 9, SlideGridNamesLayout(g, i)) << i;
    EXPECT_EQ(10, g[9].cells[15][0]);
    EXPECT_EQ(10, g[9].cells[15][1]);
}

std::string GridLine(int count, int textRoom, int firstValue) {
    std::ostringstream line;
    line << count << ' ' << textRoom;
    for (int i = 0; i < 64; ++i) line << ' ' << (firstValue + i) % 13;
    return line.str();
}

TEST(SlideShowGrids, GridTextSkipsCommentsAndStopsAfterTenLayouts) {
    std::string text = "# my layouts\n\n";
    for (int i = 0; i < 12; ++i) text += GridLine(i == 2 ? 17 : 1 + i % 16, 1, i) + "\n";
    const SlideShowGrids g = ParseSlideShowGrids(text);
    EXPECT_EQ(1, g[0].count);
    EXPECT_EQ(0, g[0].cells[0][0]);
    EXPECT_EQ(1, g[0].cells[0][1]);
    EXPECT_EQ(0, g[0].cells[1][0]) << "cells past the count stay 0";
    EXPECT_EQ(2, g[1].count);
    EXPECT_EQ(0, g[2].count) << "a count of 17 leaves its slot empty";
    EXPECT_EQ(0, g[2].textRoom);
    EXPECT_EQ(4, g[3].count) << "the empty slot still took its place";
    EXPECT_EQ(10, g[9].count);

    const SlideShowGrids shortLine = ParseSlideShowGrids("2 1 1 1 6\n");
    EXPECT_EQ(2, shortLine[0].count);
    EXPECT_EQ(6, shortLine[0].cells[0][2]);
    EXPECT_EQ(0, shortLine[0].cells[0][3]) << "missing numbers read as 0";
    EXPECT_EQ(0, shortLine[1].count);
}

TEST(SlideShowGrids, AFailedReadGivesTheLastGoodOne) {
    TempFolder folder;
    EXPECT_EQ(nullptr, LoadSlideShowGridsFrom(folder / "missing.txt")) << "never loaded";
    folder.Write("Grid.txt", GridLine(3, 0, 1) + "\n");
    const SlideShowGridLayout* loaded = LoadSlideShowGridsFrom(folder / "Grid.txt");
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(3, loaded[0].count);
    const SlideShowGridLayout* again = LoadSlideShowGridsFrom(folder / "missing.txt");
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(3, again[0].count);
}

TEST(SlideShowGrids, SixteenCellsWithMarginKeepEightOutsideAndFourBetween) {
    const Rect stage{0, 0, 1080, 1920};
    const std::vector<Rect> cells = SlideLayoutCells(stage, SlideShowBuiltInGrids()[9], true, 30);
    ASSERT_EQ(16u, cells.size());
    // 1920 / 12 = 160, 1080 / 12 = 90; three twelfths a cell.
    EXPECT_EQ(8, cells[0].left);
    EXPECT_EQ(8, cells[0].top);
    EXPECT_EQ(480 - 4, cells[0].right);
    EXPECT_EQ(270 - 4 - 30, cells[0].bottom) << "the text height comes off";
    EXPECT_EQ(480 + 4, cells[1].left);
    EXPECT_EQ(1920 - 8, cells[3].right) << "the last column reaches the edge";
    EXPECT_EQ(1080 - 8 - 30, cells[15].bottom);

    const Rect odd{0, 0, 1000, 1000};   // 1000 / 12 = 83: the last column takes the rest
    const std::vector<Rect> full = SlideLayoutCells(odd, SlideShowBuiltInGrids()[1], false, 0);
    ASSERT_EQ(1u, full.size());
    EXPECT_EQ(1000, full[0].right);
    EXPECT_EQ(1000, full[0].bottom);

    const std::vector<Rect> none = SlideLayoutCells(odd, SlideShowBuiltInGrids()[0], true, 20);
    ASSERT_EQ(1u, none.size());
    EXPECT_EQ(8, none[0].left);
    EXPECT_EQ(980, none[0].bottom);
}

}  // namespace
