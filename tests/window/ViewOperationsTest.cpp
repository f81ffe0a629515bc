// Item loops, moving in the catalog order, removal and Move to Recycle Bin with real files.
#include "ViewTestSupport.h"

#include "catalog/items/ItemFiles.h"
#include "import/adding/AddFiles.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewOperations.h"
#include "window/view/ViewPlayback.h"

#include <glib.h>

#include <filesystem>

namespace {

struct LoopLog {
    std::vector<SInt32> items;
    SInt32 failAt = 0;
    OSErr failWith = noErr;
};

OSErr LogItem(void* refCon, CatalogRec*, SInt32 item, long parameter) {
    auto* log = static_cast<LoopLog*>(refCon);
    log->items.push_back(item);
    return item == log->failAt ? log->failWith : OSErr(noErr);
}

class RecordingAlerts : public ViewAlerts {
public:
    bool Confirm(int kind, const std::string& text, const std::string& catalogName) override {
        asked.push_back(text + "|" + catalogName);
        return answer;
    }
    void ReportRecycleFailures(int count) override { reported.push_back(count); }
    bool answer = true;
    std::vector<std::string> asked;
    std::vector<int> reported;
};

}  // namespace

TEST_F(ViewTest, ItemLoopRunsOverTheSelectionInItemOrderAndStopsAtTheFirstError) {
    AddItems(6);
    MakeView(kViewList, 400, 300);
    for (SInt32 i : {5, 2, 4}) ViewSelectItem(view, i, kSelectAdd, false);
    LoopLog log;
    EXPECT_EQ(ViewRunOnItems(view, LogItem, &log, false, true, nullptr, kItemLoopThreshold, 0), noErr);
    EXPECT_EQ(log.items, (std::vector<SInt32>{2, 4, 5}));
    // Below the threshold: a wait cursor, put back afterwards; no progress window.
    EXPECT_EQ(hooks.progressStarts, 0);
    ASSERT_FALSE(hooks.cursors.empty());
    EXPECT_EQ(hooks.cursors.back(), kCursorArrow);

    log = LoopLog{{}, 4, -43};
    EXPECT_EQ(ViewRunOnItems(view, LogItem, &log, false, true, nullptr, kItemLoopThreshold, 0), -43);
    EXPECT_EQ(log.items, (std::vector<SInt32>{2, 4}));

    log = LoopLog{};
    EXPECT_EQ(ViewRunOnItems(view, LogItem, &log, true, true, nullptr, kItemLoopThreshold, 0), noErr);
    EXPECT_EQ(log.items.size(), 6u);

    hooks.escape = true;
    log = LoopLog{};
    EXPECT_EQ(ViewRunOnItems(view, LogItem, &log, false, true, nullptr, kItemLoopThreshold, 0), userCanceledErr);
    EXPECT_TRUE(log.items.empty());
}

TEST_F(ViewTest, LongItemLoopsShowProgressAndCancel) {
    AddItems(150);
    MakeView(kViewList, 400, 300);
    ViewSelectAll(view);
    LoopLog log;
    const unsigned char title[] = "\x14Rotating thumbnails:";
    EXPECT_EQ(ViewRunOnItems(view, LogItem, &log, false, true, title, kItemLoopThreshold, 0), noErr);
    EXPECT_EQ(log.items.size(), 150u);
    EXPECT_EQ(hooks.progressTitle, "Rotating thumbnails:");
    EXPECT_EQ(hooks.progressTotal, 150);
    EXPECT_EQ(hooks.progressEnds, 1);

    hooks.progressSteps = 0;
    hooks.cancelAtStep = 1;
    log = LoopLog{};
    EXPECT_EQ(ViewRunOnItems(view, LogItem, &log, false, true, title, kItemLoopThreshold, 0), userCanceledErr);
    EXPECT_TRUE(log.items.empty());
    EXPECT_EQ(hooks.progressEnds, 2);
    // A loop that may not be cancelled goes on.
    hooks.progressSteps = 0;
    log = LoopLog{};
    EXPECT_EQ(ViewRunOnItems(view, LogItem, &log, false, false, title, kItemLoopThreshold, 0), noErr);
    EXPECT_EQ(log.items.size(), 150u);
}

TEST_F(ViewTest, MoveToTopKeepsTheMovedItemsSelectedAndTheCurrentItemCurrent) {
    AddItems(6);
    MakeView(kViewList, 400, 300);
    const UInt32 id5 = ItemGetId(catalog, 5), id3 = ItemGetId(catalog, 3), id6 = ItemGetId(catalog, 6);
    ViewSelectItem(view, 5, kSelectAlone, false);
    ViewSelectItem(view, 3, kSelectAdd, false);
    ViewSelectItem(view, 6, kSelectAdd, false);
    ASSERT_EQ(view->currentItem, 5);
    EXPECT_TRUE(ViewMoveSelection(view, 1, true));
    EXPECT_EQ((std::vector<UInt32>{ItemGetId(catalog, 1), ItemGetId(catalog, 2), ItemGetId(catalog, 3)}),
              (std::vector<UInt32>{id3, id5, id6}));
    EXPECT_EQ(Selected(), (std::vector<SInt32>{1, 2, 3}));
    EXPECT_EQ(ItemGetId(catalog, view->currentItem), id5);
    // Moving to the current item's own place, or without a current item, does nothing.
    EXPECT_FALSE(ViewMoveSelection(view, 2, true));
    EXPECT_FALSE(ViewMoveSelection(view, 3, true));
    EXPECT_TRUE(ViewMoveSelection(view, -1, true));
    EXPECT_EQ(ItemGetId(catalog, 6), id6);
}

TEST_F(ViewTest, RemovingItemsMakesTheItemAtTheFirstRemovedPlaceCurrent) {
    AddItems(5);
    MakeView(kViewList, 400, 300);
    const UInt32 id4 = ItemGetId(catalog, 4);
    ViewSelectItem(view, 2, kSelectAlone, false);
    ViewSelectItem(view, 3, kSelectAdd, false);
    RecordingAlerts alerts;
    SetViewAlerts(&alerts);
    ViewRemoveSelection(view);
    EXPECT_TRUE(alerts.asked.empty());
    EXPECT_EQ(ViewItemCount(view), 3);
    EXPECT_EQ(view->currentItem, 2);
    EXPECT_EQ(ItemGetId(catalog, 2), id4);
    EXPECT_EQ(Selected(), std::vector<SInt32>{2});
    // Delete asks first and stops on No.
    alerts.answer = false;
    ViewDeleteSelection(view);
    EXPECT_EQ(alerts.asked, std::vector<std::string>{"'item004.jpg'|"});
    EXPECT_EQ(ViewItemCount(view), 3);
    SetViewAlerts(nullptr);
}

TEST_F(ViewTest, DescribeSelectionNamesOneItemOrCountsThem) {
    AddItems(4);
    MakeView(kViewList, 400, 300);
    ViewSelectItem(view, 3, kSelectAlone, false);
    Str255 text;
    DescribeSelection(view, text);
    EXPECT_EQ(PText(text), "'item003.jpg'");
    ViewSelectAll(view);
    DescribeSelection(view, text);
    EXPECT_EQ(PText(text), "4 selected items");
}

TEST_F(ViewTest, AssignLabelBeepsWithNothingSelected) {
    AddItems(2);
    MakeView(kViewList, 400, 300);
    ViewAssignLabel(view, 4);
    EXPECT_EQ(hooks.beeps, 1);
    EXPECT_EQ(ItemGetLabel(catalog, 1), 0);
}

TEST_F(ViewTest, RecycleMovesFilesToTheTrashAndKeepsItemsWhoseFileCouldNotGo) {
    const std::string samples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";
    std::vector<FSSpec> specs;
    for (const char* f : {"Canon.jpg", "GIF.gif", "BMP.bmp"}) {
        const std::string to = folder / ("media/" + std::string(f));
        std::filesystem::create_directories(folder / "media");
        std::filesystem::copy_file(samples + f, to);
        FSSpec s;
        FSMakeFSSpecFromPath(to, &s);
        specs.push_back(s);
    }
    SInt32 added = 0;
    ASSERT_EQ(CatalogAddFiles(catalog, 0, specs.data(), 3, nullptr, 0, &added), noErr);
    MakeView(kViewList, 400, 300);
    // The second file is gone from its folder before it is recycled.
    FSSpec second;
    ASSERT_EQ(CatalogFindItemPath(catalog, 2, &second), noErr);
    std::filesystem::remove(second.path);
    const UInt32 id2 = ItemGetId(catalog, 2);
    ViewSelectAll(view);
    RecordingAlerts alerts;
    SetViewAlerts(&alerts);
    EXPECT_EQ(ViewRecycleSelection(view, true, true), 1);
    EXPECT_EQ(alerts.asked, std::vector<std::string>{"3 selected items|"});
    EXPECT_EQ(alerts.reported, std::vector<int>{1});
    ASSERT_EQ(ViewItemCount(view), 1);
    EXPECT_EQ(ItemGetId(catalog, 1), id2);
    for (const FSSpec& s : specs) EXPECT_FALSE(std::filesystem::exists(s.path)) << s.path;
    // The two files that went are in the user's trash.
    const std::string trash = std::string(std::getenv("XDG_DATA_HOME")) + "/Trash/files";
    EXPECT_TRUE(std::filesystem::exists(trash + "/Canon.jpg"));
    EXPECT_TRUE(std::filesystem::exists(trash + "/BMP.bmp"));
    SetViewAlerts(nullptr);
}

TEST_F(ViewTest, RecyclingAPictureTakesItsSoundAnnotationToTheTrashToo) {
    const std::string samples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";
    std::filesystem::create_directories(folder / "media");
    std::filesystem::copy_file(samples + "Canon.jpg", folder / "media/Voice.jpg");
    folder.Write("media/Voice.WAV", "RIFF");
    folder.Write("media/Other.WAV", "another picture's");
    FSSpec spec;
    FSMakeFSSpecFromPath(folder / "media/Voice.jpg", &spec);
    SInt32 added = 0;
    ASSERT_EQ(CatalogAddFiles(catalog, 0, &spec, 1, nullptr, 0, &added), noErr);
    MakeView(kViewList, 400, 300);
    ViewSelectAll(view);
    EXPECT_EQ(ViewRecycleSelection(view, false, false), 0);
    EXPECT_EQ(ViewItemCount(view), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "media/Voice.jpg"));
    EXPECT_FALSE(std::filesystem::exists(folder / "media/Voice.WAV"));
    EXPECT_TRUE(std::filesystem::exists(folder / "media/Other.WAV"));
    // GIO keeps the data folder it found first for the whole process.
    const std::string trash = std::string(g_get_user_data_dir()) + "/Trash/files";
    EXPECT_TRUE(std::filesystem::exists(trash + "/Voice.jpg"));
    EXPECT_EQ(TempFolder::Read(trash + "/Voice.WAV"), "RIFF");
}

TEST_F(ViewTest, RebuildOneItemReadsTheFileAgainAndFailsForAMissingFile) {
    const std::string samples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";
    std::filesystem::create_directories(folder / "media");
    std::filesystem::copy_file(samples + "Nikon.jpg", folder / "media/Nikon.jpg");
    std::filesystem::copy_file(samples + "Canon.jpg", folder / "media/Canon.jpg");
    FSSpec specs[2];
    FSMakeFSSpecFromPath(folder / "media/Nikon.jpg", &specs[0]);
    FSMakeFSSpecFromPath(folder / "media/Canon.jpg", &specs[1]);
    SInt32 added = 0;
    ASSERT_EQ(CatalogAddFiles(catalog, 0, specs, 2, nullptr, 0, &added), noErr);
    MakeView(kViewMedia, 400, 300);
    ItemRec before;
    ASSERT_EQ(ItemReadRecord(catalog, 1, &before), noErr);
    EXPECT_EQ(ViewRebuildOneItem(catalog, view->media, 1), noErr);
    ItemRec after;
    ASSERT_EQ(ItemReadRecord(catalog, 1, &after), noErr);
    EXPECT_GT(after.width, 0u);
    EXPECT_FALSE(ItemIsPendingRefresh(catalog, 1));
    std::filesystem::remove(folder / "media/Canon.jpg");
    EXPECT_EQ(ViewRebuildOneItem(catalog, view->media, 2), fnfErr);
}

TEST_F(ViewTest, TransformRunsTheItemProcedureWithTheCodeAndPausesPlayback) {
    AddItems(120);
    MakeView(kViewThumbnail, 400, 300);
    ViewSelectAll(view);
    ViewTogglePlayback(view);
    struct Seen {
        std::vector<long> codes;
        bool playingDuringLoop = false;
        ViewRec* view = nullptr;
    } seen;
    seen.view = view;
    auto proc = [](void* ref, CatalogRec*, SInt32, long code) -> OSErr {
        auto* s = static_cast<Seen*>(ref);
        s->codes.push_back(code);
        s->playingDuringLoop |= ViewIsPlaying(s->view);
        return noErr;
    };
    EXPECT_EQ(ViewTransformSelection(view, kTransformRotateRight, proc, &seen), noErr);
    EXPECT_EQ(seen.codes.size(), 120u);
    EXPECT_EQ(seen.codes.front(), kTransformRotateRight);
    EXPECT_FALSE(seen.playingDuringLoop);
    EXPECT_TRUE(ViewIsPlaying(view));
    EXPECT_EQ(hooks.progressTitle, "Rotating thumbnails:");
}
