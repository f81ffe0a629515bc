// Run Slide Show from a catalog window: the window hides and takes the show's keys while the
// show of its items runs, the show moves on, and Escape brings the window back with its own
// keys, the item shown last selected and the screen saver hold given back.
#include "appui/AppTestSupport.h"
#include "../output/SlideShowPictures.h"

#include "app/ui/commands/CMenuHandler.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/tables/CatalogTables.h"
#include "output/slideshow/CatalogSlideHost.h"
#include "output/ui/slideshow/CSlideStageWindow.h"
#include "window/view/ViewRec.h"

#include <wx/accel.h>

namespace {

constexpr int kRunSlideShow = 32919;

TEST_F(AppTest, RunSlideShowHidesTheWindowUntilEscapeAndGivesItsKeysBack) {
    const std::string catalogPath = CopyCatalog("empty.lxc", "Show.lxc");
    ASSERT_TRUE(Start({catalogPath}));
    CMainFrame* frame = Frame(0);
    std::vector<std::string> pictures;
    const double colours[5][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {1, 1, 1}};
    for (int i = 0; i < 5; ++i) {
        pictures.push_back(files_ / ("p" + std::to_string(i + 1) + ".png"));
        ASSERT_TRUE(WriteFlatPng(pictures.back(), 64, 48, colours[i][0], colours[i][1], colours[i][2]));
    }
    ASSERT_EQ(noErr, frame->AddFiles(pictures));
    ASSERT_TRUE(PumpUntil([frame] { return CatalogGetItemCount(frame->GetCatalog()) == 5; }));

    SlideShowSettings settings = SlideShowDefaultSettings();
    settings.slideSeconds = 0;   // every tick moves on
    *CatalogSlideSettings(frame->GetCatalog()) = settings;
    ASSERT_TRUE(frame->GetAcceleratorTable()->IsSameAs(GetApp().Accelerators()));

    ASSERT_TRUE(frame->GetMenuHandler()->Execute(kRunSlideShow));
    CSlideStageWindow* stage = SlideShowStageWindow();
    ASSERT_NE(nullptr, stage);
    EXPECT_FALSE(frame->IsShown()) << "the catalog window steps aside";
    EXPECT_FALSE(frame->GetAcceleratorTable()->IsSameAs(GetApp().Accelerators())) << "the show's keys";
    EXPECT_TRUE(PumpUntil([stage] { return stage->Show().Current() >= 3; }, 5000)) << "the show moves on";

    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    stage->GetEventHandler()->ProcessEvent(escape);
    ASSERT_TRUE(PumpUntil([] { return SlideShowStageWindow() == nullptr; }, 5000));
    EXPECT_TRUE(frame->IsShown());
    EXPECT_TRUE(frame->GetAcceleratorTable()->IsSameAs(GetApp().Accelerators()));
    EXPECT_GE(ViewGetCurrentItem(frame->GetViewRec()), 3) << "the item shown last is the window's";
    EXPECT_FALSE(SlideShowIsRunning());
}

}  // namespace
