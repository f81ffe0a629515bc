// Which menu commands the view engine enables in which state.
#include "ViewTestSupport.h"

#include "window/view/ViewCommands.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewModes.h"

namespace {
int Flag(bool on) { return on ? kCommandEnabled : kCommandDisabled; }
}  // namespace

TEST_F(ViewTest, CommandEnablingOverStates) {
    AddItems(4);
    MakeView(kViewThumbnail, 400, 300);
    const std::vector<UInt32> needSelection = {kCmdDelete, kCmdDelete2, kCmdDeselectAll, kCmdShowSelected, kCmdHideSelected,
                                               kCmdRebuildItem, kCmdRecycle, kCmdRecycle2, kCmdFlipHorizontal,
                                               kCmdFlipVertical, kCmdDefaultOrientation, kCmdMoveToTop, kCmdMoveToBottom};
    // A new window with nothing selected.
    for (UInt32 c : needSelection) EXPECT_EQ(ViewCommandEnabled(view, c), kCommandDisabled) << c;
    EXPECT_EQ(ViewCommandEnabled(view, kCmdSelectAll), kDecidedElsewhere);
    EXPECT_EQ(ViewCommandEnabled(view, kCmdPreviousState), kCommandDisabled);
    EXPECT_EQ(ViewCommandEnabled(view, kCmdNextState), kCommandDisabled);
    EXPECT_EQ(ViewCommandEnabled(view, kCmdShowAll), kCommandDisabled);
    EXPECT_EQ(ViewCommandEnabled(view, kCmdActualSize), kCommandDisabled);
    EXPECT_EQ(ViewCommandEnabled(view, kCmdZoomIn), kCommandEnabled);
    // Show Last Import follows the items the last import marked.
    EXPECT_EQ(ViewCommandEnabled(view, kCmdShowLastImport), Flag(CatalogCountMarked(catalog) > 0));
    for (SInt32 i = 0; i < catalog->itemCount; ++i) catalog->entries[i].flags &= ~kEntryAddedFlag;
    EXPECT_EQ(ViewCommandEnabled(view, kCmdShowLastImport), kCommandDisabled);
    EXPECT_EQ(ViewCommandEnabled(view, kCmdRotateLeft), kCommandDisabled);
    EXPECT_TRUE(ViewCommandChecked(view, kCmdThumbnailView));
    EXPECT_FALSE(ViewCommandChecked(view, kCmdPlay));

    // One item selected: a JPEG can be rotated.
    ViewSelectItem(view, 2, kSelectAlone, false);
    for (UInt32 c : needSelection) EXPECT_EQ(ViewCommandEnabled(view, c), kCommandEnabled) << c;
    EXPECT_EQ(ViewCommandEnabled(view, kCmdRotateRight), kCommandEnabled);

    // Hidden items enable Show All and Show Hidden; a filter change enables Show Previous State.
    ViewHideSelected(view);
    EXPECT_EQ(ViewCommandEnabled(view, kCmdShowAll), kCommandEnabled);
    EXPECT_EQ(ViewCommandEnabled(view, kCmdShowHidden), kCommandEnabled);
    ViewAddFilter(view, kFilterOrganizeEntry, 162, 1, true);
    EXPECT_EQ(ViewCommandEnabled(view, kCmdPreviousState), kCommandEnabled);
    ViewGoBack(view);
    EXPECT_EQ(ViewCommandEnabled(view, kCmdNextState), kCommandEnabled);

    // Actual Size only in Media view, its text following the presenter's state.
    ViewShowAll(view);
    ASSERT_TRUE(ViewRunCommand(view, kCmdMediaView));
    EXPECT_TRUE(ViewCommandChecked(view, kCmdMediaView));
    EXPECT_EQ(ViewCommandEnabled(view, kCmdActualSize), kCommandEnabled);
    CatalogGetSlotRec16(catalog, kViewMedia)->sizeStep = kShowScaledToFit;
    MediaObjectSetShowFlag(view->media, kShowScaledToFit);
    EXPECT_STREQ(ViewActualSizeMenuText(view), "Actual Size\tCtrl+0");
    ASSERT_TRUE(ViewRunCommand(view, kCmdActualSize));
    EXPECT_STREQ(ViewActualSizeMenuText(view), "Scale to Fit\tCtrl+0");
}

TEST_F(ViewTest, LabelCommandsReachTheEngine) {
    AddItems(3);
    MakeView(kViewList, 400, 300);
    ViewSelectItem(view, 1, kSelectAlone, false);
    ASSERT_TRUE(ViewRunCommand(view, kCmdLabelFirst + 2));   // label 3
    EXPECT_EQ(ItemGetLabel(catalog, 1), 3);
    ASSERT_TRUE(ViewRunCommand(view, kCmdShowLabelFirst + 2));
    EXPECT_EQ(ViewItemCount(view), 1);
    ASSERT_TRUE(ViewRunCommand(view, kCmdRemoveLabel));
    EXPECT_EQ(ItemGetLabel(catalog, 1), 0);
    EXPECT_FALSE(ViewRunCommand(view, kCmdShowDuplicates));
}
