// The parts of a catalog window on their own, each in a plain test frame: the status bar's
// busy icon and drop text, the side panel's width rules and drag, the container's layout and
// the tool bar's buttons and looks.
#include "appui/AppTestSupport.h"

#include "foundation/ui/CommandIds.h"
#include "window/ui/CGridContainer.h"
#include "window/ui/CGridView.h"
#include "window/ui/CMediaStatusBar.h"
#include "window/ui/CMediaToolBar.h"
#include "window/ui/CMyTabCtrl.h"
#include "window/ui/CSidePanel.h"

#include <wx/artprov.h>
#include <wx/frame.h>
#include <wx/image.h>

namespace {

class WindowPartsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (IsSkipped()) return;
        frame_ = new wxFrame(nullptr, wxID_ANY, "parts", wxPoint(20, 20), wxSize(900, 600));
        frame_->Show();
    }
    void TearDown() override {
        if (frame_) frame_->Destroy();
        AppTest::TearDown();
    }
    wxFrame* frame_ = nullptr;
};

TEST_F(WindowPartsTest, TheBusyIconShowsForTheNextTaskAfterExtraDoneCalls) {
    auto* bar = new CMediaStatusBar(frame_);
    frame_->SetStatusBar(bar);
    bar->SetBusy(false);
    bar->SetBusy(false);
    bar->SetBusy(true);
    EXPECT_EQ(1, bar->BusyCount());
    wxRect busy, idle;
    ASSERT_TRUE(bar->GetFieldRect(2, busy));
    bar->SetBusy(false);
    EXPECT_EQ(0, bar->BusyCount());
    ASSERT_TRUE(bar->GetFieldRect(2, idle));
    EXPECT_GT(busy.width, idle.width) << "the busy pane opens only while tasks run";
}

TEST_F(WindowPartsTest, WhileSuppressedTheStatusKeepsItsTextButADragShowsTheDropPosition) {
    auto* bar = new CMediaStatusBar(frame_);
    frame_->SetStatusBar(bar);
    bar->SetText("3 items in list");
    bar->SetSuppressText(true);
    bar->SetText("4 items in list");
    EXPECT_EQ("3 items in list", bar->ShownText());
    bar->SetDragMode(true);
    bar->ShowDropPosition(7);
    EXPECT_EQ("7", bar->ShownText());
    bar->SetDragMode(false);
    bar->SetSuppressText(false);
    EXPECT_EQ("4 items in list", bar->ShownText());
}

TEST_F(WindowPartsTest, TheSidePanelWidensToItsMinimumAndGivesWayToTheParent) {
    auto* container = new CGridContainer(frame_);
    frame_->SendSizeEvent();
    Pump();
    CSidePanel* panel = container->GetSidePanel();
    panel->SetWidth(100);
    panel->ShowPane(1);
    container->LayoutChildren();
    EXPECT_EQ(250, panel->GetWidth());
    EXPECT_EQ(256, panel->GetRect().GetRight() + 1) << "inner left 7, grown by one, 250 wide";
    EXPECT_EQ(257, container->GetGridView()->GetPosition().x);
    frame_->SetClientSize(378, 400);
    Pump();
    EXPECT_EQ(249, panel->GetWidth()) << "two thirds of the parent win over the minimum";
    panel->ShowPane(0);
    container->LayoutChildren();
    EXPECT_EQ(0, panel->GetWidth());
    EXPECT_EQ(7, container->GetGridView()->GetPosition().x);
    EXPECT_EQ(7, container->GetTabCtrl()->GetPosition().x);
}

TEST_F(WindowPartsTest, DraggingTheSplitterLeftOfTheLimitHidesThePanelAndKeepsItsWidth) {
    auto* container = new CGridContainer(frame_);
    frame_->SendSizeEvent();
    Pump();
    CSidePanel* panel = container->GetSidePanel();
    panel->SetWidth(300);
    panel->ShowPane(2);
    container->LayoutChildren();
    const int strip = panel->GetClientSize().x - 2;
    wxMouseEvent down(wxEVT_LEFT_DOWN);
    down.SetPosition(wxPoint(strip, 10));
    panel->GetEventHandler()->ProcessEvent(down);
    wxMouseEvent move(wxEVT_MOTION);
    move.SetLeftDown(true);
    move.SetPosition(wxPoint(400, 10));
    panel->GetEventHandler()->ProcessEvent(move);
    EXPECT_EQ(402, panel->GetWidth());
    wxMouseEvent up(wxEVT_LEFT_UP);
    up.SetPosition(wxPoint(100, 10));
    panel->GetEventHandler()->ProcessEvent(up);
    EXPECT_EQ(0, panel->GetShownPane());
    panel->ShowPane(2);
    EXPECT_EQ(402, panel->GetWidth()) << "shown again at the width it had";
}

TEST_F(WindowPartsTest, TheToolBarHoldsEighteenPositionsWithItsDropDownsAndGreyDisabledLooks) {
    auto* bar = new CMediaToolBar(frame_);
    frame_->SetToolBar(bar);
    EXPECT_EQ(18u, bar->GetToolsCount());
    for (int command : {32887, 32802, 33266, 32807}) {
        const wxToolBarToolBase* tool = bar->FindById(WxIdOf(command));
        ASSERT_NE(nullptr, tool) << command;
        EXPECT_EQ(wxITEM_DROPDOWN, tool->GetKind()) << command;
    }
    EXPECT_EQ("Info", bar->FindById(202)->GetLabel());
    const wxBitmap art = wxArtProvider::GetBitmap("media-playback-start", wxART_TOOLBAR, wxSize(24, 24));
    ASSERT_TRUE(art.IsOk());
    const wxImage grey = ToolbarDisabledBitmap(art).ConvertToImage();
    int coloured = 0;
    for (int y = 0; y < grey.GetHeight(); ++y)
        for (int x = 0; x < grey.GetWidth(); ++x) {
            const bool magenta = grey.GetRed(x, y) == 255 && grey.GetGreen(x, y) == 0 && grey.GetBlue(x, y) == 255;
            if (!magenta && (grey.GetRed(x, y) != grey.GetGreen(x, y) || grey.GetGreen(x, y) != grey.GetBlue(x, y))) ++coloured;
        }
    EXPECT_EQ(0, coloured) << "every pixel of the disabled look is grey";
}

TEST_F(WindowPartsTest, ATabClickSwitchesTheTabAndTellsTheParentOnce) {
    auto* tabs = new CMyTabCtrl(frame_, 101);
    tabs->SetSize(0, 0, 400, CMyTabCtrl::kHeight);
    int told = -1, count = 0;
    frame_->Bind(wxEVT_CHOICE, [&](wxCommandEvent& e) { told = e.GetInt(); ++count; });
    wxMouseEvent click(wxEVT_LEFT_DOWN);
    click.SetPosition(wxPoint(5, 10));  // inside the first tab, "List"
    tabs->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(0, tabs->GetCurSel());
    EXPECT_EQ(0, told);
    tabs->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(1, count) << "the tab already chosen tells nobody";
}

}  // namespace
