// Switching between List, Thumbnail and Media view, and the zoom steps of each.
#include "ViewTestSupport.h"

#include "window/view/ViewModes.h"

#include <cstring>

namespace {
UInt8 PrefsLevel(UInt8 mode) { return GetPreferences()->viewBlock64[mode * 16 + 7]; }
UInt16 PrefsPercent(UInt8 mode) {
    UInt16 p;
    std::memcpy(&p, GetPreferences()->viewBlock64 + mode * 16 + 4, 2);
    return p;
}
}  // namespace

TEST_F(ViewTest, ZoomInListAndThumbnailViewStepsLevelsAndBeepsAtTheLimits) {
    AddItems(3);
    MakeView(kViewList, 400, 300);
    ViewModeSettings* list = CatalogGetSlotRec16(catalog, kViewList);
    list->sizeStep = 1;
    ViewZoom(view, true);
    EXPECT_EQ(list->sizeStep, 2);
    EXPECT_EQ(PrefsLevel(kViewList), 2);
    EXPECT_TRUE(CatalogIsModified(catalog));
    EXPECT_EQ(view->cellSize.v, std::max(view->lineHeight + 4, 34) + 1);
    ViewZoom(view, true);
    EXPECT_EQ(hooks.beeps, 1);
    ViewZoom(view, false);
    ViewZoom(view, false);
    EXPECT_EQ(list->sizeStep, 1);
    EXPECT_EQ(hooks.beeps, 2);

    ViewSetMode(view, kViewThumbnail);
    ViewModeSettings* thumbs = CatalogGetSlotRec16(catalog, kViewThumbnail);
    thumbs->sizeStep = 19;
    ViewZoom(view, true);
    EXPECT_EQ(thumbs->sizeStep, 20);
    EXPECT_EQ(view->cellSize.h, 645);
    EXPECT_EQ(PrefsLevel(kViewThumbnail), 20);
    ViewZoom(view, true);
    EXPECT_EQ(hooks.beeps, 3);
    thumbs->sizeStep = 1;
    ViewZoom(view, false);
    EXPECT_EQ(hooks.beeps, 4);
}

TEST_F(ViewTest, MediaZoomStepsBy25PercentAndIsSilentAtItsLimits) {
    AddItems(2);
    MakeView(kViewMedia, 400, 300);
    ViewModeSettings* media = CatalogGetSlotRec16(catalog, kViewMedia);
    struct Case { UInt16 percent; bool in; UInt16 want; };
    for (Case c : {Case{110, true, 125}, Case{110, false, 100}, Case{100, true, 125}, Case{100, false, 75},
                   Case{1600, true, 1600}, Case{25, false, 25}, Case{1590, true, 1600}, Case{30, false, 25}}) {
        media->percent = c.percent;
        media->sizeStep = kShowScaledToFit;
        ViewZoom(view, c.in);
        EXPECT_EQ(media->percent, c.want) << c.percent << (c.in ? " in" : " out");
        if (c.want != c.percent) {
            EXPECT_EQ(media->sizeStep, kShowPercent);
            EXPECT_EQ(MediaObjectGetShowFlag(view->media), kShowPercent);
            EXPECT_EQ(MediaObjectGetPercent(view->media), c.want);
            EXPECT_EQ(PrefsPercent(kViewMedia), c.want);
        } else {
            EXPECT_EQ(media->sizeStep, kShowScaledToFit) << c.percent;
        }
    }
    EXPECT_EQ(hooks.beeps, 0);
}

TEST_F(ViewTest, ActualSizeTogglesOnlyInMediaView) {
    AddItems(2);
    MakeView(kViewThumbnail, 400, 300);
    ViewToggleActualSize(view);
    EXPECT_EQ(hooks.beeps, 1);
    ViewSetMode(view, kViewMedia);
    ViewModeSettings* media = CatalogGetSlotRec16(catalog, kViewMedia);
    media->percent = 150;
    struct Case { UInt8 from, to; bool scaledToFitAfter; };
    for (Case c : {Case{2, 1, false}, Case{1, 2, true}, Case{10, 2, true}}) {
        media->sizeStep = c.from;
        ViewToggleActualSize(view);
        EXPECT_EQ(media->sizeStep, c.to);
        EXPECT_EQ(MediaObjectGetShowFlag(view->media), c.to);
        bool actual = false;
        ViewGetItemCapabilities(view, nullptr, nullptr, &actual);
        EXPECT_EQ(actual, c.scaledToFitAfter);
    }
    EXPECT_EQ(media->percent, 150);
}

TEST_F(ViewTest, SwitchingToListKeepsTheFirstVisibleItemAndTheCurrentItemInView) {
    AddItems(60);
    MakeView(kViewThumbnail, 400, 300);
    ViewScrollTo(view, 0, 4);   // item 13 at the top left
    ViewSelectItem(view, 14, kSelectAlone, false);
    ViewSetMode(view, kViewList);
    EXPECT_EQ(CatalogGetViewMode(catalog), kViewList);
    EXPECT_EQ(view->columnCount, 1);
    EXPECT_EQ(view->visibleCells[0], 12);
    EXPECT_TRUE(ViewIsCellVisible(view, ViewItemToCell(view, 14)));
    // A current item off screen in the new mode brings its row to the top.
    ViewSetMode(view, kViewThumbnail);
    ViewScrollTo(view, 0, -100);
    ViewSelectItem(view, 50, kSelectAlone, false);
    ViewScrollTo(view, 0, -100);
    ViewSetMode(view, kViewList);
    EXPECT_TRUE(ViewIsCellVisible(view, ViewItemToCell(view, 50)));
}

TEST_F(ViewTest, SwitchingToMediaWithNothingCurrentShowsTheFirstItem) {
    AddItems(5);
    MakeView(kViewThumbnail, 400, 300);
    ViewSetMode(view, kViewMedia);
    EXPECT_EQ(view->currentItem, 1);
    EXPECT_EQ(Selected(), std::vector<SInt32>{1});
    EXPECT_EQ(view->cellSize.h, 400);
    EXPECT_EQ(view->rowCount, 5);
    EXPECT_EQ(MediaObjectGetShowFlag(view->media), CatalogGetSlotRec16(catalog, kViewMedia)->sizeStep);
    EXPECT_EQ(view->media->drawOption, 1);
    // The shown item is the current one; switching back keeps it current.
    ViewScrollTo(view, 0, 2);
    EXPECT_EQ(view->currentItem, 3);
    ViewSetMode(view, kViewThumbnail);
    EXPECT_EQ(view->currentItem, 3);
    EXPECT_EQ(view->media->drawOption, 0);
    EXPECT_EQ(MediaObjectGetShowFlag(view->media), kShowScaledToFit);
}
