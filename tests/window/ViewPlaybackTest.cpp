// Playback over real picture files on the manual timer clock, the statistics pass and the
// status-bar texts.
#include "ViewTestSupport.h"

#include "import/adding/AddFiles.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewPlayback.h"

#include <filesystem>

namespace {
const std::string kSamples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";
}

class PlaybackTest : public ViewTest {
protected:
    // Imports copies of real still pictures (camera JPEGs, a BMP, a PNG); a GIF would open as a
    // movie and play in real time.
    void Import(int count, std::vector<std::string> files = {"Canon.jpg", "Casio.jpg", "BMP.bmp", "PNG.png", "Nikon.jpg"}) {
        std::vector<FSSpec> specs;
        for (int i = 0; i < count; ++i) {
            std::string to = folder / ("pictures/" + std::to_string(i + 1) + "-" +
                                       std::filesystem::path(files[i]).filename().string());
            std::filesystem::create_directories(folder / "pictures");
            std::filesystem::copy_file(kSamples + files[i], to);
            FSSpec s;
            FSMakeFSSpecFromPath(to, &s);
            specs.push_back(s);
        }
        SInt32 added = 0;
        ASSERT_EQ(CatalogAddFiles(catalog, 0, specs.data(), long(specs.size()), nullptr, 0, &added), noErr);
        ASSERT_EQ(added, count);
        Deliver();
        window.got.clear();
    }
};

TEST_F(PlaybackTest, StillsInMediaViewStayForTheStillDurationAndPlaybackLoops) {
    Import(3);
    GetPreferences()->stillsPause = 4;
    GetPreferences()->playlistMode = 0;
    MakeView(kViewMedia, 400, 300);
    ViewSelectItem(view, 1, kSelectAlone, false);
    ViewTogglePlayback(view);
    ASSERT_TRUE(ViewIsPlaying(view));
    EXPECT_EQ(MediaObjectGetPictureInfo(view->media), kMediaShowsPicture);
    // The picture stays until the first tick at or beyond 240 ticks.
    timers.Advance(3000);
    EXPECT_EQ(view->currentItem, 1);
    timers.Advance(1000);
    EXPECT_EQ(view->currentItem, 2);
    EXPECT_EQ(view->autoAdvanced, 1);
    timers.Advance(8000);
    EXPECT_EQ(view->currentItem, 1);   // past the last item playback goes on with item 1
    EXPECT_TRUE(MediaObjectGetFileSpec(view->media, nullptr));
    Deliver();
    EXPECT_EQ(window.Params(kCatalogMsgPlaybackChanged), std::vector<WPARAM>{1});
    ViewTogglePlayback(view);
    EXPECT_FALSE(ViewIsPlaying(view));
    Deliver();
    EXPECT_EQ(window.Params(kCatalogMsgPlaybackChanged), (std::vector<WPARAM>{1, 0}));
}

TEST_F(PlaybackTest, PlaybackDrawsThePictureIntoTheMediaCell) {
    Import(1, {"../orientation/landscape_1.jpg"});
    // Taller than the picture's shape, so the presenter keeps the picture whole at open (it
    // shrinks pictures larger than its window both ways right away).
    MakeView(kViewMedia, 400, 500, false);
    ViewSelectItem(view, 1, kSelectAlone, false);
    ViewTogglePlayback(view);
    ViewRedraw(view, nullptr);
    // A camera picture is shrunk to fit the view.
    EXPECT_LT(MediaObjectGetStateWord(view->media), 100);
    // The middle of the view holds picture pixels, not the background alone.
    PixelView px = GetGWorldPixels(port->world);
    std::set<std::uint32_t> colours;
    for (int h = 150; h < 250; h += 5)
        colours.insert(reinterpret_cast<const std::uint32_t*>(px.base + 150 * px.rowBytes)[h] & 0xFFFFFF);
    EXPECT_GT(colours.size(), 2u);
}

TEST_F(PlaybackTest, StopAfterEachItemStopsWhenTheItemEnds) {
    Import(2);
    GetPreferences()->playlistMode = 1;
    MakeView(kViewThumbnail, 400, 300);
    ViewSelectItem(view, 1, kSelectAlone, false);
    ViewTogglePlayback(view);
    timers.Advance(kPlaybackTickMs);
    EXPECT_FALSE(ViewIsPlaying(view));
    EXPECT_EQ(view->currentItem, 1);
    Deliver();
    EXPECT_EQ(window.Params(kCatalogMsgPlaybackChanged), (std::vector<WPARAM>{1, 0}));
}

TEST_F(PlaybackTest, OutsideMediaViewEveryTickMovesOnAndASingleItemStays) {
    Import(2);
    GetPreferences()->playlistMode = 0;
    MakeView(kViewList, 400, 300);
    ViewSelectItem(view, 2, kSelectAlone, false);
    ViewTogglePlayback(view);
    EXPECT_EQ(view->playItemId, ItemGetId(catalog, 2));
    timers.Advance(kPlaybackTickMs);
    EXPECT_EQ(view->playItemId, ItemGetId(catalog, 1));
    // The user's selection is not moved by playback outside Media view.
    EXPECT_EQ(view->currentItem, 2);
    ViewTogglePlayback(view);
    EXPECT_FALSE(ViewIsPlaying(view));
}

TEST_F(PlaybackTest, SingleItemPlaybackStaysOnItAndSpaceInAnEmptyViewDoesNothing) {
    MakeView(kViewMedia, 400, 300);
    EXPECT_TRUE(ViewKeyNavigate(view, kVKSpace, false, false));
    EXPECT_FALSE(ViewIsPlaying(view));
    ViewDispose(view);
    view = nullptr;
    ViewPortDispose(port);
    port = nullptr;
    Import(1);
    GetPreferences()->playlistMode = 0;
    MakeView(kViewMedia, 400, 300);
    ViewKeyNavigate(view, kVKSpace, false, false);
    ASSERT_TRUE(ViewIsPlaying(view));
    timers.Advance(20000);
    EXPECT_EQ(view->currentItem, 1);
    EXPECT_TRUE(ViewIsPlaying(view));
}

TEST_F(PlaybackTest, SwitchingModesWhilePlayingKeepsThePlayedItem) {
    Import(3);
    GetPreferences()->playlistMode = 0;
    MakeView(kViewThumbnail, 400, 300);
    ViewSelectItem(view, 1, kSelectAlone, false);
    ViewTogglePlayback(view);
    timers.Advance(kPlaybackTickMs);   // plays item 2 now, by itself
    ASSERT_EQ(view->playItemId, ItemGetId(catalog, 2));
    ViewSetMode(view, kViewMedia);
    EXPECT_TRUE(ViewIsPlaying(view));
    EXPECT_EQ(view->currentItem, 2);
}

TEST_F(ViewTest, StatusTextByteForByte) {
    AddItems(5);
    MakeView(kViewList, 400, 300);
    Str255 text;
    BuildStatusText(view, text);
    EXPECT_EQ(PText(text), "5 items in list");
    ViewSelectItem(view, 2, kSelectAlone, false);
    ViewSelectItem(view, 4, kSelectAdd, false);
    BuildStatusText(view, text);
    EXPECT_EQ(PText(text), "5 items in list  |  2 selected");
    ViewSelectItem(view, 4, kSelectRemove, false);
    BuildStatusText(view, text);
    EXPECT_EQ(PText(text), "5 items in list  |  1 selected [2]");
    catalog->entries[4].flags |= kEntryHiddenFlag;
    catalog->entries[3].flags |= kEntryHiddenFlag;
    catalog->hiddenCount = 2;
    BuildStatusText(view, text);
    EXPECT_EQ(PText(text), "2 hidden  |  3 items in list  |  1 selected [2]");
}

TEST_F(ViewTest, EmptyCatalogStatusTexts) {
    MakeView(kViewList, 400, 300);
    Str255 text;
    BuildStatusText(view, text);
    EXPECT_EQ(PText(text), "");
    BuildCatalogStatsText(view, text);
    EXPECT_EQ(PText(text), "Empty Catalog");
}

TEST_F(ViewTest, StatisticsPassAddsTheShownItemsSizesOneItemPerTick) {
    AddItems(3, "item", 1500);
    AddItems(1, "item", 2048);
    catalog->entries[0].flags |= kEntryHiddenFlag;
    catalog->hiddenCount = 1;
    MakeView(kViewList, 400, 300);
    ViewStartStatsPass(view);
    timers.Advance(kStatsTickMs * 2);
    EXPECT_NE(view->statsTimer, 0u);
    EXPECT_EQ(window.Count(kCatalogMsgStatusBar), 0);
    timers.Advance(kStatsTickMs);
    EXPECT_EQ(view->statsTimer, 0u);
    EXPECT_EQ(view->statsTotal, 1500u + 1500u + 2048u);
    EXPECT_EQ(window.Count(kCatalogMsgStatusBar), 1);
    Str255 text;
    BuildCatalogStatsText(view, text);
    const std::string s = PText(text);
    EXPECT_EQ(s.rfind("Catalog  ", 0), 0u) << s;
    EXPECT_NE(s.find("  |  Media "), std::string::npos) << s;
    EXPECT_EQ(s.substr(s.size() - 10), " (4.9 KB) ") << s;
}

TEST_F(ViewTest, DropPositionTexts) {
    AddItems(6);
    MakeView(kViewList, 400, 300);
    ViewSelectItem(view, 3, kSelectAlone, false);
    Str255 text;
    struct Case { SInt32 position; const char* text; };
    for (Case c : {Case{1, "Dropping at top of list"}, Case{7, "Dropping at bottom of list"}, Case{2, "Dropping at: 2"},
                   Case{3, "Dropping at: 2"}, Case{5, "Dropping at: 4"}}) {
        BuildDropPositionText(view, text, c.position);
        EXPECT_EQ(PText(text), c.text) << c.position;
    }
}

TEST_F(ViewTest, ErrorMessageIndexTable) {
    struct Case { OSErr code; int index; };
    for (Case c : {Case{0, 1}, Case{-1, 1}, Case{-11005, 2}, Case{-8961, 6}, Case{-2003, 6}, Case{25, 4}, Case{-108, 5},
                   Case{-43, 9}, Case{-54, 24}, Case{24, 23}, Case{-2008, 15}}) {
        EXPECT_EQ(ErrorMessageIndex(c.code), c.index) << c.code;
    }
    // The messages themselves are list 131.
    Str255 text;
    LoadIndexedString(text, 131, ErrorMessageIndex(-43));
    EXPECT_EQ(PText(text), "File not found");
    LoadIndexedString(text, 131, ErrorMessageIndex(-8961));
    EXPECT_EQ(PText(text), "Can't find media importer");
}
