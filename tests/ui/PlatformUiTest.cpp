// The wx half of the platform: timers of the core running on the wx event loop, window
// messages of the core arriving at wx windows as events, and the Escape key noted by the key
// hook for long operations to find.
#include "platform/UiHooks.h"
#include "platform/ui/KeyboardState.h"
#include "platform/ui/WindowMessageEvent.h"
#include "platform/ui/WxTimerService.h"
#include "ui/WxTestSupport.h"

#include <wx/panel.h>

class PlatformUiTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (IsSkipped()) return;
        SetTimerService(&timers_);
    }
    void TearDown() override {
        SetTimerService(nullptr);
        WxTest::TearDown();
    }
    WxTimerService timers_;
};

TEST_F(PlatformUiTest, TimersFireOnTheEventLoopUntilTheyStopThemselves) {
    int fired = 0;
    TimerId id = Timers().Start(5, [&](TimerId self) {
        if (++fired == 3) Timers().Stop(self);
    });
    EXPECT_TRUE(Timers().IsRunning(id));
    EXPECT_TRUE(PumpUntil([&] { return fired >= 3; }));
    EXPECT_FALSE(Timers().IsRunning(id));
    wxMilliSleep(30);
    Pump();
    EXPECT_EQ(3, fired);
}

TEST_F(PlatformUiTest, AStoppedTimerNeverFiresAgain) {
    int fired = 0;
    TimerId id = Timers().Start(1, [&](TimerId) { ++fired; });
    Timers().Stop(id);
    Timers().Stop(id);  // twice does nothing
    wxMilliSleep(20);
    Pump();
    EXPECT_EQ(0, fired);
}

TEST_F(PlatformUiTest, SentAndPostedMessagesReachTheWindowAsEvents) {
    auto* panel = new wxPanel(frame_);
    WindowMessageBridge bridge(panel);
    std::vector<std::pair<UINT, LPARAM>> seen;
    panel->Bind(EVT_WINDOW_MESSAGE, [&](WindowMessageEvent& e) {
        seen.emplace_back(e.Message(), e.LParam());
        e.SetResult(e.WParam() * 2);
    });
    EXPECT_EQ(42, SendMessageW(bridge.Handle(), WM_APP + 0x67, 21, 7));
    EXPECT_TRUE(PostMessageW(bridge.Handle(), WM_APP + 0x6B, 0, 9));
    EXPECT_EQ(1u, seen.size());
    // The posted message arrives through the timer service, now the wx one.
    EXPECT_TRUE(PumpUntil([&] { return seen.size() == 2; }));
    EXPECT_EQ(UINT(WM_APP + 0x6B), seen[1].first);
    EXPECT_EQ(9, seen[1].second);
}

TEST_F(PlatformUiTest, EscapeSeenByTheKeyHookIsTakenOnce) {
    KeyboardState keys;
    EXPECT_FALSE(keys.TakeEscape());
    wxKeyEvent down(wxEVT_KEY_DOWN);
    down.m_keyCode = WXK_ESCAPE;
    down.SetEventObject(frame_);
    frame_->GetEventHandler()->ProcessEvent(down);
    wxKeyEvent up(wxEVT_KEY_UP);
    up.m_keyCode = WXK_ESCAPE;
    frame_->GetEventHandler()->ProcessEvent(up);
    EXPECT_TRUE(keys.TakeEscape());
    EXPECT_FALSE(keys.TakeEscape());
    wxKeyEvent other(wxEVT_KEY_DOWN);
    other.m_keyCode = 'A';
    frame_->GetEventHandler()->ProcessEvent(other);
    EXPECT_FALSE(keys.TakeEscape());
}
