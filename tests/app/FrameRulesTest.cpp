// The decisions of the catalog windows: closing a frame (asking, saving, staying), where an
// opened catalog goes, the frame list with its main-window role, and window placement.
#include "app/FrameGeometry.h"
#include "app/FrameList.h"
#include "app/FrameRules.h"

#include <gtest/gtest.h>

namespace {

struct CloseCase {
    const char* what;
    CloseFacts facts;
    int answer;        // what the question answers, when asked
    bool saveWorks;
    bool expectAsked;
    bool expectSaveTried;
    CloseOutcome::Action expectAction;
    int expectResult;
};

TEST(CloseFrame, TheTableOfModesAndCatalogStates) {
    using A = CloseOutcome;
    // mode, modified, items, hasFile, frames, closeKeepsLast
    const CloseCase cases[] = {
        {"ask, unmodified", {kCloseAsking, false, 5, true, 2, false}, kAnswerCancel, true, false, false, A::kClose, 1},
        {"ask, modified with items, cancel", {kCloseAsking, true, 5, true, 2, false}, kAnswerCancel, true, true, false, A::kStay, 2},
        {"ask, modified with items, don't save", {kCloseAsking, true, 5, false, 2, false}, kAnswerDontSave, true, true, false, A::kClose, 1},
        {"ask, modified with items, save works", {kCloseAsking, true, 5, true, 2, false}, kAnswerSave, true, true, true, A::kClose, 1},
        {"ask, modified with items, save fails", {kCloseAsking, true, 5, true, 2, false}, kAnswerSave, false, true, true, A::kStay, 2},
        {"ask, untitled with items, save as cancelled", {kCloseAsking, true, 3, false, 1, false}, kAnswerSave, false, true, true, A::kStay, 2},
        {"ask, modified without items but with a file", {kCloseAsking, true, 0, true, 2, false}, kAnswerDontSave, true, true, false, A::kClose, 1},
        {"ask, untitled modified without items", {kCloseAsking, true, 0, false, 2, false}, kAnswerCancel, true, false, false, A::kClose, 1},
        {"save mode, save works", {kCloseSaving, false, 0, true, 2, false}, kAnswerCancel, true, false, true, A::kClose, 1},
        {"save mode, save fails", {kCloseSaving, true, 4, true, 2, false}, kAnswerCancel, false, false, true, A::kStay, 2},
        {"discard mode, modified", {kCloseDiscarding, true, 4, true, 2, false}, kAnswerCancel, false, false, false, A::kClose, 1},
        {"File > Close on the only frame", {kCloseAsking, false, 4, true, 1, true}, kAnswerCancel, true, false, false, A::kStayWithNewCatalog, 1},
        {"File > Close on one of two frames", {kCloseAsking, false, 4, true, 2, true}, kAnswerCancel, true, false, false, A::kClose, 1},
        {"close box on the only frame", {kCloseAsking, false, 4, true, 1, false}, kAnswerCancel, true, false, false, A::kClose, 1},
        {"File > Close, only frame, save fails", {kCloseAsking, true, 4, true, 1, true}, kAnswerSave, false, true, true, A::kStay, 2},
    };
    for (const CloseCase& c : cases) {
        bool asked = false, saved = false;
        const CloseOutcome out = DecideClose(
            c.facts, [&] { asked = true; return c.answer; }, [&] { saved = true; return c.saveWorks; });
        EXPECT_EQ(c.expectAsked, asked) << c.what;
        EXPECT_EQ(c.expectAsked, out.asked) << c.what;
        EXPECT_EQ(c.expectSaveTried, saved) << c.what;
        EXPECT_EQ(c.expectAction, out.action) << c.what;
        EXPECT_EQ(c.expectResult, out.result) << c.what;
    }
}

TEST(OpenCatalog, WhereACatalogGoes) {
    struct Case { bool shown, exists, untitled; long items; OpenPlace place; };
    const Case cases[] = {
        {true, true, true, 0, OpenPlace::kShowExistingFrame},
        {true, false, false, 3, OpenPlace::kShowExistingFrame},
        {false, false, true, 0, OpenPlace::kNothing},
        {false, true, true, 0, OpenPlace::kThisFrame},
        {false, true, true, 1, OpenPlace::kNewFrame},
        {false, true, false, 0, OpenPlace::kNewFrame},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.place, DecideOpenPlace(c.shown, c.exists, c.untitled, c.items))
            << c.shown << c.exists << c.untitled << c.items;
}

TEST(FrameList, TheMainWindowRoleMovesToTheFirstOtherFrame) {
    int a, b, c;
    FrameList<int> list;
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    EXPECT_EQ(&a, list.Main());
    list.HandOverMainWindow(&b);  // not the holder: nothing moves
    EXPECT_EQ(&a, list.Main());
    list.HandOverMainWindow(&a);
    EXPECT_EQ(&b, list.Main());
    list.Remove(&a);
    EXPECT_EQ(&b, list.Main());
    list.Remove(&b);
    EXPECT_EQ(&c, list.Main());
    list.HandOverMainWindow(&c);  // a lone frame keeps the role
    EXPECT_EQ(&c, list.Main());
    list.Remove(&c);
    EXPECT_EQ(nullptr, list.Main());
    EXPECT_EQ(nullptr, list.At(0));
}

TEST(FrameList, TheWindowMenuListsTheFirstTenOfElevenFrames) {
    int frames[11];
    FrameList<int> list;
    for (int& f : frames) list.Add(&f);
    const auto menu = list.WindowMenuFrames();
    ASSERT_EQ(10u, menu.size());
    EXPECT_EQ(&frames[0], menu.front());
    EXPECT_EQ(&frames[9], menu.back());
    EXPECT_EQ(&frames[10], list.At(10));
    EXPECT_EQ(nullptr, list.At(11));
}

TEST(FramePlacement, AStoredRectangleIsKeptInsideTheNearestWorkArea) {
    const std::vector<ScreenRect> two = {{0, 0, 1920, 1050}, {1920, 0, 1280, 1000}};
    struct Case { const char* what; ScreenRect stored; bool neverSaved; ScreenRect expected; };
    const Case cases[] = {
        {"inside stays", {100, 100, 800, 600}, false, {100, 100, 800, 600}},
        {"on a monitor that is gone", {5000, 300, 800, 600}, false, {2400, 300, 800, 600}},
        {"left of everything", {-900, -50, 800, 600}, false, {0, 0, 800, 600}},
        {"larger than the area", {0, 0, 3000, 2000}, false, {0, 0, 1920, 1050}},
        {"mostly on the second", {1800, 100, 800, 600}, false, {1920, 100, 800, 600}},
        {"untitled moves 25 x 25", {100, 100, 800, 600}, true, {125, 125, 800, 600}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, PlaceFrameRect(c.stored, c.neverSaved, nullptr, two)) << c.what;
}

TEST(FramePlacement, AnUntitledFrameFollowsItsReferenceFrame) {
    const ScreenRect reference{300, 200, 1000, 700};
    EXPECT_EQ((ScreenRect{325, 225, 800, 600}),
              PlaceFrameRect({0, 0, 800, 600}, true, &reference, {{0, 0, 1920, 1080}}));
    // at the bottom right edge the step is pulled back inside
    const ScreenRect corner{1100, 450, 800, 600};
    EXPECT_EQ((ScreenRect{1120, 475, 800, 600}),
              PlaceFrameRect({0, 0, 800, 600}, true, &corner, {{0, 0, 1920, 1080}}));
}

TEST(FramePlacement, TilesFillTheAreaWithoutGapsAndCascadesStayInside) {
    const ScreenRect area{10, 20, 1001, 700};
    const auto across = TileRects(area, 3, true);
    ASSERT_EQ(3u, across.size());
    EXPECT_EQ(10, across[0].x);
    EXPECT_EQ(across[0].x + across[0].width, across[1].x);
    EXPECT_EQ(across[1].x + across[1].width, across[2].x);
    EXPECT_EQ(1011, across[2].x + across[2].width);
    const auto down = TileRects(area, 2, false);
    EXPECT_EQ(20, down[0].y);
    EXPECT_EQ(720, down[1].y + down[1].height);
    EXPECT_EQ(1001, down[1].width);
    for (const ScreenRect& r : CascadeRects(area, 40, 25)) {
        EXPECT_GE(r.x, area.x);
        EXPECT_LE(r.x + r.width, area.x + area.width);
        EXPECT_LE(r.y + r.height, area.y + area.height);
    }
    EXPECT_TRUE(TileRects(area, 0, true).empty());
}

}  // namespace
