// The progress window and the engines' progress calls: the step and percent rules, the cancel
// latch, which keys cancel, the fence that keeps other windows from taking input while an
// operation pumps, and where the window comes up.
#include "foundation/interface/ProgressCalls.h"
#include "foundation/settings/ProgramKey.h"
#include "foundation/ui/AppProgress.h"
#include "foundation/ui/CProgressWnd.h"
#include "foundation/ui/ProgressModel.h"
#include "foundation/ui/WxUiHooks.h"
#include "support/PascalString.h"
#include "ui/WxTestSupport.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

TEST(ProgressModelTest, StepsMapOntoTheBarAndThePercentChangesTheCaptionOnlyWhenItChanges) {
    ProgressModel m;
    m.Start(0, 350);
    EXPECT_EQ(175, m.PositionForStep(175));
    EXPECT_EQ(std::optional<int>(50), m.SetPos(175));
    EXPECT_EQ(std::nullopt, m.SetPos(176));  // still 50 %
    EXPECT_EQ("Progress [37%]", ProgressModel::Caption("Progress", 37));
    m.Start(0, 3);
    EXPECT_EQ(116, m.PositionForStep(1));  // 350 / 3, truncated
}

TEST(ProgressModelTest, AZeroOrNegativeTotalMakesNoProgress) {
    ProgressModel m;
    m.Start(0, 0);
    EXPECT_FALSE(m.Active());
    m.Start(0, -100);  // a count that overflowed 16 bits
    EXPECT_FALSE(m.Active());
    EXPECT_EQ(0, m.PositionForStep(50));
}

TEST(ProgressModelTest, ProgressWithinAStepShowsItsPercentAndMovesTheBar) {
    ProgressModel m;
    m.Start(0, 10);
    m.PositionForStep(3);
    std::string label;
    EXPECT_EQ((3 * 100 + 50) * 350 / (10 * 100), m.PositionForFraction(0.5, &label));
    EXPECT_EQ("50%", label);
    m.PositionForFraction(1.7, &label);
    EXPECT_EQ("100%", label);
    m.PositionForFraction(-0.2, &label);
    EXPECT_EQ("0%", label);
}

TEST(ProgressModelTest, ACancelLatchesUntilTheNextStartAndEscapeCountsOnlyForKindZero) {
    ProgressModel m;
    m.Start(1, 10);
    EXPECT_FALSE(m.EscapeCancels());
    m.Cancel();
    EXPECT_TRUE(m.Cancelled());
    m.SetPos(10);
    EXPECT_TRUE(m.Cancelled());
    m.Start(0, 10);
    EXPECT_FALSE(m.Cancelled());
    EXPECT_TRUE(m.EscapeCancels());
}

TEST(ProgressCallsTest, WithoutHooksNothingHappensAndNothingCancels) {
    SetUiHooks(nullptr);
    ProgressStartPStr(0, 10, nullptr);
    long step = 5;
    EXPECT_EQ(noErr, ProgressUpdatePStr(&step, nullptr, nullptr, nullptr));
    EXPECT_EQ(noErr, MovieProgressCallback(nullptr, 1, 0, 0x8000, 0));
    EXPECT_EQ(&MovieProgressCallback, GetBusyCallback());
    ProgressEndPStr();
}

class ProgressWindowTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (IsSkipped()) return;
        frame_->Show();
        progress_ = std::make_unique<AppProgress>(frame_);
        progress_->SetShowDelay(0);
        hooks_ = std::make_unique<WxUiHooks>(progress_.get());
        SetUiHooks(hooks_.get());
    }
    void TearDown() override {
        SetUiHooks(nullptr);
        hooks_.reset();
        progress_.reset();
        WxTest::TearDown();
    }
    static void Click(wxButton* button) {
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }
    static void Escape(wxWindow* window) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        key.SetEventObject(window);
        window->GetEventHandler()->ProcessEvent(key);
    }
    std::unique_ptr<AppProgress> progress_;
    std::unique_ptr<WxUiHooks> hooks_;
};

TEST_F(ProgressWindowTest, HalfTheStepsShowHalfTheBarAndTheCaptionsPercent) {
    PStr255 title("Saving catalog"), line("photo.jpg");
    ProgressStartPStr(1, 350, title.s);
    CProgressWnd* w = progress_->Window();
    ASSERT_TRUE(w);
    EXPECT_EQ("Saving catalog", w->Line1()->GetLabel());
    long step = 175;
    EXPECT_EQ(noErr, ProgressUpdatePStr(&step, nullptr, line.s, nullptr));
    EXPECT_EQ(175, w->Bar()->GetValue());
    EXPECT_EQ("Progress [50%]", w->GetTitle());
    EXPECT_EQ("photo.jpg", w->Line2()->GetLabel());
    EXPECT_EQ("Saving catalog", w->Line1()->GetLabel());  // null texts change nothing
    ProgressEndPStr();
    EXPECT_FALSE(progress_->IsBusy());
}

TEST_F(ProgressWindowTest, TheWindowAppearsOnlyOnceTheOperationHasLasted) {
    progress_->SetShowDelay(300);
    progress_->StartProgress(0, 10, "Short or long");
    long step = 1;
    progress_->UpdateProgress(&step, nullptr, nullptr, nullptr);
    EXPECT_FALSE(progress_->Window()->IsShown());
    EXPECT_FALSE(frame_->IsEnabled());  // fenced from the start, shown or not
    wxMilliSleep(350);
    step = 2;
    progress_->UpdateProgress(&step, nullptr, nullptr, nullptr);
    EXPECT_TRUE(progress_->Window()->IsShown());
    progress_->EndProgress();
}

TEST_F(ProgressWindowTest, OtherWindowsTakeNoInputWhileAnOperationRuns) {
    EXPECT_TRUE(frame_->IsEnabled());
    progress_->StartProgress(0, 10, "Working");
    EXPECT_TRUE(progress_->IsBusy());
    EXPECT_FALSE(frame_->IsEnabled());
    EXPECT_TRUE(progress_->Window()->IsEnabled());
    progress_->EndProgress();
    EXPECT_TRUE(frame_->IsEnabled());
}

TEST_F(ProgressWindowTest, TheCancelButtonCancelsEveryKindUntilTheOperationEnds) {
    progress_->StartProgress(3, 10, "Exporting");
    long step = 1;
    EXPECT_EQ(noErr, progress_->UpdateProgress(&step, nullptr, nullptr, nullptr));
    Click(progress_->Window()->CancelButton());
    EXPECT_FALSE(progress_->Window()->IsShown());
    EXPECT_EQ(userCanceledErr, progress_->UpdateProgress(&step, nullptr, nullptr, nullptr));
    EXPECT_EQ(userCanceledErr, progress_->UpdateProgress(nullptr, nullptr, nullptr, nullptr));
    progress_->EndProgress();
    progress_->StartProgress(3, 10, "Again");
    EXPECT_EQ(noErr, progress_->UpdateProgress(&step, nullptr, nullptr, nullptr));
    progress_->EndProgress();
}

TEST_F(ProgressWindowTest, EscapeCancelsOnlyOperationsOfKindZero) {
    progress_->StartProgress(1, 10, "Kind one");
    long step = 1;
    progress_->UpdateProgress(&step, nullptr, nullptr, nullptr);
    Escape(progress_->Window());
    EXPECT_EQ(noErr, progress_->UpdateProgress(&step, nullptr, nullptr, nullptr));
    progress_->EndProgress();

    progress_->StartProgress(0, 10, "Kind zero");
    progress_->UpdateProgress(&step, nullptr, nullptr, nullptr);
    Escape(progress_->Window());
    EXPECT_EQ(userCanceledErr, progress_->UpdateProgress(&step, nullptr, nullptr, nullptr));
    progress_->EndProgress();
}

TEST_F(ProgressWindowTest, AZeroTotalNeverUpdatesOrCancels) {
    progress_->StartProgress(0, 0, "Nothing to count");
    Click(progress_->Window()->CancelButton());
    long step = 3;
    EXPECT_EQ(noErr, progress_->UpdateProgress(&step, nullptr, nullptr, nullptr));
    progress_->EndProgress();
}

TEST_F(ProgressWindowTest, MovieProgressShowsThePercentOfTheStep) {
    progress_->StartProgress(1, 10, "Converting");
    long step = 3;
    progress_->UpdateProgress(&step, nullptr, nullptr, nullptr);
    EXPECT_EQ(noErr, MovieProgressCallback(nullptr, 1, 0, 0x8000, 0));
    EXPECT_EQ("50%", progress_->Window()->Label()->GetLabel());
    EXPECT_EQ((3 * 100 + 50) * 350 / 1000, progress_->Window()->Bar()->GetValue());
    EXPECT_EQ(noErr, MovieProgressCallback(nullptr, 2, 0, 0, 0));
    EXPECT_EQ("", progress_->Window()->Label()->GetLabel());
    progress_->EndProgress();
}

TEST_F(ProgressWindowTest, ASavedPositionOffTheScreenCentresTheWindow) {
    {
        CRegistryKey key;
        ASSERT_TRUE(OpenUserKey(&key, u"Settings"));
        key.WriteDword(u"X", DWORD(-4000));
        key.WriteDword(u"Y", DWORD(90000));
    }
    progress_->StartProgress(0, 10, "Where");
    const wxPoint p = progress_->Window()->GetPosition();
    EXPECT_GE(p.x, 0);
    EXPECT_GE(p.y, 0);
    EXPECT_LT(p.y, 90000);
    progress_->Window()->Move(40, 60);
    progress_->EndProgress();
    CRegistryKey key;
    ASSERT_TRUE(OpenUserKey(&key, u"Settings"));
    EXPECT_EQ(40u, key.ReadDword(u"X", 0));
    EXPECT_EQ(60u, key.ReadDword(u"Y", 0));
}

TEST_F(ProgressWindowTest, TheWaitCursorComesAndGoesInPairs) {
    EXPECT_EQ(noErr, SetCursorCallback(0));
    EXPECT_TRUE(hooks_->BusyCursorShown());
    SetCursorCallback(0);
    SetCursorCallback(1);  // changes nothing
    EXPECT_TRUE(hooks_->BusyCursorShown());
    SetCursorCallback(2);
    EXPECT_FALSE(hooks_->BusyCursorShown());
    EXPECT_FALSE(wxIsBusy());
}
