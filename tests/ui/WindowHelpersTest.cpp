// The slide show's window helpers: background colours from QuickDraw colours, visibility as
// the window and its parents decide it, showing and hiding, and the display list collected
// into an array that may be too small.
#include "platform/ui/WindowHelpers.h"
#include "ui/WxTestSupport.h"

#include <wx/display.h>
#include <wx/panel.h>

class WindowHelpersTest : public WxTest {};

TEST_F(WindowHelpersTest, QuickDrawColoursBecomeEightBitChannels) {
    auto* panel = new wxPanel(frame_);
    struct Case {
        RGBColor in;
        unsigned char r, g, b;
    };
    const Case cases[] = {
        {{0xFFFF, 0xFFFF, 0xFFFF}, 255, 255, 255},
        {{0x8080, 0x0000, 0x0101}, 128, 0, 1},
        {{0x0000, 0xFEFE, 0x7F7F}, 0, 254, 127},
    };
    for (const Case& c : cases) {
        DcSetBackColor(panel, c.in);
        const wxColour back = panel->GetBackgroundColour();
        EXPECT_EQ(back.Red(), c.r);
        EXPECT_EQ(back.Green(), c.g);
        EXPECT_EQ(back.Blue(), c.b);
    }
    DcSetBackColor(nullptr, cases[0].in);  // no window: nothing happens
}

TEST_F(WindowHelpersTest, VisibilityFollowsTheWindowAndItsParents) {
    auto* panel = new wxPanel(frame_);
    frame_->Show();
    Pump();
    EXPECT_TRUE(WindowIsVisible(panel));
    WindowShow(panel, 0);
    EXPECT_FALSE(WindowIsVisible(panel));
    WindowShow(panel, 1);
    EXPECT_TRUE(WindowIsVisible(panel));
    WindowShow(frame_, 0);
    EXPECT_FALSE(WindowIsVisible(panel)) << "a hidden parent hides the child";
    EXPECT_FALSE(WindowIsVisible(nullptr));
}

TEST_F(WindowHelpersTest, DisplaysAreCollectedUntilTheArrayIsFull) {
    MonitorEntry entries[2] = {};
    MonitorEnumStart(entries, 2);
    for (std::uint32_t m = 1; m <= 3; ++m)
        EXPECT_TRUE(MonitorEnumCollect(m, MonitorEntry{0, int(m) * 100, 0, int(m) * 100 + 50, 40}));
    EXPECT_EQ(MonitorEnumCount(), 2) << "the third display is ignored";
    EXPECT_EQ(entries[0].monitor, 1u);
    EXPECT_EQ(entries[1].monitor, 2u);
    EXPECT_EQ(entries[1].left, 200);
    EXPECT_EQ(entries[1].right, 250);

    // The real displays: the virtual screen of the test server is one display.
    MonitorEntry all[4] = {};
    const int count = EnumDisplayMonitors(all, 4);
    ASSERT_EQ(count, int(std::min(4u, wxDisplay::GetCount())));
    ASSERT_GE(count, 1);
    const wxRect first = wxDisplay(0u).GetGeometry();
    EXPECT_EQ(all[0].monitor, 1u);
    EXPECT_EQ(all[0].right - all[0].left, first.GetWidth());
    EXPECT_EQ(all[0].bottom - all[0].top, first.GetHeight());
    EXPECT_EQ(EnumDisplayMonitors(all, 0), 0) << "no room, nothing written";
}
