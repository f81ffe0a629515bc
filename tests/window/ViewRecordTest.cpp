// The view record: creation checks, the selection bit layout, the state history and the order
// of teardown.
#include "ViewTestSupport.h"

#include "window/view/ViewPlayback.h"

TEST_F(ViewTest, CreateRefusesMissingPointerOrCatalogBeforeReadingAnything) {
    ViewRec* v = reinterpret_cast<ViewRec*>(0x1);
    EXPECT_EQ(ViewCreate(nullptr, nullptr, nullptr, catalog), paramErr);
    EXPECT_EQ(ViewCreate(&v, nullptr, nullptr, nullptr), paramErr);
}

TEST_F(ViewTest, NewRecordIsActiveWithEmptySelectionAndOneEmptyState) {
    ViewRec* v = nullptr;
    ASSERT_EQ(ViewCreate(&v, nullptr, nullptr, catalog), noErr);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->active, 1);
    EXPECT_EQ(v->selection.size(), 1000u);   // capacity 8,000 bits
    EXPECT_EQ(std::count(v->selection.begin(), v->selection.end(), 0), 1000);
    ASSERT_EQ(v->history.states.size(), 1u);
    EXPECT_TRUE(v->history.states.front().empty());
    EXPECT_EQ(v->history.pos, v->history.states.begin());
    EXPECT_EQ(ViewGetCurrentItem(v), 0);
    EXPECT_EQ(ViewCountFilters(v), 0);
    // The presenter starts closed, at the Media settings' percent, scaled to fit outside Media.
    EXPECT_FALSE(MediaObjectIsOpen(v->media));
    EXPECT_EQ(MediaObjectGetShowFlag(v->media), kShowScaledToFit);
    EXPECT_EQ(v->media->volume, 7);
    ViewDispose(v);
}

TEST_F(ViewTest, SelectionBitsFollowTheToolboxNumbering) {
    AddItems(10);
    MakeView(kViewList, 300, 200);
    ViewBitSet(view, 1);
    ViewBitSet(view, 9);
    EXPECT_EQ(view->selection[0], 0x80);
    EXPECT_EQ(view->selection[1], 0x80);
    ViewBitSet(view, 8);
    EXPECT_EQ(view->selection[0], 0x81);
    ViewBitClear(view, 1);
    EXPECT_EQ(view->selection[0], 0x01);
    EXPECT_TRUE(ViewBitTest(view, 8));
    EXPECT_FALSE(ViewBitTest(view, 0));
    EXPECT_FALSE(ViewBitTest(view, 8001));
}

namespace {
FilterSet Set(std::initializer_list<SInt32> folderIds) {
    FilterSet s;
    for (SInt32 id : folderIds) s.insert(FilterEntry{kFilterFolder, 0, id});
    return s;
}
}  // namespace

TEST_F(ViewTest, HistoryIgnoresAnEqualPushTruncatesAfterGoingBackAndKeeps64States) {
    ViewRec* v = nullptr;
    ASSERT_EQ(ViewCreate(&v, nullptr, nullptr, catalog), noErr);
    ViewHistoryPush(v, Set({1}));
    ViewHistoryPush(v, Set({1}));
    EXPECT_EQ(v->history.states.size(), 2u);

    ViewHistoryPush(v, Set({2}));
    ViewHistoryPush(v, Set({3}));
    --v->history.pos;   // one state back
    ViewHistoryPush(v, Set({4}));
    std::vector<FilterSet> states(v->history.states.begin(), v->history.states.end());
    EXPECT_EQ(states, (std::vector<FilterSet>{{}, Set({1}), Set({2}), Set({4})}));

    for (SInt32 i = 100; i < 165; ++i) ViewHistoryPush(v, Set({i}));
    EXPECT_EQ(v->history.states.size(), kHistoryLimit);
    EXPECT_EQ(v->history.states.front(), Set({101}));
    EXPECT_EQ(v->history.states.back(), Set({164}));
    EXPECT_EQ(std::next(v->history.pos), v->history.states.end());
    ViewDispose(v);
}

TEST_F(ViewTest, FilterEntriesOrderByKindKeyValueAsSignedNumbers) {
    FilterSet s{{2, 0, 5}, {1, 162, -1}, {1, 2, 7}, {1, 162, 3}};
    std::vector<FilterEntry> order(s.begin(), s.end());
    EXPECT_EQ(order, (std::vector<FilterEntry>{{1, 2, 7}, {1, 162, -1}, {1, 162, 3}, {2, 0, 5}}));
}

TEST_F(ViewTest, DisposeWhilePlayingStopsPlaybackBeforeTellingTheWindowsItIsGone) {
    AddItems(3);
    MakeView(kViewThumbnail, 400, 300);
    ViewSelectItem(view, 2, kSelectAlone, false);
    ViewTogglePlayback(view);
    ASSERT_TRUE(ViewIsPlaying(view));
    Deliver();
    window.got.clear();
    std::vector<UINT> seen;
    ViewRec* v = view;
    window.onMessage = [&](UINT m, WPARAM) {
        seen.push_back(m);
        if (m == kCatalogMsgViewDetached) {
            EXPECT_EQ(v->playTimer, 0u) << "still playing when the windows hear of the teardown";
            EXPECT_EQ(v->currentItem, 0);
        }
    };
    ViewDispose(view);
    view = nullptr;
    // 0x8076 is sent at once; the playback stop is posted and arrives after.
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), kCatalogMsgViewDetached);
    Deliver();
    EXPECT_EQ(window.Params(kCatalogMsgPlaybackChanged), std::vector<WPARAM>{0});
    EXPECT_EQ(catalog->infoItemId, 0u);
}

TEST_F(ViewTest, DisplayDefaultsTravelBetweenPreferencesAndTheirOwnRecord) {
    ViewRec* v = nullptr;
    ASSERT_EQ(ViewCreate(&v, nullptr, nullptr, catalog), noErr);
    GetPreferences()->windowRect = Rect{10, 20, 300, 400};
    GetPreferences()->viewBlock2064[7] = 0x5A;
    ViewTakeDefaults(v);
    EXPECT_EQ(v->defaults.windowRect.right, 400);
    ASSERT_NE(v->defaults.block2064, nullptr);
    EXPECT_EQ(v->defaults.block2064[7], 0x5A);
    v->defaults.windowRect.bottom = 333;
    ViewGiveBackDefaults(v);
    EXPECT_EQ(GetPreferences()->windowRect.bottom, 333);
    ViewDispose(v);
}
